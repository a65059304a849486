// One operator of the expression solver: its token, its precedence and what it
// computes from its operands. Operators are shared by every solver and never
// change after they are made.
#pragma once

#include <vector>

#include "platform/core/String.h"

class COperator {
public:
    enum Result { evalDone = 0, evalFailed = 2, evalMissingOperand = 3 };
    using Compute = double (*)(double left, double right);

    // A unary operator takes only the right operand; left is then 0.
    COperator(const char* token, signed char precedence, bool unary, Compute compute);
    virtual ~COperator() = default;

    // Takes the operands from the number stack and pushes the result.
    int Evaluate(std::vector<double>& numbers) const;

    const CString& Token() const { return m_token; }
    signed char Precedence() const { return m_precedence; }
    bool IsUnary() const { return m_unary; }

private:
    CString m_token;
    signed char m_precedence;
    bool m_unary;
    Compute m_compute;
};
