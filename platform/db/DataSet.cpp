// TDataSet: state machine, record-buffer window, navigation, editing, bookmarks, controls.

#include "platform/db/DBConsts.h"
#include "platform/db/DB.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <cassert>

#include "platform/classes/Streams.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

// What every dataset of this system publishes; a descendant adds its own after these.
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TDataSet, TComponent, {
    p.Prop("Active", &Self::Active, &Self::SetActive).Default(0);
    p.Prop("AutoCalcFields", &Self::AutoCalcFields).Default(1);
    p.Prop("Filter", &Self::Filter, &Self::SetFilterText);
    p.Prop("Filtered", &Self::Filtered, &Self::SetFiltered).Default(0);
    p.Event("BeforeOpen", &Self::BeforeOpen, "TDataSetNotifyEvent");
    p.Event("AfterOpen", &Self::AfterOpen, "TDataSetNotifyEvent");
    p.Event("BeforeClose", &Self::BeforeClose, "TDataSetNotifyEvent");
    p.Event("AfterClose", &Self::AfterClose, "TDataSetNotifyEvent");
    p.Event("BeforeInsert", &Self::BeforeInsert, "TDataSetNotifyEvent");
    p.Event("AfterInsert", &Self::AfterInsert, "TDataSetNotifyEvent");
    p.Event("BeforeEdit", &Self::BeforeEdit, "TDataSetNotifyEvent");
    p.Event("AfterEdit", &Self::AfterEdit, "TDataSetNotifyEvent");
    p.Event("BeforePost", &Self::BeforePost, "TDataSetNotifyEvent");
    p.Event("AfterPost", &Self::AfterPost, "TDataSetNotifyEvent");
    p.Event("BeforeCancel", &Self::BeforeCancel, "TDataSetNotifyEvent");
    p.Event("AfterCancel", &Self::AfterCancel, "TDataSetNotifyEvent");
    p.Event("BeforeDelete", &Self::BeforeDelete, "TDataSetNotifyEvent");
    p.Event("AfterDelete", &Self::AfterDelete, "TDataSetNotifyEvent");
    p.Event("BeforeScroll", &Self::BeforeScroll, "TDataSetNotifyEvent");
    p.Event("AfterScroll", &Self::AfterScroll, "TDataSetNotifyEvent");
    p.Event("OnCalcFields", &Self::OnCalcFields, "TDataSetNotifyEvent");
    p.Event("OnDeleteError", &Self::OnDeleteError, "TDataSetErrorEvent");
    p.Event("OnEditError", &Self::OnEditError, "TDataSetErrorEvent");
    p.Prop("OnFilterRecord", &Self::OnFilterRecord, &Self::SetOnFilterRecord, TypeInfoMethod("TFilterRecordEvent"));
    p.Event("OnNewRecord", &Self::OnNewRecord, "TDataSetNotifyEvent");
    p.Event("OnPostError", &Self::OnPostError, "TDataSetErrorEvent");
})

bool IsEditMode(TDataSetState s) noexcept { return s == dsEdit || s == dsInsert || s == dsSetKey; }
bool IsWriteMode(TDataSetState s) noexcept {
    return IsEditMode(s) || s == dsCalcFields || s == dsFilter || s == dsNewValue || s == dsInternalCalc;
}

void DatabaseError(const std::string& message) { throw EDatabaseError(message); }
void DatabaseErrorFmt(const std::string& format, const std::vector<Variant>& args) {
    throw EDatabaseError(Format(format, args));
}

TDataSet::TDataSet(TComponent* owner)
    : TComponent(owner), FFields(std::make_unique<TFields>(this)), FFieldDefs(std::make_unique<TFieldDefs>(this)),
      FIndexDefs(std::make_unique<TIndexDefs>(this)) {}

