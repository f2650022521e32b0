#pragma once
// Helpers of the binding and event tests: the engine with the class-library binding for a
// test suite, and running a PascalScript program that leaves its result in `Out`.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "script/ClassBindings.h"
#include "script/EventAdapters.h"
#include "script/Interpreter.h"

class BindingSuite : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        // Start-up registers the class-library binding with the global unit.
        if (!fsGlobalUnit()) {
            script::Startup();
            OwnStartup() = true;
        }
    }
    static void TearDownTestSuite() {
        if (OwnStartup()) script::Shutdown();
        OwnStartup() = false;
    }

private:
    static bool& OwnStartup() {
        static bool own = false;
        return own;
    }
};

// Compiles `program` (PascalScript) in a script under the global unit, runs it and gives the
// text of its variable Out; a compile error as "compile: <message> at <pos>", a run-time
// error as "error: <message>". `prepare` registers extra items before compiling.
inline std::string RunPascal(const std::string& program, const std::function<void(TfsScript&)>& prepare = {}) {
    TfsScript script(nullptr);
    script.Parent = fsGlobalUnit();
    if (prepare) prepare(script);
    script.GetLines()->SetText(program);
    if (!script.Compile()) return "compile: " + script.ErrorMsg + " at " + script.ErrorPos;
    try {
        script.Execute();
    } catch (const Exception& e) {
        return std::string("error: ") + e.what();
    }
    TfsCustomVariable* out = script.FindLocal("Out");
    return out ? VarToStr(out->GetValue()) : "(no Out)";
}
