#include "grid/editors/dxMemoEdit.h"

#include "platform/gui/TextControl.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TdxInplaceMemoEdit, TdxInplaceTextEdit)

const TdxInplaceMemoEditClass& dxInplaceMemoEditClass() {
    static const TdxInplaceMemoEditClass instance;
    return instance;
}

// --- lines --------------------------------------------------------------------------------------

namespace {
// Breaks as the window keeps them: one CR each.
std::string CrBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i] == '\n' ? '\r' : text[i];
    }
    return out;
}
}  // namespace

int TdxMemoStrings::GetCount() const {
    if (!FMemo->TextControl()) return 0;
    int count = int(FMemo->Perform(EM_GETLINECOUNT));
    if (count > 0) {
        const int lastStart = int(FMemo->Perform(EM_LINEINDEX, WPARAM(count - 1)));
        if (lastStart < 0 || FMemo->Perform(EM_LINELENGTH, WPARAM(lastStart)) == 0) --count;
    }
    return count;
}

std::string TdxMemoStrings::Get(int index) const {
    // Sound: the whole line; a fixed 4096-character buffer cut long lines, and every copy or
    // Assign through Lines lost text silently.
    std::string line;
    if (FMemo->TextControl()) FMemo->Perform(EM_GETLINE, WPARAM(index), LPARAM(&line));
    return line;
}

void TdxMemoStrings::Put(int index, const std::string& s) {
    if (!FMemo->TextControl()) return;
    const int start = int(FMemo->Perform(EM_LINEINDEX, WPARAM(index)));
    if (start < 0) return;
    const int length = int(FMemo->Perform(EM_LINELENGTH, WPARAM(start)));
    FMemo->Perform(EM_SETSEL, WPARAM(start), LPARAM(start + length));
    FMemo->Perform(EM_REPLACESEL, 0, LPARAM(s.c_str()));
}

void TdxMemoStrings::Insert(int index, const std::string& s) {
    if (!FMemo->TextControl() || index < 0) return;
    int start = int(FMemo->Perform(EM_LINEINDEX, WPARAM(index)));
    std::string text;
    if (start >= 0) {
        text = s + "\r";
    } else {
        start = int(FMemo->Perform(EM_LINEINDEX, WPARAM(index - 1)));
        if (start < 0) return;
        const int length = int(FMemo->Perform(EM_LINELENGTH, WPARAM(start)));
        if (length == 0) return;
        start += length;
        text = "\r" + s;
    }
    FMemo->Perform(EM_SETSEL, WPARAM(start), LPARAM(start));
    FMemo->Perform(EM_REPLACESEL, 0, LPARAM(text.c_str()));
}

void TdxMemoStrings::Delete(int index) {
    if (!FMemo->TextControl()) return;
    const int start = int(FMemo->Perform(EM_LINEINDEX, WPARAM(index)));
    if (start < 0) return;
    int stop = int(FMemo->Perform(EM_LINEINDEX, WPARAM(index + 1)));
    if (stop < 0) stop = int(FMemo->Perform(EM_GETTEXTLENGTHEX));
    FMemo->Perform(EM_SETSEL, WPARAM(start), LPARAM(stop));
    FMemo->Perform(EM_REPLACESEL, 0, LPARAM(""));
}

void TdxMemoStrings::Clear() { FMemo->SetText(""); }

std::string TdxMemoStrings::GetTextStr() const { return FMemo->GetText(); }

void TdxMemoStrings::SetTextStr(const std::string& text) {
    const uint32_t mask = FMemo->TextControl() ? uint32_t(FMemo->Perform(EM_GETEVENTMASK)) : 0;
    if (FMemo->TextControl()) FMemo->Perform(EM_SETEVENTMASK, 0, LPARAM(mask & ~ENM_CHANGE));
    auto restore = OnScopeExit([&] {
        if (FMemo->TextControl()) FMemo->Perform(EM_SETEVENTMASK, 0, LPARAM(mask));
    });
    const std::string cr = CrBreaks(text);
    if (cr == CrBreaks(FMemo->GetText())) return;
    FMemo->SetText(cr);
}

