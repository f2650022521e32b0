#include "grid/editors/dxCntner.h"

#include <algorithm>

#include "grid/editors/dxEditStyle.h"
#include "platform/gui/Application.h"
#include "platform/gui/FlatScrollBars.h"

KAROMIL_IMPLEMENT_CLASS(TCustomdxContainer, TCustomControl)

TCustomdxContainer::TCustomdxContainer(TComponent* owner) : TCustomControl(owner) {}

TCustomdxContainer::~TCustomdxContainer() = default;

bool TCustomdxContainer::CanEditorModify() { return false; }
bool TCustomdxContainer::IsEditorCharValid(char32_t) { return false; }
bool TCustomdxContainer::IsEditorAvailable() { return true; }

TdxEditStyle* TCustomdxContainer::CreateEditStyle(TdxInplaceEdit* edit) { return new TdxEditStyle(edit); }

void TCustomdxContainer::ScrollByWheel(bool up, int lineCount) {
    for (int i = 0; i < lineCount; ++i) Perform(WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
}

TColor TCustomdxContainer::GetEditColor() { return GetColor(); }
TFont* TCustomdxContainer::GetEditFont() { return GetFont(); }
bool TCustomdxContainer::IsDataReadOnly() { return false; }
bool TCustomdxContainer::IsFocusRectHidden() { return false; }

void TCustomdxContainer::EditorKeyDown(WORD& key, TShiftState shift) {
    if (OnKeyDown) OnKeyDown(this, key, shift);
}

bool TCustomdxContainer::IsEditorCellChanged() { return false; }
bool TCustomdxContainer::IsImmediateEditor() { return false; }
bool TCustomdxContainer::IsShowButtonAlways() { return false; }
bool TCustomdxContainer::WantTabs() { return false; }
void TCustomdxContainer::MoveFocusedColumn(bool) {}
void TCustomdxContainer::InvalidateSelection() {}
void TCustomdxContainer::BeginEditorSetup() { FEditorSetup = true; }
void TCustomdxContainer::EndEditorSetup() { FEditorSetup = false; }
TdxPopupBorder TCustomdxContainer::GetEditorPopupBorder(TdxEditBorderStyle) { return pbFrame3D; }

void TCustomdxContainer::SetScrollBarStyle(int value) {
    value = std::clamp(value, 0, 2);
    if (value == FScrollBarStyle) return;
    FScrollBarStyle = value;
    if (HandleAllocated()) RecreateWnd();
}

bool TCustomdxContainer::GetScrollInfo(int bar, TScrollInfo& info) {
    return FlatSB_GetScrollInfo(GetHandle(), bar, info);
}

int TCustomdxContainer::SetScrollInfo(int bar, const TScrollInfo& info, bool redraw) {
    return FlatSB_SetScrollInfo(GetHandle(), bar, info, redraw);
}

void TCustomdxContainer::CreateWnd() {
    inherited::CreateWnd();
    const HWND window = WindowHandle();
    if (!SysLocale().MiddleEast) InitializeFlatSB(window);
    static constexpr int modes[] = {FSB_REGULAR_MODE, FSB_ENCARTA_MODE, FSB_FLAT_MODE};
    FlatSB_SetScrollProp(window, WSB_PROP_VSTYLE, modes[FScrollBarStyle], true);
    FlatSB_SetScrollProp(window, WSB_PROP_HSTYLE, modes[FScrollBarStyle], true);
}

void TCustomdxContainer::Dispatch(TMessage& message) {
    if (message.Msg == WM_MOUSEWHEEL) {
        inherited::Dispatch(message);
        // Whatever the inherited handling did, the grid scrolls.
        const int delta = int16_t(HiWord(message.WParam));
        ScrollByWheel(delta > 0, Mouse->WheelScrollLines());
        return;
    }
    inherited::Dispatch(message);
}

void dxKillMessage(HWND window, UINT msg) {
    TMsg m;
    if (!PeekMessage(m, window, msg, msg, PM_REMOVE) || m.message != WM_QUIT) return;
    // The queue may keep a quit request through a removal; it is posted again only when it
    // really left, so that it is neither lost nor doubled.
    TMsg still;
    if (!PeekMessage(still, m.hwnd, WM_QUIT, WM_QUIT, PM_NOREMOVE)) PostMessage(m.hwnd, WM_QUIT, m.wParam, 0);
}

void dxAdjustPopupPosition(TPoint& p, int width, int height, int editHeight) {
    TRect work;
    TMonitorInfo info;
    const HMONITOR monitor = MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
    if (monitor && GetMonitorInfo(monitor, info)) work = info.rcWork;
    else SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    p.X = std::max(p.X, work.Left);
    if (p.X + width > work.Right) p.X = work.Right - width;
    // Sound: the popup's bottom is compared with the work area's bottom. Comparing it with the
    // work area's height sends a popup above its editor although it fits below whenever the
    // work area does not start at the top of the screen (a panel along the top edge).
    if (p.Y + height > work.Bottom && work.Bottom - (p.Y + editHeight) < p.Y - work.Top) p.Y -= height + editHeight;
}
