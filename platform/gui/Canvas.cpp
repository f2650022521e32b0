// TCanvas: the device-context state and the GDI drawing rules over QPainter.

#include <QtGui/QPaintEngine>
#include <QtGui/QPainterPath>
#include <QtGui/QPixmap>

#include <algorithm>
#include <cmath>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"

KAROMIL_IMPLEMENT_CLASS(TCanvas, TPersistent)

namespace {
constexpr double kPi = 3.14159265358979323846;

int PenModeToRop2(TPenMode m) {
    static constexpr int kMap[] = {R2_BLACK, R2_WHITE, R2_NOP, R2_NOT, R2_COPYPEN, R2_NOTCOPYPEN, R2_MERGEPENNOT,
        R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN, R2_MASKPEN, R2_NOTMASKPEN, R2_XORPEN,
        R2_NOTXORPEN};
    return kMap[m];
}

int RegionKind(const QRegion& r) {
    if (r.isEmpty()) return NULLREGION;
    return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

// Cosmetic pen styles, in pixels along the line: on, off, on, off ...
const std::vector<int>& StylePattern(TPenStyle s) {
    static const std::vector<int> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3}, none;
    switch (s) {
    case psDash: return dash;
    case psDot: return dot;
    case psDashDot: return dashDot;
    case psDashDotDot: return dashDotDot;
    default: return none;
    }
}

bool PenVisible(const TPenData& p) { return p.Style != psClear; }

void Record(HDC dc, int type, std::vector<int> args, std::vector<TPoint> pts = {}, const TRect& bounds = {}) {
    if (TMetaRecorder* rec = dc->Recorder()) {
        TMetaRecordData r;
        r.type = type;
        r.args = std::move(args);
        r.points = std::move(pts);
        r.bounds = bounds;
        rec->Add(dc, std::move(r));
    }
}
TRect PointsBounds(HDC dc, const std::vector<TPoint>& pts) {
    if (pts.empty()) return {};
    TRect b{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (TPoint p : pts) {
        TPoint d = dc->LPtoDP(p);
        b.Left = std::min(b.Left, d.X);
        b.Top = std::min(b.Top, d.Y);
        b.Right = std::max(b.Right, d.X + 1);
        b.Bottom = std::max(b.Bottom, d.Y + 1);
    }
    return b;
}
}  // namespace

void TMetaRecorder::Add(TCanvas* dc, TMetaRecordData&& r) {
    r.state = dc->State();
    Records.push_back(std::move(r));
}

// --- regions -------------------------------------------------------------------------------

TRegion::TRegion() noexcept = default;
TRegion::TRegion(const TRegion& other) : FImpl(other.FImpl ? std::make_unique<Impl>(*other.FImpl) : nullptr) {}
TRegion::TRegion(TRegion&& other) noexcept = default;
TRegion& TRegion::operator=(const TRegion& other) {
    if (this != &other) FImpl = other.FImpl ? std::make_unique<Impl>(*other.FImpl) : nullptr;
    return *this;
}
TRegion& TRegion::operator=(TRegion&& other) noexcept = default;
TRegion::~TRegion() = default;
bool TRegion::IsEmpty() const noexcept { return !FImpl || FImpl->Rgn.isEmpty(); }
bool operator==(const TRegion& a, const TRegion& b) { return QtRegion(a) == QtRegion(b); }
TRegion::Impl& TRegion::Data() {
    if (!FImpl) FImpl = std::make_unique<Impl>();
    return *FImpl;
}
TRegion ToRegion(const QRegion& r) {
    TRegion out;
    if (!r.isEmpty()) QtRegion(out) = r;
    return out;
}

// --- the canvas object ---------------------------------------------------------------------

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()),
      FState(std::make_unique<DCState>()), FDevice(std::make_unique<Device>()) {
    FFont->OnChange = [this](TObject* s) { FontChanged(s); };
    FPen->OnChange = [this](TObject* s) { PenChanged(s); };
    FBrush->OnChange = [this](TObject* s) { BrushChanged(s); };
}

TCanvas::~TCanvas() { Detach(); }

void TCanvas::FontChanged(TObject*) { FFontValid = false; }
void TCanvas::PenChanged(TObject*) { FPenValid = false; }
void TCanvas::BrushChanged(TObject*) { FBrushValid = false; }

void TCanvas::ResetState() {
    *FState = DCState{};
    FSaved.clear();
    FFontValid = FPenValid = FBrushValid = false;
    FDevice->ClipApplied = false;
}

void CanvasPaint::Attach(TCanvas* c, QPainter* painter, const TRect& deviceRect, const QRegion* visible) {
    c->Detach();
    TCanvas::Device& d = *c->FDevice;
    d.Painter = painter;
    if (painter) painter->save();
    c->FDeviceRect = deviceRect;
    if (visible) d.Visible = *visible;
    else d.Visible.reset();
    c->FMeasuring = false;
    c->ResetState();
}

QPainter* CanvasPaint::Painter(const TCanvas* c) { return c->FDevice->Painter; }

void TCanvas::Detach() {
    if (FDevice->Painter) {
        FDevice->Painter->restore();
        FDevice->Painter = nullptr;
    }
    FDevice->Visible.reset();
    FDevice->ClipApplied = false;
    FMeasuring = true;
}

bool TCanvas::HandleAllocated() const noexcept { return FDevice->Painter != nullptr || FMeasuring; }

void TCanvas::ForgetPainter() noexcept {
    FDevice->Painter = nullptr;
    FDevice->ClipApplied = false;
}

void TCanvas::SetPixelsPerInch(int dpi) {
    if (dpi <= 0) return;
    FPixelsPerInch = dpi;
    FFont->SetPixelsPerInch(dpi);
}

TCanvas* TCanvas::Handle() {
    RequiredState();
    return this;
}

bool TCanvas::RequiredState(bool font, bool pen, bool brush) {
    if (!FDevice->Painter && FSurface) FDevice->Painter = FSurface->BeginPainter();
    if (font && !FFontValid) {
        FState->font = FFont->Data();
        FState->textColor = ColorToRGB(FFont->GetColor());
        FFontValid = true;
    }
    if (pen && !FPenValid) {
        FState->pen = FPen->Data();
        FState->rop2 = PenModeToRop2(FPen->GetMode());
        FPenValid = true;
    }
    if (brush && !FBrushValid) {
        const TBrushData& b = FBrush->Data();
        FState->brush = b;
        if (b.Style == bsSolid && !b.Pattern) {
            FState->bkColor = ColorToRGB(b.Color);
            FState->bkMode = OPAQUE;
        } else {
            FState->bkMode = TRANSPARENT;
        }
        FBrushValid = true;
    }
    return FDevice->Painter != nullptr || FRecorder != nullptr;
}

void TCanvas::Changing() {
    if (OnChanging) OnChanging(this);
}
void TCanvas::Changed() {
    if (OnChange) OnChange(this);
}

