// The solver's operator table. Every two-character token stands before its
// one-character prefix, so the first match at a position is the longest.
#pragma once

#include <memory>
#include <vector>

class COperator;

class COpList {
public:
    COpList();
    virtual ~COpList();
    COpList(const COpList&) = delete;
    COpList& operator=(const COpList&) = delete;

    // The first operator whose token begins text, or null.
    COperator* Lookup(const char* text) const;
    COperator* Multiply() const { return m_multiply; }

private:
    std::vector<std::unique_ptr<COperator>> m_operators;
    COperator* m_multiply = nullptr;
};
