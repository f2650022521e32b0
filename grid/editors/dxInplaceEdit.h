#pragma once
// The base of every editor of the grid family. An editor object has two lives: as a window it
// is the one editor a grid shows over the focused cell; as a class (TdxInplaceEditClass,
// dxViewData.h) it paints cells without any window. This is the window side: stored values,
// validation, key routing to the host, showing and hiding over a cell, the style link and the
// messages an editor window handles.
//
// An editor "in place" (its class says so) treats its owner as its container
// (TCustomdxContainer) and routes its questions there; see dxCntner.h for the host's side.
// GUI thread only.

#include <functional>
#include <memory>
#include <string>

#include "grid/editors/dxCntner.h"
#include "grid/editors/dxViewData.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

class TdxEditStyle;
class TdxEditStyleController;

// A refused validation: the editor stays open and modified.
KAROMIL_DECLARE_EXCEPTION(EdxEditInvalidInput, Exception)

using TdxEditValidateEvent = std::function<void(TObject* sender, std::string& errorText, bool& accept)>;

// StoredValues: the properties set explicitly; the rest follow the kind's defaults.
enum : uint16_t {
    dxsvAlignment = 0x01,
    dxsvMaxLength = 0x02,
    dxsvEditMask = 0x04,
    dxsvValueType = 0x08,
    dxsvMaxValue = 0x10,
    dxsvMinValue = 0x20,
    dxsvReadOnly = 0x40,
    dxsvDisplayFormat = 0x100,
};

class TdxInplaceEdit : public TWinControl {
    KAROMIL_CLASS(TdxInplaceEdit, TWinControl)
public:
    // editClass: the class operations of the kind being built (they decide in place or not and
    // the style class, which a constructor must know before the kind's own constructor runs).
    TdxInplaceEdit(TComponent* owner, const TdxInplaceEditClass& editClass);
    explicit TdxInplaceEdit(TComponent* owner) : TdxInplaceEdit(owner, dxInplaceEditClass()) {}
    ~TdxInplaceEdit() override;

    const TdxInplaceEditClass& EditClass() const noexcept { return FEditClass; }
    bool IsInplace() const { return FEditClass.IsInplace(); }
    // The owner when in place, else nullptr.
    TCustomdxContainer* GetContainer() const;
    bool IsShown() const;

