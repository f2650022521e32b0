#pragma once
// Colours, fonts, pens, brushes and the canvas: the device-context model the libraries draw
// through, with Windows' pixel rules, over QPainter.
//
// A TCanvas is the device context (HDC is a TCanvas*). It paints through a painter attached
// by a control's paint handler, through its own painter on a TBitmap's pixels, or not at all
// (a measuring canvas, which still answers text metrics). The painter, the pixels and the Qt
// types behind regions and images are the window layer's own (GraphicsPrivate.h): this header
// compiles without Qt. It keeps the DC state: the selected
// font, pen and brush, text and background colours, background mode, ROP2, clip region with a
// SaveDC/RestoreDC stack, brush origin, pen position and viewport origin.
//
// Like the class library's canvas, the Font, Pen and Brush objects are selected lazily: a
// change to them takes effect at the next drawing call or at Handle(). Selecting a solid brush
// makes the background opaque in the brush colour; any other brush makes it transparent;
// selecting the font sets the text colour; selecting the pen sets ROP2 from the pen mode. The
// GDI-style free functions below work on the DC state as it stands.
//
// Geometry is integer device pixels at 96 dpi, never antialiased; right and bottom edges of
// rectangles are excluded and the last pixel of a line is not drawn.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/classes/List.h"
#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"

class TGraphic;
class TBitmap;
class TCanvas;

// --- geometry ------------------------------------------------------------------------------

struct TPoint {
    int X = 0, Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};
struct TSize {
    int cx = 0, cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const noexcept { return Right - Left; }
    int Height() const noexcept { return Bottom - Top; }
    TPoint TopLeft() const noexcept { return {Left, Top}; }
    TPoint BottomRight() const noexcept { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};
inline TPoint Point(int x, int y) noexcept { return {x, y}; }
inline TRect Rect(int l, int t, int r, int b) noexcept { return {l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) noexcept { return {l, t, l + w, t + h}; }
bool IsRectEmpty(const TRect& r) noexcept;  // no pixel inside
bool PtInRect(const TRect& r, TPoint p) noexcept;  // right/bottom excluded
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) noexcept;  // false and empty when apart
bool UnionRect(TRect& dst, const TRect& a, const TRect& b) noexcept;
void OffsetRect(TRect& r, int dx, int dy) noexcept;
void InflateRect(TRect& r, int dx, int dy) noexcept;

// --- colours -------------------------------------------------------------------------------

// 32-bit BGR (0x00BBGGRR). A negative value is a system colour: its low byte indexes the
// fixed system-colour table.
using TColor = int32_t;
KAROMIL_NAMED_TYPE(TypeInfoColor, tkInteger, "TColor")

constexpr TColor clSystemColor = TColor(0xFF000000u);
enum : int {
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT,
    COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT,
};
constexpr TColor SysColor(int index) noexcept { return TColor(uint32_t(clSystemColor) | uint32_t(index)); }

constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR);
constexpr TColor clBackground = SysColor(COLOR_BACKGROUND);
constexpr TColor clActiveCaption = SysColor(COLOR_ACTIVECAPTION);
constexpr TColor clInactiveCaption = SysColor(COLOR_INACTIVECAPTION);
constexpr TColor clMenu = SysColor(COLOR_MENU);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowFrame = SysColor(COLOR_WINDOWFRAME);
constexpr TColor clMenuText = SysColor(COLOR_MENUTEXT);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clCaptionText = SysColor(COLOR_CAPTIONTEXT);
constexpr TColor clActiveBorder = SysColor(COLOR_ACTIVEBORDER);
constexpr TColor clInactiveBorder = SysColor(COLOR_INACTIVEBORDER);
constexpr TColor clAppWorkSpace = SysColor(COLOR_APPWORKSPACE);
constexpr TColor clHighlight = SysColor(COLOR_HIGHLIGHT);
constexpr TColor clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT);
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clBtnShadow = SysColor(COLOR_BTNSHADOW);
constexpr TColor clGrayText = SysColor(COLOR_GRAYTEXT);
constexpr TColor clBtnText = SysColor(COLOR_BTNTEXT);
constexpr TColor clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT);
constexpr TColor clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT);
constexpr TColor cl3DDkShadow = SysColor(COLOR_3DDKSHADOW);
constexpr TColor cl3DLight = SysColor(COLOR_3DLIGHT);
constexpr TColor clInfoText = SysColor(COLOR_INFOTEXT);
constexpr TColor clInfoBk = SysColor(COLOR_INFOBK);
constexpr TColor clHotLight = SysColor(COLOR_HOTLIGHT);
constexpr TColor clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION);
constexpr TColor clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION);
constexpr TColor clMenuHighlight = SysColor(COLOR_MENUHILIGHT);
constexpr TColor clMenuBar = SysColor(COLOR_MENUBAR);

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF, clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// System colours resolved through the fixed table; any other value unchanged (clNone too).
TColor ColorToRGB(TColor color) noexcept;
// The fixed table (the classic Windows scheme), 0x00BBGGRR; 0 for unknown indexes.
TColor GetSysColor(int index) noexcept;
// Identity on our 32-bit surfaces once resolved.
inline TColor GetNearestColor(TCanvas*, TColor color) noexcept { return ColorToRGB(color); }
inline TColor RGB(int r, int g, int b) noexcept { return TColor((r & 255) | ((g & 255) << 8) | ((b & 255) << 16)); }
inline int GetRValue(TColor c) noexcept { return c & 255; }
inline int GetGValue(TColor c) noexcept { return (c >> 8) & 255; }
inline int GetBValue(TColor c) noexcept { return (c >> 16) & 255; }
// "clRed" <-> clRed, names ignoring case; "$00FF00FF" and decimal numbers for the rest.
std::string ColorToString(TColor color);
TColor StringToColor(const std::string& s);  // EConvertError when neither
bool IdentToColor(const std::string& ident, TColor& color);  // colour names only

