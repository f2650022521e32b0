#pragma once
// Window messages: the record, their Windows numeric ids, typed views, and the codes that
// travel inside them (virtual keys, shift states, scroll-bar, hit-test and dialog codes).
//
// A message is {Msg, WParam, LParam, Result}. Controls receive it in WndProc, which passes it
// to Dispatch, which hands what nobody handled to DefaultHandler (Controls.h). The typed views
// (TWMKey, TWMMouse ...) read and write the fields of one TMessage by reference; they hold no
// data of their own.
//
// A window handle (HWND) is the outer Qt widget of a windowed control; FindControl (Controls.h)
// maps it back. Foreign Qt windows (a file dialog) have handles but no control.

#include <cstdint>

#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"

class QWidget;

using HWND = QWidget*;
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using WORD = uint16_t;
using DWORD = uint32_t;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

constexpr WORD LoWord(uintptr_t v) noexcept { return WORD(v & 0xFFFF); }
constexpr WORD HiWord(uintptr_t v) noexcept { return WORD((v >> 16) & 0xFFFF); }
constexpr LPARAM MakeLParam(int lo, int hi) noexcept { return LPARAM(uint32_t(WORD(lo)) | (uint32_t(WORD(hi)) << 16)); }
constexpr WPARAM MakeWParam(int lo, int hi) noexcept { return WPARAM(uint32_t(WORD(lo)) | (uint32_t(WORD(hi)) << 16)); }
// A point packed as two signed 16-bit halves, as mouse messages carry it.
constexpr TPoint PointFromLParam(LPARAM l) noexcept { return {int16_t(l & 0xFFFF), int16_t((l >> 16) & 0xFFFF)}; }
constexpr LPARAM PointToLParam(TPoint p) noexcept { return MakeLParam(p.X, p.Y); }

// --- message ids -----------------------------------------------------------------------------

enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_WININICHANGE = 0x001A,
    WM_SETTINGCHANGE = 0x001A,
    WM_ACTIVATEAPP = 0x001C,
    WM_FONTCHANGE = 0x001D,
    WM_TIMECHANGE = 0x001E,
    WM_CANCELMODE = 0x001F,
    WM_SETCURSOR = 0x0020,
    WM_MOUSEACTIVATE = 0x0021,
    WM_GETMINMAXINFO = 0x0024,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_WINDOWPOSCHANGING = 0x0046,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_NOTIFY = 0x004E,
    WM_CONTEXTMENU = 0x007B,
    WM_NCCREATE = 0x0081,
    WM_NCDESTROY = 0x0082,
    WM_NCCALCSIZE = 0x0083,
    WM_NCHITTEST = 0x0084,
    WM_NCPAINT = 0x0085,
    WM_NCACTIVATE = 0x0086,
    WM_GETDLGCODE = 0x0087,
    WM_NCMOUSEMOVE = 0x00A0,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2,
    WM_NCLBUTTONDBLCLK = 0x00A3,
    WM_NCRBUTTONDOWN = 0x00A4,
    WM_NCRBUTTONUP = 0x00A5,
    WM_NCRBUTTONDBLCLK = 0x00A6,
    WM_NCMBUTTONDOWN = 0x00A7,
    WM_NCMBUTTONUP = 0x00A8,
    WM_NCMBUTTONDBLCLK = 0x00A9,
    WM_KEYFIRST = 0x0100,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_DEADCHAR = 0x0103,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_SYSDEADCHAR = 0x0107,
    WM_KEYLAST = 0x0108,
    WM_IME_STARTCOMPOSITION = 0x010D,
    WM_IME_ENDCOMPOSITION = 0x010E,
    WM_IME_COMPOSITION = 0x010F,
    WM_INITDIALOG = 0x0110,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_INITMENUPOPUP = 0x0117,
    WM_MENUSELECT = 0x011F,
    WM_ENTERIDLE = 0x0121,
    WM_MOUSEFIRST = 0x0200,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MBUTTONDBLCLK = 0x0209,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSEHWHEEL = 0x020E,
    WM_MOUSELAST = 0x020E,
    WM_PARENTNOTIFY = 0x0210,
    WM_ENTERMENULOOP = 0x0211,
    WM_EXITMENULOOP = 0x0212,
    WM_CAPTURECHANGED = 0x0215,
    WM_ENTERSIZEMOVE = 0x0231,
    WM_EXITSIZEMOVE = 0x0232,
    WM_IME_SETCONTEXT = 0x0281,
    WM_IME_NOTIFY = 0x0282,
    WM_IME_CHAR = 0x0286,
    WM_MOUSEHOVER = 0x02A1,
    WM_MOUSELEAVE = 0x02A3,
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
    WM_DRAWCLIPBOARD = 0x0308,
    WM_CHANGECBCHAIN = 0x030D,
    WM_PRINT = 0x0317,
    WM_PRINTCLIENT = 0x0318,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// The class library's control messages and the notifications it reflects to the child.
