#include "OpList.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "Operator.h"

namespace {

// Truncates toward zero to 64 bits and keeps the low 32. Values a 64-bit
// integer cannot hold (and NaN) give the processor's "integer indefinite",
// whose low 32 bits are 0.
std::uint32_t Low32(double v)
{
    if (!(v > -9223372036854775808.0 && v < 9223372036854775808.0))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(v));
}

double Plus(double l, double r) { return l + r; }
double Minus(double l, double r) { return l - r; }
double Mult(double l, double r) { return l * r; }
double Div(double l, double r) { return l / r; }
double ShiftL(double l, double r) { return static_cast<std::uint32_t>(Low32(l) << (Low32(r) & 31u)); }
double ShiftR(double l, double r) { return Low32(l) >> (Low32(r) & 31u); }
double Equ(double l, double r) { return l == r ? 1.0 : 0.0; }
double Gte(double l, double r) { return l >= r ? 1.0 : 0.0; }
double Lte(double l, double r) { return l <= r ? 1.0 : 0.0; }
double Gt(double l, double r) { return l > r ? 1.0 : 0.0; }
double Lt(double l, double r) { return l < r ? 1.0 : 0.0; }
double Ne(double l, double r) { return l != r ? 1.0 : 0.0; }
double And(double l, double r) { return l != 0.0 && r != 0.0 ? 1.0 : 0.0; }
double Or(double l, double r) { return l != 0.0 || r != 0.0 ? 1.0 : 0.0; }
double Not(double, double r) { return r == 0.0 ? 1.0 : 0.0; }
double BwAnd(double l, double r) { return Low32(l) & Low32(r); }
double BwOr(double l, double r) { return Low32(l) | Low32(r); }
double BwNot(double, double r) { return static_cast<std::uint32_t>(~Low32(r)); }

struct OperatorDef {
    const char* token;
    signed char precedence;
    bool unary;
    COperator::Compute compute;
};

constexpr OperatorDef kOperators[] = {
    {"+", 10, false, Plus},   {"-", 10, false, Minus},  {"*", 11, false, Mult},
    {"/", 11, false, Div},    {"<<", 11, false, ShiftL}, {">>", 11, false, ShiftR},
    {"==", 9, false, Equ},    {">=", 9, false, Gte},    {"<=", 9, false, Lte},
    {">", 9, false, Gt},      {"<", 9, false, Lt},      {"!=", 9, false, Ne},
    {"&&", 8, false, And},    {"||", 7, false, Or},     {"!", 12, true, Not},
    {"&", 11, false, BwAnd},  {"|", 11, false, BwOr},   {"~", 11, true, BwNot},
};

}  // namespace

COpList::COpList()
{
    for (const OperatorDef& def : kOperators) {
        m_operators.push_back(std::make_unique<COperator>(def.token, def.precedence, def.unary, def.compute));
        const COperator* op = m_operators.back().get();
        m_byFirst[static_cast<unsigned char>(def.token[0])].push_back(op);
        if (std::strcmp(def.token, "*") == 0)
            m_multiply = op;
    }
}

COpList::~COpList() = default;

const COpList& COpList::Shared()
{
    static const COpList table;
    return table;
}

const COperator* COpList::Lookup(const char* text) const
{
    for (const COperator* op : m_byFirst[static_cast<unsigned char>(text[0])]) {
        const CString& token = op->Token();
        if (token.GetLength() == 1 || text[1] == token.GetString()[1])
            return op;
    }
    return nullptr;
}
