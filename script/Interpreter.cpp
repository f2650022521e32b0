#include "script/EventAdapters.h"
#include "script/Interpreter.h"

#include <algorithm>
#include <cassert>
#include <cctype>

#include "platform/classes/TypInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "script/Builder.h"
#include "script/FileAccess.h"
#include "script/ScriptTools.h"
#include "script/Statements.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(
    TfsScript, TComponent, { p.Prop("SyntaxType", &Self::GetSyntaxType, &Self::SetSyntaxType); })

namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

std::string FoldKey(const std::string& name) { return AnsiUpperCase(name); }

bool IsIntKind(TVarType t) noexcept {
    return t == varInteger || t == varInt64 || t == varSmallint || t == varShortInt || t == varByte || t == varWord ||
        t == varLongWord;
}

// --- declarations such as "function Copy(s: String; from, count: Integer): String" ----------

struct DeclReader {
    const std::string& s;
    size_t i = 0;
    explicit DeclReader(const std::string& text) : s(text) {}
    void Blanks() {
        while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
    }
    bool Eat(char c) {
        Blanks();
        if (i < s.size() && s[i] == c) {
            ++i;
            return true;
        }
        return false;
    }
    std::string Word() {
        Blanks();
        size_t a = i;
        while (i < s.size() &&
            (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || static_cast<unsigned char>(s[i]) >= 128))
            ++i;
        return s.substr(a, i - a);
    }
    // A default value: up to the next ';' or ')' outside quotes.
    std::string Literal() {
        Blanks();
        size_t a = i;
        bool quoted = false;
        while (i < s.size() && (quoted || (s[i] != ';' && s[i] != ')'))) {
            if (s[i] == '\'') quoted = !quoted;
            ++i;
        }
        size_t b = i;
        while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
        return s.substr(a, b - a);
    }
    [[noreturn]] void Fail() const { throw Exception("Neplatná deklarace: " + Quoted(s)); }
};

Variant DefaultLiteral(TfsScript* script, const std::string& text) {
    if (!text.empty() && (std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_')) {
        if (TfsCustomVariable* item = script ? script->Find(text) : nullptr) return item->Value;
        throw Exception(std::string(SIdUndeclared) + Quoted(text));
    }
    if (!text.empty() && text[0] == '-') return -fsLiteralToVariant(text.substr(1));
    return fsLiteralToVariant(text);
}

}  // namespace

// --- TfsCustomVariable -------------------------------------------------------------------------

TfsCustomVariable::TfsCustomVariable(std::string name, TfsTypeCode typeCode, std::string typeName)
    : Name(std::move(name)), TypeCode(typeCode), TypeName(std::move(typeName)) {}

TfsCustomVariable::~TfsCustomVariable() = default;

TfsParamItem* TfsCustomVariable::AddParam(std::unique_ptr<TfsParamItem> param) {
    FParams.push_back(std::move(param));
    return FParams.back().get();
}

int TfsCustomVariable::GetRequiredParamCount() const {
    int n = 0;
    for (const auto& p : FParams)
        if (!p->Optional) ++n;
    return n;
}

std::string TfsCustomVariable::DisplayTypeName() const {
    switch (TypeCode) {
    case tcInteger: return "Integer";
    case tcBoolean: return "Boolean";
    case tcFloat: return "Extended";
    case tcChar: return "Char";
    case tcString: return "String";
    case tcClass: return "Class " + TypeName;
    case tcArray: return "Array";
    case tcEnum: return TypeName;
    default: return "Variant";
    }
}

// --- variables ---------------------------------------------------------------------------------

TfsVariable::TfsVariable(std::string name, TfsTypeCode typeCode, std::string typeName)
    : TfsCustomVariable(std::move(name), typeCode, std::move(typeName)) {
    FKind = kVariable;
}

void TfsVariable::SetValue(const Variant& value) {
    if (ReadOnly) return;
    const TVarType t = value.VarType();
    if (t == varNull || t == varEmpty) {
        Value = value;
        return;
    }
    // Typed variables keep values of their type, so the Integer fast paths and string
    // operations never meet a value of another kind in them.
    switch (TypeCode) {
    case tcInteger:
        if (t == varInteger) Value = value;
        else if (IsIntKind(t)) {
            const int64_t v = value.RawInt();
            Value = (v >= INT32_MIN && v <= INT32_MAX) ? Variant(int(v)) : value;
        } else Value = Variant(value.AsInt64());
        break;
    case tcFloat:
        if (value.IsFloat()) Value = value;
        else Value = Variant(value.AsDouble());
        break;
    case tcBoolean: Value = t == varBoolean ? value : Variant(value.AsBoolean()); break;
    case tcChar:
    case tcString: Value = value.IsString() ? value : Variant(VarToStr(value)); break;
    default: Value = value;
    }
}

TfsStringVariable::TfsStringVariable(std::string name, TfsTypeCode typeCode, std::string typeName)
    : TfsVariable(std::move(name), typeCode, std::move(typeName)) {
    Value = Variant("");
}

TfsParamItem::TfsParamItem(std::string name, TfsTypeCode typeCode, std::string typeName, bool optional, bool byRef)
    : TfsCustomVariable(std::move(name), typeCode, std::move(typeName)), Optional(optional), ByRef(byRef) {
    FKind = kParam;
}

