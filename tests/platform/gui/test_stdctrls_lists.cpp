// List box, check list box and owner-drawn combo box: rows, selection, tracking and painting.
#include <gtest/gtest.h>

#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>

#include "platform/gui/CheckLst.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class ListsTest : public formstest::FormFixture {
protected:
    ListsTest() : FormFixture(500, 400) {}
    // A list of owner-drawn fixed rows, 20 high.
    TListBox* FixedList(int count, int height = 100) {
        TListBox* l = Add<TListBox>(10, 10, 150, height);
        l->SetStyle(lbOwnerDrawFixed);
        l->SetItemHeight(20);
        for (int i = 0; i < count; ++i) l->GetItems()->Add("položka " + std::to_string(i));
        return l;
    }
    // The colour of a client point of a windowed control as painted now.
    static QRgb ClientPixel(TWinControl* c, int x, int y) {
        const QImage img = Grab(c);
        const TRect cr = c->ClientRectInWindow();
        return img.pixel(cr.Left + x, cr.Top + y) & 0xFFFFFF;
    }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
};

TEST_F(ListsTest, VariableRowsAreMeasuredAndDrawnByTheOwner) {
    TListBox* l = Add<TListBox>(10, 10, 150, 120);
    l->SetStyle(lbOwnerDrawVariable);
    l->OnMeasureItem = [](TWinControl*, int index, int& height) { height = 10 * (index + 1); };
    struct Drawn {
        int Index;
        TRect Rect;
        bool Selected;
        TColor Brush;
    };
    std::vector<Drawn> drawn;
    l->OnDrawItem = [&](TWinControl* c, int index, TRect r, TOwnerDrawState state) {
        TCanvas* canvas = static_cast<TListBox*>(c)->Canvas();
        drawn.push_back({index, r, state.Contains(odSelected), canvas->Brush()->GetColor()});
        canvas->FillRect(r);
    };
    for (const char* s : {"a", "b", "c", "d", "e", "f"}) l->GetItems()->Add(s);
    l->SetItemIndex(1);
    ShowAndActivate(Form);
    const int clientW = l->GetClientWidth();
    // Rows 10, 20, 30, 40 ... high from the top.
    struct Case {
        TPoint P;
        bool Existing;
        int Item;
    };
    const Case cases[] = {
        {{5, 0}, true, 0},
        {{5, 9}, true, 0},
        {{5, 10}, true, 1},
        {{5, 29}, true, 1},
        {{5, 30}, true, 2},
        {{5, 60}, true, 3},
        {{5, -1}, false, -1},
        {{clientW + 5, 5}, false, -1},
    };
    for (const Case& c : cases) EXPECT_EQ(l->ItemAtPos(c.P, c.Existing), c.Item) << c.P.Y;
    EXPECT_EQ(l->ItemRect(2), Rect(0, 30, clientW, 60));
    drawn.clear();
    Grab(l);
    ASSERT_GE(drawn.size(), 4u);
    for (const Drawn& d : drawn) {
        EXPECT_EQ(d.Rect.Height(), 10 * (d.Index + 1));
        EXPECT_EQ(d.Selected, d.Index == 1);
        // The canvas comes with the highlight brush for the selected row.
        EXPECT_EQ(d.Brush, d.Index == 1 ? clHighlight : clWindow) << d.Index;
    }
    // 10 + 20 + ... + 60 = 210 > 120: the rows overflow into a scroll bar.
    EXPECT_TRUE(l->GetWindowStyle() & WS_VSCROLL);
}

TEST_F(ListsTest, ScrollBarOnlyWhenRowsOverflowAndSelectionScrollsIntoView) {
    TListBox* l = FixedList(3);
    ShowAndActivate(Form);
    EXPECT_FALSE(l->GetWindowStyle() & WS_VSCROLL);
    for (int i = 3; i < 12; ++i) l->GetItems()->Add("další " + std::to_string(i));
    EXPECT_TRUE(l->GetWindowStyle() & WS_VSCROLL);
    l->SetItemIndex(11);
    const int rows = l->GetClientHeight() / 20;
    EXPECT_EQ(l->GetTopIndex(), 12 - rows);
    l->Perform(WM_VSCROLL, SB_TOP);
    EXPECT_EQ(l->GetTopIndex(), 0);
    l->Perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(l->GetTopIndex(), 1);
    EXPECT_EQ(l->ItemAtPos({5, 5}, true), 1);
    l->Clear();
    EXPECT_FALSE(l->GetWindowStyle() & WS_VSCROLL);
    EXPECT_EQ(l->GetTopIndex(), 0);
    EXPECT_EQ(l->GetItemIndex(), -1);
}

