// Bitmap buttons and speed buttons.
#include <gtest/gtest.h>

#include "platform/gui/Buttons.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class ButtonsTest : public formstest::FormFixture {
protected:
    ButtonsTest() : FormFixture(400, 300) {}
    // A 16 x 16 glyph strip of n pictures; picture i is filled with colours[i], the corner
    // pixel of each is the transparent magenta.
    static std::unique_ptr<TBitmap> Strip(std::vector<TColor> colours) {
        auto b = std::make_unique<TBitmap>(16 * int(colours.size()), 16);
        for (size_t i = 0; i < colours.size(); ++i) {
            b->Canvas()->Brush()->SetColor(colours[i]);
            b->Canvas()->FillRect(Bounds(int(i) * 16, 0, 16, 16));
        }
        b->SetPixel(0, 15, clFuchsia);
        return b;
    }
};

TEST(ButtonLayout, GlyphAndTextPlacedByLayoutMarginAndSpacing) {
    struct Case {
        TButtonLayout Layout;
        int Margin, Spacing;
        TRect Glyph, Text;
    };
    const TRect client = Rect(0, 0, 100, 40);
    const TSize glyph{16, 16}, text{40, 14};
    const Case cases[] = {
        {blGlyphLeft, -1, 4, Bounds(20, 12, 16, 16), Bounds(40, 13, 40, 14)},  // pair centred
        {blGlyphLeft, 5, 4, Bounds(5, 12, 16, 16), Bounds(25, 13, 40, 14)},
        {blGlyphRight, 5, 2, Bounds(79, 12, 16, 16), Bounds(37, 13, 40, 14)},
        {blGlyphLeft, -1, -1, Bounds(14, 12, 16, 16), Bounds(44, 13, 40, 14)},  // thirds
        {blGlyphTop, 2, 1, Bounds(42, 2, 16, 16), Bounds(30, 19, 40, 14)},
        {blGlyphBottom, 2, 1, Bounds(42, 22, 16, 16), Bounds(30, 7, 40, 14)},
    };
    for (const Case& c : cases) {
        const TButtonGlyphLayout l = LayoutGlyph(client, glyph, text, c.Layout, c.Margin, c.Spacing);
        EXPECT_EQ(l.Glyph, c.Glyph) << int(c.Layout) << " " << c.Margin << " " << c.Spacing;
        EXPECT_EQ(l.Text, c.Text) << int(c.Layout) << " " << c.Margin << " " << c.Spacing;
    }
}

TEST(ButtonLayout, GlyphStripGivesThePictureOfEachState) {
    EnsureApplication();
    struct Case {
        int NumGlyphs;
        TButtonState State;
        QRgb Expected;
    };
    TBitmap strip(48, 16);
    const TColor colours[] = {clRed, clGreen, clBlue};
    for (int i = 0; i < 3; ++i) {
        strip.Canvas()->Brush()->SetColor(colours[i]);
        strip.Canvas()->FillRect(Bounds(i * 16, 0, 16, 16));
    }
    strip.SetPixel(0, 15, clFuchsia);
    const Case cases[] = {
        {3, bsUp, qRgb(255, 0, 0)}, {3, bsDisabled, qRgb(0, 128, 0)}, {3, bsDown, qRgb(0, 0, 255)},
        {3, bsExclusive, qRgb(255, 0, 0)},  // no fourth picture: the up one
    };
    for (const Case& c : cases) {
        const QImage img = GlyphImage(&strip, c.NumGlyphs, c.State);
        ASSERT_EQ(img.width(), 16);
        EXPECT_EQ(img.pixel(8, 8), c.Expected | 0xFF000000u) << int(c.State);
    }
    // The bottom-left colour is transparent wherever it occurs in the strip.
    EXPECT_EQ(qAlpha(GlyphImage(&strip, 3, bsUp).pixel(0, 15)), 0);
    // One picture only: disabled is a grey version of it.
    const QImage grey = GlyphImage(&strip, 1, bsDisabled);
    EXPECT_EQ(qRed(grey.pixel(8, 8)), qGreen(grey.pixel(8, 8)));
}

