// The editors' start-up and shut-down, the string table entries, the shared pictures and image
// lists, the size grip and the currency display format.

#include "EditorsFixture.h"
#include "grid/editors/dxCommon.h"
#include "grid/editors/dxExEdtr.h"
#include "grid/editors/dxStrings.h"
#include "platform/gui/Application.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Resources.h"
#include "platform/gui/StringTable.h"

using namespace gridtest;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
    void TearDown() override {
        while (dxExEdtrStarted()) dxExEdtrShutdown();
    }
};

TEST_F(StartupTest, StartUpFillsTheTextsConstantsAndImagesOnce) {
    dxExEdtrStartup();
    EXPECT_EQ(dxInvalidDateText(), "Invalid Date");
    EXPECT_EQ(dxToolbarText(ptbCut).Caption, "Cu&t");
    EXPECT_EQ(dxToolbarText(ptbCut).Hint, "Cut");
    EXPECT_EQ(dxToolbarText(ptbLoad).Caption, "&Load...");
    EXPECT_EQ(dxToolbarText(ptbSave).Hint, "Save to file...");
    EXPECT_EQ(dxToolbarText(ptbCustom).Caption, "");
    EXPECT_EQ(dxToolbarText(ptbCustom).Hint, "");
    EXPECT_EQ(dxPopupButtonCaption(0), "&OK");
    EXPECT_EQ(dxPopupButtonCaption(2), "&Close");
    EXPECT_EQ(dxSmartWord(0), "TODAY");
    EXPECT_EQ(dxSmartWord(19), "NOW");
    EXPECT_NE(dxPictureCanvas(), nullptr);
    ASSERT_NE(dxToolbarImages(), nullptr);
    EXPECT_EQ(dxToolbarImages()->Count(), 6);
    EXPECT_EQ(dxToolbarImages()->GetWidth(), 16);
    ASSERT_NE(dxBlobImages(), nullptr);
    EXPECT_EQ(dxBlobImages()->Count(), 8);
    EXPECT_EQ(dxBlobImages()->GetWidth(), 18);
    EXPECT_EQ(dxBlobImages()->GetHeight(), 16);
    EXPECT_GT(dxCheckBoxSize().cx, 0);
    EXPECT_TRUE(Screen->HasCursor(crdxHandPoint));
}

TEST_F(StartupTest, TheTimeConstantsStopBefore24Hours) {
    dxExEdtrStartup();
    EXPECT_DOUBLE_EQ(dxOneSecond(), 1.0 / 86400);
    EXPECT_DOUBLE_EQ(dxOneMinute(), 60.0 / 86400);
    EXPECT_DOUBLE_EQ(dxOneHour(), 1.0 / 24);
    EXPECT_DOUBLE_EQ(dxMinTime(), 0);
    EXPECT_DOUBLE_EQ(dxMaxTime(), (23 * 3600 + 59 * 60 + 59) / 86400.0);
    EXPECT_LT(dxMaxTime(), 1.0);
}

TEST_F(StartupTest, OnlyTheBalancingShutDownReleases) {
    dxExEdtrStartup();
    TImageList* images = dxToolbarImages();
    dxExEdtrStartup();
    EXPECT_EQ(dxToolbarImages(), images) << "the second start-up does no work";
    dxExEdtrShutdown();
    EXPECT_TRUE(dxExEdtrStarted());
    EXPECT_NE(dxToolbarImages(), nullptr);
    dxExEdtrShutdown();
    EXPECT_FALSE(dxExEdtrStarted());
    EXPECT_EQ(dxToolbarImages(), nullptr);
    EXPECT_EQ(dxPictureCanvas(), nullptr);
    EXPECT_EQ(dxToolbarText(ptbCut).Caption, "");
    EXPECT_EQ(dxSmartWord(0), "TODAY") << "the built-in word is back";
    dxExEdtrShutdown();  // unbalanced: nothing happens
    EXPECT_FALSE(dxExEdtrStarted());
}

