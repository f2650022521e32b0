// TField base, the field list, field and index definitions.

#include "platform/db/DBConsts.h"
#include "platform/db/DB.h"

#include <algorithm>

#include "platform/db/Fields.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TField, TComponent, {
    p.Prop("Alignment", &Self::Alignment, &Self::SetAlignment).Default(taLeftJustify);
    p.Prop("ConstraintErrorMessage", &Self::ConstraintErrorMessage);
    p.Prop("DefaultExpression", &Self::DefaultExpression);
    p.Prop("DisplayLabel", &Self::DisplayLabel, &Self::SetDisplayLabel);
    p.Prop("DisplayWidth", &Self::DisplayWidth, &Self::SetDisplayWidth);
    p.Prop("EditMask", &Self::EditMask, &Self::SetEditMask);
    p.Prop("FieldKind", &Self::FieldKind, &Self::SetFieldKind).Default(fkData);
    p.Prop("FieldName", &Self::FieldName, &Self::SetFieldName);
    p.Prop("Index", &Self::Index, &Self::SetIndex).Stored(false);
    p.Prop("KeyFields", &Self::KeyFields);
    p.Prop("LookupCache", &Self::LookupCache, &Self::SetLookupCache).Default(0);
    p.Prop("LookupDataSet", &Self::LookupDataSet, &Self::SetLookupDataSet);
    p.Prop("LookupKeyFields", &Self::LookupKeyFields);
    p.Prop("LookupResultField", &Self::LookupResultField);
    p.Prop("ReadOnly", &Self::ReadOnly, &Self::SetReadOnly).Default(0);
    p.Prop("Required", &Self::Required, &Self::SetRequired).Default(0);
    p.Prop("Visible", &Self::Visible, &Self::SetVisible).Default(1);
    p.Event("OnChange", &Self::OnChange, "TFieldNotifyEvent");
    p.Event("OnGetText", &Self::OnGetText, "TFieldGetTextEvent");
    p.Event("OnSetText", &Self::OnSetText, "TFieldSetTextEvent");
    p.Event("OnValidate", &Self::OnValidate, "TFieldNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TFieldDef, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TFieldDefs, TCollection)
KAROMIL_IMPLEMENT_CLASS(TIndexDef, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TIndexDefs, TCollection)

const char* FieldTypeName(TFieldType t) noexcept {
    static const char* const names[] = {
        "Unknown",
        "String",
        "SmallInt",
        "Integer",
        "Word",
        "Boolean",
        "Float",
        "Currency",
        "BCD",
        "Date",
        "Time",
        "DateTime",
        "Bytes",
        "VarBytes",
        "AutoInc",
        "Blob",
        "Memo",
        "Graphic",
        "FmtMemo",
        "ParadoxOle",
        "dBaseOle",
        "TypedBinary",
        "Cursor",
        "FixedChar",
        "WideString",
        "LargeInt",
        "ADT",
        "Array",
        "Reference",
        "DataSet",
        "OraBlob",
        "OraClob",
        "Variant",
        "Interface",
        "IDispatch",
        "Guid",
        "TimeStamp",
        "FMTBcd",
    };
    size_t i = size_t(t);
    return i < sizeof(names) / sizeof(names[0]) ? names[i] : "Unknown";
}

// --- TFieldDef / TFieldDefs -------------------------------------------------------------------

TClass TFieldDef::FieldClass() const {
    switch (DataType) {
    case ftString:
    case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD:
    case ftFMTBcd: return TBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime: return TDateTimeField::StaticClass();
    case ftBytes: return TBytesField::StaticClass();
    case ftVarBytes: return TVarBytesField::StaticClass();
    case ftBlob:
    case ftTypedBinary: return TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftIDispatch: return TIDispatchField::StaticClass();
    default: return nullptr;
    }
}

TField* TFieldDef::CreateField(TComponent* owner, TDataSet* dataSet) const {
    TClass cls = FieldClass();
    if (!cls) DatabaseErrorFmt(DBConsts::SUnknownFieldType, {Name});
    TField* f = static_cast<TField*>(cls->CreateComponent(owner ? owner : dataSet));
    try {
        f->FFieldName = Name;
        f->FDataType = DataType;  // FixedChar, FmtMemo ... keep their own type code
        if (auto* s = dynamic_cast<TStringField*>(f)) {
            if (Size > 0) f->FSize = Size;
            s->FixedChar = DataType == ftFixedChar;
        } else if (dynamic_cast<TBinaryField*>(f) || dynamic_cast<TBlobField*>(f)) {
            f->FSize = Size;
        }
        if (auto* fl = dynamic_cast<TFloatField*>(f); fl && DataType == ftBCD && Precision > 0)
            fl->Precision = Precision;
        f->FRequired = Required;
        if (ReadOnly) f->FReadOnly = true;
        f->SetDataSet(dataSet);
    } catch (...) {
        delete f;
        throw;
    }
    return f;
}

void TFieldDef::Assign(TPersistent* source) {
    if (auto* d = dynamic_cast<TFieldDef*>(source)) {
        Name = d->Name;
        DataType = d->DataType;
        Size = d->Size;
        Precision = d->Precision;
        Required = d->Required;
        ReadOnly = d->ReadOnly;
        Hidden = d->Hidden;
        return;
    }
    TCollectionItem::Assign(source);
}

TFieldDefs::TFieldDefs(TDataSet* dataSet) : TCollection(TFieldDef::StaticClass(), dataSet), FDataSet(dataSet) {}

TFieldDef* TFieldDefs::Add(const std::string& name, TFieldType dataType, int size, bool required) {
    if (name.empty()) DatabaseError(DBConsts::SFieldNameMissing);
    if (IndexOf(name) >= 0) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {name});
    TFieldDef* d = AddFieldDef();
    d->Name = name;
    d->DataType = dataType;
    d->Size = size;
    d->Required = required;
    return d;
}

