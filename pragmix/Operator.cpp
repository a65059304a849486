#include "Operator.h"

#include <new>

COperator::COperator(const char* token, signed char precedence, bool unary, Compute compute)
    : m_token(token), m_precedence(precedence), m_unary(unary), m_compute(compute)
{
}

int COperator::Evaluate(std::vector<double>& numbers) const
{
    const size_t needed = m_unary ? 1 : 2;
    if (numbers.size() < needed)
        return evalMissingOperand;
    const double right = numbers.back();
    numbers.pop_back();
    double left = 0.0;
    if (!m_unary) {
        left = numbers.back();
        numbers.pop_back();
    }
    try {
        numbers.push_back(m_compute(left, right));
    } catch (const std::bad_alloc&) {
        return evalFailed;
    }
    return evalDone;
}
