// The preview over a 500-page prepared report (fake pages with a report card's few texts):
// showing the first page, and paging from the first to the last by Ctrl+Page Down, each step
// painted. Run by hand: QT_QPA_PLATFORM=offscreen build/bench/bench_preview

#include <benchmark/benchmark.h>

#include "platform/gui/TestKit.h"
#include "report/core/frxReport.h"
#include "report/output/frxPreview.h"
#include "report/output/frxPreviewWorkspace.h"
#include "tests/report/output/PreviewFixture.h"

namespace {
std::vector<FakePage> Cards() {
    std::vector<FakePage> pages(500);
    for (FakePage& p : pages)
        for (int i = 0; i < 20; ++i) p.Texts.push_back({{80, 80 + 40 * i}, "Český jazyk a literatura ...... výborný"});
    return pages;
}

struct Host {
    Host() : Pages(Cards()) {
        TestKit::EnsureApplication();
        Form = new TForm(nullptr);
        Form->SetClientWidth(1000);
        Form->SetClientHeight(740);
        Preview = new TfrxPreview(Form);
        Preview->SetParent(Form);
        Preview->SetAlign(alClient);
        Preview->Report = &Report;
        Preview->PreviewPages = &Pages;
        TestKit::ShowAndActivate(Form);
    }
    ~Host() {
        Preview->Report = nullptr;
        delete Form;
    }
    FakePages Pages;
    TfrxReport Report;
    TForm* Form;
    TfrxPreview* Preview;
};

void BM_ShowFirstPage(benchmark::State& state) {
    Host h;
    for (auto _ : state) {
        h.Preview->Init();
        benchmark::DoNotOptimize(TestKit::Grab(h.Preview->Workspace()));
    }
}
BENCHMARK(BM_ShowFirstPage)->Unit(benchmark::kMillisecond);

void BM_PageThroughByKeys(benchmark::State& state) {
    Host h;
    h.Preview->Init();
    h.Preview->SetFocus();
    for (auto _ : state) {
        h.Preview->First();
        for (int i = 1; i < 500; ++i) {
            TestKit::Key(Qt::Key_PageDown, Qt::ControlModifier);
            benchmark::DoNotOptimize(TestKit::Grab(h.Preview->Workspace()));
        }
        if (h.Preview->GetPageNo() != 500) state.SkipWithError("did not reach page 500");
    }
}
BENCHMARK(BM_PageThroughByKeys)->Unit(benchmark::kMillisecond)->Iterations(1);
}  // namespace
