#include "grid/editors/dxCommon.h"

#include <functional>
#include <map>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Messages.h"
#include "platform/gui/Resources.h"

// --- size grip ----------------------------------------------------------------------------------

void dxDrawSizeGrip(HDC dc, TRect& rect, int corner) {
    const int w = GetSystemMetrics(SM_CXVSCROLL), h = GetSystemMetrics(SM_CYHSCROLL);
    const bool right = corner == dxGripTopRight || corner == dxGripBottomRight;
    const bool top = corner == dxGripTopLeft || corner == dxGripTopRight;
    const int left = right ? rect.Right - w : rect.Left;
    const int y = top ? rect.Top : rect.Bottom - h;
    rect = Bounds(left, y, w, h);

    const TBrushData face = GetSysColorBrush(COLOR_BTNFACE);
    FillRect(dc,
        right ? Rect(rect.Right - 2, rect.Top, rect.Right, rect.Bottom)
              : Rect(rect.Left, rect.Top, rect.Left + 2, rect.Bottom),
        face);
    FillRect(dc,
        top ? Rect(rect.Left, rect.Top, rect.Right, rect.Top + 2)
            : Rect(rect.Left, rect.Bottom - 2, rect.Right, rect.Bottom),
        face);

    // The system's grip faces bottom-right; mirror it pixel by pixel into the other corners.
    const int gw = w - 2, gh = h - 2;
    TBitmap grip(gw, gh);
    TRect g = Rect(0, 0, gw, gh);
    DrawFrameControl(grip.Canvas()->Handle(), g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    TBitmap mirrored(gw, gh);
    for (int yy = 0; yy < gh; ++yy)
        for (int xx = 0; xx < gw; ++xx)
            mirrored.SetPixel(right ? xx : gw - 1 - xx, top ? gh - 1 - yy : yy, grip.GetPixel(xx, yy));
    BitBlt(dc, right ? rect.Left : rect.Left + 2, top ? rect.Top + 2 : rect.Top, gw, gh, mirrored.Canvas()->Handle(), 0,
        0, SRCCOPY);
}

// --- pictures -----------------------------------------------------------------------------------

namespace {

constexpr TColor kToolKey = 0xFF00FF;  // transparent in the tool bar glyphs (bottom-left pixel)
constexpr TColor kOlive = 0x008080;  // transparent in the BLOB icons

struct TPainter {
    TBitmap& B;
    void Px(int x, int y, TColor c) { B.SetPixel(x, y, c); }
    void Fill(int l, int t, int r, int b, TColor c) {
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) Px(x, y, c);
    }
    void Frame(int l, int t, int r, int b, TColor c) {
        for (int x = l; x < r; ++x) Px(x, t, c), Px(x, b - 1, c);
        for (int y = t; y < b; ++y) Px(l, y, c), Px(r - 1, y, c);
    }
    void HLine(int l, int r, int y, TColor c) { Fill(l, y, r, y + 1, c); }
    // A page with a folded corner and lines of text.
    void Page(int l, int t, int r, int b, bool lines) {
        Fill(l, t, r, b, clWhite);
        Frame(l, t, r, b, clBlack);
        if (lines)
            for (int y = t + 3; y < b - 2; y += 2) HLine(l + 2, r - 2, y, clNavy);
    }
};

std::unique_ptr<TBitmap> Tool(const std::function<void(TPainter&)>& draw) {
    auto b = std::make_unique<TBitmap>(16, 16);
    TPainter p{*b};
    p.Fill(0, 0, 16, 16, kToolKey);
    draw(p);
    return b;
}

std::unique_ptr<TBitmap> Blob(bool empty, const std::function<void(TPainter&)>& mark) {
    auto b = std::make_unique<TBitmap>(18, 16);
    TPainter p{*b};
    p.Fill(0, 0, 18, 16, kOlive);
    // A small document; the non-empty states carry their kind's mark on it.
    p.Fill(3, 1, 15, 15, empty ? clSilver : clWhite);
    p.Frame(3, 1, 15, 15, empty ? clGray : clBlack);
    if (!empty) mark(p);
    return b;
}

using TMaker = std::function<std::unique_ptr<TBitmap>()>;

const std::map<std::string, TMaker>& Makers() {
    static const std::map<std::string, TMaker> makers = {
        {"DXTOOL_CUT",
            [] {
                return Tool([](TPainter& p) {
                    // Scissors: two blades crossing, two rings below.
                    for (int i = 0; i < 7; ++i)
                        p.Px(5 + i / 2 + (i > 3), 1 + i, clBlack), p.Px(10 - i / 2 - (i > 3), 1 + i, clBlack);
                    p.Frame(2, 9, 7, 14, clNavy);
                    p.Frame(9, 9, 14, 14, clNavy);
                });
            }},
        {"DXTOOL_COPY",
            [] {
                return Tool([](TPainter& p) {
                    p.Page(1, 1, 10, 12, true);
                    p.Page(6, 4, 15, 15, true);
                });
            }},
        {"DXTOOL_PASTE",
            [] {
                return Tool([](TPainter& p) {
                    p.Fill(1, 2, 12, 15, clOlive);
                    p.Frame(1, 2, 12, 15, clBlack);
                    p.Fill(4, 1, 9, 4, clGray);
                    p.Page(7, 6, 15, 15, true);
                });
            }},
        {"DXTOOL_DELETE",
            [] {
                return Tool([](TPainter& p) {
                    for (int i = 0; i < 10; ++i) {
                        p.Fill(3 + i, 3 + i, 5 + i, 4 + i, clRed);
                        p.Fill(11 - i, 3 + i, 13 - i, 4 + i, clRed);
                    }
                });
            }},
        {"DXTOOL_LOAD",
            [] {
                return Tool([](TPainter& p) {
                    // An open folder.
                    p.Fill(1, 4, 7, 6, clOlive);
                    p.Fill(1, 6, 13, 14, clYellow);
                    p.Frame(1, 6, 13, 14, clOlive);
                    p.HLine(9, 14, 2, clBlack);
                    p.Px(13, 3, clBlack);
                    p.Px(14, 4, clBlack);
                });
            }},
        {"DXTOOL_SAVE",
            [] {
                return Tool([](TPainter& p) {
                    // A diskette: the body, the label and the shutter.
                    p.Fill(1, 1, 15, 15, clNavy);
                    p.Fill(4, 1, 12, 7, clWhite);
                    p.Fill(5, 10, 11, 15, clSilver);
                    p.Fill(6, 11, 8, 14, clNavy);
                });
            }},
        {"DXINPLACE_BLOB_NULL", [] { return Blob(true, nullptr); }},
        {"DXINPLACE_BLOB",
            [] {
                return Blob(false, [](TPainter& p) {
                    for (int y = 3; y < 13; y += 2)
                        for (int x = 5; x < 13; x += 2) p.Px(x + (y % 4 == 1), y, clBlack);
                });
            }},
        {"DXINPLACE_MEMO_NULL", [] { return Blob(true, nullptr); }},
        {"DXINPLACE_MEMO",
            [] {
                return Blob(false, [](TPainter& p) {
                    for (int y = 4; y < 13; y += 2) p.HLine(5, 13, y, clNavy);
                });
            }},
        {"DXINPLACE_PICT_NULL", [] { return Blob(true, nullptr); }},
        {"DXINPLACE_PICT",
            [] {
                return Blob(false, [](TPainter& p) {
                    p.Fill(5, 3, 13, 13, clAqua);
                    p.Fill(6, 8, 12, 13, clGreen);
                    p.Fill(9, 4, 11, 6, clYellow);
                });
            }},
        {"DXINPLACE_OLE_NULL", [] { return Blob(true, nullptr); }},
        {"DXINPLACE_OLE",
            [] {
                return Blob(false, [](TPainter& p) {
                    p.Frame(5, 4, 10, 9, clRed);
                    p.Frame(8, 7, 13, 12, clBlue);
                });
            }},
    };
    return makers;
}

const char* const kToolNames[] = {
    "DXTOOL_CUT", "DXTOOL_COPY", "DXTOOL_PASTE", "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE"};
const char* const kBlobNames[] = {"DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL", "DXINPLACE_MEMO",
    "DXINPLACE_PICT_NULL", "DXINPLACE_PICT", "DXINPLACE_OLE_NULL", "DXINPLACE_OLE"};

}  // namespace