// --- fonts ---------------------------------------------------------------------------------

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
KAROMIL_ENUM_TYPE(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeOut")
using TFontStyles = TSet<TFontStyle>;
KAROMIL_SET_TYPE(TFontStyles, TFontStyle)
enum TFontPitch { fpDefault, fpVariable, fpFixed };
KAROMIL_ENUM_TYPE(TFontPitch, "fpDefault", "fpVariable", "fpFixed")
using TFontCharset = uint8_t;
KAROMIL_NAMED_TYPE(TypeInfoFontCharset, tkInteger, "TFontCharset")
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, EASTEUROPE_CHARSET = 238,
                       OEM_CHARSET = 255;

// What a DC selects: the attributes of a font without its colour.
struct TFontData {
    std::string Name = "MS Sans Serif";
    int Height = -11;  // pixels; negative = em height, positive = cell height
    TFontStyles Style;
    TFontPitch Pitch = fpDefault;
    TFontCharset Charset = DEFAULT_CHARSET;
    int Orientation = 0;  // escapement, tenths of a degree counter-clockwise
    friend bool operator==(const TFontData&, const TFontData&) = default;
};

// The class library's font: Size in points and Height in pixels at PixelsPerInch, kept in step
// by Height = -MulDiv(Size, PixelsPerInch, 72).
class TFont : public TPersistent {
    KAROMIL_CLASS(TFont, TPersistent)
public:
    TFont() = default;
    void Assign(TPersistent* source) override;

    TFontCharset GetCharset() const noexcept { return FData.Charset; }
    void SetCharset(TFontCharset v);
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor v);
    int GetHeight() const noexcept { return FData.Height; }
    void SetHeight(int v);
    std::string GetName() const { return FData.Name; }
    void SetName(const std::string& v);
    TFontPitch GetPitch() const noexcept { return FData.Pitch; }
    void SetPitch(TFontPitch v);
    int GetSize() const noexcept;
    void SetSize(int v);
    TFontStyles GetStyle() const noexcept { return FData.Style; }
    void SetStyle(TFontStyles v);
    int GetOrientation() const noexcept { return FData.Orientation; }
    void SetOrientation(int tenthsOfDegree);
    int PixelsPerInch() const noexcept { return FPixelsPerInch; }
    // Keeps the pixel Height; Size follows (the printer canvas sets Size afterwards).
    void SetPixelsPerInch(int ppi) noexcept {
        if (ppi > 0) FPixelsPerInch = ppi;
    }

    const TFontData& Data() const noexcept { return FData; }
    void SetData(const TFontData& d);
    bool SameAs(const TFont& other) const noexcept { return FData == other.FData && FColor == other.FColor; }
    // Stands in for "the font handle changed": bumped on every effective change.
    uint32_t ChangeCount() const noexcept { return FChangeCount; }

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

private:
    TFontData FData;
    TColor FColor = clWindowText;
    int FPixelsPerInch = 96;
    uint32_t FChangeCount = 0;
};