TPoint TCanvas::PenPos() const noexcept { return FState->penPos; }
void TCanvas::SetPenPos(TPoint p) noexcept { MoveTo(p.X, p.Y); }

TColor TCanvas::TextColor() const noexcept { return FState->textColor; }
TColor TCanvas::BkColor() const noexcept { return FState->bkColor; }
int TCanvas::BkMode() const noexcept { return FState->bkMode; }
int TCanvas::Rop2() const noexcept { return FState->rop2; }
void TCanvas::SetTextColorDC(TColor c) { FState->textColor = ColorToRGB(c); }
void TCanvas::SetBkColorDC(TColor c) { FState->bkColor = ColorToRGB(c); }
void TCanvas::SetBkModeDC(int mode) {
    if (mode == OPAQUE || mode == TRANSPARENT) FState->bkMode = mode;
}
void TCanvas::SetRop2DC(int rop2) {
    if (rop2 >= R2_BLACK && rop2 <= R2_WHITE) FState->rop2 = rop2;
}
TPoint TCanvas::BrushOrigin() const noexcept { return FState->brushOrg; }
void TCanvas::SetBrushOrigin(TPoint p) { FState->brushOrg = p; }
TPoint TCanvas::ViewportOrigin() const noexcept { return FState->viewportOrg; }
void TCanvas::SetViewportOrigin(TPoint p) { FState->viewportOrg = p; }
void TCanvas::SetViewportScale(double sx, double sy) {
    if (sx > 0 && sy > 0) {
        FState->scaleX = sx;
        FState->scaleY = sy;
    }
}
const TFontData& TCanvas::SelectedFont() {
    RequiredState(true, false, false);
    return FState->font;
}
void TCanvas::SelectFont(const TFontData& font) {
    RequiredState(true, false, false);
    FState->font = font;
}
void TCanvas::SelectPen(const TPenData& pen) {
    RequiredState(false, true, false);
    FState->pen = pen;
}
void TCanvas::SelectBrush(const TBrushData& brush) {
    RequiredState(false, false, true);
    FState->brush = brush;
}
void TCanvas::ResetClipRegion() { FState->clip.reset(); }

QRegion CanvasPaint::Visible(const TCanvas* c) {
    QRegion r(ToQRect(c->FDeviceRect));
    if (c->FDevice->Visible) r &= *c->FDevice->Visible;
    if (c->FState->clip) r &= *c->FState->clip;
    return r;
}

int TCanvas::SaveDC() {
    FSaved.push_back(*FState);
    return int(FSaved.size());
}
bool TCanvas::RestoreDC(int saved) {
    int target = saved > 0 ? saved : int(FSaved.size()) + saved + 1;
    if (target < 1 || target > int(FSaved.size())) return false;
    *FState = FSaved[size_t(target - 1)];
    FSaved.resize(size_t(target - 1));
    // The restored state may hold other objects than the canvas's Font, Pen and Brush; they are
    // selected again before the next drawing, so a control that sets the same font as the one
    // painted before it on a shared DC does not draw with the restored one.
    FFontValid = FPenValid = FBrushValid = false;
    return true;
}

TPoint TCanvas::LPtoDP(TPoint p) const noexcept {
    const DCState& s = *FState;
    if (s.scaleX == 1 && s.scaleY == 1) return {p.X + s.viewportOrg.X, p.Y + s.viewportOrg.Y};
    return {int(std::lround(p.X * s.scaleX)) + s.viewportOrg.X, int(std::lround(p.Y * s.scaleY)) + s.viewportOrg.Y};
}
TRect TCanvas::LPtoDP(const TRect& r) const noexcept {
    TPoint a = LPtoDP(r.TopLeft()), b = LPtoDP(r.BottomRight());
    return {a.X, a.Y, b.X, b.Y};
}
TRect TCanvas::DPtoLP(const TRect& r) const noexcept {
    const DCState& s = *FState;
    auto x = [&](int v) { return int(std::lround((v - s.viewportOrg.X) / s.scaleX)); };
    auto y = [&](int v) { return int(std::lround((v - s.viewportOrg.Y) / s.scaleY)); };
    return {x(r.Left), y(r.Top), x(r.Right), y(r.Bottom)};
}

// --- painting helpers ----------------------------------------------------------------------

QPainter* CanvasPaint::Begin(TCanvas* c) {
    QPainter* p = c->FDevice->Painter;
    if (!p) return nullptr;
    QRegion vis = Visible(c);
    TCanvas::Device& d = *c->FDevice;
    if (!d.ClipApplied || vis != d.AppliedClip) {
        p->setClipRegion(vis);
        d.AppliedClip = vis;
        d.ClipApplied = true;
    }
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return p;
}

void CanvasPaint::ClipFurther(TCanvas* c, const QRect& r) {
    if (!c->FDevice->Painter) return;
    c->FDevice->Painter->setClipRegion(Visible(c) & QRegion(r));
    c->FDevice->ClipApplied = false;
}

bool CanvasPaint::ApplyRop2(QPainter* p, int rop2, QColor& color) {
    QPainter::CompositionMode m = QPainter::CompositionMode_SourceOver;
    switch (rop2) {
    case R2_BLACK: color = Qt::black; break;
    case R2_WHITE: color = Qt::white; break;
    case R2_NOP: return false;
    case R2_NOT: m = QPainter::RasterOp_NotDestination; break;
    case R2_NOTCOPYPEN: m = QPainter::RasterOp_NotSource; break;
    case R2_XORPEN: m = QPainter::RasterOp_SourceXorDestination; break;
    case R2_NOTXORPEN: m = QPainter::RasterOp_NotSourceXorDestination; break;
    case R2_MERGEPEN: m = QPainter::RasterOp_SourceOrDestination; break;
    case R2_MASKPEN: m = QPainter::RasterOp_SourceAndDestination; break;
    case R2_NOTMERGEPEN: m = QPainter::RasterOp_NotSourceAndNotDestination; break;
    case R2_NOTMASKPEN: m = QPainter::RasterOp_NotSourceOrNotDestination; break;
    case R2_MASKNOTPEN: m = QPainter::RasterOp_NotSourceAndDestination; break;
    case R2_MASKPENNOT: m = QPainter::RasterOp_SourceAndNotDestination; break;
    case R2_MERGENOTPEN: m = QPainter::RasterOp_NotSourceOrDestination; break;
    case R2_MERGEPENNOT: m = QPainter::RasterOp_SourceOrNotDestination; break;
    default: break;
    }
    p->setCompositionMode(m);
    return true;
}

