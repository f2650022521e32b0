#include "platform/gui/Mask.h"

#include "platform/gui/QtEntry.h"

#include <QtGui/QValidator>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <utility>

#include "platform/gui/Shell.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomMaskEdit, TCustomEdit, {
    KAROMIL_PROP(EditMask);
    KAROMIL_PROP(Text);
})
KAROMIL_IMPLEMENT_CLASS(TMaskEdit, TCustomMaskEdit)

namespace {
bool IsLetter(char32_t c) { return c <= 0xFFFF && QChar{char16_t(c)}.isLetter(); }
bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }
}  // namespace

// --- picture ---------------------------------------------------------------------------------

TEditMaskPicture::TEditMaskPicture(const std::string& editMask) {
    std::u32string mask = Utf8ToU32(editMask);
    // "picture;save-literals;blank": the fields are split at the last unescaped ';'s.
    std::vector<size_t> semis;
    for (size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] == '\\') ++i;
        else if (mask[i] == ';') semis.push_back(i);
    }
    if (semis.size() >= 2) {
        const size_t s1 = semis[semis.size() - 2], s2 = semis.back();
        if (s1 + 1 < s2) SaveLiterals = mask[s1 + 1] != '0';
        if (s2 + 1 < mask.size()) Blank = mask[s2 + 1];
        mask.resize(s1);
    } else if (semis.size() == 1) {
        if (semis[0] + 1 < mask.size()) SaveLiterals = mask[semis[0] + 1] != '0';
        mask.resize(semis[0]);
    }
    const TFormatSettings& fs = FormatSettings();
    int casing = 0;
    for (size_t i = 0; i < mask.size(); ++i) {
        const char32_t c = mask[i];
        if (c == '<' && i + 1 < mask.size() && mask[i + 1] == '>') {
            casing = 0;
            ++i;
            continue;
        }
        switch (c) {
        case '!': Reverse = true; break;
        case '>': casing = 1; break;
        case '<': casing = -1; break;
        case '\\':
            if (i + 1 < mask.size()) Positions.push_back({mask[++i], 0, 0});
            break;
        case ':': Positions.push_back({fs.TimeSeparator, 0, 0}); break;
        case '/': Positions.push_back({fs.DateSeparator, 0, 0}); break;
        case '_': Positions.push_back({U' ', 0, 0}); break;
        default:
            if (IsMaskPosition(c)) Positions.push_back({0, c, casing});
            else Positions.push_back({c, 0, 0});
        }
    }
}

char32_t TEditMaskPicture::Cased(size_t i, char32_t c) const {
    const int casing = Positions[i].Case;
    if (casing == 0 || c > 0xFFFF) return c;
    const QChar q{char16_t(c)};
    return casing > 0 ? q.toUpper().unicode() : q.toLower().unicode();
}

bool TEditMaskPicture::Accepts(size_t i, char32_t c) const {
    if (i >= Positions.size() || Positions[i].Literal) return false;
    switch (Positions[i].Kind) {
    case 'L':
    case 'l': return IsLetter(c);
    case 'A':
    case 'a': return IsLetter(c) || IsDigit(c);
    case '0':
    case '9': return IsDigit(c);
    case '#': return IsDigit(c) || c == '+' || c == '-';
    default: return c >= 0x20;
    }
}

std::u32string TEditMaskPicture::Layout(const std::u32string& value) const {
    std::u32string out(Positions.size(), Blank);
    auto put = [&](size_t i, char32_t c) {
        if (c != U' ' && c != Blank && Accepts(i, Cased(i, c))) out[i] = Cased(i, c);
    };
    if (SaveLiterals || !Reverse) {
        size_t j = 0;
        for (size_t i = 0; i < Positions.size(); ++i) {
            if (Positions[i].Literal) {
                out[i] = Positions[i].Literal;
                if (SaveLiterals && j < value.size() && value[j] == Positions[i].Literal) ++j;
            } else if (j < value.size()) {
                put(i, value[j++]);
            }
        }
    } else {
        size_t j = value.size();
        for (size_t i = Positions.size(); i-- > 0;) {
            if (Positions[i].Literal) out[i] = Positions[i].Literal;
            else if (j > 0) put(i, value[--j]);
        }
    }
    return out;
}

