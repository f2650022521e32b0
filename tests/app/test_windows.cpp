// The message box, the editor's checks and column buttons, the settings window, and the sound
// behaviour where the windows' first design went wrong (stale teacher name, title-bar close,
// ignored chooser cancel, current folder, partial copies, dangling message box).

#include "app/UFSelProskrt.h"
#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

class CardTest : public AppTest {
protected:
    void PrepareDatabase() override {
        Sql("INSERT INTO vysvedceni (Jmeno, Ucitel, Chovani, Predmet1, Znamka1A, Znamka2A, Znamka3A, Znamka1B, "
            "NZnamka1A, NPredmet2) VALUES ('Horák Adam', 'Dvořák', 'Chování', 'Matematika', 'výborný', ' ', NULL, "
            "'dobrý', 'pracoval(a)', 'Sborový zpěv')");
    }
    // Opens the editor on the card with "Oprava" and runs step in it; Storno afterwards unless
    // the step closed it.
    void InEditor(std::function<void(TFVys*)> step) {
        TModalScript script;
        script.On("FVys", [step](TCustomForm* form) {
            auto* f = static_cast<TFVys*>(form);
            step(f);
            if (f->FormState().Contains(fsModal) && f->GetModalResult() == mrNone) Press(f->BitBtn1);
        });
        Press(FMain->bEdit);
        EXPECT_TRUE(script.Done());
    }
};

struct TAnswerCase {
    const char* how;
    std::function<void(TFMessageBox*)> answer;
    int result;
};