TEST_F(ListsTest, IntegralHeightCutsToWholeRowsAndClientSizeIsSettable) {
    TListBox* l = FixedList(2);
    l->SetClientHeight(80);
    EXPECT_EQ(l->GetClientHeight(), 80);
    l->SetClientWidth(90);
    EXPECT_EQ(l->GetClientWidth(), 90);
    l->SetIntegralHeight(true);
    l->SetClientHeight(75);
    EXPECT_EQ(l->GetClientHeight(), 60);
    l->SetHeight(l->GetHeight() + 39);
    EXPECT_EQ(l->GetClientHeight(), 80);
}

TEST_F(ListsTest, SelectStringFindsACaseInsensitivePrefix) {
    TListBox* l = Add<TListBox>(10, 10, 150, 100);
    for (const char* s : {"Čeština", "Matematika", "Fyzika", "mateřština", "Chemie"}) l->GetItems()->Add(s);
    struct Case {
        const char* Text;
        int After;
        LRESULT Found;
    };
    const Case cases[] = {
        {"ma", -1, 1},
        {"MAT", 1, 3},
        {"mat", 3, 1},
        {"č", -1, 0},
        {"ČEŠ", 4, 0},
        {"fyz", 0, 2},
        {"x", -1, LB_ERR},
        {"", -1, 0},
    };
    for (const Case& c : cases) {
        l->SetItemIndex(4);
        const LRESULT r = l->Perform(LB_SELECTSTRING, WPARAM(intptr_t(c.After)), LPARAM(c.Text));
        EXPECT_EQ(r, c.Found) << c.Text;
        EXPECT_EQ(l->GetItemIndex(), c.Found == LB_ERR ? 4 : int(c.Found)) << c.Text;
    }
}

