#pragma once
// A throw-away copy of the application's database ("vys.mdb" with the tables vysvedceni,
// Prefs and Predmety) in a temporary folder, and a connected database component on it.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "dao/KDaoDatabase.h"
#include "dao/KDaoTable.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/daoengine/DaoSqlite.h"
#include "tests/common/DaoTestSupport.h"

namespace kdaotest {

using testsupport::TempDir;

inline std::string VysvedceniSchema() {
    std::string cols =
        "ID INTEGER PRIMARY KEY AUTOINCREMENT, SkolniRok TEXT(10) COLLATE CZECH, Trida TEXT(15) COLLATE CZECH, "
        "Rocnik TEXT(5) COLLATE CZECH, Jmeno TEXT(50) COLLATE CZECH, DatumNar DATETIME, "
        "RodneCislo TEXT(15) COLLATE CZECH, MistoNar TEXT(50) COLLATE CZECH, CisloTV TEXT(5) COLLATE CZECH, "
        "Chovani TEXT(35) COLLATE CZECH, CHovaniTisk YESNO";
    for (int i = 1; i <= 19; ++i)
        cols += ", Predmet" + std::to_string(i) + " TEXT(35) COLLATE CZECH, Predmet" + std::to_string(i) + "Tisk YESNO";
    cols += ", ZnamkaChovA TEXT(15) COLLATE CZECH, ZnamkaChovB TEXT(15) COLLATE CZECH";
    for (int i = 1; i <= 19; ++i)
        cols += ", Znamka" + std::to_string(i) + "A TEXT(15) COLLATE CZECH, Znamka" + std::to_string(i) +
            "B TEXT(15) COLLATE CZECH";
    for (int i = 1; i <= 8; ++i) cols += ", NPredmet" + std::to_string(i) + " TEXT(35) COLLATE CZECH";
    for (int i = 1; i <= 8; ++i)
        cols += ", NZnamka" + std::to_string(i) + "A TEXT(15) COLLATE CZECH, NZnamka" + std::to_string(i) +
            "B TEXT(15) COLLATE CZECH";
    cols +=
        ", ZamHodinyOmlA SHORT, ZamHodinyOmlB SHORT, ZamHodinyNeomlA SHORT, ZamHodinyNeomlB SHORT"
        ", CelkHodnA TEXT(40) COLLATE CZECH, CelkHodnB TEXT(40) COLLATE CZECH"
        ", PochvalyA LONGTEXT COLLATE CZECH, PochvalyB LONGTEXT COLLATE CZECH"
        ", SplnilLet TEXT(10) COLLATE CZECH, LetDochazky TEXT(10) COLLATE CZECH, VzdelProgram LONGTEXT COLLATE CZECH"
        ", Dolozka TEXT(120) COLLATE CZECH, VA TEXT(35) COLLATE CZECH, VB TEXT(35) COLLATE CZECH"
        ", DneA TEXT(30) COLLATE CZECH, DneB TEXT(30) COLLATE CZECH"
        ", ReportFront TEXT(128) COLLATE CZECH, ReportBack TEXT(128) COLLATE CZECH"
        ", ReportOpisBack TEXT(128) COLLATE CZECH, ReportOpisFront TEXT(128) COLLATE CZECH"
        ", Ucitel TEXT(30) COLLATE CZECH, SoucastiListB YESNO";
    return "CREATE TABLE vysvedceni (" + cols + ");\n";
}

inline std::string Schema() {
    return VysvedceniSchema() + R"sql(
CREATE TABLE Prefs (ID INTEGER PRIMARY KEY AUTOINCREMENT, SkolaNazev TEXT(100) COLLATE CZECH,
  SkolaAdr1 TEXT(100) COLLATE CZECH, SkolaAdr2 TEXT(100) COLLATE CZECH, IZO TEXT(50) COLLATE CZECH,
  DefaultReportFront TEXT(128) COLLATE CZECH, DefaultReportBack TEXT(128) COLLATE CZECH,
  DefaultReportOpisBack TEXT(128) COLLATE CZECH, DefaultReportOpisFront TEXT(128) COLLATE CZECH);
CREATE TABLE Predmety (ID INTEGER PRIMARY KEY AUTOINCREMENT, Nazev TEXT(35) COLLATE CZECH, tisk YESNO);
CREATE UNIQUE INDEX Predmety__IxNazev ON Predmety (Nazev);
INSERT INTO dao_indexes VALUES ('Predmety', 'IxNazev', 'Predmety__IxNazev', 0);
INSERT INTO dao_fields (TableName, FieldName, Required, AllowZeroLength, DefaultValue, Format, Caption) VALUES
  ('Predmety', 'Nazev', 0, 0, NULL, NULL, 'Název předmětu'),
  ('vysvedceni', 'Ucitel', 0, 1, NULL, NULL, NULL),
  ('vysvedceni', 'PochvalyA', 0, 1, NULL, NULL, NULL);
INSERT INTO Prefs (SkolaNazev, IZO, DefaultReportFront) VALUES ('ZŠ Karlov', '600123', 'front.fr3');
INSERT INTO Predmety (Nazev, tisk) VALUES ('Český jazyk', -1), ('Matematika', -1), ('Chemie', 0),
  ('Cizí jazyk', 0), ('Dějepis', -1);
INSERT INTO vysvedceni (SkolniRok, Trida, Jmeno, Ucitel, ZamHodinyOmlA, PochvalyA, DatumNar) VALUES
  ('2004/2005', '1.A', 'Novák Jan', 'Horová', 4, 'Pochvala třídního učitele', 38000.5),
  ('2004/2005', '1.A', 'Nováková Eva', 'Horová', 0, NULL, NULL),
  ('2004/2005', '1.B', 'Chalupa Petr', 'Dvořák', 12, NULL, NULL),
  ('2004/2005', '2.A', 'Čermák "Číča" Jiří', 'Dvořák', NULL, NULL, NULL),
  ('2004/2005', '2.A', 'Horák Adam', NULL, 2, NULL, NULL);
)sql";
}


class KDaoFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FileName = Dir.File("vys.mdb");
        Dao::CreateDatabaseFromScript(FileName, Schema() + ExtraSchema());
        Owner = std::make_unique<TComponent>(nullptr);
        Db = new TKDaoDatabase(Owner.get());
        Db->SetName("KDaoDatabase1");
        Db->SetSmartOpen(false);
        Db->SetDatabase(FileName);
        Db->SetConnected(true);
    }
    // More tables a fixture wants in its copy of the database.
    virtual std::string ExtraSchema() const { return ""; }
    TKDaoTable* Table(const std::string& name, int type = 2) {
        auto* t = new TKDaoTable(Owner.get());
        t->SetDatabase(Db);
        t->SetTableType(type);
        t->SetTableName(name);
        return t;
    }
    // Runs SQL on a separate plain SQLite connection: another user of the file.
    void Other(const std::string& sql) { testsupport::RunPlainSql(FileName, sql); }
    TempDir Dir{"karomil-kdao"};
    std::string FileName;
    std::unique_ptr<TComponent> Owner;
    TKDaoDatabase* Db = nullptr;
};

// The message of the exception f raises ('' when none).
template <class F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "";
}

}  // namespace kdaotest
