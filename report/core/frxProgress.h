#pragma once
// The small borderless window that shows how far a report run, a print or an export has come
// and lets the user cancel it. While it is open the window that was active before does not
// take input; the window can be dragged by any point.

#include <string>

#include "platform/gui/Forms.h"

class TButton;
class TLabel;
class TPanel;
class TProgressBar;

class TfrxProgress : public TForm {
    KAROMIL_CLASS(TfrxProgress, TForm)
public:
    explicit TfrxProgress(TComponent* owner);
    ~TfrxProgress() override;

    TPanel* Panel;
    TLabel* LMessage;
    TProgressBar* Bar;
    TButton* CancelB;

    void Execute(int maxValue, const std::string& msg, bool showProgress, bool showCancel);
    void Tick() { SetPosition(FPosition + 1); }
    void Reset() { SetPosition(0); }

    int GetPosition() const noexcept { return FPosition; }
    void SetPosition(int value);  // moves the bar, brings the window up, processes messages
    const std::string& GetMessage() const noexcept { return FMessage; }
    void SetMessage(const std::string& value);
    bool GetShowProgressBar() const noexcept { return FShowProgressBar; }
    void SetShowProgressBar(bool value);  // the message sits at top 15 with the bar, 35 without
    bool GetTerminated() const noexcept { return FTerminated; }
    void SetTerminated(bool value);  // True closes the window
    TCustomForm* PreviouslyActiveForm() const noexcept { return FPreviouslyActiveForm; }

private:
    void EnablePrevious();
    void StartDrag(int x, int y);
    void Drag(TShiftState shift, int x, int y);
    int FPosition = 0;
    std::string FMessage;
    bool FShowProgressBar = false;
    bool FTerminated = false;
    TCustomForm* FPreviouslyActiveForm = nullptr;
    TPoint FDragStart;
};
