// TControl, the custom and graphic controls, and finding a control from a window or a point.

#include "platform/gui/Controls.h"

#include <QtCore/QBasicTimer>
#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWheelEvent>
#include <QtGui/QStyleHints>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <utility>

#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

using namespace gui_detail;

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TControl, TComponent, {
    KAROMIL_PROP(Left).Default(0);
    KAROMIL_PROP(Top).Default(0);
    KAROMIL_PROP(Width).Default(0);
    KAROMIL_PROP(Height).Default(0);
    KAROMIL_PROP(Align).Default(alNone);
    KAROMIL_PROP(Visible).Default(1);
    KAROMIL_PROP(Enabled).Default(1);
    KAROMIL_PROP(Color, TypeInfoColor()).Default(clWindow);
    KAROMIL_PROP(ParentColor).Default(0);
    KAROMIL_PROP(Font);
    KAROMIL_PROP(ParentFont).Default(1);
    KAROMIL_PROP(Cursor, TypeInfoCursor()).Default(crDefault);
    KAROMIL_PROP(Caption);
    KAROMIL_PROP(Hint);
    KAROMIL_PROP(ShowHint).Default(0);
    KAROMIL_PROP(DragMode).Default(dmManual);
    KAROMIL_PROP(DragCursor, TypeInfoCursor()).Default(crDrag);
    KAROMIL_PROP(PopupMenu);
    KAROMIL_PROP(Action);
    p.Event("OnClick", &Self::OnClick, "TNotifyEvent");
    p.Event("OnDblClick", &Self::OnDblClick, "TNotifyEvent");
    p.Event("OnResize", &Self::OnResize, "TNotifyEvent");
    p.Event("OnCanResize", &Self::OnCanResize, "TCanResizeEvent");
    p.Event("OnMouseDown", &Self::OnMouseDown, "TMouseEvent");
    p.Event("OnMouseMove", &Self::OnMouseMove, "TMouseMoveEvent");
    p.Event("OnMouseUp", &Self::OnMouseUp, "TMouseEvent");
    p.Event("OnMouseWheel", &Self::OnMouseWheel, "TMouseWheelEvent");
    p.Event("OnDragOver", &Self::OnDragOver, "TDragOverEvent");
    p.Event("OnDragDrop", &Self::OnDragDrop, "TDragDropEvent");
    p.Event("OnEndDrag", &Self::OnEndDrag, "TEndDragEvent");
    p.Event("OnStartDrag", &Self::OnStartDrag, "TStartDragEvent");
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TWinControl, TControl, {
    KAROMIL_PROP(TabStop).Default(0);
    KAROMIL_PROP(TabOrder).NoDefault();
    p.Event("OnEnter", &Self::OnEnter, "TNotifyEvent");
    p.Event("OnExit", &Self::OnExit, "TNotifyEvent");
    p.Event("OnKeyDown", &Self::OnKeyDown, "TKeyEvent");
    p.Event("OnKeyPress", &Self::OnKeyPress, "TKeyPressEvent");
    p.Event("OnKeyUp", &Self::OnKeyUp, "TKeyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TCustomControl, TWinControl)
KAROMIL_IMPLEMENT_CLASS(TGraphicControl, TControl)
KAROMIL_IMPLEMENT_CLASS(TDragObject, TObject)
KAROMIL_IMPLEMENT_CLASS(TDragControlObject, TDragObject)
KAROMIL_IMPLEMENT_CLASS(TDragImageList, TObject)

// --- TControl ----------------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), FFont(std::make_unique<TFont>()) {
    FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FFont->OnChange = [this](TObject* s) { FontObjectChanged(s); };
}

TControl::~TControl() {
    FFont->OnChange = nullptr;
    gui_detail::ControlGone(this);
    if (FParent) FParent->RemoveControl(this);
    FParent = nullptr;
}

void TControl::WndProc(TMessage& m) {
    if (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) {
        switch (m.Msg) {
        case WM_MOUSEMOVE: Application->HintMouseMessage(this, m); break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FDragMode == dmAutomatic && !Dragging()) {
                BeginDrag(false);
                return;
            }
            FControlState.Include(csLButtonDown);
            break;
        case WM_LBUTTONUP: FControlState.Exclude(csLButtonDown); break;
        default: break;
        }
    }
    if (gInput.Drag.Source == this && TDragManager::Intercept(this, m)) return;
    Dispatch(m);
}

void TControl::DoMouseDown(TMessage& m, TMouseButton button, TShiftState extra) {
    TPoint p = PointFromLParam(m.LParam);
    MouseDown(button, KeysToShiftState(m.WParam) + extra, p.X, p.Y);
}

void TControl::DoMouseUp(TMessage& m, TMouseButton button) {
    TPoint p = PointFromLParam(m.LParam);
    MouseUp(button, KeysToShiftState(m.WParam), p.X, p.Y);
}

void TControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_CONTEXTMENU: {
        // The pop-up menu of the graphic control under the mouse, else our own, else the parent's.
        const TPoint p = PointFromLParam(m.LParam);
        if (auto* w = dynamic_cast<TWinControl*>(this); w && !(p.X == -1 && p.Y == -1)) {
            TControl* child = w->ControlAtPos(ScreenToClient(p), false, false);
            if (child && DoContextPopup(child, p)) {
                m.Result = 1;
                return;
            }
        }
        if (DoContextPopup(this, p)) {
            m.Result = 1;
            return;
        }
        DefaultHandler(m);
        return;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        SendCancelMode(this);
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        const bool dbl = m.Msg == WM_LBUTTONDBLCLK;
        if (dbl) {
            if (FControlStyle.Contains(csClickEvents)) DblClick();
        } else if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
        DoMouseDown(m, mbLeft, dbl ? TShiftState{ssDouble} : TShiftState{});
        return;
    }
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
        SendCancelMode(this);
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
        const bool dbl = m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK;
        const TMouseButton b = (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) ? mbRight : mbMiddle;
        DoMouseDown(m, b, dbl ? TShiftState{ssDouble} : TShiftState{});
        return;
    }
    case WM_LBUTTONUP: {
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        if (FControlState.Contains(csClicked)) {
            FControlState.Exclude(csClicked);
            if (PtInRect(GetClientRect(), PointFromLParam(m.LParam))) Click();
        }
        DoMouseUp(m, mbLeft);
        return;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        DefaultHandler(m);
        if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
        DoMouseUp(m, m.Msg == WM_RBUTTONUP ? mbRight : mbMiddle);
        return;
    case WM_MOUSEMOVE: {
        DefaultHandler(m);
        TPoint p = PointFromLParam(m.LParam);
        MouseMove(KeysToShiftState(m.WParam), p.X, p.Y);
        return;
    }
    case WM_MOUSEWHEEL: {
        TWMMouseWheel w(m);
        if (DoMouseWheel(KeysToShiftState(w.Keys()), w.WheelDelta(), w.Pos())) {
            m.Result = 1;
            return;
        }
        if (FParent) m.Result = FParent->Perform(m.Msg, m.WParam, m.LParam);
        return;
    }
    case WM_CANCELMODE:
        DefaultHandler(m);
        if (GetMouseCapture()) {
            SetMouseCapture(false);
            if (FControlState.Contains(csLButtonDown)) Perform(WM_LBUTTONUP, 0, LPARAM(-1));
        } else FControlState.Exclude(csLButtonDown);
        return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED: Invalidate(); return;
    case CM_PARENTFONTCHANGED:
        if (FParentFont && FParent) {
            FFontInternal = true;
            FFont->Assign(FParent->GetFont());
            FFontInternal = false;
            FParentFont = true;
        }
        return;
    case CM_PARENTCOLORCHANGED:
        if (FParentColor && FParent) {
            SetColor(FParent->GetColor());
            FParentColor = true;
        }
        return;
    case CM_HITTEST: m.Result = HTCLIENT; return;
    case CM_DRAG: {
        TCMDrag d(m);
        TDragRec* rec = d.DragRec();
        switch (d.DragMessage()) {
        case dmFindTarget: m.Result = LRESULT(this); return;
        case dmDragEnter:
        case dmDragLeave:
        case dmDragMove: {
            TPoint p = ScreenToClient(rec->Pos);
            bool accept = bool(OnDragOver);
            DragOver(TDragManager::SourceOf(rec->Source), p.X, p.Y, TDragState(int(d.DragMessage()) - int(dmDragEnter)),
                accept);
            m.Result = accept ? 1 : 0;
            return;
        }
        case dmDragDrop: {
            TPoint p = ScreenToClient(rec->Pos);
            DragDrop(TDragManager::SourceOf(rec->Source), p.X, p.Y);
            return;
        }
        default: return;
        }
    }
    default: DefaultHandler(m);
    }
}

