// One font of a PDF export: a TrueType font dictionary with widths and an encoding for the
// font's 8-bit code page, its descriptor, and optionally the embedded font program.

#include <cmath>

#include "platform/rtl/CodePages.h"
#include "report/output/frxPDFFile.h"
#include "report/output/frxTrueTypeSubset.h"
#include "report/output/frxZLib.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPDFFont, TfrxPDFElement)

namespace {
// The Central European code page's glyphs where it differs from the Western one.
constexpr const char* kDifferences238 =
    "/Differences [128 /Euro 140 /Sacute /Tcaron /Zcaron /Zacute 156 /sacute /tcaron /zcaron /zacute 161 /caron "
    "/breve /Lslash 165 /Aogonek 170 /Scedilla 175 /Zdotaccent 178 /ogonek /lslash 185 /aogonek /scedilla 188 "
    "/Lcaron /hungarumlaut /lcaron /zdotaccent /Racute 195 /Abreve 197 /Lacute /Cacute 200 /Ccaron 202 /Eogonek 204 "
    "/Ecaron 207 /Dcaron /Dslash 209 /Nacute /Ncaron /Oacute 213 /Ohungarumlaut 216 /Rcaron /Uring 219 "
    "/Uhungarumlaut 222 /Tcedilla 224 /racute 227 /abreve 229 /lacute /cacute /ccedilla /ccaron 234 /eogonek 236 "
    "/ecaron 239 /dcaron /dmacron /nacute /ncaron 245 /ohungarumlaut 248 /rcaron /uring 251 /uhungarumlaut 254 "
    "/tcedilla /dotaccent]";

bool RegularNameChar(unsigned char c) {
    if (c <= 32 || c >= 127) return false;
    switch (c) {
    case '#':
    case '(':
    case ')':
    case '<':
    case '>':
    case '[':
    case ']':
    case '{':
    case '}':
    case '/':
    case '%': return false;
    default: return true;
    }
}
}  // namespace

TfrxPDFFont::TfrxPDFFont(TfrxPDFFile* parent, TFont* font) : Font(std::make_unique<TFont>()), Parent(parent) {
    Font->Assign(font);
}

TfrxPDFFont::~TfrxPDFFont() = default;

const TFontDesignData& TfrxPDFFont::Design() {
    if (!FDesign) FDesign = std::make_unique<TFontDesignData>(GetFontDesignData(Font->Data()));
    return *FDesign;
}

std::string TfrxPDFFont::Encode(std::string_view utf8) {
    std::string text = Utf8ToCodePage(utf8, Design().CodePage);
    for (unsigned char code : text) FUsedCodes.set(code);
    return text;
}

std::string TfrxPDFFont::PdfName() const {
    // Sound: the name is escaped as a PDF name only; blanks and delimiters become "#xx" (a
    // blank "#20"), and a non-ASCII byte too, instead of going through the literal-string form
    // first, which would put backslashes into a name.
    std::string raw = Font->GetName();
    // Deliberate fix: a font that is not embedded is found by the reader through its name, and a
    // TrueType font's PostScript name has no blanks ("TimesNewRoman,Bold"); "Times#20New#20Roman"
    // matches no font, so a reader without that exact name falls back to any face (Ghostscript
    // took a sans face). The blanks stay, escaped, in the name of an embedded font.
    if (!Parent || !Parent->EmbeddedFonts) std::erase(raw, ' ');
    const bool bold = Font->GetStyle().Contains(fsBold), italic = Font->GetStyle().Contains(fsItalic);
    static const char* const kHex = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : raw) {
        if (RegularNameChar(c)) {
            r += char(c);
        } else {
            r += '#';
            r += kHex[c >> 4];
            r += kHex[c & 15];
        }
    }
    if (bold || italic) r += std::string(",") + (bold && italic ? "BoldItalic" : bold ? "Bold" : "Italic");
    return r;
}

