// The masked edit: laying values into the picture, typing place by place, refusing what the
// picture does not take.
#include <gtest/gtest.h>

#include <QtWidgets/QLineEdit>

#include "platform/classes/TypInfo.h"
#include "platform/gui/Mask.h"
#include "platform/gui/Shell.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class MaskEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, 300, 200);
        Edit = new TMaskEdit(Form);
        Edit->SetParent(Form);
        Edit->SetBounds(8, 8, 121, 21);
        SetBeepHandler([this](UINT) { ++Beeps; });
    }
    void TearDown() override {
        SetBeepHandler(nullptr);
        if (Form->GetVisible()) Form->Hide();
        ProcessEvents();
    }
    void Type(const std::string& chars) {
        for (char c : chars)
            Key(c >= 'a' && c <= 'z' ? Qt::Key_A + (c - 'a') : int(c), Qt::NoModifier, std::string(1, c));
    }
    TComponent Owner{nullptr};
    TForm* Form = nullptr;
    TMaskEdit* Edit = nullptr;
    int Beeps = 0;
};

TEST_F(MaskEditTest, ValuesAreLaidIntoThePicture) {
    struct Case {
        const char* Mask;
        const char* Value;
        const char* EditText;
        const char* Text;
    };
    const Case cases[] = {
        {"!99/99/0000;1;_", "05.05.2024", "05.05.2024", "05.05.2024"},  // '/' is the date separator
        {"000-000;0;_", "123456", "123-456", "123456"},
        {"000-000;0;_", "12", "12_-___", "12    "},  // empty places read as spaces
        {"000-000;1;*", "123-4", "123-4**", "123-4  "},
        {">LL<ll;0; ", "ábCD", "ÁBcd", "ÁBcd"},
        {"\\(000\\);1;_", "(42)", "(42_)", "(42 )"},
        {"!999;0;_", "12", "_12", " 12"},  // '!' fills from the right
        {"", "volný text", "volný text", "volný text"},
    };
    for (const Case& c : cases) {
        Edit->SetEditMask(c.Mask);
        Edit->SetText(c.Value);
        EXPECT_EQ(Edit->GetEditText(), c.EditText) << c.Mask;
        EXPECT_EQ(Edit->GetText(), c.Text) << c.Mask;
        Edit->SetEditMask("");
        Edit->SetText("");
    }
}

TEST_F(MaskEditTest, PublishedTextIsTheValue) {
    // Stored dialogs and scripts reach the edit through its published properties.
    SetStrProp(Edit, "EditMask", "000-000;0;_");
    SetStrProp(Edit, "Text", "123456");
    EXPECT_EQ(Edit->GetEditText(), "123-456");
    EXPECT_EQ(GetStrProp(Edit, "Text"), "123456");
}

TEST_F(MaskEditTest, ChangingTheMaskKeepsTheValue) {
    Edit->SetEditMask("000000;0;_");
    Edit->SetText("123456");
    Edit->SetEditMask("000 000;0;_");
    EXPECT_EQ(Edit->GetEditText(), "123 456");
    EXPECT_EQ(Edit->GetText(), "123456");
}

TEST_F(MaskEditTest, TypingOverwritesPlacesSkipsLiteralsAndRefusesWhatDoesNotFit) {
    Edit->SetEditMask("00.00.0000;1;_");
    int changes = 0;
    Edit->OnChange = [&](TObject*) { ++changes; };
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Type("05x05");
    EXPECT_EQ(Edit->GetEditText(), "05.05.____");
    EXPECT_EQ(Beeps, 1);
    EXPECT_EQ(changes, 4);
    Type("2024");
    EXPECT_EQ(Edit->GetText(), "05.05.2024");
    EXPECT_EQ(Edit->GetSelStart(), 10);
    Type("9");  // past the last place
    EXPECT_EQ(Edit->GetEditText(), "05.05.2024");
    EXPECT_EQ(Beeps, 2);
}

TEST_F(MaskEditTest, BackspaceAndDeleteBlankPlacesWithoutShortening) {
    Edit->SetEditMask("00.00.0000;1;_");
    Edit->SetText("05.05.2024");
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Edit->SetSelStart(6);  // after the second dot
    Edit->SetSelLength(0);
    Key(Qt::Key_Backspace);  // the dot is skipped: the 5 before it goes
    EXPECT_EQ(Edit->GetEditText(), "05.0_.2024");
    EXPECT_EQ(Edit->GetSelStart(), 4);
    Edit->SetSelStart(6);
    Edit->SetSelLength(2);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Edit->GetEditText(), "05.0_.__24");
    EXPECT_EQ(Edit->GetText(), "05.0 .  24");
}

TEST_F(MaskEditTest, EditsOfTheWidgetThatBreakThePictureAreRefused) {
    Edit->SetEditMask("000;1;_");
    Edit->SetText("12");
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Edit->SelectAll();
    Edit->SetSelText("písmena");  // what a paste does
    EXPECT_EQ(Edit->GetEditText(), "12_");
    Edit->SetEditMask("");
    Edit->SelectAll();
    Edit->SetSelText("písmena");
    EXPECT_EQ(Edit->GetText(), "písmena");
}

TEST_F(MaskEditTest, ReadOnlyTakesNoTyping) {
    Edit->SetEditMask("000;1;_");
    Edit->SetReadOnly(true);
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    Type("1");
    EXPECT_EQ(Edit->GetEditText(), "___");
}

}  // namespace

namespace {
// Leaving with a required place blank is refused and reported once, the caret on the place;
// Escape brings back what the edit held on entry; an untouched empty edit may be left.
TEST_F(MaskEditTest, LeavingWithARequiredPlaceBlankIsRefusedUntilEscape) {
    TModalAnswerer answers;
    Edit->SetEditMask("00.00.0000;1;_");
    auto* other = new TEdit(Form);
    other->SetParent(Form);
    other->SetBounds(8, 40, 121, 21);
    ShowAndActivate(Form);
    Edit->SetFocus();
    ProcessEvents();
    other->SetFocus();  // nothing typed: leaving is fine
    ProcessEvents();
    EXPECT_TRUE(other->Focused());

    Edit->SetFocus();
    ProcessEvents();
    const int reported = Application->ExceptionCount();
    Type("05");
    other->SetFocus();
    ProcessEvents();
    EXPECT_EQ(Application->ExceptionCount(), reported + 1);
    EXPECT_TRUE(Edit->Focused());
    EXPECT_EQ(Edit->GetSelStart(), 3);

    Key(Qt::Key_Escape);
    EXPECT_EQ(Edit->GetEditText(), "__.__.____");
    other->SetFocus();
    ProcessEvents();
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(Application->ExceptionCount(), reported + 1);
}
}  // namespace