void TControl::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_GETTEXTLENGTH: m.Result = LRESULT(FText.size()); return;
    default: return;
    }
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
    TMessage m{msg, wParam, lParam, 0};
    if (WindowProc) WindowProc(m);
    else WndProc(m);
    return m.Result;
}

void TControl::SendCancelMode(TControl* sender) {
    for (TControl* c = this; c; c = c->FParent)
        if (auto* f = dynamic_cast<TCustomForm*>(c)) {
            f->SendCancelMode(sender);
            return;
        }
}

TComponent* TControl::GetParentComponent() const { return FParent; }
void TControl::SetParentComponent(TComponent* parent) {
    if (auto* w = dynamic_cast<TWinControl*>(parent)) SetParent(w);
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        if (FParentFont) Perform(CM_PARENTFONTCHANGED);
        if (FParentColor) Perform(CM_PARENTCOLORCHANGED);
    }
}

void TControl::ChangeBounds(int left, int top, int width, int height) {
    FLeft = left;
    FTop = top;
    FWidth = std::max(0, width);
    FHeight = std::max(0, height);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    // A refused change of size leaves the control where it was, as a whole.
    if ((width != FWidth || height != FHeight) && !CanResize(width, height)) return;
    const TRect old = GetBoundsRect();
    ChangeBounds(left, top, width, height);
    if (GetBoundsRect() == old) return;
    BoundsChanged(old);
}

