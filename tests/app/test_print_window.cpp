// The print window: its lines show the card's templates, a choice holds only in the window,
// and a template that cannot be loaded is said to the user instead of printing an empty report.

#include "app/UFTisk.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"
#include "report/core/frxWindowPlugins.h"
#include "report/designer/frxDesgn.h"
#include "report/designer/frxDesignerOptions.h"
#include "report/output/frxExportPDF.h"
#include "report/output/frxExportXLS.h"
#include "tests/app/CardFixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <map>

namespace apptest {
namespace {

TEST_F(PrintWindowTest, LinesShowTheCardsTemplatesAndAChoiceStaysInTheWindow) {
    Start();
    SetDialogHook([&](TDialogCall& call) {
        EXPECT_EQ(call.Value, "*.fr3");
        call.Accepted = true;
        call.Value = Folder + "/jiny.fr3";
    });
    InPrintWindow([&](TFTisk* f) {
        EXPECT_EQ(f->FormularFront->GetText(), "vysvedceni-predni.fr3");
        EXPECT_EQ(f->FormularBack->GetText(), "vysvedceni-zadni.fr3");
        EXPECT_EQ(f->FormularOpisFront->GetText(), "opis-predni.fr3");
        EXPECT_EQ(f->FormularOPISBack->GetText(), "chybi/opis-zadni.fr3");
        Press(f->bLoad);
        EXPECT_EQ(f->FormularFront->GetText(), Folder + "/jiny.fr3");
    });
    EXPECT_EQ(TOtherConnection(DbFile).Value("SELECT ReportFront FROM vysvedceni"), "vysvedceni-predni.fr3");
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Folder));
}

TEST_F(PrintWindowTest, OnASmallScreenTheWindowFitsWithoutAHorizontalBar) {
    Start();
    auto restore = OnScopeExit([] { Screen->SetWorkArea(TRect{}); });
    struct Case {
        TRect work;
        bool designed;  // the designed layout: buttons of 220 at 16, 250, 484, 718
    } cases[] = {{Rect(0, 0, 800, 600), false}, {Rect(0, 0, 1920, 1080), true}};
    for (const Case& k : cases) {
        Screen->SetWorkArea(k.work);
        InPrintWindow([&](TFTisk* f) {
            TestKit::ProcessEvents();
            EXPECT_LE(f->GetBoundsRect().Right, k.work.Right) << k.work.Right;
            EXPECT_FALSE(f->GetHorzScrollBar()->IsScrollBarVisible()) << k.work.Right;
            const int client = f->GetClientWidth();
            for (TControl* c : {(TControl*)f->GroupBox1, (TControl*)f->GroupBox2, (TControl*)f->bStorno}) {
                EXPECT_GE(c->GetLeft(), 8) << c->GetName() << " at " << k.work.Right;
                EXPECT_LE(c->GetLeft() + c->GetWidth(), client) << c->GetName() << " at " << k.work.Right;
            }
            // The buttons of a line stand inside their group, side by side, wide enough for
            // their captions.
            for (TBitBtn* b : {f->bPrint, f->bPreview, f->bModify, f->bLoad}) {
                EXPECT_LE(b->GetLeft() + b->GetWidth(), f->GroupBox1->GetClientWidth()) << b->GetName();
                EXPECT_GE(b->GetWidth(), 160) << b->GetName();
            }
            EXPECT_LT(f->bPreview->GetLeft(), f->bModify->GetLeft());
            if (k.designed) {
                EXPECT_EQ(f->bPreview->GetLeft(), 250);
                EXPECT_EQ(f->bLoad->GetLeft(), 718);
                EXPECT_EQ(f->bLoad->GetWidth(), 219);
                EXPECT_EQ(f->FormularFront->GetWidth(), 921);
                EXPECT_EQ(f->bStorno->GetLeft(), 733);
            }
        });
    }
}

