// Reading, writing and swapping the report library's XML tree.

#include "report/core/frxXML.h"

#include <algorithm>
#include <cassert>

#include "platform/classes/Streams.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace {
[[noreturn]] void InvalidFormat() { throw Exception(frxInvalidFileFormat); }

char AsciiUpper(char c) noexcept { return c >= 'a' && c <= 'z' ? char(c - 32) : c; }

bool AsciiSameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// Byte offset in text of the attribute name (the match of ' NAME="' in ' ' + text, case
// ignored), or npos. Searched in place, without an upper-case copy of the text.
size_t FindAttribute(std::string_view text, std::string_view name) {
    if (name.empty()) return std::string_view::npos;
    const size_t need = name.size() + 2;  // name, '=', '"'
    for (size_t at = 0; at + need <= text.size(); ++at) {
        if (at > 0 && text[at - 1] != ' ') continue;
        if (text[at + name.size()] != '=' || text[at + name.size() + 1] != '"') continue;
        if (AsciiSameText(text.substr(at, name.size()), name)) return at;
    }
    return std::string_view::npos;
}

// Whether the bytes from the stream's position on are UTF-8; the position is kept.
bool StreamIsUtf8(TStream* stream) {
    const int64_t start = stream->Position();
    auto back = OnScopeExit([&] { stream->SetPosition(start); });
    char buf[65536];
    int pending = 0;  // continuation bytes still expected
    for (;;) {
        int64_t n = stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        for (int64_t i = 0; i < n; ++i) {
            auto b = static_cast<unsigned char>(buf[i]);
            if (pending > 0) {
                if ((b & 0xC0) != 0x80) return false;
                --pending;
            } else if (b >= 0x80) {
                if (b >= 0xC2 && b <= 0xDF) pending = 1;
                else if (b >= 0xE0 && b <= 0xEF) pending = 2;
                else if (b >= 0xF0 && b <= 0xF4) pending = 3;
                else return false;
            }
        }
    }
    return pending == 0;
}
}  // namespace

// --- escaping ------------------------------------------------------------------------------

std::string frxEscapeXML(std::string_view s) {
    std::string r;
    r.reserve(s.size() + 8);
    for (char c : s) {
        switch (c) {
        case '\n': r += "&#10;"; break;
        case '\r': r += "&#13;"; break;
        case '"': r += "&#34;"; break;
        case '&': r += "&#38;"; break;
        case '<': r += "&#60;"; break;
        case '>': r += "&#62;"; break;
        default: r += c;
        }
    }
    return r;
}

std::string frxUnescapeXML(std::string_view s) {
    if (s.find("&#") == std::string_view::npos) return std::string(s);
    std::string r;
    r.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] == '&' && i + 1 < s.size() && s[i + 1] == '#' && i + 3 < s.size()) {
            size_t semi = s.find(';', i + 2);
            if (semi != std::string_view::npos) {
                // Sound: the reference is a code point, kept whole as UTF-8 (a file from another
                // tool saying "&#269;" means "č"); keeping only its low 8 bits gave another letter.
                int32_t code = StrToInt(s.substr(i + 2, semi - i - 2));
                if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) code = 0xFFFD;
                Utf8Append(r, char32_t(code));
                i = semi + 1;
                continue;
            }
        }
        r += s[i++];
    }
    return r;
}

std::string frxVariantToXML(const Variant& v) {
    switch (v.VarType()) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varShortInt:
    case varWord:
    case varLongWord: return IntToStr(v.AsInt64());
    case varSingle:
    case varDouble:
    case varCurrency: return FloatToStr(v.AsDouble());
    case varDate: return DateToStr(v.AsDate());
    case varString:
    case varOleStr: return frxEscapeXML(v.RawString());
    case varBoolean: return v.AsBoolean() ? "1" : "0";
    default: return {};
    }
}

// --- items ---------------------------------------------------------------------------------

TfrxXMLItem::~TfrxXMLItem() {
    Clear();
    // Deleted directly while a parent still lists it: leave the list without a second delete.
    if (FParent) (void)Detach().release();
}

void TfrxXMLItem::Clear() {
    std::vector<std::unique_ptr<TfrxXMLItem>> items = std::move(FItems);
    FItems.clear();
    for (auto& child : items) child->FParent = nullptr;
    while (!items.empty()) items.pop_back();  // last first
    if (Unloadable) Loaded = false;
}

