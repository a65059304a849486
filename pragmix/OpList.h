// The solver's operator table. Every two-character token stands before its
// one-character prefix, so the first match at a position is the longest. The
// table never changes, so every solver shares the one made on first use.
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

    static const COpList& Shared();

    // The first operator whose token begins text, or null.
    const COperator* Lookup(const char* text) const;
    const COperator* Multiply() const { return m_multiply; }

private:
    std::vector<std::unique_ptr<COperator>> m_operators;
    // By first character, the operators whose token starts with it, in table order.
    std::vector<const COperator*> m_byFirst[256];
    const COperator* m_multiply = nullptr;
};