TEST_F(PrintWindowTest, RelativeTemplatesAreFoundBesideTheDatabaseNotTheCurrentFolder) {
    Start();
    std::filesystem::create_directory(Folder + "/jinde");
    std::filesystem::current_path(Folder + "/jinde");
    EXPECT_EQ(TFTisk::TemplatePath("x.fr3"), ProgramDir() + "x.fr3");
    std::ofstream(Folder + "/x.fr3") << "";
    EXPECT_EQ(TFTisk::TemplatePath(" x.fr3 "), Folder + "/x.fr3");
    EXPECT_EQ(TFTisk::TemplatePath("/abs/y.fr3"), "/abs/y.fr3");
    std::filesystem::current_path(Folder);
}

TEST_F(PrintWindowTest, AMissingTemplateIsSaidAndNothingIsPrepared) {
    Start();
    std::vector<std::string> said;
    TModalScript boxes;
    for (int i = 0; i < 3; ++i)
        boxes.On("FMessageBox", [&](TCustomForm* form) {
            auto* box = static_cast<TFMessageBox*>(form);
            said.push_back(box->Msg->GetText());
            Press(box->OKButton);
        });
    InPrintWindow(
        [&](TFTisk* f) {
            EXPECT_FALSE(f->PrintTemplate(f->FormularOPISBack));
            EXPECT_FALSE(f->PreviewTemplate(f->FormularOPISBack));
            f->FormularFront->SetText("  ");
            EXPECT_FALSE(f->PrintTemplate(f->FormularFront));
        },
        boxes);
    ASSERT_EQ(said.size(), 3u);
    EXPECT_NE(said[0].find("Formulář nebyl nalezen: "), std::string::npos) << said[0];
    EXPECT_NE(said[0].find("chybi/opis-zadni.fr3"), std::string::npos) << said[0];
    EXPECT_EQ(said[1], said[0]);
    EXPECT_NE(said[2].find("(cesta není vyplněna)"), std::string::npos) << said[2];
}

TEST_F(PrintWindowTest, DesignWithoutADesignerSaysSoAndChangesNothing) {
    Start();
    // A program built without the designer: the start-up has registered it here.
    const TfrxDesignerFactory designer = frxDesignerClass();
    frxDesignerClass() = nullptr;
    auto restore = OnScopeExit([&] { frxDesignerClass() = designer; });
    std::string said;
    TModalScript boxes;
    boxes.On("FMessageBox", [&](TCustomForm* form) {
        auto* box = static_cast<TFMessageBox*>(form);
        said = box->Msg->GetText();
        Press(box->OKButton);
    });
    InPrintWindow([&](TFTisk* f) { Press(f->bModify); }, boxes);
    EXPECT_NE(said.find("Návrhář tiskových formulářů není"), std::string::npos) << said;
}

// "Upravit formulář" opens the designer on the line's template; what the designer saves is what
// the next print prepares.
TEST_F(FilledCardTest, DesignOpensTheTemplateAndTheNextPrintUsesWhatWasSaved) {
    Start();
    std::string opened;
    std::map<std::string, std::string> printed;
    TModalScript halfYear;  // the template asks which half-year before it prints
    AnswerHalfYear(halfYear, 1, true);
    InPrintWindow(
        [&](TFTisk* f) {
            f->frxDesigner1->OnShow = [&](TObject* sender) {
                auto* designer = static_cast<TfrxDesignerForm*>(sender);
                opened = designer->Report->FileName;
                auto* year = dynamic_cast<TfrxMemoView*>(designer->Report->FindObject("SkolniRok"));
                ASSERT_NE(year, nullptr);
                year->SetText("Rok " + year->GetText());
                designer->SetModified(true);
                EXPECT_TRUE(designer->SaveFile(false, false));
                designer->Close();
            };
            Press(f->bModify);
            ASSERT_TRUE(f->frxReport1->LoadFromFile(TFTisk::TemplatePath(f->FormularFront->GetText())));
            ASSERT_TRUE(f->frxReport1->PrepareReport(true)) << f->frxReport1->ErrorList->Text();
            printed = Prepared(f->frxReport1);
        },
        halfYear);
    EXPECT_EQ(opened, TFTisk::TemplatePath("vysvedceni-predni.fr3"));
    EXPECT_EQ(printed["SkolniRok"], "Rok Školní rok 2025/2026");
}

