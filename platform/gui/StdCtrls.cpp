#include "platform/gui/StdCtrls.h"

#include <QtGui/QTextDocument>
#include <QtGui/QTextOption>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTextEdit>

#include <algorithm>

#include "platform/gui/Application.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomLabel, TGraphicControl, {
    KAROMIL_PROP(Alignment).Default(taLeftJustify);
    KAROMIL_PROP(Layout).Default(tlTop);
    KAROMIL_PROP(AutoSize).Default(1);
    KAROMIL_PROP(WordWrap).Default(0);
    KAROMIL_PROP(Transparent).Default(0);
    KAROMIL_PROP(ShowAccelChar).Default(1);
    KAROMIL_PROP(FocusControl);
})
KAROMIL_IMPLEMENT_CLASS(TLabel, TCustomLabel)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TStaticText, TWidgetControl, {
    KAROMIL_PROP(Alignment).Default(taLeftJustify);
    KAROMIL_PROP(BorderStyle).Default(sbsNone);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomEdit, TWidgetControl, {
    KAROMIL_PROP(Text);
    KAROMIL_PROP(MaxLength).Default(0);
    KAROMIL_PROP(ReadOnly).Default(0);
    KAROMIL_PROP(CharCase).Default(ecNormal);
    KAROMIL_PROP(BorderStyle).Default(bsSingle);
    KAROMIL_PROP(AutoSelect).Default(1);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TEdit, TCustomEdit)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomMemo, TCustomEdit, {
    KAROMIL_PROP(Lines);
    KAROMIL_PROP(Alignment).Default(taLeftJustify);
    KAROMIL_PROP(ScrollBars).Default(ssNone);
    KAROMIL_PROP(WordWrap).Default(1);
    KAROMIL_PROP(WantReturns).Default(1);
    KAROMIL_PROP(WantTabs).Default(0);
})
KAROMIL_IMPLEMENT_CLASS(TMemo, TCustomMemo)
KAROMIL_IMPLEMENT_CLASS(TButtonControl, TWidgetControl)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TButton, TButtonControl, {
    KAROMIL_PROP(Default).Default(0);
    KAROMIL_PROP(Cancel).Default(0);
    KAROMIL_PROP(ModalResult).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomCheckBox, TButtonControl, {
    KAROMIL_PROP(Checked).Default(0);
    KAROMIL_PROP(State).Default(cbUnchecked);
    KAROMIL_PROP(AllowGrayed).Default(0);
})
KAROMIL_IMPLEMENT_CLASS(TCheckBox, TCustomCheckBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TRadioButton, TButtonControl, {
    KAROMIL_PROP(Checked).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomComboBox, TWidgetControl, {
    KAROMIL_PROP(Items);
    KAROMIL_PROP(ItemIndex).Default(-1);
    KAROMIL_PROP(Style).Default(csDropDown);
    KAROMIL_PROP(DropDownCount).Default(8);
    KAROMIL_PROP(Sorted).Default(0);
    KAROMIL_PROP(MaxLength).Default(0);
    KAROMIL_PROP(DroppedDown).Default(0);
    KAROMIL_PROP(Text);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
    p.Event("OnDropDown", &Self::OnDropDown, "TNotifyEvent");
    p.Event("OnCloseUp", &Self::OnCloseUp, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TComboBox, TCustomComboBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomListBox, TWidgetControl, {
    KAROMIL_PROP(Items);
    KAROMIL_PROP(ItemIndex).Default(-1);
    KAROMIL_PROP(MultiSelect).Default(0);
    KAROMIL_PROP(Sorted).Default(0);
    KAROMIL_PROP_READONLY(SelCount);
})
KAROMIL_IMPLEMENT_CLASS(TListBox, TCustomListBox)
KAROMIL_IMPLEMENT_CLASS(TCustomGroupBox, TCustomControl)
KAROMIL_IMPLEMENT_CLASS(TGroupBox, TCustomGroupBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TScrollBox, TScrollingWinControl, {
    KAROMIL_PROP(BorderStyle).Default(bsSingle);
})

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

Qt::Alignment HorzAlign(TAlignment a) {
    switch (a) {
    case taRightJustify: return Qt::AlignRight;
    case taCenter: return Qt::AlignHCenter;
    default: return Qt::AlignLeft;
    }
}
char32_t LowerChar(char32_t ch) {
    return char32_t(QString::fromUcs4(&ch, 1).toLower().toUcs4().value(0));
}
}  // namespace

std::string StripHotkey(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') { out += '&'; ++i; }
            continue;
        }
        out += text[i];
    }
    return out;
}

