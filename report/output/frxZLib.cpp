// Deflate stream over zlib.

#include "report/output/frxZLib.h"

#include "platform/rtl/ScopeGuard.h"

KAROMIL_IMPLEMENT_CLASS(TCustomZStream, TStream)
KAROMIL_IMPLEMENT_CLASS(TZCompressionStream, TCustomZStream)

namespace {
constexpr const char* kInvalidOperation = "Invalid ZStream operation!";
constexpr int kLevels[] = {0, 1, -1, 9};  // zcNone, zcFastest, zcDefault, zcMax
}  // namespace

const char* ZLibErrorText(int code) noexcept { return zError(code); }

int ZCompressCheck(int code) {
    if (code < 0) throw EZCompressionError(ZLibErrorText(code));
    return code;
}

TCustomZStream::TCustomZStream(TStream* target) : FTarget(target), FTargetPos(target->Position()) {
    FZ.next_out = FBuffer;
    FZ.avail_out = BufferSize;
}

void TCustomZStream::Progress() {
    if (OnProgress) OnProgress(this);
}

TZCompressionStream::TZCompressionStream(TCompressionLevel level, TStream* target) : TCustomZStream(target) {
    ZCompressCheck(deflateInit(&FZ, kLevels[level]));
    FInitialised = true;
}

TZCompressionStream::~TZCompressionStream() {
    try {
        Finish();
    } catch (...) {
        // A destructor cannot raise: a caller that needs to know the outcome calls Finish
        // first. Here only zlib's memory is released below.
    }
    if (FInitialised) deflateEnd(&FZ);
}

void TZCompressionStream::RestoreTargetPos() {
    if (FTarget->Position() != FTargetPos) FTarget->SetPosition(FTargetPos);
}

void TZCompressionStream::FlushBuffer(int64_t count) {
    if (count > 0) FTarget->WriteBuffer(FBuffer, count);
    FZ.next_out = FBuffer;
    FZ.avail_out = BufferSize;
    FTargetPos = FTarget->Position();
}

int64_t TZCompressionStream::Read(void*, int64_t) { throw EZCompressionError(kInvalidOperation); }

int64_t TZCompressionStream::Write(const void* buffer, int64_t count) {
    if (FFinished) throw EZCompressionError(kInvalidOperation);
    FZ.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
    FZ.avail_in = uInt(count);
    RestoreTargetPos();
    while (FZ.avail_in > 0) {
        ZCompressCheck(deflate(&FZ, Z_NO_FLUSH));
        if (FZ.avail_out == 0) {
            FlushBuffer(BufferSize);
            Progress();
        }
    }
    return count;
}

int64_t TZCompressionStream::Seek(int64_t offset, int origin) {
    if (offset == 0 && origin == soFromCurrent) return int64_t(FZ.total_in);
    throw EZCompressionError(kInvalidOperation);
}

void TZCompressionStream::Finish() {
    if (FFinished || !FInitialised) return;
    FFinished = true;  // a failure here is not retried by the destructor
    FZ.next_in = nullptr;
    FZ.avail_in = 0;
    RestoreTargetPos();
    while (ZCompressCheck(deflate(&FZ, Z_FINISH)) != Z_STREAM_END) FlushBuffer(BufferSize - FZ.avail_out);
    FlushBuffer(BufferSize - FZ.avail_out);
}

void frxCompressStream(TStream* source, TStream* dest, TCompressionLevel level) {
    TZCompressionStream z(level, dest);
    z.CopyFrom(source, 0);
    z.Finish();
}
