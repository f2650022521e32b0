// The in-place editor's key and character routing between editor and host, and validation.

#include "EditorsFixture.h"

using namespace gridtest;

namespace {

struct KeyCase {
    const char* Name;
    WORD Key;
    TShiftState Shift;
    bool CanModify;
    bool ToContainer;  // the host's own key handling received it (and the key became 0)
    WORD KeyAfter;
    bool EditorTold;  // EditorKeyDown heard it
};

class KeyRouting : public EditorsTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyRouting, KeyGoesWhereTheHostAndItsAnswersSay) {
    const KeyCase& c = GetParam();
    Container->CanModify = c.CanModify;
    WORD key = c.Key;
    Edit->KeyDown(key, c.Shift);
    EXPECT_EQ(key, c.KeyAfter);
    ASSERT_EQ(Container->KeysDown.size(), c.ToContainer ? 1u : 0u);
    if (c.ToContainer) {
        EXPECT_EQ(Container->KeysDown[0].Key, c.Key);
        EXPECT_TRUE(Container->KeysDown[0].Shift == c.Shift);
    }
    EXPECT_EQ(!Container->EditorKeys.empty(), c.EditorTold);
    EXPECT_EQ(Beeps, 0) << "refused keys are dropped silently";
    EXPECT_EQ(Edit->ValidationLock(), 0) << "the lock is lowered again";
}

const TShiftState none{};
const TShiftState shift{ssShift};
const TShiftState ctrl{ssCtrl};
const TShiftState alt{ssAlt};

INSTANTIATE_TEST_SUITE_P(Table, KeyRouting,
    ::testing::Values(KeyCase{"Tab", VK_TAB, none, false, true, 0, false},
        KeyCase{"ShiftTab", VK_TAB, shift, false, true, 0, false},
        KeyCase{"AltTabStaysInEditor", VK_TAB, alt, false, false, VK_TAB, true},
        KeyCase{"Enter", VK_RETURN, none, true, true, 0, false}, KeyCase{"Esc", VK_ESCAPE, none, true, true, 0, false},
        KeyCase{"PageUp", VK_PRIOR, none, true, true, 0, false},
        KeyCase{"PageDown", VK_NEXT, ctrl, true, true, 0, false}, KeyCase{"Up", VK_UP, none, true, true, 0, false},
        KeyCase{"Down", VK_DOWN, shift, true, true, 0, false}, KeyCase{"Insert", VK_INSERT, none, true, true, 0, false},
        KeyCase{"PasteRefused", VK_INSERT, shift, false, false, 0, false},
        KeyCase{"PasteAllowed", VK_INSERT, shift, true, false, VK_INSERT, true},
        KeyCase{"CopyStaysInReadOnlyGrid", VK_INSERT, ctrl, false, false, VK_INSERT, true},
        KeyCase{"DeleteRefused", VK_DELETE, none, false, false, 0, false},
        KeyCase{"DeleteAllowed", VK_DELETE, none, true, false, VK_DELETE, true},
        KeyCase{"BackspaceRefusedAfterTheHostHeardIt", VK_BACK, none, false, false, 0, true},
        KeyCase{"CtrlVRefused", 'V', ctrl, false, false, 0, true},
        KeyCase{"CtrlXAllowed", 'X', ctrl, true, false, 'X', true},
        KeyCase{"LetterKey", 'A', none, false, false, 'A', true},
        KeyCase{"Left", VK_LEFT, none, false, false, VK_LEFT, true}),
    [](const ::testing::TestParamInfo<KeyCase>& i) { return std::string(i.param.Name); });

TEST_F(EditorsTest, F2TellsTheHostAndMovesTheCaretUnlessTheHostTakesIt) {
    WORD key = VK_F2;
    Edit->KeyDown(key, {});
    EXPECT_EQ(Container->EditorKeys.size(), 1u);
    EXPECT_EQ(Edit->CaretToEnd, 1);
    EXPECT_EQ(key, VK_F2);

    Container->OnKeyDown = [](TObject*, WORD& k, TShiftState) { k = 0; };
    key = VK_F2;
    Edit->KeyDown(key, {});
    EXPECT_EQ(Edit->CaretToEnd, 1);
    EXPECT_EQ(key, 0);
}

TEST_F(EditorsTest, ValidationKeysValidateBeforeTheHostSeesThem) {
    Edit->SetModified(true);
    Edit->OnValidate = [](TObject*, std::string&, bool& accept) { accept = false; };
    WORD key = VK_RETURN;
    EXPECT_THROW(Edit->KeyDown(key, {}), EdxEditInvalidInput);
    EXPECT_TRUE(Container->KeysDown.empty());
    EXPECT_EQ(Edit->ValidationLock(), 0);
    EXPECT_EQ(Beeps, 1);

    // Alt+Tab is validated too, although it stays in the editor.
    key = VK_TAB;
    EXPECT_THROW(Edit->KeyDown(key, {ssAlt}), EdxEditInvalidInput);
    // A letter is no validation key.
    key = 'A';
    EXPECT_NO_THROW(Edit->KeyDown(key, {}));
}

