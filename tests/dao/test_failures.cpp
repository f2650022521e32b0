// Failures reach the caller: a damaged file or a lock held by another program raises a DAO
// error during a walk instead of ending the table early; the walk goes on once the cause is
// gone. Also the typed record buffer (Null and '' apart) and the keys of Locate and Lookup.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "KDaoTestDb.h"
#include "platform/db/Fields.h"
#include "platform/rtl/SysUtils.h"

namespace {

using kdaotest::ErrorOf;
using testsupport::TempDir;

constexpr int kCards = 400;

// The shipped database with kCards cards, each with a commendation long enough to spill into
// overflow pages (so the rows' values lie in pages a walk reads after the table was opened).
std::string ShippedDatabaseWithCards(const TempDir& dir) {
    const std::string file = dir.File("vys.mdb");
    Dao::CreateDatabaseFromScriptFile(file, KAROMIL_SOURCE_DIR "/data/vys.sql");
    testsupport::RunPlainSql(file,
        "DELETE FROM vysvedceni;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
            std::to_string(kCards) +
            ") INSERT INTO vysvedceni (ID, SkolniRok, Trida, Jmeno, Ucitel, PochvalyA) "
            "SELECT i, '2004/2005', '1.A', 'Žák ' || i, 'Horová', "
            "printf('%.*c', 6000, 'p') FROM n;");
    return file;
}

struct TWalk {
    int Rows = 0;
    bool Raised = false;
    int Number = 0;
    std::string Message;
};

// Opens the card table on the file and reads every field of every row.
TWalk WalkCards(const std::string& file) {
    TWalk w;
    TComponent owner(nullptr);
    try {
        auto* db = new TKDaoDatabase(&owner);
        db->SetSmartOpen(false);
        db->SetDatabase(file);
        db->SetConnected(true);
        auto* t = new TKDaoTable(&owner);
        t->SetDatabase(db);
        t->SetTableName("vysvedceni");
        t->Open();
        for (; !t->Eof(); t->Next()) {
            for (TField* f : t->Fields()->List()) (void)f->GetAsString();
            ++w.Rows;
        }
    } catch (const Dao::EDaoError& e) {
        w.Raised = true;
        w.Number = e.Number();
        w.Message = e.Message();
    }
    return w;
}

void Overwrite(const std::string& file, std::streamoff at, const std::string& bytes) {
    std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(at);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

TEST(DamagedDatabase, AWalkRaisesADaoErrorNeverEndsShort) {
    TempDir dir("karomil-damaged");
    const std::string good = ShippedDatabaseWithCards(dir);
    ASSERT_EQ(WalkCards(good).Rows, kCards);
    const auto size = std::streamoff(std::filesystem::file_size(good));
    const std::streamoff page = 4096;
    // Places given as fractions of the file, each rounded to a page: the page's first bytes
    // (its header, or an overflow page's link) are overwritten with garbage.
    struct Case {
        const char* Name;
        std::vector<double> Places;
        std::string Bytes;
    };
    const Case cases[] = {
        {"one page in the middle", {0.5}, std::string(8, '\xFF')},
        {"a page near the end", {0.85}, std::string(16, '\x7F')},
        {"several places", {0.3, 0.6, 0.8}, std::string(8, '\xA5')},
        {"zeroed link", {0.7}, std::string(4, '\0') + std::string(4, '\x01')},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string copy = dir.File("damaged" + std::to_string(++n) + ".mdb");
        std::filesystem::copy_file(good, copy);
        for (double p : c.Places) Overwrite(copy, std::streamoff(double(size) * p) / page * page, c.Bytes);
        const TWalk w = WalkCards(copy);
        EXPECT_TRUE(w.Raised) << "walked " << w.Rows << " of " << kCards << " rows without an error";
        if (w.Raised) {
            EXPECT_EQ(w.Number, Dao::errUnrecognizedFormat);
            EXPECT_NE(w.Message.find("poškozen"), std::string::npos) << w.Message;
        }
    }
}

class Failures : public kdaotest::KDaoFixture {};

// Another process holds the file locked exclusively in the middle of a walk: the next read
// that needs the file waits the query timeout and raises the lock error; the dataset keeps its
// place, and once the lock is gone the walk goes on and reaches every row once.
TEST_F(Failures, ALockHeldByAnotherProcessIsAnErrorAndTheWalkResumes) {
    Other(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 295) "
        "INSERT INTO vysvedceni (Jmeno) SELECT 'Žák ' || i FROM n;");
    Db->DaoDatabase()->SetQueryTimeout(1);
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    const int total = t->RecordCount();
    ASSERT_EQ(total, 300);
    std::vector<int> seen;
    for (int i = 0; i < 10; ++i, t->Next()) seen.push_back(t->FieldByName("ID")->GetAsInteger());

    int toChild[2], toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        sqlite3* db = nullptr;
        char c = 0;
        const bool ok = sqlite3_open_v2(FileName.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
            sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
        c = ok ? 'L' : 'E';
        if (write(toParent[1], &c, 1) != 1) _exit(2);
        if (read(toChild[0], &c, 1) != 1) _exit(3);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(toParent[0], &c, 1), 1);
    ASSERT_EQ(c, 'L');

    std::string error;
    int number = 0;
    int before = 0;
    try {
        for (; !t->Eof(); t->Next()) seen.push_back(t->FieldByName("ID")->GetAsInteger());
    } catch (const Dao::EDaoError& e) {
        error = e.Message();
        number = e.Number();
        before = t->FieldByName("ID")->GetAsInteger();
    }
    EXPECT_EQ(number, Dao::errLocked) << error;
    EXPECT_NE(error.find("uzamčen"), std::string::npos) << error;
    EXPECT_FALSE(t->Eof());  // not the end of the table
    EXPECT_EQ(t->State(), dsBrowse);
    EXPECT_EQ(t->RecordCount(), total);  // the count did not shrink
    EXPECT_EQ(before, seen.back());  // still on the last row read

    c = 'U';
    ASSERT_EQ(write(toChild[1], &c, 1), 1);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    for (t->Next(); !t->Eof(); t->Next()) seen.push_back(t->FieldByName("ID")->GetAsInteger());
    ASSERT_EQ(int(seen.size()), total);
    for (int i = 0; i < total; ++i) ASSERT_EQ(seen[size_t(i)], i + 1);
}

// Null and '' are two values: each survives a post and a fresh read as itself.
TEST_F(Failures, NullAndEmptyTextStayApartThroughPostAndReRead) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    auto reread = [&] {
        t->Close();
        t->Open();
        ASSERT_TRUE(t->Locate("ID", Variant(1), TLocateOptions{}));
    };
    struct Case {
        const char* Field;
        Variant Value;
        bool IsNull;
        const char* Stored;  // typeof() in the file
    };
    const Case cases[] = {
        {"Ucitel", Variant(std::string()), false, "text"},  // zero-length strings allowed
        {"Ucitel", Variant::Null(), true, "null"},
        {"Ucitel", Variant("Horová"), false, "text"},
        {"Jmeno", Variant(std::string()), true, "null"},  // not allowed there: no value
        {"ZamHodinyOmlA", Variant(0), false, "integer"},
        {"ZamHodinyOmlA", Variant::Null(), true, "null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + " := " + VarToStr(c.Value));
        t->Edit();
        t->FieldByName(c.Field)->SetAsVariant(c.Value);
        t->Post();
        reread();
        TField* f = t->FieldByName(c.Field);
        EXPECT_EQ(f->IsNull(), c.IsNull);
        if (!c.IsNull) {
            EXPECT_EQ(f->GetAsString(), VarToStr(c.Value));
        }
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open_v2(FileName.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(
            raw, ("SELECT typeof(" + std::string(c.Field) + ") FROM vysvedceni WHERE ID = 1").c_str(), -1, &s, nullptr);
        ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), c.Stored);
        sqlite3_finalize(s);
        sqlite3_close(raw);
    }
    // Dates and numbers reach the field without the process's format settings.
    TFormatSettings saved = FormatSettings();
    FormatSettings().DecimalSeparator = U'.';
    FormatSettings().DateSeparator = U'/';
    reread();
    EXPECT_EQ(t->FieldByName("DatumNar")->GetAsDateTime(), 38000.5);
    ASSERT_TRUE(t->Locate("ID", Variant(3), TLocateOptions{}));
    EXPECT_EQ(t->FieldByName("ZamHodinyOmlA")->GetAsInteger(), 12);
    FormatSettings() = saved;
}