char32_t HotkeyOf(const std::string& text) {
    const QString q = Q(text);
    for (qsizetype i = 0; i + 1 < q.size(); ++i) {
        if (q[i] != '&') continue;
        if (q[i + 1] == '&') { ++i; continue; }
        return LowerChar(char32_t(q.mid(i + 1, 1).toUcs4().value(0)));
    }
    return 0;
}

// --- label -----------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csOpaque).Include(csReplicatable);
    FParentColor = true;
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment v) { if (v != FAlignment) { FAlignment = v; Invalidate(); } }
void TCustomLabel::SetLayout(TTextLayout v) { if (v != FLayout) { FLayout = v; Invalidate(); } }
void TCustomLabel::SetAutoSize(bool v) { if (v != FAutoSize) { FAutoSize = v; AdjustBounds(); } }
void TCustomLabel::SetWordWrap(bool v) { if (v != FWordWrap) { FWordWrap = v; AdjustBounds(); Invalidate(); } }
void TCustomLabel::SetShowAccelChar(bool v) { if (v != FShowAccelChar) { FShowAccelChar = v; AdjustBounds(); Invalidate(); } }

void TCustomLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v) FControlStyle.Exclude(csOpaque); else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
    FFocusControl = v;
    if (v) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* c, TOperation op) {
    TGraphicControl::Notification(c, op);
    if (op == opRemove && c == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

uint32_t TCustomLabel::TextFlags() const {
    uint32_t f = DT_EXPANDTABS;
    if (FWordWrap) f |= DT_WORDBREAK;
    if (!FShowAccelChar) f |= DT_NOPREFIX;
    if (FAlignment == taCenter) f |= DT_CENTER;
    else if (FAlignment == taRightJustify) f |= DT_RIGHT;
    return f;
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || GetComponentState().Contains(csLoading)) return;
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    TRect r = Rect(0, 0, FWordWrap ? GetWidth() : 0, 0);
    std::string text = GetCaption();
    if (text.empty()) text = " ";
    DrawText(c->Handle(), text, -1, r, TextFlags() | DT_CALCRECT);
    int left = GetLeft();
    // A right-aligned or centred label grows towards its anchored side.
    if (FAlignment == taRightJustify) left += GetWidth() - r.Width();
    else if (FAlignment == taCenter) left += (GetWidth() - r.Width()) / 2;
    SetBounds(left, GetTop(), r.Width(), r.Height());
}

void TCustomLabel::Paint() {
    TCanvas* c = Canvas();
    TRect client = GetClientRect();
    if (!FTransparent) {
        c->Brush()->SetColor(GetColor());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(client);
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(GetFont());
    const uint32_t flags = TextFlags();
    TRect r = client;
    if (FLayout != tlTop) {
        TRect calc = client;
        DrawText(c->Handle(), GetCaption(), -1, calc, flags | DT_CALCRECT);
        const int dy = FLayout == tlBottom ? client.Height() - calc.Height() : (client.Height() - calc.Height()) / 2;
        OffsetRect(r, 0, dy);
    }
    if (!GetEnabled()) {
        OffsetRect(r, 1, 1);
        c->Font()->SetColor(clBtnHighlight);
        DrawText(c->Handle(), GetCaption(), -1, r, flags);
        OffsetRect(r, -1, -1);
        c->Font()->SetColor(clBtnShadow);
    }
    DrawText(c->Handle(), GetCaption(), -1, r, flags);
}

void TCustomLabel::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        TGraphicControl::Dispatch(m);
        AdjustBounds();
        return;
    case CM_DIALOGCHAR:
        // The accelerator of the caption focuses FocusControl.
        if (FFocusControl && FShowAccelChar && GetEnabled() && HotkeyOf(GetCaption()) != 0 &&
            HotkeyOf(GetCaption()) == LowerChar(char32_t(m.WParam)) && FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            m.Result = 1;
        }
        return;
    default:
        TGraphicControl::Dispatch(m);
    }
}

