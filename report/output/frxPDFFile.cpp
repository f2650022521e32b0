// The PDF element base, the toolkit and the document writer.

#include "report/output/frxPDFFile.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <deque>

#include "platform/gui/Application.h"
#include "platform/gui/TextServices.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxPlugins.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPDFElement, TObject)
KAROMIL_IMPLEMENT_CLASS(TfrxPDFToolkit, TObject)
KAROMIL_IMPLEMENT_CLASS(TfrxPDFFile, TfrxPDFElement)

// --- element

void TfrxPDFElement::SaveToStream(TStream* stream) { Offset = stream->Position(); }

void TfrxPDFElement::Write(TStream* stream, std::string_view text) {
    stream->WriteBuffer(text.data(), int64_t(text.size()));
}

void TfrxPDFElement::WriteLn(TStream* stream, std::string_view text) {
    Write(stream, text);
    Write(stream, "\r\n");
}

std::string frxPDFNumber(double value) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 4);
    std::string s(buf, res.ptr);
    if (s == "-0.0000") s = "0.0000";
    return s;
}

std::string frxPDFHexName(std::string_view text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string r;
    for (unsigned char c : text) {
        if (c >= 128) {
            r += '#';
            r += kHex[c >> 4];
            r += kHex[c & 15];
        } else {
            r += char(c);
        }
    }
    return r;
}

std::string frxSystemLanguage() {
    // LC_ALL, LC_MESSAGES, LANG in the order the C library consults them ("cs_CZ.UTF-8" -> "cs").
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (!v || !*v) continue;
        std::string s(v);
        size_t end = s.find_first_of("_.@");
        s = s.substr(0, end);
        if (s == "C" || s == "POSIX") return {};
        return s;
    }
    return {};
}

// --- toolkit

TfrxPDFToolkit::TfrxPDFToolkit(std::string lang) : Lang(std::move(lang)) {
    UnicodePrefix = std::string("\xFE\xFF\x00\x1B", 4) + Lang + std::string("\x00\x1B", 2);
}

bool TfrxPDFToolkit::NeedsUnicode(std::string_view text) {
    for (unsigned char c : text)
        if (c < 32 || c > 122) return true;
    return false;
}

std::string TfrxPDFToolkit::TextString(std::string_view text) const {
    if (NeedsUnicode(text)) return OctalBytes(UnicodePrefix) + OctalUTF16(text);
    // Sound: "\", "(" and ")" are escaped here too, so a title or outline text with an
    // unbalanced parenthesis still gives a valid literal string.
    std::string r;
    for (char c : text) {
        if (c == '\\' || c == '(' || c == ')') r += '\\';
        r += c;
    }
    return r;
}

std::string TfrxPDFToolkit::OctalByte(uint8_t value) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%03o", unsigned(value));
    return buf;
}

std::string TfrxPDFToolkit::OctalBytes(std::string_view bytes) {
    std::string r;
    for (unsigned char c : bytes) r += "\\" + OctalByte(c);
    return r;
}

std::string TfrxPDFToolkit::OctalUTF16(std::string_view utf8) { return OctalBytes(Utf8ToUtf16BE(utf8)); }

std::string TfrxPDFToolkit::EscapeText(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n") bytes.remove_suffix(2);
    std::string r;
    r.reserve(bytes.size() + 8);
    for (char c : bytes) {
        if (c == '\x01') continue;
        if (c == '\\' || c == '(' || c == ')') r += '\\';
        r += c;
    }
    return r;
}

std::string TfrxPDFToolkit::ColorText(TColor color) {
    const TColor rgb = ColorToRGB(color);
    std::string r;
    for (int shift : {0, 8, 16}) {
        char buf[32];
        auto res = std::to_chars(buf, buf + sizeof buf, ((rgb >> shift) & 255) / 255.0, std::chars_format::general, 2);
        if (!r.empty()) r += ' ';
        r.append(buf, res.ptr);
    }
    return r;
}

void TfrxPDFToolkit::PrepareMemo(TFont* font, double lineSpacing) {
    TfrxDrawText* engine = frxDrawText();
    TfrxDrawTextLock lock(engine);
    engine->SetFont(font);
    engine->SetGaps(0, 0, lineSpacing);
    LineHeight = engine->LineHeight();
}

double TfrxPDFToolkit::TextWidth(const std::string& text) {
    TfrxDrawText* engine = frxDrawText();
    TfrxDrawTextLock lock(engine);
    const double ratio = double(TfrxDrawText::MeasureResolution) / TfrxDrawText::ScreenResolution;
    return GetTextWidth(engine->MeasureCanvas(), Utf8ToU32(text)) / ratio;
}

