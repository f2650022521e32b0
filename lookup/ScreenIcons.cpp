#include "lookup/ScreenIcons.h"

#include "platform/classes/Streams.h"
#include "platform/gui/Controls.h"
#include "platform/rtl/Exceptions.h"

namespace {

uint32_t Le16(const std::string& d, size_t at) { return uint8_t(d[at]) | (uint32_t(uint8_t(d[at + 1])) << 8); }
uint32_t Le32(const std::string& d, size_t at) { return Le16(d, at) | (Le16(d, at + 2) << 16); }

[[noreturn]] void BadIcon() { throw EInvalidGraphic("Invalid icon image"); }

// Windows' default application icon stands in as a framed white square.
TArgbPixels DefaultApplicationIcon() {
    TArgbPixels image(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0xFF000000);
    for (int y = 1; y < image.Height - 1; ++y)
        for (int x = 1; x < image.Width - 1; ++x) image.At(x, y) = 0xFFFFFFFF;
    return image;
}

// One image of an icon file: a device-independent bitmap (colour part, then the 1-bit mask;
// the header's height counts both), or a PNG. Every read is checked against the entry's bytes.
TArgbPixels DecodeIconImage(const std::string& data, const TIconDirEntry& e) {
    const std::string bytes = data.substr(e.ImageOffset, e.BytesInRes);
    if (bytes.size() >= 8 && bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0) {
        TArgbPixels png = DecodePng(bytes);
        if (png.Empty()) BadIcon();
        return png;
    }
    if (bytes.size() < 40) BadIcon();
    const uint32_t headerSize = Le32(bytes, 0);
    const int32_t width = int32_t(Le32(bytes, 4));
    const int32_t height2 = int32_t(Le32(bytes, 8));
    const int bits = int(Le16(bytes, 14));
    if (headerSize < 40 || headerSize > bytes.size()) BadIcon();
    if (width < 1 || width > 1024 || height2 < 2 || height2 > 2048) BadIcon();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) BadIcon();
    const int height = height2 / 2;
    const size_t paletteCount = bits <= 8 ? size_t(1) << bits : 0;
    const size_t paletteAt = headerSize;
    const size_t colorStride = ((size_t(width) * size_t(bits) + 31) / 32) * 4;
    const size_t maskStride = ((size_t(width) + 31) / 32) * 4;
    const size_t colorAt = paletteAt + paletteCount * 4;
    const size_t maskAt = colorAt + colorStride * size_t(height);
    if (maskAt + maskStride * size_t(height) > bytes.size()) BadIcon();

    TArgbPixels image(width, height);
    for (int row = 0; row < height; ++row) {
        const size_t line = colorAt + colorStride * size_t(height - 1 - row);  // bottom-up
        const size_t maskLine = maskAt + maskStride * size_t(height - 1 - row);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = 0;
            if (bits <= 8) {
                const size_t bitPos = size_t(x) * size_t(bits);
                const uint8_t byte = uint8_t(bytes[line + bitPos / 8]);
                const int shift = 8 - bits - int(bitPos % 8);
                const size_t index = (byte >> shift) & ((1u << bits) - 1);
                const size_t p = paletteAt + index * 4;
                rgb = uint32_t(uint8_t(bytes[p + 2])) << 16 | uint32_t(uint8_t(bytes[p + 1])) << 8 | uint8_t(bytes[p]);
            } else {
                const size_t p = line + size_t(x) * size_t(bits / 8);
                rgb = uint32_t(uint8_t(bytes[p + 2])) << 16 | uint32_t(uint8_t(bytes[p + 1])) << 8 | uint8_t(bytes[p]);
            }
            const bool transparent = (uint8_t(bytes[maskLine + size_t(x) / 8]) >> (7 - x % 8)) & 1;
            image.At(x, row) = transparent ? 0u : (0xFF000000u | rgb);
        }
    }
    return image;
}

}  // namespace

void QueryIconSize(const TIcon* icon, int& width, int& height) {
    if (icon && !icon->Empty()) {
        width = icon->GetWidth();
        height = icon->GetHeight();
        return;
    }
    width = GetSystemMetrics(SM_CXICON);
    height = GetSystemMetrics(SM_CYICON);
}

int WantedIconColors(int screenBitsPerPixel) {
    // From 24 bits up every image suits; 2 to the 32nd would not even fit the count.
    return screenBitsPerPixel >= 24 ? 0 : 1 << screenBitsPerPixel;
}

int ChooseIconImage(const std::vector<TIconDirEntry>& entries, int wantedColors) {
    int chosen = -1;
    int remembered = 0;
    for (int i = 0; i < int(entries.size()); ++i) {
        const int colors = entries[size_t(i)].ColorCount;
        if (colors == wantedColors) return i;
        if (chosen < 0) {
            if (colors <= wantedColors) {
                chosen = i;
                remembered = colors;
            }
        } else if (colors > remembered) {
            chosen = i;
        }
    }
    return chosen < 0 ? 0 : chosen;
}

int ScreenBitsPerPixel() { return 32; }  // our surfaces are 32-bit

std::unique_ptr<TIcon> MakeScreenIconFromData(const std::string& data, int screenBitsPerPixel, const TIcon* original) {
    auto result = std::make_unique<TIcon>();
    if (data.size() < 6) BadIcon();
    const uint32_t type = Le16(data, 2);
    if (type == 0) {
        result->SetPixels(DefaultApplicationIcon());
        return result;
    }
    if (type != 1) {
        if (original) result->Assign(const_cast<TIcon*>(original));
        return result;
    }
    const uint32_t count = Le16(data, 4);
    if (count == 0 || 6 + size_t(count) * 16 > data.size()) BadIcon();
    std::vector<TIconDirEntry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = 6 + size_t(i) * 16;
        TIconDirEntry e;
        e.Width = uint8_t(data[at]);
        e.Height = uint8_t(data[at + 1]);
        e.ColorCount = uint8_t(data[at + 2]);
        e.Planes = int(Le16(data, at + 4));
        e.BitCount = int(Le16(data, at + 6));
        e.BytesInRes = Le32(data, at + 8);
        e.ImageOffset = Le32(data, at + 12);
        entries.push_back(e);
    }
    const TIconDirEntry& e = entries[size_t(ChooseIconImage(entries, WantedIconColors(screenBitsPerPixel)))];
    if (e.ImageOffset < 6 + size_t(count) * 16 || size_t(e.ImageOffset) + e.BytesInRes > data.size()) BadIcon();
    result->SetPixels(DecodeIconImage(data, e), GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    return result;
}

std::unique_ptr<TIcon> MakeScreenIcon(TIcon* icon) {
    if (!icon || icon->Empty()) return std::make_unique<TIcon>();
    TStringStream stream;
    icon->SaveToStream(&stream);
    const std::string& bytes = stream.DataString();
    return MakeScreenIconFromData(bytes, ScreenBitsPerPixel(), icon);
}
