#pragma once
// A throw-away database in a temporary folder, made by the schema-script runner.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/daoengine/DaoEngine.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/daoengine/DaoSqlite.h"
#include "tests/common/DaoTestSupport.h"

namespace daotest {

using testsupport::TempDir;

inline const char* kSchema = R"sql(
CREATE TABLE Zaci (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Jmeno TEXT(20) COLLATE CZECH,
  Trida TEXT(5) COLLATE CZECH DEFAULT '1.A',
  DatumNar DATETIME,
  Tisk YESNO DEFAULT 0,
  Hodiny SHORT,
  Poznamka LONGTEXT COLLATE CZECH);
CREATE INDEX Zaci__IxJmeno ON Zaci (Jmeno);
CREATE UNIQUE INDEX Zaci__IxPoznamka ON Zaci (Poznamka);
INSERT INTO dao_indexes VALUES ('Zaci', 'IxJmeno', 'Zaci__IxJmeno', 0), ('Zaci', 'IxPoznamka', 'Zaci__IxPoznamka', 0);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength, DefaultValue, Format, Caption) VALUES
  ('Zaci', 'Jmeno', 1, 0, NULL, NULL, 'Jméno žáka'),
  ('Zaci', 'Poznamka', 0, 1, NULL, NULL, NULL),
  ('Zaci', 'DatumNar', 0, 0, NULL, 'Short Date', NULL);
INSERT INTO Zaci (Jmeno, Trida, Hodiny, Poznamka) VALUES
  ('Horák', '1.A', 2, 'a'), ('Chalupa', '1.B', 0, 'b'), ('Čermák', '1.A', 5, 'c'),
  ('Cibulka', '2.A', 1, 'd'), ('Šťastný', '2.B', 3, 'e');
)sql";


// Opens the test database through the engine as the database component does.
class DaoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FileName = Dir.File("vys.mdb");
        Dao::CreateDatabaseFromScript(FileName, kSchema);
        Engine = Dao::DBEngine::Create("DAO.DBEngine.36");
        Ws = Engine->CreateWorkspace("DaoWorkspace", "Admin", "");
        Db = Open();
    }
    std::shared_ptr<Dao::Database> Open() { return Ws->OpenDatabase(FileName, false, false, ";UID=Admin;PWD=;"); }
    std::shared_ptr<Dao::Recordset> Dynaset(const std::string& source = "Zaci") {
        return Db->OpenRecordset(source, Dao::dbOpenDynaset, 0, Dao::dbOptimistic);
    }
    // Runs SQL on a separate plain SQLite connection: "another user".
    void Other(const std::string& sql) { testsupport::RunPlainSql(FileName, sql); }
    TempDir Dir{"karomil-dao"};
    std::string FileName;
    std::shared_ptr<Dao::DBEngine> Engine;
    std::shared_ptr<Dao::Workspace> Ws;
    std::shared_ptr<Dao::Database> Db;
};

// The DAO error number a statement raises, or 0.
template <class F>
int DaoErr(F&& f) {
    try {
        f();
    } catch (const Dao::EDaoError& e) {
        return e.Number();
    }
    return 0;
}

inline std::string Str(const Dao::Recordset& rs, const char* field) {
    return VarToStr(const_cast<Dao::Recordset&>(rs).GetFields().Item(field).GetValue());
}

}  // namespace daotest
