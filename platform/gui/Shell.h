#pragma once
// The shell's default action and the beep. "open" starts the desktop's handler (xdg-open) only
// for an existing file or an http, https or mailto address; anything else is refused. Tests
// replace the launcher and count beeps.

#include <functional>
#include <string>

#include "platform/gui/Messages.h"

enum : int { SE_ERR_FNF = 2, SE_ERR_ACCESSDENIED = 5, SE_ERR_NOASSOC = 31 };

// Answers a value above 32 on success, an SE_ERR_* code otherwise.
intptr_t ShellExecute(HWND window, const std::string& operation, const std::string& file,
    const std::string& parameters = "", const std::string& directory = "", int showCmd = 1);
// The allow-list on its own: an existing file, or an http/https/mailto address.
bool ShellMayOpen(const std::string& target);

using TShellLauncher = std::function<bool(const std::string& target)>;
void SetShellLauncher(TShellLauncher launcher);  // empty restores xdg-open

bool MessageBeep(UINT type);
using TBeepHandler = std::function<void(UINT type)>;
void SetBeepHandler(TBeepHandler handler);  // empty restores the real beep
