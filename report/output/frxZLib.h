#pragma once
// A write-only stream that deflates everything written to it (zlib stream format) and passes
// the compressed bytes on to a target stream, and a routine that compresses a whole stream.
// The PDF writer uses it for page contents and embedded font programs. There is no reading
// side: the program only ever compresses.
//
// Output collects in a 64 KB buffer inside the object and reaches the target in whole-buffer
// writes and one final partial write, so writing allocates nothing. The compressed stream is
// complete once the object is destroyed.

#include <cstdint>
#include <functional>

#include <zlib.h>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"

KAROMIL_DECLARE_EXCEPTION(EZLibError, Exception)
KAROMIL_DECLARE_EXCEPTION(EZCompressionError, EZLibError)

enum TCompressionLevel { zcNone, zcFastest, zcDefault, zcMax };

class TCustomZStream : public TStream {
    KAROMIL_CLASS(TCustomZStream, TStream)
public:
    static constexpr int BufferSize = 0x10000;
    std::function<void(TObject* sender)> OnProgress;

protected:
    explicit TCustomZStream(TStream* target);
    virtual void Progress();

    TStream* FTarget;  // not owned
    int64_t FTargetPos;  // where the target stood after our last write
    z_stream FZ{};
    unsigned char FBuffer[BufferSize];
};

class TZCompressionStream : public TCustomZStream {
    KAROMIL_CLASS(TZCompressionStream, TCustomZStream)
public:
    // Raises EZCompressionError when zlib cannot start.
    TZCompressionStream(TCompressionLevel level, TStream* target);
    // Finishes the zlib stream into the target; deflateEnd runs on every path. A failure
    // while finishing cannot leave a destructor: call Finish first to see it.
    ~TZCompressionStream() override;

    int64_t Read(void* buffer, int64_t count) override;  // always raises
    int64_t Write(const void* buffer, int64_t count) override;
    // Only (0, soFromCurrent): the number of bytes taken in so far; anything else raises.
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Position() const override { return int64_t(FZ.total_in); }
    int64_t Size() const override { return int64_t(FZ.total_in); }

    // Writes the end of the zlib stream now and reports a failure (the destructor then only
    // releases zlib). Calling it twice is harmless.
    void Finish();

private:
    void RestoreTargetPos();
    void FlushBuffer(int64_t count);
    bool FInitialised = false;
    bool FFinished = false;
};

// zlib's text for a (negative) result code, and the check every call goes through: a
// negative code raises EZCompressionError with that text.
const char* ZLibErrorText(int code) noexcept;
int ZCompressCheck(int code);

// Compresses the whole of source (from its start) into dest, which then holds the complete
// compressed data.
void frxCompressStream(TStream* source, TStream* dest, TCompressionLevel level);
