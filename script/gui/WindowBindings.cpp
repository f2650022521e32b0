#include "script/gui/WindowBindings.h"

#include "script/Interpreter.h"
#include "script/gui/DialogBindings.h"
#include "script/gui/FormBindings.h"
#include "script/gui/GraphicsBindings.h"

void fsUseWindowBindings() {
    // In the order they always started in; they stop in reverse.
    script::AddBindingUnit(fsStartGraphicsRTTI, fsStopGraphicsRTTI);
    script::AddBindingUnit(fsStartFormsRTTI, fsStopFormsRTTI);
    script::AddBindingUnit(fsStartDialogsRTTI, fsStopDialogsRTTI);
}
