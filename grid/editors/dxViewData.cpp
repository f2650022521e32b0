#include "grid/editors/dxViewData.h"

#include "grid/editors/dxEditStyle.h"
#include "grid/editors/dxUtils.h"
#include "platform/rtl/Strings.h"

namespace {

std::unique_ptr<TdxEditViewData> NewEditViewData() { return std::make_unique<TdxEditViewData>(); }
std::unique_ptr<TdxEditViewData> NewTextEditViewData() { return std::make_unique<TdxTextEditViewData>(); }
TdxEditStyle* NewEditStyle(TdxInplaceEdit* edit) { return new TdxEditStyle(edit); }

uint32_t EdgeFlags(const TdxEditViewInfo& info) {
    return (info.LeftEdge ? uint32_t(BF_LEFT) : 0u) | (info.TopEdge ? uint32_t(BF_TOP) : 0u) |
        (info.RightEdge ? uint32_t(BF_RIGHT) : 0u) | (info.BottomEdge ? uint32_t(BF_BOTTOM) : 0u);
}

}  // namespace

bool dxEditViewInfoRegion(const TdxEditViewInfo& info, TRegion& region) {
    const bool allEdges = info.LeftEdge && info.TopEdge && info.RightEdge && info.BottomEdge;
    if (info.ShadowSize == 0 && info.BorderWidth > 1 && allEdges) return false;
    region = CreateRectRgnIndirect(info.BorderRect);
    if (info.ShadowSize > 0) CombineRgn(region, region, CreateRectRgnIndirect(info.ShadowRect), RGN_OR);
    return true;
}

const TBrushData& dxShadowBrush() {
    static const TBrushData brush = GetSysColorBrush(COLOR_BTNSHADOW);
    return brush;
}

// --- the base class operations ------------------------------------------------------------------

TdxEditStyleClass TdxInplaceEditClass::GetEditStyleClass() const { return &NewEditStyle; }
TdxEditViewDataClass TdxInplaceEditClass::GetViewDataClass() const { return &NewEditViewData; }

void TdxInplaceEditClass::CalcViewInfo(
    const TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const {
    viewInfo = TdxEditViewInfo{};
    const int shadow = viewData.Shadow ? 2 : 0;
    viewInfo.ShadowSize = shadow;
    TRect& b = viewInfo.Bounds;
    b = viewData.Bounds;
    // Two pixels of frame on every side, whatever the border.
    TRect& c = viewInfo.ClientRect;
    c = Rect(b.Left + 2, b.Top + 2, b.Right - shadow - 2, b.Bottom - shadow - 2);
    switch (viewData.BorderStyle) {
    case xbsNone: viewInfo.BorderWidth = 0; break;
    case xbsSingle: viewInfo.BorderWidth = 1; break;
    default: viewInfo.BorderWidth = 2; break;
    }
    if (autoSize) {
        TRect buttons;
        GetButtonsRect(viewData, buttons);
        int h;
        if (IsRectEmpty(buttons)) {
            h = GetMinHeight(viewData);
        } else {
            b.Right = b.Left + buttons.Width() + shadow + 4;
            c.Right = b.Left + buttons.Width() + 2;
            h = buttons.Height();
        }
        b.Bottom = b.Top + h + shadow + 4;
        c.Bottom = b.Top + h + 2;
    }
    viewInfo.LeftEdge = viewData.Edges.Contains(edgLeft);
    viewInfo.TopEdge = viewData.Edges.Contains(edgTop);
    viewInfo.RightEdge = viewData.Edges.Contains(edgRight);
    viewInfo.BottomEdge = viewData.Edges.Contains(edgBottom);
    const int w = viewInfo.BorderWidth;
    viewInfo.BorderRect = Rect(c.Left - (viewInfo.LeftEdge ? w : 0), c.Top - (viewInfo.TopEdge ? w : 0),
        c.Right + (viewInfo.RightEdge ? w : 0), c.Bottom + (viewInfo.BottomEdge ? w : 0));
    if (shadow > 0) {
        viewInfo.ShadowRect = viewInfo.BorderRect;
        OffsetRect(viewInfo.ShadowRect, shadow, shadow);
    }
}

void TdxInplaceEditClass::DrawEditor(HDC dc, const TRect&, TdxEditViewData& viewData, TRegion* clipRegion) const {
    TdxEditViewInfo info;
    CalcViewInfo(viewData, false, info);
    DrawBorder(dc, info, viewData);
    Draw(dc, info.ClientRect, viewData, false);
    if (clipRegion) {
        TRegion painted;
        if (!dxEditViewInfoRegion(info, painted)) painted = CreateRectRgnIndirect(info.BorderRect);
        CombineRgn(*clipRegion, *clipRegion, painted, RGN_DIFF);
    }
}

void TdxInplaceEditClass::DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, const TdxEditViewData& viewData) const {
    const TRect& r = viewInfo.BorderRect;
    const int w = viewInfo.BorderWidth;
    switch (viewData.BorderStyle) {
    case xbsSingle:
    case xbsThick: {
        TBrushData brush;
        brush.Color = ColorToRGB(viewData.BorderColor);
        if (viewInfo.LeftEdge && viewInfo.TopEdge && viewInfo.RightEdge && viewInfo.BottomEdge) {
            TRect f = r;
            for (int i = 0; i < w; ++i) {
                FrameRect(dc, f, brush);
                InflateRect(f, -1, -1);
            }
        } else {
            const int top = r.Top - (viewInfo.TopEdge ? 0 : w);
            if (viewInfo.LeftEdge) FillRect(dc, Rect(r.Left, top, r.Left + w, r.Bottom), brush);
            if (viewInfo.TopEdge) FillRect(dc, Rect(r.Left, r.Top, r.Right, r.Top + w), brush);
            if (viewInfo.RightEdge) FillRect(dc, Rect(r.Right - w, top, r.Right, r.Bottom), brush);
            if (viewInfo.BottomEdge) FillRect(dc, Rect(r.Left, r.Bottom - w, r.Right, r.Bottom), brush);
        }
        break;
    }
    case xbsFlat: {
        TRect e = r;
        DrawEdge(dc, e, BDR_SUNKENOUTER, EdgeFlags(viewInfo) | BF_ADJUST);
        DrawEdge(dc, e, BDR_SUNKENINNER, EdgeFlags(viewInfo) | BF_FLAT);
        break;
    }
    case xbs3D: {
        TRect e = r;
        DrawEdge(dc, e, EDGE_SUNKEN, EdgeFlags(viewInfo));
        break;
    }
    case xbsNone: break;
    }
    if (viewData.Shadow) dxFillShadow(dc, viewInfo.ShadowRect, viewInfo.ShadowSize, dxShadowBrush());
}

