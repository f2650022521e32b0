#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <string>

#include <sys/stat.h>

#include "platform/rtl/SysUtils.h"

namespace {

namespace fs = std::filesystem;

// --- integers ---------------------------------------------------------------------------------

TEST(StrToInt, AcceptsTheClassLibrarySyntax) {
    struct Case {
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"123", 123},
        {"   42", 42},
        {"+7", 7},
        {"-7", -7},
        {"007", 7},
        {"$FF", 255},
        {"$ff", 255},
        {"0x1A", 26},
        {"0X1a", 26},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"$80000000", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.expected) << c.text;
}

TEST(StrToInt, RejectsEverythingElseWithTheClassLibraryText) {
    const char* bad[] = {"", " ", "-", "+", "$", "0x", "2147483648", "-2147483649", "12 ", "1a", "$G", "\t1",
        "$100000000", "1.0", "1,0", "--1", "١٢", "1e3"};
    for (const char* text : bad) {
        int32_t v = 99;
        EXPECT_FALSE(TryStrToInt(text, v)) << text;
        EXPECT_EQ(v, 99);
        EXPECT_EQ(StrToIntDef(text, -5), -5) << text;
        try {
            StrToInt(text);
            ADD_FAILURE() << "no error for '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(StrToInt64, UsesTheFullWidth) {
    struct Case {
        const char* text;
        bool ok;
        int64_t expected;
    };
    const Case cases[] = {
        {"9223372036854775807", true, INT64_MAX},
        {"-9223372036854775808", true, INT64_MIN},
        {"9223372036854775808", false, 0},
        {"$FFFFFFFFFFFFFFFF", true, -1},
        {"$FFFFFFFF", true, 0xFFFFFFFF},
        {"$10000000000000000", false, 0},
        {"  -12", true, -12},
        {"x", false, 0},
    };
    for (const auto& c : cases) {
        int64_t v = 0;
        EXPECT_EQ(TryStrToInt64(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.expected) << c.text;
        } else EXPECT_THROW(StrToInt64(c.text), EConvertError);
    }
    EXPECT_EQ(IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(IntToStr(0), "0");
}

// --- rounding ---------------------------------------------------------------------------------

TEST(Rounding, RoundHalvesToEvenTruncTowardZero) {
    struct Case {
        double v;
        int64_t round, trunc;
    };
    const Case cases[] = {
        {0.5, 0, 0},
        {1.5, 2, 1},
        {2.5, 2, 2},
        {3.5, 4, 3},
        {-0.5, 0, 0},
        {-1.5, -2, -1},
        {-2.5, -2, -2},
        {2.4999999, 2, 2},
        {2.5000001, 3, 2},
        {-2.9, -3, -2},
        {0.0, 0, 0},
        {1e15 + 0.5, 1000000000000000, 1000000000000000},
        {4503599627370497.0, 4503599627370497, 4503599627370497},
        {-9223372036854775808.0, INT64_MIN, INT64_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.v), c.round) << c.v;
        EXPECT_EQ(Trunc(c.v), c.trunc) << c.v;
    }
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::nan(""), inf, -inf, 9223372036854775808.0, -9.3e18}) {
        EXPECT_THROW(Round(bad), EInvalidOp) << bad;
        EXPECT_THROW(Trunc(bad), EInvalidOp) << bad;
    }
}

TEST(Rounding, IntAndFracKeepTheSign) {
    EXPECT_EQ(Int(-2.75), -2.0);
    EXPECT_EQ(Frac(-2.75), -0.75);
    EXPECT_EQ(Int(2.75), 2.0);
    EXPECT_EQ(Frac(2.75), 0.75);
    EXPECT_EQ(Frac(5.0), 0.0);
}

TEST(Rounding, RoundToDigits) {
    struct Case {
        double v;
        int digit;
        double expected;
    };
    const Case cases[] = {
        {1234567, 3, 1235000},
        {1234450, 2, 1234400},
        {1234550, 2, 1234600},
        {2.5, 0, 2},
        {3.5, 0, 4},
        {-1.5, 0, -2},
        {1.149, -2, 1.15},  // the nearest double to 1.15, not 115 * 0.01
        {0.125, -2, 0.12},
        {0.375, -2, 0.38},
        {-0.125, -2, -0.12},
        {12.3456, -3, 12.346},
    };
    for (const auto& c : cases) EXPECT_EQ(RoundTo(c.v, c.digit), c.expected) << c.v << " @ " << c.digit;
}

