#include "lookup/LookupCombo.h"

#include <algorithm>


#include "platform/gui/Application.h"
#include "platform/gui/Forms.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TRxDBLookupCombo, TRxLookupControl, {
    KAROMIL_PROP(DropDownAlign).Default(daLeft);
    // The constructor gives 8 rows; storing against another default would turn a stored 7
    // into 8 when the form loads again.
    KAROMIL_PROP(DropDownCount).Default(8);
    KAROMIL_PROP(DropDownWidth).Default(0);
    KAROMIL_PROP(EscapeClear).Default(1);
    KAROMIL_PROP(DisplayAllFields).Default(0);
    p.Event("OnDropDown", &Self::OnDropDown, "TNotifyEvent");
    p.Event("OnCloseUp", &Self::OnCloseUp, "TNotifyEvent");
})

TRxDBLookupCombo::TRxDBLookupCombo(TComponent* owner) : TRxLookupControl(owner) {
    FControlStyle.Exclude(csSetCaption);
    FControlStyle.Include(csReplicatable);
    SetWidth(145);
    FDataList = new TRxPopupDataList(this);
    FDataList->SetVisible(false);
    FDataList->SetParent(this);
    FDataList->OnMouseUp = [this](TObject* sender, TMouseButton b, TShiftState s, int x, int y) {
        ListMouseUp(sender, b, s, x, y);
    };
    FDataList->OnSelectionMoved = [this] {
        if (ListVisible()) InvalidateText();
    };
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL);
    FDropDownCount = 8;
    FColumns = std::make_unique<TStringList>();
    FPicture = std::make_unique<TPicture>();
    SetHeight(21);
    FIgnoreCase = true;
    FEscapeClear = true;
}

TRxDBLookupCombo::~TRxDBLookupCombo() {
    // The list links to this control's lookup source (in lookup mode an object of this one):
    // it goes first.
    delete FDataList;
    FDataList = nullptr;
}

void TRxDBLookupCombo::CreateParams(TCreateParams& params) {
    TRxLookupControl::CreateParams(params);
    if (FCtl3D) params.ExStyle |= WS_EX_CLIENTEDGE;
    else params.Style |= WS_BORDER;
}

void TRxDBLookupCombo::RaiseToMinHeight() {
    if (IsLoading()) return;
    const int min = MinHeight();
    if (GetHeight() < min) SetHeight(min);
}

void TRxDBLookupCombo::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_SIZE:
        TRxLookupControl::Dispatch(m);
        RaiseToMinHeight();
        return;
    case CM_CTL3DCHANGED:
        if (HandleAllocated()) RecreateWnd();
        RaiseToMinHeight();
        return;
    case CM_FONTCHANGED:
        TRxLookupControl::Dispatch(m);
        RaiseToMinHeight();
        return;
    case CM_ENABLEDCHANGED:
        TRxLookupControl::Dispatch(m);
        Invalidate();
        return;
    case CM_GETDATALINK: m.Result = LRESULT(FDataLink.get()); return;
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS | DLGC_WANTCHARS | DLGC_BUTTON; return;
    case WM_KILLFOCUS: CloseUp(false); break;
    case CM_CANCELMODE: {
        TControl* sender = TCMCancelMode(m).Sender();
        if (sender != this && sender != FDataList) CloseUp(false);
        break;
    }
    case CN_KEYDOWN:
        if ((m.WParam == VK_RETURN || m.WParam == VK_ESCAPE) && FListVisible && FLookupMode &&
            FDataLink->DataSourceFixed) {
            CloseUp(m.WParam == VK_RETURN);
            m.Result = 1;
            return;
        }
        break;
    default: break;
    }
    TRxLookupControl::Dispatch(m);
}

// --- shown text ------------------------------------------------------------------------------

