#include "report/output/frxSearchDialog.h"

#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxRes.h"
#include "report/output/frxFormBuilder.h"

KAROMIL_IMPLEMENT_CLASS(TfrxSearchDialog, TForm)

std::string& frxLastSearchText() {
    static std::string text;
    return text;
}

TfrxSearchDialog::TfrxSearchDialog(TComponent* owner) : TForm(owner) {
    TFormLoader loader(this);
    SetName("frxSearchDialog");
    SetCaption("Find text");
    SetBorderStyle(bsDialog);
    TForm::SetPosition(poScreenCenter);
    GetFont()->SetName("Tahoma");
    GetFont()->SetSize(8);
    SetClientWidth(261);
    SetClientHeight(49 + 105);

    // Three rows stacked from the top: the text, the replacement (shown only when asked for),
    // the options with the buttons.
    using F = TfrxSearchDialog;
    constexpr TfrxField<F> form;
    constexpr auto text = frxField<&F::Panel2>, replace = frxField<&F::ReplacePanel>, options = frxField<&F::Panel3>;
    const TfrxControlRow<F> rows[] = {
        {text, "Panel2", form, {0, 0, 261, 49}, "", {}, alTop},
        {frxField<&F::TextL>, "TextL", text, {12, 6, 237, 13}, "Text to find"},
        {frxField<&F::TextE>, "TextE", text, {12, 22, 237, 21}},
        {replace, "ReplacePanel", form, {0, 49, 261, 52}, "", {}, alTop, false},
        {frxField<&F::ReplaceL>, "ReplaceL", replace, {12, 6, 237, 13}, "Replace with"},
        {frxField<&F::ReplaceE>, "ReplaceE", replace, {12, 22, 237, 21}},
        {options, "Panel3", form, {0, 200, 261, 105}, "", {}, alTop},
        {frxField<&F::SearchL>, "SearchL", options, {12, 2, 237, 62}, "Search options"},
        {frxField<&F::TopCB>, "TopCB", frxField<&F::SearchL>, {10, 18, 220, 17}, "Search from top"},
        {frxField<&F::CaseCB>, "CaseCB", frxField<&F::SearchL>, {10, 38, 220, 17}, "Case sensitive"},
        {frxField<&F::OkB>, "OkB", options, {92, 72, 75, 25}, "OK"},
        {frxField<&F::CancelB>, "CancelB", options, {174, 72, 75, 25}, "Cancel"},
    };
    frxBuildRows(loader, *this, rows);

    for (TPanel* p : {Panel2, ReplacePanel, Panel3}) p->SetBevelOuter(bvNone);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
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
    loader.Finish();

    frxGetResources()->LocalizeForm(this);
}
