#include "grid/editors/dxUtils.h"

#include <algorithm>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

namespace {

// Half of a sum of coordinates, rounding down.
int Half(int sum) noexcept { return sum >> 1; }

bool HasLineBreak(const std::string& s) noexcept { return s.find_first_of("\r\n") != std::string::npos; }

}  // namespace

int dxDrawCellText(HDC dc, const std::string& text, int length, const TRect& fillRect, const TRect& textRect,
    uint16_t flags, const TBrushData& brush, const TFontData& font, TColor bkColor, TColor textColor, int* lineHeight) {
    const bool measuring = flags & dxCellTextMeasure;
    const bool noFill = flags & dxCellTextNoFill;
    const bool keepBkMode = flags & dxCellTextKeepBkMode;

    // 1. Font and colours, remembered for the way out.
    const bool sameFont = dc->SelectedFont() == font;
    TFontData oldFont;
    if (!sameFont) {
        oldFont = dc->SelectedFont();
        dc->SelectFont(font);
    }
    const TColor oldBk = SetBkColor(dc, bkColor);
    const TColor oldText = SetTextColor(dc, textColor);
    auto restore = OnScopeExit([&] {
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBk);
        if (!sameFont) dc->SelectFont(oldFont);
    });

    const int64_t total = Utf8Length(text);
    const int count = int(std::clamp<int64_t>(length, 0, total));
    const std::string shown = count == total ? text : Utf8Copy(text, 1, count);
    TSize extent;
    GetTextExtentPoint32(dc, text, extent);
    const int W = extent.cx;
    int H = extent.cy;

    // 2. The line height for a measuring caller.
    if (measuring && lineHeight) {
        *lineHeight = H;
        if (H == 0) return 0;
    }

    // 3. The path.
    bool tooWide;
    bool formatted;
    if (flags & (dxCellTextMultiLine | dxCellTextPrefix)) {
        tooWide = true;
        formatted = true;
    } else {
        tooWide = textRect.Width() < W;
        formatted = (tooWide || HasLineBreak(shown)) &&
            (flags & (dxCellTextMultiLine | dxCellTextEndEllipsis | dxCellTextPathEllipsis));
    }

    const uint16_t layout = flags & dxCellTextLayoutMask;
    TRect own = textRect;  // the text's own rectangle, for a focus rectangle around the text
    if (formatted) {
        // 4. DrawText.
        uint32_t format = DT_EXPANDTABS;
        switch (flags & dxCellTextAlignMask) {
        case dxCellTextCenter: format |= DT_CENTER; break;
        case dxCellTextRight: format |= DT_RIGHT; break;
        default: format |= DT_LEFT; break;
        }
        if (!tooWide) format |= DT_NOCLIP;
        if (!(flags & dxCellTextPrefix)) format |= DT_NOPREFIX;
        if (flags & dxCellTextEndEllipsis) format |= DT_END_ELLIPSIS;
        if (flags & dxCellTextPathEllipsis) format |= DT_PATH_ELLIPSIS;
        switch (layout) {
        case dxCellTextVCenter: format |= DT_SINGLELINE | DT_VCENTER; break;
        case dxCellTextBottom: format |= DT_SINGLELINE | DT_BOTTOM; break;
        case dxCellTextMultiLine: format |= DT_WORDBREAK; break;
        default: format |= DT_SINGLELINE; break;
        }
        if (measuring) {
            TRect calc = textRect;
            H = DrawText(dc, shown, -1, calc, format | DT_CALCRECT);
        } else {
            if (!noFill) FillRect(dc, fillRect, brush);
            const int oldMode = keepBkMode ? 0 : SetBkMode(dc, TRANSPARENT);
            TRect r = textRect;
            DrawText(dc, shown, -1, r, format);
            if (!keepBkMode) SetBkMode(dc, oldMode);
            if ((flags & dxCellTextFocusRect) && (flags & dxCellTextFocusOnText)) {
                TRect calc = textRect;
                const int h = DrawText(dc, shown, -1, calc, format | DT_CALCRECT);
                // Sound: the frame goes where the text was drawn. Measuring leaves the rectangle
                // at the top-left of textRect, which would frame empty space for a centred,
                // right-aligned or bottom text.
                const int w = std::min(calc.Width(), textRect.Width());
                own.Left = textRect.Left;
                if ((flags & dxCellTextAlignMask) == dxCellTextCenter)
                    own.Left = Half(textRect.Left + textRect.Right - w);
                else if ((flags & dxCellTextAlignMask) == dxCellTextRight) own.Left = textRect.Right - w;
                own.Right = own.Left + w;
                own.Top = textRect.Top;
                if (layout == dxCellTextVCenter) own.Top = Half(textRect.Top + textRect.Bottom - h);
                else if (layout == dxCellTextBottom) own.Top = textRect.Bottom - h;
                own.Bottom = own.Top + h;
            }
        }
    } else {
        // 5. ExtTextOut.
        TRect clip = fillRect;
        int x = textRect.Left;
        if (tooWide) {
            if (!noFill && !measuring && textRect.Right < fillRect.Right)
                FillRect(dc, Rect(textRect.Right, fillRect.Top, fillRect.Right, fillRect.Bottom), brush);
            clip.Right = textRect.Right;
        } else {
            // Sound: the halves are taken with a signed shift. Halving the sum as an unsigned
            // number throws a cell that lies partly left of or above the device (negative
            // coordinates while scrolled) billions of pixels away, and its text vanishes.
            if ((flags & dxCellTextAlignMask) == dxCellTextCenter) x = Half(textRect.Left + textRect.Right - W);
            else if ((flags & dxCellTextAlignMask) == dxCellTextRight) x = textRect.Right - W;
        }
        int y = textRect.Top;
        if (layout == dxCellTextVCenter) y = Half(textRect.Top + textRect.Bottom - H);
        else if (layout == dxCellTextBottom) y = textRect.Bottom - H;
        own = Rect(x, y, x + W, y + H);
        if (!measuring) {
            if (noFill) {
                const int oldMode = keepBkMode ? 0 : SetBkMode(dc, TRANSPARENT);
                ExtTextOut(dc, x, y, ETO_CLIPPED, &clip, shown);
                if (!keepBkMode) SetBkMode(dc, oldMode);
            } else {
                ExtTextOut(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &clip, shown);
            }
        }
    }

    // 6. Focus rectangle.
    if ((flags & dxCellTextFocusRect) && !measuring) {
        const bool onText = flags & dxCellTextFocusOnText;
        if (!onText || count > 0) {
            TRect f = onText ? own : textRect;
            InflateRect(f, 1, 1);
            SetBkColor(dc, clBlack);
            SetTextColor(dc, clWhite);
            DrawFocusRect(dc, f);
        }
    }

    // 7. The state comes back through the guard.
    return measuring ? fillRect.Height() - textRect.Height() + H : 0;
}

