// The report datasets over the class library's datasets: TfrxCustomDBDataSet (field aliases)
// and the adapter TfrxDBDataset.

#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/db/Fields.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxCustomDBDataSet, TfrxDataSet)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDBDataset, TfrxCustomDBDataSet)

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }

// The adapter's AfterOpen hook. Its owner is recognised through std::function::target, so a
// chain of adapters over one source can be unlinked in any order.
struct TAfterOpenHook {
    TfrxDBDataset* Owner;
    std::function<void(TDataSet*)> Call;
    void operator()(TDataSet* ds) const { Call(ds); }
};
}  // namespace

// --- TfrxCustomDBDataSet ---------------------------------------------------------------------

TfrxCustomDBDataSet::TfrxCustomDBDataSet(TComponent* owner)
    : TfrxDataSet(owner), FFieldAliases(std::make_unique<TStringList>()), FFields(std::make_unique<TStringList>()) {
    FFields->SetSorted(true);
    FFields->SetDuplicates(dupIgnore);
}

TfrxCustomDBDataSet::~TfrxCustomDBDataSet() = default;

void TfrxCustomDBDataSet::SetFieldAliases(TStrings* value) { FFieldAliases->Assign(value); }

std::string TfrxCustomDBDataSet::AliasToFieldName(const std::string& alias) const {
    for (int i = 0; i < FFieldAliases->Count(); ++i)
        if (AnsiSameText(FFieldAliases->ValueFromIndex(i), alias)) return FFieldAliases->Names(i);
    return alias;
}

int TfrxCustomDBDataSet::FieldsCount() {
    TStringList list;
    GetFieldList(&list);
    return list.Count();
}

// --- TfrxDBDataset ---------------------------------------------------------------------------

TfrxDBDataset::TfrxDBDataset(TComponent* owner) : TfrxCustomDBDataSet(owner) {}

TfrxDBDataset::~TfrxDBDataset() {
    Unhook();
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
}

void TfrxDBDataset::SetDataSet(TDataSet* value) {
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
    FDataSet = value;
    FDataSource = nullptr;
    if (value) value->FreeNotification(this);
    FSource = Source();
}

void TfrxDBDataset::SetDataSource(TDataSource* value) {
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
    FDataSource = value;
    FDataSet = nullptr;
    if (value) value->FreeNotification(this);
    FSource = Source();
}

bool TfrxDBDataset::IsSourceStored() const { return GetReportRoot() == nullptr; }

TDataSet* TfrxDBDataset::Source() const {
    if (FDataSet) return FDataSet;
    if (FDataSource) return FDataSource->DataSet();
    return nullptr;
}

void TfrxDBDataset::Notification(TComponent* component, TOperation operation) {
    TfrxCustomDBDataSet::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == static_cast<TComponent*>(FDataSet) || component == static_cast<TComponent*>(FDataSource) ||
        component == static_cast<TComponent*>(FSource)) {
        // The source is going: our hook goes with it, and nothing may point at it any more.
        if (component == static_cast<TComponent*>(FSource)) {
            FHooked = false;
            FSavedAfterOpen = nullptr;
            FSource = nullptr;
        }
        if (component == static_cast<TComponent*>(FDataSet)) FDataSet = nullptr;
        if (component == static_cast<TComponent*>(FDataSource)) FDataSource = nullptr;
        FHasBookmark = false;
        FOpened = false;
        Fields()->Clear();
    }
}

void TfrxDBDataset::Initialize() {
    Unhook();
    FSource = Source();
    if (!FSource) throw Exception(Format(Res("dbNotConn"), {Variant(GetName())}));
    FSource->FreeNotification(this);
    FSavedAfterOpen = FSource->AfterOpen;
    FSource->AfterOpen = TAfterOpenHook{this, [this](TDataSet* ds) { SourceAfterOpen(ds); }};
    FHooked = true;
    FRangeEnded = false;
    FOpened = false;
}

