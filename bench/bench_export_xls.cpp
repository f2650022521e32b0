// Exporting a 100-page prepared report to an .xlsx workbook: each page is a report-card-like
// table (a framed heading, 30 subject rows of name, two grades and a note, a footer), laid onto
// the grid, turned into one sheet and written to a file. Run the Release build for figures.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/classes/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "report/output/frxExportXLS.h"

namespace {

void Add(TfrxIEMatrix& m, double l, double t, double w, double h, const std::string& text, uint8_t frame) {
    auto style = std::make_unique<TfrxIEMStyle>();
    style->FrameTyp = frame;
    style->Font->SetName("Arial");
    style->Font->SetSize(10);
    auto obj = std::make_unique<TfrxIEMObject>();
    obj->StyleIndex = m.AddStyle(std::move(style));
    obj->Left = l;
    obj->Top = t + m.GetPageOffset();
    obj->Width = w;
    obj->Height = h;
    obj->Memo->SetText(text);
    m.AddPlacement(std::move(obj));
}

void BM_ExportXLS100Pages(benchmark::State& state) {
    const std::string file = GetTempDir() + "bench_export.xlsx";
    const uint8_t all = frxIEMLeft | frxIEMRight | frxIEMTop | frxIEMBottom;
    TfrxIEMPage page;
    page.Width = 794;
    page.Height = 1123;
    page.LeftMargin = page.RightMargin = page.TopMargin = page.BottomMargin = 10;
    for (auto _ : state) {
        TfrxXLSExport x(nullptr);
        x.ShowProgress = false;
        x.SetFileName(file);
        x.Start();
        for (int p = 0; p < 100; ++p) {
            x.StartPageSetup(page);
            TfrxIEMatrix& m = *x.Matrix();
            Add(m, 0, 0, 720, 60, "Vysvědčení — žák č. " + std::to_string(p + 1), all);
            for (int r = 0; r < 30; ++r) {
                const double y = 70 + r * 30;
                Add(m, 0, y, 300, 30, "Předmět " + std::to_string(r + 1), all);
                Add(m, 300, y, 100, 30, std::to_string(1 + (p + r) % 5), all);
                Add(m, 400, y, 100, 30, std::to_string(1 + (p * r) % 5), all);
                Add(m, 500, y, 220, 30, r % 3 ? "" : "výborný", all);
            }
            Add(m, 0, 1000, 720, 20, "V Brně dne 30. června", 0);
            x.FinishPageSetup(page);
        }
        x.Finish();
    }
    DeleteFile(file);
}
BENCHMARK(BM_ExportXLS100Pages)->Unit(benchmark::kMillisecond);

}  // namespace
