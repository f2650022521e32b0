// Picture loading from blob data, the metafile placeholder, the rounded rectangle's corners
// and one-pixel lines on a vector device.

#include <gtest/gtest.h>

#include <QtGui/QPaintDevice>
#include <QtGui/QPaintEngine>
#include <QtGui/QPainter>

#include "CanvasTestUtil.h"
#include "platform/classes/Streams.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"

namespace {
std::string BitmapBytes(TColor colour) {
    auto b = MakeBitmap(3, 2, colour);
    TStringStream s;
    b->SaveToStream(&s);
    return s.DataString();
}

std::string Le(uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(char((v >> (8 * i)) & 255));
    return s;
}

// A placeable metafile of 1 x 0.5 inch that holds nothing but its end record.
std::string PlaceableWmf() {
    std::string s = Le(0x9AC6CDD7u, 4) + Le(0, 2) + Le(0, 2) + Le(0, 2) + Le(1440, 2) + Le(720, 2) + Le(1440, 2) +
        Le(0, 4) + Le(0, 2);
    s += Le(1, 2) + Le(9, 2) + Le(0x300, 2) + Le(12, 4) + Le(0, 2) + Le(3, 4) + Le(0, 2);
    s += Le(3, 4) + Le(0, 2);
    return s;
}

std::string FieldHeader(size_t size) { return Le(1, 2) + Le(0x100, 2) + Le(uint32_t(size), 4); }
}  // namespace

TEST(PictureBlob, FieldHeaderCountsOnlyWithItsExactLength) {
    const std::string bmp = BitmapBytes(clRed);
    struct Case {
        const char* what;
        std::string data;
        bool loads;
    } cases[] = {
        {"plain bitmap", bmp, true},
        {"header with the right length", FieldHeader(bmp.size()) + bmp, true},
        {"header with a wrong length is image data", FieldHeader(bmp.size() + 1) + bmp, false},
        {"icon-like second word but no icon header", std::string("\x07\x00\x01\x00\x00\x00junkjunk", 14), false},
        {"a PNG file is no picture kind of ours", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'x'), false},
    };
    for (const Case& c : cases) {
        TPicture p;
        TStringStream s(c.data);
        if (c.loads) {
            EXPECT_NO_THROW(p.LoadFromBlob(&s)) << c.what;
            EXPECT_EQ(p.GetWidth(), 3) << c.what;
        } else {
            EXPECT_THROW(p.LoadFromBlob(&s), EInvalidGraphic) << c.what;
        }
    }
    TPicture p;
    TStringStream empty;
    p.LoadFromBlob(&empty);
    EXPECT_TRUE(p.Empty());
}

TEST(PictureBlob, AssignFromABlobField) {
    EnsureGuiApp();
    TMemDataSet ds;
    ds.FieldDefs()->Add("Obr", ftGraphic);
    ds.Open();
    ds.Append();
    auto* field = static_cast<TBlobField*>(ds.FieldByName("Obr"));
    TStringStream in(FieldHeader(BitmapBytes(clBlue).size()) + BitmapBytes(clBlue));
    field->LoadFromStream(&in);
    ds.Post();
    TPicture p;
    p.Assign(field);
    ASSERT_NE(dynamic_cast<TBitmap*>(p.GetGraphic()), nullptr);
    EXPECT_EQ(static_cast<TBitmap*>(p.GetGraphic())->GetPixel(1, 1), clBlue);
    ds.Edit();
    field->Clear();
    ds.Post();
    p.Assign(field);
    EXPECT_TRUE(p.Empty());
}

