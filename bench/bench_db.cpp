// The dataset framework over the in-memory dataset: 10 000 records of 135 fields.

#include "platform/db/MemDataSet.h"

#include <benchmark/benchmark.h>

#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kRecords = 10000;
constexpr int kFields = 135;

// ID, then strings, integers, floats and dates in turn.
TMemDataSet* BuildDataSet(TComponent* owner) {
    auto* ds = new TMemDataSet(owner);
    ds->FieldDefs()->Add("ID", ftInteger);
    for (int i = 1; i < kFields; ++i) {
        std::string name = "F" + std::to_string(i);
        switch (i % 4) {
        case 0: ds->FieldDefs()->Add(name, ftString, 40); break;
        case 1: ds->FieldDefs()->Add(name, ftInteger); break;
        case 2: ds->FieldDefs()->Add(name, ftFloat); break;
        default: ds->FieldDefs()->Add(name, ftDate); break;
        }
    }
    ds->Open();
    std::vector<Variant> values(kFields);
    for (int r = 0; r < kRecords; ++r) {
        values[0] = Variant(r + 1);
        for (int i = 1; i < kFields; ++i) {
            switch (i % 4) {
            case 0: values[size_t(i)] = Variant("Žák " + std::to_string(r) + " pole " + std::to_string(i)); break;
            case 1: values[size_t(i)] = Variant(r * i); break;
            case 2: values[size_t(i)] = Variant(r * 0.25 + i); break;
            default: values[size_t(i)] = Variant::FromDate(40000.0 + r % 3000); break;
            }
        }
        ds->AppendRecord(values);
    }
    ds->Close();
    return ds;
}

struct Fixture {
    TComponent Owner{nullptr};
    TMemDataSet* DS = BuildDataSet(&Owner);
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_Open(benchmark::State& state) {
    TMemDataSet* ds = Shared().DS;
    for (auto _ : state) {
        ds->Open();
        benchmark::DoNotOptimize(ds->FieldCount());
        ds->Close();
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

void BM_WalkAllFieldsAsText(benchmark::State& state) {
    TMemDataSet* ds = Shared().DS;
    ds->Open();
    std::vector<TField*> fields(ds->Fields()->List());
    for (auto _ : state) {
        size_t bytes = 0;
        for (ds->First(); !ds->Eof(); ds->Next())
            for (TField* f : fields) bytes += f->GetAsString().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetItemsProcessed(state.iterations() * kRecords * kFields);
    ds->Close();
}
BENCHMARK(BM_WalkAllFieldsAsText)->Unit(benchmark::kMillisecond);

void BM_LocateInteger(benchmark::State& state) {
    TMemDataSet* ds = Shared().DS;
    ds->Open();
    int key = kRecords - 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ds->Locate("ID", Variant(key), {}));
        key = key == kRecords - 1 ? kRecords / 2 : kRecords - 1;
    }
    ds->Close();
}
BENCHMARK(BM_LocateInteger)->Unit(benchmark::kMicrosecond);

void BM_LocateTextCaseInsensitivePartial(benchmark::State& state) {
    TMemDataSet* ds = Shared().DS;
    ds->Open();
    for (auto _ : state)
        benchmark::DoNotOptimize(ds->Locate("F4", Variant("žák 9990 pole"), {loCaseInsensitive, loPartialKey}));
    ds->Close();
}
BENCHMARK(BM_LocateTextCaseInsensitivePartial)->Unit(benchmark::kMicrosecond);

}  // namespace
