// Walking the 10,000-row card table with all 135 columns filled, side by side: a plain SQLite
// loop over the file, the DAO engine's recordset and the table dataset, each reading every
// field of every row. Goals: recordset within 1.3x of the plain loop, table within 1.2x of
// the recordset. And posting: one record edited and posted through the table dataset against
// plain SQLite's autocommit of the same UPDATE with the engine's durability (rollback journal,
// synchronous FULL); goal within 1.5x.
// Run side by side, several rounds, with minimum and median:
//   bench_dao --benchmark_filter='Walk|Post' --benchmark_repetitions=7 \
//     --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <time.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "../tests/dao/KDaoTestDb.h"
#include "platform/db/Fields.h"

namespace {

constexpr int kRows = 10000;

double MinOf(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

struct Fixture {
    Fixture() {
        file = dir.File("vys.mdb");
        Dao::CreateDatabaseFromScript(file, kdaotest::VysvedceniSchema());
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        Dao::detail::RegisterFunctions(db);
        std::vector<std::pair<std::string, std::string>> cols;  // name, declared type
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA table_info(vysvedceni)", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 1)),
                reinterpret_cast<const char*>(sqlite3_column_text(s, 2)));
        sqlite3_finalize(s);
        std::string ins = "INSERT INTO vysvedceni VALUES (NULL";
        for (size_t i = 1; i < cols.size(); ++i) ins += ", ?" + std::to_string(i);
        ins += ")";
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, ins.c_str(), -1, &s, nullptr);
        for (int r = 0; r < kRows; ++r) {
            for (size_t i = 1; i < cols.size(); ++i) {
                const std::string& t = cols[i].second;
                if (t == "YESNO") sqlite3_bind_int(s, int(i), r % 2 ? -1 : 0);
                else if (t == "SHORT") sqlite3_bind_int(s, int(i), r % 30);
                else if (t == "DATETIME") sqlite3_bind_double(s, int(i), 38000 + r % 3000);
                else {
                    const std::string v = t == "LONGTEXT"
                        ? "Pochvala za reprezentaci školy č. " + std::to_string(r % 97)
                        : cols[i].first.substr(0, 5) + " č. " + std::to_string(r % 97);
                    sqlite3_bind_text(s, int(i), v.c_str(), -1, SQLITE_TRANSIENT);
                }
            }
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        owner = std::make_unique<TComponent>(nullptr);
        kdb = new TKDaoDatabase(owner.get());
        kdb->SetSmartOpen(false);
        kdb->SetDatabase(file);
        kdb->SetConnected(true);
    }
    kdaotest::TempDir dir;
    std::string file;
    std::unique_ptr<TComponent> owner;
    TKDaoDatabase* kdb;
};

Fixture& F() {
    static Fixture f;
    return f;
}

// Every column copied out in its own type, as a program reading the file directly would.
void BM_WalkPlainSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(F().file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    Dao::detail::RegisterFunctions(db);
    size_t bytes = 0;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM vysvedceni ORDER BY rowid", -1, &s, nullptr);
        const int n = sqlite3_column_count(s);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < n; ++i) switch (sqlite3_column_type(s, i)) {
                case SQLITE_INTEGER: bytes += size_t(sqlite3_column_int64(s, i) & 1); break;
                case SQLITE_FLOAT: bytes += sqlite3_column_double(s, i) > 0 ? 1 : 0; break;
                case SQLITE_NULL: break;
                default: {
                    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                    std::string v(t, size_t(sqlite3_column_bytes(s, i)));
                    bytes += v.size();
                }
                }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WalkPlainSqlite)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", MinOf);

void BM_WalkRecordset(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        auto rs = F().kdb->DaoDatabase()->OpenRecordset("vysvedceni", Dao::dbOpenDynaset, 0, Dao::dbOptimistic);
        auto& flds = rs->GetFields();
        const int n = flds.Count();
        for (; !rs->GetEOF(); rs->MoveNext())
            for (int i = 0; i < n; ++i) bytes += flds.Item(i).GetValue().IsNull() ? 0 : 1;
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WalkRecordset)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", MinOf);

void BM_WalkTable(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        TKDaoTable t(nullptr);
        t.SetDatabase(F().kdb);
        t.SetTableName("vysvedceni");
        t.SetCacheMemos(true);  // the memo values are read with the row, as the recordset reads them
        t.Open();
        const std::vector<TField*>& fields = t.Fields()->List();
        for (; !t.Eof(); t.Next())
            for (TField* f : fields) bytes += f->GetAsVariant().IsNull() ? 0 : 1;
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WalkTable)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", MinOf);

