#include "Pragmix.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>

#include "OpList.h"
#include "Operator.h"
#include "platform/core/DebugLog.h"

namespace {

// Stack room for the usual expression, taken once per solver.
constexpr size_t kStackRoom = 32;

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsNameStart(char c) { return IsLetter(c) || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c) || c == ':'; }

int HexDigit(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Numbers are read the same whatever locale the program runs in.
locale_t ClassicLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

// Powers of ten a double holds exactly.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;
constexpr int kMaxMantissaDigits = 18;  // their value fits 64 bits

// A decimal number at text: sign, digits, fraction, exponent. length gets its
// length (0: none). When its digits fit 2^53 and its scale is an exact power
// of ten, value gets it: one exact operand times or over another is rounded
// once, so it is the value strtod gives. exact tells whether that was so.
void ReadDecimal(const char* text, int& length, double& value, bool& exact)
{
    int i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '+' || text[0] == '-')
        ++i;
    std::uint64_t mantissa = 0;
    int digits = 0;
    int scale = 0;
    for (; IsDigit(text[i]); ++i, ++digits)
        if (digits < kMaxMantissaDigits)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (text[i] == '.') {
        for (++i; IsDigit(text[i]); ++i, ++digits) {
            if (digits < kMaxMantissaDigits)
                mantissa = mantissa * 10 + static_cast<std::uint64_t>(text[i] - '0');
            --scale;
        }
    }
    length = digits == 0 ? 0 : i;
    exact = false;
    if (digits == 0)
        return;
    if (text[i] == 'e' || text[i] == 'E') {
        int j = i + 1;
        const bool negativeExponent = text[j] == '-';
        if (text[j] == '+' || text[j] == '-')
            ++j;
        if (IsDigit(text[j])) {
            int exponent = 0;
            for (; IsDigit(text[j]); ++j)
                exponent = exponent < 100000 ? exponent * 10 + (text[j] - '0') : exponent;
            scale += negativeExponent ? -exponent : exponent;
            length = j;
        }
    }
    if (digits > kMaxMantissaDigits || mantissa > (std::uint64_t{1} << 53) || scale < -kMaxExactPower ||
        scale > kMaxExactPower)
        return;
    const double m = static_cast<double>(mantissa);
    value = scale < 0 ? m / kPowersOfTen[-scale] : m * kPowersOfTen[scale];
    if (negative)
        value = -value;
    exact = true;
}

}  // namespace

CExSolver::CExSolver() : m_opList(&COpList::Shared()) {}

CExSolver::~CExSolver() = default;

int CExSolver::Solve(const char* text, double& result, CExSolverCallBack* callback)
{
    m_callback = callback;
    return SolveText(text ? std::string_view(text) : std::string_view(), result);
}

int CExSolver::Solve(CString text, double& result, CExSolverCallBack* callback)
{
    m_callback = callback;
    return SolveText(text.str(), result);
}

// text ends in a NUL character (it comes from a C string or a CString): the
// readers below look one character ahead without asking for the length.
int CExSolver::SolveText(std::string_view text, double& result)
{
    // Leftovers of an earlier failed run would otherwise be read as operands.
    m_numStack.clear();
    m_opStack.clear();
    m_error = errNone;
    m_numStack.reserve(kStackRoom);
    m_opStack.reserve(kStackRoom);

    // Blanks go; a text without any is read where it stands.
    std::string compact;
    std::string_view expr = text;
    if (std::any_of(text.begin(), text.end(), [](char c) { return IsBlank(c); })) {
        compact.reserve(text.size());
        for (char c : text)
            if (!IsBlank(c))
                compact += c;
        expr = compact;
    }
    if (expr.empty())
        return Fail(errEmpty);

    const char* const start = expr.data();
    size_t pos = 0;
    bool operandExpected = true;
    while (pos < expr.size()) {
        const char c = expr[pos];
        if (operandExpected && c != '!' && c != '~') {
            if (c == '-') {
                // Unary minus: times -1, bound to the operand that follows.
                m_numStack.push_back(-1.0);
                m_opStack.push_back(m_opList->Multiply());
                ++pos;
                continue;
            }
            if (c == '(') {
                m_opStack.push_back(nullptr);
                ++pos;
                continue;
            }
            int length = 0;
            if (!ReadOperand(start + pos, length))
                return 0;
            pos += static_cast<size_t>(length);
            operandExpected = false;
            continue;
        }
        if (c == ')') {
            if (!ResolveOpStack(nullptr, 0))
                return 0;
            ++pos;
            continue;
        }
        const COperator* op = nullptr;
        int length = 0;
        if (!ParseFunc(start + pos, op, length))
            return 0;
        if (op->IsUnary()) {
            // A prefix operator needs no resolve: it binds to what follows.
            if (!operandExpected)
                return Fail(errSyntax);
            m_opStack.push_back(op);
        } else if (!ResolveOpStack(op, 0)) {
            return 0;
        }
        pos += static_cast<size_t>(length);
        operandExpected = true;
    }
    if (operandExpected)
        return Fail(errSyntax);
    if (!ResolveOpStack(nullptr, 1))
        return 0;
    if (m_numStack.size() != 1)
        return Fail(errSyntax);
    result = m_numStack.back();
    return 1;
}