TDataSet::~TDataSet() {
    // A dataset closes in its own destructor (Destroying(); Close();): its InternalClose and
    // FreeRecordBuffer are gone by the time this one runs.
    assert(FState == dsInactive && FBuffers.empty() && !FTempBuffer && !FCalcBuffer);
    while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
    // Fields owned here go now, while the field list still exists; the others forget us.
    for (TField* f : std::vector<TField*>(FFields->List())) {
        if (f->GetOwner() == this) delete f;
        else f->SetDataSet(nullptr);
    }
    for (TField* f : std::vector<TField*>(FFields->List())) f->SetDataSet(nullptr);
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError(DBConsts::SDataSetClosed);
}
void TDataSet::CheckInactive() const {
    if (Active()) DatabaseError(DBConsts::SDataSetOpen);
}

// --- opening and closing ----------------------------------------------------------------------

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        SetActive(true);
    }
}

void TDataSet::SetActive(bool value) {
    if (GetComponentState().Contains(csReading) || GetComponentState().Contains(csLoading)) {
        FStreamedActive = value;
        return;
    }
    if (Active() == value) return;
    if (value) {
        if (BeforeOpen) BeforeOpen(this);
        try {
            OpenCursor();
        } catch (...) {
            CloseCursor();
            throw;
        }
        SetState(dsBrowse);
        if (AfterOpen) AfterOpen(this);
        if (!IsEmpty()) DoAfterScroll();
    } else {
        bool destroying = GetComponentState().Contains(csDestroying);
        if (!destroying && BeforeClose) BeforeClose(this);
        SetState(dsInactive);
        CloseCursor();
        if (!destroying && AfterClose) AfterClose(this);
    }
}

void TDataSet::OpenCursor() {
    FDefaultFields = FFields->Count() == 0;
    InternalOpen();
    FInternalOpenComplete = true;
    UpdateBufferCount();
    FTempBuffer = AllocRecordBuffer();
    FCalcBuffer = AllocRecordBuffer();
    ClearBuffers();
    InternalFirst();
    if (GetNextRecord()) GetNextRecords();
    FBOF = true;
}

void TDataSet::CloseCursor() {
    ClearBuffers();
    for (TRecBuf& b : FBuffers) FreeRecordBuffer(b);
    FBuffers.clear();
    FBufferCount = 0;
    FreeRecordBuffer(FTempBuffer);
    FreeRecordBuffer(FCalcBuffer);
    if (FInternalOpenComplete || IsCursorOpen()) InternalClose();
    FInternalOpenComplete = false;
    for (TDataSource* ds : FDataSources)
        for (TDataLink* l : ds->FDataLinks) l->FFirstRecord = 0;
}

// --- the buffer window ------------------------------------------------------------------------

void TDataSet::UpdateBufferCount() {
    if (!IsCursorOpen()) return;
    int n = 1;
    for (TDataSource* ds : FDataSources)
        for (TDataLink* l : ds->FDataLinks) n = std::max(n, l->FBufferCount);
    SetBufferCount(n);
}

void TDataSet::SetBufferCount(int value) {
    if (value == FBufferCount && !FBuffers.empty()) return;
    int shift = 0;
    // Shrinking: keep the active row inside the window, dropping rows before it first.
    if (value < FBufferCount && FRecordCount > 0) {
        int drop = std::max(0, FActiveRecord - value + 1);
        for (int i = 0; i < drop; ++i) MoveBuffer(0, FBufferCount);
        FActiveRecord -= drop;
        FRecordCount -= drop;
        if (FCurrentRecord >= 0) FCurrentRecord = FCurrentRecord >= drop ? FCurrentRecord - drop : -1;
        if (FRecordCount > value) {
            if (FCurrentRecord >= value) FCurrentRecord = -1;
            FRecordCount = value;
        }
        shift = -drop;
    }
    size_t want = size_t(value) + 1;
    while (FBuffers.size() > want) {
        TRecBuf b = FBuffers.back();
        FreeRecordBuffer(b);
        FBuffers.pop_back();
    }
    while (FBuffers.size() < want) FBuffers.push_back(AllocRecordBuffer());
    int old = FBufferCount;
    FBufferCount = value;
    if (value > old && FRecordCount > 0 && Active()) {
        GetNextRecords();
        int before = FActiveRecord;
        GetPriorRecords();
        shift += FActiveRecord - before;
    }
    if (shift != 0) ShiftLinks(shift);
}

