#include "report/output/frxExportXLSDialog.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportXLS.h"
#include "report/output/frxrcExports.h"

KAROMIL_IMPLEMENT_CLASS(TfrxXLSExportDialog, TForm)

namespace {

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name, const char* caption, int l, int t, int w, int h) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if (caption) c->SetCaption(caption);
    return c;
}

}  // namespace

TfrxXLSExportDialog::TfrxXLSExportDialog(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsDialog);
    SetCaption("Export to Excel");
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(261);
    SetClientHeight(305);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);

    GroupPageRange = Make<TGroupBox>(this, this, "GroupPageRange", " Page range  ", 4, 4, 253, 117);
    AllRB = Make<TRadioButton>(this, GroupPageRange, "AllRB", "All", 12, 20, 153, 17);
    AllRB->SetChecked(true);
    CurPageRB = Make<TRadioButton>(this, GroupPageRange, "CurPageRB", "Current page", 12, 40, 153, 17);
    PageNumbersRB = Make<TRadioButton>(this, GroupPageRange, "PageNumbersRB", "Pages:", 12, 60, 77, 17);
    PageNumbersE = Make<TEdit>(this, GroupPageRange, "PageNumbersE", nullptr, 92, 58, 149, 21);
    PageNumbersE->OnChange = [this](TObject* s) { PageNumbersEChange(s); };
    DescrL = Make<TLabel>(this, GroupPageRange, "DescrL",
        "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12", 12, 82, 229, 29);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);

    GroupQuality = Make<TGroupBox>(this, this, "GroupQuality", " Quality properties ", 4, 124, 253, 121);
    MergeCB = Make<TCheckBox>(this, GroupQuality, "MergeCB", "Merge cells", 12, 20, 113, 17);
    WCB = Make<TCheckBox>(this, GroupQuality, "WCB", "WYSIWYG", 12, 40, 113, 17);
    StylesCB = Make<TCheckBox>(this, GroupQuality, "StylesCB", "Styles", 12, 60, 113, 17);
    PicturesCB = Make<TCheckBox>(this, GroupQuality, "PicturesCB", "Pictures", 12, 80, 113, 17);
    AsTextCB = Make<TCheckBox>(this, GroupQuality, "AsTextCB", "As Text", 132, 20, 113, 17);
    BackgrCB = Make<TCheckBox>(this, GroupQuality, "BackgrCB", "Background", 132, 40, 113, 17);

    OpenExcelCB = Make<TCheckBox>(this, this, "OpenExcelCB", "Open Excel after export", 12, 250, 241, 17);
    OkB = Make<TButton>(this, this, "OkB", "OK", 98, 274, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = Make<TButton>(this, this, "CancelB", "Cancel", 178, 274, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
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
    CurrentPageOnly = dialog->CurPageRB->GetChecked();
    PageNumbers = dialog->PageNumbersRB->GetChecked() ? dialog->PageNumbersE->GetText() : std::string();
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
