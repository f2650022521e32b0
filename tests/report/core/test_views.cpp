// Views drawn onto a bitmap: frames, shadows and lines pixel by pixel at a few scales, shapes,
// pictures (aspect ratio, blob data that is no picture, zero-sized graphics); the report page's
// paper, orientation and columns.

#include <gtest/gtest.h>

#include <set>

#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"

namespace {
std::unique_ptr<TBitmap> White(int w, int h) {
    EnsureQtApplication();
    auto b = std::make_unique<TBitmap>(w, h);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

// The painted rows of column x between y0 and y1 (inclusive).
std::set<int> PaintedRows(TBitmap* b, int x, int y0, int y1) {
    std::set<int> rows;
    for (int y = y0; y <= y1; ++y)
        if (b->GetPixel(x, y) != clWhite) rows.insert(y);
    return rows;
}

struct Px {
    int x, y;
    TColor colour;
};
void ExpectPixels(TBitmap* b, std::initializer_list<Px> table, const char* what) {
    for (const Px& p : table) EXPECT_EQ(b->GetPixel(p.x, p.y), p.colour) << what << " at " << p.x << "," << p.y;
}
}  // namespace

TEST(ViewDrawing, DrawLineWidthsAreParallelOnePixelLines) {
    struct Case {
        int width;
        std::set<int> rows;
    } cases[] = {{0, {20}}, {1, {20}}, {2, {19, 20}}, {3, {19, 20, 21}}, {4, {18, 19, 20, 21}}};
    for (const Case& c : cases) {
        auto b = White(40, 40);
        TfrxView v(nullptr);
        v.BeginDraw(b->Canvas(), 1, 1, 0, 0);
        b->Canvas()->Pen()->SetColor(clBlack);
        v.DrawLine(5, 20, 30, 20, c.width);
        EXPECT_EQ(PaintedRows(b.get(), 10, 10, 30), c.rows) << "width " << c.width;
        EXPECT_TRUE(PaintedRows(b.get(), 30, 10, 30).empty()) << "the end point is not painted, width " << c.width;
    }
}

TEST(ViewDrawing, FramesAndShadowsPixelTable) {
    {
        // Width 0: no frame, but the shadow is drawn and the rectangle shrinks by it.
        auto b = White(60, 60);
        TfrxView v(nullptr);
        v.SetBounds(10, 10, 40, 30);
        v.GetFrame()->Typ = frxAllSides;
        v.GetFrame()->Width = 0;
        v.GetFrame()->Color = clRed;
        v.GetFrame()->DropShadow = true;
        v.Draw(b->Canvas(), 1, 1, 0, 0);
        EXPECT_EQ(v.DrawRight, 46);
        EXPECT_EQ(v.DrawBottom, 36);
        ExpectPixels(b.get(),
            {{10, 10, clWhite}, {10, 20, clWhite}, {46, 20, clBlack}, {49, 20, clBlack}, {50, 20, clWhite},
                {47, 13, clWhite}, {20, 36, clBlack}, {20, 39, clBlack}, {13, 37, clWhite}, {20, 40, clWhite}},
            "shadow only");
    }
    {
        // Width 1 at scale 1: the bottom side reaches one pixel further, painting the corner.
        auto b = White(60, 60);
        TfrxView v(nullptr);
        v.SetBounds(10, 10, 20, 10);
        v.GetFrame()->Typ = frxAllSides;
        v.Draw(b->Canvas(), 1, 1, 0, 0);
        ExpectPixels(b.get(),
            {{10, 10, clBlack}, {30, 10, clBlack}, {10, 20, clBlack}, {30, 20, clBlack}, {31, 20, clWhite},
                {20, 15, clWhite}},
            "corner");
    }
    {
        // A wider shadow after a thick frame: its lines are one pixel each, so it keeps its size.
        auto b = White(80, 80);
        TfrxView thick(nullptr);
        thick.SetBounds(0, 0, 10, 10);
        thick.GetFrame()->Typ = frxAllSides;
        thick.GetFrame()->Width = 5;
        thick.Draw(b->Canvas(), 1, 1, 0, 0);
        TfrxView v(nullptr);
        v.SetBounds(20, 20, 40, 30);
        v.GetFrame()->DropShadow = true;
        v.Draw(b->Canvas(), 1, 1, 0, 0);
        EXPECT_EQ(PaintedRows(b.get(), 40, 40, 60), (std::set<int>{46, 47, 48, 49}));
    }
}

TEST(ViewDrawing, FrameWidthFollowsTheHorizontalScaleOnEverySide) {
    auto b = White(100, 60);
    TfrxView v(nullptr);
    v.SetBounds(10, 10, 20, 20);
    v.GetFrame()->Typ = frxAllSides;
    v.Draw(b->Canvas(), 2, 1, 0, 0);
    EXPECT_EQ(v.DrawFrameWidth, 2);
    int vertical = 0, horizontal = 0;
    for (int x = 15; x < 25; ++x) vertical += b->GetPixel(x, 20) != clWhite;
    for (int y = 5; y < 15; ++y) horizontal += b->GetPixel(40, y) != clWhite;
    EXPECT_EQ(vertical, horizontal);
    EXPECT_GE(vertical, 2);
}

TEST(ViewDrawing, DoubleFrameCornersMeet) {
    auto b = White(70, 60);
    TfrxView v(nullptr);
    v.SetBounds(10, 10, 40, 30);
    v.GetFrame()->Typ = frxAllSides;
    v.GetFrame()->Style = fsDouble;
    v.Draw(b->Canvas(), 1, 1, 0, 0);
    ExpectPixels(b.get(),
        {{9, 9, clBlack}, {51, 9, clBlack}, {9, 41, clBlack}, {51, 41, clBlack},  // outer corners
            {11, 11, clBlack}, {49, 11, clBlack}, {11, 39, clBlack}, {49, 39, clBlack},  // inner corners
            {10, 20, clWhite}, {30, 10, clWhite}, {8, 20, clWhite}, {12, 20, clWhite}},
        "double");
}

TEST(ViewDrawing, FillAndHatch) {
    auto b = White(40, 40);
    TfrxView v(nullptr);
    v.SetBounds(0, 0, 16, 16);
    v.Color = clYellow;
    v.BrushStyle = bsHorizontal;
    v.GetFrame()->Color = clBlue;
    v.Draw(b->Canvas(), 1, 1, 0, 0);
    ExpectPixels(b.get(), {{3, 8, clBlue}, {3, 9, clYellow}, {16, 9, clYellow}, {17, 9, clWhite}}, "hatch");
}

TEST(LineView, StraightLinesBecomeHorizontalOrVertical) {
    struct Case {
        double w, h;
        double wantW, wantH;
        TfrxFrameType side;
    } cases[] = {
        {100, 2, 100, 0, ftTop}, {2, 2, 0, 2, ftLeft},
        {-100, 2, -100, 0, ftTop},  // drawn right to left: still horizontal
    };
    for (const Case& c : cases) {
        auto b = White(120, 20);
        TfrxLineView line(nullptr);
        line.SetBounds(110, 5, c.w, c.h);
        line.Draw(b->Canvas(), 1, 1, 0, 0);
        EXPECT_DOUBLE_EQ(line.GetWidth(), c.wantW);
        EXPECT_DOUBLE_EQ(line.GetHeight(), c.wantH);
        EXPECT_EQ(line.GetFrame()->Typ, TfrxFrameTypes{c.side});
    }
}

TEST(ShapeView, RoundRectangleCornersAndDoubleStyle) {
    auto b = White(120, 60);
    TfrxShapeView s(nullptr);
    s.Shape = skRoundRectangle;
    s.SetBounds(0, 0, 100, 40);
    s.Color = clYellow;
    s.Draw(b->Canvas(), 1, 1, 0, 0);
    // Corners of 10 x 10: the arc leaves the very corner and its neighbour unpainted.
    ExpectPixels(b.get(),
        {{0, 0, clWhite}, {1, 1, clWhite}, {50, 0, clBlack}, {0, 20, clBlack}, {100, 20, clBlack}, {50, 20, clYellow}},
        "round");
    auto d = White(60, 60);
    TfrxShapeView noOutline(nullptr);
    noOutline.SetBounds(0, 0, 40, 40);
    noOutline.Color = clYellow;
    noOutline.GetFrame()->Style = fsDouble;
    noOutline.Draw(d->Canvas(), 1, 1, 0, 0);
    EXPECT_EQ(d->GetPixel(20, 0), clYellow);
}

TEST(PictureView, AspectRatioStretchAndCentre) {
    TBitmap red(200, 100);
    red.Canvas()->Brush()->SetColor(clRed);
    red.Canvas()->FillRect(Rect(0, 0, 200, 100));
    struct Case {
        bool center;
        std::initializer_list<Px> pixels;
    } cases[] = {
        {false, {{50, 25, clRed}, {50, 49, clRed}, {50, 50, clWhite}, {50, 75, clWhite}}},
        {true, {{50, 10, clWhite}, {50, 25, clRed}, {50, 74, clRed}, {50, 80, clWhite}}},
    };
    for (const Case& c : cases) {
        auto b = White(120, 120);
        b->Canvas()->Brush()->SetColor(clGreen);
        b->Canvas()->FillRect(Rect(0, 0, 120, 120));
        TfrxPictureView p(nullptr);
        p.SetBounds(0, 0, 100, 100);
        p.Center = c.center;
        p.GetPicture()->SetGraphic(&red);
        p.Draw(b->Canvas(), 1, 1, 0, 0);
        ExpectPixels(b.get(), c.pixels, c.center ? "centred" : "top");
    }
}

TEST(PictureView, BadBlobIsAnErrorLineAndZeroSizeDrawsNothing) {
    TfrxPictureView p(nullptr);
    p.GetPicture()->SetGraphic(std::make_unique<TBitmap>(4, 4).get());
    p.ImageChanged = false;
    TStringStream junk(std::string("\x00\x00\x01\x00\x05\x00", 6) + std::string(30, '\x7f'));
    EXPECT_FALSE(p.LoadFromBlob(&junk).empty());
    EXPECT_TRUE(p.GetPicture()->Empty());
    EXPECT_TRUE(p.ImageChanged);
    TStringStream empty;
    EXPECT_TRUE(p.LoadFromBlob(&empty).empty());

    // A recorded picture whose size was set to 0 has content but no extent: nothing to draw.
    TMetafile mf;
    {
        TMetafileCanvas mc(&mf, nullptr);
        mc.Rectangle(0, 0, 5, 5);
    }
    mf.SetWidth(0);
    mf.SetHeight(0);
    p.GetPicture()->SetGraphic(&mf);
    p.SetBounds(0, 0, 20, 20);
    auto b = White(30, 30);
    EXPECT_NO_THROW(p.Draw(b->Canvas(), 1, 1, 0, 0));
}

TEST(PictureView, BlobFieldThroughTheReportDataset) {
    // A dataset whose one field is a blob holding bytes that are no picture.
    class TBlobData : public TfrxUserDataSet {
    public:
        explicit TBlobData(TComponent* owner) : TfrxUserDataSet(owner) {}
        bool IsBlobField(const std::string&) override { return true; }
        void AssignBlobTo(const std::string&, TObject* obj) override {
            auto* s = dynamic_cast<TStream*>(obj);
            const std::string junk = "GIF89a????";
            s->WriteBuffer(junk.data(), int64_t(junk.size()));
            s->SetPosition(0);
        }
    };
    TfrxReport report;
    TBlobData data(nullptr);
    data.SetUserName("Data");
    auto* p = new TfrxPictureView(&report);
    p->SetName("Picture1");
    p->SetDataSet(&data);
    p->DataField = "Obr";
    EXPECT_NO_THROW(p->GetData());
    EXPECT_TRUE(p->GetPicture()->Empty());
    ASSERT_EQ(report.ErrorList->Count(), 1);
    EXPECT_NE(report.ErrorList->Strings(0).find("Picture1"), std::string::npos);
}

TEST(ReportPage, PaperOrientationAndMargins) {
    TfrxReportPage page(nullptr);
    EXPECT_EQ(page.GetPaperSize(), 9);
    EXPECT_DOUBLE_EQ(page.GetPaperWidth(), 210);
    EXPECT_DOUBLE_EQ(page.GetPaperHeight(), 297);
    EXPECT_DOUBLE_EQ(page.GetWidth(), 794);
    EXPECT_DOUBLE_EQ(page.GetHeight(), 1123);
    EXPECT_DOUBLE_EQ(page.LeftMargin, 0);

    page.LeftMargin = 10;
    page.RightMargin = 15;
    page.TopMargin = 20;
    page.BottomMargin = 25;
    page.SetOrientation(poLandscape);
    EXPECT_DOUBLE_EQ(page.GetPaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.GetWidth(), 1123);
    EXPECT_DOUBLE_EQ(page.GetHeight(), 794);
    EXPECT_EQ(std::vector<double>({page.LeftMargin, page.RightMargin, page.TopMargin, page.BottomMargin}),
        std::vector<double>({20, 25, 15, 10}));
    page.SetOrientation(poLandscape);  // the same value again changes nothing
    EXPECT_DOUBLE_EQ(page.GetPaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.LeftMargin, 20);
    page.SetOrientation(poPortrait);
    EXPECT_EQ(std::vector<double>({page.LeftMargin, page.RightMargin, page.TopMargin, page.BottomMargin}),
        std::vector<double>({10, 15, 20, 25}));

    page.SetOrientation(poLandscape);
    page.SetPaperWidth(200);
    EXPECT_EQ(page.GetPaperSize(), 256);
    page.SetPaperSize(9);
    EXPECT_DOUBLE_EQ(page.GetPaperWidth(), 297);
    EXPECT_DOUBLE_EQ(page.GetPaperHeight(), 210);

    page.SetDefaults();
    EXPECT_DOUBLE_EQ(page.LeftMargin, 10);
    EXPECT_DOUBLE_EQ(page.BottomMargin, 10);
    EXPECT_DOUBLE_EQ(page.GetWidth(), double(Round(page.GetPaperWidth() * frxPixelsPerMM)));
}

TEST(ReportPage, ColumnsBackgroundAndBands) {
    TfrxReportPage page(nullptr);
    page.LeftMargin = page.RightMargin = 10;
    page.SetColumns(3);
    EXPECT_NEAR(page.ColumnWidth, 63.3333333, 1e-6);
    ASSERT_EQ(page.GetColumnPositions()->Count(), 3);
    EXPECT_EQ(page.GetColumnPositions()->Strings(0), "0");
    EXPECT_EQ(page.GetColumnPositions()->Strings(1), FloatToStr(190.0 / 3));
    EXPECT_EQ(page.GetColumnPositions()->Strings(2), FloatToStr(2 * 190.0 / 3));
    page.SetColumns(0);
    EXPECT_EQ(page.GetColumnPositions()->Count(), 0);
    EXPECT_NEAR(page.ColumnWidth, 63.3333333, 1e-6);

    page.SetColor(clAqua);
    TfrxFrame f;
    f.Typ = {ftLeft, ftTop};
    f.Width = 3;
    page.SetFrame(&f);
    EXPECT_EQ(page.GetColor(), clAqua);
    EXPECT_EQ(page.GetFrame()->Typ, (TfrxFrameTypes{ftLeft, ftTop}));
    EXPECT_DOUBLE_EQ(page.GetFrame()->Width, 3);

    EXPECT_EQ(page.FindBand(TfrxBand::StaticClass()), nullptr);
    auto* title = new TfrxReportTitle(&page);
    auto* data = new TfrxMasterData(&page);
    EXPECT_EQ(page.FindBand(TfrxMasterData::StaticClass()), data);
    EXPECT_EQ(page.FindBand(TfrxBand::StaticClass()), title);
    page.AlignChildren();
    EXPECT_NEAR(data->GetWidth(), (210 - 20) * frxPixelsPerMM, 1e-9);
    EXPECT_DOUBLE_EQ(page.GetWidth(), 794);
}

TEST(ReportPage, SubreportLinksBothWays) {
    TfrxReport report;
    auto* page = new TfrxReportPage(&report);
    auto* sub = new TfrxSubreport(&report);
    sub->SetPage(page);
    EXPECT_EQ(page->Subreport, sub);
    EXPECT_TRUE(page->IsSubreportPage());
    delete sub;
    EXPECT_EQ(page->Subreport, nullptr);
    auto* sub2 = new TfrxSubreport(&report);
    sub2->SetPage(page);
    delete page;
    EXPECT_EQ(sub2->GetPage(), nullptr);
}
