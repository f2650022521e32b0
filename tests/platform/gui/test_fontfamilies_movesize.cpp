// The font families with their TrueType flag and character sets, and the end of a move or size
// that the window system made, told once as WM_EXITSIZEMOVE.
#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtWidgets/QWidget>

#include <algorithm>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/TestKit.h"

namespace {

TEST(FontFamilies, OutlineFontsAreTrueTypeWithTheirCharsets) {
    TestKit::EnsureApplication();
    const std::vector<TFontFamily> families = EnumFontFamilies();
    ASSERT_FALSE(families.empty());
    EXPECT_TRUE(std::is_sorted(
        families.begin(), families.end(), [](const TFontFamily& a, const TFontFamily& b) { return a.Name < b.Name; }));
    auto it = std::find_if(
        families.begin(), families.end(), [](const TFontFamily& f) { return f.Name == "DejaVu Sans"; });
    ASSERT_NE(it, families.end());
    EXPECT_EQ(it->FontType, TRUETYPE_FONTTYPE);
    // Latin letters with Czech accents, and Cyrillic.
    for (TFontCharset cs : {ANSI_CHARSET, EASTEUROPE_CHARSET, TFontCharset(204)})
        EXPECT_NE(std::find(it->Charsets.begin(), it->Charsets.end(), cs), it->Charsets.end()) << int(cs);
    EXPECT_TRUE(std::is_sorted(it->Charsets.begin(), it->Charsets.end()));
}

// Waits up to ms handling events.
void Settle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) TestKit::ProcessEvents();
}

TEST(MoveSizeEnd, AWindowSystemMoveOrSizeEndsWithOneExitSizeMove) {
    TestKit::EnsureApplication();
    TForm form(nullptr);
    form.SetBounds(100, 100, 300, 200);
    TestKit::ShowAndActivate(&form);
    Settle(400);
    TestKit::TMessageSpy spy(&form);
    auto exits = [&] {
        const std::vector<UINT> ids = spy.Ids();
        return std::count(ids.begin(), ids.end(), UINT(WM_EXITSIZEMOVE));
    };
    // The program's own moves are no user's drag.
    form.SetBounds(120, 110, 320, 210);
    Settle(400);
    EXPECT_EQ(exits(), 0);
    // A drag: several moves and a resize by the window system, then stillness.
    for (int i = 1; i <= 5; ++i) form.OuterWidget()->move(120 + 10 * i, 110 + 5 * i);
    form.OuterWidget()->resize(340, 230);
    TestKit::ProcessEvents();
    EXPECT_EQ(exits(), 0);
    Settle(500);
    EXPECT_EQ(exits(), 1);
    EXPECT_EQ(form.GetWidth(), 340);
}

}  // namespace
