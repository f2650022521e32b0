#include "lookup/LookupList.h"

#include <algorithm>

#include "platform/gui/Application.h"
#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TRxDBLookupList, TRxLookupControl, {
    KAROMIL_PROP(BorderStyle).Default(bsSingle);
    p.Event("OnMouseWheelDown", &Self::OnMouseWheelDown, "TMouseWheelUpDownEvent");
    p.Event("OnMouseWheelUp", &Self::OnMouseWheelUp, "TMouseWheelUpDownEvent");
})
KAROMIL_IMPLEMENT_CLASS(TRxPopupDataList, TRxDBLookupList)

namespace {
constexpr uintptr_t ScrollTimerId = 1;
}

TRxDBLookupList::TRxDBLookupList(TComponent* owner) : TRxLookupControl(owner) {
    FControlStyle.Include(csOpaque);
    FControlStyle.Include(csDoubleClicks);
    SetWidth(121);
    SetRowCount(7);
}

void TRxDBLookupList::CreateParams(TCreateParams& params) {
    TRxLookupControl::CreateParams(params);
    params.Style |= WS_VSCROLL;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) params.ExStyle |= WS_EX_CLIENTEDGE;
        else params.Style |= WS_BORDER;
    }
}

void TRxDBLookupList::CreateWnd() {
    TRxLookupControl::CreateWnd();
    UpdateScrollBar();
}

void TRxDBLookupList::Loaded() {
    TRxLookupControl::Loaded();
    ApplyHeight();
}

void TRxDBLookupList::ApplyHeight() { SetHeight(GetHeight()); }

void TRxDBLookupList::SetBorderStyle(TFormBorderStyle v) {
    if (v == FBorderStyle) return;
    FBorderStyle = v;
    if (HandleAllocated()) RecreateWnd();
    if (!IsLoading()) {
        ApplyHeight();
        SetRowCount(FRowCount);
    }
}

void TRxDBLookupList::SetRowCount(int n) {
    n = std::clamp(n, 1, 50);
    SetHeight(n * EffectiveItemHeight() + BorderHeight());
}

void TRxDBLookupList::SetBounds(int left, int top, int width, int height) {
    const int border = BorderHeight();
    const int item = EffectiveItemHeight();
    FRowCount = std::max(1, (height - border) / item);
    SetBufferCount(FRowCount - EmptyRows());
    if (!IsLoading()) height = border + FRowCount * item;
    TRxLookupControl::SetBounds(left, top, width, height);
}

void TRxDBLookupList::SetBufferCount(int n) {
    // The link needs one row at least, also when the empty row takes the only visible one.
    n = std::max(1, n);
    if (n == FLookupLink->BufferCount()) return;
    FLookupLink->SetBufferCount(n);
    LookupDataChanged();
}

void TRxDBLookupList::DisplayEmptyChanging(const std::string& newText) {
    SetBufferCount(newText.empty() ? FRowCount : FRowCount - 1);
}

void TRxDBLookupList::ListDataChanged() {
    if (FListActive) {
        FRecordIndex = FLookupLink->ActiveRecord();
        FRecordCount = FLookupLink->RecordCount();
        FHasSelection = !(ValueIsEmpty(FValue) && FLookupLink->DataSet()->Bof());
    } else {
        FRecordIndex = 0;
        FRecordCount = 0;
        FHasSelection = false;
    }
    if (HandleAllocated()) {
        UpdateScrollBar();
        Invalidate();
    }
}

void TRxDBLookupList::LookupDataChanged() { ListDataChanged(); }

void TRxDBLookupList::ValueChanged() {
    if (FListActive && !FLockPosition && !LocateKey()) FLookupLink->DataSet()->First();
}

void TRxDBLookupList::DisplayTextChanged() {
    if (FListActive && !FLockPosition && !LocateDisplay()) FLookupLink->DataSet()->First();
}

void TRxDBLookupList::LookupLinkActivated() {
    try {
        TRxLookupControl::LookupLinkActivated();
    } catch (...) {
        ListDataChanged();
        throw;
    }
    if (FListActive && !FLockPosition) {
        if (FMasterField) UpdateKeyValue();
        else ValueChanged();
    }
    // Also when locating did not move the dataset: the window's figures must be current.
    ListDataChanged();
}

