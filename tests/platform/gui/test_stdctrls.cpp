// Standard controls: what each adds to the window layer, and a look at all of them together.
#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>

#include "platform/db/MemDataSet.h"
#include "platform/gui/CheckLst.h"
#include "platform/gui/DBCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class StdCtrlsTest : public formstest::FormFixture {
protected:
    StdCtrlsTest() : FormFixture(640, 480) {}
};

TEST_F(StdCtrlsTest, HotkeysOfCaptions) {
    struct Case {
        const char* Caption;
        const char* Stripped;
        char32_t Key;
    };
    const Case cases[] = {
        {"&Soubor", "Soubor", U's'},
        {"Uložit &jako", "Uložit jako", U'j'},
        {"Tisk && náhled", "Tisk & náhled", 0},
        {"&Řádek", "Řádek", U'ř'},
        {"bez", "bez", 0},
        {"konec&", "konec", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StripHotkey(c.Caption), c.Stripped) << c.Caption;
        EXPECT_EQ(HotkeyOf(c.Caption), c.Key) << c.Caption;
    }
}

TEST_F(StdCtrlsTest, LabelAcceleratorFocusesItsControl) {
    TLabel* l = Add<TLabel>(10, 10, 60, 17);
    l->SetCaption("&Řádek");
    TEdit* first = Add<TEdit>(10, 40, 100, 22);
    TEdit* target = Add<TEdit>(10, 70, 100, 22);
    l->SetFocusControl(target);
    ShowAndActivate(Form);
    EXPECT_TRUE(first->Focused());
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, U'ř'), 1);
    ProcessEvents();
    EXPECT_TRUE(target->Focused());
    delete target;  // the label forgets it
    EXPECT_EQ(l->GetFocusControl(), nullptr);
}

TEST_F(StdCtrlsTest, AutoSizedLabelGrowsWithItsText) {
    TLabel* l = Add<TLabel>(10, 10, 10, 10);
    l->SetCaption("Program pro tvorbu vysvědčení");
    const int one = l->GetHeight();
    EXPECT_GT(l->GetWidth(), 100);
    l->SetCaption("PROGRAM PRO TVORBU\nA TISK VYSVĚDČENÍ");
    EXPECT_GE(l->GetHeight(), 2 * one - 2);
}

TEST_F(StdCtrlsTest, EditPropertiesReachTheWidget) {
    TEdit* e = Add<TEdit>(10, 10, 100, 22);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetText("heslo");
    EXPECT_EQ(changes, 1);  // by code too
    e->SetPasswordChar(U'*');
    e->SetMaxLength(6);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    EXPECT_EQ(e->GetSelLength(), 5);  // entering selects all
    Key(Qt::Key_End);
    for (const char* ch : {"1", "2", "3"}) Key(Qt::Key_1, Qt::NoModifier, ch);
    EXPECT_EQ(e->GetText(), "heslo1");  // MaxLength
    EXPECT_TRUE(e->GetModified());
    EXPECT_EQ(changes, 2);
    const QImage img = Grab(e);
    EXPECT_FALSE(img.isNull());
}

TEST_F(StdCtrlsTest, MemoLinesAndTextAgree) {
    TMemo* m = Add<TMemo>(10, 10, 200, 80);
    m->GetLines()->Add("první");
    m->GetLines()->Add("druhý");
    EXPECT_EQ(m->GetText(), "první\r\ndruhý");
    m->SetText("a\r\nb\r\nc");
    EXPECT_EQ(m->GetLines()->Count(), 3);
    ShowAndActivate(Form);
    m->SetFocus();
    ProcessEvents();
    Key(Qt::Key_End, Qt::ControlModifier);
    Key(Qt::Key_Return, Qt::NoModifier, "\r");  // a memo wants Enter
    Key(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_EQ(m->GetLines()->Count(), 4);
    EXPECT_EQ(m->GetLines()->Strings(3), "d");
}

TEST_F(StdCtrlsTest, CheckAndRadioButtonsFireOnClickAndExcludeEachOther) {
    TCheckBox* c = Add<TCheckBox>(10, 10, 120, 17);
    c->SetCaption("Vyznamenání");
    TRadioButton* r1 = Add<TRadioButton>(10, 40, 120, 17);
    TRadioButton* r2 = Add<TRadioButton>(10, 60, 120, 17);
    int clicks = 0;
    c->OnClick = [&](TObject*) { ++clicks; };
    c->SetChecked(true);
    EXPECT_EQ(clicks, 1);
    ShowAndActivate(Form);
    c->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_FALSE(c->GetChecked());
    EXPECT_EQ(clicks, 2);
    r1->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->GetChecked());
    r2->SetFocus();
    ProcessEvents();
    EXPECT_TRUE(r2->GetChecked());
}