const TBrushData& dxHalftoneBrush() {
    static const TBrushData data = [] {
        TBrush brush;
        brush.SetBitmap(CheckerboardBitmap());
        return brush.Data();
    }();
    return data;
}

void dxEnsureBitmapSize(TBitmap* bitmap, int width, int height) {
    if (!bitmap) return;
    const int w = std::max(bitmap->GetWidth(), width);
    const int h = std::max(bitmap->GetHeight(), height);
    if (w != bitmap->GetWidth() || h != bitmap->GetHeight()) bitmap->SetSize(w, h);
}

namespace {

// A memory picture of size w x h filled with brush, its pattern lined up with dc's at origin.
void FillMemory(TBitmap& memory, HDC dc, const TBrushData& brush, TPoint origin, int w, int h) {
    memory.SetSize(w, h);
    HDC m = memory.Canvas()->Handle();
    const TPoint org = dc->BrushOrigin();
    SetBrushOrgEx(m, org.X - origin.X, org.Y - origin.Y);
    SetTextColor(m, GetTextColor(dc));
    SetBkColor(m, GetBkColor(dc));
    FillRect(m, Rect(0, 0, w, h), brush);
}

}  // namespace

void dxDrawBitmapOverBrush(HDC dc, const TBrushData& brush, const TRect& rect, TBitmap* bitmap) {
    dxDrawGlyphInRect(dc, brush, rect, bitmap, Rect(0, 0, rect.Width(), rect.Height()));
}

