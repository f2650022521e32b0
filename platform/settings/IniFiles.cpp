#include "platform/settings/IniFiles.h"

#include <cstdio>

#include "platform/classes/StringList.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

KAROMIL_IMPLEMENT_CLASS(TCustomIniFile, TObject)
KAROMIL_IMPLEMENT_CLASS(TMemIniFile, TCustomIniFile)
KAROMIL_IMPLEMENT_CLASS(TIniFile, TMemIniFile)

namespace {
const char HexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

int32_t TCustomIniFile::ReadInteger(const std::string& section, const std::string& ident, int32_t def) {
    return StrToIntDef(Trim(ReadString(section, ident, "")), def);
}

void TCustomIniFile::WriteInteger(const std::string& section, const std::string& ident, int32_t value) {
    WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const std::string& section, const std::string& ident, bool def) {
    return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& section, const std::string& ident, bool value) {
    WriteString(section, ident, value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& section, const std::string& ident, double def) {
    std::string s = ReadString(section, ident, "");
    double v;
    return TryStrToFloat(Trim(s), v) ? v : def;
}

void TCustomIniFile::WriteFloat(const std::string& section, const std::string& ident, double value) {
    WriteString(section, ident, FloatToStrRoundTrip(value, FormatSettings()));
}

TDateTime TCustomIniFile::ReadDateTime(const std::string& section, const std::string& ident, TDateTime def) {
    std::string s = ReadString(section, ident, "");
    TDateTime d;
    return TryStrToDateTime(Trim(s), d, FormatSettings()) ? d : def;
}

void TCustomIniFile::WriteDateTime(const std::string& section, const std::string& ident, TDateTime value) {
    WriteString(section, ident, DateTimeToStr(value));
}

int64_t TCustomIniFile::ReadBinaryStream(const std::string& section, const std::string& ident, TStream* value) {
    std::string hex = ReadString(section, ident, "");
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
        if (hi < 0 || lo < 0) return 0;  // damaged text: no data rather than wrong data
        bytes.push_back(char(hi * 16 + lo));
    }
    if (value && !bytes.empty()) value->WriteBuffer(bytes.data(), int64_t(bytes.size()));
    return int64_t(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const std::string& section, const std::string& ident, TStream* value) {
    std::string hex;
    if (value) {
        std::string bytes(size_t(value->Size() - value->Position()), '\0');
        if (!bytes.empty()) value->ReadBuffer(bytes.data(), int64_t(bytes.size()));
        hex.reserve(bytes.size() * 2);
        for (unsigned char c : bytes) {
            hex += HexDigits[c >> 4];
            hex += HexDigits[c & 15];
        }
    }
    WriteString(section, ident, hex);
}

bool TCustomIniFile::SectionExists(const std::string& section) {
    TStringList keys;
    ReadSection(section, &keys);
    return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const std::string& section, const std::string& ident) {
    TStringList keys;
    ReadSection(section, &keys);
    return keys.IndexOf(ident) >= 0;
}

// --- TMemIniFile ------------------------------------------------------------------------------

TMemIniFile::TMemIniFile(std::string fileName) : TCustomIniFile(std::move(fileName)) {
    if (!FileName().empty()) FStore.LoadFromFile(FileName());
}

std::string TMemIniFile::ReadString(const std::string& section, const std::string& ident, const std::string& def) {
    std::string v;
    return FStore.ReadValue(section, ident, v) ? v : def;
}

void TMemIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    FStore.WriteValue(section, ident, value);
}

void TMemIniFile::ReadSection(const std::string& section, TStrings* strings) {
    // The batch ends also when filling fails, or the list would stay silent for good.
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            if (const TIniStore::Section* s = FStore.FindSection(section))
                for (const auto& e : s->Entries) strings->Add(e.Name);
        },
        [strings] { strings->EndUpdate(); });
}

void TMemIniFile::ReadSections(TStrings* strings) {
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            for (const auto& s : FStore.Sections()) strings->Add(s.Name);
        },
        [strings] { strings->EndUpdate(); });
}

void TMemIniFile::ReadSectionValues(const std::string& section, TStrings* strings) {
    strings->BeginUpdate();
    TryFinally(
        [&] {
            strings->Clear();
            if (const TIniStore::Section* s = FStore.FindSection(section))
                for (const auto& e : s->Entries) strings->Add(e.Name + "=" + e.Value);
        },
        [strings] { strings->EndUpdate(); });
}

void TMemIniFile::EraseSection(const std::string& section) { FStore.EraseSection(section); }

void TMemIniFile::DeleteKey(const std::string& section, const std::string& ident) { FStore.DeleteKey(section, ident); }

void TMemIniFile::UpdateFile() { FStore.SaveToFile(FileName()); }

// --- TIniFile ---------------------------------------------------------------------------------

void TIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    TMemIniFile::WriteString(section, ident, value);
    UpdateFile();
}

void TIniFile::EraseSection(const std::string& section) {
    TMemIniFile::EraseSection(section);
    UpdateFile();
}

void TIniFile::DeleteKey(const std::string& section, const std::string& ident) {
    TMemIniFile::DeleteKey(section, ident);
    UpdateFile();
}
