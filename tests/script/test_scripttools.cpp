#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "script/ScriptTools.h"

namespace {

TEST(FsScriptTools, LiteralToVariant) {
    EXPECT_TRUE(fsLiteralToVariant("").IsNull());
    EXPECT_EQ(fsLiteralToVariant("'ab'").AsString(), "ab");
    EXPECT_EQ(fsLiteralToVariant("'it's'").AsString(), "it's");  // inner quotes as they are
    EXPECT_EQ(fsLiteralToVariant("$10").AsInt64(), 16);
    EXPECT_EQ(fsLiteralToVariant("3000000000").VarType(), varInt64);
    EXPECT_DOUBLE_EQ(fsLiteralToVariant("1.5").AsDouble(), 1.5);  // "." whatever the locale
    EXPECT_DOUBLE_EQ(fsLiteralToVariant("4.5e1").AsDouble(), 45.0);
    EXPECT_THROW(fsLiteralToVariant("1,5"), EConvertError);
}

TEST(FsScriptTools, PosToPoint) {
    EXPECT_EQ(fsPosToPoint("12:7").X, 7);
    EXPECT_EQ(fsPosToPoint("12:7").Y, 12);
    EXPECT_EQ(fsPosToPoint("").X, 0);
    EXPECT_THROW(fsPosToPoint("x:1"), EConvertError);
}

TEST(FsScriptTools, MessagesAreFormattedWithTheirName) {
    EXPECT_EQ(fsFormatMessage(SClassError, "TFoo"), "Třída TFoo neobsahuje základní vlastnost");
    EXPECT_EQ(fsFormatMessage(SLangNotFound, "X"), "Jazyk 'X' nenalezen");
}

}  // namespace
