// Loading and saving a report template of 1,000 objects (ten containers of 99 text-like
// objects each, with geometry, a font, a text and a few strings) through the stored format.

#include <benchmark/benchmark.h>

#include <memory>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "report/core/frxReport.h"

namespace {
class TBenchView : public TfrxReportComponent {
    KAROMIL_CLASS(TBenchView, TfrxReportComponent)
public:
    explicit TBenchView(TComponent* owner) : TfrxReportComponent(owner) {}
    void Draw(TCanvas*, double, double, double, double) override {}
    TStrings* GetMemo() const { return FMemo.get(); }
    void SetMemo(TStrings* s) { FMemo->Assign(s); }
    std::string DataField, Format;
    int32_t HAlign = 0;

private:
    std::unique_ptr<TStrings> FMemo = std::make_unique<TStringList>();
};

class TBenchBand : public TfrxComponent {
    KAROMIL_CLASS(TBenchBand, TfrxComponent)
public:
    explicit TBenchBand(TComponent* owner) : TfrxComponent(owner) {}
};
}  // namespace

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBenchView, TfrxReportComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
    KAROMIL_PROP(ParentFont).Default(1);
    p.Prop("DataField", &Self::DataField);
    p.Prop("DisplayFormat", &Self::Format);
    p.Prop("HAlign", &Self::HAlign).Default(0);
    KAROMIL_PROP(Memo);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBenchBand, TfrxComponent, {
    KAROMIL_PROP(Left);
    KAROMIL_PROP(Top);
    KAROMIL_PROP(Width);
    KAROMIL_PROP(Height);
})

namespace {
std::string MakeTemplate() {
    RegisterClasses({TBenchView::StaticClass(), TBenchBand::StaticClass()});
    TfrxReport report;
    int n = 0;
    for (int b = 0; b < 10; ++b) {
        auto* band = new TBenchBand(&report);
        band->SetName("Band" + std::to_string(++n));
        band->SetBounds(0, b * 60.5, 718.1, 56.7);
        for (int i = 0; i < 99; ++i) {
            auto* v = new TBenchView(band);
            v->SetName("Memo" + std::to_string(++n));
            v->SetBounds(i * 7.25, 3.78, 94.49, 18.9);
            v->GetMemo()->SetText("Známka z předmětu [frxDBDSVys.\"Znamka" + std::to_string(i) + "A\"]");
            v->DataField = "Znamka" + std::to_string(i);
            if (i % 3 == 0) v->GetFont()->SetName("Times New Roman");
        }
    }
    TStringStream s;
    report.SaveToStream(&s);
    return s.DataString();
}

const std::string& Template() {
    static const std::string text = MakeTemplate();
    return text;
}

void BM_LoadTemplate1000(benchmark::State& state) {
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    for (auto _ : state) {
        TStringStream s(Template());
        report.LoadFromStream(&s);
        benchmark::DoNotOptimize(report.GetPageCount());
    }
    state.counters["objects"] = double(report.GetAllObjects()->Count());
}
BENCHMARK(BM_LoadTemplate1000)->Unit(benchmark::kMillisecond);

void BM_SaveTemplate1000(benchmark::State& state) {
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    TStringStream in(Template());
    report.LoadFromStream(&in);
    for (auto _ : state) {
        TStringStream s;
        report.SaveToStream(&s);
        benchmark::DoNotOptimize(s.Size());
    }
    state.counters["bytes"] = double(Template().size());
}
BENCHMARK(BM_SaveTemplate1000)->Unit(benchmark::kMillisecond);
}  // namespace
