#include "grid/editors/dxInplaceEdit.h"

#include "grid/editors/dxEditStyle.h"
#include "grid/editors/dxStrings.h"
#include "platform/gui/Forms.h"
#include "platform/gui/Shell.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TdxInplaceEdit, TWinControl)

namespace {
TShiftState Modifiers(TShiftState shift) {
    TShiftState m;
    for (TShiftStateFlag f : {ssShift, ssAlt, ssCtrl})
        if (shift.Contains(f)) m.Include(f);
    return m;
}
}  // namespace

TdxInplaceEdit::TdxInplaceEdit(TComponent* owner, const TdxInplaceEditClass& editClass)
    : TWinControl(owner), FEditClass(editClass) {
    TCustomdxContainer* container = GetContainer();
    if (IsInplace() && container) FStyle.reset(container->CreateEditStyle(this));
    else FStyle.reset(FEditClass.GetEditStyleClass()(this));
    if (IsInplace()) {
        SetParentColor(false);
        SetTabStop(false);
        // The host shows it over a cell (ShowInRect); until then it stays hidden.
        SetVisible(false);
    } else {
        SetBounds(GetLeft(), GetTop(), 121, 21);
        SetTabStop(true);
    }
}

TdxInplaceEdit::~TdxInplaceEdit() {
    if (FStyleController && !FStyleController->GetComponentState().Contains(csDestroying)) {
        FStyleController->RemoveLink(this);
        FStyleController->RemoveFreeNotification(this);
    }
    FStyleController = nullptr;
    FStyle.reset();
}

TCustomdxContainer* TdxInplaceEdit::GetContainer() const {
    return IsInplace() ? dynamic_cast<TCustomdxContainer*>(GetOwner()) : nullptr;
}

bool TdxInplaceEdit::IsShown() const { return IsInplace() ? FShown : GetVisible(); }

// --- properties ---------------------------------------------------------------------------------

void TdxInplaceEdit::SetAlignment(TAlignment value) {
    FStoredValues |= dxsvAlignment;
    InternalSetAlignment(value);
}