// --- static text -----------------------------------------------------------------------------

TStaticText::TStaticText(TComponent* owner) : TWidgetControl(owner) {
    FParentColor = true;
    SetBounds(0, 0, 65, 17);
}

QWidget* TStaticText::CreateWidget(QWidget* parent) { return new QLabel(parent); }

void TStaticText::WidgetCreated() {
    auto* l = static_cast<QLabel*>(WidgetIfMade());
    l->setText(Q(GetCaption()));
    l->setAlignment(HorzAlign(FAlignment) | Qt::AlignTop);
    l->setFrameStyle(FBorderStyle == sbsNone ? QFrame::NoFrame : FBorderStyle == sbsSingle ? QFrame::Box | QFrame::Plain : QFrame::Panel | QFrame::Sunken);
}

void TStaticText::SetAlignment(TAlignment v) { FAlignment = v; if (WidgetIfMade()) WidgetCreated(); }
void TStaticText::SetBorderStyle(TStaticBorderStyle v) { FBorderStyle = v; if (WidgetIfMade()) WidgetCreated(); }

void TStaticText::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED && WidgetIfMade()) static_cast<QLabel*>(WidgetIfMade())->setText(Q(GetCaption()));
    TWidgetControl::Dispatch(m);
}

// --- edit ------------------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWidgetControl(owner) {
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
}

QWidget* TCustomEdit::CreateWidget(QWidget* parent) { return new QLineEdit(parent); }
int TCustomEdit::ColorRole() const { return QPalette::Base; }

std::string TCustomEdit::GetText() const { return TWidgetControl::GetText(); }

void TCustomEdit::WidgetCreated() {
    auto* e = static_cast<QLineEdit*>(WidgetIfMade());
    e->setText(Q(GetText()));
    ApplyEditOptions();
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString& t) {
        if (FSettingWidget) return;
        GuardedCall([&] {
            std::string text = S(t);
            if (FCharCase != ecNormal) {
                const QString cased = FCharCase == ecUpperCase ? t.toUpper() : t.toLower();
                if (cased != t) {
                    auto* le = static_cast<QLineEdit*>(WidgetIfMade());
                    const int pos = le->cursorPosition();
                    Setting([&] { le->setText(cased); le->setCursorPosition(pos); });
                    text = S(cased);
                }
            }
            SetTextSilently(text);
            FModified = true;
            Change();
        });
    });
}

void TCustomEdit::ApplyEditOptions() {
    auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade());
    if (!e) return;
    e->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    e->setReadOnly(FReadOnly);
    e->setEchoMode(FPasswordChar ? QLineEdit::Password : QLineEdit::Normal);
    e->setFrame(FBorderStyle != bsNone);
}

void TCustomEdit::SetMaxLength(int v) { FMaxLength = std::max(0, v); ApplyEditOptions(); }
void TCustomEdit::SetReadOnly(bool v) { FReadOnly = v; ApplyEditOptions(); }
void TCustomEdit::SetPasswordChar(char32_t v) { FPasswordChar = v; ApplyEditOptions(); }
void TCustomEdit::SetBorderStyle(TBorderStyle v) { FBorderStyle = v == bsNone ? bsNone : bsSingle; ApplyEditOptions(); }

void TCustomEdit::SetCharCase(TEditCharCase v) {
    FCharCase = v;
    if (v == ecUpperCase) SetText(S(Q(GetText()).toUpper()));
    else if (v == ecLowerCase) SetText(S(Q(GetText()).toLower()));
}

void TCustomEdit::Change() { if (OnChange) OnChange(this); }

void TCustomEdit::DoEnter() {
    if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWidgetControl::DoEnter();
}

int TCustomEdit::GetSelStart() const {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) return t->textCursor().selectionStart();
    return 0;
}

int TCustomEdit::GetSelLength() const {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) return int(e->selectedText().size());
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) return t->textCursor().selectionEnd() - t->textCursor().selectionStart();
    return 0;
}