TEST_F(StartupTest, ATranslatedStringTableChangesTheTextsButNotTheNumbers) {
    const std::string oldCaption = LoadStr(38914), oldWord = LoadStr(38928), oldValid = dxLoadStr(dxSInvalidInput);
    RegisterStringResource(38914, "Vyj&mout");
    RegisterStringResource(38928, "DNES");
    RegisterStringResource(38948, "Neplatná hodnota. Změny zrušíte klávesou Esc");
    dxExEdtrStartup();
    EXPECT_EQ(dxToolbarText(ptbCut).Caption, "Vyj&mout");
    EXPECT_EQ(dxSmartWord(0), "DNES");
    EXPECT_EQ(dxLoadStr(dxSInvalidInput), "Neplatná hodnota. Změny zrušíte klávesou Esc");
    dxAddEditorStrings();  // the built-in texts never undo a translation
    EXPECT_EQ(LoadStr(38914), "Vyj&mout");
    RegisterStringResource(38914, oldCaption);
    RegisterStringResource(38928, oldWord);
    RegisterStringResource(38948, oldValid);
}

TEST_F(StartupTest, TheStringTableHasEveryEntryOfTheEditorFamily) {
    struct Entry {
        int Id;
        const char* Text;
    };
    for (const Entry e : {Entry{38901, "True"}, Entry{38902, "False"}, Entry{38903, "Today"}, Entry{38904, "Clear"},
             Entry{38906, "&Cancel"}, Entry{38919, "&Save To..."}, Entry{38924, "Load from file..."},
             Entry{38926, "Toolbox"}, Entry{38945, "BOM"}, Entry{38949, "&Undo"}, Entry{38950, "&Redo"},
             Entry{38951, "Error"}, Entry{38952, "Cu&t"}, Entry{38956, "Select &All"}})
        EXPECT_EQ(dxLoadStr(e.Id), e.Text) << e.Id;
    EXPECT_EQ(dxLoadStr(38908), "") << "no entry between the groups";
}

// --- pictures -------------------------------------------------------------------------------------

TEST_F(StartupTest, EveryNamedPictureExistsWithItsSizeAndTransparentBackground) {
    for (const char* name :
        {"DXTOOL_CUT", "DXTOOL_COPY", "DXTOOL_PASTE", "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE"}) {
        auto b = dxLoadEditorBitmap(name);
        EXPECT_EQ(b->GetWidth(), 16) << name;
        EXPECT_EQ(b->GetHeight(), 16) << name;
        // Something is drawn over the transparent colour of the bottom-left pixel.
        const TColor key = b->GetPixel(0, 15);
        EXPECT_LT(CountColor(*b, Rect(0, 0, 16, 16), key), 16 * 16 - 10) << name;
    }
    for (const char* name : {"DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL", "DXINPLACE_MEMO",
             "DXINPLACE_PICT_NULL", "DXINPLACE_PICT", "DXINPLACE_OLE_NULL", "DXINPLACE_OLE"}) {
        auto b = dxLoadEditorBitmap(name);
        EXPECT_EQ(b->GetWidth(), 18) << name;
        EXPECT_EQ(b->GetHeight(), 16) << name;
        EXPECT_EQ(b->GetPixel(0, 0), clOlive) << name;
    }
    EXPECT_THROW(dxLoadEditorBitmap("DXTOOL_PRINT"), EResNotFound);
}

TEST_F(StartupTest, TheBlobIconsAreMaskedWithOlive) {
    auto list = dxLoadBlobIcons();
    auto b = WhiteBitmap(20, 20);
    list->Draw(b->Canvas(), 0, 0, 1);
    EXPECT_EQ(b->GetPixel(0, 0), clWhite) << "olive is transparent";
    EXPECT_EQ(b->GetPixel(3, 5), clBlack) << "the document's outline";
}

// --- size grip ------------------------------------------------------------------------------------

