// The login dialog through the dialog test hook: Ok connects with what was typed, Cancel
// says why nothing opens, a wrong password is said and the dialog asks again.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dao/KDaoDatabase.h"
#include "dao/login/DBLoginUnit.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/TestKit.h"
#include "tests/common/DaoTestSupport.h"

namespace {

struct TAnswer {
    std::string User, Password;
    TModalResult Result;
};

class DbLogin : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        FileName = Dir.File("vys.mdb");
        Dao::CreateDatabaseFromScript(FileName, "CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT);");
        InstallDbLoginDialog();
        // Messages are recorded, not shown.
        SetDialogHook([this](TDialogCall& call) {
            Messages.push_back(call.Text);
            call.Result = mrOk;
            call.Accepted = true;
        });
        // Each showing of the dialog takes the next answer and records what it showed.
        SetShowModalHook([this](TCustomForm* form) {
            auto* d = dynamic_cast<TDbLogin*>(form);
            ASSERT_NE(d, nullptr);
            ASSERT_LT(Shown, Answers.size());
            ShownDatabase = d->DatabaseName->GetCaption();
            ShownUser = d->Username->GetText();
            EXPECT_EQ(form->GetActiveControl(), d->Username);
            const TAnswer& a = Answers[Shown++];
            d->Username->SetText(a.User);
            d->Password->SetText(a.Password);
            form->SetModalResult(a.Result);
        });
        Db = std::make_unique<TKDaoDatabase>(nullptr);
        Db->SetSmartOpen(false);
        Db->SetDatabase(FileName);
        Db->SetLoginPrompt(true);
    }
    void TearDown() override {
        Db.reset();
        SetShowModalHook(nullptr);
        SetDialogHook(nullptr);
    }
    testsupport::TempDir Dir{"karomil-login"};
    std::string FileName;
    std::unique_ptr<TKDaoDatabase> Db;
    std::vector<TAnswer> Answers;
    size_t Shown = 0;
    std::string ShownDatabase, ShownUser;
    std::vector<std::string> Messages;
};

TEST_F(DbLogin, OkConnectsWithWhatWasTyped) {
    Answers = {{"admin", "", mrOk}};
    Db->SetConnected(true);
    EXPECT_TRUE(Db->Connected());
    EXPECT_EQ(Shown, 1u);
    EXPECT_EQ(ShownDatabase, FileName);
    EXPECT_EQ(ShownUser, "Admin");  // the saved user name is offered
    EXPECT_EQ(Db->GetUserName(), "admin");
    EXPECT_TRUE(Messages.empty());
}

TEST_F(DbLogin, CancelSaysWhyAndOpensNothing) {
    Answers = {{"Admin", "", mrCancel}};
    Db->SetConnected(true);
    EXPECT_FALSE(Db->Connected());
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "If You not enter Username and Password You may not gain access to your data!");
    EXPECT_EQ(Db->GetUserName(), "");
}

TEST_F(DbLogin, AWrongPasswordIsSaidAndAskedAgain) {
    Answers = {{"Admin", "tajne", mrOk}, {"Admin", "", mrOk}};
    Db->SetConnected(true);
    EXPECT_TRUE(Db->Connected());
    EXPECT_EQ(Shown, 2u);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0], "Neplatné jméno účtu nebo heslo.");
}

TEST_F(DbLogin, LayoutAndKeys) {
    TDbLogin d(nullptr);
    EXPECT_EQ(d.GetCaption(), "Database Login");
    EXPECT_EQ(d.GetClientWidth(), 375);
    EXPECT_EQ(d.GetClientHeight(), 180);
    EXPECT_EQ(d.Password->GetPasswordChar(), U'*');
    EXPECT_EQ(d.DbPassword->GetPasswordChar(), U'*');
    EXPECT_EQ(d.Username->GetPasswordChar(), char32_t(0));
    EXPECT_TRUE(d.Button1->GetDefault());
    EXPECT_TRUE(d.Button2->GetCancel());
    EXPECT_EQ(d.Label2->GetFocusControl(), d.Username);
}

}  // namespace
