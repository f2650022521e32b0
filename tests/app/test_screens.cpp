// Pictures of the windows for a person to look at (saved in /tmp), with the checks a picture
// allows without comparing whole images: the window is painted and not blank.

#include <QtGui/QImage>

#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

// How many distinct colours the image holds (a blank window has one or two).
int ColourCount(const QImage& img) {
    std::set<QRgb> colours;
    for (int y = 0; y < img.height(); y += 3)
        for (int x = 0; x < img.width(); x += 3) colours.insert(img.pixel(x, y));
    return int(colours.size());
}

void Save(TControl* c, const std::string& name) {
    TestKit::ProcessEvents();
    const QImage img = TestKit::Grab(c);
    EXPECT_GT(ColourCount(img), 4) << name;
    EXPECT_TRUE(img.save(QString::fromStdString("/tmp/karomil-" + name + ".png")));
}

class ScreensTest : public AppTest {
protected:
    void PrepareDatabase() override {
        Sql("UPDATE Prefs SET SkolaNazev = 'Základní škola Karlov', SkolaAdr1 = 'Školní 12', "
            "SkolaAdr2 = '586 01 Jihlava', IZO = '600123456'");
        Sql("INSERT INTO vysvedceni (SkolniRok, Trida, Rocnik, Jmeno, Ucitel, VzdelProgram, Chovani, Predmet1, "
            "ZnamkaChovA, Znamka1A, NPredmet1, NZnamka1A, CelkHodnA) VALUES "
            "('2024/2025', '4.B', '4.', 'Čermák Jiří', 'Horová', 'Školní vzdělávací program Cesta', 'Chování', "
            "'Matematika', 'velmi dobré', 'chvalitebný', 'Sborový zpěv', 'pracoval(a) úspěšně', 'prospěl(a)'),"
            "('2024/2025', '4.B', '4.', 'Šťastná Žofie', 'Horová', 'Školní vzdělávací program Cesta', NULL, "
            "NULL, NULL, NULL, NULL, NULL, NULL)");
    }
};

TEST_F(ScreensTest, MainEditorAndSettings) {
    Start();
    Save(FMain, "main");
    TModalScript script;
    script.On("FVys", [](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        Save(f, "editor-front");
        f->PageControl1->SetActivePage(f->TSStrana2);
        Save(f, "editor-back");
        f->PageControl1->SetActivePage(f->TabSheet1);
        Save(f, "editor-print");
        f->PageControl1->SetActivePage(f->TSStrana1);
        Press(f->BitBtn8);
        Press(f->BitBtn1);
    });
    script.On("FSelProskrt", [](TCustomForm* form) {
        Save(form, "chooser");
        form->Close();
    });
    Press(FMain->bEdit);
    script.On("FNastaveni", [](TCustomForm* form) {
        Save(form, "settings");
        Press(static_cast<TFNastaveni*>(form)->bNew);
        Press(static_cast<TFNastaveni*>(form)->BitBtn1);
    });
    script.On("FPredmet", [](TCustomForm* form) {
        Save(form, "subject");
        Press(static_cast<TFPredmet*>(form)->BitBtn1);
    });
    Press(FMain->bNastaveni);
    script.On("FSplashLogo", [](TCustomForm* form) {
        Save(form, "about");
        form->Close();
    });
    Press(FMain->bInfo);
    script.On("FMessageBox", [](TCustomForm* form) {
        Save(form, "question");
        TestKit::Key(Qt::Key_Escape);
    });
    Press(FMain->bDelete);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(DM->QVys->RecordCount(), 2);
}

}  // namespace
}  // namespace apptest
