// What a school secretary meets in the first minutes: a long list scrolled by mouse, the editor
// on a laptop screen, input the fields refuse, a read-only database, a failed start, the splash,
// hints, titles and the help page. Screenshots go to $KAROMIL_SHOT_DIR when it is set.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <fstream>

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>

#include "app/UFSplashLogo.h"
#include "platform/gui/Shell.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "tests/app/AppFixture.h"

namespace apptest {
namespace {

void Shot(TControl* c, const std::string& name) {
    const char* dir = std::getenv("KAROMIL_SHOT_DIR");
    if (!dir || !*dir) return;
    TestKit::ProcessEvents();
    TestKit::Grab(c).save(QString::fromStdString(std::string(dir) + "/" + name));
}

TScrollInfo VertBar(TWinControl* c) {
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    c->GetScrollInfo(SB_VERT, si);
    return si;
}

// --- the main window's grid with 62 cards -----------------------------------------------------

class ManyCardsTest : public AppTest {
protected:
    void PrepareDatabase() override {
        std::string sql;
        for (int i = 1; i <= 62; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "Žák %02d", i);
            sql += "INSERT INTO vysvedceni (SkolniRok, Trida, Jmeno, Ucitel) VALUES ('2024/2025', '4.B', '" +
                std::string(name) + "', 'Horová');";
        }
        Sql(sql);
    }
};

TEST_F(ManyCardsTest, WheelAndScrollBarReachEveryCard) {
    Start();
    TMainGrid* grid = FMain->dxDBGrid1;
    const int rows = grid->VisibleRowCount();
    ASSERT_LT(rows, 62);
    EXPECT_TRUE(grid->GetWindowStyle() & WS_VSCROLL) << "a bar when the cards do not fit";
    EXPECT_EQ(VertBar(grid).nMax, 61);
    EXPECT_EQ(int(VertBar(grid).nPage), rows);
    // The wheel over the grid while a button holds the focus: one card a notch.
    FMain->bNew->SetFocus();
    TestKit::ProcessEvents();
    const TPoint over{200, 120};
    const struct {
        int notches;
        int recNo;
        int barPos;
    } steps[] = {
        {1, 2, 0},
        {10, 12, std::max(0, 12 - rows)},
        {60, 62, 62 - rows},  // past the end stays on the last card
        {-5, 57, 62 - rows},
        {-100, 1, 0},
    };
    for (const auto& s : steps) {
        for (int i = 0; i < std::abs(s.notches); ++i) TestKit::Wheel(grid, over, s.notches > 0 ? -120 : 120);
        EXPECT_EQ(DM->QVys->RecNo(), s.recNo) << s.notches << " notches";
        EXPECT_EQ(VertBar(grid).nPos, s.barPos) << s.notches << " notches";
    }
    EXPECT_TRUE(FMain->bNew->Focused());
    // The bar's thumb dragged to the end and a click on the last row.
    grid->Perform(WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 62 - rows), 0);
    EXPECT_EQ(grid->TopRecord(), 62 - rows);
    const int rh = grid->DefaultRowHeight();
    TestKit::Click(grid, {200, rh + (rows - 1) * rh + rh / 2});
    EXPECT_EQ(DM->QVys->FieldByName("Jmeno")->GetAsString(), "Žák 62");
    Shot(FMain, "main-62-cards-end.png");
}

// --- the editor on a 1366 x 768 screen ------------------------------------------------------------

class SmallScreenTest : public AppTest {
protected:
    void TearDown() override {
        Screen->SetWorkArea(TRect{});
        AppTest::TearDown();
    }
};

