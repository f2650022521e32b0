#pragma once
// Helpers of the interpreter tests: compile and run a program, collecting what it prints.

#include <memory>
#include <string>

#include "platform/rtl/SysUtils.h"
#include "script/Builtins.h"
#include "script/Interpreter.h"
#include "script/ScriptTools.h"
#include "script/Statements.h"

// A script under the global unit with a procedure Print(v) that appends the text of v to
// Output (entries separated by "|").
struct TestScript {
    std::unique_ptr<TfsScript> Script = std::make_unique<TfsScript>();
    std::string Output;

    explicit TestScript(const std::string& language = "PascalScript") {
        Script->Parent = fsGlobalUnit();
        Script->SetSyntaxType(language);
        Script->AddMethod("procedure Print(v: Variant)", [this](TObject*, TClass, const std::string&, TfsParams& p) {
            if (!Output.empty()) Output += "|";
            Output += VarToStr(p[0]);
            return Variant::Null();
        });
    }
    bool Compile(const std::string& text) {
        Script->GetLines()->SetText(text);
        return Script->Compile();
    }
    // The output, or "error: message @ position", or "raised: message" (with output before it).
    std::string Run(const std::string& text) {
        if (!Compile(text))
            return "error: " + Script->ErrorMsg + " @ " + Script->ErrorPos +
                (Script->ErrorUnit.empty() ? "" : " in " + Script->ErrorUnit);
        try {
            Script->Execute();
        } catch (const Exception& e) {
            return (Output.empty() ? "" : Output + " ") + "raised: " + e.Message();
        }
        return Output;
    }
};

inline std::string RunProgram(const std::string& language, const std::string& text) {
    TestScript t(language);
    return t.Run(text);
}