TfrxXMLItem* TfrxXMLItem::Add() {
    auto item = std::make_unique<TfrxXMLItem>();
    item->FParent = this;
    FItems.push_back(std::move(item));
    return FItems.back().get();
}

std::unique_ptr<TfrxXMLItem> TfrxXMLItem::Detach() {
    std::unique_ptr<TfrxXMLItem> self;
    if (!FParent) return self;
    auto& list = FParent->FItems;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == this; });
    assert(it != list.end());
    self = std::move(*it);
    list.erase(it);
    FParent = nullptr;
    return self;
}

void TfrxXMLItem::AddItem(TfrxXMLItem* item) {
    if (!item || item == this) return;
    std::unique_ptr<TfrxXMLItem> owned = item->Detach();
    if (!owned) owned.reset(item);  // an item without parent is adopted
    owned->FParent = this;
    FItems.push_back(std::move(owned));
}

void TfrxXMLItem::InsertItem(int index, TfrxXMLItem* item) {
    AddItem(item);
    if (index < 0 || index >= int(FItems.size()) - 1) return;
    std::rotate(FItems.begin() + index, FItems.end() - 1, FItems.end());
}

int TfrxXMLItem::Find(std::string_view name) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiSameText(FItems[i]->Name, name)) return int(i);
    return -1;
}

TfrxXMLItem* TfrxXMLItem::FindItem(std::string_view name) {
    int i = Find(name);
    if (i >= 0) return Items(i);
    TfrxXMLItem* item = Add();
    item->Name = std::string(name);
    return item;
}

int TfrxXMLItem::IndexOf(const TfrxXMLItem* item) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item) return int(i);
    return -1;
}

std::string TfrxXMLItem::Prop(std::string_view name) const {
    size_t at = FindAttribute(Text, name);
    if (at == std::string_view::npos) return {};
    size_t from = at + name.size() + 2;
    size_t to = Text.find('"', from);
    if (to == std::string::npos) to = Text.size();
    return frxUnescapeXML(std::string_view(Text).substr(from, to - from));
}

void TfrxXMLItem::SetProp(std::string_view name, std::string_view value) {
    std::string attr = std::string(name) + "=\"" + frxEscapeXML(value) + "\"";
    size_t at = FindAttribute(Text, name);
    if (at != std::string_view::npos) {
        size_t close = Text.find('"', at + name.size() + 2);
        size_t end = close == std::string::npos ? Text.size() : close + 1;
        Text.replace(at, end - at, attr);
        return;
    }
    if (!Text.empty() && Text.back() != ' ') Text += ' ';
    Text += attr;
}

// --- reader --------------------------------------------------------------------------------

TfrxXMLReader::TfrxXMLReader(TStream* stream) : FStream(stream) {
    FPosition = stream->Position();
    FSize = stream->Size();
}

TfrxXMLReader::~TfrxXMLReader() { FStream->SetPosition(FPosition); }

void TfrxXMLReader::SetPosition(int64_t position) {
    FPosition = position;
    FStream->SetPosition(position);
    FBufferCount = FBufferIndex = 0;
}

int TfrxXMLReader::ReadByte() {
    if (FPosition >= FSize) return -1;
    if (FBufferIndex >= FBufferCount) {
        int64_t want = std::min<int64_t>(sizeof FBuffer, FSize - FPosition);
        int64_t got = FStream->Read(FBuffer, want);
        if (got <= 0) return -1;
        FBufferCount = int(got);
        FBufferIndex = 0;
    }
    ++FPosition;
    return static_cast<unsigned char>(FBuffer[FBufferIndex++]);
}

void TfrxXMLReader::ReadTag(std::string& name, std::string& text) {
    enum { Outside, InTag, InComment } state = Outside;
    int dashes = 0;
    FTag.clear();
    for (;;) {
        int c = ReadByte();
        if (c < 0) {
            if (state == InTag) InvalidFormat();
            break;
        }
        if (state == Outside) {
            if (c == '<') state = InTag;
        } else if (state == InTag) {
            if (c == '>') break;
            if (c == '<') InvalidFormat();
            FTag += char(c);
            if (FTag.size() == 3 && FTag == "!--") {
                FTag.clear();
                state = InComment;
                dashes = 0;
            }
        } else {
            if (c == '-') ++dashes;
            else if (dashes >= 2 && c == '>') state = Outside;
            else if (dashes < 2) dashes = 0;
        }
    }
    if (!FTag.empty() && FTag.back() == ' ') FTag.pop_back();
    size_t blank = FTag.find(' ');
    if (blank == std::string::npos) {
        name = FTag;
        text.clear();
    } else {
        name.assign(FTag, 0, blank);
        text.assign(FTag, blank + 1, std::string::npos);
    }
}

