// Text routines: splitting, numbers, embedded expressions, page ranges, high characters.

#include <gtest/gtest.h>

#include "platform/classes/StringList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxText.h"

namespace {
std::string Joined(const TStrings& list) {
    std::string s;
    for (int i = 0; i < list.GetCount(); ++i) s += (i ? "|" : "") + list.Get(i);
    return s;
}
}  // namespace

TEST(FrxText, SplitToList) {
    TStringList list;
    struct Case {
        const char* text;
        const char* parts;
    } cases[] = {
        {"a;;b", "a||b"},
        {"a;", "a"},
        {"", ""},
        {";a", "|a"},
        {"abc", "abc"},
    };
    for (const auto& c : cases) {
        frxSplitToList(c.text, &list, ';');
        EXPECT_EQ(Joined(list), c.parts) << c.text;
    }
}

TEST(FrxText, NumbersFollowTheLocaleEitherWay) {
    TRollback<char32_t> sep(FormatSettings().DecimalSeparator, U',');
    EXPECT_DOUBLE_EQ(frxStrToFloat("1 234.5"), 1234.5);
    EXPECT_DOUBLE_EQ(frxStrToFloat("2,25"), 2.25);
    EXPECT_THROW(frxStrToFloat("x"), EConvertError);
    EXPECT_EQ(frxFloatToStr(2), "2");
    EXPECT_EQ(frxFloatToStr(2.5), "2,50");
    FormatSettings().DecimalSeparator = U'.';
    EXPECT_EQ(frxFloatToStr(2.5), "2.50");
    EXPECT_DOUBLE_EQ(frxStrToFloat("2,25"), 2.25);
}

TEST(FrxText, BracketedText) {
    struct Case {
        const char* text;
        int start;
        const char* result;
        int newStart, finish;
    } cases[] = {
        {"a [b [c] d] e", 3, "b [c] d", 3, 11},
        {"[x \"]\" y]", 1, "x \"]\" y", 1, 9},  // quotes hide brackets
        {"[č]", 1, "č", 1, 3},  // characters, not bytes
        {"[abc", 1, "ab", 1, 4},  // unbalanced: up to the character before the end
        {"", 1, "", 1, 1},
    };
    for (const auto& c : cases) {
        int start = c.start, finish = 0;
        EXPECT_EQ(frxGetBracketedText(c.text, "[", "]", start, finish), c.result) << c.text;
        EXPECT_EQ(start, c.newStart) << c.text;
        EXPECT_EQ(finish, c.finish) << c.text;
    }
    int start = 1, finish = 0;
    EXPECT_EQ(frxGetBracketedText("<%a%>", "<%", "%>", start, finish), "a");
    EXPECT_EQ(finish, 5);
}

TEST(FrxText, PageNumbers) {
    TStringList list;
    struct Case {
        const char* text;
        const char* pages;
    } cases[] = {
        {"1,3,5-7", "1|3|5|6"},  // 7 is beyond the last page
        {"4-", "4|5|6"}, {"8-", ""},  // from beyond the last page to its end: nothing
        {"2, 4", "2|4"}, {"", ""}, {"006", "6"}, {"1-999999999", "1|2|3|4|5|6"},  // clamped to the last page
        {"5,9", "5"},  // beyond the last page: left out
    };
    for (const auto& c : cases) {
        frxParsePageNumbers(c.text, &list, 6);
        EXPECT_EQ(Joined(list), c.pages) << c.text;
    }
    // Not a page list: the caller's print or export fails with the message instead of
    // doing nothing.
    for (const char* text : {"1,x", "7-5", "5-3", "0", "2,0-3", "1-2-3", "-", "1,,2"})
        EXPECT_THROW(frxParsePageNumbers(text, &list, 6), EConvertError) << text;
}

TEST(FrxText, HighCharsRoundTrip) {
    const std::string text = "Žák č. 5";
    std::string encoded = frxConvertHighChars(text, true);
    for (char c : encoded) EXPECT_LT(static_cast<unsigned char>(c), 128);
    EXPECT_EQ(frxConvertHighChars(encoded, false), text);
    EXPECT_EQ(frxConvertHighChars("a\x01", false), "a\x01");
}
