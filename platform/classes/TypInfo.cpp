#include "platform/classes/TypInfo.h"

#include <map>
#include <mutex>
#include <unordered_map>

#include "platform/classes/Component.h"
#include "platform/classes/Persistent.h"

namespace {

char AsciiUpper(char c) noexcept { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }

bool AsciiSame(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

struct AsciiCaseHash {
    size_t operator()(std::string_view s) const noexcept {
        size_t h = 1469598103934665603ull;
        for (char c : s) h = (h ^ static_cast<unsigned char>(AsciiUpper(c))) * 1099511628211ull;
        return h;
    }
};
struct AsciiCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const noexcept { return AsciiSame(a, b); }
};

struct PropTable {
    std::vector<const TPropInfo*> List;
    std::unordered_map<std::string_view, const TPropInfo*, AsciiCaseHash, AsciiCaseEqual> ByName;
};

std::shared_ptr<const void> BuildTable(TClass c) {
    auto table = std::make_shared<PropTable>();
    if (TClass parent = c->ClassParent()) table->List = GetPropList(parent);
    for (const TPropInfo* own : c->OwnProperties()) {
        bool replaced = false;
        for (const TPropInfo*& inherited : table->List)
            if (AsciiSame(inherited->Name(), own->Name())) {
                inherited = own;
                replaced = true;
                break;
            }
        if (!replaced) table->List.push_back(own);
    }
    for (const TPropInfo* info : table->List) table->ByName.emplace(info->Name(), info);
    return table;
}

const PropTable& TableOf(TClass c) {
    return *static_cast<const PropTable*>(c->PropertyCache([c] { return BuildTable(c); }));
}

const TPropInfo& Require(const TObject* instance, std::string_view name) {
    const TPropInfo* info = GetPropInfo(instance, name);
    if (!info) throw EPropertyError("Unknown property: '" + std::string(name) + "'");
    return *info;
}

}  // namespace

// --- TTypeInfo ---------------------------------------------------------------------------------

TTypeInfo TTypeInfo::MakeNamed(TTypeKind kind, std::string name) { return TTypeInfo(kind, std::move(name)); }

TTypeInfo TTypeInfo::MakeEnum(std::string name, std::vector<std::string> names) {
    TTypeInfo t(tkEnumeration, std::move(name));
    t.FNames = std::move(names);
    return t;
}

TTypeInfo TTypeInfo::MakeSet(std::string name, const TTypeInfo* elementType) {
    TTypeInfo t(tkSet, std::move(name));
    t.FCompType = elementType;
    return t;
}

TTypeInfo TTypeInfo::MakeFloat(std::string name, TFloatType floatType) {
    TTypeInfo t(tkFloat, std::move(name));
    t.FFloatType = floatType;
    return t;
}

TTypeInfo TTypeInfo::MakeClass(TClass (*staticClass)() noexcept) {
    TTypeInfo t(tkClass, std::string());
    t.FStaticClass = staticClass;
    return t;
}

const std::string& TTypeInfo::Name() const {
    if (FKind == tkClass) return ClassType()->ClassName();
    return FName;
}

TClass TTypeInfo::ClassType() const { return FStaticClass ? FStaticClass() : nullptr; }

TClassCategory TTypeInfo::ClassCategory() const {
    TClass c = ClassType();
    if (!c) return ccOther;
    if (c->InheritsFrom(TComponent::StaticClass())) return ccComponentReference;
    if (c->InheritsFromName("TStrings")) return ccStrings;
    if (c->InheritsFrom(TPersistent::StaticClass())) return ccPersistent;
    return ccOther;
}

std::string GetEnumName(const TTypeInfo* type, int value) {
    if (!type || value < 0 || value >= int(type->EnumNames().size())) return std::string();
    return type->EnumNames()[size_t(value)];
}

int GetEnumValue(const TTypeInfo* type, std::string_view name) {
    if (!type) return -1;
    const auto& names = type->EnumNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (AsciiSame(names[i], name)) return int(i);
    return -1;
}

