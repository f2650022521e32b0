#include "grid/editors/dxTextEdit.h"

#include <climits>

#include "grid/editors/dxStrings.h"
#include "platform/gui/Menus.h"
#include "platform/gui/TextControl.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

KAROMIL_IMPLEMENT_CLASS(TdxInplaceTextEdit, TdxInplaceEdit)

namespace {
// The context menu's items by Tag.
enum : int { tagUndo = -1, tagRedo = -2, tagCut = -3, tagCopy = -4, tagPaste = -5, tagDelete = -6, tagSelectAll = -7 };
}  // namespace

void dxApplyCharCase(const std::string& text, TEditCharCase charCase, std::string& result) {
    if (charCase == ecUpperCase) result = AnsiUpperCase(text);
    else if (charCase == ecLowerCase) result = AnsiLowerCase(text);
    else result = text;
}

TdxInplaceTextEdit::TdxInplaceTextEdit(TComponent* owner, const TdxInplaceEditClass& editClass)
    : TdxInplaceEdit(owner, editClass), FText(std::make_unique<TPlainTextControl>(this)) {
    // The hosted control tracks its own presses; a capture would take the release from it.
    FControlStyle.Exclude(csCaptureMouse);
    FControlStyle.Include(csSetCaption);
    FControlStyle.Include(csDoubleClicks);
    FControlStyle.Include(csClickEvents);
    SetParentColor(false);
    FText->OnTextSync = [this](const std::string& text) { SetTextSilently(text); };
}

TdxInplaceTextEdit::~TdxInplaceTextEdit() { FText->OnTextSync = nullptr; }

TPlainTextControl* TdxInplaceTextEdit::TextControl() const { return FText->Exists() ? FText.get() : nullptr; }

// --- properties ---------------------------------------------------------------------------------

void TdxInplaceTextEdit::SetCharCase(TEditCharCase value) {
    if (value == FCharCase) return;
    FCharCase = value;
    ApplyCharCase();
}