// --- procedures --------------------------------------------------------------------------------

TfsProcVariable::TfsProcVariable(
    std::string name, TfsTypeCode typeCode, std::string typeName, TfsScript* parent, bool isFunction)
    : TfsCustomVariable(std::move(name), typeCode, std::move(typeName)), IsFunction(isFunction),
      FLocal(std::make_unique<TfsScript>()) {
    FKind = kProc;
    ReadOnly = true;
    FLocal->Parent = parent;
    FLocal->AddedBy = parent ? parent->AddedBy : nullptr;
    if (isFunction) {
        auto result = std::make_unique<TfsVariable>("Result", TypeCode, TypeName);
        if (TypeCode == tcString || TypeCode == tcChar)
            result = std::make_unique<TfsStringVariable>("Result", TypeCode, TypeName);
        result->Value = Variant::Null();
        Linked = FLocal->AddItem("Result", std::move(result));
    }
}

TfsProcVariable::~TfsProcVariable() {
    for (const auto& p : FParams) FLocal->Remove(p.get());
    FLocal.reset();
}

void TfsProcVariable::RegisterParam(TfsParamItem* param) { FLocal->Insert(param->Name, param, false); }

void TfsProcVariable::ListLocals() const {
    FLocalsListed = true;
    for (const auto& e : FLocal->FItems) {
        const Kind k = e.Item->ItemKind();
        if (k == kVariable || k == kParam) FLocals.push_back(e.Item);
    }
}

void TfsProcVariable::SaveLocals(std::vector<Variant>& out) const {
    out.clear();
    for (TfsCustomVariable* v : Locals()) out.push_back(v->Value);
}

void TfsProcVariable::RestoreLocals(std::vector<Variant>& saved) const noexcept {
    // Moving allocates nothing, so this may run while an error unwinds (locals are listed by
    // the save before it).
    const auto& locals = Locals();
    for (size_t i = 0; i < locals.size() && i < saved.size(); ++i) locals[i]->Value = std::move(saved[i]);
}

namespace {
// Procedure calls now running, across all scripts (they run on the one GUI thread), and the
// stack address where the outermost of them began.
int gCallDepth = 0;
uintptr_t gStackBase = 0;
// Far deeper than any script's own recursion goes. Each level may also hold a deep
// expression, so the stack the calls have taken is bounded too, well inside the 8 MB a
// thread's stack has.
constexpr int kMaxCallDepth = 500;
constexpr uintptr_t kMaxStackUse = 4u << 20;
}  // namespace

Variant TfsProcVariable::GetValue() {
    // Sound: a procedure that calls itself without end stops with a run-time error instead of
    // overflowing the process's stack.
    const auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    if (gCallDepth == 0) gStackBase = here;
    if (gCallDepth >= kMaxCallDepth || (here < gStackBase && gStackBase - here > kMaxStackUse))
        throw Exception(SStackOverflow);
    TRollback depth(gCallDepth, gCallDepth + 1);
    TfsRunningScriptScope running(FLocal.get());
    const bool wasRunning = Running;
    Running = true;
    // When no main program is marked (a report calling its cached functions), the running
    // scope is left alone instead of dereferencing nothing.
    TfsScript* main = nullptr;
    for (TfsScript* s = FLocal.get(); s; s = s->Parent)
        if (s->MainProgram) {
            main = s;
            break;
        }
    TfsScript* savedScope = main ? main->RunningScope : nullptr;
    if (main) main->RunningScope = FLocal.get();
    FLocal->ExitFlag = false;
    FLocal->Terminated = false;
    // Every call starts with an unassigned Result instead of the previous call's value.
    if (Linked) Linked->Value = Variant::Null();
    auto restore = OnScopeExit([&] {
        FLocal->ExitFlag = false;
        FLocal->Terminated = false;
        if (main) main->RunningScope = savedScope;
        Running = wasRunning;
    });
    FLocal->MainStatement()->Execute();
    return Linked ? Linked->Value : Variant::Null();
}

// --- helpers -----------------------------------------------------------------------------------

TfsCustomHelper::TfsCustomHelper(std::string name, TfsTypeCode typeCode, std::string typeName)
    : TfsCustomVariable(std::move(name), typeCode, std::move(typeName)) {
    FKind = kHelper;
}

TObject* TfsCustomHelper::Instance() const {
    if (PrevValue.IsNull() || PrevValue.IsEmpty()) throw Exception(SNilObject + Quoted(Name));
    if (!PrevValue.IsOrdinal() || PrevValue.VarType() == varBoolean) throw Exception(SNotAnObject + Quoted(Name));
    const int64_t h = PrevValue.RawInt();
    TObject* obj = (h > 0 && h <= INT32_MAX) ? TObject::FromHandle(int32_t(h)) : nullptr;
    if (!obj) throw Exception(SNilObject + Quoted(Name));
    if (HostClass && !obj->InheritsFrom(HostClass))
        throw Exception(fsFormatMessage(SWrongObjectClass, HostClass->ClassName()) + Quoted(Name));
    return obj;
}

TfsPropertyHelper::TfsPropertyHelper(std::string name, TfsTypeCode typeCode, std::string typeName, TClass hostClass)
    : TfsCustomHelper(std::move(name), typeCode, std::move(typeName)) {
    HostClass = hostClass;
}