#define KAROMIL_BUILTIN(Func, Make)      \
    const TTypeInfo* Func() {            \
        static const TTypeInfo t = Make; \
        return &t;                       \
    }
KAROMIL_BUILTIN(TypeInfoInteger, TTypeInfo::MakeNamed(tkInteger, "Integer"))
KAROMIL_BUILTIN(TypeInfoInt64, TTypeInfo::MakeNamed(tkInt64, "Int64"))
KAROMIL_BUILTIN(TypeInfoBoolean, TTypeInfo::MakeEnum("Boolean", {"False", "True"}))
KAROMIL_BUILTIN(TypeInfoChar, TTypeInfo::MakeNamed(tkChar, "Char"))
KAROMIL_BUILTIN(TypeInfoWChar, TTypeInfo::MakeNamed(tkWChar, "WideChar"))
KAROMIL_BUILTIN(TypeInfoExtended, TTypeInfo::MakeFloat("Extended", TFloatType::Extended))
KAROMIL_BUILTIN(TypeInfoDateTime, TTypeInfo::MakeFloat("TDateTime", TFloatType::DateTime))
KAROMIL_BUILTIN(TypeInfoString, TTypeInfo::MakeNamed(tkString, "String"))
KAROMIL_BUILTIN(TypeInfoComponentName, TTypeInfo::MakeNamed(tkString, "TComponentName"))
KAROMIL_BUILTIN(TypeInfoVariant, TTypeInfo::MakeNamed(tkVariant, "Variant"))
#undef KAROMIL_BUILTIN

const TTypeInfo* TypeInfoMethod(const std::string& eventTypeName) {
    static std::mutex lock;
    static auto* types = new std::map<std::string, std::unique_ptr<TTypeInfo>>;  // lives for the process
    std::lock_guard<std::mutex> g(lock);
    auto& slot = (*types)[eventTypeName];
    if (!slot) slot = std::make_unique<TTypeInfo>(TTypeInfo::MakeNamed(tkMethod, eventTypeName));
    return slot.get();
}

// --- TPropInfo ---------------------------------------------------------------------------------

bool TPropInfo::IsStored(const TObject* instance) const {
    if (FStoredFunc) return FStoredFunc(instance);
    return FStoredConst;
}

void TPropInfo::KindError() const {
    throw EPropertyConvertError("Invalid property type: " + FType->Name() + " (property " + FName + ")");
}

void TPropInfo::ReadOnlyError() const { throw EPropReadOnly("Property " + FName + " is read-only"); }

int64_t TPropInfo::GetOrd(TObject*) const { KindError(); }
void TPropInfo::SetOrd(TObject*, int64_t) const { KindError(); }
double TPropInfo::GetFloat(TObject*) const { KindError(); }
void TPropInfo::SetFloat(TObject*, double) const { KindError(); }
std::string TPropInfo::GetStr(TObject*) const { KindError(); }
void TPropInfo::SetStr(TObject*, const std::string&) const { KindError(); }
TObject* TPropInfo::GetObject(TObject*) const { KindError(); }
void TPropInfo::SetObject(TObject*, TObject*) const { KindError(); }
void TPropInfo::SetMethod(TObject*, const TMethodHandler&) const { KindError(); }

Variant TPropInfo::GetVariant(TObject* o) const {
    switch (Kind()) {
    case tkInt64: return Variant(GetOrd(o));
    case tkEnumeration:
        if (FType == TypeInfoBoolean()) return Variant(GetOrd(o) != 0);
        return Variant(static_cast<int>(GetOrd(o)));
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkSet:
    case tkClass: return Variant(static_cast<int>(GetOrd(o)));
    case tkFloat:
        if (FType->FloatType() == TFloatType::DateTime) return Variant::FromDate(GetFloat(o));
        return Variant(GetFloat(o));
    case tkString: return Variant(GetStr(o));
    default: KindError();
    }
}

