#include "report/output/frxSearchDialog.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_CLASS(TfrxSearchDialog, TForm)

std::string& frxLastSearchText() {
    static std::string text;
    return text;
}

namespace {
template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name) {
    auto* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}
}  // namespace

TfrxSearchDialog::TfrxSearchDialog(TComponent* owner) : TForm(owner) {
    SetName("frxSearchDialog");
    SetCaption("Find text");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    SetClientWidth(261);
    SetClientHeight(49 + 105);

    Panel2 = Make<TPanel>(this, this, "Panel2");
    Panel2->SetAlign(alTop);
    Panel2->SetHeight(49);
    Panel2->SetBevelOuter(bvNone);
    Panel2->SetCaption("");
    TextL = Make<TLabel>(this, Panel2, "TextL");
    TextL->SetBounds(12, 6, 237, 13);
    TextL->SetCaption("Text to find");
    TextE = Make<TEdit>(this, Panel2, "TextE");
    TextE->SetBounds(12, 22, 237, 21);

    ReplacePanel = Make<TPanel>(this, this, "ReplacePanel");
    ReplacePanel->SetAlign(alTop);
    ReplacePanel->SetTop(49);
    ReplacePanel->SetHeight(52);
    ReplacePanel->SetBevelOuter(bvNone);
    ReplacePanel->SetCaption("");
    ReplacePanel->SetVisible(false);
    ReplaceL = Make<TLabel>(this, ReplacePanel, "ReplaceL");
    ReplaceL->SetBounds(12, 6, 237, 13);
    ReplaceL->SetCaption("Replace with");
    ReplaceE = Make<TEdit>(this, ReplacePanel, "ReplaceE");
    ReplaceE->SetBounds(12, 22, 237, 21);

    Panel3 = Make<TPanel>(this, this, "Panel3");
    Panel3->SetAlign(alTop);
    Panel3->SetTop(200);
    Panel3->SetHeight(105);
    Panel3->SetBevelOuter(bvNone);
    Panel3->SetCaption("");
    SearchL = Make<TGroupBox>(this, Panel3, "SearchL");
    SearchL->SetBounds(12, 2, 237, 62);
    SearchL->SetCaption("Search options");
    TopCB = Make<TCheckBox>(this, SearchL, "TopCB");
    TopCB->SetBounds(10, 18, 220, 17);
    TopCB->SetCaption("Search from top");
    CaseCB = Make<TCheckBox>(this, SearchL, "CaseCB");
    CaseCB->SetBounds(10, 38, 220, 17);
    CaseCB->SetCaption("Case sensitive");
    OkB = Make<TButton>(this, Panel3, "OkB");
    OkB->SetBounds(92, 72, 75, 25);
    OkB->SetCaption("OK");
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = Make<TButton>(this, Panel3, "CancelB");
    CancelB->SetBounds(174, 72, 75, 25);
    CancelB->SetCaption("Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    OnShow = [this](TObject*) {
        // The replace line only shows when asked for; the window keeps its height to its rows.
        SetClientHeight(49 + (ReplacePanel->GetVisible() ? 52 : 0) + 105);
        TextE->SetText(frxLastSearchText());
        if (TextE->CanFocus()) TextE->SetFocus();
        TextE->SelectAll();
    };
    OnHide = [this](TObject*) {
        if (GetModalResult() == mrOk) frxLastSearchText() = TextE->GetText();
    };
    frxGetResources()->LocalizeForm(this);
}