TEST_F(EditorsTest, TheHostReactingToAKeyDoesNotValidateAgain) {
    Edit->SetModified(true);
    int asked = 0;
    Edit->OnValidate = [&](TObject*, std::string&, bool& accept) {
        ++asked;
        accept = asked == 1;  // the first question (the key's own) passes
    };
    Container->OnContainerKey = [&] { Edit->ValidateEdit(); };  // the host closes the editor
    WORD key = VK_DOWN;
    EXPECT_NO_THROW(Edit->KeyDown(key, {}));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Container->KeysDown.size(), 1u);
    // The lock lasts only while the key is handled.
    EXPECT_THROW(Edit->ValidateEdit(), EdxEditInvalidInput);
}

TEST_F(EditorsTest, TheLockIsLoweredWhenTheHostThrows) {
    Container->OnContainerKey = [] { throw EAbort("stop"); };
    WORD key = VK_UP;
    EXPECT_THROW(Edit->KeyDown(key, {}), EAbort);
    EXPECT_EQ(Edit->ValidationLock(), 0);
}

TEST_F(EditorsTest, EscRestoresTheEnteredTextAndThenReachesTheHost) {
    Edit->EditWindow = true;  // an editor that can undo
    Edit->SetText("původní");
    Edit->SetActive(true);
    Edit->SetText("změněný");
    Edit->SetModified(true);
    int asked = 0;
    Edit->OnValidate = [&](TObject*, std::string&, bool& accept) {
        ++asked;
        accept = false;
    };
    WORD key = VK_ESCAPE;
    EXPECT_NO_THROW(Edit->KeyDown(key, {}));
    EXPECT_EQ(Edit->GetText(), "původní");
    EXPECT_FALSE(Edit->GetModified());
    EXPECT_EQ(asked, 0) << "an unmodified editor is not validated";
    ASSERT_EQ(Container->KeysDown.size(), 1u);
    EXPECT_EQ(Container->KeysDown[0].Key, VK_ESCAPE);
}

// --- characters ---------------------------------------------------------------------------------

struct CharCase {
    const char* Name;
    char32_t Char;
    bool CharValid;
    bool CanModify;
    bool EditWindow;
    bool Tabs;
    char32_t After;
    int Beeps;
};

class CharRouting : public EditorsTest, public ::testing::WithParamInterface<CharCase> {};

TEST_P(CharRouting, CharacterIsKeptDroppedOrRefusedWithABeep) {
    const CharCase& c = GetParam();
    Container->CharValid = c.CharValid;
    Container->CanModify = c.CanModify;
    Container->Tabs = c.Tabs;
    Edit->EditWindow = c.EditWindow;
    char32_t key = c.Char;
    Edit->KeyPress(key);
    EXPECT_EQ(key, c.After);
    EXPECT_EQ(Beeps, c.Beeps);
    ASSERT_EQ(Container->KeysPressed.size(), 1u) << "the host sees every character first";
    EXPECT_EQ(Container->KeysPressed[0], c.Char);
}

INSTANTIATE_TEST_SUITE_P(Table, CharRouting,
    ::testing::Values(CharCase{"BareHostRefusesWithABeep", U'a', false, false, false, false, 0, 1},
        CharCase{"CzechLetterRefusedToo", U'ř', false, true, true, false, 0, 1},
        CharCase{"ValidButReadOnlyWindowDropsSilently", U'a', true, false, true, false, 0, 0},
        CharCase{"ValidAndModifiable", U'ž', true, true, true, false, U'ž', 0},
        CharCase{"PaintedOnlyEditorKeepsIt", U'a', true, false, false, false, U'a', 0},
        CharCase{"TabDroppedUnlessWanted", U'\t', true, true, true, false, 0, 0},
        CharCase{"TabKeptWhenWanted", U'\t', true, true, true, true, U'\t', 0},
        CharCase{"EscAlwaysDropped", U'\x1b', true, true, true, false, 0, 0},
        CharCase{"BackspaceIsNoPrintableCharacter", U'\b', false, true, true, false, U'\b', 0}),
    [](const ::testing::TestParamInfo<CharCase>& i) { return std::string(i.param.Name); });

// --- validation ---------------------------------------------------------------------------------

