#pragma once
// The base of the data-aware lookup list and combo box: a data field that receives a key, and a
// lookup dataset whose records offer the keys with their display texts.
//
// The key travels as text: choosing a record writes its key field's AsString into the data
// field, and the control shows the display field of the record whose key equals the data
// field's text. When the data field is itself a lookup field of its dataset ("lookup mode"),
// the key field, lookup dataset and key name come from the field's lookup definition.

#include <memory>
#include <string>
#include <vector>

#include "lookup/LocateObject.h"
#include "platform/db/DB.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Controls.h"

class TRxLookupControl;
class TRxDBLookupList;
class TRxDBLookupCombo;

enum TLookupListStyle { lsFixed, lsDelimited };
KAROMIL_ENUM_TYPE(TLookupListStyle, "lsFixed", "lsDelimited")

using TGetImageEvent = std::function<void(TObject* sender, bool isEmpty, TGraphic*& graphic, int& textMargin)>;

// The link to the edited record.
class TDataSourceLink : public TDataLink {
    KAROMIL_CLASS(TDataSourceLink, TDataLink)
public:
    explicit TDataSourceLink(TRxLookupControl* control = nullptr) : FControl(control) { VisualControl = true; }

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void FocusControl(TField*& field) override;

private:
    TRxLookupControl* FControl;
};

// The link to the offered records; its buffer window is what a list shows.
class TLookupSourceLink : public TDataLink {
    KAROMIL_CLASS(TLookupSourceLink, TDataLink)
public:
    explicit TLookupSourceLink(TRxLookupControl* control = nullptr) : FControl(control) {}

protected:
    void ActiveChanged() override;
    void LayoutChanged() override;
    void DataSetChanged() override;

private:
    TRxLookupControl* FControl;
};

class TRxLookupControl : public TCustomControl {
    KAROMIL_CLASS(TRxLookupControl, TCustomControl)
public:
    explicit TRxLookupControl(TComponent* owner);
    ~TRxLookupControl() override;

    // --- published by the descendants
    TDataSource* GetDataSource() const;
    void SetDataSource(TDataSource* v);
    std::string GetDataField() const { return FDataFieldName; }
    void SetDataField(const std::string& v);
    TDataSource* GetLookupSource() const;  // nullptr in lookup mode
    void SetLookupSource(TDataSource* v);
    std::string GetLookupField() const;  // empty in lookup mode
    void SetLookupField(const std::string& v);
    std::string GetLookupDisplay() const { return FLookupDisplay; }
    void SetLookupDisplay(const std::string& v);
    int GetLookupDisplayIndex() const noexcept { return FDisplayIndex; }
    void SetLookupDisplayIndex(int v);
    TLookupListStyle GetListStyle() const noexcept { return FListStyle; }
    void SetListStyle(TLookupListStyle v) { DoSetListStyle(v); }
    char GetFieldsDelimiter() const noexcept { return FFieldsDelimiter; }
    void SetFieldsDelimiter(char v) { DoSetFieldsDelimiter(v); }
    std::string GetDisplayEmpty() const { return FDisplayEmpty; }
    void SetDisplayEmpty(const std::string& v);
    std::string GetEmptyValue() const { return FEmptyValue; }
    void SetEmptyValue(const std::string& v);
    TColor GetEmptyItemColor() const noexcept { return FEmptyItemColor; }
    void SetEmptyItemColor(TColor v);
    bool GetIgnoreCase() const noexcept { return FIgnoreCase; }
    void SetIgnoreCase(bool v) { FIgnoreCase = v; }
    bool GetIndexSwitch() const noexcept { return FIndexSwitch; }
    void SetIndexSwitch(bool v) { FIndexSwitch = v; }
    int GetItemHeight() const noexcept { return EffectiveItemHeight(); }
    void SetItemHeight(int v);
    bool GetReadOnly() const noexcept { return FDataLink->ReadOnly(); }
    void SetReadOnly(bool v) { FDataLink->SetReadOnly(v); }
    // Stand-in for the three-dimensional look switch: with it the control has a sunken edge.
    bool GetCtl3D() const noexcept { return FCtl3D; }
    void SetCtl3D(bool v);
    TNotifyEvent OnChange;
    TGetImageEvent OnGetImage;
    bool IsEmptyValueStored() const { return !FEmptyValue.empty(); }
    bool IsItemHeightStored() const { return FItemHeight > const_cast<TRxLookupControl*>(this)->TextHeight(); }