void TdxInplaceEdit::InternalSetAlignment(TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceEdit::SetAutoSize(bool value) {
    if (value == FAutoSize) return;
    FAutoSize = value;
    StyleChanged();
}

bool TdxInplaceEdit::GetReadOnly() { return (FStoredValues & dxsvReadOnly) ? FReadOnly : GetDataReadOnly(); }

void TdxInplaceEdit::SetReadOnly(bool value) {
    FStoredValues |= dxsvReadOnly;
    InternalSetReadOnly(value);
}

void TdxInplaceEdit::SetTextOffsets(const TRect& offsets) {
    if (offsets == FTextOffsets) return;
    FTextOffsets = offsets;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceEdit::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    Invalidate();
}

void TdxInplaceEdit::SetStyleController(TdxEditStyleController* value) {
    if (value == FStyleController) return;
    if (FStyleController) {
        if (!FStyleController->GetComponentState().Contains(csDestroying)) FStyleController->RemoveLink(this);
        FStyleController->RemoveFreeNotification(this);
    }
    FStyleController = value;
    if (value) {
        value->AddLink(this);
        value->FreeNotification(this);
        value->LinkChanged(this);
    } else {
        StyleChanged();
    }
}

void TdxInplaceEdit::Notification(TComponent* component, TOperation operation) {
    inherited::Notification(component, operation);
    if (operation == opRemove && component == FStyleController) {
        FStyleController = nullptr;
        StyleChanged();
    }
}

// --- showing and hiding -------------------------------------------------------------------------

void TdxInplaceEdit::ShowInRect(const TRect& rect) {
    if (!IsInplace() || IsRectEmpty(rect)) return;
    TRect r = rect;
    InflateRect(r, 2, 2);
    SetBoundsRect(r);
    const bool wasShown = FShown;
    ShowEdit();
    if (!Focused() && CanFocus()) SetFocus();
    SelectAll();
    if (!wasShown && FQuietShowCount == 0) EditShown();
}

void TdxInplaceEdit::ShowEdit() {
    if (IsInplace()) {
        // The window appears where the host placed it; the shown flag, not a visibility
        // change announced to the form, says that the editor is up.
        SetVisible(true);
        FShown = true;
    } else {
        Show();
    }
}

void TdxInplaceEdit::HideEdit() {
    if (!IsInplace()) {
        Hide();
        return;
    }
    FShown = false;
    if (HandleAllocated() && IsWindowVisible(WindowHandle())) {
        InvalidateRect(WindowHandle(), nullptr, true);
        if (TCustomdxContainer* c = GetContainer(); c && c->HandleAllocated()) {
            const TRect area = GetBoundsRect();
            InvalidateRect(c->WindowHandle(), &area, false);
        }
    }
    SetVisible(false);
}

// --- values -------------------------------------------------------------------------------------

void TdxInplaceEdit::SetEditValue(const Variant& value) { SetText(VarToStr(value)); }

void TdxInplaceEdit::RefreshDefaults() {
    // Without a data definition only the read-only part applies.
    if (!(FStoredValues & dxsvReadOnly)) InternalSetReadOnly(GetDefaultReadOnly());
}

void TdxInplaceEdit::GetDisplayValue(Variant& value, bool) { value = Variant(GetText()); }

void TdxInplaceEdit::GetEditValue(Variant& value) { value = Variant(GetText()); }

void TdxInplaceEdit::RequestFocus(bool& handled) {
    if (CanFocus()) {
        SetFocus();
        handled = true;
    }
}

bool TdxInplaceEdit::IsValidChar(char32_t key) {
    TCustomdxContainer* c = GetContainer();
    return c ? c->IsEditorCharValid(key) : true;
}

void TdxInplaceEdit::Change() {
    if (OnChange) OnChange(this);
}

bool TdxInplaceEdit::CanModify() {
    if (GetReadOnly()) return false;
    if (TCustomdxContainer* c = GetContainer()) return c->CanEditorModify();
    return true;
}

bool TdxInplaceEdit::IsTextChangingKey(WORD key, TShiftState shift) {
    const TShiftState m = Modifiers(shift);
    return (m.Contains(ssCtrl) && (key == 'V' || key == 'X')) || key == VK_BACK || key == VK_DELETE ||
        (key == VK_INSERT && m == TShiftState{ssShift});
}

bool TdxInplaceEdit::IsCtrlDown() { return GetAsyncKeyState(VK_CONTROL) < 0 && GetAsyncKeyState(VK_MENU) >= 0; }

void TdxInplaceEdit::MoveFocusedColumn(bool backward) {
    if (TCustomdxContainer* c = GetContainer()) c->MoveFocusedColumn(backward);
}

void TdxInplaceEdit::ResetEditText() {
    if (!GetModified() || !CanUndo()) return;
    SetText(FSavedText);
    SetModified(FSavedModified);
}

void TdxInplaceEdit::SetActive(bool active) {
    const bool changed = active != FActive;
    if (IsInplace() || changed) {
        FSavedModified = GetModified();
        FSavedText = GetText();
    }
    if (!IsInplace() && changed) {
        FActive = active;
        if (NeedsActiveRepaint()) Invalidate();
    }
}

void TdxInplaceEdit::RestoreDefaults() {
    FStoredValues = 0;
    InternalSetAlignment(GetDefaultAlignment());
    InternalSetReadOnly(GetDefaultReadOnly());
}

void TdxInplaceEdit::SetEditingText(const std::string& text) {
    if (CanModify()) SetText(text);
    SetModified(true);
}

void TdxInplaceEdit::ValidateEdit() {
    if (!GetModified() || FValidationLock != 0) return;
    std::string errorText = dxLoadStr(dxSInvalidInput);
    bool accept = true;
    if (OnValidate) OnValidate(this, errorText, accept);
    if (accept) return;
    MessageBeep(0);
    if (HandleAllocated() && IsWindowVisible(WindowHandle()) && CanFocus()) SetFocus();
    throw EdxEditInvalidInput(errorText);
}

// --- look ---------------------------------------------------------------------------------------

bool TdxInplaceEdit::NeedsActiveRepaint() {
    // No editor class of this system binds a data definition.
    return !GetEnabled();
}

bool TdxInplaceEdit::IsHighlighted() { return FMouseInside || (IsFocused() && GetEnabled()); }

bool TdxInplaceEdit::IsShowButtonAlways() {
    TCustomdxContainer* c = GetContainer();
    return c && c->IsShowButtonAlways();
}

std::unique_ptr<TdxEditViewData> TdxInplaceEdit::CreateViewData(bool forPaint) {
    auto vd = FEditClass.NewViewData();
    vd->Enabled = GetEnabled();
    vd->HasFocus = IsFocused();
    vd->Highlighted = IsHighlighted();
    vd->BorderColor = FStyle->GetBorderColor();
    vd->BorderStyle = FStyle->GetBorderStyle();
    if (vd->Highlighted && FStyle->GetHotTrack()) {
        switch (vd->BorderStyle) {
        case xbsNone: vd->BorderStyle = xbsFlat; break;
        case xbsSingle: vd->BorderStyle = xbsThick; break;
        case xbsFlat: vd->BorderStyle = xbs3D; break;
        default: break;
        }
    }
    vd->ButtonStyle = FStyle->GetButtonStyle();
    if (vd->ButtonStyle == btsDefault) {
        switch (vd->BorderStyle) {
        case xbsNone: vd->ButtonStyle = btsSimple; break;
        case xbsSingle: vd->ButtonStyle = btsHotFlat; break;
        case xbsFlat: vd->ButtonStyle = btsFlat; break;
        default: vd->ButtonStyle = bts3D; break;
        }
    }
    const TdxEditButtonTransparence bt = FStyle->GetButtonTransparence();
    vd->ButtonsTransparent = bt == ebtAlways || (bt == ebtInactive && !vd->Highlighted);
    vd->Edges = FStyle->GetEdges();
    vd->Shadow = FStyle->GetShadow();
    vd->Transparent = FTransparent && !vd->HasFocus;
    vd->Bounds = Rect(0, 0, GetWidth(), GetHeight());
    vd->TextMargins = FTextOffsets;
    vd->TextLayout = 0;
    vd->FontHandle = GetFont()->Data();
    if (vd->Enabled) {
        vd->BackColor = ColorToRGB(GetColor());
        vd->BrushHandle = TBrushData{};
        vd->BrushHandle.Color = vd->BackColor;
        vd->FontColor = ColorToRGB(GetFont()->GetColor());
    } else {
        vd->BrushHandle = GetSysColorBrush(COLOR_BTNFACE);
        vd->BackColor = ColorToRGB(clBtnFace);
        vd->FontColor = ColorToRGB(clBtnShadow);
    }
    vd->Alignment = FAlignment;
    vd->HasEditWindow = HasEditWindow();
    vd->ValueLength = 0;
    GetDisplayValue(vd->Value, forPaint);
    vd->Cursor = GetCursor();
    return vd;
}

void TdxInplaceEdit::RecalcSizeAndRegion() {
    if (!HandleAllocated()) return;
    static thread_local bool busy = false;  // the size change below reports WM_SIZE back
    if (busy) return;
    TRollback<bool> guard(busy, true);
    auto vd = CreateViewData(false);
    TdxEditViewInfo info;
    FEditClass.CalcViewInfo(*vd, FAutoSize && !IsInplace(), info);
    SetBounds(GetLeft(), GetTop(), info.Bounds.Width(), info.Bounds.Height());
    TRegion region;
    if (dxEditViewInfoRegion(info, region)) SetWindowRgn(WindowHandle(), &region, true);
    else SetWindowRgn(WindowHandle(), nullptr, true);
}

void TdxInplaceEdit::StyleChanged() {
    RecalcSizeAndRegion();
    if (!HandleAllocated()) return;
    RecalcFrame();
    Perform(WM_NCPAINT, 0, 0);
    Invalidate();
}

void TdxInplaceEdit::HotTrackChanged() {
    if (GetComponentState().Contains(csDestroying)) return;
    const TdxEditButtonTransparence bt = FStyle->GetButtonTransparence();
    if (FStyle->GetHotTrack() || bt == ebtInactive || bt == ebtAlways || bt == ebtHideInactive) {
        RecalcSizeAndRegion();
        if (HandleAllocated()) {
            RecalcFrame();
            Perform(WM_NCPAINT, 0, 0);
        }
    }
}

void TdxInplaceEdit::FocusChanged() {
    HotTrackChanged();
    if (IsPaintedOnly()) Invalidate();
}

void TdxInplaceEdit::FocusLost(HWND newFocus) {
    HotTrackChanged();
    if (IsPaintedOnly()) Invalidate();
    if (TCustomdxContainer* c = GetContainer(); c && (!c->HandleAllocated() || newFocus != c->WindowHandle()))
        c->InvalidateSelection();
}

// --- keys ---------------------------------------------------------------------------------------

void TdxInplaceEdit::KeyDown(WORD& key, TShiftState shift) {
    if (key == VK_ESCAPE) ResetEditText();
    TCustomdxContainer* c = GetContainer();
    if (!c) {
        if (IsTextChangingKey(key, shift) && (!IsTextEditable() || !CanModify())) key = 0;
        if (key == VK_RETURN && ValidateOnEnter()) ValidateEdit();
        inherited::KeyDown(key, shift);
        return;
    }
    const TShiftState mods = Modifiers(shift);
    switch (key) {
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT: ValidateEdit(); break;
    default: break;
    }
    // What the container does with the key must not validate again.
    TRollback<int> lock(FValidationLock, FValidationLock + 1);
    const bool toContainer = (key == VK_TAB && !mods.Contains(ssAlt)) || key == VK_RETURN || key == VK_ESCAPE ||
        key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN || (key == VK_INSERT && mods.Empty());
    if (toContainer) {
        c->KeyDown(key, shift);
        key = 0;
    } else if (key == VK_INSERT && mods == TShiftState{ssShift}) {
        if (!c->CanEditorModify()) key = 0;
    } else if (key == VK_F2) {
        c->EditorKeyDown(key, shift);
        if (key == VK_F2) {
            MoveCaretToEnd();
            return;
        }
    }
    if (key == VK_DELETE && !c->CanEditorModify()) key = 0;
    if (key == 0) return;
    c->EditorKeyDown(key, shift);
    if (key != 0 && IsTextChangingKey(key, shift) && (!IsTextEditable() || !CanModify())) key = 0;
    inherited::KeyDown(key, shift);
}

void TdxInplaceEdit::KeyPress(char32_t& key) {
    TCustomdxContainer* c = GetContainer();
    if (c) c->KeyPress(key);
    // Every printable character, not only the 8-bit range.
    if (key >= 32 && key != 127 && !IsValidChar(key)) {
        key = 0;
        MessageBeep(0);
    }
    if (c && key == 9 && !c->WantTabs()) key = 0;
    if (key == 27) key = 0;
    if ((key == 9 || key >= 32) && HasEditWindow() && !CanModify()) key = 0;
    if (key != 0) inherited::KeyPress(key);
}

void TdxInplaceEdit::KeyUp(WORD& key, TShiftState shift) {
    if (TCustomdxContainer* c = GetContainer()) c->KeyUp(key, shift);
    else inherited::KeyUp(key, shift);
}

void TdxInplaceEdit::DblClick() {
    if (TCustomdxContainer* c = GetContainer()) c->DblClick();
    else inherited::DblClick();
}

// --- painting -----------------------------------------------------------------------------------

void TdxInplaceEdit::PaintWindow(HDC dc) {
    const TRect client = GetClientRect();
    if (client.Width() > 0) {
        auto vd = CreateViewData(true);
        FEditClass.Draw(dc, client, *vd, true);
    }
    inherited::PaintWindow(dc);
}

// --- messages -----------------------------------------------------------------------------------

void TdxInplaceEdit::WndProc(TMessage& m) {
    TCustomdxContainer* c = GetContainer();
    if (!c) {
        if (m.Msg == WM_SETFOCUS) FocusChanged();
        if (m.Msg == WM_KILLFOCUS) FocusLost(reinterpret_cast<HWND>(m.WParam));
        inherited::WndProc(m);
        return;
    }
    switch (m.Msg) {
    case WM_SETFOCUS: {
        // The form keeps the grid as its focused control while its editor has the focus.
        TCustomForm* form = GetParentForm(this);
        if (!form || form->SetFocusedControl(c) || c->ControlState().Contains(csFocusing)) Dispatch(m);
        c->InvalidateSelection();
        FocusChanged();
        return;
    }
    case WM_KILLFOCUS: FocusLost(reinterpret_cast<HWND>(m.WParam)); break;
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
        if (c->IsEditorCellChanged()) return;
        break;
    case WM_LBUTTONDOWN:
        if (c->IsImmediateEditor() && uint32_t(GetMessageTime() - FClickTime) < GetDoubleClickTime()) {
            m.Msg = WM_LBUTTONDBLCLK;
            FClickTime = 0;
        }
        break;
    case WM_MOUSEWHEEL:
        if (!HandlesMouseWheel()) {
            c->Perform(CM_CANCELMODE, 0, LPARAM(this));
            c->Perform(WM_MOUSEWHEEL, m.WParam, m.LParam);
            // Sound: the editor's own handling (its wheel events) runs, but the turn does not
            // travel on to the parent window as well. The host has just scrolled by it; passing
            // it up too would scroll the grid twice for one notch.
            DoMouseWheel(KeysToShiftState(LoWord(m.WParam)), int16_t(HiWord(m.WParam)), PointFromLParam(m.LParam));
            m.Result = 1;
            return;
        }
        break;
    default: break;
    }
    inherited::WndProc(m);
}

void TdxInplaceEdit::Dispatch(TMessage& m) {
    TCustomdxContainer* c = GetContainer();
    switch (m.Msg) {
    case WM_KEYDOWN:
        if (c && HandleAllocated() && (m.WParam == VK_RETURN || (m.WParam == VK_TAB && !c->WantTabs())))
            dxKillMessage(WindowHandle(), WM_CHAR);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!HasEditWindow() && !GetComponentState().Contains(csDesigning) && !Focused() && CanFocus()) SetFocus();
        break;
    case WM_CLEAR:
    case WM_CUT:
    case WM_PASTE:
        if (!CanModify()) return;
        break;
    case WM_IME_COMPOSITION:
        if ((m.LParam & GCS_RESULTSTR) && HasEditWindow() && !CanModify()) return;
        break;
    case WM_GETDLGCODE:
        inherited::Dispatch(m);
        m.Result |= DLGC_WANTCHARS;
        if (c) {
            m.Result |= DLGC_WANTALLKEYS;
            if (c->WantTabs()) m.Result |= DLGC_WANTTAB;
            else m.Result &= ~LRESULT(DLGC_WANTTAB);
        }
        return;
    case WM_ERASEBKGND:
        if (HasEditWindow() && GetEnabled()) break;
        m.Result = 1;
        return;
    case WM_NCCALCSIZE: {
        TRect& r = TWMNCCalcSize(m).Rect();
        auto vd = CreateViewData(false);
        vd->Bounds = Rect(0, 0, r.Width(), r.Height());
        TdxEditViewInfo info;
        FEditClass.CalcViewInfo(*vd, false, info);
        r.Left += info.ClientRect.Left - info.Bounds.Left;
        r.Top += info.ClientRect.Top - info.Bounds.Top;
        r.Right -= info.Bounds.Right - info.ClientRect.Right;
        r.Bottom -= info.Bounds.Bottom - info.ClientRect.Bottom;
        if (r.Left > r.Right) r.Right = r.Left;
        m.Result = 0;
        return;
    }
    case WM_NCPAINT: {
        inherited::Dispatch(m);
        if (HDC dc = TWMPaint(m).DC()) {
            auto vd = CreateViewData(false);
            TdxEditViewInfo info;
            FEditClass.CalcViewInfo(*vd, false, info);
            FEditClass.DrawBorder(dc, info, *vd);
        }
        return;
    }
    case WM_PAINT: {
        HDC dc = TWMPaint(m).DC();
        if (!dc || FActive || !NeedsActiveRepaint() || HasEditWindow()) break;
        auto vd = CreateViewData(true);
        if (ControlState().Contains(csPaintCopy)) FEditClass.DrawEditor(dc, vd->Bounds, *vd, nullptr);
        else FEditClass.Draw(dc, GetClientRect(), *vd, false);
        return;
    }
    case WM_SETCURSOR: {
        if (HandleAllocated() && reinterpret_cast<HWND>(m.WParam) == WindowHandle() &&
            int16_t(LoWord(uintptr_t(m.LParam))) == HTCLIENT) {
            TPoint p;
            GetCursorPos(p);
            auto vd = CreateViewData(false);
            const TCursor cursor = FEditClass.GetCursorAt(p.X, p.Y, *vd);
            if (cursor != crDefault) {
                // The window's cursor for this one answer; its own Cursor comes back after.
                const TCursor own = GetCursor();
                SetCursor(cursor);
                inherited::Dispatch(m);
                SetCursor(own);
                m.Result = 1;
                return;
            }
        }
        break;
    }
    case WM_SIZE:
    case CM_FONTCHANGED:
        inherited::Dispatch(m);
        RecalcSizeAndRegion();
        return;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
        inherited::Dispatch(m);
        StyleChanged();
        return;
    case CM_ENTER: SetActive(true); break;
    case CM_EXIT:
        ValidateEdit();
        SetActive(false);
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        inherited::Dispatch(m);
        const bool enter = m.Msg == CM_MOUSEENTER;
        SetMouseInside(enter);
        HotTrackChanged();
        if (enter && OnMouseEnter) OnMouseEnter(this);
        if (!enter && OnMouseLeave) OnMouseLeave(this);
        return;
    }
    case CM_SHOWINGCHANGED:
        if (c) return;
        break;
    case CM_TEXTCHANGED:
        inherited::Dispatch(m);
        if (!HasEditWindow()) Invalidate();
        return;
    default: break;
    }
    inherited::Dispatch(m);
}
