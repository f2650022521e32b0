#pragma once
// The error box as the report core reaches it. The core reports the errors of a run or an
// export to the user, but showing a window is the output layer's work: the core declares the
// hook, and report/output sets it when it registers itself at start-up (frxRegisterPreview),
// as it sets the preview window. The core never includes report/output.

#include <functional>
#include <string>

// --- the hook --------------------------------------------------------------------------------
// Shows text in a modal error box. Unset while no output layer is registered; the errors then
// stay in the report's ErrorList, where every caller has put them first.
using TfrxErrorBox = std::function<void(const std::string& text)>;
TfrxErrorBox& frxErrorBoxHook();

// --- use -------------------------------------------------------------------------------------
// Shows text through the hook; nothing while it is unset.
void frxShowErrorBox(const std::string& text);
