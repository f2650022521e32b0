// "Ukázka před tiskem" of each of the card's four templates: the preview opens on the filled-in
// card at 100 %, says which page it shows, keeps to the one page when paged through, and fits
// the whole page on request. With $KAROMIL_SHOT_DIR each preview is kept there at 100 % and as
// a whole page, to be looked at.

#include <cstdlib>
#include <string>
#include <vector>

#include "report/output/frxPreview.h"
#include "report/output/frxPreviewForm.h"
#include "tests/app/CardFixture.h"

namespace apptest {
namespace {

TEST_F(FilledCardTest, EachTemplatesPreviewShowsTheCardAndPagesThrough) {
    Start();
    const char* shotDir = std::getenv("KAROMIL_SHOT_DIR");
    const std::string shots = shotDir && *shotDir ? shotDir : "";
    const std::vector<std::string> names{"vysvedceni-predni", "opis-predni", "vysvedceni-zadni", "opis-zadni"};
    std::vector<std::string> status;
    TModalScript script;
    AnswerHalfYear(script, 4);
    for (const std::string& name : names)
        script.On("frxPreviewForm", [&, name](TCustomForm* form) {
            auto* f = static_cast<TfrxPreviewForm*>(form);
            TfrxPreview* p = f->Preview();
            TestKit::ProcessEvents();
            EXPECT_EQ(p->PageCount(), 1) << name;
            EXPECT_EQ(p->GetPageNo(), 1) << name;
            EXPECT_DOUBLE_EQ(p->GetZoom(), 1) << name;
            status.push_back(f->StatusBar->GetPanels()->Items(0)->GetText());
            // Paging past either end stays on the card's one page.
            p->SetFocus();
            for (int key : {Qt::Key_PageDown, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Home}) {
                TestKit::Key(key);
                EXPECT_EQ(p->GetPageNo(), 1) << name << " key " << key;
            }
            Press(f->ZoomWholePageB);
            TestKit::ProcessEvents();
            EXPECT_EQ(p->GetZoomMode(), zmWholePage) << name;
            EXPECT_LT(p->GetZoom(), 1) << name;
            if (!shots.empty()) {
                TestKit::Grab(f).save(QString::fromStdString(shots + "/preview-" + name + "-page.png"));
                f->SetBounds(0, 0, 900, 1160);  // room for the page's width at 100 %
                Press(f->Zoom100B);
                TestKit::ProcessEvents();
                TestKit::Grab(f).save(QString::fromStdString(shots + "/preview-" + name + "-100.png"));
            }
            Press(f->CancelB);
        });
    InPrintWindow(
        [&](TFTisk* f) {
            for (TBitBtn* preview : {f->bPreview, f->BitBtn7, f->BitBtn6, f->BitBtn10}) Press(preview);
        },
        script);
    EXPECT_EQ(status, std::vector<std::string>(4, "1 strana z 1"));
}

}  // namespace
}  // namespace apptest
