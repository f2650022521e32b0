#pragma once
// TfrxPDFExport: the export filter that writes the prepared pages of a report as a PDF file
// through the PDF writer, and TfrxPDFExportDialog, its options window.
//
// The export loop of the prepared pages drives it: ShowModal (unless a target stream is set or
// ShowDialog is off), Start, then per page StartPage, ExportObject for each object and
// FinishPage, and Finish, which writes the document.

#include <memory>
#include <string>

#include "report/core/frxPlugins.h"
#include "report/output/frxExportDialog.h"

class TCheckBox;
class TGroupBox;
class TStream;
class TfrxPDFFile;
class TfrxPDFPage;
class TfrxView;

class TfrxPDFExport : public TfrxCustomExportFilter {
    KAROMIL_CLASS(TfrxPDFExport, TfrxCustomExportFilter)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Compressed).Default(1);
        KAROMIL_PROP_MEMBER(EmbeddedFonts).Default(0);
        KAROMIL_PROP_MEMBER(OpenAfterExport).Default(0);
        KAROMIL_PROP_MEMBER(PrintOptimized);  // always stored
        KAROMIL_PROP_MEMBER(Outline);  // always stored
        KAROMIL_PROP_MEMBER(Author);
        KAROMIL_PROP_MEMBER(Subject);
    })
public:
    explicit TfrxPDFExport(TComponent* owner);
    ~TfrxPDFExport() override;

    bool Compressed = true;
    bool EmbeddedFonts = false;
    bool OpenAfterExport = false;
    bool PrintOptimized = false;
    bool Outline = false;
    std::string Author;  // empty: the writer's default
    std::string Subject;  // empty: the writer's default
    // When set, the document goes into this stream (not owned) and no dialog is shown.
    TStream* Stream = nullptr;

    std::string GetDescription() const override;
    TModalResult ShowModal() override;
    bool Start() override;
    void StartPage(TfrxReportPage* page, int index) override;
    void ExportObject(TfrxComponent* obj) override;
    void Finish() override;

    // The document of the running export (nil outside one); tests look into it.
    TfrxPDFFile* Document() const noexcept { return FPDF.get(); }
    TfrxPDFPage* CurrentPage() const noexcept { return FPage; }
    // Adds a page of the given geometry (report pixels, margins in millimetres) as StartPage
    // does for a report page.
    void StartPageGeometry(double width, double height, double leftMargin, double topMargin, int index);

private:
    std::unique_ptr<TfrxPDFFile> FPDF;
    TfrxPDFPage* FPage = nullptr;
};

class TfrxPDFExportDialog : public TfrxExportDialog {
    KAROMIL_CLASS(TfrxPDFExportDialog, TfrxExportDialog)
public:
    explicit TfrxPDFExportDialog(TComponent* owner);

    TGroupBox* GroupQuality;
    TCheckBox* CompressedCB;
    TCheckBox* EmbeddedCB;
    TCheckBox* PrintOptCB;
    TCheckBox* OutlineCB;
    TCheckBox* OpenCB;

    void FormCreate(TObject* sender);
};