// The installed family that stands in for a Windows face name ("Arial" -> "Liberation Sans").
std::string MapFontName(const std::string& windowsName);

// One installed font family as the font enumeration reports it: its flags (TRUETYPE_FONTTYPE
// for an outline font that scales smoothly) and the character sets its letters cover, in
// ascending order.
constexpr int RASTER_FONTTYPE = 1, DEVICE_FONTTYPE = 2, TRUETYPE_FONTTYPE = 4;
struct TFontFamily {
    std::string Name;
    int FontType = 0;
    std::vector<TFontCharset> Charsets;
};
// Every installed family once, sorted by name.
std::vector<TFontFamily> EnumFontFamilies();

// --- pens and brushes ----------------------------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
KAROMIL_ENUM_TYPE(TPenStyle, "psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame")
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor,
};
KAROMIL_ENUM_TYPE(TPenMode, "pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
    "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor",
    "pmNotXor")

struct TPenData {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    friend bool operator==(const TPenData&, const TPenData&) = default;
};

class TPen : public TPersistent {
    KAROMIL_CLASS(TPen, TPersistent)
public:
    TPen() = default;
    void Assign(TPersistent* source) override;
    TColor GetColor() const noexcept { return FData.Color; }
    void SetColor(TColor v);
    TPenMode GetMode() const noexcept { return FMode; }
    void SetMode(TPenMode v);
    TPenStyle GetStyle() const noexcept { return FData.Style; }
    void SetStyle(TPenStyle v);
    int GetWidth() const noexcept { return FData.Width; }
    void SetWidth(int v);
    const TPenData& Data() const noexcept { return FData; }
    TNotifyEvent OnChange;

private:
    void Changed();
    TPenData FData;
    TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
KAROMIL_ENUM_TYPE(TBrushStyle, "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal",
    "bsCross", "bsDiagCross")

struct TBrushPattern;  // GraphicsPrivate.h

struct TBrushData {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
    // An 8x8 pattern (the brush's Bitmap). A monochrome pattern paints its black pixels in the
    // DC's text colour and its white ones in the background colour.
    std::shared_ptr<const TBrushPattern> Pattern;
    bool PatternMonochrome = false;
    friend bool operator==(const TBrushData&, const TBrushData&) = default;
};

class TBrush : public TPersistent {
    KAROMIL_CLASS(TBrush, TPersistent)
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* source) override;
    TColor GetColor() const noexcept { return FData.Color; }
    void SetColor(TColor v);  // also drops a pattern bitmap, like a new solid brush
    TBrushStyle GetStyle() const noexcept { return FData.Style; }
    void SetStyle(TBrushStyle v);
    // A pattern brush: the top-left 8x8 pixels of the bitmap are copied; nullptr removes it.
    TBitmap* GetBitmap() const noexcept { return FBitmap; }
    void SetBitmap(TBitmap* bitmap);
    const TBrushData& Data() const noexcept { return FData; }
    TNotifyEvent OnChange;

private:
    void Changed();
    TBrushData FData;
    TBitmap* FBitmap = nullptr;  // not owned, as in the class library
};

