#pragma once
// The splash window shown while the program starts; also the about box. A click anywhere
// closes it. Its picture is "logo.bmp" or "logo.jpg" beside the program, when there is one.

#include "app/AppControls.h"
#include "platform/gui/StdCtrls.h"

class TFSplashLogo : public TForm {
    KAROMIL_CLASS(TFSplashLogo, TForm)
public:
    explicit TFSplashLogo(TComponent* owner);

    TBannerControl* Image1 = nullptr;  // the logo: a local picture when there is one
    TLabel* Label3 = nullptr;
    TLabel* Label1 = nullptr;

    void FormClick(TObject* sender);
    // How often the window has painted itself (the start shows it painted before its pause).
    int PaintCount() const noexcept { return FPaints; }

private:
    int FPaints = 0;
};
