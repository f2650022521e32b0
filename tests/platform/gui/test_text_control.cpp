// The plain-text control's message contract: selection with its active end, replacing into
// undo, a limit that never cuts, the modified flag, notifications reflected to the owner, the
// clipboard messages and lines, all counted in characters (Czech text).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gui/Clipboard.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestKit.h"
#include "platform/gui/TextControl.h"

namespace {

// A windowed control whose client area is the text control, recording what it is told.
class TTextHost : public TWinControl {
public:
    explicit TTextHost(TComponent* owner, uint32_t style) : TWinControl(owner), Text(this), FExtra(style) {
        Text.OnTextSync = [this](const std::string& t) { SetTextSilently(t); };
        SetTabStop(true);
    }
    TPlainTextControl Text;
    int Changes = 0;
    std::vector<CHARRANGE> Selections;

    void Dispatch(TMessage& m) override {
        if (m.Msg == CN_COMMAND && HiWord(m.WParam) == EN_CHANGE) ++Changes;
        if (m.Msg == CN_NOTIFY) Selections.push_back(reinterpret_cast<TSelChange*>(m.LParam)->chrg);
        if (Text.Handle(m)) return;
        TWinControl::Dispatch(m);
    }
    void DefaultHandler(TMessage& m) override {
        if (!Text.DefaultHandler(m)) TWinControl::DefaultHandler(m);
    }
    CHARRANGE Sel() {
        CHARRANGE r;
        Perform(EM_EXGETSEL, 0, LPARAM(&r));
        return r;
    }
    void Replace(const char* s) { Perform(EM_REPLACESEL, 1, LPARAM(s)); }
    void SetSel(int a, int b) {
        CHARRANGE r{a, b};
        Perform(EM_EXSETSEL, 0, LPARAM(&r));
    }

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.Style |= FExtra;
    }
    void CreateWnd() override {
        TWinControl::CreateWnd();
        Text.Create();
        Perform(EM_SETEVENTMASK, 0, LPARAM(ENM_CHANGE | ENM_SELCHANGE));
    }

private:
    uint32_t FExtra;
};

class TextControlTest : public ::testing::TestWithParam<uint32_t> {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        Form = new TForm(nullptr);
        Form->SetBounds(40, 40, 300, 200);
        Host = new TTextHost(Form, GetParam());
        Host->SetParent(Form);
        Host->SetBounds(10, 10, 200, GetParam() & ES_MULTILINE ? 100 : 22);
        TestKit::ShowAndActivate(Form);
        Host->HandleNeeded();
    }
    void TearDown() override { delete Form; }
    TForm* Form = nullptr;
    TTextHost* Host = nullptr;
};

TEST_P(TextControlTest, SelectionKeepsItsActiveEnd) {
    Host->Text.SetText("žluťoučký kůň");
    Host->Perform(EM_SETSEL, 5, 2);  // caret at 2
    EXPECT_EQ(Host->Sel().cpMin, 2);
    EXPECT_EQ(Host->Sel().cpMax, 5);
    Host->Replace("X");  // replaces the selection whatever its direction
    EXPECT_EQ(Host->GetText(), "žlXučký kůň");
    Host->SetSel(0, -1);
    EXPECT_EQ(Host->Sel().cpMax, 11);
    Host->Perform(EM_SETSEL, 1000, -1);  // large start: the end, nothing selected
    EXPECT_EQ(Host->Sel().cpMin, 11);
    EXPECT_EQ(Host->Sel().cpMax, 11);
    Host->SetSel(3, 6);
    std::string sel;
    EXPECT_EQ(Host->Perform(EM_GETSELTEXT, 0, LPARAM(&sel)), 3);
    EXPECT_EQ(sel, "učk");
    EXPECT_EQ(Host->Perform(EM_GETTEXTLENGTHEX), 11);
}