int TRxDBLookupList::KeyIndex() {
    if (ValueIsEmpty(FValue) || !FKeyField) return -1;
    const int saved = FLookupLink->ActiveRecord();
    int found = -1;
    for (int i = 0; i < FLookupLink->RecordCount() && found < 0; ++i) {
        FLookupLink->SetActiveRecord(i);
        if (FKeyField->GetAsString() == FValue) found = i;
    }
    FLookupLink->SetActiveRecord(saved);
    return found;
}

void TRxDBLookupList::SelectCurrent() {
    FLockPosition = true;
    auto unlock = OnScopeExit([this] {
        FLockPosition = false;
        FSelectEmpty = false;
    });
    if (FSelectEmpty) ClearToEmpty();
    else SelectKeyValue(FKeyField->GetAsString());
}

void TRxDBLookupList::SelectItemAt(int x, int y) {
    (void)x;
    y = std::clamp(y, 0, std::max(0, GetClientHeight() - 1));
    const int row = y / EffectiveItemHeight();
    const int e = EmptyRows();
    if (row == 0 && e == 1) FSelectEmpty = true;
    else FLookupLink->DataSet()->MoveBy(row - FRecordIndex - e);
    SelectCurrent();
}

// --- keyboard --------------------------------------------------------------------------------

void TRxDBLookupList::KeyDown(WORD& key, TShiftState shift) {
    TRxLookupControl::KeyDown(key, shift);
    FSelectEmpty = false;
    if (!CanModify()) return;
    const int e = EmptyRows();
    int delta = 0;
    switch (key) {
    case VK_PRIOR: delta = 1 - (FRowCount - e); break;
    case VK_NEXT: delta = FRowCount - e - 1; break;
    case VK_END:
    case VK_HOME: break;
    case VK_LEFT:
    case VK_UP: delta = -1; break;
    case VK_RIGHT:
    case VK_DOWN: delta = 1; break;
    default: return;
    }
    if (ValueIsEmpty(FValue) && e == 1 && delta < 0) FSelectEmpty = true;
    FSearchText.clear();
    TDataSet* ds = FLookupLink->DataSet();
    if (key == VK_HOME) ds->First();
    else if (key == VK_END) ds->Last();
    else {
        const int k = KeyIndex();
        if (k >= 0) ds->MoveBy(k - FRecordIndex);
        else {
            ValueChanged();
            delta = 0;
        }
        ds->MoveBy(delta);
        if (ds->Bof() && delta < 0 && e == 1) FSelectEmpty = true;
    }
    SelectCurrent();
}

void TRxDBLookupList::KeyPress(char32_t& key) {
    TRxLookupControl::KeyPress(key);
    ProcessSearchKey(key);
}

// --- mouse -----------------------------------------------------------------------------------

void TRxDBLookupList::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        FSearchText.clear();
        if (!FPopup) {
            if (CanFocus()) SetFocus();
            if (!FFocused) return;
        }
        if (CanModify()) {
            if (shift.Contains(ssDouble)) {
                if (y / EffectiveItemHeight() == FRecordIndex) DblClick();
            } else {
                SetMouseCapture(true);
                FTracking = true;
                SelectItemAt(x, y);
            }
        }
    }
    TRxLookupControl::MouseDown(button, shift, x, y);
}

void TRxDBLookupList::MouseMove(TShiftState shift, int x, int y) {
    if (FTracking) {
        SelectItemAt(x, y);
        FMouseY = y;
        TimerScroll();
    }
    TRxLookupControl::MouseMove(shift, x, y);
}

void TRxDBLookupList::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FTracking) {
        StopTracking();
        SelectItemAt(x, y);
    }
    TRxLookupControl::MouseUp(button, shift, x, y);
}

void TRxDBLookupList::StopTracking() {
    if (!FTracking) return;
    StopTimer();
    FTracking = false;
    SetMouseCapture(false);
}

void TRxDBLookupList::StopTimer() {
    if (!FTimerActive) return;
    if (HandleAllocated()) KillTimer(WindowHandle(), ScrollTimerId);
    FTimerActive = false;
}

void TRxDBLookupList::TimerScroll() {
    const int y = FMouseY;
    int step = 0, distance = 0;
    if (y < 0) {
        step = -1;
        distance = -y;
    } else if (y >= GetClientHeight()) {
        step = 1;
        distance = y - GetClientHeight() + 1;
    } else {
        StopTimer();
        return;
    }
    FLookupLink->DataSet()->MoveBy(step);
    SelectCurrent();
    FTimerInterval = std::max(0, 200 - 15 * distance);
    if (HandleAllocated()) SetTimer(WindowHandle(), ScrollTimerId, UINT(FTimerInterval));
    FTimerActive = true;
}

