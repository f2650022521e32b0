// TMemDataSet: the in-memory dataset.

#include "platform/db/DBConsts.h"
#include "platform/db/MemDataSet.h"

#include <algorithm>
#include <cstring>

#include "platform/db/Fields.h"
#include "platform/db/MemFilter.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TMemDataSet, TDataSet)

struct TMemDataSet::Buffer : TRecordBuffer {
    int32_t Id = 0;  // the record's identity, or the insert's anchor
    TBookmarkFlag Flag = bfCurrent;
    std::vector<Variant> Values;
};

TMemDataSet::Buffer* TMemDataSet::Buf(TRecBuf b) { return static_cast<Buffer*>(b); }

namespace {
TBookmark IdToBookmark(int32_t id) {
    TBookmark b(4, '\0');
    std::memcpy(b.data(), &id, 4);
    return b;
}
bool BookmarkToId(const TBookmark& b, int32_t& id) {
    if (b.size() != 4) return false;
    std::memcpy(&id, b.data(), 4);
    return true;
}
}  // namespace

TMemDataSet::TMemDataSet(TComponent* owner) : TDataSet(owner), FMasterLink(std::make_unique<TMasterDataLink>(this)) {
    SetBookmarkSize(4);
    FMasterLink->OnMasterChange = [this](TObject* s) { MasterChanged(s); };
    FMasterLink->OnMasterDisable = [this](TObject* s) { MasterDisabled(s); };
}

TMemDataSet::~TMemDataSet() {
    Destroying();
    Close();
    FMasterLink->SetDataSource(nullptr);
}

// --- storage ----------------------------------------------------------------------------------

void TMemDataSet::EmptyTable() {
    if (Active()) CheckBrowseMode();
    FRows.clear();
    FById.clear();
    FPositionStale = true;
    FCursor = -1;
    if (Active()) First();
}

int TMemDataSet::PositionOf(int32_t id) const {
    if (FPositionStale) {
        FPosition.clear();
        FPosition.reserve(FRows.size());
        for (size_t i = 0; i < FRows.size(); ++i) FPosition[FRows[i]->Id] = int(i);
        FPositionStale = false;
    }
    auto it = FPosition.find(id);
    return it == FPosition.end() ? -1 : it->second;
}

// --- buffers ----------------------------------------------------------------------------------

TRecBuf TMemDataSet::AllocRecordBuffer() {
    auto* b = new Buffer;
    b->Values.assign(size_t(FieldDefs()->Count()), Variant::Null());
    return b;
}

void TMemDataSet::FreeRecordBuffer(TRecBuf& buffer) {
    delete Buf(buffer);
    buffer = nullptr;
}

void TMemDataSet::InternalInitRecord(TRecBuf buffer) {
    Buffer* b = Buf(buffer);
    b->Values.assign(size_t(FieldDefs()->Count()), Variant::Null());
    b->Id = 0;
}

bool TMemDataSet::GetCurrentRecord(TRecBuf buffer) {
    TRecBuf a = ActiveBuffer();
    if (!a || IsEmpty()) return false;
    *Buf(buffer) = *Buf(a);
    return true;
}

TBookmarkFlag TMemDataSet::GetBookmarkFlag(TRecBuf buffer) const { return Buf(buffer)->Flag; }
void TMemDataSet::SetBookmarkFlag(TRecBuf buffer, TBookmarkFlag flag) { Buf(buffer)->Flag = flag; }
TBookmark TMemDataSet::GetBookmarkData(TRecBuf buffer) const { return IdToBookmark(Buf(buffer)->Id); }
void TMemDataSet::SetBookmarkData(TRecBuf buffer, const TBookmark& data) {
    int32_t id;
    if (BookmarkToId(data, id)) Buf(buffer)->Id = id;
}

void TMemDataSet::FillBuffer(Buffer* b, const Row* row) {
    b->Id = row->Id;
    b->Flag = bfCurrent;
    b->Values = row->Values;
    ClearCalcFields(b);
    GetCalcFields(b);
}

// --- opening ----------------------------------------------------------------------------------

