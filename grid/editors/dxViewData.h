#pragma once
// Windowless cell painting. A grid paints thousands of cells but shows at most one editor
// window, so every cell is painted by the class of the editor that would edit it: the host
// fills a view data with everything that decides the cell's look and calls the class
// operations of the editor class (TdxInplaceEditClass) on it. The same operations paint an
// editor window's border and, for editors without an edit window, its client area, so a cell
// and its editor look alike.
//
// Pixels, on a device context (HDC = TCanvas*). A view data is plain data: the host owns it,
// fills it per cell and reuses it.

#include <memory>
#include <string>

#include "grid/editors/dxCntner.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Variant.h"

class TBitmap;
class TdxEditStyle;

// Everything that decides how one cell or editor looks.
class TdxEditViewData {
public:
    virtual ~TdxEditViewData() = default;
    bool Enabled = true;
    bool HasFocus = false;
    bool Highlighted = false;  // hot: mouse inside, or focused and enabled; a grid's selected cell
    TColor BorderColor = clWindowFrame;
    TdxEditBorderStyle BorderStyle = xbsNone;  // already adjusted for hot tracking
    TdxEditButtonViewStyle ButtonStyle = bts3D;  // btsDefault already resolved
    bool ButtonsTransparent = false;
    TdxEditEdges Edges = dxAllEdges();
    bool Shadow = false;  // 2 pixels at right and bottom
    bool OpaqueText = false;  // keep the DC's background mode (cell text flag 0x8000)
    bool Transparent = false;  // no background fill (cell text flag 0x1000)
    TRect TextMargins;  // extra left, top, right, bottom margins of the text
    TRect Bounds;  // the whole cell or editor
    TAlignment Alignment = taLeftJustify;
    uint8_t TextLayout = 0;  // 0 top, 1 centre, 2 bottom, 3 word-wrapped from the top
    TBrushData BrushHandle;  // background brush
    TColor BackColor = clWhite;  // RGB
    TFontData FontHandle;  // text font
    TColor FontColor = clBlack;  // RGB
    bool HasEditWindow = false;  // a window paint then leaves the text to the window
    Variant Value;  // for text kinds, its display string
    int ValueLength = 0;  // characters to draw; 0: the whole string
    TBitmap* WorkBitmap = nullptr;  // lent by the host, not owned
    bool MeasureOnly = false;  // Draw measures and paints nothing
    int MeasuredLineCount = 0, MeasuredHeight = 0, MeasuredLineHeight = 0;
    TCursor Cursor = crDefault;  // 0: the kind decides
};

class TdxTextEditViewData : public TdxEditViewData {
public:
    TEditCharCase CharCase = ecNormal;
    bool ShowEndEllipsis = false;  // cell text flag 0x100
    char32_t PasswordChar = 0;  // when not 0 every character shows as this one
    bool SelectionBar = false;  // the text starts 8 pixels further right
    bool DrawsFocusFrame = false;  // a stand-alone editor without an edit window
};

// Computed by CalcViewInfo, never stored.
struct TdxEditViewInfo {
    int BorderWidth = 0;
    int ShadowSize = 0;
    TRect Bounds;
    TRect ClientRect;
    bool LeftEdge = false, TopEdge = false, RightEdge = false, BottomEdge = false;
    TRect BorderRect;
    TRect ShadowRect;
};

// The window region of a view info: false (the whole rectangle) for an unshadowed border
// thicker than one pixel on all four edges; otherwise BorderRect united with ShadowRect.
bool dxEditViewInfoRegion(const TdxEditViewInfo& info, TRegion& region);

class TdxInplaceEdit;
using TdxEditStyleClass = TdxEditStyle* (*)(TdxInplaceEdit* edit);
using TdxEditViewDataClass = std::unique_ptr<TdxEditViewData> (*)();

// The class operations of an editor class: what a host calls without an editor instance. One
// immutable object per editor class; a kind derives and overrides.
class TdxInplaceEditClass {
public:
    virtual ~TdxInplaceEditClass() = default;
    virtual const char* ClassName() const { return "TdxInplaceEdit"; }
    // False only for editors that work outside a container.
    virtual bool IsInplace() const { return true; }
    virtual TdxEditStyleClass GetEditStyleClass() const;
    virtual TdxEditViewDataClass GetViewDataClass() const;
    std::unique_ptr<TdxEditViewData> NewViewData() const { return GetViewDataClass()(); }

    // Frame of 2 pixels, border width by style, shadow of 2; with autoSize the bounds follow the
    // buttons or the minimum height.
    virtual void CalcViewInfo(const TdxEditViewData& viewData, bool autoSize, TdxEditViewInfo& viewInfo) const;
    // Border and content at viewData.Bounds (rect is the host's cell rectangle, unused here);
    // the painted area is then removed from clipRegion when one is given.
    virtual void DrawEditor(HDC dc, const TRect& rect, TdxEditViewData& viewData, TRegion* clipRegion) const;
    virtual void DrawBorder(HDC dc, const TdxEditViewInfo& viewInfo, const TdxEditViewData& viewData) const;
    // The content into rect; True when the kind painted it.
    virtual bool Draw(HDC dc, const TRect& rect, TdxEditViewData& viewData, bool windowPaint) const;
    virtual TCursor GetCursorAt(int x, int y, const TdxEditViewData& viewData) const;
    virtual int GetMinHeight(const TdxEditViewData& viewData) const;
    virtual void GetButtonsRect(const TdxEditViewData& viewData, TRect& rect) const;
};

// The text editor's painting: its view data is TdxTextEditViewData, and Draw shows the value
// as text through dxDrawCellText.
class TdxInplaceTextEditClass : public TdxInplaceEditClass {
public:
    const char* ClassName() const override { return "TdxInplaceTextEdit"; }
    TdxEditViewDataClass GetViewDataClass() const override;
    bool Draw(HDC dc, const TRect& rect, TdxEditViewData& viewData, bool windowPaint) const override;
};

const TdxInplaceEditClass& dxInplaceEditClass();
const TdxInplaceTextEditClass& dxInplaceTextEditClass();

// The solid brush of clBtnShadow that paints every shadow.
const TBrushData& dxShadowBrush();
