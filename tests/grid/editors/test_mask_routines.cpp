// The edit-mask routines on their own: kinds, fields, positions, laying values in and fitting
// values with literals. The date separator is the Czech ".", the time separator ":".

#include <gtest/gtest.h>

#include <string>

#include "grid/editors/dxMask.h"
#include "platform/rtl/Strings.h"

namespace {

std::u32string U(const char* s) { return Utf8ToU32(s); }
std::string S(const std::u32string& s) { return U32ToUtf8(s); }

struct KindCase {
    const char* Mask;
    const char* Kinds;  // one digit per mask character
};

TEST(MaskRoutines, KindOfEveryCharacter) {
    const KindCase cases[] = {
        {"0L9#lAaCc", "445554545"}, {"!>LL<ll<>cc", "33443553355"}, {"99/99:00", "55255244"},
        {"(999) 000-0000", "15551144414444"}, {"000;0;_", "4446767"},  // fields within the last four
        {"00;_", "4467"}, {"9;0", "514"},  // three characters or fewer: no fields, ";" is a literal
        {"a;b", "511"}, {"\\0\\\\0", "31314"},  // escaped 0, escaped backslash, then a free 0
        {"\\;\\;99;0;_", "3131556767"}, {"ččLL", "1144"},  // letters with diacritics count as one character each
    };
    for (const auto& c : cases) {
        const std::u32string mask = U(c.Mask);
        std::string kinds;
        for (int i = 1; i <= int(mask.size()); ++i) kinds += char('0' + dxMaskCharKind(mask, i));
        EXPECT_EQ(kinds, c.Kinds) << c.Mask;
        EXPECT_EQ(dxMaskCharKind(mask, 0), mcNone);
        EXPECT_EQ(dxMaskCharKind(mask, int(mask.size()) + 1), mcNone);
    }
}

TEST(MaskRoutines, SaveAndBlankFields) {
    struct Case {
        const char* Mask;
        bool Saves;
        const char* Blank;
    } cases[] = {
        {"000;0;_", false, "_"},
        {"000;1;*", true, "*"},
        {"000;;#", true, "#"},  // an empty save field keeps literals
        {"000;0", false, "_"},
        {"00;_", true, "_"},  // "_" is the save field here, not a blank
        {"000", true, "_"},
        {"9;0", true, "_"},  // too short for fields
        {"LL;0;ž", false, "ž"},
        {"000;x;-", true, "-"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dxMaskSavesLiterals(U(c.Mask)), c.Saves) << c.Mask;
        EXPECT_EQ(S(std::u32string(1, dxMaskBlankChar(U(c.Mask)))), c.Blank) << c.Mask;
    }
}

TEST(MaskRoutines, DirectivesByPosition) {
    const std::u32string mask = U("L>L<L<>L!L");
    EXPECT_EQ(dxMaskDirectivesAt(mask, 1), uint32_t(mdReverse));
    EXPECT_EQ(dxMaskDirectivesAt(mask, 3), uint32_t(mdReverse | mdUpperCase));
    EXPECT_EQ(dxMaskDirectivesAt(mask, 5), uint32_t(mdReverse | mdLowerCase));
    EXPECT_EQ(dxMaskDirectivesAt(mask, 8), uint32_t(mdReverse));
    const std::u32string lit = U(">L-\\L");
    EXPECT_EQ(dxMaskDirectivesAt(lit, 3), uint32_t(mdUpperCase | mdLiteral));
    EXPECT_EQ(dxMaskDirectivesAt(lit, 5), uint32_t(mdUpperCase | mdLiteral));
}

TEST(MaskRoutines, PositionsBothWays) {
    const std::u32string mask = U("!>99/\\L0;1;_");
    // positions: 9 9 / L 0 -> 5
    EXPECT_EQ(dxMaskPositionCount(mask), 5);
    EXPECT_EQ(dxMaskIndexToTextPos(mask, 2), 0);
    EXPECT_EQ(dxMaskIndexToTextPos(mask, 5), 3);
    EXPECT_EQ(dxMaskIndexToTextPos(mask, 7), 4);
    const int indexes[] = {3, 4, 5, 7, 8};
    for (int off = 0; off < 5; ++off) EXPECT_EQ(dxTextPosToMaskIndex(mask, off), indexes[off]) << off;
    EXPECT_EQ(dxTextPosToMaskIndex(mask, 5), -1);
    EXPECT_EQ(dxTextPosToMaskIndex(mask, -1), -1);
    EXPECT_TRUE(dxMaskIsLiteralAt(mask, 2));
    EXPECT_TRUE(dxMaskIsLiteralAt(mask, 3));  // the escaped L
    EXPECT_FALSE(dxMaskIsLiteralAt(mask, 4));
    EXPECT_FALSE(dxMaskIsLiteralAt(mask, 9));
}

TEST(MaskRoutines, FormatValueForwardAndReverse) {
    struct Case {
        const char* Mask;
        const char* Value;
        char32_t Blank;
        const char* Shown;
    } cases[] = {
        {"000;0;_", "12", U'_', "12_"},
        {"99/99/00;0;_", "0102", U'_', "01.02.__"},
        {"!99/99/00;1;_", "", U'_', "__.__.__"},
        {"!99/99/00;1;_", "", U' ', "  .  .  "},
        {"!99/99/00;0;_", "1224", U'_', "__.12.24"},
        {"(999) 000-0000;0;_", "123456", U'_', "(123) 456-____"},
        {"00:00", "1230", U'_', "12:30"},
        {"000", "123456", U'_', "123"},  // extra characters are dropped
        {"!000", "123456", U'_', "456"},
        {">LLL", "čřš", U'_', "čřš"},  // laying in does not change case
        {"\\00", "5", U'_', "05"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(S(dxMaskFormatValue(U(c.Mask), U(c.Value), c.Blank)), c.Shown) << c.Mask << " / " << c.Value;
}

TEST(MaskRoutines, FitValueWithSavedLiterals) {
    struct Case {
        const char* Mask;
        const char* Value;
        const char* Fitted;
    } cases[] = {
        {"99/99/0000;1;_", "1.2.2024", "1_.2_.2024"},
        {"!99/99/0000;1;_", "1.2.2024", "_1._2.2024"},
        {"99/99/0000;1;_", "123.45.20245", "12.45.2024"},  // cut at the end
        {"!99/99/0000;1;_", "123.45.20245", "23.45.0245"},  // cut at the start
        {"99/99/0000;1;_", "12", "12.__.____"},  // missing literals appended
        {"!99/99/00;1;_", "  .  .  ", "__.__.__"},  // spaces become blanks
        {"(999) 000;1;_", "(12) 3", "(12_) 3__"},
        {"99-99;1;*", "1 -2", "1*-2*"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(S(dxMaskFitValue(U(c.Mask), U(c.Value), dxMaskBlankChar(U(c.Mask)))), c.Fitted)
            << c.Mask << " / " << c.Value;
}

TEST(MaskRoutines, AcceptedCharactersAndCase) {
    struct Case {
        const char* Mask;
        int Index;
        const char* Typed;
        const char* Taken;  // empty when refused
    } cases[] = {
        {"0", 1, "7", "7"}, {"0", 1, "a", ""}, {"9", 1, " ", ""}, {"#", 1, " ", " "}, {"#", 1, "-", "-"},
        {"#", 1, "x", ""}, {"L", 1, "ř", "ř"}, {"L", 1, "1", ""}, {">L", 2, "ř", "Ř"}, {">L", 2, "ž", "Ž"},
        {"<L", 2, "Č", "č"}, {"><>L", 4, "ě", "ě"}, {">A", 2, "5", "5"}, {"a", 1, "_", ""}, {"C", 1, "_", "_"},
        {"c", 1, "ů", "ů"}, {"-", 1, "-", ""},  // literals take nothing
    };
    for (const auto& c : cases) {
        char32_t ch = Utf8ToU32(c.Typed)[0];
        const bool taken = dxMaskAcceptChar(U(c.Mask), c.Index, ch);
        EXPECT_EQ(taken ? U32ToUtf8(std::u32string(1, ch)) : std::string(), c.Taken) << c.Mask << " " << c.Typed;
    }
}

}  // namespace
