#include "platform/gui/Graphics.h"

#include <QtCore/QRect>
#include <algorithm>
#include <cstdio>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

// --- geometry ------------------------------------------------------------------------------

bool IsRectEmpty(const TRect& r) noexcept { return r.Right <= r.Left || r.Bottom <= r.Top; }
bool PtInRect(const TRect& r, TPoint p) noexcept {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) noexcept {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}
bool UnionRect(TRect& dst, const TRect& a, const TRect& b) noexcept {
    if (IsRectEmpty(a)) dst = b;
    else if (IsRectEmpty(b)) dst = a;
    else
        dst = {
            std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
    if (IsRectEmpty(dst)) {
        dst = TRect{};
        return false;
    }
    return true;
}
void OffsetRect(TRect& r, int dx, int dy) noexcept {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
void InflateRect(TRect& r, int dx, int dy) noexcept {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}
QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

// --- colours -------------------------------------------------------------------------------

namespace {
// The classic Windows scheme, fixed so that drawing is the same on every machine.
constexpr TColor kSysColors[31] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,  // 0-7
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,  // 8-15
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,  // 16-23
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,  // 24-30
};

struct ColorName {
    TColor value;
    const char* name;
};
constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clHotLight, "clHotLight"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuBar, "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

bool AsciiSame(const std::string& a, const char* b) {
    size_t n = std::char_traits<char>::length(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x + 32);
        if (y >= 'A' && y <= 'Z') y = char(y + 32);
        if (x != y) return false;
    }
    return true;
}
}  // namespace

TColor GetSysColor(int index) noexcept {
    return index >= 0 && index < int(std::size(kSysColors)) ? kSysColors[index] : 0;
}
TColor ColorToRGB(TColor color) noexcept { return color < 0 ? GetSysColor(color & 0xFF) : color; }
QColor ToQColor(TColor color) { return RgbToQ(color); }

bool IdentToColor(const std::string& ident, TColor& color) {
    for (const auto& c : kColorNames)
        if (AsciiSame(ident, c.name)) {
            color = c.value;
            return true;
        }
    return false;
}
std::string ColorToString(TColor color) {
    for (const auto& c : kColorNames)
        if (c.value == color) return c.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%.8X", unsigned(color));
    return buf;
}
TColor StringToColor(const std::string& s) {
    TColor c;
    if (IdentToColor(s, c)) return c;
    return StrToInt(s);
}

// --- TFont ---------------------------------------------------------------------------------

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TFont, TPersistent, {
    // Only Pitch has a default: a stored font always names its Charset, Color and Style, as
    // stored reports expect (a memo's font attributes are all there or none).
    KAROMIL_PROP(Charset, TypeInfoFontCharset());
    KAROMIL_PROP(Color, TypeInfoColor());
    KAROMIL_PROP(Height);
    KAROMIL_PROP(Name);
    KAROMIL_PROP(Pitch).Default(fpDefault);
    KAROMIL_PROP(Size).Stored(false);
    KAROMIL_PROP(Style);
})

void TFont::Assign(TPersistent* source) {
    if (auto* f = dynamic_cast<TFont*>(source)) {
        if (f == this) return;
        TFontData d = f->FData;
        // Between resolutions the point size is what carries over (a screen font given to a
        // printer canvas keeps its Size and gets the printer's pixel height).
        if (f->FPixelsPerInch != FPixelsPerInch) d.Height = -MulDiv(f->GetSize(), FPixelsPerInch, 72);
        if (d == FData && f->FColor == FColor) return;
        FData = d;
        FColor = f->FColor;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
void TFont::Changed() {
    ++FChangeCount;
    if (OnChange) OnChange(this);
}
void TFont::SetCharset(TFontCharset v) {
    if (v != FData.Charset) {
        FData.Charset = v;
        Changed();
    }
}
void TFont::SetColor(TColor v) {
    if (v != FColor) {
        FColor = v;
        Changed();
    }
}
void TFont::SetHeight(int v) {
    if (v != FData.Height) {
        FData.Height = v;
        Changed();
    }
}
void TFont::SetName(const std::string& v) {
    if (!v.empty() && v != FData.Name) {
        FData.Name = v;
        Changed();
    }
}
void TFont::SetPitch(TFontPitch v) {
    if (v != FData.Pitch) {
        FData.Pitch = v;
        Changed();
    }
}
int TFont::GetSize() const noexcept { return -MulDiv(FData.Height, 72, FPixelsPerInch); }
void TFont::SetSize(int v) { SetHeight(-MulDiv(v, FPixelsPerInch, 72)); }
void TFont::SetStyle(TFontStyles v) {
    if (!(v == FData.Style)) {
        FData.Style = v;
        Changed();
    }
}
void TFont::SetOrientation(int v) {
    if (v != FData.Orientation) {
        FData.Orientation = v;
        Changed();
    }
}
void TFont::SetData(const TFontData& d) {
    if (!(d == FData)) {
        FData = d;
        Changed();
    }
}

// --- TPen, TBrush --------------------------------------------------------------------------

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TPen, TPersistent, {
    KAROMIL_PROP(Color, TypeInfoColor()).Default(clBlack);
    KAROMIL_PROP(Mode).Default(pmCopy);
    KAROMIL_PROP(Style).Default(psSolid);
    KAROMIL_PROP(Width).Default(1);
})

void TPen::Assign(TPersistent* source) {
    if (auto* p = dynamic_cast<TPen*>(source)) {
        if (p == this) return;
        if (p->FData == FData && p->FMode == FMode) return;
        FData = p->FData;
        FMode = p->FMode;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
void TPen::Changed() {
    if (OnChange) OnChange(this);
}
void TPen::SetColor(TColor v) {
    if (v != FData.Color) {
        FData.Color = v;
        Changed();
    }
}
void TPen::SetMode(TPenMode v) {
    if (v != FMode) {
        FMode = v;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle v) {
    if (v != FData.Style) {
        FData.Style = v;
        Changed();
    }
}
void TPen::SetWidth(int v) {
    if (v >= 0 && v != FData.Width) {
        FData.Width = v;
        Changed();
    }
}

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TBrush, TPersistent, {
    KAROMIL_PROP(Color, TypeInfoColor()).Default(clWhite);
    KAROMIL_PROP(Style).Default(bsSolid);
})

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* source) {
    if (auto* b = dynamic_cast<TBrush*>(source)) {
        if (b == this) return;
        FData = b->FData;
        FBitmap = b->FBitmap;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
void TBrush::Changed() {
    if (OnChange) OnChange(this);
}
void TBrush::SetColor(TColor v) {
    if (v == FData.Color && !FData.Pattern) return;
    FData.Color = v;
    FData.Pattern.reset();
    FBitmap = nullptr;
    if (FData.Style == bsClear) FData.Style = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v == FData.Style && !FData.Pattern) return;
    FData.Style = v;
    FData.Pattern.reset();
    FBitmap = nullptr;
    Changed();
}
void TBrush::SetBitmap(TBitmap* bitmap) {
    FBitmap = bitmap;
    if (bitmap && !bitmap->Empty()) {
        QImage img = BitmapImage(bitmap).copy(0, 0, 8, 8).convertToFormat(QImage::Format_RGB32);
        FData.Pattern = std::make_shared<const TBrushPattern>(TBrushPattern{std::move(img)});
        FData.PatternMonochrome = bitmap->Monochrome();
        FData.Style = bsSolid;
    } else {
        FData.Pattern.reset();
    }
    Changed();
}