void TDataSet::ShiftLinks(int delta) {
    for (TDataSource* ds : FDataSources)
        for (TDataLink* l : ds->FDataLinks)
            if (l->FActive) l->UpdateRange(delta);
}

void TDataSet::ClearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::ActivateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

// Moves the buffer pointer at curIndex to newIndex, shifting those between.
void TDataSet::MoveBuffer(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    TRecBuf b = FBuffers[size_t(curIndex)];
    if (curIndex < newIndex) {
        for (int i = curIndex; i < newIndex; ++i) FBuffers[size_t(i)] = FBuffers[size_t(i + 1)];
    } else {
        for (int i = curIndex; i > newIndex; --i) FBuffers[size_t(i)] = FBuffers[size_t(i - 1)];
    }
    FBuffers[size_t(newIndex)] = b;
}

void TDataSet::SetCurrentRecord(int index) {
    if (FCurrentRecord == index) return;
    TRecBuf b = FBuffers[size_t(index)];
    switch (GetBookmarkFlag(b)) {
    case bfCurrent:
    case bfInserted: InternalSetToRecord(b); break;
    case bfBOF: InternalFirst(); break;
    case bfEOF: InternalLast(); break;
    }
    FCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
    TGetMode mode = gmNext;
    if (FRecordCount > 0) {
        SetCurrentRecord(FRecordCount - 1);
        // An insert not yet posted stands before the cursor's record: read that one itself.
        if (FState == dsInsert && FCurrentRecord == FActiveRecord &&
            GetBookmarkFlag(FBuffers[size_t(FActiveRecord)]) == bfCurrent)
            mode = gmCurrent;
    }
    bool ok = GetRecord(FBuffers[size_t(FRecordCount)], mode, true) == grOK;
    if (ok) {
        if (FRecordCount == 0) ActivateBuffers();
        else if (FRecordCount < FBufferCount) ++FRecordCount;
        else MoveBuffer(0, FRecordCount);
        FCurrentRecord = FRecordCount - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::GetPriorRecord() {
    if (FRecordCount > 0) SetCurrentRecord(0);
    bool ok = GetRecord(FBuffers[size_t(FRecordCount)], gmPrior, true) == grOK;
    if (ok) {
        if (FRecordCount == 0) {
            ActivateBuffers();
        } else {
            MoveBuffer(FRecordCount, 0);
            if (FRecordCount < FBufferCount) {
                ++FRecordCount;
                ++FActiveRecord;
            }
        }
        FCurrentRecord = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::GetNextRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetNextRecord()) ++n;
    return n;
}

int TDataSet::GetPriorRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && GetPriorRecord()) ++n;
    return n;
}

// --- navigation -------------------------------------------------------------------------------

void TDataSet::First() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalFirst();
        if (GetNextRecord()) GetNextRecords();
    } catch (...) {
        FBOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckBrowseMode();
    DoBeforeScroll();
    ClearBuffers();
    try {
        InternalLast();
        if (GetPriorRecord()) GetPriorRecords();
    } catch (...) {
        FEOF = true;
        DataEvent(deDataSetChange, 0);
        throw;
    }
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseMode();
    int moved = 0;
    if ((distance > 0 && !FEOF) || (distance < 0 && !FBOF)) {
        DoBeforeScroll();
        FBOF = false;
        FEOF = false;
        int shift = 0;  // how the buffer content moved: -1 per row scrolled forward
        try {
            if (distance > 0) {
                while (moved < distance) {
                    UpdateCursorPos();
                    if (FActiveRecord < FRecordCount - 1) {
                        ++FActiveRecord;
                    } else {
                        bool full = FRecordCount >= FBufferCount;
                        if (!GetNextRecord()) {
                            FEOF = true;
                            break;
                        }
                        if (full) --shift;
                        FActiveRecord = FRecordCount - 1;
                    }
                    ++moved;
                }
            } else {
                while (moved > distance) {
                    UpdateCursorPos();
                    if (FActiveRecord > 0) {
                        --FActiveRecord;
                    } else {
                        if (!GetPriorRecord()) {
                            FBOF = true;
                            break;
                        }
                        ++shift;
                        FActiveRecord = 0;
                    }
                    --moved;
                }
            }
        } catch (...) {
            DataEvent(deDataSetScroll, shift);
            throw;
        }
        DataEvent(deDataSetScroll, shift);
        DoAfterScroll();
    }
    return moved;
}