void TPropInfo::SetVariant(TObject* o, const Variant& v) const {
    switch (Kind()) {
    case tkInt64: SetOrd(o, v.AsInt64()); return;
    case tkEnumeration:
        if (FType == TypeInfoBoolean()) {
            SetOrd(o, v.AsBoolean() ? 1 : 0);
            return;
        }
        if (v.IsString()) {
            // Stored definitions and scripts may name the value instead of numbering it.
            int n = GetEnumValue(FType, v.RawString());
            if (n >= 0) {
                SetOrd(o, n);
                return;
            }
        }
        SetOrd(o, v.AsInteger());
        return;
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkSet:
    case tkClass: SetOrd(o, v.AsInteger()); return;
    case tkFloat: SetFloat(o, FType->FloatType() == TFloatType::DateTime ? v.AsDate() : v.AsDouble()); return;
    case tkString: SetStr(o, v.AsString()); return;
    default: KindError();
    }
}

// --- lists and access by name ------------------------------------------------------------------

const std::vector<const TPropInfo*>& GetPropList(TClass c) { return TableOf(c).List; }

const TPropInfo* GetPropInfo(TClass c, std::string_view name) {
    if (!c) return nullptr;
    const auto& byName = TableOf(c).ByName;
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name) {
    return instance ? GetPropInfo(instance->ClassType(), name) : nullptr;
}

bool IsPublishedProp(const TObject* instance, std::string_view name) { return GetPropInfo(instance, name) != nullptr; }

TTypeKind PropType(const TObject* instance, std::string_view name) { return Require(instance, name).Kind(); }

int64_t GetOrdProp(TObject* o, std::string_view name) { return Require(o, name).GetOrd(o); }
void SetOrdProp(TObject* o, std::string_view name, int64_t value) { Require(o, name).SetOrd(o, value); }
double GetFloatProp(TObject* o, std::string_view name) { return Require(o, name).GetFloat(o); }
void SetFloatProp(TObject* o, std::string_view name, double value) { Require(o, name).SetFloat(o, value); }
std::string GetStrProp(TObject* o, std::string_view name) { return Require(o, name).GetStr(o); }
void SetStrProp(TObject* o, std::string_view name, const std::string& value) { Require(o, name).SetStr(o, value); }
Variant GetVariantProp(TObject* o, std::string_view name) { return Require(o, name).GetVariant(o); }
void SetVariantProp(TObject* o, std::string_view name, const Variant& value) { Require(o, name).SetVariant(o, value); }
TObject* GetObjectProp(TObject* o, std::string_view name) { return Require(o, name).GetObject(o); }
void SetObjectProp(TObject* o, std::string_view name, TObject* value) { Require(o, name).SetObject(o, value); }
void SetMethodProp(TObject* o, std::string_view name, const TMethodHandler& handler) {
    Require(o, name).SetMethod(o, handler);
}
bool IsStoredProp(const TObject* o, std::string_view name) { return Require(o, name).IsStored(o); }

// --- declaring a table -------------------------------------------------------------------------

namespace typinfo_detail {

TPropInfo* Keep(std::unique_ptr<TPropInfo> info) {
    static std::mutex lock;
    // Lives for the process: metaclasses are function statics and may be torn down in any order.
    static auto* kept = new std::vector<std::unique_ptr<TPropInfo>>;
    std::lock_guard<std::mutex> g(lock);
    kept->push_back(std::move(info));
    return kept->back().get();
}

void Publish(const TMetaClass* meta, TPropInfo* info) {
    info->FOwner = meta;
    auto& own = meta->OwnProperties();
    for (const TPropInfo*& existing : own)
        if (AsciiSame(existing->Name(), info->Name())) {
            existing = info;
            return;
        }
    own.push_back(info);
}

void CheckEnumRange(const TTypeInfo* type, int64_t value) {
    if (value < type->MinValue() || value > type->MaxValue())
        throw ERangeError("Value " + std::to_string(value) + " out of range for " + type->Name());
}

void ObjectClassError(const TPropInfo* info, TObject* value) {
    throw EInvalidCast("Invalid class typecast: " + value->ClassName() + " is not a " + info->PropType()->Name());
}

}  // namespace typinfo_detail
