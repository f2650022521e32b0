// The data-aware memo over a table of the database: a long memo with line breaks is shown
// whole, and what the user types goes through the table's blob stream into the file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "dao/KDaoDatabase.h"
#include "dao/KDaoTable.h"
#include "platform/daoengine/DaoSchemaScript.h"
#include "platform/gui/DBCtrls.h"
#include "platform/gui/TestKit.h"
#include "tests/common/DaoTestSupport.h"

using namespace TestKit;

namespace {

class DBMemoDaoTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        FileName = Dir.File("vys.mdb");
        Dao::CreateDatabaseFromScript(FileName, R"sql(
CREATE TABLE Karty (ID INTEGER PRIMARY KEY AUTOINCREMENT, Jmeno TEXT(50) COLLATE CZECH, Program LONGTEXT COLLATE CZECH);
INSERT INTO Karty (Jmeno, Program) VALUES ('Novák Jan', 'Základní vzdělávání' || char(13) || char(10) || 'druhý řádek');
)sql");
        Db = new TKDaoDatabase(&Owner);
        Db->SetSmartOpen(false);
        Db->SetDatabase(FileName);
        Db->SetConnected(true);
    }
    void TearDown() override { ProcessEvents(); }
    TKDaoTable* Open(bool cacheMemos) {
        auto* t = new TKDaoTable(&Owner);
        t->SetDatabase(Db);
        t->SetTableName("Karty");
        t->SetCacheMemos(cacheMemos);
        t->Open();
        return t;
    }
    testsupport::TempDir Dir{"karomil-dbmemo"};
    std::string FileName;
    TComponent Owner{nullptr};
    TKDaoDatabase* Db = nullptr;
};

TEST_F(DBMemoDaoTest, LongMemoWithLineBreaksSurvivesTypingAndPost) {
    std::string longText;
    for (int i = 0; i < 2000; ++i) longText += "Řádek " + std::to_string(i) + ": Člověk a jeho svět, žluťoučký kůň\r\n";
    longText += "poslední řádek";
    for (bool cache : {false, true}) {
        SCOPED_TRACE(cache ? "cached memos" : "memos read on demand");
        TKDaoTable* t = Open(cache);
        t->Edit();
        t->FieldByName("Program")->SetAsString(longText);
        t->Post();
        auto* source = new TDataSource(&Owner);
        source->SetDataSet(t);
        auto* form = new TForm(&Owner);
        form->SetBounds(0, 0, 500, 400);
        auto* memo = new TDBMemo(form);
        memo->SetParent(form);
        memo->SetBounds(10, 10, 400, 300);
        memo->SetDataSource(source);
        memo->SetDataField("Program");
        EXPECT_EQ(memo->GetText(), longText);  // the whole memo, not the field's display text
        ShowAndActivate(form);
        memo->SetFocus();
        ProcessEvents();
        Key(Qt::Key_End, Qt::ControlModifier);
        Key(Qt::Key_Return);
        Key(Qt::Key_K, Qt::NoModifier, "k");
        EXPECT_EQ(t->State(), dsEdit);
        t->Post();
        form->Hide();
        delete form;
        t->Close();
        // Read back from the file.
        TKDaoTable* check = Open(false);
        EXPECT_EQ(check->FieldByName("Program")->GetAsString(), longText + "\r\nk");
        check->Close();
    }
}

}  // namespace
