#pragma once
// The script component TfsScript and the object model of everything a script can name:
// variables, constants, parameters, procedures with their local scope, host classes and
// the accessors through which scripts reach host properties and methods.
//
// Objects travel in Variants as handles of the TObject handle table (Integer, nil = 0).
// A class name used alone (before Create) yields the handle of its metaclass; a constructor
// callback then receives Instance = nullptr and ClassType = the class to construct.
//
// Host callbacks receive their arguments as a vector of Variants, one per declared
// parameter; a callback writes the results of var parameters back into that vector.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Variant.h"
#include "script/ILParser.h"

class TfsScript;
class TfsParamItem;
class TfsStatement;
class TfsClassVariable;

enum TfsTypeCode : uint8_t {
    tcInteger,
    tcBoolean,
    tcFloat,
    tcChar,
    tcString,
    tcClass,
    tcArray,
    tcVariant,
    tcEnum,
    tcConstructor,
};

using TfsParams = std::vector<Variant>;
using TfsPropGetEvent = std::function<Variant(TObject* instance, TClass classType, const std::string& propName)>;
using TfsPropSetEvent =
    std::function<void(TObject* instance, TClass classType, const std::string& propName, const Variant& value)>;
using TfsMethodCallEvent =
    std::function<Variant(TObject* instance, TClass classType, const std::string& methodName, TfsParams& params)>;
using TfsGetUnitEvent = std::function<void(TfsScript* sender, const std::string& unitName, std::string& unitText)>;
using TfsRunLineEvent =
    std::function<void(TfsScript* sender, const std::string& unitName, const std::string& sourcePos)>;

// Run-time messages of the engine (its compile messages are in ScriptTools.h).
inline constexpr const char* SNilObject = "Objekt není přiřazen: ";
inline constexpr const char* SWrongObjectClass = "Objekt není třídy %s: ";
inline constexpr const char* SNotAnObject = "Hodnota neobsahuje objekt: ";
inline constexpr const char* SIntegerOverflow = "Integer overflow";
inline constexpr const char* SDivByZero = "Division by zero";

// Base of every named item and of everything that yields a value. Its parameters (for
// items that take arguments) are owned, in declaration order.
class TfsCustomVariable {
public:
    // Cheap run-time kind tests for the interpreter's hot paths.
    enum Kind : uint8_t { kOther, kVariable, kParam, kProc, kClass, kHelper, kDesignator, kExpression };

    TfsCustomVariable(std::string name, TfsTypeCode typeCode, std::string typeName);
    virtual ~TfsCustomVariable();
    TfsCustomVariable(const TfsCustomVariable&) = delete;
    TfsCustomVariable& operator=(const TfsCustomVariable&) = delete;

    const void* AddedBy = nullptr;
    bool TextArgs = false;  // a macro function: arguments arrive as source text
    bool ReadOnly = false;
    std::string Name;
    bool ResultUsed = true;
    TfsCustomVariable* Linked = nullptr;
    std::string SourcePos;
    TfsTypeCode TypeCode;
    std::string TypeName;
    Variant Value = Variant::Null();

    virtual Variant GetValue() { return Value; }
    virtual void SetValue(const Variant& value) {
        if (!ReadOnly) Value = value;
    }

    Kind ItemKind() const noexcept { return FKind; }
    bool IsVariable() const noexcept { return FKind == kVariable; }  // TfsVariable and descendants

    int ParamCount() const noexcept { return int(FParams.size()); }
    TfsParamItem* ParamAt(int index) const { return FParams.at(size_t(index)).get(); }
    TfsParamItem* Param(int index) const noexcept { return FParams[size_t(index)].get(); }  // unchecked
    TfsParamItem* AddParam(std::unique_ptr<TfsParamItem> param);
    int GetRequiredParamCount() const;
    std::string DisplayTypeName() const;

protected:
    Kind FKind = kOther;
    std::vector<std::unique_ptr<TfsParamItem>> FParams;
};

// A variable or constant. A declared type of Integer, Boolean, Float, Char or String
// converts what is assigned to it, so typed variables always hold values of their type.
class TfsVariable : public TfsCustomVariable {
public:
    TfsVariable(std::string name, TfsTypeCode typeCode, std::string typeName);
    // Reading is the stored value, always: expressions read variables in place.
    Variant GetValue() final { return Value; }
    void SetValue(const Variant& value) override;
};