void TdxInplaceTextEdit::SetHideSelection(bool value) {
    if (value == FHideSelection) return;
    FHideSelection = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::SetMaxLength(int value) {
    SetStoredValues(GetStoredValues() | dxsvMaxLength);
    InternalSetMaxLength(value);
}

void TdxInplaceTextEdit::InternalSetMaxLength(int value) {
    if (value < 0) value = 0;
    if (value == FMaxLength) return;
    FMaxLength = value;
    SetWindowMaxLength(value);
}

void TdxInplaceTextEdit::SetWindowMaxLength(int length) {
    if (TextControl()) Perform(EM_EXLIMITTEXT, 0, LPARAM(length));
}

void TdxInplaceTextEdit::SetOEMConvert(bool value) {
    if (value == FOEMConvert) return;
    FOEMConvert = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::SetSelectionBar(bool value) {
    if (value == FSelectionBar) return;
    FSelectionBar = value;
    if (HandleAllocated()) RecreateWnd();
}

void TdxInplaceTextEdit::SetPasswordChar(char32_t value) {
    if (value == FPasswordChar) return;
    FPasswordChar = value;
    if (TextControl()) {
        Perform(EM_SETPASSWORDCHAR, WPARAM(value));
        FText->SetText(GetText());
    }
}

void TdxInplaceTextEdit::InternalSetReadOnly(bool value) {
    inherited::InternalSetReadOnly(value);
    if (TextControl()) Perform(EM_SETREADONLY, WPARAM(!IsTextEditable()));
}

bool TdxInplaceTextEdit::GetModified() {
    if (TextControl()) return Perform(EM_GETMODIFY) != 0;
    return FSavedModified;
}

void TdxInplaceTextEdit::SetModified(bool value) {
    if (TextControl()) Perform(EM_SETMODIFY, WPARAM(value));
    else FSavedModified = value;
}

// --- selection and the control's operations -----------------------------------------------------

int TdxInplaceTextEdit::GetSelStart() {
    CHARRANGE r;
    if (TextControl()) Perform(EM_EXGETSEL, 0, LPARAM(&r));
    return r.cpMin;
}

int TdxInplaceTextEdit::GetSelLength() {
    CHARRANGE r;
    if (TextControl()) Perform(EM_EXGETSEL, 0, LPARAM(&r));
    return r.cpMax - r.cpMin;
}

void TdxInplaceTextEdit::SetSelStart(int value) {
    CHARRANGE r{value, value};
    if (TextControl()) Perform(EM_EXSETSEL, 0, LPARAM(&r));
}

void TdxInplaceTextEdit::SetSelLength(int value) {
    CHARRANGE r;
    if (!TextControl()) return;
    Perform(EM_EXGETSEL, 0, LPARAM(&r));
    r.cpMax = r.cpMin + value;
    Perform(EM_EXSETSEL, 0, LPARAM(&r));
}

void TdxInplaceTextEdit::SelectAll() {
    CHARRANGE r{0, -1};
    if (TextControl()) Perform(EM_EXSETSEL, 0, LPARAM(&r));
}

void TdxInplaceTextEdit::MoveCaretToEnd() {
    if (TextControl()) Perform(EM_SETSEL, WPARAM(INT_MAX), LPARAM(-1));
}

void TdxInplaceTextEdit::GetSelText(std::string& text) {
    text.clear();
    if (TextControl()) Perform(EM_GETSELTEXT, 0, LPARAM(&text));
}

int TdxInplaceTextEdit::GetSelTextBuf(char32_t* buffer, int bufSize) {
    std::string sel;
    GetSelText(sel);
    const std::u32string chars = Utf8ToU32(sel);
    const int n = std::max(0, std::min(bufSize, int(chars.size())));
    std::copy_n(chars.begin(), n, buffer);
    buffer[n] = 0;
    return n;
}

int TdxInplaceTextEdit::GetTextLength() {
    if (TextControl()) return int(Perform(EM_GETTEXTLENGTHEX));
    return int(Utf8Length(GetText()));
}

bool TdxInplaceTextEdit::CanUndo() { return TextControl() && Perform(EM_CANUNDO) != 0; }
bool TdxInplaceTextEdit::CanRedo() { return TextControl() && Perform(EM_CANREDO) != 0; }
bool TdxInplaceTextEdit::CanPaste() { return TextControl() && IsTextEditable() && Perform(EM_CANPASTE) != 0; }
void TdxInplaceTextEdit::Undo() {
    if (TextControl()) Perform(EM_UNDO);
}
void TdxInplaceTextEdit::Redo() {
    if (TextControl()) Perform(EM_REDO);
}
void TdxInplaceTextEdit::CutToClipboard() { Perform(WM_CUT); }
void TdxInplaceTextEdit::CopyToClipboard() { Perform(WM_COPY); }
void TdxInplaceTextEdit::PasteFromClipboard() { Perform(WM_PASTE); }
void TdxInplaceTextEdit::ClearSelection() { Perform(WM_CLEAR); }
void TdxInplaceTextEdit::EmptyUndoBuffer() {
    if (TextControl()) Perform(EM_EMPTYUNDOBUFFER);
}
void TdxInplaceTextEdit::ClearWindowText() { SetText(""); }

// --- values and defaults ------------------------------------------------------------------------

void TdxInplaceTextEdit::SetEditValue(const Variant& value) {
    {
        TRollback assigning(FAssigning, true);
        inherited::SetEditValue(value);
    }
    EmptyUndoBuffer();
}

void TdxInplaceTextEdit::RefreshDefaults() {
    inherited::RefreshDefaults();
    if (!(GetStoredValues() & dxsvMaxLength)) InternalSetMaxLength(GetDefaultMaxLength());
    if (TextControl()) Perform(EM_SETREADONLY, WPARAM(!IsTextEditable()));
}

void TdxInplaceTextEdit::RestoreDefaults() {
    inherited::RestoreDefaults();
    InternalSetMaxLength(GetDefaultMaxLength());
}

std::unique_ptr<TdxEditViewData> TdxInplaceTextEdit::CreateViewData(bool forPaint) {
    auto vd = inherited::CreateViewData(forPaint);
    if (auto* tv = dynamic_cast<TdxTextEditViewData*>(vd.get())) {
        tv->CharCase = FCharCase;
        tv->PasswordChar = FPasswordChar;
        tv->SelectionBar = FSelectionBar;
    }
    return vd;
}

// --- case ---------------------------------------------------------------------------------------

void TdxInplaceTextEdit::ApplyCharCase() {
    if (FCharCase == ecNormal) return;
    std::string cased;
    dxApplyCharCase(GetText(), FCharCase, cased);
    if (cased == GetText()) return;
    TRollback changing(FCaseChanging, true);
    if (!TextControl()) {
        SetText(cased);
        return;
    }
    CHARRANGE sel;
    Perform(EM_EXGETSEL, 0, LPARAM(&sel));
    const bool modified = GetModified();
    {
        // The flag comes back also when replacing the text fails.
        auto restore = OnScopeExit([&] { SetModified(modified); });
        SetText(cased);
    }
    Perform(EM_EXSETSEL, 0, LPARAM(&sel));
}

void TdxInplaceTextEdit::TextChangedNotify() {
    if (!GetComponentState().Contains(csLoading) && !FCaseChanging) ApplyCharCase();
    if (!FCreating && !FAssigning) Change();
}

void TdxInplaceTextEdit::SelectionChange() {
    if (OnSelectionChange) OnSelectionChange(this);
}

// --- window -------------------------------------------------------------------------------------

void TdxInplaceTextEdit::CreateParams(TCreateParams& params) {
    inherited::CreateParams(params);
    params.WinClassName = EditClass().ClassName();
    params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (!IsTextEditable()) params.Style |= ES_READONLY;
    if (FPasswordChar) params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase) params.Style |= ES_UPPERCASE;
    if (FCharCase == ecLowerCase) params.Style |= ES_LOWERCASE;
    if (!FHideSelection) params.Style |= ES_NOHIDESEL;
    if (FOEMConvert) params.Style |= ES_OEMCONVERT;
    if (GetAlignment() == taRightJustify) params.Style |= ES_RIGHT;
    if (GetAlignment() == taCenter) params.Style |= ES_CENTER;
    if (FSelectionBar) params.Style |= ES_SELECTIONBAR;
}

void TdxInplaceTextEdit::CreateWnd() {
    {
        TRollback creating(FCreating, true);
        const std::string text = GetText();
        inherited::CreateWnd();
        FText->Create();
        FText->SetText("");
        Perform(EM_SETTEXTMODE, TM_PLAINTEXT);
        FText->SetText(text);
    }
    SetWindowMaxLength(FMaxLength);
    Perform(EM_SETEVENTMASK, 0, LPARAM(ENM_CHANGE | ENM_DRAGDROPDONE | ENM_SELCHANGE));
    Perform(CM_COLORCHANGED);
    if (FPasswordChar) Perform(EM_SETPASSWORDCHAR, WPARAM(FPasswordChar));
    if (UseOleCallback()) Perform(EM_SETOLECALLBACK, 0, LPARAM(this));
    SetModified(FSavedModified);
    UpdateFormatRect();
}

void TdxInplaceTextEdit::DestroyWnd() {
    if (TextControl()) FSavedModified = GetModified();
    FText->Destroy();
    inherited::DestroyWnd();
}

void TdxInplaceTextEdit::Loaded() {
    inherited::Loaded();
    ApplyCharCase();
}

void TdxInplaceTextEdit::UpdateFormatRect() {
    if (!TextControl()) return;
    TRect r = GetClientRect();
    InflateRect(r, -1, -1);
    if (GetWindowStyle() & ES_SELECTIONBAR) r.Left += 8;
    if (GetAlignment() == taRightJustify) r.Right -= 1;
    const TRect offsets = GetTextOffsets();
    r.Left += offsets.Left;
    r.Top += offsets.Top;
    r.Right -= offsets.Right;
    Perform(EM_SETRECT, 0, LPARAM(&r));
}

// --- context menu -------------------------------------------------------------------------------

TPopupMenu* TdxInplaceTextEdit::ContextMenu() {
    if (FContextMenu) return FContextMenu;
    FContextMenu = new TPopupMenu(this);
    const struct {
        int Text;
        int Tag;
    } items[] = {{dxSUndo, tagUndo}, {dxSRedo, tagRedo}, {0, INT_MAX}, {dxSMenuCut, tagCut}, {dxSMenuCut + 1, tagCopy},
        {dxSMenuCut + 2, tagPaste}, {dxSMenuCut + 3, tagDelete}, {0, INT_MAX}, {dxSMenuSelectAll, tagSelectAll}};
    for (const auto& it : items) {
        auto* item = new TMenuItem(FContextMenu);
        item->SetCaption(it.Text ? dxLoadStr(it.Text) : std::string("-"));
        item->SetTag(it.Tag);
        if (it.Text) item->OnClick = [this](TObject* sender) { MenuClick(sender); };
        FContextMenu->GetItems()->Add(item);
    }
    return FContextMenu;
}

void TdxInplaceTextEdit::UpdateContextMenu() {
    TMenuItem* root = ContextMenu()->GetItems();
    const int selLength = GetSelLength();
    const bool selected = selLength > 0;
    const bool editable = IsTextEditable();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        switch (item->GetTag()) {
        case tagUndo: item->SetEnabled(CanUndo()); break;
        case tagRedo: item->SetEnabled(CanRedo()); break;
        case tagCut: item->SetEnabled(selected && editable && FPasswordChar == 0); break;
        case tagCopy: item->SetEnabled(selected && FPasswordChar == 0); break;
        case tagPaste: item->SetEnabled(CanPaste()); break;
        case tagDelete: item->SetEnabled(selected && editable); break;
        case tagSelectAll: item->SetEnabled(selLength != GetTextLength()); break;
        default: break;
        }
    }
}