Variant TfsPropertyHelper::GetValue() {
    Variant result = Variant::Null();
    TObject* obj = Instance();
    if (ViaTypeInfo) {
        const TPropInfo* pi = GetPropInfo(obj, Name);
        if (!pi) return result;
        switch (pi->Kind()) {
        case tkInteger:
        case tkEnumeration:
        case tkSet:
        case tkClass: result = Variant(int(pi->GetOrd(obj))); break;
        case tkInt64: result = Variant(int64_t(pi->GetOrd(obj))); break;  // all 64 bits, not Null
        case tkChar:
        case tkWChar: result = Variant(Utf8FromCodePoint(char32_t(pi->GetOrd(obj)))); break;
        case tkFloat: result = Variant(pi->GetFloat(obj)); break;
        case tkString: result = Variant(pi->GetStr(obj)); break;
        case tkVariant: result = pi->GetVariant(obj); break;
        default: break;
        }
    } else if (GetCallback) {
        result = GetCallback(obj, HostClass, AnsiUpperCase(Name));
    }
    if (TypeCode == tcBoolean && !result.IsNull()) result = Variant(!(result == Variant(0)));
    return result;
}

void TfsPropertyHelper::SetValue(const Variant& value) {
    if (ReadOnly) return;
    TObject* obj = Instance();
    if (ViaTypeInfo) {
        const TPropInfo* pi = GetPropInfo(obj, Name);
        if (!pi) return;
        switch (pi->Kind()) {
        case tkInteger:
        case tkEnumeration:
        case tkSet:
        case tkClass:
        case tkInt64:
            if (TypeCode == tcBoolean) pi->SetOrd(obj, value == Variant(true) ? 1 : 0);
            else pi->SetOrd(obj, value.AsInt64());
            break;
        case tkChar:
        case tkWChar: {
            const std::string s = VarToStr(value);
            size_t pos = 0;
            pi->SetOrd(obj, s.empty() ? 0 : int64_t(Utf8Next(s, pos)));
            break;
        }
        case tkFloat: pi->SetFloat(obj, value.AsDouble()); break;
        case tkString: pi->SetStr(obj, VarToStr(value)); break;
        case tkVariant: pi->SetVariant(obj, value); break;
        default: break;
        }
    } else if (SetCallback) {
        SetCallback(obj, HostClass, AnsiUpperCase(Name), value);
    }
}

// --- method helper -----------------------------------------------------------------------------

TfsMethodHelper::TfsMethodHelper(const std::string& declaration, TfsScript* script)
    : TfsCustomHelper("", tcInteger, ""), Declaration(declaration) {
    ReadOnly = true;
    DeclReader r(declaration);
    const std::string kind = AnsiLowerCase(r.Word());
    if (kind == "macrofunction") TextArgs = true;
    else if (kind != "function" && kind != "procedure") r.Fail();
    Name = r.Word();
    if (Name.empty()) r.Fail();
    if (r.Eat('(')) {
        if (!r.Eat(')')) {
            do {
                r.Blanks();
                bool byRef = false;
                size_t save = r.i;
                std::string w = AnsiLowerCase(r.Word());
                if (w == "var") byRef = true;
                else if (w != "const") r.i = save;
                std::vector<std::string> names;
                do {
                    std::string n = r.Word();
                    if (n.empty()) r.Fail();
                    names.push_back(n);
                } while (r.Eat(','));
                std::string typeName = "Variant";
                if (r.Eat(':')) typeName = r.Word();
                bool optional = false;
                Variant def = Variant::Null();
                if (r.Eat('=')) {
                    optional = true;
                    def = DefaultLiteral(script, r.Literal());
                }
                const TfsTypeCode tc = fsTypeCodeOfName(script, typeName);
                for (const auto& n : names) {
                    auto p = std::make_unique<TfsParamItem>(n, tc, typeName, optional, byRef);
                    p->DefaultValue = def;
                    AddParam(std::move(p));
                }
            } while (r.Eat(';'));
            if (!r.Eat(')')) r.Fail();
        }
    }
    if (kind != "procedure") {
        if (!r.Eat(':')) r.Fail();
        TypeName = r.Word();
        TypeCode = fsTypeCodeOfName(script, TypeName);
    } else {
        TypeCode = tcInteger;
    }
    r.Blanks();
    if (r.i != declaration.size()) r.Fail();
    FUpperName = AnsiUpperCase(Name);
}

Variant TfsMethodHelper::GetValue() {
    if (!CallCallback) return Variant(0);
    TfsParams params(FParams.size());
    for (size_t i = 0; i < FParams.size(); ++i) params[i] = FParams[i]->Value;
    TObject* obj = nullptr;
    TClass cls = HostClass;
    if (HostClass) {
        TClass meta = nullptr;
        if (TypeCode == tcConstructor && PrevValue.IsOrdinal() && PrevValue.VarType() != varBoolean)
            meta = TMetaClass::FromHandle(int32_t(PrevValue.RawInt()));
        if (meta) {
            // Constructing from a class name: the callback gets the class to build.
            if (!meta->InheritsFrom(HostClass))
                throw Exception(fsFormatMessage(SWrongObjectClass, HostClass->ClassName()) + "'" + Name + "'");
            cls = meta;
        } else {
            obj = Instance();
        }
    }
    Variant result = CallCallback(obj, cls, IsIndexed ? FUpperName + ".GET" : FUpperName, params);
    for (size_t i = 0; i < FParams.size() && i < params.size(); ++i)
        if (FParams[i]->ByRef) FParams[i]->Value = params[i];
    return result;
}