void TDataSet::Resync(TResyncMode mode) {
    TRecBuf spare = FBuffers[size_t(FRecordCount)];
    if (mode.Contains(rmExact)) {
        CursorPosChanged();
        if (GetRecord(spare, gmCurrent, true) != grOK) DatabaseError(DBConsts::SRecordNotFound);
    } else if (GetRecord(spare, gmCurrent, false) != grOK && GetRecord(spare, gmNext, false) != grOK &&
        GetRecord(spare, gmPrior, false) != grOK) {
        ClearBuffers();
        DataEvent(deDataSetChange, 0);
        return;
    }
    int count = mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
    try {
        while (count > 0 && GetPriorRecord()) --count;
        GetNextRecords();
        GetPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange, 0);
        throw;
    }
    DataEvent(deDataSetChange, 0);
}

void TDataSet::Refresh() {
    CheckBrowseMode();
    if (BeforeRefresh) BeforeRefresh(this);
    UpdateCursorPos();
    InternalRefresh();
    Resync(TResyncMode{});
    if (AfterRefresh) AfterRefresh(this);
}

// --- editing ----------------------------------------------------------------------------------

void TDataSet::CheckCanModifyDataSet() const {
    if (!CanModify()) DatabaseError(DBConsts::SDataSetReadOnly);
}

// Runs a dataset operation; a database error goes to the error event, which may retry it,
// abort silently or let it fail. Other exceptions pass untouched, so a dataset that raises
// its own error class and calls the handler itself is not asked twice.
void TDataSet::CheckOperation(void (TDataSet::*op)(), const TDataSetErrorEvent& handler) {
    if (HandlesErrorEvents()) {
        (this->*op)();
        return;
    }
    for (;;) {
        try {
            (this->*op)();
            return;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (handler) handler(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    CheckCanModifyDataSet();
    if (BeforeEdit) BeforeEdit(this);
    UpdateCursorPos();
    CheckOperation(&TDataSet::InternalEdit, OnEditError);
    GetCalcFields(ActiveBuffer());
    SetState(dsEdit);
    DataEvent(deRecordChange, 0);
    if (AfterEdit) AfterEdit(this);
}

void TDataSet::InitRecord(TRecBuf buffer) {
    InternalInitRecord(buffer);
    ClearCalcFields(buffer);
    SetBookmarkFlag(buffer, bfInserted);
}

void TDataSet::BeginInsertAppend() {
    CheckBrowseMode();
    CheckCanModifyDataSet();
    if (BeforeInsert) BeforeInsert(this);
    DoBeforeScroll();
}

void TDataSet::EndInsertAppend() {
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        UpdateCursorPos();
        SetState(dsBrowse);
        Resync(TResyncMode{});
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange, 0);
    if (AfterInsert) AfterInsert(this);
    DoAfterScroll();
}

void TDataSet::DoOnNewRecord() {
    if (OnNewRecord) OnNewRecord(this);
}

void TDataSet::Insert() {
    BeginInsertAppend();
    TBookmark current = FRecordCount > 0 ? GetBookmarkData(FBuffers[size_t(FActiveRecord)]) : TBookmark();
    bool wasEmpty = FRecordCount == 0;
    MoveBuffer(FRecordCount, FActiveRecord);
    TRecBuf b = FBuffers[size_t(FActiveRecord)];
    InitRecord(b);
    if (wasEmpty) SetBookmarkFlag(b, bfBOF);
    else SetBookmarkData(b, current);
    if (FRecordCount < FBufferCount) ++FRecordCount;
    if (FCurrentRecord >= FActiveRecord) CursorPosChanged();
    if (wasEmpty) {
        FBOF = true;
        FEOF = true;
    }
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::Append() {
    BeginInsertAppend();
    ClearBuffers();
    TRecBuf b = FBuffers[0];
    InitRecord(b);
    SetBookmarkFlag(b, bfEOF);
    FRecordCount = 1;
    FBOF = false;
    GetPriorRecords();
    InternalLast();
    CursorPosChanged();
    InternalInsert();
    EndInsertAppend();
}

void TDataSet::UpdateRecord() {
    if (!IsWriteMode(FState)) DatabaseError(DBConsts::SNotEditing);
    DataEvent(deUpdateRecord, 0);
}

void TDataSet::Post() {
    if (FState != dsEdit && FState != dsInsert) return;
    UpdateRecord();
    DataEvent(deCheckBrowseMode, 0);
    if (BeforePost) BeforePost(this);
    if (FState == dsEdit) UpdateCursorPos();
    CheckOperation(&TDataSet::InternalPost, OnPostError);
    SetState(dsBrowse);
    Resync(TResyncMode{});
    if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode, 0);
    if (BeforeCancel) BeforeCancel(this);
    UpdateCursorPos();
    InternalCancel();
    SetState(dsBrowse);
    Resync(TResyncMode{});
    if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert || FState == dsSetKey) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError(DBConsts::SDataSetEmpty);
    CheckCanModifyDataSet();
    DataEvent(deCheckBrowseMode, 0);
    if (BeforeDelete) BeforeDelete(this);
    DoBeforeScroll();
    UpdateCursorPos();
    CheckOperation(&TDataSet::InternalDelete, OnDeleteError);
    SetState(dsBrowse);
    Resync(TResyncMode{});
    if (AfterDelete) AfterDelete(this);
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode, 0);
    switch (FState) {
    case dsEdit:
    case dsInsert:
        UpdateRecord();
        if (FModified) Post();
        else Cancel();
        break;
    case dsSetKey: Post(); break;
    default: break;
    }
}

