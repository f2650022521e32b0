#include "grid/editors/dxMaskEdit.h"

#include <algorithm>

#include "grid/editors/dxMask.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Shell.h"
#include "platform/gui/TextControl.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TdxInplaceMaskEdit, TdxInplaceTextEdit)

const char* const dxSMaskInvalidInput = "Invalid input value.  Use escape key to abandon changes";

const TdxInplaceMaskEditClass& dxInplaceMaskEditClass() {
    static const TdxInplaceMaskEditClass instance;
    return instance;
}

TdxInplaceMaskEdit::TdxInplaceMaskEdit(TComponent* owner, const TdxInplaceEditClass& editClass)
    : TdxInplaceTextEdit(owner, editClass) {}

std::u32string TdxInplaceMaskEdit::Mask() const { return Utf8ToU32(FEditMask); }
std::u32string TdxInplaceMaskEdit::Shown() const { return Utf8ToU32(TControl::GetText()); }
bool TdxInplaceMaskEdit::IsLiteralPos(int offset) const { return dxMaskIsLiteralAt(Mask(), offset); }

// --- mask ---------------------------------------------------------------------------------------

void TdxInplaceMaskEdit::SetEditMask(const std::string& value) {
    SetStoredValues(GetStoredValues() | dxsvEditMask);
    InternalSetEditMask(value);
}

