// The table dataset against the framework's conformance suite, and the shipped schema.

#include <gtest/gtest.h>

#include "tests/dao/KDaoTestDb.h"
#include "tests/platform/db/DataSetConformance.h"

namespace {

using kdaotest::TempDir;

TempDir& SuiteDir() {
    static TempDir dir;
    return dir;
}

// A closed table "Zaci" of the suite's shape in a fresh database file per call.
TDataSet* MakeDaoTable(TComponent* owner, int rows) {
    static int counter = 0;
    const std::string file = SuiteDir().File("conf" + std::to_string(++counter) + ".mdb");
    std::string script =
        "CREATE TABLE Zaci (ID LONG PRIMARY KEY, Jmeno TEXT(20) COLLATE CZECH, Body DOUBLE, "
        "Datum DATETIME, Poznamka LONGTEXT COLLATE CZECH);\n"
        "INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength, Format) "
        "VALUES ('Zaci', 'Datum', 0, 0, 'Short Date');\n";
    const double firstSeptember2024 = 45536;  // days since 1899-12-30
    for (int i = 1; i <= rows; ++i)
        script += "INSERT INTO Zaci VALUES (" + std::to_string(i) + ", 'Žák " + std::to_string(i) + "', " +
            std::to_string(i * 1.5) + ", " + std::to_string(firstSeptember2024 + i) + ", 'Poznámka " +
            std::to_string(i) + "');\n";
    Dao::CreateDatabaseFromScript(file, script);
    auto* db = new TKDaoDatabase(owner);
    db->SetSmartOpen(false);
    db->SetDatabase(file);
    db->SetConnected(true);
    auto* table = new TKDaoTable(owner);
    table->SetDatabase(db);
    table->SetTableType(2);
    table->SetTableName("Zaci");
    return table;
}

}  // namespace

// The table's documented rules: Locate leaves the window as it is, a dynaset adds new records
// at its end, and Jet compares text without case.
INSTANTIATE_TEST_SUITE_P(
    Dao, DataSetConformance, ::testing::Values(DataSetMaker{"Dao", MakeDaoTable, false, false, false}));

// The database the program ships: every table opens with the fields the windows expect.
TEST(ShippedDatabase, TablesOpenWithTheirFields) {
    TempDir dir;
    const std::string file = dir.File("vys.mdb");
    Dao::CreateDatabaseFromScriptFile(file, KAROMIL_SOURCE_DIR "/data/vys.sql");
    TComponent owner(nullptr);
    auto* db = new TKDaoDatabase(&owner);
    db->SetSmartOpen(false);
    db->SetDatabase(file);
    db->SetConnected(true);
    struct {
        const char* table;
        int fields;
        int rows;
    } cases[] = {
        {"vysvedceni", 135, 0},
        {"Prefs", 9, 1},
        {"Predmety", 3, 20},
    };
    for (const auto& c : cases) {
        auto* t = new TKDaoTable(&owner);
        t->SetDatabase(db);
        t->SetTableType(2);
        t->SetTableName(c.table);
        t->Open();
        EXPECT_EQ(t->FieldCount(), c.fields) << c.table;
        EXPECT_EQ(t->RecordCount(), c.rows) << c.table;
        t->Close();
    }
}