int TFieldDefs::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name, name)) return i;
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& name) const {
    int i = IndexOf(name);
    if (i < 0) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name});
    return Items(i);
}

void TFieldDefs::Update() {
    if (FDataSet) FDataSet->InternalInitFieldDefs();
    Updated = true;
}

TIndexDefs::TIndexDefs(TDataSet* dataSet) : TCollection(TIndexDef::StaticClass(), dataSet), FDataSet(dataSet) {}

TIndexDef* TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options) {
    auto* d = static_cast<TIndexDef*>(TCollection::Add());
    d->Name = name;
    d->Fields = fields;
    d->Options = options;
    return d;
}

int TIndexDefs::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name, name)) return i;
    return -1;
}

TIndexDef* TIndexDefs::Find(const std::string& name) const {
    int i = IndexOf(name);
    if (i < 0) DatabaseErrorFmt(DBConsts::SIndexNotFound, {name});
    return Items(i);
}

void TIndexDefs::Update() {
    if (FDataSet) FDataSet->UpdateIndexDefs();
    Updated = true;
}

// --- TFields ----------------------------------------------------------------------------------

TField* TFields::Fields(int index) const {
    if (index < 0 || index >= Count()) DatabaseError(DBConsts::SFieldIndexRange);
    return FList[size_t(index)];
}

TField* TFields::FindField(const std::string& name) const {
    for (TField* f : FList)
        if (SameText(f->FieldName(), name)) return f;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& name) const {
    TField* f = FindField(name);
    if (!f) DatabaseErrorFmt(DBConsts::SFieldNotFound, {name});
    return f;
}

TField* TFields::FieldByNumber(int fieldNo) const {
    for (TField* f : FList)
        if (f->FieldNo() == fieldNo) return f;
    return nullptr;
}

int TFields::IndexOf(const TField* field) const {
    auto it = std::find(FList.begin(), FList.end(), field);
    return it == FList.end() ? -1 : int(it - FList.begin());
}

void TFields::GetFieldNames(TStrings* list) const {
    for (TField* f : FList) list->Add(f->FieldName());
}

void TFields::Add(TField* field) {
    if (!field->FieldName().empty() && FindField(field->FieldName()))
        DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {field->FieldName()});
    FList.push_back(field);
    if (FDataSet) FDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::Remove(TField* field) {
    auto it = std::find(FList.begin(), FList.end(), field);
    if (it == FList.end()) return;
    FList.erase(it);
    if (FDataSet) FDataSet->DataEvent(deFieldListChange, 0);
}

void TFields::SetFieldIndex(TField* field, int index) {
    int cur = IndexOf(field);
    if (cur < 0) return;
    index = std::clamp(index, 0, Count() - 1);
    if (index == cur) return;
    FList.erase(FList.begin() + cur);
    FList.insert(FList.begin() + index, field);
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(deLayoutChange, 0);
}

// --- TField -----------------------------------------------------------------------------------

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
    if (FDataSet) FDataSet->FFields->Remove(this);
}

