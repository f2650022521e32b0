// Exporting a prepared list of about 200 pages to PDF through the whole export loop (every page
// and object as the preview's export menu hands them over), with the faces named only and with
// them embedded. Counters: pages and the document's bytes.
// Run headless: QT_QPA_PLATFORM=offscreen bench_export_pdf
#include <benchmark/benchmark.h>

#include "bench/ListReport.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Application.h"
#include "report/core/frxPreviewPages.h"
#include "report/output/frxExportPDF.h"

namespace {
using namespace benchlist;

void BM_ExportListToPdf(benchmark::State& state) {
    EnsureQtApplication();
    frx::Startup();
    // Prepared once and kept to the end of the process: the export is what is timed.
    static TMemRows& rows = *new TMemRows(10000);
    static TfrxReport& report = *new TfrxReport;
    static const bool prepared = [] {
        BuildReport(report, rows.DataSet(), false);
        return report.PrepareReport();
    }();
    if (!prepared) {
        state.SkipWithError(report.ErrorList->Text().c_str());
        return;
    }
    int64_t bytes = 0;
    for (auto _ : state) {
        TMemoryStream target;
        TfrxPDFExport pdf(nullptr);
        pdf.SetShowDialog(false);
        pdf.Stream = &target;
        pdf.EmbeddedFonts = state.range(0) != 0;
        report.PreviewPages()->Export(&pdf);
        bytes = target.Size();
    }
    state.counters["pages"] = double(report.PreviewPages()->GetCount());
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_ExportListToPdf)->ArgName("embedded")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
}  // namespace