void TfrxDBDataset::Unhook() {
    if (!FHooked) return;
    FHooked = false;
    TDataSet* source = FSource;
    if (!source) return;
    // Sound: the source gets its own handler back only when our hook is the one installed;
    // when another adapter hooked in after us, we are cut out of its saved chain instead.
    // Restoring blindly (in list order) left the first adapter's hook on the source after a
    // run with two adapters, pointing at an object that may be freed before the next Open.
    TDataSetNotifyEvent* slot = &source->AfterOpen;
    while (*slot) {
        auto* hook = slot->target<TAfterOpenHook>();
        if (!hook) break;  // a foreign handler: our hook is not in this chain any more
        if (hook->Owner == this) {
            *slot = FSavedAfterOpen;
            break;
        }
        slot = &hook->Owner->FSavedAfterOpen;
    }
    FSavedAfterOpen = nullptr;
}

void TfrxDBDataset::Finalize() {
    if (!FSource) return;
    if (FHasBookmark) {
        FSource->GotoBookmark(FBookmark);
        FSource->FreeBookmark(FBookmark);
    }
    FHasBookmark = false;
    if (CloseDataSource) Close();
    Unhook();
}

void TfrxDBDataset::RefillFields(bool raising) {
    TStringList* fields = Fields();
    fields->Clear();
    GetFieldList(fields);
    for (int i = 0; i < fields->Count(); ++i) {
        const std::string name = AliasToFieldName(fields->Strings(i));
        TField* f = nullptr;
        if (FSource) f = raising ? FSource->FieldByName(name) : FSource->FindField(name);
        fields->SetObjects(i, f);
    }
}

void TfrxDBDataset::SourceAfterOpen(TDataSet* dataSet) {
    RefillFields(true);
    if (FSavedAfterOpen) FSavedAfterOpen(dataSet);
}

void TfrxDBDataset::Open() {
    if (FOpened) return;
    FOpened = true;
    FSource = Source();
    if (FSource) {
        FSource->Open();
        FHasBookmark = false;
        if (RangeBegin == rbCurrent || RangeEnd == reCurrent) {
            FBookmark = FSource->GetBookmark();
            FHasBookmark = true;
        }
    }
    RefillFields(false);
    TfrxDataSet::Open();
}

void TfrxDBDataset::Close() {
    TfrxDataSet::Close();
    if (FHasBookmark && FSource) FSource->FreeBookmark(FBookmark);
    FHasBookmark = false;
    FOpened = false;
    if (FSource) FSource->Close();
}

void TfrxDBDataset::First() {
    if (!FOpened) Open();
    if (FSource) {
        if (RangeBegin == rbCurrent && FHasBookmark) FSource->GotoBookmark(FBookmark);
        else FSource->First();
    }
    FRangeEnded = false;
    TfrxDataSet::First();
}

void TfrxDBDataset::Next() {
    if (!FOpened) Open();
    FRangeEnded = false;
    if (RangeEnd == reCurrent && FSource && FHasBookmark &&
        FSource->CompareBookmarks(FSource->GetBookmark(), FBookmark) == 0) {
        FRangeEnded = true;
        return;
    }
    if (FSource) FSource->Next();
    TfrxDataSet::Next();
}

void TfrxDBDataset::Prior() {
    if (!FOpened) Open();
    if (FSource) FSource->Prior();
    TfrxDataSet::Prior();
}

bool TfrxDBDataset::Eof() {
    if (!FOpened) Open();
    return TfrxDataSet::Eof() || !FSource || FSource->Eof() || FRangeEnded;
}

int TfrxDBDataset::RecordCount() {
    if (!FOpened) Open();
    return FSource ? FSource->RecordCount() : 0;
}

void TfrxDBDataset::GetFieldList(TStrings* list) {
    list->Clear();
    TStrings* aliases = GetFieldAliases();
    if (aliases->Count() > 0) {
        for (int i = 0; i < aliases->Count(); ++i)
            if (aliases->Names(i).rfind('-', 0) != 0) list->Add(aliases->ValueFromIndex(i));
    } else if (TDataSet* src = Source()) {
        try {
            src->GetFieldNames(list);
        } catch (const Exception&) {
            // A source that cannot list its fields yet leaves the list empty; reading a field
            // later reports the missing field.
        }
    }
}

