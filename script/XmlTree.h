#pragma once
// The script engine's own small XML tree: grammars and intermediate programs live in it,
// scripts can build documents with it, and the designer shows the item tree through it.
//
// The layer knows elements, their raw attribute text and their children, nothing else:
// character data and comments are skipped when reading, and an attribute is found by
// searching the raw text only when it is asked for (Prop). Text is UTF-8 and is kept
// byte for byte as read.

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Escapes LF, CR, '"', '&', '<' and '>' as decimal character references ("&#10;").
// The ampersand is escaped too, so that a value holding "&#65;" reads back unchanged.
std::string fsEscapeXML(std::string_view s);
// Replaces every "&#n;" by the character with code point n; a malformed reference (no ';',
// no digits, or not a valid code point) is left as it stands.
std::string fsUnescapeXML(std::string_view s);

// One element. An item owns its children; destroying an item destroys its children and
// takes it out of its parent's list.
class TfsXMLItem {
public:
    TfsXMLItem() = default;
    TfsXMLItem(const TfsXMLItem&) = delete;
    TfsXMLItem& operator=(const TfsXMLItem&) = delete;
    ~TfsXMLItem();

    int Data = 0;  // free tag for the user of the tree
    std::string Name;  // element name as read ("/x" for a closing tag read by the reader)
    std::string Text;  // raw attribute text between the name and ">" or "/>", values escaped

    TfsXMLItem* Parent() const noexcept { return FParent; }
    int Count() const noexcept { return int(FItems.size()); }
    TfsXMLItem* Items(int index) const { return FItems.at(size_t(index)).get(); }
    TfsXMLItem* operator[](int index) const { return Items(index); }

    void Clear();  // frees all children
    TfsXMLItem* Add();  // a new empty child, appended
    // Appends `item`, taking it from its former parent; an item without parent is adopted
    // (the tree then owns it).
    void AddItem(TfsXMLItem* item);
    void InsertItem(int index, TfsXMLItem* item);  // AddItem, then moved to `index`
    int Find(std::string_view name) const;  // first child of that name (case ignored), or -1
    // That child; when missing, a new child of that name is appended and returned, so asking
    // for a missing section yields an empty one, never nullptr.
    TfsXMLItem* FindItem(std::string_view name);
    // The unescaped value of attribute `name` (case ignored, whole names only), '' when absent.
    std::string Prop(std::string_view name) const;
    TfsXMLItem* Root() noexcept;  // the topmost ancestor (itself without parent)
    // Clears the item, then copies Name, Text, Data and a copy of every child of `source`.
    void Assign(const TfsXMLItem* source);

private:
    std::unique_ptr<TfsXMLItem> Detach();  // takes the item out of its parent's list
    TfsXMLItem* FParent = nullptr;
    std::vector<std::unique_ptr<TfsXMLItem>> FItems;
};

// Reads tags from a stream through a 4096-byte buffer. Destroying the reader puts the stream
// at the reader's logical position, whatever it has buffered beyond it.
class TfsXMLReader {
public:
    explicit TfsXMLReader(std::istream& stream);
    ~TfsXMLReader();
    TfsXMLReader(const TfsXMLReader&) = delete;
    TfsXMLReader& operator=(const TfsXMLReader&) = delete;

    void ReadHeader();  // the first tag must be "<?xml ...?>"
    void ReadRootItem(TfsXMLItem* item);  // reads one element with its children into `item`

private:
    bool ReadItem(TfsXMLItem* item, int depth);  // false when the tag read ends the parent (or input)
    void ReadTag(std::string& name, std::string& text);
    bool NextChar(char& c);

    std::istream& FStream;
    std::streamoff FStart = 0;
    int64_t FPosition = 0;  // bytes consumed so far
    int64_t FSize = 0;  // taken at creation
    char FBuffer[4096];
    int FBufferCount = 0;
    int FBufferIndex = 0;
    std::string FLastTag;
};

// Writes elements; with AutoIndent every element on its own line (CR LF), children two
// blanks deeper, else the whole tree on one line.
class TfsXMLWriter {
public:
    explicit TfsXMLWriter(std::ostream& stream) : FStream(stream) {}
    bool AutoIndent = false;
    void WriteHeader();
    void WriteRootItem(const TfsXMLItem* item);

private:
    void WriteItem(const TfsXMLItem* item, int indent);
    void WriteLine(const std::string& line);
    void Flush();
    std::ostream& FStream;
    std::string FBuffer;
};

class TfsXMLDocument {
public:
    TfsXMLDocument() : FRoot(std::make_unique<TfsXMLItem>()) {}
    bool AutoIndent = false;
    TfsXMLItem* Root() const noexcept { return FRoot.get(); }

    // "Invalid file format" when the text is not one well-formed element after the header.
    void LoadFromStream(std::istream& stream);
    void SaveToStream(std::ostream& stream) const;
    void LoadFromFile(const std::string& fileName);  // EFOpenError when it cannot be opened
    void SaveToFile(const std::string& fileName) const;  // created or truncated; EFCreateError

    // Convenience for in-memory texts (grammars, intermediate programs).
    void LoadFromString(const std::string& text);
    std::string SaveToString() const;

private:
    std::unique_ptr<TfsXMLItem> FRoot;
};
