#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::string ReadAll(TStream& s) {
    std::string out(size_t(s.Size() - s.Position()), '\0');
    s.ReadBuffer(out.data(), int64_t(out.size()));
    return out;
}

std::string Slurp(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& name, const std::string& data) { std::ofstream(name, std::ios::binary) << data; }

class StreamFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/karomil-streams-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        Dir = pattern;
    }
    void TearDown() override { std::system(("rm -rf '" + Dir + "'").c_str()); }
    std::string Dir;
};

}  // namespace

TEST(Streams, ClassNamesAreVisibleToScripts) {
    TMemoryStream m;
    TStringStream s;
    EXPECT_EQ(m.ClassName(), "TMemoryStream");
    EXPECT_TRUE(m.InheritsFrom(TStream::StaticClass()));
    EXPECT_EQ(s.ClassName(), "TStringStream");
    EXPECT_EQ(TFileStream::StaticClass()->ClassParent()->ClassName(), "THandleStream");
}

// The same seek rules for every in-memory stream: a 10-byte stream positioned at 4.
TEST(Streams, SeekFromEachOrigin) {
    struct Case {
        int64_t offset;
        int origin;
        int64_t expected;  // -1: refused, position stays 4
    };
    const Case cases[] = {
        {3, soFromBeginning, 3},
        {0, soFromBeginning, 0},
        {3, soFromCurrent, 7},
        {-4, soFromCurrent, 0},
        {-2, soFromEnd, 8},
        {0, soFromEnd, 10},
        {5, soFromEnd, 15},  // beyond the end is allowed
        {-1, soFromBeginning, -1},
        {-5, soFromCurrent, -1},
        {-11, soFromEnd, -1},
        {0, 3, -1},
        {int64_t(1) << 40, soFromBeginning, int64_t(1) << 40},
    };
    const std::function<std::unique_ptr<TStream>()> makers[] = {
        [] {
            auto m = std::make_unique<TMemoryStream>();
            m->WriteBuffer("0123456789", 10);
            return std::unique_ptr<TStream>(std::move(m));
        },
        [] { return std::unique_ptr<TStream>(std::make_unique<TStringStream>("0123456789")); },
    };
    for (const auto& make : makers) {
        for (const Case& c : cases) {
            auto s = make();
            SCOPED_TRACE(s->ClassName() + " " + std::to_string(c.offset) + "/" + std::to_string(c.origin));
            s->SetPosition(4);
            EXPECT_EQ(s->Seek(c.offset, c.origin), c.expected);
            EXPECT_EQ(s->Position(), c.expected < 0 ? 4 : c.expected);
            EXPECT_EQ(s->Size(), 10);
        }
    }
}

TEST(Streams, ReadingAtAndPastTheEnd) {
    TStringStream s("abcdef");
    char buf[16] = {};
    s.SetPosition(4);
    EXPECT_EQ(s.Read(buf, 10), 2);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 10), 0);
    s.SetPosition(100);
    EXPECT_EQ(s.Read(buf, 1), 0);
    s.SetPosition(0);
    EXPECT_EQ(s.Read(buf, -3), 0);
    EXPECT_EQ(s.Read(buf, 0), 0);
    EXPECT_EQ(s.Position(), 0);

    s.SetPosition(3);
    try {
        s.ReadBuffer(buf, 4);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Stream read error");
    }
    s.SetPosition(6);
    EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
}

// The class library left the bytes between the old end and a write beyond it undefined.
TEST(Streams, MemoryStreamFillsGapsWithZeros) {
    TMemoryStream m;
    m.WriteBuffer("ab", 2);
    m.SetPosition(5);
    m.WriteBuffer("z", 1);
    EXPECT_EQ(m.Size(), 6);
    EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 6), std::string("ab\0\0\0z", 6));

    m.SetSize(9);
    EXPECT_EQ(std::string(static_cast<char*>(m.Memory()) + 6, 3), std::string(3, '\0'));
    EXPECT_EQ(m.Position(), 6);
    m.SetSize(3);  // shrinking pulls the position back to the end
    EXPECT_EQ(m.Position(), 3);
    EXPECT_THROW(m.SetSize(-1), EWriteError);

    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
    EXPECT_EQ(m.Memory(), nullptr);
}

// The class library cut the string off after the bytes written.
TEST(Streams, StringStreamOverwritesInPlace) {
    TStringStream s("Karomil");
    s.SetPosition(1);
    s.WriteBuffer("AR", 2);
    EXPECT_EQ(s.DataString(), "KARomil");
    s.Seek(2, soFromEnd);
    s.WriteBuffer("!", 1);
    EXPECT_EQ(s.DataString(), std::string("KARomil\0\0!", 10));
    s.SetSize(3);
    EXPECT_EQ(s.DataString(), "KAR");
    EXPECT_EQ(s.Position(), 3);
    EXPECT_EQ(s.Write("x", -1), 0);
}

