#pragma once
// Script bindings of the common dialogs and of the message, input-box and input-query
// functions. Registered once into the global unit, stamped with the binding object, after the
// basic classes' binding (ClassBindings.h), whose TComponent the dialogs descend from.
//
//   TCommonDialog        Execute (TOpenDialog, TSaveDialog, TColorDialog, TFontDialog,
//                        TPrintDialog, TPrinterSetupDialog: their published properties)
//   MessageDlg(Msg, DlgType, Buttons, HelpCtx): Integer   a modal result (mrYes = 6 ...)
//   InputBox(ACaption, APrompt, ADefault): string         ADefault when cancelled
//   InputQuery(ACaption, APrompt, var Value): Boolean     Value untouched when cancelled
//
// A set argument (Buttons) is its bit mask or a set constructor ([mbYes, mbNo]).
// While the binding runs, the built-in ShowMessage shows the window layer's message box.
// Everything here goes through the window layer's dialog hook (Dialogs.h), which tests set.

#include <string>

#include "script/Interpreter.h"

class TfsDialogsRTTI {
public:
    TfsDialogsRTTI();
    ~TfsDialogsRTTI();
    TfsDialogsRTTI(const TfsDialogsRTTI&) = delete;
    TfsDialogsRTTI& operator=(const TfsDialogsRTTI&) = delete;
};

// After fsStartClassesRTTI; stopped before fsStopClassesRTTI.
void fsStartDialogsRTTI();
void fsStopDialogsRTTI();
