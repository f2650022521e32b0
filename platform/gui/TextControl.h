#pragma once
// The plain-text control: a single-line or multi-line text that fills a windowed control's
// client area and is driven by edit messages, for controls that are not TCustomEdit (the grid
// editors). The control that owns it creates it with its window, passes it the messages below
// first, and lets it take the key messages' default processing; the hosted widget's own input
// still passes through the owner's messages (KeyDown, KeyPress ...) first.
//
// Contract (every position and length counts characters, never bytes; lines are separated by
// one CR inside the control, whatever break the text was given with):
// - Selection: EM_EXGETSEL (start, end) into a CHARRANGE*; EM_EXSETSEL from a CHARRANGE*
//   and EM_SETSEL (a, b) make a the anchor and b the caret, so (stop, start) leaves the caret
//   at start; -1 as the end means the text's end, positions past the end mean the end, a
//   negative start only removes the selection. EM_GETSELTEXT fills a std::string* (LParam);
//   EM_REPLACESEL (LParam const char*, UTF-8) is a user-style edit: it goes into undo, marks
//   the text modified and sends EN_CHANGE. EM_SCROLLCARET.
// - Text: WM_SETTEXT (LParam const char*) replaces the text without touching the modified flag
//   and empties undo, then re-applies the limit to typing; EM_GETTEXTLENGTHEX. The limit
//   (EM_EXLIMITTEXT LParam, EM_LIMITTEXT WParam; 0 is 65536) refuses typing, pasting and
//   replacing past it but never cuts text that is already there.
// - Undo: EM_UNDO (also WM_UNDO), EM_REDO, EM_CANUNDO, EM_CANREDO, EM_EMPTYUNDOBUFFER.
// - Modified flag: EM_GETMODIFY, EM_SETMODIFY; user edits set it, WM_SETTEXT leaves it alone.
// - Looks: EM_SETREADONLY, EM_SETPASSWORDCHAR (any character, 0 for none), EM_SETRECT (a TRect*
//   in client coordinates that becomes the text margins), EM_SETBKGNDCOLOR (WParam non-zero:
//   the window colour; else LParam as a colour), EM_SETCHARFORMAT with SCF_DEFAULT (a
//   TCharFormat*: colour, automatic colour, single underline). The window style's ES_* bits
//   are read when the control is created.
// - Clipboard: WM_CUT, WM_COPY, WM_PASTE, WM_CLEAR as plain text; EM_CANPASTE.
// - Notifications: EM_SETEVENTMASK / EM_GETEVENTMASK. With ENM_CHANGE every change of the text
//   (typed or set) sends CN_COMMAND with EN_CHANGE in the high word of WParam to the owner;
//   with ENM_SELCHANGE a changed selection sends CN_NOTIFY with a TSelChange* in LParam.
//   EM_SETOLECALLBACK with a non-null LParam refuses drops.
// - Characters: WM_CHAR's default processing types printable characters (ES_UPPERCASE and
//   ES_LOWERCASE applied) and, in the multi-line kind, CR as a line break and Tab.
// - Lines: EM_GETLINECOUNT, EM_LINEINDEX (WParam line, -1 the caret's), EM_LINELENGTH (WParam
//   a character index, -1 the caret's line), EM_LINEFROMCHAR, EM_GETLINE (WParam line, LParam a
//   std::string* receiving the whole line).
// GUI thread only.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gui/Controls.h"

// --- edit messages and styles (Windows' numbers) ---------------------------------------------

