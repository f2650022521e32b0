// The text editor over the platform's text control: case, limit, the two change paths, the
// context menu's enabling table, selection change and the formatting rectangle.

#include "EditorsFixture.h"

#include "grid/editors/dxTextEdit.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TextControl.h"

using namespace gridtest;

namespace {

class TextEditTest : public EditorsTest {
protected:
    void SetUp() override {
        EditorsTest::SetUp();
        // A host that lets its cells be edited.
        Container->CanModify = true;
        Container->CharValid = true;
        Text = new TdxInplaceTextEdit(Container);
        Text->SetParent(Container);
        Text->OnChange = [this](TObject*) { ++Changes; };
        Text->ShowInRect(Rect(10, 10, 150, 30));
        TestKit::ProcessEvents();
    }
    CHARRANGE Sel() {
        CHARRANGE r;
        Text->Perform(EM_EXGETSEL, 0, LPARAM(&r));
        return r;
    }
    TMenuItem* MenuItem(int tag) {
        TMenuItem* root = Text->ContextMenu()->GetItems();
        for (int i = 0; i < root->Count(); ++i)
            if (root->Items(i)->GetTag() == tag) return root->Items(i);
        return nullptr;
    }
    TdxInplaceTextEdit* Text = nullptr;
    int Changes = 0;
};

TEST_F(TextEditTest, NegativeMaxLengthIsTheDefaultLimit) {
    Text->SetMaxLength(-5);
    EXPECT_EQ(Text->GetMaxLength(), 0);
    EXPECT_TRUE(Text->GetStoredValues() & dxsvMaxLength);
    Text->SetMaxLength(3);
    Text->SetText("dlouhý");  // a limit refuses typing, it does not cut
    EXPECT_EQ(Text->GetText(), "dlouhý");
    Text->RestoreDefaults();
    EXPECT_EQ(Text->GetMaxLength(), 0);
}

TEST_F(TextEditTest, UpperCaseKeepsSelectionAndModifiedFlag) {
    Text->SetText("abc");
    Text->SetModified(false);
    Text->Perform(EM_SETSEL, 2, 1);
    Text->SetCharCase(ecUpperCase);
    EXPECT_EQ(Text->GetText(), "ABC");
    EXPECT_FALSE(Text->GetModified());
    EXPECT_EQ(Sel().cpMin, 1);
    EXPECT_EQ(Sel().cpMax, 2);
    // Czech letters too, and what is typed.
    Text->SetText("žluťoučký");
    EXPECT_EQ(Text->GetText(), "ŽLUŤOUČKÝ");
    Text->Perform(EM_SETSEL, 9, 9);
    Text->Perform(WM_CHAR, WPARAM(U'ř'));
    EXPECT_EQ(Text->GetText(), "ŽLUŤOUČKÝŘ");
    EXPECT_TRUE(Text->GetModified());
    Text->SetCharCase(ecLowerCase);
    EXPECT_EQ(Text->GetText(), "žluťoučkýř");
}

TEST_F(TextEditTest, ChangeFiresOncePerPathAndNeverWhileAssigning) {
    Changes = 0;
    Text->SetText("okno");  // with the window: EN_CHANGE
    EXPECT_EQ(Changes, 1);
    Text->Perform(EM_SETSEL, 4, 4);
    Text->Perform(WM_CHAR, WPARAM('!'));
    EXPECT_EQ(Changes, 2);
    Text->SetEditValue(Variant("přiřazeno"));
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Text->GetText(), "přiřazeno");
    EXPECT_FALSE(Text->CanUndo()) << "assigning empties undo";

    TdxInplaceTextEdit windowless(Container);
    int changes = 0;
    windowless.OnChange = [&](TObject*) { ++changes; };
    windowless.SetText("bez okna");  // without the window: CM_TEXTCHANGED
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(windowless.HandleAllocated());
    windowless.SetEditValue(Variant("přiřazeno"));
    EXPECT_EQ(changes, 1);
    windowless.SetModified(true);  // kept while there is no window, handed to it later
    EXPECT_TRUE(windowless.GetModified());
}

TEST_F(TextEditTest, ModifiedSurvivesWindowRecreation) {
    Text->SetText("abc");
    Text->SetModified(true);
    Text->SetSelectionBar(true);  // re-creates the window
    EXPECT_TRUE(Text->GetModified());
    EXPECT_EQ(Text->GetText(), "abc");
    EXPECT_TRUE(Text->GetWindowStyle() & ES_SELECTIONBAR);
}

struct MenuCase {
    const char* Name;
    const char* TextValue;
    int SelFrom, SelTo;
    bool ReadOnly;
    char32_t Password;
    bool Cut, Copy, Delete, SelectAllItem;
};

class MenuEnabling : public TextEditTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(MenuEnabling, ItemsFollowSelectionEditabilityAndPassword) {
    const MenuCase& c = GetParam();
    Text->SetText(c.TextValue);
    Text->SetPasswordChar(c.Password);
    Text->SetReadOnly(c.ReadOnly);
    Text->Perform(EM_SETSEL, c.SelFrom, c.SelTo);
    Text->UpdateContextMenu();
    EXPECT_EQ(MenuItem(-3)->GetEnabled(), c.Cut);
    EXPECT_EQ(MenuItem(-4)->GetEnabled(), c.Copy);
    EXPECT_EQ(MenuItem(-6)->GetEnabled(), c.Delete);
    EXPECT_EQ(MenuItem(-7)->GetEnabled(), c.SelectAllItem);
}

