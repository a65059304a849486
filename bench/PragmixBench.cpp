// Pragmix side by side with its peers: expressions parsed and solved per
// second against muparser, preprocessed lines per second against GNU cpp on
// the equivalent macro-heavy input.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

void PragmixPreprocessFile(benchmark::State& state)
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
BENCHMARK(PragmixPreprocessFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void GnuCppPreprocessFile(benchmark::State& state)
{
    const MacroSource& source = Source();
    const std::string command =
        "cpp -P -undef -nostdinc -w " + source.Input() + " -o " + source.Output("cpp") + " 2>/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cpp is not available or failed");
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * source.Lines());
}
BENCHMARK(GnuCppPreprocessFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv)
{
#ifndef KV_HAVE_MUPARSER
    std::fprintf(stderr, "muparser is not installed (tools/setup --bench): measuring Pragmix alone\n");
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
