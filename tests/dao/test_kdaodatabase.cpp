#include <gtest/gtest.h>

#include "KDaoTestDb.h"
#include "platform/rtl/SysUtils.h"

using kdaotest::ErrorOf;

namespace {

class KDaoDatabase_ : public kdaotest::KDaoFixture {};

TEST_F(KDaoDatabase_, ConnectsAndReadsSchema) {
    EXPECT_TRUE(Db->Connected());
    EXPECT_EQ(Db->GetDatabaseLanguage(), "Czech");
    EXPECT_EQ(Db->GetDatabaseVersionInfo(), "4.0");
    EXPECT_GE(Db->TableNames.IndexOf("vysvedceni"), 0);
    EXPECT_GE(Db->TableNames.IndexOf("Prefs"), 0);
    EXPECT_LT(Db->TableNames.IndexOf("dao_fields"), 0);  // system objects hidden
    Db->SetShowSystemObjects(true);
    EXPECT_GE(Db->TableNames.IndexOf("dao_fields"), 0);
    EXPECT_EQ(Db->GetLastDaoError().Number, 0);
    Db->SetConnected(true);  // twice: nothing
    Db->SetConnected(false);
    EXPECT_EQ(Db->GetDatabaseLanguage(), "");
    EXPECT_EQ(Db->TableNames.Count(), 0);
    Db->SetConnected(false);
}

TEST_F(KDaoDatabase_, SettersRefuseWhileConnected) {
    struct Case {
        std::function<void()> set;
        const char* message;
    };
    const Case cases[] = {
        {[&] { Db->SetExclusive(true); },
            "TKDaoDatabase.F_Set_Exclusive: Cannot change Exclusive mode while Database is connected!"},
        {[&] { Db->SetDatabaseType("ODBC"); },
            "TKDaoDatabase.F_Set_DatabaseType: Cannot set Database Type while Database is connected!"},
        {[&] { Db->SetDatabase("x"); },
            "TKDaoDatabase.F_Set_Database: Cannot set Database while Database is connected!"},
        {[&] { Db->SetDatabaseParameters("x"); },
            "TKDaoDatabase.F_Set_DatabaseParameters: Cannot set DatabaseParameters while Database is connected!"},
        {[&] { Db->SetReadOnly(true); },
            "TKDaoDatabase.F_Set_ReadOnly: Cannot change mode while Database is connected!"},
        {[&] { Db->SetLoginPrompt(true); },
            "TKDaoDatabase.F_Set_LoginPrompt: Cannot change LoginPrompt while Database is connected!"},
        {[&] { Db->SetUserName("x"); },
            "TKDaoDatabase.F_Set_UserName: Cannot change User Name while Database is connected!"},
        {[&] { Db->SetPassword("x"); },
            "TKDaoDatabase.F_Set_Password: Cannot change Password while Database is connected!"},
        {[&] { Db->SetDatabasePassword("x"); },
            "TKDaoDatabase.F_Set_DatabasePassword: Cannot change Database Password while Database is connected!"},
        {[&] { Db->SetSystemDatabase("x"); },
            "TKDaoDatabase.F_Set_SystemDatabase: Cannot set SystemDatabase while Database is connected!"},
        {[&] { Db->SetEngineType(1); },
            "TKDaoDatabase.F_Set_EngineType: Cannot set EngineType Type while Database is connected!"},
        {[&] { Db->SetPrivateEngine(true); },
            "TKDaoDatabase.F_Set_EngineType: Cannot set PrivateEngine Type while Database is connected!"},
        {[&] { Db->SetTrackTransactions(false); }, "Cannot set TrackTransactions property when Database is connected!"},
        {[&] { Db->SetVersion("12.0"); },
            "TKDaoDatabase.F_Set_DaoVersion: Cannot set Dao Version while Database is connected!"},
        {[&] { Db->SetWorkspace("W"); },
            "TKDaoDatabase.F_Set_Workspace: Cannot set Workspace while Database is connected!"},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.set), c.message);
    EXPECT_EQ(Db->GetDatabase(), FileName);
    EXPECT_EQ(Db->GetUserName(), "Admin");
}

TEST_F(KDaoDatabase_, VersionRules) {
    Db->SetConnected(false);
    ASSERT_EQ(Db->AvailableVersions.Count(), 2);
    EXPECT_EQ(Db->AvailableVersions.Strings(0), "3.6");
    EXPECT_EQ(Db->AvailableVersions.Strings(1), "12.0");
    Db->SetVersion("12.00");
    EXPECT_EQ(Db->GetVersion(), "12.0");
    EXPECT_EQ(Db->GetVersionInfo(), "(In Access'2007 mode)");
    Db->SetVersion("3.5");  // not installed: the next newer engine
    EXPECT_EQ(Db->GetVersion(), "3.6");
    // "1" names no engine: refused, and the previous engine stays.
    EXPECT_EQ(
        ErrorOf([&] { Db->SetVersion("12"); }), "You does not have Microsoft DAO installed ot it is an OLD Version!");
    EXPECT_EQ(Db->GetVersion(), "3.6");
    Db->SetDatabaseType("Access");
    EXPECT_EQ(Db->GetDatabase(), "");
}