void TfrxDBDataset::AddMissingFieldError(const std::string& fieldName) {
    if (!ReportRef) return;
    ReportRef->GetErrorList()->Add(ReportRef->GetCurrentObjectName() + ": " + Res("dbFldNotFound") + " " +
        GetUserName() + ".\"" + fieldName + "\"");
}

Variant TfrxDBDataset::GetValue(const std::string& fieldName) {
    if (!FOpened) Open();
    const int i = Fields()->IndexOf(fieldName);
    if (i < 0) {
        AddMissingFieldError(fieldName);
        return Variant::Null();
    }
    auto* f = static_cast<TField*>(Fields()->Objects(i));
    if (!f || f->IsNull()) return Variant::Null();
    return f->Value();
}

std::string TfrxDBDataset::GetDisplayText(const std::string& fieldName) {
    if (!FOpened) Open();
    const std::string reference = GetUserName() + ".\"" + fieldName + "\"";
    if (!FSource || !FSource->Active()) {
        // Sound: an inactive source is an error line as a missing field is; the reference
        // text alone printed a report card full of field names that looked successful.
        AddMissingFieldError(fieldName);
        return reference;
    }
    if (Fields()->Count() > 0) {
        const int i = Fields()->IndexOf(fieldName);
        auto* f = i >= 0 ? static_cast<TField*>(Fields()->Objects(i)) : nullptr;
        if (f) return f->DisplayText();
        AddMissingFieldError(fieldName);
        return Res("dbFldNotFound") + " " + reference;
    }
    return FSource->FieldByName(fieldName)->DisplayText();
}

int TfrxDBDataset::GetDisplayWidth(const std::string& fieldName) {
    TDataSet* src = Source();
    if (!src) return 10;
    const std::string name = AliasToFieldName(fieldName);
    if (TField* f = src->FindField(name)) return f->DisplayWidth();
    if (!src->FieldDefs()->Updated) {
        try {
            src->FieldDefs()->Update();
        } catch (const Exception&) {
            // Definitions that cannot be read now: the lookup below reports the field.
        }
    }
    TFieldDef* def = src->FieldDefs()->Find(name);
    switch (def->DataType) {
    case ftString:
    case ftWideString: return def->Size;
    case ftDateTime: return 20;
    case ftLargeint: return 15;
    default: return 10;
    }
}

TfrxFieldType TfrxDBDataset::GetFieldType(const std::string& fieldName) {
    TDataSet* src = Source();
    TField* f = src ? src->FindField(AliasToFieldName(fieldName)) : nullptr;
    if (!f) return fftNumeric;
    switch (f->DataType()) {
    case ftString:
    case ftWideString:
    case ftFixedChar:
    // Sound: long text fields are text too; as numbers an empty one printed "0" into the
    // commendations box of a report card.
    case ftMemo:
    case ftFmtMemo: return fftString;
    case ftBoolean: return fftBoolean;
    default: return fftNumeric;
    }
}

bool TfrxDBDataset::IsBlobField(const std::string& fieldName) {
    if (!FOpened) Open();
    const int i = Fields()->IndexOf(fieldName);
    auto* f = i >= 0 ? static_cast<TField*>(Fields()->Objects(i)) : nullptr;
    return f && f->IsBlob();
}

void TfrxDBDataset::AssignBlobTo(const std::string& fieldName, TObject* obj) {
    if (!FOpened) Open();
    const int i = Fields()->IndexOf(fieldName);
    if (i < 0) throw EListError(Format("List index out of bounds (%d)", {Variant(i)}));
    auto* f = static_cast<TField*>(Fields()->Objects(i));
    if (!f) return;
    if (auto* stream = dynamic_cast<TStream*>(obj)) {
        if (auto* blob = dynamic_cast<TBlobField*>(f)) blob->SaveToStream(stream);
        stream->SetPosition(0);
    } else if (auto* p = dynamic_cast<TPersistent*>(obj)) {
        p->Assign(f);
    }
}
