#include "report/core/frxProgress.h"

#include "platform/gui/Application.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_CLASS(TfrxProgress, TForm)

TfrxProgress::TfrxProgress(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsNone);
    TForm::SetPosition(poScreenCenter);
    SetClientWidth(271);
    SetClientHeight(101);
    SetColor(clBtnFace);

    Panel = new TPanel(this);
    Panel->SetName("Panel1");
    Panel->SetParent(this);
    Panel->SetAlign(alClient);
    Panel->SetBevelWidth(2);

    LMessage = new TLabel(this);
    LMessage->SetName("LMessage");
    LMessage->SetParent(Panel);
    LMessage->SetAutoSize(false);
    LMessage->SetBounds(16, 11, 237, 20);
    LMessage->SetAlignment(taCenter);
    LMessage->GetFont()->SetName("Tahoma");
    LMessage->GetFont()->SetHeight(-11);

    Bar = new TProgressBar(this);
    Bar->SetName("Bar");
    Bar->SetParent(Panel);
    Bar->SetBounds(16, 37, 237, 17);
    Bar->SetMax(100);
    Bar->SetStep(1);

    CancelB = new TButton(this);
    CancelB->SetName("CancelB");
    CancelB->SetParent(Panel);
    CancelB->SetBounds(100, 64, 75, 25);
    CancelB->SetCaption("Cancel");
    CancelB->SetCancel(true);
    CancelB->SetModalResult(mrCancel);
    CancelB->GetFont()->SetName("Tahoma");
    CancelB->GetFont()->SetHeight(-11);
    CancelB->OnClick = [this](TObject*) { SetTerminated(true); };

    // The whole window drags like a caption bar.
    for (TControl* c : {static_cast<TControl*>(Panel), static_cast<TControl*>(LMessage)}) {
        c->OnMouseDown = [this](TObject*, TMouseButton b, TShiftState, int x, int y) {
            if (b == mbLeft) StartDrag(x, y);
        };
        c->OnMouseMove = [this](TObject*, TShiftState s, int x, int y) { Drag(s, x, y); };
    }
    OnHide = [this](TObject*) { EnablePrevious(); };

    // FormCreate: the localised texts, and the active window stops taking input.
    frxGetResources()->LocalizeForm(this);
    FPreviouslyActiveForm = Screen->ActiveForm();
    if (FPreviouslyActiveForm == this) FPreviouslyActiveForm = nullptr;
    if (FPreviouslyActiveForm) FPreviouslyActiveForm->SetEnabled(false);
    Bar->SetMax(100);
    FPosition = 0;
}

TfrxProgress::~TfrxProgress() {
    OnHide = nullptr;
    EnablePrevious();
}

void TfrxProgress::EnablePrevious() {
    if (FPreviouslyActiveForm) FPreviouslyActiveForm->SetEnabled(true);
}

void TfrxProgress::Execute(int maxValue, const std::string& msg, bool showProgress, bool showCancel) {
    FTerminated = false;
    CancelB->SetVisible(showCancel);
    SetShowProgressBar(showProgress);
    SetPosition(0);
    Bar->SetMax(maxValue);
    SetMessage(msg);
    Show();
    Application->ProcessMessages();
}

void TfrxProgress::SetPosition(int value) {
    FPosition = value;
    Bar->SetPosition(value);
    BringToFront();
    Application->ProcessMessages();
}

void TfrxProgress::SetMessage(const std::string& value) {
    FMessage = value;
    LMessage->SetCaption(value);
    LMessage->Repaint();
}

void TfrxProgress::SetShowProgressBar(bool value) {
    FShowProgressBar = value;
    Bar->SetVisible(value);
    LMessage->SetTop(value ? 15 : 35);
}

void TfrxProgress::SetTerminated(bool value) {
    FTerminated = value;
    if (value) Close();
}

void TfrxProgress::StartDrag(int x, int y) { FDragStart = {x, y}; }

void TfrxProgress::Drag(TShiftState shift, int x, int y) {
    if (!shift.Contains(ssLeft)) return;
    SetBounds(GetLeft() + x - FDragStart.X, GetTop() + y - FDragStart.Y, GetWidth(), GetHeight());
}
