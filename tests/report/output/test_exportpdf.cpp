// The PDF export filter: its texts and dialog, the option flow, writing into a stream or a
// file, and failures that leave no half-written file behind.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

#include "platform/gui/Dialogs.h"
#include "platform/gui/Shell.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxOptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxRes.h"
#include "report/output/frxExportPDF.h"
#include "report/output/frxPDFFile.h"
#include "tests/report/output/PdfTestUtil.h"

namespace {
class PdfExport : public ::testing::Test {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
    void TearDown() override {
        SetShowModalHook(nullptr);
        SetDialogHook(nullptr);
        SetShellLauncher(nullptr);
    }
    // One page with a Czech line, as the export loop would make it.
    void ExportOnePage(TfrxPDFExport& e) {
        ASSERT_TRUE(e.Start());
        e.StartPageGeometry(793.7013, 1122.5204, 10, 10, 0);
        TFont font;
        font.SetName("Arial");
        font.SetSize(10);
        TfrxPDFPage::TTextBox box;
        box.Width = 300, box.Height = 20;
        e.CurrentPage()->AddTextLines(&font, {"Žák: Jiří Novák"}, box);
        e.Finish();
    }
    std::string ReadFile(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};
}  // namespace

TEST_F(PdfExport, TextsAndLocalisedDialog) {
    TfrxPDFExport e(nullptr);
    EXPECT_EQ(e.GetDescription(), "Soubor PDF");
    EXPECT_EQ(frxGetResources()->Get("ProgressObjects"), "Exportování objektů");
    EXPECT_EQ(frxGetResources()->Get("NoSuchKey"), "NoSuchKey");
    TfrxPDFExportDialog d(nullptr);
    EXPECT_EQ(d.GetCaption(), "Export do PDF");
    struct Case {
        TControl* control;
        const char* text;
    };
    for (Case c : {Case{d.OkB, "OK"}, Case{d.CancelB, "Zrušit"}, Case{d.GroupPageRange, " Rozsah stránek "},
             Case{d.AllRB, "Vše"}, Case{d.CurPageRB, "Aktuální stránku"}, Case{d.PageNumbersRB, "Stránky:"},
             Case{d.GroupQuality, " Nastavení exportu "}, Case{d.CompressedCB, "Komprimováno"},
             Case{d.EmbeddedCB, "Vestavěná písma"}, Case{d.PrintOptCB, "Print optimized"}, Case{d.OutlineCB, "Outline"},
             Case{d.OpenCB, "Po exportu otevřít"}})
        EXPECT_EQ(c.control->GetText(), c.text);
    EXPECT_EQ(d.DescrL->GetText().rfind("Zadejte čísla stránek a/nebo", 0), 0u);
    EXPECT_EQ(d.SaveDialog1->GetFilter(), "Soubor Adobe PDF (*.pdf)|*.pdf");
    EXPECT_EQ(d.SaveDialog1->GetDefaultExt(), ".pdf");
}

TEST_F(PdfExport, DialogFlowSetsOptionsRangeAndFile) {
    TfrxReport report;
    report.GetPreviewOptions()->OutlineVisible = false;
    TfrxPDFExport e(nullptr);
    e.Report = &report;
    e.Outline = true;  // reset from the preview options: no visible outline, no bookmarks
    bool outlineEnabled = true;
    SetShowModalHook([&](TCustomForm* form) {
        auto* d = dynamic_cast<TfrxPDFExportDialog*>(form);
        ASSERT_NE(d, nullptr);
        outlineEnabled = d->OutlineCB->GetEnabled() || d->OutlineCB->GetChecked();
        d->PageNumbersE->SetText("1,3");
        d->PageNumbersRB->SetChecked(true);
        d->EmbeddedCB->SetChecked(true);
        d->CompressedCB->SetChecked(false);
        form->SetModalResult(mrOk);
    });
    SetDialogHook([](TDialogCall& call) {
        EXPECT_EQ(call.Kind, TDialogCall::dkSave);
        EXPECT_EQ(call.Filter, "Soubor Adobe PDF (*.pdf)|*.pdf");
        call.Accepted = true;
        call.Value = "/tmp/vysvedceni.pdf";
    });
    EXPECT_EQ(e.ShowModal(), mrOk);
    EXPECT_FALSE(outlineEnabled);
    EXPECT_FALSE(e.Outline);
    EXPECT_EQ(e.PageNumbers, "1,3");
    EXPECT_FALSE(e.CurrentPageOnly);
    EXPECT_TRUE(e.EmbeddedFonts);
    EXPECT_FALSE(e.Compressed);
    EXPECT_EQ(e.GetFileName(), "/tmp/vysvedceni.pdf");

    // Cancelling the save dialog cancels the export.
    SetDialogHook([](TDialogCall& call) { call.Accepted = false; });
    SetShowModalHook([](TCustomForm* form) { form->SetModalResult(mrOk); });
    EXPECT_EQ(e.ShowModal(), mrCancel);
}

TEST_F(PdfExport, StartNeedsAFileOrAStream) {
    TfrxPDFExport e(nullptr);
    EXPECT_FALSE(e.Start());
    EXPECT_EQ(e.Document(), nullptr);
}

TEST_F(PdfExport, TargetStreamGetsDocumentWithoutDialogOrOpening) {
    TfrxReport report;
    report.GetReportOptions()->Name = "Vysvědčení";
    TfrxPDFExport e(nullptr);
    e.Report = &report;
    TStringStream target;
    e.Stream = &target;
    e.OpenAfterExport = true;
    e.Author = "Škola";
    int opened = 0, shown = 0;
    SetShellLauncher([&](const std::string&) { return ++opened, true; });
    SetShowModalHook([&](TCustomForm* form) { ++shown, form->SetModalResult(mrCancel); });
    EXPECT_EQ(e.ShowModal(), mrOk);
    ExportOnePage(e);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(e.Document(), nullptr);  // freed after writing
    const std::string& doc = target.DataString();
    EXPECT_EQ(doc.substr(0, 8), "%PDF-1.3");
    TfrxPDFToolkit tk;
    EXPECT_NE(doc.find("/Author (" + tk.TextString("Škola") + ")"), std::string::npos);
    EXPECT_NE(doc.find("/Title (" + tk.TextString("Vysvědčení") + ")"), std::string::npos);
    EXPECT_NE(doc.find("/Subject (VuzoVaruza PDF export)"), std::string::npos);
    target.SetPosition(3);  // the stream stays usable: not closed
    EXPECT_EQ(target.Position(), 3);
}

TEST_F(PdfExport, FileWrittenAndOpenedAfterExport) {
    pdftest::TempDir dir;
    TfrxPDFExport e(nullptr);
    e.SetFileName(dir.File("karta.pdf"));
    e.OpenAfterExport = true;
    std::string opened;
    SetShellLauncher([&](const std::string& target) { return opened = target, true; });
    ExportOnePage(e);
    EXPECT_EQ(opened, dir.File("karta.pdf"));
    EXPECT_EQ(Trim(pdftest::Run("pdftotext " + dir.File("karta.pdf") + " -")), "Žák: Jiří Novák");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1);
}

TEST_F(PdfExport, FailedWriteLeavesNoHalfFile) {
    // Sound: a failure reaches the caller (the export loop reports it and answers False), no
    // partial file is left, an older file of that name survives, and nothing is opened.
    pdftest::TempDir dir;
    int opened = 0;
    SetShellLauncher([&](const std::string&) { return ++opened, true; });
    {
        TfrxPDFExport e(nullptr);
        e.SetFileName(dir.File("missing-folder/karta.pdf"));
        e.OpenAfterExport = true;
        EXPECT_THROW(ExportOnePage(e), Exception);
        EXPECT_EQ(e.Document(), nullptr);
    }
    {
        // A full disk, simulated by a file-size limit below the document's size.
        const std::string target = dir.File("karta.pdf");
        std::ofstream(target) << "older export";
        TfrxPDFExport e(nullptr);
        e.SetFileName(target);
        e.OpenAfterExport = true;
        e.Compressed = false;
        e.EmbeddedFonts = true;
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        auto restore = OnScopeExit([&] {
            setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, oldHandler);
        });
        EXPECT_THROW(ExportOnePage(e), EWriteError);
        setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_EQ(ReadFile(target), "older export");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path), {}), 1);
    }
    EXPECT_EQ(opened, 0);
}