enum : UINT {
    CM_BASE = 0xB000,
    CM_ACTIVATE = CM_BASE + 0,
    CM_DEACTIVATE = CM_BASE + 1,
    CM_GOTFOCUS = CM_BASE + 2,
    CM_LOSTFOCUS = CM_BASE + 3,
    CM_CANCELMODE = CM_BASE + 4,
    CM_DIALOGKEY = CM_BASE + 5,
    CM_DIALOGCHAR = CM_BASE + 6,
    CM_FOCUSCHANGED = CM_BASE + 7,
    CM_PARENTFONTCHANGED = CM_BASE + 8,
    CM_PARENTCOLORCHANGED = CM_BASE + 9,
    CM_HITTEST = CM_BASE + 10,
    CM_VISIBLECHANGED = CM_BASE + 11,
    CM_ENABLEDCHANGED = CM_BASE + 12,
    CM_COLORCHANGED = CM_BASE + 13,
    CM_FONTCHANGED = CM_BASE + 14,
    CM_CURSORCHANGED = CM_BASE + 15,
    CM_CTL3DCHANGED = CM_BASE + 16,
    CM_PARENTCTL3DCHANGED = CM_BASE + 17,
    CM_TEXTCHANGED = CM_BASE + 18,
    CM_MOUSEENTER = CM_BASE + 19,
    CM_MOUSELEAVE = CM_BASE + 20,
    CM_MENUCHANGED = CM_BASE + 21,
    CM_APPKEYDOWN = CM_BASE + 22,
    CM_APPSYSCOMMAND = CM_BASE + 23,
    CM_BUTTONPRESSED = CM_BASE + 24,
    CM_SHOWINGCHANGED = CM_BASE + 25,
    CM_ENTER = CM_BASE + 26,
    CM_EXIT = CM_BASE + 27,
    CM_DESIGNHITTEST = CM_BASE + 28,
    CM_ICONCHANGED = CM_BASE + 29,
    CM_WANTSPECIALKEY = CM_BASE + 30,
    CM_INVOKEHELP = CM_BASE + 31,
    CM_WINDOWHOOK = CM_BASE + 32,
    CM_RELEASE = CM_BASE + 33,
    CM_SHOWHINTCHANGED = CM_BASE + 34,
    CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
    CM_SYSCOLORCHANGE = CM_BASE + 36,
    CM_WININICHANGE = CM_BASE + 37,
    CM_FONTCHANGE = CM_BASE + 38,
    CM_TIMECHANGE = CM_BASE + 39,
    CM_TABSTOPCHANGED = CM_BASE + 40,
    CM_UIACTIVATE = CM_BASE + 41,
    CM_UIDEACTIVATE = CM_BASE + 42,
    CM_DOCWINDOWACTIVATE = CM_BASE + 43,
    CM_CONTROLLISTCHANGE = CM_BASE + 44,
    CM_GETDATALINK = CM_BASE + 45,
    CM_CHILDKEY = CM_BASE + 46,
    CM_DRAG = CM_BASE + 47,
    CM_HINTSHOW = CM_BASE + 48,
    CM_DIALOGHANDLE = CM_BASE + 49,
    CM_ISTOOLCONTROL = CM_BASE + 50,
    CM_RECREATEWND = CM_BASE + 51,
    CM_INVALIDATE = CM_BASE + 52,
    CM_SYSFONTCHANGED = CM_BASE + 53,
    CM_CONTROLCHANGE = CM_BASE + 54,
    CM_CHANGED = CM_BASE + 55,
    CM_BORDERCHANGED = CM_BASE + 59,
    CM_BIDIMODECHANGED = CM_BASE + 60,
    CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
    CM_MOUSEWHEEL = CM_BASE + 67,

