// Exporting a 100-page prepared report to an .xlsx workbook through the Excel filter's steps:
// each page is a report-card-like table of text objects (a framed heading, 30 subject rows of
// name, two grades and a note, a footer) and one picture; the pages are laid onto the grid,
// turned into one sheet and written to a file. Run the Release build for figures.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxExportXLS.h"

namespace {

void Memo(TfrxReportPage& page, double l, double t, double w, double h, const std::string& text, bool framed) {
    auto* m = new TfrxMemoView(&page);
    m->SetParent(&page);
    m->SetName("M" + std::to_string(page.ChildCount()));
    m->SetBounds(l, t, w, h);
    m->SetText(text);
    if (framed) m->GetFrame()->Typ = frxAllSides;
}

std::vector<std::unique_ptr<TfrxReportPage>> MakePages() {
    std::vector<std::unique_ptr<TfrxReportPage>> pages;
    for (int p = 0; p < 100; ++p) {
        auto page = std::make_unique<TfrxReportPage>(nullptr);
        page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 10;
        Memo(*page, 0, 0, 720, 60, "Vysvědčení — žák č. " + std::to_string(p + 1), true);
        for (int r = 0; r < 30; ++r) {
            const double y = 70 + r * 30;
            Memo(*page, 0, y, 300, 30, "Předmět " + std::to_string(r + 1), true);
            Memo(*page, 300, y, 100, 30, std::to_string(1 + (p + r) % 5), true);
            Memo(*page, 400, y, 100, 30, std::to_string(1 + (p * r) % 5), true);
            Memo(*page, 500, y, 220, 30, r % 3 ? "" : "výborný", true);
        }
        Memo(*page, 0, 1000, 600, 20, "V Brně dne 30. června", false);
        auto* seal = new TfrxShapeView(page.get());
        seal->SetParent(page.get());
        seal->SetName("Seal");
        seal->Shape = skEllipse;
        seal->SetBounds(620, 990, 100, 40);
        pages.push_back(std::move(page));
    }
    return pages;
}

void BM_ExportXLS100Pages(benchmark::State& state) {
    const std::string file = GetTempDir() + "bench_export.xlsx";
    const auto pages = MakePages();
    for (auto _ : state) {
        TfrxXLSExport x(nullptr);
        x.ShowProgress = false;
        x.SetFileName(file);
        x.Start();
        int index = 0;
        for (const auto& page : pages) {
            x.StartPage(page.get(), index);
            for (int i = 0; i < page->ChildCount(); ++i) x.ExportObject(page->Child(i));
            x.FinishPage(page.get(), index++);
        }
        x.Finish();
    }
    DeleteFile(file);
}
BENCHMARK(BM_ExportXLS100Pages)->Unit(benchmark::kMillisecond);

}  // namespace
