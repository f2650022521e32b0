#pragma once
// Streams of bytes with 64-bit positions: the abstract TStream, streams over a file
// descriptor or a named file, over memory (owned or a read-only view of foreign bytes) and
// over a std::string.
//
// Read and Write answer how many bytes they moved; ReadBuffer and WriteBuffer insist on the
// whole count and raise EReadError "Stream read error" / EWriteError "Stream write error".

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/classes/Object.h"

// Seek origins.
constexpr int soFromBeginning = 0;
constexpr int soFromCurrent = 1;
constexpr int soFromEnd = 2;

// TFileStream modes: one access mode or'ed with one share mode, or fmCreate alone.
constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

class TStream : public TObject {
    KAROMIL_CLASS(TStream, TObject)
public:
    // Bytes actually moved (0 at the end, for a negative count or where nothing can be
    // written); -1 when the system reports an error before any byte moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // The new position, or -1 when it is refused (before the start, an unknown origin, a
    // descriptor that cannot seek); the position is then unchanged. Beyond the end is fine.
    virtual int64_t Seek(int64_t offset, int origin) = 0;

    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies count bytes from source's position; count 0 copies the whole source from its
    // start. Answers the number copied.
    int64_t CopyFrom(TStream* source, int64_t count);

    virtual int64_t Position() const;
    void SetPosition(int64_t pos) { Seek(pos, soFromBeginning); }
    virtual int64_t Size() const;
    // Streams that cannot change their size raise EWriteError.
    virtual void SetSize(int64_t newSize);
};

// A stream over a file descriptor it does not close.
class THandleStream : public TStream {
    KAROMIL_CLASS(THandleStream, TStream)
public:
    explicit THandleStream(int handle) : FHandle(handle) {}
    int Handle() const noexcept { return FHandle; }

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    void SetSize(int64_t newSize) override;

protected:
    int FHandle;
};

// A named file. Share modes are advisory flock locks, honoured by every TFileStream (also
// in other processes): fmShareExclusive and fmShareDenyRead take an exclusive lock,
// fmShareDenyWrite a shared one for readers and an exclusive one for writers, fmShareCompat
// an exclusive one for writers; fmShareDenyNone keeps none. Every open first checks that no
// lock held by others denies its access, so a file read under fmShareDenyWrite cannot be
// replaced by fmCreate meanwhile. Errors: EFCreateError "Cannot create file "%s". %s" and
// EFOpenError "Cannot open file "%s". %s" with the system's reason. Only regular files are
// streamed: a folder, FIFO, socket or device is refused at once with EFOpenError.
class TFileStream : public THandleStream {
    KAROMIL_CLASS(TFileStream, THandleStream)
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;
    const std::string& FileName() const noexcept { return FFileName; }

private:
    std::string FFileName;
};

// A stream over a block of memory: reading, seeking and saving. SetPointer makes it a
// read-only view of bytes someone else owns and keeps alive.
class TCustomMemoryStream : public TStream {
    KAROMIL_CLASS(TCustomMemoryStream, TStream)
public:
    TCustomMemoryStream() = default;

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;  // a view writes nothing
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Position() const override { return FPosition; }
    int64_t Size() const override { return FSize; }
    void SetSize(int64_t newSize) override;  // a view raises EWriteError

    void SetPointer(const void* data, int64_t size);
    void* Memory() const noexcept { return FMemory; }
    void SaveToStream(TStream* stream) const;
    void SaveToFile(const std::string& fileName) const;

protected:
    // For descendants that own their memory.
    void SetMemory(void* data, int64_t size) noexcept {
        FMemory = data;
        FSize = size;
    }
    int64_t FPosition = 0;

private:
    void* FMemory = nullptr;
    int64_t FSize = 0;
};

// A growable memory stream that owns its bytes. Bytes that come into being without being
// written (SetSize, a write beyond the end) are zero.
class TMemoryStream : public TCustomMemoryStream {
    KAROMIL_CLASS(TMemoryStream, TCustomMemoryStream)
public:
    TMemoryStream() = default;

    int64_t Write(const void* buffer, int64_t count) override;
    void SetSize(int64_t newSize) override;
    void Clear();  // size and position 0, memory released

    // Replaces the contents by the whole of stream (read from its start) or of the file.
    void LoadFromStream(TStream* stream);
    void LoadFromFile(const std::string& fileName);

private:
    using TCustomMemoryStream::SetPointer;  // the bytes are always our own
    std::vector<std::byte> FData;
};

// A stream over a std::string, which may hold any bytes.
class TStringStream : public TStream {
    KAROMIL_CLASS(TStringStream, TStream)
public:
    explicit TStringStream(std::string data = {}) : FData(std::move(data)) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Position() const override { return FPosition; }
    int64_t Size() const override { return int64_t(FData.size()); }
    void SetSize(int64_t newSize) override;

    const std::string& DataString() const noexcept { return FData; }

private:
    std::string FData;
    int64_t FPosition = 0;
};

// The first maxBytes bytes of a file (fewer when it is shorter); EFOpenError when it cannot
// be opened.
std::string ReadFileHead(const std::string& fileName, size_t maxBytes);
