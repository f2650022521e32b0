// What an object costs to build and free, in ns per object: every component, field, list and
// stream pays it. Objects that travel to scripts also take a handle, and scripts ask whether a
// pointer an untyped list holds is still a live object.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"

namespace {

void BM_ObjectCreateFree(benchmark::State& state) {
    for (auto _ : state) {
        auto* o = new TObject;
        benchmark::DoNotOptimize(o);
        delete o;
    }
}
BENCHMARK(BM_ObjectCreateFree);

void BM_ComponentCreateFree(benchmark::State& state) {
    for (auto _ : state) {
        auto* c = new TComponent(nullptr);
        benchmark::DoNotOptimize(c);
        delete c;
    }
}
BENCHMARK(BM_ComponentCreateFree);

void BM_StringListCreateFree(benchmark::State& state) {
    for (auto _ : state) {
        auto* s = new TStringList;
        benchmark::DoNotOptimize(s);
        delete s;
    }
}
BENCHMARK(BM_StringListCreateFree);

// An owner with many children: the batch a window or a report builds and frees at once.
void BM_OwnedComponentsCreateFree(benchmark::State& state) {
    const int n = int(state.range(0));
    for (auto _ : state) {
        auto owner = std::make_unique<TComponent>(nullptr);
        for (int i = 0; i < n; ++i) new TComponent(owner.get());
        benchmark::DoNotOptimize(owner.get());
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_OwnedComponentsCreateFree)->Arg(100);

void BM_ObjectWithHandleCreateFree(benchmark::State& state) {
    for (auto _ : state) {
        auto* o = new TObject;
        benchmark::DoNotOptimize(o->Handle());
        delete o;
    }
}
BENCHMARK(BM_ObjectWithHandleCreateFree);

// Liveness asked of a pointer while many other objects are live (and hold handles).
void BM_IsLive(benchmark::State& state) {
    std::vector<std::unique_ptr<TObject>> others(size_t(state.range(0)));
    for (auto& o : others) {
        o = std::make_unique<TObject>();
        o->Handle();
    }
    const TObject* probe = others[others.size() / 2].get();
    for (auto _ : state) benchmark::DoNotOptimize(TObject::IsLive(probe));
}
BENCHMARK(BM_IsLive)->Arg(10000);

}  // namespace