namespace {
// The 8x8 hatch patterns, one byte a row, bit 7 = leftmost pixel.
const uint8_t* HatchRows(TBrushStyle s) {
    static const uint8_t h[8] = {0xFF, 0, 0, 0, 0, 0, 0, 0};
    static const uint8_t v[8] = {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    static const uint8_t f[8] = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
    static const uint8_t b[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
    static const uint8_t c[8] = {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80};
    static const uint8_t d[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    switch (s) {
    case bsHorizontal: return h;
    case bsVertical: return v;
    case bsFDiagonal: return f;
    case bsBDiagonal: return b;
    case bsCross: return c;
    case bsDiagCross: return d;
    default: return nullptr;
    }
}
}  // namespace

QBrush CanvasPaint::MakeBrush(TCanvas* c, const TBrushData& b, bool& transparentGaps) {
    transparentGaps = false;
    const TCanvas::DCState& s = c->State();
    if (b.Pattern) {
        QImage img = b.Pattern->Image;
        if (b.PatternMonochrome) {
            QRgb fg = RgbToQ(s.textColor).rgb(), bg = RgbToQ(s.bkColor).rgb();
            for (int y = 0; y < img.height(); ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < img.width(); ++x) row[x] = (qGray(row[x]) < 128) ? fg : bg;
            }
        }
        return QBrush(img);
    }
    if (const uint8_t* rows = HatchRows(b.Style)) {
        QImage img(8, 8, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        QRgb fg = RgbToQ(b.Color).rgb();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (rows[y] & (0x80 >> x)) img.setPixel(x, y, fg);
        transparentGaps = true;
        return QBrush(img);
    }
    return QBrush(RgbToQ(b.Color));
}

void CanvasPaint::FillDeviceRegion(TCanvas* c, const QRegion& rgn, const TBrushData& b, bool useRop2) {
    if (b.Style == bsClear && !b.Pattern) return;
    QPainter* p = Begin(c);
    if (!p) return;
    const TCanvas::DCState& s = c->State();
    bool gaps;
    QBrush brush = MakeBrush(c, b, gaps);
    if (gaps && s.bkMode == OPAQUE)
        for (const QRect& r : rgn) p->fillRect(r, RgbToQ(s.bkColor));
    if (brush.style() == Qt::SolidPattern) {
        QColor col = brush.color();
        if (useRop2 && !ApplyRop2(p, s.rop2, col)) return;
        for (const QRect& r : rgn) p->fillRect(r, col);
    } else {
        // Patterns line up with the brush origin in device space, not with the shape.
        p->setBrushOrigin(s.brushOrg.X, s.brushOrg.Y);
        for (const QRect& r : rgn) p->fillRect(r, brush);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void CanvasPaint::FillDeviceRect(TCanvas* c, const QRect& r, const TBrushData& b, bool useRop2) {
    if (r.isEmpty()) return;
    FillDeviceRegion(c, QRegion(r), b, useRop2);
}

void CanvasPaint::InvertDeviceRegion(TCanvas* c, const QRegion& r) {
    QPainter* p = Begin(c);
    if (!p) return;
    p->setCompositionMode(QPainter::RasterOp_NotDestination);
    for (const QRect& q : r) p->fillRect(q, Qt::white);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

bool CanvasPaint::Cosmetic(const TCanvas* c) {
    const TPenData& pen = const_cast<TCanvas*>(c)->State().pen;
    return pen.Width <= 1;
}

QPen CanvasPaint::WidePen(TCanvas* c, QColor color) {
    const TCanvas::DCState& s = c->State();
    double w = s.pen.Width * s.scaleX;
    // Wide pens are geometric: round ends and joins; a style other than solid draws solid.
    return QPen(QBrush(color), std::max(1.0, std::round(w)), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void CanvasPaint::Line(TCanvas* c, TPoint a, TPoint b, int& phase, bool drawLast) {
    const TCanvas::DCState& s = c->State();
    if (!PenVisible(s.pen)) return;
    QPainter* p = Begin(c);
    if (!p) return;
    QColor col = RgbToQ(s.pen.Color);
    if (!ApplyRop2(p, s.rop2, col)) return;
    if (!Cosmetic(c)) {
        p->setPen(WidePen(c, col));
        if (a == b) p->drawPoint(QPointF(a.X + 0.5, a.Y + 0.5));
        else p->drawLine(QPointF(a.X + 0.5, a.Y + 0.5), QPointF(b.X + 0.5, b.Y + 0.5));
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    const std::vector<int>& pattern = StylePattern(s.pen.Style);
    int dx = b.X - a.X, dy = b.Y - a.Y;
    int n = std::max(std::abs(dx), std::abs(dy)) + (drawLast ? 1 : 0);
    if (n <= 0) {
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    if (pattern.empty() && (dx == 0 || dy == 0)) {
        // Straight solid lines: a rectangle fill is exact and much faster.
        int sx = dx > 0 ? 1 : dx < 0 ? -1 : 0, sy = dy > 0 ? 1 : dy < 0 ? -1 : 0;
        int x2 = a.X + sx * (n - 1), y2 = a.Y + sy * (n - 1);
        QRect r(QPoint(std::min(a.X, x2), std::min(a.Y, y2)), QPoint(std::max(a.X, x2), std::max(a.Y, y2)));
        p->fillRect(r, col);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return;
    }
    struct Run {
        QPoint from, to;
        bool on;
    };
    std::vector<Run> runs;
    QPolygon onPixels, offPixels;
    int total = 0;
    for (int v : pattern) total += v;
    int ax = std::abs(dx), ay = std::abs(dy), sx = dx >= 0 ? 1 : -1, sy = dy >= 0 ? 1 : -1;
    int x = a.X, y = a.Y;
    int err = (ax >= ay ? ax : ay) / 2;
    for (int i = 0; i < n; ++i) {
        bool isOn = true;
        if (total) {
            int pos = phase % total, k = 0;
            while (pos >= pattern[size_t(k)]) {
                pos -= pattern[size_t(k)];
                ++k;
            }
            isOn = (k % 2) == 0;
            ++phase;
        }
        (isOn ? onPixels : offPixels) << QPoint(x, y);
        if (!runs.empty() && runs.back().on == isOn) runs.back().to = QPoint(x, y);
        else runs.push_back({QPoint(x, y), QPoint(x, y), isOn});
        if (ax >= ay) {
            x += sx;
            err -= ay;
            if (err < 0) {
                y += sy;
                err += ax;
            }
        } else {
            y += sy;
            err -= ax;
            if (err < 0) {
                x += sx;
                err += ay;
            }
        }
    }
    // On an image every pixel is set as GDI would set it. A vector device (PDF, printer) gets
    // each run of pixels as one line, so that a dash or a diagonal stays a line there instead
    // of a string of separate dots.
    const bool raster = p->paintEngine() && p->paintEngine()->type() == QPaintEngine::Raster;
    auto paintRuns = [&](bool on, const QColor& colour) {
        if (raster) {
            const QPolygon& pts = on ? onPixels : offPixels;
            p->setPen(QPen(colour, 1));
            p->drawPoints(pts);
            return;
        }
        for (const Run& r : runs) {
            if (r.on != on) continue;
            if (r.from.x() == r.to.x() || r.from.y() == r.to.y()) {
                p->fillRect(QRect(QPoint(std::min(r.from.x(), r.to.x()), std::min(r.from.y(), r.to.y())),
                                QPoint(std::max(r.from.x(), r.to.x()), std::max(r.from.y(), r.to.y()))),
                    colour);
            } else {
                p->setPen(QPen(colour, 1, Qt::SolidLine, Qt::SquareCap));
                p->drawLine(QPointF(r.from.x() + 0.5, r.from.y() + 0.5), QPointF(r.to.x() + 0.5, r.to.y() + 0.5));
            }
        }
    };
    paintRuns(true, col);
    if (!offPixels.isEmpty() && s.bkMode == OPAQUE) {
        QColor bk = RgbToQ(s.bkColor);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (ApplyRop2(p, s.rop2, bk)) paintRuns(false, bk);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// --- GDI state functions -------------------------------------------------------------------

TColor SetTextColor(HDC dc, TColor c) {
    TColor o = dc->TextColor();
    dc->SetTextColorDC(c);
    return o;
}
TColor GetTextColor(HDC dc) { return dc->TextColor(); }
TColor SetBkColor(HDC dc, TColor c) {
    TColor o = dc->BkColor();
    dc->SetBkColorDC(c);
    return o;
}
TColor GetBkColor(HDC dc) { return dc->BkColor(); }
int SetBkMode(HDC dc, int mode) {
    int o = dc->BkMode();
    dc->SetBkModeDC(mode);
    return o;
}
int GetBkMode(HDC dc) { return dc->BkMode(); }
uint32_t SetTextAlign(HDC dc, uint32_t align) {
    const uint32_t o = dc->State().textAlign;
    dc->State().textAlign = align & (TA_UPDATECP | TA_CENTER | TA_BASELINE);
    return o;
}
uint32_t GetTextAlign(HDC dc) { return dc->State().textAlign; }
int SetROP2(HDC dc, int rop2) {
    int o = dc->Rop2();
    dc->SetRop2DC(rop2);
    return o;
}
int GetROP2(HDC dc) { return dc->Rop2(); }
int SaveDC(HDC dc) { return dc->SaveDC(); }
bool RestoreDC(HDC dc, int saved) { return dc->RestoreDC(saved); }
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->BrushOrigin();
    dc->SetBrushOrigin({x, y});
    return true;
}
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->ViewportOrigin();
    dc->SetViewportOrigin({x, y});
    return true;
}
bool GetViewportOrgEx(HDC dc, TPoint* p) {
    if (p) *p = dc->ViewportOrigin();
    return true;
}
int GetDeviceCaps(HDC dc, int index) {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return dc->PixelsPerInch();
    case HORZRES: return dc->DeviceRect().Width();
    case VERTRES: return dc->DeviceRect().Height();
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

// --- clipping and regions ------------------------------------------------------------------

int IntersectClipRect(HDC dc, int l, int t, int r, int b) {
    QRegion rect(ToQRect(dc->LPtoDP(TRect{l, t, r, b})));
    auto& cur = dc->State().clip;
    cur = cur ? (*cur & rect) : rect;
    Record(dc, EMR_INTERSECTCLIPRECT, {l, t, r, b});
    return RegionKind(CanvasPaint::Visible(dc));
}
int ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
    QRegion rect(ToQRect(dc->LPtoDP(TRect{l, t, r, b})));
    auto& cur = dc->State().clip;
    QRegion base = cur ? *cur : QRegion(ToQRect(dc->DeviceRect()));
    cur = base.subtracted(rect);
    return RegionKind(CanvasPaint::Visible(dc));
}
int SelectClipRgn(HDC dc, const TRegion* rgn) {
    if (rgn) dc->State().clip = QtRegion(*rgn);
    else dc->State().clip.reset();
    return RegionKind(CanvasPaint::Visible(dc));
}
int ExtSelectClipRgn(HDC dc, const TRegion* rgn, int mode) {
    if (mode == RGN_COPY || !rgn) return SelectClipRgn(dc, rgn);
    auto& cur = dc->State().clip;
    QRegion base = cur ? *cur : QRegion(ToQRect(dc->DeviceRect()));
    TRegion out;
    if (CombineRgn(out, ToRegion(base), *rgn, mode) == RGN_ERROR) return RGN_ERROR;
    cur = QtRegion(out);
    return RegionKind(CanvasPaint::Visible(dc));
}
int GetClipRgn(HDC dc, TRegion& rgn) {
    const auto& cur = dc->State().clip;
    if (!cur) return 0;
    rgn = ToRegion(*cur);
    return 1;
}
int GetClipBox(HDC dc, TRect& r) {
    QRegion v = CanvasPaint::Visible(dc);
    r = dc->DPtoLP(FromQRect(v.boundingRect()));
    if (v.isEmpty()) r = TRect{};
    return RegionKind(v);
}
bool RectVisible(HDC dc, const TRect& r) {
    TRect d = dc->LPtoDP(r);
    if (d.Left > d.Right) std::swap(d.Left, d.Right);
    if (d.Top > d.Bottom) std::swap(d.Top, d.Bottom);
    if (IsRectEmpty(d)) return false;
    return CanvasPaint::Visible(dc).intersects(ToQRect(d));
}
bool PtVisible(HDC dc, int x, int y) {
    TPoint d = dc->LPtoDP(TPoint{x, y});
    return CanvasPaint::Visible(dc).contains(QPoint(d.X, d.Y));
}

TRegion CreateRectRgn(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return ToRegion(QRegion(QRect(l, t, r - l, b - t)));
}
TRegion CreateRectRgnIndirect(const TRect& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }
TRegion CreateEllipticRgn(int l, int t, int r, int b) {
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    return ToRegion(QRegion(QRect(l, t, r - l, b - t), QRegion::Ellipse));
}
TRegion CreatePolygonRgn(const std::vector<TPoint>& points) {
    QPolygon poly;
    for (TPoint p : points) poly << QPoint(p.X, p.Y);
    return ToRegion(QRegion(poly, Qt::OddEvenFill));
}
int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode) {
    const QRegion &qa = QtRegion(a), &qb = QtRegion(b);
    QRegion out;
    switch (mode) {
    case RGN_AND: out = qa.intersected(qb); break;
    case RGN_OR: out = qa.united(qb); break;
    case RGN_XOR: out = qa.xored(qb); break;
    case RGN_DIFF: out = qa.subtracted(qb); break;
    case RGN_COPY: out = qa; break;
    default: return RGN_ERROR;
    }
    dest = ToRegion(out);
    return RegionKind(out);
}
int OffsetRgn(TRegion& rgn, int dx, int dy) {
    if (rgn.IsEmpty()) return NULLREGION;
    QtRegion(rgn).translate(dx, dy);
    return RegionKind(QtRegion(rgn));
}
int GetRgnBox(const TRegion& rgn, TRect& r) {
    const QRegion& q = QtRegion(rgn);
    r = q.isEmpty() ? TRect{} : FromQRect(q.boundingRect());
    return RegionKind(q);
}
bool PtInRegion(const TRegion& rgn, int x, int y) { return QtRegion(rgn).contains(QPoint(x, y)); }
bool RectInRegion(const TRegion& rgn, const TRect& r) { return QtRegion(rgn).intersects(ToQRect(r)); }
bool EqualRgn(const TRegion& a, const TRegion& b) { return a == b; }

namespace {
std::vector<int> RegionArgs(const QRegion& rgn) {
    std::vector<int> a;
    for (const QRect& r : rgn) {
        a.push_back(r.left());
        a.push_back(r.top());
        a.push_back(r.right() + 1);
        a.push_back(r.bottom() + 1);
    }
    return a;
}
void RecordBrush(HDC dc, int type, const QRegion& devRgn, const TBrushData& brush, std::vector<int> extra = {}) {
    if (TMetaRecorder* rec = dc->Recorder()) {
        TMetaRecordData r;
        r.type = type;
        r.args = std::move(extra);
        auto ra = RegionArgs(devRgn);
        r.counts = ra;
        r.bounds = devRgn.isEmpty() ? TRect{} : FromQRect(devRgn.boundingRect());
        rec->Add(dc, std::move(r));
        rec->Records.back().state.brush = brush;
    }
}
QRegion ToDevice(HDC dc, const TRegion& rgn) {
    TPoint o = dc->LPtoDP(TPoint{0, 0});
    const auto& s = dc->State();
    if (s.scaleX == 1 && s.scaleY == 1) return QtRegion(rgn).translated(o.X, o.Y);
    QRegion out;
    for (const QRect& r : QtRegion(rgn)) out += ToQRect(dc->LPtoDP(FromQRect(r)));
    return out;
}
}  // namespace

bool FillRgn(HDC dc, const TRegion& rgn, const TBrushData& brush) {
    QRegion d = ToDevice(dc, rgn);
    RecordBrush(dc, EMR_FILLRGN, d, brush);
    CanvasPaint::FillDeviceRegion(dc, d, brush);
    return true;
}
bool FrameRgn(HDC dc, const TRegion& rgn, const TBrushData& brush, int w, int h) {
    QRegion d = ToDevice(dc, rgn);
    // The frame is the region minus itself shrunk by w and h on every side.
    QRegion inner = d;
    inner &= d.translated(w, 0);
    inner &= d.translated(-w, 0);
    inner &= d.translated(0, h);
    inner &= d.translated(0, -h);
    QRegion frame = d.subtracted(inner);
    RecordBrush(dc, EMR_FILLRGN, frame, brush);
    CanvasPaint::FillDeviceRegion(dc, frame, brush);
    return true;
}
bool InvertRgn(HDC dc, const TRegion& rgn) {
    QRegion d = ToDevice(dc, rgn);
    RecordBrush(dc, EMR_INVERTRGN, d, dc->State().brush);
    CanvasPaint::InvertDeviceRegion(dc, d);
    return true;
}

// --- fills and blits -----------------------------------------------------------------------

namespace {
QRect DeviceRect(HDC dc, const TRect& r) {
    TRect d = dc->LPtoDP(r);
    if (d.Right <= d.Left || d.Bottom <= d.Top) return QRect();
    return ToQRect(d);
}
}  // namespace

int FillRect(HDC dc, const TRect& r, const TBrushData& brush) {
    QRect d = DeviceRect(dc, r);
    if (d.isEmpty()) return 1;
    RecordBrush(dc, EMR_FILLRGN, QRegion(d), brush);
    CanvasPaint::FillDeviceRect(dc, d, brush);
    return 1;
}
int FillRect(HDC dc, const TRect& r, TColor solidColor) {
    TBrushData b;
    b.Color = solidColor;
    return FillRect(dc, r, b);
}
int FrameRect(HDC dc, const TRect& r, const TBrushData& brush) {
    QRect d = DeviceRect(dc, r);
    if (d.isEmpty()) return 1;
    QRegion frame = QRegion(d).subtracted(QRegion(d.adjusted(1, 1, -1, -1)));
    RecordBrush(dc, EMR_FILLRGN, frame, brush);
    CanvasPaint::FillDeviceRegion(dc, frame, brush);
    return 1;
}
bool InvertRect(HDC dc, const TRect& r) {
    QRect d = DeviceRect(dc, r);
    if (d.isEmpty()) return true;
    RecordBrush(dc, EMR_INVERTRGN, QRegion(d), dc->State().brush);
    CanvasPaint::InvertDeviceRegion(dc, QRegion(d));
    return true;
}
TBrushData GetSysColorBrush(int index) {
    TBrushData b;
    b.Color = GetSysColor(index);
    return b;
}

bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop) {
    TRect r{x, y, x + w, y + h};
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    switch (rop) {
    case DSTINVERT: return InvertRect(dc, r);
    case BLACKNESS: return FillRect(dc, r, clBlack) != 0;
    case WHITENESS: return FillRect(dc, r, clWhite) != 0;
    case PATINVERT: {
        QRect d = DeviceRect(dc, r);
        if (d.isEmpty()) return true;
        RecordBrush(dc, EMR_FILLRGN, QRegion(d), dc->State().brush, {int(PATINVERT)});
        QPainter* p = CanvasPaint::Begin(dc);
        if (!p) return true;
        bool gaps;
        QBrush b = CanvasPaint::MakeBrush(dc, dc->State().brush, gaps);
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p->setBrushOrigin(dc->State().brushOrg.X, dc->State().brushOrg.Y);
        p->fillRect(d, b);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        return true;
    }
    default: return FillRect(dc, r, dc->State().brush) != 0;
    }
}

bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop) {
    return StretchBlt(dest, x, y, w, h, src, sx, sy, w, h, rop);
}

bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop) {
    if (!src) return PatBlt(dest, x, y, w, h, rop);
    // A negative extent runs from the origin pixel backwards and mirrors.
    TRect norm{sx, sy, sx + sw, sy + sh};
    if (sw < 0) norm = {sx + sw + 1, norm.Top, sx + 1, norm.Bottom};
    if (sh < 0) norm = {norm.Left, sy + sh + 1, norm.Right, sy + 1};
    QImage img = CanvasPaint::GrabImage(src, norm);
    TRect srcIn{0, 0, img.width(), img.height()};
    if (sw < 0) srcIn = {img.width() - 1, srcIn.Top, -1, srcIn.Bottom};
    if (sh < 0) srcIn = {srcIn.Left, img.height() - 1, srcIn.Right, -1};
    CanvasPaint::DrawImage(dest, TRect{x, y, x + w, y + h}, img, srcIn, rop);
    return true;
}

QImage ColourKeyed(const QImage& image, TColor key) {
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb k = RgbToQ(key).rgb() & 0xFFFFFF;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((row[x] & 0xFFFFFF) == k) row[x] = 0;
    }
    return keyed;
}

bool TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, TColor transparent) {
    if (!dest || !src || w <= 0 || h <= 0 || sw <= 0 || sh <= 0) return false;
    const QImage img = CanvasPaint::GrabImage(src, TRect{sx, sy, sx + sw, sy + sh});
    if (img.isNull()) return false;
    CanvasPaint::DrawImage(
        dest, TRect{x, y, x + w, y + h}, ColourKeyed(img, transparent), TRect{0, 0, img.width(), img.height()});
    return true;
}

// --- lines and shapes ----------------------------------------------------------------------

bool MoveToEx(HDC dc, int x, int y, TPoint* old) {
    if (old) *old = dc->State().penPos;
    Record(dc, EMR_MOVETOEX, {x, y});
    dc->State().penPos = {x, y};
    return true;
}
bool LineTo(HDC dc, int x, int y) {
    TPoint from = dc->State().penPos;
    Record(dc, EMR_LINETO, {x, y}, {}, PointsBounds(dc, {from, {x, y}}));
    int phase = 0;
    CanvasPaint::Line(dc, dc->LPtoDP(from), dc->LPtoDP(TPoint{x, y}), phase);
    dc->State().penPos = {x, y};
    return true;
}
bool Polyline(HDC dc, const std::vector<TPoint>& points) {
    if (points.size() < 2) return false;
    Record(dc, EMR_POLYLINE, {}, points, PointsBounds(dc, points));
    const TPenData& pen = dc->State().pen;
    if (!CanvasPaint::Cosmetic(dc) && PenVisible(pen)) {
        if (QPainter* p = CanvasPaint::Begin(dc)) {
            QColor col = RgbToQ(pen.Color);
            if (CanvasPaint::ApplyRop2(p, dc->State().rop2, col)) {
                QPolygonF poly;
                for (TPoint pt : points) {
                    TPoint d = dc->LPtoDP(pt);
                    poly << QPointF(d.X + 0.5, d.Y + 0.5);
                }
                p->setPen(CanvasPaint::WidePen(dc, col));
                p->drawPolyline(poly);
            }
            p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        }
        return true;
    }
    int phase = 0;
    for (size_t i = 1; i < points.size(); ++i)
        CanvasPaint::Line(dc, dc->LPtoDP(points[i - 1]), dc->LPtoDP(points[i]), phase);
    return true;
}
bool PolyPolyline(HDC dc, const std::vector<TPoint>& points, const std::vector<int>& counts) {
    size_t at = 0;
    for (int n : counts) {
        if (n < 0 || at + size_t(n) > points.size()) return false;
        std::vector<TPoint> part(points.begin() + long(at), points.begin() + long(at + size_t(n)));
        if (part.size() >= 2) Polyline(dc, part);
        at += size_t(n);
    }
    return true;
}

namespace {
// Fills a path (vertices on pixel corners: right and bottom edges fall outside) and strokes it
// with the pen (vertices on pixel centres' top-left corners, as GDI's outline pixels).
void FillAndStroke(HDC dc, const QPainterPath& fill, const QPainterPath& stroke, bool strokeWithLines = false,
    const std::vector<TPoint>* linePoints = nullptr) {
    const auto& s = dc->State();
    QPainter* p = CanvasPaint::Begin(dc);
    if (!p) return;
    const TBrushData& b = s.brush;
    if (!(b.Style == bsClear && !b.Pattern)) {
        bool gaps;
        QBrush brush = CanvasPaint::MakeBrush(dc, b, gaps);
        p->setPen(Qt::NoPen);
        if (gaps && s.bkMode == OPAQUE) {
            p->setBrush(RgbToQ(s.bkColor));
            p->drawPath(fill);
        }
        QColor col = brush.color();
        bool draw = true;
        if (brush.style() == Qt::SolidPattern) {
            draw = CanvasPaint::ApplyRop2(p, s.rop2, col);
            brush.setColor(col);
        }
        if (draw) {
            p->setBrushOrigin(s.brushOrg.X, s.brushOrg.Y);
            p->setBrush(brush);
            p->drawPath(fill);
        }
        p->setBrush(Qt::NoBrush);
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
    if (!PenVisible(s.pen)) return;
    if (strokeWithLines && linePoints && CanvasPaint::Cosmetic(dc)) {
        int phase = 0;
        const auto& pts = *linePoints;
        for (size_t i = 0; i < pts.size(); ++i) CanvasPaint::Line(dc, pts[i], pts[(i + 1) % pts.size()], phase);
        return;
    }
    QColor col = RgbToQ(s.pen.Color);
    if (!CanvasPaint::ApplyRop2(p, s.rop2, col)) return;
    if (CanvasPaint::Cosmetic(dc)) {
        QPen pen(col, 1);
        pen.setCosmetic(true);
        static const QList<qreal> dash{18, 6}, dot{3, 3}, dashDot{9, 6, 3, 6}, dashDotDot{9, 3, 3, 3, 3, 3};
        switch (s.pen.Style) {
        case psDash: pen.setDashPattern(dash); break;
        case psDot: pen.setDashPattern(dot); break;
        case psDashDot: pen.setDashPattern(dashDot); break;
        case psDashDotDot: pen.setDashPattern(dashDotDot); break;
        default: break;
        }
        p->setPen(pen);
    } else {
        p->setPen(CanvasPaint::WidePen(dc, col));
    }
    p->drawPath(stroke);
    p->setPen(Qt::NoPen);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QRect Normalized(HDC dc, int l, int t, int r, int b) {
    TRect d = dc->LPtoDP(TRect{l, t, r, b});
    if (d.Left > d.Right) std::swap(d.Left, d.Right);
    if (d.Top > d.Bottom) std::swap(d.Top, d.Bottom);
    return QRect(d.Left, d.Top, d.Right - d.Left, d.Bottom - d.Top);
}

// The rectangle a shape's outline runs along, shrunk for an inside-frame pen.
QRectF OutlineRect(HDC dc, const QRect& d, bool& shrunk) {
    const auto& pen = dc->State().pen;
    QRectF r(d.left(), d.top(), d.width() - 1, d.height() - 1);
    shrunk = false;
    if (pen.Style == psInsideFrame && pen.Width > 1) {
        double h = (pen.Width * dc->State().scaleX) / 2.0;
        r.adjust(h - 0.5, h - 0.5, -(h - 0.5), -(h - 0.5));
        shrunk = true;
    }
    return r;
}
}  // namespace

bool Rectangle(HDC dc, int l, int t, int r, int b) {
    QRect d = Normalized(dc, l, t, r, b);
    Record(dc, EMR_RECTANGLE, {l, t, r, b}, {}, FromQRect(d));
    if (d.width() <= 0 || d.height() <= 0) return true;
    const auto& s = dc->State();
    if (!PenVisible(s.pen)) {
        // With no pen the filled area is one pixel smaller each way: the outline's place stays empty.
        QPainterPath fill;
        fill.addRect(QRectF(d.left(), d.top(), d.width() - 1, d.height() - 1));
        FillAndStroke(dc, fill, QPainterPath());
        return true;
    }
    if (CanvasPaint::Cosmetic(dc)) {
        QPainterPath fill;
        fill.addRect(QRectF(d.left() + 1, d.top() + 1, d.width() - 2, d.height() - 2));
        std::vector<TPoint> pts{
            {d.left(), d.top()}, {d.right(), d.top()}, {d.right(), d.bottom()}, {d.left(), d.bottom()}};
        FillAndStroke(dc, fill, QPainterPath(), true, &pts);
        if (d.width() == 1 || d.height() == 1) {  // degenerate: a line
            int phase = 0;
            CanvasPaint::Line(dc, {d.left(), d.top()}, {d.right(), d.bottom()}, phase, true);
        }
        return true;
    }
    bool shrunk;
    QRectF o = OutlineRect(dc, d, shrunk);
    QPainterPath fill, stroke;
    fill.addRect(QRectF(d.left(), d.top(), d.width() - 1, d.height() - 1));
    stroke.addRect(o.translated(0.5, 0.5));
    FillAndStroke(dc, fill, stroke);
    return true;
}

bool Ellipse(HDC dc, int l, int t, int r, int b) {
    QRect d = Normalized(dc, l, t, r, b);
    Record(dc, EMR_ELLIPSE, {l, t, r, b}, {}, FromQRect(d));
    if (d.width() <= 0 || d.height() <= 0) return true;
    bool shrunk;
    QRectF o = OutlineRect(dc, d, shrunk);
    QPainterPath fill, stroke;
    fill.addEllipse(QRectF(d.left(), d.top(), d.width() - 1, d.height() - 1));
    stroke.addEllipse(o.translated(0.5, 0.5));
    FillAndStroke(dc, fill, stroke);
    return true;
}

bool RoundRect(HDC dc, int l, int t, int r, int b, int w, int h) {
    QRect d = Normalized(dc, l, t, r, b);
    Record(dc, EMR_ROUNDRECT, {l, t, r, b, w, h}, {}, FromQRect(d));
    if (d.width() <= 0 || d.height() <= 0) return true;
    const auto& s = dc->State();
    double rx = std::min(std::abs(w) * s.scaleX, double(d.width())) / 2.0;
    double ry = std::min(std::abs(h) * s.scaleY, double(d.height())) / 2.0;
    bool shrunk;
    QRectF o = OutlineRect(dc, d, shrunk);
    QPainterPath fill, stroke;
    stroke.addRoundedRect(o.translated(0.5, 0.5), rx, ry);
    // With an outline the fill stays inside it: the corner arcs would otherwise leave fill
    // pixels outside the rounded outline. Without one, the filled area is the box.
    if (PenVisible(s.pen)) fill = stroke;
    else fill.addRoundedRect(QRectF(d.left(), d.top(), d.width() - 1, d.height() - 1), rx, ry);
    FillAndStroke(dc, fill, stroke);
    return true;
}

bool Polygon(HDC dc, const std::vector<TPoint>& points) {
    if (points.size() < 2) return false;
    Record(dc, EMR_POLYGON, {}, points, PointsBounds(dc, points));
    std::vector<TPoint> dev;
    QPolygonF poly;
    for (TPoint p : points) {
        TPoint d = dc->LPtoDP(p);
        dev.push_back(d);
        poly << QPointF(d.X, d.Y);
    }
    QPainterPath fill;
    fill.setFillRule(Qt::OddEvenFill);
    fill.addPolygon(poly);
    fill.closeSubpath();
    QPainterPath stroke = fill.translated(0.5, 0.5);
    FillAndStroke(dc, fill, stroke, true, &dev);
    return true;
}

namespace {
enum ArcKind { akArc, akChord, akPie };
bool ArcShape(HDC dc, ArcKind kind, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    QRect d = Normalized(dc, x1, y1, x2, y2);
    static constexpr int kTypes[] = {EMR_ARC, EMR_CHORD, EMR_PIE};
    Record(dc, kTypes[kind], {x1, y1, x2, y2, x3, y3, x4, y4}, {}, FromQRect(d));
    if (d.width() <= 0 || d.height() <= 0) return true;
    QRectF box(d.left(), d.top(), d.width() - 1, d.height() - 1);
    TPoint s = dc->LPtoDP(TPoint{x3, y3}), e = dc->LPtoDP(TPoint{x4, y4});
    QPointF c = box.center();
    // Angles counter-clockwise from the x axis, y pointing up; the arc runs counter-clockwise.
    double a1 = std::atan2(c.y() - s.Y, s.X - c.x()) * 180 / kPi;
    double a2 = std::atan2(c.y() - e.Y, e.X - c.x()) * 180 / kPi;
    double sweep = a2 - a1;
    if (sweep <= 0) sweep += 360;
    QPainterPath stroke;
    stroke.arcMoveTo(box, a1);
    stroke.arcTo(box, a1, sweep);
    QPainterPath fill;
    if (kind == akPie) {
        stroke = QPainterPath();
        stroke.moveTo(c);
        stroke.arcTo(box, a1, sweep);
        stroke.closeSubpath();
    } else if (kind == akChord) {
        stroke.closeSubpath();
    }
    if (kind != akArc) fill = stroke;
    if (kind == akArc) {
        // An arc is only an outline.
        TBrushData keep = dc->State().brush;
        dc->State().brush.Style = bsClear;
        dc->State().brush.Pattern.reset();
        FillAndStroke(dc, fill, stroke);
        dc->State().brush = keep;
    } else {
        FillAndStroke(dc, fill, stroke);
    }
    return true;
}
}  // namespace

bool Arc(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return ArcShape(dc, akArc, x1, y1, x2, y2, x3, y3, x4, y4);
}
bool Chord(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return ArcShape(dc, akChord, x1, y1, x2, y2, x3, y3, x4, y4);
}
bool Pie(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return ArcShape(dc, akPie, x1, y1, x2, y2, x3, y3, x4, y4);
}

// --- the class library's canvas methods ----------------------------------------------------

void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(false, true, true);
    ::Arc(this, x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}
void TCanvas::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(false, true, true);
    ::Chord(this, x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}
void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    Changing();
    RequiredState(false, true, true);
    ::Pie(this, x1, y1, x2, y2, x3, y3, x4, y4);
    Changed();
}
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(false, true, true);
    ::Ellipse(this, x1, y1, x2, y2);
    Changed();
}
void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    Changing();
    RequiredState(false, true, true);
    ::Rectangle(this, x1, y1, x2, y2);
    Changed();
}
void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int cw, int ch) {
    Changing();
    RequiredState(false, true, true);
    ::RoundRect(this, x1, y1, x2, y2, cw, ch);
    Changed();
}
void TCanvas::Polygon(const std::vector<TPoint>& points) {
    Changing();
    RequiredState(false, true, true);
    ::Polygon(this, points);
    Changed();
}
void TCanvas::Polyline(const std::vector<TPoint>& points) {
    Changing();
    RequiredState(false, true, true);
    ::Polyline(this, points);
    Changed();
}
void TCanvas::PolyPolyline(const std::vector<TPoint>& points, const std::vector<int>& counts) {
    Changing();
    RequiredState(false, true, true);
    ::PolyPolyline(this, points, counts);
    Changed();
}
void TCanvas::MoveTo(int x, int y) {
    RequiredState(false, false, false);
    MoveToEx(this, x, y);
}
void TCanvas::LineTo(int x, int y) {
    Changing();
    RequiredState(false, true, true);
    ::LineTo(this, x, y);
    Changed();
}
void TCanvas::FillRect(const TRect& r) {
    // The canvas's own brush, whatever a RestoreDC left selected, as the class library does.
    Changing();
    RequiredState(false, false, true);
    ::FillRect(this, r, FBrush->Data());
    Changed();
}
void TCanvas::FrameRect(const TRect& r) {
    Changing();
    RequiredState(false, false, true);
    ::FrameRect(this, r, FBrush->Data());
    Changed();
}
void TCanvas::DrawFocusRect(const TRect& r) {
    Changing();
    RequiredState(false, false, true);
    ::DrawFocusRect(this, r);
    Changed();
}

TColor TCanvas::GetPixel(int x, int y) {
    RequiredState(false, false, false);
    TPoint d = LPtoDP(TPoint{x, y});
    if (!PtInRect(FDeviceRect, d)) return -1;
    QImage img = CanvasPaint::GrabImage(this, TRect{x, y, x + 1, y + 1});
    if (img.isNull()) return -1;
    return QToRgb(img.pixel(0, 0));
}
void TCanvas::SetPixel(int x, int y, TColor c) {
    Changing();
    RequiredState(false, false, false);
    TPoint d = LPtoDP(TPoint{x, y});
    Record(this, EMR_SETPIXELV, {x, y, c}, {}, TRect{d.X, d.Y, d.X + 1, d.Y + 1});
    if (QPainter* p = CanvasPaint::Begin(this)) p->fillRect(QRect(d.X, d.Y, 1, 1), RgbToQ(c));
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState();
    graphic->Draw(this, Bounds(x, y, graphic->GetWidth(), graphic->GetHeight()));
    Changed();
}
void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    Changing();
    RequiredState();
    graphic->Draw(this, r);
    Changed();
}
void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& src) {
    Changing();
    RequiredState(false, false, true);
    if (source) source->RequiredState(false, false, false);
    StretchBlt(this, dest.Left, dest.Top, dest.Width(), dest.Height(), source, src.Left, src.Top, src.Width(),
        src.Height(), FCopyMode);
    Changed();
}
TRect TCanvas::ClipRect() {
    RequiredState(false, false, false);
    TRect r;
    GetClipBox(this, r);
    return r;
}

