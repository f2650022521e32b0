// TKDaoTable over a 10,000-row "vysvedceni" table against the engine's own recordset walk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "../tests/dao/KDaoTestDb.h"
#include "platform/db/Fields.h"

namespace {

struct Fixture {
    Fixture() {
        file = dir.File("vys.mdb");
        std::string script = kdaotest::VysvedceniSchema() + "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                             "INSERT INTO vysvedceni (SkolniRok, Trida, Jmeno, Ucitel, Predmet1, Znamka1A, ZamHodinyOmlA) "
                             "SELECT '2004/2005', '1.A', 'Žák ' || i, 'Horová', 'Český jazyk', '1', i % 30 FROM n;";
        Dao::CreateDatabaseFromScript(file, script);
        owner = std::make_unique<TComponent>(nullptr);
        db = new TKDaoDatabase(owner.get());
        db->SetSmartOpen(false);
        db->SetDatabase(file);
        db->SetConnected(true);
    }
    kdaotest::TempDir dir;
    std::string file;
    std::unique_ptr<TComponent> owner;
    TKDaoDatabase* db;
};

Fixture& F() {
    static Fixture f;
    return f;
}

void BM_RecordsetWalk(benchmark::State& state) {
    for (auto _ : state) {
        auto rs = F().db->DaoDatabase()->OpenRecordset("vysvedceni", Dao::dbOpenDynaset, 0, Dao::dbOptimistic);
        size_t bytes = 0;
        auto& flds = rs->GetFields();
        while (!rs->GetEOF()) {
            for (int i = 0; i < flds.Count(); ++i) bytes += VarToStr(flds.Item(i).GetValue()).size();
            rs->MoveNext();
        }
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_RecordsetWalk)->Unit(benchmark::kMillisecond);

void BM_TableOpenWalk(benchmark::State& state) {
    for (auto _ : state) {
        TKDaoTable t(nullptr);
        t.SetDatabase(F().db);
        t.SetTableName("vysvedceni");
        t.Open();
        size_t bytes = 0;
        for (; !t.Eof(); t.Next())
            for (TField* f : t.Fields()->List()) bytes += f->GetAsString().size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_TableOpenWalk)->Unit(benchmark::kMillisecond);

void BM_TableLocate(benchmark::State& state) {
    TKDaoTable t(nullptr);
    t.SetDatabase(F().db);
    t.SetTableName("vysvedceni");
    t.Open();
    int i = 0;
    for (auto _ : state) {
        bool ok = t.Locate("Jmeno", Variant("Žák " + std::to_string(1 + (i++ * 7919) % 10000)), TLocateOptions{});
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_TableLocate)->Unit(benchmark::kMicrosecond);

} // namespace