void TfsMethodHelper::SetValue(const Variant& value) {
    if (!CallCallback || !IsIndexed) return;
    TfsParams params(FParams.size() + 1);
    for (size_t i = 0; i < FParams.size(); ++i) params[i] = FParams[i]->Value;
    params.back() = value;
    TObject* obj = HostClass ? Instance() : nullptr;
    CallCallback(obj, HostClass, FUpperName + ".SET", params);
}

// --- indexers ----------------------------------------------------------------------------------

TfsArrayHelper::TfsArrayHelper(std::string name, int dimCount, TfsTypeCode typeCode, std::string typeName)
    : TfsCustomHelper(std::move(name), typeCode, std::move(typeName)) {
    if (dimCount < 0) {
        AddParam(std::make_unique<TfsParamItem>("", tcInteger, "", false, false));
        AddParam(std::make_unique<TfsParamItem>("", tcInteger, "", true, false));
        AddParam(std::make_unique<TfsParamItem>("", tcInteger, "", true, false));
    } else {
        for (int i = 0; i < dimCount; ++i) AddParam(std::make_unique<TfsParamItem>("", tcInteger, "", false, false));
    }
}

Variant TfsArrayHelper::GetValue() {
    const Variant& arr = PrevItem->Value;
    const int d = VarArrayDimCount(arr);
    if (d < 1 || d > 3 || d > ParamCount()) return Variant::Null();
    std::vector<int> idx(static_cast<size_t>(d));
    for (int i = 0; i < d; ++i) idx[size_t(i)] = FParams[size_t(i)]->Value.AsInteger();
    return arr.GetElement(idx);
}

void TfsArrayHelper::SetValue(const Variant& value) {
    Variant& arr = PrevItem->Value;
    const int d = VarArrayDimCount(arr);
    if (d < 1 || d > 3 || d > ParamCount()) return;
    std::vector<int> idx(static_cast<size_t>(d));
    for (int i = 0; i < d; ++i) idx[size_t(i)] = FParams[size_t(i)]->Value.AsInteger();
    arr.PutElement(idx, value);
}

TfsStringHelper::TfsStringHelper() : TfsCustomHelper("__StringHelper", tcChar, "") {
    AddParam(std::make_unique<TfsParamItem>("", tcInteger, "", false, false));
}

Variant TfsStringHelper::GetValue() {
    const std::string s = VarToStr(PrevValue);
    const int64_t index = FParams[0]->Value.AsInt64();
    // Outside the text is a range error, never a read beyond its characters.
    if (index < 1 || index > Utf8Length(s)) throw ERangeError("Range check error");
    return Variant(Utf8FromCodePoint(Utf8CharAt(s, index)));
}

void TfsStringHelper::SetValue(const Variant& value) {
    std::string s = VarToStr(PrevValue);
    const int64_t index = FParams[0]->Value.AsInt64();
    if (index < 1 || index > Utf8Length(s)) throw ERangeError("Range check error");
    const std::string c = VarToStr(value);
    if (c.empty()) return;
    size_t pos = 0;
    const std::string first = Utf8FromCodePoint(Utf8Next(c, pos));
    const size_t a = Utf8ByteOffset(s, index), b = Utf8ByteOffset(s, index + 1);
    s.replace(a, b - a, first);
    if (PrevItem) PrevItem->SetValue(Variant(std::move(s)));
}

// --- classes -----------------------------------------------------------------------------------

TfsClassVariable::TfsClassVariable(TClass hostClass, std::string ancestorName, TfsScript* ownerScript)
    : TfsCustomVariable(hostClass->ClassName(), tcClass, hostClass->ClassName()), AncestorName(std::move(ancestorName)),
      HostClass(hostClass), OwnerScript(ownerScript) {
    FKind = kClass;
    AddParam(std::make_unique<TfsParamItem>("", tcVariant, "", true, false));
    AddPublishedProperties();
}

TfsClassVariable::~TfsClassVariable() = default;

void TfsClassVariable::AddPublishedProperties() {
    std::vector<const TPropInfo*> props;
    for (const TPropInfo* pi : GetPropList(HostClass))
        if (pi->Kind() != tkMethod) props.push_back(pi);
    std::stable_sort(props.begin(), props.end(),
        [](const TPropInfo* a, const TPropInfo* b) { return AnsiCompareText(a->Name(), b->Name()) < 0; });
    for (const TPropInfo* pi : props) {
        TfsTypeCode tc = tcInteger;
        std::string tn;
        switch (pi->Kind()) {
        case tkChar:
        case tkWChar: tc = tcChar; break;
        case tkEnumeration:
            if (AnsiSameText(pi->PropType()->Name(), "Boolean")) tc = tcBoolean;
            else {
                tc = tcEnum;
                tn = pi->PropType()->Name();
            }
            break;
        case tkFloat: tc = tcFloat; break;
        case tkString: tc = tcString; break;
        case tkSet:
            tc = tcEnum;
            tn = pi->PropType()->Name();
            break;
        case tkClass:
            tc = tcClass;
            tn = pi->PropType()->Name();
            break;
        case tkVariant: tc = tcVariant; break;
        default: tc = tcInteger; break;
        }
        auto h = std::make_unique<TfsPropertyHelper>(pi->Name(), tc, tn, HostClass);
        h->ViaTypeInfo = true;
        // A property without a setter cannot be assigned; the builder refuses it.
        h->ReadOnly = pi->IsReadOnly();
        FMembers.push_back(std::move(h));
    }
}