    // --- properties
    TAlignment GetAlignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment value);  // stored
    bool GetAutoSize() const noexcept { return FAutoSize; }
    void SetAutoSize(bool value);
    bool GetReadOnly();  // the stored value when set, else GetDataReadOnly
    void SetReadOnly(bool value);  // stored
    TRect GetTextOffsets() const noexcept { return FTextOffsets; }
    void SetTextOffsets(const TRect& offsets);  // re-creates the window when they differ
    TdxEditStyle* GetStyle() const noexcept { return FStyle.get(); }
    TdxEditStyleController* GetStyleController() const noexcept { return FStyleController; }
    void SetStyleController(TdxEditStyleController* value);
    uint16_t GetStoredValues() const noexcept { return FStoredValues; }
    void SetStoredValues(uint16_t v) noexcept { FStoredValues = v; }
    bool GetTransparent() const noexcept { return FTransparent; }
    void SetTransparent(bool v);
    bool GetClickDropsDown() const noexcept { return FClickDropsDown; }
    void SetClickDropsDown(bool v) noexcept { FClickDropsDown = v; }
    bool GetActive() const noexcept { return FActive; }
    bool GetMouseInside() const noexcept { return FMouseInside; }
    // Set by the host while it closes the editor.
    bool GetCloseFlag() const noexcept { return FCloseFlag; }
    void SetCloseFlag(bool v) noexcept { FCloseFlag = v; }
    void SetDisableCloseEditor(bool v) noexcept { FDisableClose = v; }
    // Message time of the press that opened the editor (written by the host).
    DWORD GetClickTime() const noexcept { return FClickTime; }
    void SetClickTime(DWORD t) noexcept { FClickTime = t; }
    int QuietShowCount() const noexcept { return FQuietShowCount; }
    int ValidationLock() const noexcept { return FValidationLock; }

    void BeginQuietShow() { ++FQuietShowCount; }
    void EndQuietShow() { --FQuietShowCount; }
    // Covers rect grown by 2 on every side, shows, takes the focus and selects all; EditShown
    // on the first showing outside a quiet bracket. Nothing for an empty rect or not in place.
    void ShowInRect(const TRect& rect);

    // --- overridable operations
    virtual void SetEditValue(const Variant& value);  // Null gives an empty text
    virtual void RefreshDefaults();
    virtual void GetDisplayValue(Variant& value, bool fromDefinition);
    virtual void GetEditValue(Variant& value);
    virtual void RequestFocus(bool& handled);
    virtual void EmptyNotification() {}
    virtual bool IsValidChar(char32_t key);
    virtual void Change();
    // A view data filled from the editor; the caller owns it.
    virtual std::unique_ptr<TdxEditViewData> CreateViewData(bool forPaint);
    virtual void FocusChanged();
    virtual bool CanModify();
    virtual bool IsCloseEditorDisabled() { return FDisableClose; }
    virtual bool GetModified() { return FModified; }
    virtual bool IsTextChangingKey(WORD key, TShiftState shift);
    static bool IsCtrlDown();
    virtual bool IsPaintedOnly() { return !HasEditWindow(); }
    virtual bool HandlesMouseWheel() { return false; }
    virtual bool WantTabs() { return false; }
    virtual void MoveFocusedColumn(bool backward);
    virtual void ResetEditText();
    virtual void SetActive(bool active);
    virtual void InternalSetAlignment(TAlignment value);
    virtual void InternalSetReadOnly(bool value) { FReadOnly = value; }
    virtual void SetModified(bool value) { FModified = value; }
    virtual void SetMouseInside(bool value) { FMouseInside = value; }
    // Size and window region again from the view info, then a repaint.
    virtual void StyleChanged();
    virtual void EditShown() {}
    virtual bool IsTextEditable() { return !GetReadOnly(); }
    virtual TAlignment GetDefaultAlignment() { return taLeftJustify; }
    virtual bool GetDataReadOnly() { return false; }
    virtual bool GetDefaultReadOnly() { return false; }
    virtual void MoveCaretToEnd() {}
    virtual void FocusLost(HWND newFocus);
    virtual void GetDisplayText(std::string& text) { text = GetText(); }
    virtual void HideEdit();
    virtual bool HasEditWindow() { return false; }
    virtual bool ValidateOnEnter() { return false; }
    virtual bool IsFocused() { return Focused(); }
    virtual bool NeedsActiveRepaint();
    virtual bool IsHighlighted();
    virtual bool IsShowButtonAlways();
    virtual bool CanUndo() { return HasEditWindow(); }
    virtual bool CanSelectText() { return HasEditWindow(); }
    virtual void ContainerMouseDown(int, int) {}
    virtual void ContainerMouseUp() {}
    virtual void RestoreDefaults();
    virtual void SelectAll() {}
    // The text becomes text when the editor may be modified; marked modified either way.
    virtual void SetEditingText(const std::string& text);
    virtual void ShowEdit();
    // Asks OnValidate when modified and not locked; a refusal beeps, keeps the focus and
    // raises EdxEditInvalidInput.
    virtual void ValidateEdit();

    void WndProc(TMessage& message) override;
    void Dispatch(TMessage& message) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TdxEditValidateEvent OnValidate;

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void KeyUp(WORD& key, TShiftState shift) override;
    void DblClick() override;
    void PaintWindow(HDC dc) override;
    void Notification(TComponent* component, TOperation operation) override;
    // Size and region from a fresh view info (when the window exists).
    void RecalcSizeAndRegion();
    // Hot tracking: border and buttons follow the highlighted state.
    void HotTrackChanged();

private:
    const TdxInplaceEditClass& FEditClass;
    bool FActive = false;
    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = true;
    int FQuietShowCount = 0;
    bool FModified = false;
    TRect FTextOffsets;
    bool FSavedModified = false;
    std::string FSavedText;
    bool FReadOnly = false;
    bool FMouseInside = false;
    std::unique_ptr<TdxEditStyle> FStyle;
    TdxEditStyleController* FStyleController = nullptr;
    bool FTransparent = false;
    bool FShown = false;
    int FValidationLock = 0;
    bool FCloseFlag = false;
    bool FDisableClose = false;
    bool FClickDropsDown = false;
    uint16_t FStoredValues = 0;
    DWORD FClickTime = 0;
};
