// The print window: its lines show the card's templates, a choice holds only in the window,
// and a template that cannot be loaded is said to the user instead of printing an empty report.

#include "app/UFTisk.h"
#include "tests/app/AppFixture.h"

#include <fstream>

namespace apptest {
namespace {

class PrintWindowTest : public AppTest {
protected:
    void PrepareDatabase() override {
        Sql("INSERT INTO vysvedceni (Jmeno, ReportFront, ReportBack, ReportOpisFront, ReportOpisBack) VALUES "
            "('Horák Adam', 'vysvedceni-predni.fr3', 'vysvedceni-zadni.fr3', 'opis-predni.fr3', "
            "'chybi/opis-zadni.fr3')");
    }
    // Opens the print window with "Tisk" and runs step in it; closes it afterwards.
    void InPrintWindow(std::function<void(TFTisk*)> step, TModalScript& script) {
        script.On("FTisk", [step](TCustomForm* form) {
            auto* f = static_cast<TFTisk*>(form);
            step(f);
            if (f->FormState().Contains(fsModal) && f->GetModalResult() == mrNone) Press(f->bStorno);
        });
        Press(FMain->bTisk);
        EXPECT_TRUE(script.Done());
    }
    void InPrintWindow(std::function<void(TFTisk*)> step) {
        TModalScript script;
        InPrintWindow(step, script);
    }
};

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

}  // namespace
}  // namespace apptest
