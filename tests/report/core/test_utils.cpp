// The report library's free routines.

#include <gtest/gtest.h>

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxUtils.h"

namespace {
std::string Joined(const TStrings& list) {
    std::string s;
    for (int i = 0; i < list.GetCount(); ++i) s += (i ? "|" : "") + list.Get(i);
    return s;
}
}  // namespace

TEST(FrxUtils, SplitToList) {
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

TEST(FrxUtils, NumbersFollowTheLocaleEitherWay) {
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

TEST(FrxUtils, BracketedText) {
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

TEST(FrxUtils, PageNumbers) {
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

TEST(FrxUtils, HexStreamsAndDamagedHex) {
    TMemoryStream s;
    s.WriteBuffer("\x00\xABz", 3);
    EXPECT_EQ(frxStreamToHex(&s), "00AB7A");
    TStringStream out("previous contents");
    frxHexToStream("414243", &out);
    EXPECT_EQ(out.DataString(), "ABCvious contents");  // written at the start, not cut
    TStringStream damaged("previous contents");
    frxHexToStream("4142G34445", &damaged);
    EXPECT_EQ(damaged.DataString(), "AB");  // cut where the damage starts
}

TEST(FrxUtils, HighCharsRoundTrip) {
    const std::string text = "Žák č. 5";
    std::string encoded = frxConvertHighChars(text, true);
    for (char c : encoded) EXPECT_LT(static_cast<unsigned char>(c), 128);
    EXPECT_EQ(frxConvertHighChars(encoded, false), text);
    EXPECT_EQ(frxConvertHighChars("a\x01", false), "a\x01");
}

TEST(FrxUtils, TempFileAndRects) {
    std::string name = frxCreateTempFile("");
    EXPECT_TRUE(FileExists(name));
    EXPECT_EQ(ExtractFileName(name).rfind("fr", 0), 0u);
    DeleteFile(name);
    TfrxFloatRect r = frxMakeRect(1, 2, 3, 4);
    EXPECT_EQ(r.Right, 3);
    EXPECT_EQ(frxMakePoint(5, 6).Y, 6);
}

TEST(FrxUtils, CollectionListForm) {
    TCollection source;
    source.Add();
    source.Add();
    TMemoryStream data;
    {
        TWriter writer(&data);
        int n = 0;
        frxWriteCollection(&source, &writer, [&](TPersistent*) { return "<item n=\"" + std::to_string(n++) + "\"/>"; });
    }
    data.SetPosition(0);
    TCollection target;
    target.Add();
    std::vector<std::string> seen;
    {
        TReader reader(&data);
        frxReadCollection(&target, &reader, [&](const std::string& xml, TPersistent*) { seen.push_back(xml); });
    }
    EXPECT_EQ(target.Count(), 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"<item n=\"0\"/>", "<item n=\"1\"/>"}));
    // A long string whose length runs past the data is refused, not read.
    std::string bytes =
        "\x01\x01\x0C\xFF\xFF\xFF\x7F"
        "abc";
    TStringStream bad(bytes);
    TReader reader(&bad);
    EXPECT_THROW(frxReadCollection(&target, &reader, [](const std::string&, TPersistent*) {}), EReadError);
}

TEST(FrxUtils, ImageStripTiles) {
    struct Case {
        int width, height;
        bool disabled;
        int images, twins;
    } cases[] = {
        {48, 16, false, 3, 0},
        {64, 16, true, 2, 2},
        {32, 32, false, 4, 0},
    };
    for (const auto& c : cases) {
        TBitmap strip(c.width, c.height);
        // Tile k is filled with grey level 10*k, white in its top-left pixel.
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) {
                int k = (y / 16) * (c.width / 16) + x / 16;
                strip.SetPixel(x, y, x % 16 == 0 && y % 16 == 0 ? clWhite : RGB(10 * k, 10 * k, 10 * k));
            }
        TImageList images, twins;
        frxSplitImageStrip(&strip, 16, 16, &images, c.disabled ? &twins : nullptr);
        EXPECT_EQ(images.Count(), c.images) << c.width;
        EXPECT_EQ(twins.Count(), c.twins) << c.width;
        if (c.disabled) {
            TBitmap tile;
            twins.GetBitmap(0, &tile);
            EXPECT_EQ(tile.GetPixel(0, 0), TColor(0xE0E0E0));  // white made pale
        }
    }
}
