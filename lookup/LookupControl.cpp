#include "lookup/LookupControl.h"

#include <algorithm>

#include "lookup/LookupStartup.h"
#include "lookup/MaskedBitmap.h"
#include "lookup/ScreenIcons.h"
#include "platform/gui/Application.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TDataSourceLink, TDataLink)
KAROMIL_IMPLEMENT_CLASS(TLookupSourceLink, TDataLink)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TRxLookupControl, TCustomControl, {
    KAROMIL_PROP(DataSource);
    KAROMIL_PROP(DataField);
    KAROMIL_PROP(LookupSource);
    KAROMIL_PROP(LookupField);
    KAROMIL_PROP(LookupDisplay);
    KAROMIL_PROP(LookupDisplayIndex).Default(0);
    KAROMIL_PROP(ListStyle).Default(lsFixed);
    KAROMIL_PROP(FieldsDelimiter).Default(',');
    KAROMIL_PROP(DisplayEmpty);
    KAROMIL_PROP(EmptyValue).Stored(&Self::IsEmptyValueStored);
    KAROMIL_PROP(EmptyItemColor, TypeInfoColor()).Default(clWindow);
    KAROMIL_PROP(IgnoreCase).Default(1);
    KAROMIL_PROP(IndexSwitch).Default(1);
    KAROMIL_PROP(ItemHeight).Stored(&Self::IsItemHeightStored);
    KAROMIL_PROP(ReadOnly).Default(0);
    KAROMIL_PROP(Ctl3D).Default(1);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
    p.Event("OnGetImage", &Self::OnGetImage, "TGetImageEvent");
})

DWORD TRxLookupControl::LastSearchTick = 0;

// --- links -----------------------------------------------------------------------------------

void TDataSourceLink::ActiveChanged() {
    if (FControl) FControl->DataActiveChanged();
}
void TDataSourceLink::LayoutChanged() {
    if (FControl) FControl->DataLayoutChanged();
}
void TDataSourceLink::RecordChanged(TField* field) {
    if (FControl) FControl->DataRecordChanged(field);
}
void TDataSourceLink::FocusControl(TField*& field) {
    if (field && FControl && field == FControl->FDataFieldObj && FControl->CanFocus()) {
        field = nullptr;
        FControl->SetFocus();
    }
}

void TLookupSourceLink::ActiveChanged() {
    if (FControl) FControl->LookupLinkActivated();
}
void TLookupSourceLink::LayoutChanged() {
    if (FControl) FControl->LookupLinkActivated();
}
void TLookupSourceLink::DataSetChanged() {
    if (FControl) FControl->LookupDataChanged();
}

// --- the control -----------------------------------------------------------------------------

TRxLookupControl::TRxLookupControl(TComponent* owner) : TCustomControl(owner) {
    RegisterLookupResources();
    FControlStyle.Include(csOpaque);
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    FLocalSource = std::make_unique<TDataSource>(nullptr);
    FDataLink = std::make_unique<TDataSourceLink>(this);
    FLookupLink = std::make_unique<TLookupSourceLink>(this);
    FLocate = NewLocateObject(nullptr);
    FValue = FEmptyValue;
}

TRxLookupControl::~TRxLookupControl() {
    // The links must not call back into a control that is half destroyed.
    FDataLink->SetDataSource(nullptr);
    FLookupLink->SetDataSource(nullptr);
    FListFields.clear();
}

void TRxLookupControl::CreateParams(TCreateParams& params) { TCustomControl::CreateParams(params); }

TDataSource* TRxLookupControl::GetDataSource() const { return FDataLink->DataSource(); }

void TRxLookupControl::SetDataSource(TDataSource* v) {
    if (TDataSource* old = FDataLink->DataSource(); old && old != v) old->RemoveFreeNotification(this);
    FDataLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
}

void TRxLookupControl::SetDataField(const std::string& v) {
    if (v == FDataFieldName) return;
    FDataFieldName = v;
    DataActiveChanged();
}

TDataSource* TRxLookupControl::GetLookupSource() const { return FLookupMode ? nullptr : FLookupLink->DataSource(); }

void TRxLookupControl::SetLookupSource(TDataSource* v) {
    CheckNotFixed();
    if (TDataSource* old = FLookupLink->DataSource(); old && old != v && old != FLocalSource.get())
        old->RemoveFreeNotification(this);
    FLookupLink->SetDataSource(v);
    if (v) v->FreeNotification(this);
    FLocate->BindDataSet(v ? v->DataSet() : nullptr);
    if (FListActive) DataRecordChanged(nullptr);
}

