#pragma once
// Internals shared by the graphics sources of platform/gui; not for other modules. Here the public
// graphics types meet Qt: the painter behind a canvas, the image behind a bitmap, icon, JPEG
// picture, image list and brush pattern, the region behind a TRegion, and the conversions.

#include <QtGui/QColor>
#include <QtGui/QGlyphRun>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QRawFont>
#include <QtGui/QRegion>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/Graphics.h"

class QFont;
class TCustomImageList;

QRect ToQRect(const TRect& r);
TRect FromQRect(const QRect& r);
// Resolved, opaque.
QColor ToQColor(TColor color);
// A QFont with the mapped family, pixel size and style, unhinted and without kerning; for
// controls whose Qt widgets show a TFont.
QFont ToQFont(const TFontData& font);

// --- regions --------------------------------------------------------------------------------

struct TRegion::Impl {
    QRegion Rgn;
};
// The Qt region behind a region (an empty one when it has none yet), and back.
inline const QRegion& QtRegion(const TRegion& r) {
    static const QRegion empty;
    const TRegion::Impl* d = r.DataIfAny();
    return d ? d->Rgn : empty;
}
inline QRegion& QtRegion(TRegion& r) { return r.Data().Rgn; }
TRegion ToRegion(const QRegion& r);

// --- pictures -------------------------------------------------------------------------------

struct TBrushPattern {
    QImage Image;
};

// The images behind the pictures (RGB32 for bitmaps and JPEG pictures, ARGB32 for icons and
// image-list tiles); Set* converts as the picture needs.
struct TPictureImage {
    QImage Image;
};
const QImage& BitmapImage(TBitmap* bitmap);  // drawing through its canvas is flushed first
void SetBitmapImage(TBitmap* bitmap, const QImage& image);
const QImage& IconImage(const TIcon* icon);
void SetIconImage(TIcon* icon, const QImage& image);
const QImage& JpegImage(const TJPEGImage* jpeg);
const QImage& ImageListImage(const TCustomImageList* list, int index);  // the tile, ARGB

// Encodes 24-bit RGB rows as a baseline JFIF stream; decodes one (EInvalidGraphic when libjpeg
// refuses).
std::string EncodeJpeg(const QImage& image, int quality, bool grayscale = false);
QImage DecodeJpeg(const std::string& bytes);

// Little-endian fields of stored pictures; a field past the end reads as 0.
inline uint32_t Le32(const std::string& s, size_t off) {
    if (off + 4 > s.size()) return 0;
    return uint32_t(uint8_t(s[off])) | uint32_t(uint8_t(s[off + 1])) << 8 | uint32_t(uint8_t(s[off + 2])) << 16 |
        uint32_t(uint8_t(s[off + 3])) << 24;
}
inline uint16_t Le16(const std::string& s, size_t off) {
    if (off + 2 > s.size()) return 0;
    return uint16_t(uint8_t(s[off]) | uint8_t(s[off + 1]) << 8);
}
inline int16_t Le16s(const std::string& s, size_t off) { return int16_t(Le16(s, off)); }

// Pictures claiming more points than this are refused before anything is allocated for them:
// a header may claim up to 65,500 x 65,500 (JPEG) or more (BMP), while a scanned A4 page at
// 600 dpi has 35 million.
inline constexpr uint64_t MaxPicturePixels = 64u * 1000u * 1000u;

struct TCanvas::DCState {
    TFontData font;
    TPenData pen;
    TBrushData brush;
    TColor textColor = clBlack;  // resolved
    TColor bkColor = clWhite;  // resolved
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    uint32_t textAlign = TA_TOP | TA_LEFT;
    TPoint brushOrg, penPos, viewportOrg;
    double scaleX = 1, scaleY = 1;
    std::optional<QRegion> clip;  // device coordinates
};

// Pixels a canvas owns itself (a bitmap's): a painter is begun on them when drawing starts, and
// they are read without one.
class TCanvasSurface {
public:
    virtual QPainter* BeginPainter() = 0;  // nullptr when there is nothing to paint on
    virtual const QImage* Pixels() = 0;  // nullptr when there are none

protected:
    ~TCanvasSurface() = default;
};

struct TCanvas::Device {
    QPainter* Painter = nullptr;  // not owned
    std::optional<QRegion> Visible;  // the update region, device coordinates
    QRegion AppliedClip;  // what the painter was last clipped to
    bool ClipApplied = false;
};

// A font realised at one pixel size: integer metrics as GDI reports them, and integer
// advances per character, so every measurement is deterministic.
class TFontFace {
public:
    struct Glyph {
        quint32 index = 0;
        int advance = 0;
        int face = 0;  // 0 = the font itself, 1 = the fallback
    };
    TFontFace(const TFontData& data, int emPixels);
    const Glyph& GlyphOf(char32_t c);
    int Advance(char32_t c) { return GlyphOf(c).advance; }
    const QRawFont& Raw(int face) const { return face == 0 ? FRaw : FFallback; }
    int Em() const noexcept { return FEm; }
    int Ascent() const noexcept { return FAscent; }
    int Descent() const noexcept { return FDescent; }
    int Height() const noexcept { return FAscent + FDescent; }
    const TTextMetric& Metric() const noexcept { return FMetric; }
    bool Underline() const noexcept { return FUnderline; }
    bool StrikeOut() const noexcept { return FStrikeOut; }

private:
    QRawFont FRaw, FFallback;
    int FEm, FAscent = 0, FDescent = 0;
    bool FUnderline, FStrikeOut;
    TTextMetric FMetric;
    std::unordered_map<char32_t, Glyph> FGlyphs;
    Glyph FAscii[128];
    bool FAsciiDone[128] = {};
};

