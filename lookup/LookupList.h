#pragma once
// The lookup list: a window of rows of the lookup dataset, as many as the lookup link buffers,
// with an optional "empty" row on top; the record whose key equals Value is marked.

#include <functional>

#include "lookup/LookupControl.h"
#include "platform/gui/Forms.h"

class TRxDBLookupList : public TRxLookupControl {
    KAROMIL_CLASS(TRxDBLookupList, TRxLookupControl)
public:
    explicit TRxDBLookupList(TComponent* owner);

    TFormBorderStyle GetBorderStyle() const noexcept { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle v);
    TMouseWheelEvent OnMouseWheelDown, OnMouseWheelUp;

    void SetBounds(int left, int top, int width, int height) override;
    int RowCount() const noexcept { return FRowCount; }
    void SetRowCount(int n);
    int RecordIndex() const noexcept { return FRecordIndex; }
    int RecordCount() const noexcept { return FRecordCount; }
    bool HasSelection() const noexcept { return FHasSelection; }
    bool Tracking() const noexcept { return FTracking; }
    // The interval the auto-scroll timer runs at; -1 while it is stopped.
    int ScrollTimerInterval() const noexcept { return FTimerActive ? FTimerInterval : -1; }
    // The buffer window's position of the record whose key equals Value; -1 when none.
    int KeyIndex();
    // Keyboard entry for the combo box, which keeps the focus while its list is open.
    void ListKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
    void ListKeyPress(char32_t& key) { KeyPress(key); }
    void Loaded() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& message) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void Paint() override;

    void ValueChanged() override;
    void DisplayTextChanged() override;
    void LookupLinkActivated() override;
    void LookupDataChanged() override;
    void DisplayEmptyChanging(const std::string& newText) override;
    virtual void DrawItemText(TCanvas* canvas, const TRect& r, bool empty, bool selected);

    int EmptyRows() const noexcept { return FDisplayEmpty.empty() ? 0 : 1; }
    void ListDataChanged();
    void UpdateScrollBar();
    void SetBufferCount(int n);
    void SelectCurrent();
    void SelectItemAt(int x, int y);
    void StopTracking();
    void StopTimer();
    void TimerScroll();
    void Scroll(int code, int pos);
    void ApplyHeight();

    TFormBorderStyle FBorderStyle = bsSingle;
    int FRowCount = 0;
    int FRecordIndex = 0;
    int FRecordCount = 0;
    bool FHasSelection = false;
    bool FTracking = false;
    bool FTimerActive = false;
    int FTimerInterval = 0;
    bool FLockPosition = false;
    bool FSelectEmpty = false;
    int FMouseY = 0;
};

// The drop-down of the combo box: a bordered popup that never takes the focus from the combo.
class TRxPopupDataList : public TRxDBLookupList {
    KAROMIL_CLASS(TRxPopupDataList, TRxDBLookupList)
public:
    explicit TRxPopupDataList(TComponent* owner);
    // Called after a click or a typed character may have moved the selection, so that the
    // owning combo repaints its text while the list is shown. The combo sets it.
    std::function<void()> OnSelectionMoved;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Click() override;
    void KeyPress(char32_t& key) override;
};