void TCustomEdit::SetSelStart(int v) {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) e->setCursorPosition(v);
    else if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) {
        QTextCursor c = t->textCursor();
        c.setPosition(std::clamp(v, 0, int(t->toPlainText().size())));
        t->setTextCursor(c);
    }
}

void TCustomEdit::SetSelLength(int v) {
    const int start = GetSelStart();
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) e->setSelection(start, v);
    else if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) {
        QTextCursor c = t->textCursor();
        c.setPosition(start);
        c.setPosition(std::clamp(start + v, 0, int(t->toPlainText().size())), QTextCursor::KeepAnchor);
        t->setTextCursor(c);
    }
}

std::string TCustomEdit::GetSelText() const {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) return S(e->selectedText());
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) return S(t->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'));
    return "";
}

void TCustomEdit::SetSelText(const std::string& v) {
    if (auto* e = dynamic_cast<QLineEdit*>(Widget())) e->insert(Q(v));
    else if (auto* t = dynamic_cast<QTextEdit*>(Widget())) t->insertPlainText(Q(v));
}

void TCustomEdit::SelectAll() {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) e->selectAll();
    else if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) t->selectAll();
}

void TCustomEdit::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) Setting([&] { e->setText(Q(GetText())); });
        TWidgetControl::Dispatch(m);
        FModified = false;
        Change();
        return;
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        return;
    default:
        TWidgetControl::Dispatch(m);
    }
}

// --- memo ------------------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TStringList>()) {
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
    SetAutoSelect(false);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() { FLines->OnChange = nullptr; }

QWidget* TCustomMemo::CreateWidget(QWidget* parent) {
    auto* t = new QTextEdit(parent);
    t->setAcceptRichText(false);
    return t;
}

void TCustomMemo::WidgetCreated() {
    auto* t = static_cast<QTextEdit*>(WidgetIfMade());
    t->setPlainText(Q(GetText()).replace("\r\n", "\n"));
    ApplyEditOptions();
    QObject::connect(t, &QTextEdit::textChanged, t, [this] {
        if (FSettingWidget) return;
        GuardedCall([&] {
            // Lines break with CR LF in the memo's text, as the class library's memo has them.
            const std::string text = S(static_cast<QTextEdit*>(WidgetIfMade())->toPlainText().replace("\n", "\r\n"));
            SetTextSilently(text);
            FSyncing = true;
            try { FLines->SetTextStr(text); } catch (...) { FSyncing = false; throw; }
            FSyncing = false;
            FModified = true;
            Change();
        });
    });
}

void TCustomMemo::ApplyEditOptions() {
    auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade());
    if (!t) return;
    t->setReadOnly(GetReadOnly());
    t->setFrameStyle(GetBorderStyle() == bsNone ? QFrame::NoFrame : QFrame::StyledPanel | QFrame::Sunken);
    const bool vert = FScrollBars == ssVertical || FScrollBars == ssBoth;
    const bool horz = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    t->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(horz ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar means long lines stay whole.
    t->setLineWrapMode(FWordWrap && !horz ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    QTextOption option = t->document()->defaultTextOption();
    option.setAlignment(HorzAlign(FAlignment));
    t->document()->setDefaultTextOption(option);
    Setting([&] { t->setPlainText(t->toPlainText()); });
}

void TCustomMemo::SetAlignment(TAlignment v) { FAlignment = v; ApplyEditOptions(); }
void TCustomMemo::SetScrollBars(TScrollStyle v) { FScrollBars = v; ApplyEditOptions(); }
void TCustomMemo::SetWordWrap(bool v) { FWordWrap = v; ApplyEditOptions(); }

void TCustomMemo::LinesChanged() {
    if (FSyncing) return;
    std::string text = FLines->GetTextStr();
    // The lines' text ends with a line break; the window's text does not.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    FSyncing = true;
    try { SetText(text); } catch (...) { FSyncing = false; throw; }
    FSyncing = false;
}

void TCustomMemo::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) Setting([&] { t->setPlainText(Q(GetText()).replace("\r\n", "\n")); });
        if (!FSyncing) {
            FSyncing = true;
            try { FLines->SetTextStr(GetText()); } catch (...) { FSyncing = false; throw; }
            FSyncing = false;
        }
        TWidgetControl::Dispatch(m);
        FModified = false;
        Change();
        return;
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        if (FWantReturns) m.Result |= DLGC_WANTALLKEYS;
        if (FWantTabs) m.Result |= DLGC_WANTTAB;
        return;
    default:
        TCustomEdit::Dispatch(m);
    }
}