std::u32string TEditMaskPicture::Value(const std::u32string& shown) const {
    std::u32string out;
    for (size_t i = 0; i < Positions.size(); ++i) {
        if (Positions[i].Literal) {
            if (SaveLiterals) out += Positions[i].Literal;
        } else {
            const char32_t c = i < shown.size() ? shown[i] : Blank;
            out += c == Blank ? U' ' : c;
        }
    }
    return out;
}

// --- masked edit -----------------------------------------------------------------------------

// Refuses whatever edit of the widget's own (paste, cut, drag) would break the picture.
class TCustomMaskEdit::TValidator : public QValidator {
public:
    TValidator(TCustomMaskEdit* edit, QObject* parent) : QValidator(parent), FEdit(edit) {}
    State validate(QString& input, int&) const override {
        // A fault refuses the edit (and is shown).
        return gui_detail::Guarded([&] { return Check(input); }, Invalid);
    }

private:
    State Check(const QString& input) const {
        const TEditMaskPicture pic(FEdit->FEditMask);
        if (pic.Empty()) return Acceptable;
        const std::u32string s = input.toStdU32String();
        if (s.size() != pic.Positions.size()) return Invalid;
        for (size_t i = 0; i < s.size(); ++i) {
            const auto& p = pic.Positions[i];
            if (p.Literal ? s[i] != p.Literal : s[i] != pic.Blank && !pic.Accepts(i, s[i])) return Invalid;
        }
        return Acceptable;
    }

    TCustomMaskEdit* FEdit;
};

int TEditMaskPicture::FirstMissing(const std::u32string& shown) const {
    for (size_t i = 0; i < Positions.size(); ++i) {
        const TPosition& p = Positions[i];
        const bool required = p.Kind == U'L' || p.Kind == U'A' || p.Kind == U'C' || p.Kind == U'0';
        if (required && (i >= shown.size() || shown[i] == Blank)) return int(i);
    }
    return -1;
}

TCustomMaskEdit::TCustomMaskEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomMaskEdit::ValidateEdit() {
    if (!IsMasked()) return;
    const TEditMaskPicture pic(FEditMask);
    const std::u32string shown = Utf8ToU32(GetEditText());
    if (shown == pic.Layout(U"")) return;
    const int missing = pic.FirstMissing(shown);
    if (missing < 0) return;
    FRefusedAt = missing;
    SetSelStart(missing);
    SetSelLength(0);
    throw EMaskEditError("Neplatná vstupní hodnota. Změny zrušíte klávesou Esc.");
}

void TCustomMaskEdit::DoEnter() {
    // Coming back after a refused exit is the same visit: Escape still restores its start.
    const int refusedAt = std::exchange(FRefusedAt, -1);
    if (refusedAt < 0) FEnterText = GetEditText();
    TCustomEdit::DoEnter();
    if (refusedAt >= 0) {
        SetSelStart(refusedAt);
        SetSelLength(0);
    }
}

void TCustomMaskEdit::DoExit() {
    try {
        ValidateEdit();
    } catch (...) {
        // The user stays in the edit to finish or abandon it.
        try {
            SetFocus();
        } catch (...) {
            FRefusedAt = -1;
        }
        throw;
    }
    TCustomEdit::DoExit();
}

bool TCustomMaskEdit::IsMasked() const { return !TEditMaskPicture(FEditMask).Empty(); }

void TCustomMaskEdit::SetEditMask(const std::string& v) {
    if (v == FEditMask) return;
    const std::string value = GetText();
    FEditMask = v;
    SetText(value);
}

std::string TCustomMaskEdit::GetText() const {
    const TEditMaskPicture pic(FEditMask);
    if (pic.Empty()) return GetEditText();
    return U32ToUtf8(pic.Value(Utf8ToU32(GetEditText())));
}