void TControl::BoundsChanged(const TRect& oldBounds) {
    // A graphic control repaints where it was and where it is now.
    if (FParent && FParent->HandleAllocated() && FVisible) {
        TRect r = oldBounds;
        InvalidateRect(FParent->WindowHandle(), &r, true);
        r = GetBoundsRect();
        InvalidateRect(FParent->WindowHandle(), &r, true);
    }
    if (FParent && FAlign != alNone) FParent->Realign();
    if (oldBounds.Width() != FWidth || oldBounds.Height() != FHeight) Resize();
}

TRect TControl::GetClientRect() const { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int v) { SetWidth(FWidth - GetClientWidth() + v); }
void TControl::SetClientHeight(int v) { SetHeight(FHeight - GetClientHeight() + v); }

TPoint TControl::GetClientOrigin() const {
    if (!FParent) return {FLeft, FTop};
    TPoint p = FParent->GetClientOrigin();
    return {p.X + FLeft, p.Y + FTop};
}
TPoint TControl::ClientToScreen(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X + o.X, p.Y + o.Y};
}
TPoint TControl::ScreenToClient(TPoint p) const {
    TPoint o = GetClientOrigin();
    return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetAlign(TAlign v) {
    if (v == FAlign) return;
    FAlign = v;
    if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool v) {
    if (v == FVisible) return;
    VisibleChanging();
    FVisible = v;
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (FParent) {
        if (!dynamic_cast<TWinControl*>(this)) {
            TRect r = GetBoundsRect();
            if (FParent->HandleAllocated()) InvalidateRect(FParent->WindowHandle(), &r, true);
        }
        if (FAlign != alNone) FParent->Realign();
    }
    if (auto* w = dynamic_cast<TWinControl*>(this)) w->UpdateShowing();
    Perform(CM_SHOWINGCHANGED);
}

void TControl::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetColor(TColor v) {
    if (v == FColor) {
        FParentColor = false;
        return;
    }
    FColor = v;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v) {
    if (v == FParentColor) return;
    FParentColor = v;
    if (v && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v) {
    if (v == FParentFont) return;
    FParentFont = v;
    if (v && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::FontObjectChanged(TObject*) {
    if (!FFontInternal) FParentFont = false;
    FontChanged();
}

void TControl::FontChanged() { Perform(CM_FONTCHANGED); }

void TControl::SetCursor(TCursor v) {
    if (v == FCursor) return;
    FCursor = v;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetText(const std::string& v) {
    if (v == FText) return;
    FText = v;
    Perform(CM_TEXTCHANGED);
}

bool TControl::GetMouseCapture() const { return GetCaptureControl() == this; }
void TControl::SetMouseCapture(bool v) {
    if (v == GetMouseCapture()) return;
    SetCaptureControl(v ? this : nullptr);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
    if (!isVisible || !FParent || !FParent->HandleAllocated()) return;
    TRect r = GetBoundsRect();
    InvalidateRect(FParent->WindowHandle(), &r, !isOpaque);
}
void TControl::Invalidate() { InvalidateControl(FVisible, FControlStyle.Contains(csOpaque)); }
void TControl::Update() {
    if (FParent) FParent->Update();
}
void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::PaintTo(HDC dc, int x, int y) {
    const int saved = SaveDC(dc);
    TPoint org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.X + x, org.Y + y);
    IntersectClipRect(dc, 0, 0, FWidth, FHeight);
    Perform(WM_ERASEBKGND, WPARAM(dc), 0);
    Perform(WM_PAINT, WPARAM(dc), 0);
    RestoreDC(dc, saved);
}

QWidget* TControl::ClientWidget() const { return FParent ? FParent->ClientWidget() : nullptr; }

void TControl::BringToFront() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::find(v.begin(), v.end(), this));
        v.push_back(this);
    }
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->OuterWidget()->raise();
    else Invalidate();
}
void TControl::SendToBack() {
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::find(v.begin(), v.end(), this));
        v.insert(v.begin(), this);
    }
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->HandleAllocated()) w->OuterWidget()->lower();
    else Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
    else if (FAction) FAction->Execute();
}
void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
bool TControl::DoMouseWheel(TShiftState s, int delta, TPoint pos) {
    bool handled = false;
    if (OnMouseWheel) OnMouseWheel(this, s, delta, pos, handled);
    return handled;
}
void TControl::Resize() {
    if (OnResize) OnResize(this);
}

