#include "report/output/frxScrollWin.h"

#include "platform/gui/Graphics.h"

KAROMIL_IMPLEMENT_CLASS(TfrxScrollWin, TCustomControl)

TfrxScrollWin::TfrxScrollWin(TComponent* owner) : TCustomControl(owner) {}

void TfrxScrollWin::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.ExStyle |= WS_EX_CLIENTEDGE;
    params.Style |= WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN;
}

void TfrxScrollWin::SendInfo(int bar) {
    const bool horz = bar == SB_HORZ;
    const int range = horz ? FHorzRange : FVertRange;
    const int page = horz ? FHorzPage : FVertPage;
    TScrollInfo info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    info.nMin = 0;
    // A range smaller than the page leaves nothing to scroll: the bar goes away.
    info.nMax = range < page ? 0 : range;
    info.nPage = UINT(page < 0 ? 0 : page);
    info.nPos = info.nTrackPos = horz ? FHorzPosition : FVertPosition;
    SetScrollInfo(bar, info, true);
}

void TfrxScrollWin::SetHorzPage(int value) {
    FHorzPage = value;
    SendInfo(SB_HORZ);
}
void TfrxScrollWin::SetVertPage(int value) {
    FVertPage = value;
    SendInfo(SB_VERT);
}
void TfrxScrollWin::SetHorzRange(int value) {
    FHorzRange = value;
    SendInfo(SB_HORZ);
}
void TfrxScrollWin::SetVertRange(int value) {
    FVertRange = value;
    SendInfo(SB_VERT);
}

void TfrxScrollWin::SetHorzPosition(int value) {
    if (value > FHorzRange - FHorzPage) value = FHorzRange - FHorzPage;
    if (value < 0) value = 0;
    if (value == FHorzPosition) return;
    FHorzPosition = value;
    SendInfo(SB_HORZ);
    OnHScroll(this);
}

void TfrxScrollWin::SetVertPosition(int value) {
    if (value > FVertRange - FVertPage) value = FVertRange - FVertPage;
    if (value < 0) value = 0;
    if (value == FVertPosition) return;
    FVertPosition = value;
    SendInfo(SB_VERT);
    OnVScroll(this);
}

void TfrxScrollWin::Paint() {
    Canvas()->Brush()->SetColor(GetColor());
    Canvas()->Brush()->SetStyle(bsSolid);
    Canvas()->FillRect(GetClientRect());
}

void TfrxScrollWin::ScrollCommand(int bar, TMessage& message) {
    const bool horz = bar == SB_HORZ;
    const int pos = horz ? FHorzPosition : FVertPosition;
    TWMScroll s(message);
    int target;
    switch (s.ScrollCode()) {
    case SB_LINEUP: target = pos - SmallChange; break;
    case SB_LINEDOWN: target = pos + SmallChange; break;
    case SB_PAGEUP: target = pos - LargeChange; break;
    case SB_PAGEDOWN: target = pos + LargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
        // The message carries only 16 bits; the bar's own track position has all 32.
        TScrollInfo info;
        info.fMask = SIF_TRACKPOS;
        target = GetScrollInfo(bar, info) ? info.nTrackPos : s.Pos();
        break;
    }
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = horz ? FHorzRange : FVertRange; break;
    default: return;
    }
    if (horz) SetHorzPosition(target);
    else SetVertPosition(target);
}

void TfrxScrollWin::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS; return;
    case WM_HSCROLL: ScrollCommand(SB_HORZ, m); return;
    case WM_VSCROLL: ScrollCommand(SB_VERT, m); return;
    default: break;
    }
    TCustomControl::Dispatch(m);
}
