// Painting a grid-like page of 1,000 text cells (50 rows x 20 columns) into an off-screen
// bitmap: cell backgrounds, grid lines and clipped, aligned text, as the data-aware grid and
// the tree list paint a screenful.

#include <benchmark/benchmark.h>

#include <QtWidgets/QApplication>

#include <string>

#include "platform/gui/Bitmaps.h"

namespace {
void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "bench_gui";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

void PaintGrid(TCanvas* c, int rows, int cols, int cellW, int cellH) {
    c->Font()->SetName("Tahoma");
    c->Font()->SetHeight(-11);
    c->Pen()->SetColor(clBtnShadow);
    for (int r = 0; r < rows; ++r) {
        for (int k = 0; k < cols; ++k) {
            TRect cell = Bounds(k * cellW, r * cellH, cellW - 1, cellH - 1);
            bool selected = r == 3 && k == 2;
            c->Brush()->SetColor(selected ? clHighlight : (r % 2 ? clWindow : clInfoBk));
            c->Font()->SetColor(selected ? clHighlightText : clWindowText);
            TRect text = cell;
            InflateRect(text, -2, 0);
            std::string value = k == 0 ? "Novák Jan " + std::to_string(r) : std::to_string(r * 37 + k * 11) + ",50";
            c->FillRect(cell);
            DrawText(c->Handle(), value, -1, text,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (k == 0 ? DT_LEFT : DT_RIGHT));
        }
        c->MoveTo(0, r * cellH + cellH - 1);
        c->LineTo(cols * cellW, r * cellH + cellH - 1);
    }
    for (int k = 0; k < cols; ++k) {
        c->MoveTo(k * cellW + cellW - 1, 0);
        c->LineTo(k * cellW + cellW - 1, rows * cellH);
    }
}

void BM_PaintThousandTextCells(benchmark::State& state) {
    EnsureApp();
    TBitmap bmp(20 * 64, 50 * 18);
    for (auto _ : state) {
        PaintGrid(bmp.Canvas(), 50, 20, 64, 18);
        benchmark::DoNotOptimize(bmp.GetPixel(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_PaintThousandTextCells)->Unit(benchmark::kMillisecond);
}  // namespace