void TRxDBLookupCombo::UpdateDisplay() {
    FColumns->Clear();
    std::string text;
    if (FDisplayAllFields) {
        for (TField* f : FListFields) {
            if (!text.empty()) {
                text += FFieldsDelimiter;
                text += ' ';
            }
            const std::string t = f->DisplayText();
            text += t;
            if (FListStyle == lsFixed)
                FColumns->AddObjectAsInt(
                    t, intptr_t(uint32_t(f->DisplayWidth() & 0xFFFF) | (uint32_t(f->Alignment()) << 16)));
        }
        if (text.empty() && FDisplayField) text = FDisplayField->DisplayText();
    } else if (FDisplayField) {
        text = FDisplayField->DisplayText();
    }
    SetText(text);
    FTextAlignment = FDisplayField ? FDisplayField->Alignment() : taLeftJustify;
}

void TRxDBLookupCombo::ShowEmpty() {
    SetText(FDisplayEmpty);
    FColumns->Clear();
    FTextAlignment = taLeftJustify;
}

void TRxDBLookupCombo::AfterValue() {
    UpdateDisplayValue();
    UpdateImage();
    Invalidate();
}

void TRxDBLookupCombo::ValueChanged() {
    if (FLookupMode) {
        FColumns->Clear();
        if (FDataLink->Active() && FDataFieldObj) {
            SetText(FDataFieldObj->DisplayText());
            FTextAlignment = FDataFieldObj->Alignment();
        } else {
            SetText("");
        }
    } else if (FListActive && LocateKey()) {
        UpdateDisplay();
    } else if (FListActive) {
        FValue = FEmptyValue;
        ShowEmpty();
    } else {
        SetText("");
        FColumns->Clear();
    }
    AfterValue();
}

void TRxDBLookupCombo::DisplayTextChanged() {
    if (FListActive && LocateDisplay()) {
        FValue = FKeyField->GetAsString();
        UpdateDisplay();
    } else {
        FValue = FEmptyValue;
        ShowEmpty();
    }
    AfterValue();
}

void TRxDBLookupCombo::LookupLinkActivated() {
    TRxLookupControl::LookupLinkActivated();
    if (FListActive && FMasterField) UpdateKeyValue();
    else ValueChanged();
}

void TRxDBLookupCombo::LookupDataChanged() {
    if (FDataLink->Active() && FListActive && FDataLink->DataSet()->IsLinkedTo(FLookupLink->DataSource()))
        DataRecordChanged(nullptr);
}

void TRxDBLookupCombo::UpdateImage() {
    FPicture = std::make_unique<TPicture>();
    FImageMargin = 0;
    int margin = 0;
    if (TGraphic* g = TRxLookupControl::FetchImage(false, ValueIsEmpty(FValue), margin)) {
        FPicture->SetGraphic(g);
        FImageMargin = margin;
    }
}

TGraphic* TRxDBLookupCombo::FetchImage(bool cached, bool isEmpty, int& textMargin) {
    if (!cached) return TRxLookupControl::FetchImage(cached, isEmpty, textMargin);
    if (FPicture->Empty()) {
        textMargin = 0;
        return nullptr;
    }
    textMargin = FImageMargin;
    return FPicture->GetGraphic();
}

void TRxDBLookupCombo::DisplayEmptyChanging(const std::string& newText) {
    if (GetText() == FDisplayEmpty) SetText(newText);
}

void TRxDBLookupCombo::ClearToEmpty() {
    CloseUp(false);
    TRxLookupControl::ClearToEmpty();
    UpdateImage();
    Invalidate();
}

void TRxDBLookupCombo::DoSetListStyle(TLookupListStyle v) {
    FListStyle = v;
    if (FDisplayAllFields && !IsLoading()) ValueChanged();
}

void TRxDBLookupCombo::DoSetFieldsDelimiter(char v) {
    FFieldsDelimiter = v;
    if (FDisplayAllFields && FListStyle == lsDelimited && !IsLoading()) ValueChanged();
}