TEST_F(EditorsTest, AnUnmodifiedEditorNeverAsksOnValidate) {
    int asked = 0;
    Edit->OnValidate = [&](TObject*, std::string&, bool& accept) {
        ++asked;
        accept = false;
    };
    Edit->SetText("cokoli");
    EXPECT_NO_THROW(Edit->ValidateEdit());
    EXPECT_EQ(asked, 0);
}

TEST_F(EditorsTest, ARefusalCarriesTheDefaultOrTheHandlersText) {
    Edit->SetModified(true);
    Edit->OnValidate = [](TObject*, std::string& text, bool& accept) {
        EXPECT_EQ(text, "Invalid input value. Use escape key to abandon changes");
        accept = false;
    };
    try {
        Edit->ValidateEdit();
        FAIL() << "no exception";
    } catch (const EdxEditInvalidInput& e) {
        EXPECT_EQ(e.Message(), "Invalid input value. Use escape key to abandon changes");
    }
    Edit->OnValidate = [](TObject*, std::string& text, bool& accept) {
        text = "Známka musí být 1 až 5";
        accept = false;
    };
    try {
        Edit->ValidateEdit();
        FAIL() << "no exception";
    } catch (const EdxEditInvalidInput& e) {
        EXPECT_EQ(e.Message(), "Známka musí být 1 až 5");
        EXPECT_STREQ(e.ClassName(), "EdxEditInvalidInput");
    }
    EXPECT_EQ(Beeps, 2);
    EXPECT_TRUE(Edit->GetModified()) << "the editor stays modified";
}

TEST_F(EditorsTest, EditingTextOnAReadOnlyEditorStillMarksItModified) {
    Edit->SetText("beze změny");
    Edit->SetEditingText("nový");  // the bare host refuses modification
    EXPECT_EQ(Edit->GetText(), "beze změny");
    EXPECT_TRUE(Edit->GetModified());
    Container->CanModify = true;
    Edit->SetEditingText("nový");
    EXPECT_EQ(Edit->GetText(), "nový");
}

TEST_F(EditorsTest, NullValueGivesAnEmptyText) {
    Edit->SetText("něco");
    Edit->SetEditValue(Variant::Null());
    EXPECT_EQ(Edit->GetText(), "");
}

TEST_F(EditorsTest, StoredReadOnlyWinsOverTheDataAndRestoreDefaultsForgetsIt) {
    EXPECT_FALSE(Edit->GetReadOnly());
    Edit->SetReadOnly(true);
    EXPECT_TRUE(Edit->GetReadOnly());
    EXPECT_EQ(Edit->GetStoredValues(), dxsvReadOnly);
    Edit->SetAlignment(taRightJustify);
    EXPECT_EQ(Edit->GetStoredValues(), dxsvReadOnly | dxsvAlignment);
    Edit->RestoreDefaults();
    EXPECT_EQ(Edit->GetStoredValues(), 0);
    EXPECT_FALSE(Edit->GetReadOnly());
    EXPECT_EQ(Edit->GetAlignment(), taLeftJustify);
}

TEST_F(EditorsTest, KeysAreDroppedWhileTheHostsCellChanged) {
    Edit->HandleNeeded();
    Container->CellChanged = true;
    Edit->Perform(WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(Container->EditorKeys.empty());
    Container->CellChanged = false;
    Edit->Perform(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(Container->EditorKeys.size(), 1u);
}

TEST_F(EditorsTest, DialogCodeAsksForAllKeysAndTabsOnlyWhenTheHostWantsThem) {
    Edit->HandleNeeded();
    LRESULT code = Edit->Perform(WM_GETDLGCODE);
    EXPECT_TRUE(code & DLGC_WANTCHARS);
    EXPECT_TRUE(code & DLGC_WANTALLKEYS);
    EXPECT_FALSE(code & DLGC_WANTTAB);
    Container->Tabs = true;
    EXPECT_TRUE(Edit->Perform(WM_GETDLGCODE) & DLGC_WANTTAB);
}

TEST_F(EditorsTest, EnterRemovesTheCharacterThatFollowsIt) {
    Edit->HandleNeeded();
    PostMessage(Edit->WindowHandle(), WM_CHAR, 13, 0);
    Edit->Perform(WM_KEYDOWN, VK_RETURN, 0);
    TMsg m;
    EXPECT_FALSE(PeekMessage(m, Edit->WindowHandle(), WM_CHAR, WM_CHAR, PM_NOREMOVE));
    // With Tab wanted by the host, the Tab's character stays.
    Container->Tabs = true;
    PostMessage(Edit->WindowHandle(), WM_CHAR, 9, 0);
    Edit->Perform(WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(PeekMessage(m, Edit->WindowHandle(), WM_CHAR, WM_CHAR, PM_REMOVE));
}

}  // namespace
