// Laying out and drawing a 2,000-character Czech paragraph into an off-screen bitmap with the
// report text engine (10 pt Arial, justified, 96 dpi, scale 1).

#include <benchmark/benchmark.h>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxDrawText.h"

namespace {
std::string CzechParagraph() {
    const std::string sentence =
        "Žák prospěl s vyznamenáním, chování velmi dobré; v příštím školním roce pokračuje ve vzdělávání. ";
    std::string text;
    while (Utf8Length(text) < 2000) text += sentence;
    return Utf8Copy(text, 1, 2000);
}

void BM_LayoutAndDrawCzechParagraph(benchmark::State& state) {
    EnsureQtApplication();
    const std::string text = CzechParagraph();
    TBitmap bitmap(700, 900);
    TFont font;
    font.SetName("Arial");
    font.SetSize(10);
    TfrxDrawText engine;
    for (auto _ : state) {
        TfrxDrawTextLock lock(&engine);
        engine.SetFont(&font);
        engine.SetOptions(true, true, 0, true, false, false);
        engine.SetGaps(0, 0, 2);
        engine.SetArea(Rect(0, 0, 680, 880), Rect(10, 10, 690, 890), 1, 1);
        engine.SetText(text);
        engine.Paint(bitmap.Canvas(), haBlock, vaTop);
        benchmark::DoNotOptimize(engine.LineCount());
    }
    state.counters["lines"] = engine.LineCount();
}
BENCHMARK(BM_LayoutAndDrawCzechParagraph)->Unit(benchmark::kMicrosecond);
}  // namespace