TEST_F(ButtonsTest, KindBringsCaptionResultAndDefaultFlags) {
    struct Case {
        TBitBtnKind Kind;
        const char* Caption;
        TModalResult Result;
        bool Default, Cancel;
    };
    const Case cases[] = {
        {bkOK, "OK", mrOk, true, false},
        {bkCancel, "Storno", mrCancel, false, true},
        {bkYes, "&Ano", mrYes, true, false},
        {bkNo, "&Ne", mrNo, false, true},
        {bkRetry, "&Opakovat", mrRetry, false, false},
        {bkClose, "&Zavřít", mrNone, false, false},
    };
    for (const Case& c : cases) {
        auto* b = Add<TBitBtn>(10, 10, 90, 30);
        b->SetKind(c.Kind);
        EXPECT_EQ(b->GetCaption(), c.Caption);
        EXPECT_EQ(b->GetModalResult(), c.Result) << c.Caption;
        EXPECT_EQ(b->GetDefault(), c.Default) << c.Caption;
        EXPECT_EQ(b->GetCancel(), c.Cancel) << c.Caption;
        delete b;
    }
}

TEST_F(ButtonsTest, StoredCaptionWinsOverTheKindsOwn) {
    auto* b = new TBitBtn(Form);
    b->BeginLoading();
    b->SetCaption(" Zavřít okno     ");
    b->SetKind(bkCancel);
    b->Loaded();
    EXPECT_EQ(b->GetCaption(), " Zavřít okno     ");
    EXPECT_EQ(b->GetModalResult(), mrCancel);
}

TEST_F(ButtonsTest, EnterOnDefaultBitmapButtonEndsTheModalForm) {
    auto* ok = Add<TBitBtn>(10, 10, 90, 30);
    ok->SetCaption("OK");
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    auto* no = Add<TBitBtn>(110, 10, 90, 30);
    no->SetCaption("  NE");
    no->SetModalResult(mrNo);
    no->SetTabStop(false);
    EXPECT_EQ(formstest::RunModal(Form, [] { Key(Qt::Key_Return); }), mrOk);
}

TEST_F(ButtonsTest, CloseKindClosesItsForm) {
    auto* b = Add<TBitBtn>(10, 10, 90, 30);
    b->SetKind(bkClose);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(formstest::RunModal(Form, [b] { b->Click(); }), mrCancel);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonsTest, BitmapButtonPaintsGlyphWhereTheLayoutSays) {
    auto* b = Add<TBitBtn>(10, 10, 120, 40);
    b->SetCaption("Tisk vysvědčení");
    auto glyph = Strip({clRed});
    b->SetGlyph(glyph.get());
    b->SetLayout(blGlyphTop);
    ShowAndActivate(Form);
    const TButtonGlyphLayout l = b->FaceLayout();
    EXPECT_LT(l.Glyph.Bottom, l.Text.Top + 1);
    const QImage img = Grab(b);
    EXPECT_EQ(img.pixel(l.Glyph.Left + 8, l.Glyph.Top + 8) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(ButtonsTest, SpeedButtonsOfAGroupExcludeEachOther) {
    auto* a = Add<TSpeedButton>(10, 10, 25, 25);
    auto* b = Add<TSpeedButton>(40, 10, 25, 25);
    auto* single = Add<TSpeedButton>(70, 10, 25, 25);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    a->SetDown(true);
    b->SetDown(true);
    EXPECT_FALSE(a->GetDown());
    EXPECT_TRUE(b->GetDown());
    b->SetDown(false);  // the last one down stays down without AllowAllUp
    EXPECT_TRUE(b->GetDown());
    a->SetAllowAllUp(true);  // shared by the whole group
    b->SetDown(false);
    EXPECT_FALSE(b->GetDown());
    single->SetDown(true);  // outside a group nothing stays down
    EXPECT_FALSE(single->GetDown());
}

TEST_F(ButtonsTest, ClickingSpeedButtonPressesItAndFiresOnClick) {
    auto* a = Add<TSpeedButton>(10, 10, 25, 25);
    auto* b = Add<TSpeedButton>(40, 10, 25, 25);
    a->SetGroupIndex(3);
    b->SetGroupIndex(3);
    a->SetFlat(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    a->SetDown(true);
    ShowAndActivate(Form);
    TestKit::Click(b, Point(5, 5));
    ProcessEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(b->GetDown());
    EXPECT_FALSE(a->GetDown());
    // Released outside the button: no click, nothing changes.
    MouseDown(a, Point(5, 5));
    MouseUp(a, Point(60, 60));
    ProcessEvents();
    EXPECT_FALSE(a->GetDown());
}

TEST_F(ButtonsTest, PublishedProperties) {
    for (const char* name : {"Kind", "Glyph", "NumGlyphs", "Layout", "ModalResult", "Default", "Cancel"})
        EXPECT_NE(GetPropInfo(TBitBtn::StaticClass(), name), nullptr) << name;
    for (const char* name : {"GroupIndex", "Down", "Flat", "Glyph", "AllowAllUp"})
        EXPECT_NE(GetPropInfo(TSpeedButton::StaticClass(), name), nullptr) << name;
}

}  // namespace