// The 8x8 monochrome checkerboard (pixel (0,0) black) of halftone fills and dotted tree lines.
TBitmap* CheckerboardBitmap();

// --- GDI constants -------------------------------------------------------------------------

enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
    R2_BLACK = 1,
    R2_NOTMERGEPEN,
    R2_MASKNOTPEN,
    R2_NOTCOPYPEN,
    R2_MASKPENNOT,
    R2_NOT,
    R2_XORPEN,
    R2_NOTMASKPEN,
    R2_MASKPEN,
    R2_NOTXORPEN,
    R2_NOP,
    R2_MERGENOTPEN,
    R2_COPYPEN,
    R2_MERGEPENNOT,
    R2_MERGEPEN,
    R2_WHITE,
};
enum : uint32_t {
    DT_TOP = 0,
    DT_LEFT = 0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000,
};
// Text is placed at its reference point as SetTextAlign says (top-left by default): the
// horizontal flag says which end or the middle of the text is there, the vertical one the cell
// top, the cell bottom or the base line. With TA_UPDATECP the reference point is the current
// position, and it moves past the text (left alignment) or before it (right alignment).
enum : uint32_t {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};
// ETO_RTLREADING is accepted and changes nothing: the advances already say where each
// character goes.
enum : uint32_t { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_RTLREADING = 0x80 };
enum : uint32_t {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3,
    BDR_INNER = 0xC,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER,
    EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER,
    EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER,
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_TOPLEFT = 0x3,
    BF_TOPRIGHT = 0x6,
    BF_BOTTOMLEFT = 0x9,
    BF_BOTTOMRIGHT = 0xC,
    BF_RECT = 0xF,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};
enum : uint32_t {
    DFC_CAPTION = 1,
    DFC_MENU = 2,
    DFC_SCROLL = 3,
    DFC_BUTTON = 4,
    DFCS_BUTTONCHECK = 0x0,
    DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8,
    DFCS_BUTTONPUSH = 0x10,
    DFCS_SCROLLUP = 0x0,
    DFCS_SCROLLDOWN = 0x1,
    DFCS_SCROLLLEFT = 0x2,
    DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5,
    DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_INACTIVE = 0x100,
    DFCS_PUSHED = 0x200,
    DFCS_CHECKED = 0x400,
    DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000,
    DFCS_ADJUSTRECT = 0x2000,
    DFCS_FLAT = 0x4000,
    DFCS_MONO = 0x8000,
};
// Ternary raster operations of BitBlt/PatBlt/StretchBlt.
enum : uint32_t {
    SRCCOPY = 0x00CC0020,
    SRCPAINT = 0x00EE0086,
    SRCAND = 0x008800C6,
    SRCINVERT = 0x00660046,
    SRCERASE = 0x00440328,
    NOTSRCCOPY = 0x00330008,
    NOTSRCERASE = 0x001100A6,
    MERGEPAINT = 0x00BB0226,
    PATCOPY = 0x00F00021,
    PATINVERT = 0x005A0049,
    DSTINVERT = 0x00550009,
    BLACKNESS = 0x00000042,
    WHITENESS = 0x00FF0062,
    DSPDxax = 0x00E20746,
};
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
enum : int { HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, LOGPIXELSX = 88, LOGPIXELSY = 90 };

struct TTextMetric {
    int tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0;
    int tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 400, tmOverhang = 0;
    int tmDigitizedAspectX = 96, tmDigitizedAspectY = 96;
    char32_t tmFirstChar = 32, tmLastChar = 0xFFFF, tmDefaultChar = '?', tmBreakChar = ' ';
    uint8_t tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = DEFAULT_CHARSET;
};
using TEXTMETRIC = TTextMetric;

