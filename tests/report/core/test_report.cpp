// The report component: load and save with passwords, options kept across a load, the safe
// save, preparing with missing datasets, the design loop; and the object tree beneath it.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FakeDesigner.h"
#include "ModelFixture.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Application.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "platform/settings/IniFiles.h"
#include "platform/settings/Registry.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxProgress.h"
#include "report/core/frxReport.h"
#include "report/core/frxStyles.h"
#include "report/core/frxVariables.h"
#include "script/Interpreter.h"

namespace fs = std::filesystem;

namespace {
std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

struct TempDir {
    fs::path Path = fs::temp_directory_path() /
        ("frxmodel-" + std::to_string(::getpid()) + "-" + std::to_string(rand()));
    TempDir() { fs::create_directories(Path); }
    ~TempDir() { fs::remove_all(Path); }
    std::string File(const char* name) const { return (Path / name).string(); }
    int Count() const { return int(std::distance(fs::directory_iterator(Path), fs::directory_iterator())); }
};

// Answers the password window with a fixed text, or cancels it.
struct PasswordAnswer {
    explicit PasswordAnswer(std::optional<std::string> typed) {
        frxPasswordPrompt() = [typed](std::string& out) {
            if (!typed) return false;
            out = *typed;
            return true;
        };
    }
    ~PasswordAnswer() { frxPasswordPrompt() = nullptr; }
};
}  // namespace

TEST(FrxReport, PasswordsRoundTripAndAWrongOneGivesNoReport) {
    RegisterTestClasses();
    TempDir dir;
    const std::string file = dir.File("heslo.fr3");
    for (const std::string password : {"tajné heslo", "řeřicha ŽÁK", "abc"}) {
        TfrxReport report;
        report.GetEngineOptions()->SilentMode = true;
        (new TTestBox(&report))->SetName("Page1");
        report.GetReportOptions()->Password = password;
        report.SaveToFile(file);
        EXPECT_EQ(report.GetReportOptions()->Password, password);
        {
            PasswordAnswer answer(password);
            TfrxReport loaded;
            EXPECT_TRUE(loaded.LoadFromFile(file));
            EXPECT_EQ(loaded.GetReportOptions()->Password, password);
            EXPECT_EQ(loaded.GetPageCount(), 1);
            EXPECT_EQ(loaded.FileName, file);
        }
        for (std::optional<std::string> wrong : {std::optional<std::string>("jiné"), std::optional<std::string>()}) {
            PasswordAnswer answer(wrong);
            TfrxReport loaded;
            EXPECT_FALSE(loaded.LoadFromFile(file)) << password;
            EXPECT_EQ(loaded.GetPageCount(), 0);
            EXPECT_EQ(loaded.ErrorList->Count(), 1);
            EXPECT_EQ(loaded.FileName, "");
        }
    }
    // No password: no attribute at all.
    TfrxReport plain;
    TStringStream s;
    plain.SaveToStream(&s);
    EXPECT_EQ(s.DataString().find("Password"), std::string::npos);
}

TEST(FrxReport, AMissingFileIsAnError) {
    TempDir dir;
    TfrxReport report;
    (new TTestBox(&report))->SetName("Page1");
    EXPECT_FALSE(report.LoadFromFile(dir.File("nic.fr3")));
    EXPECT_EQ(report.GetPageCount(), 0);
    ASSERT_EQ(report.ErrorList->Count(), 1);
    EXPECT_NE(report.ErrorList->Strings(0).find("nic.fr3"), std::string::npos);
    EXPECT_THROW(report.LoadFromFile(dir.File("nic.fr3"), true), EFOpenError);
}

TEST(FrxReport, AFailedSaveLeavesTheOldFileIntact) {
    RegisterTestClasses();
    TempDir dir;
    const std::string file = dir.File("vysvedceni.fr3");
    TfrxReport report;
    auto* v = new TTestView(&report);
    v->SetName("Memo1");
    report.SaveToFile(file);
    const std::string before = ReadFile(file);
    ASSERT_FALSE(before.empty());

    v->Caption = "nový";
    v->FailWriting = true;
    EXPECT_THROW(report.SaveToFile(file), EWriteError);
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(dir.Count(), 1);  // no temporary file left behind

    TfrxVariables vars;
    vars.SetVariable("A", 1);
    vars.SaveToFile(dir.File("vars.xml"));
    EXPECT_EQ(dir.Count(), 2);
    EXPECT_THROW(vars.SaveToFile(dir.File("missing-folder/vars.xml")), EFCreateError);
}

