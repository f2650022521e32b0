#pragma once
// The registry, as far as Karomil uses it: keys under the current user, kept in one INI
// file "registry.ini" in the user's configuration folder ($XDG_CONFIG_HOME/karomil, else
// ~/.config/karomil). A key path is a section named by the path with "\" separators and no
// leading "\"; a key exists when such a section, or one below it, exists. Values are typed
// text: "s:" string, "i:" integer, "f:" float, "b:" binary as hex. Other roots (classes root,
// local machine, ...) hold nothing here: opening a key there answers false.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/settings/IniFiles.h"

using HKEY = uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;
constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

KAROMIL_DECLARE_EXCEPTION(ERegistryException, Exception)

class TRegistry : public TObject {
    KAROMIL_CLASS(TRegistry, TObject)
public:
    TRegistry();
    ~TRegistry() override;

    HKEY RootKey() const { return FRootKey; }
    void SetRootKey(HKEY key);
    const std::string& CurrentPath() const { return FCurrentPath; }
    bool LazyWrite = true;

    // Relative to the current key unless the path starts with "\".
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();  // writes pending changes
    bool KeyExists(const std::string& key);
    bool CreateKey(const std::string& key);
    bool DeleteKey(const std::string& key);  // the key, its subkeys and values
    bool HasSubKeys();
    void GetKeyNames(TStrings* strings);  // direct subkeys of the current key
    void GetValueNames(TStrings* strings);

    bool ValueExists(const std::string& name);
    bool DeleteValue(const std::string& name);
    TRegDataType GetDataType(const std::string& name);
    int GetDataSize(const std::string& name);  // -1 when missing

    // Reading a missing value or one of another type raises ERegistryException.
    std::string ReadString(const std::string& name);
    int32_t ReadInteger(const std::string& name);
    bool ReadBool(const std::string& name);
    double ReadFloat(const std::string& name);
    int ReadBinaryData(const std::string& name, void* buffer, int bufSize);
    void WriteString(const std::string& name, const std::string& value);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteBool(const std::string& name, bool value);
    void WriteFloat(const std::string& name, double value);
    void WriteBinaryData(const std::string& name, const void* buffer, int bufSize);

    // Where current-user keys are kept (tests point it elsewhere by $XDG_CONFIG_HOME).
    static std::string StoreFileName();

private:
    bool CurrentUser() const { return FRootKey == HKEY_CURRENT_USER; }
    std::string Resolve(const std::string& key) const;
    bool SectionOrBelowExists(const std::string& path);
    bool ReadRaw(const std::string& name, char& type, std::string& payload);
    void WriteRaw(const std::string& name, char type, const std::string& payload);
    void Flush();

    HKEY FRootKey = HKEY_CURRENT_USER;
    std::string FCurrentPath;
    bool FKeyOpen = false;
    bool FReadOnly = false;
    bool FDirty = false;
    TIniStore& FStore;
};

// Sections are subkeys of the file name's key ("\Software\Karomil Reports"); a section
// starting with "\" is a key path from the root.
class TRegIniFile : public TCustomIniFile {
    KAROMIL_CLASS(TRegIniFile, TCustomIniFile)
public:
    explicit TRegIniFile(std::string fileName);
    ~TRegIniFile() override;

    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def) override;
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override;
    void ReadSection(const std::string& section, TStrings* strings) override;
    void ReadSections(TStrings* strings) override;  // subkey names
    void ReadSectionValues(const std::string& section, TStrings* strings) override;
    void EraseSection(const std::string& section) override;
    void DeleteKey(const std::string& section, const std::string& ident) override;
    void UpdateFile() override;

    int32_t ReadInteger(const std::string& section, const std::string& ident, int32_t def) override;
    void WriteInteger(const std::string& section, const std::string& ident, int32_t value) override;
    bool ReadBool(const std::string& section, const std::string& ident, bool def) override;
    void WriteBool(const std::string& section, const std::string& ident, bool value) override;

    TRegistry& Registry() { return FReg; }

private:
    bool OpenSection(const std::string& section, bool canCreate);
    TRegistry FReg;
};
