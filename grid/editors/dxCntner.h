#pragma once
// The editor host: TCustomdxContainer is the base control of every grid of the family. It
// paints nothing and holds no data; it answers the questions a hosted in-place editor
// (TdxInplaceEdit) asks its host, with neutral answers that a grid overrides, and gives the
// grid its scroll bars (regular, hot-tracking or flat) and wheel scrolling.
//
// A grid hosts at most one editor window at a time; the editor is created with the grid as its
// owner and, being "in place", routes its questions to it. Every answer below is a contract
// that editors rely on; a grid changes one only as its own header says.
//
// Also here: the look enumerations shared by editors, styles and popups, and two routines the
// editors use (dxKillMessage, dxAdjustPopupPosition). GUI thread only.

#include "platform/gui/Controls.h"

// --- look enumerations -------------------------------------------------------------------------

enum TdxEditBorderStyle { xbsNone, xbsSingle, xbsThick, xbsFlat, xbs3D };
KAROMIL_ENUM_TYPE(TdxEditBorderStyle, "xbsNone", "xbsSingle", "xbsThick", "xbsFlat", "xbs3D")
enum TdxPopupBorder { pbDefault, pbSingle, pbFrame3D, pbFlat };
KAROMIL_ENUM_TYPE(TdxPopupBorder, "pbDefault", "pbSingle", "pbFrame3D", "pbFlat")
enum TdxEditButtonViewStyle { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat };
KAROMIL_ENUM_TYPE(TdxEditButtonViewStyle, "btsDefault", "bts3D", "btsFlat", "btsSimple", "btsHotFlat")
enum TdxEditButtonTransparence { ebtNone, ebtInactive, ebtAlways, ebtHideInactive };
KAROMIL_ENUM_TYPE(TdxEditButtonTransparence, "ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive")
enum TdxEditEdge { edgLeft, edgTop, edgRight, edgBottom };
KAROMIL_ENUM_TYPE(TdxEditEdge, "edgLeft", "edgTop", "edgRight", "edgBottom")
using TdxEditEdges = TSet<TdxEditEdge>;
KAROMIL_SET_TYPE(TdxEditEdges, TdxEditEdge)
inline TdxEditEdges dxAllEdges() { return TdxEditEdges{edgLeft, edgTop, edgRight, edgBottom}; }

class TdxInplaceEdit;
class TdxEditStyle;

// --- the host --------------------------------------------------------------------------------

class TCustomdxContainer : public TCustomControl {
    KAROMIL_CLASS(TCustomdxContainer, TCustomControl)
public:
    explicit TCustomdxContainer(TComponent* owner);
    ~TCustomdxContainer() override;

    // --- host questions (in the order editors meet them); the base answers are neutral
    // Typing, pasting, clearing, cutting and undo in the editor; base False (read-only editor).
    virtual bool CanEditorModify();
    // Every character from #32 up; False drops it with a beep. Base False.
    virtual bool IsEditorCharValid(char32_t key);
    virtual bool IsEditorAvailable();  // True; nobody asks
    // The style object of a new in-place editor; the editor owns it. Base: a TdxEditStyle.
    virtual TdxEditStyle* CreateEditStyle(TdxInplaceEdit* edit);
    // WM_VSCROLL SB_LINEUP (up) or SB_LINEDOWN, lineCount times; nothing for lineCount <= 0.
    virtual void ScrollByWheel(bool up, int lineCount);
    virtual TColor GetEditColor();  // the container's Color
    virtual TFont* GetEditFont();  // the container's Font
    virtual bool IsDataReadOnly();  // False
    virtual bool IsFocusRectHidden();  // False
    // Told of every key the editor handles itself, and of F2; may zero key. Base: OnKeyDown.
    virtual void EditorKeyDown(WORD& key, TShiftState shift);
    // While True the editor drops WM_KEYDOWN, WM_CHAR and WM_SYSKEYDOWN. False.
    virtual bool IsEditorCellChanged();
    // True: a left press soon after the editor opened counts as a double click. False.
    virtual bool IsImmediateEditor();
    virtual bool IsShowButtonAlways();  // editor buttons in every cell; False
    virtual bool WantTabs();  // Tab stays in the editor; False
    virtual void MoveFocusedColumn(bool backward);  // nothing
    virtual void InvalidateSelection();  // nothing
    virtual void BeginEditorSetup();  // sets the editor-setup flag
    virtual void EndEditorSetup();  // clears it
    virtual TdxPopupBorder GetEditorPopupBorder(TdxEditBorderStyle editBorderStyle);  // pbFrame3D

    // While set, a grid bypasses its change and validation events around an editor's setup.
    bool IsEditorSetup() const noexcept { return FEditorSetup; }

    // --- scroll bars
    // 0 regular, 1 hot-tracking, 2 flat; a change re-creates the window.
    int GetScrollBarStyle() const noexcept { return FScrollBarStyle; }
    void SetScrollBarStyle(int value);
    // The grid reads and sets its bars only through these, so flat and regular bars behave alike.
    bool GetScrollInfo(int bar, TScrollInfo& info);
    int SetScrollInfo(int bar, const TScrollInfo& info, bool redraw);

    void Dispatch(TMessage& message) override;

protected:
    void CreateWnd() override;
    // The container never sizes itself to its content.
    void AdjustSize() {}

private:
    // The editor routes keys and clicks into the container's own handling.
    friend class TdxInplaceEdit;
    bool FEditorSetup = false;
    int FScrollBarStyle = 0;
};

// Removes one pending posted message msg addressed to window. A WM_QUIT removed this way is
// posted again with its exit code, so that a quit request is never lost.
void dxKillMessage(HWND window, UINT msg);

// Moves the top-left corner p of a popup of width x height meant to open below an editor of
// height editHeight whose bottom edge is at p.Y: kept inside the work area of the monitor
// nearest to p horizontally (the left edge wins), and flipped above the editor when it does
// not fit below and there is more room above.
void dxAdjustPopupPosition(TPoint& p, int width, int height, int editHeight);
