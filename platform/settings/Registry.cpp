#include "platform/settings/Registry.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TRegistry, TObject)
KAROMIL_IMPLEMENT_CLASS(TRegIniFile, TCustomIniFile)

namespace {
const char HexDigits[] = "0123456789ABCDEF";

std::string ToHex(const void* data, int size) {
    std::string hex;
    hex.reserve(size_t(size) * 2);
    const auto* p = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i) {
        hex += HexDigits[p[i] >> 4];
        hex += HexDigits[p[i] & 15];
    }
    return hex;
}

bool FromHex(const std::string& hex, std::string& bytes) {
    auto val = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    if (hex.size() % 2) return false;
    bytes.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int hi = val(hex[i]), lo = val(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(char(hi * 16 + lo));
    }
    return true;
}

// Strings may hold line breaks and backslashes; the INI line format holds neither raw.
std::string Escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            char n = s[++i];
            out += n == 'n' ? '\n' : n == 'r' ? '\r' : n;
        } else {
            out += s[i];
        }
    }
    return out;
}

// "\A\\B\" -> "A\B": no leading, trailing or doubled separators.
std::string NormalizePath(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

bool IsBelow(const std::string& section, const std::string& path) {
    if (path.empty()) return true;
    if (Utf8Length(section) <= Utf8Length(path)) return false;
    std::string prefix = Utf8Copy(section, 1, Utf8Length(path));
    return AnsiSameText(prefix, path) && section[prefix.size()] == '\\';
}

// One store per file for the whole process: two TRegistry objects open at once must see
// each other's writes, and neither may overwrite the other's with a stale copy.
TIniStore& SharedStore(const std::string& fileName) {
    static std::map<std::string, std::unique_ptr<TIniStore>> stores;
    auto& slot = stores[fileName];
    if (!slot) {
        slot = std::make_unique<TIniStore>();
        slot->LoadFromFile(fileName);
    }
    return *slot;
}

[[noreturn]] void InvalidType(const std::string& name) {
    throw ERegistryException("Invalid data type for '" + name + "'");
}
}  // namespace

TRegistry::TRegistry() : FStore(SharedStore(StoreFileName())) {}

TRegistry::~TRegistry() {
    try {
        Flush();
    } catch (...) {
        // A destructor must not throw; the write error was the caller's to see at CloseKey.
    }
}

std::string TRegistry::StoreFileName() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && *xdg) base = xdg;
    else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return IncludeTrailingPathDelimiter(base) + "karomil/registry.ini";
}

void TRegistry::Flush() {
    if (FDirty) {
        FStore.SaveToFile(StoreFileName());
        FDirty = false;
    }
}

void TRegistry::SetRootKey(HKEY key) {
    CloseKey();
    FRootKey = key;
}

std::string TRegistry::Resolve(const std::string& key) const {
    if (!key.empty() && key[0] == '\\') return NormalizePath(key);
    if (FCurrentPath.empty()) return NormalizePath(key);
    return NormalizePath(FCurrentPath + "\\" + key);
}

bool TRegistry::SectionOrBelowExists(const std::string& path) {
    for (const auto& s : FStore.Sections())
        if (AnsiSameText(s.Name, path) || IsBelow(s.Name, path)) return true;
    return false;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    if (!CurrentUser()) return false;
    std::string path = Resolve(key);
    if (!SectionOrBelowExists(path)) {
        if (!canCreate) return false;
        FStore.EnsureSection(path);
        FDirty = true;
        if (!LazyWrite) Flush();
    }
    FCurrentPath = path;
    FKeyOpen = true;
    FReadOnly = false;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    bool ok = OpenKey(key, false);
    if (ok) FReadOnly = true;
    return ok;
}

void TRegistry::CloseKey() {
    Flush();
    FCurrentPath.clear();
    FKeyOpen = false;
    FReadOnly = false;
}

bool TRegistry::KeyExists(const std::string& key) { return CurrentUser() && SectionOrBelowExists(Resolve(key)); }

