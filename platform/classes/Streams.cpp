#include "platform/classes/Streams.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"

static_assert(sizeof(off_t) == 8, "file offsets must be 64-bit");

KAROMIL_IMPLEMENT_CLASS(TStream, TObject)
KAROMIL_IMPLEMENT_CLASS(THandleStream, TStream)
KAROMIL_IMPLEMENT_CLASS(TFileStream, THandleStream)
KAROMIL_IMPLEMENT_CLASS(TCustomMemoryStream, TStream)
KAROMIL_IMPLEMENT_CLASS(TMemoryStream, TCustomMemoryStream)
KAROMIL_IMPLEMENT_CLASS(TStringStream, TStream)

namespace {
[[noreturn]] void ReadError() { throw EReadError("Stream read error"); }
[[noreturn]] void WriteError() { throw EWriteError("Stream write error"); }

// New position for a stream of `size` bytes now at `pos`; negative for an unknown origin.
int64_t SeekTarget(int64_t pos, int64_t size, int64_t offset, int origin) {
    switch (origin) {
    case soFromBeginning: return offset;
    case soFromCurrent: return pos + offset;
    case soFromEnd: return size + offset;
    default: return -1;
    }
}
}  // namespace

// --- TStream ----------------------------------------------------------------------------------

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count) ReadError();
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count) WriteError();
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
    if (count < 0) ReadError();
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    constexpr int64_t BufSize = 64 * 1024;
    auto buffer = std::make_unique<std::byte[]>(size_t(std::min(count, BufSize)) + 1);
    for (int64_t left = count; left > 0;) {
        int64_t n = std::min(left, BufSize);
        source->ReadBuffer(buffer.get(), n);
        WriteBuffer(buffer.get(), n);
        left -= n;
    }
    return count;
}

// Asking a stream where it is does not change it, whatever Seek's signature says; streams
// that know their position answer it without seeking.
int64_t TStream::Position() const { return const_cast<TStream*>(this)->Seek(0, soFromCurrent); }

int64_t TStream::Size() const {
    auto* self = const_cast<TStream*>(this);
    int64_t pos = self->Seek(0, soFromCurrent);
    int64_t size = self->Seek(0, soFromEnd);
    self->Seek(pos, soFromBeginning);
    return size;
}

void TStream::SetSize(int64_t) { WriteError(); }

// --- THandleStream ----------------------------------------------------------------------------

int64_t THandleStream::Read(void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(FHandle, p + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return done > 0 ? done : -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
    int64_t done = 0;
    auto* p = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(FHandle, p + done, size_t(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return done > 0 ? done : -1;
        if (n == 0) break;
        done += n;
    }
    return done;
}

int64_t THandleStream::Seek(int64_t offset, int origin) {
    int whence = origin == soFromBeginning ? SEEK_SET
        : origin == soFromCurrent          ? SEEK_CUR
        : origin == soFromEnd              ? SEEK_END
                                           : -1;
    if (whence < 0) return -1;
    return ::lseek(FHandle, off_t(offset), whence);
}

void THandleStream::SetSize(int64_t newSize) {
    if (newSize < 0 || ::ftruncate(FHandle, off_t(newSize)) != 0) WriteError();
    if (Position() > newSize) Seek(0, soFromEnd);
}

// --- TFileStream ------------------------------------------------------------------------------

namespace {
// The lock an open must be able to take at all (a reader must not be denied reading by an
// exclusive holder, a writer must not be denied writing by any holder), and whether it keeps
// that lock for its share mode.
struct ShareLock {
    bool keep;
    int probe;
};

ShareLock LockFor(uint16_t mode) {
    bool create = mode == fmCreate;
    bool writes = create || (mode & 3) != fmOpenRead;
    int probe = writes ? LOCK_EX : LOCK_SH;
    uint16_t share = create ? fmShareCompat : uint16_t(mode & 0xF0);
    switch (share) {
    case fmShareExclusive:
    case fmShareDenyRead: return {true, LOCK_EX};
    case fmShareDenyWrite: return {true, probe};
    case fmShareDenyNone: return {false, probe};
    default: return {writes, probe};  // compat: writers keep others out
    }
}

std::string Reason(int err) { return std::strerror(err); }
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint16_t mode) : THandleStream(-1), FFileName(fileName) {
    bool create = mode == fmCreate;
    // A constructor that throws gets no destructor: on the way out by an error the guard
    // closes what was opened (and with it the lock).
    auto closeOnError = OnScopeExit([this] {
        if (FHandle >= 0) ::close(FHandle);
        FHandle = -1;
    });
    auto fail = [&](int err) {
        if (create) throw EFCreateError("Cannot create file \"" + fileName + "\". " + Reason(err));
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + Reason(err));
    };

    int flags = O_CLOEXEC;
    if (create) {
        flags |= O_RDWR | O_CREAT;  // truncated only once the lock is ours
    } else {
        switch (mode & 3) {
        case fmOpenRead: flags |= O_RDONLY; break;
        case fmOpenWrite: flags |= O_WRONLY; break;
        case fmOpenReadWrite: flags |= O_RDWR; break;
        default: fail(EINVAL);
        }
    }
    // Opened without blocking, so that a FIFO answers at once instead of waiting for a writer;
    // blocking is restored below once the file is known to be a regular one.
    FHandle = ::open(fileName.c_str(), flags | O_NONBLOCK, 0666);
    if (FHandle < 0) fail(errno);

    // open(2) succeeds on a folder for reading; a folder is not a file to stream.
    struct stat st {};
    if (::fstat(FHandle, &st) != 0) fail(errno);
    if (S_ISDIR(st.st_mode)) fail(EISDIR);
    // Sound: only regular files are streamed. A FIFO hung the reader, and a device such as
    // /dev/zero was read until memory ran out; both come from files sent from outside.
    if (!S_ISREG(st.st_mode)) throw EFOpenError("Soubor \"" + fileName + "\" nelze otevřít: není to obyčejný soubor.");
    if (const int fl = ::fcntl(FHandle, F_GETFL); fl < 0 || ::fcntl(FHandle, F_SETFL, fl & ~O_NONBLOCK) != 0)
        fail(errno);

    ShareLock lock = LockFor(mode);
    if (::flock(FHandle, lock.probe | LOCK_NB) != 0) fail(errno);
    if (!lock.keep) ::flock(FHandle, LOCK_UN);

    if (create && ::ftruncate(FHandle, 0) != 0) fail(errno);
    closeOnError.Release();
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);  // also drops the lock
}