TEST_F(StartupTest, TheSizeGripFacesItsCorner) {
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    const TColor face = ColorToRGB(clBtnFace);
    const TRect area = Rect(10, 10, 110, 80);
    for (int corner : {dxGripTopLeft, dxGripTopRight, dxGripBottomLeft, dxGripBottomRight}) {
        const bool right = corner == dxGripTopRight || corner == dxGripBottomRight;
        const bool top = corner == dxGripTopLeft || corner == dxGripTopRight;
        auto b = std::make_unique<TBitmap>(120, 90);
        FillRect(b->Canvas()->Handle(), Rect(0, 0, 120, 90), clLime);
        TRect r = area;
        dxDrawSizeGrip(b->Canvas()->Handle(), r, corner);
        const TRect square = Bounds(right ? 110 - w : 10, top ? 10 : 80 - h, w, h);
        EXPECT_EQ(r, square) << corner;
        EXPECT_EQ(CountColor(*b, Rect(0, 0, 120, 90), clLime), 120 * 90 - w * h) << "only the square";
        // Button face along the two outer sides.
        const TRect vertical = right ? Rect(square.Right - 2, square.Top, square.Right, square.Bottom)
                                     : Rect(square.Left, square.Top, square.Left + 2, square.Bottom);
        const TRect horizontal = top ? Rect(square.Left, square.Top, square.Right, square.Top + 2)
                                     : Rect(square.Left, square.Bottom - 2, square.Right, square.Bottom);
        EXPECT_EQ(CountColor(*b, vertical, face), 2 * h) << corner;
        EXPECT_EQ(CountColor(*b, horizontal, face), 2 * w) << corner;
        // The strokes crowd the corner the grip faces; the opposite corner is plain face.
        const TRect grip = Rect(square.Left + (right ? 0 : 2), square.Top + (top ? 2 : 0),
            square.Right - (right ? 2 : 0), square.Bottom - (top ? 0 : 2));
        const TRect tip = Bounds(right ? grip.Right - 6 : grip.Left, top ? grip.Top : grip.Bottom - 6, 6, 6);
        const TRect far = Bounds(right ? grip.Left : grip.Right - 4, top ? grip.Bottom - 4 : grip.Top, 4, 4);
        EXPECT_GT(6 * 6 - CountColor(*b, tip, face), 6) << corner;
        EXPECT_EQ(CountColor(*b, far, face), 16) << corner;
    }
}

// --- currency -------------------------------------------------------------------------------------

struct CurrencyCase {
    const char* Name;
    int Decimals;
    const char* Symbol;
    int Format;
    const char* Expected;
};

class CurrencyFormat : public ::testing::TestWithParam<CurrencyCase> {};

TEST_P(CurrencyFormat, FromTheLocalesCurrencySettings) {
    const CurrencyCase& c = GetParam();
    TFormatSettings fs = TFormatSettings::Czech();
    fs.CurrencyDecimals = uint8_t(c.Decimals);
    fs.CurrencyString = c.Symbol;
    fs.CurrencyFormat = uint8_t(c.Format);
    EXPECT_EQ(dxCurrencyDisplayFormat(fs), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CurrencyFormat,
    ::testing::Values(CurrencyCase{"CzechAfterWithSpace", 2, "Kč", 3, ",0.00 Kč;-,0.00 Kč"},
        CurrencyCase{"Before", 2, "$", 0, "$,0.00;-$,0.00"}, CurrencyCase{"After", 1, "€", 1, ",0.0€;-,0.0€"},
        CurrencyCase{"BeforeWithSpace", 3, "EUR", 2, "EUR ,0.000;-EUR ,0.000"},
        CurrencyCase{"NoDecimals", 0, "Kč", 3, ",0. Kč;-,0. Kč"}, CurrencyCase{"NoSymbol", 2, "", 0, ",0.00;-,0.00"},
        CurrencyCase{"SeparatorsInTheSymbolAreQuoted", 2, "s.r.o,", 3, ",0.00 s'.'r'.'o',';-,0.00 s'.'r'.'o','"}),
    [](const ::testing::TestParamInfo<CurrencyCase>& i) { return std::string(i.param.Name); });

TEST(CurrencyFormatOfTheProcess, ReadsTheProcesssSettings) {
    std::string format;
    dxCurrencyDisplayFormat(format);
    EXPECT_EQ(format, dxCurrencyDisplayFormat(FormatSettings()));
}

}  // namespace