TEST(Streams, ReadOnlyViewOverForeignBytes) {
    const std::string bytes("view\0data", 9);
    TCustomMemoryStream view;
    view.SetPointer(bytes.data(), int64_t(bytes.size()));
    EXPECT_EQ(ReadAll(view), bytes);
    view.SetPosition(0);
    EXPECT_EQ(view.Write("x", 1), 0);
    EXPECT_THROW(view.WriteBuffer("x", 1), EWriteError);
    EXPECT_THROW(view.SetSize(2), EWriteError);
    EXPECT_EQ(bytes, std::string("view\0data", 9));

    TStringStream copy;
    view.SaveToStream(&copy);
    EXPECT_EQ(copy.DataString(), bytes);
}

TEST(Streams, CopyFrom) {
    std::string big(200 * 1024 + 7, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 31 % 251);
    struct Case {
        const char* name;
        int64_t start, count, copied;
        size_t from, length;  // the part of `big` expected in the target
    };
    const Case cases[] = {
        {"all, from the start whatever the position", 1000, 0, int64_t(big.size()), 0, big.size()},
        {"part from the position", 1000, 70000, 70000, 1000, 70000},
        {"up to the end exactly", 7, int64_t(big.size()) - 7, int64_t(big.size()) - 7, 7, big.size() - 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringStream source(big);
        source.SetPosition(c.start);
        TMemoryStream target;
        EXPECT_EQ(target.CopyFrom(&source, c.count), c.copied);
        EXPECT_EQ(
            std::string(static_cast<char*>(target.Memory()), size_t(target.Size())), big.substr(c.from, c.length));
    }
    TStringStream source("short");
    TMemoryStream target;
    source.SetPosition(2);
    EXPECT_THROW(target.CopyFrom(&source, 4), EReadError);
    EXPECT_THROW(target.CopyFrom(&source, -1), EReadError);
}

TEST(Streams, MemoryStreamLoadsWholeSourceFromItsStart) {
    TStringStream source("0123456789");
    source.SetPosition(8);
    TMemoryStream m;
    m.WriteBuffer("old old old old", 15);
    m.SetPosition(3);
    m.LoadFromStream(&source);
    EXPECT_EQ(m.Size(), 10);
    EXPECT_EQ(m.Position(), 3);
    m.SetPosition(0);
    EXPECT_EQ(ReadAll(m), "0123456789");
}

TEST(Streams, HandleStreamOverAPipeCannotSeek) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    {
        THandleStream writer(fds[1]), reader(fds[0]);
        writer.WriteBuffer("pipe", 4);
        char buf[4];
        reader.ReadBuffer(buf, 4);
        EXPECT_EQ(std::string(buf, 4), "pipe");
        EXPECT_EQ(reader.Seek(0, soFromBeginning), -1);
    }
    // The handle stream does not own the descriptors.
    EXPECT_EQ(close(fds[0]), 0);
    EXPECT_EQ(close(fds[1]), 0);
}

// --- files ------------------------------------------------------------------------------------

TEST_F(StreamFiles, CreateWriteReopenRead) {
    std::string name = Dir + "/data.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello world", 11);
        EXPECT_EQ(f.Size(), 11);
        f.SetPosition(6);
        char buf[5];
        f.ReadBuffer(buf, 5);  // fmCreate opens for reading too
        EXPECT_EQ(std::string(buf, 5), "world");
        EXPECT_EQ(f.FileName(), name);
    }
    {
        TFileStream f(name, fmOpenReadWrite);
        f.Seek(-5, soFromEnd);
        f.WriteBuffer("WORLD", 5);
        f.SetSize(5);
        EXPECT_EQ(f.Position(), 5);
    }
    {
        TFileStream f(name, fmOpenRead);
        EXPECT_EQ(ReadAll(f), "hello");
        EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
    }
    {
        TFileStream f(name, fmCreate);  // create truncates
        EXPECT_EQ(f.Size(), 0);
    }
}

