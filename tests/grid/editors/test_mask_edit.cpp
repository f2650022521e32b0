// The mask editor under the offscreen platform: shown text and value, typing into the picture,
// caret skipping, deletion, the clipboard, and validation when leaving. The date separator is
// the Czech ".". Screenshots go to $KAROMIL_SHOT_DIR when it is set.

#include <cstdlib>

#include <QtGui/QImage>

#include "EditorsFixture.h"

#include "grid/editors/dxMaskEdit.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/TextControl.h"
#include "platform/rtl/Strings.h"

using namespace gridtest;

namespace {

class MaskEditTest : public EditorsTest {
protected:
    void SetUp() override {
        EditorsTest::SetUp();
        // A host that lets its cells be edited.
        Container->CanModify = true;
        Container->CharValid = true;
        Mask = new TdxInplaceMaskEdit(Container);
        Mask->SetParent(Container);
        Mask->ShowInRect(Rect(10, 10, 170, 30));
        TestKit::ProcessEvents();
    }
    std::string Shown() {
        std::string s;
        Mask->GetEditText(s);
        return s;
    }
    std::string Value() {
        std::string s;
        Mask->GetText(s);
        return s;
    }
    CHARRANGE Sel() {
        CHARRANGE r;
        Mask->Perform(EM_EXGETSEL, 0, LPARAM(&r));
        return r;
    }
    void Type(const char* text) {
        for (char32_t c : Utf8ToU32(text)) Mask->Perform(WM_CHAR, WPARAM(c));
    }
    void Key(WORD key) { Mask->Perform(WM_KEYDOWN, key); }
    TdxInplaceMaskEdit* Mask = nullptr;
};

TEST_F(MaskEditTest, ShownTextAndValue) {
    struct Case {
        const char* EditMask;
        const char* Set;
        const char* Shown;
        const char* Value;
    } cases[] = {
        {"!99/99/00;1;_", "", "__.__.__", "  .  .  "},
        {"000;0;_", "12", "12_", "12"},
        {"99/99/0000;1;_", "1.2.2024", "1_.2_.2024", "1 .2 .2024"},
        {"!99/99/0000;0;_", "122024", "__.12.2024", "122024"},
        {"(999) 000-0000;0;*", "1234567", "(123) 456-7***", "1234567"},
        {"9;0", "5", "5;_", "5; "},  // three characters: no fields, the semicolon is a literal
        {">LL-LL;0; ", "čřŠŽ", "čř-ŠŽ", "čřŠŽ"},
    };
    for (const auto& c : cases) {
        Mask->SetEditMask(c.EditMask);
        Mask->SetText(c.Set);
        EXPECT_EQ(Shown(), c.Shown) << c.EditMask;
        EXPECT_EQ(Value(), c.Value) << c.EditMask;
        Mask->SetEditMask("");
        Mask->Clear();
    }
}

TEST_F(MaskEditTest, AnEmptyMaskedValueDisplaysAsEmpty) {
    Mask->SetEditMask("99/99/0000;1;_");
    std::string display = "x";
    Mask->GetDisplayText(display);
    EXPECT_EQ(display, "");
    Mask->SetIgnoreMaskBlank(true);
    Mask->GetDisplayText(display);
    EXPECT_EQ(display, "__.__.____");
    Mask->SetEditValue(Variant());
    Variant v;
    Mask->GetEditValue(v);
    EXPECT_EQ(VarToStr(v), "  .  .    ");
}

TEST_F(MaskEditTest, TypingFollowsThePictureAndSkipsLiterals) {
    Mask->SetEditMask("99/99/0000;1;_");
    Mask->PlaceCaret(0);
    Type("3112");
    EXPECT_EQ(Shown(), "31.12.____");
    EXPECT_EQ(Sel().cpMin, 6) << "the caret skipped the second literal";
    EXPECT_EQ(Sel().cpMax, 7) << "the character under the caret shows selected";
    Type("x");
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Shown(), "31.12.____");
    EXPECT_TRUE(Mask->GetModified());
}

TEST_F(MaskEditTest, TypingTheNextLiteralJumpsPastIt) {
    Mask->SetEditMask("(999) 000-0000;0;_");
    Mask->PlaceCaret(1);
    Type("12)");
    EXPECT_EQ(Beeps, 0);
    EXPECT_EQ(Sel().cpMin, 6) << "after \") \"";
    Type("a");
    EXPECT_EQ(Beeps, 1);
    Type("555");
    EXPECT_EQ(Shown(), "(12_) 555-____");
    EXPECT_EQ(Beeps, 1);
}

TEST_F(MaskEditTest, UpperCaseDirectiveTurnsCzechLetters) {
    Mask->SetEditMask(">LLL");
    Mask->PlaceCaret(0);
    Type("čřž");
    EXPECT_EQ(Shown(), "ČŘŽ");
    Mask->SetEditMask("<LL");
    Mask->SetText("");
    Mask->PlaceCaret(0);
    Type("ŮĚ");
    EXPECT_EQ(Shown(), "ůě");
}

TEST_F(MaskEditTest, BackspaceAndDeleteBlankPositions) {
    Mask->SetEditMask("99/99;1;_");
    Mask->SetText("12.34");
    Mask->PlaceCaret(0);
    Key(VK_BACK);  // at the first editable position: nothing
    EXPECT_EQ(Shown(), "12.34");
    EXPECT_EQ(Sel().cpMin, 0);
    Mask->PlaceCaret(3);
    Key(VK_BACK);  // over the literal to the 2
    EXPECT_EQ(Shown(), "1_.34");
    EXPECT_EQ(Sel().cpMin, 1);
    Mask->SetSelection(0, 5, false);
    Key(VK_DELETE);
    EXPECT_EQ(Shown(), "__.__") << "literals stay";
    EXPECT_EQ(Sel().cpMin, 0);
}

