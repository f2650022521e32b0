// The pictures on the windows' bitmap buttons: every button that should carry one does, each is
// a small drawing on a transparent background, and picture and caption fit the button side by
// side, so no caption is clipped.

#include <QtGui/QImage>

#include <memory>
#include <set>

#include "app/Glyphs.h"
#include "app/UFSelProskrt.h"
#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

int OpaquePixels(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qAlpha(img.pixel(x, y)) != 0;
    return n;
}

bool Inside(const TRect& inner, const TRect& outer) {
    return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
        inner.Bottom <= outer.Bottom;
}

// Checks every bitmap button of form; plain names those that carry only a caption.
void CheckButtons(TForm* form, const std::set<std::string>& plain) {
    int checked = 0;
    for (int i = 0; i < form->GetComponentCount(); ++i) {
        auto* b = dynamic_cast<TBitBtn*>(form->GetComponent(i));
        if (!b) continue;
        ++checked;
        const std::string what = form->GetName() + "." + b->GetName() + " \"" + b->GetCaption() + "\"";
        const QImage glyph = GlyphImage(b->GetGlyph(), b->GetNumGlyphs(), bsUp);
        if (plain.count(b->GetName())) {
            EXPECT_TRUE(glyph.isNull()) << what;
        } else {
            ASSERT_FALSE(glyph.isNull()) << what;
            EXPECT_EQ(glyph.size(), QSize(kGlyphSize, kGlyphSize)) << what;
            const int opaque = OpaquePixels(glyph);
            EXPECT_GT(opaque, 20) << what;
            EXPECT_LT(opaque, kGlyphSize * kGlyphSize - 30) << what << ": the button's face shows around it";
        }
        const TButtonGlyphLayout face = b->FaceLayout();
        const TRect inner = Rect(3, 3, b->GetWidth() - 3, b->GetHeight() - 3);
        if (!glyph.isNull()) {
            EXPECT_TRUE(Inside(face.Glyph, inner)) << what;
        }
        if (!b->GetCaption().empty()) {
            EXPECT_TRUE(Inside(face.Text, inner)) << what << ": caption clipped";
            if (!glyph.isNull()) {
                EXPECT_LE(face.Glyph.Right, face.Text.Left) << what;
            }
        }
    }
    EXPECT_GT(checked, 0) << form->GetName();
}

TEST_F(AppTest, BitmapButtonsShowAPictureBesideTheirCaption) {
    Start();
    CheckButtons(FMain, {});
    CheckButtons(FPredmet, {});
    CheckButtons(FMessageBox, {});
    std::unique_ptr<TFNastaveni> settings(new TFNastaveni(FMain));
    CheckButtons(settings.get(), {});
    std::unique_ptr<TFSelProskrt> chooser(new TFSelProskrt(FMain));
    CheckButtons(chooser.get(), {});
    // The editor's column buttons are too narrow for a picture: their captions say it all.
    std::unique_ptr<TFVys> editor(new TFVys(FMain));
    CheckButtons(editor.get(),
        {"BitBtn17", "BitBtn8", "BitBtn12", "BitBtn6", "BitBtn13", "BitBtn7", "BitBtn16", "BitBtn9", "BitBtn14",
            "BitBtn10", "BitBtn15", "BitBtn11"});
}

TEST_F(AppTest, TheMainWindowsCommandsHaveDistinctPictures) {
    Start();
    std::vector<QImage> seen;
    for (TBitBtn* b : {FMain->bNew, FMain->bEdit, FMain->bCopy, FMain->bDelete, FMain->bTisk, FMain->bNastaveni,
             FMain->bHelp, FMain->bInfo, FMain->BitBtn2}) {
        const QImage glyph = GlyphImage(b->GetGlyph(), 1, bsUp);
        for (const QImage& other : seen) EXPECT_NE(glyph, other) << b->GetName();
        seen.push_back(glyph);
    }
    // The help button is its picture alone.
    EXPECT_EQ(FMain->bHelp->GetCaption(), "");
}

}  // namespace
}  // namespace apptest
