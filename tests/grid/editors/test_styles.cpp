// Edit styles and style controllers: the fall-back chain, announcing changes once, batching,
// silence while loading, and a controller that goes away first.

#include <algorithm>

#include "EditorsFixture.h"
#include "platform/classes/TypInfo.h"

using namespace gridtest;

namespace {

class StylesTest : public EditorsTest {
protected:
    void TearDown() override {
        dxDefaultEditStyleController()->RestoreDefaults();
        EditorsTest::TearDown();
    }
    TdxEditStyle* Style() const { return Edit->GetStyle(); }
};

TEST_F(StylesTest, NothingAssignedReadsTheDefaultControllersValues) {
    TdxEditStyle* s = Style();
    EXPECT_TRUE(s->GetAssignedValues().Empty());
    EXPECT_EQ(s->GetBorderColor(), clWindowFrame);
    EXPECT_EQ(s->GetBorderStyle(), xbs3D);
    EXPECT_EQ(s->GetButtonStyle(), btsDefault);
    EXPECT_EQ(s->GetButtonTransparence(), ebtNone);
    EXPECT_TRUE(s->GetEdges() == dxAllEdges());
    EXPECT_FALSE(s->GetHotTrack());
    EXPECT_FALSE(s->GetShadow());
}

TEST_F(StylesTest, AnUnassignedStyleFollowsTheDefaultControllerAtOnce) {
    const int before = Edit->StyleChanges;
    dxDefaultEditStyleController()->SetBorderStyle(xbsSingle);
    EXPECT_EQ(Style()->GetBorderStyle(), xbsSingle);
    EXPECT_EQ(Edit->StyleChanges, before + 1) << "re-laid-out and repainted";
}

TEST_F(StylesTest, AnEditorWithItsOwnControllerIgnoresTheDefaultOne) {
    TdxEditStyleController own(Form);
    Edit->SetStyleController(&own);
    EXPECT_EQ(Style()->GetBorderStyle(), xbs3D);
    const int before = Edit->StyleChanges;
    dxDefaultEditStyleController()->SetShadow(true);  // a value its own controller leaves as is
    EXPECT_FALSE(Style()->GetShadow());
    EXPECT_EQ(Edit->StyleChanges, before);
    own.SetBorderColor(clRed);
    EXPECT_EQ(Style()->GetBorderColor(), clRed);
    EXPECT_EQ(Edit->StyleChanges, before + 1);
    Edit->SetStyleController(nullptr);
}

TEST_F(StylesTest, TheEditorForgetsAControllerThatIsDestroyedFirst) {
    auto* own = new TdxEditStyleController(Form);
    own->SetBorderStyle(xbsThick);
    Edit->SetStyleController(own);
    EXPECT_EQ(Style()->GetBorderStyle(), xbsThick);
    delete own;
    EXPECT_TRUE(Edit->GetStyleController() == nullptr);
    EXPECT_EQ(Style()->GetBorderStyle(), xbs3D);
}

TEST_F(StylesTest, SettingAValueAnnouncesOnceAndAssignsItEvenWhenItEqualsTheFallback) {
    const int before = Edit->StyleChanges;
    Style()->SetBorderStyle(xbs3D);  // the fall-back's value
    EXPECT_TRUE(Style()->GetAssignedValues().Contains(svBorderStyle));
    EXPECT_TRUE(Style()->IsBorderStyleStored());
    EXPECT_EQ(Edit->StyleChanges, before + 1);
    Style()->SetBorderStyle(xbs3D);
    EXPECT_EQ(Edit->StyleChanges, before + 1);
    // Assigned values no longer follow the controller.
    dxDefaultEditStyleController()->SetBorderStyle(xbsFlat);
    EXPECT_EQ(Style()->GetBorderStyle(), xbs3D);
    Style()->RestoreDefaults();
    EXPECT_EQ(Style()->GetBorderStyle(), xbsFlat);
    EXPECT_FALSE(Style()->IsBorderStyleStored());
}

TEST_F(StylesTest, AssignBetweenStylesAssignsAllSeven) {
    TTestEdit other(Container);
    other.GetStyle()->SetShadow(true);
    Style()->Assign(other.GetStyle());
    const TdxEditStyleValues all{
        svBorderColor, svBorderStyle, svButtonStyle, svButtonTransparence, svEdges, svHotTrack, svShadow};
    EXPECT_TRUE(Style()->GetAssignedValues() == all);
    EXPECT_TRUE(Style()->GetShadow());
    EXPECT_EQ(Style()->GetBorderStyle(), xbs3D);
}

TEST_F(StylesTest, ControllerAssignCopiesTheSevenValuesInOneAnnouncement) {
    TdxEditStyleController a(Form), b(Form);
    b.SetBorderColor(clBlue);
    b.SetEdges(TdxEditEdges{edgLeft, edgBottom});
    b.SetHotTrack(true);
    int told = 0;
    a.OnStyleChanged = [&](TObject*, TObject*) { ++told; };
    a.AddLink(&a);  // any linked object is told
    a.Assign(&b);
    EXPECT_EQ(told, 1);
    EXPECT_EQ(a.GetBorderColor(), clBlue);
    EXPECT_TRUE(a.GetEdges() == (TdxEditEdges{edgLeft, edgBottom}));
    EXPECT_TRUE(a.GetHotTrack());
    a.RestoreDefaults();
    EXPECT_EQ(told, 2);
    EXPECT_EQ(a.GetBorderColor(), clWindowFrame);
    EXPECT_TRUE(a.GetEdges() == dxAllEdges());
}

TEST_F(StylesTest, ChangesInsideAnUpdateBracketAreAnnouncedOnceAtTheEnd) {
    TdxEditStyleController c(Form);
    std::vector<TObject*> told;
    c.OnStyleChanged = [&](TObject* sender, TObject* link) {
        EXPECT_EQ(sender, &c);
        told.push_back(link);
    };
    TObject first, second;
    c.AddLink(&first);
    c.AddLink(&second);
    c.BeginUpdate();
    c.SetBorderStyle(xbsFlat);
    c.SetShadow(true);
    c.SetButtonStyle(btsHotFlat);
    EXPECT_TRUE(told.empty());
    c.EndUpdate();
    EXPECT_EQ(told, (std::vector<TObject*>{&first, &second})) << "one pass, in list order";
    told.clear();
    c.SetShadow(true);  // unchanged
    EXPECT_TRUE(told.empty());
}

TEST_F(StylesTest, AControllerBeingLoadedIsSilentUntilLoaded) {
    TdxEditStyleController c(Form);
    int told = 0;
    c.OnStyleChanged = [&](TObject*, TObject*) { ++told; };
    TObject link;
    c.AddLink(&link);
    c.BeginLoading();
    c.SetBorderStyle(xbsSingle);
    c.SetBorderColor(clGreen);
    EXPECT_EQ(told, 0);
    c.Loaded();
    EXPECT_EQ(told, 1);
}

TEST_F(StylesTest, EveryEditorIsLinkedToTheDefaultControllerAndLeavesItWhenFreed) {
    const auto& links = dxDefaultEditStyleController()->Links();
    EXPECT_NE(std::find(links.begin(), links.end(), Edit), links.end());
    auto* other = new TTestEdit(Container);
    EXPECT_NE(std::find(links.begin(), links.end(), other), links.end());
    delete other;
    EXPECT_EQ(std::find(links.begin(), links.end(), other), links.end());
}

TEST_F(StylesTest, TheControllerPublishesItsSevenValues) {
    TdxEditStyleController c(Form);
    EXPECT_TRUE(IsPublishedProp(&c, "BorderStyle"));
    EXPECT_TRUE(IsPublishedProp(&c, "Edges"));
    SetOrdProp(&c, "BorderStyle", xbsThick);
    EXPECT_EQ(c.GetBorderStyle(), xbsThick);
    EXPECT_TRUE(IsStoredProp(&c, "BorderStyle"));
    EXPECT_FALSE(IsStoredProp(Style(), "Shadow"));
    Style()->SetShadow(false);
    EXPECT_TRUE(IsStoredProp(Style(), "Shadow"));
}

}  // namespace