void TDataSet::ClearFields() {
    if (!IsEditMode(FState)) DatabaseError(DBConsts::SNotEditing);
    DataEvent(deCheckBrowseMode, 0);
    InternalInitRecord(ActiveBuffer());
    if (FState != dsSetKey) GetCalcFields(ActiveBuffer());
    DataEvent(deRecordChange, 0);
}

void TDataSet::SetFields(const std::vector<Variant>& values) {
    size_t n = std::min(values.size(), size_t(FFields->Count()));
    for (size_t i = 0; i < n; ++i) {
        TField* f = FFields->Fields(int(i));
        if (f->FieldKind() == fkData && !values[i].IsEmpty()) f->SetAsVariant(values[i]);
    }
}

void TDataSet::InsertRecord(const std::vector<Variant>& values) {
    Insert();
    SetFields(values);
    Post();
}

void TDataSet::AppendRecord(const std::vector<Variant>& values) {
    Append();
    SetFields(values);
    Post();
}

void TDataSet::InternalHandleException() {
    if (HandleExceptionHook) {
        HandleExceptionHook(this);
        return;
    }
    // No window layer to show it: said on stderr, never dropped.
    std::string text = "neznámá chyba";
    try {
        if (std::exception_ptr e = std::current_exception()) std::rethrow_exception(e);
    } catch (const Exception& e) {
        text = e.Message();
    } catch (const std::exception& e) {
        text = e.what();
    } catch (...) {
        // Recovers the report only: an error of a kind we cannot read is still reported.
    }
    std::fprintf(stderr, "%s: %s\n", GetName().empty() ? "TDataSet" : GetName().c_str(), text.c_str());
}

TDataSet::THandleExceptionHook TDataSet::HandleExceptionHook;

TDataSet::THandleExceptionHook TDataSet::SetHandleExceptionHook(THandleExceptionHook hook) {
    std::swap(hook, HandleExceptionHook);
    return hook;
}

namespace {
int TypeFamily(TFieldType t) {
    switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid: return 1;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc: return 2;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return 3;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftTypedBinary: return 4;
    case ftBytes:
    case ftVarBytes: return 5;
    default: return 100 + int(t);
    }
}
}  // namespace

bool IsFieldTypeCompatible(TFieldType fieldType, TFieldType defType) noexcept {
    return TypeFamily(fieldType) == TypeFamily(defType);
}

// --- states -----------------------------------------------------------------------------------

