// TFieldDataLink and TMasterDataLink.

#include "platform/db/DataLinks.h"

#include <algorithm>

KAROMIL_IMPLEMENT_CLASS(TFieldDataLink, TDataLink)
KAROMIL_IMPLEMENT_CLASS(TMasterDataLink, TDataLink)

// --- TFieldDataLink ---------------------------------------------------------------------------

void TFieldDataLink::SetFieldName(const std::string& name) {
    if (name == FFieldName) return;
    FFieldName = name;
    UpdateField();
}

void TFieldDataLink::UpdateField() {
    TField* f = nullptr;
    if (Active() && !FFieldName.empty()) {
        f = Control ? DataSet()->FieldByName(FFieldName) : DataSet()->FindField(FFieldName);
    }
    SetField(f);
}

void TFieldDataLink::SetField(TField* field) {
    if (field == FField) return;
    FField = field;
    EditingChanged();
    RecordChanged(nullptr);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

bool TFieldDataLink::Edit() {
    if (CanModify()) TDataLink::Edit();
    return FEditing;
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange) OnActiveChange(this);
}

void TFieldDataLink::EditingChanged() {
    bool editing = Editing() && CanModify();
    if (editing == FEditing) return;
    FEditing = editing;
    FModified = false;
    if (OnEditingChange) OnEditingChange(this);
}

void TFieldDataLink::FocusControl(TField*& field) {
    if (field && field == FField && OnFocusControl) {
        field = nullptr;
        OnFocusControl(this);
    }
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
    if (field && field != FField) return;
    if (OnDataChange) OnDataChange(this);
    FModified = false;
}

void TFieldDataLink::UpdateData() {
    if (!FModified) return;
    if (FField && OnUpdateData) OnUpdateData(this);
    FModified = false;
}

// --- TMasterDataLink --------------------------------------------------------------------------

void TMasterDataLink::SetFieldNames(const std::string& names) {
    if (names == FFieldNames) return;
    FFieldNames = names;
    ActiveChanged();
}

void TMasterDataLink::ActiveChanged() {
    FFields.clear();
    if (Active()) {
        try {
            DataSet()->GetFieldList(FFields, FFieldNames);
        } catch (...) {
            FFields.clear();
            throw;
        }
    }
    if (FDetail && FDetail->GetComponentState().Contains(csDestroying)) return;
    if (Active() && !FFields.empty()) {
        if (OnMasterChange) OnMasterChange(this);
    } else if (OnMasterDisable) {
        OnMasterDisable(this);
    }
}

void TMasterDataLink::CheckBrowseMode() {
    if (FDetail && FDetail->Active()) FDetail->CheckBrowseMode();
}

void TMasterDataLink::LayoutChanged() { ActiveChanged(); }

void TMasterDataLink::RecordChanged(TField* field) {
    if (DataSource()->State() == dsSetKey || FFields.empty()) return;
    if (field && std::find(FFields.begin(), FFields.end(), field) == FFields.end()) return;
    if (OnMasterChange) OnMasterChange(this);
}
