// The report's side of expressions and scripts: answering names (LookupValue), evaluating
// expression texts (Calc), preparing the script before a run (PrepareScript) with the functions
// it adds (Get, Set, IIF and the aggregates), and calling script procedures for object events.

#include "platform/classes/StringList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxExpression.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/core/frxVariables.h"
#include "script/Interpreter.h"

namespace {
std::string Res(const char* key) { return frxGetResources()->Get(key); }

// Deep enough for variables built from other variables, shallow enough to stop a variable
// that refers to itself long before the stack runs out.
constexpr int kMaxLookupDepth = 64;
const char* const kSelfReference = "Proměnná '%s' odkazuje sama na sebe";

bool IsTrue(const Variant& v) {
    if (v.VarType() == varBoolean) return v.AsBoolean();
    if (v.IsNumeric()) return v.AsInt64() != 0;
    return false;
}

// A macro function's argument: its source text, or the declared default when it was left out.
std::string ArgText(const TfsParams& params, size_t index) {
    if (index >= params.size() || !params[index].IsString()) return {};
    return Trim(params[index].AsString());
}
}  // namespace

// --- names and expressions ---------------------------------------------------------------------

bool TfrxReport::LookupValue(const std::string& name, Variant& value) {
    value = Variant::Null();

    TfrxDataSet* ds = nullptr;
    std::string field;
    GetDatasetAndField(name, ds, field);
    if (ds && !field.empty()) {
        value = ds->GetValue(field);
        if (FEngineOptions->ConvertNulls && value.IsNull()) {
            switch (ds->GetFieldType(field)) {
            case fftNumeric: value = Variant(int32_t(0)); break;
            case fftString: value = Variant(std::string()); break;
            case fftBoolean: value = Variant(false); break;
            }
        }
        return true;
    }

    switch (FSystemNames->IndexOf(name)) {
    case 0: value = Variant::FromDate(FEngine->StartDate); return true;
    case 1: value = Variant::FromDate(FEngine->StartTime); return true;
    case 2: value = Variant(int32_t(FPreviewPages->CurPageIndex - FPreviewPages->ReportFirstPage + 1)); return true;
    case 3: value = Variant(int32_t(FPreviewPages->CurPageIndex + 1)); return true;
    case 4: value = Variant(int32_t(FEngine->TotalPages - FPreviewPages->ReportFirstPage)); return true;
    case 5: value = Variant(int32_t(FEngine->TotalPages)); return true;
    case 6: value = Variant(FEngine->CurLineNo); return true;
    case 7: value = Variant(FEngine->CurLineNoThrough); return true;
    default: break;
    }

    if (OnGetValue) {
        Variant v;  // Empty: a handler that answers leaves something else, Null included
        OnGetValue(name, v);
        if (!v.IsEmpty()) {
            value = v;
            return true;
        }
    }

    if (const int i = FVariables->IndexOf(name); i >= 0) {
        const Variant v = FVariables->GetItem(i)->GetValue();
        if (!v.IsString()) {
            value = v;
            return true;
        }
        // Sound: a variable whose expression leads back to itself is an error line, not an
        // endless descent that ends the program with a stack overflow.
        if (FLookupDepth >= kMaxLookupDepth) {
            const std::string msg = Format(kSelfReference, {Variant(name)});
            ErrorList->Add(msg);
            throw Exception(msg);
        }
        ++FLookupDepth;
        auto back = OnScopeExit([this] { --FLookupDepth; });
        value = Calc(v.AsString());
        return true;
    }

    if (TfsCustomVariable* item = FScript->FindLocal(name); item && item->IsVariable()) {
        value = item->GetValue();
        return true;
    }
    return false;
}

Variant TfrxReport::Calc(const std::string& expr, TfsScript* script) {
    if (!script) script = FScript.get();
    Variant value;
    if (LookupValue(expr, value)) return value;
    std::string error;
    value = FExpressionCache->Calc(expr, error, script);
    if (!error.empty()) {
        if (!CurrentObjectName.empty()) error = CurrentObjectName + ": " + error;
        ErrorList->Add(error);
        throw Exception(error);
    }
    return value;
}

void TfrxReport::SetValueVariable(const Variant& value) {
    if (ScriptValueVar) ScriptValueVar->Value = value;
}

// --- script preparation --------------------------------------------------------------------------