QImage CanvasPaint::GrabImage(TCanvas* c, const TRect& r) {
    TRect d = c->LPtoDP(r);
    if (d.Right <= d.Left || d.Bottom <= d.Top) return QImage();
    QImage out(d.Width(), d.Height(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QImage whole;
    QPaintDevice* dev = c->FDevice->Painter ? c->FDevice->Painter->device() : nullptr;
    if (const QImage* own = c->FSurface ? c->FSurface->Pixels() : nullptr) whole = *own;
    else if (dev && dev->devType() == QInternal::Image) whole = *static_cast<QImage*>(dev);
    else if (dev && dev->devType() == QInternal::Pixmap) whole = static_cast<QPixmap*>(dev)->toImage();
    else return out;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), whole, QRect(d.Left, d.Top, d.Width(), d.Height()));
    return out;
}

namespace {
// The pixels a rectangle with possibly negative extents covers: a negative extent runs
// backwards from the origin pixel.
QRect Covered(const TRect& r) {
    TRect n = r;
    if (n.Right < n.Left) n = {n.Right + 1, n.Top, n.Left + 1, n.Bottom};
    if (n.Bottom < n.Top) n = {n.Left, n.Bottom + 1, n.Right, n.Top + 1};
    return ToQRect(n);
}
}  // namespace

