// Page control and tab sheets, tab control, status bar, tool bar, up-down, progress and track
// bars, date picker.
#include <gtest/gtest.h>

#include <QtWidgets/QDateEdit>

#include "platform/gui/Buttons.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class ComCtrlsTest : public formstest::FormFixture {
protected:
    ComCtrlsTest() : FormFixture(500, 400) {}
    // The editor's page control: three sheets with an edit each.
    TPageControl* Pages() {
        auto* pc = Add<TPageControl>(8, 10, 400, 300);
        for (const char* caption : {"Přední strana", "Zadní strana", "Nastavení tisku"}) {
            auto* sheet = new TTabSheet(Form);
            sheet->SetPageControl(pc);
            sheet->SetCaption(caption);
            Edits.push_back(Add<TEdit>(10, 10, 100, 22, sheet));
        }
        return pc;
    }
    std::vector<TEdit*> Edits;
};

TEST_F(ComCtrlsTest, FirstSheetShowsAndOnlyTheActiveOneIsVisible) {
    TPageControl* pc = Pages();
    ASSERT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(pc->GetActivePageIndex(), 0);
    struct Case {
        int Index;
    };
    for (const Case& c : {Case{2}, Case{1}, Case{0}}) {
        pc->SetActivePageIndex(c.Index);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(pc->Pages(i)->GetVisible(), i == c.Index) << c.Index;
        EXPECT_EQ(pc->GetActivePage(), pc->Pages(c.Index));
    }
    EXPECT_EQ(pc->Pages(1)->GetBoundsRect(), pc->DisplayRect());
}

TEST_F(ComCtrlsTest, ChangesByCodeFireNoEventsChangesByTheUserDo) {
    TPageControl* pc = Pages();
    std::vector<std::string> log;
    bool allow = true;
    pc->OnChanging = [&](TObject*, bool& a) {
        log.push_back("changing " + std::to_string(pc->GetActivePageIndex()));
        a = allow;
    };
    pc->OnChange = [&](TObject*) { log.push_back("change " + std::to_string(pc->GetActivePageIndex())); };
    pc->SetActivePageIndex(1);
    EXPECT_TRUE(log.empty());
    ShowAndActivate(Form);
    const TRect tab = pc->TabRect(2);
    TestKit::Click(pc, Point(tab.Left + 5, tab.Top + 5));
    ProcessEvents();
    EXPECT_EQ(log, (std::vector<std::string>{"changing 1", "change 2"}));
    allow = false;  // OnChanging refuses
    const TRect first = pc->TabRect(0);
    TestKit::Click(pc, Point(first.Left + 5, first.Top + 5));
    ProcessEvents();
    EXPECT_EQ(pc->GetActivePageIndex(), 2);
}

TEST_F(ComCtrlsTest, CtrlTabPagesThroughTheTabsFromInsideAPage) {
    TPageControl* pc = Pages();
    ShowAndActivate(Form);
    Edits[0]->SetFocus();
    ProcessEvents();
    struct Case {
        Qt::KeyboardModifiers Mods;
        int Page;
    };
    const Case cases[] = {
        {Qt::ControlModifier, 1},
        {Qt::ControlModifier, 2},
        {Qt::ControlModifier, 0},  // wraps
        {Qt::ControlModifier | Qt::ShiftModifier, 2},
    };
    for (const Case& c : cases) {
        Key(Qt::Key_Tab, c.Mods);
        ProcessEvents();
        EXPECT_EQ(pc->GetActivePageIndex(), c.Page);
        // The focus left the hidden page for the shown one.
        EXPECT_TRUE(Edits[size_t(c.Page)]->Focused()) << c.Page;
    }
    Key(Qt::Key_Tab);  // plain Tab still moves the focus, not the page
    ProcessEvents();
    EXPECT_EQ(pc->GetActivePageIndex(), 2);
}

TEST_F(ComCtrlsTest, ArrowsMoveTheTabWhileThePageControlHasTheFocus) {
    TPageControl* pc = Pages();
    ShowAndActivate(Form);
    pc->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Right);
    ProcessEvents();
    EXPECT_EQ(pc->GetActivePageIndex(), 1);
    Key(Qt::Key_Left);
    ProcessEvents();
    EXPECT_EQ(pc->GetActivePageIndex(), 0);
}

