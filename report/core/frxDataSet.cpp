#include "report/core/frxDataSet.h"

#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxOptions.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDataSet, TfrxDialogComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxUserDataSet, TfrxDataSet)

namespace {
// The designer's text for a refused property value; the core answers it when the designer's
// table is not linked.
std::string InvalidPropertyText() {
    std::string s = frxGetResources()->Get("prInvProp");
    return s == "prInvProp" ? std::string("Neplatná hodnota vlastnosti") : s;
}
}  // namespace

// --- TfrxDataSet -----------------------------------------------------------------------------

TfrxDataSet::TfrxDataSet(TComponent* owner) : TfrxDialogComponent(owner) { frxAllDataSets()->Add(this); }

TfrxDataSet::~TfrxDataSet() { frxAllDataSets()->Remove(this); }

void TfrxDataSet::SetUserName(const std::string& value) {
    if (Trim(value).empty()) throw Exception(InvalidPropertyText());
    FUserName = value;
}

void TfrxDataSet::SetName(const std::string& newName) {
    const std::string oldName = GetName();
    TfrxDialogComponent::SetName(newName);
    // An empty new name leaves the user name alone: unnamed objects (a designer paste) are
    // legal, a blank user name is not.
    if (!newName.empty() && (FUserName.empty() || FUserName == oldName)) FUserName = newName;
}

std::string TfrxDataSet::GetDescription() const { return ClassName(); }

void TfrxDataSet::Open() {
    if (OnOpen) OnOpen(this);
}
void TfrxDataSet::Close() {
    if (OnClose) OnClose(this);
}
void TfrxDataSet::First() {
    RecNo = 0;
    if (OnFirst) OnFirst(this);
}
void TfrxDataSet::Next() {
    ++RecNo;
    if (!(RangeEnd == reCount && RecNo >= RangeEndCount) && OnNext) OnNext(this);
}
void TfrxDataSet::Prior() {
    --RecNo;
    if (OnPrior) OnPrior(this);
}
bool TfrxDataSet::Eof() {
    bool eof = RangeEnd == reCount && RecNo >= RangeEndCount;
    if (OnCheckEOF) OnCheckEOF(this, eof);
    return eof;
}
int TfrxDataSet::RecordCount() { return RangeBegin == rbFirst && RangeEnd == reCount ? RangeEndCount : 0; }

int TfrxDataSet::FieldsCount() { return 0; }
void TfrxDataSet::GetFieldList(TStrings* list) { list->Clear(); }

bool TfrxDataSet::HasField(const std::string& fieldName) {
    TStringList list;
    GetFieldList(&list);
    for (int i = 0; i < list.Count(); ++i)
        if (AnsiSameText(list.Strings(i), fieldName)) return true;
    return false;
}

Variant TfrxDataSet::GetValue(const std::string&) { return Variant::Null(); }
std::string TfrxDataSet::GetDisplayText(const std::string&) { return {}; }
int TfrxDataSet::GetDisplayWidth(const std::string&) { return 10; }
TfrxFieldType TfrxDataSet::GetFieldType(const std::string&) { return fftNumeric; }
bool TfrxDataSet::IsBlobField(const std::string&) { return false; }
void TfrxDataSet::AssignBlobTo(const std::string&, TObject*) {}

// --- TfrxUserDataSet -------------------------------------------------------------------------

TfrxUserDataSet::TfrxUserDataSet(TComponent* owner) : TfrxDataSet(owner), FFields(std::make_unique<TStringList>()) {}

TfrxUserDataSet::~TfrxUserDataSet() = default;

void TfrxUserDataSet::SetFields(TStrings* value) { FFields->Assign(value); }
int TfrxUserDataSet::FieldsCount() { return FFields->Count(); }
void TfrxUserDataSet::GetFieldList(TStrings* list) { list->Assign(FFields.get()); }

Variant TfrxUserDataSet::GetValue(const std::string& fieldName) {
    Variant v = Variant::Null();
    if (OnGetValue) OnGetValue(fieldName, v);
    return v;
}

std::string TfrxUserDataSet::GetDisplayText(const std::string& fieldName) {
    if (!OnGetValue) return {};
    Variant v = Variant::Null();
    OnGetValue(fieldName, v);
    return VarToStr(v);
}
