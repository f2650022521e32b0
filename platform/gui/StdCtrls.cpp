#include "platform/gui/StdCtrls.h"

#include <QtGui/QIcon>
#include <QtGui/QKeySequence>
#include <QtGui/QTextDocument>
#include <QtGui/QTextOption>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QStyleOptionComboBox>
#include <QtWidgets/QStylePainter>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProxyStyle>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTextEdit>

#include <algorithm>
#include <deque>
#include <map>

#include "platform/gui/Application.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/QtEntry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

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
    KAROMIL_PROP(ModalResult, TypeInfoModalResult()).Default(0);
})
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomCheckBox, TButtonControl, {
    KAROMIL_PROP(Checked).Default(0);
    KAROMIL_PROP(State).Default(cbUnchecked);
    KAROMIL_PROP(AllowGrayed).Default(0);
})
KAROMIL_IMPLEMENT_CLASS(TCheckBox, TCustomCheckBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TRadioButton, TButtonControl, { KAROMIL_PROP(Checked).Default(0); })
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomComboBox, TWidgetControl, {
    KAROMIL_PROP(Items);
    KAROMIL_PROP(ItemIndex).Default(-1);
    KAROMIL_PROP(Style).Default(csDropDown);
    KAROMIL_PROP(DropDownCount).Default(8);
    KAROMIL_PROP(Sorted).Default(0);
    KAROMIL_PROP(MaxLength).Default(0);
    KAROMIL_PROP(DroppedDown).Default(0);
    KAROMIL_PROP(ItemHeight).Default(16);
    KAROMIL_PROP(Text);
    p.Event("OnChange", &Self::OnChange, "TNotifyEvent");
    p.Event("OnDropDown", &Self::OnDropDown, "TNotifyEvent");
    p.Event("OnCloseUp", &Self::OnCloseUp, "TNotifyEvent");
})
KAROMIL_IMPLEMENT_CLASS(TComboBox, TCustomComboBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TCustomListBox, TCustomControl, {
    KAROMIL_PROP(Items);
    KAROMIL_PROP(ItemIndex).Default(-1);
    KAROMIL_PROP(MultiSelect).Default(0);
    KAROMIL_PROP(Sorted).Default(0);
    KAROMIL_PROP(Style).Default(lbStandard);
    KAROMIL_PROP(ItemHeight).Default(16);
    KAROMIL_PROP(IntegralHeight).Default(0);
    KAROMIL_PROP(ExtendedSelect).Default(1);
    KAROMIL_PROP(BorderStyle).Default(bsSingle);
    KAROMIL_PROP(TopIndex).Default(0);
    KAROMIL_PROP_READONLY(SelCount);
})
KAROMIL_IMPLEMENT_CLASS(TListBox, TCustomListBox)
KAROMIL_IMPLEMENT_CLASS(TCustomGroupBox, TCustomControl)
KAROMIL_IMPLEMENT_CLASS(TGroupBox, TCustomGroupBox)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TScrollBox, TScrollingWinControl, { KAROMIL_PROP(BorderStyle).Default(bsSingle); })

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
char32_t LowerChar(char32_t ch) { return char32_t(QString::fromUcs4(&ch, 1).toLower().toUcs4().value(0)); }
}  // namespace

std::string StripHotkey(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

namespace {
// A caption for a Qt label: the accelerator letter underlined, "&&" one "&", the rest plain.
QString AccelRichText(const std::string& text) {
    const QString q = Q(text);
    QString out;
    bool underlined = false;
    for (qsizetype i = 0; i < q.size(); ++i) {
        if (q[i] == '&' && i + 1 < q.size()) {
            ++i;
            if (q[i] != '&' && !underlined) {
                underlined = true;
                out += "<u>" + QString(q[i]).toHtmlEscaped() + "</u>";
                continue;
            }
        }
        out += QString(q[i]).toHtmlEscaped();
    }
    // Rich text would fold runs of blanks and line breaks; the caption keeps them.
    return "<span style=\"white-space:pre-wrap\">" + out + "</span>";
}
}  // namespace

char32_t HotkeyOf(const std::string& text) {
    const QString q = Q(text);
    for (qsizetype i = 0; i + 1 < q.size(); ++i) {
        if (q[i] != '&') continue;
        if (q[i + 1] == '&') {
            ++i;
            continue;
        }
        return LowerChar(char32_t(q.mid(i + 1, 1).toUcs4().value(0)));
    }
    return 0;
}

bool IsAccel(WPARAM ch, const std::string& text) {
    const char32_t key = HotkeyOf(text);
    return key != 0 && key == LowerChar(char32_t(ch));
}

// --- label -----------------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    FControlStyle.Include(csOpaque).Include(csReplicatable);
    FParentColor = true;
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (v != FAlignment) {
        FAlignment = v;
        Invalidate();
    }
}
void TCustomLabel::SetLayout(TTextLayout v) {
    if (v != FLayout) {
        FLayout = v;
        Invalidate();
    }
}
void TCustomLabel::SetAutoSize(bool v) {
    if (v != FAutoSize) {
        FAutoSize = v;
        AdjustBounds();
    }
}
void TCustomLabel::SetWordWrap(bool v) {
    if (v != FWordWrap) {
        FWordWrap = v;
        AdjustBounds();
        Invalidate();
    }
}
void TCustomLabel::SetShowAccelChar(bool v) {
    if (v != FShowAccelChar) {
        FShowAccelChar = v;
        AdjustBounds();
        Invalidate();
    }
}

