#pragma once
// The find dialog: the text to find, "search from top" and "case sensitive". The designer uses
// it for find and replace too (it shows ReplacePanel). The last confirmed text is shared by
// every instance and shown, selected, when the dialog opens again.

#include <string>

#include "platform/gui/Forms.h"

class TButton;
class TCheckBox;
class TEdit;
class TGroupBox;
class TLabel;
class TPanel;

class TfrxSearchDialog : public TForm {
    KAROMIL_CLASS(TfrxSearchDialog, TForm)
public:
    explicit TfrxSearchDialog(TComponent* owner);

    TPanel* Panel2;
    TLabel* TextL;
    TEdit* TextE;
    TPanel* ReplacePanel;
    TLabel* ReplaceL;
    TEdit* ReplaceE;
    TPanel* Panel3;
    TGroupBox* SearchL;
    TCheckBox* TopCB;
    TCheckBox* CaseCB;
    TButton* OkB;
    TButton* CancelB;
};

// The text of the last search confirmed with OK.
std::string& frxLastSearchText();
