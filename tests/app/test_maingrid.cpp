// The main window's grid: the published DataSource property reaches the grid itself, and the
// memo column shows the memo's first line without taking the data module's OnGetText away.

#include "app/MainGrid.h"
#include "platform/classes/TypInfo.h"
#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

// The grid with its cell text readable.
struct TProbeGrid : TMainGrid {
    using TMainGrid::TMainGrid;
    std::string Cell(int column) { return CellText(Columns(column), Columns(column)->Field()); }
};

class MainGridTest : public AppTest {
protected:
    void PrepareDatabase() override {
        Sql("DELETE FROM vysvedceni");
        Sql("INSERT INTO vysvedceni (SkolniRok, Jmeno, VzdelProgram) VALUES "
            "('2024/2025', 'Čermák Jiří', 'Školní program' || char(13) || char(10) || 'druhý řádek')");
    }
};

TEST_F(MainGridTest, PublishedDataSourceAndTheDataModulesOnGetText) {
    Start();
    TForm form(nullptr);
    auto* grid = new TProbeGrid(&form);
    grid->SetParent(&form);
    grid->AddMaskColumn("Jmeno", "Jméno", 100);
    grid->AddMemoColumn("VzdelProgram", "Vzdělávací program", 200, "Arial", -17);
    // Set by name, as a stored window or a script sets it: the same code as SetDataSource.
    SetObjectProp(grid, "DataSource", DM->DSVys);
    EXPECT_EQ(grid->GetDataSource(), DM->DSVys);
    EXPECT_EQ(grid->Cell(0), "Čermák Jiří");
    EXPECT_EQ(grid->Cell(1), "Školní program");

    // A handler the data module gives the memo field stays the field's, across a reopen.
    DM->QVys->Close();
    DM->QVys->Open();
    TField* memo = DM->QVys->FieldByName("VzdelProgram");
    memo->OnGetText = [](TField*, std::string& text, bool) { text = "ŠVP"; };
    EXPECT_EQ(grid->Cell(1), "ŠVP");
    std::string text;
    ASSERT_TRUE(memo->OnGetText);
    memo->OnGetText(memo, text, true);
    EXPECT_EQ(text, "ŠVP");
    memo->OnGetText = nullptr;
}

}  // namespace
}  // namespace apptest
