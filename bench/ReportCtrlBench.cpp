// Filling and sorting a report grid of 10 000 rows, so windows with long lists stay responsive.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "controls/ReportCtrl.h"
#include "platform/core/Rand.h"
#include "platform/ui/WinApp.h"

namespace {

constexpr int kRows = 10000;

struct Grid {
    CWnd parent;
    CReportCtrl report;
    Grid()
    {
        parent.CreateEx(0, nullptr, "Bench", WS_POPUP, CRect(0, 0, 600, 400), nullptr, 0);
        report.CreateReport(&parent, 1, CRect(0, 0, 600, 400));
        report.InsertColumn(0, "Name", LVCFMT_LEFT, 200);
        report.InsertColumn(1, "Number", LVCFMT_RIGHT, 100);
        report.InsertColumn(2, "Hex", LVCFMT_RIGHT, 100);
        report.InsertColumn(3, "Date", LVCFMT_LEFT, 150);
    }
    void Fill(int rows = kRows)
    {
        SRand(7);
        for (int row = 0; row < rows; ++row) {
            CString text;
            text.Format("Register %05d", Rand());
            report.InsertItem(row, text);
            text.Format("%.3f", (Rand() - 16384) / 7.0);
            report.SetItemText(row, 1, text);
            text.Format("%X", Rand() * 3);
            report.SetItemText(row, 2, text);
            text.Format("%d/%d/20%02d", Rand() % 12 + 1, Rand() % 28 + 1, Rand() % 30);
            report.SetItemText(row, 3, text);
        }
    }
};

void BM_FillRows(benchmark::State& state)
{
    Grid grid;
    for (auto _ : state) {
        grid.report.DeleteAllItems();
        grid.Fill();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_FillRows)->Unit(benchmark::kMillisecond);

void BM_SortColumn(benchmark::State& state)
{
    Grid grid;
    grid.Fill();
    const int column = static_cast<int>(state.range(0));
    bool ascending = true;
    for (auto _ : state) {
        grid.report.SortItems(column, ascending);
        ascending = !ascending;
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
// 0 text, 1 decimal numbers, 2 hexadecimal, 3 dates.
BENCHMARK(BM_SortColumn)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// Filling rows then sorting them from random order, together, as a window does
// when its data comes in anew; the cost per row should not grow with the rows.
// Emptying the grid before each fill is timed apart (BM_DeleteAllRows).
void BM_FillAndSortRandom(benchmark::State& state)
{
    Grid grid;
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        grid.report.DeleteAllItems();
        state.ResumeTiming();
        grid.Fill(rows);
        grid.report.SortItems(0, true);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["us/row"] = benchmark::Counter(static_cast<double>(state.iterations() * rows),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                  benchmark::Counter::kIs1000);
}
BENCHMARK(BM_FillAndSortRandom)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Emptying a grid whose rows were sorted from random order.
void BM_DeleteAllRows(benchmark::State& state)
{
    Grid grid;
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        grid.Fill(rows);
        grid.report.SortItems(0, true);
        state.ResumeTiming();
        grid.report.DeleteAllItems();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_DeleteAllRows)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    AfxWinInit();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    AfxWinTerm();
    return 0;
}