void TdxInplaceMaskEdit::InternalSetEditMask(const std::string& value) {
    if (value == FEditMask) return;
    const TComponentState state = GetComponentState();
    if (state.Contains(csDesigning) && !value.empty() && !state.Contains(csLoading)) TControl::SetText("");
    int selStart = 0, selStop = 0;
    if (TextControl()) GetSel(selStart, selStop);
    // The value of the old mask: literals out, blanks at its open end trimmed.
    const std::u32string oldMask = Mask(), shown = Shown();
    const char32_t oldBlank = FBlankChar;
    std::u32string plain;
    if (FMasked) {
        for (int i = 0; i < int(shown.size()); ++i)
            if (!dxMaskIsLiteralAt(oldMask, i)) plain += shown[size_t(i)];
        if (dxMaskDirectivesAt(oldMask, 1) & mdReverse)
            plain.erase(0, std::min(plain.size(), plain.find_first_not_of(oldBlank)));
        else plain.erase(plain.find_last_not_of(oldBlank) + 1);
    } else {
        plain = shown;
    }
    FEditMask = value;
    const std::u32string mask = Mask();
    FPositionCount = dxMaskPositionCount(mask);
    FMaskSave = dxMaskSavesLiterals(mask);
    FBlankChar = dxMaskBlankChar(mask);
    const bool wasMasked = FMasked;
    FMasked = !FEditMask.empty();
    if (wasMasked) std::replace(plain.begin(), plain.end(), oldBlank, FMasked ? FBlankChar : U' ');
    TControl::SetText(U32ToUtf8(FMasked ? dxMaskFormatValue(mask, plain, FBlankChar) : plain));
    SetWindowMaxLength(0);
    if (FMasked && FPositionCount > 0) SetWindowMaxLength(FPositionCount);
    if (TextControl() && Focused() && !state.Contains(csDesigning)) PlaceCaret(selStart);
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMaskEdit::InternalSetMaxLength(int value) {
    inherited::InternalSetMaxLength(FMasked ? FPositionCount : value);
}

int TdxInplaceMaskEdit::GetDefaultMaxLength() { return FMasked ? FPositionCount : inherited::GetDefaultMaxLength(); }

bool TdxInplaceMaskEdit::UseOleCallback() { return inherited::UseOleCallback() || FMasked; }

void TdxInplaceMaskEdit::RefreshDefaults() {
    inherited::RefreshDefaults();
    if (!(GetStoredValues() & dxsvEditMask)) {
        std::string mask;
        GetDefaultEditMask(mask);
        InternalSetEditMask(mask);
    }
}

// --- texts --------------------------------------------------------------------------------------

void TdxInplaceMaskEdit::GetText(std::string& s) const {
    if (!FMasked) {
        s = TControl::GetText();
        return;
    }
    const std::u32string mask = Mask(), shown = Shown();
    std::u32string value;
    for (int i = 0; i < int(shown.size()); ++i)
        if (!dxMaskIsLiteralAt(mask, i)) value += shown[size_t(i)];
    const bool reverse = dxMaskDirectivesAt(mask, 1) & mdReverse;
    if (reverse) value.erase(0, std::min(value.size(), value.find_first_not_of(FBlankChar)));
    else value.erase(value.find_last_not_of(FBlankChar) + 1);
    if (FBlankChar != U' ') std::replace(value.begin(), value.end(), FBlankChar, U' ');
    if (FMaskSave) value = dxMaskFormatValue(mask, value, U' ');
    s = U32ToUtf8(value);
}

void TdxInplaceMaskEdit::SetText(const std::string& v) {
    if (!FMasked) {
        TControl::SetText(v);
        return;
    }
    const std::u32string mask = Mask(), value = Utf8ToU32(v);
    const std::u32string shown = FMaskSave ? dxMaskFitValue(mask, value, FBlankChar)
                                           : dxMaskFormatValue(mask, value, FBlankChar);
    if (shown == Shown()) return;
    TControl::SetText(U32ToUtf8(shown));
    if (TextControl()) {
        int selStart = 0, selStop = 0;
        GetSel(selStart, selStop);
        if (IsLiteralPos(selStart)) PlaceCaret(std::max(0, NextEditable(selStart)));
    }
}

int TdxInplaceMaskEdit::GetValueLength() const {
    std::string s;
    GetText(s);
    return int(Utf8Length(s));
}

void TdxInplaceMaskEdit::GetDisplayText(std::string& text) {
    if (FIgnoreMaskBlank) {
        text = TControl::GetText();
    } else if (FMasked) {
        const std::u32string blankText = dxMaskFormatValue(Mask(), U"", FBlankChar);
        if (Shown() == blankText) text.clear();
        else GetText(text);
    } else {
        text = TControl::GetText();
    }
}

void TdxInplaceMaskEdit::GetEditValue(Variant& value) {
    std::string s;
    GetText(s);
    value = Variant(s);
}

void TdxInplaceMaskEdit::SetEditValue(const Variant& value) {
    if (!FMasked) {
        inherited::SetEditValue(value);
        return;
    }
    {
        const bool was = Assigning();
        SetAssigning(true);
        auto restore = OnScopeExit([&] { SetAssigning(was); });
        SetText(VarIsNull(value) ? std::string() : VarToStr(value));
    }
    EmptyUndoBuffer();
}

bool TdxInplaceMaskEdit::IsCloseEditorDisabled() { return GetModified() ? inherited::IsCloseEditorDisabled() : false; }

// --- selection and caret ------------------------------------------------------------------------

void TdxInplaceMaskEdit::GetSel(int& selStart, int& selStop) {
    CHARRANGE r;
    if (TextControl()) Perform(EM_EXGETSEL, 0, LPARAM(&r));
    selStart = r.cpMin;
    selStop = r.cpMax;
}

void TdxInplaceMaskEdit::SetSelection(int start, int stop, bool caretAtStart) {
    Perform(EM_SETSEL, WPARAM(start), LPARAM(stop));
    if (caretAtStart) Perform(EM_SETSEL, WPARAM(stop), LPARAM(start));
}

void TdxInplaceMaskEdit::PlaceCaret(int pos) {
    if (!TextControl()) return;
    const int length = int(Shown().size());
    if (!FMasked) {
        pos = std::clamp(pos, 0, length);
        Perform(EM_SETSEL, WPARAM(pos), LPARAM(pos));
        FCaretPos = pos;
        return;
    }
    if (pos < 0) pos = 0;
    int selEnd = pos;
    if (pos + 1 <= length) selEnd = pos + 1;
    if (pos >= FPositionCount) pos = selEnd = FPositionCount;
    // The character at pos shows selected with the caret on its left: the look of overwriting.
    Perform(EM_SETSEL, WPARAM(selEnd), LPARAM(pos));
    FCaretPos = pos;
}

void TdxInplaceMaskEdit::FixCaret() {
    if (!TextControl() || !FMasked) return;
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    if (selStart == selStop) PlaceCaret(selStart);
}

int TdxInplaceMaskEdit::NextEditable(int p) const {
    const std::u32string mask = Mask();
    for (int q = std::max(0, p); q < FPositionCount; ++q)
        if (!dxMaskIsLiteralAt(mask, q)) return q;
    return -1;
}

int TdxInplaceMaskEdit::PrevEditable(int p) const {
    const std::u32string mask = Mask();
    for (int q = std::min(p, FPositionCount - 1); q >= 0; --q)
        if (!dxMaskIsLiteralAt(mask, q)) return q;
    return NextEditable(std::max(0, p));
}

int TdxInplaceMaskEdit::StepCaret(int p, int n) const {
    const int next = NextEditable(p + n);
    return next < 0 ? p : next;
}

// --- editing ------------------------------------------------------------------------------------

void TdxInplaceMaskEdit::ReplaceShown(const std::u32string& shown) {
    const std::string text = U32ToUtf8(shown);
    Perform(EM_SETSEL, 0, LPARAM(-1));
    Perform(EM_REPLACESEL, 1, LPARAM(text.c_str()));
    SetModified(true);
}

void TdxInplaceMaskEdit::BlankRange(int from, int to) {
    if (from >= to) return;
    const std::u32string mask = Mask(), shown = Shown();
    std::u32string part;
    for (int i = from; i < to && i < int(shown.size()); ++i)
        part += dxMaskIsLiteralAt(mask, i) ? shown[size_t(i)] : FBlankChar;
    const std::string text = U32ToUtf8(part);
    Perform(EM_SETSEL, WPARAM(from), LPARAM(from + int(part.size())));
    Perform(EM_REPLACESEL, 1, LPARAM(text.c_str()));
}

void TdxInplaceMaskEdit::DeleteKey(bool backspace) {
    if (!IsTextEditable()) return;
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    if (selStop - selStart <= 1 && backspace) {
        const int p = PrevEditable(selStart - 1);
        if (p < 0 || p == selStart) return;
        selStart = p;
        selStop = p + 1;
    }
    if (selStart == selStop) return;
    const bool one = selStop - selStart == 1;
    BlankRange(selStart, selStop);
    if (one) PlaceCaret(selStart);
    else PlaceCaret(std::max(0, NextEditable(selStart)));
}

void TdxInplaceMaskEdit::CharInput(char32_t ch) {
    if (ch == 27) {
        ResetEditText();
        return;
    }
    if (ch == 13) {
        if (!GetContainer()) ValidateEdit();
        return;
    }
    if (!CanModify() || !IsTextEditable() || ch == 8) return;
    const std::u32string mask = Mask();
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    if (selStop - selStart > 1) {
        BlankRange(selStart, selStop);
        PlaceCaret(std::max(0, NextEditable(selStart)));
        GetSel(selStart, selStop);
    }
    const int index = dxTextPosToMaskIndex(mask, selStart);
    if (index < 0) {
        MessageBeep(0);
        return;
    }
    char32_t c = ch;
    if (dxMaskIsLiteralAt(mask, selStart)) {
        c = dxMaskLiteralChar(mask, index);
    } else if (!dxMaskAcceptChar(mask, index, c)) {
        // Typing the next literal jumps past it, as a user filling a field short expects.
        for (int q = selStart + 1; q < FPositionCount; ++q) {
            if (!dxMaskIsLiteralAt(mask, q)) continue;
            if (dxMaskLiteralChar(mask, dxTextPosToMaskIndex(mask, q)) == ch) {
                const int next = NextEditable(q + 1);
                PlaceCaret(next < 0 ? FPositionCount : next);
                return;
            }
            break;
        }
        MessageBeep(0);
        return;
    }
    const std::string text = U32ToUtf8(std::u32string(1, c));
    Perform(EM_SETSEL, WPARAM(selStart), LPARAM(selStart + 1));
    Perform(EM_REPLACESEL, 1, LPARAM(text.c_str()));
    const int next = NextEditable(selStart + 1);
    PlaceCaret(next < 0 ? FPositionCount : next);
}

void TdxInplaceMaskEdit::MaskedClear() {
    // Sound: only the selection is blanked, as Delete does; blanking the whole text for a
    // partial selection destroyed the rest of the value (two digits of a date cut, the date gone).
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    BlankRange(selStart, selStop);
    SetModified(true);
    PlaceCaret(std::max(0, NextEditable(selStart)));
}

void TdxInplaceMaskEdit::MaskedPaste() {
    if (!IsTextEditable()) return;
    const std::u32string pasted = Utf8ToU32(Clipboard()->GetAsText());
    const std::u32string mask = Mask();
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    std::u32string shown = Shown();
    for (int i = selStart; i < selStop && i < int(shown.size()); ++i)
        if (!dxMaskIsLiteralAt(mask, i)) shown[size_t(i)] = FBlankChar;
    int pos = selStart;
    for (size_t k = 0; k < pasted.size() && pos < FPositionCount;) {
        const int index = dxTextPosToMaskIndex(mask, pos);
        if (dxMaskIsLiteralAt(mask, pos)) {
            // A literal the character does not match is put in, and the character tries the next position.
            if (pasted[k] == dxMaskLiteralChar(mask, index)) ++k;
            ++pos;
            continue;
        }
        char32_t c = pasted[k++];
        shown[size_t(pos++)] = dxMaskAcceptChar(mask, index, c) ? c : FBlankChar;
    }
    shown.resize(size_t(FPositionCount), FBlankChar);
    ReplaceShown(shown);
    PlaceCaret(std::min(pos, FPositionCount));
    ValidateEdit();
}

// --- validation ---------------------------------------------------------------------------------

void TdxInplaceMaskEdit::ValidateEdit() {
    if (!FMasked) {
        inherited::ValidateEdit();
        return;
    }
    if (GetModified()) {
        const std::u32string mask = Mask(), shown = Shown();
        int offending = -1;
        for (int i = 0; i < int(shown.size()) && offending < 0; ++i) {
            const int index = dxTextPosToMaskIndex(mask, i);
            if (index < 0 || !dxMaskIsRequiredAt(mask, index)) continue;
            const char32_t c = shown[size_t(i)];
            if ((c == FBlankChar && !FIgnoreMaskBlank) || (c == U' ' && mask[size_t(index - 1)] != U'C')) offending = i;
        }
        if (offending >= 0) {
            // Sound: a host closing the editor (row change, click elsewhere) is refused like any
            // other leave; resetting here threw the user's edit away and reported success.
            if (!GetComponentState().Contains(csDesigning)) {
                FReEnter = true;
                if (HandleAllocated() && IsWindowVisible(WindowHandle()) && CanFocus()) SetFocus();
            }
            PlaceCaret(offending);
            MessageBeep(0);
            throw EDBEditError(dxSMaskInvalidInput);
        }
    }
    FixCaret();
    inherited::ValidateEdit();
}

// --- keys ---------------------------------------------------------------------------------------

void TdxInplaceMaskEdit::LeftRight(WORD key, TShiftState shift) {
    int selStart = 0, selStop = 0;
    GetSel(selStart, selStop);
    const int selLength = selStop - selStart;
    if (shift.Contains(ssShift)) {
        // The control extends the selection; the anchor of Shift selections follows.
        if (key == VK_RIGHT) FCaretPos = std::min(FCaretPos + 1 + (selLength == 1 ? 1 : 0), FPositionCount);
        else FCaretPos = std::max(FCaretPos - 1, 0);
        return;
    }
    if (selLength > 1) {
        PlaceCaret(FCaretPos == selStop ? FCaretPos - 1 : FCaretPos);
        return;
    }
    if (key == VK_LEFT) {
        PlaceCaret(PrevEditable(selStart - 1) < 0 ? selStart : PrevEditable(selStart - 1));
    } else if (selLength == 0) {
        PlaceCaret(selStart);
    } else {
        const int next = NextEditable(selStart + 1);
        PlaceCaret(next < 0 ? FPositionCount : next);
    }
}

void TdxInplaceMaskEdit::KeyDown(WORD& key, TShiftState shift) {
    const bool ctrl = shift.Contains(ssCtrl), shiftDown = shift.Contains(ssShift);
    if ((ctrl && key == 'V') || (shiftDown && !ctrl && key == VK_INSERT)) {
        if (HandleAllocated()) PostMessage(WindowHandle(), WM_PASTE);
        key = 0;
    }
    inherited::KeyDown(key, shift);
    if (!FMasked || key == 0 || shift.Contains(ssAlt)) return;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (!ctrl) LeftRight(key, shift);
        if (!shiftDown && !ctrl) key = 0;
        return;
    case VK_UP:
    case VK_DOWN: key = 0; return;
    case VK_HOME:
    case VK_END: {
        const bool home = key == VK_HOME;
        if (shiftDown) {
            int selStart = 0, selStop = 0;
            GetSel(selStart, selStop);
            if (home) SetSelection(0, selStop, true);
            else SetSelection(selStart, FPositionCount, false);
            FCaretPos = home ? 0 : FPositionCount;
        } else {
            PlaceCaret(home ? 0 : FPositionCount);
        }
        key = 0;
        return;
    }
    case VK_DELETE:
    case VK_BACK:
        if (key == VK_BACK || (!shiftDown && !ctrl)) {
            if (CanModify()) DeleteKey(key == VK_BACK);
            key = 0;
            return;
        }
        break;
    case 'A':
        if (ctrl) {
            SelectAll();
            key = 0;
            if (HandleAllocated()) dxKillMessage(WindowHandle(), WM_CHAR);
            return;
        }
        break;
    default: break;
    }
    FixCaret();
}

