// Published-property access by name: the path scripts and the report serializer take.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"

namespace {

class TBenchView : public TComponent {
    KAROMIL_CLASS(TBenchView, TComponent)
public:
    using TComponent::TComponent;
    int32_t GetLeft() const { return FLeft; }
    virtual void SetLeft(int32_t v) { FLeft = v; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int32_t Width = 0, Height = 0, Top = 0;

private:
    int32_t FLeft = 0;
    std::string FCaption;
};

}  // namespace

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBenchView, TComponent, {
    p.Prop("Top", &Self::Top);
    p.Prop("Width", &Self::Width);
    p.Prop("Height", &Self::Height);
    KAROMIL_PROP(Left).Default(0);
    KAROMIL_PROP(Caption);
})

static void BM_GetOrdPropByName(benchmark::State& state) {
    TBenchView v(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(GetOrdProp(&v, "Left"));
}
BENCHMARK(BM_GetOrdPropByName);

static void BM_SetOrdPropByName(benchmark::State& state) {
    TBenchView v(nullptr);
    int64_t n = 0;
    for (auto _ : state) SetOrdProp(&v, "left", ++n);
    benchmark::DoNotOptimize(v.GetLeft());
}
BENCHMARK(BM_SetOrdPropByName);

static void BM_GetStrPropByName(benchmark::State& state) {
    TBenchView v(nullptr);
    v.SetCaption("Vysvědčení");
    for (auto _ : state) benchmark::DoNotOptimize(GetStrProp(&v, "Caption"));
}
BENCHMARK(BM_GetStrPropByName);

static void BM_SetStrPropByName(benchmark::State& state) {
    TBenchView v(nullptr);
    const std::string value = "Vysvědčení";
    for (auto _ : state) SetStrProp(&v, "CAPTION", value);
    benchmark::DoNotOptimize(v.GetCaption());
}
BENCHMARK(BM_SetStrPropByName);

static void BM_GetVariantPropByName(benchmark::State& state) {
    TBenchView v(nullptr);
    for (auto _ : state) benchmark::DoNotOptimize(GetVariantProp(&v, "Left"));
}
BENCHMARK(BM_GetVariantPropByName);
