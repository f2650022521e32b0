// The lookup list (rows, keyboard, mouse tracking, scroll bar) and the combo box with its
// drop-down (placement, keys, mouse), under the offscreen platform.

#include "tests/lookup/LookupFixture.h"

#include <QtGui/QPainter>

#include "platform/classes/TypInfo.h"
#include "platform/gui/GraphicsPrivate.h"

using namespace lookuptest;
using namespace TestKit;

namespace {

class ComboTest : public LookupTest {
protected:
    void SetUp() override {
        LookupTest::SetUp();
        ShowAndActivate(Form);
    }
    void OpenWithAltDown(TRxDBLookupCombo* c) {
        c->SetFocus();
        ProcessEvents();
        Key(Qt::Key_Down, Qt::AltModifier);
        ProcessEvents();
    }
    TRect WindowRect(TWinControl* c) {
        TRect r;
        GetWindowRect(c->WindowHandle(), r);
        return r;
    }
};

}  // namespace

// --- the list ----------------------------------------------------------------------------------

TEST_F(ComboTest, ListHeightSnapsToWholeRows) {
    auto* l = MakeList();
    const int h = l->GetItemHeight();
    const int b = l->BorderHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(b, 4);  // sunken edge
    struct Case {
        int Asked, Rows;
    };
    const Case cases[] = {{b + 3 * h, 3}, {b + 3 * h + h / 2, 3}, {b + 4 * h - 1, 3}, {1, 1}, {b + 10 * h + 1, 10}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Asked);
        l->SetHeight(c.Asked);
        EXPECT_EQ(l->RowCount(), c.Rows);
        EXPECT_EQ(l->GetHeight(), b + c.Rows * h);
    }
    l->SetRowCount(70);
    EXPECT_EQ(l->RowCount(), 50);
}

TEST_F(ComboTest, EmptyRowTakesARowAndTheKeyboardReachesIt) {
    Cards->Next();  // the card without a subject
    auto* l = MakeList(7);
    l->SetDisplayEmpty("(žádný)");
    ProcessEvents();
    EXPECT_EQ(l->RecordCount(), 6);
    l->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Down);
    EXPECT_EQ(Field(), "Anglický jazyk");
    Key(Qt::Key_Down);
    EXPECT_EQ(Field(), "Biologie");
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);  // from the first record onto the empty row
    EXPECT_TRUE(FieldIsNull());
    EXPECT_EQ(l->Value(), "");
    Key(Qt::Key_End);
    EXPECT_EQ(Field(), "Zeměpis");
    Key(Qt::Key_Home);
    EXPECT_EQ(Field(), "Anglický jazyk");
}

TEST_F(ComboTest, DraggingBelowTheListScrollsFasterFurtherAway) {
    Cards->Next();  // no subject yet: the list starts at the first one
    auto* l = MakeList(7);
    ProcessEvents();
    const int h = l->GetItemHeight();
    const int ch = l->GetClientHeight();
    MouseDown(l, Point(10, h + 2));
    EXPECT_TRUE(l->Tracking());
    EXPECT_EQ(Field(), "Biologie");
    struct Case {
        int Y;
        int Interval;
    };
    const Case cases[] = {{ch + 9, 50}, {ch, 185}, {ch + 13, 0}, {ch + 40, 0}, {-10, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Y);
        MouseMove(l, Point(10, c.Y), Qt::LeftButton);
        EXPECT_EQ(l->ScrollTimerInterval(), c.Interval);
        EXPECT_TRUE(TimerRunning(l->WindowHandle(), 1));
    }
    // Each tick moves one more record.
    MouseMove(l, Point(10, ch + 9), Qt::LeftButton);
    const std::string before = Field();
    l->Perform(WM_TIMER, 1);
    EXPECT_NE(Field(), before);
    MouseMove(l, Point(10, 5), Qt::LeftButton);  // back inside: the timer stops
    EXPECT_EQ(l->ScrollTimerInterval(), -1);
    EXPECT_FALSE(TimerRunning(l->WindowHandle(), 1));
    MouseUp(l, Point(10, 5));
    EXPECT_FALSE(l->Tracking());
}