void TdxInplaceMaskEdit::KeyPress(char32_t& key) {
    inherited::KeyPress(key);
    if (!FMasked || key == 0 || key == 3 || key == 22 || key == 24) return;
    CharInput(key);
    key = 0;
}

void TdxInplaceMaskEdit::KeyUp(WORD& key, TShiftState shift) {
    if (FMasked && shift.Contains(ssCtrl) && (key == VK_LEFT || key == VK_RIGHT)) FixCaret();
    inherited::KeyUp(key, shift);
}

// --- messages -----------------------------------------------------------------------------------

void TdxInplaceMaskEdit::Dispatch(TMessage& m) {
    if (!FMasked) {
        inherited::Dispatch(m);
        return;
    }
    switch (m.Msg) {
    case WM_CLEAR:
    case WM_CUT:
    case WM_PASTE:
        if (!CanModify()) return;
        if (m.Msg == WM_CUT) Perform(WM_COPY);
        if (m.Msg == WM_PASTE) MaskedPaste();
        else MaskedClear();
        return;
    case WM_SETFOCUS:
        inherited::Dispatch(m);
        FixCaret();
        return;
    case CM_ENTER:
        if (!FReEnter && GetAutoSelect() && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
        FReEnter = false;
        TdxInplaceEdit::Dispatch(m);
        FixCaret();
        return;
    case WM_LBUTTONDOWN: FButtonDownX = PointFromLParam(m.LParam).X; break;
    case WM_LBUTTONUP: {
        inherited::Dispatch(m);
        int selStart = 0, selStop = 0;
        GetSel(selStart, selStop);
        FCaretPos = selStart != selStop && PointFromLParam(m.LParam).X > FButtonDownX ? selStop : selStart;
        FixCaret();
        return;
    }
    case CM_TEXTCHANGED: {
        inherited::Dispatch(m);
        int selStart = 0, selStop = 0;
        GetSel(selStart, selStop);
        if (TextControl() && IsLiteralPos(selStart)) {
            const int next = NextEditable(selStart);
            if (next >= 0) PlaceCaret(next);
        }
        return;
    }
    case CM_WANTSPECIALKEY:
        if (m.WParam == VK_ESCAPE && GetModified()) {
            m.Result = 1;
            return;
        }
        break;
    case CN_COMMAND:
        if (HiWord(m.WParam) == EN_CHANGE && !Creating() && int(Shown().size()) != FPositionCount) {
            SetText(TControl::GetText());
            SetModified(true);
        }
        break;
    case EM_REPLACESEL: {
        // The shown text keeps its length: a replacement must be as long as the selection.
        CHARRANGE r;
        Perform(EM_EXGETSEL, 0, LPARAM(&r));
        const char* text = reinterpret_cast<const char*>(m.LParam);
        if (Utf8Length(text ? text : "") != r.cpMax - r.cpMin) return;
        break;
    }
    default: break;
    }
    inherited::Dispatch(m);
}