bool TRegistry::CreateKey(const std::string& key) {
    if (!CurrentUser()) return false;
    std::string path = Resolve(key);
    if (!SectionOrBelowExists(path)) {
        FStore.EnsureSection(path);
        FDirty = true;
        if (!LazyWrite) Flush();
    }
    return true;
}

bool TRegistry::DeleteKey(const std::string& key) {
    if (!CurrentUser()) return false;
    std::string path = Resolve(key);
    if (path.empty()) return false;
    bool found = false;
    for (const std::string& name : FStore.SectionNames())
        if (AnsiSameText(name, path) || IsBelow(name, path)) found = FStore.EraseSection(name) || found;
    if (found) {
        FDirty = true;
        if (!LazyWrite) Flush();
    }
    return found;
}

bool TRegistry::HasSubKeys() {
    for (const auto& s : FStore.Sections())
        if (IsBelow(s.Name, FCurrentPath)) return true;
    return false;
}

void TRegistry::GetKeyNames(TStrings* strings) {
    // The batch ends also when filling fails, or the list would stay silent for good.
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            for (const auto& s : FStore.Sections()) {
                if (!IsBelow(s.Name, FCurrentPath)) continue;
                std::string rest = FCurrentPath.empty() ? s.Name : s.Name.substr(FCurrentPath.size() + 1);
                std::string child = rest.substr(0, rest.find('\\'));
                bool seen = false;
                for (int i = 0; i < strings->Count() && !seen; ++i) seen = AnsiSameText(strings->Get(i), child);
                if (!seen) strings->Add(child);
            }
        },
        [strings] { strings->EndUpdate(); });
}

void TRegistry::GetValueNames(TStrings* strings) {
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            if (const TIniStore::Section* s = FStore.FindSection(FCurrentPath))
                for (const auto& e : s->Entries) strings->Add(e.Name);
        },
        [strings] { strings->EndUpdate(); });
}

bool TRegistry::ReadRaw(const std::string& name, char& type, std::string& payload) {
    std::string raw;
    if (!FKeyOpen || !FStore.ReadValue(FCurrentPath, name, raw) || raw.size() < 2 || raw[1] != ':') return false;
    type = raw[0];
    payload = raw.substr(2);
    return true;
}

void TRegistry::WriteRaw(const std::string& name, char type, const std::string& payload) {
    if (!FKeyOpen || FReadOnly || !CurrentUser()) throw ERegistryException("Failed to set data for '" + name + "'");
    FStore.WriteValue(FCurrentPath, name, std::string(1, type) + ":" + payload);
    FDirty = true;
    if (!LazyWrite) Flush();
}

bool TRegistry::ValueExists(const std::string& name) {
    char t;
    std::string p;
    return ReadRaw(name, t, p);
}

bool TRegistry::DeleteValue(const std::string& name) {
    if (!FKeyOpen || FReadOnly) return false;
    bool ok = FStore.DeleteKey(FCurrentPath, name);
    if (ok) {
        FDirty = true;
        if (!LazyWrite) Flush();
    }
    return ok;
}

TRegDataType TRegistry::GetDataType(const std::string& name) {
    char t;
    std::string p;
    if (!ReadRaw(name, t, p)) return rdUnknown;
    switch (t) {
    case 's':
    case 'f': return rdString;
    case 'i': return rdInteger;
    case 'b': return rdBinary;
    default: return rdUnknown;
    }
}

int TRegistry::GetDataSize(const std::string& name) {
    char t;
    std::string p;
    if (!ReadRaw(name, t, p)) return -1;
    switch (t) {
    case 'i': return 4;
    case 'b': return int(p.size() / 2);
    default: return int(Unescape(p).size()) + 1;  // with the terminating zero
    }
}

std::string TRegistry::ReadString(const std::string& name) {
    char t;
    std::string p;
    if (!ReadRaw(name, t, p)) return "";  // a missing string value reads as empty
    if (t != 's' && t != 'f') InvalidType(name);
    return Unescape(p);
}

int32_t TRegistry::ReadInteger(const std::string& name) {
    char t;
    std::string p;
    if (!ReadRaw(name, t, p) || t != 'i') InvalidType(name);
    int32_t v;
    if (!TryStrToInt(p, v)) InvalidType(name);
    return v;
}