TEST(FrxReport, LoadKeepsTheApplicationsOptions) {
    TfrxReport source;
    source.ShowProgress = false;
    source.GetEngineOptions()->MaxMemSize = 20;
    source.GetEngineOptions()->DoublePass = true;
    source.GetPreviewOptions()->Modal = false;
    source.GetPreviewOptions()->OutlineVisible = true;
    source.GetPrintOptions()->Copies = 3;
    source.IniFile = "jiny.ini";
    TStringStream s;
    source.SaveToStream(&s);

    TfrxReport app;
    app.GetEngineOptions()->SilentMode = true;
    s.SetPosition(0);
    app.LoadFromStream(&s);
    EXPECT_TRUE(app.ShowProgress);
    EXPECT_EQ(app.GetEngineOptions()->MaxMemSize, 10);
    EXPECT_TRUE(app.GetEngineOptions()->DoublePass);
    EXPECT_TRUE(app.GetEngineOptions()->SilentMode);
    EXPECT_TRUE(app.GetPreviewOptions()->Modal);
    EXPECT_TRUE(app.GetPreviewOptions()->OutlineVisible);
    EXPECT_EQ(app.GetPrintOptions()->Copies, 3);
    EXPECT_EQ(app.IniFile, "\\Software\\Karomil Reports");
}

TEST(FrxReport, ClearIsAPartialReset) {
    TfrxReport r;
    r.GetEngineOptions()->MaxMemSize = 50;
    r.GetEngineOptions()->DoublePass = true;
    r.GetPreviewOptions()->Zoom = 2;
    r.GetPreviewOptions()->OutlineWidth = 10;
    r.GetPrintOptions()->Copies = 4;
    r.OldStyleProgress = true;
    r.Variables()->SetVariable("X", 1);
    r.Clear();
    EXPECT_EQ(r.GetEngineOptions()->MaxMemSize, 50);
    EXPECT_FALSE(r.GetEngineOptions()->DoublePass);
    EXPECT_EQ(r.GetPreviewOptions()->Zoom, 2);
    EXPECT_EQ(r.GetPreviewOptions()->OutlineWidth, 120);
    EXPECT_EQ(r.GetPrintOptions()->Copies, 1);
    EXPECT_TRUE(r.OldStyleProgress);
    EXPECT_EQ(r.Variables()->Count(), 0);
    EXPECT_EQ(r.GetScriptText()->Text(), "begin\r\n\r\nend.\r\n");
    EXPECT_EQ(r.SystemNames()->Count(), 8);
}

TEST(FrxReport, DatasetEntriesAreStoredAndResolvedAndAMissingOneStopsTheRun) {
    TfrxDataSet vys(nullptr), prefs(nullptr);
    vys.SetUserName("frxDBDSVys");
    prefs.SetUserName("frxDBDSPrefs");
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    report.DataSets()->Add(&vys);
    report.DataSets()->Add(&prefs);
    report.Variables()->SetVariable(" Škola", Variant::Null());
    report.Variables()->SetVariable("Název", "'ZŠ'");
    report.Styles()->Add()->SetName("Nadpis");
    TStringStream s;
    report.SaveToStream(&s);

    TfrxReport loaded;
    loaded.GetEngineOptions()->SilentMode = true;
    s.SetPosition(0);
    loaded.LoadFromStream(&s);
    ASSERT_EQ(loaded.DataSets()->Count(), 2);
    EXPECT_EQ(loaded.DataSets()->GetItem(0)->GetDataSet(), &vys);
    EXPECT_EQ(loaded.DataSets()->GetItem(1)->GetDataSet(), &prefs);
    EXPECT_EQ(loaded.Variables()->GetVariable("název").AsString(), "'ZŠ'");
    EXPECT_NE(loaded.Styles()->Find("NADPIS"), nullptr);
    EXPECT_EQ(loaded.GetAlias(&prefs), "frxDBDSPrefs");
    TfrxDataSet* ds = nullptr;
    std::string field;
    loaded.GetDatasetAndField("FRXDBDSVYS.\"Jmeno\"", ds, field);
    EXPECT_EQ(ds, &vys);
    EXPECT_EQ(field, "Jmeno");
    loaded.GetDatasetAndField("Jmeno", ds, field);
    EXPECT_EQ(ds, nullptr);
    EXPECT_EQ(field, "");

    // A dataset that goes takes its entry with it; one never found stops the run.
    {
        TfrxDataSet gone(nullptr);
        gone.SetUserName("Gone");
        loaded.DataSets()->Add(&gone);
        EXPECT_EQ(loaded.DataSets()->Count(), 3);
    }
    EXPECT_EQ(loaded.DataSets()->Count(), 2);
    loaded.DataSets()->Add(nullptr)->SetDataSetName("Chybí");
    EXPECT_FALSE(loaded.PrepareReport());
    ASSERT_EQ(loaded.ErrorList->Count(), 1);
    EXPECT_EQ(loaded.ErrorList->Strings(0), "Dataset \"Chybí\" neexistuje");
    TfrxDataSet other(nullptr);
    EXPECT_EQ(loaded.GetAlias(&other), "(dataset není v Report.DataSets obsažen)");
}

