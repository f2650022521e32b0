#include "platform/gui/TextControl.h"

#include <QtCore/QPointer>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QProxyStyle>
#include <QtWidgets/QScrollBar>

#include <algorithm>

#include "platform/gui/Clipboard.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/InputState.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

using gui_detail::gInput;

namespace {

constexpr int kDefaultLimit = 65536;

// Positions cross the boundary in characters; Qt counts UTF-16 units.
int ToUnits(const QString& s, int chars) {
    int units = 0;
    for (int c = 0; c < chars && units < s.size(); ++c) units += s.at(units).isHighSurrogate() ? 2 : 1;
    return std::min<int>(units, int(s.size()));
}
int ToChars(const QString& s, int units) {
    int chars = 0;
    for (int u = 0; u < units && u < s.size(); ++chars) u += s.at(u).isHighSurrogate() ? 2 : 1;
    return chars;
}
int CharLength(const QString& s) { return ToChars(s, int(s.size())); }

QString FromUtf8(const std::string& s) { return QString::fromStdString(s); }
std::string ToUtf8(const QString& s) { return s.toStdString(); }

// Any break the text was given with becomes one line break.
QString NormalBreaks(QString s) {
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QChar('\r'), QChar('\n'));
    return s;
}

class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(char32_t c) : FChar(c) {}
    int styleHint(
        StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* ret) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return int(FChar);
        if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }

private:
    char32_t FChar;
};

// Exposes the viewport margins, which are the formatting rectangle of the multi-line kind.
class TPlainText : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    void SetMargins(int l, int t, int r, int b) { setViewportMargins(l, t, r, b); }
};

}  // namespace

struct TPlainTextControl::TImpl : QObject {
    TPlainTextControl* Self;
    TWinControl* Owner;
    QPointer<QWidget> W;
    // The kinds of the widget; nullptr once its destruction has begun (its parent window going
    // first), so nothing touches a half-destroyed widget.
    QLineEdit* Line() const { return dynamic_cast<QLineEdit*>(W.data()); }
    TPlainText* Doc() const { return dynamic_cast<TPlainText*>(W.data()); }
    uint32_t Mask = 0;
    int Limit = kDefaultLimit;
    bool Modified = false;
    bool SettingText = false;  // a WM_SETTEXT is replacing the text: not the user's edit
    bool Creating = false;
    bool NoDrops = false;
    char32_t Password = 0;
    uint32_t Style = 0;
    uint32_t ScrollBits = 0;
    CHARRANGE LastSel{-1, -1};
    QObject* KeyTarget = nullptr;

    TImpl(TPlainTextControl* self, TWinControl* owner) : Self(self), Owner(owner) {}

    QWidget* Widget() const { return Line() || Doc() ? W.data() : nullptr; }

    QString QText() const {
        if (Line()) return Line()->text();
        if (Doc()) return Doc()->toPlainText();
        return {};
    }
    std::string Text() const {
        QString s = QText();
        s.replace(QChar('\n'), QChar('\r'));
        return ToUtf8(s);
    }
    int Length() const { return CharLength(QText()); }

    // Anchor and caret in characters.
    void GetSel(int& anchor, int& caret) const {
        const QString s = QText();
        if (Line()) {
            caret = Line()->cursorPosition();
            anchor = caret;
            if (Line()->hasSelectedText()) {
                const int start = Line()->selectionStart(), end = start + int(Line()->selectedText().size());
                anchor = caret == start ? end : start;
            }
        } else if (Doc()) {
            const QTextCursor c = Doc()->textCursor();
            caret = c.position();
            anchor = c.anchor();
        } else {
            anchor = caret = 0;
        }
        anchor = ToChars(s, anchor);
        caret = ToChars(s, caret);
    }
    void SetSel(int anchor, int caret) {
        const QString s = QText();
        const int len = CharLength(s);
        anchor = std::clamp(anchor, 0, len);
        caret = std::clamp(caret, 0, len);
        const int a = ToUnits(s, anchor), c = ToUnits(s, caret);
        if (Line()) {
            if (a == c) Line()->setCursorPosition(c);
            else Line()->setSelection(a, c - a);
        } else if (Doc()) {
            QTextCursor cur = Doc()->textCursor();
            cur.setPosition(a);
            cur.setPosition(c, QTextCursor::KeepAnchor);
            Doc()->setTextCursor(cur);
        }
    }
    CHARRANGE Range() const {
        int a = 0, c = 0;
        GetSel(a, c);
        return {std::min(a, c), std::max(a, c)};
    }

