#pragma once
// The PDF writer: a small object model of one PDF 1.3 document (TfrxPDFFile), its pages
// (TfrxPDFPage) and fonts (TfrxPDFFont), all TfrxPDFElement, and TfrxPDFToolkit, which turns
// report text, colours and text positions into PDF syntax.
//
// The file is 8-bit bytes with CR LF line ends; every number uses "." as decimal point whatever
// the locale. Page text is written in the 8-bit code page of its font, which the font's
// /Encoding describes; strings of the document information and outline are UTF-16.
// Nothing reaches the output before TfrxPDFFile::SaveToStream.

#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/classes/Streams.h"
#include "platform/gui/FontData.h"
#include "platform/gui/Graphics.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDrawText.h"

class TBitmap;
class TfrxCustomOutline;
class TfrxPDFFile;
class TfrxView;

class TfrxPDFElement : public TObject {
    KAROMIL_CLASS(TfrxPDFElement, TObject)
public:
    int64_t Offset = 0;  // where the element's first object starts
    // Records the offset; descendants call it first and then write their objects.
    virtual void SaveToStream(TStream* stream);

    static void Write(TStream* stream, std::string_view text);
    static void WriteLn(TStream* stream, std::string_view text);  // text, then CR LF
};

// "%.4f" with "." whatever the locale (a negative zero is written as zero).
std::string frxPDFNumber(double value);
// A PDF name: bytes of 128 and above become "#" and two upper-case hexadecimal digits.
std::string frxPDFHexName(std::string_view text);
// The ISO 639 language of the system's locale ("cs"); empty when unknown.
std::string frxSystemLanguage();

class TfrxPDFToolkit : public TObject {
    KAROMIL_CLASS(TfrxPDFToolkit, TObject)
public:
    explicit TfrxPDFToolkit(std::string lang = frxSystemLanguage());

    std::string Lang;
    std::string UnicodePrefix;  // FE FF 00 1B, Lang, 00 1B
    double LineHeight = 0;  // report pixels, of the memo last prepared

    // Text is UTF-8: any byte below 32 or above 122 (so every non-ASCII character) asks for
    // the UTF-16 form.
    static bool NeedsUnicode(std::string_view text);
    // The content of a literal string: the text itself, or its octal UTF-16 form.
    std::string TextString(std::string_view text) const;
    static std::string OctalByte(uint8_t value);
    static std::string OctalBytes(std::string_view bytes);
    static std::string OctalUTF16(std::string_view utf8);
    // Page text (8-bit bytes): "\", "(" and ")" escaped, byte 1 removed, a final CR LF dropped.
    static std::string EscapeText(std::string_view bytes);
    // "R G B" of the colour, each "%.2g" of component / 255; the transparent value gives white.
    static std::string ColorText(TColor color);

    // The text engine's line pitch for this font and line spacing.
    void PrepareMemo(TFont* font, double lineSpacing);
    // Width of text in report pixels in the font last prepared.
    double TextWidth(const std::string& text);
    double HorzPos(const std::string& text, TfrxHAlign align, double areaWidth, double areaLeft);
    double VertPos(TfrxVAlign align, int lineCount, int lineIndex, double areaHeight, double areaTop) const;
};

class TfrxPDFFont : public TfrxPDFElement {
    KAROMIL_CLASS(TfrxPDFFont, TfrxPDFElement)
public:
    TfrxPDFFont(TfrxPDFFile* parent, TFont* font);
    ~TfrxPDFFont() override;

    int Number = 0;
    std::unique_ptr<TFont> Font;
    TfrxPDFFile* Parent;

    // The face's description (read once).
    const TFontDesignData& Design();
    // Page text in the font's 8-bit code page; a character it cannot hold becomes "?". The codes
    // given out are remembered for embedding.
    std::string Encode(std::string_view utf8);
    // The name written after /BaseFont and /FontName: blanks and delimiters as "#xx", and
    // ",Bold", ",Italic" or ",BoldItalic" for the style.
    std::string PdfName() const;
    void SaveToStream(TStream* stream) override;

private:
    std::unique_ptr<TFontDesignData> FDesign;
    std::bitset<256> FUsedCodes;  // what Encode gave out: an embedded program needs only their glyphs
};