TEST_F(MaskEditTest, CutBlanksOnlyTheSelection) {
    Mask->SetEditMask("99/99/0000;1;_");
    Mask->SetText("31.12.2024");
    Mask->SetSelection(0, 2, false);
    Mask->Perform(WM_CUT);
    EXPECT_EQ(Clipboard()->GetAsText(), "31");
    EXPECT_EQ(Shown(), "__.12.2024");
    Mask->SetSelection(6, 8, false);
    Mask->Perform(WM_CLEAR);
    EXPECT_EQ(Shown(), "__.12.__24");
    EXPECT_TRUE(Mask->GetModified());
}

TEST_F(MaskEditTest, PasteEntersCharacterByCharacter) {
    Mask->SetEditMask("99/99/0000;1;_");
    Clipboard()->SetAsText("31122024");
    Mask->PlaceCaret(0);
    Mask->Perform(WM_PASTE);
    EXPECT_EQ(Shown(), "31.12.2024") << "literals the text lacks are put in";
    EXPECT_TRUE(Mask->GetModified());
    Clipboard()->SetAsText("01.02.");
    Mask->PlaceCaret(0);
    Mask->Perform(WM_PASTE);
    EXPECT_EQ(Shown(), "01.02.2024") << "matching literals are taken";
    Clipboard()->SetAsText("1x");
    Mask->PlaceCaret(0);
    Mask->Perform(WM_PASTE);
    EXPECT_EQ(Shown(), "1_.02.2024") << "a refused character becomes the blank";
    // A paste that leaves a required position blank is refused at once, the text kept.
    Clipboard()->SetAsText("3112x024");
    Mask->PlaceCaret(0);
    EXPECT_THROW(Mask->Perform(WM_PASTE), EDBEditError);
    EXPECT_EQ(Shown(), "31.12._024");
}

TEST_F(MaskEditTest, LeavingWithABlankRequiredPositionIsRefused) {
    Mask->SetEditMask("99/99/0000;1;_");
    Mask->SetText("1.2.20");
    Mask->SetModified(true);
    try {
        Mask->ValidateEdit();
        FAIL() << "no error";
    } catch (const EDBEditError& e) {
        EXPECT_STREQ(e.Message().c_str(), "Invalid input value.  Use escape key to abandon changes");
    }
    EXPECT_EQ(Sel().cpMin, 8) << "the caret stands on the first blank required position";
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(Shown(), "1_.2_.20__") << "the edit is kept";

    // The host closing the editor is refused the same way: the edit is not thrown away.
    Mask->SetCloseFlag(true);
    EXPECT_THROW(Mask->ValidateEdit(), EDBEditError);
    EXPECT_EQ(Shown(), "1_.2_.20__");
    Mask->SetCloseFlag(false);

    // Caught as the editors' refusal too.
    EXPECT_THROW(Mask->ValidateEdit(), EdxEditInvalidInput);
    Mask->SetIgnoreMaskBlank(true);
    EXPECT_NO_THROW(Mask->ValidateEdit());
    Mask->SetIgnoreMaskBlank(false);
    Mask->SetModified(false);
    EXPECT_NO_THROW(Mask->ValidateEdit()) << "an unmodified editor is not checked";
}

TEST_F(MaskEditTest, EnterInAGridValidatesBeforeTheHostMoves) {
    Mask->SetEditMask("000;0;_");
    Mask->SetText("1");
    Mask->SetModified(true);
    EXPECT_THROW(Mask->Perform(WM_KEYDOWN, VK_RETURN), EDBEditError);
    EXPECT_TRUE(Container->KeysDown.empty());
    Mask->SetText("123");
    Mask->Perform(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(Container->KeysDown.size(), 1u);
}

TEST_F(MaskEditTest, ChangingTheMaskKeepsTheValue) {
    Mask->SetEditMask("99/99;0;_");
    Mask->SetText("1234");
    Mask->SetEditMask("99-99-99;0;*");
    EXPECT_EQ(Shown(), "12-34-**");
    EXPECT_EQ(Mask->GetPositionCount(), 8);
    Mask->SetEditMask("");
    EXPECT_FALSE(Mask->IsMasked());
    EXPECT_EQ(Mask->GetText(), "1234");
}

TEST_F(MaskEditTest, HomeEndAndArrows) {
    Mask->SetEditMask("99/99;1;_");
    Mask->PlaceCaret(1);
    Key(VK_RIGHT);
    EXPECT_EQ(Sel().cpMin, 3);
    Key(VK_LEFT);
    EXPECT_EQ(Sel().cpMin, 1);
    Key(VK_END);
    EXPECT_EQ(Sel().cpMin, 5);
    Key(VK_HOME);
    EXPECT_EQ(Sel().cpMin, 0);
    EXPECT_EQ(Sel().cpMax, 1);
}

TEST_F(MaskEditTest, ScreenshotOfAHalfTypedDate) {
    const char* dir = std::getenv("KAROMIL_SHOT_DIR");
    Mask->SetEditMask("!99/99/0000;1;_");
    Mask->GetFont()->SetHeight(-15);
    Mask->ShowInRect(Rect(10, 10, 170, 34));
    Mask->SetFocus();
    Mask->PlaceCaret(0);
    Type("0703");
    EXPECT_EQ(Shown(), "07.03.____");
    if (!dir || !*dir) return;
    TestKit::ProcessEvents();
    TestKit::Grab(Container).save(QString::fromStdString(std::string(dir) + "/mask-date-half-typed.png"));
}

}  // namespace
