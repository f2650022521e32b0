// Loading report templates of 1,000, 10,000 and 50,000 objects: pages of data bands full of
// text objects, as the designer writes them, with a flow-to reference on every tenth text so
// that the reference fix-up is measured too. Loading should grow about linearly with the
// number of objects.
//
//   bench_load --benchmark_repetitions=5 --benchmark_report_aggregates_only=false

#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "report/core/frxClass.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"

namespace {
constexpr int kTextsPerBand = 49;  // a band and its texts are fifty objects
constexpr int kBandsPerPage = 20;

// The text of a template with about `objects` objects (pages, bands and texts together).
std::string MakeTemplate(int objects) {
    std::string s =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TfrxReport Name=\"\" ScriptLanguage=\"PascalScript\">\r\n";
    int made = 0, page = 0, band = 0, memo = 0;
    while (made < objects) {
        s += "<TfrxReportPage Name=\"Page" + std::to_string(++page) +
            "\" PaperWidth=\"210\" PaperHeight=\"297\" PaperSize=\"9\" LeftMargin=\"10\" RightMargin=\"10\" "
            "TopMargin=\"10\" BottomMargin=\"10\">\r\n";
        ++made;
        for (int b = 0; b < kBandsPerPage && made < objects; ++b) {
            s += "<TfrxMasterData Name=\"MasterData" + std::to_string(++band) + "\" Height=\"45.35\" Top=\"" +
                std::to_string(b * 50) + "\" Width=\"718.11\" RowCount=\"1\">\r\n";
            ++made;
            for (int m = 0; m < kTextsPerBand && made < objects; ++m) {
                ++memo;
                std::string flow;
                if (memo % 10 == 0) flow = " FlowTo=\"Memo" + std::to_string(memo - 5) + "\"";
                s += "<TfrxMemoView Name=\"Memo" + std::to_string(memo) + "\" Left=\"" + std::to_string(m * 14) +
                    "\" Top=\"3.78\" Width=\"94.49\" Height=\"18.9\" Font.Charset=\"1\" Font.Color=\"0\" "
                    "Font.Height=\"-13\" Font.Name=\"Times New Roman\" Font.Style=\"0\" ParentFont=\"False\" "
                    "HAlign=\"haCenter\" Memo.Text=\"Známka [frxDBDSVys.&#34;Znamka" +
                    std::to_string(m) + "A&#34;]\"" + flow + "/>\r\n";
                ++made;
            }
            s += "</TfrxMasterData>\r\n";
        }
        s += "</TfrxReportPage>\r\n";
    }
    s += "</TfrxReport>\r\n";
    return s;
}

const std::string& Template(int objects) {
    static std::map<int, std::string> made;
    auto it = made.find(objects);
    if (it == made.end()) it = made.emplace(objects, MakeTemplate(objects)).first;
    return it->second;
}

void BM_LoadTemplate(benchmark::State& state) {
    frx::Startup();
    const std::string& text = Template(int(state.range(0)));
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    for (auto _ : state) {
        TStringStream s(text);
        report.LoadFromStream(&s);
        benchmark::DoNotOptimize(report.GetPageCount());
    }
    state.counters["objects"] = double(report.GetAllObjects()->Count());
    state.counters["errors"] = double(report.ErrorList->Count());
}
BENCHMARK(BM_LoadTemplate)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond)->MinTime(0.5);
}  // namespace