TEST_F(ComCtrlsTest, HiddenTabsAndRemovedPagesLeaveTheRest) {
    TPageControl* pc = Pages();
    pc->SetActivePageIndex(1);
    pc->Pages(1)->SetTabVisible(false);  // the shown page's tab goes: the next one shows
    EXPECT_EQ(pc->GetActivePageIndex(), 2);
    EXPECT_EQ(pc->Pages(2)->TabIndex(), 1);
    pc->Pages(1)->SetTabVisible(true);
    pc->Pages(0)->SetPageIndex(2);  // reorder
    EXPECT_EQ(pc->Pages(2)->GetCaption(), "Přední strana");
    TTabSheet* active = pc->GetActivePage();
    delete active;
    EXPECT_EQ(pc->PageCount(), 2);
    EXPECT_NE(pc->GetActivePage(), nullptr);
    EXPECT_TRUE(pc->GetActivePage()->GetVisible());
}

TEST_F(ComCtrlsTest, PageControlLoadedWithoutActivePageShowsTheFirst) {
    auto* pc = new TPageControl(Form);
    pc->BeginLoading();
    pc->SetParent(Form);
    auto* a = new TTabSheet(Form);
    a->SetPageControl(pc);
    auto* b = new TTabSheet(Form);
    b->SetPageControl(pc);
    EXPECT_EQ(pc->GetActivePage(), nullptr);
    pc->Loaded();
    EXPECT_EQ(pc->GetActivePage(), a);
    EXPECT_FALSE(b->GetVisible());
}

TEST_F(ComCtrlsTest, TabControlKeepsAnIndexIntoItsTabs) {
    auto* tc = Add<TTabControl>(10, 10, 300, 100);
    tc->GetTabs()->Add("Jedna");
    tc->GetTabs()->Add("Dvě");
    EXPECT_EQ(tc->GetTabIndex(), 0);
    tc->SetTabIndex(1);
    tc->GetTabs()->Delete(1);
    EXPECT_EQ(tc->GetTabIndex(), 0);
    EXPECT_EQ(tc->IndexOfTabAt(tc->TabRect(0).Left + 2, tc->TabRect(0).Top + 2), 0);
}

TEST_F(ComCtrlsTest, StatusBarPanelsLieSideBySideAndShowTheirText) {
    auto* sb = Add<TStatusBar>(0, 0, 300, 20);
    TStatusPanel* first = sb->GetPanels()->Add();
    first->SetWidth(120);
    first->SetText("Záznam 1 z 12");
    sb->GetPanels()->Add()->SetText("Připraven");
    EXPECT_EQ(sb->GetAlign(), alBottom);
    EXPECT_EQ(sb->GetTop() + sb->GetHeight(), Form->GetClientHeight());
    EXPECT_EQ(sb->PanelRect(0).Left, 0);
    EXPECT_EQ(sb->PanelRect(0).Right, 120);
    EXPECT_EQ(sb->PanelRect(1).Left, 122);
    EXPECT_EQ(sb->PanelRect(1).Right, sb->GetClientWidth());  // the last one takes the rest
    ShowAndActivate(Form);
    auto darkIn = [&](TRect r) {
        const QImage img = Grab(sb);
        for (int x = r.Left + 3; x < r.Right - 3; ++x)
            for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
                if (qGray(img.pixel(x, y)) < 80) return true;
        return false;
    };
    EXPECT_TRUE(darkIn(sb->PanelRect(0)));
    first->SetText("");
    ProcessEvents();
    EXPECT_FALSE(darkIn(sb->PanelRect(0)));
    sb->SetSimpleText("Ukládám…");  // one panel over the whole bar
    sb->SetSimplePanel(true);
    EXPECT_EQ(sb->PanelRect(0).Width(), sb->GetClientWidth());
    ProcessEvents();
    EXPECT_TRUE(darkIn(sb->PanelRect(0)));
}

