#include "report/core/frxSafeSave.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

void frxSaveFileSafely(const std::string& fileName, const std::function<void(TStream*)>& write) {
    std::string dir = ExtractFilePath(fileName);
    std::string tmp = (dir.empty() ? std::string("./") : dir) + "." + ExtractFileName(fileName) + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
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
        THandleStream stream(fd);
        write(&stream);
        if (::fsync(fd) != 0) throw EWriteError("Cannot write file \"" + fileName + "\". " + std::strerror(errno));
    }
    if (::rename(tmp.c_str(), fileName.c_str()) != 0)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(errno));
    committed = true;
}
