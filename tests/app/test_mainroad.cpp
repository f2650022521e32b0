// A user's day with the program: start, an empty list, a new card typed in the editor, edited,
// copied, deleted after a question, and the settings; the data checked in the database file by
// a connection of its own.

#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

TDBEdit* EditOf(TFVys* f, const std::string& field) { return dynamic_cast<TDBEdit*>(f->FindComponent(field)); }

// Chooses a subject in a lookup combo with the keyboard: typing searches the list, Enter takes it.
void ChooseSubject(TRxDBLookupCombo* combo, const std::string& typed) {
    combo->SetFocus();
    TestKit::ProcessEvents();
    for (char32_t ch : QString::fromStdString(typed).toStdU32String())
        TestKit::Key(int(QChar::toUpper(ch)), Qt::NoModifier, QString::fromUcs4(&ch, 1).toStdString());
    TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
}

TEST_F(AppTest, StartUpCreatesTheWindowsInOrderOnTheDatabase) {
    Start();
    EXPECT_EQ(Application->GetMainForm(), FMain);
    EXPECT_EQ(Application->GetTitle(), "Karomil");
    EXPECT_EQ(FormatSettings().DateSeparator, U'.');
    ASSERT_NE(DM, nullptr);
    ASSERT_NE(FPredmet, nullptr);
    ASSERT_NE(FMessageBox, nullptr);
    // The application owns them in the order they were made.
    std::vector<std::string> order;
    for (int i = 0; i < Application->GetComponentCount(); ++i) order.push_back(Application->GetComponent(i)->GetName());
    const std::vector<std::string> expected{"FMain", "DM", "FPredmet", "FMessageBox"};
    EXPECT_TRUE(std::search(order.begin(), order.end(), expected.begin(), expected.end()) != order.end());
    EXPECT_TRUE(DM->KDaoDatabase1->Connected());
    EXPECT_TRUE(DM->QVys->Active());
    EXPECT_TRUE(DM->QPrefs->Active());
    EXPECT_TRUE(DM->QPredmety->Active());
    EXPECT_FALSE(DM->QTemp->Active());
    // The main window was made first; its references to the data module took effect afterwards.
    EXPECT_EQ(FMain->dxDBGrid1->GetDataSource(), DM->DSVys);
    EXPECT_EQ(FMain->DBText1->GetDataSource(), DM->DSPrefs);
    EXPECT_EQ(FMain->DBText1->Field()->GetAsString(), "Základní škola");
    EXPECT_EQ(PendingReferenceCount(), 0);
    EXPECT_FALSE(FMessageBox->Showing());
}

TEST_F(AppTest, StartUpWithoutDatabaseStops) {
    std::filesystem::remove(DbFile);
    try {
        StartUp(nullptr);
        ADD_FAILURE() << "start-up went on without a database";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find("Cannot find Database:"), std::string::npos) << e.Message();
    }
}

TEST_F(AppTest, QTempOpensWithEveryColumnOfTheTable) {
    Start();
    DM->QTemp->Open();
    EXPECT_EQ(DM->QTemp->FieldCount(), 135);
    for (int i = 0; i < 135; ++i)
        EXPECT_EQ(DM->QTemp->Fields()->Fields(i)->FieldName(), DM->QVys->Fields()->Fields(i)->FieldName());
    DM->QTemp->Close();
}

