#pragma once
// The report library's XML tree, reader and writer: stored reports, prepared reports, style
// sheets, variable lists and outlines all live in it.
//
// The layer knows elements, their raw attribute text and their children, nothing else:
// character data and comments are skipped when reading, and an attribute value is found by
// searching the raw text when it is asked for. Text is UTF-8 in memory and on disk, so the
// header's encoding="utf-8" is true; a file that is not UTF-8 (templates of the older
// installation) is read as Central European (1250) text.
//
// Large documents can keep chosen items out of memory: UnloadItem writes an item's children to
// a temporary swap file and LoadItem reads them back; a document loaded partially leaves the
// items marked ld="0" in the source stream until asked for.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Variant.h"

class TStream;

// The message of every malformed or truncated input. Sound: in Czech, as the user reads it
// when a damaged template or prepared report is opened.
inline constexpr const char* frxInvalidFileFormat = "Neplatný formát souboru";
// How deep elements may nest in a document read; deeper input is refused with
// frxXMLTooDeep, so that no document can exhaust the stack of the reader or of those who walk
// the tree it built.
inline constexpr int frxMaxXMLDepth = 1000;
inline constexpr const char* frxXMLTooDeep = "Soubor nelze načíst: prvky jsou vnořeny hlouběji než do 1000 úrovní";

// LF, CR, '"', '&', '<' and '>' as decimal character references ("&#10;"); nothing else.
std::string frxEscapeXML(std::string_view s);
// Every "&#n;" becomes the character with code point n (UTF-8). A reference whose digits are
// not a decimal number raises EConvertError; "&#" without a later ';' stays as it is.
std::string frxUnescapeXML(std::string_view s);
// The attribute text of a value: integers in decimal, floats and dates in the process's
// format, strings escaped, Booleans "1"/"0", anything else ''.
std::string frxVariantToXML(const Variant& v);

class TfrxXMLItem {
public:
    TfrxXMLItem() = default;
    TfrxXMLItem(const TfrxXMLItem&) = delete;
    TfrxXMLItem& operator=(const TfrxXMLItem&) = delete;
    ~TfrxXMLItem();  // frees the children and leaves the parent's list

    std::string Name;  // as read; "/x" for a closing tag read by the reader
    std::string Text;  // raw attribute text between the name and ">" or "/>"
    bool Loaded = true;  // false while the children of an unloadable item are swapped out
    bool Unloadable = false;  // the item may be swapped out
    uint64_t Offset = 0;  // start of the item in the stream it was swapped to or read from

    TfrxXMLItem* Parent() const noexcept { return FParent; }
    int Count() const noexcept { return int(FItems.size()); }
    TfrxXMLItem* Items(int index) const { return FItems.at(size_t(index)).get(); }
    TfrxXMLItem* operator[](int index) const { return Items(index); }

    void Clear();  // frees every child; an unloadable item is then not loaded
    TfrxXMLItem* Add();  // a new empty child, appended
    void AddItem(TfrxXMLItem* item);  // appended, taken from its former parent
    void InsertItem(int index, TfrxXMLItem* item);  // AddItem, then moved to index
    int Find(std::string_view name) const;  // first child of that name (case ignored) or -1
    TfrxXMLItem* FindItem(std::string_view name);  // that child, appended when missing
    int IndexOf(const TfrxXMLItem* item) const;

    // The unescaped value of attribute `name` (case ignored, whole names only), '' when absent.
    std::string Prop(std::string_view name) const;
    // Stores the escaped value; an existing attribute keeps its place among the others.
    void SetProp(std::string_view name, std::string_view value);

private:
    friend class TfrxXMLDocument;
    friend class TfrxXMLWriter;
    friend class TfrxXMLReader;
    std::unique_ptr<TfrxXMLItem> Detach();
    TfrxXMLItem* FParent = nullptr;
    std::vector<std::unique_ptr<TfrxXMLItem>> FItems;
    bool FInSwapFile = false;  // Offset points into the swap file, not into the source stream
};

// Reads elements from a stream through a 4096-byte buffer. Destroying the reader puts the
// stream at the byte after the last one it consumed.
class TfrxXMLReader {
public:
    explicit TfrxXMLReader(TStream* stream);
    ~TfrxXMLReader();
    TfrxXMLReader(const TfrxXMLReader&) = delete;
    TfrxXMLReader& operator=(const TfrxXMLReader&) = delete;

    void ReadHeader();  // the "<?xml" declaration, else the format error
    void ReadRootItem(TfrxXMLItem* item, bool readAll = true);
    void SetPosition(int64_t position);
    int64_t Position() const noexcept { return FPosition; }

private:
    int ReadByte();
    void ReadTag(std::string& name, std::string& text);
    bool ReadItem(TfrxXMLItem* item, bool readAll, int depth);
    TStream* FStream;
    char FBuffer[4096];
    int FBufferCount = 0, FBufferIndex = 0;
    int64_t FPosition = 0, FSize = 0;
    std::string FTag, FLastName, FLastText;
};

// Writes elements to a stream through a buffer flushed beyond 4096 characters; one line
// without AutoIndent, else CR LF and two blanks per level.
class TfrxXMLWriter {
public:
    explicit TfrxXMLWriter(TStream* stream) : FStream(stream) {}
    TfrxXMLWriter(const TfrxXMLWriter&) = delete;
    TfrxXMLWriter& operator=(const TfrxXMLWriter&) = delete;

    bool AutoIndent = false;
    TStream* SwapStream = nullptr;  // where swapped-out items are read back from
    TStream* SourceStream = nullptr;  // where items left out by a partial load are

    void WriteHeader();
    void WriteRootItem(TfrxXMLItem* item);

private:
    void WriteItem(TfrxXMLItem* item, int indent);
    void WriteLine(const std::string& line);
    void Flush();
    TStream* FStream;
    std::string FBuffer;
};

class TfrxXMLDocument {
public:
    TfrxXMLDocument();
    ~TfrxXMLDocument();  // deletes the swap file
    TfrxXMLDocument(const TfrxXMLDocument&) = delete;
    TfrxXMLDocument& operator=(const TfrxXMLDocument&) = delete;

    bool AutoIndent = false;
    std::string TempDir;  // folder of the swap file; '' is the system's temporary folder

    TfrxXMLItem* Root() const noexcept { return FRoot.get(); }
    void Clear();  // frees the root's children and the swap file
    // Reads a whole document. A malformed or truncated input raises frxInvalidFileFormat and
    // leaves the document empty. With allowPartialLoading the items marked ld="0" keep only
    // their attributes, and the document takes over the stream (it frees it, also when the
    // load fails) to read them back from later.
    void LoadFromStream(TStream* stream, bool allowPartialLoading = false);
    void SaveToStream(TStream* stream);
    void LoadItem(TfrxXMLItem* item);
    void UnloadItem(TfrxXMLItem* item);
    void CreateTempFile();
    void DeleteTempFile();
    const std::string& TempFileName() const noexcept { return FTempFileName; }

private:
    void FreeSource();
    std::unique_ptr<TfrxXMLItem> FRoot;
    std::string FTempFileName;
    std::unique_ptr<TStream> FTempStream;  // the swap file
    std::unique_ptr<TStream> FSourceStream;  // the stream of a partial load
};
