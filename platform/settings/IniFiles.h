#pragma once
// INI files: TCustomIniFile (the typed read/write interface), TMemIniFile (whole file in
// memory, written back by UpdateFile) and TIniFile (every write goes to the file at once).
// Files are UTF-8; section and key names compare case-insensitively; writes are atomic.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/Variant.h"
#include "platform/settings/IniStore.h"

class TStrings;
class TStream;

class TCustomIniFile : public TObject {
    KAROMIL_CLASS(TCustomIniFile, TObject)
public:
    explicit TCustomIniFile(std::string fileName) : FFileName(std::move(fileName)) {}
    const std::string& FileName() const { return FFileName; }

    virtual std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) = 0;
    virtual void WriteString(const std::string& section, const std::string& ident, const std::string& value) = 0;
    virtual void ReadSection(const std::string& section, TStrings* strings) = 0;  // key names
    virtual void ReadSections(TStrings* strings) = 0;
    virtual void ReadSectionValues(const std::string& section, TStrings* strings) = 0;  // name=value
    virtual void EraseSection(const std::string& section) = 0;
    virtual void DeleteKey(const std::string& section, const std::string& ident) = 0;
    virtual void UpdateFile() = 0;

    // Typed values are text: a missing key or text that does not convert gives the default.
    virtual int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t def);
    virtual void WriteInteger(const std::string& section, const std::string& ident, int32_t value);
    virtual bool ReadBool(const std::string& section, const std::string& ident, bool def);  // non-zero is true
    virtual void WriteBool(const std::string& section, const std::string& ident, bool value);  // "1" / "0"
    double ReadFloat(const std::string& section, const std::string& ident, double def);
    void WriteFloat(const std::string& section, const std::string& ident, double value);
    TDateTime ReadDateTime(const std::string& section, const std::string& ident, TDateTime def);
    void WriteDateTime(const std::string& section, const std::string& ident, TDateTime value);
    // Binary data as hexadecimal text; returns the number of bytes read.
    int64_t ReadBinaryStream(const std::string& section, const std::string& ident, TStream* value);
    void WriteBinaryStream(const std::string& section, const std::string& ident, TStream* value);

    bool SectionExists(const std::string& section);
    bool ValueExists(const std::string& section, const std::string& ident);

private:
    std::string FFileName;
};

class TMemIniFile : public TCustomIniFile {
    KAROMIL_CLASS(TMemIniFile, TCustomIniFile)
public:
    // The file name is relative to the current folder; a missing file starts empty.
    explicit TMemIniFile(std::string fileName);

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;
    void ReadSectionValues(const std::string& section, TStrings* strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    // Rewrites the whole file atomically.
    void UpdateFile() override;

    void Clear() { FStore.Clear(); }

protected:
    TIniStore FStore;
};

// Every write reaches the file immediately, as the private-profile functions do.
class TIniFile : public TMemIniFile {
    KAROMIL_CLASS(TIniFile, TMemIniFile)
public:
    explicit TIniFile(std::string fileName) : TMemIniFile(std::move(fileName)) {}
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
};