TEST_F(StdCtrlsTest, ComboAndListBoxSelect) {
    TComboBox* c = Add<TComboBox>(10, 10, 150, 22);
    c->SetStyle(csDropDownList);
    for (const char* s : {"jednička", "dvojka", "trojka"}) c->GetItems()->Add(s);
    c->SetItemIndex(1);
    EXPECT_EQ(c->GetText(), "dvojka");
    c->SetText("trojka");
    EXPECT_EQ(c->GetItemIndex(), 2);
    c->SetText("čtyřka");  // no such item in a list-only combo
    EXPECT_EQ(c->GetItemIndex(), -1);
    TListBox* l = Add<TListBox>(10, 40, 150, 80);
    for (const char* s : {"Čeština", "Matematika", "Fyzika"}) l->GetItems()->Add(s);
    l->SetMultiSelect(true);
    l->SetSelected(0, true);
    l->SetSelected(2, true);
    EXPECT_EQ(l->GetSelCount(), 2);
    EXPECT_TRUE(l->GetSelected(2));
    EXPECT_THROW(l->GetSelected(3), EListError);
    int dropped = 0;
    c->OnDropDown = [&](TObject*) { ++dropped; };
    ShowAndActivate(Form);
    c->SetDroppedDown(true);
    EXPECT_TRUE(c->GetDroppedDown());
    c->SetDroppedDown(false);
    EXPECT_EQ(dropped, 1);
}

