// Inline text tags: what is removed, what stays, and the per-character records.

#include <gtest/gtest.h>

#include "platform/rtl/Strings.h"
#include "report/core/frxHTMLTags.h"

namespace {
struct Parsed {
    std::string text;
    TfrxHTMLTags tags;
};
Parsed Parse(const std::string& source, bool enabled = true) {
    TfrxHTMLTagsList list;
    list.TagsEnabled = enabled;
    list.Reset(clBlack, 12, TFontStyles());
    std::u32string u = Utf8ToU32(source);
    list.ParseTags(u);
    return {U32ToUtf8(u), list.Count() ? list.Line(0) : TfrxHTMLTags()};
}
}  // namespace

TEST(FrxHtmlTags, BoldRunWithSourcePositions) {
    Parsed p = Parse("a<b>b</b>c");
    EXPECT_EQ(p.text, "abc");
    ASSERT_EQ(p.tags.size(), 3u);
    EXPECT_EQ(p.tags[0].Position, 1);
    EXPECT_EQ(p.tags[1].Position, 5);
    EXPECT_EQ(p.tags[2].Position, 10);
    EXPECT_FALSE(p.tags[0].Style.Contains(fsBold));
    EXPECT_TRUE(p.tags[1].Style.Contains(fsBold));
    EXPECT_FALSE(p.tags[2].Style.Contains(fsBold));
    EXPECT_FALSE(p.tags[1].SameAsPrevious);
    EXPECT_FALSE(p.tags[2].SameAsPrevious);
}

TEST(FrxHtmlTags, WhatIsRemovedAndWhatStays) {
    struct Case {
        const char* source;
        const char* text;
    } cases[] = {
        {"<i>x</i><u>y</u><strike>z</strike>", "xyz"},
        {"<x>a", "<x>a"},  // three characters, no style letter
        {"<abc>a", "<abc>a"},  // five characters, neither sub nor sup
        {"H<sub>2</sub>O x<sup>2</sup>", "H2O x2"},
        {"<font color=red>r</font><font color=\"#00FF00\">g</font>", "rg"},
        {"<font color=nosuch>a</font>", "<font color=nosuch>a"},  // unknown name stays
        {"<font color=\"#zz0000\">a</font>", "<font color=\"#zz0000\">a"},  // mistyped hex stays
        {"<font color=>a", "<font color=>a"},
        {"a < b", "a < b"},
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(c.source).text, c.text) << c.source;
    EXPECT_EQ(Parse("<b>x</b>", false).text, "<b>x</b>");
}

TEST(FrxHtmlTags, ColoursSizesAndRuns) {
    Parsed hex = Parse("<font color=\"#FF0000\">a</font>b");
    EXPECT_EQ(hex.tags[0].Color, TColor(0x0000FF));  // red in the low byte
    EXPECT_EQ(hex.tags[1].Color, clBlack);
    for (const char* name : {"red", "Red", "RED"})
        EXPECT_EQ(Parse(std::string("<font color=") + name + ">a").tags[0].Color, clRed);

    Parsed sup = Parse("a<sup>1</sup>b<sup>2</sup><sub>3</sub>");
    ASSERT_EQ(sup.tags.size(), 5u);
    EXPECT_TRUE(sup.tags[1].Reduced);
    EXPECT_TRUE(sup.tags[3].Reduced);
    EXPECT_TRUE(sup.tags[4].Reduced);
    EXPECT_EQ(sup.tags[1].Size, 8);
    EXPECT_EQ(sup.tags[4].Lowered, 1);
    EXPECT_TRUE(sup.tags[4].SameAsPrevious);  // subscript after superscript of the same size: no new run
}

TEST(FrxHtmlTags, SplitLineAndPreviousTag) {
    TfrxHTMLTagsList list;
    list.Reset(clBlack, 10, TFontStyles());
    std::u32string u = U"abcd";
    list.ParseTags(u);
    list.SplitLine(2, true);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Line(0).size(), 3u);  // a, b and the hyphen's copy of b
    EXPECT_EQ(list.Line(0)[2].Position, list.Line(0)[1].Position);
    EXPECT_EQ(list.Line(1).size(), 2u);
    EXPECT_EQ(list.Line(1)[0].Position, 3);
    list.SplitLine(5, false);  // nothing moves, but the next line is its own
    EXPECT_EQ(list.Count(), 3);
    list.AppendTag().Position = 99;
    ASSERT_NE(list.PreviousTag(), nullptr);
    EXPECT_EQ(list.PreviousTag()->Position, 4);  // across the empty line
}