    bool ReadOnly() const { return Line() ? Line()->isReadOnly() : Doc() && Doc()->isReadOnly(); }

    // A user-style replacement of the selection: into undo, limited, marks modified.
    void ReplaceSel(QString text, bool checkReadOnly) {
        if (!Widget() || (checkReadOnly && ReadOnly())) return;
        text = NormalBreaks(text);
        if (Line()) text.replace(QChar('\n'), QChar(' '));
        const CHARRANGE r = Range();
        const int room = Limit - (Length() - (r.cpMax - r.cpMin));
        if (CharLength(text) > room) text = text.left(ToUnits(text, std::max(0, room)));
        if (text.isEmpty() && r.cpMin == r.cpMax) return;
        if (Line()) {
            if (text.isEmpty()) Line()->del();  // insert() leaves a selection alone for an empty text
            else Line()->insert(text);
        } else {
            QTextCursor cur = Doc()->textCursor();
            cur.insertText(text);
            Doc()->setTextCursor(cur);
        }
    }

    void SetText(const std::string& text) {
        if (!Widget()) return;
        TRollback setting(SettingText, true);
        const bool modified = Modified;
        const QString q = NormalBreaks(FromUtf8(text));
        if (Line()) Line()->setText(q);
        else Doc()->setPlainText(q);
        Modified = modified;
    }

    void EmptyUndo() {
        if (Doc()) {
            Doc()->document()->clearUndoRedoStacks();
        } else if (Line()) {
            // A line edit forgets its undo only when its text is set.
            int a = 0, c = 0;
            GetSel(a, c);
            TRollback setting(SettingText, true);
            const bool modified = Modified;
            Line()->setText(Line()->text());
            Modified = modified;
            SetSel(a, c);
        }
    }

    void TextChanged() {
        if (Creating || !Widget()) return;
        if (!SettingText) Modified = true;
        if (Self->OnTextSync) Self->OnTextSync(Text());
        if (Mask & ENM_CHANGE) Owner->Perform(CN_COMMAND, MakeWParam(0, EN_CHANGE), 0);
    }
    void SelectionChanged() {
        if (Creating || !Widget()) return;
        const CHARRANGE r = Range();
        if (r.cpMin == LastSel.cpMin && r.cpMax == LastSel.cpMax) return;
        LastSel = r;
        if (!(Mask & ENM_SELCHANGE)) return;
        TSelChange sc;
        sc.chrg = r;
        Owner->Perform(CN_NOTIFY, 0, LPARAM(&sc));
    }