void TCustomMemo::DefaultHandler(TMessage& m) {
    // Enter makes a new line only when the memo wants returns; a tab only when it wants tabs.
    if ((m.Msg == WM_KEYDOWN && ((m.WParam == VK_RETURN && !FWantReturns) || (m.WParam == VK_TAB && !FWantTabs))) ||
        (m.Msg == WM_CHAR && m.WParam == 9 && !FWantTabs))
        return;
    TCustomEdit::DefaultHandler(m);
}

// --- buttons ---------------------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWidgetControl(owner) {
    SetTabStop(true);
    SetColor(clBtnFace);
    // The widget's own click (mouse or Space) fires Click, not the mouse messages.
    FControlStyle.Exclude(csClickEvents);
}

void TButtonControl::WidgetCreated() {
    if (auto* b = dynamic_cast<QAbstractButton*>(WidgetIfMade())) b->setText(Q(GetCaption()));
}

void TButtonControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        if (auto* b = dynamic_cast<QAbstractButton*>(WidgetIfMade())) b->setText(Q(GetCaption()));
        TWidgetControl::Dispatch(m);
        return;
    case WM_GETDLGCODE:
        m.Result = DLGC_BUTTON;
        return;
    default:
        TWidgetControl::Dispatch(m);
    }
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

QWidget* TButton::CreateWidget(QWidget* parent) {
    auto* b = new QPushButton(parent);
    b->setAutoDefault(false);
    return b;
}

void TButton::WidgetCreated() {
    TButtonControl::WidgetCreated();
    auto* b = static_cast<QPushButton*>(WidgetIfMade());
    b->setDefault(FActive);
    QObject::connect(b, &QPushButton::clicked, b, [this] { GuardedCall([this] { Click(); }); });
}

void TButton::Click() {
    // The form's result first: OnClick may take it back to keep the form open.
    if (TCustomForm* f = GetParentForm(this)) f->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::SetActive(bool v) {
    FActive = v;
    if (auto* b = dynamic_cast<QPushButton*>(WidgetIfMade())) b->setDefault(v);
}

void TButton::SetDefault(bool v) {
    FDefault = v;
    TCustomForm* f = GetParentForm(this);
    TWinControl* focused = f ? f->GetActiveControl() : nullptr;
    if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
    else SetActive(v);
}

void TButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_DIALOGKEY:
        if (((m.WParam == VK_RETURN && FActive) || (m.WParam == VK_ESCAPE && FCancel)) &&
            KeyDataToShiftState(m.LParam).Empty() && GetKeyState(VK_CONTROL) >= 0 && CanFocus() && GetVisible()) {
            Click();
            m.Result = 1;
            return;
        }
        TButtonControl::Dispatch(m);
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
        if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
        else SetActive(FDefault);
        return;
    }
    case WM_GETDLGCODE:
        m.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        return;
    default:
        TButtonControl::Dispatch(m);
    }
}

// --- check box -------------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

QWidget* TCustomCheckBox::CreateWidget(QWidget* parent) { return new QCheckBox(parent); }

