#pragma once
// The program's start: the splash window, the process settings, and the four windows created
// at start-up in their order (main window, data module, subject window, message box window).

#include <functional>

// Shows the splash window for pause milliseconds, sets the date separator and the title,
// creates the start-up windows and frees the splash. An exception (no database ...) leaves it.
// The pause is a function so that tests need not wait.
void StartUp(const std::function<void()>& pause);
// The real pause: 1000 ms without handling messages.
void SplashPause();
// StartUp, then the message loop until the main window closes. Answers the exit code.
int RunKaromil();