double TfrxPDFToolkit::HorzPos(const std::string& text, TfrxHAlign align, double areaWidth, double areaLeft) {
    switch (align) {
    case haCenter: return areaLeft + areaWidth / 2 - TextWidth(text) / 2;
    case haRight: return areaLeft + areaWidth - TextWidth(text);
    default: return areaLeft;  // block alignment gets no word spacing
    }
}

double TfrxPDFToolkit::VertPos(
    TfrxVAlign align, int lineCount, int lineIndex, double areaHeight, double areaTop) const {
    if (lineCount < lineIndex) lineIndex = 0;
    const double lh = LineHeight;
    switch (align) {
    case vaBottom: return areaTop + areaHeight - (lineCount - lineIndex - 1) * lh;
    case vaCenter: return areaTop + areaHeight / 2 - lineCount * lh / 2 + (lineIndex + 1) * lh;
    default: return areaTop + (lineIndex + 1) * lh;
    }
}

// --- document

TfrxPDFFile::TfrxPDFFile() : Toolkit(std::make_unique<TfrxPDFToolkit>()) {}

TfrxPDFFile::~TfrxPDFFile() { Clear(); }

void TfrxPDFFile::Clear() {
    Pages.clear();
    Fonts.clear();
    XRef.clear();
}

TfrxPDFPage* TfrxPDFFile::AddPage(double width, double height, double leftMargin, double topMargin, int sourceIndex) {
    auto page = std::make_unique<TfrxPDFPage>(this);
    page->Width = width * 0.75;
    page->Height = height * 0.75;
    page->MarginLeft = leftMargin * 0.5;
    page->MarginTop = topMargin * 0.5;
    page->Number = int(Pages.size()) + 1;
    page->SourceIndex = sourceIndex;
    Pages.push_back(std::move(page));
    ObjectsPerFont = EmbeddedFonts ? 3 : 2;
    return Pages.back().get();
}

int TfrxPDFFile::AddFont(TFont* font) {
    for (size_t i = 0; i < Fonts.size(); ++i) {
        TFont* f = Fonts[i]->Font.get();
        if (f->GetName() == font->GetName() && f->GetStyle() == font->GetStyle() &&
            f->GetCharset() == font->GetCharset())
            return int(i);
    }
    auto entry = std::make_unique<TfrxPDFFont>(this, font);
    ObjectsPerFont = EmbeddedFonts ? 3 : 2;
    entry->Number = ObjectsPerFont * int(Fonts.size()) + 1;
    Fonts.push_back(std::move(entry));
    return int(Fonts.size()) - 1;
}

void TfrxPDFFile::AddXRef(TStream* stream) { XRef.push_back(stream->Position()); }

namespace {
struct OutlineNode {
    std::string text;
    int page = 0, top = 0;
    std::vector<OutlineNode> children;
    int number = 0;
};

void ReadOutline(TfrxCustomOutline* tree, OutlineNode& node) {
    const int count = tree->GetCount();
    node.children.resize(size_t(count));
    for (int i = 0; i < count; ++i) {
        OutlineNode& child = node.children[size_t(i)];
        tree->GetItem(i, child.text, child.page, child.top);
        tree->LevelDown(i);
        ReadOutline(tree, child);
        tree->LevelUp();
    }
}

int CountAll(const OutlineNode& node) {
    int n = int(node.children.size());
    for (auto& c : node.children) n += CountAll(c);
    return n;
}

std::string Obj(int n) { return std::to_string(n) + " 0 R"; }
}  // namespace

