// The outline of prepared pages (levels, items, shifting a kept block's items) and the
// dictionary of short names.
#include <gtest/gtest.h>

#include "report/core/frxDictionary.h"
#include "report/core/frxOutline.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxXML.h"

TEST(FrxDictionary, UniqueNamesHalveThenCount) {
    TfrxDictionary d;
    std::string name;
    for (const char* expected : {"m1", "m2", "m3"}) {
        d.AddUnique("m", "Page0.Memo", name, nullptr);
        EXPECT_EQ(name, expected);
    }
    for (int i = 4; i <= 20; ++i) d.AddUnique("m", "Page0.Memo", name, nullptr);
    EXPECT_EQ(name, "m20");
    EXPECT_EQ(d.CreateUniqueName("m"), "m21");
    EXPECT_EQ(d.CreateUniqueName("b"), "b1");

    TfrxDictionary names;
    names.Add("b2", "Page0.Band2", nullptr);
    names.Add("M1", "Page1.Memo1", nullptr);
    names.Add("b10", "Page0.Band10", nullptr);
    EXPECT_EQ(names.GetSourceName("m1"), "Page1.Memo1");  // case ignored
    EXPECT_EQ(names.GetSourceName("x9"), "");
    EXPECT_EQ(names.GetObject("x9"), nullptr);
    const auto entries = names.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].first, "b10");  // text order
    EXPECT_EQ(entries[1].first, "b2");
    EXPECT_EQ(entries[2].first, "M1");
}

TEST(FrxOutline, LevelsItemsAndEscapes) {
    TfrxReport report;
    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    TfrxCustomOutline* o = pages->Outline.get();
    pages->CurPageIndex = 0;
    o->AddItem("Třída \"1.A\" <x>", 0);
    o->AddItem("Novák", 40);
    o->LevelUp();
    pages->CurPageIndex = 1;
    o->AddItem("Svoboda", 10);
    o->LevelRoot();
    EXPECT_EQ(o->GetCount(), 1);
    std::string text;
    int page = -1, top = -1;
    o->GetItem(0, text, page, top);
    EXPECT_EQ(text, "Třída \"1.A\" <x>");
    EXPECT_EQ(page, 0);
    o->LevelDown(0);
    ASSERT_EQ(o->GetCount(), 2);
    o->GetItem(1, text, page, top);
    EXPECT_EQ(text, "Svoboda");
    EXPECT_EQ(page, 1);
    EXPECT_EQ(top, 10);
    EXPECT_EQ(o->GetCurPosition()->Prop("text"), "Svoboda");  // the last child
    o->LevelRoot();
    o->LevelUp();  // at the root it stays there
    EXPECT_EQ(o->GetCount(), 1);

    // An item without page and top leaves the caller's values alone.
    TfrxXMLItem* bare = pages->GetOutline()->Root()->Add();
    bare->Name = "item";
    bare->Text = "text=\"holý\"";
    page = 7, top = 8;
    o->GetItem(1, text, page, top);
    EXPECT_EQ(text, "holý");
    EXPECT_EQ(page, 7);
    EXPECT_EQ(top, 8);
}

TEST(FrxOutline, ShiftItemsMovesTheNextSiblingsSubtree) {
    TfrxReport report;
    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    TfrxCustomOutline* o = pages->Outline.get();
    pages->CurPageIndex = 2;
    o->AddItem("před", 100);
    TfrxXMLItem* from = o->GetCurPosition();  // remembered at the block's start
    o->LevelUp();
    o->AddItem("blok", 500);
    o->AddItem("řádek 1", 520);
    o->LevelUp();
    o->AddItem("řádek 2", 540);
    o->LevelRoot();

    o->ShiftItems(o->GetCurPosition(), 0);  // the last child: nothing
    o->ShiftItems(from, 20);
    std::string text;
    int page = 0, top = 0;
    o->GetItem(0, text, page, top);
    EXPECT_EQ(page, 2);
    EXPECT_EQ(top, 100);
    o->GetItem(1, text, page, top);
    EXPECT_EQ(page, 3);
    EXPECT_EQ(top, 20);
    o->LevelDown(1);
    struct {
        int page, top;
    } children[] = {{3, 40}, {3, 60}};
    for (int i = 0; i < 2; ++i) {
        o->GetItem(i, text, page, top);
        EXPECT_EQ(page, children[i].page) << i;
        EXPECT_EQ(top, children[i].top) << i;
    }
}
