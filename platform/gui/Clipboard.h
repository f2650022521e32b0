#pragma once
// The clipboard: text, bitmaps and the program's own registered formats (kept as bytes under a
// MIME type of their own, so other programs never misread them).

#include <string>

#include "platform/gui/Controls.h"

enum : WORD { CF_TEXT = 1, CF_BITMAP = 2, CF_UNICODETEXT = 13 };

// A format id for a name, the same for the same name (ASCII case ignored), from 0xC000 up.
WORD RegisterClipboardFormat(const std::string& name);

class TClipboard {
public:
    std::string GetAsText() const;
    void SetAsText(const std::string& text);
    bool HasFormat(WORD format) const;
    void Clear();
    // Bytes of a registered format; empty when absent.
    std::string GetBuffer(WORD format) const;
    void SetBuffer(WORD format, const std::string& data);
    void AssignBitmap(TBitmap* bitmap);  // puts a picture on the clipboard
    bool GetBitmap(TBitmap* bitmap) const;  // false when there is none
};

TClipboard* Clipboard();