    CN_BASE = 0xBC00,
    CN_COMMAND = CN_BASE + WM_COMMAND,
    CN_NOTIFY = CN_BASE + WM_NOTIFY,
    CN_KEYDOWN = CN_BASE + WM_KEYDOWN,
    CN_KEYUP = CN_BASE + WM_KEYUP,
    CN_CHAR = CN_BASE + WM_CHAR,
    CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN,
    CN_SYSCHAR = CN_BASE + WM_SYSCHAR,
    CN_HSCROLL = CN_BASE + WM_HSCROLL,
    CN_VSCROLL = CN_BASE + WM_VSCROLL,
};

// --- codes -----------------------------------------------------------------------------------

enum : WPARAM { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
enum : WPARAM { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
enum : LRESULT { MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4 };

enum : int {
    HTERROR = -2,
    HTTRANSPARENT = -1,
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTGROWBOX = 4,
    HTSIZE = 4,
    HTMENU = 5,
    HTHSCROLL = 6,
    HTVSCROLL = 7,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
    HTHELP = 21,
};

enum : LRESULT {
    DLGC_WANTARROWS = 0x1,
    DLGC_WANTTAB = 0x2,
    DLGC_WANTALLKEYS = 0x4,
    DLGC_WANTMESSAGE = 0x4,
    DLGC_HASSETSEL = 0x8,
    DLGC_DEFPUSHBUTTON = 0x10,
    DLGC_UNDEFPUSHBUTTON = 0x20,
    DLGC_RADIOBUTTON = 0x40,
    DLGC_WANTCHARS = 0x80,
    DLGC_STATIC = 0x100,
    DLGC_BUTTON = 0x2000,
};

enum : int { SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3 };
enum : int {
    SB_LINEUP = 0,
    SB_LINELEFT = 0,
    SB_LINEDOWN = 1,
    SB_LINERIGHT = 1,
    SB_PAGEUP = 2,
    SB_PAGELEFT = 2,
    SB_PAGEDOWN = 3,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_LEFT = 6,
    SB_BOTTOM = 7,
    SB_RIGHT = 7,
    SB_ENDSCROLL = 8,
};
enum : UINT {
    SIF_RANGE = 0x1,
    SIF_PAGE = 0x2,
    SIF_POS = 0x4,
    SIF_DISABLENOSCROLL = 0x8,
    SIF_TRACKPOS = 0x10,
    SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS
};
struct TScrollInfo {
    UINT fMask = 0;
    int nMin = 0, nMax = 0;
    UINT nPage = 0;
    int nPos = 0, nTrackPos = 0;
};
using SCROLLINFO = TScrollInfo;

// Window styles, extended styles and class styles that the emulation reads.
enum : uint32_t {
    WS_OVERLAPPED = 0,
    WS_POPUP = 0x80000000u,
    WS_CHILD = 0x40000000,
    WS_MINIMIZE = 0x20000000,
    WS_VISIBLE = 0x10000000,
    WS_DISABLED = 0x08000000,
    WS_CLIPSIBLINGS = 0x04000000,
    WS_CLIPCHILDREN = 0x02000000,
    WS_MAXIMIZE = 0x01000000,
    WS_CAPTION = 0x00C00000,
    WS_BORDER = 0x00800000,
    WS_DLGFRAME = 0x00400000,
    WS_VSCROLL = 0x00200000,
    WS_HSCROLL = 0x00100000,
    WS_SYSMENU = 0x00080000,
    WS_THICKFRAME = 0x00040000,
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
};
enum : uint32_t {
    WS_EX_DLGMODALFRAME = 0x1,
    WS_EX_TOPMOST = 0x8,
    WS_EX_TRANSPARENT = 0x20,
    WS_EX_TOOLWINDOW = 0x80,
    WS_EX_WINDOWEDGE = 0x100,
    WS_EX_CLIENTEDGE = 0x200,
    WS_EX_CONTROLPARENT = 0x10000,
    WS_EX_STATICEDGE = 0x20000,
    WS_EX_APPWINDOW = 0x40000,
    WS_EX_NOACTIVATE = 0x08000000,
};
enum : uint32_t { CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_SAVEBITS = 0x800 };
enum : int { GWL_STYLE = -16, GWL_EXSTYLE = -20 };
enum : UINT {
    SWP_NOSIZE = 0x1,
    SWP_NOMOVE = 0x2,
    SWP_NOZORDER = 0x4,
    SWP_NOREDRAW = 0x8,
    SWP_NOACTIVATE = 0x10,
    SWP_FRAMECHANGED = 0x20,
    SWP_SHOWWINDOW = 0x40,
    SWP_HIDEWINDOW = 0x80,
};
inline const HWND HWND_TOP = nullptr;
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(intptr_t(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_SHOWNA = 8 };

// WM_IME_COMPOSITION: what changed, in LParam. The strings themselves are read with
// ImmGetCompositionString (Controls.h) while the message is handled; a handler that does not
// pass the message on drops its result string (no WM_CHAR follows).
enum : LPARAM { GCS_COMPSTR = 0x0008, GCS_CURSORPOS = 0x0080, GCS_RESULTSTR = 0x0800 };

// PeekMessage options.
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };

// --- virtual keys ----------------------------------------------------------------------------

enum : WORD {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_EXECUTE = 0x2B,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
    VK_F24 = 0x87,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF,
    VK_OEM_3 = 0xC0,
    VK_OEM_4 = 0xDB,
    VK_OEM_5 = 0xDC,
    VK_OEM_6 = 0xDD,
    VK_OEM_7 = 0xDE,
    VK_PROCESSKEY = 0xE5,
};
// Letters and digits are their ASCII upper-case codes: 'A' = 0x41, '0' = 0x30.

// --- shift state, mouse buttons, shortcuts ---------------------------------------------------

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
KAROMIL_ENUM_TYPE(TShiftStateFlag, "ssShift", "ssAlt", "ssCtrl", "ssLeft", "ssRight", "ssMiddle", "ssDouble")
using TShiftState = TSet<TShiftStateFlag>;
KAROMIL_SET_TYPE(TShiftState, TShiftStateFlag)

enum TMouseButton { mbLeft, mbRight, mbMiddle };
KAROMIL_ENUM_TYPE(TMouseButton, "mbLeft", "mbRight", "mbMiddle")

// The MK_* flags of a mouse message; Alt is read from the key state.
TShiftState KeysToShiftState(WPARAM keys);
// The shift state of a key message: Alt from bit 29 of its LParam, Shift and Ctrl from the
// key state at the time of the message.
TShiftState KeyDataToShiftState(LPARAM keyData);

using TShortCut = uint16_t;
KAROMIL_NAMED_TYPE(TypeInfoShortCut, tkInteger, "TShortCut")
enum : TShortCut { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
TShortCut ShortCut(WORD key, TShiftState shift) noexcept;
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) noexcept;

// --- typed views -----------------------------------------------------------------------------

// Each view reads and writes the TMessage it was made from.
struct TMessageView {
    TMessage& M;
    explicit TMessageView(TMessage& m) noexcept : M(m) {}
    UINT Msg() const noexcept { return M.Msg; }
    LRESULT Result() const noexcept { return M.Result; }
    void SetResult(LRESULT r) noexcept { M.Result = r; }
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN, CN_KEYDOWN, CM_DIALOGKEY ...: CharCode is the
// virtual key, or the character (a Unicode code point) for the character messages.
struct TWMKey : TMessageView {
    using TMessageView::TMessageView;
    uint32_t CharCode() const noexcept { return uint32_t(M.WParam); }
    void SetCharCode(uint32_t c) noexcept { M.WParam = c; }
    LPARAM KeyData() const noexcept { return M.LParam; }
    int RepeatCount() const noexcept { return LoWord(uintptr_t(M.LParam)); }
    bool AltDown() const noexcept { return (M.LParam & (LPARAM(1) << 29)) != 0; }
    bool PreviouslyDown() const noexcept { return (M.LParam & (LPARAM(1) << 30)) != 0; }
};
// CM_DIALOGCHAR (Alt+letter, broadcast by the form to find the control whose accelerator it is;
// Result 1 = taken), CM_DIALOGKEY and CM_WANTSPECIALKEY carry a key message.
using TCMDialogChar = TWMKey;
using TCMDialogKey = TWMKey;
using TCMWantSpecialKey = TWMKey;
// Bits of a key message's LParam.
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;
constexpr LPARAM KF_REPEAT_BIT = LPARAM(1) << 30;
constexpr LPARAM KF_UP_BIT = LPARAM(1) << 31;

// Client-area mouse messages: keys in WParam, client point in LParam.
struct TWMMouse : TMessageView {
    using TMessageView::TMessageView;
    WPARAM Keys() const noexcept { return M.WParam; }
    int XPos() const noexcept { return Pos().X; }
    int YPos() const noexcept { return Pos().Y; }
    TPoint Pos() const noexcept { return PointFromLParam(M.LParam); }
    void SetPos(TPoint p) noexcept { M.LParam = PointToLParam(p); }
};
// WM_MOUSEWHEEL: keys in the low word of WParam, the signed delta (120 a notch) in the high
// word, the screen point in LParam.
struct TWMMouseWheel : TMessageView {
    using TMessageView::TMessageView;
    WPARAM Keys() const noexcept { return LoWord(M.WParam); }
    int WheelDelta() const noexcept { return int16_t(HiWord(M.WParam)); }
    TPoint Pos() const noexcept { return PointFromLParam(M.LParam); }
};
// WM_NCHITTEST and the WM_NC*BUTTON* messages: screen point in LParam; hit code in WParam of the
// button messages and in Result of the hit test.
struct TWMNCHitTest : TMessageView {
    using TMessageView::TMessageView;
    TPoint Pos() const noexcept { return PointFromLParam(M.LParam); }
    int HitTest() const noexcept { return int(M.WParam); }
};
using TWMNCHitMessage = TWMNCHitTest;
// WM_SETFOCUS: the window that lost the focus; WM_KILLFOCUS: the window receiving it (nullptr
// when none of ours or no window at all).
struct TWMSetFocus : TMessageView {
    using TMessageView::TMessageView;
    HWND FocusedWnd() const noexcept { return reinterpret_cast<HWND>(M.WParam); }
};
using TWMKillFocus = TWMSetFocus;
// WM_TIMER: the timer id and, for callback timers, the routine.
struct TWMTimer : TMessageView {
    using TMessageView::TMessageView;
    uintptr_t TimerID() const noexcept { return M.WParam; }
};
// WM_HSCROLL / WM_VSCROLL: SB_* code in the low word of WParam, 16-bit position in the high word
// (use GetScrollInfo with SIF_TRACKPOS for 32 bits); LParam the bar control (0 for window bars).
struct TWMScroll : TMessageView {
    using TMessageView::TMessageView;
    int ScrollCode() const noexcept { return LoWord(M.WParam); }
    int Pos() const noexcept { return int16_t(HiWord(M.WParam)); }
};
// WM_SIZE: SIZE_* in WParam, client width and height in LParam.
struct TWMSize : TMessageView {
    using TMessageView::TMessageView;
    int SizeType() const noexcept { return int(M.WParam); }
    int Width() const noexcept { return LoWord(uintptr_t(M.LParam)); }
    int Height() const noexcept { return HiWord(uintptr_t(M.LParam)); }
};
// WM_CONTEXTMENU: the window and the screen point, (-1,-1) when it came from the keyboard.
struct TWMContextMenu : TMessageView {
    using TMessageView::TMessageView;
    HWND Wnd() const noexcept { return reinterpret_cast<HWND>(M.WParam); }
    TPoint Pos() const noexcept { return PointFromLParam(M.LParam); }
};
// WM_NCCALCSIZE: LParam points to the window rectangle, in the window's own coordinates, which
// the handlers shrink to the client rectangle.
struct TWMNCCalcSize : TMessageView {
    using TMessageView::TMessageView;
    TRect& Rect() const noexcept { return *reinterpret_cast<TRect*>(M.LParam); }
};
// WM_GETMINMAXINFO: LParam points to the limits of a user resize, which a handler may change.
struct TMinMaxInfo {
    TPoint ptReserved;
    TPoint ptMaxSize;
    TPoint ptMaxPosition;
    TPoint ptMinTrackSize;
    TPoint ptMaxTrackSize;
};
using MINMAXINFO = TMinMaxInfo;
struct TWMGetMinMaxInfo : TMessageView {
    using TMessageView::TMessageView;
    TMinMaxInfo& MinMaxInfo() const noexcept { return *reinterpret_cast<TMinMaxInfo*>(M.LParam); }
};
// WM_PAINT, WM_NCPAINT, WM_ERASEBKGND: the device context in WParam.
struct TWMPaint : TMessageView {
    using TMessageView::TMessageView;
    HDC DC() const noexcept { return reinterpret_cast<HDC>(M.WParam); }
};

// --- system values ---------------------------------------------------------------------------
// One place for the metrics the drawing code computes with. They are fixed, classic Windows
// values so that pixel arithmetic is the same on every machine.

enum : int {
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXDLGFRAME = 7,
    SM_CYDLGFRAME = 8,
    SM_CYVTHUMB = 9,
    SM_CXHTHUMB = 10,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CYVSCROLL = 20,
    SM_CXHSCROLL = 21,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXDOUBLECLK = 36,
    SM_CYDOUBLECLK = 37,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
    SM_CXDRAG = 68,
    SM_CYDRAG = 69,
};
// GetSystemMetrics answers this table (pixels); anything else is 0:
//   SM_CXVSCROLL, SM_CYHSCROLL, SM_CXHSCROLL, SM_CYVSCROLL, SM_CYVTHUMB, SM_CXHTHUMB  17
//   SM_CXBORDER, SM_CYBORDER 1   SM_CXEDGE, SM_CYEDGE 2   SM_CXDLGFRAME, SM_CYDLGFRAME 3
//   SM_CXFRAME, SM_CYFRAME 4   SM_CYCAPTION, SM_CYMENU 19   SM_CXICON, SM_CYICON, SM_CXCURSOR,
//   SM_CYCURSOR 32   SM_CXSMICON, SM_CYSMICON 16   SM_CXDOUBLECLK, SM_CYDOUBLECLK 4 (the box
//   a second click must fall in)   SM_CXDRAG, SM_CYDRAG 4
//   SM_CXSCREEN, SM_CYSCREEN: the primary screen's size.
int GetSystemMetrics(int index);
UINT GetDoubleClickTime();  // ms
int WheelScrollLines();  // lines a wheel notch scrolls
constexpr int WHEEL_DELTA = 120;
