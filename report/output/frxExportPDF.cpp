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

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPDFExport, TfrxCustomExportFilter)
KAROMIL_IMPLEMENT_CLASS(TfrxPDFExportDialog, TfrxExportDialog)

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
    dialog.GetPageRange(this);
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

TfrxPDFExportDialog::TfrxPDFExportDialog(TComponent* owner) : TfrxExportDialog(owner) {
    SetName("frxPDFExportDialog");
    SetCaption("Export to PDF");
    SetClientWidth(261);
    SetClientHeight(300);

    CreatePageRange({133, 233, 153, 84, 233, 42});

    GroupQuality = Make<TGroupBox>(this, "GroupQuality", " Export settings ", 4, 140, 253, 97);
    CompressedCB = Make<TCheckBox>(GroupQuality, "CompressedCB", "Compressed", 12, 20, 233, 17);
    EmbeddedCB = Make<TCheckBox>(GroupQuality, "EmbeddedCB", "Embedded fonts", 12, 38, 233, 17);
    PrintOptCB = Make<TCheckBox>(GroupQuality, "PrintOptCB", "Print optimized", 12, 56, 233, 17);
    OutlineCB = Make<TCheckBox>(GroupQuality, "OutlineCB", "Outline", 12, 74, 233, 17);
    OpenCB = Make<TCheckBox>(this, "OpenCB", "Open after export", 16, 242, 233, 17);

    CreateButtons(96, 180, 268);
    FormCreate(this);
}

void TfrxPDFExportDialog::FormCreate(TObject*) {
    EnsureTexts();
    frxGetResources()->LocalizeForm(this);
}