void CanvasPaint::DrawImage(TCanvas* c, const TRect& dest, const QImage& image, const TRect& src, uint32_t rop) {
    if (TMetaRecorder* rec = c->FRecorder) {
        TMetaRecordData r;
        r.type = EMR_STRETCHBLT;
        r.args = {dest.Left, dest.Top, dest.Right, dest.Bottom, int(rop)};
        QRect sr = Covered(src);
        r.image = image.copy(sr).mirrored(src.Right < src.Left, src.Bottom < src.Top);
        r.bounds = FromQRect(Covered(c->LPtoDP(dest)));
        rec->Add(c, std::move(r));
    }
    if (!c->FDevice->Painter && c->FSurface) c->FDevice->Painter = c->FSurface->BeginPainter();
    QPainter* p = Begin(c);
    if (!p || image.isNull()) return;
    TRect d = c->LPtoDP(dest);
    bool mirrorX = (d.Right < d.Left) != (src.Right < src.Left);
    bool mirrorY = (d.Bottom < d.Top) != (src.Bottom < src.Top);
    QRect dq = Covered(d);
    QRect sq = Covered(src);
    if (dq.isEmpty() || sq.isEmpty()) return;
    QImage part = image.copy(sq);
    if (mirrorX || mirrorY) part = part.mirrored(mirrorX, mirrorY);
    if (part.size() != dq.size()) part = part.scaled(dq.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const auto& s = *c->FState;
    switch (rop) {
    case SRCCOPY: break;
    case SRCPAINT: p->setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
    case SRCAND: p->setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
    case SRCINVERT: p->setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case SRCERASE: p->setCompositionMode(QPainter::RasterOp_SourceAndNotDestination); break;
    case NOTSRCCOPY: p->setCompositionMode(QPainter::RasterOp_NotSource); break;
    case NOTSRCERASE: p->setCompositionMode(QPainter::RasterOp_NotSourceAndNotDestination); break;
    case MERGEPAINT: p->setCompositionMode(QPainter::RasterOp_NotSourceOrDestination); break;
    case DSPDxax: {
        // The brush where the source is black, the destination where it is white.
        QImage over(part.size(), QImage::Format_ARGB32);
        QRgb brush = RgbToQ(s.brush.Color).rgb();
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                over.setPixel(x, y, qGray(part.pixel(x, y)) < 128 ? brush : qRgba(0, 0, 0, 0));
        part = over;
        break;
    }
    default:
        if (rop == PATCOPY || rop == DSTINVERT || rop == BLACKNESS || rop == WHITENESS || rop == PATINVERT) {
            PatBlt(c, dest.Left, dest.Top, dest.Width(), dest.Height(), rop);
            return;
        }
        break;
    }
    p->drawImage(dq.topLeft(), part);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}