    // --- state
    const std::string& Value() const noexcept { return FValue; }
    const std::string& DisplayValue() const noexcept { return FDisplayValue; }
    const std::string& SearchText() const noexcept { return FSearchText; }
    bool ListActive() const noexcept { return FListActive; }
    bool LookupMode() const noexcept { return FLookupMode; }
    bool IsPopup() const noexcept { return FPopup; }
    TField* DataFieldObj() const noexcept { return FDataFieldObj; }
    TField* MasterField() const noexcept { return FMasterField; }
    TField* KeyField() const noexcept { return FKeyField; }
    TField* DisplayField() const noexcept { return FDisplayField; }
    const std::vector<TField*>& ListFields() const noexcept { return FListFields; }
    TDataSet* LookupDataSet() const { return FLookupLink->DataSet(); }
    bool CanModify() const;
    bool ValueIsEmpty(const std::string& s) const noexcept { return s == FEmptyValue; }
    // Sum of the shown fields' widths ("M"s of the font) with the scroll bar, at most the screen.
    int ColumnsWidth();
    int TextHeight();
    int EffectiveItemHeight() const;
    // Rows the window frame adds to the client area.
    int BorderHeight();
    // Typing into a list: the incremental search (characters, Backspace, Tab and Escape).
    void ProcessSearchKey(char32_t key);
    // The user chose the lookup record with key text s.
    void SelectKeyValue(const std::string& s);
    virtual void ClearToEmpty();

    // The tick of the last search key of any lookup control (process-wide).
    static DWORD LastSearchTick;
    static constexpr DWORD SearchTimeout = 2000;
    static constexpr int MaxSearchLength = 32;

protected:
    friend class TDataSourceLink;
    friend class TLookupSourceLink;
    friend class TRxDBLookupList;
    friend class TRxDBLookupCombo;

    void CreateParams(TCreateParams& params) override;
    void Dispatch(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

    virtual void DoSetListStyle(TLookupListStyle v);
    virtual void DoSetFieldsDelimiter(char v);
    virtual void ValueChanged() {}
    virtual void DisplayTextChanged() {}
    virtual void LookupLinkActivated();
    virtual void LookupDataChanged() {}
    virtual TGraphic* FetchImage(bool cached, bool isEmpty, int& textMargin);
    virtual void DisplayEmptyChanging(const std::string& newText) { (void)newText; }
    virtual void Change() {
        if (OnChange) OnChange(this);
    }

    void DataActiveChanged();
    void DataLayoutChanged();
    void DataRecordChanged(TField* field);
    void SetValue(const std::string& s);
    void SetDisplayValue(const std::string& s);
    bool DoLocate(TField* field, const std::string& s, bool exact);
    bool LocateKey();
    bool LocateDisplay();
    void UpdateKeyValue();
    void UpdateDisplayValue();
    bool SearchFor(std::string& s);
    void DrawPicture(TCanvas* canvas, const TRect& r, TGraphic* graphic);
    void CheckNotCircular();
    void CheckNotFixed();
    void SetLookupMode(bool on);
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }

    std::unique_ptr<TDataSource> FLocalSource;  // the lookup dataset in lookup mode
    std::unique_ptr<TDataSourceLink> FDataLink;
    std::unique_ptr<TLookupSourceLink> FLookupLink;
    std::unique_ptr<TLocateObject> FLocate;
    std::string FDataFieldName, FLookupFieldName, FLookupDisplay;
    int FDisplayIndex = 0;
    TLookupListStyle FListStyle = lsFixed;
    char FFieldsDelimiter = ',';
    std::string FDisplayEmpty, FEmptyValue;
    TColor FEmptyItemColor = clWindow;
    bool FIgnoreCase = true;
    bool FIndexSwitch = true;
    int FItemHeight = 0;
    bool FCtl3D = true;
    TField* FDataFieldObj = nullptr;
    TField* FMasterField = nullptr;
    TField* FKeyField = nullptr;
    TField* FDisplayField = nullptr;
    std::vector<TField*> FListFields;
    std::string FValue, FDisplayValue, FSearchText;
    bool FListActive = false;
    bool FPopup = false;
    bool FFocused = false;
    bool FLookupMode = false;
};