TEST_F(SmallScreenTest, TheEditorFitsAndItsButtonsAreReachable) {
    const TRect work = Rect(0, 0, 1366, 768);
    Screen->SetWorkArea(work);
    Start();
    TModalScript script;
    script.On("FVys", [&](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        const TRect r = f->GetBoundsRect();
        EXPECT_GE(r.Left, work.Left);
        EXPECT_GE(r.Top, work.Top);
        EXPECT_LE(r.Right, work.Right);
        EXPECT_LT(r.Bottom, work.Bottom) << "room is left for the title bar";
        EXPECT_TRUE(f->GetVertScrollBar()->IsScrollBarVisible());
        // Tab to OK brings it into view; so does the wheel to the bottom.
        const TRect client = f->GetClientRect();
        auto inView = [&](TControl* c) {
            const TRect b = c->GetBoundsRect();
            return b.Top >= 0 && b.Bottom <= client.Bottom && b.Left >= 0 && b.Right <= client.Right;
        };
        f->BitBtn2->SetFocus();
        TestKit::ProcessEvents();
        EXPECT_TRUE(inView(f->BitBtn2)) << "OK";
        EXPECT_TRUE(inView(f->BitBtn1)) << "Storno";
        f->GetVertScrollBar()->SetPosition(0);
        EXPECT_FALSE(inView(f->BitBtn2));
        for (int i = 0; i < 5; ++i) TestKit::Wheel(f, {client.Right - 5, 300}, -120);
        EXPECT_TRUE(inView(f->BitBtn2)) << "OK after the wheel";
        EXPECT_GT(f->GetVertScrollBar()->GetPosition(), 0);
        Shot(f, "editor-1366x768.png");
        Press(f->BitBtn1);
    });
    Press(FMain->bNew);
    EXPECT_TRUE(script.Done());
}

// --- input the card's fields refuse ----------------------------------------------------------------

TEST_F(AppTest, RefusedInputStaysInTheEditorsEditsWithACzechMessage) {
    Start();
    TModalScript script;
    script.On("FVys", [&](TCustomForm* form) {
        auto* f = static_cast<TFVys*>(form);
        auto edit = [&](const char* name) { return dynamic_cast<TDBEdit*>(f->FindComponent(name)); };
        const struct {
            const char* field;
            int page;
            std::string typed;
            std::string message;
        } cases[] = {
            {"DatumNar", 0, "31.02.2012", "'31.02.2012' není platné datum pro pole 'Datum narození'."},
            {"ZamHodinyOmlA", 1, "-3",
                "-3 není platná hodnota pro pole 'Zameškané hodiny omluvené (1. pololetí)'. Povolený rozsah je 0 až 32767."},
            {"ZamHodinyNeomlB", 1, "pět",
                "'pět' není platné celé číslo pro pole 'Zameškané hodiny neomluvené (2. pololetí)'."},
        };
        for (const auto& c : cases) {
            f->PageControl1->SetActivePageIndex(c.page);
            TDBEdit* e = edit(c.field);
            ASSERT_NE(e, nullptr) << c.field;
            Type(e, c.typed);
            f->Ucitel->SetFocus();
            TestKit::ProcessEvents();
            EXPECT_TRUE(e->Focused()) << c.field;
            EXPECT_EQ(e->GetText(), c.typed) << c.field;
            ASSERT_FALSE(Boxes.Texts().empty());
            EXPECT_EQ(Boxes.Texts().back(), c.message);
            ExpectedBoxes.push_back(c.message);
            Type(e, "");
            TestKit::Key(Qt::Key_Delete);
        }
        // Text fields stop typing at their size: a grade has 15 characters.
        f->PageControl1->SetActivePageIndex(0);
        EXPECT_EQ(f->GradesA[1]->GetMaxLength(), 15);
        EXPECT_EQ(edit("Jmeno")->GetMaxLength(), 50);
        Type(edit("Jmeno"), std::string(60, 'x'));
        EXPECT_EQ(edit("Jmeno")->GetText(), std::string(50, 'x'));
        Press(f->BitBtn1);
    });
    Press(FMain->bNew);
    EXPECT_TRUE(script.Done());
}

