// One operator of the expression solver: its token, its precedence and what it
// computes from its operands.
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
    int Evaluate(std::vector<double>& numbers);

    const CString& Token() const { return m_token; }
    signed char Precedence() const { return m_precedence; }
    bool IsUnary() const { return m_unary; }
    int GetError() const { return m_error; }

private:
    CString m_token;
    signed char m_precedence;
    bool m_unary;
    Compute m_compute;
    int m_error = evalDone;
};