TEST_F(ComboTest, ScrollBarShowsFivePositions) {
    auto* l = MakeList(7);
    ProcessEvents();
    auto pos = [&] {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_POS;
        l->GetScrollInfo(SB_VERT, si);
        return std::pair<int, int>(si.nMax, si.nPos);
    };
    Subjects->First();
    EXPECT_EQ(pos(), std::make_pair(4, 0));
    l->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(pos(), std::make_pair(4, 2));
    l->Perform(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(pos(), std::make_pair(4, 4));
    EXPECT_EQ(Current(), "Zeměpis");
    l->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 0));
    EXPECT_EQ(Current(), "Anglický jazyk");
    EXPECT_EQ(Field(), "Fyzika");  // scrolling chooses nothing
    // Fewer records than rows: no range.
    l->SetRowCount(20);
    EXPECT_EQ(pos(), std::make_pair(0, 0));
}

// --- the combo -----------------------------------------------------------------------------

TEST_F(ComboTest, DropsDownBelowOrAboveAtTheScreenBottom) {
    auto* c = MakeCombo(10, 10, 311);
    const int h = c->DataList()->GetItemHeight();
    OpenWithAltDown(c);
    ASSERT_TRUE(c->ListVisible());
    EXPECT_TRUE(c->Focused());
    TRxPopupDataList* list = c->DataList();
    const TRect combo = WindowRect(c);
    EXPECT_EQ(list->GetLeft(), combo.Left);
    EXPECT_EQ(list->GetTop(), combo.Bottom);
    EXPECT_EQ(list->GetWidth(), 311);
    EXPECT_EQ(list->RowCount(), 15);
    EXPECT_EQ(list->GetHeight(), 15 * h + 2);
    Key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_FALSE(c->ListVisible());

    Form->SetTop(Screen->Height() - 100);
    ProcessEvents();
    c->DropDown();
    const TRect low = WindowRect(c);
    EXPECT_EQ(list->GetTop(), low.Top - list->GetHeight());
    c->CloseUp(false);

    // Right alignment past the screen's right edge is pulled back inside.
    Form->SetLeft(Screen->Width() - 200);
    ProcessEvents();
    c->SetDropDownAlign(daRight);
    c->SetDropDownWidth(400);
    c->DropDown();
    EXPECT_EQ(list->GetLeft(), Screen->Width() - 400);
    c->CloseUp(false);
}

TEST_F(ComboTest, NegativeDropDownWidthFitsAllColumns) {
    Subjects->FieldByName("Nazev")->SetDisplayWidth(20);
    Subjects->FieldByName("Kod")->SetDisplayWidth(30);
    auto* c = MakeCombo();
    c->SetLookupDisplay("Nazev;Kod");
    c->SetDropDownWidth(-1);
    c->DropDown();
    TCanvas measure;
    measure.Font()->Assign(c->GetFont());
    const int expected = std::min(Screen->Width(), std::max(311, 50 * measure.TextWidth("M") + 8 + 17));
    EXPECT_EQ(c->DataList()->GetWidth(), expected);
    c->CloseUp(false);
}

TEST_F(ComboTest, KeysWriteTheFieldOrLeaveIt) {
    auto* c = MakeCombo();
    struct Step {
        int QtKey;
        Qt::KeyboardModifiers Mods;
        const char* Text;
        bool Open;
        const char* Field;
    };
    const Step steps[] = {
        {Qt::Key_Down, Qt::AltModifier, "", true, "Fyzika"},  // opens
        {Qt::Key_Down, Qt::NoModifier, "", true, "Fyzika"},  // moves in the list only
        {Qt::Key_Return, Qt::NoModifier, "\r", false, "Chemie"},  // closes, writes
        {Qt::Key_Down, Qt::AltModifier, "", true, "Chemie"},
        {Qt::Key_Down, Qt::NoModifier, "", true, "Chemie"},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", false, "Chemie"},  // closes, writes nothing
        {Qt::Key_Down, Qt::AltModifier, "", true, "Chemie"},
        {Qt::Key_Up, Qt::NoModifier, "", true, "Chemie"},
        {Qt::Key_Up, Qt::AltModifier, "", false, "Fyzika"},  // closes accepting
        {Qt::Key_Down, Qt::NoModifier, "", false, "Chemie"},  // closed: the next one at once
        {Qt::Key_Up, Qt::NoModifier, "", false, "Fyzika"},
        {Qt::Key_M, Qt::NoModifier, "m", true, "Fyzika"},  // typing opens and searches
        {Qt::Key_Return, Qt::NoModifier, "\r", false, "Matematika"},
    };
    c->SetFocus();
    ProcessEvents();
    int i = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(i++);
        Key(s.QtKey, s.Mods, s.Text);
        ProcessEvents();
        EXPECT_EQ(c->ListVisible(), s.Open);
        EXPECT_EQ(Field(), s.Field);
        EXPECT_TRUE(c->Focused());
    }
    EXPECT_EQ(c->GetText(), "Matematika");
}