// Every standard control on one form, Czech captions: saved for a look.
TEST_F(StdCtrlsTest, ScreenshotOfEveryControl) {
    Form->SetCaption("Nastavení vysvědčení");
    Form->SetBounds(0, 0, 600, 430);
    TLabel* l = Add<TLabel>(10, 10, 0, 0);
    l->SetCaption("Jméno žáka (příliš žluťoučký kůň):");
    TEdit* e = Add<TEdit>(10, 30, 220, 22);
    e->SetText("Čeněk Řehoř Žďárský");
    TStaticText* st = Add<TStaticText>(250, 30, 160, 20);
    st->SetBorderStyle(sbsSunken);
    st->SetCaption("Třída: 4.B");
    TMemo* m = Add<TMemo>(10, 60, 220, 70);
    m->SetScrollBars(ssVertical);
    m->GetLines()->Add("Poznámka: úspěšně ukončil");
    m->GetLines()->Add("ročník s vyznamenáním.");
    TCheckBox* c = Add<TCheckBox>(250, 60, 160, 20);
    c->SetCaption("Prospěl s vyznamenáním");
    c->SetChecked(true);
    TRadioButton* r1 = Add<TRadioButton>(250, 85, 160, 20);
    r1->SetCaption("Pololetní");
    r1->SetChecked(true);
    TRadioButton* r2 = Add<TRadioButton>(250, 108, 160, 20);
    r2->SetCaption("Závěrečné");
    TComboBox* cb = Add<TComboBox>(10, 140, 220, 24);
    for (const char* s : {"výborný", "chvalitebný", "dobrý", "dostatečný", "nedostatečný"}) cb->GetItems()->Add(s);
    cb->SetItemIndex(1);
    TListBox* lb = Add<TListBox>(250, 140, 160, 80);
    for (const char* s : {"Český jazyk", "Matematika", "Přírodověda", "Vlastivěda"}) lb->GetItems()->Add(s);
    lb->SetItemIndex(2);
    TGroupBox* g = Add<TGroupBox>(420, 10, 170, 120);
    g->SetCaption("Chování");
    TRadioButton* g1 = Add<TRadioButton>(10, 25, 150, 20, g);
    g1->SetCaption("velmi dobré");
    g1->SetChecked(true);
    TRadioButton* g2 = Add<TRadioButton>(10, 50, 150, 20, g);
    g2->SetCaption("uspokojivé");
    TScrollBox* sb = Add<TScrollBox>(420, 140, 170, 80);
    TLabel* inner = Add<TLabel>(5, 5, 0, 0, sb);
    inner->SetCaption("Posuvný obsah ↓");
    Add<TEdit>(5, 150, 100, 22, sb);
    // A grid over a small dataset.
    TMemDataSet* ds = new TMemDataSet(Form);
    ds->FieldDefs()->Add("Predmet", ftString, 20);
    ds->FieldDefs()->Add("Znamka", ftInteger);
    ds->Open();
    ds->AppendRecord({Variant("Český jazyk"), Variant(1)});
    ds->AppendRecord({Variant("Matematika"), Variant(2)});
    ds->AppendRecord({Variant("Přírodověda"), Variant(1)});
    ds->First();
    TDataSource* src = new TDataSource(Form);
    src->SetDataSet(ds);
    TDBGrid* grid = Add<TDBGrid>(10, 230, 400, 110);
    grid->SetDataSource(src);
    TDBEdit* de = Add<TDBEdit>(420, 230, 170, 22);
    de->SetDataSource(src);
    de->SetDataField("Predmet");
    auto* checks = Add<TCheckListBox>(10, 345, 200, 60);
    for (const char* t : {"Pochvala třídního učitele", "Důtka ředitele", "Napomenutí"}) checks->GetItems()->Add(t);
    checks->SetChecked(0, true);
    checks->SetState(2, cbGrayed);
    checks->SetItemIndex(1);
    TButton* ok = Add<TButton>(400, 380, 90, 28);
    ok->SetCaption("&Uložit");
    ok->SetDefault(true);
    TButton* cancel = Add<TButton>(500, 380, 90, 28);
    cancel->SetCaption("Storno");
    cancel->SetCancel(true);
    ShowAndActivate(Form);
    ProcessEvents();
    const QImage img = Grab(Form);
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(img.save("/tmp/karomil_controls.png"));
    // The form's face colour shows between the controls.
    EXPECT_EQ(img.pixelColor(5, 200).rgb() & 0xFFFFFF, ToQColor(clBtnFace).rgb() & 0xFFFFFF);
}

}  // namespace

namespace {
class StaticTextTest : public formstest::FormFixture {};

// The accelerator letter is underlined, "&&" shows one "&", blanks and markup stay as typed.
TEST_F(StaticTextTest, CaptionShowsItsAcceleratorUnderlined) {
    TStaticText* st = Add<TStaticText>(10, 10, 200, 20);
    struct Case {
        const char* Caption;
        const char* Shown;
    };
    const Case cases[] = {
        {"&Třída", "<u>T</u>řída"},
        {"A && B", "A &amp; B"},
        {"<b>x</b>  &y", "&lt;b&gt;x&lt;/b&gt;  <u>y</u>"},
        {"konec&", "konec&amp;"},
    };
    TestKit::ShowAndActivate(Form);
    for (const Case& c : cases) {
        st->SetCaption(c.Caption);
        auto* label = qobject_cast<QLabel*>(st->Widget());
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(
            label->text().toStdString(), std::string("<span style=\"white-space:pre-wrap\">") + c.Shown + "</span>")
            << c.Caption;
    }
}
}  // namespace
