// The report library's error box, and the core's hook to it.

#include "report/output/frxErrorBox.h"

#include "platform/gui/Application.h"
#include "report/core/frxErrorBoxHook.h"
#include "report/core/frxRes.h"

void frxErrorMsg(const std::string& text) {
    Application->MessageBox(text, frxGetResources()->Get("mbError"), MB_OK | MB_ICONERROR);
}

void frxRegisterErrorBox() { frxErrorBoxHook() = frxErrorMsg; }
