#pragma once
// Icons for the lookup controls' item images: the size of an icon, and a copy of its best image
// for the screen at the system icon size.

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Bitmaps.h"

// One entry of an icon file's directory.
struct TIconDirEntry {
    int Width = 0, Height = 0, ColorCount = 0, Planes = 0, BitCount = 0;
    uint32_t BytesInRes = 0, ImageOffset = 0;
};

// The size of the icon's image; the system icon size for an empty icon.
void QueryIconSize(const TIcon* icon, int& width, int& height);

// The colours the screen wants of an icon image: 0 (any, true colour) from 24 bits up.
int WantedIconColors(int screenBitsPerPixel);
// The directory entry the screen gets: the first with exactly the wanted colour count; else the
// first not above it, replaced by any later one with more colours than that; else entry 0.
int ChooseIconImage(const std::vector<TIconDirEntry>& entries, int wantedColors);

// A new icon to draw, at the system icon size when the icon is an icon file.
std::unique_ptr<TIcon> MakeScreenIcon(TIcon* icon);
// The same from the bytes of an icon file, for a screen of the given depth. A directory, size
// or offset that does not fit the data raises EInvalidGraphic.
std::unique_ptr<TIcon> MakeScreenIconFromData(
    const std::string& data, int screenBitsPerPixel, const TIcon* original = nullptr);
int ScreenBitsPerPixel();