    void ApplyStyle() {
        QWidget* w = Widget();
        if (!w) return;
        const Qt::Alignment align = (Style & ES_RIGHT) ? Qt::AlignRight
            : (Style & ES_CENTER)                      ? Qt::AlignHCenter
                                                       : Qt::AlignLeft;
        if (Line()) {
            Line()->setFrame(false);
            Line()->setAlignment(align | Qt::AlignVCenter);
            Line()->setReadOnly(Style & ES_READONLY);
        } else {
            Doc()->setFrameShape(QFrame::NoFrame);
            Doc()->setReadOnly(Style & ES_READONLY);
            QTextOption opt = Doc()->document()->defaultTextOption();
            opt.setAlignment(align);
            Doc()->document()->setDefaultTextOption(opt);
            Doc()->setLineWrapMode((Style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            const Qt::ScrollBarPolicy shown = (Style & ES_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                           : Qt::ScrollBarAsNeeded;
            const uint32_t bars = Style | ScrollBits;
            Doc()->setHorizontalScrollBarPolicy((bars & WS_HSCROLL) ? shown : Qt::ScrollBarAlwaysOff);
            Doc()->setVerticalScrollBarPolicy((bars & WS_VSCROLL) ? shown : Qt::ScrollBarAlwaysOff);
        }
        SetMargins((Style & ES_SELECTIONBAR) ? 8 : 0, 0, 0, 0);
        ApplyPassword();
    }
    void SetMargins(int l, int t, int r, int b) {
        if (Line()) Line()->setTextMargins(l, t, r, b);
        else if (Doc()) Doc()->SetMargins(l, t, r, b);
    }
    void ApplyPassword() {
        if (!Line()) return;  // the multi-line kind has no password look
        if (Password) {
            auto* style = new TPasswordStyle(Password);
            style->setParent(Line());
            Line()->setStyle(style);
            Line()->setEchoMode(QLineEdit::Password);
        } else {
            Line()->setEchoMode(QLineEdit::Normal);
        }
    }

    bool eventFilter(QObject* o, QEvent* e) override;
    bool Filter(QObject* o, QEvent* e);
    void Forward(QEvent* e);
};

bool TPlainTextControl::TImpl::eventFilter(QObject* o, QEvent* e) {
    if (gInput.Forwarding || !Widget()) return false;
    if (NoDrops && (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove || e->type() == QEvent::Drop)) {
        e->ignore();
        return true;
    }
    return gui_detail::Guarded([&] { return Filter(o, e); }, true);
}

// The widget's input goes through the owner's messages first, as for any hosted widget.
bool TPlainTextControl::TImpl::Filter(QObject* o, QEvent* e) {
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* ke = static_cast<QKeyEvent*>(e);
        TRollback<const QKeyEvent*> key(gInput.HostedKey, ke);
        KeyTarget = o;
        TWindowBridge::DeliverKey(Owner, ke);
        return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        if (static_cast<QFocusEvent*>(e)->reason() != Qt::PopupFocusReason)
            TWindowBridge::Translate(Owner, true, Owner->ClientWidget(), e);
        return false;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        QPointer<QObject> alive(o);
        TWindowBridge::DeliverMouse(Owner, static_cast<QMouseEvent*>(e));
        return !alive;
    }
    default: return false;
    }
}

void TPlainTextControl::TImpl::Forward(QEvent* e) {
    QObject* target = KeyTarget ? KeyTarget : Widget();
    if (!target) return;
    TRollback forwarding(gInput.Forwarding, true);
    e->setAccepted(true);
    target->event(e);
}

TPlainTextControl::TPlainTextControl(TWinControl* owner) : FImpl(std::make_unique<TImpl>(this, owner)) {}

TPlainTextControl::~TPlainTextControl() { Destroy(); }

bool TPlainTextControl::Exists() const noexcept { return FImpl->Widget() != nullptr; }
uint32_t TPlainTextControl::EventMask() const noexcept { return FImpl->Mask; }
void TPlainTextControl::SetScrollBars(uint32_t wsBits) noexcept {
    FImpl->ScrollBits = wsBits & (WS_HSCROLL | WS_VSCROLL);
}

void TPlainTextControl::Create() {
    TImpl& d = *FImpl;
    d.Style = d.Owner->GetWindowStyle();
    if (d.Widget() && bool(d.Style & ES_MULTILINE) == bool(d.Doc())) {
        d.ApplyStyle();
        Fit();
        return;
    }
    Destroy();
    TRollback creating(d.Creating, true);
    QWidget* parent = d.Owner->ClientWidget();
    if (d.Style & ES_MULTILINE) {
        auto* doc = new TPlainText(parent);
        d.W = doc;
        QObject::connect(
            d.Doc(), &QPlainTextEdit::textChanged, &d, [&d] { gui_detail::Guarded([&] { d.TextChanged(); }); });
        QObject::connect(d.Doc(), &QPlainTextEdit::cursorPositionChanged, &d,
            [&d] { gui_detail::Guarded([&] { d.SelectionChanged(); }); });
        QObject::connect(d.Doc(), &QPlainTextEdit::selectionChanged, &d,
            [&d] { gui_detail::Guarded([&] { d.SelectionChanged(); }); });
        d.Doc()->viewport()->installEventFilter(&d);
        d.Doc()->viewport()->setMouseTracking(true);
    } else {
        auto* line = new QLineEdit(parent);
        d.W = line;
        QObject::connect(
            d.Line(), &QLineEdit::textChanged, &d, [&d] { gui_detail::Guarded([&] { d.TextChanged(); }); });
        QObject::connect(d.Line(), &QLineEdit::cursorPositionChanged, &d,
            [&d] { gui_detail::Guarded([&] { d.SelectionChanged(); }); });
        QObject::connect(
            d.Line(), &QLineEdit::selectionChanged, &d, [&d] { gui_detail::Guarded([&] { d.SelectionChanged(); }); });
    }
    QWidget* w = d.Widget();
    w->installEventFilter(&d);
    w->setMouseTracking(true);
    w->setContextMenuPolicy(Qt::NoContextMenu);  // the owner shows its own menu
    parent->setFocusProxy(w);
    d.Modified = false;
    d.LastSel = {0, 0};
    d.ApplyStyle();
    ApplyFont();
    Fit();
    w->show();
}

void TPlainTextControl::Destroy() {
    TImpl& d = *FImpl;
    QWidget* w = d.Widget();
    if (!w) return;
    w->disconnect(&d);
    if (QWidget* p = w->parentWidget(); p && p->focusProxy() == w) p->setFocusProxy(nullptr);
    d.KeyTarget = nullptr;
    delete w;
}

void TPlainTextControl::Fit() {
    if (QWidget* w = FImpl->Widget()) {
        w->setGeometry(0, 0, FImpl->Owner->GetClientWidth(), FImpl->Owner->GetClientHeight());
        w->setEnabled(FImpl->Owner->GetEnabled());
    }
}

void TPlainTextControl::ApplyFont() {
    QWidget* w = FImpl->Widget();
    if (!w) return;
    QFont f = ToQFont(FImpl->Owner->GetFont()->Data());
    f.setUnderline(w->font().underline());
    w->setFont(f);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Text, ToQColor(FImpl->Owner->GetFont()->GetColor()));
    pal.setColor(QPalette::Base, ToQColor(FImpl->Owner->GetColor()));
    w->setPalette(pal);
}