void TCustomLabel::SetTransparent(bool v) {
    if (v == FTransparent) return;
    FTransparent = v;
    if (v) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
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
        if (FFocusControl && FShowAccelChar && GetEnabled() && IsAccel(m.WParam, GetCaption()) &&
            FFocusControl->CanFocus()) {
            FFocusControl->SetFocus();
            m.Result = 1;
        }
        return;
    default: TGraphicControl::Dispatch(m);
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
    l->setTextFormat(Qt::RichText);
    l->setText(AccelRichText(GetCaption()));
    l->setAlignment(HorzAlign(FAlignment) | Qt::AlignTop);
    l->setFrameStyle(FBorderStyle == sbsNone ? QFrame::NoFrame
            : FBorderStyle == sbsSingle      ? QFrame::Box | QFrame::Plain
                                             : QFrame::Panel | QFrame::Sunken);
}

void TStaticText::SetAlignment(TAlignment v) {
    FAlignment = v;
    if (WidgetIfMade()) WidgetCreated();
}
void TStaticText::SetBorderStyle(TStaticBorderStyle v) {
    FBorderStyle = v;
    if (WidgetIfMade()) WidgetCreated();
}

void TStaticText::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED && WidgetIfMade())
        static_cast<QLabel*>(WidgetIfMade())->setText(AccelRichText(GetCaption()));
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
        gui_detail::Guarded([&] {
            std::string text = S(t);
            if (FCharCase != ecNormal) {
                const QString cased = FCharCase == ecUpperCase ? t.toUpper() : t.toLower();
                if (cased != t) {
                    auto* le = static_cast<QLineEdit*>(WidgetIfMade());
                    const int pos = le->cursorPosition();
                    Setting([&] {
                        le->setText(cased);
                        le->setCursorPosition(pos);
                    });
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

void TCustomEdit::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
    ApplyEditOptions();
}
void TCustomEdit::SetReadOnly(bool v) {
    FReadOnly = v;
    ApplyEditOptions();
}
void TCustomEdit::SetPasswordChar(char32_t v) {
    FPasswordChar = v;
    ApplyEditOptions();
}
void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v == bsNone ? bsNone : bsSingle;
    ApplyEditOptions();
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
    FCharCase = v;
    if (v == ecUpperCase) SetText(S(Q(GetText()).toUpper()));
    else if (v == ecLowerCase) SetText(S(Q(GetText()).toLower()));
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

void TCustomEdit::DoEnter() {
    if (FAutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWidgetControl::DoEnter();
}

int TCustomEdit::GetSelStart() const {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade()))
        return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade())) return t->textCursor().selectionStart();
    return 0;
}

int TCustomEdit::GetSelLength() const {
    if (auto* e = dynamic_cast<QLineEdit*>(WidgetIfMade())) return int(e->selectedText().size());
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade()))
        return t->textCursor().selectionEnd() - t->textCursor().selectionStart();
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
    if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade()))
        return S(t->textCursor().selectedText().replace(QChar::ParagraphSeparator, '\n'));
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
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL; return;
    default: TWidgetControl::Dispatch(m);
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
        gui_detail::Guarded([&] {
            // Lines break with CR LF in the memo's text, as the class library's memo has them.
            const std::string text = S(static_cast<QTextEdit*>(WidgetIfMade())->toPlainText().replace("\n", "\r\n"));
            SetTextSilently(text);
            {
                TRollback syncing(FSyncing, true);
                FLines->SetTextStr(text);
            }
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

void TCustomMemo::SetAlignment(TAlignment v) {
    FAlignment = v;
    ApplyEditOptions();
}
void TCustomMemo::SetScrollBars(TScrollStyle v) {
    FScrollBars = v;
    ApplyEditOptions();
}
void TCustomMemo::SetWordWrap(bool v) {
    FWordWrap = v;
    ApplyEditOptions();
}

void TCustomMemo::LinesChanged() {
    if (FSyncing) return;
    std::string text = FLines->GetTextStr();
    // The lines' text ends with a line break; the window's text does not.
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    TRollback syncing(FSyncing, true);
    SetText(text);
}

void TCustomMemo::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        if (auto* t = dynamic_cast<QTextEdit*>(WidgetIfMade()))
            Setting([&] { t->setPlainText(Q(GetText()).replace("\r\n", "\n")); });
        if (!FSyncing) {
            TRollback syncing(FSyncing, true);
            FLines->SetTextStr(GetText());
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
    default: TCustomEdit::Dispatch(m);
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

namespace {
// The caption shows its "&" underline, but the accelerator is ours (CM_DIALOGCHAR): Qt's own
// mnemonic shortcut would click behind the form's back and a moment later.
void SetButtonText(QAbstractButton* b, const std::string& caption) {
    b->setText(Q(caption));
    b->setShortcut(QKeySequence());
}
}  // namespace

void TButtonControl::WidgetCreated() {
    if (auto* b = dynamic_cast<QAbstractButton*>(WidgetIfMade())) SetButtonText(b, GetCaption());
}

void TButtonControl::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED:
        if (auto* b = dynamic_cast<QAbstractButton*>(WidgetIfMade())) SetButtonText(b, GetCaption());
        TWidgetControl::Dispatch(m);
        return;
    case WM_GETDLGCODE: m.Result = DLGC_BUTTON; return;
    default: TWidgetControl::Dispatch(m);
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
    QObject::connect(b, &QPushButton::clicked, b, [this] { gui_detail::Guarded([this] { Click(); }); });
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
    case CM_DIALOGCHAR:
        if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    case CM_FOCUSCHANGED: {
        auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
        if (dynamic_cast<TButton*>(focused)) SetActive(focused == this);
        else SetActive(FDefault);
        return;
    }
    case WM_GETDLGCODE: m.Result = DLGC_BUTTON | (FActive ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON); return;
    default: TButtonControl::Dispatch(m);
    }
}

// --- check box -------------------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
    FParentColor = true;
    SetBounds(0, 0, 97, 17);
}

