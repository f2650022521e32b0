#include "script/XmlTree.h"

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"

namespace {

const char* const SInvalidFileFormat = "Invalid file format";

[[noreturn]] void InvalidFormat() { throw Exception(SInvalidFileFormat); }

// Well above the deepest intermediate program the parser lets through (its match depth), yet
// far below what the stack holds.
constexpr int kMaxDepth = 4000;
const char* const kTooDeep = "Soubor nelze načíst: prvky jsou vnořeny hlouběji než do 4000 úrovní";

}  // namespace

// --- escaping -------------------------------------------------------------------------------

std::string fsEscapeXML(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        // The ampersand is escaped as well: unescaping decodes every "&#n;", so an unescaped
        // '&' would turn a literal "&#65;" in a value into "A".
        case '\n':
        case '\r':
        case '"':
        case '&':
        case '<':
        case '>':
            r += "&#";
            r += std::to_string(int(static_cast<unsigned char>(c)));
            r += ';';
            break;
        default: r += c;
        }
    }
    return r;
}

std::string fsUnescapeXML(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '&' && i + 3 < s.size() && s[i + 1] == '#') {
            size_t semi = s.find(';', i + 2);
            if (semi != std::string_view::npos) {
                std::string_view digits = s.substr(i + 2, semi - i - 2);
                // A malformed reference stays as it is instead of aborting the whole load.
                bool ok = !digits.empty() && digits.size() <= 7 &&
                    std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
                if (ok) {
                    long code = std::stol(std::string(digits));
                    ok = code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
                    if (ok) {
                        Utf8Append(r, char32_t(code));
                        i = semi + 1;
                        continue;
                    }
                }
            }
        }
        r += s[i++];
    }
    return r;
}

// --- items ------------------------------------------------------------------------------------

TfsXMLItem::~TfsXMLItem() {
    Clear();
    if (FParent) {
        auto& list = FParent->FItems;
        auto it = std::find_if(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
        assert(it != list.end());
        it->release();  // we are being destroyed already; only drop the entry
        list.erase(it);
        FParent = nullptr;
    }
}

void TfsXMLItem::Clear() {
    std::vector<std::unique_ptr<TfsXMLItem>> items;
    items.swap(FItems);
    for (auto& item : items) item->FParent = nullptr;
}

std::unique_ptr<TfsXMLItem> TfsXMLItem::Detach() {
    if (!FParent) return std::unique_ptr<TfsXMLItem>(this);
    auto& list = FParent->FItems;
    auto it = std::find_if(list.begin(), list.end(), [this](const auto& p) { return p.get() == this; });
    assert(it != list.end());
    std::unique_ptr<TfsXMLItem> self = std::move(*it);
    list.erase(it);
    FParent = nullptr;
    return self;
}

TfsXMLItem* TfsXMLItem::Add() {
    FItems.push_back(std::make_unique<TfsXMLItem>());
    FItems.back()->FParent = this;
    return FItems.back().get();
}

void TfsXMLItem::AddItem(TfsXMLItem* item) {
    assert(item && item != this);
    FItems.push_back(item->Detach());
    item->FParent = this;
}

void TfsXMLItem::InsertItem(int index, TfsXMLItem* item) {
    AddItem(item);
    index = std::clamp(index, 0, Count() - 1);
    std::rotate(FItems.begin() + index, FItems.end() - 1, FItems.end());
}

int TfsXMLItem::Find(std::string_view name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FItems[size_t(i)]->Name, name)) return i;
    return -1;
}

TfsXMLItem* TfsXMLItem::FindItem(std::string_view name) {
    int i = Find(name);
    if (i >= 0) return Items(i);
    TfsXMLItem* item = Add();
    item->Name = std::string(name);
    return item;
}

std::string TfsXMLItem::Prop(std::string_view name) const {
    // Searched on code points folded one by one, so the value is cut from the original text
    // at the same index even where upper-casing would change the UTF-8 length.
    std::u32string text = U" " + Utf8ToU32(Text);
    std::u32string upper = text;
    for (char32_t& c : upper) c = CharUpper(c);
    std::u32string key = U" " + Utf8ToU32(name) + U"=\"";
    for (char32_t& c : key) c = CharUpper(c);
    size_t at = upper.find(key);
    if (at == std::u32string::npos) return std::string();
    size_t start = at + key.size();
    size_t end = text.find(U'"', start);
    if (end == std::u32string::npos) end = text.size();
    return fsUnescapeXML(U32ToUtf8(std::u32string_view(text).substr(start, end - start)));
}

TfsXMLItem* TfsXMLItem::Root() noexcept {
    TfsXMLItem* item = this;
    while (item->FParent) item = item->FParent;
    return item;
}

void TfsXMLItem::Assign(const TfsXMLItem* source) {
    Clear();
    if (!source) return;
    Name = source->Name;
    Text = source->Text;
    Data = source->Data;
    for (const auto& child : source->FItems) Add()->Assign(child.get());
}

// --- reader -----------------------------------------------------------------------------------

TfsXMLReader::TfsXMLReader(std::istream& stream) : FStream(stream) {
    FStart = FStream.tellg();
    if (FStart < 0) FStart = 0;
    FStream.seekg(0, std::ios::end);
    std::streamoff end = FStream.tellg();
    FSize = end > FStart ? int64_t(end - FStart) : 0;
    FStream.seekg(FStart);
}

TfsXMLReader::~TfsXMLReader() {
    FStream.clear();
    FStream.seekg(FStart + std::streamoff(FPosition));
}

