#pragma once
// The built-in function library and the constants every script sees through the global
// unit: conversions, formatting, dates, strings, mathematics and a few others.

#include <functional>
#include <string>

#include "script/Interpreter.h"

// Where ShowMessage shows its text. The window layer installs its message box; until then
// the text goes to standard error. An empty handler restores that default.
void fsSetShowMessageHandler(std::function<void(const std::string&)> handler);

// The library object: registers its functions and constants into the global unit when
// created, stamped with itself, and removes them when destroyed (if the unit still exists).
class TFunctions {
public:
    TFunctions();
    ~TFunctions();
    TFunctions(const TFunctions&) = delete;
    TFunctions& operator=(const TFunctions&) = delete;
};