void TdxMemoStrings::SetUpdateState(bool updating) {
    if (!FMemo->Showing()) return;
    FMemo->Perform(WM_SETREDRAW, WPARAM(!updating));
    if (!updating) {
        FMemo->Refresh();
        FMemo->Perform(CM_TEXTCHANGED);
    }
}

// --- editor -------------------------------------------------------------------------------------

TdxInplaceMemoEdit::TdxInplaceMemoEdit(TComponent* owner, const TdxInplaceEditClass& editClass)
    : TdxInplaceTextEdit(owner, editClass), FLines(std::make_unique<TdxMemoStrings>(this)) {
    SetBounds(GetLeft(), GetTop(), 185, 89);
    SetAutoSize(false);
    SetSelectionBar(true);
    if (!IsInplace()) SetAutoSelect(false);
}

TdxInplaceMemoEdit::~TdxInplaceMemoEdit() = default;

void TdxInplaceMemoEdit::SetHideScrollBars(bool value) {
    if (value == FHideScrollBars) return;
    FHideScrollBars = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMemoEdit::SetScrollBars(TScrollStyle value) {
    if (value == FScrollBars) return;
    FScrollBars = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceMemoEdit::SetWordWrap(bool value) {
    if (value == FWordWrap) return;
    FWordWrap = value;
    if (HandleAllocated()) RecreateWnd();
}

std::unique_ptr<TdxEditViewData> TdxInplaceMemoEdit::CreateViewData(bool forPaint) {
    auto vd = inherited::CreateViewData(forPaint);
    vd->TextLayout = 3;  // several lines, wrapped, from the top
    return vd;
}

void TdxInplaceMemoEdit::SelectAll() {
    inherited::SelectAll();
    // In a cell the text shows from its first line again.
    if (IsInplace() && TextControl()) Perform(EM_SCROLLCARET);
}

void TdxInplaceMemoEdit::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    params.Style |= ES_MULTILINE;
    if (FWordWrap) params.Style &= ~uint32_t(ES_AUTOHSCROLL);
    if (!FHideScrollBars) params.Style |= ES_DISABLENOSCROLL;
}

void TdxInplaceMemoEdit::CreateWnd() {
    // The scroll bars are the text control's own, not the window's (which would be a second pair).
    uint32_t bars = 0;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) bars |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) bars |= WS_VSCROLL;
    Control().SetScrollBars(bars);
    inherited::CreateWnd();
}

void TdxInplaceMemoEdit::Loaded() {
    inherited::Loaded();
    SetModified(false);
}

void TdxInplaceMemoEdit::KeyDown(WORD& key, TShiftState shift) {
    const bool modifiers = shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt);
    if (key == VK_RETURN && IsTextEditable() && !shift.Contains(ssCtrl)) {
        if (CanModify()) Perform(WM_CHAR, WPARAM('\r'));
        key = 0;
        return;
    }
    const bool moveKey = key == VK_PRIOR || key == VK_NEXT || key == VK_UP || key == VK_DOWN;
    const bool allSelected = GetSelStart() == 0 && GetSelLength() == GetTextLength();
    if ((moveKey && (!allSelected || modifiers)) || (key == VK_TAB && FWantTabs)) {
        // The key stays in the editor: the host only hears of it.
        if (TCustomdxContainer* c = GetContainer()) c->EditorKeyDown(key, shift);
        if (key != 0) TWinControl::KeyDown(key, shift);
        return;
    }
    inherited::KeyDown(key, shift);
}

void TdxInplaceMemoEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_KEYDOWN:
        if (!FWantReturns && m.WParam == VK_RETURN && !(IsCtrlDown())) {
            if (TWinControl* parent = GetParent()) parent->Perform(WM_KEYDOWN, m.WParam, m.LParam);
            return;
        }
        break;
    case WM_GETDLGCODE:
        inherited::Dispatch(m);
        if (FWantTabs) m.Result |= DLGC_WANTTAB;
        if (!FWantReturns) m.Result &= ~LRESULT(DLGC_WANTALLKEYS);
        return;
    default: break;
    }
    inherited::Dispatch(m);
}