class TfsTypeVariable : public TfsCustomVariable {
public:
    TfsTypeVariable(std::string name, TfsTypeCode typeCode) : TfsCustomVariable(std::move(name), typeCode, "") {}
};

// A Char or String variable; its value is always a string.
class TfsStringVariable : public TfsVariable {
public:
    TfsStringVariable(std::string name, TfsTypeCode typeCode, std::string typeName);
    std::string Text() const { return Value.IsString() ? Value.RawString() : std::string(); }
    void SetText(std::string text) { Value = Variant(std::move(text)); }
};

class TfsParamItem : public TfsCustomVariable {
public:
    TfsParamItem(std::string name, TfsTypeCode typeCode, std::string typeName, bool optional, bool byRef);
    Variant GetValue() final { return Value; }  // read in place by expressions, as variables are
    bool Optional;
    bool ByRef;
    Variant DefaultValue = Variant::Null();
};

// A procedure or function of a compiled script. Its body and locals live in LocalScript,
// whose Parent is the declaring script.
class TfsProcVariable : public TfsCustomVariable {
public:
    TfsProcVariable(std::string name, TfsTypeCode typeCode, std::string typeName, TfsScript* parent, bool isFunction);
    ~TfsProcVariable() override;

    bool IsFunction;
    bool Running = false;
    TfsScript* LocalScript() const noexcept { return FLocal.get(); }
    // Registers a parameter (already added with AddParam) by name in the local script.
    void RegisterParam(TfsParamItem* param);
    TfsCustomVariable* ResultVariable() const noexcept { return Linked; }

    Variant GetValue() override;  // runs the body

    // The values of the local variables and parameters, in registry order, for a re-entrant
    // call (the locals are shared by every activation).
    void SaveLocals(std::vector<Variant>& out) const;
    void RestoreLocals(std::vector<Variant>& saved) const noexcept;  // moves the values back
    // The local variables and parameters themselves, in registry order (listed on first use,
    // when the body is complete).
    const std::vector<TfsCustomVariable*>& Locals() const {
        if (!FLocalsListed) ListLocals();
        return FLocals;
    }

private:
    std::unique_ptr<TfsScript> FLocal;
    mutable std::vector<TfsCustomVariable*> FLocals;
    mutable bool FLocalsListed = false;
    void ListLocals() const;
};

// Base of member accessors and indexers: the designator sets the context before each use.
class TfsCustomHelper : public TfsCustomVariable {
public:
    TfsCustomHelper(std::string name, TfsTypeCode typeCode, std::string typeName);
    TfsCustomVariable* PrevItem = nullptr;
    Variant PrevValue = Variant::Null();
    TfsScript* OwnerScript = nullptr;
    TClass HostClass = nullptr;

protected:
    // The object PrevValue refers to, checked against HostClass; raises for nil, a dead handle
    // or an object of another class, so no callback ever sees a wrong instance.
    TObject* Instance() const;
};

class TfsPropertyHelper : public TfsCustomHelper {
public:
    TfsPropertyHelper(std::string name, TfsTypeCode typeCode, std::string typeName, TClass hostClass);
    bool ViaTypeInfo = false;
    TfsPropGetEvent GetCallback;
    TfsPropSetEvent SetCallback;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

class TfsMethodHelper : public TfsCustomHelper {
public:
    // Parses the declaration ("function Copy(s: String; from, count: Integer): String");
    // type names resolve in `script`. Raises Exception on a malformed declaration.
    TfsMethodHelper(const std::string& declaration, TfsScript* script);
    std::string Category;
    std::string Description;
    bool IsIndexed = false;
    TfsMethodCallEvent CallCallback;
    std::string Declaration;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

private:
    std::string FUpperName;
};

// Element access of a Variant array held by PrevItem.
class TfsArrayHelper : public TfsCustomHelper {
public:
    // dimCount -1: the script-wide indexer with one required and two optional indexes.
    TfsArrayHelper(std::string name, int dimCount, TfsTypeCode typeCode, std::string typeName);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// Character access of the string PrevValue (1-based).
class TfsStringHelper : public TfsCustomHelper {
public:
    TfsStringHelper();
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// A host class registered with AddClass.
struct TfsEventClassInfo;

class TfsClassVariable : public TfsCustomVariable {
public:
    TfsClassVariable(TClass hostClass, std::string ancestorName, TfsScript* ownerScript);
    ~TfsClassVariable() override;