TEST_F(ComboTest, EscapeOnAClosedComboClearsOrReachesTheForm) {
    auto* c = MakeCombo();
    c->SetFocus();
    ProcessEvents();
    TMessageSpy spy(Form);
    c->SetEscapeClear(false);
    Key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(Field(), "Fyzika");
    const auto ids = spy.Ids();
    EXPECT_NE(std::find(ids.begin(), ids.end(), UINT(CM_DIALOGKEY)), ids.end());
    c->SetEscapeClear(true);
    Key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_TRUE(FieldIsNull());
    EXPECT_EQ(c->GetText(), "");
}

TEST_F(ComboTest, MouseOpensPicksAndCloses) {
    auto* c = MakeCombo();
    ProcessEvents();
    const TPoint button = Point(c->GetClientWidth() - 5, 8);
    MouseDown(c, button);
    EXPECT_TRUE(c->Pressed());
    MouseUp(c, button);
    EXPECT_FALSE(c->Pressed());
    ASSERT_TRUE(c->ListVisible());
    // Clicking the button again closes without accepting.
    Click(c, button);
    EXPECT_FALSE(c->ListVisible());
    EXPECT_EQ(Field(), "Fyzika");
    // A click on a row of the list writes that row's subject.
    Click(c, button);
    ASSERT_TRUE(c->ListVisible());
    TRxPopupDataList* list = c->DataList();
    const int h = list->GetItemHeight();
    Subjects->First();
    ProcessEvents();
    Click(list, Point(10, 2 * h + 2));
    EXPECT_FALSE(c->ListVisible());
    EXPECT_EQ(Field(), "Český jazyk");
}

TEST_F(ComboTest, StoredDropDownCountDefaultIsTheConstructorsValue) {
    auto* c = new TRxDBLookupCombo(Form);
    const TPropInfo* info = GetPropInfo(c, "DropDownCount");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(c->GetDropDownCount(), 8);
    EXPECT_EQ(info->Default(), 8);
    c->SetDropDownCount(7);  // differs from the default, so a stored form keeps its 7
    EXPECT_NE(info->Default(), c->GetDropDownCount());
    EXPECT_EQ(c->GetWidth(), 145);
    EXPECT_EQ(c->GetHeight(), 21);
}

TEST_F(ComboTest, ScreenshotOfTheOpenCombo) {
    auto* c = MakeCombo(10, 10, 311);
    OpenWithAltDown(c);
    Key(Qt::Key_Down);
    ProcessEvents();
    const QImage combo = Grab(c);
    const QImage list = Grab(c->DataList());
    ASSERT_FALSE(combo.isNull());
    ASSERT_FALSE(list.isNull());
    QImage shot(std::max(combo.width(), list.width()) + 20, combo.height() + list.height() + 20, QImage::Format_RGB32);
    shot.fill(Qt::lightGray);
    {
        QPainter p(&shot);
        p.drawImage(10, 10, combo);
        p.drawImage(10, 10 + combo.height(), list);
    }
    EXPECT_TRUE(shot.save("/tmp/lookup_combo_open.png"));
    // The highlighted row (the third: Chemie, after Fyzika) is drawn in the selection colour.
    const int h = c->DataList()->GetItemHeight();
    const QColor highlight = ToQColor(clHighlight);
    EXPECT_EQ(list.pixelColor(list.width() / 2 - 40, 1 + 5 * h + h / 2), highlight);
}
