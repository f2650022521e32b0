#pragma once
// The lookup combo box: shows the display text of the current key, and drops down a lookup
// list under (or above) itself to choose another record. The keyboard works with the list
// closed too: Up and Down step through the records, typing opens the list and searches.

#include "lookup/LookupList.h"
#include "platform/classes/StringList.h"

enum TDropDownAlign { daLeft, daRight, daCenter };
KAROMIL_ENUM_TYPE(TDropDownAlign, "daLeft", "daRight", "daCenter")

class TRxDBLookupCombo : public TRxLookupControl {
    KAROMIL_CLASS(TRxDBLookupCombo, TRxLookupControl)
public:
    explicit TRxDBLookupCombo(TComponent* owner);
    ~TRxDBLookupCombo() override;

    TDropDownAlign GetDropDownAlign() const noexcept { return FDropDownAlign; }
    void SetDropDownAlign(TDropDownAlign v) { FDropDownAlign = v; }
    int GetDropDownCount() const noexcept { return FDropDownCount; }
    void SetDropDownCount(int v) { FDropDownCount = v; }
    int GetDropDownWidth() const noexcept { return FDropDownWidth; }
    void SetDropDownWidth(int v) { FDropDownWidth = v; }
    bool GetEscapeClear() const noexcept { return FEscapeClear; }
    void SetEscapeClear(bool v) { FEscapeClear = v; }
    bool GetDisplayAllFields() const noexcept { return FDisplayAllFields; }
    void SetDisplayAllFields(bool v);
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    virtual void DropDown();
    virtual void CloseUp(bool accept);
    bool ListVisible() const noexcept { return FListVisible; }
    TRxPopupDataList* DataList() const noexcept { return FDataList; }
    int ButtonWidth() const noexcept { return FButtonWidth; }
    bool Pressed() const noexcept { return FPressed; }
    TAlignment TextAlignment() const noexcept { return FTextAlignment; }
    TStringList* Columns() const noexcept { return FColumns.get(); }
    int MinHeight() { return TextHeight() + BorderHeight() + 3; }
    // Repaints the text area at once (the list's choice shows while it is open).
    void InvalidateText();
    void ClearToEmpty() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Paint() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Click() override;

    void DoSetListStyle(TLookupListStyle v) override;
    void DoSetFieldsDelimiter(char v) override;
    void ValueChanged() override;
    void DisplayTextChanged() override;
    void LookupLinkActivated() override;
    void LookupDataChanged() override;
    TGraphic* FetchImage(bool cached, bool isEmpty, int& textMargin) override;
    void DisplayEmptyChanging(const std::string& newText) override;

private:
    void UpdateDisplay();
    void UpdateImage();
    void ShowEmpty();
    void AfterValue();
    void TrackButton(int x, int y);
    void StopTracking();
    void ListMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void RaiseToMinHeight();
    void PaintColumns(TCanvas* canvas, const TRect& area, int start);

    TRxPopupDataList* FDataList = nullptr;  // owned as a component
    int FButtonWidth = 0;
    bool FListVisible = false;
    bool FPressed = false;
    bool FTracking = false;
    TAlignment FTextAlignment = taLeftJustify;
    std::unique_ptr<TPicture> FPicture;
    int FImageMargin = 0;
    std::unique_ptr<TStringList> FColumns;
    TDropDownAlign FDropDownAlign = daLeft;
    int FDropDownCount = 8;
    int FDropDownWidth = 0;
    bool FEscapeClear = true;
    bool FDisplayAllFields = false;
};
