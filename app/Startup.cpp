#include "app/Startup.h"

#include <chrono>
#include <memory>
#include <thread>

#include "app/UFDM.h"
#include "app/UFMain.h"
#include "app/UFMessageBox.h"
#include "app/UFNastaveni.h"
#include "app/UFSplashLogo.h"
#include "platform/gui/Application.h"
#include "platform/gui/StartupProbe.h"
#include "platform/rtl/SysUtils.h"
#include "script/gui/WindowBindings.h"

void SplashPause() { std::this_thread::sleep_for(std::chrono::milliseconds(1000)); }

void StartUp(const std::function<void()>& pause) {
    fsUseWindowBindings();   // scripts started later see windows, dialogs and graphics
    Application->Initialize();
    std::unique_ptr<TFSplashLogo> splash(new TFSplashLogo(nullptr));
    splash->Show();
    // One pass of the event loop: the window system must map the window before it can paint.
    Application->ProcessMessages();
    splash->Update();
    if (pause) pause();
    FormatSettings().DateSeparator = U'.';
    Application->SetTitle("Karomil");
    Application->CreateForm<TFMain>(&FMain);
    Application->CreateForm<TDM>(&DM);
    Application->CreateForm<TFPredmet>(&FPredmet);
    Application->CreateForm<TFMessageBox>(&FMessageBox);
    splash.reset();
}

int RunKaromil() {
    StartUp(SplashPause);
    WatchStartupPaint(FMain, [] { FMain->Close(); });
    FMain->Show();
    Application->Run();
    ShutdownQtApplication();
    return 0;
}