void TfrxXMLReader::ReadHeader() {
    std::string name, text;
    ReadTag(name, text);
    if (name.compare(0, 4, "?xml") != 0) InvalidFormat();
}

void TfrxXMLReader::ReadRootItem(TfrxXMLItem* item, bool readAll) {
    // Sound: a document without its root element (a file cut short after the header) is an
    // error, not an empty report.
    if (!ReadItem(item, readAll, 1) && FLastName.empty()) InvalidFormat();
}

bool TfrxXMLReader::ReadItem(TfrxXMLItem* item, bool readAll, int depth) {
    const int64_t start = FPosition;
    ReadTag(item->Name, item->Text);
    FLastName = item->Name;
    if (item->Name.empty() || item->Name[0] == '/') return false;
    // Sound: nesting is bounded; a file of 100,000 nested elements overflowed the stack here
    // (and in every walk of the tree afterwards) instead of being refused.
    if (depth > frxMaxXMLDepth) throw Exception(frxXMLTooDeep);
    if (item->Name.back() == '/') {
        item->Name.pop_back();
        return true;
    }
    if (!item->Text.empty() && item->Text.back() == '/') {
        item->Text.pop_back();
        return true;
    }
    for (;;) {
        auto child = std::make_unique<TfrxXMLItem>();
        if (!ReadItem(child.get(), readAll, depth + 1)) break;
        child->FParent = item;
        item->FItems.push_back(std::move(child));
    }
    // Sound: input that ends inside an element (a save interrupted, a disk that filled up) is
    // reported, not loaded as a shorter report that looks complete.
    if (FLastName.empty()) InvalidFormat();
    if (FLastName.size() != item->Name.size() + 1 || !AsciiSameText(std::string_view(FLastName).substr(1), item->Name))
        InvalidFormat();
    FLastName = "/";  // this element is closed; its parent goes on reading
    // Sound: only the marker the writer glues to the end of the attributes is removed; an
    // attribute of its own whose name ends in "ld" and whose value is "0" is kept.
    std::string& t = item->Text;
    constexpr std::string_view marker = "ld=\"0\"";
    if (t.size() >= marker.size() && AsciiSameText(std::string_view(t).substr(t.size() - marker.size()), marker) &&
        (t.size() == marker.size() || t[t.size() - marker.size() - 1] == '"')) {
        t.erase(t.size() - marker.size());
        if (!readAll) {
            item->Clear();
            item->Offset = uint64_t(start);
            item->Unloadable = true;
            item->Loaded = false;
            item->FInSwapFile = false;
        }
    }
    return true;
}

// --- writer --------------------------------------------------------------------------------

void TfrxXMLWriter::WriteLine(const std::string& line) {
    FBuffer += line;
    if (AutoIndent) FBuffer += "\r\n";
    if (FBuffer.size() > 4096) Flush();
}

void TfrxXMLWriter::Flush() {
    if (!FBuffer.empty()) FStream->WriteBuffer(FBuffer.data(), int64_t(FBuffer.size()));
    FBuffer.clear();
}

void TfrxXMLWriter::WriteHeader() { WriteLine("<?xml version=\"1.0\" encoding=\"utf-8\"?>"); }

void TfrxXMLWriter::WriteRootItem(TfrxXMLItem* item) {
    WriteItem(item, 0);
    Flush();
}

void TfrxXMLWriter::WriteItem(TfrxXMLItem* item, int indent) {
    bool readBack = false;
    if (item->Unloadable && !item->Loaded) {
        TStream* from = item->FInSwapFile ? SwapStream : SourceStream;
        if (from) {
            TfrxXMLReader reader(from);
            reader.SetPosition(int64_t(item->Offset));
            reader.ReadRootItem(item, true);
            readBack = true;
        }
    }
    auto forget = OnScopeExit([&] {
        if (readBack) item->Clear();
    });
    std::string line = AutoIndent ? std::string(size_t(indent), ' ') : std::string();
    line += '<';
    line += item->Name;
    if (!item->Text.empty() || item->Unloadable) {
        if (!item->Text.empty() && item->Text[0] != ' ') line += ' ';
        line += item->Text;
        if (item->Unloadable) {
            if (item->Text.empty()) line += ' ';
            line += "ld=\"0\"";
        }
    }
    line += item->Count() > 0 ? ">" : "/>";
    WriteLine(line);
    for (int i = 0; i < item->Count(); ++i) WriteItem(item->Items(i), AutoIndent ? indent + 2 : 0);
    if (item->Count() > 0)
        WriteLine((AutoIndent ? std::string(size_t(indent), ' ') : std::string()) + "</" + item->Name + ">");
}

