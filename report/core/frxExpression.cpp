#include "report/core/frxExpression.h"

#include <cstdint>

#include "platform/classes/StringList.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxRes.h"
#include "script/Interpreter.h"

TfrxExpressionCache::TfrxExpressionCache(TfsScript* mainScript)
    : FMainScript(mainScript), FScript(std::make_unique<TfsScript>(nullptr)), FList(std::make_unique<TStringList>()) {
    FScript->ExtendedCharset = true;
    FList->SetSorted(true);  // the list's comparison ignores case
}

TfrxExpressionCache::~TfrxExpressionCache() = default;

void TfrxExpressionCache::Clear() {
    FList->Clear();
    FScript->Clear();
    FCompiled = 0;
}

int TfrxExpressionCache::Count() const { return FList->Count(); }

std::string TfrxExpressionCache::FunctionName(const std::string& expr) const {
    const int i = FList->IndexOf(expr);
    if (i < 0) return {};
    return reinterpret_cast<TfsCustomVariable*>(FList->GetObjectAsInt(i))->Name;
}

Variant TfrxExpressionCache::Calc(const std::string& expr, std::string& errorText, TfsScript* script) {
    errorText.clear();
    FScript->Parent = script;
    TfsCustomVariable* fn = nullptr;
    const int i = FList->IndexOf(expr);
    if (i >= 0) {
        fn = reinterpret_cast<TfsCustomVariable*>(FList->GetObjectAsInt(i));
    } else {
        // Sound: functions are numbered by compile attempts, not by cached entries, so a
        // failed compile can never leave a name that the next expression collides with; the
        // script also takes a failed compile back whole.
        const std::string name = "_f" + std::to_string(FCompiled++);
        FScript->GetLines()->SetText("function " + name + ": Variant; begin Result := " + expr + " end; begin end.");
        FScript->SetSyntaxType("PascalScript");
        if (!FScript->Compile()) {
            errorText = frxGetResources()->Get("clExprError") + " '" + expr + "': " + FScript->ErrorMsg;
            return Variant::Null();
        }
        fn = FScript->FindLocal(name);
        if (!fn) return Variant::Null();
        FList->AddObjectAsInt(expr, reinterpret_cast<intptr_t>(fn));
    }
    // The cached function runs as a plain call: the report script's running scope stays the
    // procedure that asked for the value.
    TRollback<bool> notMain(FMainScript->MainProgram, false);
    return fn->GetValue();
}
