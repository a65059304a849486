// Pragmix side by side with its peers: expressions parsed and solved per
// second against muparser, preprocessed lines per second against GNU cpp on
// the equivalent macro-heavy input, each preprocessor started as a process of
// its own on the same file (Pragmix's is pragmix_preprocess, beside this one).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#ifdef KV_HAVE_MUPARSER
#include <muParser.h>
#endif

#include "pragmix/Pragmix.h"

namespace {

// Expressions both solvers read the same way.
const std::vector<std::string> kExpressions = {
    "1+2*3-4/5",
    "(1.5+2.25)*(3-4.5)/7",
    "-(2+3)*4>=10 && 2<3",
    "((((1+2)*3)+4)*5)-6",
    "1+2+3+4+5+6+7+8+9+10",
    "3.14159*2.5*2.5 <= 20 || 0",
    "100/7/3*2-1.25*(8-3)",
    "2*(3+(4*(5+(6*(7+8)))))",
};

// A thousand varied expressions as a program's settings hold them: long sums
// and products, hexadecimal constants, nesting to eight levels, comparisons
// and logic, and a function called within its own argument. Each is written
// twice: for Pragmix ("$1F", its callback's "dbl") and for muparser ("0x1F",
// a function defined on the parser), both meaning the same.
struct VariedExpression {
    std::string pragmix;
    std::string muparser;
};

class ExpressionWriter {
public:
    explicit ExpressionWriter(unsigned seed) : m_random(seed) {}
    VariedExpression Write()
    {
        VariedExpression e;
        const int terms = Pick(2, 40);
        for (int i = 0; i < terms; ++i) {
            if (i > 0) {
                static const char* ops[] = {"+", "-", "*", "+", "-"};
                Both(e, ops[Pick(0, 4)]);
            }
            Term(e, Pick(0, 3));
        }
        if (Pick(0, 3) == 0) {
            Both(e, Pick(0, 1) ? " >= " : " < ");
            Term(e, 0);
            Both(e, Pick(0, 1) ? " && " : " || ");
            Term(e, 0);
            Both(e, " != ");
            Term(e, 0);
        }
        return e;
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    static void Both(VariedExpression& e, const std::string& text)
    {
        e.pragmix += text;
        e.muparser += text;
    }
    void Term(VariedExpression& e, int depth)
    {
        switch (depth > 0 ? Pick(0, 4) : Pick(0, 2)) {
        case 0: Both(e, std::to_string(Pick(0, 99999))); break;
        case 1: Both(e, std::to_string(Pick(0, 999)) + "." + std::to_string(Pick(0, 999))); break;
        case 2: {
            char digits[16];
            std::snprintf(digits, sizeof digits, "%X", static_cast<unsigned>(Pick(0, 0xFFFFF)));
            e.pragmix += std::string("$") + digits;
            e.muparser += std::string("0x") + digits;
            break;
        }
        case 3:
            Both(e, "(");
            Term(e, depth - 1);
            Both(e, Pick(0, 1) ? "+" : "*");
            Term(e, depth - 1);
            Both(e, ")");
            break;
        default:
            Both(e, "dbl(");
            Term(e, depth - 1);
            Both(e, "-");
            Term(e, depth - 1);
            Both(e, ")");
            break;
        }
    }
    std::mt19937 m_random;
};

const std::vector<VariedExpression>& VariedExpressions()
{
    static const std::vector<VariedExpression> expressions = [] {
        ExpressionWriter writer(47);
        std::vector<VariedExpression> all;
        for (int i = 0; i < 1000; ++i)
            all.push_back(writer.Write());
        return all;
    }();
    return expressions;
}

// Pragmix's "dbl": its argument solved as the program's callbacks do, doubled.
class DoublingCallBack : public CExSolverCallBack {
public:
    int SolveExternalFunction(CString name, CString argument, double& value) override
    {
        if (name != "dbl")
            return answerUnknown;
        CExSolver inner;
        if (!inner.Solve(argument, value, this))
            return answerUnknown;
        value *= 2;
        return answerSolved;
    }
    int SolveExternalFunction(CString name, double& /*value*/) override
    {
        return name == "dbl" ? answerTakesArgument : answerUnknown;
    }
};

void PragmixSolveVariedFresh(benchmark::State& state)
{
    DoublingCallBack functions;
    double sum = 0;
    for (auto _ : state)
        for (const VariedExpression& e : VariedExpressions()) {
            CExSolver solver;
            double value = 0;
            if (!solver.Solve(e.pragmix.c_str(), value, &functions)) {
                state.SkipWithError(("Pragmix refused " + e.pragmix).c_str());
                return;
            }
            sum += value;
        }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * VariedExpressions().size()));
}
BENCHMARK(PragmixSolveVariedFresh)->Unit(benchmark::kMicrosecond);

void PragmixSolveFresh(benchmark::State& state)
{
    double sum = 0;
    for (auto _ : state) {
        for (const std::string& text : kExpressions) {
            // One solver per expression, as the program uses it.
            CExSolver solver;
            double value = 0;
            solver.Solve(text.c_str(), value, nullptr);
            sum += value;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kExpressions.size()));
}
BENCHMARK(PragmixSolveFresh);

void PragmixSolveReused(benchmark::State& state)
{
    CExSolver solver;
    double sum = 0;
    for (auto _ : state) {
        for (const std::string& text : kExpressions) {
            double value = 0;
            solver.Solve(text.c_str(), value, nullptr);
            sum += value;
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kExpressions.size()));
}
BENCHMARK(PragmixSolveReused);