enum : UINT {
    EM_GETSEL = 0x00B0,
    EM_SETSEL = 0x00B1,
    EM_GETRECT = 0x00B2,
    EM_SETRECT = 0x00B3,
    EM_SCROLLCARET = 0x00B7,
    EM_GETMODIFY = 0x00B8,
    EM_SETMODIFY = 0x00B9,
    EM_GETLINECOUNT = 0x00BA,
    EM_LINEINDEX = 0x00BB,
    EM_LINELENGTH = 0x00C1,
    EM_REPLACESEL = 0x00C2,
    EM_GETLINE = 0x00C4,
    EM_LIMITTEXT = 0x00C5,
    EM_CANUNDO = 0x00C6,
    EM_UNDO = 0x00C7,
    EM_LINEFROMCHAR = 0x00C9,
    EM_SETPASSWORDCHAR = 0x00CC,
    EM_EMPTYUNDOBUFFER = 0x00CD,
    EM_SETREADONLY = 0x00CF,
    EM_CANPASTE = WM_USER + 50,
    EM_EXGETSEL = WM_USER + 52,
    EM_EXLIMITTEXT = WM_USER + 53,
    EM_EXSETSEL = WM_USER + 55,
    EM_GETEVENTMASK = WM_USER + 59,
    EM_GETSELTEXT = WM_USER + 62,
    EM_SETBKGNDCOLOR = WM_USER + 67,
    EM_SETCHARFORMAT = WM_USER + 68,
    EM_SETEVENTMASK = WM_USER + 69,
    EM_SETOLECALLBACK = WM_USER + 70,
    EM_REDO = WM_USER + 84,
    EM_CANREDO = WM_USER + 85,
    EM_SETTEXTMODE = WM_USER + 89,
    EM_GETTEXTLENGTHEX = WM_USER + 95,
};

enum : WORD { EN_CHANGE = 0x0300, EN_SELCHANGE = 0x0702 };
enum : uint32_t { ENM_CHANGE = 0x1, ENM_DRAGDROPDONE = 0x10, ENM_SELCHANGE = 0x80000 };
enum : WPARAM { TM_PLAINTEXT = 1, SCF_DEFAULT = 0 };
enum : uint32_t { CFM_UNDERLINE = 0x4, CFM_COLOR = 0x40000000, CFE_UNDERLINE = 0x4, CFE_AUTOCOLOR = 0x40000000 };

enum : uint32_t {
    ES_LEFT = 0x0,
    ES_CENTER = 0x1,
    ES_RIGHT = 0x2,
    ES_MULTILINE = 0x4,
    ES_UPPERCASE = 0x8,
    ES_LOWERCASE = 0x10,
    ES_PASSWORD = 0x20,
    ES_AUTOVSCROLL = 0x40,
    ES_AUTOHSCROLL = 0x80,
    ES_NOHIDESEL = 0x100,
    ES_OEMCONVERT = 0x400,  // kept, no effect: there is no OEM code page
    ES_READONLY = 0x800,
    ES_WANTRETURN = 0x1000,
    ES_DISABLENOSCROLL = 0x2000,
    ES_SELECTIONBAR = 0x01000000,  // an 8-pixel margin at the left
};

struct CHARRANGE {
    int cpMin = 0;
    int cpMax = 0;
};

struct TSelChange {
    UINT code = EN_SELCHANGE;
    CHARRANGE chrg;
};

struct TCharFormat {
    uint32_t dwMask = 0;
    uint32_t dwEffects = 0;
    TColor crTextColor = 0;
};

class TPlainTextControl {
public:
    // owner: the windowed control whose client area the text fills; it must outlive this.
    explicit TPlainTextControl(TWinControl* owner);
    ~TPlainTextControl();
    TPlainTextControl(const TPlainTextControl&) = delete;
    TPlainTextControl& operator=(const TPlainTextControl&) = delete;

    // Called with every change of the text (typed or set) before EN_CHANGE goes out, so that
    // the owner keeps its Text equal to what is shown.
    std::function<void(const std::string& text)> OnTextSync;

    // Makes the widget in the owner's client area from the owner's window style (ES_*,
    // WS_HSCROLL, WS_VSCROLL); the text starts empty. Again after a window re-creation.
    void Create();
    void Destroy();
    bool Exists() const noexcept;
    // The edit messages of the contract above; false for any other message.
    bool Handle(TMessage& message);
    // The default processing of key and character messages: the widget gets them. False for
    // other messages.
    bool DefaultHandler(TMessage& message);
    // Follows the owner's client size (WM_SIZE) and colour and font (CM_COLORCHANGED,
    // CM_FONTCHANGED).
    void Fit();
    void ApplyFont();

    // The multi-line kind's own scroll bars (WS_HSCROLL, WS_VSCROLL), used in place of the
    // owner's style bits, which would give the owner's window bars of its own. Read by Create.
    void SetScrollBars(uint32_t wsBits) noexcept;

    // Conveniences over the messages.
    std::string Text() const;
    void SetText(const std::string& text);  // as WM_SETTEXT
    // The caret's top-left in client pixels.
    TPoint CaretPos() const;
    uint32_t EventMask() const noexcept;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
