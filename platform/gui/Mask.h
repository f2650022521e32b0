#pragma once
// The masked edit: an edit whose text follows an edit mask in the class library's syntax,
// "picture;save-literals;blank". The picture's places are L/l (letter), A/a (letter or digit),
// C/c (any character), 0/9 (digit), # (digit or sign), the upper-case ones required; ">" and
// "<" turn the following letters to upper or lower case ("<>" back to as typed); "\" makes the
// next character a literal; ":" and "/" are the time and date separators; "_" is a space; "!"
// fills a value given without literals from the right.
//
// With a mask the edit shows every literal and the blank character in each empty place, and
// typing overwrites place by place, skipping literals; a character the place does not take is
// refused with a beep. Without a mask it is a plain edit.

#include <string>
#include <vector>

#include "platform/gui/StdCtrls.h"
#include "platform/rtl/Exceptions.h"

// A masked edit left with a required place empty.
KAROMIL_DECLARE_EXCEPTION(EMaskEditError, Exception)

// A mask taken apart: one entry per shown position.
struct TEditMaskPicture {
    struct TPosition {
        char32_t Literal = 0;  // the character shown, 0 for a place that takes a character
        char32_t Kind = 0;  // the mask character of a place (L, l, A, a, C, c, 0, 9, #)
        int Case = 0;  // 1 upper, -1 lower, 0 as typed
    };
    std::vector<TPosition> Positions;
    bool SaveLiterals = true;
    bool Reverse = false;
    char32_t Blank = U'_';

    explicit TEditMaskPicture(const std::string& editMask);
    bool Empty() const noexcept { return Positions.empty(); }
    // Whether place i takes c (after the place's case change).
    bool Accepts(size_t i, char32_t c) const;
    char32_t Cased(size_t i, char32_t c) const;
    // The shown text for a value text: literals in place, blanks where nothing fits.
    std::u32string Layout(const std::u32string& value) const;
    // The value text of a shown text: blanks become spaces, literals stay only when saved.
    std::u32string Value(const std::u32string& shown) const;
    // The first required place (L, A, C, 0) left blank in a shown text, -1 when none is.
    int FirstMissing(const std::u32string& shown) const;
};

class TCustomMaskEdit : public TCustomEdit {
    KAROMIL_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    explicit TCustomMaskEdit(TComponent* owner);
    std::string GetEditMask() const { return FEditMask; }
    // Keeps the value: it is laid into the new picture.
    void SetEditMask(const std::string& v);
    bool IsMasked() const;
    // The value (see TEditMaskPicture::Value); setting lays it into the picture.
    std::string GetText() const;
    void SetText(const std::string& v);
    // What the edit shows, literals and blanks included.
    std::string GetEditText() const { return TCustomEdit::GetText(); }
    void SetEditText(const std::string& v);
    // Raises EMaskEditError, caret on the place, when a required place is blank; an empty
    // edit (nothing typed at all) passes.
    virtual void ValidateEdit();

protected:
    void WidgetCreated() override;
    void DoEnter() override;
    void DoExit() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;

private:
    class TValidator;
    // Replaces the shown text as the user's edit, caret at caret.
    void UserEdit(const std::u32string& shown, int caret);
    std::string FEditMask;
    std::string FEnterText;  // what Escape brings back
    int FRefusedAt = -1;  // the blank place a refused exit sends the caret back to
};

class TMaskEdit : public TCustomMaskEdit {
    KAROMIL_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    explicit TMaskEdit(TComponent* owner) : TCustomMaskEdit(owner) {}
};
