#pragma once
// The window that asks for a template's password when a protected template is loaded. The
// report core asks through its password prompt hook; frxInstallPasswordPrompt points that hook
// here.

#include "platform/gui/Forms.h"

class TButton;
class TEdit;
class TLabel;

class TfrxPasswordForm : public TForm {
    KAROMIL_CLASS(TfrxPasswordForm, TForm)
public:
    explicit TfrxPasswordForm(TComponent* owner);

    TLabel* PasswordL;
    TEdit* PasswordE;
    TButton* OkB;
    TButton* CancelB;
};

// Makes the report core ask for passwords with TfrxPasswordForm (owned by the application).
void frxInstallPasswordPrompt();