// A set of pixels, in device coordinates. A value: a copy is independent of the original.
class TRegion {
public:
    TRegion() noexcept;
    TRegion(const TRegion& other);
    TRegion(TRegion&& other) noexcept;
    TRegion& operator=(const TRegion& other);
    TRegion& operator=(TRegion&& other) noexcept;
    ~TRegion();
    bool IsEmpty() const noexcept;
    friend bool operator==(const TRegion& a, const TRegion& b);

    // The representation (GraphicsPrivate.h); Data() makes it for an empty region.
    struct Impl;
    const Impl* DataIfAny() const noexcept { return FImpl.get(); }
    Impl& Data();

private:
    std::unique_ptr<Impl> FImpl;  // nullptr while empty
};

// --- the canvas ----------------------------------------------------------------------------

class TMetaRecorder;  // what a metafile canvas records into (internal)
class TCanvasSurface;  // pixels a canvas owns itself (GraphicsPrivate.h)

class TCanvas : public TPersistent {
    KAROMIL_CLASS(TCanvas, TPersistent)
public:
    // A measuring canvas: full DC state and text metrics; drawing calls paint nothing.
    TCanvas();
    ~TCanvas() override;

    // Painting through a painter starts with CanvasPaint::Attach (GraphicsPrivate.h) and ends
    // here; the canvas measures again afterwards.
    void Detach();
    bool HandleAllocated() const noexcept;
    // The DC; selects a changed Font, Pen and Brush first, as the class library does.
    TCanvas* Handle();
    TRect DeviceRect() const noexcept { return FDeviceRect; }
    // Logical resolution; 96 except on printer canvases.
    int PixelsPerInch() const noexcept { return FPixelsPerInch; }
    void SetPixelsPerInch(int dpi);

    TFont* Font() const noexcept { return FFont.get(); }
    TPen* Pen() const noexcept { return FPen.get(); }
    TBrush* Brush() const noexcept { return FBrush.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    void SetPen(TPen* v) { FPen->Assign(v); }
    void SetBrush(TBrush* v) { FBrush->Assign(v); }
    TPoint PenPos() const noexcept;
    void SetPenPos(TPoint p) noexcept;
    uint32_t GetCopyMode() const noexcept { return FCopyMode; }
    void SetCopyMode(uint32_t rop) noexcept { FCopyMode = rop; }

    // Single-threaded: a counter, so nested Lock/Unlock pairs balance.
    void Lock() noexcept { ++FLockCount; }
    void Unlock() noexcept {
        if (FLockCount > 0) --FLockCount;
    }
    int LockCount() const noexcept { return FLockCount; }

    // Shapes: right and bottom edges excluded; filled with Brush, outlined with Pen.
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int cornerWidth, int cornerHeight);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void PolyPolyline(const std::vector<TPoint>& points, const std::vector<int>& counts);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);  // the end pixel is not drawn; the pen position moves
    void FillRect(const TRect& r);  // with Brush, no outline
    void FrameRect(const TRect& r);  // 1-pixel frame in the Brush
    void DrawFocusRect(const TRect& r);  // dotted, inverting
    TColor GetPixel(int x, int y);  // -1 (CLR_INVALID) outside the device or without one
    void SetPixel(int x, int y, TColor c);

    // Text with the canvas Font; TextOut moves PenPos.X past the text.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);  // clipped to r
    TSize TextExtent(const std::string& text);
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

    // Pictures; StretchDraw of a raster graphic uses nearest-neighbour scaling.
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& src);  // with CopyMode
    // The visible part of the device in logical coordinates (device rectangle without clip).
    TRect ClipRect();

    // Selects changed objects and makes a painter ready, for drawing through the painter.
    void RequiredStateForDrawing() { RequiredState(); }

    // Hooks of the class library's canvas; the printer canvas resets its font in Changing.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // --- DC state (the GDI functions below are the usual way in) ---
    TColor TextColor() const noexcept;
    TColor BkColor() const noexcept;
    int BkMode() const noexcept;
    int Rop2() const noexcept;
    void SetTextColorDC(TColor c);
    void SetBkColorDC(TColor c);
    void SetBkModeDC(int mode);
    void SetRop2DC(int rop2);
    TPoint BrushOrigin() const noexcept;
    void SetBrushOrigin(TPoint p);
    TPoint ViewportOrigin() const noexcept;
    void SetViewportOrigin(TPoint p);
    // Scale from logical to device units (replaying a metafile into a rectangle); 1 by default.
    void SetViewportScale(double sx, double sy);
    const TFontData& SelectedFont();
    void SelectFont(const TFontData& font);  // like selecting an HFONT
    void SelectPen(const TPenData& pen);
    void SelectBrush(const TBrushData& brush);
    // Removes the application clip (SelectClipRgn with none).
    void ResetClipRegion();
    int SaveDC();
    bool RestoreDC(int saved);  // negative: relative to the top of the stack
    bool IsMetafileCanvas() const noexcept { return FRecorder != nullptr; }

    // Device-coordinate helpers (logical -> device), for this module's drawing code.
    TPoint LPtoDP(TPoint p) const noexcept;
    TRect LPtoDP(const TRect& r) const noexcept;
    TRect DPtoLP(const TRect& r) const noexcept;

    struct DCState;  // GraphicsPrivate.h
    DCState& State() noexcept { return *FState; }
    TMetaRecorder* Recorder() const noexcept { return FRecorder; }
    // The painter, the region it may paint and the clip applied to it (GraphicsPrivate.h).
    struct Device;