void TDataSet::SetState(TDataSetState value) {
    if (FState == value) return;
    FState = value;
    FModified = false;
    DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState value) {
    TDataSetState old = FState;
    FState = value;
    ++FDisableCount;
    return old;
}

void TDataSet::RestoreState(TDataSetState value) {
    FState = value;
    --FDisableCount;
}

// --- calculated fields ------------------------------------------------------------------------

void TDataSet::ClearCalcFields(TRecBuf buffer) {
    if (!buffer) return;
    buffer->CalcValues.assign(size_t(FCalcFieldsSize), Variant::Null());
}

void TDataSet::GetCalcFields(TRecBuf buffer) {
    if (FCalcFieldsSize == 0 || !buffer) return;
    TDataSetState old = SetTempState(dsCalcFields);
    try {
        CalculateFields(buffer);
    } catch (...) {
        RestoreState(old);
        throw;
    }
    RestoreState(old);
}

void TDataSet::CalculateFields(TRecBuf buffer) {
    TRecBuf saved = FCalcBuffer;
    FCalcBuffer = buffer;
    if (buffer->CalcValues.size() != size_t(FCalcFieldsSize)) ClearCalcFields(buffer);
    try {
        for (TField* f : FFields->List())
            if (f->FieldKind() == fkLookup) {
                Variant v = f->CalcLookupValue();
                f->SetData(v.IsNull() || v.IsEmpty() ? nullptr : &v);
            }
        if (OnCalcFields) OnCalcFields(this);
    } catch (...) {
        FCalcBuffer = saved;
        throw;
    }
    FCalcBuffer = saved;
}

void TDataSet::UpdateCalcFields() {
    if (FState != dsSetKey && AutoCalcFields && FCalcFieldsSize > 0) GetCalcFields(ActiveBuffer());
}

bool TDataSet::GetFieldData(TField* field, Variant* buffer) {
    if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) return false;
    TRecBuf b = GetActiveRecordBuffer();
    if (!b || field->Offset() < 0 || size_t(field->Offset()) >= b->CalcValues.size()) return false;
    const Variant& v = b->CalcValues[size_t(field->Offset())];
    if (v.IsNull() || v.IsEmpty()) return false;
    if (buffer) *buffer = v;
    return true;
}