#ifdef KV_HAVE_MUPARSER
void MuparserParseAndEvalFresh(benchmark::State& state)
{
    double sum = 0;
    for (auto _ : state) {
        for (const std::string& text : kExpressions) {
            mu::Parser parser;
            parser.SetExpr(text);
            sum += parser.Eval();
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kExpressions.size()));
}
BENCHMARK(MuparserParseAndEvalFresh);

double Doubled(double x) { return 2 * x; }

// muparser's reading of "0x" hexadecimal constants.
int HexValue(const char* text, int* position, double* value)
{
    if (text[0] != '0' || (text[1] != 'x' && text[1] != 'X'))
        return 0;
    char* end = nullptr;
    const unsigned long v = std::strtoul(text + 2, &end, 16);
    if (end == text + 2)
        return 0;
    *position += static_cast<int>(end - text);
    *value = static_cast<double>(v);
    return 1;
}

void MuparserVariedFresh(benchmark::State& state)
{
    double sum = 0;
    for (auto _ : state)
        for (const VariedExpression& e : VariedExpressions()) {
            mu::Parser parser;
            parser.DefineFun("dbl", Doubled);
            parser.AddValIdent(HexValue);
            parser.SetExpr(e.muparser);
            sum += parser.Eval();
        }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * VariedExpressions().size()));
}
BENCHMARK(MuparserVariedFresh)->Unit(benchmark::kMicrosecond);

void MuparserParseAndEvalReused(benchmark::State& state)
{
    mu::Parser parser;
    double sum = 0;
    for (auto _ : state) {
        for (const std::string& text : kExpressions) {
            parser.SetExpr(text);
            sum += parser.Eval();
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kExpressions.size()));
}
BENCHMARK(MuparserParseAndEvalReused);
#endif

// A macro-heavy source in the syntax both preprocessors share.
class MacroSource {
public:
    MacroSource()
    {
        char pattern[] = "/tmp/kvbenchXXXXXX";
        m_dir = mkdtemp(pattern);
        std::ofstream out(Input());
        for (int i = 0; i < 200; ++i)
            Line(out, "#define K" + std::to_string(i) + " " + std::to_string(i * 7));
        for (int i = 0; i < 50; ++i)
            Line(out, "#define F" + std::to_string(i) + "(a,b) ((a)*K" + std::to_string(i) + "+(b)-K" +
                          std::to_string(i + 1) + ")");
        Line(out, "#define SUM(a,b) ((a)+(b))");
        for (int i = 0; i < 20000; ++i) {
            const std::string n = std::to_string(i % 50);
            const std::string k = std::to_string(i % 200);
            if (i % 20 == 0)
                Line(out, (i % 40 == 0 ? "#ifdef K" : "#ifndef K") + k);
            Line(out, "value_" + std::to_string(i) + " = F" + n + "(K" + k + ", SUM(K" + n + ", " +
                          std::to_string(i) + ")) + K" + k + " * F" + n + "(1,2);");
            if (i % 20 == 19)
                Line(out, "#endif");
        }
    }
    ~MacroSource()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string Input() const { return m_dir + "/source.txt"; }
    std::string Output(const char* who) const { return m_dir + "/out_" + who + ".txt"; }
    int Lines() const { return m_lines; }

private:
    void Line(std::ofstream& out, const std::string& text)
    {
        out << text << '\n';
        ++m_lines;
    }
    std::string m_dir;
    int m_lines = 0;
};

const MacroSource& Source()
{
    static const MacroSource source;
    return source;
}

// Pragmix in this process: the library's own cost without a process start.
void PragmixPreprocessFileInProcess(benchmark::State& state)
{
    const MacroSource& source = Source();
    CMacroDefsCallBack quiet;
    for (auto _ : state) {
        CMacroDefs macros;
        if (!macros.ProcessFile(source.Input().c_str(), source.Output("pragmix").c_str(), &quiet))
            state.SkipWithError("Pragmix failed on the source");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * source.Lines());
}
BENCHMARK(PragmixPreprocessFileInProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

// Starts a program without a shell, its output thrown away; true when it exits 0.
bool RunProcess(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int started = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0)
        return false;
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string g_preprocessor;  // Pragmix's preprocessor as a program

void PragmixPreprocessProcess(benchmark::State& state)
{
    const MacroSource& source = Source();
    const std::vector<std::string> command = {g_preprocessor, source.Input(), source.Output("pragmix")};
    for (auto _ : state)
        if (!RunProcess(command))
            state.SkipWithError("Pragmix failed on the source");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * source.Lines());
}
BENCHMARK(PragmixPreprocessProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

void GnuCppPreprocessProcess(benchmark::State& state)
{
    const MacroSource& source = Source();
    const std::vector<std::string> command = {"cpp", "-P", "-undef", "-nostdinc", "-w", source.Input(), "-o",
                                              source.Output("cpp")};
    for (auto _ : state)
        if (!RunProcess(command))
            state.SkipWithError("cpp is not available or failed");
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * source.Lines());
}
BENCHMARK(GnuCppPreprocessProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
    g_preprocessor = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "pragmix_preprocess").string();
#ifndef KV_HAVE_MUPARSER
    std::fprintf(stderr, "muparser is not installed (tools/setup --bench): measuring Pragmix alone\n");
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