bool TRxDBLookupList::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    bool handled = TRxLookupControl::DoMouseWheel(shift, wheelDelta, mousePos);
    if (!handled) {
        const TMouseWheelEvent& handler = wheelDelta < 0 ? OnMouseWheelDown : OnMouseWheelUp;
        if (handler) handler(this, shift, wheelDelta, mousePos, handled);
    }
    if (!handled) Scroll(wheelDelta < 0 ? SB_LINEDOWN : SB_LINEUP, 0);
    return true;
}

// --- scrolling -------------------------------------------------------------------------------

void TRxDBLookupList::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    int max = 0, pos = 0;
    if (FLookupLink->Active() && FRowCount - EmptyRows() == FRecordCount) {
        TDataSet* ds = FLookupLink->DataSet();
        max = 4;
        pos = ds->Bof() ? 0 : ds->Eof() ? 4 : 2;
    }
    TScrollInfo now;
    now.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(SB_VERT, now);
    if (now.nMin != 0 || now.nMax != max) {
        TScrollInfo si;
        si.fMask = SIF_RANGE;
        si.nMin = 0;
        si.nMax = max;
        SetScrollInfo(SB_VERT, si, true);
    }
    if (now.nPos != pos) {
        TScrollInfo si;
        si.fMask = SIF_POS;
        si.nPos = pos;
        SetScrollInfo(SB_VERT, si, true);
    }
}

void TRxDBLookupList::Scroll(int code, int pos) {
    FSearchText.clear();
    if (!FLookupLink->Active()) return;
    TDataSet* ds = FLookupLink->DataSet();
    switch (code) {
    case SB_LINEUP: ds->MoveBy(-FRecordIndex - 1); break;
    case SB_LINEDOWN: ds->MoveBy(FRecordCount - FRecordIndex); break;
    case SB_PAGEUP: ds->MoveBy(-FRecordIndex - FRecordCount + 1); break;
    case SB_PAGEDOWN: ds->MoveBy(2 * FRecordCount - FRecordIndex - 2); break;
    case SB_THUMBPOSITION:
        switch (pos) {
        case 0: ds->First(); break;
        case 1: ds->MoveBy(-FRecordIndex - FRecordCount + 1); break;
        case 3: ds->MoveBy(2 * FRecordCount - FRecordIndex - 2); break;
        case 4: ds->Last(); break;
        default: break;
        }
        break;
    case SB_TOP: ds->First(); break;
    case SB_BOTTOM: ds->Last(); break;
    default: break;
    }
}

void TRxDBLookupList::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_VSCROLL: Scroll(TWMScroll(m).ScrollCode(), TWMScroll(m).Pos()); return;
    case WM_TIMER:
        if (TWMTimer(m).TimerID() == ScrollTimerId) TimerScroll();
        return;
    case WM_CANCELMODE: StopTracking(); break;
    case CM_FONTCHANGED:
        TRxLookupControl::Dispatch(m);
        if (!IsLoading()) ApplyHeight();
        return;
    case CM_CTL3DCHANGED:
        if (FBorderStyle == bsSingle) {
            if (HandleAllocated()) RecreateWnd();
            if (!IsLoading()) {
                ApplyHeight();
                SetRowCount(FRowCount);
            }
        }
        return;
    default: break;
    }
    TRxLookupControl::Dispatch(m);
}

// --- painting --------------------------------------------------------------------------------

