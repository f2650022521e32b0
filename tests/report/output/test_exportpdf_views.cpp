// The PDF export over real report objects: a small report page made in code goes through the
// filter's steps as the export loop calls them, and the document is read back.

#include <gtest/gtest.h>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxExportPDF.h"
#include "report/output/frxPDFFile.h"
#include "tests/report/output/PdfTestUtil.h"

namespace {
int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}

class PdfExportViews : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        frx::Startup();
        Page = new TfrxReportPage(&Report);
        Page->LeftMargin = Page->TopMargin = Page->RightMargin = Page->BottomMargin = 10;
        Title = Memo("Vysvědčení", 0, 0, 680, 30);
        Title->GetFont()->SetName("Times New Roman");
        Title->GetFont()->SetSize(16);
        Title->GetFont()->SetStyle({fsBold});
        Title->HAlign = haCenter;
        Title->GetFrame()->Typ = frxAllSides;
        Pupil = Memo("Jméno: Jiří Novák\r\nTřída: 5.A", 0, 40, 300, 44);
        Pupil->GetFrame()->DropShadow = true;
        Pupil->GetHighlight()->Active = true;
        Pupil->GetHighlight()->Color = clYellow;
        Rotated = Memo("Svisle", 400, 40, 20, 80);
        Rotated->SetRotation(90);
        auto* line = new TfrxLineView(Page);
        line->SetBounds(0, 100, 680, 0);
        auto* box = new TfrxShapeView(Page);
        box->SetBounds(0, 110, 100, 50);
        auto* picture = new TfrxPictureView(Page);
        picture->SetBounds(120, 110, 40, 40);
        TBitmap bmp(8, 8);
        bmp.Canvas()->Brush()->SetColor(clBlue);
        bmp.Canvas()->FillRect(Rect(0, 0, 8, 8));
        picture->GetPicture()->SetGraphic(&bmp);
    }
    TfrxCustomMemoView* Memo(const std::string& text, double l, double t, double w, double h) {
        auto* m = new TfrxMemoView(Page);
        m->SetBounds(l, t, w, h);
        m->GetFont()->SetName("Arial");
        m->GetFont()->SetSize(10);
        m->SetText(text);
        return m;
    }
    // The steps of the export loop for the one page, placed at its margins.
    void Export(TfrxPDFExport& e) {
        e.Report = &Report;
        ASSERT_TRUE(e.Start());
        e.StartPage(Page, 0);
        Page->SetLeft(Page->LeftMargin * frxPixelsPerMM);
        Page->SetTop(Page->TopMargin * frxPixelsPerMM);
        TList* all = Page->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i) e.ExportObject(static_cast<TfrxComponent*>(all->Items(i)));
        e.FinishPage(Page, 0);
        e.Finish();
    }
    // The first page's content stream of an uncompressed export.
    std::string ExportedContent() {
        TStringStream target;
        TfrxPDFExport e(nullptr);
        e.Stream = &target;
        e.Compressed = false;
        Export(e);
        const std::string& doc = target.DataString();
        return doc.substr(doc.find("stream\r\n", doc.find("/Length ")));
    }
    TfrxReport Report;
    TfrxReportPage* Page;
    TfrxCustomMemoView *Title, *Pupil, *Rotated;
};
}  // namespace

TEST_F(PdfExportViews, SmallPageReadsBack) {
    pdftest::TempDir dir;
    for (bool compressed : {true, false}) {
        TfrxPDFExport e(nullptr);
        e.SetFileName(dir.File("page.pdf"));
        e.Compressed = compressed;
        e.EmbeddedFonts = !compressed;
        Export(e);
        if (pdftest::HaveTool("qpdf")) {
            int rc = -1;
            const std::string out = pdftest::Run("qpdf --check " + dir.File("page.pdf"), &rc);
            EXPECT_EQ(rc, 0) << out;
        }
        const std::string text = pdftest::Run("pdftotext -layout " + dir.File("page.pdf") + " -");
        for (const char* expected : {"Vysvědčení", "Jméno: Jiří Novák", "Třída: 5.A"})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
        EXPECT_EQ(text.find("Svisle"), std::string::npos);  // a turned text goes as a picture
        const std::string info = pdftest::Run("pdfinfo " + dir.File("page.pdf"));
        // The paper's exact size, not the page's whole report pixels (794 x 1123 for A4), and the
        // creator is the application object's component name, which is empty.
        EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
        EXPECT_NE(info.find("595.276 x 841.89 pts (A4)"), std::string::npos) << info;
        EXPECT_NE(info.find("Creator:         \n"), std::string::npos) << info;
        EXPECT_NE(info.find("Producer:        VuzoVaruza 3\n"), std::string::npos) << info;
    }
}

TEST_F(PdfExportViews, ObjectsBecomeTheirOperatorsAndStayUnchanged) {
    const std::string content = ExportedContent();
    // Title and the pupil's two lines are text; the turned memo and the picture are images.
    EXPECT_EQ(Count(content, "BT\r\n"), 3);
    EXPECT_EQ(Count(content, "\r\nBI\r\n"), 2);
    EXPECT_NE(content.find("(Vysv\xEC"
                           "d\xE8"
                           "en\xED) Tj"),
        std::string::npos);
    EXPECT_NE(content.find("1 1 0 rg\r\n"), std::string::npos);  // the highlight's yellow fill
    EXPECT_NE(content.find("/F2 10 Tf\r\n1 0 0 rg\r\n"), std::string::npos);  // and its red font
    EXPECT_EQ(Count(content, " re\r\nB\r\n"), 2 + 1);  // the shadow's two bands, the rectangle
    EXPECT_NE(content.find("/F0 16 Tf"), std::string::npos);
    EXPECT_NE(content.find("/F2 10 Tf"), std::string::npos);
    // The prepared objects are as they were: a second export would see the same.
    EXPECT_EQ(Pupil->GetWidth(), 300);
    EXPECT_EQ(Pupil->GetHeight(), 44);
    EXPECT_EQ(Pupil->Color, clTransparent);
    EXPECT_EQ(Rotated->GetFrame()->Width, 1);
}

TEST_F(PdfExportViews, EmptyPicturesAreNoImages) {
    // A page's background reaches the filter as an empty picture object; with nothing to show it
    // writes nothing, and with a colour or a frame only those.
    auto* bare = new TfrxPictureView(Page);
    bare->SetName("_pagebackground");
    bare->SetBounds(0, 0, 680, 1000);
    auto* coloured = new TfrxPictureView(Page);
    coloured->SetBounds(200, 110, 40, 40);
    coloured->Color = clLime;
    coloured->GetFrame()->Typ = frxAllSides;
    const std::string content = ExportedContent();
    EXPECT_EQ(Count(content, "\r\nBI\r\n"), 2);  // the turned memo and the blue picture only
    EXPECT_NE(content.find("0 1 0 rg\r\n"), std::string::npos);  // the lime fill
}
