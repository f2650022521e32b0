#include "app/Startup.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "app/UFDM.h"
#include "app/UFMain.h"
#include "app/UFMessageBox.h"
#include "app/UFNastaveni.h"
#include "app/UFSplashLogo.h"
#include "dao/login/DBLoginUnit.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StartupProbe.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "script/FileAccess.h"
#include "report/designer/frxDesgn.h"
#include "report/output/frxPreviewForm.h"
#include "script/gui/WindowBindings.h"

void SplashPause(TForm*) { std::this_thread::sleep_for(std::chrono::milliseconds(1000)); }

bool DatabaseIsReadOnly(const std::string& file) {
    std::string folder = ExtractFilePath(file);
    if (folder.empty()) folder = ".";
    return access(file.c_str(), W_OK) != 0 || access(folder.c_str(), W_OK) != 0;
}

std::string StartupFailureText(const std::string& error) {
    return "Program Karomil nelze spustit.\n\n" + error +
        "\n\nZkontrolujte, že soubor databáze „vys.mdb“ je ve složce programu nebo v aktuální složce a že není "
        "poškozený.";
}

void StartUp(const std::function<void(TForm*)>& pause) {
    fsUseWindowBindings();  // scripts started later see windows, dialogs and graphics
    Application->Initialize();
    InstallDbLoginDialog();
    frxRegisterPreview();  // "Ukázka před tiskem" shows prepared report cards in the preview window
    frxRegisterDesigner();  // "Upravit formulář" and the preview's edit buttons open the report designer
    std::unique_ptr<TFSplashLogo> splash(new TFSplashLogo(nullptr));
    // Painted before the pause, which handles no messages: else the window stays black.
    splash->ShowAndPaint();
    if (pause) pause(splash.get());
    FormatSettings().DateSeparator = U'.';
    Application->SetTitle("Karomil");
    Application->CreateForm<TFMain>(&FMain);
    {
        // A table that cannot open while the data module loads reaches the dataset's error hook,
        // not the caller: kept here, it stops the start like a missing database does.
        std::string loadError;
        auto previous = TDataSet::SetHandleExceptionHook([&loadError](TDataSet*) {
            try {
                throw;
            } catch (const Exception& e) {
                if (loadError.empty()) loadError = e.Message();
            } catch (const std::exception& e) {
                if (loadError.empty()) loadError = e.what();
            }
        });
        auto restore = OnScopeExit([&] { TDataSet::SetHandleExceptionHook(previous); });
        Application->CreateForm<TDM>(&DM);
        for (TKDaoTable* t : {DM->QVys, DM->QPrefs, DM->QPredmety})
            if (loadError.empty() && !t->Active()) loadError = "Tabulku „" + t->GetTableName() + "“ nelze otevřít.";
        if (!loadError.empty()) throw EDatabaseError(loadError);
    }
    fsSetDataFolder(DM->DataFolder());  // report scripts may read and write beside the database
    Application->CreateForm<TFPredmet>(&FPredmet);
    Application->CreateForm<TFMessageBox>(&FMessageBox);
    splash.reset();
    // Said at once, not after a whole card has been typed: reading and printing still work.
    if (const std::string db = DM->KDaoDatabase1->GetDatabase(); DatabaseIsReadOnly(db)) {
        DM->MessageOk("Upozornění",
            "Databázi „" + ExtractFileName(db) +
                "“ nelze měnit (soubor nebo jeho složka je jen pro čtení).\n"
                "Vysvědčení můžete prohlížet a tisknout, ale změny se neuloží.",
            clRed, clYellow);
    }
}

// Whatever start-up made before it failed goes again, the windows before the data module.
static void FreeStartupWindows() {
    delete FMessageBox;
    delete FPredmet;
    delete FMain;
    delete DM;
}

int StartKaromil(const std::function<void(TForm*)>& pause) {
    try {
        StartUp(pause);
        return 0;
    } catch (const Exception& e) {
        // Nothing can run without its database: say why, in a box the user sees, and end.
        std::fprintf(stderr, "karomil: %s\n", e.Message().c_str());
        FreeStartupWindows();
        MessageBox(nullptr, StartupFailureText(e.Message()), "Karomil", MB_OK | MB_ICONSTOP);
        return 1;
    }
}

int RunKaromil() {
    if (const int failed = StartKaromil(SplashPause)) {
        ShutdownQtApplication();
        return failed;
    }
    WatchStartupPaint(FMain, [] { FMain->Close(); });
    FMain->Show();
    Application->Run();
    ShutdownQtApplication();
    return 0;
}
