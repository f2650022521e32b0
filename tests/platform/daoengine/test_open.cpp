#include <gtest/gtest.h>

#include <fstream>

#include "DaoTestDb.h"

using namespace Dao;
using daotest::DaoErr;

namespace {

class Opening : public daotest::DaoFixture {};

TEST_F(Opening, MissingFileIsNeverCreated) {
    const std::string missing = Dir.File("nic.mdb");
    try {
        Ws->OpenDatabase(missing);
        FAIL() << "opened a missing file";
    } catch (const EDaoError& e) {
        EXPECT_EQ(e.Number(), errFileNotFound);
        EXPECT_NE(e.Message().find(missing), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(Engine->GetErrors().Item(0).Number, errFileNotFound);
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(Dir.Path); }), errFileNotFound);
}

TEST_F(Opening, ForeignFilesAreRefusedByName) {
    struct Case {
        const char* Name;
        std::string Content;
    };
    std::string jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    const Case cases[] = {{"jet.mdb", jet}, {"text.mdb", "Hello, this is not a database at all.\n"}, {"empty.mdb", ""}};
    for (const auto& c : cases) {
        const std::string f = Dir.File(c.Name);
        std::ofstream(f, std::ios::binary) << c.Content;
        try {
            Ws->OpenDatabase(f);
            ADD_FAILURE() << c.Name << " opened";
        } catch (const EDaoError& e) {
            EXPECT_EQ(e.Number(), errUnrecognizedFormat) << c.Name;
            EXPECT_NE(e.Message().find(f), std::string::npos) << e.Message();
        }
        EXPECT_EQ(std::filesystem::file_size(f), c.Content.size()) << c.Name;  // left untouched
    }
    // an SQLite file that is not ours
    const std::string other = Dir.File("other.sqlite");
    sqlite3* db = nullptr;
    sqlite3_open(other.c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE t(a)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(other); }), errUnrecognizedFormat);
}

TEST_F(Opening, ConnectStringsAndAccounts) {
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(FileName, false, false, ";UID=Admin;PWD=tajne;"); }), errPassword);
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(FileName, false, false, "ODBC;DSN=x;"); }), errInstallableFormat);
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(FileName, false, false, "Excel 8.0;"); }), errInstallableFormat);
    EXPECT_EQ(DaoErr([&] { Engine->CreateWorkspace("W", "Novak", ""); }), errAccount);
    EXPECT_EQ(DaoErr([&] { Engine->CreateWorkspace("W", "Admin", "heslo"); }), errAccount);
    EXPECT_EQ(DaoErr([&] { Engine->CreateWorkspace("W", "admin", "", dbUseODBC); }), errNotSupported);
    EXPECT_EQ(DaoErr([&] { Ws->GetDefaultCursorDriver(); }), errNotSupported);
    EXPECT_NE(Engine->CreateWorkspace("W", "ADMIN", ""), nullptr);
    EXPECT_EQ(DBEngine::Create("DAO.DBEngine.36")->Version(), "3.6");
    EXPECT_EQ(DBEngine::Create("dao.privatedbengine.120")->Version(), "12.0");
    EXPECT_EQ(DBEngine::Create("DAO.DBEngine.35"), nullptr);
}

TEST_F(Opening, DatabaseDescribesItself) {
    EXPECT_EQ(Db->CollatingOrder(), 1029);
    EXPECT_EQ(Db->Version(), "4.0");
    TableDefs& t = Db->GetTableDefs();
    int user = 0;
    for (int i = 0; i < t.Count(); ++i) {
        const bool system = (t.Item(i).GetAttributes() & dbSystemObject) != 0;
        const std::string& n = t.Item(i).GetName();
        EXPECT_EQ(system, n != "Zaci") << n;
        user += !system;
    }
    EXPECT_EQ(user, 1);
    Indexes& ix = t.Item("zaci").GetIndexes();
    ASSERT_EQ(ix.Count(), 3);
    EXPECT_EQ(ix.Item(0).GetName(), "PrimaryKey");
    EXPECT_TRUE(ix.Item(0).Primary && ix.Item(0).Unique);
    EXPECT_EQ(ix.Item("IxJmeno").GetFields().Item(0).GetName(), "Jmeno");
    EXPECT_TRUE(ix.Item("IxPoznamka").Unique);

    auto idx = t.Item("Zaci").CreateIndex("IxTrida");
    auto f1 = idx->CreateField("Trida");
    auto f2 = idx->CreateField("Jmeno");
    f2->SetAttributes(dbDescending);
    idx->GetFields().Append(std::move(f1));
    idx->GetFields().Append(std::move(f2));
    ix.Append(std::move(idx));
    EXPECT_EQ(ix.Item("IxTrida").GetFields().Item(1).GetAttributes(), dbDescending);
    EXPECT_EQ(DaoErr([&] { ix.Append(t.Item("Zaci").CreateIndex("ixtrida")); }), errObjectExists);
    auto rs = Db->OpenRecordset("Zaci", dbOpenTable);
    rs->SetIndex("IxTrida");
    rs->Seek("=", {Variant("1.a")});
    EXPECT_EQ(daotest::Str(*rs, "Jmeno"), "Horák");  // Jmeno descending within 1.A
    ix.Delete("IxTrida");
    EXPECT_EQ(DaoErr([&] { ix.Item("IxTrida"); }), errItemNotFound);
    EXPECT_EQ(DaoErr([&] { ix.Delete("PrimaryKey"); }), errNotSupported);
}

TEST_F(Opening, ReadOnlyAndExclusive) {
    auto ro = Ws->OpenDatabase(FileName, false, true);
    auto rs = ro->OpenRecordset("Zaci", dbOpenDynaset);
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(DaoErr([&] { rs->Edit(); }), errReadOnly);
    Db->Close();
    auto ex = Ws->OpenDatabase(FileName, true);
    auto w = ex->OpenRecordset("Zaci", dbOpenDynaset);
    w->Edit();
    w->GetFields().Item("Hodiny").SetValue(Variant(9));
    w->Update();
    // held exclusively: another opener is refused at once, naming the file
    EXPECT_EQ(DaoErr([&] { Ws->OpenDatabase(FileName); }), 3045);
    ex->Close();
    EXPECT_NE(Ws->OpenDatabase(FileName), nullptr);
}

TEST(SchemaScript, RefusesExistingFileAndRemovesAFailedOne) {
    daotest::TempDir dir;
    const std::string f = dir.File("a.mdb");
    Dao::CreateDatabaseFromScript(f, "CREATE TABLE t (a TEXT(5));");
    EXPECT_EQ(DaoErr([&] { Dao::CreateDatabaseFromScript(f, ""); }), errObjectExists);
    const std::string g = dir.File("b.mdb");
    EXPECT_EQ(DaoErr([&] { Dao::CreateDatabaseFromScript(g, "CREATE TABLE t (a TEXT(5)); nonsense;"); }),
        errSyntaxInExpression);
    EXPECT_FALSE(std::filesystem::exists(g));
    EXPECT_EQ(DaoErr([&] { Dao::CreateDatabaseFromScriptFile(g, dir.File("none.sql")); }), errFileNotFound);
}

}  // namespace