int CExSolver::Fail(int error)
{
    m_error = error;
    return 0;
}

int CExSolver::ReadOperand(const char* text, int& length)
{
    double value = 0.0;
    if (!CheckCallbackFunction(text, value, length))
        return 0;
    if (length == 0 && !ParseNum(text, value, length))
        return 0;
    m_numStack.push_back(value);
    return 1;
}

bool CExSolver::EvaluateTop()
{
    const COperator* op = m_opStack.back();
    m_opStack.pop_back();
    const int result = op->Evaluate(m_numStack);
    if (result == COperator::evalDone)
        return true;
    m_error = result == COperator::evalMissingOperand ? errSyntax : errNumeric;
    return false;
}

int CExSolver::ResolveOpStack(const COperator* op, int final)
{
    if (op) {
        while (!m_opStack.empty() && m_opStack.back() && m_opStack.back()->Precedence() >= op->Precedence())
            if (!EvaluateTop())
                return 0;
        m_opStack.push_back(op);
        return 1;
    }
    while (!m_opStack.empty()) {
        if (!m_opStack.back()) {
            m_opStack.pop_back();
            // At the end an open parenthesis is one that was never closed.
            return final ? Fail(errSyntax) : 1;
        }
        if (!EvaluateTop())
            return 0;
    }
    // A ")" that found no "(".
    return final ? 1 : Fail(errSyntax);
}

int CExSolver::ParseNum(const char* text, double& value, int& length)
{
    int skipped = 0;
    while (IsBlank(text[skipped]))
        ++skipped;
    text += skipped;
    length = 0;
    if (text[0] == '$') {
        // Hexadecimal, saturating at 32 bits; a lone "$" reads as 0.
        std::uint64_t v = 0;
        int i = 1;
        for (int d; (d = HexDigit(text[i])) >= 0; ++i)
            v = v > 0xFFFFFFFFull ? v : v * 16 + static_cast<std::uint64_t>(d);
        value = static_cast<double>(v > 0xFFFFFFFFull ? 0xFFFFFFFFull : v);
        length = skipped + i;
        return 1;
    }
    int n = 0;
    bool exact = false;
    ReadDecimal(text, n, value, exact);
    if (n <= 0)
        return Fail(errSyntax);
    if (exact) {
        length = skipped + n;
        return 1;
    }
    const std::string number(text, static_cast<size_t>(n));
    value = strtod_l(number.c_str(), nullptr, ClassicLocale());
    if (std::isinf(value))
        return Fail(errNumeric);
    length = skipped + n;
    return 1;
}

int CExSolver::ParseFunc(const char* text, const COperator*& op, int& length)
{
    int skipped = 0;
    while (IsBlank(text[skipped]))
        ++skipped;
    op = m_opList->Lookup(text + skipped);
    if (!op)
        return Fail(errOperator);
    length = skipped + op->Token().GetLength();
    return 1;
}

int CExSolver::CheckCallbackFunction(const char* text, double& value, int& length)
{
    length = 0;
    if (!m_callback)
        return 1;
    int skipped = 0;
    while (IsBlank(text[skipped]))
        ++skipped;
    const char* name = text + skipped;
    if (!IsNameStart(name[0]))
        return 1;
    int nameLength = 1;
    while (IsNameChar(name[nameLength]))
        ++nameLength;
    const CString nameText(name, nameLength);

    const int answer = m_callback->SolveExternalFunction(nameText, value);
    if (answer == CExSolverCallBack::answerUnknown)
        return 1;
    if (answer == CExSolverCallBack::answerSolved) {
        length = skipped + nameLength;
        return 1;
    }
    if (answer != CExSolverCallBack::answerTakesArgument)
        return Fail(errFunction);

    const char* open = name + nameLength;
    if (*open != '(')
        return Fail(errOpenParen);
    int depth = 0;
    int i = 0;
    do {
        if (open[i] == '(')
            ++depth;
        else if (open[i] == ')')
            --depth;
        ++i;
    } while (depth > 0 && open[i] != '\0');
    if (depth != 0)
        return Fail(errCloseParen);
    const CString argument(open + 1, i - 2);
    if (m_callback->SolveExternalFunction(nameText, argument, value) != CExSolverCallBack::answerSolved)
        return Fail(errFunction);
    length = skipped + nameLength + i;
    return 1;
}

void CExSolver::ShowOpStack()
{
    CString text;
    for (auto it = m_opStack.rbegin(); it != m_opStack.rend(); ++it)
        text.AppendFormat("%s\n", *it ? (*it)->Token().GetString() : "(");
    AfxDebugLog("operators:\n%s", text.GetString());
}

void CExSolver::ShowNumStack()
{
    CString text;
    for (auto it = m_numStack.rbegin(); it != m_numStack.rend(); ++it)
        text.AppendFormat("%f\n", *it);
    AfxDebugLog("numbers:\n%s", text.GetString());
}

void CExSolver::ShowStacks()
{
    ShowOpStack();
    ShowNumStack();
}