TEST_P(TextControlTest, ReplacingGoesIntoUndoAndMarksModified) {
    Host->Text.SetText("abc");
    EXPECT_EQ(Host->Perform(EM_GETMODIFY), 0);
    EXPECT_EQ(Host->Perform(EM_CANUNDO), 0);
    Host->SetSel(3, 3);
    Host->Replace("d");
    Host->Replace("e");
    EXPECT_EQ(Host->GetText(), "abcde");
    EXPECT_NE(Host->Perform(EM_GETMODIFY), 0);
    ASSERT_NE(Host->Perform(EM_CANUNDO), 0);
    Host->Perform(EM_UNDO);
    EXPECT_NE(Host->GetText(), "abcde");
    EXPECT_NE(Host->Perform(EM_CANREDO), 0);
    Host->Perform(EM_REDO);
    EXPECT_EQ(Host->GetText(), "abcde");
    Host->Perform(EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(Host->Perform(EM_CANUNDO), 0);
    EXPECT_EQ(Host->GetText(), "abcde");
    // Setting the text leaves the flag as it was, both ways.
    Host->Text.SetText("x");
    EXPECT_NE(Host->Perform(EM_GETMODIFY), 0);
    Host->Perform(EM_SETMODIFY, 0);
    Host->Text.SetText("y");
    EXPECT_EQ(Host->Perform(EM_GETMODIFY), 0);
}

TEST_P(TextControlTest, LimitRefusesGrowthButNeverCuts) {
    Host->Text.SetText("ěščřž");
    Host->Perform(EM_EXLIMITTEXT, 0, 3);
    EXPECT_EQ(Host->GetText(), "ěščřž");  // what is there stays
    Host->SetSel(5, 5);
    Host->Replace("a");
    EXPECT_EQ(Host->GetText(), "ěščřž");
    Host->SetSel(0, 5);
    Host->Replace("12345");  // cut to the room there is
    EXPECT_EQ(Host->GetText(), "123");
    Host->Perform(EM_EXLIMITTEXT, 0, 0);  // the default limit
    Host->SetSel(3, 3);
    Host->Replace("456");
    EXPECT_EQ(Host->GetText(), "123456");
}

TEST_P(TextControlTest, NotificationsReachTheOwner) {
    Host->Changes = 0;
    Host->Text.SetText("abc");
    EXPECT_EQ(Host->Changes, 1);  // setting the text notifies too
    Host->SetSel(1, 1);
    Host->Replace("x");
    EXPECT_EQ(Host->Changes, 2);
    ASSERT_FALSE(Host->Selections.empty());
    EXPECT_EQ(Host->Selections.back().cpMin, 2);
    Host->Perform(EM_SETEVENTMASK, 0, 0);
    Host->Replace("y");
    EXPECT_EQ(Host->Changes, 2);
    EXPECT_EQ(Host->GetText(), "axybc");  // the owner's Text follows without notifications
}

TEST_P(TextControlTest, ClipboardMessages) {
    Host->Text.SetText("Příliš žluťoučký");
    Host->SetSel(0, 6);
    Host->Perform(WM_COPY);
    EXPECT_EQ(Clipboard()->GetAsText(), "Příliš");
    Host->Perform(WM_CUT);
    EXPECT_EQ(Host->GetText(), " žluťoučký");
    Host->SetSel(10, 10);
    Host->Perform(WM_PASTE);
    EXPECT_EQ(Host->GetText(), " žluťoučkýPříliš");
    EXPECT_NE(Host->Perform(EM_CANPASTE), 0);
    Host->SetSel(0, 1);
    Host->Perform(WM_CLEAR);
    EXPECT_EQ(Host->GetText(), "žluťoučkýPříliš");
    Host->Perform(EM_SETREADONLY, 1);
    Host->SetSel(0, 3);
    Host->Perform(WM_CLEAR);
    Host->Perform(WM_PASTE);
    EXPECT_EQ(Host->GetText(), "žluťoučkýPříliš");
    // A password hides the text from the clipboard.
    Host->Perform(EM_SETREADONLY, 0);
    Clipboard()->SetAsText("-");
    Host->Perform(EM_SETPASSWORDCHAR, '*');
    Host->Perform(WM_COPY);
    EXPECT_EQ(Clipboard()->GetAsText(), "-");
}

TEST_P(TextControlTest, TypedCharactersFollowCaseAndLimit) {
    Host->Text.SetText("");
    Host->Perform(EM_EXLIMITTEXT, 0, 2);
    TMessage ch{WM_CHAR, WPARAM(U'č'), 0, 0};
    for (int i = 0; i < 3; ++i) {
        ch.Msg = WM_CHAR;
        Host->Text.DefaultHandler(ch);
    }
    EXPECT_EQ(Host->GetText(), "čč");
    EXPECT_NE(Host->Perform(EM_GETMODIFY), 0);
}

INSTANTIATE_TEST_SUITE_P(BothKinds, TextControlTest, ::testing::Values(uint32_t(0), uint32_t(ES_MULTILINE)),
    [](const auto& info) { return info.param ? std::string("Multi") : std::string("Single"); });

TEST(TextControlLines, LinesAreSeparatedByOneCharacter) {
    TestKit::EnsureApplication();
    TForm form(nullptr);
    auto* host = new TTextHost(&form, ES_MULTILINE);
    host->SetParent(&form);
    host->SetBounds(0, 0, 200, 100);
    host->HandleNeeded();
    host->Text.SetText("první\r\ndruhý řádek\ntřetí");
    EXPECT_EQ(host->GetText(), "první\rdruhý řádek\rtřetí");
    EXPECT_EQ(host->Perform(EM_GETLINECOUNT), 3);
    EXPECT_EQ(host->Perform(EM_LINEINDEX, 1), 6);
    EXPECT_EQ(host->Perform(EM_LINEINDEX, 3), -1);
    EXPECT_EQ(host->Perform(EM_LINELENGTH, 7), 11);
    EXPECT_EQ(host->Perform(EM_LINEFROMCHAR, 19), 2);
    std::string line;
    EXPECT_EQ(host->Perform(EM_GETLINE, 1, LPARAM(&line)), 11);
    EXPECT_EQ(line, "druhý řádek");
    const std::string longLine(5000, 'x');
    host->Text.SetText(longLine);
    host->Perform(EM_GETLINE, 0, LPARAM(&line));
    EXPECT_EQ(line.size(), 5000u);
}

}  // namespace