// --- document ------------------------------------------------------------------------------

TfrxXMLDocument::TfrxXMLDocument() : FRoot(std::make_unique<TfrxXMLItem>()) {}

TfrxXMLDocument::~TfrxXMLDocument() {
    DeleteTempFile();
    FreeSource();
}

void TfrxXMLDocument::FreeSource() { FSourceStream.reset(); }

void TfrxXMLDocument::Clear() {
    FRoot->Clear();
    DeleteTempFile();
    FreeSource();
}

void TfrxXMLDocument::LoadFromStream(TStream* stream, bool allowPartialLoading) {
    std::unique_ptr<TStream> owned(allowPartialLoading ? stream : nullptr);
    DeleteTempFile();
    FreeSource();
    FRoot->Clear();
    FRoot->Offset = 0;
    auto empty = OnScopeExit([&] { FRoot->Clear(); });
    TStream* source = stream;
    std::unique_ptr<TStream> converted;
    if (!StreamIsUtf8(stream)) {
        // Templates of the older installation are Central European 8-bit text.
        std::string bytes(size_t(std::max<int64_t>(0, stream->Size() - stream->Position())), '\0');
        bytes.resize(size_t(stream->Read(bytes.data(), int64_t(bytes.size()))));
        converted = std::make_unique<TStringStream>(CodePageToUtf8(bytes, 1250));
        source = converted.get();
    }
    {
        TfrxXMLReader reader(source);
        reader.ReadHeader();
        reader.ReadRootItem(FRoot.get(), !allowPartialLoading);
    }
    empty.Release();
    if (allowPartialLoading) FSourceStream = converted ? std::move(converted) : std::move(owned);
}

void TfrxXMLDocument::SaveToStream(TStream* stream) {
    TfrxXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.SwapStream = FTempStream.get();
    writer.SourceStream = FSourceStream.get();
    writer.WriteHeader();
    writer.WriteRootItem(FRoot.get());
}

void TfrxXMLDocument::CreateTempFile() {
    if (FTempStream) return;
    // Sound: the folder is taken whole; cutting it at 64 characters put the file elsewhere.
    FTempFileName = ::CreateTempFile(TempDir.empty() ? GetTempDir() : IncludeTrailingPathDelimiter(TempDir), "fr");
    FTempStream = std::make_unique<TFileStream>(FTempFileName, fmOpenReadWrite);
    // Sound: swapped pages hold pupils' personal data; the file (created 0600) loses its name at
    // once and lives only as the open descriptor, so no crash can leave it behind. The name is
    // kept for diagnostics.
    DeleteFile(FTempFileName);
}

void TfrxXMLDocument::DeleteTempFile() {
    if (!FTempStream) return;
    FTempStream.reset();
    DeleteFile(FTempFileName);
    FTempFileName.clear();
}

void TfrxXMLDocument::UnloadItem(TfrxXMLItem* item) {
    if (!item->Loaded || !item->Unloadable) return;
    CreateTempFile();
    const int64_t at = FTempStream->Seek(0, soFromEnd);
    {
        TfrxXMLWriter writer(FTempStream.get());
        writer.SwapStream = FTempStream.get();
        writer.SourceStream = FSourceStream.get();
        // Written as a plain item: its marker belongs to the document's own output.
        TRollback<bool> plain(item->Unloadable, false);
        writer.WriteRootItem(item);
    }
    item->Offset = uint64_t(at);
    item->FInSwapFile = true;
    item->Clear();
}

void TfrxXMLDocument::LoadItem(TfrxXMLItem* item) {
    if (!item->Unloadable || item->Loaded) return;
    TStream* from = item->FInSwapFile ? FTempStream.get() : FSourceStream.get();
    if (!from) return;
    const std::string text = item->Text;
    {
        TfrxXMLReader reader(from);
        reader.SetPosition(int64_t(item->Offset));
        reader.ReadRootItem(item, true);
    }
    item->Text = text;
    item->Loaded = true;
}