TEST_F(FilledCardTest, EachTemplatePreparesTheCardsDataIntoItsTextObjects) {
    Start();
    std::map<std::string, std::map<std::string, std::string>> byTemplate;
    TModalScript script;
    AnswerHalfYear(script, 4, true);
    InPrintWindow(
        [&](TFTisk* f) {
            for (TEdit* line : {f->FormularFront, f->FormularBack, f->FormularOpisFront, f->FormularOPISBack}) {
                ASSERT_TRUE(f->frxReport1->LoadFromFile(TFTisk::TemplatePath(line->GetText())))
                    << line->GetText() << ": " << f->frxReport1->ErrorList->Text();
                ASSERT_TRUE(f->frxReport1->PrepareReport(true)) << f->frxReport1->ErrorList->Text();
                EXPECT_EQ(f->frxReport1->PreviewPages()->GetCount(), 1) << line->GetText();
                byTemplate[line->GetText()] = Prepared(f->frxReport1);
            }
        },
        script);
    for (const char* front : {"vysvedceni-predni.fr3", "opis-predni.fr3"}) {
        auto& t = byTemplate[front];
        EXPECT_EQ(t["Jmeno"], "Růžena Čermáková") << front;
        EXPECT_EQ(t["Trida"], "4.B") << front;
        EXPECT_EQ(t["SkolniRok"], "Školní rok 2025/2026") << front;
        EXPECT_EQ(t["SkolaNazev"], "Základní škola Karlov") << front;
        EXPECT_EQ(t["IZO"], "IZO: 600123456") << front;
        EXPECT_EQ(t["Predmet1"], "Český jazyk a literatura") << front;
        EXPECT_EQ(t["Znamka1A"], "výborný") << front;
        EXPECT_EQ(t["Znamka1B"], "chvalitebný") << front;
        EXPECT_EQ(t["Znamka2B"], "dostatečný") << front;
        EXPECT_EQ(t["ZnamkaChovA"], "velmi dobré") << front;
        // The third subject's print flag is off: its row is not printed.
        EXPECT_EQ(t.count("Predmet3"), 0u) << front;
        EXPECT_EQ(t.count("Znamka3A"), 0u) << front;
    }
    EXPECT_EQ(byTemplate["opis-predni.fr3"]["OpisTitle"], "O P I S");
    for (const char* back : {"vysvedceni-zadni.fr3", "opis-zadni.fr3"}) {
        auto& t = byTemplate[back];
        EXPECT_EQ(t["ZamHodinyOmlA"], "12") << back;
        EXPECT_EQ(t["ZamHodinyNeomlB"], "3") << back;
        EXPECT_EQ(t["CelkHodnA"], "prospěla") << back;
        EXPECT_EQ(t["MistoVA"], "1. pololetí:  V Praze dne 31. 1. 2026") << back;
        EXPECT_EQ(t["UcitelA"], "Mgr. Jana Dvořáková") << back;
        // An empty text field prints nothing, not a zero.
        EXPECT_EQ(t["PochvalyA"], "") << back;
    }
    EXPECT_EQ(byTemplate["opis-zadni.fr3"]["Dolozka"], "Opis vydán na žádost zákonného zástupce.");
}