QWidget* TCustomCheckBox::CreateWidget(QWidget* parent) { return new QCheckBox(parent); }

void TCustomCheckBox::WidgetCreated() {
    TButtonControl::WidgetCreated();
    auto* b = static_cast<QCheckBox*>(WidgetIfMade());
    // Qt fills a button with its Button role; Color is the window colour behind the box.
    b->setBackgroundRole(QPalette::Window);
    b->setTristate(FAllowGrayed);
    b->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    b->setLayoutDirection(FAlignment == lrLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
    QObject::connect(b, &QCheckBox::clicked, b, [this, b] {
        gui_detail::Guarded([this, b] {
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
    if (auto* b = dynamic_cast<QCheckBox*>(WidgetIfMade()))
        b->setLayoutDirection(v == lrLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCustomCheckBox::StateChanged() { TButtonControl::Click(); }

void TCustomCheckBox::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        // The accelerator focuses the box and toggles it as a click does.
        if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
            SetFocus();
            if (Focused())
                SetState(FState == cbUnchecked ? (FAllowGrayed ? cbGrayed : cbChecked)
                        : FState == cbChecked  ? cbUnchecked
                                               : cbChecked);
            m.Result = 1;
        }
        return;
    }
    TButtonControl::Dispatch(m);
}

// --- radio button ----------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    // Paints on its parent's colour, as the check box does: no lighter strip on a coloured panel.
    FParentColor = true;
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::Dispatch(TMessage& m) {
    if (m.Msg == CM_DIALOGCHAR) {
        // The accelerator focuses the button, which checks it.
        if (IsAccel(m.WParam, GetCaption()) && CanFocus()) {
            SetFocus();
            if (Focused()) SetChecked(true);
            m.Result = 1;
        }
        return;
    }
    TButtonControl::Dispatch(m);
}

QWidget* TRadioButton::CreateWidget(QWidget* parent) {
    auto* b = new QRadioButton(parent);
    // Each button sits in its own window: the exclusion among siblings is ours.
    b->setAutoExclusive(false);
    return b;
}

void TRadioButton::WidgetCreated() {
    TButtonControl::WidgetCreated();
    auto* b = static_cast<QRadioButton*>(WidgetIfMade());
    b->setBackgroundRole(QPalette::Window);
    b->setChecked(FChecked);
    QObject::connect(b, &QRadioButton::clicked, b, [this, b] {
        gui_detail::Guarded([this, b] {
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
            if (auto* other = dynamic_cast<TRadioButton*>(p->Controls(i)); other && other != this)
                other->SetChecked(false);
    }
    if (!GetComponentState().Contains(csLoading)) TButtonControl::Click();
}

// --- combo box -------------------------------------------------------------------------------

namespace {
// Tells the control when its list opens and closes; an owner-drawn combo paints its field.
class TQtComboBox : public QComboBox {
public:
    TQtComboBox(QWidget* parent, std::function<void(bool)> dropped) : QComboBox(parent), FDropped(std::move(dropped)) {}
    void showPopup() override {
        FDropped(true);
        QComboBox::showPopup();
        const int width = ListWidth ? ListWidth() : 0;
        if (QWidget* popup = view()->window(); width > 0 && popup != window()) popup->resize(width, popup->height());
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        FDropped(false);
    }
    std::function<void(QPainter*, const QRect&)> PaintField;
    // The control's own look: the field and button places (null: the style's), the frame
    // painting and the list width (0: the style's).
    std::function<QRect(QStyle::SubControl)> CustomRect;
    std::function<void(QPainter*)> PaintFrame;
    std::function<int()> ListWidth;
    QRect Custom(QStyle::SubControl sc) const { return CustomRect ? CustomRect(sc) : QRect(); }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (PaintFrame && !Custom(QStyle::SC_ComboBoxEditField).isNull()) {
            QPainter painter(this);
            gui_detail::GuardedPaint(FPaintFailed, [&] {
                PaintFrame(&painter);
                if (PaintField) PaintField(&painter, Custom(QStyle::SC_ComboBoxEditField));
            });
            return;
        }
        if (!PaintField) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        gui_detail::GuardedPaint(FPaintFailed, [&] { PaintField(&painter, field); });
    }

private:
    std::function<void(bool)> FDropped;
    bool FPaintFailed = false;
};
}  // namespace

namespace {
// Places the field and the button of a combo with a look of its own; the style's look is kept
// for everything else (and for combos that answer nothing). Qt lays out the line edit and
// tests mouse presses on the button through these rectangles.
class TCustomComboStyle : public QProxyStyle {
public:
    QRect subControlRect(
        ComplexControl cc, const QStyleOptionComplex* option, SubControl sc, const QWidget* widget) const override {
        if (cc == CC_ComboBox)
            if (auto* c = dynamic_cast<const TQtComboBox*>(widget)) {
                const QRect field = c->Custom(SC_ComboBoxEditField);
                if (!field.isNull()) {
                    if (sc == SC_ComboBoxEditField) return field;
                    if (sc == SC_ComboBoxArrow) return c->Custom(SC_ComboBoxArrow);
                    if (sc == SC_ComboBoxFrame) return c->rect();
                }
            }
        return QProxyStyle::subControlRect(cc, option, sc, widget);
    }
};
}  // namespace

// The rows of an owner-drawn combo's list, painted by the control.
class TComboItemPainter : public QAbstractItemDelegate {
public:
    explicit TComboItemPainter(TCustomComboBox* combo) : FCombo(combo) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        TOwnerDrawState state;
        if (option.state & QStyle::State_Selected) state.Include(odSelected).Include(odFocused);
        if (!(option.state & QStyle::State_Enabled)) state.Include(odDisabled);
        const QRect& r = option.rect;
        gui_detail::GuardedPaint(FPaintFailed, [&] {
            FCombo->PaintItem(painter, Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), index.row(), state);
        });
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return QSize(option.rect.width(), gui_detail::Guarded([this] { return FCombo->GetItemHeight(); }, 16));
    }

private:
    TCustomComboBox* FCombo;
    mutable bool FPaintFailed = false;
};

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWidgetControl(owner), FCanvas(std::make_unique<TCanvas>()), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() { FItems->OnChange = nullptr; }

int TCustomComboBox::ColorRole() const { return QPalette::Base; }

QWidget* TCustomComboBox::CreateWidget(QWidget* parent) {
    return new TQtComboBox(parent, [this](bool down) {
        // Qt also closes a list that is not open (when the combo hides): no close-up then.
        if (down == FDropped) return;
        gui_detail::Guarded([&] {
            FDropped = down;
            if (down) DropDown();
            else CloseUp();
        });
    });
}

void TCustomComboBox::DropDown() {
    if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
    if (OnCloseUp) OnCloseUp(this);
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
    if (!IsRectEmpty(CustomFieldRect())) {
        auto* q = static_cast<TQtComboBox*>(c);
        auto* style = new TCustomComboStyle;
        style->setParent(c);
        c->setStyle(style);
        q->CustomRect = [this](QStyle::SubControl sc) {
            const TRect r = gui_detail::Guarded(
                [&] { return sc == QStyle::SC_ComboBoxArrow ? CustomButtonRect() : CustomFieldRect(); }, TRect());
            return IsRectEmpty(r) ? QRect() : QRect(r.Left, r.Top, r.Width(), r.Height());
        };
        q->PaintFrame = [this](QPainter* p) {
            QPaintDevice* d = p->device();
            CanvasPaint::Attach(FCanvas.get(), p, Rect(0, 0, d->width(), d->height()));
            auto detach = OnScopeExit([this] { FCanvas->Detach(); });
            FCanvas->Font()->Assign(GetFont());
            PaintFrame();
        };
        q->ListWidth = [this] { return gui_detail::Guarded([this] { return CustomListWidth(); }, 0); };
    }
    ApplyOwnerDraw();
    Refill();
    // Any selection the program did not make is the user's (the list, or arrow keys).
    QObject::connect(c, &QComboBox::currentIndexChanged, c, [this, c](int index) {
        if (FSettingWidget || index < 0) return;
        gui_detail::Guarded([&] {
            FItemIndex = index;
            SetTextSilently(S(c->itemText(index)));
            if (c->isEditable()) Setting([&] { c->setEditText(c->itemText(index)); });
            TWidgetControl::Click();
            Change();
        });
    });
    QObject::connect(c, &QComboBox::editTextChanged, c, [this, c](const QString& t) {
        if (FSettingWidget || !c->isEditable()) return;
        gui_detail::Guarded([&] {
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
        ApplyOwnerDraw();
        Refill();
    }
    if (OwnerDraw()) SetHeight(FItemHeight + 6);
}

int TCustomComboBox::GetItemHeight() const {
    if (OwnerDraw()) return FItemHeight;
    FCanvas->Font()->Assign(GetFont());
    return std::max(1, FCanvas->TextHeight("Wg"));
}

void TCustomComboBox::SetItemHeight(int v) {
    if (v <= 0) return;
    FItemHeight = v;
    // The closed combo's field is one row high, as Windows sizes an owner-drawn combo.
    if (OwnerDraw()) SetHeight(v + 6);
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) {
        c->view()->doItemsLayout();
        c->update();
    }
}

void TCustomComboBox::ApplyOwnerDraw() {
    auto* c = dynamic_cast<TQtComboBox*>(WidgetIfMade());
    if (!c) return;
    if (!OwnerDraw()) {
        c->PaintField = nullptr;
        if (QAbstractItemDelegate* mine = c->itemDelegate(); dynamic_cast<TComboItemPainter*>(mine)) {
            c->setItemDelegate(new QStyledItemDelegate(c));
            delete mine;
        }
        return;
    }
    c->PaintField = [this, c](QPainter* p, const QRect& r) {
        TOwnerDrawState state{odComboBoxEdit};
        if (c->hasFocus()) state.Include(odSelected).Include(odFocused);
        if (!GetEnabled()) state.Include(odDisabled);
        PaintItem(p, Rect(r.left(), r.top(), r.right() + 1, r.bottom() + 1), FItemIndex, state);
    };
    if (QAbstractItemDelegate* old = c->itemDelegate(); !dynamic_cast<TComboItemPainter*>(old)) {
        auto* painter = new TComboItemPainter(this);
        painter->setParent(c);
        c->setItemDelegate(painter);
        if (old && old->parent() == c) delete old;
    }
}

// Called from the paints of the field and the list, which catch what it throws.
void TCustomComboBox::PaintItem(QPainter* painter, const TRect& rect, int index, TOwnerDrawState state) {
    QPaintDevice* d = painter->device();
    CanvasPaint::Attach(FCanvas.get(), painter, Rect(0, 0, d ? d->width() : rect.Right, d ? d->height() : rect.Bottom));
    auto detach = OnScopeExit([this] { FCanvas->Detach(); });
    FCanvas->Font()->Assign(GetFont());
    FCanvas->Brush()->SetStyle(bsSolid);
    FCanvas->Brush()->SetColor(GetColor());
    if (state.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    if (index >= 0 && index < FItems->Count()) DrawItem(index, rect, state);
    else FCanvas->FillRect(rect);
    if (state.Contains(odFocused)) FCanvas->DrawFocusRect(rect);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    if (OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    FCanvas->FillRect(rect);
    FCanvas->TextOut(rect.Left + 2, rect.Top, FItems->Strings(index));
}

void TCustomComboBox::SetDropDownCount(int v) {
    FDropDownCount = v;
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade())) c->setMaxVisibleItems(std::max(1, v));
}

void TCustomComboBox::SetMaxLength(int v) {
    FMaxLength = std::max(0, v);
    if (auto* c = dynamic_cast<QComboBox*>(WidgetIfMade()); c && c->lineEdit())
        c->lineEdit()->setMaxLength(FMaxLength > 0 ? FMaxLength : 32767);
}

bool TCustomComboBox::GetDroppedDown() const { return FDropped; }

void TCustomComboBox::SetDroppedDown(bool v) {
    auto* c = dynamic_cast<QComboBox*>(Widget());
    if (v == FDropped || !c) return;
    if (v) c->showPopup();
    else c->hidePopup();
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetText("");
}

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_TEXTCHANGED: {
        // A list-only combo shows only its items: the text selects one.
        const int found = FItems->IndexOf(GetText());
        if (!Editable()) FItemIndex = found;
        else {
            // An editable combo selects only an item of exactly that text.
            FItemIndex = -1;
            for (int i = 0; i < FItems->Count(); ++i)
                if (FItems->Strings(i) == GetText()) {
                    FItemIndex = i;
                    break;
                }
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
    default: TWidgetControl::Dispatch(m);
    }
}

void TCustomComboBox::DefaultHandler(TMessage& m) {
    // Alt+Down opens the list as on Windows; the key itself goes no further.
    if (m.Msg == WM_SYSKEYDOWN && m.WParam == VK_DOWN) {
        SetDroppedDown(!FDropped);
        return;
    }
    TWidgetControl::DefaultHandler(m);
}

// --- list box --------------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomControl(owner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChanging = [this](TObject*) { ItemsChanging(); };
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
    // The list selects on its own press; clicks come from selection changes.
    FControlStyle = {csSetCaption, csDoubleClicks, csOpaque};
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() {
    FItems->OnChanging = nullptr;
    FItems->OnChange = nullptr;
}

void TCustomListBox::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    if (FBorderStyle == bsSingle) params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateWnd() {
    TCustomControl::CreateWnd();
    UpdateScrollBar();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v == bsNone ? bsNone : bsSingle;
    if (FBorderStyle == bsSingle) SetWindowExStyle(GetWindowExStyle() | WS_EX_CLIENTEDGE);
    else SetWindowExStyle(GetWindowExStyle() & ~WS_EX_CLIENTEDGE);
    AdjustIntegralHeight();
    UpdateScrollBar();
}

// Each line's flags travel with it: matched by text and object across the change.
void TCustomListBox::ItemsChanging() {
    FSnapshot.clear();
    for (int i = 0; i < FItems->Count() && size_t(i) < FFlags.size(); ++i)
        FSnapshot.push_back({{FItems->Strings(i), FItems->GetObject(i)}, FFlags[size_t(i)]});
}

void TCustomListBox::ItemsChanged() {
    std::map<std::pair<std::string, TObject*>, std::deque<uint8_t>> old;
    for (auto& [key, flags] : FSnapshot) old[key].push_back(flags);
    FSnapshot.clear();
    const int n = FItems->Count();
    FFlags.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        auto it = old.find({FItems->Strings(i), FItems->GetObject(i)});
        if (it == old.end() || it->second.empty()) continue;
        FFlags[size_t(i)] = it->second.front();
        it->second.pop_front();
    }
    if (!FMultiSelect) {
        FItemIndex = -1;
        for (int i = 0; i < n; ++i)
            if (FFlags[size_t(i)] & ifSelected) {
                FItemIndex = i;
                break;
            }
    } else if (FItemIndex >= n) FItemIndex = n - 1;
    if (FAnchor >= n) FAnchor = -1;
    FMeasured = false;
    FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::SetItemFlags(int index, uint8_t flags) {
    if (FFlags.at(size_t(index)) == flags) return;
    FFlags[size_t(index)] = flags;
    InvalidateItem(index);
}

void TCustomListBox::InvalidateItem(int index) {
    if (!HandleAllocated() || index < 0) return;
    TRect r = ItemRect(index);
    InvalidateRect(WindowHandle(), &r, false);
}

// --- rows

void TCustomListBox::SetStyle(TListBoxStyle v) {
    if (v == FStyle) return;
    FStyle = v;
    FMeasured = false;
    AdjustIntegralHeight();
    UpdateScrollBar();
    Invalidate();
}

int TCustomListBox::GetItemHeight() const {
    if (FStyle != lbStandard) return FItemHeight;
    TCanvas* c = Canvas();
    c->Font()->Assign(GetFont());
    return std::max(1, c->TextHeight("Wg"));
}

void TCustomListBox::SetItemHeight(int v) {
    if (v <= 0 || v == FItemHeight) return;
    FItemHeight = v;
    FMeasured = false;
    AdjustIntegralHeight();
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::MeasureItem(int index, int& height) {
    if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomListBox::Measure() {
    if (FMeasured) return;
    FMeasured = true;  // first: a handler that asks for rows must not measure again
    FHeights.clear();
    if (FStyle != lbOwnerDrawVariable) return;
    for (int i = 0; i < FItems->Count(); ++i) {
        int h = FItemHeight;
        MeasureItem(i, h);
        FHeights.push_back(std::clamp(h, 1, 255));  // a row of Windows' list is 1 to 255 high
    }
}

int TCustomListBox::RowHeight(int index) const {
    if (FStyle != lbOwnerDrawVariable) return GetItemHeight();
    const_cast<TCustomListBox*>(this)->Measure();
    return size_t(index) < FHeights.size() ? FHeights[size_t(index)] : FItemHeight;
}

TRect TCustomListBox::ItemRect(int index) const {
    int y = 0;
    if (index >= FTopIndex)
        for (int i = FTopIndex; i < index; ++i) y += RowHeight(i);
    else
        for (int i = index; i < FTopIndex; ++i) y -= RowHeight(i);
    return Rect(0, y, GetClientWidth(), y + RowHeight(index));
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
    const TRect client = GetClientRect();
    if (PtInRect(client, p)) {
        int y = 0;
        for (int i = FTopIndex; i < FItems->Count() && y < client.Bottom; ++i) {
            const int h = RowHeight(i);
            if (p.Y >= y && p.Y < y + h) return i;
            y += h;
        }
        if (!existing) return FItems->Count();
    }
    return -1;
}

// The largest top index that still fills the client area from there to the last row.
int TCustomListBox::MaxTopIndex() const {
    const int n = FItems->Count();
    int room = GetClientHeight();
    int i = n;
    while (i > 0 && RowHeight(i - 1) <= room) room -= RowHeight(--i);
    return std::min(i, std::max(0, n - 1));
}

void TCustomListBox::UpdateScrollBar() {
    if (!HandleAllocated()) return;
    const int n = FItems->Count();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = std::max(0, n - 1);
    si.nPage = UINT(std::max(1, n - MaxTopIndex()));
    si.nPos = FTopIndex;
    SetScrollInfo(SB_VERT, si, true);
    // The bar may have taken client width and changed what fits.
    FTopIndex = std::clamp(FTopIndex, 0, MaxTopIndex());
}

void TCustomListBox::SetTopIndex(int v) {
    v = std::clamp(v, 0, MaxTopIndex());
    if (v == FTopIndex) return;
    FTopIndex = v;
    UpdateScrollBar();
    Invalidate();
}

void TCustomListBox::ScrollInView(int index) {
    if (index < 0 || index >= FItems->Count()) return;
    if (index < FTopIndex) {
        SetTopIndex(index);
        return;
    }
    const int room = GetClientHeight();
    int top = FTopIndex;
    auto bottom = [&] {
        int y = 0;
        for (int i = top; i <= index; ++i) y += RowHeight(i);
        return y;
    };
    while (top < index && bottom() > room) ++top;
    SetTopIndex(top);
}

void TCustomListBox::SetIntegralHeight(bool v) {
    FIntegralHeight = v;
    AdjustIntegralHeight();
}

void TCustomListBox::SetBounds(int left, int top, int width, int height) {
    TCustomControl::SetBounds(left, top, width, height);
    AdjustIntegralHeight();
    UpdateScrollBar();
}

void TCustomListBox::AdjustIntegralHeight() {
    if (!FIntegralHeight || FStyle == lbOwnerDrawVariable || FAdjusting || GetComponentState().Contains(csLoading))
        return;
    const int row = GetItemHeight();
    const int extra = GetClientHeight() % row;
    if (extra == 0 || GetClientHeight() < row) return;
    TRollback adjusting(FAdjusting, true);
    TCustomControl::SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight() - extra);
}

// --- selection

void TCustomListBox::SetItemIndex(int v) {
    if (v < -1 || v >= FItems->Count()) v = -1;
    if (!FMultiSelect) {
        for (int i = 0; i < int(FFlags.size()); ++i) SetItemFlags(i, uint8_t(FFlags[size_t(i)] & ~ifSelected));
        if (v >= 0) SetItemFlags(v, uint8_t(FFlags[size_t(v)] | ifSelected));
    }
    InvalidateItem(FItemIndex);
    FItemIndex = v;
    FAnchor = v;
    InvalidateItem(v);
    ScrollInView(v);
}

void TCustomListBox::SetMultiSelect(bool v) {
    if (v == FMultiSelect) return;
    FMultiSelect = v;
    // A single-selection list keeps one selected item: the current one.
    if (!v) SetItemIndex(FItemIndex);
}

int TCustomListBox::GetSelCount() const {
    if (!FMultiSelect) return -1;  // as the class library answers for a single-selection list
    return int(std::count_if(FFlags.begin(), FFlags.end(), [](uint8_t f) { return (f & ifSelected) != 0; }));
}

bool TCustomListBox::GetSelected(int index) const {
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return (FFlags[size_t(index)] & ifSelected) != 0;
}

void TCustomListBox::SetSelected(int index, bool v) {
    if (index < 0 || index >= FItems->Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    if (!FMultiSelect) {
        if (v) SetItemIndex(index);
        else if (FItemIndex == index) SetItemIndex(-1);
        return;
    }
    SetItemFlags(index, uint8_t(v ? FFlags[size_t(index)] | ifSelected : FFlags[size_t(index)] & ~ifSelected));
}

void TCustomListBox::SelectAll() {
    if (!FMultiSelect) return;
    for (int i = 0; i < FItems->Count(); ++i) SetSelected(i, true);
}

void TCustomListBox::ClearSelection() {
    if (!FMultiSelect) {
        SetItemIndex(-1);
        return;
    }
    for (int i = 0; i < FItems->Count(); ++i) SetSelected(i, false);
}

void TCustomListBox::SelectRange(int from, int to) {
    if (from > to) std::swap(from, to);
    for (int i = 0; i < FItems->Count(); ++i) SetSelected(i, i >= from && i <= to);
}

void TCustomListBox::UserSelect(int index, TShiftState shift, bool toggle) {
    if (index < 0 || index >= FItems->Count()) return;
    if (!FMultiSelect) SetItemIndex(index);
    else {
        InvalidateItem(FItemIndex);
        if (!FExtendedSelect) {
            if (toggle) SetSelected(index, !GetSelected(index));
        } else if (shift.Contains(ssShift) && FAnchor >= 0) {
            SelectRange(FAnchor, index);
        } else if (shift.Contains(ssCtrl)) {
            if (toggle) SetSelected(index, !GetSelected(index));
            FAnchor = index;
        } else {
            SelectRange(index, index);
            FAnchor = index;
        }
        FItemIndex = index;
        InvalidateItem(index);
        ScrollInView(index);
    }
}

int TCustomListBox::FindPrefix(const std::string& prefix, int after) const {
    const QString want = Q(prefix);
    const int n = FItems->Count();
    if (n == 0) return -1;
    const int start = after < 0 || after >= n ? 0 : after + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (start + k) % n;
        if (Q(FItems->Strings(i)).startsWith(want, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

// --- painting

void TCustomListBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    if (FStyle != lbStandard && OnDrawItem) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    c->FillRect(rect);
    c->TextOut(rect.Left + 2, rect.Top, FItems->Strings(index));
}

void TCustomListBox::Paint() {
    TCanvas* c = Canvas();
    const TRect client = GetClientRect();
    const int indent = ItemIndent();
    int y = 0;
    for (int i = FTopIndex; i < FItems->Count() && y < client.Bottom; ++i) {
        const int h = RowHeight(i);
        const TRect row = Rect(0, y, client.Right, y + h);
        y += h;
        if (!RectVisible(c, row)) continue;
        TOwnerDrawState state;
        if (FFlags[size_t(i)] & ifSelected) state.Include(odSelected);
        if (!GetEnabled()) state.Include(odDisabled);
        const bool caret = i == FItemIndex && Focused();
        if (caret) state.Include(odFocused);
        c->Font()->Assign(GetFont());
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(GetColor());
        if (indent > 0) {
            c->FillRect(Rect(0, row.Top, indent, row.Bottom));
            DrawIndent(i, Rect(0, row.Top, indent, row.Bottom));
            c->Font()->Assign(GetFont());
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(GetColor());
            c->Pen()->SetColor(clBlack);
        }
        const TRect item = Rect(indent, row.Top, row.Right, row.Bottom);
        if (state.Contains(odSelected)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else if (!GetEnabled()) c->Font()->SetColor(clGrayText);
        DrawItem(i, item, state);
        if (caret) {
            c->Brush()->SetColor(GetColor());
            c->Font()->SetColor(clWindowText);
            c->DrawFocusRect(item);
        }
    }
    if (y < client.Bottom) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(GetColor());
        c->FillRect(Rect(0, std::max(0, y), client.Right, client.Bottom));
    }
}

// --- input

bool TCustomListBox::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos)) return true;
    SetTopIndex(FTopIndex - wheelDelta / 120 * 3);
    return true;
}

void TCustomListBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_GETDLGCODE: m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateItem(FItemIndex); break;
    case WM_SIZE:
        TCustomControl::Dispatch(m);
        UpdateScrollBar();
        Invalidate();
        return;
    case CM_FONTCHANGED:
        TCustomControl::Dispatch(m);
        FMeasured = false;
        AdjustIntegralHeight();
        UpdateScrollBar();
        return;
    case WM_VSCROLL: {
        const TWMScroll s(m);
        switch (s.ScrollCode()) {
        case SB_LINEUP: SetTopIndex(FTopIndex - 1); break;
        case SB_LINEDOWN: SetTopIndex(FTopIndex + 1); break;
        case SB_PAGEUP: SetTopIndex(FTopIndex - std::max(1, FItems->Count() - MaxTopIndex() - 1)); break;
        case SB_PAGEDOWN: SetTopIndex(FTopIndex + std::max(1, FItems->Count() - MaxTopIndex() - 1)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTopIndex(s.Pos()); break;
        case SB_TOP: SetTopIndex(0); break;
        case SB_BOTTOM: SetTopIndex(MaxTopIndex()); break;
        default: break;
        }
        return;
    }
    case LB_GETCOUNT: m.Result = FItems->Count(); return;
    case LB_GETCURSEL: m.Result = FItemIndex; return;
    case LB_SETCURSEL:
        SetItemIndex(int(m.WParam));
        m.Result = FItemIndex == int(m.WParam) ? FItemIndex : LB_ERR;
        return;
    case LB_GETTOPINDEX: m.Result = FTopIndex; return;
    case LB_SETTOPINDEX:
        SetTopIndex(int(m.WParam));
        m.Result = 0;
        return;
    case LB_GETITEMHEIGHT: m.Result = RowHeight(int(m.WParam)); return;
    case LB_FINDSTRING:
    case LB_SELECTSTRING: {
        const char* text = reinterpret_cast<const char*>(m.LParam);
        const int found = text ? FindPrefix(text, int(intptr_t(m.WParam))) : -1;
        if (found >= 0 && m.Msg == LB_SELECTSTRING) {
            if (FMultiSelect) {
                m.Result = LB_ERR;
                return;
            }  // single-selection lists only
            SetItemIndex(found);
        }
        m.Result = found >= 0 ? found : LB_ERR;
        return;
    }
    default: break;
    }
    TCustomControl::Dispatch(m);
}

// The list's own window procedure: tracking presses, keys and typed prefixes.
void TCustomListBox::DefaultHandler(TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (GetParentForm(this) && CanFocus() && !Focused()) SetFocus();
        const TPoint p = PointFromLParam(m.LParam);
        const int i = ItemAtPos(p, true);
        FPressedItem = i >= 0;
        if (i >= 0) {
            ItemPressed(i, p);
            UserSelect(i, KeysToShiftState(m.WParam), m.Msg == WM_LBUTTONDOWN);
            if (m.Msg == WM_LBUTTONDBLCLK) DblClick();  // the list's double-click notice
        }
        if (HandleAllocated()) SetCapture(WindowHandle());
        FTracking = true;
        return;
    }
    case WM_MOUSEMOVE: {
        if (!FTracking) return;
        TPoint p = PointFromLParam(m.LParam);
        const int n = FItems->Count();
        if (n == 0) return;
        int i;
        if (p.Y < 0) {
            SetTopIndex(FTopIndex - 1);
            i = FTopIndex;
        } else if (p.Y >= GetClientHeight()) {
            SetTopIndex(FTopIndex + 1);
            i = ItemAtPos({1, GetClientHeight() - 1}, true);  // the lowest row in view
            if (i < 0) i = n - 1;
        } else {
            i = ItemAtPos({std::clamp(p.X, 0, std::max(0, GetClientWidth() - 1)), p.Y}, false);
            i = std::min(i, n - 1);
        }
        if (i < 0 || i == FItemIndex) return;
        FPressedItem = true;
        if (!FMultiSelect) SetItemIndex(i);
        else if (FExtendedSelect) UserSelect(i, TShiftState{ssShift}, false);
        return;
    }
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: {
        if (!FTracking) return;
        FTracking = false;
        if (m.Msg != WM_CAPTURECHANGED && GetCapture() == WindowHandle() && WindowHandle()) ReleaseCapture();
        if (m.Msg == WM_LBUTTONUP && FPressedItem) Click();  // the selection change notice
        FPressedItem = false;
        return;
    }
    case WM_KEYDOWN: {
        const int n = FItems->Count();
        if (n == 0) break;
        const int page = std::max(1, n - MaxTopIndex() - 1);
        int i = FItemIndex;
        switch (m.WParam) {
        case VK_UP: i = i < 0 ? 0 : i - 1; break;
        case VK_DOWN: i = i + 1; break;
        case VK_PRIOR: i = i < 0 ? 0 : i - page; break;
        case VK_NEXT: i = i < 0 ? 0 : i + page; break;
        case VK_HOME: i = 0; break;
        case VK_END: i = n - 1; break;
        case VK_SPACE:
            if (FMultiSelect && FItemIndex >= 0) {
                SetSelected(FItemIndex, !GetSelected(FItemIndex));
                Click();
            }
            return;
        default: TCustomControl::DefaultHandler(m); return;
        }
        i = std::clamp(i, 0, n - 1);
        if (i == FItemIndex) return;
        UserSelect(i,
            KeyDataToShiftState(m.LParam) + (GetKeyState(VK_SHIFT) < 0 ? TShiftState{ssShift} : TShiftState{}), false);
        Click();
        return;
    }
    case WM_CHAR: {
        const char32_t ch = char32_t(m.WParam);
        if (ch <= 32 || ch == 127) break;
        const int i = FindPrefix(S(QString::fromUcs4(&ch, 1)), FItemIndex);
        if (i >= 0 && i != FItemIndex) {
            UserSelect(i, {}, false);
            Click();
        }
        return;
    }
    default: break;
    }
    TCustomControl::DefaultHandler(m);
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
    // The caption's accelerator focuses the first control inside.
    if (m.Msg == CM_DIALOGCHAR && IsAccel(m.WParam, GetCaption()) && CanFocus()) {
        SelectNext(nullptr, true, true);
        m.Result = 1;
        return;
    }
    if (m.Msg == CM_TEXTCHANGED) {
        Invalidate();
        Realign();
    }
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