TEST_F(StreamFiles, OpenErrorsCarryTheSystemReason) {
    mkdir((Dir + "/sub").c_str(), 0700);
    struct Case {
        std::string name;
        uint16_t mode;
        bool create;  // EFCreateError rather than EFOpenError
        const char* reason;
    };
    const Case cases[] = {
        {Dir + "/missing.txt", fmOpenRead, false, "No such file or directory"},
        {Dir + "/missing.txt", fmOpenReadWrite | fmShareDenyWrite, false, "No such file or directory"},
        {Dir + "/no/such.txt", fmCreate, true, "No such file or directory"},
        {Dir + "/sub", fmOpenRead, false, "Is a directory"},
        {Dir + "/sub", fmCreate, true, "Is a directory"},
        {Dir + "/sub/x", 3, false, "Invalid argument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " " + std::to_string(c.mode));
        std::string expected = std::string(c.create ? "Cannot create file \"" : "Cannot open file \"") + c.name +
            "\". " + c.reason;
        try {
            TFileStream f(c.name, c.mode);
            ADD_FAILURE() << "opened";
        } catch (const EFCreateError& e) {
            EXPECT_TRUE(c.create);
            EXPECT_EQ(e.Message(), expected);
        } catch (const EFOpenError& e) {
            EXPECT_FALSE(c.create);
            EXPECT_EQ(e.Message(), expected);
        }
    }
}

TEST_F(StreamFiles, ShareModesKeepOtherOpensOut) {
    struct Case {
        const char* name;
        uint16_t first, second;
        bool secondOpens;
    };
    const Case cases[] = {
        {"two readers denying writes", fmOpenRead | fmShareDenyWrite, fmOpenRead | fmShareDenyWrite, true},
        {"reader denying writes, then create", fmOpenRead | fmShareDenyWrite, fmCreate, false},
        {"reader denying writes, then writer", fmOpenRead | fmShareDenyWrite, fmOpenWrite | fmShareDenyNone, false},
        {"reader denying nothing, then create", fmOpenRead | fmShareDenyNone, fmCreate, true},
        {"plain reader, then writer", fmOpenRead, fmOpenReadWrite | fmShareDenyNone, true},
        {"exclusive, then reader", fmOpenRead | fmShareExclusive, fmOpenRead | fmShareDenyNone, false},
        {"denying reads, then reader", fmOpenReadWrite | fmShareDenyRead, fmOpenRead, false},
        {"create, then reader denying writes", fmCreate, fmOpenRead | fmShareDenyWrite, false},
        {"writer denying nothing, then writer", fmOpenWrite | fmShareDenyNone, fmOpenWrite | fmShareDenyNone, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string name = Dir + "/shared.txt";
        WriteFile(name, "content");
        auto first = std::make_unique<TFileStream>(name, c.first);
        bool opened = true;
        try {
            TFileStream second(name, c.second);
        } catch (const EStreamError& e) {
            opened = false;
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos);
        }
        EXPECT_EQ(opened, c.secondOpens);
        if (!opened && c.first != fmCreate) {
            EXPECT_EQ(Slurp(name), "content");  // a refused create truncates nothing
        }
        first.reset();
        EXPECT_NO_THROW(TFileStream(name, c.second));  // free again once the first one closed
    }
}

TEST_F(StreamFiles, OffsetsBeyondFourGiBInASparseFile) {
    std::string name = Dir + "/sparse.bin";
    const int64_t offsets[] = {(int64_t(1) << 31) + 1, (int64_t(1) << 32) + 5};
    {
        TFileStream f(name, fmCreate);
        for (int64_t at : offsets) {
            EXPECT_EQ(f.Seek(at, soFromBeginning), at);
            f.WriteBuffer("abc", 3);
        }
        EXPECT_EQ(f.Size(), offsets[1] + 3);
    }
    {
        TFileStream f(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(f.Size(), offsets[1] + 3);
        for (int64_t at : offsets) {
            f.SetPosition(at);
            char buf[3];
            f.ReadBuffer(buf, 3);
            EXPECT_EQ(std::string(buf, 3), "abc");
            EXPECT_EQ(f.Position(), at + 3);
        }
        EXPECT_EQ(f.Seek(-3, soFromEnd), offsets[1]);
        EXPECT_EQ(f.Seek(-1, soFromBeginning), -1);
        EXPECT_EQ(f.Position(), offsets[1]);
    }
    EXPECT_EQ(unlink(name.c_str()), 0);
}

TEST_F(StreamFiles, MemoryStreamFileRoundTrip) {
    std::string name = Dir + "/memory.bin";
    TMemoryStream m;
    m.WriteBuffer("\0\1\2binary", 9);
    m.SaveToFile(name);
    EXPECT_EQ(Slurp(name), std::string("\0\1\2binary", 9));
    TMemoryStream loaded;
    loaded.LoadFromFile(name);
    EXPECT_EQ(std::string(static_cast<char*>(loaded.Memory()), size_t(loaded.Size())), std::string("\0\1\2binary", 9));
    EXPECT_THROW(loaded.LoadFromFile(Dir + "/missing"), EFOpenError);
    EXPECT_EQ(loaded.Size(), 9);
}

TEST_F(StreamFiles, ReadFileHead) {
    std::string name = Dir + "/head.txt";
    WriteFile(name, "KAROMIL-DATA v1 and more");
    EXPECT_EQ(ReadFileHead(name, 12), "KAROMIL-DATA");
    EXPECT_EQ(ReadFileHead(name, 160), "KAROMIL-DATA v1 and more");
    EXPECT_EQ(ReadFileHead(name, 0), "");
    EXPECT_THROW(ReadFileHead(Dir + "/missing", 160), EFOpenError);
}