void TRxDBLookupCombo::SetDisplayAllFields(bool v) {
    FDisplayAllFields = v && !FLookupMode;
    if (IsLoading() || FLookupMode) Invalidate();
    else ValueChanged();
}

void TRxDBLookupCombo::InvalidateText() {
    if (!HandleAllocated()) return;
    const TRect r = Rect(1, 1, GetClientWidth() - FButtonWidth - 1, GetClientHeight() - 1);
    InvalidateRect(WindowHandle(), &r, false);
    UpdateWindow(WindowHandle());
}

// --- the drop-down ---------------------------------------------------------------------------

void TRxDBLookupCombo::DropDown() {
    if (FListVisible || !CanModify()) return;
    if (OnDropDown) OnDropDown(this);
    TRxPopupDataList* list = FDataList;
    list->SetColor(GetColor());
    list->SetFont(GetFont());
    list->SetItemHeight(EffectiveItemHeight());
    list->SetReadOnly(!CanModify());
    list->SetEmptyValue(FEmptyValue);
    list->SetDisplayEmpty(FDisplayEmpty);
    list->SetEmptyItemColor(FEmptyItemColor);
    list->SetRowCount(FDropDownCount);
    list->SetLookupField(FLookupFieldName);
    list->SetListStyle(FListStyle);
    list->SetFieldsDelimiter(FFieldsDelimiter);
    list->SetIgnoreCase(FIgnoreCase);
    list->SetIndexSwitch(FIndexSwitch);
    list->OnGetImage = OnGetImage;
    if (FDisplayField) FTextAlignment = FDisplayField->Alignment();

    std::string names;
    int displayIndex = 0;
    for (size_t i = 0; i < FListFields.size(); ++i) {
        names += FListFields[i]->FieldName() + ";";
        if (FListFields[i] == FDisplayField) displayIndex = int(i);
    }
    list->SetLookupDisplay(names);
    list->SetLookupDisplayIndex(displayIndex);
    list->SetLookupSource(FLookupLink->DataSource());
    list->SetValue(FValue);

    int width = GetWidth();
    if (FDropDownWidth > 0) width = FDropDownWidth;
    else if (FDropDownWidth < 0) width = std::max(GetWidth(), list->ColumnsWidth());
    const int height = list->GetHeight();

    HandleNeeded();
    TRect wr;
    GetWindowRect(WindowHandle(), wr);
    int x = wr.Left;
    int y = wr.Top + GetHeight();
    if (y + height > Screen->Height()) y = wr.Top - height;
    if (FDropDownAlign == daRight) x -= width - GetWidth();
    else if (FDropDownAlign == daCenter) x -= (width - GetWidth()) / 2;
    if (x + width > Screen->Width()) x = Screen->Width() - width;
    x = std::max(0, x);
    list->SetBounds(x, y, width, height);
    list->SetVisible(true);
    FListVisible = true;
    InvalidateText();
    Invalidate();
}

void TRxDBLookupCombo::CloseUp(bool accept) {
    if (!FListVisible) return;
    if (HWND capture = GetCapture()) SendMessage(capture, WM_CANCELMODE);
    const std::string chosen = FDataList->Value();
    FDataList->SetVisible(false);
    FListVisible = false;
    FDataList->SetLookupSource(nullptr);
    Invalidate();
    FSearchText.clear();
    FDataList->FSearchText.clear();
    if (accept && CanModify() && FValue != chosen) SelectKeyValue(chosen);
    if (CanFocus() && !Focused()) SetFocus();
    if (OnCloseUp) OnCloseUp(this);
}

// --- keyboard --------------------------------------------------------------------------------

void TRxDBLookupCombo::KeyDown(WORD& key, TShiftState shift) {
    if (FListActive && (key == VK_UP || key == VK_DOWN)) {
        if (shift.Contains(ssAlt)) {
            if (FListVisible) CloseUp(true);
            else DropDown();
            key = 0;
        } else if (!FListVisible && !GetReadOnly()) {
            TDataSet* ds = LookupDataSet();
            if (!LocateKey()) ds->First();
            else if (key == VK_UP) ds->Prior();
            else ds->Next();
            SelectKeyValue(FKeyField->GetAsString());
            key = 0;
        }
    }
    if (key != 0 && FListVisible) FDataList->ListKeyDown(key, shift);
    TRxLookupControl::KeyDown(key, shift);
}