void TCustomMaskEdit::SetText(const std::string& v) {
    const TEditMaskPicture pic(FEditMask);
    TCustomEdit::SetText(pic.Empty() ? v : U32ToUtf8(pic.Layout(Utf8ToU32(v))));
}

void TCustomMaskEdit::SetEditText(const std::string& v) {
    const TEditMaskPicture pic(FEditMask);
    if (pic.Empty()) {
        TCustomEdit::SetText(v);
        return;
    }
    // An edit text is laid place by place, literals included.
    std::u32string s = Utf8ToU32(v), out(pic.Positions.size(), pic.Blank);
    for (size_t i = 0; i < out.size(); ++i) {
        if (pic.Positions[i].Literal) out[i] = pic.Positions[i].Literal;
        else if (i < s.size() && pic.Accepts(i, pic.Cased(i, s[i]))) out[i] = pic.Cased(i, s[i]);
    }
    TCustomEdit::SetText(U32ToUtf8(out));
}

void TCustomMaskEdit::WidgetCreated() {
    TCustomEdit::WidgetCreated();
    auto* e = static_cast<QLineEdit*>(WidgetIfMade());
    e->setValidator(new TValidator(this, e));
}

void TCustomMaskEdit::UserEdit(const std::u32string& shown, int caret) {
    const std::string text = U32ToUtf8(shown);
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) {
        Setting([&] {
            e->setText(QString::fromStdU32String(shown));
            e->setCursorPosition(caret);
        });
    }
    if (text == GetEditText()) return;
    SetTextSilently(text);
    FModified = true;
    Change();
}

void TCustomMaskEdit::KeyDown(WORD& key, TShiftState shift) {
    TCustomEdit::KeyDown(key, shift);
    if (key == VK_ESCAPE && IsMasked() && GetEditText() != FEnterText) {
        // Escape abandons what was typed since the edit took the focus.
        UserEdit(Utf8ToU32(FEnterText), 0);
        key = 0;
        return;
    }
    if (key != VK_DELETE || !IsMasked() || GetReadOnly()) return;
    // Delete blanks the selected places (or the one at the caret); the picture keeps its length.
    const TEditMaskPicture pic(FEditMask);
    std::u32string s = Utf8ToU32(GetEditText());
    const int start = GetSelStart(), len = std::max(1, GetSelLength());
    for (int i = start; i < start + len && size_t(i) < s.size(); ++i)
        if (!pic.Positions[size_t(i)].Literal) s[size_t(i)] = pic.Blank;
    UserEdit(s, start);
    key = 0;
}

void TCustomMaskEdit::KeyPress(char32_t& key) {
    TCustomEdit::KeyPress(key);
    if (key == 0 || !IsMasked() || GetReadOnly()) return;
    if (key < 0x20 && key != 8) return;  // Ctrl+C and the like stay the widget's
    const TEditMaskPicture pic(FEditMask);
    std::u32string s = Utf8ToU32(GetEditText());
    const size_t n = pic.Positions.size();
    int start = GetSelStart();
    const int len = GetSelLength();
    auto blankSelection = [&] {
        for (int i = start; i < start + len && size_t(i) < n; ++i)
            if (!pic.Positions[size_t(i)].Literal) s[size_t(i)] = pic.Blank;
    };
    if (key == 8) {
        blankSelection();
        if (len == 0) {
            int i = start - 1;
            while (i >= 0 && pic.Positions[size_t(i)].Literal) --i;
            if (i >= 0) {
                s[size_t(i)] = pic.Blank;
                start = i;
            }
        }
        UserEdit(s, start);
        key = 0;
        return;
    }
    size_t i = size_t(std::max(0, start));
    while (i < n && pic.Positions[i].Literal) ++i;
    const char32_t c = i < n ? pic.Cased(i, key) : key;
    key = 0;
    if (i >= n || !pic.Accepts(i, c)) {
        MessageBeep(0);  // refused: the text and its selection stay as they were
        return;
    }
    blankSelection();
    s[i] = c;
    size_t next = i + 1;
    while (next < n && pic.Positions[next].Literal) ++next;
    UserEdit(s, int(next));
}