class TfrxPDFPage : public TfrxPDFElement {
    KAROMIL_CLASS(TfrxPDFPage, TfrxPDFElement)
public:
    explicit TfrxPDFPage(TfrxPDFFile* parent);
    ~TfrxPDFPage() override;

    int Number = 0;  // 1-based position in the document
    int SourceIndex = -1;  // 0-based index of the prepared page it shows
    TfrxPDFFile* Parent;
    std::unique_ptr<TMemoryStream> Content;
    double Width = 0, Height = 0, MarginLeft = 0, MarginTop = 0;  // points

    double ToX(double x) const { return x * 0.75 + MarginLeft; }
    double ToY(double y) const { return Height - (y * 0.75 + MarginTop); }

    // Content operators; positions and sizes in report pixels, relative to the page.
    void AddLn(std::string_view line);
    // Text lines of a memo box: font, colour and one BT..ET group per non-blank line, an
    // underline for underlined fonts.
    struct TTextBox {
        double Left = 0, Top = 0, Width = 0, Height = 0, GapX = 2, GapY = 1, LineSpacing = 2;
        TfrxHAlign HAlign = haLeft;
        TfrxVAlign VAlign = vaTop;
    };
    void AddTextLines(TFont* font, const std::vector<std::string>& lines, const TTextBox& box);
    // A filled rectangle ("re f").
    void AddFill(TColor color, double left, double top, double width, double height);
    // A drop shadow under the right and bottom edges of the box.
    void AddShadow(TColor color, double shadowWidth, double left, double top, double width, double height);
    // Frame sides present, in the order top, left, bottom, right; nothing when the colour is
    // transparent.
    void AddFrame(TColor color, double lineWidth, bool top, bool left, bool bottom, bool right, double x, double y,
        double width, double height);
    // A line from the box's top-left to its bottom-right corner.
    void AddLine(TColor color, double lineWidth, double left, double top, double width, double height);
    // A stroked and filled rectangle.
    void AddRectangle(
        TColor frameColor, double lineWidth, TColor fillColor, double left, double top, double width, double height);
    // A picture as an inline JPEG (quality 100) stretched over the box.
    void AddImage(TBitmap* bitmap, double left, double top, double width, double height);
    // A report object: text objects as text, lines and rectangles as paths, anything else
    // drawn into a bitmap and embedded as an image; frames as lines. The object is left as it
    // was.
    void AddObject(TfrxView* view);

    void SaveToStream(TStream* stream) override;
};

class TfrxPDFFile : public TfrxPDFElement {
    KAROMIL_CLASS(TfrxPDFFile, TfrxPDFElement)
public:
    TfrxPDFFile();
    ~TfrxPDFFile() override;

    std::vector<std::unique_ptr<TfrxPDFPage>> Pages;
    std::vector<std::unique_ptr<TfrxPDFFont>> Fonts;
    std::vector<int64_t> XRef;
    std::unique_ptr<TfrxPDFToolkit> Toolkit;
    bool Compressed = true;
    bool PrintOptimized = false;
    bool Outline = false;
    bool EmbeddedFonts = false;
    bool SubsetFonts = true;  // embedded faces carry only the glyphs written; false embeds them whole
    TfrxCustomOutline* OutlineTree = nullptr;  // not owned
    std::string Title;
    std::string Author = "VuzoVaruza";
    std::string Subject = "VuzoVaruza PDF export";
    int ObjectsPerFont = 0;
    int NextObject = 4;
    int PagesObject = 0;
    int FontBase = 0;
    int PageBase = 0;
    int64_t XRefOffset = 0;
    // The creation time written into the document information (tests fix it).
    std::function<TDateTime()> Clock = [] { return Now(); };

    void Clear();
    // A page of width x height report pixels with margins in millimetres; sourceIndex is the
    // prepared page's 0-based index (outline items point at it).
    TfrxPDFPage* AddPage(double width, double height, double leftMargin, double topMargin, int sourceIndex = -1);
    // The entry for the font's name, style and charset (size plays no part), made on first use.
    int AddFont(TFont* font);
    void AddXRef(TStream* stream);
    void SaveToStream(TStream* stream) override;
};
