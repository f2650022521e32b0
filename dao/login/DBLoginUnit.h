#pragma once
// The login dialog of the database component: asks for the user name, the password and the
// database password of the database it shows. A window of the forms layer, so it lives beside
// the database component in a target of its own (the component itself stays free of windows);
// InstallDbLoginDialog makes connecting use it.

#include <string>

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"

class TDbLogin : public TForm {
    KAROMIL_CLASS(TDbLogin, TForm)
public:
    explicit TDbLogin(TComponent* owner);

    TGroupBox* GroupBox1 = nullptr;
    TLabel* Label1 = nullptr;
    TStaticText* DatabaseName = nullptr;
    TBevel* Bevel1 = nullptr;
    TLabel* Label2 = nullptr;
    TEdit* Username = nullptr;
    TLabel* Label3 = nullptr;
    TEdit* Password = nullptr;
    TBevel* Bevel2 = nullptr;
    TLabel* Label4 = nullptr;
    TEdit* DbPassword = nullptr;
    TButton* Button1 = nullptr;
    TButton* Button2 = nullptr;
};

// Shows the dialog for database with userName filled in; true with the three texts replaced
// when the user pressed Ok, false (texts untouched) otherwise. The dialog is freed in any case.
bool ExecuteDbLogin(
    const std::string& database, std::string& userName, std::string& password, std::string& databasePassword);

// Makes connecting ask through TDbLogin and show its messages in a message box. The window
// layer calls it once at start-up.
void InstallDbLoginDialog();
