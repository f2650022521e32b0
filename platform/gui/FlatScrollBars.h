#pragma once
// The common controls' flat scroll bars over a window's own bars. A window given flat bars
// remembers the look of each bar (regular, hot-tracking or flat); the bars are drawn in the
// regular look whatever it is, and the scroll information goes to and from the window's bars
// unchanged, so code that reads and sets its bars through these calls behaves the same with
// flat bars and without.

#include "platform/gui/Messages.h"

enum : int { WSB_PROP_VSTYLE = 0x100, WSB_PROP_HSTYLE = 0x200 };
enum : int { FSB_REGULAR_MODE = 0, FSB_ENCARTA_MODE = 1, FSB_FLAT_MODE = 2 };

// Gives the window flat bars (false without a window).
bool InitializeFlatSB(HWND window);
void UninitializeFlatSB(HWND window);
bool FlatSBInitialized(HWND window);
// WSB_PROP_VSTYLE / WSB_PROP_HSTYLE: the bar's look, FSB_*_MODE. False when the window has no
// flat bars (the look is then not kept) or the property is unknown.
bool FlatSB_SetScrollProp(HWND window, int index, int value, bool redraw);
bool FlatSB_GetScrollProp(HWND window, int index, int& value);
// Straight to the window's bars (SB_HORZ, SB_VERT).
bool FlatSB_GetScrollInfo(HWND window, int bar, TScrollInfo& info);
int FlatSB_SetScrollInfo(HWND window, int bar, const TScrollInfo& info, bool redraw);

// Monitors. A monitor handle is a 1-based screen number; 0 is none.
using HMONITOR = int;
enum : uint32_t { MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2 };
struct TMonitorInfo {
    TRect rcMonitor;
    TRect rcWork;  // the work area: the screen less the desktop's panels
    uint32_t dwFlags = 0;  // MONITORINFOF_PRIMARY
};
constexpr uint32_t MONITORINFOF_PRIMARY = 1;
HMONITOR MonitorFromPoint(TPoint p, uint32_t flags);
bool GetMonitorInfo(HMONITOR monitor, TMonitorInfo& info);
// SPI_GETWORKAREA: the primary monitor's work area into *(TRect*)param.
enum : UINT { SPI_GETWORKAREA = 0x0030 };
bool SystemParametersInfo(UINT action, UINT uiParam, void* param, UINT winIni);

// The system locale's kind, as the class library's SysLocale reports it (tests may set it).
struct TSysLocale {
    bool FarEast = false;
    bool MiddleEast = false;  // a right-to-left locale
};
TSysLocale& SysLocale();