TEST_F(ListsTest, PressCapturesAndTracksTheSelectionUntilRelease) {
    TListBox* l = FixedList(10);
    TEdit* e = Add<TEdit>(200, 10, 100, 22);
    int clicks = 0;
    int indexOnMouseDown = -2;
    l->OnClick = [&](TObject*) { ++clicks; };
    l->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { indexOnMouseDown = l->GetItemIndex(); };
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    MouseDown(l, {20, 5});
    EXPECT_EQ(l->GetItemIndex(), 0);
    EXPECT_EQ(indexOnMouseDown, 0);  // the list selected first
    EXPECT_EQ(GetCapture(), l->WindowHandle());
    MouseMove(l, {20, 45}, Qt::LeftButton);
    EXPECT_EQ(l->GetItemIndex(), 2);
    // Dragged below the list: it scrolls and the selection follows.
    const int rows = l->GetClientHeight() / 20;
    MouseMove(l, {20, l->GetClientHeight() + 10}, Qt::LeftButton);
    const int last = l->GetTopIndex() + rows - 1;
    EXPECT_GE(l->GetTopIndex(), 1);
    EXPECT_EQ(l->GetItemIndex(), last);
    EXPECT_EQ(clicks, 0);
    MouseUp(l, {20, l->GetClientHeight() + 10});
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(clicks, 1);
    MouseMove(l, {20, 5});  // no longer tracking
    EXPECT_EQ(l->GetItemIndex(), last);
    int doubles = 0;
    l->OnDblClick = [&](TObject*) { ++doubles; };
    DblClick(l, {20, 25});
    EXPECT_EQ(doubles, 1);
    EXPECT_EQ(l->GetItemIndex(), l->GetTopIndex() + 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ListsTest, SelectionPaintsHighlightedWithoutTheFocus) {
    TListBox* l = Add<TListBox>(10, 10, 150, 100);
    for (const char* s : {"jedna", "dvě", "tři"}) l->GetItems()->Add(s);
    TEdit* e = Add<TEdit>(200, 10, 100, 22);
    ShowAndActivate(Form);
    e->SetFocus();
    ProcessEvents();
    l->SetItemIndex(1);
    ASSERT_FALSE(l->Focused());
    const int h = l->GetItemHeight();
    EXPECT_EQ(ClientPixel(l, l->GetClientWidth() - 3, h + h / 2), Rgb(clHighlight));
    EXPECT_EQ(ClientPixel(l, l->GetClientWidth() - 3, h / 2), Rgb(clWindow));
}

TEST_F(ListsTest, KeysAndTypedLettersMoveTheSelection) {
    TListBox* l = Add<TListBox>(10, 10, 150, 100);
    for (const char* s : {"Anglický jazyk", "Čeština", "Dějepis", "Chemie"}) l->GetItems()->Add(s);
    int clicks = 0;
    l->OnClick = [&](TObject*) { ++clicks; };
    ShowAndActivate(Form);
    l->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Down);
    EXPECT_EQ(l->GetItemIndex(), 0);
    Key(Qt::Key_End);
    EXPECT_EQ(l->GetItemIndex(), 3);
    Key(Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_EQ(l->GetItemIndex(), 2);
    Key(Qt::Key_unknown, Qt::NoModifier, "č");
    EXPECT_EQ(l->GetItemIndex(), 1);
    EXPECT_EQ(clicks, 4);
}

TEST_F(ListsTest, MultiSelectByClicksAndSelectionTravelsWithSortedItems) {
    TListBox* l = FixedList(5);
    l->SetMultiSelect(true);
    ShowAndActivate(Form);
    Click(l, {20, 25});  // item 1 alone
    Click(l, {20, 65}, Qt::LeftButton, Qt::ShiftModifier);  // 1..3
    EXPECT_EQ(l->GetSelCount(), 3);
    Click(l, {20, 45}, Qt::LeftButton, Qt::ControlModifier);  // 2 off
    EXPECT_EQ(l->GetSelCount(), 2);
    EXPECT_TRUE(l->GetSelected(1));
    EXPECT_FALSE(l->GetSelected(2));
    EXPECT_TRUE(l->GetSelected(3));
    EXPECT_EQ(l->GetItemIndex(), 2);
    // A sorted insert before the selected lines moves their selection with them.
    TListBox* s = Add<TListBox>(200, 10, 150, 100);
    s->SetSorted(true);
    s->SetMultiSelect(true);
    for (const char* t : {"fyzika", "matematika"}) s->GetItems()->Add(t);
    s->SetSelected(1, true);
    s->GetItems()->Add("biologie");
    EXPECT_FALSE(s->GetSelected(1));
    EXPECT_TRUE(s->GetSelected(2));
    s->GetItems()->Delete(0);
    EXPECT_TRUE(s->GetSelected(1));
    EXPECT_EQ(s->GetSelCount(), 1);
    // A single-selection list follows its selected line too.
    TListBox* one = Add<TListBox>(200, 120, 150, 100);
    one->SetSorted(true);
    for (const char* t : {"b", "c"}) one->GetItems()->Add(t);
    one->SetItemIndex(1);
    one->GetItems()->Add("a");
    EXPECT_EQ(one->GetItemIndex(), 2);
    EXPECT_EQ(one->GetItems()->Strings(one->GetItemIndex()), "c");
}

// --- check list box --------------------------------------------------------------------------

TEST_F(ListsTest, CheckListBoxTogglesByClickOnTheBoxAndBySpace) {
    struct Case {
        bool AllowGrayed;
        std::vector<TCheckBoxState> Cycle;
    };
    const Case cases[] = {
        {false, {cbChecked, cbUnchecked, cbChecked}},
        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
    };
    for (const Case& c : cases) {
        auto* l = new TCheckListBox(Form);
        l->SetParent(Form);
        l->SetBounds(10, 10, 150, 100);
        l->SetAllowGrayed(c.AllowGrayed);
        for (const char* s : {"Čeština", "Matematika"}) l->GetItems()->Add(s);
        int checks = 0;
        l->OnClickCheck = [&](TObject*) { ++checks; };
        ShowAndActivate(Form);
        const int h = l->GetItemHeight();
        for (size_t k = 0; k < c.Cycle.size(); ++k) {
            Click(l, {5, h + h / 2});
            EXPECT_EQ(l->GetState(1), c.Cycle[k]) << c.AllowGrayed << " step " << k;
        }
        EXPECT_EQ(checks, int(c.Cycle.size()));
        EXPECT_EQ(l->GetItemIndex(), 1);
        Click(l, {80, h / 2});  // on the text: selects, leaves the box
        EXPECT_EQ(l->GetItemIndex(), 0);
        EXPECT_EQ(l->GetState(0), cbUnchecked);
        l->SetFocus();
        ProcessEvents();
        Key(Qt::Key_Space, Qt::NoModifier, " ");
        EXPECT_EQ(l->GetState(0), c.AllowGrayed ? cbGrayed : cbChecked);
        EXPECT_EQ(checks, int(c.Cycle.size()) + 1);
        delete l;
    }
}

TEST_F(ListsTest, CheckListBoxStatesFollowSortedItems) {
    auto* l = new TCheckListBox(Form);
    l->SetParent(Form);
    l->SetSorted(true);
    for (const char* s : {"fyzika", "matematika"}) l->GetItems()->Add(s);
    l->SetChecked(1, true);
    l->SetState(0, cbGrayed);
    l->GetItems()->Add("biologie");
    EXPECT_FALSE(l->GetChecked(0));
    EXPECT_EQ(l->GetState(1), cbGrayed);
    EXPECT_EQ(l->GetState(2), cbChecked);
    EXPECT_TRUE(l->GetChecked(1));  // grayed counts as checked
    EXPECT_THROW(l->GetState(3), EListError);
    EXPECT_THROW(l->SetChecked(-1, true), EListError);
    // The box paints its state: a checked box differs from an empty one.
    ShowAndActivate(Form);
    const QImage img = Grab(l);
    const TRect cr = l->ClientRectInWindow();
    const int h = l->GetItemHeight();
    auto dark = [&](int row) {
        int n = 0;
        for (int y = row * h; y < (row + 1) * h; ++y)
            for (int x = 0; x < 16; ++x) n += qGray(img.pixel(cr.Left + x, cr.Top + y)) < 80;
        return n;
    };
    EXPECT_GT(dark(2), dark(0) + 5);
}

// --- combo box -------------------------------------------------------------------------------

TEST_F(ListsTest, OwnerDrawnComboPaintsItsFieldAndRows) {
    TComboBox* c = Add<TComboBox>(10, 10, 150, 22);
    c->SetStyle(csOwnerDrawFixed);
    c->SetItemHeight(20);
    EXPECT_EQ(c->GetHeight(), 26);
    c->SetSorted(true);
    for (const char* s : {"trojka", "jednička", "dvojka"}) c->GetItems()->Add(s);
    EXPECT_EQ(c->GetItems()->Strings(0), "dvojka");
    struct Drawn {
        int Index;
        TRect Rect;
        TOwnerDrawState State;
    };
    std::vector<Drawn> drawn;
    c->OnDrawItem = [&](TWinControl* control, int index, TRect r, TOwnerDrawState state) {
        drawn.push_back({index, r, state});
        TCanvas* canvas = static_cast<TComboBox*>(control)->Canvas();
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(r);
    };
    int dropped = 0, closed = 0, changes = 0, clicks = 0;
    c->OnDropDown = [&](TObject*) { ++dropped; };
    c->OnCloseUp = [&](TObject*) { ++closed; };
    c->OnChange = [&](TObject*) { ++changes; };
    c->OnClick = [&](TObject*) { ++clicks; };
    c->SetItemIndex(1);
    ShowAndActivate(Form);
    drawn.clear();
    const QImage img = Grab(c);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().Index, 1);
    EXPECT_TRUE(drawn.back().State.Contains(odComboBoxEdit));
    EXPECT_EQ(img.pixel(10, c->GetHeight() / 2) & 0xFFFFFF, Rgb(clRed));
    drawn.clear();
    c->SetDroppedDown(true);
    EXPECT_TRUE(c->GetDroppedDown());
    auto* q = static_cast<QComboBox*>(c->Widget());
    q->view()->grab();
    ProcessEvents();
    bool rows = false;
    for (const Drawn& d : drawn) {
        if (d.State.Contains(odComboBoxEdit)) continue;
        rows = true;
        EXPECT_EQ(d.Rect.Height(), 20);
    }
    EXPECT_TRUE(rows);
    c->SetDroppedDown(false);
    EXPECT_FALSE(c->GetDroppedDown());
    EXPECT_EQ(dropped, 1);
    EXPECT_EQ(closed, 1);
    // A user's choice by key: OnClick, then OnChange.
    c->SetFocus();
    ProcessEvents();
    Key(Qt::Key_Down);
    EXPECT_EQ(c->GetItemIndex(), 2);
    EXPECT_EQ(c->GetText(), "trojka");
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 1);
    // Hiding the closed combo is no close-up.
    c->Hide();
    ProcessEvents();
    EXPECT_EQ(closed, 1);
}

}  // namespace
