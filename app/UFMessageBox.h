#pragma once
// The application's own message box: a coloured window with a read-only text and OK, or
// ANO/NE buttons. Made fresh for every message by TDM::MessageOk and TDM::MessageYesNo.

#include <string>

#include "app/AppControls.h"
#include "platform/gui/StdCtrls.h"

class TFMessageBox : public TForm {
    KAROMIL_CLASS(TFMessageBox, TForm)
public:
    explicit TFMessageBox(TComponent* owner);
    ~TFMessageBox() override;

    TPanel* Panel1 = nullptr;
    TBitBtn* OKButton = nullptr;
    TBitBtn* NoButton = nullptr;
    TBitBtn* YesButton = nullptr;
    TMemo* Msg = nullptr;

    void ShowOk(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor);
    // mrYes (6), mrNo (7), or mrCancel (2) when the window was closed otherwise.
    int ShowYesNo(const std::string& caption, const std::string& text, TColor formColor, TColor panelColor);

    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);

private:
    TWinControl* FocusOnShow = nullptr;
    void SetColors(TColor formColor, TColor panelColor);
};

extern TFMessageBox* FMessageBox;
