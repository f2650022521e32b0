// Alt+letter accelerators of captions ("&"), and the radio button's background on a panel.
#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QWidget>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class AccelTest : public formstest::FormFixture {
protected:
    AccelTest() : FormFixture(520, 360) {}
    // Alt+letter as the keyboard sends it. A mnemonic that Qt handled itself would press a button
    // and click it from a timer a moment later (an animated click): wait until no button of the
    // form is held down, so that such a late click is counted too.
    void AltKey(int qtKey, const char* text) {
        Key(qtKey, Qt::AltModifier, text);
        EXPECT_TRUE(formstest::WaitUntil([this] {
            for (const QAbstractButton* b : Form->OuterWidget()->findChildren<QAbstractButton*>())
                if (b->isDown()) return false;
            return true;
        })) << "a button stays held down";
    }
};

TEST_F(AccelTest, AltLetterReachesTheControlWhoseCaptionClaimsIt) {
    TEdit* edit = Add<TEdit>(10, 10, 120, 22);
    TEdit* named = Add<TEdit>(200, 10, 120, 22);
    TLabel* label = Add<TLabel>(140, 10, 50, 17);
    label->SetCaption("&Jméno");
    label->SetFocusControl(named);
    TButton* save = Add<TButton>(10, 300, 90, 28);
    save->SetCaption("&Uložit");
    TBitBtn* bit = Add<TBitBtn>(110, 300, 90, 28);
    bit->SetCaption("&Tisk");
    TSpeedButton* speed = Add<TSpeedButton>(210, 300, 90, 28);
    speed->SetCaption("&Náhled");
    TCheckBox* check = Add<TCheckBox>(10, 50, 150, 20);
    check->SetCaption("&Vyznamenání");
    TRadioButton* r1 = Add<TRadioButton>(10, 80, 150, 20);
    r1->SetCaption("&Pololetní");
    r1->SetChecked(true);
    TRadioButton* r2 = Add<TRadioButton>(10, 105, 150, 20);
    r2->SetCaption("&Závěrečné");
    TPageControl* pages = Add<TPageControl>(200, 50, 300, 200);
    auto* p1 = new TTabSheet(Form);
    p1->SetPageControl(pages);
    p1->SetCaption("&Obecné");
    auto* p2 = new TTabSheet(Form);
    p2->SetPageControl(pages);
    p2->SetCaption("&Řazení");
    TButton* hidden = Add<TButton>(10, 10, 80, 25, p2);
    hidden->SetCaption("&Hledat");
    pages->SetActivePage(p1);
    int saves = 0, prints = 0, previews = 0, hiddenClicks = 0;
    save->OnClick = [&](TObject*) { ++saves; };
    bit->OnClick = [&](TObject*) { ++prints; };
    speed->OnClick = [&](TObject*) { ++previews; };
    hidden->OnClick = [&](TObject*) { ++hiddenClicks; };
    ShowAndActivate(Form);
    edit->SetFocus();
    ProcessEvents();
    // Each key from the edit, which keeps its text.
    struct Case {
        int Key;
        const char* Text;
        std::function<bool()> Done;
    };
    const Case cases[] = {
        {Qt::Key_U, "u", [&] { return saves == 1; }}, {Qt::Key_T, "t", [&] { return prints == 1; }},
        {Qt::Key_N, "n", [&] { return previews == 1; }}, {Qt::Key_J, "j", [&] { return named->Focused(); }},
        {Qt::Key_V, "v", [&] { return check->GetChecked() && check->Focused(); }},
        {Qt::Key_Z, "z", [&] { return r2->GetChecked() && !r1->GetChecked() && r2->Focused(); }},
        {Qt::Key_unknown, "ř", [&] { return pages->GetActivePage() == p2; }},
        {Qt::Key_H, "h", [&] { return hiddenClicks == 1; }},  // its page is shown now
    };
    for (const Case& c : cases) {
        edit->SetFocus();
        ProcessEvents();
        AltKey(c.Key, c.Text);
        EXPECT_TRUE(c.Done()) << c.Text;
        EXPECT_EQ(edit->GetText(), "") << c.Text;
    }
    // Once each: Qt's own mnemonics do not click a second time.
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(prints, 1);
    EXPECT_EQ(previews, 1);
    // Again on the check box: it toggles back.
    AltKey(Qt::Key_V, "v");
    EXPECT_FALSE(check->GetChecked());
}

TEST_F(AccelTest, UnclaimedAltLetterIsNotEatenAndHiddenControlsDoNotClaim) {
    TEdit* edit = Add<TEdit>(10, 10, 120, 22);
    TButton* b = Add<TButton>(10, 50, 90, 28);
    b->SetCaption("&Storno");
    b->SetVisible(false);
    TButton* off = Add<TButton>(110, 50, 90, 28);
    off->SetCaption("&Konec");
    off->SetEnabled(false);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    off->OnClick = [&](TObject*) { ++clicks; };
    std::vector<WORD> keys;
    edit->OnKeyDown = [&](TObject*, WORD& key, TShiftState shift) {
        if (shift.Contains(ssAlt)) keys.push_back(key);
    };
    ShowAndActivate(Form);
    edit->SetFocus();
    ProcessEvents();
    for (auto [key, text] : {std::pair{Qt::Key_S, "s"}, std::pair{Qt::Key_K, "k"}, std::pair{Qt::Key_X, "x"}})
        AltKey(key, text);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(keys, (std::vector<WORD>{'S', 'K', 'X'}));
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x'), 0);
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(edit->GetText(), "");
}

TEST_F(AccelTest, CaptionsUnderlineTheirAcceleratorLetter) {
    TLabel* plain = Add<TLabel>(10, 10, 0, 0);
    plain->SetCaption("Tisk");
    TLabel* marked = Add<TLabel>(10, 40, 0, 0);
    marked->SetCaption("&Tisk");
    ShowAndActivate(Form);
    const QImage a = Grab(plain), b = Grab(marked);
    ASSERT_EQ(a.size(), b.size());
    // The same text; only the underline under "T" differs.
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_GT(differing, 2);
}

// On a coloured panel a radio button and a check box show the panel's colour beside their
// text, no strip of the button face.
TEST_F(AccelTest, RadioAndCheckBoxPaintOnTheirParentsColour) {
    const TColor panelColor = TColor(0x00A0D0F0);
    TPanel* panel = Add<TPanel>(10, 10, 300, 120);
    panel->SetColor(panelColor);
    TRadioButton* r = Add<TRadioButton>(10, 10, 200, 20, panel);
    r->SetCaption("Pololetní");
    TCheckBox* c = Add<TCheckBox>(10, 40, 200, 20, panel);
    c->SetCaption("Vyznamenání");
    ShowAndActivate(Form);
    const QRgb want = ToQColor(panelColor).rgb() & 0xFFFFFF;
    for (TWinControl* w : std::initializer_list<TWinControl*>{r, c}) {
        EXPECT_EQ(w->GetColor(), panelColor);
        const QImage img = Grab(w);
        // Right of the caption, top and bottom rows.
        for (TPoint p : {TPoint{190, 1}, TPoint{190, 18}, TPoint{150, 10}})
            EXPECT_EQ(img.pixel(p.X, p.Y) & 0xFFFFFF, want) << w->ClassName() << " " << p.X << "," << p.Y;
    }
    // A later change of the panel's colour reaches them too.
    panel->SetColor(clWhite);
    EXPECT_EQ(r->GetColor(), clWhite);
}

}  // namespace