std::string TPlainTextControl::Text() const { return FImpl->Text(); }
void TPlainTextControl::SetText(const std::string& text) { FImpl->SetText(text); }

TPoint TPlainTextControl::CaretPos() const {
    if (FImpl->Line()) {
        // The line edit keeps its caret rectangle to itself: measure the text before the caret.
        const QLineEdit* e = FImpl->Line();
        const QString before = e->echoMode() == QLineEdit::Normal ? e->text().left(e->cursorPosition())
                                                                  : e->displayText().left(e->cursorPosition());
        const QMargins m = e->textMargins();
        return {m.left() + 2 + e->fontMetrics().horizontalAdvance(before), m.top() + 1};
    }
    if (FImpl->Doc()) {
        const QRect r = FImpl->Doc()->cursorRect();
        const QPoint p = FImpl->Doc()->viewport()->mapTo(FImpl->Doc(), r.topLeft());
        return {p.x(), p.y()};
    }
    return {0, 0};
}

bool TPlainTextControl::Handle(TMessage& m) {
    TImpl& d = *FImpl;
    if (!d.Widget()) return false;
    switch (m.Msg) {
    case EM_EXGETSEL: {
        *reinterpret_cast<CHARRANGE*>(m.LParam) = d.Range();
        return true;
    }
    case EM_GETSEL: {
        const CHARRANGE r = d.Range();
        m.Result = MakeLParam(r.cpMin, r.cpMax);
        return true;
    }
    case EM_EXSETSEL:
    case EM_SETSEL: {
        int a = 0, b = 0;
        if (m.Msg == EM_EXSETSEL) {
            const auto* r = reinterpret_cast<const CHARRANGE*>(m.LParam);
            a = r->cpMin;
            b = r->cpMax;
        } else {
            a = int(m.WParam);
            b = int(m.LParam);
        }
        const int len = d.Length();
        if (a < 0) {
            // Only the selection goes; the caret stays.
            int anchor = 0, caret = 0;
            d.GetSel(anchor, caret);
            d.SetSel(caret, caret);
        } else {
            d.SetSel(std::min(a, len), b < 0 ? len : std::min(b, len));
        }
        m.Result = d.Range().cpMax;
        return true;
    }
    case EM_GETSELTEXT: {
        const CHARRANGE r = d.Range();
        const std::u32string all = Utf8ToU32(d.Text());
        auto* out = reinterpret_cast<std::string*>(m.LParam);
        *out = U32ToUtf8(std::u32string_view(all).substr(size_t(r.cpMin), size_t(r.cpMax - r.cpMin)));
        m.Result = r.cpMax - r.cpMin;
        return true;
    }
    case EM_REPLACESEL: d.ReplaceSel(FromUtf8(reinterpret_cast<const char*>(m.LParam)), false); return true;
    case EM_SCROLLCARET:
        if (d.Doc()) d.Doc()->ensureCursorVisible();
        return true;
    case WM_SETTEXT:
        d.SetText(m.LParam ? reinterpret_cast<const char*>(m.LParam) : "");
        m.Result = 1;
        return true;
    case WM_GETTEXTLENGTH:
    case EM_GETTEXTLENGTHEX: m.Result = d.Length(); return true;
    case EM_EXLIMITTEXT:
    case EM_LIMITTEXT: {
        const int limit = int(m.Msg == EM_EXLIMITTEXT ? m.LParam : LPARAM(m.WParam));
        d.Limit = limit > 0 ? limit : kDefaultLimit;
        return true;
    }
    case EM_UNDO:
    case WM_UNDO:
        if (d.Line()) d.Line()->undo();
        else d.Doc()->undo();
        m.Result = 1;
        return true;
    case EM_REDO:
        if (d.Line()) d.Line()->redo();
        else d.Doc()->redo();
        m.Result = 1;
        return true;
    case EM_CANUNDO:
        m.Result = d.Line() ? d.Line()->isUndoAvailable() : d.Doc()->document()->isUndoAvailable();
        return true;
    case EM_CANREDO:
        m.Result = d.Line() ? d.Line()->isRedoAvailable() : d.Doc()->document()->isRedoAvailable();
        return true;
    case EM_EMPTYUNDOBUFFER: d.EmptyUndo(); return true;
    case EM_GETMODIFY: m.Result = d.Modified; return true;
    case EM_SETMODIFY: d.Modified = m.WParam != 0; return true;
    case EM_SETREADONLY:
        if (d.Line()) d.Line()->setReadOnly(m.WParam != 0);
        else d.Doc()->setReadOnly(m.WParam != 0);
        d.Style = m.WParam ? (d.Style | ES_READONLY) : (d.Style & ~ES_READONLY);
        m.Result = 1;
        return true;
    case EM_SETPASSWORDCHAR:
        d.Password = char32_t(m.WParam);
        d.ApplyPassword();
        return true;
    case EM_SETRECT: {
        const TRect r = *reinterpret_cast<const TRect*>(m.LParam);
        const int w = d.Owner->GetClientWidth(), h = d.Owner->GetClientHeight();
        d.SetMargins(std::max(0, r.Left), std::max(0, r.Top), std::max(0, w - r.Right),
            d.Line() ? 0 : std::max(0, h - r.Bottom));
        return true;
    }
    case EM_SETBKGNDCOLOR: {
        QWidget* w = d.Widget();
        QPalette pal = w->palette();
        pal.setColor(QPalette::Base, ToQColor(m.WParam ? clWindow : TColor(m.LParam)));
        w->setPalette(pal);
        return true;
    }
    case EM_SETCHARFORMAT: {
        const auto* cf = reinterpret_cast<const TCharFormat*>(m.LParam);
        QWidget* w = d.Widget();
        if (cf->dwMask & CFM_COLOR) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Text, ToQColor((cf->dwEffects & CFE_AUTOCOLOR) ? clWindowText : cf->crTextColor));
            w->setPalette(pal);
        }
        if (cf->dwMask & CFM_UNDERLINE) {
            QFont f = w->font();
            f.setUnderline(cf->dwEffects & CFE_UNDERLINE);
            w->setFont(f);
        }
        m.Result = 1;
        return true;
    }
    case EM_SETEVENTMASK:
        m.Result = LRESULT(d.Mask);
        d.Mask = uint32_t(m.LParam);
        return true;
    case EM_GETEVENTMASK: m.Result = LRESULT(d.Mask); return true;
    case EM_SETOLECALLBACK:
        d.NoDrops = m.LParam != 0;
        d.Widget()->setAcceptDrops(!d.NoDrops);
        if (d.Doc()) d.Doc()->viewport()->setAcceptDrops(!d.NoDrops);
        m.Result = 1;
        return true;
    case EM_SETTEXTMODE: m.Result = 0; return true;
    case EM_CANPASTE: m.Result = Clipboard()->HasFormat(CF_TEXT); return true;
    case WM_COPY: {
        const CHARRANGE r = d.Range();
        if (r.cpMin == r.cpMax || d.Password) return true;
        std::string sel;
        TMessage get{EM_GETSELTEXT, 0, LPARAM(&sel), 0};
        Handle(get);
        Clipboard()->SetAsText(sel);
        return true;
    }
    case WM_CUT: {
        if (d.Password || d.ReadOnly()) return true;
        TMessage copy{WM_COPY, 0, 0, 0};
        Handle(copy);
        d.ReplaceSel(QString(), true);
        return true;
    }
    case WM_CLEAR: d.ReplaceSel(QString(), true); return true;
    case WM_PASTE: d.ReplaceSel(FromUtf8(Clipboard()->GetAsText()), true); return true;
    case EM_GETLINECOUNT: m.Result = d.Doc() ? d.Doc()->document()->blockCount() : 1; return true;
    case EM_LINEINDEX: {
        const QString s = d.QText();
        int line = int(m.WParam);
        if (line < 0) {
            int a = 0, c = 0;
            d.GetSel(a, c);
            line = d.Doc() ? d.Doc()->document()->findBlock(ToUnits(s, c)).blockNumber() : 0;
        }
        if (d.Line()) {
            m.Result = line == 0 ? 0 : -1;
        } else {
            const QTextBlock b = d.Doc()->document()->findBlockByNumber(line);
            m.Result = b.isValid() ? ToChars(s, b.position()) : -1;
        }
        return true;
    }
    case EM_LINEFROMCHAR:
    case EM_LINELENGTH: {
        const QString s = d.QText();
        int at = int(m.WParam);
        if (at < 0) {
            int a = 0;
            d.GetSel(a, at);
        }
        if (d.Line()) {
            m.Result = m.Msg == EM_LINELENGTH ? d.Length() : 0;
        } else {
            const QTextBlock b = d.Doc()->document()->findBlock(ToUnits(s, at));
            m.Result = m.Msg == EM_LINELENGTH ? CharLength(b.text()) : b.blockNumber();
        }
        return true;
    }
    case EM_GETLINE: {
        auto* out = reinterpret_cast<std::string*>(m.LParam);
        if (d.Line()) {
            *out = m.WParam == 0 ? d.Text() : std::string();
        } else {
            const QTextBlock b = d.Doc()->document()->findBlockByNumber(int(m.WParam));
            *out = b.isValid() ? ToUtf8(b.text()) : std::string();
        }
        m.Result = LRESULT(Utf8Length(*out));
        return true;
    }
    default: return false;
    }
}

