// Window timers and the caret.

#include "platform/gui/Controls.h"

#include <QtCore/QBasicTimer>
#include <QtCore/QTimer>
#include <QtGui/QPainter>
#include <QtGui/QMouseEvent>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QWheelEvent>
#include <QtGui/QStyleHints>
#include <QtGui/QWindow>
#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <utility>

#include "platform/gui/ActnList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ControlsPrivate.h"
#include "platform/gui/Forms.h"
#include "platform/gui/InputState.h"
#include "platform/gui/Menus.h"
#include "platform/rtl/Exceptions.h"

using namespace gui_detail;

// --- timers --------------------------------------------------------------------------------------

namespace {

struct TTimerEntry {
    HWND Window;
    uintptr_t Id;
    TTimerProc Proc;
    std::unique_ptr<QBasicTimer> Timer;
};

class TTimerHost : public QObject {
public:
    std::vector<std::unique_ptr<TTimerEntry>> Entries;
    uintptr_t NextId = 0x7F00;
    TTimerEntry* Find(HWND w, uintptr_t id) {
        for (auto& e : Entries)
            if (e->Window == w && e->Id == id) return e.get();
        return nullptr;
    }
    void Remove(TTimerEntry* t) {
        t->Timer->stop();
        Entries.erase(std::find_if(Entries.begin(), Entries.end(), [t](auto& e) { return e.get() == t; }));
    }

protected:
    void timerEvent(QTimerEvent* e) override {
        for (auto& t : Entries) {
            if (t->Timer->timerId() != e->timerId()) continue;
            HWND w = t->Window;
            uintptr_t id = t->Id;
            TTimerProc proc = t->Proc;
            const DWORD now = PlatformTickCount();
            gui_detail::SetMessageTime(now, gInput.MessagePos);
            gui_detail::Guarded([&] {
                if (proc) proc(w, WM_TIMER, id, now);
                else if (TWinControl* c = FindControl(w)) c->Perform(WM_TIMER, id, 0);
            });
            return;
        }
    }
};

TTimerHost& Timers() {
    static TTimerHost* host = new TTimerHost;  // lives as long as the process
    return *host;
}

}  // namespace

uintptr_t SetTimer(HWND window, uintptr_t id, UINT elapseMs, TTimerProc proc) {
    EnsureQtApplication();
    TTimerHost& h = Timers();
    if (!window && id == 0) id = ++h.NextId;
    if (window && !FindControl(window)) return 0;
    TTimerEntry* t = h.Find(window, id);
    if (!t) {
        auto e = std::make_unique<TTimerEntry>();
        e->Window = window;
        e->Id = id;
        e->Timer = std::make_unique<QBasicTimer>();
        t = e.get();
        h.Entries.push_back(std::move(e));
    }
    t->Proc = std::move(proc);
    t->Timer->start(int(elapseMs), Qt::PreciseTimer, &h);
    return id == 0 ? 1 : id;
}

bool KillTimer(HWND window, uintptr_t id) {
    TTimerHost& h = Timers();
    TTimerEntry* t = h.Find(window, id);
    if (!t) return false;
    h.Remove(t);
    return true;
}

bool TimerRunning(HWND window, uintptr_t id) { return Timers().Find(window, id) != nullptr; }

void gui_detail::KillWindowTimers(HWND w) {
    if (!w) return;
    TTimerHost& h = Timers();
    for (size_t i = h.Entries.size(); i-- > 0;)
        if (h.Entries[i]->Window == w) h.Remove(h.Entries[i].get());
}

// --- caret -------------------------------------------------------------------------------------------

namespace {
// The caret inverts the pixels of the window below it; a transparent child widget paints after
// its parent into the same raster surface, so a NOT-destination fill inverts exactly those.
class TCaretWidget : public QWidget {
public:
    explicit TCaretWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAutoFillBackground(false);
    }
    bool Lit = true;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!Lit) return;
        QPainter p(this);
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.fillRect(rect(), Qt::black);
    }
};

TCaretWidget* CaretWidget() { return static_cast<TCaretWidget*>(gInput.Caret.Widget.data()); }

void PlaceCaret() {
    if (!gInput.Caret.Widget) return;
    // Moving or showing the caret starts a lit phase, as on Windows.
    CaretWidget()->Lit = true;
    gInput.Caret.Widget->move(gInput.Caret.Pos.X, gInput.Caret.Pos.Y);
    gInput.Caret.Widget->setVisible(gInput.Caret.Hidden == 0);
    gInput.Caret.Widget->raise();
    gInput.Caret.Widget->update();
    if (gInput.Caret.Blink) {
        if (gInput.Caret.Hidden == 0 && GetCaretBlinkTime() > 0) gInput.Caret.Blink->start(int(GetCaretBlinkTime()));
        else gInput.Caret.Blink->stop();
    }
}
}  // namespace

UINT GetCaretBlinkTime() {
    // Qt's flash time is a whole on-off cycle; Windows' blink time is one phase.
    const int flash = qApp ? QGuiApplication::styleHints()->cursorFlashTime() : 1000;
    return flash > 0 ? UINT(flash / 2) : 0;
}

bool CreateCaret(HWND window, int width, int height) {
    TWinControl* c = FindControl(window);
    if (!c || !c->HandleAllocated()) return false;
    DestroyCaret();
    gInput.Caret.Owner = window;
    auto* w = new TCaretWidget(c->ClientWidget());
    // A zero width is the system's border width, as on Windows.
    w->resize(width > 0 ? width : GetSystemMetrics(SM_CXBORDER), height > 0 ? height : 1);
    gInput.Caret.Widget = w;
    auto* blink = new QTimer(w);
    QObject::connect(blink, &QTimer::timeout, w, [w] {
        w->Lit = !w->Lit;
        w->update();
    });
    gInput.Caret.Blink = blink;
    gInput.Caret.Hidden = 1;  // created hidden, as on Windows
    gInput.Caret.Pos = {};
    PlaceCaret();
    return true;
}

bool DestroyCaret() {
    if (!gInput.Caret.Owner) return false;
    delete gInput.Caret.Widget.data();  // and its timer
    gInput.Caret = TCaret{};
    return true;
}

bool ShowCaret(HWND window) {
    if (!gInput.Caret.Owner || (window && window != gInput.Caret.Owner)) return false;
    if (gInput.Caret.Hidden > 0) --gInput.Caret.Hidden;
    PlaceCaret();
    return true;
}

bool HideCaret(HWND window) {
    if (!gInput.Caret.Owner || (window && window != gInput.Caret.Owner)) return false;
    ++gInput.Caret.Hidden;
    PlaceCaret();
    return true;
}

bool SetCaretPos(int x, int y) {
    if (!gInput.Caret.Owner) return false;
    gInput.Caret.Pos = {x, y};
    PlaceCaret();
    return true;
}

bool GetCaretPos(TPoint& p) {
    if (!gInput.Caret.Owner) return false;
    p = gInput.Caret.Pos;
    return true;
}

void gui_detail::CaretWindowGone(HWND w) {
    if (gInput.Caret.Owner && gInput.Caret.Owner == w) DestroyCaret();
}