void TdxInplaceTextEdit::MenuClick(TObject* sender) {
    switch (static_cast<TMenuItem*>(sender)->GetTag()) {
    case tagUndo: Undo(); break;
    case tagRedo: Redo(); break;
    case tagCut: CutToClipboard(); break;
    case tagCopy: CopyToClipboard(); break;
    case tagPaste: PasteFromClipboard(); break;
    case tagDelete: ClearSelection(); break;
    case tagSelectAll: SelectAll(); break;
    default: break;
    }
}

void TdxInplaceTextEdit::ShowContextMenu(TMessage& m) {
    TPoint p = PointFromLParam(m.LParam);
    if (p.X == -1 && p.Y == -1) {
        // From the keyboard: at the caret, kept inside the client width.
        TPoint caret = FText->CaretPos();
        caret.X = std::min(caret.X, GetClientWidth());
        p = ClientToScreen(caret);
    } else {
        const TPoint client = ScreenToClient(p);
        if (!PtInRect(GetClientRect(), client)) return;
    }
    UpdateContextMenu();
    ContextMenu()->Popup(p.X, p.Y);
    m.Result = 1;
}

// --- messages -----------------------------------------------------------------------------------

void TdxInplaceTextEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        if (!CanModify()) return;
        if (FText->Handle(m)) return;
        break;
    case WM_CHAR:
        // The forced case applies to what is typed before anything else sees it.
        if (FCharCase != ecNormal && m.WParam >= 32) {
            std::string cased;
            dxApplyCharCase(Utf8FromCodePoint(char32_t(m.WParam)), FCharCase, cased);
            m.WParam = WPARAM(Utf8ToU32(cased).front());
        }
        break;
    case WM_DESTROY:
        if (TextControl()) FSavedModified = GetModified();
        break;
    case WM_SIZE:
        inherited::Dispatch(m);
        FText->Fit();
        UpdateFormatRect();
        return;
    case CM_COLORCHANGED:
    case WM_SYSCOLORCHANGE:
        inherited::Dispatch(m);
        if (TextControl()) Perform(EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(GetColor())));
        return;
    case CM_FONTCHANGED: {
        inherited::Dispatch(m);
        if (!TextControl()) return;
        FText->ApplyFont();
        TCharFormat cf;
        cf.dwMask = CFM_COLOR;
        const TColor color = GetFont()->GetColor();
        if (color == clWindowText || color == clDefault) cf.dwEffects = CFE_AUTOCOLOR;
        else cf.crTextColor = ColorToRGB(color);
        Perform(EM_SETCHARFORMAT, SCF_DEFAULT, LPARAM(&cf));
        return;
    }
    case CM_ENABLEDCHANGED:
        inherited::Dispatch(m);
        FText->Fit();
        return;
    case CN_COMMAND:
        if (HiWord(m.WParam) == EN_CHANGE) {
            TextChangedNotify();
            return;
        }
        break;
    case CN_NOTIFY:
        if (auto* sc = reinterpret_cast<TSelChange*>(m.LParam); sc && sc->code == EN_SELCHANGE) {
            if (!GetComponentState().Contains(csLoading)) SelectionChange();
            return;
        }
        break;
    case CM_TEXTCHANGED:
        if (TextControl()) FText->SetText(GetText());  // EN_CHANGE comes back from the control
        else TextChangedNotify();
        inherited::Dispatch(m);
        return;
    case CM_ENTER:
        if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
        break;
    case WM_GETDLGCODE:
        inherited::Dispatch(m);
        if (!IsInplace()) m.Result &= ~LRESULT(DLGC_WANTTAB);
        return;
    case WM_CONTEXTMENU: {
        bool parentMenu = false;
        for (TControl* c = this; c && !parentMenu; c = c->GetParent()) parentMenu = c->GetPopupMenu() != nullptr;
        if (!parentMenu && HasEditWindow()) {
            ShowContextMenu(m);
            return;
        }
        break;
    }
    default:
        if (FText->Handle(m)) return;
        break;
    }
    inherited::Dispatch(m);
}

void TdxInplaceTextEdit::DefaultHandler(TMessage& m) {
    if (FText->DefaultHandler(m)) return;
    inherited::DefaultHandler(m);
}