TfsCustomHelper* TfsClassVariable::Find(const std::string& name) const {
    const TfsClassVariable* c = this;
    for (int depth = 0; c && depth < 64; ++depth) {
        for (const auto& m : c->FMembers)
            if (AnsiSameText(m->Name, name)) return m.get();
        if (c->AncestorName.empty() || !c->OwnerScript) break;
        TfsClassVariable* next = c->OwnerScript->FindClass(c->AncestorName);
        if (next == c) break;
        c = next;
    }
    return nullptr;
}

TfsMethodHelper* TfsClassVariable::AddMember(std::unique_ptr<TfsCustomHelper> member) {
    member->HostClass = HostClass;
    member->AddedBy = AddedBy;
    FMembers.push_back(std::move(member));
    return dynamic_cast<TfsMethodHelper*>(FMembers.back().get());
}

void TfsClassVariable::AddEvent(const std::string& name, const TfsEventClassInfo* adapterClass) {
    AddMember(std::make_unique<TfsEventHelper>(name, adapterClass, HostClass));
}

void TfsClassVariable::AddConstructor(const std::string& syntax, TfsMethodCallEvent callback) {
    const size_t blank = syntax.find(' ');
    const std::string rest = blank == std::string::npos ? std::string() : syntax.substr(blank + 1);
    auto m = std::make_unique<TfsMethodHelper>("function " + rest + ": Constructor", OwnerScript);
    m->CallCallback = std::move(callback);
    AddMember(std::move(m));
}

void TfsClassVariable::AddMethod(const std::string& syntax, TfsMethodCallEvent callback) {
    auto m = std::make_unique<TfsMethodHelper>(syntax, OwnerScript);
    m->CallCallback = std::move(callback);
    AddMember(std::move(m));
}

void TfsClassVariable::AddProperty(
    const std::string& name, const std::string& typeName, TfsPropGetEvent onGet, TfsPropSetEvent onSet) {
    auto h = std::make_unique<TfsPropertyHelper>(name, fsTypeCodeOfName(OwnerScript, typeName), typeName, HostClass);
    h->ReadOnly = !onSet;
    h->GetCallback = std::move(onGet);
    h->SetCallback = std::move(onSet);
    AddMember(std::move(h));
}

void TfsClassVariable::AddIndexProperty(const std::string& name, const std::string& indexTypes,
    const std::string& resultType, TfsMethodCallEvent callback, bool readOnly) {
    std::string params;
    int n = 0;
    size_t start = 0;
    while (start <= indexTypes.size()) {
        size_t comma = indexTypes.find(',', start);
        if (comma == std::string::npos) comma = indexTypes.size();
        const std::string t = Trim(indexTypes.substr(start, comma - start));
        if (!t.empty()) {
            if (n > 0) params += "; ";
            params.append("p").append(std::to_string(n++)).append(": ").append(t);
        }
        start = comma + 1;
    }
    auto m = std::make_unique<TfsMethodHelper>("function " + name + "(" + params + "): " + resultType, OwnerScript);
    m->CallCallback = std::move(callback);
    m->IsIndexed = true;
    m->ReadOnly = readOnly;
    AddMember(std::move(m));
}

void TfsClassVariable::AddDefaultProperty(const std::string& name, const std::string& indexTypes,
    const std::string& resultType, TfsMethodCallEvent callback, bool readOnly) {
    AddIndexProperty(name, indexTypes, resultType, std::move(callback), readOnly);
    DefaultMember = FMembers.back().get();
}

Variant TfsClassVariable::GetValue() {
    TfsParamItem* p = FParams[0].get();
    Variant result = p->Value.IsNull() ? Variant(HostClass->Handle()) : p->Value;
    p->Value = Variant::Null();
    return result;
}

// --- type rules --------------------------------------------------------------------------------

TfsTypeCode fsTypeCodeOfName(TfsScript* script, const std::string& typeName) {
    TfsCustomVariable* item = script ? script->Find(typeName) : nullptr;
    return item ? item->TypeCode : tcClass;
}

namespace {
bool DescendsFrom(TfsScript* script, const std::string& left, const std::string& right) {
    if (!script || !script->FindClass(left)) return false;
    TfsClassVariable* c = script->FindClass(right);
    for (int depth = 0; c && depth < 64; ++depth) {
        if (AnsiSameText(c->Name, left)) return true;
        if (c->AncestorName.empty()) return false;
        TfsClassVariable* next = script->FindClass(c->AncestorName);
        if (next == c) return false;
        c = next;
    }
    return false;
}
}  // namespace

