#pragma once
// Named bitmap and cursor resources of the program. Their pixels are drawn by code when first
// asked for; a module registers its own under new names (names ignore case, a name registered
// again replaces the earlier one). An unknown name raises EResNotFound.
//
// Built in, for the grid family:
//   bitmaps  "DXGRID_ARROW", "DXGRID_EDIT", "DXGRID_INSERT", "DXGRID_MULTIDOT",
//            "DXGRID_MULTIARROW" (row indicator glyphs, 12 x 12, black on white, white meaning
//            transparent), "DXGRID_VERSCROLLBITMAP", "DXGRID_HORSCROLLBITMAP",
//            "DXGRID_FULLSCROLLBITMAP" (the 28 x 28 full-scroll marks);
//   cursors  "DXTLDELETECURSOR", "DXTL_FULLSCROLLCURSOR", "DXTL_HORSCROLLCURSOR",
//            "DXTL_VERSCROLLCURSOR", "DXTL_UPSCROLLCURSOR", "DXTL_RIGHTSCROLLCURSOR",
//            "DXTL_DOWNSCROLLCURSOR", "DXTL_LEFTSCROLLCURSOR", "DXTL_DRAGCOPY",
//            "DXTL_MULTIDRAGCOPY" (32 x 32).

#include <functional>
#include <memory>
#include <string>

#include "platform/gui/Graphics.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_DECLARE_EXCEPTION(EResNotFound, Exception)

// Draws a bitmap resource when it is first asked for: the bitmap it gives is the picture.
using TBitmapResource = std::function<std::unique_ptr<TBitmap>()>;

void RegisterBitmapResource(const std::string& name, TBitmapResource draw);
bool BitmapResourceExists(const std::string& name);
bool CursorResourceExists(const std::string& name);
// Loading them, and cursor resources, belong to the window layer (ResourcesPrivate.h).
