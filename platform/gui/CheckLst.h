#pragma once
// A list box with a check box before every item. A click on an item's box (or Space on the
// current item) toggles it and fires OnClickCheck; the states travel with their items through
// sorting, inserts and deletes.

#include "platform/gui/StdCtrls.h"

class TCheckListBox : public TCustomListBox {
    KAROMIL_CLASS(TCheckListBox, TCustomListBox)
public:
    explicit TCheckListBox(TComponent* owner);
    bool GetChecked(int index) const { return GetState(index) != cbUnchecked; }
    void SetChecked(int index, bool v) { SetState(index, v ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState(int index) const;
    void SetState(int index, TCheckBoxState v);
    // Whether the user's clicks pass through the grayed state.
    bool GetAllowGrayed() const noexcept { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnClickCheck;

protected:
    int ItemIndent() const override;
    void DrawIndent(int index, const TRect& rect) override;
    void ItemPressed(int index, TPoint p) override;
    virtual void ClickCheck();

private:
    void CheckIndex(int index) const;
    void ToggleClickCheck(int index);
    bool FAllowGrayed = false;
};