void TDataSet::SetFieldData(TField* field, const Variant* buffer) {
    if (field->FieldKind() == fkData || field->FieldKind() == fkInternalCalc) return;
    TRecBuf b = GetActiveRecordBuffer();
    if (!b || field->Offset() < 0) return;
    if (b->CalcValues.size() != size_t(FCalcFieldsSize)) ClearCalcFields(b);
    b->CalcValues[size_t(field->Offset())] = buffer ? *buffer : Variant::Null();
    if (FState != dsCalcFields && FState != dsFilter && FState != dsNewValue && FState != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

TRecBuf TDataSet::GetActiveRecordBuffer() const {
    switch (FState) {
    case dsBrowse:
    case dsBlockRead: return IsEmpty() ? nullptr : ActiveBuffer();
    case dsEdit:
    case dsInsert:
    case dsNewValue:
    case dsCurValue:
    case dsOldValue: return ActiveBuffer();
    case dsCalcFields:
    case dsInternalCalc: return FCalcBuffer;
    case dsFilter: return FFilterBuffer;
    default: return nullptr;
    }
}

// --- fields -----------------------------------------------------------------------------------

void TDataSet::CreateFields() {
    for (int i = 0; i < FFieldDefs->Count(); ++i) {
        TFieldDef* d = FFieldDefs->Items(i);
        if (d->Hidden || d->DataType == ftUnknown) continue;
        if (!d->FieldClass()) continue;
        d->CreateField(this, this);
    }
}

void TDataSet::BindFields(bool binding) {
    int calc = 0;
    for (TField* f : FFields->List()) {
        if (!binding) {
            f->FFieldNo = 0;
            f->FOffset = -1;
            continue;
        }
        if (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc) {
            int i = FFieldDefs->IndexOf(f->FieldName());
            if (i < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {f->FieldName()});
            TFieldDef* d = FFieldDefs->Items(i);
            if (!IsFieldTypeCompatible(f->DataType(), d->DataType))
                DatabaseErrorFmt(DBConsts::SFieldTypeMismatch,
                    {f->DisplayName(), FieldTypeName(f->DataType()), FieldTypeName(d->DataType)});
            f->FFieldNo = d->FieldNo();
            f->FOffset = -1;
        } else {
            f->FFieldNo = -1;
            f->FOffset = calc++;
        }
    }
    FCalcFieldsSize = binding ? calc : 0;
}

void TDataSet::DestroyFields() {
    for (TField* f : std::vector<TField*>(FFields->List())) delete f;
}

void TDataSet::GetFieldList(std::vector<TField*>& list, const std::string& fieldNames) const {
    size_t pos = 0;
    while (pos <= fieldNames.size()) {
        size_t sc = fieldNames.find(';', pos);
        if (sc == std::string::npos) sc = fieldNames.size();
        std::string name = Trim(std::string_view(fieldNames).substr(pos, sc - pos));
        if (!name.empty()) list.push_back(FieldByName(name));
        pos = sc + 1;
    }
}

void TDataSet::GetFieldNames(TStrings* list) {
    list->Clear();
    if (FFields->Count() > 0) {
        FFields->GetFieldNames(list);
        return;
    }
    FFieldDefs->Update();
    for (int i = 0; i < FFieldDefs->Count(); ++i) list->Add(FFieldDefs->Items(i)->Name);
}

Variant TDataSet::GetFieldValues(const std::string& fieldNames) const {
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    if (fields.size() == 1) return fields[0]->GetAsVariant();
    std::vector<Variant> values;
    for (TField* f : fields) values.push_back(f->GetAsVariant());
    return VarArrayOf(values);
}

void TDataSet::SetFieldValues(const std::string& fieldNames, const Variant& value) {
    std::vector<TField*> fields;
    GetFieldList(fields, fieldNames);
    std::vector<Variant> values = KeyValueList(value, fields.size());
    for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetAsVariant(values[i]);
}

// --- data events and controls -----------------------------------------------------------------

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
    if (event == deFieldChange) {
        TField* f = reinterpret_cast<TField*>(info);
        if (f && (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc) && IsEditMode(FState)) FModified = true;
        if (f && f->FieldKind() == fkData) UpdateCalcFields();
    }
    if (FDisableCount != 0) {
        // Links must learn at once that the dataset closed: its fields are about to go.
        if (event == deUpdateState && FState == dsInactive && FDisableState != dsInactive) {
            FDisableState = dsInactive;
        } else {
            if (event == deLayoutChange) FEnableEvent = deLayoutChange;
            return;
        }
    }
    for (TDataSource* ds : std::vector<TDataSource*>(FDataSources)) ds->DataEvent(event, info);
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount != 0) return;
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
}

bool TDataSet::IsLinkedTo(TDataSource* dataSource) const {
    // Walks the master chain; the guard stops at a loop someone built behind our back.
    int guard = 0;
    while (dataSource && guard++ < 1000) {
        TDataSet* ds = dataSource->DataSet();
        if (!ds) return false;
        if (ds == this) return true;
        dataSource = ds->GetDataSource();
    }
    return false;
}

void TDataSet::AddDataSource(TDataSource* ds) {
    FDataSources.push_back(ds);
    UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* ds) {
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), ds), FDataSources.end());
    if (Active()) UpdateBufferCount();
}

// --- bookmarks --------------------------------------------------------------------------------

bool TDataSet::BookmarkAvailable() const {
    return (FState == dsBrowse || FState == dsEdit || FState == dsInsert) && !IsEmpty() &&
        GetBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::GetBookmark() const { return BookmarkAvailable() ? GetBookmarkData(ActiveBuffer()) : TBookmark(); }

TBookmarkStr TDataSet::GetBookmarkStr() const { return GetBookmark(); }

void TDataSet::SetBookmarkStr(const TBookmarkStr& value) { GotoBookmark(value); }

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (bookmark.empty()) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(bookmark);
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
}