    std::string AncestorName;
    TClass HostClass;
    TfsCustomHelper* DefaultMember = nullptr;
    TfsScript* OwnerScript;

    int MemberCount() const noexcept { return int(FMembers.size()); }
    TfsCustomHelper* Member(int index) const { return FMembers.at(size_t(index)).get(); }
    // First member of that name (case ignored), then the ancestors' by AncestorName.
    TfsCustomHelper* Find(const std::string& name) const;

    void AddConstructor(const std::string& syntax, TfsMethodCallEvent callback);
    void AddMethod(const std::string& syntax, TfsMethodCallEvent callback);
    void AddProperty(
        const std::string& name, const std::string& typeName, TfsPropGetEvent onGet, TfsPropSetEvent onSet = nullptr);
    void AddIndexProperty(const std::string& name, const std::string& indexTypes, const std::string& resultType,
        TfsMethodCallEvent callback, bool readOnly = false);
    void AddDefaultProperty(const std::string& name, const std::string& indexTypes, const std::string& resultType,
        TfsMethodCallEvent callback, bool readOnly = false);
    // An event property of the host class: assigning a procedure name binds it through an
    // adapter of `adapterClass` (see EventAdapters.h), nil unbinds it.
    void AddEvent(const std::string& name, const TfsEventClassInfo* adapterClass);

    // Alone: the class's metaclass handle (constructed later by Create); applied to one
    // argument (a typecast): that argument.
    Variant GetValue() override;

private:
    void AddPublishedProperties();
    TfsMethodHelper* AddMember(std::unique_ptr<TfsCustomHelper> member);
    std::vector<std::unique_ptr<TfsCustomHelper>> FMembers;
};

// Type code of a type name as the script sees it: the code of the item found, else Class.
TfsTypeCode fsTypeCodeOfName(TfsScript* script, const std::string& typeName);
// Assignment compatibility of a value of `source` to `target`. With `operand` an Integer
// target also accepts a Float (the expression operand rule). Classes are compatible when the
// source descends from the target by the scripts' AncestorName chain.
bool fsAssignCompatible(
    TfsScript* script, const TfsCustomVariable* target, const TfsCustomVariable* source, bool operand = false);
// The handle of an object, the object of a handle (nullptr for 0, dead or unknown handles).
int32_t fsObjectToVariant(const TObject* obj);
TObject* fsVariantToObject(const Variant& value);

// One script: its source, language, registry of named items (looked up through Parent up to
// the global unit), compiled main block and the description of the last compile error.
class TfsScript : public TComponent, public TfsILParserHost {
    KAROMIL_CLASS(TfsScript, TComponent)
public:
    explicit TfsScript(TComponent* owner = nullptr);
    ~TfsScript() override;

    // --- published
    TStrings* GetLines() const noexcept { return FLines.get(); }
    void SetLines(TStrings* lines);  // copies the lines
    const std::string& GetSyntaxType() const noexcept { return FSyntaxType; }
    void SetSyntaxType(const std::string& value) { FSyntaxType = value; }
    TfsGetUnitEvent OnGetILUnit;
    TfsGetUnitEvent OnGetUnit;
    TfsRunLineEvent OnRunLine;

    // --- public state
    const void* AddedBy = nullptr;
    bool BreakFlag = false;
    bool ContinueFlag = false;
    bool ExitFlag = false;
    bool MainProgram = false;
    TfsScript* Parent = nullptr;
    TfsScript* RunningScope = nullptr;
    bool Terminated = false;
    TfsStatement* MainStatement() const noexcept { return FMainStatement.get(); }
    TStringList* CodeLines() const noexcept { return FCodeLines.get(); }