void TField::CheckInactive() const {
    if (FDataSet) FDataSet->CheckInactive();
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (FDataSet && !FDataSet->GetComponentState().Contains(csDestroying)) FDataSet->CheckInactive();
    if (dataSet) {
        dataSet->CheckInactive();
        dataSet->FFields->Add(this);
    }
    if (FDataSet) FDataSet->FFields->Remove(this);
    FDataSet = dataSet;
}

void TField::SetFieldName(const std::string& name) {
    CheckInactive();
    if (FDataSet && !name.empty()) {
        TField* other = FDataSet->FindField(name);
        if (other && other != this) DatabaseErrorFmt(DBConsts::SDuplicateFieldName, {name});
    }
    FFieldName = name;
}

void TField::SetFieldKind(TFieldKind kind) {
    CheckInactive();
    FFieldKind = kind;
}

int TField::Index() const { return FDataSet ? FDataSet->FFields->IndexOf(this) : -1; }

void TField::SetIndex(int index) {
    if (FDataSet) FDataSet->FFields->SetFieldIndex(this, index);
}

void TField::SetSize(int size) {
    CheckInactive();
    FSize = size;
}

void TField::PropertyChanged(bool layout) {
    if (FDataSet && FDataSet->Active()) FDataSet->DataEvent(layout ? deLayoutChange : deDataSetChange, 0);
}

void TField::SetDisplayLabel(const std::string& label) {
    if (label == FDisplayLabel) return;
    FDisplayLabel = label == FFieldName ? std::string() : label;
    PropertyChanged(true);
}

void TField::SetDisplayWidth(int width) {
    if (width == FDisplayWidth) return;
    FDisplayWidth = width;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment a) {
    if (a == FAlignment) return;
    FAlignment = a;
    PropertyChanged(false);
}

void TField::SetVisible(bool visible) {
    if (visible == FVisible) return;
    FVisible = visible;
    PropertyChanged(true);
}

void TField::SetReadOnly(bool ro) {
    if (ro == FReadOnly) return;
    FReadOnly = ro;
    PropertyChanged(true);
}

bool TField::IsValidChar(char32_t c) const {
    return FValidChars.empty() || FValidChars.find(c) != std::u32string::npos;
}

bool TField::CanModify() const {
    if (FFieldNo <= 0 || !FDataSet) return false;
    if (FDataSet->State() == dsSetKey) return true;
    return !FReadOnly && FDataSet->CanModify();
}

bool TField::GetData(Variant* buffer) const {
    if (FIsValidating) {
        if (!FValidating) return false;
        if (buffer) *buffer = *FValidating;
        return true;
    }
    if (!FDataSet) DatabaseErrorFmt(DBConsts::SMissingDataSet, {DisplayName()});
    return FDataSet->GetFieldData(const_cast<TField*>(this), buffer);
}

void TField::SetData(const Variant* buffer) {
    if (!FDataSet) DatabaseErrorFmt(DBConsts::SMissingDataSet, {DisplayName()});
    if (!IsWriteMode(FDataSet->State())) DatabaseError(DBConsts::SNotEditing);
    FDataSet->SetFieldData(this, buffer);
    if (OnChange && FDataSet->State() != dsCalcFields && FDataSet->State() != dsFilter) OnChange(this);
}

void TField::Validate(const Variant* buffer) {
    if (!OnValidate) return;
    FIsValidating = true;
    FValidating = buffer;
    try {
        OnValidate(this);
    } catch (...) {
        FIsValidating = false;
        FValidating = nullptr;
        throw;
    }
    FIsValidating = false;
    FValidating = nullptr;
}

void TField::FocusControl() {
    if (!FDataSet || !FDataSet->Active()) return;
    TField* f = this;
    FDataSet->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&f));
}

bool TField::IsNull() const { return !GetData(nullptr); }

void TField::AccessError(const char* typeName) const {
    DatabaseErrorFmt(DBConsts::SFieldAccess, {DisplayName(), typeName});
}

