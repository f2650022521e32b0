// The page layout: rows of one or two pages, 10-pixel gaps, centring with half-to-even
// rounding, and the page found at a height with and without its slack.

#include <gtest/gtest.h>

#include "report/output/frxPreviewWorkspace.h"

TEST(PageList, OneColumnLaysPagesBelowEachOther) {
    TfrxPageList list;
    for (int i = 0; i < 3; ++i) list.AddPage(794, 1123);
    EXPECT_EQ(list.GetItem(0).Top, 10);
    EXPECT_EQ(list.GetItem(1).Top, 1143);
    EXPECT_EQ(list.GetItem(2).Top, 2276);
    EXPECT_EQ(list.MaxWidth(), 804);
    EXPECT_EQ(list.GetMaxBounds(1000, 1).Y, 2276 + 1123);
}

TEST(PageList, TwoColumnsShareRowsAndCentreThem) {
    TfrxPageList list;
    list.SetColumns(2);
    list.AddPage(794, 1123);
    list.AddPage(794, 1200);  // the taller one sets the row's height
    list.AddPage(794, 1123);
    EXPECT_EQ(list.GetItem(1).Top, 10);
    EXPECT_EQ(list.GetItem(1).Column, 1);
    EXPECT_EQ(list.GetItem(2).Top, 10 + 1200 + 10);
    EXPECT_EQ(list.MaxWidth(), 1608);
    // A row 1598 wide in a 2000-pixel window: (2000 - 1598) / 2 = 201.
    EXPECT_EQ(list.GetPageBounds(0, 2000, 1).Left, 201);
    EXPECT_EQ(list.GetPageBounds(1, 2000, 1).Left, 201 + 804);
}

TEST(PageList, PageBoundsTable) {
    TfrxPageList list;
    list.AddPage(794, 1123);
    struct Case {
        int index, clientWidth;
        double zoom;
        TRect expected;
    } cases[] = {
        {0, 600, 1, {10, 10, 804, 1133}},  // narrower than the page: no centring
        {0, 600, 0.5, {102, 5, 499, 567}},  // 101.5 goes to the even 102
        {0, 1000, 1, {103, 10, 897, 1133}},
        {5, 1000, 1, {103, 10, 897, 1133}},  // outside the list: an A4 page
        {-1, 600, 1, {10, 10, 804, 1133}},
    };
    for (const Case& c : cases) {
        const TRect r = list.GetPageBounds(c.index, c.clientWidth, c.zoom);
        EXPECT_EQ(r, c.expected) << c.index << " " << c.clientWidth << " " << c.zoom;
    }
}

TEST(PageList, FindPageAtTheSlackBorders) {
    TfrxPageList list;
    for (int i = 0; i < 3; ++i) list.AddPage(794, 1123);
    struct Case {
        int y;
        bool exact;
        int page;
    } cases[] = {
        {0, true, -1},  // the first top is 10
        {0, false, 0},  // a fifth of 1123 is 225 of slack
        {10, true, 0},
        {1142, true, 0},
        {1143, true, 1},
        {1143 - 225, false, 1},
        {1143 - 226, false, 0},
        {100000, true, 2},
    };
    for (const Case& c : cases) EXPECT_EQ(list.FindPage(c.y, c.exact, 1), c.page) << c.y << " " << c.exact;
    TfrxPageList empty;
    EXPECT_EQ(empty.FindPage(500, false, 1), -1);
    EXPECT_EQ(empty.GetMaxBounds(800, 1), (TPoint{0, 0}));
}