// The face for a font as selected into a DC, with its pixel height scaled by `scale`.
TFontFace& FaceFor(const TFontData& font, double scale = 1.0);

std::u32string ToU32(const std::string& utf8);
std::string FromU32(const std::u32string& s);

// Painting helpers over a canvas's painter, in device coordinates.
struct CanvasPaint {
    // Paints through painter (not owned) until TCanvas::Detach. deviceRect bounds the device;
    // visible (an update region) limits what can be painted and what RectVisible answers.
    // The DC state is reset as for a freshly obtained DC.
    static void Attach(TCanvas* c, QPainter* painter, const TRect& deviceRect, const QRegion* visible = nullptr);
    static QPainter* Painter(const TCanvas* c);
    // Device pixels that can be painted: device ∩ visible ∩ clip.
    static QRegion Visible(const TCanvas* c);
    // Puts an image's src part into dest (nearest-neighbour stretch, negative extents mirror)
    // with a ternary raster op, under the clip.
    static void DrawImage(TCanvas* c, const TRect& dest, const QImage& image, const TRect& src, uint32_t rop = SRCCOPY);
    // Copies what the device shows in r (in logical coordinates) into an RGB32 image; blank
    // outside the device and on a measuring canvas.
    static QImage GrabImage(TCanvas* c, const TRect& r);
    // Prepares the painter: clip = the visible region, no antialiasing, source-over.
    // nullptr when nothing can be painted.
    static QPainter* Begin(TCanvas* c);
    // Sets the composition for a ROP2; false for R2_NOP. `color` is adjusted for BLACK/WHITE.
    static bool ApplyRop2(QPainter* p, int rop2, QColor& color);
    static QBrush MakeBrush(TCanvas* c, const TBrushData& b, bool& transparentGaps);
    static void FillDeviceRegion(TCanvas* c, const QRegion& rgn, const TBrushData& b, bool useRop2 = false);
    static void FillDeviceRect(TCanvas* c, const QRect& r, const TBrushData& b, bool useRop2 = false);
    static void InvertDeviceRegion(TCanvas* c, const QRegion& r);
    // 1-pixel line from a to b (device), last pixel excluded, styled by the pen; `phase`
    // carries the style pattern across the segments of one polyline.
    static void Line(TCanvas* c, TPoint a, TPoint b, int& phase, bool drawLast = false);
    static bool Cosmetic(const TCanvas* c);
    // Narrows the painter's clip to r (device) for one operation; the next Begin restores it.
    static void ClipFurther(TCanvas* c, const QRect& r);
    static QPen WidePen(TCanvas* c, QColor color);
};

inline QColor RgbToQ(TColor c) {
    c = ColorToRGB(c);
    return QColor(c & 255, (c >> 8) & 255, (c >> 16) & 255);
}
inline TColor QToRgb(QRgb q) { return RGB(qRed(q), qGreen(q), qBlue(q)); }

// The colour-key rule, kept in one place: an ARGB copy of image in which every pixel of the key
// colour (compared as RGB, system colours resolved) is fully transparent. Drawing it with
// SRCCOPY is the colour-key blit (TransparentBlt, transparent bitmaps, glyphs, image lists).
QImage ColourKeyed(const QImage& image, TColor key);

// Metafile recording: every GDI call on a recording canvas becomes one record.
struct TMetaRecordData {
    int type = 0;  // EMR_* number
    std::vector<int> args;  // logical coordinates and options
    std::vector<TPoint> points;
    std::vector<int> counts;
    std::u32string text;
    std::vector<int> dx;
    TRect bounds;  // device pixels on the reference device
    TCanvas::DCState state;  // the DC state the call ran with
    QImage image;  // blits
};

class TMetaRecorder {
public:
    std::vector<TMetaRecordData> Records;
    void Add(TCanvas* dc, TMetaRecordData&& r);
};

// Record numbers, those of the enhanced metafile format.
enum : int {
    EMR_POLYGON = 3,
    EMR_POLYLINE = 4,
    EMR_POLYPOLYLINE = 7,
    EMR_MOVETOEX = 27,
    EMR_INTERSECTCLIPRECT = 30,
    EMR_ELLIPSE = 42,
    EMR_RECTANGLE = 43,
    EMR_ROUNDRECT = 44,
    EMR_ARC = 45,
    EMR_CHORD = 46,
    EMR_PIE = 47,
    EMR_LINETO = 54,
    EMR_FILLRGN = 71,
    EMR_FRAMERGN = 72,
    EMR_INVERTRGN = 73,
    EMR_BITBLT = 76,
    EMR_STRETCHBLT = 77,
    EMR_EXTTEXTOUTW = 84,
    EMR_SETPIXELV = 15,
};
