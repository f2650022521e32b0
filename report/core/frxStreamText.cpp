// Streams as hexadecimal text, and temporary files.

#include "report/core/frxStreamText.h"

#include <algorithm>
#include <cstdint>

#include "platform/classes/Streams.h"
#include "platform/rtl/SysUtils.h"

// --- hexadecimal text ------------------------------------------------------------------------

std::string frxStreamToHex(TStream* stream) {
    static const char digits[] = "0123456789ABCDEF";
    stream->SetPosition(0);
    std::string bytes(size_t(std::max<int64_t>(0, stream->Size())), '\0');
    bytes.resize(size_t(std::max<int64_t>(0, stream->Read(bytes.data(), int64_t(bytes.size())))));
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char b : bytes) {
        hex += digits[(static_cast<unsigned char>(b) >> 4) & 15];
        hex += digits[static_cast<unsigned char>(b) & 15];
    }
    return hex;
}

void frxHexToStream(const std::string& hex, TStream* stream) {
    auto digit = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    bool damaged = false;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = digit(hex[i]), lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) {
            damaged = true;
            break;
        }
        bytes += char(hi * 16 + lo);
    }
    stream->SetPosition(0);
    stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    // Sound: a damaged hex text ends the data where the damage starts; the bytes after it were
    // left undefined and then read as picture or property data.
    if (damaged) stream->SetSize(int64_t(bytes.size()));
}

// --- temporary files -------------------------------------------------------------------------

std::string frxCreateTempFile(const std::string& dir) {
    // Sound: the folder is used whole; it was cut at 64 characters.
    return CreateTempFile(dir.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(dir), "fr");
}
