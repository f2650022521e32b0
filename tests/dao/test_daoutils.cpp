#include <gtest/gtest.h>

#include "dao/DaoUtils.h"
#include "platform/db/Params.h"
#include "platform/rtl/SysUtils.h"

using namespace KDao;

namespace {

TEST(DaoUtils, TypeMapAndSizes) {
    struct Case {
        int dao;
        TFieldType type;
        int size10;
    };
    const Case cases[] = {
        {1, ftBoolean, 0},
        {2, ftSmallint, 0},
        {3, ftSmallint, 0},
        {4, ftInteger, 0},
        {5, ftCurrency, 0},
        {6, ftFloat, 0},
        {7, ftFloat, 0},
        {8, ftDate, 0},
        {9, ftBytes, 10},
        {10, ftString, 10},
        {11, ftBlob, 10},
        {12, ftMemo, 10},
        {13, ftUnknown, 0},
        {14, ftUnknown, 0},
        {15, ftBytes, 10},
        {16, ftLargeint, 0},
        {17, ftBlob, 10},
        {18, ftString, 10},
        {19, ftBCD, 0},
        {20, ftBCD, 0},
        {21, ftFloat, 0},
        {22, ftTime, 0},
        {23, ftDateTime, 0},
        {101, ftIDispatch, 0},
        {104, ftIDispatch, 0},
        {107, ftIDispatch, 10},
        {109, ftIDispatch, 10},
        {110, ftUnknown, 0},
        {40000, ftAutoInc, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DaoFieldTypeToFieldType(c.dao), c.type) << c.dao;
        EXPECT_EQ(DaoFieldSize(c.dao, 10), c.size10) << c.dao;
    }
    EXPECT_EQ(DaoFieldSize(10, 50), 50);
    EXPECT_EQ(DaoFieldSize(4, 4), 0);
    EXPECT_EQ(KDao::FieldTypeName(ftSmallint), "ftSmallInt");
    EXPECT_EQ(KDao::FieldTypeName(ftBytes), "ftUnknown");
    EXPECT_EQ(KDao::FieldTypeName(ftMemo), "ftMemo");
}

TEST(DaoUtils, BracketDottedName) {
    EXPECT_EQ(BracketDottedName("vysvedceni.Jmeno"), "[vysvedceni].[Jmeno]");
    EXPECT_EQ(BracketDottedName("a.b.c"), "[a].[b].[c]");
    EXPECT_EQ(BracketDottedName("Jmeno"), "[Jmeno]");
    EXPECT_EQ(BracketDottedName(""), "[]");
    EXPECT_THROW(BracketDottedName("x]y"), EDatabaseError);
}

TEST(DaoUtils, DateTexts) {
    TFormatSettings fs = TFormatSettings::Czech();
    EXPECT_EQ(NormalizeDateTimeText("12. 3. 2004 10:20", fs), "12.3.2004 10:20");
    EXPECT_EQ(NormalizeDateTimeText("12. 3. 2004", fs), "12.3.2004");
    EXPECT_EQ(NormalizeDateTimeText("12.3.2004 \u0103. 8:05", fs), "12.3.2004 8:05");
    EXPECT_EQ(NormalizeDateTimeText("", fs), "");

    EXPECT_TRUE(TimeStampTextToVariant("").IsNull());
    EXPECT_TRUE(TimeStampTextToVariant("730120").IsNull());
    EXPECT_TRUE(TimeStampTextToVariant("730120 x").IsNull());
    EXPECT_DOUBLE_EQ(TimeStampTextToVariant("730120 0").AsDate(), EncodeDate(2000, 1, 1));
    EXPECT_EQ(DateTimeToTimeStampText(EncodeDate(2000, 1, 1)), "730120 0");

    const std::string noon = DateTimeToTimeStampText(EncodeDate(2005, 1, 31) + EncodeTime(12, 30, 0, 0));
    const std::string midnight = DateTimeToTimeStampText(EncodeDate(2005, 1, 31) + EncodeTime(0, 30, 0, 0));
    EXPECT_EQ(DaoDateLiteralToTimeStampText("1/31/2005 12:30:00 PM"), noon);
    EXPECT_EQ(DaoDateLiteralToTimeStampText("1/31/2005 12:30:00 AM"), midnight);
    EXPECT_EQ(DaoDateLiteralToTimeStampText("1/31/2005"), DateTimeToTimeStampText(EncodeDate(2005, 1, 31)));
    EXPECT_EQ(DaoDateLiteralToTimeStampText("13/45/2005"), "");
}

TEST(DaoUtils, SqlLiterals) {
    EXPECT_EQ(SQLQuoteString("a\"b"), "a\"\"b");
    EXPECT_EQ(SQLEscapeLikeChars("a*b?c#[d]!-"), "a[*]b[?]c[#][[]d[]][!][-]");
    TFormatSettings comma = TFormatSettings::Czech();
    comma.ThousandSeparator = U' ';
    EXPECT_EQ(SQLFloatText("1 234,5", comma), "1234.5");
    TFormatSettings dotted = TFormatSettings::Czech();
    dotted.ThousandSeparator = U'.';
    EXPECT_EQ(SQLFloatText("1.234,5", dotted), "1234.5");  // thousands removed before the decimal point appears
    EXPECT_EQ(JetDateText(EncodeDate(2004, 3, 5)), "03/05/2004");
    EXPECT_EQ(JetTimeText(EncodeTime(7, 5, 9, 0)), "07:05:09");
}

TEST(DaoUtils, ReplaceWholeWord) {
    EXPECT_EQ(ReplaceWholeWord("A=:P and B=:PX", ":P", "1"), "A=1 and B=:PX");
    EXPECT_EQ(ReplaceWholeWord(":P:P", ":p", "1"), "11");
    EXPECT_EQ(ReplaceWholeWord("", ":P", "1"), "");
}

TEST(DaoUtils, ExpandSQLParams) {
    TParams params;
    params.CreateParam(ftString, "P", ptInput)->SetValue(Variant("Jan \"Honza\""));
    params.CreateParam(ftFloat, "F", ptInput)->SetValue(Variant(1234.5));
    params.CreateParam(ftDate, "D", ptInput)->SetValue(Variant::FromDate(EncodeDate(2004, 3, 5)));
    params.CreateParam(ftInteger, "N", ptInput);  // Null
    params.CreateParam(ftString, "T", ptInput)->SetValue(Variant(":F is here"));
    struct Case {
        const char* sql;
        const char* expanded;
    };
    const Case cases[] = {
        {"A=:P and B=:PX", "A=\"Jan \"\"Honza\"\"\" and B=:PX"},
        {"X = :F", "X = 1234.5"},
        {"X = :D", "X = #03/05/2004#"},
        {"A = :N", "A IS NULL"},
        {"A <> :N", "A IS NOT NULL"},
        {"A > :N", "A > NULL"},
        {":F:F", "1234.51234.5"},
        {"T = :T or U = ':F' or [x:F] = 1", "T = \":F is here\" or U = ':F' or [x:F] = 1"},
        {"a = :p", "a = \"Jan \"\"Honza\"\"\""},
        {"a = :Unknown", "a = :Unknown"},
    };
    for (const Case& c : cases) EXPECT_EQ(ExpandSQLParams(c.sql, params, true), c.expanded) << c.sql;
    EXPECT_EQ(ExpandSQLParams("A = :P", params, false), "A = :P");
    TParams parsed;
    AddSQLParams(parsed, "select * from t where a = :A and b = ':B' and c = :C and d = :a and e = :Č and f = :č");
    ASSERT_EQ(parsed.Count(), 3);
    EXPECT_EQ(parsed.Items(0)->Name, "A");
    EXPECT_EQ(parsed.Items(1)->Name, "C");
    EXPECT_EQ(parsed.Items(2)->Name, "Č");  // SQL names ignore case, Czech letters too
}

TEST(DaoUtils, ValueTextConversions) {
    struct Case {
        TFieldType type;
        const char* text;
        bool has;
        Variant native;
    };
    const Case cases[] = {
        {ftInteger, "42", true, Variant(42)},
        {ftInteger, "12,7", true, Variant(13)},
        {ftInteger, "abc", false, Variant()},  // Null rather than an untouched buffer
        {ftInteger, "", false, Variant()},
        {ftBoolean, "Yes", true, Variant(true)},
        {ftBoolean, "=True", true, Variant(true)},
        {ftBoolean, "-1", true, Variant(true)},
        {ftBoolean, "2", true, Variant(true)},
        {ftBoolean, "off", true, Variant(false)},
        {ftBoolean, "0", true, Variant(false)},
        {ftBoolean, "No", true, Variant(false)},
        {ftDate, "730120", false, Variant()},
        {ftDate, "730120 0", true, Variant(730120)},
        {ftTime, "693594 48600000", true, Variant(48600000)},
        {ftDateTime, "730120 1000", true, Variant(730120.0 * 86400000.0 + 1000.0)},
        {ftDateTime, "0 1000", false, Variant()},
        {ftFloat, "2,5", true, Variant(2.5)},
        {ftString, "", false, Variant()},
    };
    for (const Case& c : cases) {
        Variant out;
        EXPECT_EQ(TextToNative(c.type, c.text, out), c.has) << c.text;
        if (c.has) {
            EXPECT_TRUE(VarSameValue(out, c.native)) << c.text << " -> " << VarToStr(out);
        }
    }
    EXPECT_EQ(NativeToText(ftTime, Variant(48600000)), "693594 48600000");
    EXPECT_EQ(NativeToText(ftDate, Variant(730120)), "730120 0");
    EXPECT_EQ(NativeToText(ftBoolean, Variant(true)), "True");
    EXPECT_EQ(NativeToText(ftFloat, Variant(2.5)), "2,5");
    EXPECT_EQ(NativeToText(ftBytes, Variant(std::string(16, '\0')), true), "");  // the null GUID is Null
    const std::string g = GuidStringToBytes("{01234567-89AB-CDEF-0123-456789ABCDEF}");
    EXPECT_EQ(NativeToText(ftBytes, Variant(g), true), "{guid {01234567-89AB-CDEF-0123-456789ABCDEF}}");
    Variant back;
    EXPECT_TRUE(TextToNative(ftBytes, "{guid {01234567-89AB-CDEF-0123-456789ABCDEF}}", back, true));
    EXPECT_EQ(VarToStr(back), g);
    EXPECT_THROW(TextToNative(ftBytes, "{guid {nonsense}}", back, true), EConvertError);
}

}  // namespace