TEST_F(AppTest, AnEmptySubjectNameIsRefused) {
    Start();
    std::unique_ptr<TFNastaveni> settings = MakeDialog<TFNastaveni>(FMain);
    DM->QPrefs->Edit();
    TModalScript script;
    std::string said;
    script.On("FPredmet", [&](TCustomForm*) {
        TModalScript box;
        box.On("FMessageBox", [&](TCustomForm* m) {
            said = static_cast<TFMessageBox*>(m)->Msg->GetLines()->Text();
            Press(static_cast<TFMessageBox*>(m)->OKButton);
        });
        Type(FPredmet->DBEdit1, "   ");
        Press(FPredmet->BitBtn2);
        TestKit::ProcessEvents();
        EXPECT_TRUE(FPredmet->FormState().Contains(fsModal)) << "stays open";
        EXPECT_TRUE(FPredmet->DBEdit1->Focused());
        Press(FPredmet->BitBtn1);
    });
    const int before = DM->QPredmety->RecordCount();
    settings->bNewClick(nullptr);
    EXPECT_EQ(Trim(said), "Musíte vyplnit název předmětu");
    EXPECT_EQ(DM->QPredmety->RecordCount(), before);
    DM->QPrefs->Cancel();
}

// --- the database's state at start-up ---------------------------------------------------------------

