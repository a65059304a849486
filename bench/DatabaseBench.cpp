// Merging encoder records into an encoder table and re-querying a sorted
// recordset, at 10 000 records and at smaller sizes to show how cost grows.
#include <benchmark/benchmark.h>

#include <memory>

#include "database/QvxDatabase.h"

namespace {

const char* const kFields[] = {"ID", "Manufacturer", "Model", "SingleTurn", "MultiTurn", "Protocol", "Status"};

void AddFields(CQvxDatabaseTable& table)
{
    for (const char* name : kFields) {
        auto* field = new CQvxDatabaseTableFieldDef;
        field->name = name;
        field->column = static_cast<LONG>(table.fields.GetSize());
        field->type = CString(name) == "ID" ? CQvxDatabaseTableFieldDef::typeAutoIncId
                                            : CQvxDatabaseTableFieldDef::typeString;
        table.fields.Add(field);
    }
}

// Records whose keys overlap the other table's by half, in a scrambled order.
void Fill(CQvxDatabaseTable& table, int count, int offset)
{
    for (int i = 0; i < count; ++i) {
        const int n = (i * 7919) % count + offset;
        CQvxDatabaseTableDataRow* row = table.CreateRecord(nullptr);
        CString text;
        text.Format("Maker%03d", n % 97);
        row->SetValue(1, text);
        text.Format("Model-%06d", n);
        row->SetValue(2, text);
        row->SetValue(3, "25");
        row->SetValue(4, "12");
        row->SetValue(5, "SSI");
        row->SetValue(6, "Approved");
    }
}

void BM_MergeEncoders(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    CQvxDatabaseTable incoming;
    AddFields(incoming);
    Fill(incoming, count, count / 2);
    CStringList keys;
    keys.AddTail("Manufacturer");
    keys.AddTail("Model");
    for (auto _ : state) {
        state.PauseTiming();
        CQvxDatabaseTable local;
        AddFields(local);
        Fill(local, count, 0);
        state.ResumeTiming();
        CString error;
        if (!local.Merge(incoming, keys, nullptr, &error))
            state.SkipWithError(error.GetString());
        benchmark::DoNotOptimize(local.rows.GetCount());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_MergeEncoders)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_SortedRequery(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    CQvxDatabase db;
    CQvxDatabaseTable* table = db.tables.CreateTable("AbsEncDB");
    table->database = &db;
    AddFields(*table);
    Fill(*table, count, 0);
    db.OpenRecordset("all", "AbsEncDB", "", "", "", 0);
    CQvxDatabaseRecordset* rs = db.FindRecordset("all");
    for (auto _ : state) {
        rs->Requery("Manufacturer, Model");
        benchmark::DoNotOptimize(rs->GetCount());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_SortedRequery)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
