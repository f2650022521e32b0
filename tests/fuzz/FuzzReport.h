#pragma once
// Start-up of the report harnesses: the engines, and no window that would wait for a person.

#include "platform/gui/Application.h"
#include "report/core/frxClass.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "script/Interpreter.h"

// The harness's start-up, defined here for every report harness (each includes this once).
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    script::Startup();
    frx::Startup();
    // Load errors are shown in a message box, and a protected template asks for its password.
    SetMessageBoxHandler([](const std::string&, const std::string&, UINT) { return int(IDOK); });
    frxPasswordPrompt() = [](std::string&) { return false; };
    return 0;
}