void TMemDataSet::InternalOpen() {
    if (FieldDefs()->Count() == 0 && FieldCount() > 0) {
        // Fields made by hand and no definitions: the definitions follow the fields.
        for (TField* f : Fields()->List())
            if (f->FieldKind() == fkData) FieldDefs()->Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
    }
    if (DefaultFields()) CreateFields();
    BindFields(true);
    size_t n = size_t(FieldDefs()->Count());
    for (auto& r : FRows) r->Values.resize(n, Variant::Null());
    FOldBuffer = Buf(AllocRecordBuffer());
    FScratch = Buf(AllocRecordBuffer());
    FCursor = -1;
    FCursorOpen = true;
}

void TMemDataSet::InternalClose() {
    TRecBuf b = FOldBuffer;
    FreeRecordBuffer(b);
    b = FScratch;
    FreeRecordBuffer(b);
    FOldBuffer = nullptr;
    FScratch = nullptr;
    FCursorOpen = false;
    BindFields(false);
    if (DefaultFields()) DestroyFields();
}

// --- filtering --------------------------------------------------------------------------------

bool TMemDataSet::HasRestriction() const {
    return (Filtered() && (OnFilterRecord() || FFilterExpr)) ||
        (FMasterLink->Active() && !FMasterLink->Fields().empty());
}

auto TMemDataSet::ReadThroughFilter(const Row* row) {
    if (CalcFieldsSize() > 0) FillBuffer(FScratch, row);
    const Row* savedRow = FScanRow;
    const TRecBuf savedBuf = FFilterBuffer;
    FScanRow = row;
    FFilterBuffer = FScratch;
    const TDataSetState old = SetTempState(dsFilter);
    return OnScopeExit([this, old, savedRow, savedBuf] {
        RestoreState(old);
        FScanRow = savedRow;
        FFilterBuffer = savedBuf;
    });
}

// Reads the row's fields through the filter state; data fields come straight from the row,
// calculated ones from the scratch buffer.
bool TMemDataSet::Accepted(const Row* row, bool forceFilter) {
    bool filter = (Filtered() || forceFilter) && (OnFilterRecord() || FFilterExpr);
    bool master = FMasterLink->Active() && !FMasterLink->Fields().empty();
    if (!filter && !master) return true;
    auto reading = ReadThroughFilter(row);
    bool accept = true;
    if (master) {
        std::vector<TField*> detail;
        GetFieldList(detail, DetailFields.empty() ? MasterFields() : DetailFields);
        const auto& mf = FMasterLink->Fields();
        if (detail.size() != mf.size()) DatabaseError(DBConsts::SMasterDetailCount);
        std::vector<Variant> values;
        for (TField* f : mf) values.push_back(f->GetAsVariant());
        accept = RecordMatches(detail, values, TLocateOptions{});
    }
    if (accept && filter && FFilterExpr) accept = FFilterExpr->Evaluate(this, FilterOptions());
    if (accept && filter && OnFilterRecord()) OnFilterRecord()(this, accept);
    return accept;
}

void TMemDataSet::RefreshView() {
    if (!Active()) return;
    CheckBrowseMode();
    First();
}

void TMemDataSet::SetFiltered(bool value) {
    if (value == Filtered()) return;
    TDataSet::SetFiltered(value);
    RefreshView();
}

void TMemDataSet::SetFilterText(const std::string& text) {
    std::unique_ptr<TMemFilter> expr;
    if (!Trim(text).empty()) expr = std::make_unique<TMemFilter>(text);  // a bad text raises here
    TDataSet::SetFilterText(text);
    FFilterExpr = std::move(expr);
    if (Filtered()) RefreshView();
}

void TMemDataSet::SetFilterOptions(TFilterOptions options) {
    TDataSet::SetFilterOptions(options);
    if (Filtered()) RefreshView();
}

void TMemDataSet::SetOnFilterRecord(const TFilterRecordEvent& handler) {
    TDataSet::SetOnFilterRecord(handler);
    if (Filtered()) RefreshView();
}

// --- cursor -----------------------------------------------------------------------------------

