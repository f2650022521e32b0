#pragma once
// Start-up timing for the start-up benchmark (bench/bench_startup.cpp): with
// KAROMIL_STARTUP_PROBE=<fd> in the environment, the first paint of a form's window is reported
// on that file descriptor and quit is called; without the variable nothing is watched.

#include <functional>

class TCustomForm;

// Call before the form is shown. An exception from quit goes to Application->HandleException.
void WatchStartupPaint(TCustomForm* form, std::function<void()> quit);