TEST_F(ComCtrlsTest, ToolButtonsLineUpAndGroupedChecksExcludeEachOther) {
    auto* tb = Add<TToolBar>(0, 0, 90, 29);
    tb->SetAlign(alNone);  // at the top it would be as wide as the form
    tb->SetWidth(90);
    tb->SetButtonWidth(30);
    auto add = [&](TToolButtonStyle style) {
        auto* b = new TToolButton(Form);
        b->SetParent(tb);
        b->SetStyle(style);
        b->SetGrouped(true);
        return b;
    };
    TToolButton* a = add(tbsCheck);
    TToolButton* b = add(tbsCheck);
    TToolButton* sep = add(tbsSeparator);
    TToolButton* c = add(tbsCheck);
    tb->ArrangeButtons();
    EXPECT_EQ(a->GetLeft(), 0);
    EXPECT_EQ(b->GetLeft(), 30);
    EXPECT_EQ(sep->GetWidth(), 8);
    EXPECT_EQ(c->GetTop(), a->GetTop() + tb->GetButtonHeight());  // 68 + 30 > 90: wrapped
    tb->SetAutoSize(true);
    EXPECT_EQ(tb->GetHeight(), 2 + 2 * tb->GetButtonHeight() + 2);
    a->SetCaption("Vysvědčení");
    tb->SetShowCaptions(true);  // a caption wider than ButtonWidth widens its button
    EXPECT_GT(a->GetWidth(), 30);
    tb->SetShowCaptions(false);
    a->Click();
    c->Click();
    EXPECT_TRUE(a->GetDown());
    b->Click();
    EXPECT_TRUE(b->GetDown());
    EXPECT_FALSE(a->GetDown());
    EXPECT_TRUE(c->GetDown());  // beyond the separator
    b->SetEnabled(false);  // a disabled button comes up
    EXPECT_FALSE(b->GetDown());
}

// The bars' shared range: a bound that passes the other keeps the position between the two
// (up-down, progress bar), or pushes the other bound along (track bar, Ordered).
TEST(Range, BoundsThatCrossAndBoundsThatPush) {
    struct Case {
        const char* What;
        bool Ordered;
        int Min, Max, Position;
        int ExpectedMin, ExpectedMax, ExpectedPosition;
        bool Moved;
    };
    const Case cases[] = {
        {"inside", false, 0, 100, 40, 0, 100, 40, true},
        {"above", false, 0, 100, 140, 0, 100, 100, true},
        {"below", false, 0, 100, -3, 0, 100, 0, false},
        {"crossed bounds clamp between them", false, 50, 10, 70, 50, 10, 50, false},
        {"crossed bounds, below both", false, 50, 10, 5, 50, 10, 10, true},
        {"ordered: Max below Min pulls Min down", true, 50, 10, 70, 10, 10, 10, false},
        {"ordered: inside", true, 5, 20, 12, 5, 20, 12, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TRange r;
        r.Ordered = c.Ordered;
        r.SetMin(c.Min);
        r.SetMax(c.Max);
        EXPECT_EQ(r.SetPosition(c.Position), c.Moved);
        EXPECT_EQ(r.Min, c.ExpectedMin);
        EXPECT_EQ(r.Max, c.ExpectedMax);
        EXPECT_EQ(r.Position, c.ExpectedPosition);
    }
    TRange r{0, 10, 8, true};
    EXPECT_TRUE(r.SetMax(5)) << "a bound that moves the position says so";
    EXPECT_EQ(r.Position, 5);
    EXPECT_FALSE(r.SetMin(2));
}

TEST_F(ComCtrlsTest, UpDownStepsItsAssociate) {
    auto* e = Add<TEdit>(10, 10, 60, 22);
    auto* ud = Add<TUpDown>(0, 0, 17, 10);
    ud->SetMin(1);
    ud->SetMax(3);
    ud->SetAssociate(e);
    EXPECT_EQ(ud->GetLeft(), 70);
    EXPECT_EQ(ud->GetHeight(), 22);
    EXPECT_EQ(e->GetText(), "1");
    std::vector<TUDBtnType> clicks;
    ud->OnClickButton = [&](TObject*, TUDBtnType b) { clicks.push_back(b); };
    struct Case {
        bool Wrap;
        TUDBtnType Button;
        int Position;
    };
    const Case cases[] = {
        {false, btNext, 2}, {false, btNext, 3}, {false, btNext, 3}, {true, btNext, 1}, {true, btPrev, 3}};
    for (const Case& c : cases) {
        ud->SetWrap(c.Wrap);
        ud->Step(c.Button);
        EXPECT_EQ(ud->GetPosition(), c.Position);
        EXPECT_EQ(e->GetText(), std::to_string(c.Position));
    }
    EXPECT_EQ(clicks.size(), 5u);
    ShowAndActivate(Form);
    TestKit::Click(ud, Point(5, 18));  // lower half: down
    ProcessEvents();
    EXPECT_EQ(ud->GetPosition(), 2);
}

TEST_F(ComCtrlsTest, ProgressBarStaysInRangeAndWrapsOnStep) {
    auto* p = Add<TProgressBar>(10, 10, 100, 16);
    struct Case {
        int Set;
        int Expected;
    };
    for (const Case& c : {Case{50, 50}, Case{150, 100}, Case{-5, 0}}) {
        p->SetPosition(c.Set);
        EXPECT_EQ(p->GetPosition(), c.Expected);
    }
    p->SetPosition(95);
    p->StepIt();
    EXPECT_EQ(p->GetPosition(), 5);
}

TEST_F(ComCtrlsTest, TrackBarReportsChanges) {
    auto* t = Add<TTrackBar>(10, 10, 150, 40);
    int changes = 0;
    t->OnChange = [&](TObject*) { ++changes; };
    t->SetMax(20);
    t->SetPosition(25);
    EXPECT_EQ(t->GetPosition(), 20);
    EXPECT_EQ(changes, 1);
    ShowAndActivate(Form);
    t->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Left);
    ProcessEvents();
    EXPECT_EQ(t->GetPosition(), 19);
    EXPECT_EQ(changes, 2);
}