// The prepared front of the card goes out through the print window's own exports. The PDF is
// sound to qpdf and reads back with the pupil's data and grades, compressed or not, with fonts
// embedded or not; the workbook reads back with the same texts in merged cells. With
// $KAROMIL_SHOT_DIR the window and the files are kept there to be looked at.
TEST_F(FilledCardTest, TheFrontExportsToPdfAndWorkbookThroughTheWindowsFilters) {
    Start();
    const char* shots = std::getenv("KAROMIL_SHOT_DIR");
    const std::string dir = shots && *shots ? std::string(shots) : Folder;
    const struct {
        const char* File;
        bool Compressed, Embedded;
    } pdfs[] = {
        {"karta.pdf", true, false}, {"karta-nekomprimovana.pdf", false, false}, {"karta-pisma.pdf", true, true}};
    TModalScript halfYear;
    AnswerHalfYear(halfYear, 1, true);
    InPrintWindow(
        [&](TFTisk* f) {
            if (shots && *shots) {
                TestKit::ProcessEvents();
                TestKit::Grab(f).save(QString::fromStdString(dir + "/print-window.png"));
            }
            ASSERT_TRUE(f->frxReport1->LoadFromFile(TFTisk::TemplatePath(f->FormularFront->GetText())));
            ASSERT_TRUE(f->frxReport1->PrepareReport(true)) << f->frxReport1->ErrorList->Text();
            f->frxPDFExport1->SetShowDialog(false);
            for (const auto& pdf : pdfs) {
                f->frxPDFExport1->Compressed = pdf.Compressed;
                f->frxPDFExport1->EmbeddedFonts = pdf.Embedded;
                f->frxPDFExport1->SetFileName(dir + "/" + pdf.File);
                EXPECT_TRUE(f->frxReport1->PreviewPages()->Export(f->frxPDFExport1)) << pdf.File;
            }
            f->frxXLSExport1->SetShowDialog(false);
            f->frxXLSExport1->ShowProgress = false;
            f->frxXLSExport1->SetFileName(dir + "/karta.xlsx");
            EXPECT_TRUE(f->frxReport1->PreviewPages()->Export(f->frxXLSExport1));
        },
        halfYear);
    // In reading order.
    const char* expected[] = {"VYSVĚDČENÍ", "Základní škola Karlov", "Školní rok 2025/2026", "Růžena Čermáková",
        "velmi dobré", "Český jazyk a literatura", "výborný", "chvalitebný", "dostatečný"};
    for (const auto& pdf : pdfs) {
        const std::string file = "'" + dir + "/" + pdf.File + "'";
        const std::string check = Output("qpdf --check " + file + " 2>&1; echo rc=$?");
        EXPECT_NE(check.find("No syntax or stream encoding errors"), std::string::npos) << pdf.File << "\n" << check;
        EXPECT_NE(check.find("rc=0"), std::string::npos) << pdf.File << "\n" << check;
        const std::string fonts = Output("pdffonts " + file);
        EXPECT_EQ(fonts.find(" yes "), pdf.Embedded ? fonts.find(" yes ") : std::string::npos) << fonts;
        if (pdf.Embedded) {
            EXPECT_NE(fonts.find(" yes "), std::string::npos) << fonts;
        }
        const std::string text = Output("pdftotext -layout " + file + " -");
        size_t at = 0;
        for (const char* e : expected) {
            const size_t found = text.find(e, at);
            EXPECT_NE(found, std::string::npos) << pdf.File << ": " << e << " in\n" << text;
            if (found != std::string::npos) at = found;
        }
        EXPECT_EQ(text.find("Výtvarná výchova"), std::string::npos) << "a row whose print flag is off";
    }

    const std::string script = Folder + "/cti.py";
    std::ofstream(script) << "import openpyxl\n"
                             "ws = openpyxl.load_workbook('"
                          << dir
                          << "/karta.xlsx').worksheets[0]\n"
                             "for row in ws.iter_rows():\n"
                             "    for c in row:\n"
                             "        if c.value is not None: print('cell', c.coordinate, c.value)\n"
                             "print('merged', len(ws.merged_cells.ranges))\n"
                             "print('widths', sum(1 for d in ws.column_dimensions.values() if d.width))\n";
    const std::string book = Output("/usr/bin/python3 '" + script + "' 2>&1");
    for (const char* e : expected)
        EXPECT_NE(book.find(std::string(" ") + e), std::string::npos) << e << " in\n" << book;
    EXPECT_EQ(book.find("Výtvarná výchova"), std::string::npos) << book;
    EXPECT_EQ(book.find("merged 0\n"), std::string::npos) << book;
    EXPECT_EQ(book.find("widths 0\n"), std::string::npos) << book;
}

}  // namespace
}  // namespace apptest
