// The DAO engine against plain SQLite on a table shaped like "vysvedceni":
// 10,000 rows x 135 columns.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/daoengine/DaoEngine.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/daoengine/DaoSqlite.h"

namespace {

constexpr int kRows = 10000;

struct Col {
    std::string Name, Type;
};

std::vector<Col> Columns() {
    std::vector<Col> c = {{"ID", "INTEGER PRIMARY KEY AUTOINCREMENT"}, {"SkolniRok", "TEXT(10)"}, {"Trida", "TEXT(15)"},
        {"Rocnik", "TEXT(5)"}, {"Jmeno", "TEXT(50)"}, {"DatumNar", "DATETIME"}, {"RodneCislo", "TEXT(15)"},
        {"MistoNar", "TEXT(50)"}, {"CisloTV", "TEXT(5)"}, {"Chovani", "TEXT(35)"}, {"CHovaniTisk", "YESNO"}};
    for (int i = 1; i <= 19; ++i) {
        c.push_back({"Predmet" + std::to_string(i), "TEXT(35)"});
        c.push_back({"Predmet" + std::to_string(i) + "Tisk", "YESNO"});
    }
    c.push_back({"ZnamkaChovA", "TEXT(15)"});
    c.push_back({"ZnamkaChovB", "TEXT(15)"});
    for (int i = 1; i <= 19; ++i) {
        c.push_back({"Znamka" + std::to_string(i) + "A", "TEXT(15)"});
        c.push_back({"Znamka" + std::to_string(i) + "B", "TEXT(15)"});
    }
    for (int i = 1; i <= 8; ++i) c.push_back({"NPredmet" + std::to_string(i), "TEXT(35)"});
    for (int i = 1; i <= 8; ++i) {
        c.push_back({"NZnamka" + std::to_string(i) + "A", "TEXT(15)"});
        c.push_back({"NZnamka" + std::to_string(i) + "B", "TEXT(15)"});
    }
    for (const char* n : {"ZamHodinyOmlA", "ZamHodinyOmlB", "ZamHodinyNeomlA", "ZamHodinyNeomlB"})
        c.push_back({n, "SHORT"});
    c.push_back({"CelkHodnA", "TEXT(40)"});
    c.push_back({"CelkHodnB", "TEXT(40)"});
    c.push_back({"PochvalyA", "LONGTEXT"});
    c.push_back({"PochvalyB", "LONGTEXT"});
    c.push_back({"SplnilLet", "TEXT(10)"});
    c.push_back({"LetDochazky", "TEXT(10)"});
    c.push_back({"VzdelProgram", "LONGTEXT"});
    c.push_back({"Dolozka", "TEXT(120)"});
    for (const char* n : {"VA", "VB"}) c.push_back({n, "TEXT(35)"});
    for (const char* n : {"DneA", "DneB"}) c.push_back({n, "TEXT(30)"});
    for (const char* n : {"ReportFront", "ReportBack", "ReportOpisBack", "ReportOpisFront"})
        c.push_back({n, "TEXT(128)"});
    c.push_back({"Ucitel", "TEXT(30)"});
    c.push_back({"SoucastiListB", "YESNO"});
    return c;
}

struct Fixture {
    std::string Dir, File;
    std::vector<Col> Cols = Columns();
    Fixture() {
        char tmpl[] = "/tmp/karomil-bench-XXXXXX";
        Dir = mkdtemp(tmpl);
        File = Dir + "/vys.mdb";
        std::string ddl = "CREATE TABLE vysvedceni (";
        for (size_t i = 0; i < Cols.size(); ++i) {
            const bool text = Cols[i].Type.rfind("TEXT", 0) == 0 || Cols[i].Type == "LONGTEXT";
            ddl += (i ? ", " : "") + Cols[i].Name + " " + Cols[i].Type + (text ? " COLLATE CZECH" : "");
        }
        ddl +=
            "); CREATE INDEX vysvedceni__IxJmeno ON vysvedceni (Jmeno);"
            "INSERT INTO dao_indexes VALUES ('vysvedceni', 'IxJmeno', 'vysvedceni__IxJmeno', 0);";
        Dao::CreateDatabaseFromScript(File, ddl);
        sqlite3* db = nullptr;
        sqlite3_open(File.c_str(), &db);
        Dao::detail::RegisterFunctions(db);
        std::string ins = "INSERT INTO vysvedceni VALUES (NULL";
        for (size_t i = 1; i < Cols.size(); ++i) ins += ", ?" + std::to_string(i);
        ins += ")";
        sqlite3_stmt* s = nullptr;
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(db, ins.c_str(), -1, &s, nullptr);
        for (int r = 0; r < kRows; ++r) {
            for (size_t i = 1; i < Cols.size(); ++i) {
                const std::string& t = Cols[i].Type;
                if (t == "YESNO") sqlite3_bind_int(s, int(i), r % 2 ? -1 : 0);
                else if (t == "SHORT") sqlite3_bind_int(s, int(i), r % 30);
                else if (t == "DATETIME") sqlite3_bind_double(s, int(i), 38000 + r % 3000);
                else if (Cols[i].Name == "Jmeno") {
                    const std::string v = "Žák " + std::to_string(r);
                    sqlite3_bind_text(s, int(i), v.c_str(), -1, SQLITE_TRANSIENT);
                } else {
                    const std::string v = Cols[i].Name.substr(0, 6) + " č. " + std::to_string(r % 97);
                    sqlite3_bind_text(s, int(i), v.c_str(), -1, SQLITE_TRANSIENT);
                }
            }
            sqlite3_step(s);
            sqlite3_reset(s);
        }
        sqlite3_finalize(s);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    ~Fixture() { std::filesystem::remove_all(Dir); }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

std::shared_ptr<Dao::Database> OpenDb() {
    static auto engine = Dao::DBEngine::Create("DAO.DBEngine.36");
    return engine->CreateWorkspace("W", "Admin", "")->OpenDatabase(Data().File);
}

void BM_DynasetWalkAllFieldsAsText(benchmark::State& state) {
    auto db = OpenDb();
    size_t bytes = 0;
    for (auto _ : state) {
        auto rs = db->OpenRecordset("vysvedceni", Dao::dbOpenDynaset, 0, Dao::dbOptimistic);
        Dao::Fields& f = rs->GetFields();
        const int n = f.Count();
        for (; !rs->GetEOF(); rs->MoveNext())
            for (int i = 0; i < n; ++i) bytes += VarToStr(f.Item(i).GetValue()).size();
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_PlainSqliteLoopAllColumnsAsText(benchmark::State& state) {
    const auto& cols = Data().Cols;
    sqlite3* db = nullptr;
    sqlite3_open_v2(Data().File.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    std::string sql = "SELECT ";
    for (size_t i = 0; i < cols.size(); ++i) sql += (i ? ", " : "") + cols[i].Name;
    sql += " FROM vysvedceni ORDER BY rowid";
    size_t bytes = 0;
    for (auto _ : state) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
        const int n = sqlite3_column_count(s);
        while (sqlite3_step(s) == SQLITE_ROW)
            for (int i = 0; i < n; ++i) {
                const unsigned char* t = sqlite3_column_text(s, i);
                std::string v = t ? std::string(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(s, i)))
                                  : std::string();
                bytes += v.size();
            }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FindFirstOnTextColumn(benchmark::State& state) {
    auto db = OpenDb();
    auto rs = db->OpenRecordset("vysvedceni", Dao::dbOpenDynaset);
    int i = 0;
    for (auto _ : state) {
        rs->FindFirst("[Jmeno] = \"žák " + std::to_string((i++ * 7919) % kRows) + "\"");
        if (rs->NoMatch()) state.SkipWithError("no match");
    }
}

void BM_SeekOnIndex(benchmark::State& state) {
    auto db = OpenDb();
    auto rs = db->OpenRecordset("vysvedceni", Dao::dbOpenTable);
    rs->SetIndex("IxJmeno");
    int i = 0;
    for (auto _ : state) {
        rs->Seek("=", {Variant("žák " + std::to_string((i++ * 7919) % kRows))});
        if (rs->NoMatch()) state.SkipWithError("no match");
    }
}

BENCHMARK(BM_DynasetWalkAllFieldsAsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSqliteLoopAllColumnsAsText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindFirstOnTextColumn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SeekOnIndex)->Unit(benchmark::kMicrosecond);

}  // namespace