TEST_F(KDaoDatabase_, MissingFileAndSmartOpen) {
    Db->SetConnected(false);
    Db->SetDatabase("nowhere/vys.mdb");
    EXPECT_EQ(ErrorOf([&] { Db->SetConnected(true); }), "Cannot find Database:\r\nnowhere/vys.mdb");
    Db->SetDatabase("");
    EXPECT_EQ(
        ErrorOf([&] { Db->SetConnected(true); }), "TKDaoDatabase.F_Set_Active: Database property is not defined!");

    // SmartOpen at run time looks beside the program.
    const std::string beside = ProgramDir() + "kdao-smartopen.mdb";
    std::filesystem::copy_file(FileName, beside, std::filesystem::copy_options::overwrite_existing);
    Db->SetSmartOpen(true);
    Db->SetDatabase("kdao-smartopen.mdb");
    const std::string cwd = GetCurrentDir();
    SetCurrentDir(Dir.Path);  // not in the current folder
    Db->SetConnected(true);
    SetCurrentDir(cwd);
    EXPECT_EQ(Db->GetDatabase(), beside);
    Db->SetConnected(false);
    std::filesystem::remove(beside);
}

TEST_F(KDaoDatabase_, LoginPaths) {
    Db->SetConnected(false);
    int calls = 0;
    Db->OnLogin = [&](TKDaoDatabase*, TStrings* list) {
        ++calls;
        ASSERT_EQ(list->Count(), 3);
        EXPECT_EQ(list->Strings(0), "USER NAME=Admin");
        EXPECT_EQ(list->Strings(1), "PASSWORD=");
        EXPECT_EQ(list->Strings(2), "DBPASSWORD=");
        list->SetValues("USER NAME", "admin");
    };
    Db->SetConnected(true);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Db->GetUserName(), "admin");
    Db->SetConnected(false);

    // Wrong credentials from the event, LoginPrompt off: the error reaches the caller.
    Db->OnLogin = [&](TKDaoDatabase*, TStrings* list) { list->SetValues("USER NAME", "Nobody"); };
    EXPECT_NE(ErrorOf([&] { Db->SetConnected(true); }), "");
    EXPECT_FALSE(Db->Connected());

    // LoginPrompt on: after the event's credentials failed, the dialog is asked; Cancel ends
    // the attempt quietly.
    Db->SetLoginPrompt(true);
    int asked = 0;
    std::vector<std::string> shown;
    TDbLoginHooks::Ask = [&](const std::string&, std::string&, std::string&, std::string&) {
        ++asked;
        return false;
    };
    TDbLoginHooks::ShowMessage = [&](const std::string& t) { shown.push_back(t); };
    EXPECT_EQ(ErrorOf([&] { Db->SetConnected(true); }), "");
    EXPECT_FALSE(Db->Connected());
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], "If You not enter Username and Password You may not gain access to your data!");
    EXPECT_EQ(Db->GetUserName(), "");

    // The dialog answering OK with good credentials connects.
    Db->OnLogin = nullptr;
    TDbLoginHooks::Ask = [&](const std::string& db, std::string& user, std::string&, std::string&) {
        EXPECT_EQ(db, FileName);
        user = "Admin";
        return true;
    };
    Db->SetConnected(true);
    EXPECT_TRUE(Db->Connected());
    Db->SetConnected(false);
    TDbLoginHooks::Ask = [](const std::string&, std::string&, std::string&, std::string&) { return false; };
    TDbLoginHooks::ShowMessage = [](const std::string&) {};
}

TEST_F(KDaoDatabase_, ConnectStringRejectsSeparators) {
    Db->SetConnected(false);
    Db->SetDatabasePassword("a;UID=x");
    EXPECT_EQ(ErrorOf([&] { Db->SetConnected(true); }),
        "TKDaoDatabase.F_Set_Active: User names and passwords may not contain ';'!");
}

TEST_F(KDaoDatabase_, DisconnectClosesTables) {
    TKDaoTable* t = Table("Prefs");
    t->Open();
    ASSERT_EQ(Db->OpenTables().size(), 1u);
    Db->SetConnected(false);
    EXPECT_FALSE(t->Active());
    EXPECT_TRUE(Db->OpenTables().empty());
}

}  // namespace
