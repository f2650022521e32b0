#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/Strings.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

// --- code points ------------------------------------------------------------------------------

TEST(Utf8, DecodesValidAndInvalidSequencesWithoutOverrun) {
    struct Case {
        std::string text;
        std::u32string expected;
    };
    const Case cases[] = {
        {"", U""},
        {"až€😀", U"až€😀"},
        {"\xC3", U"\uFFFD"},  // truncated two-byte sequence
        {"\xE2\x82", U"\uFFFD\uFFFD"},  // truncated three-byte sequence
        {"\xC0\xAF", U"\uFFFD\uFFFD"},  // overlong '/'
        {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},  // surrogate
        {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"a\x80"
         "b",
            U"a\uFFFDb"},  // stray continuation byte
        {"\xFF\xFE", U"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToU32(c.text), c.expected) << c.text;
        EXPECT_EQ(Utf8Valid(c.text), c.expected.find(U'\uFFFD') == std::u32string::npos) << c.text;
        EXPECT_EQ(Utf8Length(c.text), int64_t(c.expected.size())) << c.text;
    }
    size_t pos = 1;
    EXPECT_EQ(Utf8Next("a", pos), 0u);  // at the end: nothing, no advance
    EXPECT_EQ(pos, 1u);
}

TEST(Utf8, EncodesAndReplacesImpossibleCodePoints) {
    EXPECT_EQ(U32ToUtf8(U"Příliš žluťoučký kůň"), "Příliš žluťoučký kůň");
    EXPECT_EQ(Utf8FromCodePoint(0x10FFFF), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(Utf8FromCodePoint(0xD800), "\uFFFD");
    EXPECT_EQ(Utf8FromCodePoint(0x110000), "\uFFFD");
}

// --- Copy, Pos, Delete, Insert ... count characters -----------------------------------------------

TEST(Utf8Routines, CopyCountsCharacters) {
    struct Case {
        int64_t index, count;
        const char* expected;
    };
    const Case cases[] = {
        {1, 3, "Žlu"},
        {2, 2, "lu"},
        {0, 2, "Žl"},
        {-5, 1, "Ž"},
        {4, 100, "ťák"},
        {6, 1, "k"},
        {7, 1, ""},
        {3, 0, ""},
        {3, -1, ""},
        {1, INT64_MAX, "Žluťák"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8Copy("Žluťák", c.index, c.count), c.expected) << c.index << "," << c.count;
}

TEST(Utf8Routines, PosReturnsCharacterIndexOrZero) {
    struct Case {
        const char* sub;
        const char* text;
        int64_t from;
        int64_t expected;
    };
    const Case cases[] = {
        {"ť", "Žluťák ťuk", 1, 4},
        {"ť", "Žluťák ťuk", 5, 8},
        {"ť", "Žluťák ťuk", 9, 0},
        {"", "abc", 1, 0},
        {"x", "", 1, 0},
        {"abc", "ab", 1, 0},
        {"a", "ba", 0, 0},
        {"á", "a\xC3\xA1", 1, 2},
        {"a", "a", 2, 0},
        // an invalid pattern byte that matches inside a character is not a hit
        {"\xA1", "\xC3\xA1", 1, 0},
        {"\xA1", "\xC3\xA1\xA1", 1, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8Pos(c.sub, c.text, c.from), c.expected) << c.sub << " in " << c.text;
}

TEST(Utf8Routines, DeleteInsertSetLengthCharAt) {
    struct DeleteCase {
        int64_t index, count;
        const char* expected;
    };
    const DeleteCase deletes[] = {
        {2, 2, "Žťák"},
        {1, 100, ""},
        {0, 1, "Žluťák"},
        {7, 1, "Žluťák"},
        {3, 0, "Žluťák"},
        {6, 5, "Žluťá"},
    };
    for (const auto& c : deletes) {
        std::string s = "Žluťák";
        Utf8Delete(s, c.index, c.count);
        EXPECT_EQ(s, c.expected) << c.index << "," << c.count;
    }
    struct InsertCase {
        int64_t index;
        const char* expected;
    };
    const InsertCase inserts[] = {{1, "ěščšč"}, {2, "šěščč"}, {3, "ščěšč"}, {4, "ščěšč"}, {99, "ščěšč"}, {-3, "ěščšč"}};
    for (const auto& c : inserts) {
        std::string s = "šč";
        Utf8Insert("ěšč", s, c.index);
        EXPECT_EQ(s, c.expected) << c.index;
    }
    std::string s = "kůň";
    Utf8SetLength(s, 2);
    EXPECT_EQ(s, "ků");
    Utf8SetLength(s, 4);
    EXPECT_EQ(s, "ků  ");
    Utf8SetLength(s, -1);
    EXPECT_EQ(s, "");
    EXPECT_EQ(Utf8CharAt("kůň", 3), U'ň');
    EXPECT_EQ(Utf8CharAt("kůň", 4), 0u);
    EXPECT_EQ(Utf8CharAt("kůň", 0), 0u);
    EXPECT_EQ(Utf8ByteOffset("kůň", 3), 3u);
    EXPECT_EQ(Utf8ByteOffset("kůň", 9), 5u);
    EXPECT_EQ(StringOfChar(U'ž', 3), "žžž");
    EXPECT_EQ(StringOfChar(U'x', -2), "");
}

// --- case mapping ----------------------------------------------------------------------------------

TEST(CaseMapping, CzechAndLatinLettersKeepTheirLength) {
    struct Case {
        const char* lower;
        const char* upper;
    };
    const Case cases[] = {
        {"příliš žluťoučký kůň úpěl ďábelské ódy", "PŘÍLIŠ ŽLUŤOUČKÝ KŮŇ ÚPĚL ĎÁBELSKÉ ÓDY"},
        {"äöüàçñøåæþðłńśźżőűĺľŕąęāēĳœŧŵŷ", "ÄÖÜÀÇÑØÅÆÞÐŁŃŚŹŻŐŰĹĽŔĄĘĀĒĲŒŦŴŶ"},
        {"abc xyz 0-9 @[`{", "ABC XYZ 0-9 @[`{"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnsiUpperCase(c.lower), c.upper);
        EXPECT_EQ(AnsiLowerCase(c.upper), c.lower);
        EXPECT_EQ(AnsiUpperCase(c.lower).size(), std::string(c.lower).size());
    }
    // Letters without a one-to-one partner, signs and other scripts stay as they are.
    EXPECT_EQ(AnsiUpperCase("ß×÷ĸŉſıµ"), "ß×÷ĸŉſıµ");
    EXPECT_EQ(AnsiLowerCase("ß×÷İ"), "ß×÷İ");
    EXPECT_EQ(AnsiUpperCase("ÿ"), "Ÿ");
    EXPECT_EQ(AnsiLowerCase("Ÿ"), "ÿ");
    // ASCII-only forms leave Czech letters alone.
    EXPECT_EQ(UpperCase("čaj"), "čAJ");
    EXPECT_EQ(LowerCase("ČAJ"), "Čaj");
}

TEST(CaseMapping, EveryMappedPairRoundTrips) {
    for (char32_t c = 0; c < 0x250; ++c) {
        const char32_t u = CharUpper(c), l = CharLower(c);
        if (u != c) {
            EXPECT_EQ(CharLower(u), c) << std::hex << uint32_t(c);
            EXPECT_EQ(Utf8FromCodePoint(u).size(), Utf8FromCodePoint(c).size());
            EXPECT_TRUE(IsCharLower(c) && IsCharAlpha(c));
        }
        if (l != c) {
            EXPECT_EQ(CharUpper(l), c) << std::hex << uint32_t(c);
        }
    }
}

TEST(CaseMapping, InvalidBytesPassThrough) {
    EXPECT_EQ(AnsiUpperCase("a\xFF\xC3"
                            "á"),
        "A\xFF\xC3"
        "Á");
    EXPECT_EQ(AnsiLowerCase("\x80Ž"), "\x80ž");
}

TEST(CharClasses, LettersDigitsAndCase) {
    struct Case {
        char32_t c;
        bool alpha, alnum, upper, lower;
    };
    const Case cases[] = {
        {U'a', true, true, false, true},
        {U'Ž', true, true, true, false},
        {U'ů', true, true, false, true},
        {U'5', false, true, false, false},
        {U'_', false, false, false, false},
        {U' ', false, false, false, false},
        {U'ß', true, true, false, false},
        {U'Ж', true, true, false, false},
        {U'€', false, false, false, false},
        {U'×', false, false, false, false},
        {0x00A0, false, false, false, false},
        {U'語', true, true, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsCharAlpha(c.c), c.alpha) << std::hex << uint32_t(c.c);
        EXPECT_EQ(IsCharAlphaNumeric(c.c), c.alnum) << std::hex << uint32_t(c.c);
        EXPECT_EQ(IsCharUpper(c.c), c.upper) << std::hex << uint32_t(c.c);
        EXPECT_EQ(IsCharLower(c.c), c.lower) << std::hex << uint32_t(c.c);
    }
}

// --- comparison ------------------------------------------------------------------------------------

TEST(AnsiCompare, CzechAlphabeticalOrder) {
    // Each list is in ascending order under AnsiCompareText.
    const std::vector<std::vector<std::string>> orders = {
        {"a", "á", "b", "c", "č", "d", "ď", "e", "é", "ě", "f", "h", "ch", "i", "í", "r", "ř", "s", "š", "t", "ť", "u",
            "ú", "ů", "y", "ý", "z", "ž"},
        {"cz", "h", "hz", "ch", "cha", "chz", "i"},  // ch is one letter after h
        {"acz", "ači", "ah", "ach", "aCHa"},  // ... also after a shared start
        {"Cihla", "Čech", "Dub"},  // č after c, whatever follows
        {"Rak", "Ryba", "Řeka", "Sova"}, {"Sára", "Šárka", "Tomáš"}, {"Zdeněk", "Zuzana", "Žofie"},
        {"kava", "káva", "kavárna", "kavb"},  // accents count only after the letters
        {"Dvořák", "Dvořáková"},  // a prefix sorts first
        {"", " ", "!", "0", "9", "a"},  // signs, then digits, then letters
        {"Novák", "Nováková", "Nowak"}, {"Ünal", "Uzel"},  // Ü is a U with a secondary accent
        {"zz", "ß", "Ω"},  // other letters after Ž
    };
    for (const auto& order : orders)
        for (size_t i = 0; i + 1 < order.size(); ++i)
            for (size_t j = i + 1; j < order.size(); ++j) {
                EXPECT_LT(AnsiCompareText(order[i], order[j]), 0) << order[i] << " < " << order[j];
                EXPECT_GT(AnsiCompareText(order[j], order[i]), 0) << order[j] << " > " << order[i];
            }
}

TEST(AnsiCompare, TextIsZeroExactlyWhenFoldedTextsAreEqual) {
    const std::vector<std::string> words = {
        "",
        "a",
        "A",
        "á",
        "Á",
        "ch",
        "CH",
        "Ch",
        "cH",
        "c",
        "h",
        "ň",
        "Ň",
        "n",
        "ß",
        "ss",
        "SS",
        "ı",
        "i",
        "I",
        "İ",
        "ÿ",
        "Ÿ",
        "y",
        "a\xFF",
        "a\xFE",
        "A\xFF",
        "\xC3",
        "Ã",
        "ã",
        "1",
        "10",
        "01",
        " ",
        "\t",
        "zz",
        "Žluť",
        "ŽLUŤ",
        "žluť",
        "zlut",
    };
    for (const auto& a : words)
        for (const auto& b : words) {
            const bool foldedEqual = AnsiUpperCase(a) == AnsiUpperCase(b);
            EXPECT_EQ(AnsiCompareText(a, b) == 0, foldedEqual) << "'" << a << "' vs '" << b << "'";
            EXPECT_EQ(AnsiSameText(a, b), foldedEqual) << "'" << a << "' vs '" << b << "'";
            EXPECT_EQ(Sign(AnsiCompareText(a, b)), -Sign(AnsiCompareText(b, a)));
            EXPECT_EQ(AnsiCompareStr(a, b) == 0, a == b);
            EXPECT_EQ(Sign(AnsiCompareStr(a, b)), -Sign(AnsiCompareStr(b, a)));
        }
}

TEST(AnsiCompare, OrdersAreTransitiveSoSortingIsStable) {
    std::vector<std::string> words = {
        "chata",
        "Chata",
        "CHATA",
        "hrad",
        "Hrad",
        "cihla",
        "Čáp",
        "čáp",
        "čap",
        "cap",
        "Cap",
        "ďas",
        "das",
        "Das",
        "déšť",
        "dest",
        "Dešť",
        "ěx",
        "ex",
        "ëx",
        "12",
        "1",
        "a b",
        "ab",
        "a-b",
        "Ab",
        "ß",
        "Ω",
        "\xFF",
        "\x80",
        "ř",
        "Ř",
        "rz",
        "ch",
        "c",
        "C",
        "cH",
        "",
    };
    for (auto cmp : {AnsiCompareText, AnsiCompareStr}) {
        std::sort(
            words.begin(), words.end(), [&](const std::string& a, const std::string& b) { return cmp(a, b) < 0; });
        for (size_t i = 0; i < words.size(); ++i)
            for (size_t j = i + 1; j < words.size(); ++j)
                EXPECT_LE(cmp(words[i], words[j]), 0) << words[i] << " / " << words[j];
    }
}

TEST(AnsiCompare, RandomTextsKeepTheOrderLaws) {
    // Texts built from pieces that stress contractions, accents, case and invalid bytes.
    const char* pieces[] = {"a", "A", "á", "Á", "c", "C", "h", "H", "č", "Č", "z", " ", "1", "\xC3", "\xA1", "ß"};
    uint32_t state = 12345;
    auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16; };
    std::vector<std::string> texts;
    for (int i = 0; i < 150; ++i) {
        std::string t;
        for (unsigned n = next() % 5; n > 0; --n) t += pieces[next() % std::size(pieces)];
        texts.push_back(t);
    }
    for (auto cmp : {AnsiCompareText, AnsiCompareStr}) {
        const bool ignoreCase = cmp == AnsiCompareText;
        for (const auto& a : texts)
            for (const auto& b : texts) {
                const int r = cmp(a, b);
                ASSERT_EQ(Sign(r), -Sign(cmp(b, a))) << a << " / " << b;
                ASSERT_EQ(r == 0, ignoreCase ? AnsiUpperCase(a) == AnsiUpperCase(b) : a == b) << a << " / " << b;
                // A shared start never changes the outcome.
                ASSERT_EQ(Sign(cmp("xx" + a, "xx" + b)), Sign(r)) << a << " / " << b;
            }
        auto sorted = texts;
        std::sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) { return cmp(a, b) < 0; });
        for (size_t i = 0; i < sorted.size(); ++i)
            for (size_t j = i + 1; j < sorted.size(); ++j) ASSERT_LE(cmp(sorted[i], sorted[j]), 0);
    }
}

TEST(AnsiCompare, CaseSensitiveOrderBreaksTiesLowerFirst) {
    struct Case {
        const char* a;
        const char* b;
        int expected;
    };
    const Case cases[] = {
        {"a", "A", -1},
        {"A", "b", -1},
        {"ch", "Ch", -1},
        {"Ch", "CH", -1},
        {"cH", "Ch", -1},
        {"Ch", "i", -1},
        {"H", "ch", -1},
        {"á", "A", 1},
        {"aB", "Ab", -1},
        {"abc", "abc", 0},
        {"č", "C", 1},
        {"žába", "Žába", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(Sign(AnsiCompareStr(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
    EXPECT_TRUE(AnsiSameStr("Ž", "Ž"));
    EXPECT_FALSE(AnsiSameStr("Ž", "ž"));
}

TEST(OrdinalCompare, AsciiOnlyCaseInsensitivity) {
    struct Case {
        const char* a;
        const char* b;
        int str, text;
    };
    const Case cases[] = {
        {"abc", "ABC", 1, 0},
        {"a", "b", -1, -1},
        {"ab", "a", 1, 1},
        {"", "", 0, 0},
        {"č", "Č", 1, 1},
        {"[", "a", -1, 1},  // '[' sorts after the letters once they are upper-cased
        {"Z", "a", -1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Sign(CompareStr(c.a, c.b)), c.str) << c.a << " vs " << c.b;
        EXPECT_EQ(Sign(CompareText(c.a, c.b)), c.text) << c.a << " vs " << c.b;
        EXPECT_EQ(SameText(c.a, c.b), c.text == 0);
    }
}

TEST(AnsiStartsText, ComparesFoldedCharacters) {
    struct Case {
        const char* prefix;
        const char* text;
        bool expected;
    };
    const Case cases[] = {
        {"", "x", true},
        {"ŽLU", "žluťák", true},
        {"žluťák", "ŽLU", false},
        {"zlu", "žluťák", false},
        {"Ch", "chata", true},
        {"x", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(AnsiStartsText(c.prefix, c.text), c.expected) << c.prefix << "/" << c.text;
}

// --- trimming, replacing, quoting ------------------------------------------------------------------

TEST(Trim, RemovesControlCharactersAndSpacesOnly) {
    struct Case {
        const char* in;
        const char* both;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"  a b \t\r\n", "a b", "a b \t\r\n", "  a b"},
        {"\x01x\x1F", "x", "x\x1F", "\x01x"},
        {"\xC2\xA0ž\xC2\xA0", "\xC2\xA0ž\xC2\xA0", "\xC2\xA0ž\xC2\xA0", "\xC2\xA0ž\xC2\xA0"},  // no-break space stays
        {"   ", "", "", ""},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(c.in), c.both);
        EXPECT_EQ(TrimLeft(c.in), c.left);
        EXPECT_EQ(TrimRight(c.in), c.right);
    }
}

TEST(StringReplace, FlagsAndCzechCaseFolding) {
    struct Case {
        const char* text;
        const char* from;
        const char* to;
        unsigned flags;
        const char* expected;
    };
    const Case cases[] = {
        {"a-b-c", "-", "+", 0, "a+b-c"}, {"a-b-c", "-", "+", rfReplaceAll, "a+b+c"},
        {"Čaj čaj ČAJ", "čaj", "káva", rfReplaceAll, "Čaj káva ČAJ"},
        {"Čaj čaj ČAJ", "čaj", "káva", rfReplaceAll | rfIgnoreCase, "káva káva káva"},
        {"Čaj čaj ČAJ", "ČAJ", "x", rfIgnoreCase, "x čaj ČAJ"},
        {"aaa", "aa", "b", rfReplaceAll, "ba"},  // no overlapping matches
        {"aaa", "a", "aa", rfReplaceAll, "aaaaaa"},  // replacement is not searched again
        {"abc", "", "x", rfReplaceAll, "abc"}, {"", "a", "x", rfReplaceAll, ""},
        {"žŽž", "Ž", "", rfReplaceAll | rfIgnoreCase, ""},
        {"\xC3\xA1\xA1", "\xA1", "!", rfReplaceAll, "\xC3\xA1!"},  // no hit inside a character
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringReplace(c.text, c.from, c.to, c.flags), c.expected) << c.text << " " << c.from;
}

TEST(Quoting, QuotedAndDequoted) {
    struct Case {
        const char* plain;
        const char* quoted;
    };
    const Case cases[] = {{"", "''"}, {"it's", "'it''s'"}, {"''", "''''''"}, {"žák", "'žák'"}};
    for (const auto& c : cases) {
        EXPECT_EQ(QuotedStr(c.plain), c.quoted);
        EXPECT_EQ(AnsiDequotedStr(c.quoted, '\''), c.plain);
    }
    EXPECT_EQ(QuotedStr("a\"b", '"'), "\"a\"\"b\"");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(AnsiDequotedStr("'open", '\''), "'open");  // unterminated: left as it is
    EXPECT_EQ(AnsiDequotedStr("'", '\''), "'");
    EXPECT_EQ(AnsiDequotedStr("'ab'cd", '\''), "ab");  // text after the closing quote dropped
    EXPECT_EQ(AnsiDequotedStr("", '\''), "");
}

TEST(IntToHex, PadsAndUsesTwosComplement) {
    struct Case {
        int64_t value;
        int digits;
        const char* expected;
    };
    const Case cases[] = {
        {255, 0, "FF"},
        {255, 4, "00FF"},
        {0, 0, "0"},
        {0, 3, "000"},
        {0x1234, 2, "1234"},
        {-1, 4, "FFFFFFFFFFFFFFFF"},
        {INT64_MIN, 0, "8000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(IntToHex(c.value, c.digits), c.expected) << c.value;
}

}  // namespace
