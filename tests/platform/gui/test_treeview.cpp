// The tree view: its nodes, rows and scrolling, selection by code, mouse and keys, painting.
#include <gtest/gtest.h>

#include <climits>

#include "platform/gui/ComCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Form = new TForm(&Owner);
        Form->SetBounds(0, 0, 400, 300);
        Tree = new TTreeView(Form);
        Tree->SetParent(Form);
        Tree->SetBounds(8, 8, 200, 200);
    }
    void TearDown() override {
        if (Form->GetVisible()) Form->Hide();
        ProcessEvents();
    }
    // The outline of a report: two chapters, the first with two sections, one of them with a part.
    //   Úvod / Oddíl 1 / Část a ; Úvod / Oddíl 2 ; Závěr
    void Outline() {
        TTreeNodes* items = Tree->GetItems();
        TTreeNode* intro = items->AddChild(nullptr, "Úvod");
        TTreeNode* s1 = items->AddChild(intro, "Oddíl 1");
        items->AddChild(s1, "Část a");
        items->Add(s1, "Oddíl 2");
        items->Add(intro, "Závěr");
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const int h = Tree->ItemHeight();
        for (int y = h / 2; TTreeNode* n = Tree->GetNodeAt(5, y); y += h) rows.push_back(n->GetText());
        return rows;
    }
    TPoint RowPoint(TTreeNode* n) {
        const TRect r = Tree->NodeRect(n, true);
        return Point(r.Left + 3, (r.Top + r.Bottom) / 2);
    }
    TComponent Owner{nullptr};
    TForm* Form = nullptr;
    TTreeView* Tree = nullptr;
};

using Strings = std::vector<std::string>;

TEST_F(TreeViewTest, NodesKeepTheirPlaceDepthFirst) {
    Outline();
    TTreeNodes* items = Tree->GetItems();
    ASSERT_EQ(items->Count(), 5);
    struct Case {
        int Item;
        const char* Text;
        int Index;
        int Level;
        const char* Parent;
        int Children;
    };
    const Case cases[] = {
        {0, "Úvod", 0, 0, nullptr, 2},
        {1, "Oddíl 1", 0, 1, "Úvod", 1},
        {2, "Část a", 0, 2, "Oddíl 1", 0},
        {3, "Oddíl 2", 1, 1, "Úvod", 0},
        {4, "Závěr", 1, 0, nullptr, 0},
    };
    for (const Case& c : cases) {
        TTreeNode* n = items->Item(c.Item);
        EXPECT_EQ(n->GetText(), c.Text);
        EXPECT_EQ(n->GetIndex(), c.Index) << c.Text;
        EXPECT_EQ(n->GetLevel(), c.Level) << c.Text;
        EXPECT_EQ(n->GetParent() ? n->GetParent()->GetText() : std::string("-"), c.Parent ? c.Parent : "-") << c.Text;
        EXPECT_EQ(n->Count(), c.Children) << c.Text;
    }
    EXPECT_EQ(items->Item(0)->Item(1), items->Item(3));
    EXPECT_THROW(items->Item(5), EListError);
}

TEST_F(TreeViewTest, DataHoldsAnyThirtyTwoBitValue) {
    TTreeNode* n = Tree->GetItems()->AddChild(nullptr, "Strana 3");
    // An outline entry: page 3 in the low 20 bits, half the top position above them.
    for (int32_t v : {3 + 50 * (1 << 20), INT32_MAX, INT32_MIN, -1, 0}) {
        n->SetData(v);
        EXPECT_EQ(n->GetData(), v);
    }
}

