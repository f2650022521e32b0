#include "platform/gui/FlatScrollBars.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QWidget>

#include <climits>

#include "platform/gui/Application.h"
#include "platform/gui/Controls.h"

namespace {
// Kept on the window itself, so they go with it.
constexpr const char* kFlat = "karomilFlatSB";
constexpr const char* kVStyle = "karomilFlatSBVStyle";
constexpr const char* kHStyle = "karomilFlatSBHStyle";

const char* StyleKey(int index) {
    if (index == WSB_PROP_VSTYLE) return kVStyle;
    if (index == WSB_PROP_HSTYLE) return kHStyle;
    return nullptr;
}
}  // namespace

bool InitializeFlatSB(HWND window) {
    if (!window) return false;
    window->setProperty(kFlat, true);
    return true;
}

void UninitializeFlatSB(HWND window) {
    if (!window) return;
    window->setProperty(kFlat, QVariant());
    window->setProperty(kVStyle, QVariant());
    window->setProperty(kHStyle, QVariant());
}

bool FlatSBInitialized(HWND window) { return window && window->property(kFlat).toBool(); }

bool FlatSB_SetScrollProp(HWND window, int index, int value, bool redraw) {
    const char* key = StyleKey(index);
    if (!key || !FlatSBInitialized(window)) return false;
    if (value < FSB_REGULAR_MODE || value > FSB_FLAT_MODE) return false;
    window->setProperty(key, value);
    if (redraw) window->update();
    return true;
}

bool FlatSB_GetScrollProp(HWND window, int index, int& value) {
    const char* key = StyleKey(index);
    if (!key || !FlatSBInitialized(window)) return false;
    value = window->property(key).isValid() ? window->property(key).toInt() : FSB_REGULAR_MODE;
    return true;
}

bool FlatSB_GetScrollInfo(HWND window, int bar, TScrollInfo& info) { return GetScrollInfo(window, bar, info); }

int FlatSB_SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw) {
    return SetScrollInfo(window, bar, info, redraw);
}

// --- monitors ----------------------------------------------------------------------------------

namespace {
TRect RectOf(const QRect& r) { return Bounds(r.x(), r.y(), r.width(), r.height()); }
QScreen* ScreenOf(HMONITOR monitor) {
    EnsureQtApplication();
    const auto screens = QGuiApplication::screens();
    if (monitor < 1 || monitor > screens.size()) return nullptr;
    return screens[monitor - 1];
}
HMONITOR MonitorOf(QScreen* screen) {
    const auto screens = QGuiApplication::screens();
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i] == screen) return i + 1;
    return 0;
}
}  // namespace

HMONITOR MonitorFromPoint(TPoint p, uint32_t flags) {
    EnsureQtApplication();
    const auto screens = QGuiApplication::screens();
    if (screens.isEmpty()) return 0;
    for (int i = 0; i < screens.size(); ++i)
        if (screens[i]->geometry().contains(p.X, p.Y)) return i + 1;
    if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorOf(QGuiApplication::primaryScreen());
    if (flags != MONITOR_DEFAULTTONEAREST) return 0;
    HMONITOR best = 0;
    long long bestDistance = LLONG_MAX;
    for (int i = 0; i < screens.size(); ++i) {
        const QRect g = screens[i]->geometry();
        const long long dx = p.X < g.left() ? g.left() - p.X : (p.X > g.right() ? p.X - g.right() : 0);
        const long long dy = p.Y < g.top() ? g.top() - p.Y : (p.Y > g.bottom() ? p.Y - g.bottom() : 0);
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = i + 1;
        }
    }
    return best;
}

bool GetMonitorInfo(HMONITOR monitor, TMonitorInfo& info) {
    QScreen* s = ScreenOf(monitor);
    if (!s) return false;
    info.rcMonitor = RectOf(s->geometry());
    // Through the screen object, which honours a work area set for tests.
    const QPoint c = s->geometry().center();
    info.rcWork = Screen->MonitorWorkArea(Point(c.x(), c.y()));
    info.dwFlags = s == QGuiApplication::primaryScreen() ? MONITORINFOF_PRIMARY : 0;
    return true;
}

bool SystemParametersInfo(UINT action, UINT, void* param, UINT) {
    if (action != SPI_GETWORKAREA || !param) return false;
    *static_cast<TRect*>(param) = Screen->WorkAreaRect();
    return true;
}

TSysLocale& SysLocale() {
    static TSysLocale locale;
    return locale;
}