std::string TRxLookupControl::GetLookupField() const { return FLookupMode ? std::string() : FLookupFieldName; }

void TRxLookupControl::SetLookupField(const std::string& v) {
    CheckNotFixed();
    if (v == FLookupFieldName) return;
    FLookupFieldName = v;
    LookupLinkActivated();
    if (FListActive) DataRecordChanged(nullptr);
}

void TRxLookupControl::SetLookupDisplay(const std::string& v) {
    if (v == FLookupDisplay) return;
    FLookupDisplay = v;
    LookupLinkActivated();
    if (FListActive) DataRecordChanged(nullptr);
}

void TRxLookupControl::SetLookupDisplayIndex(int v) {
    if (v == FDisplayIndex) return;
    FDisplayIndex = v;
    LookupLinkActivated();
    if (FListActive) DataRecordChanged(nullptr);
}

void TRxLookupControl::DoSetListStyle(TLookupListStyle v) {
    FListStyle = v;
    Invalidate();
}

void TRxLookupControl::DoSetFieldsDelimiter(char v) {
    FFieldsDelimiter = v;
    if (FListStyle == lsDelimited) Invalidate();
}

void TRxLookupControl::SetDisplayEmpty(const std::string& v) {
    if (v == FDisplayEmpty) return;
    DisplayEmptyChanging(v);
    FDisplayEmpty = v;
    if (!IsLoading()) Invalidate();
}

void TRxLookupControl::SetEmptyValue(const std::string& v) {
    if (v == FEmptyValue) return;
    if (FValue == FEmptyValue) FValue = v;
    FEmptyValue = v;
}

void TRxLookupControl::SetEmptyItemColor(TColor v) {
    FEmptyItemColor = v;
    if (!IsLoading() && !FDisplayEmpty.empty()) Invalidate();
}

void TRxLookupControl::SetItemHeight(int v) {
    FItemHeight = IsLoading() ? v : std::max(TextHeight(), v);
    Perform(CM_FONTCHANGED);
}

void TRxLookupControl::SetCtl3D(bool v) {
    if (v == FCtl3D) return;
    FCtl3D = v;
    Perform(CM_CTL3DCHANGED);
}

bool TRxLookupControl::CanModify() const {
    return FListActive && !GetReadOnly() && (!FDataLink->DataSource() || (FMasterField && FMasterField->CanModify()));
}

void TRxLookupControl::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (FDataLink && component == FDataLink->DataSource()) SetDataSource(nullptr);
    if (FLookupLink && component == FLookupLink->DataSource() && component != FLocalSource.get())
        SetLookupSource(nullptr);
}

void TRxLookupControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_SETFOCUS:
        FFocused = true;
        Invalidate();
        break;
    case WM_KILLFOCUS:
        FFocused = false;
        Invalidate();
        break;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

// --- fields ----------------------------------------------------------------------------------

void TRxLookupControl::CheckNotCircular() {
    if (!FDataLink->Active() || !FLookupLink->Active()) return;
    if (FDataLink->DataSource() == FLookupLink->DataSource() || FDataLink->DataSet() == FLookupLink->DataSet())
        LookupError(SCircularDataLink);
}

void TRxLookupControl::CheckNotFixed() {
    if (FLookupMode) LookupError(SPropDefByLookup);
    if (FDataLink->DataSourceFixed) LookupError(SDataSourceFixed);
}

void TRxLookupControl::DataActiveChanged() {
    FDataFieldObj = nullptr;
    FMasterField = nullptr;
    if (FDataLink->Active() && !FDataFieldName.empty()) {
        CheckNotCircular();
        FDataFieldObj = FDataLink->DataSet()->FieldByName(FDataFieldName);
        FMasterField = FDataFieldObj;
    }
    SetLookupMode(FDataFieldObj && FDataFieldObj->FieldKind() == fkLookup);
    DataRecordChanged(nullptr);
}

void TRxLookupControl::DataLayoutChanged() {
    if (!FDataLink->Active() || FDataFieldName.empty()) return;
    TField* field = FDataLink->DataSet()->FieldByName(FDataFieldName);
    if (field == FDataFieldObj) return;
    FDataFieldObj = nullptr;
    FMasterField = nullptr;
    CheckNotCircular();
    FDataFieldObj = field;
    FMasterField = field;
    DataRecordChanged(nullptr);
}

