#include "dao/login/DBLoginUnit.h"

#include <memory>

#include "dao/KDaoDatabase.h"
#include "platform/gui/Dialogs.h"

KAROMIL_IMPLEMENT_CLASS(TDbLogin, TForm)

TDbLogin::TDbLogin(TComponent* owner) : TForm(owner) {
    TFormLoader l(this);
    SetName("DbLogin");
    SetCaption("Database Login");
    SetBorderStyle(bsDialog);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    SetClientWidth(375);
    SetClientHeight(180);
    SetPosition(poScreenCenter);
    GetFont()->SetName("MS Sans Serif");
    GetFont()->SetHeight(-11);

    GroupBox1 = l.Add<TGroupBox>("GroupBox1", this);
    GroupBox1->SetBounds(8, 1, 361, 169);
    auto label = [&](const char* name, const char* caption, int x, int y) {
        TLabel* c = l.Add<TLabel>(name, GroupBox1);
        c->SetLeft(x);
        c->SetTop(y);
        c->SetCaption(caption);
        return c;
    };
    auto edit = [&](const char* name, int y, int tabOrder, bool secret) {
        TEdit* e = l.Add<TEdit>(name, GroupBox1);
        e->SetBounds(118, y, 232, 21);
        e->SetTabOrder(tabOrder);
        if (secret) e->SetPasswordChar(U'*');
        return e;
    };
    auto bevel = [&](const char* name, int y) {
        TBevel* b = l.Add<TBevel>(name, GroupBox1);
        b->SetBounds(2, y, 357, 9);
        b->SetShape(bsTopLine);
        return b;
    };
    Label1 = label("Label1", "Database ................:", 13, 13);
    DatabaseName = l.Add<TStaticText>("DatabaseName", GroupBox1);
    DatabaseName->SetBounds(120, 13, 229, 17);
    DatabaseName->SetTabOrder(3);
    Bevel1 = bevel("Bevel1", 34);
    Label2 = label("Label2", "&User Name .............:", 13, 48);
    Username = edit("Username", 44, 0, false);
    Label2->SetFocusControl(Username);
    Label3 = label("Label3", "&Password ...............:", 13, 77);
    Password = edit("Password", 73, 1, true);
    Label3->SetFocusControl(Password);
    Bevel2 = bevel("Bevel2", 103);
    Label4 = label("Label4", "&Database Password:", 13, 116);
    DbPassword = edit("DbPassword", 112, 2, true);
    Label4->SetFocusControl(DbPassword);
    auto button = [&](const char* name, const char* caption, int x, int tabOrder, TModalResult result) {
        TButton* b = l.Add<TButton>(name, GroupBox1);
        b->SetBounds(x, 138, 75, 25);
        b->SetCaption(caption);
        b->SetTabOrder(tabOrder);
        b->SetModalResult(result);
        return b;
    };
    Button1 = button("Button1", "Ok", 197, 4, mrOk);
    Button1->SetDefault(true);
    Button2 = button("Button2", "Cancel", 276, 5, mrCancel);
    Button2->SetCancel(true);
    // The platform focuses a control only on a window that shows.
    OnShow = [this](TObject*) { SetActiveControl(Username); };
    l.Finish();
}

bool ExecuteDbLogin(
    const std::string& database, std::string& userName, std::string& password, std::string& databasePassword) {
    auto dialog = std::make_unique<TDbLogin>(nullptr);
    dialog->Username->SetText(userName);
    dialog->Password->SetText("");
    dialog->DbPassword->SetText("");
    dialog->DatabaseName->SetCaption(database);
    if (dialog->ShowModal() != mrOk) return false;
    userName = dialog->Username->GetText();
    password = dialog->Password->GetText();
    databasePassword = dialog->DbPassword->GetText();
    return true;
}

void InstallDbLoginDialog() {
    TDbLoginHooks::Ask = ExecuteDbLogin;
    TDbLoginHooks::ShowMessage = [](const std::string& text) { ShowMessage(text); };
}