protected:
    // Called around every drawing operation (class-library semantics).
    virtual void Changing();
    virtual void Changed();
    // A canvas with pixels of its own (a bitmap's) gives them here: its surface begins a
    // painter on them when drawing starts, and they are read without one. Not owned.
    void SetSurface(TCanvasSurface* surface) noexcept { FSurface = surface; }
    // The subclass ended the painter its surface gave; the DC state stays.
    void ForgetPainter() noexcept;
    // Selects changed objects and makes sure a painter exists; false when nothing can be painted.
    bool RequiredState(bool font = true, bool pen = true, bool brush = true);
    void SetRecorder(TMetaRecorder* recorder) noexcept { FRecorder = recorder; }
    void ResetState();
    void SetDeviceRect(const TRect& r) noexcept { FDeviceRect = r; }
    bool FMeasuring = true;

private:
    friend struct CanvasPaint;
    void FontChanged(TObject*);
    void PenChanged(TObject*);
    void BrushChanged(TObject*);

    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<DCState> FState;
    std::vector<DCState> FSaved;
    std::unique_ptr<Device> FDevice;
    TCanvasSurface* FSurface = nullptr;
    TRect FDeviceRect;
    int FPixelsPerInch = 96;
    uint32_t FCopyMode = SRCCOPY;
    int FLockCount = 0;
    bool FFontValid = false, FPenValid = false, FBrushValid = false;
    TMetaRecorder* FRecorder = nullptr;
    friend class TMetafileCanvas;
};

// --- GDI functions (HDC = TCanvas*) ----------------------------------------------------------

using HDC = TCanvas*;