INSTANTIATE_TEST_SUITE_P(Table, MenuEnabling,
    ::testing::Values(MenuCase{"NoSelection", "text", 1, 1, false, 0, false, false, false, true},
        MenuCase{"PartSelected", "text", 1, 3, false, 0, true, true, true, true},
        MenuCase{"AllSelected", "text", 0, 4, false, 0, true, true, true, false},
        MenuCase{"ReadOnly", "text", 1, 3, true, 0, false, true, false, true},
        MenuCase{"Password", "heslo", 0, 2, false, U'*', false, false, true, true},
        MenuCase{"EmptyText", "", 0, 0, false, 0, false, false, false, false}),
    [](const auto& i) { return std::string(i.param.Name); });

TEST_F(TextEditTest, MenuHasItsNineItemsAndRunsThemByTag) {
    TMenuItem* root = Text->ContextMenu()->GetItems();
    ASSERT_EQ(root->Count(), 9);
    const char* captions[] = {"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "&Delete", "-", "Select &All"};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(root->Items(i)->GetCaption(), captions[i]);

    Text->SetText("kopie");
    Text->Perform(EM_SETSEL, 0, 3);
    Text->UpdateContextMenu();
    MenuItem(-4)->Click();
    EXPECT_EQ(Clipboard()->GetAsText(), "kop");
    MenuItem(-6)->Click();
    EXPECT_EQ(Text->GetText(), "ie");
    Text->UpdateContextMenu();
    EXPECT_TRUE(MenuItem(-1)->GetEnabled());
    MenuItem(-1)->Click();
    EXPECT_EQ(Text->GetText(), "kopie");
    MenuItem(-7)->Click();
    EXPECT_EQ(Sel().cpMax - Sel().cpMin, 5);
}

TEST_F(TextEditTest, MenuPopsUpOnlyWithoutAPopupMenuAlongTheParents) {
    int shown = 0;
    SetPopupMenuHook([&](TPopupMenu* menu, TPoint) -> TMenuItem* {
        if (menu == Text->ContextMenu()) ++shown;
        return nullptr;
    });
    const TPoint inside = Text->ClientToScreen({5, 5});
    Text->Perform(WM_CONTEXTMENU, 0, PointToLParam(inside));
    EXPECT_EQ(shown, 1);
    Text->Perform(WM_CONTEXTMENU, 0, PointToLParam({-1, -1}));  // keyboard: at the caret
    EXPECT_EQ(shown, 2);
    Text->Perform(WM_CONTEXTMENU, 0, PointToLParam(Text->ClientToScreen({-30, 5})));
    EXPECT_EQ(shown, 2) << "a point outside the client area shows nothing";
    auto* formMenu = new TPopupMenu(Form);
    Form->SetPopupMenu(formMenu);
    Text->Perform(WM_CONTEXTMENU, 0, PointToLParam(inside));
    EXPECT_EQ(shown, 2);
    SetPopupMenuHook(nullptr);
}

TEST_F(TextEditTest, SelectionChangeAndCaretToEnd) {
    int selChanges = 0;
    Text->OnSelectionChange = [&](TObject*) { ++selChanges; };
    Text->SetText("řádek");
    Text->Perform(EM_SETSEL, 1, 3);
    EXPECT_GE(selChanges, 1);
    Text->MoveCaretToEnd();
    EXPECT_EQ(Sel().cpMin, 5);
    EXPECT_EQ(Sel().cpMax, 5);
    EXPECT_EQ(Text->GetSelStart(), 5);
    Text->SetSelStart(1);
    Text->SetSelLength(2);
    std::string sel;
    Text->GetSelText(sel);
    EXPECT_EQ(sel, "ád");
    char32_t buf[3];
    EXPECT_EQ(Text->GetSelTextBuf(buf, 1), 1);
    EXPECT_EQ(buf[0], U'á');
    EXPECT_EQ(buf[1], 0u);
}

TEST_F(TextEditTest, AutoSelectOnEnterOnlyWhenAsked) {
    Text->SetText("vše");
    Text->Perform(EM_SETSEL, 1, 1);
    Text->Perform(CM_ENTER);
    EXPECT_EQ(Sel().cpMax - Sel().cpMin, 3);
    Text->SetAutoSelect(false);
    Text->Perform(EM_SETSEL, 1, 1);
    Text->Perform(CM_ENTER);
    EXPECT_EQ(Sel().cpMax - Sel().cpMin, 0);
}

TEST_F(TextEditTest, ReadOnlyReachesTheControl) {
    Text->SetText("pevný");
    Text->SetReadOnly(true);
    Text->Perform(EM_SETSEL, 0, 5);
    Text->Perform(WM_CHAR, WPARAM('x'));
    Text->Perform(EM_REPLACESEL, 0, LPARAM(""));  // the program may still replace
    EXPECT_EQ(Text->GetText(), "");
    Text->SetText("pevný");
    Text->Perform(EM_SETSEL, 0, 5);
    Text->Perform(WM_CHAR, WPARAM('x'));
    EXPECT_EQ(Text->GetText(), "pevný");
}

}  // namespace