// A window in the program's style, Czech captions: saved for a look.
TEST_F(ComCtrlsTest, ScreenshotOfPanelButtonsPagesAndStatusBar) {
    Form->SetCaption("Program pro tisk vysvědčení KAROMIL");
    Form->SetBounds(0, 0, 640, 420);
    Form->SetColor(TColor(8710014));
    auto* top = Add<TPanel>(0, 0, 10, 50);
    top->SetAlign(alTop);
    top->SetColor(TColor(9039870));
    top->SetCaption("Základní škola Žďár nad Sázavou – přehled vysvědčení");
    top->GetFont()->SetStyle({fsBold});
    auto* bar = Add<TPanel>(0, 0, 10, 44);
    bar->SetAlign(alTop);
    bar->SetBevelOuter(bvNone);
    auto glyph = std::make_unique<TBitmap>(16, 16);
    glyph->Canvas()->Brush()->SetColor(clFuchsia);
    glyph->Canvas()->FillRect(Rect(0, 0, 16, 16));
    glyph->Canvas()->Brush()->SetColor(clNavy);
    glyph->Canvas()->FillRect(Rect(3, 2, 13, 14));
    glyph->Canvas()->Brush()->SetColor(clWhite);
    glyph->Canvas()->FillRect(Rect(5, 4, 11, 7));
    int x = 6;
    for (const char* caption : {"Nové", "Oprava", "Kopie", "Smazat", "Tisk"}) {
        auto* b = Add<TBitBtn>(x, 7, 92, 30, bar);
        b->SetCaption(caption);
        b->SetGlyph(glyph.get());
        x += 98;
    }
    auto* sp = Add<TSpeedButton>(x + 6, 9, 26, 26, bar);
    sp->SetCaption("?");
    sp->SetFlat(true);
    auto* status = Add<TStatusBar>(0, 0, 10, 22);
    status->GetPanels()->Add()->SetText("Záznam 3 z 27");
    status->GetPanels()->Items(0)->SetWidth(140);
    status->GetPanels()->Add()->SetText("Připraven – žádné změny k uložení");
    auto* pc = Add<TPageControl>(8, 104, 620, 230);
    for (const char* caption : {"Přední strana", "Zadní strana"}) {
        auto* sheet = new TTabSheet(Form);
        sheet->SetPageControl(pc);
        sheet->SetCaption(caption);
    }
    TTabSheet* front = pc->Pages(0);
    auto* l = Add<TLabel>(12, 12, 0, 0, front);
    l->SetCaption("Jméno žáka:");
    auto* e = Add<TEdit>(110, 9, 220, 22, front);
    e->SetText("Čeněk Řehoř Šťastný");
    auto* bevel = Add<TBevel>(12, 44, 580, 4, front);
    bevel->SetShape(bsTopLine);
    auto* sh = Add<TShape>(12, 60, 40, 40, front);
    sh->SetShape(stCircle);
    sh->GetBrush()->SetColor(clYellow);
    auto* g = Add<TRadioGroup>(70, 56, 250, 80, front);
    g->SetCaption("Vyberte pololetí pro tisk");
    g->GetItems()->Add("První pololetí");
    g->GetItems()->Add("Druhé pololetí");
    g->SetItemIndex(0);
    auto* prog = Add<TProgressBar>(340, 60, 250, 18, front);
    prog->SetPosition(65);
    auto* ok = Add<TBitBtn>(430, 350, 90, 30);
    ok->SetKind(bkOK);
    auto* cancel = Add<TBitBtn>(530, 350, 90, 30);
    cancel->SetKind(bkCancel);
    ShowAndActivate(Form);
    ProcessEvents();
    const QImage img = Grab(Form);
    ASSERT_FALSE(img.isNull());
    EXPECT_TRUE(img.save("/tmp/karomil_forms2.png"));
    // The first page shows; the second one's tab is there but its page is hidden.
    EXPECT_TRUE(front->GetVisible());
    EXPECT_FALSE(pc->Pages(1)->GetVisible());
    const QImage panel = Grab(top);
    EXPECT_EQ(panel.pixelColor(0, 0).rgb() & 0xFFFFFF, ToQColor(clBtnHighlight).rgb() & 0xFFFFFF);  // raised
    EXPECT_EQ(panel.pixelColor(3, 3).rgb() & 0xFFFFFF, ToQColor(TColor(9039870)).rgb() & 0xFFFFFF);
}

}  // namespace

