#include "report/output/frxExportXLSDialog.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportXLS.h"
#include "report/output/frxrcExports.h"

KAROMIL_IMPLEMENT_CLASS(TfrxXLSExportDialog, TfrxExportDialog)

TfrxXLSExportDialog::TfrxXLSExportDialog(TComponent* owner) : TfrxExportDialog(owner) {
    SetCaption("Export to Excel");
    SetClientWidth(261);
    SetClientHeight(305);

    CreatePageRange({117, 153, 149, 82, 229, 29});
    PageNumbersE->OnChange = [this](TObject* s) { PageNumbersEChange(s); };

    GroupQuality = Make<TGroupBox>(this, "GroupQuality", " Quality properties ", 4, 124, 253, 121);
    MergeCB = Make<TCheckBox>(GroupQuality, "MergeCB", "Merge cells", 12, 20, 113, 17);
    WCB = Make<TCheckBox>(GroupQuality, "WCB", "WYSIWYG", 12, 40, 113, 17);
    StylesCB = Make<TCheckBox>(GroupQuality, "StylesCB", "Styles", 12, 60, 113, 17);
    PicturesCB = Make<TCheckBox>(GroupQuality, "PicturesCB", "Pictures", 12, 80, 113, 17);
    AsTextCB = Make<TCheckBox>(GroupQuality, "AsTextCB", "As Text", 132, 20, 113, 17);
    BackgrCB = Make<TCheckBox>(GroupQuality, "BackgrCB", "Background", 132, 40, 113, 17);

    OpenExcelCB = Make<TCheckBox>(this, "OpenExcelCB", "Open Excel after export", 12, 250, 241, 17);
    CreateButtons(98, 178, 274);
    FormCreate(this);
}

void TfrxXLSExportDialog::FormCreate(TObject*) {
    frxRegisterExportTexts();
    frxGetResources()->LocalizeForm(this);
}

void TfrxXLSExportDialog::PageNumbersEChange(TObject*) { PageNumbersRB->SetChecked(true); }

TModalResult TfrxXLSExport::ShowModal() {
    auto dialog = std::make_unique<TfrxXLSExportDialog>(nullptr);
    dialog->StylesCB->SetChecked(ExportStyles);
    dialog->PicturesCB->SetChecked(ExportPictures);
    dialog->MergeCB->SetChecked(MergeCells);
    dialog->WCB->SetChecked(Wysiwyg);
    dialog->OpenExcelCB->SetChecked(OpenExcelAfterExport);
    dialog->AsTextCB->SetChecked(AsText);
    dialog->BackgrCB->SetChecked(Background);
    TModalResult result = dialog->ShowModal();
    if (result != mrOk) return result;
    dialog->GetPageRange(this);
    ExportStyles = dialog->StylesCB->GetChecked();
    ExportPictures = dialog->PicturesCB->GetChecked();
    MergeCells = dialog->MergeCB->GetChecked();
    Wysiwyg = dialog->WCB->GetChecked();
    OpenExcelAfterExport = dialog->OpenExcelCB->GetChecked();
    AsText = dialog->AsTextCB->GetChecked();
    Background = dialog->BackgrCB->GetChecked();
    if (!dialog->SaveDialog1->Execute()) return mrCancel;
    SetFileName(dialog->SaveDialog1->GetFileName());
    return result;
}