void TCustomCheckBox::WidgetCreated() {
    TButtonControl::WidgetCreated();
    auto* b = static_cast<QCheckBox*>(WidgetIfMade());
    b->setTristate(FAllowGrayed);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setLayoutDirection(FAlignment == lrLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
    QObject::connect(b, &QCheckBox::clicked, b, [this, b] {
        GuardedCall([this, b] {
            const Qt::CheckState s = b->checkState();
            FState = s == Qt::Checked ? cbChecked : s == Qt::PartiallyChecked ? cbGrayed : cbUnchecked;
            StateChanged();
        });
    });
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
    if (v == FState) return;
    FState = v;
    if (auto* b = dynamic_cast<QCheckBox*>(WidgetIfMade())) {
        Setting([&] {
            if (v == cbGrayed) b->setTristate(true);
            b->setCheckState(v == cbChecked ? Qt::Checked : v == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        });
    }
    if (!GetComponentState().Contains(csLoading)) StateChanged();
}

void TCustomCheckBox::SetAllowGrayed(bool v) {
    FAllowGrayed = v;
    if (auto* b = dynamic_cast<QCheckBox*>(WidgetIfMade())) b->setTristate(v);
}

void TCustomCheckBox::SetAlignment(TLeftRight v) {
    FAlignment = v;
    if (auto* b = dynamic_cast<QCheckBox*>(WidgetIfMade())) b->setLayoutDirection(v == lrLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCustomCheckBox::StateChanged() { TButtonControl::Click(); }

// --- radio button ----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

QWidget* TRadioButton::CreateWidget(QWidget* parent) {
    auto* b = new QRadioButton(parent);
    // Each button sits in its own window: the exclusion among siblings is ours.
    b->setAutoExclusive(false);
    return b;
}

void TRadioButton::WidgetCreated() {
    TButtonControl::WidgetCreated();
    auto* b = static_cast<QRadioButton*>(WidgetIfMade());
    b->setChecked(FChecked);
    QObject::connect(b, &QRadioButton::clicked, b, [this, b] {
        GuardedCall([this, b] {
            if (FChecked) Setting([b] { b->setChecked(true); });
            else SetChecked(true);
        });
    });
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    if (auto* b = dynamic_cast<QRadioButton*>(WidgetIfMade())) Setting([&] { b->setChecked(v); });
    if (!v) return;
    if (TWinControl* p = GetParent()) {
        for (int i = 0; i < p->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(p->Controls(i)); other && other != this) other->SetChecked(false);
    }
    if (!GetComponentState().Contains(csLoading)) TButtonControl::Click();
}

// --- combo box -------------------------------------------------------------------------------

namespace {
// Tells the control when its list opens and closes.
class TQtComboBox : public QComboBox {
public:
    TQtComboBox(QWidget* parent, std::function<void(bool)> dropped) : QComboBox(parent), FDropped(std::move(dropped)) {}
    void showPopup() override {
        FDropped(true);
        QComboBox::showPopup();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        FDropped(false);
    }

private:
    std::function<void(bool)> FDropped;
};
}  // namespace

TCustomComboBox::TCustomComboBox(TComponent* owner) : TWidgetControl(owner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() { FItems->OnChange = nullptr; }

int TCustomComboBox::ColorRole() const { return QPalette::Base; }

QWidget* TCustomComboBox::CreateWidget(QWidget* parent) {
    return new TQtComboBox(parent, [this](bool down) {
        GuardedCall([&] {
            FDropped = down;
            if (down) { if (OnDropDown) OnDropDown(this); }
            else if (OnCloseUp) OnCloseUp(this);
        });
    });
}

void TCustomComboBox::Refill() {
    auto* c = dynamic_cast<QComboBox*>(WidgetIfMade());
    if (!c) return;
    Setting([&] {
        c->clear();
        for (int i = 0; i < FItems->Count(); ++i) c->addItem(Q(FItems->Strings(i)));
        c->setCurrentIndex(FItemIndex);
        if (c->isEditable()) c->setEditText(Q(GetText()));
    });
}

void TCustomComboBox::WidgetCreated() {
    auto* c = static_cast<QComboBox*>(WidgetIfMade());
    c->setEditable(Editable());
    c->setMaxVisibleItems(std::max(1, FDropDownCount));
    c->setInsertPolicy(QComboBox::NoInsert);
    if (c->lineEdit()) c->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
    Refill();
    // Any selection the program did not make is the user's (the list, or arrow keys).
    QObject::connect(c, &QComboBox::currentIndexChanged, c, [this, c](int index) {
        if (FSettingWidget || index < 0) return;
        GuardedCall([&] {
            FItemIndex = index;
            SetTextSilently(S(c->itemText(index)));
            if (c->isEditable()) Setting([&] { c->setEditText(c->itemText(index)); });
            TWidgetControl::Click();
            Change();
        });
    });
    QObject::connect(c, &QComboBox::editTextChanged, c, [this, c](const QString& t) {
        if (FSettingWidget || !c->isEditable()) return;
        GuardedCall([&] {
            SetTextSilently(S(t));
            FItemIndex = int(c->findText(t, Qt::MatchExactly | Qt::MatchCaseSensitive));
            Change();
        });
    });
}

void TCustomComboBox::ItemsChanged() {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    Refill();
}

void TCustomComboBox::SetItemIndex(int v) {
    if (v < -1 || v >= FItems->Count()) v = -1;
    FItemIndex = v;
    SetTextSilently(v >= 0 ? FItems->Strings(v) : std::string());
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) {
        Setting([&] {
            c->setCurrentIndex(v);
            if (c->isEditable()) c->setEditText(Q(GetText()));
        });
    }
}

std::string TCustomComboBox::GetText() const { return TWidgetControl::GetText(); }

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
    FStyle = v;
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) {
        Setting([&] { c->setEditable(Editable()); });
        Refill();
    }
}

void TCustomComboBox::SetDropDownCount(int v) {
    FDropDownCount = v;
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) c->setMaxVisibleItems(std::max(1, v));
}

void TCustomComboBox::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade()); c && c->lineEdit()) c->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