void TRxLookupControl::DataRecordChanged(TField* field) {
    if (field && field != FMasterField) return;
    SetValue(FMasterField ? FMasterField->GetAsString() : FEmptyValue);
}

void TRxLookupControl::SetLookupMode(bool on) {
    if (on == FLookupMode && !on) {
        FMasterField = FDataFieldObj;
        return;
    }
    if (on) {
        TDataSet* data = FDataFieldObj->DataSet();
        FMasterField = data->FieldByName(FDataFieldObj->KeyFields);
        FLookupMode = true;
        FLocalSource->SetDataSet(FDataFieldObj->LookupDataSet());
        FLookupFieldName = FDataFieldObj->LookupKeyFields;
        FLookupLink->SetDataSource(FLocalSource.get());
    } else {
        FLookupLink->SetDataSource(nullptr);
        FLookupMode = false;
        FLookupFieldName.clear();
        FLocalSource->SetDataSet(nullptr);
        FMasterField = FDataFieldObj;
    }
}

void TRxLookupControl::LookupLinkActivated() {
    FListActive = false;
    FKeyField = nullptr;
    FDisplayField = nullptr;
    FListFields.clear();
    if (FLookupLink->Active() && !FLookupFieldName.empty()) {
        CheckNotCircular();
        TDataSet* ds = FLookupLink->DataSet();
        FKeyField = ds->FieldByName(FLookupFieldName);
        ds->GetFieldList(FListFields, FLookupDisplay);
        if (FLookupMode) {
            TField* result = ds->FieldByName(FDataFieldObj->LookupResultField);
            if (std::find(FListFields.begin(), FListFields.end(), result) == FListFields.end())
                FListFields.insert(FListFields.begin(), result);
            FDisplayField = result;
        } else {
            if (FListFields.empty()) FListFields.push_back(FKeyField);
            const int index = (FDisplayIndex >= 0 && FDisplayIndex < int(FListFields.size())) ? FDisplayIndex : 0;
            FDisplayField = FListFields[size_t(index)];
        }
        FListActive = true;
    }
    FLocate->BindDataSet(FLookupLink->DataSet());
}

// --- values and searching --------------------------------------------------------------------

void TRxLookupControl::SetValue(const std::string& s) {
    if (s == FValue) return;
    FValue = s;
    ValueChanged();
}

void TRxLookupControl::SetDisplayValue(const std::string& s) {
    if (s == FDisplayValue) return;
    FDisplayValue = s;
    DisplayTextChanged();
}