// The text the posts write, alternating so that every UPDATE changes the row.
std::string PostedName(int64_t i) { return i % 2 ? "Žák upravený" : "Žák původní"; }

void BM_PostPlainSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(F().file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Dao::detail::RegisterFunctions(db);
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "UPDATE vysvedceni SET Jmeno = ?1 WHERE rowid = ?2", -1, &s, nullptr);
    int64_t i = 0;
    for (auto _ : state) {
        const std::string v = PostedName(i++);
        sqlite3_bind_text(s, 1, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 2, 1);
        if (sqlite3_step(s) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
}
BENCHMARK(BM_PostPlainSqlite)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", MinOf);

void BM_PostTable(benchmark::State& state) {
    TKDaoTable t(nullptr);
    t.SetDatabase(F().kdb);
    t.SetTableName("vysvedceni");
    t.Open();
    TField* name = t.FieldByName("Jmeno");
    int64_t i = 0;
    for (auto _ : state) {
        t.Edit();
        name->SetAsString(PostedName(i++));
        t.Post();
    }
}
BENCHMARK(BM_PostTable)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", MinOf);

// The two posts above alternating, one of each per iteration, so that both meet the same disk:
// the counters give minimum and median per post (wall and CPU) and the ratios table / plain.
double Seconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}
double MedianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
void BM_PostSideBySide(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(F().file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    Dao::detail::RegisterFunctions(db);
    sqlite3_exec(db, "PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "UPDATE vysvedceni SET Jmeno = ?1 WHERE rowid = ?2", -1, &s, nullptr);
    TKDaoTable t(nullptr);
    t.SetDatabase(F().kdb);
    t.SetTableName("vysvedceni");
    t.Open();
    t.Next();  // the table posts row 2, the plain statement row 1: neither reads the other's change
    TField* name = t.FieldByName("Jmeno");
    std::vector<double> plainWall, plainCpu, tableWall, tableCpu;
    int64_t i = 0;
    for (auto _ : state) {
        const std::string v = PostedName(i++);
        double w = Seconds(CLOCK_MONOTONIC), c = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        sqlite3_bind_text(s, 1, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(s, 2, 1);
        if (sqlite3_step(s) != SQLITE_DONE) state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_reset(s);
        plainWall.push_back(Seconds(CLOCK_MONOTONIC) - w);
        plainCpu.push_back(Seconds(CLOCK_PROCESS_CPUTIME_ID) - c);
        w = Seconds(CLOCK_MONOTONIC), c = Seconds(CLOCK_PROCESS_CPUTIME_ID);
        t.Edit();
        name->SetAsString(v);
        t.Post();
        tableWall.push_back(Seconds(CLOCK_MONOTONIC) - w);
        tableCpu.push_back(Seconds(CLOCK_PROCESS_CPUTIME_ID) - c);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    state.counters["plain_min_ms"] = MinOf(plainWall) * 1e3;
    state.counters["plain_med_ms"] = MedianOf(plainWall) * 1e3;
    state.counters["table_min_ms"] = MinOf(tableWall) * 1e3;
    state.counters["table_med_ms"] = MedianOf(tableWall) * 1e3;
    state.counters["ratio_min"] = MinOf(tableWall) / MinOf(plainWall);
    state.counters["ratio_med"] = MedianOf(tableWall) / MedianOf(plainWall);
    state.counters["cpu_ratio_min"] = MinOf(tableCpu) / MinOf(plainCpu);
    state.counters["cpu_ratio_med"] = MedianOf(tableCpu) / MedianOf(plainCpu);
}
BENCHMARK(BM_PostSideBySide)->Iterations(300)->Unit(benchmark::kMillisecond);

void BM_TableLocate(benchmark::State& state) {
    TKDaoTable t(nullptr);
    t.SetDatabase(F().kdb);
    t.SetTableName("vysvedceni");
    t.Open();
    int i = 0;
    for (auto _ : state) {
        bool ok = t.Locate("Jmeno", Variant("Jmeno č. " + std::to_string((i++ * 7919) % 97)), TLocateOptions{});
        benchmark::DoNotOptimize(ok);
    }
}
BENCHMARK(BM_TableLocate)->Unit(benchmark::kMicrosecond);

}  // namespace