bool fsAssignCompatible(
    TfsScript* script, const TfsCustomVariable* target, const TfsCustomVariable* source, bool operand) {
    const TfsTypeCode t = target->TypeCode, s = source->TypeCode;
    if (s == tcVariant && t != tcConstructor) return true;
    switch (t) {
    case tcInteger: return s == tcInteger || s == tcEnum || (operand && s == tcFloat);
    case tcBoolean: return s == tcBoolean;
    case tcFloat: return s == tcInteger || s == tcFloat;
    case tcChar:
    case tcString: return s == tcChar || s == tcString;
    case tcClass: return s == tcClass && DescendsFrom(script, target->TypeName, source->TypeName);
    case tcArray: return s == tcArray;
    case tcVariant: return true;
    case tcEnum: return s == tcInteger || (s == tcEnum && AnsiSameText(target->TypeName, source->TypeName));
    default: return false;
    }
}

int32_t fsObjectToVariant(const TObject* obj) { return obj ? obj->Handle() : 0; }

TObject* fsVariantToObject(const Variant& value) {
    if (!value.IsOrdinal() || value.VarType() == varBoolean) return nullptr;
    const int64_t h = value.RawInt();
    return (h > 0 && h <= INT32_MAX) ? TObject::FromHandle(int32_t(h)) : nullptr;
}

// --- TfsScript ---------------------------------------------------------------------------------

TfsScript::TfsScript(TComponent* owner)
    : TComponent(owner), FLines(std::make_unique<TStringList>()),
      FMainStatement(std::make_unique<TfsStatement>(this, "", "")), FCodeLines(std::make_unique<TStringList>()) {
    AddItem("__StringHelper", std::make_unique<TfsStringHelper>());
    AddItem("__ArrayHelper", std::make_unique<TfsArrayHelper>("__ArrayHelper", -1, tcVariant, ""));
}

TfsScript::~TfsScript() {
    Clear();
    FMainStatement.reset();
}

void TfsScript::SetLines(TStrings* lines) {
    FLines->Clear();
    if (lines)
        for (int i = 0; i < lines->Count(); ++i) FLines->Add(lines->Strings(i));
}

size_t TfsScript::LowerBound(const std::string& key) const {
    auto it = std::lower_bound(
        FItems.begin(), FItems.end(), key, [](const Entry& e, const std::string& k) { return e.Key < k; });
    return size_t(it - FItems.begin());
}

TfsCustomVariable* TfsScript::Insert(const std::string& name, TfsCustomVariable* item, bool owned) {
    std::string key = FoldKey(name);
    const size_t at = LowerBound(key);
    if (at < FItems.size() && FItems[at].Key == key) return nullptr;
    FItems.insert(FItems.begin() + ptrdiff_t(at), Entry{std::move(key), item, owned});
    return item;
}

TfsCustomVariable* TfsScript::AddItem(const std::string& name, std::unique_ptr<TfsCustomVariable> item) {
    // A refused item is freed here instead of leaking.
    if (!Insert(name, item.get(), true)) return nullptr;
    TfsCustomVariable* p = item.release();
    p->AddedBy = AddedBy;
    if (FCompileLog) FCompileLog->push_back(p);
    return p;
}

TfsCustomVariable* TfsScript::AddUnnamed(std::unique_ptr<TfsCustomVariable> item) {
    item->AddedBy = AddedBy;
    FUnnamed.push_back(std::move(item));
    if (FCompileLog) FCompileLog->push_back(FUnnamed.back().get());
    return FUnnamed.back().get();
}

void TfsScript::Remove(TfsCustomVariable* item) {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Item == item) {
            FItems.erase(FItems.begin() + ptrdiff_t(i));
            return;
        }
    for (size_t i = 0; i < FUnnamed.size(); ++i)
        if (FUnnamed[i].get() == item) {
            (void)FUnnamed[i].release();
            FUnnamed.erase(FUnnamed.begin() + ptrdiff_t(i));
            return;
        }
}

TfsCustomVariable* TfsScript::FindLocal(const std::string& name) const {
    const std::string key = FoldKey(name);
    const size_t at = LowerBound(key);
    return (at < FItems.size() && FItems[at].Key == key) ? FItems[at].Item : nullptr;
}

TfsCustomVariable* TfsScript::Find(const std::string& name) const {
    const std::string key = FoldKey(name);
    for (const TfsScript* s = this; s; s = s->Parent) {
        const size_t at = s->LowerBound(key);
        if (at < s->FItems.size() && s->FItems[at].Key == key) return s->FItems[at].Item;
    }
    return nullptr;
}

TfsClassVariable* TfsScript::FindClass(const std::string& name) const {
    TfsCustomVariable* item = Find(name);
    return item && item->ItemKind() == TfsCustomVariable::kClass ? static_cast<TfsClassVariable*>(item) : nullptr;
}

void TfsScript::FreeEntry(Entry& e) {
    if (e.Owned) delete e.Item;
    e.Item = nullptr;
}

void TfsScript::ClearStatements() {
    FMainStatement->Clear();
    FCodeLines->Clear();
}

void TfsScript::Clear() {
    // Statements refer to items: they go first.
    ClearStatements();
    std::vector<Entry> items;
    items.swap(FItems);
    for (auto& e : items) FreeEntry(e);
    FUnnamed.clear();
}