TEST_F(AppTest, YesNoQuestionAnswers) {
    Start();
    TFMessageBox* startupInstance = FMessageBox;
    const TAnswerCase cases[] = {
        {"Enter", [](TFMessageBox*) { TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r"); }, mrNo},
        {"Escape", [](TFMessageBox*) { TestKit::Key(Qt::Key_Escape); }, mrCancel},
        {"click ANO", [](TFMessageBox* b) { Press(b->YesButton); }, mrYes},
        {"click NE", [](TFMessageBox* b) { Press(b->NoButton); }, mrNo},
        {"window closed", [](TFMessageBox* b) { b->Close(); }, mrCancel},
    };
    for (const TAnswerCase& c : cases) {
        TModalScript script;
        bool noFocused = false;
        script.On("FMessageBox", [&](TCustomForm* form) {
            auto* box = static_cast<TFMessageBox*>(form);
            noFocused = box->NoButton->Focused();
            EXPECT_TRUE(box->YesButton->GetVisible());
            EXPECT_FALSE(box->OKButton->GetVisible());
            EXPECT_EQ(box->GetColor(), clRed);
            EXPECT_EQ(box->Panel1->GetColor(), clYellow);
            c.answer(box);
        });
        EXPECT_EQ(DM->MessageYesNo("", "Opravdu?", clRed, clYellow), c.result) << c.how;
        EXPECT_TRUE(noFocused) << c.how;
        // Each question had a window of its own; the one made at start-up is still the global.
        EXPECT_EQ(FMessageBox, startupInstance) << c.how;
        EXPECT_FALSE(FMessageBox->YesButton->GetVisible());
    }
}

TEST_F(CardTest, OkWithoutTeacherWarnsAndKeepsTheEditorOpen) {
    Start();
    TModalScript script;
    bool focusInTeacher = false;
    std::string warning, caption;
    script.On("FVys", [&](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        Type(f->Ucitel, "");
        TestKit::Key(Qt::Key_Delete);
        Press(f->BitBtn2);
        TestKit::ProcessEvents();
        focusInTeacher = f->Ucitel->Focused();
        EXPECT_EQ(f->GetModalResult(), mrNone);
        // The name typed just now, then Enter: the check sees it although the edit has not
        // written it into the field yet.
        Type(f->Ucitel, "Veselá");
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    script.On("FMessageBox", [&](TCustomForm* form) {
        auto* box = static_cast<TFMessageBox*>(form);
        caption = box->GetCaption();
        warning = box->Msg->GetLines()->Text();
        EXPECT_TRUE(box->OKButton->GetVisible());
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    Press(FMain->bEdit);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(caption, "Upozornění");
    EXPECT_EQ(warning.substr(0, warning.find_last_not_of("\r\n") + 1), "Musíte vyplnit jméno učitele");
    EXPECT_TRUE(focusInTeacher);
    EXPECT_EQ(TOtherConnection(DbFile).Value("SELECT Ucitel FROM vysvedceni"), "Veselá");
}

TEST_F(CardTest, ClosingTheEditorByTheWindowIsStorno) {
    Start();
    TModalScript script;
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        Type(f->Ucitel, "Novotná");
        Type(dynamic_cast<TDBEdit*>(f->FindComponent("Jmeno")), "Nikdo");
        f->Close();
    });
    Press(FMain->bNew);
    EXPECT_EQ(DM->QVys->State(), dsBrowse);
    // The next operation has nothing left to post.
    Press(FMain->bCopy);
    TOtherConnection other(DbFile);
    EXPECT_EQ(other.Value("SELECT COUNT(*) FROM vysvedceni WHERE Jmeno = 'Nikdo'"), "0");
}

// The twelve column buttons: which fields they touch and how.
struct TColumnCase {
    const char* button;
    std::vector<std::pair<std::string, std::string>> expected;  // field, value after the click
};

TEST_F(CardTest, ColumnButtons) {
    Start();
    const std::string cross = TFVys::CrossOutText;
    const TColumnCase cases[] = {
        {"BitBtn17", {{"Chovani", ""}, {"Predmet1", ""}, {"Predmet19", ""}, {"Znamka1A", "výborný"}}},
        {"BitBtn12", {{"Znamka1A", ""}, {"Znamka2A", ""}, {"Znamka1B", "dobrý"}}},
        {"BitBtn6",
            {{"ZnamkaChovA", cross}, {"Znamka1A", "výborný"}, {"Znamka2A", " "}, {"Znamka3A", cross},
                {"Znamka19A", cross}, {"Znamka1B", "dobrý"}}},
        {"BitBtn13", {{"Znamka1B", ""}, {"Znamka1A", "výborný"}}},
        {"BitBtn7", {{"ZnamkaChovB", cross}, {"Znamka1B", "dobrý"}, {"Znamka19B", cross}, {"ZnamkaChovA", ""}}},
        {"BitBtn16", {{"NPredmet2", ""}, {"NZnamka1A", "pracoval(a)"}}},
        {"BitBtn14", {{"NZnamka1A", ""}}},
        {"BitBtn10", {{"NZnamka1A", "pracoval(a)"}, {"NZnamka2A", cross}, {"NZnamka8A", cross}, {"NZnamka1B", ""}}},
        {"BitBtn15", {{"NZnamka1B", ""}, {"NZnamka1A", "pracoval(a)"}}},
        {"BitBtn11", {{"NZnamka1B", cross}, {"NZnamka8B", cross}, {"NZnamka2A", ""}}},
    };
    for (const TColumnCase& c : cases) {
        InEditor([&](TFVys* f) {
            auto* button = dynamic_cast<TBitBtn*>(f->FindComponent(c.button));
            ASSERT_NE(button, nullptr) << c.button;
            f->PageControl1->SetActivePage(static_cast<TTabSheet*>(button->GetParent()));
            TestKit::ProcessEvents();
            Press(button);
            for (const auto& [field, value] : c.expected)
                EXPECT_EQ(DM->QVys->FieldByName(field)->GetAsString(), value) << c.button << " " << field;
            // A second cross-out changes nothing.
            std::vector<std::string> before;
            for (const auto& e : c.expected) before.push_back(DM->QVys->FieldByName(e.first)->GetAsString());
            Press(button);
            for (size_t i = 0; i < before.size(); ++i)
                EXPECT_EQ(DM->QVys->FieldByName(c.expected[i].first)->GetAsString(), before[i]) << c.button;
        });
    }
}

TEST_F(CardTest, FillSubjectsOnlyWhenChosen) {
    Start();
    // Closing the chooser without "Vložit" fills nothing.
    InEditor([](TFVys* f) {
        TModalScript chooser;
        chooser.On("FSelProskrt", [](TCustomForm* form) { form->Close(); });
        Press(f->BitBtn8);
        EXPECT_EQ(DM->QVys->FieldByName("Predmet2")->GetAsString(), "");
    });
    // "Vložit" fills the empty rows with the current subject, cut to 20 characters.
    InEditor([](TFVys* f) {
        // "Český jazyk a literatura": 24 characters
        ASSERT_TRUE(DM->QPredmety->Locate("Nazev", Variant(std::string("Český jazyk a literatura")), TLocateOptions{}));
        TModalScript chooser;
        chooser.On("FSelProskrt", [](TCustomForm* form) { Press(static_cast<TFSelProskrt*>(form)->BitBtn1); });
        Press(f->BitBtn8);
        EXPECT_EQ(DM->QVys->FieldByName("Predmet1")->GetAsString(), "Matematika");
        EXPECT_EQ(DM->QVys->FieldByName("Predmet2")->GetAsString(), "Český jazyk a litera");
        EXPECT_EQ(DM->QVys->FieldByName("Predmet19")->GetAsString(), "Český jazyk a litera");
    });
}

class LongSubjectTest : public CardTest {
protected:
    void PrepareDatabase() override {
        CardTest::PrepareDatabase();
        Sql("INSERT INTO Predmety (Nazev) VALUES ('Občanská výchova a dějepis'), ('Tělesná výchova – plavání'), "
            "('Přírodopis a zeměpis')");
    }
};

// The cut to 20 counts characters, not bytes: a letter with a diacritic counts once and is never
// split, in both subject columns, and the card keeps that text in the file.
TEST_F(LongSubjectTest, FillSubjectsCutsToTwentyCharacters) {
    Start();
    const struct {
        const char* subject;
        const char* filled;
    } cases[] = {
        {"Občanská výchova a dějepis", "Občanská výchova a d"},
        {"Tělesná výchova – plavání", "Tělesná výchova – pl"},  // byte 20 lies inside the dash
        {"Přírodopis a zeměpis", "Přírodopis a zeměpis"},  // 20 characters, 24 bytes: kept whole
    };
    for (const auto& c : cases) {
        InEditor([&](TFVys* f) {
            ASSERT_TRUE(DM->QPredmety->Locate("Nazev", Variant(std::string(c.subject)), TLocateOptions{}));
            TModalScript chooser;
            for (int i = 0; i < 2; ++i)
                chooser.On("FSelProskrt", [](TCustomForm* form) { Press(static_cast<TFSelProskrt*>(form)->BitBtn1); });
            Press(f->BitBtn17);
            Press(f->BitBtn8);
            f->PageControl1->SetActivePage(f->TSStrana2);
            TestKit::ProcessEvents();
            Press(f->BitBtn16);
            Press(f->BitBtn9);
            EXPECT_TRUE(chooser.Done());
            Press(f->BitBtn2);
        });
        TOtherConnection other(DbFile);
        EXPECT_EQ(other.Rows("SELECT Chovani, Predmet19, NPredmet1, NPredmet8 FROM vysvedceni"),
            (std::vector<std::vector<std::string>>{{c.filled, c.filled, c.filled, c.filled}}))
            << c.subject;
    }
}

TEST_F(CardTest, TemplateChoiceWritesTheFullPathAndKeepsTheCurrentFolder) {
    Start();
    const std::string chosen = Folder + "/sablony/predni.fr3";
    std::string offered;
    SetDialogHook([&](TDialogCall& call) {
        offered = call.Value;
        call.Accepted = true;
        call.Value = chosen;
    });
    InEditor([&](TFVys* f) {
        f->PageControl1->SetActivePage(f->TabSheet1);
        Press(f->BitBtn3);
        EXPECT_EQ(offered, "*.fr3");
        EXPECT_EQ(DM->QVys->FieldByName("ReportFront")->GetAsString(), chosen);
        Press(f->BitBtn2);
    });
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(Folder));
    EXPECT_EQ(TOtherConnection(DbFile).Value("SELECT ReportFront FROM vysvedceni"), chosen);
}

class FailingCopyTest : public CardTest {
protected:
    void PrepareDatabase() override {
        CardTest::PrepareDatabase();
        Sql("CREATE TRIGGER no_second BEFORE INSERT ON vysvedceni WHEN (SELECT COUNT(*) FROM vysvedceni) >= 1 "
            "BEGIN SELECT RAISE(ABORT, 'no room'); END");
    }
};

TEST_F(FailingCopyTest, AFailedCopyIsReportedAndNothingIsSaved) {
    Start();
    Press(FMain->bCopy);
    ExpectedBoxes = {"Kopírovaný záznam se nepodařilo uložit!"};
    EXPECT_FALSE(DM->QTemp->Active());
    EXPECT_EQ(DM->QVys->RecordCount(), 1);
    EXPECT_EQ(TOtherConnection(DbFile).Count("vysvedceni"), 1);
}

TEST_F(AppTest, SettingsClosedByTheWindowKeepSubjectsAndDropSchoolChanges) {
    Start();
    TModalScript script;
    script.On("FNastaveni", [](TCustomForm* form) {
        auto* f = static_cast<TFNastaveni*>(form);
        Press(f->bNew);
        Type(f->DBEdit4, "999");
        f->Close();
    });
    script.On("FPredmet", [](TCustomForm* form) {
        Type(static_cast<TFPredmet*>(form)->DBEdit1, "Logika");
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    Press(FMain->bNastaveni);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QPrefs->State(), dsBrowse);
    TOtherConnection other(DbFile);
    EXPECT_EQ(other.Value("SELECT COUNT(*) FROM Predmety WHERE Nazev = 'Logika'"), "1");
    EXPECT_EQ(other.Value("SELECT IZO FROM Prefs"), "");
}

class EmptyPrefsTest : public AppTest {
protected:
    void PrepareDatabase() override { Sql("DELETE FROM Prefs"); }
};

TEST_F(EmptyPrefsTest, SettingsOnAnEmptyPrefsCreateTheRow) {
    Start();
    TModalScript script;
    script.On("FNastaveni", [](TCustomForm* form) {
        auto* f = static_cast<TFNastaveni*>(form);
        EXPECT_EQ(DM->QPrefs->State(), dsInsert);
        Type(f->DBEdit1, "ZŠ Nová");
        Press(f->BitBtn2);
    });
    Press(FMain->bNastaveni);
    EXPECT_EQ(TOtherConnection(DbFile).Value("SELECT SkolaNazev FROM Prefs"), "ZŠ Nová");
}

}  // namespace
}  // namespace apptest