std::unique_ptr<TBitmap> dxLoadEditorBitmap(const std::string& name) {
    auto it = Makers().find(name);
    if (it == Makers().end()) throw EResNotFound("Resource " + name + " not found");
    return it->second();
}

std::unique_ptr<TImageList> dxLoadToolbarGlyphs() {
    auto first = dxLoadEditorBitmap(kToolNames[0]);
    auto list = std::make_unique<TImageList>();
    list->SetWidth(first->GetWidth());
    list->SetHeight(first->GetHeight());
    list->AddMasked(first.get(), clDefault);
    for (int i = 1; i < 6; ++i) list->AddMasked(dxLoadEditorBitmap(kToolNames[i]).get(), clDefault);
    return list;
}

std::unique_ptr<TImageList> dxLoadBlobIcons() {
    auto first = dxLoadEditorBitmap(kBlobNames[0]);
    auto list = std::make_unique<TImageList>();
    list->SetWidth(first->GetWidth());
    list->SetHeight(first->GetHeight());
    list->AddMasked(first.get(), kOlive);
    for (int i = 1; i < 8; ++i) list->AddMasked(dxLoadEditorBitmap(kBlobNames[i]).get(), kOlive);
    return list;
}

// --- currency -----------------------------------------------------------------------------------

std::string dxCurrencyDisplayFormat(const TFormatSettings& settings) {
    std::string d = ",0.";
    d.append(settings.CurrencyDecimals, '0');
    std::string s;
    for (char ch : settings.CurrencyString) {
        if (ch == ',' || ch == '.') s += std::string("'") + ch + "'";
        else s += ch;
    }
    std::string r = d;
    if (!s.empty()) {
        switch (settings.CurrencyFormat) {
        case 0: r = s + d; break;
        case 1: r = d + s; break;
        case 2: r = s + " " + d; break;
        default: r = d + " " + s; break;
        }
    }
    return r + ";-" + r;
}

void dxCurrencyDisplayFormat(std::string& format) { format = dxCurrencyDisplayFormat(FormatSettings()); }
