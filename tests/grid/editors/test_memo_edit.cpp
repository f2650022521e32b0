// The memo editor: its lines as a string list, Enter and the arrows between editor and host,
// and the text set without change notifications. Screenshots go to $KAROMIL_SHOT_DIR.

#include <cstdlib>

#include <QtGui/QImage>

#include "EditorsFixture.h"

#include "grid/editors/dxMemoEdit.h"
#include "platform/gui/TextControl.h"

using namespace gridtest;

namespace {

class MemoEditTest : public EditorsTest {
protected:
    void SetUp() override {
        EditorsTest::SetUp();
        // A host that lets its cells be edited.
        Container->CanModify = true;
        Container->CharValid = true;
        Memo = new TdxInplaceMemoEdit(Container);
        Memo->SetParent(Container);
        Memo->OnChange = [this](TObject*) { ++Changes; };
        Memo->ShowInRect(Rect(10, 10, 200, 90));
        TestKit::ProcessEvents();
        Changes = 0;
    }
    TdxInplaceMemoEdit* Memo = nullptr;
    int Changes = 0;
};

TEST_F(MemoEditTest, LinesOfTheWindow) {
    TdxMemoStrings* lines = Memo->GetLines();
    EXPECT_EQ(lines->GetCount(), 0);
    lines->Add("první řádek");
    lines->Add("druhý");
    EXPECT_EQ(lines->GetCount(), 2) << "the trailing break does not count";
    EXPECT_EQ(lines->Get(0), "první řádek");
    EXPECT_EQ(lines->Get(1), "druhý");
    lines->Insert(1, "vložený");
    EXPECT_EQ(lines->GetCount(), 3);
    EXPECT_EQ(lines->Get(1), "vložený");
    lines->Put(0, "změněný");
    EXPECT_EQ(lines->Get(0), "změněný");
    lines->Delete(1);
    EXPECT_EQ(lines->GetCount(), 2);
    EXPECT_EQ(lines->Get(1), "druhý");
    EXPECT_EQ(Memo->GetText(), "změněný\rdruhý\r");
    lines->Clear();
    EXPECT_EQ(lines->GetCount(), 0);
}

TEST_F(MemoEditTest, LongLinesReadBackWhole) {
    const std::string longLine(5000, 'x');
    Memo->GetLines()->SetTextStr(longLine + "\r\nkonec");
    EXPECT_EQ(Memo->GetLines()->Get(0).size(), 5000u);
    EXPECT_EQ(Memo->GetLines()->Get(1), "konec");
}

TEST_F(MemoEditTest, SetTextStrFiresNoChange) {
    Memo->GetLines()->SetTextStr("a\r\nb");
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Memo->GetText(), "a\rb");
    EXPECT_EQ(Memo->Perform(EM_GETEVENTMASK) & ENM_CHANGE, uint32_t(ENM_CHANGE)) << "switched back on";
    Memo->SetText("c");
    EXPECT_EQ(Changes, 1);
}

TEST_F(MemoEditTest, EnterTypesALineBreakAndStaysInTheEditor) {
    Memo->SetText("ab");
    Memo->Perform(EM_SETSEL, 1, 1);
    Memo->Perform(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(Memo->GetText(), "a\rb");
    EXPECT_TRUE(Container->KeysDown.empty()) << "the row is not posted";
    EXPECT_EQ(Memo->GetLines()->GetCount(), 2);
}

TEST_F(MemoEditTest, ArrowsGoToTheHostOnlyWhenAllIsSelected) {
    Memo->SetText("jedna\rdvě");
    Memo->Perform(EM_SETSEL, 2, 2);
    Memo->Perform(WM_KEYDOWN, VK_DOWN);
    EXPECT_TRUE(Container->KeysDown.empty());
    EXPECT_EQ(Container->EditorKeys.size(), 1u) << "the host hears of it";
    Memo->SelectAll();
    Memo->Perform(WM_KEYDOWN, VK_DOWN);
    ASSERT_EQ(Container->KeysDown.size(), 1u);
    EXPECT_EQ(Container->KeysDown[0].Key, VK_DOWN);
    Memo->Perform(WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Container->KeysDown.size(), 2u);
}

TEST_F(MemoEditTest, TabsOnlyWhenWanted) {
    EXPECT_FALSE(Memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
    Memo->SetWantTabs(true);
    Container->Tabs = true;  // a grid asks its editor
    EXPECT_TRUE(Memo->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
    Memo->SetText("");
    Memo->Perform(WM_CHAR, WPARAM('\t'));
    EXPECT_EQ(Memo->GetText(), "\t");
}

TEST_F(MemoEditTest, ScreenshotOfAMemo) {
    Memo->SetScrollBars(ssVertical);
    Memo->GetLines()->SetTextStr(
        "Žák se v pololetí zlepšil v matematice.\r\nDoporučujeme více čtení.\r\nChování: "
        "příkladné, třída 4.B, školní rok 2026/2027, poznámka na více řádků.");
    EXPECT_EQ(Memo->GetLines()->GetCount(), 3);
    const char* dir = std::getenv("KAROMIL_SHOT_DIR");
    if (!dir || !*dir) return;
    TestKit::ProcessEvents();
    TestKit::Grab(Container).save(QString::fromStdString(std::string(dir) + "/memo-editor.png"));
}

}  // namespace
