#include "report/output/frxExportDialog.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxPlugins.h"

KAROMIL_IMPLEMENT_CLASS(TfrxExportDialog, TForm)

TfrxExportDialog::TfrxExportDialog(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);
}

void TfrxExportDialog::CreatePageRange(const TPageRangeLayout& layout) {
    GroupPageRange = Make<TGroupBox>(this, "GroupPageRange", " Page range  ", 4, 4, 253, layout.GroupHeight);
    AllRB = Make<TRadioButton>(GroupPageRange, "AllRB", "All", 12, 20, layout.ChoiceWidth, 17);
    AllRB->SetChecked(true);
    CurPageRB = Make<TRadioButton>(GroupPageRange, "CurPageRB", "Current page", 12, 40, layout.ChoiceWidth, 17);
    PageNumbersRB = Make<TRadioButton>(GroupPageRange, "PageNumbersRB", "Pages:", 12, 60, 77, 17);
    PageNumbersE = Make<TEdit>(GroupPageRange, "PageNumbersE", nullptr, 92, 58, layout.EditWidth, 21);
    DescrL = Make<TLabel>(GroupPageRange, "DescrL",
        "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12", 12, layout.DescrTop,
        layout.DescrWidth, layout.DescrHeight);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);
}

void TfrxExportDialog::CreateButtons(int okLeft, int cancelLeft, int top) {
    OkB = Make<TButton>(this, "OkB", "OK", okLeft, top, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = Make<TButton>(this, "CancelB", "Cancel", cancelLeft, top, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
}

void TfrxExportDialog::GetPageRange(TfrxCustomExportFilter* filter) const {
    filter->CurrentPageOnly = CurPageRB->GetChecked();
    filter->PageNumbers = PageNumbersRB->GetChecked() ? PageNumbersE->GetText() : std::string();
}