TColor SetTextColor(HDC dc, TColor c);  // each answers the previous value
TColor GetTextColor(HDC dc);
TColor SetBkColor(HDC dc, TColor c);
TColor GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
uint32_t SetTextAlign(HDC dc, uint32_t align);  // TA_* flags
uint32_t GetTextAlign(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SaveDC(HDC dc);  // the new depth
bool RestoreDC(HDC dc, int saved);
bool SetBrushOrgEx(HDC dc, int x, int y, TPoint* old = nullptr);
bool SetViewportOrgEx(HDC dc, int x, int y, TPoint* old = nullptr);
bool GetViewportOrgEx(HDC dc, TPoint* p);
int GetDeviceCaps(HDC dc, int index);

// Clipping, in logical coordinates; each answers the region kind (NULLREGION ...).
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int SelectClipRgn(HDC dc, const TRegion* rgn);  // nullptr removes the clip
int ExtSelectClipRgn(HDC dc, const TRegion* rgn, int mode);
int GetClipRgn(HDC dc, TRegion& rgn);  // 0 when no clip is selected, 1 copied
int GetClipBox(HDC dc, TRect& r);
bool RectVisible(HDC dc, const TRect& r);
bool PtVisible(HDC dc, int x, int y);

// Regions.
TRegion CreateRectRgn(int l, int t, int r, int b);
TRegion CreateRectRgnIndirect(const TRect& r);
TRegion CreateEllipticRgn(int l, int t, int r, int b);
TRegion CreatePolygonRgn(const std::vector<TPoint>& points);
int CombineRgn(TRegion& dest, const TRegion& a, const TRegion& b, int mode);
int OffsetRgn(TRegion& rgn, int dx, int dy);
int GetRgnBox(const TRegion& rgn, TRect& r);
bool PtInRegion(const TRegion& rgn, int x, int y);
bool RectInRegion(const TRegion& rgn, const TRect& r);
bool EqualRgn(const TRegion& a, const TRegion& b);
bool FillRgn(HDC dc, const TRegion& rgn, const TBrushData& brush);
bool FrameRgn(HDC dc, const TRegion& rgn, const TBrushData& brush, int w, int h);
bool InvertRgn(HDC dc, const TRegion& rgn);

// Fills and blits.
int FillRect(HDC dc, const TRect& r, const TBrushData& brush);
int FillRect(HDC dc, const TRect& r, TColor solidColor);
int FrameRect(HDC dc, const TRect& r, const TBrushData& brush);
bool InvertRect(HDC dc, const TRect& r);
bool PatBlt(HDC dc, int x, int y, int w, int h, uint32_t rop);
bool BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, uint32_t rop);
bool StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, uint32_t rop);
// Copies the source rectangle stretched to the destination, leaving the destination wherever the
// source has the transparent colour: the one colour-key blit of the window layer.
bool TransparentBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, TColor transparent);
// A solid brush of a system colour.
TBrushData GetSysColorBrush(int index);

// Lines and shapes with the selected pen and brush.
bool MoveToEx(HDC dc, int x, int y, TPoint* old = nullptr);
bool LineTo(HDC dc, int x, int y);
bool Polyline(HDC dc, const std::vector<TPoint>& points);
bool PolyPolyline(HDC dc, const std::vector<TPoint>& points, const std::vector<int>& counts);
bool Polygon(HDC dc, const std::vector<TPoint>& points);
bool Rectangle(HDC dc, int l, int t, int r, int b);
bool Ellipse(HDC dc, int l, int t, int r, int b);
bool RoundRect(HDC dc, int l, int t, int r, int b, int w, int h);
// Counter-clockwise from the radial through (x3,y3) to the one through (x4,y4).
bool Arc(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
bool Chord(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
bool Pie(HDC dc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

// Frames and controls in the fixed system colours.
bool DrawEdge(HDC dc, TRect& r, uint32_t edge, uint32_t flags);
bool DrawFrameControl(HDC dc, TRect& r, uint32_t type, uint32_t state);
bool DrawFocusRect(HDC dc, const TRect& r);

// Text with the selected font, text colour and background mode. Strings are UTF-8; counts
// and positions are in characters; -1 means the whole string.
int DrawText(HDC dc, const std::string& text, int count, TRect& r, uint32_t format);
bool ExtTextOut(HDC dc, int x, int y, uint32_t options, const TRect* r, const std::string& text,
    const std::vector<int>* dx = nullptr);
bool TextOut(HDC dc, int x, int y, const std::string& text);
bool GetTextExtentPoint32(HDC dc, const std::string& text, TSize& size);
// How many characters fit into maxExtent (all when maxExtent < 0) and the extent after each.
bool GetTextExtentExPoint(
    HDC dc, const std::string& text, int maxExtent, int* fit, std::vector<int>* extents, TSize& size);
bool GetTextMetrics(HDC dc, TTextMetric& tm);
// Advance widths of the code points first..last.
bool GetCharWidth32(HDC dc, char32_t first, char32_t last, std::vector<int>& widths);