void dxDrawGlyphInRect(
    HDC dc, const TBrushData& brush, const TRect& destRect, TBitmap* bitmap, const TRect& glyphRect) {
    const int w = destRect.Width(), h = destRect.Height();
    if (w <= 0 || h <= 0) return;
    TBitmap memory;
    FillMemory(memory, dc, brush, destRect.TopLeft(), w, h);
    if (bitmap && !bitmap->Empty()) {
        const int gw = std::min(glyphRect.Width(), bitmap->GetWidth());
        const int gh = std::min(glyphRect.Height(), bitmap->GetHeight());
        if (gw > 0 && gh > 0)
            TransparentBlt(memory.Canvas()->Handle(), glyphRect.Left, glyphRect.Top, gw, gh, bitmap->Canvas()->Handle(),
                0, 0, gw, gh, bitmap->GetTransparentColor());
    }
    BitBlt(dc, destRect.Left, destRect.Top, w, h, memory.Canvas()->Handle(), 0, 0, SRCCOPY);
}

void dxDrawHalftoneRect(HDC dc, const TRect& rect, TColor color) {
    const int w = rect.Width(), h = rect.Height();
    if (w <= 0 || h <= 0) return;
    const TColor rgb = ColorToRGB(color);
    const TColor key = rgb == clBlack ? clWhite : clBlack;
    // The pattern in color over a key colour; the key lets what was there show through.
    TBitmap memory;
    memory.SetSize(w, h);
    HDC m = memory.Canvas()->Handle();
    const TPoint org = dc->BrushOrigin();
    SetBrushOrgEx(m, org.X - rect.Left, org.Y - rect.Top);
    SetTextColor(m, rgb);
    SetBkColor(m, key);
    FillRect(m, Rect(0, 0, w, h), dxHalftoneBrush());
    TransparentBlt(dc, rect.Left, rect.Top, w, h, m, 0, 0, w, h, key);
}

TColor dxImageListColor(TColor color) {
    if (color == clNone) return CLR_NONE;
    if (color == clDefault) return CLR_DEFAULT;
    return ColorToRGB(color);
}

void dxDrawImage(HDC dc, int x, int y, TCustomImageList* imageList, int index) {
    if (!imageList || index < 0 || index >= imageList->Count()) return;
    uint32_t style = ILD_NORMAL;
    switch (imageList->GetDrawingStyle()) {
    case dsFocus: style = ILD_FOCUS; break;
    case dsSelected: style = ILD_SELECTED; break;
    case dsNormal: style = ILD_NORMAL; break;
    case dsTransparent: style = ILD_TRANSPARENT; break;
    }
    if (imageList->GetImageType() == itMask) style |= ILD_MASK;
    ImageList_DrawEx(imageList, index, dc, x, y, 0, 0, dxImageListColor(imageList->GetBkColor()),
        dxImageListColor(imageList->GetBlendColor()), style);
}

void dxFillShadow(HDC dc, const TRect& rect, int size, const TBrushData& brush) {
    if (size <= 0) return;
    FillRect(dc, Rect(rect.Left, rect.Bottom - size, rect.Right, rect.Bottom), brush);
    FillRect(dc, Rect(rect.Right - size, rect.Top, rect.Right, rect.Bottom), brush);
}