bool TControl::CanResize(int& newWidth, int& newHeight) {
    bool resize = true;
    if (OnCanResize) OnCanResize(this, newWidth, newHeight, resize);
    return resize;
}
void TControl::DoStartDrag(TDragObject*& obj) {
    if (OnStartDrag) OnStartDrag(this, obj);
}
void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}
void TControl::DragDrop(TObject* source, int x, int y) {
    if (OnDragDrop) OnDragDrop(this, source, x, y);
}
void TControl::DoEndDrag(TObject* target, int x, int y) {
    if (OnEndDrag) OnEndDrag(this, target, x, y);
}

void TControl::BeginDrag(bool immediate, int threshold) { TDragManager::Begin(this, immediate, threshold); }
void TControl::EndDrag(bool drop) {
    if (gInput.Drag.Source == this) TDragManager::Done(drop);
}
bool TControl::Dragging() const { return gInput.Drag.Source == this; }

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
    if (operation == opRemove && component == FAction) FAction = nullptr;
}

void TControl::SetAction(TAction* v) {
    if (v == FAction) return;
    if (FAction) FAction->RemoveClient(this);
    FAction = v;
    if (v) v->AddClient(this);
}

void TControl::SetPopupMenu(TPopupMenu* v) {
    FPopupMenu = v;
    if (v) v->FreeNotification(this);
}

// --- TCustomControl, TGraphicControl ------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), FCanvas(std::make_unique<TCanvas>()) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    FPaintDC = dc == FCanvas.get() ? nullptr : dc;
    auto done = OnScopeExit([this] { FPaintDC = nullptr; });
    Paint();
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), FCanvas(std::make_unique<TCanvas>()) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        FPaintDC = reinterpret_cast<HDC>(m.WParam);
        auto done = OnScopeExit([this] { FPaintDC = nullptr; });
        Paint();
        return;
    }
    TControl::Dispatch(m);
}

// --- lookup -------------------------------------------------------------------------------------

TCustomForm* GetParentForm(const TControl* control) {
    const TControl* c = control;
    while (c && c->GetParent()) c = c->GetParent();
    return const_cast<TCustomForm*>(dynamic_cast<const TCustomForm*>(c));
}

TWinControl* FindControl(HWND window) {
    auto* w = dynamic_cast<TQtWindowWidget*>(window);
    return w ? w->Control() : nullptr;
}

TWinControl* ControlOfWidget(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (auto* qw = dynamic_cast<const TQtWindowWidget*>(w)) {
            if (qw->Control()) return qw->Control();
        }
    return nullptr;
}

TWinControl* FindControlWindow(TPoint screenPos) {
    return ControlOfWidget(QApplication::widgetAt(ToQPoint(screenPos)));
}

TControl* FindDragTarget(TPoint screenPos, bool allowDisabled) {
    TWinControl* w = FindControlWindow(screenPos);
    if (!w) return nullptr;
    if (TControl* c = w->ControlAtPos(w->ScreenToClient(screenPos), allowDisabled)) return c;
    return w;
}
