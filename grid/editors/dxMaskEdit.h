#pragma once
// The mask editor: a text editor that can hold an edit mask (dxMask.h). With a mask it works
// in overwrite mode over a text of fixed length (PositionCount characters): the caret skips
// literals and always shows the character it stands on selected, characters the picture does
// not take are refused with a beep, Delete and Backspace blank positions instead of removing
// them, and leaving while a required position is blank raises EDBEditError. Without a mask it
// is the text editor.
//
// Two texts: the shown text (GetEditText: literals and blanks included) and the value
// (GetText: literals only when the mask saves them, blanks as spaces). The host reads and
// writes values through GetText and SetText; note that SetText here lays the value into the
// mask, unlike the control's own SetText, which sets the shown text. GUI thread only.

#include <string>

#include "grid/editors/dxTextEdit.h"

// Leaving a mask editor with a required position blank.
KAROMIL_DECLARE_EXCEPTION(EDBEditError, EdxEditInvalidInput)

// The text of EDBEditError (two spaces after the first full stop).
extern const char* const dxSMaskInvalidInput;

class TdxInplaceMaskEditClass : public TdxInplaceTextEditClass {
public:
    const char* ClassName() const override { return "TdxInplaceMaskEdit"; }
};
const TdxInplaceMaskEditClass& dxInplaceMaskEditClass();

class TdxInplaceMaskEdit : public TdxInplaceTextEdit {
    KAROMIL_CLASS(TdxInplaceMaskEdit, TdxInplaceTextEdit)
public:
    TdxInplaceMaskEdit(TComponent* owner, const TdxInplaceEditClass& editClass);
    explicit TdxInplaceMaskEdit(TComponent* owner) : TdxInplaceMaskEdit(owner, dxInplaceMaskEditClass()) {}

    // --- properties
    std::string GetEditMask() const { return FEditMask; }
    void SetEditMask(const std::string& value);  // stored
    bool IsMasked() const noexcept { return FMasked; }
    char32_t GetBlankChar() const noexcept { return FBlankChar; }
    bool GetMaskSave() const noexcept { return FMaskSave; }
    int GetPositionCount() const noexcept { return FPositionCount; }
    int GetCaretPos() const noexcept { return FCaretPos; }
    bool GetIgnoreMaskBlank() const noexcept { return FIgnoreMaskBlank; }
    void SetIgnoreMaskBlank(bool value) noexcept { FIgnoreMaskBlank = value; }

    // --- the two texts
    void GetEditText(std::string& s) const { s = TControl::GetText(); }
    using TdxInplaceTextEdit::GetText;
    void GetText(std::string& s) const;
    // Lays v into the mask (see the header comment); without a mask the shown text.
    void SetText(const std::string& v);
    int GetValueLength() const;
    // EM_SETSEL (start, stop); with caretAtStart the caret then stands at start.
    void SetSelection(int start, int stop, bool caretAtStart);
    void Clear() { SetText(""); }

    // --- caret (with a mask: overwrite look, one character selected)
    void PlaceCaret(int pos);
    void FixCaret();
    // The first editable position at or after p (below PositionCount), -1 when there is none.
    int NextEditable(int p) const;
    // The first editable position at or before p, else the next one forward, else -1.
    int PrevEditable(int p) const;
    // The next editable position at or after p + n, or p when there is none.
    int StepCaret(int p, int n) const;

    // --- overridable operations
    virtual void GetSel(int& selStart, int& selStop);
    virtual void InternalSetEditMask(const std::string& value);
    virtual void GetDefaultEditMask(std::string& mask) { mask.clear(); }

    // --- of the bases
    void SetEditValue(const Variant& value) override;
    void RefreshDefaults() override;
    void GetEditValue(Variant& value) override;
    bool IsCloseEditorDisabled() override;
    void GetDisplayText(std::string& text) override;
    void ValidateEdit() override;
    bool UseOleCallback() override;
    void InternalSetMaxLength(int value) override;
    int GetDefaultMaxLength() override;

    void Dispatch(TMessage& message) override;

protected:
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void KeyUp(WORD& key, TShiftState shift) override;

private:
    std::u32string Mask() const;
    std::u32string Shown() const;
    bool IsLiteralPos(int offset) const;
    void CharInput(char32_t ch);
    void DeleteKey(bool backspace);
    // Every non-literal position of [from, to) becomes the blank; the range is replaced.
    void BlankRange(int from, int to);
    // Replaces the whole shown text as a user edit (into undo, modified).
    void ReplaceShown(const std::u32string& shown);
    void MaskedClear();
    void MaskedPaste();
    void LeftRight(WORD key, TShiftState shift);

    std::string FEditMask;
    bool FMasked = false;
    bool FReEnter = false;
    char32_t FBlankChar = U'_';
    bool FMaskSave = true;
    int FPositionCount = 0;
    int FCaretPos = 0;
    int FButtonDownX = 0;
    bool FIgnoreMaskBlank = false;
};
