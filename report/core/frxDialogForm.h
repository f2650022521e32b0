#pragma once
// TfrxDialogForm: the window of a dialog page. Its own defaults are those of a dialog page's
// window: "Tahoma" 8 pt, button-face colour, key preview on, and a close-query handler that
// refuses to close until the page routes that event to the report's script.

#include "platform/gui/Forms.h"

class TfrxDialogForm : public TForm {
    KAROMIL_CLASS(TfrxDialogForm, TForm)
public:
    explicit TfrxDialogForm(TComponent* owner);
};