bool TdxInplaceEditClass::Draw(HDC dc, const TRect& rect, TdxEditViewData& viewData, bool) const {
    if (!viewData.MeasureOnly) FillRect(dc, rect, viewData.BrushHandle);
    return true;
}

TCursor TdxInplaceEditClass::GetCursorAt(int, int, const TdxEditViewData& viewData) const {
    if (viewData.Cursor != crDefault) return viewData.Cursor;
    return viewData.HasEditWindow ? TCursor(crDefault) : TCursor(crArrow);
}

int TdxInplaceEditClass::GetMinHeight(const TdxEditViewData& viewData) const {
    // The font measured as the screen shows it.
    TCanvas screen;
    screen.SelectFont(viewData.FontHandle);
    TTextMetric tm;
    GetTextMetrics(&screen, tm);
    return tm.tmHeight + (IsInplace() ? 3 : 2 * (GetSystemMetrics(SM_CYBORDER) + 1));
}

void TdxInplaceEditClass::GetButtonsRect(const TdxEditViewData&, TRect& rect) const { rect = TRect{}; }

// --- the text editor's painting -----------------------------------------------------------------

TdxEditViewDataClass TdxInplaceTextEditClass::GetViewDataClass() const { return &NewTextEditViewData; }

bool TdxInplaceTextEditClass::Draw(HDC dc, const TRect& rect, TdxEditViewData& viewData, bool windowPaint) const {
    if (viewData.HasEditWindow && windowPaint) return false;
    static const TdxTextEditViewData plain;
    const auto* text = dynamic_cast<const TdxTextEditViewData*>(&viewData);
    const TdxTextEditViewData& t = text ? *text : plain;

    std::string s = VarToStr(viewData.Value);
    if (viewData.ValueLength == 0) viewData.ValueLength = int(Utf8Length(s));
    if (t.CharCase == ecUpperCase) s = AnsiUpperCase(s);
    else if (t.CharCase == ecLowerCase) s = AnsiLowerCase(s);
    if (t.PasswordChar != 0 && !s.empty()) {
        s = StringOfChar(t.PasswordChar, Utf8Length(s));
    }

    TRect r = rect;
    if (t.SelectionBar) r.Left += 8;
    if (t.DrawsFocusFrame) {
        InflateRect(r, -2, -2);
    } else {
        InflateRect(r, -1, -1);
        r.Left += viewData.TextMargins.Left;
        r.Top += viewData.TextMargins.Top;
        r.Right -= viewData.TextMargins.Right;
        if (viewData.Alignment == taRightJustify) r.Right -= 1;
    }

    uint16_t flags = 0;
    if (viewData.Alignment == taCenter) flags |= dxCellTextCenter;
    else if (viewData.Alignment == taRightJustify) flags |= dxCellTextRight;
    static constexpr uint16_t layouts[] = {dxCellTextTop, dxCellTextVCenter, dxCellTextBottom, dxCellTextMultiLine};
    flags |= layouts[viewData.TextLayout & 3];
    if (t.DrawsFocusFrame && viewData.HasFocus) flags |= dxCellTextFocusRect;
    if (viewData.Transparent) flags |= dxCellTextNoFill;
    if (viewData.OpaqueText) flags |= dxCellTextKeepBkMode;
    if (t.ShowEndEllipsis) flags |= dxCellTextEndEllipsis;

    if (viewData.MeasureOnly) {
        viewData.MeasuredLineCount = 0;
        viewData.MeasuredLineHeight = 0;
        int h = dxDrawCellText(dc, s, viewData.ValueLength, rect, r, flags | dxCellTextMeasure, viewData.BrushHandle,
            viewData.FontHandle, viewData.BackColor, viewData.FontColor, &viewData.MeasuredLineHeight);
        if (h != 0) {
            h -= t.DrawsFocusFrame ? 2 : viewData.TextMargins.Top + 2;
            if (viewData.MeasuredLineHeight != 0) viewData.MeasuredLineCount = h / viewData.MeasuredLineHeight;
        }
        viewData.MeasuredHeight = h;
    } else {
        dxDrawCellText(dc, s, viewData.ValueLength, rect, r, flags, viewData.BrushHandle, viewData.FontHandle,
            viewData.BackColor, viewData.FontColor);
    }
    return true;
}

const TdxInplaceEditClass& dxInplaceEditClass() {
    static const TdxInplaceEditClass cls;
    return cls;
}

const TdxInplaceTextEditClass& dxInplaceTextEditClass() {
    static const TdxInplaceTextEditClass cls;
    return cls;
}