TEST(MulDiv, RoundsHalvesAwayFromZeroAndFlagsFailures) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {10, 3, 4, 8},
        {-10, 3, 4, -8},
        {10, -3, 4, -8},
        {10, 3, -4, -8},
        {-10, 3, -4, 8},
        {7, 1, 2, 4},
        {-7, 1, 2, -4},
        {5, 1, 3, 2},
        {4, 1, 3, 1},
        {-12, 96, 72, -16},
        {10, 96, 72, 13},
        {INT_MAX, 2, 2, INT_MAX},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},  // needs the 64-bit product
        {1, 1, 0, -1},
        {0, 5, 0, -1},
        {INT_MAX, INT_MAX, 1, -1},  // does not fit
        {INT_MIN, 1, -1, -1},
        {INT_MIN, 1, 1, INT_MIN},
        {0, 7, 3, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

// --- GUIDs ------------------------------------------------------------------------------------

TEST(Guid, RoundTripsAndRejectsMalformedText) {
    const TGUID g = StringToGUID("{6f9619ff-8b86-d011-b42d-00c04fc964ff}");
    EXPECT_EQ(g.D1, 0x6F9619FFu);
    EXPECT_EQ(g.D2, 0x8B86u);
    EXPECT_EQ(g.D3, 0xD011u);
    EXPECT_EQ(g.D4[0], 0xB4);
    EXPECT_EQ(g.D4[7], 0xFF);
    EXPECT_EQ(GUIDToString(g), "{6F9619FF-8B86-D011-B42D-00C04FC964FF}");
    EXPECT_TRUE(IsEqualGUID(g, StringToGUID(GUIDToString(g))));
    EXPECT_FALSE(IsNullGUID(g));
    EXPECT_TRUE(IsNullGUID(StringToGUID("{00000000-0000-0000-0000-000000000000}")));
    EXPECT_EQ(GUIDToString(TGUID{}), "{00000000-0000-0000-0000-000000000000}");

    const char* bad[] = {
        "",
        "6F9619FF-8B86-D011-B42D-00C04FC964FF",
        "{6F9619FF-8B86-D011-B42D-00C04FC964F}",
        "{6F9619FF-8B86-D011-B42D-00C04FC964FFF}",
        "{6F9619FF-8B86-D011-B42D-00C04FC964FG}",
        "{6F9619FF8-B86-D011-B42D-00C04FC964FF}",
        "(6F9619FF-8B86-D011-B42D-00C04FC964FF)",
    };
    for (const char* text : bad) {
        try {
            StringToGUID(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid GUID value");
        }
    }
}

// --- paths ------------------------------------------------------------------------------------

TEST(Paths, NameParts) {
    struct Case {
        const char* path;
        const char* name;
        const char* dir;
        const char* ext;
        const char* changed;
    };
    const Case cases[] = {
        {"/home/u/vys.mdb", "vys.mdb", "/home/u/", ".mdb", "/home/u/vys.bak"},
        {"vys.mdb", "vys.mdb", "", ".mdb", "vys.bak"},
        {"/a.b/noext", "noext", "/a.b/", "", "/a.b/noext.bak"},
        {"arch.tar.gz", "arch.tar.gz", "", ".gz", "arch.tar.bak"},
        {"/x/.profile", ".profile", "/x/", ".profile", "/x/.bak"},
        {"/dir/", "", "/dir/", "", "/dir/.bak"},
        {"šablony/vysvědčení.fr3", "vysvědčení.fr3", "šablony/", ".fr3", "šablony/vysvědčení.bak"},
        {"", "", "", "", ".bak"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(ExtractFilePath(c.path), c.dir) << c.path;
        EXPECT_EQ(ExtractFileExt(c.path), c.ext) << c.path;
        EXPECT_EQ(ChangeFileExt(c.path, ".bak"), c.changed) << c.path;
    }
    EXPECT_EQ(ChangeFileExt("a.txt", ""), "a");
}

TEST(Paths, TrailingDelimiterAndExpansion) {
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/"), "/tmp/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");  // stays relative, never the root
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
    EXPECT_EQ(ExpandFileName("x.txt"), (fs::current_path() / "x.txt").string());
    const std::string dir = ProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(DirectoryExists(dir));
}

TEST(Paths, TempDirFollowsTmpdir) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(GetTempDir(), "/var/tmp/");
    setenv("TMPDIR", "", 1);
    EXPECT_EQ(GetTempDir(), "/tmp/");
    if (old) setenv("TMPDIR", saved.c_str(), 1);
    else unsetenv("TMPDIR");
}

// --- files ------------------------------------------------------------------------------------

class Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "karomil-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        FDir = templ;
    }
    void TearDown() override { fs::remove_all(FDir); }
    std::string Path(const std::string& name) const { return FDir + "/" + name; }
    static void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

    std::string FDir;
};

