#include "platform/settings/IniStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace {
std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

void MakeDirs(const std::string& dir) {
    if (dir.empty()) return;
    std::string path;
    size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        path = dir.substr(0, pos);
        if (!path.empty()) ::mkdir(path.c_str(), 0700);
    }
}
}  // namespace

void TIniStore::Parse(std::string_view text) {
    FSections.clear();
    Section* current = nullptr;
    size_t pos = 0;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;  // UTF-8 byte-order mark
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = TrimView(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = &EnsureSection(TrimView(line.substr(1, line.size() - 2)));
            continue;
        }
        if (!current) current = &EnsureSection("");
        size_t eq = line.find('=');
        std::string name(TrimView(line.substr(0, eq)));
        std::string value = eq == std::string_view::npos ? std::string() : std::string(line.substr(eq + 1));
        current->Entries.push_back({std::move(name), std::move(value)});
    }
}

std::string TIniStore::Serialize() const {
    std::string out;
    for (const Section& s : FSections) {
        if (!out.empty()) out += '\n';
        out += '[' + s.Name + "]\n";
        for (const Entry& e : s.Entries) out += e.Name + '=' + e.Value + '\n';
    }
    return out;
}

bool TIniStore::LoadFromFile(const std::string& fileName) {
    FSections.clear();
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return !FileExists(fileName);
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    Parse(ss.str());
    return true;
}

void TIniStore::SaveToFile(const std::string& fileName) const {
    MakeDirs(ExtractFilePath(fileName));
    const std::string text = Serialize();
    std::string tmp = fileName + ".tmpXXXXXX";
    int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    // Until the new text has taken the file's name, every way out removes it.
    auto dropTemp = OnScopeExit([&tmp] { ::unlink(tmp.c_str()); });
    size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += size_t(n);
    }
    int err = errno;
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        err = errno;
    }
    ::close(fd);
    if (ok && ::rename(tmp.c_str(), fileName.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(err));
    dropTemp.Release();
}

const TIniStore::Section* TIniStore::FindSection(std::string_view name) const {
    for (const Section& s : FSections)
        if (AnsiSameText(s.Name, name)) return &s;
    return nullptr;
}

TIniStore::Section* TIniStore::FindSection(std::string_view name) {
    return const_cast<Section*>(static_cast<const TIniStore*>(this)->FindSection(name));
}

TIniStore::Section& TIniStore::EnsureSection(std::string_view name) {
    if (Section* s = FindSection(name)) return *s;
    FSections.push_back({std::string(name), {}});
    return FSections.back();
}

const TIniStore::Entry* TIniStore::FindEntry(std::string_view section, std::string_view name) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    for (const Entry& e : s->Entries)
        if (AnsiSameText(e.Name, name)) return &e;
    return nullptr;
}

bool TIniStore::ReadValue(std::string_view section, std::string_view name, std::string& value) const {
    const Entry* e = FindEntry(section, name);
    if (!e) return false;
    value = e->Value;
    return true;
}

void TIniStore::WriteValue(std::string_view section, std::string_view name, std::string_view value) {
    Section& s = EnsureSection(section);
    for (Entry& e : s.Entries)
        if (AnsiSameText(e.Name, name)) {
            e.Value = std::string(value);
            return;
        }
    s.Entries.push_back({std::string(name), std::string(value)});
}

bool TIniStore::DeleteKey(std::string_view section, std::string_view name) {
    Section* s = FindSection(section);
    if (!s) return false;
    for (auto it = s->Entries.begin(); it != s->Entries.end(); ++it)
        if (AnsiSameText(it->Name, name)) {
            s->Entries.erase(it);
            return true;
        }
    return false;
}

bool TIniStore::EraseSection(std::string_view name) {
    for (auto it = FSections.begin(); it != FSections.end(); ++it)
        if (AnsiSameText(it->Name, name)) {
            FSections.erase(it);
            return true;
        }
    return false;
}

std::vector<std::string> TIniStore::SectionNames() const {
    std::vector<std::string> names;
    names.reserve(FSections.size());
    for (const Section& s : FSections) names.push_back(s.Name);
    return names;
}