void TRxDBLookupCombo::KeyPress(char32_t& key) {
    if (FListVisible) {
        if (key == 13 || key == 27) {
            CloseUp(key == 13);
            key = 0;
        } else {
            FDataList->ListKeyPress(key);
        }
    } else if (key >= 32) {
        DropDown();
        if (FListVisible) FDataList->ListKeyPress(key);
    } else if (key == 27 && FEscapeClear && !ValueIsEmpty(FValue) && CanModify()) {
        ClearToEmpty();
        key = 0;
    }
    TRxLookupControl::KeyPress(key);
    if (key == 13 || key == 27) {
        if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, WPARAM(key), 0);
    }
}

// --- mouse -----------------------------------------------------------------------------------

void TRxDBLookupCombo::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (CanFocus()) SetFocus();
        if (!FFocused && !Focused()) return;
        if (FListVisible) CloseUp(false);
        else if (CanModify()) {
            SetMouseCapture(true);
            FTracking = true;
            TrackButton(x, y);
            DropDown();
        }
    }
    TRxLookupControl::MouseDown(button, shift, x, y);
}

void TRxDBLookupCombo::MouseMove(TShiftState shift, int x, int y) {
    if (FTracking) {
        TrackButton(x, y);
        if (FListVisible) {
            const TPoint p = FDataList->ScreenToClient(ClientToScreen(Point(x, y)));
            if (PtInRect(FDataList->GetClientRect(), p)) {
                StopTracking();
                FDataList->Perform(WM_LBUTTONDOWN, MK_LBUTTON, PointToLParam(p));
            }
        }
    }
    TRxLookupControl::MouseMove(shift, x, y);
}

void TRxDBLookupCombo::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    StopTracking();
    TRxLookupControl::MouseUp(button, shift, x, y);
}

void TRxDBLookupCombo::TrackButton(int x, int y) {
    const TRect button = Rect(GetClientWidth() - FButtonWidth, 0, GetClientWidth(), GetClientHeight());
    const bool pressed = PtInRect(button, Point(x, y));
    if (pressed == FPressed) return;
    FPressed = pressed;
    Invalidate();
}

void TRxDBLookupCombo::StopTracking() {
    if (!FTracking) return;
    TrackButton(-1, -1);
    FTracking = false;
    SetMouseCapture(false);
}

void TRxDBLookupCombo::ListMouseUp(TObject*, TMouseButton button, TShiftState, int x, int y) {
    if (button != mbLeft) return;
    CloseUp(PtInRect(FDataList->GetClientRect(), Point(x, y)));
}

void TRxDBLookupCombo::Click() {
    TRxLookupControl::Click();
    Change();
}

// --- painting --------------------------------------------------------------------------------