void TRxDBLookupList::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    const int h = EffectiveItemHeight();
    const int e = EmptyRows();
    const TColor separator = GetColor() == clBtnFace ? clBtnShadow : clBtnFace;
    const int width = GetClientWidth();
    for (int i = 0; i < FRowCount; ++i) {
        const int r = i - e;
        c->Font()->SetColor(GetFont()->GetColor());
        c->Brush()->SetColor(GetColor());
        c->Pen()->SetColor(separator);
        const TRect row = Rect(0, i * h, width, (i + 1) * h);
        bool focusMark = i == 0 && !FHasSelection && e == 0;
        bool selected = false;
        bool drawn = false;
        int margin = 0;
        TGraphic* image = nullptr;
        if (r >= 0 && r < FRecordCount) {
            FLookupLink->SetActiveRecord(r);
            if (!ValueIsEmpty(FValue) && FKeyField && FKeyField->GetAsString() == FValue) {
                c->Font()->SetColor(clHighlightText);
                c->Brush()->SetColor(clHighlight);
                focusMark = selected = true;
            }
            image = FetchImage(false, false, margin);
            drawn = true;
        } else if (i == 0 && e == 1) {
            if (ValueIsEmpty(FValue)) {
                c->Font()->SetColor(clHighlightText);
                c->Brush()->SetColor(clHighlight);
                focusMark = selected = true;
            } else {
                c->Brush()->SetColor(FEmptyItemColor);
            }
            image = FetchImage(false, true, margin);
            drawn = true;
        }
        if (drawn) {
            const bool emptyRow = r < 0;
            if (margin < 1) {
                DrawItemText(c, row, emptyRow, selected);
            } else {
                TBitmap bmp(row.Width(), row.Height());
                TCanvas* bc = bmp.Canvas();
                bc->Font()->Assign(c->Font());
                bc->Brush()->Assign(c->Brush());
                bc->Pen()->Assign(c->Pen());
                bc->FillRect(Rect(0, 0, row.Width(), row.Height()));
                DrawPicture(bc, Rect(0, 0, margin, row.Height()), image);
                DrawItemText(bc, Rect(margin, 0, row.Width(), row.Height()), emptyRow, selected);
                c->Draw(row.Left, row.Top, &bmp);
            }
        } else {
            c->FillRect(row);
        }
        if (focusMark && (FFocused || FPopup)) c->DrawFocusRect(row);
    }
    if (FListActive && FRecordCount > 0) FLookupLink->SetActiveRecord(FRecordIndex);
}

void TRxDBLookupList::DrawItemText(TCanvas* canvas, const TRect& r, bool empty, bool selected) {
    (void)selected;
    const int textTop = std::max(0, (r.Top + r.Bottom - canvas->TextHeight("Xy")) / 2);
    if (FListStyle == lsDelimited) {
        std::string text;
        if (empty) text = FDisplayEmpty;
        else {
            for (size_t i = 0; i < FListFields.size(); ++i) {
                if (i > 0) {
                    text += FFieldsDelimiter;
                    text += ' ';
                }
                text += FListFields[i]->DisplayText();
            }
        }
        canvas->TextRect(r, r.Left + 2, textTop, text);
        return;
    }
    const int m = canvas->TextWidth("M");
    int x = r.Left;
    const int right = r.Right;
    for (size_t i = 0; i < FListFields.size(); ++i) {
        TField* f = FListFields[i];
        const bool last = i + 1 == FListFields.size();
        int w = last ? right - x : f->DisplayWidth() * m + 4;
        if (x + w > right) w = right - x;
        const std::string text = empty ? (i == 0 ? FDisplayEmpty : std::string()) : f->DisplayText();
        const int tw = canvas->TextWidth(text);
        int offset = 2;
        switch (f->Alignment()) {
        case taRightJustify: offset = w - tw - 3; break;
        case taCenter: offset = (w - tw) / 2; break;
        default: break;
        }
        offset = std::max(0, offset);
        canvas->TextRect(Rect(x, r.Top, x + w, r.Bottom), x + offset, textTop, text);
        x += w;
        if (!last && x < right) {
            canvas->MoveTo(x, r.Top);
            canvas->LineTo(x, r.Bottom);
            x += 2;  // the line and one pixel of gap
        }
        if (x >= right) break;
    }
}

// --- the drop-down ---------------------------------------------------------------------------

TRxPopupDataList::TRxPopupDataList(TComponent* owner) : TRxDBLookupList(owner) {
    FControlStyle.Include(csNoDesignVisible);
    FControlStyle.Include(csReplicatable);
    FPopup = true;
    FCtl3D = false;
    SetTabStop(false);
}

void TRxPopupDataList::CreateParams(TCreateParams& params) {
    TRxDBLookupList::CreateParams(params);
    // A top-level tool window: the scroll bar stays, the frame is one plain line, and it never
    // becomes active, so the combo keeps the focus.
    params.Style = WS_POPUP | WS_BORDER | WS_VSCROLL;
    params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    params.WindowClass.style = CS_SAVEBITS;
}

void TRxPopupDataList::Dispatch(TMessage& m) {
    if (m.Msg == WM_MOUSEACTIVATE) {
        m.Result = MA_NOACTIVATE;
        return;
    }
    TRxDBLookupList::Dispatch(m);
}

void TRxPopupDataList::Click() {
    TRxDBLookupList::Click();
    if (OnSelectionMoved) OnSelectionMoved();
}

void TRxPopupDataList::KeyPress(char32_t& key) {
    TRxDBLookupList::KeyPress(key);
    if (OnSelectionMoved) OnSelectionMoved();
}
