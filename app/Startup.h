#pragma once
// The program's start: the splash window, the process settings, and the four windows created
// at start-up in their order (main window, data module, subject window, message box window).

#include <functional>
#include <string>

class TForm;

// Shows the splash window, painted, then calls pause with it; sets the date separator and the
// title, creates the start-up windows and frees the splash. Says at once when the database
// cannot be written. An exception (no database ...) leaves it. The pause is a function so that
// tests need not wait (nullptr: none).
void StartUp(const std::function<void(TForm* splash)>& pause);
// The real pause: 1000 ms without handling messages.
void SplashPause(TForm* splash);
// StartUp, then the message loop until the main window closes. Answers the exit code: 0, or 1
// when the program could not start (said in a message box first).
int RunKaromil();
// Starts as RunKaromil does but returns instead of running the message loop (tests): 0 when
// the program is up, 1 when it could not start and said why.
int StartKaromil(const std::function<void(TForm* splash)>& pause);
// The message box text for an error that stopped the start.
std::string StartupFailureText(const std::string& error);
// Whether the database file (or its folder, where the engine writes its journal) cannot be
// written.
bool DatabaseIsReadOnly(const std::string& file);
