#pragma once
// Resources several editor kinds share: the size grip of resizable popups, the pictures of the
// popup tool bar's commands and of the BLOB editor's states (drawn by our own code), their
// image lists, and the display format of currency values.

#include <memory>
#include <string>

#include "platform/gui/Graphics.h"
#include "platform/rtl/SysUtils.h"

class TBitmap;
class TImageList;

// Corners of dxDrawSizeGrip.
enum : int { dxGripTopLeft = 0, dxGripTopRight = 1, dxGripBottomLeft = 2, dxGripBottomRight = 3 };

// Draws a size grip in a corner of rect and leaves rect set to the grip's square (the system's
// scroll-bar width by height). The grip faces its corner: the system's bottom-right grip,
// mirrored for left and for top corners, inside a 2-pixel button-face strip along the two
// outer sides.
void dxDrawSizeGrip(HDC dc, TRect& rect, int corner);

// The pictures, by resource name: "DXTOOL_CUT", "DXTOOL_COPY", "DXTOOL_PASTE",
// "DXTOOL_DELETE", "DXTOOL_LOAD", "DXTOOL_SAVE" (16 x 16, the bottom-left pixel is the
// transparent colour), "DXINPLACE_BLOB_NULL", "DXINPLACE_BLOB", "DXINPLACE_MEMO_NULL",
// "DXINPLACE_MEMO", "DXINPLACE_PICT_NULL", "DXINPLACE_PICT", "DXINPLACE_OLE_NULL",
// "DXINPLACE_OLE" (18 x 16 on olive, which is transparent). EResNotFound for any other name.
std::unique_ptr<TBitmap> dxLoadEditorBitmap(const std::string& name);

// The popup tool bar's six command glyphs, indexes 0-5 in the order above; sized by the first.
std::unique_ptr<TImageList> dxLoadToolbarGlyphs();
// The BLOB editor's eight icons (each kind empty, then non-empty), masked with olive.
std::unique_ptr<TImageList> dxLoadBlobIcons();

// The display format of currency values for settings: ",0." with the currency decimals as
// zeros, the symbol placed by the currency format (its "," and "." quoted), as
// "<positive>;-<positive>". dxCurrencyDisplayFormat(Format) reads the process's settings.
void dxCurrencyDisplayFormat(std::string& format);
std::string dxCurrencyDisplayFormat(const TFormatSettings& settings);