std::string TField::GetAsString() const { return std::string("(") + FieldTypeName(FDataType) + ")"; }
void TField::SetAsString(const std::string&) { AccessError("String"); }
int32_t TField::GetAsInteger() const { AccessError("Integer"); }
void TField::SetAsInteger(int32_t) { AccessError("Integer"); }
void TField::SetAsLargeInt(int64_t value) {
    if (value < INT32_MIN || value > INT32_MAX) AccessError("LargeInt");
    SetAsInteger(int32_t(value));
}
double TField::GetAsFloat() const { AccessError("Float"); }
void TField::SetAsFloat(double) { AccessError("Float"); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
void TField::SetAsBoolean(bool) { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
void TField::SetAsDateTime(TDateTime) { AccessError("DateTime"); }

Variant TField::GetAsVariant() const {
    Variant v;
    if (!GetData(&v)) return Variant::Null();
    return NativeToVariant(std::move(v));  // one copy of the value, not two
}

void TField::SetAsVariant(const Variant& value) {
    if (value.IsNull() || value.IsEmpty()) Clear();
    else SetVarValue(value);
}

void TField::SetVarValue(const Variant& value) {
    switch (FDataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        if (value.IsString()) SetAsString(value.RawString());
        else SetAsInteger(value.AsInteger());
        break;
    case ftLargeint:
        if (value.IsString()) SetAsString(value.RawString());
        else SetAsLargeInt(value.AsInt64());
        break;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
        if (value.IsString()) SetAsString(value.RawString());
        else SetAsFloat(value.AsDouble());
        break;
    case ftBoolean:
        if (value.IsString()) SetAsString(value.RawString());
        else SetAsBoolean(value.AsBoolean());
        break;
    case ftDate:
    case ftTime:
    case ftDateTime:
        if (value.IsString()) SetAsString(value.RawString());
        else SetAsDateTime(value.AsDate());
        break;
    default: SetAsString(VarToStr(value)); break;
    }
}

// The field's value as the dataset shows it in a temporary state (old, new or current
// value); the state is put back whatever happens.
Variant TField::ValueInState(TDataSetState state) const {
    if (!FDataSet) return Variant::Null();
    TDataSetState old = FDataSet->SetTempState(state);
    Variant v;
    try {
        v = GetAsVariant();
    } catch (...) {
        FDataSet->RestoreState(old);
        throw;
    }
    FDataSet->RestoreState(old);
    return v;
}

Variant TField::OldValue() const { return ValueInState(dsOldValue); }
Variant TField::NewValue() const { return ValueInState(dsNewValue); }
Variant TField::CurValue() const { return ValueInState(dsCurValue); }

void TField::GetText(std::string& text, bool) const { text = GetAsString(); }

std::string TField::Text() const {
    std::string t;
    if (OnGetText) OnGetText(const_cast<TField*>(this), t, false);
    else GetText(t, false);
    return t;
}

std::string TField::DisplayText() const {
    std::string t;
    if (OnGetText) OnGetText(const_cast<TField*>(this), t, true);
    else GetText(t, true);
    return t;
}

void TField::SetText(const std::string& text) {
    if (OnSetText) OnSetText(this, text);
    else SetTextValue(text);
}

void TField::Assign(TPersistent* source) {
    if (!source) {
        Clear();
        return;
    }
    if (auto* f = dynamic_cast<TField*>(source)) {
        SetAsVariant(f->GetAsVariant());
        return;
    }
    TComponent::Assign(source);
}

// --- lookup -----------------------------------------------------------------------------------

void TField::SetLookupDataSet(TDataSet* ds) {
    if (ds == FLookupDataSet) return;
    if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
    FLookupDataSet = ds;
    if (ds) ds->FreeNotification(this);
    FLookupList.clear();
}

void TField::SetLookupCache(bool on) {
    FLookupCache = on;
    FLookupList.clear();
}

void TField::RefreshLookupList() { FLookupList.clear(); }

void TField::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FLookupDataSet) {
        FLookupDataSet = nullptr;
        FLookupList.clear();
    }
}

Variant TField::CalcLookupValue() {
    if (!FLookupDataSet || KeyFields.empty() || LookupKeyFields.empty() || LookupResultField.empty())
        DatabaseErrorFmt(DBConsts::SLookupInfo, {DisplayName()});
    Variant keys = FDataSet->GetFieldValues(KeyFields);
    if (keys.IsArray()) {
        for (int i = VarArrayLowBound(keys, 1); i <= VarArrayHighBound(keys, 1); ++i)
            if (keys.GetElement({i}).IsNull()) return Variant::Null();
    } else if (keys.IsNull()) {
        return Variant::Null();
    }
    if (FLookupCache) {
        for (auto& [k, v] : FLookupList)
            if (!keys.IsArray() && !k.IsArray() && VarSameValue(k, keys)) return v;
    }
    if (!FLookupDataSet->Active()) return Variant::Null();
    Variant v = FLookupDataSet->Lookup(LookupKeyFields, keys, LookupResultField);
    if (FLookupCache && !keys.IsArray()) FLookupList.emplace_back(keys, v);
    return v;
}