bool TRegistry::ReadBool(const std::string& name) { return ReadInteger(name) != 0; }

double TRegistry::ReadFloat(const std::string& name) {
    char t;
    std::string p;
    if (!ReadRaw(name, t, p) || t != 'f') InvalidType(name);
    double v;
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = U'.';
    if (!TryStrToFloat(p, v, fs)) InvalidType(name);
    return v;
}

int TRegistry::ReadBinaryData(const std::string& name, void* buffer, int bufSize) {
    char t;
    std::string p, bytes;
    if (!ReadRaw(name, t, p) || t != 'b' || !FromHex(p, bytes)) InvalidType(name);
    if (int(bytes.size()) > bufSize) InvalidType(name);  // never write past the caller's buffer
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    return int(bytes.size());
}

void TRegistry::WriteString(const std::string& name, const std::string& value) { WriteRaw(name, 's', Escape(value)); }
void TRegistry::WriteInteger(const std::string& name, int32_t value) { WriteRaw(name, 'i', IntToStr(value)); }
void TRegistry::WriteBool(const std::string& name, bool value) { WriteInteger(name, value ? 1 : 0); }

void TRegistry::WriteFloat(const std::string& name, double value) {
    TFormatSettings fs = FormatSettings();
    fs.DecimalSeparator = U'.';  // machine-independent text
    WriteRaw(name, 'f', FloatToStrRoundTrip(value, fs));
}

void TRegistry::WriteBinaryData(const std::string& name, const void* buffer, int bufSize) {
    WriteRaw(name, 'b', ToHex(buffer, bufSize));
}

// --- TRegIniFile ------------------------------------------------------------------------------

TRegIniFile::TRegIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {
    FReg.SetRootKey(HKEY_CURRENT_USER);
}

TRegIniFile::~TRegIniFile() = default;

bool TRegIniFile::OpenSection(const std::string& section, bool canCreate) {
    FReg.CloseKey();
    std::string path = !section.empty() && section[0] == '\\' ? section
        : section.empty()                                     ? "\\" + FileName()
                                                              : "\\" + FileName() + "\\" + section;
    return FReg.OpenKey(path, canCreate);
}

std::string TRegIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
    if (!OpenSection(section, false) || !FReg.ValueExists(ident)) return def;
    try {
        return FReg.ReadString(ident);
    } catch (const ERegistryException&) {
        // A value of another type reads as missing: the caller's default.
        return def;
    }
}

void TRegIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    OpenSection(section, true);
    FReg.WriteString(ident, value);
}

int32_t TRegIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t def) {
    if (!OpenSection(section, false) || !FReg.ValueExists(ident)) return def;
    if (FReg.GetDataType(ident) == rdInteger) return FReg.ReadInteger(ident);
    return StrToIntDef(FReg.ReadString(ident), def);
}

void TRegIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value) {
    OpenSection(section, true);
    FReg.WriteInteger(ident, value);
}

bool TRegIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteInteger(section, ident, value ? 1 : 0);
}

void TRegIniFile::ReadSection(const std::string& section, TStrings* strings) {
    if (OpenSection(section, false)) FReg.GetValueNames(strings);
    else strings->Clear();
}

void TRegIniFile::ReadSections(TStrings* strings) {
    if (OpenSection("", false)) FReg.GetKeyNames(strings);
    else strings->Clear();
}

void TRegIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
    TStringList names;
    ReadSection(section, &names);
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            for (int i = 0; i < names.Count(); ++i)
                strings->Add(names.Get(i) + "=" + ReadString(section, names.Get(i), ""));
        },
        [strings] { strings->EndUpdate(); });
}

void TRegIniFile::EraseSection(const std::string& section) {
    FReg.CloseKey();
    std::string path = !section.empty() && section[0] == '\\' ? section : "\\" + FileName() + "\\" + section;
    FReg.DeleteKey(path);
    FReg.CloseKey();
}

void TRegIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    if (OpenSection(section, false)) FReg.DeleteValue(ident);
}

void TRegIniFile::UpdateFile() { FReg.CloseKey(); }
