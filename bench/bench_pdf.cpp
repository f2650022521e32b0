// Writing a 100-page PDF document: each A4 page with 40 lines of Czech text in two fonts,
// a frame around every line and one picture, saved compressed and uncompressed into memory.
// Counters: the file size in bytes.

#include <benchmark/benchmark.h>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "report/output/frxPDFFile.h"

namespace {
void BM_WritePdf100Pages(benchmark::State& state) {
    EnsureQtApplication();
    const bool compressed = state.range(0) != 0;
    TFont regular, bold;
    regular.SetName("Arial");
    regular.SetSize(10);
    bold.SetName("Times New Roman");
    bold.SetSize(12);
    bold.SetStyle({fsBold});
    TBitmap picture(120, 60);
    picture.Canvas()->Brush()->SetColor(clBlue);
    picture.Canvas()->FillRect(Rect(0, 0, 120, 60));
    int64_t size = 0;
    for (auto _ : state) {
        TfrxPDFFile pdf;
        pdf.Compressed = compressed;
        for (int p = 0; p < 100; ++p) {
            TfrxPDFPage* page = pdf.AddPage(793.7013, 1122.5204, 10, 10, p);
            TfrxPDFPage::TTextBox box;
            box.Left = 40, box.Width = 700, box.Height = 24;
            for (int i = 0; i < 40; ++i) {
                box.Top = 40 + i * 25;
                page->AddTextLines(i % 8 == 0 ? &bold : &regular,
                    {"Řádek " + std::to_string(i + 1) + ": Příliš žluťoučký kůň úpěl ďábelské ódy."}, box);
                page->AddFrame(clBlack, 1, true, true, true, true, box.Left, box.Top, box.Width, box.Height);
            }
            page->AddImage(&picture, 600, 1060, 120, 60);
        }
        TMemoryStream out;
        pdf.SaveToStream(&out);
        size = out.Size();
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_WritePdf100Pages)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
}  // namespace