int TDataSet::CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const {
    if (b1.empty() && b2.empty()) return 0;
    if (b1.empty()) return 1;
    if (b2.empty()) return -1;
    int c = b1.compare(b2);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// --- searching --------------------------------------------------------------------------------

bool TDataSet::Locate(const std::string&, const Variant&, TLocateOptions) { return false; }

Variant TDataSet::Lookup(const std::string&, const Variant&, const std::string&) { return Variant::Null(); }

void TDataSet::SetFilterOptions(TFilterOptions options) { FFilterOptions = options; }

void TDataSet::SetOnFilterRecord(const TFilterRecordEvent& handler) { FOnFilterRecord = handler; }

std::vector<Variant> TDataSet::KeyValueList(const Variant& keyValues, size_t count) {
    std::vector<Variant> out;
    if (keyValues.IsArray()) {
        int lo = VarArrayLowBound(keyValues, 1), hi = VarArrayHighBound(keyValues, 1);
        for (int i = lo; i <= hi; ++i) out.push_back(keyValues.GetElement({i}));
    } else {
        out.push_back(keyValues);
    }
    if (out.size() != count) DatabaseError(DBConsts::SKeyValuesCount);
    return out;
}

bool TDataSet::RecordMatches(
    const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options) const {
    for (size_t i = 0; i < fields.size(); ++i) {
        TField* f = fields[i];
        const Variant& key = values[i];
        bool keyNull = key.IsNull() || key.IsEmpty();
        if (f->IsNull()) {
            if (keyNull) continue;
            return false;
        }
        if (keyNull) return false;
        bool textual = key.IsString() || f->DataType() == ftString || f->DataType() == ftWideString ||
            f->DataType() == ftFixedChar || f->DataType() == ftMemo || f->DataType() == ftGuid;
        if (textual || options.Contains(loPartialKey)) {
            std::string value = f->GetAsString();
            std::string k = VarToStr(key);
            if (options.Contains(loPartialKey)) {
                if (Utf8Length(k) > Utf8Length(value)) return false;
                value = Utf8Copy(value, 1, Utf8Length(k));
            }
            bool same = options.Contains(loCaseInsensitive) ? AnsiSameText(value, k) : value == k;
            if (!same) return false;
        } else {
            try {
                if (VarCompareValue(f->GetAsVariant(), key) != vrEqual) return false;
            } catch (EVariantError&) {
                return false;
            }
        }
    }
    return true;
}

// --- blobs ------------------------------------------------------------------------------------

namespace {
// A blob's content as a stream: read at creation, written back to the field when freed.
class TDataSetBlobStream : public TStringStream {
public:
    TDataSetBlobStream(TField* field, TBlobStreamMode mode) : FField(field), FMode(mode) {
        if (mode != bmWrite) {
            Variant v;
            if (field->GetData(&v)) {
                std::string s = VarToStr(v);
                Write(s.data(), int64_t(s.size()));
                Seek(0, soFromBeginning);
            }
        } else {
            FModified = true;  // opening for writing empties the field
        }
    }
    ~TDataSetBlobStream() override {
        if (!FModified) return;
        try {
            if (DataString().empty()) {
                FField->SetData(nullptr);
            } else {
                Variant v(DataString());
                FField->SetData(&v);
            }
            if (auto* b = dynamic_cast<TBlobField*>(FField)) b->Modified = true;
        } catch (...) {
            // A destructor must not throw; the dataset reports it as an application error.
            if (FField->DataSet()) FField->DataSet()->HandleException();
        }
    }
    int64_t Write(const void* buffer, int64_t count) override {
        if (FMode == bmRead && FReady) return 0;
        int64_t n = TStringStream::Write(buffer, count);
        if (FReady) FModified = true;
        return n;
    }
    void SetSize(int64_t size) override {
        TStringStream::SetSize(size);
        if (FReady) FModified = true;
    }
    void Ready() { FReady = true; }

private:
    TField* FField;
    TBlobStreamMode FMode;
    bool FModified = false;
    bool FReady = false;
};
}  // namespace

TStream* TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    if (mode != bmRead) {
        if (!IsWriteMode(FState)) DatabaseError(DBConsts::SNotEditing);
        if (field->ReadOnly() && FState != dsSetKey) DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
    }
    auto* s = new TDataSetBlobStream(field, mode);
    s->Ready();
    return s;
}