// --- date picker -----------------------------------------------------------------------------

namespace {

TEST_F(ComCtrlsTest, DatePickerShowsTheDateInTheChosenFormat) {
    auto* picker = Add<TDateTimePicker>(8, 8, 200, 21);
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    const TDateTime day = EncodeDate(2024, 5, 5);
    picker->SetDate(day + 0.75);  // the time of day is dropped
    EXPECT_EQ(picker->GetDate(), day);
    auto* edit = static_cast<QDateEdit*>(picker->Widget());
    // The formats of the format settings, with the month in the form the date needs.
    struct Case {
        TDTDateFormat Format;
        std::string Shown;
    };
    for (const Case& c : {Case{dfShort, "5.5.2024"}, Case{dfLong, "5. května 2024"}}) {
        picker->SetDateFormat(c.Format);
        EXPECT_EQ(edit->text().toStdString(), c.Shown) << c.Format;
    }
    EXPECT_EQ(changes, 0);  // changes by code fire nothing
}

TEST_F(ComCtrlsTest, DatePickerReportsTheUsersChange) {
    auto* picker = Add<TDateTimePicker>(8, 8, 200, 21);
    picker->SetDate(EncodeDate(2024, 5, 5));
    std::vector<TDateTime> seen;
    picker->OnChange = [&](TObject* s) { seen.push_back(static_cast<TDateTimePicker*>(s)->GetDate()); };
    ShowAndActivate(Form);
    picker->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Up);  // the day goes up
    EXPECT_EQ(seen, (std::vector<TDateTime>{EncodeDate(2024, 5, 6)}));
    EXPECT_EQ(picker->GetDate(), EncodeDate(2024, 5, 6));
}

TEST(QtDateFormatTest, MapsTheClassLibraryLetters) {
    struct Case {
        const char* Format;
        const char* Qt;
    };
    const Case cases[] = {
        {"d.M.yyyy", "d.M.yyyy"},
        {"d. mmmm yyyy", "d. MMMM yyyy"},
        {"dd/mm/yy", "dd/MM/yy"},
        {"\"den\" d", "'den' d"},
    };
    for (const Case& c : cases) EXPECT_EQ(QtDateFormat(c.Format), c.Qt) << c.Format;
}

}  // namespace