bool TCustomComboBox::GetDroppedDown() const { return FDropped; }

void TCustomComboBox::SetDroppedDown(bool v) {
    auto* c = dynamic_cast<QComboBox*>(Widget());
    if (v == FDropped || !c) return;
    if (v) c->showPopup(); else c->hidePopup();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetText("");
}

void TCustomComboBox::Change() { if (OnChange) OnChange(this); }

void TCustomComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED: {
        // A list-only combo shows only its items: the text selects one.
        const int found = FItems->IndexOf(GetText());
        if (!Editable()) FItemIndex = found;
        else {
            // An editable combo selects only an item of exactly that text.
            FItemIndex = -1;
            for (int i = 0; i < FItems->Count(); ++i) if (FItems->Strings(i) == GetText()) { FItemIndex = i; break; }
        }
        if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) {
            Setting([&] {
                c->setCurrentIndex(FItemIndex);
                if (c->isEditable()) c->setEditText(Q(GetText()));
            });
        }
        if (!Editable() && FItemIndex < 0) SetTextSilently("");
        TWidgetControl::Dispatch(m);
        return;
    }
    case WM_GETDLGCODE:
        m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? LRESULT(DLGC_WANTALLKEYS) : LRESULT(0));
        return;
    default:
        TWidgetControl::Dispatch(m);
    }
}

void TCustomComboBox::DefaultHandler(TMessage& m) {
    // Alt+Down opens the list as on Windows; the key itself goes no further.
    if (m.Msg == WM_SYSKEYDOWN && m.WParam == VK_DOWN) { SetDroppedDown(!FDropped); return; }
    TWidgetControl::DefaultHandler(m);
}

// --- list box --------------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TWidgetControl(owner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) {
        FSelection.resize(size_t(FItems->Count()), false);
        if (FItemIndex >= FItems->Count()) FItemIndex = -1;
        Refill();
    };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() { FItems->OnChange = nullptr; }

int TCustomListBox::ColorRole() const { return QPalette::Base; }

QWidget* TCustomListBox::CreateWidget(QWidget* parent) { return new QListWidget(parent); }