void TfrxPDFFont::SaveToStream(TStream* stream) {
    TfrxPDFElement::SaveToStream(stream);
    const TFontDesignData& d = Design();
    const std::string name = PdfName();
    const int fd = Parent->FontBase + Number;
    Parent->AddXRef(stream);
    WriteLn(stream, std::to_string(fd) + " 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Type /Font");
    WriteLn(stream, "/Name /F" + std::to_string(Number - 1));
    WriteLn(stream, "/BaseFont /" + name);
    WriteLn(stream, "/Subtype /TrueType");
    // The realised charset is Central European or ANSI (see TFontDesignData): all text of this
    // program is written in code page 1250, and a face without it gets the Western page.
    if (d.Charset == EASTEUROPE_CHARSET) {
        WriteLn(stream, "/Encoding <</Type/Encoding /BaseEncoding /WinAnsiEncoding");
        WriteLn(stream, std::string(kDifferences238) + ">>");
    } else {
        WriteLn(stream, "/Encoding /WinAnsiEncoding");
    }
    WriteLn(stream, "/FontDescriptor " + std::to_string(fd + 1) + " 0 R");
    WriteLn(stream, "/FirstChar " + std::to_string(d.FirstChar));
    WriteLn(stream, "/LastChar " + std::to_string(d.LastChar));
    std::string widths = "/Widths [";
    for (int code = d.FirstChar; code <= d.LastChar; ++code)
        widths += std::to_string(GetFontDesignWidth(Font->Data(), CodePageChar(uint8_t(code), d.CodePage))) + " ";
    WriteLn(stream, widths + "]");
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");

    std::string program;
    if (Parent->EmbeddedFonts) {
        program = GetFontProgram(Font->Data());
        // Only the glyphs of the codes written: a whole face is hundreds of kilobytes per font.
        std::vector<char32_t> chars;
        for (int code = 0; code < 256; ++code)
            if (FUsedCodes.test(size_t(code))) chars.push_back(CodePageChar(uint8_t(code), d.CodePage));
        if (std::string subset = Parent->SubsetFonts ? frxSubsetTrueType(program, chars) : std::string();
            !subset.empty())
            program = std::move(subset);
    }
    const bool embed = !program.empty();
    Parent->AddXRef(stream);
    WriteLn(stream, std::to_string(fd + 1) + " 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Type /FontDescriptor");
    if (embed) WriteLn(stream, "/FontFile2 " + std::to_string(fd + 2) + " 0 R");
    WriteLn(stream,
        "/FontBBox [" + std::to_string(d.BoxLeft) + " " + std::to_string(d.BoxBottom) + " " +
            std::to_string(d.BoxRight) + " " + std::to_string(d.BoxTop) + " ]");
    WriteLn(stream, "/FontName /" + name);
    WriteLn(stream, "/Flags 32");
    const double stem = d.Weight / 65.0;
    WriteLn(stream, "/StemV " + std::to_string(std::lrint(stem * stem) + 50));
    WriteLn(stream, "/CapHeight " + std::to_string(d.Height));
    WriteLn(stream, "/Ascent " + std::to_string(d.Ascent));
    WriteLn(stream, "/Descent " + std::to_string(d.Descent));
    // Degrees, as a font descriptor wants them.
    WriteLn(stream, "/ItalicAngle " + frxPDFNumber(d.ItalicAngle));
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");

    if (Parent->EmbeddedFonts && !embed) {
        // A face without TrueType outlines has no program to give: its object number stays
        // taken by a null object, so the numbering holds, and a reader substitutes the font by
        // its name.
        Parent->AddXRef(stream);
        WriteLn(stream, std::to_string(fd + 2) + " 0 obj");
        WriteLn(stream, "null");
        WriteLn(stream, "endobj");
    } else if (embed) {
        TStringStream source(program);
        TMemoryStream packed;
        frxCompressStream(&source, &packed, zcMax);
        Parent->AddXRef(stream);
        WriteLn(stream, std::to_string(fd + 2) + " 0 obj");
        WriteLn(stream,
            "<< /Length " + std::to_string(packed.Size()) + " /Filter /FlateDecode /Length1 " +
                std::to_string(program.size()) + " >>");
        WriteLn(stream, "stream");
        stream->WriteBuffer(packed.Memory(), packed.Size());
        WriteLn(stream, "");
        WriteLn(stream, "endstream");
        WriteLn(stream, "endobj");
    }
}