TEST_F(AppTest, MainRoad) {
    Start();
    TModalScript script;

    // --- an empty list: edit, copy, delete, print and a double click do nothing
    for (TBitBtn* b : {FMain->bEdit, FMain->bCopy, FMain->bDelete, FMain->bTisk}) Press(b);
    TestKit::DblClick(FMain->dxDBGrid1, TPoint{100, 40});
    TestKit::ProcessEvents();
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_TRUE(DM->QVys->IsEmpty());
    EXPECT_EQ(DM->QVys->State(), dsBrowse);

    // --- a new card
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        EXPECT_EQ(DM->QVys->State(), dsInsert);
        Type(EditOf(f, "SkolniRok"), "2024/2025");
        Type(EditOf(f, "Trida"), "1.A");
        Type(EditOf(f, "Jmeno"), "Nováková Eva");
        ChooseSubject(f->SubjectCombos[1], "Mate");
        ChooseSubject(f->SubjectCombos[2], "Čes");
        Type(f->GradesA[0], "velmi dobré");
        Type(f->GradesA[1], "výborný");
        Type(f->GradesB[1], "chvalitebný");
        Type(f->GradesA[2], "dobrý");
        // The teacher's name, then Enter on the default button: the name typed counts.
        Type(f->Ucitel, "Horová");
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    Press(FMain->bNew);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(DM->QVys->RecordCount(), 1);
    EXPECT_EQ(DM->QVys->State(), dsBrowse);
    EXPECT_EQ(DM->QVys->FieldByName("Predmet1")->GetAsString(), "Matematika");
    EXPECT_EQ(DM->QVys->FieldByName("Predmet2")->GetAsString(), "Český jazyk a literatura");
    // It is listed in the grid, as the grid's current row.
    FMain->dxDBGrid1->SetSelectedIndex(3);
    ASSERT_NE(FMain->dxDBGrid1->SelectedField(), nullptr);
    EXPECT_EQ(FMain->dxDBGrid1->SelectedField()->GetAsString(), "Nováková Eva");

    // --- edit it: a double click on its row
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        EXPECT_EQ(DM->QVys->State(), dsEdit);
        EXPECT_EQ(EditOf(f, "Jmeno")->GetText(), "Nováková Eva");
        Type(EditOf(f, "Jmeno"), "Nováková Eva Marie");
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    const int rowY = FMain->dxDBGrid1->DefaultRowHeight() + FMain->dxDBGrid1->DefaultRowHeight() / 2;
    TestKit::DblClick(FMain->dxDBGrid1, TPoint{200, rowY});
    TestKit::ProcessEvents();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QVys->FieldByName("Jmeno")->GetAsString(), "Nováková Eva Marie");

    // --- a double click on the row again, and this time a mouse click on OK
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        EXPECT_EQ(DM->QVys->State(), dsEdit);
        Type(EditOf(f, "CisloTV"), "12");
        Press(f->BitBtn2);
    });
    TestKit::DblClick(FMain->dxDBGrid1, TPoint{200, rowY});
    TestKit::ProcessEvents();
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QVys->State(), dsBrowse);
    EXPECT_EQ(DM->QVys->FieldByName("CisloTV")->GetAsString(), "12");

    // --- edit again with "Oprava", changing a grade, and a click on OK
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        Type(f->GradesB[2], "dostatečný");
        Press(f->BitBtn2);
    });
    Press(FMain->bEdit);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QVys->FieldByName("Znamka2B")->GetAsString(), "dostatečný");

    // --- copy it
    Press(FMain->bCopy);
    EXPECT_EQ(DM->QVys->RecordCount(), 2);
    EXPECT_FALSE(DM->QTemp->Active());
    {
        // Every column of the copy but the key equals the original's.
        TOtherConnection other(DbFile);
        auto rows = other.Rows("SELECT * FROM vysvedceni ORDER BY ID");
        ASSERT_EQ(rows.size(), 2u);
        ASSERT_EQ(rows[0].size(), 135u);
        EXPECT_NE(rows[0][0], rows[1][0]);
        // A print flag never set is stored as Null; its copy says No, which is what it meant.
        auto flag = [](size_t i) { return (i >= 10 && i <= 48 && i % 2 == 0) || i == 134; };
        auto norm = [&](size_t i, const std::string& v) { return flag(i) && v.empty() ? std::string("0") : v; };
        for (size_t i = 1; i < rows[0].size(); ++i)
            EXPECT_EQ(norm(i, rows[0][i]), norm(i, rows[1][i])) << "column " << i;
    }

    // --- delete, answering "NE" with Enter: nothing goes
    std::string question;
    script.On("FMessageBox", [&](TCustomForm* form) {
        auto* box = static_cast<TFMessageBox*>(form);
        question = box->Msg->GetLines()->Text();
        EXPECT_EQ(box->GetCaption(), "");
        TestKit::Key(Qt::Key_Return, Qt::NoModifier, "\r");
    });
    Press(FMain->bDelete);
    EXPECT_EQ(question.substr(0, question.find_last_not_of("\r\n") + 1),
        "Přejete si opravdu smazat vysvědčení Nováková Eva Marie?");
    EXPECT_EQ(DM->QVys->RecordCount(), 2);

    // --- delete, answering "ANO"
    script.On("FMessageBox", [](TCustomForm* form) { Press(static_cast<TFMessageBox*>(form)->YesButton); });
    Press(FMain->bDelete);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QVys->RecordCount(), 1);

    // --- settings: a new subject, a changed school name, then Storno
    script.On("FNastaveni", [](TCustomForm* form) {
        auto* f = static_cast<TFNastaveni*>(form);
        EXPECT_EQ(DM->QPrefs->State(), dsEdit);
        Press(f->bNew);
        Type(f->DBEdit1, "ZŠ U Lesa");
        Press(f->BitBtn1);
    });
    script.On("FPredmet", [](TCustomForm* form) {
        auto* f = static_cast<TFPredmet*>(form);
        Type(f->DBEdit1, "Etická výchova");
        Press(f->BitBtn2);
    });
    Press(FMain->bNastaveni);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QPrefs->State(), dsBrowse);
    EXPECT_EQ(DM->QPrefs->FieldByName("SkolaNazev")->GetAsString(), "Základní škola");

    // --- what the file holds, read by another connection
    TOtherConnection other(DbFile);
    EXPECT_EQ(other.Count("vysvedceni"), 1);
    EXPECT_EQ(other.Rows("SELECT SkolniRok, Trida, Jmeno, CisloTV, Ucitel, Predmet1, Predmet2, ZnamkaChovA, "
                         "Znamka1A, Znamka1B, Znamka2A, Znamka2B FROM vysvedceni"),
        (std::vector<std::vector<std::string>>{{"2024/2025", "1.A", "Nováková Eva Marie", "12", "Horová", "Matematika",
            "Český jazyk a literatura", "velmi dobré", "výborný", "chvalitebný", "dobrý", "dostatečný"}}));
    EXPECT_EQ(other.Value("SELECT COUNT(*) FROM Predmety WHERE Nazev = 'Etická výchova'"), "1");
    EXPECT_EQ(other.Value("SELECT SkolaNazev FROM Prefs"), "Základní škola");
}

}  // namespace
}  // namespace apptest