TGetResult TMemDataSet::GetRecord(TRecBuf buffer, TGetMode mode, bool) {
    int n = int(FRows.size());
    switch (mode) {
    case gmCurrent:
        if (FCursor < 0) return grBOF;
        if (FCursor >= n) return grEOF;
        if (!Accepted(FRows[size_t(FCursor)].get())) return grError;
        break;
    case gmNext:
        for (;;) {
            if (FCursor < n) ++FCursor;
            if (FCursor >= n) return grEOF;
            if (Accepted(FRows[size_t(FCursor)].get())) break;
        }
        break;
    case gmPrior:
        for (;;) {
            if (FCursor >= 0) --FCursor;
            if (FCursor < 0) return grBOF;
            if (Accepted(FRows[size_t(FCursor)].get())) break;
        }
        break;
    }
    FillBuffer(Buf(buffer), FRows[size_t(FCursor)].get());
    return grOK;
}

void TMemDataSet::InternalSetToRecord(TRecBuf buffer) {
    Buffer* b = Buf(buffer);
    int pos = PositionOf(b->Id);
    if (pos >= 0) FCursor = pos;
}

void TMemDataSet::InternalGotoBookmark(const TBookmark& bookmark) {
    int32_t id;
    int pos = BookmarkToId(bookmark, id) ? PositionOf(id) : -1;
    if (pos < 0) DatabaseError(DBConsts::SRecordNotFound);
    FCursor = pos;
}

bool TMemDataSet::BookmarkValid(const TBookmark& bookmark) {
    int32_t id;
    return Active() && BookmarkToId(bookmark, id) && PositionOf(id) >= 0;
}

int TMemDataSet::CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const {
    if (b1.empty() || b2.empty()) return TDataSet::CompareBookmarks(b1, b2);
    int32_t i1 = 0, i2 = 0;
    BookmarkToId(b1, i1);
    BookmarkToId(b2, i2);
    if (i1 == i2) return 0;
    if (BookmarksInRecordOrder) {
        // Live records by position; deleted ones after them by identity: still a total order.
        int p1 = PositionOf(i1), p2 = PositionOf(i2);
        if (p1 >= 0 && p2 >= 0) return p1 < p2 ? -1 : 1;
        if (p1 >= 0) return -1;
        if (p2 >= 0) return 1;
    }
    return i1 < i2 ? -1 : 1;
}

int TMemDataSet::GetRecordCount() const {
    if (!Active()) return 0;
    if (!HasRestriction()) return int(FRows.size());
    auto* self = const_cast<TMemDataSet*>(this);
    int n = 0;
    for (auto& r : FRows)
        if (self->Accepted(r.get())) ++n;
    return n;
}

int TMemDataSet::GetRecNo() const {
    TRecBuf a = ActiveBuffer();
    if (!Active() || !a || Buf(a)->Flag != bfCurrent) return -1;
    int pos = PositionOf(Buf(a)->Id);
    if (pos < 0) return -1;
    if (!HasRestriction()) return pos + 1;
    auto* self = const_cast<TMemDataSet*>(this);
    int n = 0;
    for (int i = 0; i <= pos; ++i)
        if (self->Accepted(FRows[size_t(i)].get())) ++n;
    return n;
}

void TMemDataSet::SetRecNo(int value) {
    CheckBrowseMode();
    if (value < 1 || value == GetRecNo()) return;
    int pos = -1;
    if (!HasRestriction()) {
        if (value <= int(FRows.size())) pos = value - 1;
    } else {
        int n = 0;
        for (size_t i = 0; i < FRows.size() && pos < 0; ++i)
            if (Accepted(FRows[i].get()) && ++n == value) pos = int(i);
    }
    if (pos < 0) return;
    DoBeforeScroll();
    FCursor = pos;
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
}

// --- field data -------------------------------------------------------------------------------

TRecBuf TMemDataSet::GetActiveRecordBuffer() const {
    if (State() == dsOldValue) return FOldBuffer && FOldBuffer->Id != 0 ? FOldBuffer : ActiveBuffer();
    return TDataSet::GetActiveRecordBuffer();
}