bool TPlainTextControl::DefaultHandler(TMessage& m) {
    TImpl& d = *FImpl;
    if (!d.Widget()) return false;
    switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (gInput.HostedKey && gInput.HostedKey->type() == QEvent::KeyPress) {
            const QKeyEvent* k = gInput.HostedKey;
            // Clipboard and undo keys go through the messages, so the limit holds for them too.
            const UINT clip = k->matches(QKeySequence::Paste) ? WM_PASTE
                : k->matches(QKeySequence::Cut)               ? WM_CUT
                : k->matches(QKeySequence::Copy)              ? WM_COPY
                                                              : UINT(0);
            if (clip) {
                TMessage cm{clip, 0, 0, 0};
                return Handle(cm);
            }
            const QString text = k->text();
            const bool printable = !text.isEmpty() && text.at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier);
            QKeyEvent copy(QEvent::KeyPress, k->key(), k->modifiers(), printable ? QString() : text, k->isAutoRepeat());
            d.Forward(&copy);
        }
        return m.Msg == WM_KEYDOWN;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (gInput.HostedKey && gInput.HostedKey->type() == QEvent::KeyRelease) {
            const QKeyEvent* k = gInput.HostedKey;
            QKeyEvent copy(QEvent::KeyRelease, k->key(), k->modifiers(), k->text(), k->isAutoRepeat());
            d.Forward(&copy);
        }
        return m.Msg == WM_KEYUP;
    case WM_CHAR: {
        char32_t ch = char32_t(m.WParam);
        if (d.Doc() && (ch == U'\r' || ch == U'\t')) {
            d.ReplaceSel(ch == U'\r' ? QStringLiteral("\n") : QStringLiteral("\t"), true);
            return true;
        }
        if (ch < 32 || ch == 127) return true;
        if (d.Style & ES_UPPERCASE) ch = CharUpper(ch);
        else if (d.Style & ES_LOWERCASE) ch = CharLower(ch);
        d.ReplaceSel(QString::fromUcs4(&ch, 1), true);
        return true;
    }
    default: return false;
    }
}