void TfsScript::RemoveItems(const void* owner) {
    for (size_t i = FItems.size(); i-- > 0;) {
        if (FItems[i].Item->AddedBy != owner) continue;
        Entry e = FItems[i];
        FItems.erase(FItems.begin() + ptrdiff_t(i));
        FreeEntry(e);
    }
    for (size_t i = FUnnamed.size(); i-- > 0;)
        if (FUnnamed[i]->AddedBy == owner) FUnnamed.erase(FUnnamed.begin() + ptrdiff_t(i));
}

void TfsScript::ClearItems(const void* owner) {
    ClearStatements();
    RemoveItems(owner);
}

// --- registration ------------------------------------------------------------------------------

void TfsScript::AddType(const std::string& typeName, TfsTypeCode typeCode) {
    if (Find(typeName)) return;
    AddItem(typeName, std::make_unique<TfsTypeVariable>(typeName, typeCode));
}

TfsClassVariable* TfsScript::AddClass(TClass hostClass, const std::string& ancestorName) {
    if (!hostClass || Find(hostClass->ClassName())) return nullptr;
    auto c = std::make_unique<TfsClassVariable>(hostClass, ancestorName, this);
    if (TfsClassVariable* ancestor = FindClass(ancestorName)) c->DefaultMember = ancestor->DefaultMember;
    return static_cast<TfsClassVariable*>(AddItem(hostClass->ClassName(), std::move(c)));
}

void TfsScript::AddConst(const std::string& name, const std::string& typeName, const Variant& value) {
    if (Find(name)) return;
    auto v = std::make_unique<TfsVariable>(name, fsTypeCodeOfName(this, typeName), typeName);
    v->Value = value;
    v->ReadOnly = true;
    AddItem(name, std::move(v));
}

void TfsScript::AddVariable(const std::string& name, const std::string& typeName, const Variant& value) {
    if (Find(name)) return;
    auto v = std::make_unique<TfsVariable>(name, fsTypeCodeOfName(this, typeName), typeName);
    v->Value = value;
    AddItem(name, std::move(v));
}

void TfsScript::AddObject(const std::string& name, TObject* obj) {
    AddVariable(name, obj ? obj->ClassName() : std::string("TObject"), Variant(fsObjectToVariant(obj)));
}

namespace {
void AddEnumItems(TfsScript* script, const std::string& typeName, const std::string& names, bool bits) {
    auto type = std::make_unique<TfsVariable>(typeName, tcEnum, typeName);
    script->AddItem(typeName, std::move(type));
    int n = 0;
    size_t start = 0;
    while (start <= names.size()) {
        size_t comma = names.find(',', start);
        if (comma == std::string::npos) comma = names.size();
        const std::string name = Trim(names.substr(start, comma - start));
        if (!name.empty()) {
            auto v = std::make_unique<TfsVariable>(name, tcEnum, typeName);
            v->Value = bits ? Variant(int64_t(1) << n) : Variant(n);
            v->ReadOnly = true;
            script->AddItem(name, std::move(v));
            ++n;
        }
        start = comma + 1;
    }
}
}  // namespace

void TfsScript::AddEnum(const std::string& typeName, const std::string& names) {
    AddEnumItems(this, typeName, names, false);
}

void TfsScript::AddEnumSet(const std::string& typeName, const std::string& names) {
    AddEnumItems(this, typeName, names, true);
}

TfsMethodHelper* TfsScript::AddMethod(const std::string& syntax, TfsMethodCallEvent callback,
    const std::string& category, const std::string& description) {
    auto m = std::make_unique<TfsMethodHelper>(syntax, this);
    m->CallCallback = std::move(callback);
    m->Category = category;
    m->Description = description.empty() ? m->Name : description;
    const std::string name = m->Name;
    return static_cast<TfsMethodHelper*>(AddItem(name, std::move(m)));
}

// --- compiling and running ---------------------------------------------------------------------

bool TfsScript::Compile() {
    // All three error fields start clear, so no stale unit name survives a later error.
    ErrorMsg.clear();
    ErrorPos.clear();
    ErrorUnit.clear();
    TfsILParser parser(*this);
    parser.LoadGrammar(FSyntaxType);
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) text += FLines->Strings(i) + "\r\n";
    const int statementCount = FMainStatement->Count();
    std::vector<TfsCustomVariable*> log;
    {
        TRollback<std::vector<TfsCustomVariable*>*> logging(FCompileLog, &log);
        if (parser.BuildIL(text)) {
            TfsProgramBuilder builder(parser, *this);
            builder.BuildProgram();
        }
    }
    if (ErrorMsg.empty()) {
        ErrorPos.clear();
        return true;
    }
    // A failed compile takes back what it registered, so the same text can be compiled again
    // (the report compiles each new expression as a new function into one script).
    FMainStatement->Truncate(statementCount);
    for (size_t i = log.size(); i-- > 0;) {
        TfsCustomVariable* item = log[i];
        bool named = false;
        for (auto& e : FItems)
            if (e.Item == item) named = true;
        if (named) {
            Remove(item);
            delete item;
        } else {
            for (size_t k = 0; k < FUnnamed.size(); ++k)
                if (FUnnamed[k].get() == item) {
                    FUnnamed.erase(FUnnamed.begin() + ptrdiff_t(k));
                    break;
                }
        }
    }
    return false;
}