bool TfrxReport::PrepareScript() {
    FExpressionCache->Clear();
    FEngine->NotifyList()->Clear();
    ScriptValueVar = nullptr;
    FScript->ClearItems(this);
    FScript->Parent = fsGlobalUnit();  // the global unit may have started after the report
    // Everything registered now is the report's; the stamp is taken off again on every path.
    auto unstamp = OnScopeExit([this] { FScript->AddedBy = nullptr; });
    FScript->AddedBy = this;
    FScript->MainProgram = true;

    TList* all = GetAllObjects();
    for (int i = 0; i < all->Count(); ++i) {
        auto* c = static_cast<TfrxComponent*>(all->Items(i));
        c->BeforeStartReport();
        FScript->AddObject(c->GetName(), c);
    }
    FScript->AddObject("Report", this);
    FScript->AddObject("Engine", FEngine.get());
    FScript->AddObject("Outline", FPreviewPages->Outline.get());
    FScript->AddVariable("Value", "Variant", Variant::Null());
    ScriptValueVar = FScript->FindLocal("Value");

    FScript->AddMethod("function Get(Name: String): Variant",
        [this](TObject*, TClass, const std::string&, TfsParams& p) { return GetCallback(p); });
    FScript->AddMethod("procedure Set(Name: String; Value: Variant)",
        [this](TObject*, TClass, const std::string&, TfsParams& p) { return SetCallback(p); });
    auto macro = [this](TObject*, TClass, const std::string& method, TfsParams& p) { return MacroCallback(method, p); };
    FScript->AddMethod("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", macro);
    for (const char* name : {"SUM", "AVG", "MIN", "MAX"})
        FScript->AddMethod(
            std::string("macrofunction ") + name + "(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
            macro);
    FScript->AddMethod("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", macro);

    FScript->GetLines()->Assign(FScriptText.get());
    FScript->SetSyntaxType(ScriptLanguage);
    // The script may read files beside its template (and units named in its uses clause).
    FScript->FileFolder = FileName.empty() ? std::string() : ExtractFilePath(ExpandFileName(FileName));
    if (FScript->Compile()) return true;
    ErrorList->Add(Format(Res("clScrError"), {Variant(FScript->ErrorPos), Variant(FScript->ErrorMsg)}));
    return false;
}

Variant TfrxReport::GetCallback(TfsParams& params) {
    const std::string name = params.empty() ? std::string() : VarToStr(params[0]);
    Variant value;
    if (LookupValue(name, value)) return value;
    if (const size_t p = name.find('('); p != std::string::npos) {
        const std::string head = AnsiUpperCase(Trim(name.substr(0, p)));
        if (head == "SUM" || head == "MIN" || head == "MAX" || head == "AVG" || head == "COUNT") return Calc(name);
    }
    ErrorList->Add(Res("clUnknownVar") + " " + name);
    return Variant::Null();
}

Variant TfrxReport::SetCallback(TfsParams& params) {
    if (params.size() >= 2) FVariables->SetVariable(VarToStr(params[0]), params[1]);
    return Variant::Null();
}

Variant TfrxReport::MacroCallback(const std::string& methodName, TfsParams& params) {
    TfsScript* scope = FScript->RunningScope ? FScript->RunningScope : FScript.get();
    const std::string method = AnsiUpperCase(methodName);
    if (method == "IIF") {
        // Only the branch taken is evaluated.
        return IsTrue(Calc(ArgText(params, 0), scope)) ? Calc(ArgText(params, 1), scope)
                                                       : Calc(ArgText(params, 2), scope);
    }
    auto bandAndFlags = [&](size_t first, TfrxBand*& band, int& flags) {
        band = nullptr;
        flags = 0;
        const std::string b = ArgText(params, first), f = ArgText(params, first + 1);
        if (!b.empty()) band = dynamic_cast<TfrxBand*>(fsVariantToObject(Calc(b, scope)));
        if (!f.empty()) flags = Calc(f, scope).AsInteger();
    };
    TfrxBand* band;
    int flags;
    if (method == "COUNT") {
        bandAndFlags(0, band, flags);
        return FEngine->GetAggregateValue(method, "", band, flags);
    }
    bandAndFlags(1, band, flags);
    return FEngine->GetAggregateValue(method, ArgText(params, 0), band, flags);
}

// --- script calls of object events ------------------------------------------------------------

void TfrxReport::DoNotifyEvent(TObject* obj, const std::string& eventName, bool runAlways) {
    if (eventName.empty() || !(runAlways || FEngine->Running)) return;
    FScript->CallFunction(eventName, std::vector<Variant>{Variant(fsObjectToVariant(obj))});
}

void TfrxReport::CallScriptProc(TObject*, const std::string& procName, Variant& params, bool runAlways) {
    if (procName.empty() || !(runAlways || FEngine->Running)) return;
    FScript->CallFunctionVar(procName, params);
}

void TfrxReport::NotifyBeforePrint(TfrxReportComponent* obj) {
    if (OnBeforePrint) OnBeforePrint(obj);
    DoNotifyEvent(obj, obj->OnBeforePrint);
}

void TfrxReport::NotifyAfterPrint(TfrxReportComponent* obj) {
    if (OnAfterPrint) OnAfterPrint(obj);
    DoNotifyEvent(obj, obj->OnAfterPrint);
}

void TfrxReport::DoPreviewClick(
    TfrxReportComponent* obj, TfrxView* view, TMouseButton button, TShiftState shift, bool& modified) {
    Variant v = VarArrayOf({Variant(fsObjectToVariant(obj)), Variant(int32_t(button)),
        Variant(int32_t(shift.Mask() & 0xFF)), Variant(modified)});
    CallScriptProc(obj, obj->OnPreviewClick, v, true);
    modified = v.GetElement({3}).AsBoolean();
    if (OnClickObject) OnClickObject(view, button, shift, modified);
}