bool TMemDataSet::GetFieldData(TField* field, Variant* buffer) {
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc)
        return TDataSet::GetFieldData(field, buffer);
    size_t i = size_t(field->FieldNo() - 1);
    const std::vector<Variant>* values;
    if (State() == dsFilter && FScanRow) {
        values = &FScanRow->Values;
    } else {
        TRecBuf b = GetActiveRecordBuffer();
        if (!b) return false;
        values = &Buf(b)->Values;
    }
    if (field->FieldNo() <= 0 || i >= values->size()) return false;
    const Variant& v = (*values)[i];
    if (v.IsNull() || v.IsEmpty()) return false;
    if (buffer) *buffer = v;
    return true;
}

void TMemDataSet::SetFieldData(TField* field, const Variant* buffer) {
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc) {
        TDataSet::SetFieldData(field, buffer);
        return;
    }
    if (State() == dsCalcFields && field->FieldKind() == fkData) DatabaseError(DBConsts::SNotEditing);
    if (field->ReadOnly() && State() != dsSetKey) DatabaseErrorFmt(DBConsts::SFieldReadOnly, {field->DisplayName()});
    field->Validate(buffer);
    TRecBuf b = GetActiveRecordBuffer();
    if (!b || field->FieldNo() <= 0) return;
    auto& values = Buf(b)->Values;
    size_t i = size_t(field->FieldNo() - 1);
    if (i >= values.size()) values.resize(i + 1, Variant::Null());
    // An empty text is stored as Null, as the database tables of this system do.
    if (!buffer || (buffer->IsString() && buffer->RawString().empty())) values[i] = Variant::Null();
    else values[i] = *buffer;
    TDataSetState s = State();
    if (s != dsCalcFields && s != dsFilter && s != dsNewValue && s != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

// --- editing ----------------------------------------------------------------------------------

void TMemDataSet::InternalEdit() {
    TRecBuf a = ActiveBuffer();
    if (a) *FOldBuffer = *Buf(a);
}

void TMemDataSet::InsertRow(Buffer* b, TBookmarkFlag flag) {
    int pos;
    if (flag == bfEOF) pos = int(FRows.size());
    else if (flag == bfBOF) pos = 0;
    else {
        pos = PositionOf(b->Id);  // the record the insert stands before
        if (pos < 0) pos = int(FRows.size());
    }
    auto row = std::make_unique<Row>();
    row->Id = FNextId++;
    row->Values = b->Values;
    FById[row->Id] = row.get();
    b->Id = row->Id;
    b->Flag = bfCurrent;
    FRows.insert(FRows.begin() + pos, std::move(row));
    FPositionStale = true;
    FCursor = pos;
}

void TMemDataSet::InternalPost() {
    if (OnInternalPost) OnInternalPost(this);
    Buffer* b = Buf(ActiveBuffer());
    if (State() == dsEdit) {
        auto it = FById.find(b->Id);
        if (it == FById.end()) DatabaseError(DBConsts::SRecordNotFound);
        it->second->Values = b->Values;
        FCursor = PositionOf(b->Id);
    } else {
        InsertRow(b, b->Flag);
    }
    FOldBuffer->Id = 0;
}

void TMemDataSet::InternalAddRecord(TRecBuf buffer, bool append) {
    InsertRow(Buf(buffer), append ? bfEOF : Buf(buffer)->Flag);
}

void TMemDataSet::InternalDelete() {
    if (OnInternalDelete) OnInternalDelete(this);
    Buffer* b = Buf(ActiveBuffer());
    int pos = PositionOf(b->Id);
    if (pos < 0) DatabaseError(DBConsts::SRecordNotFound);
    FById.erase(b->Id);
    FRows.erase(FRows.begin() + pos);
    FPositionStale = true;
    FCursor = pos;  // on the record that followed, or after the last
    FOldBuffer->Id = 0;
}

// --- master-detail ----------------------------------------------------------------------------

void TMemDataSet::SetMasterSource(TDataSource* ds) {
    if (ds == MasterSource()) return;
    if (IsLinkedTo(ds)) DatabaseError(DBConsts::SCircularDataLink);
    FMasterLink->SetDataSource(ds);
    RefreshView();
}

void TMemDataSet::SetMasterFields(const std::string& names) {
    FMasterLink->SetFieldNames(names);
    RefreshView();
}

void TMemDataSet::MasterChanged(TObject*) {
    if (!Active() || GetComponentState().Contains(csDestroying)) return;
    // A master being edited does not re-filter its details until it is posted.
    if (FMasterLink->DataSource()->State() == dsEdit) return;
    RefreshView();
}

void TMemDataSet::MasterDisabled(TObject*) {
    if (Active() && !GetComponentState().Contains(csDestroying)) RefreshView();
}

void TMemDataSet::DoOnNewRecord() {
    if (FMasterLink->Active() && !FMasterLink->Fields().empty()) {
        std::vector<TField*> detail;
        GetFieldList(detail, DetailFields.empty() ? MasterFields() : DetailFields);
        const auto& mf = FMasterLink->Fields();
        for (size_t i = 0; i < detail.size() && i < mf.size(); ++i) detail[i]->Assign(mf[i]);
    }
    TDataSet::DoOnNewRecord();
}

// --- searching --------------------------------------------------------------------------------

bool TMemDataSet::RowMatches(
    const Row* row, const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options) {
    if (!Accepted(row)) return false;
    auto reading = ReadThroughFilter(row);
    return RecordMatches(fields, values, options);
}

int TMemDataSet::FindRow(
    const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options) {
    for (size_t i = 0; i < FRows.size(); ++i)
        if (RowMatches(FRows[i].get(), fields, values, options)) return int(i);
    return -1;
}

bool TMemDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckBrowseMode();
    std::vector<TField*> fields;
    GetFieldList(fields, keyFields);
    std::vector<Variant> values = KeyValueList(keyValues, fields.size());
    int pos = FindRow(fields, values, options);
    if (pos < 0) return false;
    DoBeforeScroll();
    FCursor = pos;
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
    return true;
}

