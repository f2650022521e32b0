// The confinement of scripts' file access.

#include "script/FileAccess.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "script/Interpreter.h"

namespace fs = std::filesystem;

namespace {
std::string gDataFolder;
std::string gDocumentsFolder;  // '' = the user's own
TfsScript* gRunning = nullptr;

// The path with every symbolic link, "." and ".." resolved as far as it exists; a relative
// path is taken from the current folder, as the file functions take it.
fs::path Resolved(const std::string& name) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(name), ec);
    if (ec) return {};
    fs::path r = fs::weakly_canonical(p, ec);
    if (ec) return {};
    return r.lexically_normal();
}

bool Inside(const fs::path& file, const std::string& folder) {
    if (folder.empty() || file.empty()) return false;
    fs::path root = Resolved(folder);
    if (root.empty()) return false;
    // Compared part by part, without the empty part a trailing '/' leaves.
    std::vector<fs::path> a, b;
    for (const auto& part : root)
        if (!part.empty()) a.push_back(part);
    for (const auto& part : file)
        if (!part.empty()) b.push_back(part);
    return a.size() < b.size() && std::equal(a.begin(), a.end(), b.begin());
}
}  // namespace

void fsSetDataFolder(const std::string& folder) { gDataFolder = folder; }
const std::string& fsDataFolder() { return gDataFolder; }
void fsSetDocumentsFolder(const std::string& folder) { gDocumentsFolder = folder; }
std::string fsDocumentsFolder() { return gDocumentsFolder.empty() ? GetDocumentsDir() : gDocumentsFolder; }

void fsCheckFileAccess(const std::string& fileName, TfsFileAccess access, const std::string& templateFolder) {
    const bool write = access == TfsFileAccess::Write;
    const fs::path file = Resolved(fileName);
    bool allowed = false;
    if (write) {
        for (const std::string& folder : {fsDocumentsFolder(), gDataFolder, GetTempDir()})
            allowed = allowed || Inside(file, folder);
    } else {
        for (const std::string& folder : {templateFolder, gDataFolder, fsDocumentsFolder()})
            allowed = allowed || Inside(file, folder);
    }
    if (!allowed)
        throw Exception(std::string(write ? "Skript nesmí zapisovat do souboru „" : "Skript nesmí číst soubor „") +
            fileName + "“: leží mimo složky, které má k dispozici.");
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (fs::exists(st) && !fs::is_regular_file(st))
        throw Exception("Skript nesmí otevřít „" + fileName + "“: není to obyčejný soubor.");
}

void fsCheckFileAccess(const std::string& fileName, TfsFileAccess access) {
    std::string folder;
    for (TfsScript* s = gRunning; s && folder.empty(); s = s->Parent) folder = s->FileFolder;
    fsCheckFileAccess(fileName, access, folder);
}

std::string fsReadableFile(const Variant& name) {
    std::string s = VarToStr(name);
    fsCheckFileAccess(s, TfsFileAccess::Read);
    return s;
}

std::string fsWritableFile(const Variant& name) {
    std::string s = VarToStr(name);
    fsCheckFileAccess(s, TfsFileAccess::Write);
    return s;
}

TfsScript* fsRunningScript() noexcept { return gRunning; }

TfsRunningScriptScope::TfsRunningScriptScope(TfsScript* script) noexcept : FSaved(gRunning) { gRunning = script; }
TfsRunningScriptScope::~TfsRunningScriptScope() { gRunning = FSaved; }
