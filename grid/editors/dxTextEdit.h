#pragma once
// The text editor of the grid family and the base of every editor that edits text. Its window
// is the platform's plain-text control (platform/gui/TextControl.h), which gives multi-level
// undo, a text limit that never cuts what is there, a selection-change notification and a
// formatting rectangle. On top: a forced character case, a password character, a selection
// bar margin, and its own context menu (Undo, Redo, Cut, Copy, Paste, Delete, Select All)
// when neither the editor nor a parent has a PopupMenu.
//
// Text changes reach Change by one of two paths: EN_CHANGE from the control while the window
// exists, CM_TEXTCHANGED while it does not. Neither fires while the window is being created or
// while the host assigns a value (SetEditValue). Positions count characters. GUI thread only.

#include <memory>
#include <string>

#include "grid/editors/dxInplaceEdit.h"

class TPlainTextControl;
class TPopupMenu;

// Text in the given case (every letter, Czech ones included; lengths do not change).
void dxApplyCharCase(const std::string& text, TEditCharCase charCase, std::string& result);

class TdxInplaceTextEdit : public TdxInplaceEdit {
    KAROMIL_CLASS(TdxInplaceTextEdit, TdxInplaceEdit)
public:
    TdxInplaceTextEdit(TComponent* owner, const TdxInplaceEditClass& editClass);
    explicit TdxInplaceTextEdit(TComponent* owner) : TdxInplaceTextEdit(owner, dxInplaceTextEditClass()) {}
    ~TdxInplaceTextEdit() override;

    // --- properties
    TEditCharCase GetCharCase() const noexcept { return FCharCase; }
    void SetCharCase(TEditCharCase value);
    bool GetHideSelection() const noexcept { return FHideSelection; }
    void SetHideSelection(bool value);
    bool GetAutoSelect() const noexcept { return FAutoSelect; }
    void SetAutoSelect(bool value) noexcept { FAutoSelect = value; }
    int GetMaxLength() const noexcept { return FMaxLength; }
    void SetMaxLength(int value);  // stored; negative means 0, the control's default limit
    bool GetOEMConvert() const noexcept { return FOEMConvert; }
    void SetOEMConvert(bool value);  // kept for stored forms; no effect on UTF-8 text
    char32_t GetPasswordChar() const noexcept { return FPasswordChar; }
    void SetPasswordChar(char32_t value);
    bool GetSelectionBar() const noexcept { return FSelectionBar; }
    void SetSelectionBar(bool value);
    TNotifyEvent OnSelectionChange;

    // --- overridable operations
    virtual void ApplyCharCase();
    virtual void SetWindowMaxLength(int length);
    virtual int GetSelLength();
    virtual int GetSelStart();
    virtual void GetSelText(std::string& text);
    virtual bool UseOleCallback() { return false; }
    virtual void SelectionChange();
    virtual void InternalSetMaxLength(int value);
    virtual void SetSelLength(int value);
    virtual void SetSelStart(int value);
    virtual int GetDefaultMaxLength() { return 0; }
    // Copies min(bufSize, selected characters) characters and a terminating 0 (the buffer holds
    // bufSize + 1); answers the count.
    virtual int GetSelTextBuf(char32_t* buffer, int bufSize);

    // --- of the base
    void SetEditValue(const Variant& value) override;
    void RefreshDefaults() override;
    std::unique_ptr<TdxEditViewData> CreateViewData(bool forPaint) override;
    bool GetModified() override;
    void InternalSetReadOnly(bool value) override;
    void SetModified(bool value) override;
    void MoveCaretToEnd() override;
    bool HasEditWindow() override { return true; }
    void RestoreDefaults() override;
    void SelectAll() override;
    bool CanUndo() override;

    // --- the control's operations (each only while the window exists)
    bool CanRedo();
    bool CanPaste();
    void Undo();
    void Redo();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void ClearSelection();  // WM_CLEAR
    void EmptyUndoBuffer();
    void ClearWindowText();
    int GetTextLength();
    // The text control while the window exists, else nullptr.
    TPlainTextControl* TextControl() const;

    // The editor's own menu, created on first use; its items' enabled states are set afresh by
    // UpdateContextMenu, as before every showing.
    TPopupMenu* ContextMenu();
    void UpdateContextMenu();

    void Dispatch(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    // The formatting rectangle from the client size, the selection bar, the alignment and the
    // text offsets.
    void UpdateFormatRect();
    // The text control, with or without its window.
    TPlainTextControl& Control() noexcept { return *FText; }
    bool Creating() const noexcept { return FCreating; }
    bool Assigning() const noexcept { return FAssigning; }
    void SetAssigning(bool value) noexcept { FAssigning = value; }
    // The text changed (by either path): case, then Change.
    void TextChangedNotify();

private:
    void MenuClick(TObject* sender);
    void ShowContextMenu(TMessage& m);

    TEditCharCase FCharCase = ecNormal;
    bool FHideSelection = true;
    bool FAutoSelect = true;
    int FMaxLength = 0;
    bool FOEMConvert = false;
    char32_t FPasswordChar = 0;
    bool FSelectionBar = false;
    bool FSavedModified = false;
    bool FCreating = false;
    bool FAssigning = false;
    bool FCaseChanging = false;
    TPopupMenu* FContextMenu = nullptr;  // owned by the editor as its component
    std::unique_ptr<TPlainTextControl> FText;
};