// --- TCustomMemoryStream ----------------------------------------------------------------------

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || FPosition >= FSize) return 0;
    int64_t n = std::min(count, FSize - FPosition);
    std::memcpy(buffer, static_cast<const char*>(FMemory) + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TCustomMemoryStream::Write(const void*, int64_t) { return 0; }

// The class library let the position go negative, where every read and write then quietly
// did nothing; a target before the start is refused like a file refuses it.
int64_t TCustomMemoryStream::Seek(int64_t offset, int origin) {
    int64_t target = SeekTarget(FPosition, FSize, offset, origin);
    if (target < 0) return -1;
    FPosition = target;
    return FPosition;
}

void TCustomMemoryStream::SetSize(int64_t) { throw EWriteError("Stream write error"); }

void TCustomMemoryStream::SetPointer(const void* data, int64_t size) {
    FMemory = const_cast<void*>(data);  // never written through: Write and SetSize refuse
    FSize = size;
}

void TCustomMemoryStream::SaveToStream(TStream* stream) const {
    if (FSize != 0) stream->WriteBuffer(FMemory, FSize);
}

void TCustomMemoryStream::SaveToFile(const std::string& fileName) const {
    TFileStream file(fileName, fmCreate);
    SaveToStream(&file);
}

// --- TMemoryStream ----------------------------------------------------------------------------

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    int64_t end = FPosition + count;
    if (end > Size()) SetSize(end);
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

void TMemoryStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EWriteError("Stream write error");
    // The class library left grown memory uninitialised; zeros make the bytes defined.
    FData.resize(size_t(newSize), std::byte{0});
    SetMemory(FData.data(), newSize);
    if (FPosition > newSize) FPosition = newSize;
}

void TMemoryStream::Clear() {
    std::vector<std::byte>().swap(FData);
    SetMemory(nullptr, 0);
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
    stream->SetPosition(0);
    int64_t count = stream->Size();
    SetSize(count);
    if (count != 0) stream->ReadBuffer(FData.data(), count);
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&file);
}

// --- TStringStream ----------------------------------------------------------------------------

int64_t TStringStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || FPosition >= Size()) return 0;
    int64_t n = std::min(count, Size() - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

// The class library cut the string off after the bytes written; overwriting in place keeps
// what follows, as every other stream does.
int64_t TStringStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    int64_t end = FPosition + count;
    if (end > Size()) FData.resize(size_t(end), '\0');
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

int64_t TStringStream::Seek(int64_t offset, int origin) {
    int64_t target = SeekTarget(FPosition, Size(), offset, origin);
    if (target < 0) return -1;  // as for memory streams
    FPosition = target;
    return FPosition;
}

void TStringStream::SetSize(int64_t newSize) {
    if (newSize < 0) throw EWriteError("Stream write error");
    FData.resize(size_t(newSize), '\0');
    if (FPosition > newSize) FPosition = newSize;
}

// --- helpers ----------------------------------------------------------------------------------

std::string ReadFileHead(const std::string& fileName, size_t maxBytes) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    std::string head(maxBytes, '\0');
    int64_t n = file.Read(head.data(), int64_t(maxBytes));
    if (n < 0) ReadError();
    head.resize(size_t(n));
    return head;
}
