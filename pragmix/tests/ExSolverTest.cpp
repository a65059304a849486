#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "pragmix/Pragmix.h"

namespace {

// Functions for the tests: F takes an argument (its value is the argument's
// length), PI is a bare name, BAD fails, the rest is unknown.
class TestFunctions : public CExSolverCallBack {
public:
    int SolveExternalFunction(CString name, CString argument, double& value) override
    {
        calls.push_back(std::string(name) + "(" + std::string(argument) + ")");
        if (name == "F") {
            value = argument.GetLength();
            return answerSolved;
        }
        return 3;
    }
    int SolveExternalFunction(CString name, double& value) override
    {
        if (name == "F" || name == "G")
            return answerTakesArgument;
        if (name == "PI" || name == "drv:Gain") {
            value = 3.5;
            return answerSolved;
        }
        if (name == "BAD")
            return 7;
        return answerUnknown;
    }
    std::vector<std::string> calls;
};

struct Case {
    const char* text;
    double value;  // used when error is 0
    int error;
};

void ExpectCases(const std::vector<Case>& cases, CExSolverCallBack* callback)
{
    for (const Case& c : cases) {
        CExSolver solver;
        double result = -12345.0;
        const int ok = solver.Solve(c.text, result, callback);
        if (c.error == 0) {
            EXPECT_EQ(ok, 1) << c.text << " error " << solver.GetError();
            EXPECT_EQ(result, c.value) << c.text;
        } else {
            EXPECT_EQ(ok, 0) << c.text << " gave " << result;
            EXPECT_EQ(solver.GetError(), c.error) << c.text;
            EXPECT_EQ(result, -12345.0) << c.text << ": a failure leaves the result alone";
        }
    }
}

}  // namespace

TEST(ExSolverTest, ArithmeticPrecedenceAndAssociativity)
{
    ExpectCases({
                    {"1+2*3", 7, 0},
                    {"1-2*3+4", -1, 0},
                    {"1-2-3", -4, 0},
                    {"8/2/2", 2, 0},
                    {"2*(3+4)", 14, 0},
                    {"((2))", 2, 0},
                    {"  1 +\t2 ", 3, 0},
                    {"49/49", 1, 0},
                    {"1/4", 0.25, 0},
                    {"7-2-1", 4, 0},
                    {"1.5e3", 1500, 0},
                    {"1e3", 1000, 0},
                    {".5+.25", 0.75, 0},
                    {"+5", 5, 0},
                },
                nullptr);
}

TEST(ExSolverTest, DecimalsReadAsStrtodReadsThem)
{
    // Short decimals are read without strtod; the value must be the same to
    // the last bit, on both sides of where that shortcut ends.
    const char* const texts[] = {"0.1",  "4.35",  "123.456", "0.000001234", "+2.5",   "1e22",
                                 "1e23", "7e-22", "7e-23",   "1.5e-3",      "0.3e-5", "9007199254740992",
                                 "9007199254740993", "123456789012345678", "12345678901234567890.5",
                                 "0.1234567890123456789", "00000000000000000000001.5"};
    for (const char* text : texts) {
        CExSolver solver;
        double result = 0.0;
        ASSERT_EQ(solver.Solve(text, result), 1) << text;
        EXPECT_EQ(result, std::strtod(text, nullptr)) << text;
    }
}

TEST(ExSolverTest, UnaryForms)
{
    ExpectCases({
                    {"2*-3", -6, 0},
                    {"-(2+3)", -5, 0},
                    {"1--2*3", 7, 0},
                    {"--4", 4, 0},
                    {"!0", 1, 0},
                    {"!5", 0, 0},
                    {"!!7", 1, 0},
                    {"~0", 4294967295.0, 0},
                    {"2*~1", 2 * 4294967294.0, 0},
                    {"~1+1", 4294967295.0, 0},
                    {"!0*5", 5, 0},
                    {"-~0", -4294967295.0, 0},
                    {"~-1", 0, 0},
                    {"!-1", 0, 0},
                },
                nullptr);
}

