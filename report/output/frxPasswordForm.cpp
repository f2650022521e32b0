#include "report/output/frxPasswordForm.h"

#include <memory>

#include "platform/gui/Application.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxOptions.h"
#include "report/core/frxRes.h"
#include "report/output/frxOutputTexts.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPasswordForm, TForm)

TfrxPasswordForm::TfrxPasswordForm(TComponent* owner) : TForm(owner) {
    SetName("frxPasswordForm");
    SetCaption("Password");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poDesktopCenter);
    SetClientWidth(249);
    SetClientHeight(99);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    PasswordL = new TLabel(this);
    PasswordL->SetName("PasswordL");
    PasswordL->SetParent(this);
    PasswordL->SetAutoSize(false);
    PasswordL->SetBounds(4, 8, 241, 13);
    PasswordL->SetCaption("Enter the password:");

    PasswordE = new TEdit(this);
    PasswordE->SetName("PasswordE");
    PasswordE->SetParent(this);
    PasswordE->SetBounds(4, 28, 241, 21);
    PasswordE->SetPasswordChar(U'*');

    OkB = new TButton(this);
    OkB->SetName("OkB");
    OkB->SetParent(this);
    OkB->SetBounds(90, 66, 75, 25);
    OkB->SetCaption("OK");
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);

    CancelB = new TButton(this);
    CancelB->SetName("CancelB");
    CancelB->SetParent(this);
    CancelB->SetBounds(170, 66, 75, 25);
    CancelB->SetCaption("Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    OnShow = [this](TObject*) {
        if (PasswordE->CanFocus()) PasswordE->SetFocus();
    };
    // FormCreate: the localised texts.
    frxRegisterOutputTexts();
    frxGetResources()->LocalizeForm(this);
}

void frxInstallPasswordPrompt() {
    frxPasswordPrompt() = [](std::string& typed) {
        auto form = std::make_unique<TfrxPasswordForm>(Application);
        if (form->ShowModal() != mrOk) return false;
        typed = form->PasswordE->GetText();
        return true;
    };
}
