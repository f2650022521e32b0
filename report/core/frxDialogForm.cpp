#include "report/core/frxDialogForm.h"

#include "platform/gui/Graphics.h"

KAROMIL_IMPLEMENT_CLASS(TfrxDialogForm, TForm)

TfrxDialogForm::TfrxDialogForm(TComponent* owner) : TForm(owner) {
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);
    SetColor(clBtnFace);
    SetKeyPreview(true);
    // Closed only through the dialog's own buttons until the page hands the question to the
    // report's script.
    OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
}