// A key given as text is a value, never a piece of the criteria: for a numeric field it is
// a number or finds nothing.
TEST_F(Failures, KeyTextIsAValueNeverCriteria) {
    TKDaoTable* t = Table("vysvedceni");
    t->Open();
    struct Case {
        const char* Fields;
        const char* Key;
        int Found;  // the ID found, 0 for none
    };
    const Case cases[] = {
        {"ID", "999 OR 1=1", 0},
        {"ID", "-1 OR ID > 3", 0},
        {"ID", "1) OR (1=1", 0},
        {"ID", "4", 4},
        {"ID", " 2 ", 2},
        {"ID", "3,0", 3},  // the locale's form
        {"ID", "abc", 0},
        {"ZamHodinyOmlA", "12 OR 1=1", 0},
        {"Jmeno", "x\" OR \"1\"=\"1", 0},
        {"Jmeno", "Horák Adam\") OR (ID > 0", 0},
        {"Jmeno", "Horák Adam", 5},
        {"Trida", "1.A' OR '1'='1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Fields) + " = " + c.Key);
        ASSERT_TRUE(t->Locate("ID", Variant(1), TLocateOptions{}));
        EXPECT_EQ(t->Locate(c.Fields, Variant(c.Key), TLocateOptions{}), c.Found != 0);
        EXPECT_EQ(t->FieldByName("ID")->GetAsInteger(), c.Found ? c.Found : 1);  // not found: stays
        const Variant looked = t->Lookup(c.Fields, Variant(c.Key), "ID");
        if (c.Found) {
            EXPECT_EQ(looked.AsInteger(), c.Found);
        } else EXPECT_TRUE(looked.IsNull());
    }
    // Partial and case-insensitive keys are values too: their wildcards are literal.
    EXPECT_FALSE(t->Locate("Jmeno", Variant("*"), TLocateOptions{loPartialKey}));
    EXPECT_TRUE(t->Locate("Jmeno", Variant("nováková"), TLocateOptions{loPartialKey, loCaseInsensitive}));
    EXPECT_EQ(t->FieldByName("ID")->GetAsInteger(), 2);
}

// The criteria error names the routine that could not build it.
TEST_F(Failures, CriteriaErrorNamesTheRoutine) {
    TKDaoTable* t = Table("Predmety");
    auto* id = new TIntegerField(t);
    id->SetFieldName("ID");
    id->SetDataSet(t);
    auto* g = new TGuidField(t);  // a calculated GUID: no criteria can compare it
    g->SetFieldName("G");
    g->SetFieldKind(fkCalculated);
    g->SetDataSet(t);
    t->Open();
    EXPECT_EQ(t->BuildKeyCriteria({"ID"}, {Variant(1)}).Text, "([ID]  = [@1])");
    EXPECT_EQ(ErrorOf([&] { t->Lookup("G", Variant("x"), "ID"); }), "Unable to build Lookup Key SQL!");
    EXPECT_EQ(ErrorOf([&] { t->Locate("G", Variant("x"), TLocateOptions{}); }), "Unable to build Key SQL!");
    EXPECT_EQ(ErrorOf([&] { t->Locate("G", Variant("x"), TLocateOptions{loPartialKey}); }), "Unable to build Key SQL!");
}

// A field's size and whether it must be filled come from the database, so that controls can
// refuse what would not fit before anything is posted.
TEST_F(Failures, FieldsKnowTheirSizeAndRequirement) {
    Other("UPDATE dao_fields SET Required = -1 WHERE TableName = 'Predmety' AND FieldName = 'Nazev';");
    Db->RefreshSchema();
    TKDaoTable* p = Table("Predmety");
    p->Open();
    TField* name = p->FieldByName("Nazev");
    EXPECT_EQ(name->Size(), 35);
    EXPECT_TRUE(name->Required());
    EXPECT_FALSE(p->FieldByName("tisk")->Required());
    // An empty name is refused by the database with a Czech message naming the field's label.
    name->SetDisplayLabel("Název předmětu");
    p->Append();
    const std::string e = ErrorOf([&] { p->Post(); });
    EXPECT_EQ(e, "Pole 'Název předmětu' nemůže obsahovat hodnotu Null, protože je povinné. Zadejte do pole hodnotu.");
    p->Cancel();
}

}  // namespace
