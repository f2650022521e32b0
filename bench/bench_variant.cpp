// Variant arithmetic and string building, in ns per operation.
#include <benchmark/benchmark.h>

#include "platform/rtl/Variant.h"

namespace {

void BM_VariantIntegerAdd(benchmark::State& state) {
    Variant sum(0);
    const Variant one(1);
    for (auto _ : state) {
        sum = sum + one;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_VariantIntegerAdd);

void BM_VariantInt64MulAdd(benchmark::State& state) {
    Variant acc(int64_t(1));
    const Variant three(int64_t(3)), mask(int64_t(1) << 40);
    for (auto _ : state) {
        acc = VarMod(acc * three + three, mask);
        benchmark::DoNotOptimize(acc);
    }
}
BENCHMARK(BM_VariantInt64MulAdd);

void BM_VariantDoubleArithmetic(benchmark::State& state) {
    Variant x(1.0);
    const Variant k(1.0000001), c(0.5);
    for (auto _ : state) {
        x = x * k + c - c;
        benchmark::DoNotOptimize(x);
    }
}
BENCHMARK(BM_VariantDoubleArithmetic);

void BM_VariantCompare(benchmark::State& state) {
    const Variant a(3), b(3.5);
    for (auto _ : state) {
        bool less = a < b;
        benchmark::DoNotOptimize(less);
    }
}
BENCHMARK(BM_VariantCompare);

// s := s + x for 100,000 pieces; the figure is per append.
void BM_VariantStringAppend100k(benchmark::State& state) {
    const Variant piece("ab");
    for (auto _ : state) {
        Variant s("");
        for (int i = 0; i < 100000; ++i) VarAppend(s, piece);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    state.counters["ns/append"] = benchmark::Counter(
        double(state.iterations()) * 100000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_VariantStringAppend100k)->Unit(benchmark::kMillisecond);

// The same through plain +, which copies the text each time (for comparison; 10,000 pieces).
void BM_VariantStringPlus10k(benchmark::State& state) {
    const Variant piece("ab");
    for (auto _ : state) {
        Variant s("");
        for (int i = 0; i < 10000; ++i) s = s + piece;
        benchmark::DoNotOptimize(s);
    }
    state.counters["ns/append"] = benchmark::Counter(
        double(state.iterations()) * 10000, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_VariantStringPlus10k)->Unit(benchmark::kMillisecond);

}  // namespace