// Makes the file read-only even for root (the immutable attribute) while alive.
class TReadOnlyFile {
public:
    explicit TReadOnlyFile(const std::string& file) : FFile(file) {
        chmod(file.c_str(), 0444);
        if (access(file.c_str(), W_OK) != 0) return;  // not root: the mode does it
        FFd = open(file.c_str(), O_RDONLY);
        int flags = 0;
        if (FFd >= 0 && ioctl(FFd, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            FImmutable = ioctl(FFd, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~TReadOnlyFile() {
        if (FImmutable) {
            int flags = 0;
            ioctl(FFd, FS_IOC_GETFLAGS, &flags);
            flags &= ~FS_IMMUTABLE_FL;
            ioctl(FFd, FS_IOC_SETFLAGS, &flags);
        }
        if (FFd >= 0) close(FFd);
        chmod(FFile.c_str(), 0644);
    }
    bool Works() const { return access(FFile.c_str(), W_OK) != 0; }

private:
    std::string FFile;
    int FFd = -1;
    bool FImmutable = false;
};

TEST_F(AppTest, AReadOnlyDatabaseIsSaidAtStartUpAndTheCardsStillRead) {
    Sql("INSERT INTO vysvedceni (Jmeno, Ucitel) VALUES ('Horák Adam', 'Dvořák')");
    TReadOnlyFile readOnly(DbFile);
    if (!readOnly.Works()) GTEST_SKIP() << "cannot make a file read-only here";
    TModalScript script;
    std::string said;
    script.On("FMessageBox", [&](TCustomForm* m) {
        said = static_cast<TFMessageBox*>(m)->Msg->GetLines()->Text();
        Shot(m, "readonly-database-box.png");
        Press(static_cast<TFMessageBox*>(m)->OKButton);
    });
    Start();
    EXPECT_TRUE(script.Done());
    EXPECT_NE(said.find("Databázi „vys.mdb“ nelze měnit"), std::string::npos) << said;
    EXPECT_NE(said.find("prohlížet a tisknout"), std::string::npos) << said;
    EXPECT_EQ(DM->QVys->FieldByName("Jmeno")->GetAsString(), "Horák Adam");
}

TEST_F(AppTest, AWritableDatabaseIsNotReported) { EXPECT_FALSE(DatabaseIsReadOnly(DbFile)); }

// --- a start that fails ----------------------------------------------------------------------------

// Reaches the fixture's database for the cases below.
class FailedStartTest : public AppTest {
public:
    using AppTest::DbFile;
    using AppTest::Sql;

protected:
    struct TBrokenStart {
        const char* what;
        std::function<void(FailedStartTest&)> breakIt;
        std::string detail;  // part of the message's text
    };
};

TEST_F(FailedStartTest, SaysWhyInAMessageBoxAndEndsWithAnError) {
    const TBrokenStart cases[] = {
        {"a table missing", [](FailedStartTest& t) { t.Sql("DROP TABLE Predmety"); }, "Predmety"},
        {"a damaged file",
            [](FailedStartTest& t) {
                std::ofstream(t.DbFile, std::ios::binary | std::ios::trunc) << std::string(8192, '\x5A');
            },
            ""},
        {"no database", [](FailedStartTest& t) { std::filesystem::remove(t.DbFile); }, "vys.mdb"},
    };
    const std::string copy = Folder + "/vys.orig";
    std::filesystem::copy_file(DbFile, copy);
    for (const auto& c : cases) {
        std::filesystem::remove(DbFile);
        std::filesystem::copy_file(copy, DbFile);
        c.breakIt(*this);
        const size_t before = Boxes.Texts().size();
        EXPECT_EQ(StartKaromil(nullptr), 1) << c.what;
        ASSERT_EQ(Boxes.Texts().size(), before + 1) << c.what;
        const std::string& text = Boxes.Texts().back();
        ExpectedBoxes.push_back(text);
        EXPECT_EQ(text.rfind("Program Karomil nelze spustit.", 0), 0u) << text;
        EXPECT_NE(text.find(c.detail), std::string::npos) << text;
        // Nothing of the failed start is left behind.
        EXPECT_EQ(DM, nullptr);
        EXPECT_EQ(FMain, nullptr);
    }
}

// The error box of the application's exception handler, as a user sees it (only when
// screenshots are asked for: it is the real, modal box, closed by a timer).
TEST(ErrorBoxShot, AnErrorBoxInCzech) {
    const char* dir = std::getenv("KAROMIL_SHOT_DIR");
    if (!dir || !*dir) GTEST_SKIP() << "no screenshots asked for";
    TestKit::EnsureApplication();
    Application->SetTitle("Karomil");
    SetMessageBoxHandler(nullptr);
    QTimer::singleShot(300, [dir] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            box->grab().save(QString::fromStdString(std::string(dir) + "/error-box.png"));
            box->close();
        }
    });
    Application->ShowException(EDatabaseError("'31.02.2012' není platné datum pro pole 'Datum narození'."));
}

// --- how the windows look --------------------------------------------------------------------------

TEST_F(AppTest, TheSplashIsPaintedBeforeItsPauseAndWindowsShowNoAddedTitle) {
    int paintsAtPause = -1;
    bool closeButton = true;
    StartUp([&](TForm* splash) {
        paintsAtPause = static_cast<TFSplashLogo*>(splash)->PaintCount();
        closeButton = splash->OuterWidget()->windowFlags().testFlag(Qt::WindowCloseButtonHint);
    });
    FMain->Show();
    TestKit::ProcessEvents();
    EXPECT_GT(paintsAtPause, 0);
    EXPECT_FALSE(closeButton) << "the splash has no border icons";
    FMessageBox->HandleNeeded();
    EXPECT_FALSE(FMessageBox->OuterWidget()->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    // Qt appends its display name to every title; the program's title is not made one.
    EXPECT_NE(QGuiApplication::applicationDisplayName(), "Karomil");
    EXPECT_EQ(FMain->OuterWidget()->windowTitle().toStdString(), "Program pro tisk vysvědčení KAROMIL");
}

TEST_F(AppTest, ButtonHintsShowOnHover) {
    Start();
    Application->HintPause = 50;
    auto restore = OnScopeExit([] { Application->HintPause = 500; });
    for (TBitBtn* b : {FMain->bNew, FMain->bHelp}) {
        TestKit::MouseMove(b, {b->GetWidth() / 2, b->GetHeight() / 2});
        for (int i = 0; i < 20 && !(Application->HintWindow() && Application->HintWindow()->Showing()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            TestKit::ProcessEvents();
        }
        ASSERT_NE(Application->HintWindow(), nullptr) << b->GetName();
        EXPECT_TRUE(Application->HintWindow()->Showing()) << b->GetName();
        EXPECT_EQ(Application->HintWindow()->GetCaption(), b->GetHint());
        TestKit::MouseMove(FMain->dxDBGrid1, {10, 10});
        Application->CancelHint();
    }
}

TEST_F(AppTest, TheHelpButtonOpensTheShippedPageOrSaysItIsMissing) {
    Start();
    std::vector<std::string> opened;
    SetShellLauncher([&](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    auto restore = OnScopeExit([] { SetShellLauncher(nullptr); });
    // Missing: said in the program's own message box.
    std::filesystem::remove(Folder + "/karomil.htm");
    if (!FileExists(TFMain::HelpFile())) {
        TModalScript script;
        std::string said;
        script.On("FMessageBox", [&](TCustomForm* m) {
            said = static_cast<TFMessageBox*>(m)->Msg->GetLines()->Text();
            Press(static_cast<TFMessageBox*>(m)->OKButton);
        });
        Press(FMain->bHelp);
        EXPECT_NE(said.find("Soubor nápovědy „karomil.htm“ chybí."), std::string::npos) << said;
        EXPECT_TRUE(opened.empty());
    }
    // The shipped page: Czech, on entering a card, printing and backing up "vys.mdb".
    std::filesystem::copy_file(KAROMIL_HELP_PAGE, Folder + "/karomil.htm");
    Press(FMain->bHelp);
    ASSERT_EQ(opened.size(), 1u);
    std::ifstream in(opened[0]);
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* part : {"lang=\"cs\"", "Zápis vysvědčení", "Tisk", "Záloha databáze vys.mdb"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
}

TEST_F(AppTest, TheEditorsHeadingsAreNotCoveredAndChovaniIsASubject) {
    Start();
    std::unique_ptr<TFVys> editor = MakeDialog<TFVys>(FMain);
    editor->Show();
    TestKit::ProcessEvents();
    int checked = 0;
    for (TTabSheet* tab : {editor->TSStrana1, editor->TSStrana2}) {
        editor->PageControl1->SetActivePage(tab);
        for (int i = 0; i < tab->ControlCount(); ++i) {
            auto* label = dynamic_cast<TLabel*>(tab->Controls(i));
            if (!label) continue;
            for (int j = 0; j < tab->ControlCount(); ++j) {
                auto* button = dynamic_cast<TBitBtn*>(tab->Controls(j));
                if (!button) continue;
                TRect overlap;
                EXPECT_FALSE(IntersectRect(overlap, label->GetBoundsRect(), button->GetBoundsRect()))
                    << "\"" << label->GetCaption() << "\" under " << button->GetName() << " label " << label->GetLeft()
                    << "+" << label->GetWidth() << " button " << button->GetLeft();
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 12);
    editor->Hide();
    EXPECT_TRUE(DM->QPredmety->Locate("Nazev", Variant(std::string("Chování")), TLocateOptions{}));
}

TEST_F(AppTest, TheAboutBoxShowsALogoBesideTheProgram) {
    Start();
    const std::string file = ProgramDir() + "logo.bmp";
    ASSERT_FALSE(FileExists(file));
    EXPECT_FALSE(MakeDialog<TFSplashLogo>(FMain)->Image1->HasPicture());
    TBitmap logo;
    logo.SetWidth(20);
    logo.SetHeight(20);
    logo.SaveToFile(file);
    auto remove = OnScopeExit([&] { std::filesystem::remove(file); });
    EXPECT_TRUE(MakeDialog<TFSplashLogo>(FMain)->Image1->HasPicture());
}

}  // namespace
}  // namespace apptest