bool TfsXMLReader::NextChar(char& c) {
    if (FBufferIndex >= FBufferCount) {
        if (FPosition >= FSize) return false;
        FStream.read(FBuffer, std::streamsize(std::min<int64_t>(sizeof FBuffer, FSize - FPosition)));
        FBufferCount = int(FStream.gcount());
        FBufferIndex = 0;
        if (FBufferCount <= 0) return false;
    }
    c = FBuffer[FBufferIndex++];
    ++FPosition;
    return true;
}

void TfsXMLReader::ReadTag(std::string& name, std::string& text) {
    enum { Outside, InTag, InComment } state = Outside;
    std::string tag;
    int dashes = 0;
    char c;
    bool closed = false;
    while (!closed && NextChar(c)) {
        switch (state) {
        case Outside:
            if (c == '<') state = InTag;
            break;
        case InTag:
            if (c == '>') {
                closed = true;
                break;
            }
            if (c == '<') InvalidFormat();
            if (tag.size() % 4096 == 0) tag.reserve(tag.size() + 4096);
            tag += c;
            if (tag.size() == 3 && tag == "!--") {
                tag.clear();
                dashes = 0;
                state = InComment;
            }
            break;
        case InComment:
            if (c == '-') ++dashes;
            else if (c == '>' && dashes >= 2) state = Outside;
            else if (dashes < 2) dashes = 0;
            break;
        }
    }
    if (!closed && state == InTag) InvalidFormat();
    if (!closed) tag.clear();
    if (!tag.empty() && tag.back() == ' ') tag.pop_back();
    size_t blank = tag.find(' ');
    if (blank == std::string::npos) {
        name = tag;
        text.clear();
    } else {
        name = tag.substr(0, blank);
        text = tag.substr(blank + 1);
    }
}

void TfsXMLReader::ReadHeader() {
    std::string name, text;
    ReadTag(name, text);
    if (name.rfind("?xml", 0) != 0) InvalidFormat();
}

void TfsXMLReader::ReadRootItem(TfsXMLItem* item) { ReadItem(item, 1); }

bool TfsXMLReader::ReadItem(TfsXMLItem* item, int depth) {
    ReadTag(item->Name, item->Text);
    FLastTag = item->Name;
    if (item->Name.empty() || item->Name[0] == '/') return false;
    // Sound: a document a script loads may come from anywhere; nesting beyond any program's
    // is refused instead of overflowing the stack.
    if (depth > kMaxDepth) throw Exception(kTooDeep);
    if (item->Name.back() == '/') {
        item->Name.pop_back();
        return true;
    }
    if (!item->Text.empty() && item->Text.back() == '/') {
        item->Text.pop_back();
        return true;
    }
    for (;;) {
        auto child = std::make_unique<TfsXMLItem>();
        if (!ReadItem(child.get(), depth + 1)) break;
        item->AddItem(child.release());
    }
    // Input that ends inside open elements is a truncated document, not a complete one.
    if (FLastTag.empty()) InvalidFormat();
    if (!AnsiSameText(FLastTag, "/" + item->Name)) InvalidFormat();
    return true;
}

// --- writer -----------------------------------------------------------------------------------

void TfsXMLWriter::WriteLine(const std::string& line) {
    FBuffer += line;
    if (AutoIndent) FBuffer += "\r\n";
    if (FBuffer.size() > 4096) Flush();
}

void TfsXMLWriter::Flush() {
    FStream.write(FBuffer.data(), std::streamsize(FBuffer.size()));
    FBuffer.clear();
}

void TfsXMLWriter::WriteHeader() { WriteLine("<?xml version=\"1.0\"?>"); }

void TfsXMLWriter::WriteRootItem(const TfsXMLItem* item) {
    WriteItem(item, 0);
    Flush();
}

void TfsXMLWriter::WriteItem(const TfsXMLItem* item, int indent) {
    std::string blanks = AutoIndent ? std::string(size_t(indent), ' ') : std::string();
    std::string attrs;
    if (!item->Text.empty()) attrs = item->Text[0] == ' ' ? item->Text : " " + item->Text;
    WriteLine(blanks + "<" + item->Name + attrs + (item->Count() > 0 ? ">" : "/>"));
    for (int i = 0; i < item->Count(); ++i) WriteItem(item->Items(i), indent + 2);
    if (item->Count() > 0) WriteLine(blanks + "</" + item->Name + ">");
}

// --- document ---------------------------------------------------------------------------------

void TfsXMLDocument::LoadFromStream(std::istream& stream) {
    TfsXMLReader reader(stream);
    FRoot->Clear();
    reader.ReadHeader();
    reader.ReadRootItem(FRoot.get());
}

void TfsXMLDocument::SaveToStream(std::ostream& stream) const {
    TfsXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.WriteHeader();
    writer.WriteRootItem(FRoot.get());
}

void TfsXMLDocument::LoadFromFile(const std::string& fileName) {
    // Sound: only a regular file is read; a FIFO named here used to hang the script.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        throw EFOpenError("Soubor \"" + fileName + "\" nelze otevřít: není to obyčejný soubor.");
    std::ifstream f(fileName, std::ios::binary);
    if (!f) throw EFOpenError("Cannot open file \"" + fileName + "\"");
    LoadFromStream(f);
}

void TfsXMLDocument::SaveToFile(const std::string& fileName) const {
    std::ofstream f(fileName, std::ios::binary | std::ios::trunc);
    if (!f) throw EFCreateError("Cannot create file \"" + fileName + "\"");
    SaveToStream(f);
}

void TfsXMLDocument::LoadFromString(const std::string& text) {
    std::istringstream s(text);
    LoadFromStream(s);
}

std::string TfsXMLDocument::SaveToString() const {
    std::ostringstream s;
    SaveToStream(s);
    return s.str();
}