void TfsScript::Execute() {
    TfsRunningScriptScope running(this);
    ExitFlag = false;
    Terminated = false;
    MainProgram = true;
    auto done = OnScopeExit([this] {
        ExitFlag = false;
        Terminated = false;
    });
    FMainStatement->Execute();
}

Variant TfsScript::RunProcedure(TfsCustomVariable* item, const Variant* params, int count, Variant* back) {
    if (!item || item->ItemKind() != TfsCustomVariable::kProc) return Variant::Null();
    auto* proc = static_cast<TfsProcVariable*>(item);
    // A call that re-enters a running procedure keeps the running activation's locals.
    std::vector<Variant> saved;
    const bool reentry = proc->Running;
    if (reentry) proc->SaveLocals(saved);
    const int n = std::min(count, proc->ParamCount());
    for (int i = 0; i < n; ++i) proc->ParamAt(i)->SetValue(params[i]);
    // After the var parameters are read back, also when the call raises.
    auto restore = OnScopeExit([&] {
        if (reentry) proc->RestoreLocals(saved);
    });
    Variant result = proc->GetValue();
    if (back)
        for (int i = 0; i < n; ++i) back[i] = proc->ParamAt(i)->Value;
    return result;
}

Variant TfsScript::CallFunction(const std::string& name, const Variant& params) {
    std::vector<Variant> list;
    if (params.IsArray()) {
        const int lo = VarArrayLowBound(params, 1), hi = VarArrayHighBound(params, 1);
        for (int i = lo; i <= hi; ++i) list.push_back(params.GetElement({i}));
    }
    return RunProcedure(FindLocal(name), list.data(), int(list.size()), nullptr);
}

Variant TfsScript::CallFunction(const std::string& name, const std::vector<Variant>& params) {
    return RunProcedure(FindLocal(name), params.data(), int(params.size()), nullptr);
}

Variant TfsScript::CallFunctionVar(const std::string& name, Variant& params) {
    TfsCustomVariable* item = FindLocal(name);
    if (!item || item->ItemKind() != TfsCustomVariable::kProc) return Variant::Null();
    std::vector<Variant> list;
    int lo = 0;
    if (params.IsArray()) {
        lo = VarArrayLowBound(params, 1);
        const int hi = VarArrayHighBound(params, 1);
        for (int i = lo; i <= hi; ++i) list.push_back(params.GetElement({i}));
    }
    std::vector<Variant> back(list.size());
    Variant result = RunProcedure(item, list.data(), int(list.size()), back.data());
    const int n = std::min(int(list.size()), item->ParamCount());
    for (int i = 0; i < n; ++i) params.PutElement({lo + i}, back[size_t(i)]);
    return result;
}

Variant TfsScript::Evaluate(const std::string& expr, bool* isError) {
    Variant result = Variant::Null();
    if (isError) *isError = false;
    TfsScript* scope = RunningScope ? RunningScope : this;
    TfsScript temp;
    temp.Parent = scope;
    temp.SetSyntaxType("PascalScript");
    // The expression's own statements announce no lines.
    TRollback<TfsRunLineEvent> quiet(OnRunLine, nullptr);
    temp.GetLines()->Add("function __f__: Variant; begin Result := " + expr + " end; begin end.");
    if (temp.Compile()) {
        result = temp.FindLocal("__f__")->GetValue();
    } else {
        result = Variant(temp.ErrorMsg);
        if (isError) *isError = true;
    }
    return result;
}

void TfsScript::Terminate() {
    ExitFlag = true;
    Terminated = true;
    for (const auto& e : FItems)
        if (e.Item->ItemKind() == TfsCustomVariable::kProc)
            static_cast<TfsProcVariable*>(e.Item)->LocalScript()->Terminate();
}

void TfsScript::AddCodeLine(const std::string& unitName, const std::string& sourcePos) {
    int index = FCodeLines->IndexOfName(unitName);
    if (unitName.empty()) {
        index = -1;
        for (int i = 0; i < FCodeLines->Count(); ++i)
            if (FCodeLines->Strings(i).rfind("=", 0) == 0) {
                index = i;
                break;
            }
    }
    if (index < 0) index = FCodeLines->Add(unitName + "=");
    const std::string line = sourcePos.substr(0, sourcePos.find(':'));
    std::string entry = FCodeLines->Strings(index);
    // Whole items are compared: line 2 is not listed because line 12 is.
    std::string list(",");
    list.append(entry, entry.find('=') + 1, std::string::npos);
    std::string item(",");
    item.append(line).append(",");
    if (list.find(item) == std::string::npos) FCodeLines->SetStrings(index, entry + line + ",");
}

bool TfsScript::IsExecutableLine(int line, const std::string& unitName) const {
    for (int i = 0; i < FCodeLines->Count(); ++i) {
        const std::string entry = FCodeLines->Strings(i);
        const size_t eq = entry.find('=');
        if (eq == std::string::npos || !AnsiSameText(entry.substr(0, eq), unitName)) continue;
        std::string list(",");
        list.append(entry, eq + 1, std::string::npos);
        std::string item(",");
        item.append(std::to_string(line)).append(",");
        return list.find(item) != std::string::npos;
    }
    return false;
}

bool TfsScript::GetUnitSource(const std::string& unitName, std::string& unitText) {
    if (!OnGetUnit) return false;
    unitText.clear();
    OnGetUnit(this, unitName, unitText);
    return !unitText.empty();
}
