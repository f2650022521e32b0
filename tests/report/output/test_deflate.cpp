// The deflate stream: round trips through inflate, the 64 KB pieces, a moved target, the
// refused operations and zlib's errors as exceptions.

#include <gtest/gtest.h>

#include <random>

#include "report/output/frxZLib.h"
#include "tests/report/output/PdfTestUtil.h"

namespace {
std::string Noise(size_t n) {
    std::mt19937 rng(7);
    std::string s(n, '\0');
    for (char& c : s) c = char(rng());
    return s;
}
}  // namespace

TEST(Deflate, RoundTripsAndEmptyStreamIsValid) {
    for (const std::string& text : {std::string(), std::string("Vysvědčení 1. pololetí"), std::string(300000, 'x')}) {
        TStringStream target;
        {
            TZCompressionStream z(zcMax, &target);
            z.WriteBuffer(text.data(), int64_t(text.size()));
        }
        ASSERT_FALSE(target.DataString().empty());
        EXPECT_EQ(uint8_t(target.DataString()[0]), 0x78);  // zlib header, not raw deflate
        EXPECT_EQ(pdftest::Inflate(target.DataString()), text);
    }
}

TEST(Deflate, LargeOutputReachesTargetInWholePieces) {
    const std::string text = Noise(200000);  // incompressible: about 200 KB of output
    TStringStream target;
    int progress = 0;
    std::vector<int64_t> sizes;
    {
        TZCompressionStream z(zcMax, &target);
        z.OnProgress = [&](TObject* sender) {
            EXPECT_EQ(sender, &z);
            ++progress;
            sizes.push_back(target.Size());
        };
        z.WriteBuffer(text.data(), int64_t(text.size()));
        z.Finish();
    }
    ASSERT_EQ(progress, 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(sizes[size_t(i)], int64_t(i + 1) * 65536);
    EXPECT_GT(target.Size(), 3 * 65536);
    EXPECT_EQ(pdftest::Inflate(target.DataString()), text);
}

TEST(Deflate, MovedTargetContinuesAtRememberedPosition) {
    TStringStream target(std::string("HEAD"));
    target.Seek(0, soFromEnd);
    {
        TZCompressionStream z(zcDefault, &target);
        z.WriteBuffer("abc", 3);
        target.SetPosition(0);  // someone else moves the target between writes
        z.WriteBuffer("def", 3);
        target.SetPosition(1);
    }
    ASSERT_EQ(target.DataString().substr(0, 4), "HEAD");
    EXPECT_EQ(pdftest::Inflate(target.DataString().substr(4)), "abcdef");
}

TEST(Deflate, SeekAndReadRules) {
    TStringStream target;
    TZCompressionStream z(zcFastest, &target);
    const std::string text(1000, 'a');
    z.WriteBuffer(text.data(), 1000);
    EXPECT_EQ(z.Seek(0, soFromCurrent), 1000);
    char buf[4];
    struct Case {
        int64_t offset;
        int origin;
    };
    for (Case c : {Case{10, soFromCurrent}, Case{0, soFromBeginning}, Case{0, soFromEnd}}) {
        try {
            z.Seek(c.offset, c.origin);
            ADD_FAILURE() << "seek " << c.offset << " from " << c.origin << " accepted";
        } catch (const EZCompressionError& e) {
            EXPECT_STREQ(e.what(), "Invalid ZStream operation!");
        }
    }
    EXPECT_THROW(z.Read(buf, 4), EZCompressionError);
}

TEST(Deflate, ZlibErrorsRaiseWithZlibText) {
    struct Case {
        int code;
        const char* text;
    };
    for (Case c : {Case{Z_STREAM_ERROR, "stream error"}, Case{Z_DATA_ERROR, "data error"},
             Case{Z_MEM_ERROR, "insufficient memory"}, Case{Z_BUF_ERROR, "buffer error"},
             Case{Z_VERSION_ERROR, "incompatible version"}}) {
        try {
            ZCompressCheck(c.code);
            ADD_FAILURE() << c.code;
        } catch (const EZLibError& e) {
            EXPECT_STREQ(e.what(), c.text);
            EXPECT_STREQ(e.ClassName(), "EZCompressionError");
        }
    }
    EXPECT_EQ(ZCompressCheck(Z_STREAM_END), Z_STREAM_END);
}

namespace {
// A target that refuses every write.
class TFullStream : public TStringStream {
public:
    int64_t Write(const void*, int64_t) override { return 0; }
};
}  // namespace

TEST(Deflate, FailingTargetRaisesAndCompressStreamReports) {
    const std::string text = Noise(70000);
    TStringStream source(text);
    TFullStream full;
    EXPECT_THROW(frxCompressStream(&source, &full, zcMax), EWriteError);
    // A whole stream compressed through the routine.
    TStringStream dest;
    frxCompressStream(&source, &dest, zcMax);
    EXPECT_EQ(pdftest::Inflate(dest.DataString()), text);
}