TEST_F(TreeViewTest, OnlyNodesUnderExpandedParentsHaveRows) {
    Outline();
    TTreeNodes* items = Tree->GetItems();
    EXPECT_EQ(Rows(), (Strings{"Úvod", "Závěr"}));
    items->Item(0)->Expand(false);
    EXPECT_EQ(Rows(), (Strings{"Úvod", "Oddíl 1", "Oddíl 2", "Závěr"}));
    Tree->FullExpand();
    EXPECT_EQ(Rows(), (Strings{"Úvod", "Oddíl 1", "Část a", "Oddíl 2", "Závěr"}));
    Tree->FullCollapse();
    EXPECT_EQ(Rows(), (Strings{"Úvod", "Závěr"}));
    EXPECT_FALSE(items->Item(1)->GetExpanded());
}

TEST_F(TreeViewTest, SelectedByCodeShowsTheNodeAndFiresOnChange) {
    Outline();
    std::vector<std::string> changes;
    Tree->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->GetText() : "-"); };
    TTreeNode* part = Tree->GetItems()->Item(2);
    Tree->SetSelected(part);
    EXPECT_TRUE(part->GetSelected());
    EXPECT_TRUE(part->IsVisible());  // its parents were expanded for it
    Tree->SetSelected(part);  // no change, no event
    // Collapsing a parent of the selection moves the selection up to it.
    Tree->GetItems()->Item(0)->Collapse(false);
    EXPECT_EQ(Tree->GetSelected(), Tree->GetItems()->Item(0));
    Tree->GetItems()->Clear();
    EXPECT_EQ(Tree->GetSelected(), nullptr);
    EXPECT_EQ(Tree->GetTopItem(), nullptr);
    EXPECT_EQ(changes, (Strings{"Část a", "Úvod"}));
}

TEST_F(TreeViewTest, TopItemScrollsButNeverPastTheLastPage) {
    TTreeNodes* items = Tree->GetItems();
    items->BeginUpdate();
    for (int i = 0; i < 40; ++i) items->AddChild(nullptr, "Strana " + std::to_string(i + 1));
    items->EndUpdate();
    ShowAndActivate(Form);
    const int page = Tree->GetClientHeight() / Tree->ItemHeight();
    ASSERT_LT(page, 40);
    Tree->SetTopItem(items->Item(10));
    EXPECT_EQ(Tree->GetTopItem(), items->Item(10));
    EXPECT_EQ(Tree->GetNodeAt(0, 1), items->Item(10));
    Tree->SetTopItem(items->Item(39));
    EXPECT_EQ(Tree->GetTopItem(), items->Item(40 - page));
    // Selecting a node above the rows shown brings it into view.
    Tree->SetSelected(items->Item(2));
    EXPECT_EQ(Tree->GetTopItem(), items->Item(2));
    TScrollInfo si;
    si.fMask = SIF_ALL;
    Tree->GetScrollInfo(SB_VERT, si);
    EXPECT_EQ(si.nPos, 2);
    EXPECT_EQ(si.nMax, 39);
    TestKit::Wheel(Tree, Point(20, 20), -120);  // one notch down: three rows
    ProcessEvents();
    EXPECT_EQ(Tree->GetTopItem(), items->Item(5));
}

TEST_F(TreeViewTest, ClickSelectsBeforeOnClickAndTheButtonToggles) {
    Outline();
    std::vector<std::string> log;
    Tree->OnChange = [&](TObject*, TTreeNode* n) { log.push_back("change " + n->GetText()); };
    Tree->OnClick = [&](TObject*) {
        log.push_back("click " + (Tree->GetSelected() ? Tree->GetSelected()->GetText() : "-"));
    };
    ShowAndActivate(Form);
    TTreeNode* end = Tree->GetItems()->Item(4);
    TestKit::Click(Tree, RowPoint(end));
    ProcessEvents();
    EXPECT_EQ(log, (Strings{"change Závěr", "click Závěr"}));
    EXPECT_TRUE(Tree->Focused());
    // The box left of "Úvod" expands it without selecting it; a double click on a row toggles.
    TTreeNode* intro = Tree->GetItems()->Item(0);
    const TRect text = Tree->NodeRect(intro, true);
    TestKit::Click(Tree, Point(Tree->GetIndent() / 2, (text.Top + text.Bottom) / 2));
    ProcessEvents();
    EXPECT_TRUE(intro->GetExpanded());
    EXPECT_EQ(Tree->GetSelected(), end);
    TestKit::DblClick(Tree, RowPoint(intro));
    ProcessEvents();
    EXPECT_FALSE(intro->GetExpanded());
    EXPECT_EQ(Tree->GetSelected(), intro);
}