// Never moves and never posts: a lookup field of another dataset may be computing.
Variant TMemDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) {
    if (!Active()) return Variant::Null();
    std::vector<TField*> fields, results;
    GetFieldList(fields, keyFields);
    GetFieldList(results, resultFields);
    std::vector<Variant> values = KeyValueList(keyValues, fields.size());
    int pos = FindRow(fields, values, TLocateOptions{});
    if (pos < 0) return Variant::Null();
    FillBuffer(FScratch, FRows[size_t(pos)].get());
    const Row* savedRow = FScanRow;
    TRecBuf savedBuf = FFilterBuffer;
    FScanRow = FRows[size_t(pos)].get();
    FFilterBuffer = FScratch;
    TDataSetState old = SetTempState(dsFilter);
    Variant result;
    try {
        if (results.size() == 1) {
            result = results[0]->GetAsVariant();
        } else {
            std::vector<Variant> out;
            for (TField* f : results) out.push_back(f->GetAsVariant());
            result = VarArrayOf(out);
        }
    } catch (...) {
        RestoreState(old);
        FScanRow = savedRow;
        FFilterBuffer = savedBuf;
        throw;
    }
    RestoreState(old);
    FScanRow = savedRow;
    FFilterBuffer = savedBuf;
    return result;
}

// FindFirst and its kin search with the filter whether or not Filtered is on.
bool TMemDataSet::FindRecord(bool restart, bool goForward) {
    CheckBrowseMode();
    int n = int(FRows.size());
    int pos;
    if (restart) {
        pos = goForward ? -1 : n;
    } else {
        TRecBuf a = ActiveBuffer();
        pos = a ? PositionOf(Buf(a)->Id) : -1;
        if (pos < 0) pos = goForward ? -1 : n;
    }
    FFound = false;
    for (pos += goForward ? 1 : -1; pos >= 0 && pos < n; pos += goForward ? 1 : -1)
        if (Accepted(FRows[size_t(pos)].get(), true)) {
            FFound = true;
            break;
        }
    if (!FFound) return false;
    DoBeforeScroll();
    FCursor = pos;
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
    return true;
}
