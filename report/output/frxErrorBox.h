#pragma once
// The report library's error box: a modal message box captioned with the localised "mbError"
// text. The output windows call it directly; the report core reaches it through its hook
// (report/core/frxErrorBoxHook.h), which frxRegisterErrorBox sets.
//
// Window thread only, like every modal box.

#include <string>

// --- showing ---------------------------------------------------------------------------------
void frxErrorMsg(const std::string& text);

// --- registration ----------------------------------------------------------------------------
// Lets the report core show its errors in this box; done by frxRegisterPreview at start-up.
void frxRegisterErrorBox();