TEST_F(TreeViewTest, KeysMoveTheSelectionAndExpand) {
    Outline();
    ShowAndActivate(Form);
    Tree->SetFocus();
    TTreeNodes* items = Tree->GetItems();
    Tree->SetSelected(items->Item(0));
    struct Case {
        int QtKey;
        const char* Selected;
        bool IntroExpanded;
    };
    const Case cases[] = {
        {Qt::Key_Down, "Závěr", false},
        {Qt::Key_Up, "Úvod", false},
        {Qt::Key_Right, "Úvod", true},  // expands first
        {Qt::Key_Right, "Oddíl 1", true},  // then goes to the first child
        {Qt::Key_Down, "Oddíl 2", true},  // "Oddíl 1" is collapsed
        {Qt::Key_Left, "Úvod", true},  // a leaf goes to its parent
        {Qt::Key_Left, "Úvod", false},  // an expanded node collapses
        {Qt::Key_End, "Závěr", false},
        {Qt::Key_Home, "Úvod", false},
        {Qt::Key_Plus, "Úvod", true},
        {Qt::Key_Minus, "Úvod", false},
    };
    for (const Case& c : cases) {
        Key(c.QtKey, c.QtKey == Qt::Key_Plus || c.QtKey == Qt::Key_Minus ? Qt::KeypadModifier : Qt::NoModifier);
        ASSERT_NE(Tree->GetSelected(), nullptr);
        EXPECT_EQ(Tree->GetSelected()->GetText(), c.Selected) << c.QtKey;
        EXPECT_EQ(items->Item(0)->GetExpanded(), c.IntroExpanded) << c.QtKey;
    }
    EXPECT_TRUE(Tree->Focused());  // arrows stay with the tree inside a dialog
}

TEST_F(TreeViewTest, SelectionShowsWithoutFocusOnlyWhenNotHidden) {
    Outline();
    auto* other = new TTreeView(Form);
    other->SetParent(Form);
    other->SetBounds(220, 8, 100, 100);
    ShowAndActivate(Form);
    TTreeNode* end = Tree->GetItems()->Item(4);
    Tree->SetSelected(end);
    const TRect client = Tree->ClientRectInWindow();
    const TRect text = Tree->NodeRect(end, true);
    auto pixel = [&] { return Grab(Tree).pixelColor(client.Left + text.Right - 2, client.Top + text.Top + 1); };
    Tree->SetFocus();
    ProcessEvents();
    EXPECT_EQ(pixel(), ToQColor(clHighlight));
    struct Case {
        bool Hide;
        TColor Expected;
    };
    for (const Case& c : {Case{true, clWindow}, Case{false, clBtnFace}}) {
        Tree->SetHideSelection(c.Hide);
        other->SetFocus();
        ProcessEvents();
        EXPECT_EQ(pixel(), ToQColor(c.Expected)) << c.Hide;
    }
}

TEST_F(TreeViewTest, DraggingTreeSelectsTheNodeTheDragStartsFrom) {
    Outline();
    Tree->SetDragMode(dmAutomatic);
    ShowAndActivate(Form);
    TTreeNode* end = Tree->GetItems()->Item(4);
    TestKit::MouseDown(Tree, RowPoint(end));
    ProcessEvents();
    EXPECT_EQ(Tree->GetSelected(), end);
    TestKit::MouseUp(Tree, RowPoint(end));
    ProcessEvents();
}

}  // namespace
