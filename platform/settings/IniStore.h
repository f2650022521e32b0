#pragma once
// In-memory INI document: ordered sections of ordered "name=value" lines. Section and
// key names compare case-insensitively (Czech letters folded). Shared by the INI file
// classes and the registry stand-in, which keeps its keys in the same format.

#include <string>
#include <string_view>
#include <vector>

class TIniStore {
public:
    struct Entry {
        std::string Name, Value;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    void Parse(std::string_view text);
    std::string Serialize() const;  // LF line ends, UTF-8

    // Loads a file; a missing file gives an empty store. Returns false on a read error.
    bool LoadFromFile(const std::string& fileName);
    // Writes atomically: a temporary file beside the target, flushed, then renamed over it,
    // so a crash leaves either the old or the new file, never a half-written one.
    // Creates missing parent folders. Raises EFCreateError when it cannot write.
    void SaveToFile(const std::string& fileName) const;

    const Section* FindSection(std::string_view name) const;
    Section* FindSection(std::string_view name);
    Section& EnsureSection(std::string_view name);
    const Entry* FindEntry(std::string_view section, std::string_view name) const;
    bool ReadValue(std::string_view section, std::string_view name, std::string& value) const;
    void WriteValue(std::string_view section, std::string_view name, std::string_view value);
    bool DeleteKey(std::string_view section, std::string_view name);
    bool EraseSection(std::string_view name);
    std::vector<std::string> SectionNames() const;
    const std::vector<Section>& Sections() const { return FSections; }
    void Clear() { FSections.clear(); }

private:
    std::vector<Section> FSections;
};