void TCustomListBox::Refill() {
    auto* l = dynamic_cast<QListWidget*>(WidgetIfMade());
    if (!l) return;
    Setting([&] {
        l->clear();
        for (int i = 0; i < FItems->Count(); ++i) l->addItem(Q(FItems->Strings(i)));
        l->setSelectionMode(FMultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        if (FMultiSelect) {
            for (int i = 0; i < l->count(); ++i) l->item(i)->setSelected(FSelection[size_t(i)]);
        }
        l->setCurrentRow(FItemIndex, FMultiSelect ? QItemSelectionModel::NoUpdate : QItemSelectionModel::ClearAndSelect);
    });
}

void TCustomListBox::WidgetCreated() {
    auto* l = static_cast<QListWidget*>(WidgetIfMade());
    Refill();
    QObject::connect(l, &QListWidget::currentRowChanged, l, [this](int row) {
        if (FSettingWidget) return;
        GuardedCall([&] {
            FItemIndex = row;
            TWidgetControl::Click();
        });
    });
    QObject::connect(l, &QListWidget::itemSelectionChanged, l, [this, l] {
        if (FSettingWidget) return;
        for (int i = 0; i < l->count() && size_t(i) < FSelection.size(); ++i) FSelection[size_t(i)] = l->item(i)->isSelected();
    });
}

int TCustomListBox::GetItemIndex() const { return FItemIndex; }

void TCustomListBox::SetItemIndex(int v) {
    if (v < -1 || v >= FItems->Count()) v = -1;
    FItemIndex = v;
    if (!FMultiSelect) {
        std::fill(FSelection.begin(), FSelection.end(), false);
        if (v >= 0) FSelection[size_t(v)] = true;
    }
    Refill();
}

void TCustomListBox::SetMultiSelect(bool v) {
    FMultiSelect = v;
    Refill();
}

int TCustomListBox::GetSelCount() const {
    if (!FMultiSelect) return -1;   // as the class library answers for a single-selection list
    return int(std::count(FSelection.begin(), FSelection.end(), true));
}

bool TCustomListBox::GetSelected(int index) const {
    if (index < 0 || index >= FItems->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FSelection[size_t(index)];
}

void TCustomListBox::SetSelected(int index, bool v) {
    if (index < 0 || index >= FItems->Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (!FMultiSelect) {
        std::fill(FSelection.begin(), FSelection.end(), false);
        FItemIndex = v ? index : (FItemIndex == index ? -1 : FItemIndex);
    }
    FSelection[size_t(index)] = v;
    Refill();
}

int TCustomListBox::GetTopIndex() const {
    auto* l = dynamic_cast<QListWidget*>(WidgetIfMade());
    if (!l) return 0;
    QListWidgetItem* it = l->itemAt(0, 0);
    return it ? l->row(it) : 0;
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
    auto* l = dynamic_cast<QListWidget*>(WidgetIfMade());
    if (!l) return -1;
    QListWidgetItem* it = l->itemAt(p.X, p.Y);
    if (it) return l->row(it);
    return existing ? -1 : FItems->Count();
}

void TCustomListBox::Dispatch(TMessage& m) {
    if (m.Msg == WM_GETDLGCODE) { m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return; }
    TWidgetControl::Dispatch(m);
}

// --- group box -------------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
    FControlStyle.Include(csAcceptsControls).Include(csOpaque);
    FParentColor = true;
    SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::AlignControls(TControl* control, TRect& rect) {
    // Aligned children stay inside the frame, below the caption.
    Canvas()->Font()->Assign(GetFont());
    const int h = Canvas()->TextHeight("0");
    rect.Top += h;
    InflateRect(rect, -2, -2);
    TCustomControl::AlignControls(control, rect);
}

void TCustomGroupBox::Paint() {
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    const int h = c->TextHeight("0");
    c->Brush()->SetColor(GetColor());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(GetClientRect());
    TRect frame = GetClientRect();
    frame.Top += h / 2;
    DrawEdge(c->Handle(), frame, EDGE_ETCHED, BF_RECT);
    const std::string text = GetCaption();
    if (text.empty()) return;
    TRect r = Rect(8, 0, GetClientWidth() - 8, h);
    DrawText(c->Handle(), text, -1, r, DT_SINGLELINE | DT_CALCRECT);
    c->FillRect(Rect(r.Left - 1, r.Top, r.Right + 1, r.Bottom));
    c->Brush()->SetStyle(bsClear);
    if (!GetEnabled()) c->Font()->SetColor(clGrayText);
    DrawText(c->Handle(), text, -1, r, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED) { Invalidate(); Realign(); }
    TCustomControl::Dispatch(m);
}

// --- scroll box ------------------------------------------------------------------------------

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
    FControlStyle.Include(csAcceptsControls);
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& params) {
    TScrollingWinControl::CreateParams(params);
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == bsSingle) SetWindowExStyle(GetWindowExStyle() | WS_EX_CLIENTEDGE);
    else SetWindowExStyle(GetWindowExStyle() & ~WS_EX_CLIENTEDGE);
}