TEST(Metafile, LoadedFileIsKeptAndDrawnAsAVisiblePlaceholder) {
    TPicture p;
    TStringStream s(PlaceableWmf());
    p.LoadFromStream(&s);
    auto* mf = dynamic_cast<TMetafile*>(p.GetGraphic());
    ASSERT_NE(mf, nullptr);
    EXPECT_FALSE(mf->CanRender());
    EXPECT_EQ(mf->GetWidth(), 96);
    EXPECT_EQ(mf->GetHeight(), 48);
    TStringStream out;
    mf->SaveToStream(&out);
    EXPECT_EQ(out.DataString(), PlaceableWmf());
    auto b = MakeBitmap(40, 40);
    b->Canvas()->StretchDraw(Rect(0, 0, 40, 40), mf);
    EXPECT_EQ(b->GetPixel(0, 20), clGray);  // frame
    EXPECT_EQ(b->GetPixel(20, 20), clGray);  // the diagonals cross in the middle
    EXPECT_EQ(b->GetPixel(10, 30), clWhite);
    TMetafile recorded;
    EXPECT_TRUE(recorded.CanRender());
}

TEST(Shapes, RoundRectCornersFollowTheCornerEllipse) {
    auto b = MakeBitmap(110, 50);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->RoundRect(0, 0, 100, 40, 10, 10);
    // The fill never leaks outside the rounded outline.
    for (TPoint p : {Point(0, 0), Point(1, 1), Point(0, 1), Point(1, 0), Point(99, 39), Point(98, 38)})
        EXPECT_NE(b->GetPixel(p.X, p.Y), clYellow) << p.X << "," << p.Y;
    struct Px {
        int x, y;
        TColor colour;
    } table[] = {
        {0, 0, clWhite}, {99, 39, clWhite},  // corners cut away
        {50, 0, clBlack}, {0, 20, clBlack}, {99, 20, clBlack}, {50, 39, clBlack},  // edges
        {100, 20, clWhite}, {50, 40, clWhite},  // right and bottom excluded
        {50, 20, clYellow}, {3, 3, clYellow},  // filled, the fill reaches into the corner arc
    };
    for (const Px& p : table) EXPECT_EQ(b->GetPixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

namespace {
// A paint device whose engine is no raster engine: it notes what it is asked to draw.
class TRecordingEngine : public QPaintEngine {
public:
    TRecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawLines(const QLineF*, int n) override { lines += n; }
    void drawLines(const QLine*, int n) override { lines += n; }
    void drawPoints(const QPointF*, int n) override { points += n; }
    void drawPoints(const QPoint*, int n) override { points += n; }
    void drawRects(const QRectF*, int n) override { rects += n; }
    void drawRects(const QRect*, int n) override { rects += n; }
    void drawPath(const QPainterPath&) override { ++paths; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++paths; }
    Type type() const override { return QPaintEngine::User; }
    int lines = 0, points = 0, rects = 0, paths = 0;
};
class TRecordingDevice : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
        case PdmHeight: return 200;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }
    mutable TRecordingEngine engine;
};
}  // namespace

TEST(Canvas, OnePixelDashesAndDiagonalsAreLinesOnAVectorDevice) {
    EnsureGuiApp();
    struct Case {
        const char* what;
        TPenStyle style;
        TPoint to;
    } cases[] = {
        {"dashed horizontal", psDash, {100, 10}},
        {"dotted vertical", psDot, {10, 100}},
        {"solid diagonal", psSolid, {90, 60}},
        {"dash-dot diagonal", psDashDot, {90, 60}},
    };
    for (const Case& c : cases) {
        TRecordingDevice device;
        QPainter painter(&device);
        TCanvas canvas;
        CanvasPaint::Attach(&canvas, &painter, Rect(0, 0, 200, 200));
        canvas.Pen()->SetStyle(c.style);
        canvas.Brush()->SetStyle(bsClear);
        canvas.MoveTo(10, 10);
        canvas.LineTo(c.to.X, c.to.Y);
        canvas.Detach();
        painter.end();
        EXPECT_EQ(device.engine.points, 0) << c.what;
        EXPECT_GT(device.engine.lines + device.engine.rects + device.engine.paths, 0) << c.what;
        // A dash pattern of 18/6 over 90 pixels gives a handful of pieces, never one per pixel.
        EXPECT_LT(device.engine.lines + device.engine.rects + device.engine.paths, 40) << c.what;
    }
}
