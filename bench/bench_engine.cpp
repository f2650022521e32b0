// Preparing a list report of 10,000 rows (and 20,000 for the memory figures): five fields per row, a group header every 50 rows,
// a page footer with "[Page#] / [TotalPages#]" and a double pass, from the in-memory dataset
// and from a table of the database. Goal: below 2 ms per prepared page.
//
// Counters: ms_per_page (time of a whole prepare divided by its pages), pages, and the heap
// the prepared report holds: heap_MB after the run, peak_heap_MB during it (sampled at every
// eighth page), both above the heap in use before the run (the dataset's rows are loaded before
// and do not count). The *Swapped variant turns on the swap file with a 1 MB limit: its heap
// stays flat while the pages grow.
// Run headless: QT_QPA_PLATFORM=offscreen bench_engine
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "dao/KDaoDatabase.h"
#include "dao/KDaoTable.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxOptions.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "bench/ListReport.h"

namespace {
using namespace benchlist;

class TDaoRows {
public:
    explicit TDaoRows(int count) {
        char dir[] = "/tmp/karomil-bench-XXXXXX";
        FDir = mkdtemp(dir);
        std::string script = "CREATE TABLE seznam (ID INTEGER PRIMARY KEY AUTOINCREMENT, G LONG";
        for (int f = 1; f <= 5; ++f) script += ", F" + std::to_string(f) + " TEXT(40) COLLATE CZECH";
        script += ");\nINSERT INTO seznam (G, F1, F2, F3, F4, F5) VALUES ";
        for (int r = 0; r < count; ++r) {
            script += r ? ",\n(" : "(";
            script += std::to_string(r / kGroupRows);
            for (int f = 0; f < 5; ++f) script += ", '" + Value(r, f) + "'";
            script += ")";
        }
        script += ";\n";
        Dao::CreateDatabaseFromScript(FDir + "/vys.mdb", script);
        FOwner = std::make_unique<TComponent>(nullptr);
        FDb = new TKDaoDatabase(FOwner.get());
        FDb->SetSmartOpen(false);
        FDb->SetDatabase(FDir + "/vys.mdb");
        FDb->SetConnected(true);
        FTable = new TKDaoTable(FOwner.get());
        FTable->SetDatabase(FDb);
        FTable->SetTableName("seznam");
        FTable->Open();
    }
    ~TDaoRows() {
        FOwner.reset();
        std::filesystem::remove_all(FDir);
    }
    TDataSet* DataSet() { return FTable; }

private:
    std::string FDir;
    std::unique_ptr<TComponent> FOwner;
    TKDaoDatabase* FDb = nullptr;
    TKDaoTable* FTable = nullptr;
};

size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

void Prepare(benchmark::State& state, TDataSet* source, bool swapped) {
    double ms = 0;
    int pages = 0;
    size_t held = 0, peak = 0;
    for (auto _ : state) {
        TfrxReport report;
        BuildReport(report, source, swapped);
        const size_t before = HeapInUse();
        size_t top = before;
        // Walking the heap takes time of its own, which is not the engine's: it is measured
        // and taken off. Every eighth page is enough for the peak.
        double sampling = 0;
        report.OnProgress = [&top, &sampling](TfrxReport*, TfrxProgressType, int page) {
            if (page % 8 != 0) return;
            const auto from = std::chrono::steady_clock::now();
            top = std::max(top, HeapInUse());
            sampling += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - from).count();
        };
        const auto start = std::chrono::steady_clock::now();
        if (!report.PrepareReport()) state.SkipWithError(report.ErrorList->Text().c_str());
        ms += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() - sampling;
        pages += report.PreviewPages()->GetCount();
        const size_t after = HeapInUse();
        held = std::max(held, after > before ? after - before : 0);
        peak = std::max(peak, std::max(top, after) - before);
        report.OnProgress = nullptr;
    }
    state.counters["pages"] = double(pages) / double(state.iterations());
    state.counters["ms_per_page"] = pages ? ms / pages : 0;
    state.counters["heap_MB"] = double(held) / (1 << 20);
    state.counters["peak_heap_MB"] = double(peak) / (1 << 20);
}

// The argument is the row count: twice the rows make twice the pages.
void BM_PrepareListFromMemory(benchmark::State& state) {
    TMemRows rows(int(state.range(0)));
    Prepare(state, rows.DataSet(), false);
}
BENCHMARK(BM_PrepareListFromMemory)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_PrepareListFromTable(benchmark::State& state) {
    TDaoRows rows(int(state.range(0)));
    Prepare(state, rows.DataSet(), false);
}
BENCHMARK(BM_PrepareListFromTable)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PrepareListFromTableSwapped(benchmark::State& state) {
    TDaoRows rows(int(state.range(0)));
    Prepare(state, rows.DataSet(), true);
}
BENCHMARK(BM_PrepareListFromTableSwapped)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