void TfrxPDFFile::SaveToStream(TStream* stream) {
    TfrxPDFElement::SaveToStream(stream);
    XRef.clear();
    OutlineNode root;
    int itemCount = 0;
    if (Outline && !OutlineTree) Outline = false;
    if (Outline) {
        OutlineTree->LevelRoot();
        ReadOutline(OutlineTree, root);
        OutlineTree->LevelRoot();
        itemCount = CountAll(root);
    }
    NextObject = 1;
    int year, month, day, hour, minute, second, msec;
    const TDateTime now = Clock();
    DecodeDate(now, year, month, day);
    DecodeTime(now, hour, minute, second, msec);
    char date[32];
    std::snprintf(date, sizeof date, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);

    // Set before the first page or font is added, the options hold for the whole document.
    const int F = int(Fonts.size()), K = EmbeddedFonts ? 3 : 2;
    assert(Fonts.empty() || ObjectsPerFont == K);
    ObjectsPerFont = K;
    const int P = Outline ? itemCount + 4 : 3;
    PagesObject = P;

    WriteLn(stream, "%PDF-1.3");
    WriteLn(stream, "%\xE2\xE3\xCF\xD3");

    AddXRef(stream);
    WriteLn(stream, "1 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Type /Catalog");
    WriteLn(stream, "/Pages " + Obj(P));
    WriteLn(stream, Outline ? "/PageMode /UseOutlines" : "/PageMode /UseNone");
    if (Outline) WriteLn(stream, "/Outlines 3 0 R");
    if (!Title.empty()) WriteLn(stream, "/ViewerPreferences << /DisplayDocTitle true >>");
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");

    AddXRef(stream);
    WriteLn(stream, "2 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Producer (VuzoVaruza 3)");
    WriteLn(stream, "/Author (" + Toolkit->TextString(Author) + ")");
    WriteLn(stream, "/Subject (" + Toolkit->TextString(Subject) + ")");
    WriteLn(stream, "/Creator (" + Toolkit->TextString(Application->GetName()) + ")");
    WriteLn(stream, "/Title (" + Toolkit->TextString(Title) + ")");
    WriteLn(stream, std::string("/CreationDate (D:") + date + ")");
    WriteLn(stream, std::string("/ModDate (D:") + date + ")");
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");

    if (Outline) {
        // Breadth first: the root's children get 4, 5, ...; each item's children follow as one
        // block, blocks in the order of their parents.
        std::deque<OutlineNode*> queue{&root};
        int next = 4;
        root.number = 3;
        std::vector<std::pair<OutlineNode*, OutlineNode*>> order;  // item, parent
        while (!queue.empty()) {
            OutlineNode* n = queue.front();
            queue.pop_front();
            for (auto& c : n->children) {
                c.number = next++;
                order.emplace_back(&c, n);
                queue.push_back(&c);
            }
        }
        AddXRef(stream);
        WriteLn(stream, "3 0 obj");
        WriteLn(stream, "<<");
        const int c = int(root.children.size());
        WriteLn(stream, "/Count " + std::to_string(c));
        if (c > 0) {
            WriteLn(stream, "/First 4 0 R");
            WriteLn(stream, "/Last " + Obj(c + 3));
        }
        WriteLn(stream, ">>");
        WriteLn(stream, "endobj");
        for (auto [item, parent] : order) {
            AddXRef(stream);
            WriteLn(stream, std::to_string(item->number) + " 0 obj");
            WriteLn(stream, "<<");
            WriteLn(stream, "/Title (" + Toolkit->TextString(item->text) + ")");
            WriteLn(stream, "/Parent " + Obj(parent->number));
            const bool first = item == &parent->children.front(), last = item == &parent->children.back();
            if (!first) WriteLn(stream, "/Prev " + Obj(item->number - 1));
            if (!item->children.empty()) {
                WriteLn(stream, "/First " + Obj(item->children.front().number));
                WriteLn(stream, "/Last " + Obj(item->children.back().number));
                WriteLn(stream, "/Count " + std::to_string(item->children.size()));
            }
            if (!last) WriteLn(stream, "/Next " + Obj(item->number + 1));
            // Sound: an item points at the exported page that shows its prepared page; an item
            // whose page was not exported keeps its place in the tree without a destination
            // (instead of pointing at the wrong page or failing the whole document).
            for (auto& page : Pages) {
                const bool match = page->SourceIndex >= 0 ? page->SourceIndex == item->page
                                                          : page->Number - 1 == item->page;
                if (!match) continue;
                const double y = page->Height - item->top * 0.75;
                WriteLn(stream,
                    "/Dest [" + Obj(P + F * K + 2 * (page->Number - 1) + 1) + " /XYZ 0 " +
                        std::to_string(std::lrint(y)) + " 0]");
                break;
            }
            WriteLn(stream, ">>");
            WriteLn(stream, "endobj");
        }
    }

    AddXRef(stream);
    WriteLn(stream, std::to_string(P) + " 0 obj");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Type /Pages");
    std::string kids = "/Kids [";
    for (size_t j = 0; j < Pages.size(); ++j) kids += Obj(P + F * K + 2 * int(j) + 1) + " ";
    WriteLn(stream, kids + "]");
    WriteLn(stream, "/Count " + std::to_string(Pages.size()));
    WriteLn(stream, ">>");
    WriteLn(stream, "endobj");
    FontBase = P;
    PageBase = P + F * K;

    for (auto& font : Fonts) font->SaveToStream(stream);
    for (auto& page : Pages) page->SaveToStream(stream);

    XRefOffset = stream->Position();
    WriteLn(stream, "xref");
    WriteLn(stream, "0 " + std::to_string(XRef.size() + 1));
    WriteLn(stream, "0000000000 65535 f");
    for (int64_t off : XRef) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%010lld 00000 n", static_cast<long long>(off));
        WriteLn(stream, buf);
    }
    WriteLn(stream, "trailer");
    WriteLn(stream, "<<");
    WriteLn(stream, "/Size " + std::to_string(XRef.size() + 1));
    WriteLn(stream, "/Root 1 0 R");
    WriteLn(stream, "/Info 2 0 R");
    WriteLn(stream, ">>");
    WriteLn(stream, "startxref");
    WriteLn(stream, std::to_string(XRefOffset));
    WriteLn(stream, "%%EOF");
}
