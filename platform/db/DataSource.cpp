// TDataSource and TDataLink: how notifications reach controls and detail datasets.

#include "platform/db/DBConsts.h"
#include "platform/db/DB.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDataSource, TComponent, {
    p.Prop("AutoEdit", &Self::AutoEdit).Default(1);
    p.Prop("DataSet", &Self::DataSet, &Self::SetDataSet);
    p.Prop("Enabled", &Self::Enabled, &Self::SetEnabled).Default(1);
    p.Event("OnDataChange", &Self::OnDataChange, "TDataChangeEvent");
    p.Event("OnStateChange", &Self::OnStateChange, "TNotifyEvent");
    p.Event("OnUpdateData", &Self::OnUpdateData, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TDataLink, TPersistent)

// --- TDataSource ------------------------------------------------------------------------------

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    Destroying();
    while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
    SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (IsLinkedTo(dataSet)) DatabaseError(DBConsts::SCircularDataLink);
    if (FDataSet) {
        FDataSet->RemoveDataSource(this);
        FDataSet->RemoveFreeNotification(this);
    }
    FDataSet = dataSet;
    if (dataSet) {
        dataSet->FreeNotification(this);
        dataSet->AddDataSource(this);
    }
    UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) SetDataSet(nullptr);
}

void TDataSource::SetEnabled(bool value) {
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateState();
}

// True when this source is a master source of dataSet, directly or through its masters:
// feeding dataSet's own master chain back into this source would loop.
bool TDataSource::IsLinkedTo(TDataSet* dataSet) const {
    int guard = 0;
    while (dataSet && guard++ < 1000) {
        TDataSource* ds = dataSet->GetDataSource();
        if (!ds) return false;
        if (ds == this) return true;
        dataSet = ds->DataSet();
    }
    return false;
}

void TDataSource::Edit() {
    if (AutoEdit && FState == dsBrowse && FDataSet) FDataSet->Edit();
}

void TDataSource::UpdateState() {
    TDataSetState s = FEnabled && FDataSet ? FDataSet->State() : dsInactive;
    if (s == FState) return;
    FState = s;
    NotifyDataLinks(deUpdateState, 0);
    if (OnStateChange) OnStateChange(this);
}

void TDataSource::DataEvent(TDataEvent event, intptr_t info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == dsInactive) return;
    NotifyDataLinks(event, info);
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (OnDataChange) OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default: break;
    }
}

// Non-visual links (detail datasets) first, so details are current before controls repaint.
void TDataSource::NotifyDataLinks(TDataEvent event, intptr_t info) {
    std::vector<TDataLink*> links(FDataLinks);
    for (int pass = 0; pass < 2; ++pass)
        for (TDataLink* l : links) {
            if (l->VisualControl != (pass == 1)) continue;
            // A link may leave (or free another) while an earlier one is notified.
            if (std::find(FDataLinks.begin(), FDataLinks.end(), l) == FDataLinks.end()) continue;
            l->DataEvent(event, info);
        }
}

void TDataSource::AddDataLink(TDataLink* link) {
    FDataLinks.push_back(link);
    if (FDataSet) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* link) {
    FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), link), FDataLinks.end());
    if (FDataSet && FDataSet->Active()) FDataSet->UpdateBufferCount();
}

// --- TDataLink --------------------------------------------------------------------------------

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    // No notification to a half-destroyed descendant: just leave the source.
    FActive = false;
    if (FDataSource) FDataSource->RemoveDataLink(this);
    FDataSource = nullptr;
}

void TDataLink::SetDataSource(TDataSource* ds) {
    if (ds == FDataSource) return;
    if (FDataSource) FDataSource->RemoveDataLink(this);
    FDataSource = ds;
    if (ds) ds->AddDataLink(this);
    UpdateState();
}

void TDataLink::SetReadOnly(bool value) {
    if (value == FReadOnly) return;
    FReadOnly = value;
    UpdateState();
}

void TDataLink::UpdateState() {
    SetActive(FDataSource && FDataSource->Enabled() && FDataSource->DataSet() && FDataSource->DataSet()->Active());
    SetEditing(FActive && IsEditMode(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool value) {
    if (value == FActive) return;
    FActive = value;
    if (value) {
        FFirstRecord = 0;
        UpdateRange(0);
    }
    ActiveChanged();
}

void TDataLink::SetEditing(bool value) {
    if (value == FEditing) return;
    FEditing = value;
    EditingChanged();
}

int TDataLink::UpdateRange(int shift) {
    TDataSet* ds = DataSet();
    if (!ds) return 0;
    int first = FFirstRecord + shift;
    int active = ds->FActiveRecord;
    int newFirst = first;
    if (active < newFirst) newFirst = active;
    else if (active > newFirst + FBufferCount - 1) newFirst = active - FBufferCount + 1;
    // Keep the window full where the dataset's buffered rows allow it.
    int maxFirst = std::max(0, ds->FRecordCount - FBufferCount);
    if (newFirst > maxFirst) newFirst = std::max(maxFirst, active - FBufferCount + 1);
    if (newFirst < 0) newFirst = 0;
    FFirstRecord = newFirst;
    return newFirst - first;
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info) {
    if (event == deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive) return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        int count = 0;
        if (FDataSource->State() != dsSetKey) count = UpdateRange(int(info));
        if (event == deDataSetScroll) DataSetScrolled(count);
        else if (event == deLayoutChange) LayoutChanged();
        else DataSetChanged();
        break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(*reinterpret_cast<TField**>(info)); break;
    default: break;
    }
}

int TDataLink::ActiveRecord() const {
    TDataSet* ds = DataSet();
    if (!ds || !FActive) return 0;
    if (FDataSource->State() == dsSetKey) return 0;
    return ds->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int value) {
    TDataSet* ds = DataSet();
    if (!ds || !FActive || FDataSource->State() == dsSetKey) return;
    // Checked: a row outside the filled window would point the fields at a stale buffer.
    if (value < 0 || value >= std::max(1, RecordCount()))
        throw EListError(Format(DBConsts::SDataLinkRowRange, {value}));
    if (RecordCount() == 0) return;
    ds->FActiveRecord = value + FFirstRecord;
}

void TDataLink::SetBufferCount(int value) {
    if (value < 1) value = 1;
    if (value == FBufferCount) return;
    FBufferCount = value;
    TDataSet* ds = DataSet();
    if (ds && ds->Active()) {
        ds->UpdateBufferCount();
        if (FActive) UpdateRange(0);
    }
}

int TDataLink::RecordCount() const {
    TDataSet* ds = DataSet();
    if (!ds || !FActive) return 0;
    return std::max(0, std::min(ds->FRecordCount - FFirstRecord, FBufferCount));
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    FUpdating = true;
    try {
        UpdateData();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}