TEST(FrxReport, DataSetByNameSkipsAnotherReportsDatasets) {
    TfrxReport mine, theirs;
    auto* foreign = new TfrxDataSet(&theirs);
    foreign->SetUserName("Data");
    EXPECT_EQ(frxDataSetByName(nullptr, "data", &mine), nullptr);
    EXPECT_EQ(frxDataSetByName(nullptr, "data", &theirs), foreign);
    TfrxDataSet global(nullptr);
    global.SetUserName("DATA");
    EXPECT_EQ(frxDataSetByName(nullptr, "data", &mine), &global);
    EXPECT_EQ(frxDataSetByName(foreign, "", &mine), nullptr);
    EXPECT_EQ(frxDataSetByName(foreign, "data", nullptr), foreign);
}

TEST(FrxReport, PrepareReportRestoresTheTemplateAfterARun) {
    RegisterTestClasses();
    static bool scripting = (script::Startup(), true);
    (void)scripting;
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = true;
    auto* v = new TTestView(&report);
    v->SetName("Memo1");
    report.OnBeginDoc = [&](TObject*) { dynamic_cast<TTestView*>(report.FindObject("Memo1"))->SetVisible(false); };
    int progress = 0;
    report.OnProgressStart = [&](TfrxReport*, TfrxProgressType, int) { ++progress; };
    EXPECT_TRUE(report.PrepareReport()) << report.ErrorList->Text();
    EXPECT_EQ(progress, 1);
    EXPECT_TRUE(report.FindObject("Memo1")->GetVisible());

    report.GetScriptText()->SetText("begin x := ; end.");
    EXPECT_FALSE(report.PrepareReport());
    EXPECT_EQ(report.ErrorList->Count(), 1);
}

TEST(FrxReport, IniFileKinds) {
    TfrxReport report;
    std::unique_ptr<TCustomIniFile> ini(report.GetIniFile());
    EXPECT_NE(dynamic_cast<TRegIniFile*>(ini.get()), nullptr);
    report.IniFile = "\\software\\Karomil Reports";
    ini.reset(report.GetIniFile());
    EXPECT_EQ(dynamic_cast<TRegIniFile*>(ini.get()), nullptr);
    EXPECT_EQ(ini->FileName(), ExtractFilePath(TRegistry::StoreFileName()) + "\\software\\Karomil Reports");
}

// --- the design loop and the progress window ---------------------------------------------

namespace {
// An active main window with a control that takes the focus.
void ShowMain(TForm& main) {
    main.SetBounds(10, 10, 300, 200);
    auto* e = new TEdit(&main);
    e->SetParent(&main);
    e->SetBounds(10, 10, 100, 22);
    TestKit::ShowAndActivate(&main);
}
}  // namespace

TEST(FrxReport, DesignLoopReenablesTheActiveWindowAlsoOnFailure) {
    TestKit::EnsureApplication();
    auto shutdown = OnScopeExit([] { ShutdownQtApplication(); });
    TForm main(nullptr);
    ShowMain(main);
    ASSERT_EQ(Screen->ActiveForm(), &main);
    TfrxReport report;
    bool fail = false;
    bool enabledInside = true;
    frxDesignerClass() = [&](TComponent*, TfrxReport* r, bool preview) {
        auto* d = new TFakeDesigner(r, preview);
        enabledInside = main.GetEnabled();
        if (fail) throw Exception("designer failed");
        d->SetModified(true);
        d->IsClosed = true;
        return d;
    };
    auto unregister = OnScopeExit([] { frxDesignerClass() = nullptr; });
    report.DesignReport();
    EXPECT_FALSE(enabledInside);
    EXPECT_TRUE(main.GetEnabled());
    EXPECT_TRUE(report.DesignModified);
    EXPECT_EQ(report.Designer, nullptr);

    fail = true;
    EXPECT_THROW(report.DesignReport(), Exception);
    EXPECT_TRUE(main.GetEnabled());
}

TEST(FrxProgress, DisablesThePreviousWindowAndCancels) {
    TestKit::EnsureApplication();
    auto shutdown = OnScopeExit([] { ShutdownQtApplication(); });
    TForm main(nullptr);
    ShowMain(main);
    {
        TfrxProgress progress(nullptr);
        EXPECT_FALSE(main.GetEnabled());
        EXPECT_EQ(progress.CancelB->GetCaption(), "Zrušit");
        progress.Execute(10, "Připravuji", false, true);
        EXPECT_EQ(progress.LMessage->GetTop(), 35);
        EXPECT_FALSE(progress.Bar->GetVisible());
        progress.SetShowProgressBar(true);
        EXPECT_EQ(progress.LMessage->GetTop(), 15);
        progress.CancelB->Click();
        EXPECT_TRUE(progress.GetTerminated());
        EXPECT_FALSE(progress.GetVisible());
    }
    EXPECT_TRUE(main.GetEnabled());

    TfrxReport report;
    report.OldStyleProgress = true;
    report.DoProgressStart(ptRunning);
    ASSERT_NE(report.ProgressForm(), nullptr);
    report.ProgressForm()->CancelB->Click();
    report.DoProgress(ptRunning, 2);
    EXPECT_TRUE(report.Terminated);
    report.DoProgressStop(ptRunning);
    EXPECT_EQ(report.ProgressForm(), nullptr);
}