    // --- registry
    // Inserts the item under `name` and stamps it with AddedBy. The script always takes the
    // item; a name already held here refuses it: the item is freed and nullptr returned.
    TfsCustomVariable* AddItem(const std::string& name, std::unique_ptr<TfsCustomVariable> item);
    // Items that no name reaches (indexers, OLE accessors, address constants), owned here.
    TfsCustomVariable* AddUnnamed(std::unique_ptr<TfsCustomVariable> item);
    int Count() const noexcept { return int(FItems.size()); }
    TfsCustomVariable* Items(int index) const { return FItems.at(size_t(index)).Item; }
    void Remove(TfsCustomVariable* item);  // out of the registry, not freed
    TfsCustomVariable* FindLocal(const std::string& name) const;
    TfsCustomVariable* Find(const std::string& name) const;
    TfsClassVariable* FindClass(const std::string& name) const;
    void Clear();
    void RemoveItems(const void* owner);
    void ClearItems(const void* owner);

    // --- registration
    void AddType(const std::string& typeName, TfsTypeCode typeCode);
    TfsClassVariable* AddClass(TClass hostClass, const std::string& ancestorName);
    void AddConst(const std::string& name, const std::string& typeName, const Variant& value);
    void AddVariable(const std::string& name, const std::string& typeName, const Variant& value);
    void AddObject(const std::string& name, TObject* obj);
    void AddEnum(const std::string& typeName, const std::string& names);
    void AddEnumSet(const std::string& typeName, const std::string& names);
    TfsMethodHelper* AddMethod(const std::string& syntax, TfsMethodCallEvent callback, const std::string& category = "",
        const std::string& description = "");

    // --- compiling and running
    bool Compile();
    void Execute();
    Variant CallFunction(const std::string& name, const Variant& params);
    Variant CallFunctionVar(const std::string& name, Variant& params);
    Variant CallFunction(const std::string& name, const std::vector<Variant>& params);
    // The value of a PascalScript expression in the scope of the running procedure. A compile
    // error comes back as its message text; `isError` (when given) tells the two apart.
    Variant Evaluate(const std::string& expr, bool* isError = nullptr);
    void Terminate();
    // Runs before each announcing statement: the first OnRunLine up the Parent chain is told.
    void RunLine(const std::string& unitName, const std::string& sourcePos) {
        for (TfsScript* s = this; s; s = s->Parent)
            if (s->OnRunLine) {
                s->OnRunLine(this, unitName, sourcePos);
                return;
            }
    }
    void AddCodeLine(const std::string& unitName, const std::string& sourcePos);
    bool IsExecutableLine(int line, const std::string& unitName = "") const;

    // Host of the front end: units named in a uses clause come from OnGetUnit.
    bool GetUnitSource(const std::string& unitName, std::string& unitText) override;

private:
    struct Entry {
        std::string Key;  // folded name
        TfsCustomVariable* Item;
        bool Owned;
    };
    friend class TfsProcVariable;
    TfsCustomVariable* Insert(const std::string& name, TfsCustomVariable* item, bool owned);
    size_t LowerBound(const std::string& key) const;
    void FreeEntry(Entry& e);
    void ClearStatements();
    Variant RunProcedure(TfsCustomVariable* proc, const Variant* params, int count, Variant* back);

    std::unique_ptr<TStringList> FLines;
    std::string FSyntaxType = "PascalScript";
    std::vector<Entry> FItems;
    std::vector<std::unique_ptr<TfsCustomVariable>> FUnnamed;
    std::unique_ptr<TfsStatement> FMainStatement;
    std::unique_ptr<TStringList> FCodeLines;
    // Items added by the compile now running, removed again when it fails.
    std::vector<TfsCustomVariable*>* FCompileLog = nullptr;
};

// The process-wide global unit: base types, constants and built-in functions. Created by
// script::Startup, nullptr before it and after script::Shutdown.
TfsScript* fsGlobalUnit();

namespace script {
// Registers the languages, creates the global unit, the built-in library and the class-library
// bindings, then starts the enrolled binding units. Shutdown stops them in reverse order.
void Startup();
void Shutdown();
// Enrols a binding unit of a layer above the core (the window bindings, the report classes):
// the engine starts it with itself from now on, at once when it is running already. Whoever
// links that layer enrols it; enrolling twice is once.
void AddBindingUnit(void (*start)(), void (*stop)());
}  // namespace script
