// The PDF export filter and its options dialog.

#include "report/output/frxExportPDF.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Shell.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/core/frxSafeSave.h"
#include "report/output/frxPDFFile.h"
#include "report/output/frxrcExports.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TfrxPDFExport, TfrxCustomExportFilter, {
    p.Prop("Compressed", &Self::Compressed).Default(1);
    p.Prop("EmbeddedFonts", &Self::EmbeddedFonts).Default(0);
    p.Prop("OpenAfterExport", &Self::OpenAfterExport).Default(0);
    p.Prop("PrintOptimized", &Self::PrintOptimized);  // always stored
    p.Prop("Outline", &Self::Outline);  // always stored
    p.Prop("Author", &Self::Author);
    p.Prop("Subject", &Self::Subject);
})
KAROMIL_IMPLEMENT_CLASS(TfrxPDFExportDialog, TForm)

namespace {
void EnsureTexts() {
    static bool done = false;
    if (!done) {
        done = true;
        frxRegisterExportTexts();
    }
}
}  // namespace

TfrxPDFExport::TfrxPDFExport(TComponent* owner) : TfrxCustomExportFilter(owner) { EnsureTexts(); }

TfrxPDFExport::~TfrxPDFExport() = default;

std::string TfrxPDFExport::GetDescription() const {
    EnsureTexts();
    return frxGetResources()->Get("PDFexport");
}

TModalResult TfrxPDFExport::ShowModal() {
    if (Stream) return mrOk;
    Outline = Report && Report->GetPreviewOptions()->OutlineVisible;
    TfrxPDFExportDialog dialog(nullptr);
    dialog.OpenCB->SetChecked(OpenAfterExport);
    dialog.CompressedCB->SetChecked(Compressed);
    dialog.EmbeddedCB->SetChecked(EmbeddedFonts);
    dialog.PrintOptCB->SetChecked(PrintOptimized);
    dialog.OutlineCB->SetChecked(Outline);
    dialog.OutlineCB->SetEnabled(Outline);
    TModalResult result = dialog.ShowModal();
    if (result != mrOk) return result;
    PageNumbers.clear();
    CurrentPageOnly = false;
    if (dialog.CurPageRB->GetChecked()) CurrentPageOnly = true;
    else if (dialog.PageNumbersRB->GetChecked()) PageNumbers = dialog.PageNumbersE->GetText();
    OpenAfterExport = dialog.OpenCB->GetChecked();
    Compressed = dialog.CompressedCB->GetChecked();
    EmbeddedFonts = dialog.EmbeddedCB->GetChecked();
    PrintOptimized = dialog.PrintOptCB->GetChecked();
    Outline = dialog.OutlineCB->GetChecked();
    if (dialog.SaveDialog1->Execute()) SetFileName(dialog.SaveDialog1->GetFileName());
    else result = mrCancel;
    return result;
}

bool TfrxPDFExport::Start() {
    if (GetFileName().empty() && !Stream) return false;
    FPDF = std::make_unique<TfrxPDFFile>();
    FPage = nullptr;
    FPDF->Compressed = Compressed;
    FPDF->EmbeddedFonts = EmbeddedFonts;
    FPDF->PrintOptimized = PrintOptimized;
    FPDF->Outline = Outline;
    if (!Author.empty()) FPDF->Author = Author;
    if (!Subject.empty()) FPDF->Subject = Subject;
    if (Outline && Report && Report->PreviewPages()) FPDF->OutlineTree = Report->PreviewPages()->Outline.get();
    return true;
}

void TfrxPDFExport::StartPageGeometry(double width, double height, double leftMargin, double topMargin, int index) {
    FPage = FPDF->AddPage(width, height, leftMargin, topMargin, index);
}

void TfrxPDFExport::Finish() {
    if (!FPDF) return;
    auto freeDocument = OnScopeExit([this] {
        FPDF.reset();
        FPage = nullptr;
    });
    if (Report) FPDF->Title = Report->GetReportOptions()->Name;
    if (Stream) {
        FPDF->SaveToStream(Stream);
        return;
    }
    // Sound: the file is written under a temporary name and takes the target's name only when
    // complete; a failure removes it, keeps an older file of that name, opens nothing and
    // reaches the export loop, which reports it (to the error list, or shown) and answers
    // False, instead of leaving half a file and counting the export as done.
    frxSaveFileSafely(GetFileName(), [this](TStream* out) { FPDF->SaveToStream(out); });
    if (OpenAfterExport) ShellExecute(nullptr, "open", GetFileName());
}

// --- dialog

namespace {
template <class T>
T* Make(
    TfrxPDFExportDialog* form, TWinControl* parent, const char* name, const char* caption, int l, int t, int w, int h) {
    T* c = new T(form);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if (caption) c->SetCaption(caption);
    return c;
}
}  // namespace

TfrxPDFExportDialog::TfrxPDFExportDialog(TComponent* owner) : TForm(owner) {
    SetName("frxPDFExportDialog");
    SetCaption("Export to PDF");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    GetFont()->SetName("Tahoma");
    GetFont()->SetHeight(-11);
    SetClientWidth(261);
    SetClientHeight(300);

    GroupPageRange = Make<TGroupBox>(this, this, "GroupPageRange", " Page range  ", 4, 4, 253, 133);
    AllRB = Make<TRadioButton>(this, GroupPageRange, "AllRB", "All", 12, 20, 233, 17);
    AllRB->SetChecked(true);
    CurPageRB = Make<TRadioButton>(this, GroupPageRange, "CurPageRB", "Current page", 12, 40, 233, 17);
    PageNumbersRB = Make<TRadioButton>(this, GroupPageRange, "PageNumbersRB", "Pages:", 12, 60, 77, 17);
    PageNumbersE = Make<TEdit>(this, GroupPageRange, "PageNumbersE", nullptr, 92, 58, 153, 21);
    DescrL = Make<TLabel>(this, GroupPageRange, "DescrL",
        "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12", 12, 84, 233, 42);
    DescrL->SetAutoSize(false);
    DescrL->SetWordWrap(true);

    GroupQuality = Make<TGroupBox>(this, this, "GroupQuality", " Export settings ", 4, 140, 253, 97);
    CompressedCB = Make<TCheckBox>(this, GroupQuality, "CompressedCB", "Compressed", 12, 20, 233, 17);
    EmbeddedCB = Make<TCheckBox>(this, GroupQuality, "EmbeddedCB", "Embedded fonts", 12, 38, 233, 17);
    PrintOptCB = Make<TCheckBox>(this, GroupQuality, "PrintOptCB", "Print optimized", 12, 56, 233, 17);
    OutlineCB = Make<TCheckBox>(this, GroupQuality, "OutlineCB", "Outline", 12, 74, 233, 17);
    OpenCB = Make<TCheckBox>(this, this, "OpenCB", "Open after export", 16, 242, 233, 17);

    OkB = Make<TButton>(this, this, "OkB", "OK", 96, 268, 75, 25);
    OkB->SetDefault(true);
    OkB->SetModalResult(mrOk);
    CancelB = Make<TButton>(this, this, "CancelB", "Cancel", 180, 268, 75, 25);
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);

    SaveDialog1 = new TSaveDialog(this);
    SaveDialog1->SetName("SaveDialog1");
    FormCreate(this);
}

void TfrxPDFExportDialog::FormCreate(TObject*) {
    EnsureTexts();
    frxGetResources()->LocalizeForm(this);
}
