#pragma once
// A custom control with its own horizontal and vertical scroll model (range, page, position,
// line and page steps) instead of scrolled child controls. It paints only its background;
// descendants paint their content at the current positions and follow position changes
// through OnHScroll and OnVScroll, which run after the position field has changed.

#include "platform/gui/Controls.h"

class TfrxScrollWin : public TCustomControl {
    KAROMIL_CLASS(TfrxScrollWin, TCustomControl)
public:
    explicit TfrxScrollWin(TComponent* owner);

    int GetHorzPage() const noexcept { return FHorzPage; }
    void SetHorzPage(int value);
    int GetHorzPosition() const noexcept { return FHorzPosition; }
    void SetHorzPosition(int value);
    int GetHorzRange() const noexcept { return FHorzRange; }
    void SetHorzRange(int value);
    int GetVertPage() const noexcept { return FVertPage; }
    void SetVertPage(int value);
    int GetVertPosition() const noexcept { return FVertPosition; }
    void SetVertPosition(int value);
    int GetVertRange() const noexcept { return FVertRange; }
    void SetVertRange(int value);
    int LargeChange = 10;  // page-up / page-down step of the bars, both directions
    int SmallChange = 1;  // line-up / line-down step

    void Dispatch(TMessage& message) override;

protected:
    virtual void OnHScroll(TObject* sender) { (void)sender; }
    virtual void OnVScroll(TObject* sender) { (void)sender; }
    void CreateParams(TCreateParams& params) override;
    void Paint() override;

private:
    void SendInfo(int bar);
    void ScrollCommand(int bar, TMessage& message);
    int FHorzPage = 0, FHorzPosition = 0, FHorzRange = 0;
    int FVertPage = 0, FVertPosition = 0, FVertRange = 0;
};