TEST(ExSolverTest, HexadecimalBitwiseAndShiftOn32Bits)
{
    ExpectCases({
                    {"$FF", 255, 0},
                    {"$ff+1", 256, 0},
                    {"$", 0, 0},
                    {"$123456789", 4294967295.0, 0},
                    {"-1&255", 255, 0},
                    {"$F0|$0F", 255, 0},
                    {"$FF&$0F", 15, 0},
                    {"1<<4", 16, 0},
                    {"1<<33", 2, 0},
                    {"1<<31", 2147483648.0, 0},
                    {"$80000000<<1", 0, 0},
                    {"256>>4", 16, 0},
                    {"-1>>28", 15, 0},
                    {"5.9&7", 5, 0},
                    {"1e300&1", 0, 0},
                },
                nullptr);
}

TEST(ExSolverTest, ComparisonsAndLogic)
{
    ExpectCases({
                    {"3>=3", 1, 0}, {"3>3", 0, 0},   {"2<3", 1, 0},     {"3<=2", 0, 0},
                    {"2==2", 1, 0}, {"2!=2", 0, 0},  {"1&&0", 0, 0},    {"2&&3", 1, 0},
                    {"0||0", 0, 0}, {"0||4", 1, 0},  {"1+1==2", 1, 0},  {"1||0&&0", 1, 0},
                    {"1==1&&2>1", 1, 0},
                },
                nullptr);
}

TEST(ExSolverTest, DivisionByZeroGivesInfinityNotAnError)
{
    CExSolver solver;
    double result = 0;
    ASSERT_TRUE(solver.Solve("1/0", result, nullptr));
    EXPECT_TRUE(std::isinf(result));
    CExSolver other;
    ASSERT_TRUE(other.Solve("0/0", result, nullptr));
    EXPECT_TRUE(std::isnan(result));
}

TEST(ExSolverTest, MalformedExpressionsAreErrors)
{
    ExpectCases({
                    {"", 0, CExSolver::errEmpty},
                    {"  \t ", 0, CExSolver::errEmpty},
                    {"1e999", 0, CExSolver::errNumeric},
                    {"5#2", 0, CExSolver::errOperator},
                    {"*2", 0, CExSolver::errSyntax},
                    {"1+", 0, CExSolver::errSyntax},
                    {"~", 0, CExSolver::errSyntax},
                    {"(1+2", 0, CExSolver::errSyntax},
                    {"1+2)", 0, CExSolver::errSyntax},
                    {"1+(2", 0, CExSolver::errSyntax},
                    {"()", 0, CExSolver::errSyntax},
                    {"(1)(2)", 0, CExSolver::errOperator},
                    {"1~2", 0, CExSolver::errSyntax},
                    {"1!2", 0, CExSolver::errSyntax},
                    {"x", 0, CExSolver::errSyntax},
                    {"nan", 0, CExSolver::errSyntax},
                    {"inf", 0, CExSolver::errSyntax},
                    {"0x10", 0, CExSolver::errOperator},
                },
                nullptr);
}

TEST(ExSolverTest, ExternalFunctionsAndNames)
{
    TestFunctions functions;
    ExpectCases({
                    {"PI*2", 7, 0},
                    {"drv:Gain", 3.5, 0},
                    {"F(1+(2))", 5, 0},  // the value is the argument's length
                    {"F(1+(2))*2", 10, 0},
                    {"F 1", 0, CExSolver::errSyntax},  // blanks go first: the name is F1, unknown
                    {"F+1", 0, CExSolver::errOpenParen},
                    {"F(1", 0, CExSolver::errCloseParen},
                    {"BAD", 0, CExSolver::errFunction},
                    {"G(1)", 0, CExSolver::errFunction},
                    {"x", 0, CExSolver::errSyntax},
                    {"1e3", 1000, 0},
                },
                &functions);
}

TEST(ExSolverTest, FunctionGetsItsArgumentTextWithInnerParentheses)
{
    TestFunctions functions;
    CExSolver solver;
    double result = 0;
    ASSERT_TRUE(solver.Solve("F( 1 + (2) )", result, &functions));
    ASSERT_EQ(functions.calls.size(), 1u);
    EXPECT_EQ(functions.calls[0], "F(1+(2))");
}

TEST(ExSolverTest, ASolverCanBeUsedAgainAfterAFailure)
{
    CExSolver solver;
    double result = 0;
    EXPECT_FALSE(solver.Solve("1+(2", result, nullptr));
    ASSERT_TRUE(solver.Solve("5", result, nullptr));
    EXPECT_EQ(result, 5);
    EXPECT_EQ(solver.GetError(), CExSolver::errNone);
}