TEST_F(Files, CreateTempFileMakesUniquePrivateEmptyFiles) {
    std::set<std::string> names;
    for (int i = 0; i < 5; ++i) {
        const std::string name = CreateTempFile(FDir, "fr");
        names.insert(name);
        EXPECT_EQ(ExtractFilePath(name), FDir + "/");
        EXPECT_EQ(ExtractFileName(name).substr(0, 2), "fr");
        EXPECT_EQ(ExtractFileName(name).size(), 8u);
        struct stat st;
        ASSERT_EQ(stat(name.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(st.st_size, 0);
    }
    EXPECT_EQ(names.size(), 5u);
}

TEST_F(Files, CreateTempFileKeepsALongFolderWhole) {
    const std::string deep = Path(std::string(70, 'd') + "/" + std::string(70, 'e'));
    fs::create_directories(deep);
    const std::string name = CreateTempFile(deep + "/", "fr");
    EXPECT_EQ(ExtractFilePath(name), deep + "/");
    EXPECT_TRUE(FileExists(name));
    EXPECT_THROW(CreateTempFile(Path("missing"), "fr"), EFCreateError);
}

TEST_F(Files, ExistsDeleteRename) {
    const std::string a = Path("a.txt"), b = Path("b.txt");
    Write(a, "A");
    EXPECT_TRUE(FileExists(a));
    EXPECT_FALSE(DirectoryExists(a));
    EXPECT_FALSE(FileExists(FDir));
    EXPECT_TRUE(DirectoryExists(FDir));
    EXPECT_FALSE(FileExists(""));

    EXPECT_TRUE(RenameFile(a, b));
    EXPECT_FALSE(FileExists(a));
    Write(a, "new");
    EXPECT_FALSE(RenameFile(a, b));  // never replaces an existing file
    EXPECT_TRUE(FileExists(a));
    std::ifstream in(b);
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "A");

    EXPECT_TRUE(DeleteFile(a));
    EXPECT_FALSE(DeleteFile(a));
    EXPECT_FALSE(DeleteFile(FDir));  // not for folders
}

TEST_F(Files, CurrentDirectory) {
    const std::string before = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(FDir));
    EXPECT_TRUE(fs::equivalent(GetCurrentDir(), FDir));
    EXPECT_EQ(ExpandFileName("x"), (fs::path(GetCurrentDir()) / "x").string());
    EXPECT_FALSE(SetCurrentDir(Path("missing")));
    ASSERT_TRUE(SetCurrentDir(before));
}

// --- random, ticks ----------------------------------------------------------------------------

TEST(Random, SeededSequencesRepeatAndStayInRange) {
    RandSeed(1234);
    const double first = Random();
    const int second = Random(1000);
    RandSeed(1234);
    EXPECT_EQ(Random(), first);
    EXPECT_EQ(Random(1000), second);

    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const double d = Random();
        EXPECT_TRUE(d >= 0.0 && d < 1.0);
        const int r = Random(4);
        ASSERT_TRUE(r >= 0 && r < 4);
        seen.insert(r);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(Random(0), 0);
    EXPECT_EQ(Random(-3), 0);
    Randomize();
}

TEST(Ticks, SleepAdvancesTheMonotonicCounter) {
    const uint32_t t0 = GetTickCount();
    Sleep(20);
    EXPECT_GE(uint32_t(GetTickCount() - t0), 19u);
}

}  // namespace