void TRxDBLookupCombo::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    c->Brush()->SetColor(GetColor());
    c->FillRect(GetClientRect());
    const bool copy = FControlState.Contains(csPaintCopy);
    const bool selected = (FFocused || Focused()) && !FListVisible && !copy;
    if (selected) {
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetColor(clHighlight);
    } else if (!GetEnabled()) {
        c->Font()->SetColor(clGrayText);
    }
    std::string text = GetText();
    TAlignment alignment = FTextAlignment;
    bool allFields = FDisplayAllFields;
    if (copy && FDataFieldObj) {
        text = FDataFieldObj->DisplayText();
        alignment = FDataFieldObj->Alignment();
        allFields = false;
    }
    TGraphic* image = nullptr;
    int margin = 0;
    if (FListVisible) {
        allFields = false;
        TRxPopupDataList* list = FDataList;
        if (!list->SearchText().empty()) {
            text = list->SearchText();
        } else if (list->ValueIsEmpty(list->Value())) {
            text = FDisplayEmpty;
            image = FetchImage(false, true, margin);
        } else if (list->KeyField() && list->KeyField()->GetAsString() != list->Value()) {
            image = FetchImage(true, false, margin);
        } else if (list->DisplayField()) {
            text = list->DisplayField()->DisplayText();
            image = list->FetchImage(false, false, margin);
        }
    } else if (!copy) {
        image = FetchImage(true, ValueIsEmpty(FValue), margin);
    }

    const int textWidth = GetClientWidth() - FButtonWidth;
    if (textWidth > 4) {
        const TRect area = Rect(1, 1, textWidth - 1, GetClientHeight() - 1);
        const int imageMargin = image ? margin + 1 : 0;
        int start = imageMargin + 2;
        const int w = area.Width();
        const int tw = c->TextWidth(text);
        if (!FListVisible && !allFields) {
            if (alignment == taRightJustify) start = w - tw - 6;
            else if (alignment == taCenter) start = (w + imageMargin - tw) / 2;
        }
        TBitmap bmp(area.Width(), area.Height());
        TCanvas* bc = bmp.Canvas();
        bc->Font()->Assign(c->Font());
        bc->Brush()->Assign(c->Brush());
        bc->FillRect(Rect(0, 0, area.Width(), area.Height()));
        const int top = std::max(0, (area.Height() - bc->TextHeight("Xy")) / 2);
        if (allFields && FListStyle == lsFixed && FColumns->Count() > 0) {
            PaintColumns(bc, Rect(0, 0, area.Width(), area.Height()), imageMargin);
        } else {
            if (allFields && ValueIsEmpty(FValue)) text = FDisplayEmpty;
            bc->TextRect(Rect(0, 0, area.Width(), area.Height()), start, top, text);
        }
        if (image) DrawPicture(bc, Rect(0, 0, imageMargin, area.Height()), image);
        c->Draw(area.Left, area.Top, &bmp);
        if (selected) c->DrawFocusRect(area);
    }
    TRect button = Rect(std::max(0, textWidth), 0, GetClientWidth(), GetClientHeight());
    uint32_t state = DFCS_SCROLLCOMBOBOX;
    if (FPressed) state |= DFCS_FLAT | DFCS_PUSHED;
    if (!FListActive || !GetEnabled() || GetReadOnly()) state |= DFCS_INACTIVE;
    DrawFrameControl(c->Handle(), button, DFC_SCROLL, state);
}

void TRxDBLookupCombo::PaintColumns(TCanvas* canvas, const TRect& area, int start) {
    const int m = canvas->TextWidth("M");
    const int top = std::max(0, (area.Height() - canvas->TextHeight("Xy")) / 2);
    const TColor line = GetColor() == clBtnFace ? clBtnShadow : clBtnFace;
    int x = area.Left + start;
    for (int i = 0; i < FColumns->Count() && x < area.Right; ++i) {
        const uint32_t packed = uint32_t(FColumns->ObjectsAsInt(i));
        const bool last = i + 1 == FColumns->Count();
        int w = last ? area.Right - x : int(packed & 0xFFFF) * m + 4;
        w = std::min(w, area.Right - x);
        const std::string text = FColumns->Strings(i);
        const int tw = canvas->TextWidth(text);
        int offset = 2;
        switch (TAlignment(packed >> 16)) {
        case taRightJustify: offset = w - tw - 3; break;
        case taCenter: offset = (w - tw) / 2; break;
        default: break;
        }
        canvas->TextRect(Rect(x, area.Top, x + w, area.Bottom), x + std::max(0, offset), top, text);
        x += w;
        if (!last && x < area.Right) {
            canvas->Pen()->SetColor(line);
            canvas->MoveTo(x, area.Top);
            canvas->LineTo(x, area.Bottom);
            x += 2;
        }
    }
}
