#include "report/core/frxSafeSave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace {
// The descriptor stream of the temporary file, remembering why the last write fell short.
class TSaveStream : public THandleStream {
public:
    explicit TSaveStream(int fd) : THandleStream(fd) {}
    int LastError = 0;
    int64_t Write(const void* buffer, int64_t count) override {
        const int64_t n = THandleStream::Write(buffer, count);
        if (n < count) LastError = n < 0 ? errno : ENOSPC;  // a short write means no more room
        return n;
    }
};

// Sound: the user reads what went wrong and which file it hit, in Czech; a full disk says so
// instead of "Stream write error".
std::string WriteFailure(const std::string& fileName, int err) {
    if (err == ENOSPC || err == EDQUOT) return "Na disku není dost místa: soubor „" + fileName + "“ nebyl uložen.";
    return "Soubor „" + fileName + "“ nebyl uložen: " + std::strerror(err);
}

// The temporary files of earlier saves of this file that never finished (the program was
// killed while saving): ".name.XXXXXX" beside it, six characters as mkstemp makes them.
void RemoveLeftovers(const std::string& dir, const std::string& name, const std::string& own) {
    const std::string prefix = "." + name + ".";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir.empty() ? "." : dir, ec)) {
        const std::string file = entry.path().filename().string();
        if (file.size() != prefix.size() + 6 || file.compare(0, prefix.size(), prefix) != 0) continue;
        if (entry.path().string() == own || !entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
        std::filesystem::remove(entry.path(), ec);  // one that cannot go stays; the save goes on
    }
}
}  // namespace

void frxSaveFileSafely(const std::string& fileName, const std::function<void(TStream*)>& write) {
    std::string dir = ExtractFilePath(fileName);
    std::string tmp = (dir.empty() ? std::string("./") : dir) + "." + ExtractFileName(fileName) + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) throw EFCreateError(WriteFailure(fileName, errno));
    // Sound: what a killed save left behind goes at the next save of the same file.
    RemoveLeftovers(dir, ExtractFileName(fileName), tmp);
    bool committed = false;
    auto cleanUp = OnScopeExit([&] {
        if (!committed) ::unlink(tmp.c_str());
    });
    {
        auto closeFd = OnScopeExit([&] { ::close(fd); });
        // A replaced file keeps its permissions; a new one gets the usual ones.
        struct stat st {};
        if (::stat(fileName.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
        else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            ::fchmod(fd, 0666 & ~mask);
        }
        TSaveStream stream(fd);
        try {
            write(&stream);
        } catch (const EWriteError&) {
            // The stream's own message names no file; the reason is the write's.
            if (stream.LastError == 0) throw;
            throw EWriteError(WriteFailure(fileName, stream.LastError));
        }
        if (::fsync(fd) != 0) throw EWriteError(WriteFailure(fileName, errno));
    }
    if (::rename(tmp.c_str(), fileName.c_str()) != 0) throw EFCreateError(WriteFailure(fileName, errno));
    committed = true;
}
