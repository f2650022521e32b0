// Windows code pages 1250/1252 and UTF-16BE against UTF-8.

#include <gtest/gtest.h>

#include "platform/rtl/CodePages.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

TEST(CodePages, CentralEuropeanRoundTrip) {
    const std::string czech = "Příliš žluťoučký kůň úpěl ďábelské ódy – „ano“ €";
    const std::string bytes = Utf8ToCodePage(czech, 1250);
    EXPECT_EQ(int64_t(bytes.size()), Utf8Length(czech));  // one byte per character
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0xF8);  // ř
    EXPECT_EQ(CodePageToUtf8(bytes, 1250), czech);
    // Every byte decodes, and every decoded character encodes back to its byte.
    for (int cp : {1250, 1252})
        for (int b = 0; b < 256; ++b) {
            std::string one(1, char(b));
            EXPECT_EQ(Utf8ToCodePage(CodePageToUtf8(one, cp), cp), one) << cp << " " << b;
        }
}

TEST(CodePages, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCodePage("Ťa€ř", 1252), "?a\x80?");
    EXPECT_EQ(Utf8ToCodePage("日本", 1250), "??");
    EXPECT_EQ(CodePageToUtf8("\x9C\xE9", 1252), "œé");
    EXPECT_THROW(CodePageToUtf8("x", 1251), EConvertError);
}

TEST(CodePages, Utf16BigEndian) {
    EXPECT_EQ(Utf8ToUtf16BE("Ač"), std::string("\x00\x41\x01\x0D", 4));
    EXPECT_EQ(Utf8ToUtf16BE("😀", true), std::string("\xFE\xFF\xD8\x3D\xDE\x00", 6));
    EXPECT_EQ(Utf16BEToUtf8(std::string("\xFE\xFF\xD8\x3D\xDE\x00\x00\x41", 8)), "😀A");
    EXPECT_EQ(Utf16BEToUtf8(std::string("\xDC\x00\x00", 3)), "\uFFFD\uFFFD");  // lone surrogate, odd byte
}