bool TRxLookupControl::DoLocate(TField* field, const std::string& s, bool exact) {
    try {
        FLocate->IndexSwitch = FIndexSwitch;
        if (ValueIsEmpty(s) || !field) return false;
        if (!FLocate->FindRecord(field->FieldName(), s, exact, !FIgnoreCase)) return false;
        if (field == FDisplayField) FValue = FKeyField->GetAsString();
        UpdateDisplayValue();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

bool TRxLookupControl::LocateKey() {
    if (ValueIsEmpty(FValue)) return false;
    try {
        return DoLocate(FKeyField, FValue, true);
    } catch (const Exception&) {
        return false;
    }
}

bool TRxLookupControl::LocateDisplay() {
    try {
        return DoLocate(FDisplayField, FDisplayValue, true);
    } catch (const Exception&) {
        return false;
    }
}

void TRxLookupControl::UpdateKeyValue() {
    FValue = FMasterField ? FMasterField->GetAsString() : FEmptyValue;
    ValueChanged();
}

void TRxLookupControl::UpdateDisplayValue() {
    FDisplayValue = (ValueIsEmpty(FValue) || !FDisplayField) ? std::string() : FDisplayField->DisplayText();
}

void TRxLookupControl::SelectKeyValue(const std::string& s) {
    if (FMasterField) {
        if (!CanModify() || !FDataLink->Edit()) return;
        if (FDataFieldObj != FMasterField) FDataFieldObj->DataSet()->Edit();
        FMasterField->SetAsString(s);
    } else {
        SetValue(s);
    }
    UpdateDisplayValue();
    Invalidate();
    Click();
}

void TRxLookupControl::ClearToEmpty() {
    if (FDataLink->DataSource() && !CanModify()) return;
    if (FDataLink->DataSource() && FMasterField && FDataLink->Edit()) {
        if (!FEmptyValue.empty()) FMasterField->SetAsString(FEmptyValue);
        else FMasterField->Clear();
    }
    FValue = FEmptyValue;
    FDisplayValue.clear();
    SetText(FDisplayEmpty);
    Invalidate();
    Click();
}

bool TRxLookupControl::SearchFor(std::string& s) {
    // An emptied search text selects nothing: moving to the first record and writing its key
    // would change the data because a letter was taken back.
    if (s.empty()) return false;
    if (!DoLocate(FDisplayField, s, false)) return false;
    SelectKeyValue(FKeyField->GetAsString());
    s = Utf8Copy(FDisplayField->GetAsString(), 1, Utf8Length(s));
    return true;
}

void TRxLookupControl::ProcessSearchKey(char32_t key) {
    if (!FDisplayField) return;
    if (key == 9 || key == 27) {
        FSearchText.clear();
        return;
    }
    if (key != 8 && key < 32) return;
    if (!CanModify()) return;
    const DWORD now = PlatformTickCount();
    if (!FPopup && now - LastSearchTick > SearchTimeout) FSearchText.clear();
    LastSearchTick = now;
    std::string s;
    if (key == 8) {
        s = Utf8Copy(FSearchText, 1, Utf8Length(FSearchText) - 1);
    } else if (Utf8Length(FSearchText) < MaxSearchLength) {
        s = FSearchText;
        Utf8Append(s, key);
    }
    if (SearchFor(s) || s.empty()) FSearchText = s;
}

// --- measures and images ---------------------------------------------------------------------

int TRxLookupControl::TextHeight() {
    TCanvas measure;
    measure.Font()->Assign(GetFont());
    TTextMetric tm;
    GetTextMetrics(measure.Handle(), tm);
    return tm.tmHeight;
}

int TRxLookupControl::EffectiveItemHeight() const {
    return std::max(const_cast<TRxLookupControl*>(this)->TextHeight(), FItemHeight);
}

int TRxLookupControl::BorderHeight() {
    TCreateParams params;
    CreateParams(params);
    int h = 0;
    if (params.ExStyle & WS_EX_CLIENTEDGE) h += 2 * GetSystemMetrics(SM_CYEDGE);
    if (params.ExStyle & WS_EX_STATICEDGE) h += 2;
    if (params.Style & WS_BORDER) h += 2 * GetSystemMetrics(SM_CYBORDER);
    if (params.Style & WS_THICKFRAME) h += 2 * GetSystemMetrics(SM_CYFRAME);
    else if (params.Style & WS_DLGFRAME) h += 2 * GetSystemMetrics(SM_CYDLGFRAME);
    return h;
}

int TRxLookupControl::ColumnsWidth() {
    TCanvas measure;
    measure.Font()->Assign(GetFont());
    const int m = measure.TextWidth("M");
    int w = 0;
    for (TField* f : FListFields) w += f->DisplayWidth() * m + 4;
    w += GetSystemMetrics(SM_CXVSCROLL);
    return std::min(w, Screen->Width());
}

TGraphic* TRxLookupControl::FetchImage(bool cached, bool isEmpty, int& textMargin) {
    (void)cached;
    textMargin = 0;
    TGraphic* graphic = nullptr;
    if (OnGetImage) OnGetImage(this, isEmpty, graphic, textMargin);
    return graphic;
}

void TRxLookupControl::DrawPicture(TCanvas* canvas, const TRect& r, TGraphic* graphic) {
    if (!graphic) return;
    const int saved = SaveDC(canvas->Handle());
    IntersectClipRect(canvas->Handle(), r.Left, r.Top, r.Right, r.Bottom);
    auto restore = OnScopeExit([canvas, saved] { RestoreDC(canvas->Handle(), saved); });
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
        const int x = (r.Left + r.Right - bitmap->GetWidth()) / 2;
        const int y = (r.Top + r.Bottom - bitmap->GetHeight()) / 2;
        PaintBitmapMaskedAt(canvas, x, y, bitmap, bitmap->GetTransparentColor());
    } else if (auto* icon = dynamic_cast<TIcon*>(graphic)) {
        std::unique_ptr<TIcon> screen = MakeScreenIcon(icon);
        int w = 0, h = 0;
        QueryIconSize(screen.get(), w, h);
        const int x = (r.Left + r.Right - w) / 2;
        const int y = (r.Top + r.Bottom - h) / 2;
        canvas->StretchDraw(Bounds(x, y, w, h), screen.get());
    } else {
        const int x = (r.Left + r.Right - graphic->GetWidth()) / 2;
        const int y = (r.Top + r.Bottom - graphic->GetHeight()) / 2;
        canvas->Draw(x, y, graphic);
    }
}
