// Saving through a temporary file beside the target: what a killed save left behind goes at
// the next save of the same file, and a disk that fills up is reported in words a user reads.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxSafeSave.h"

namespace fs = std::filesystem;

namespace {
struct SaveFolder {
    fs::path Path = fs::temp_directory_path() / ("karomil-safesave-" + std::to_string(::getpid()));
    SaveFolder() { fs::create_directories(Path); }
    ~SaveFolder() { fs::remove_all(Path); }
    int Count() const { return int(std::distance(fs::directory_iterator(Path), fs::directory_iterator())); }
};

void WriteText(TStream* s, const std::string& text) { s->WriteBuffer(text.data(), int64_t(text.size())); }

TEST(SafeSave, LeftoversOfAKilledSaveGoAtTheNextSave) {
    SaveFolder dir;
    const fs::path target = dir.Path / "vysvedceni.fr3";
    // What saves killed half-way leave; and files that only look alike, which stay.
    for (const char* name : {".vysvedceni.fr3.a1B2c3", ".vysvedceni.fr3.ZZZZZZ", ".jiny.fr3.a1B2c3",
             ".vysvedceni.fr3.kratk", "vysvedceni.fr3.a1B2c3"})
        std::ofstream(dir.Path / name) << "half";
    frxSaveFileSafely(target.string(), [](TStream* s) { WriteText(s, "<?xml?>"); });
    EXPECT_TRUE(fs::exists(target));
    EXPECT_FALSE(fs::exists(dir.Path / ".vysvedceni.fr3.a1B2c3"));
    EXPECT_FALSE(fs::exists(dir.Path / ".vysvedceni.fr3.ZZZZZZ"));
    for (const char* kept : {".jiny.fr3.a1B2c3", ".vysvedceni.fr3.kratk", "vysvedceni.fr3.a1B2c3"})
        EXPECT_TRUE(fs::exists(dir.Path / kept)) << kept;
    EXPECT_EQ(dir.Count(), 4);
}

TEST(SafeSave, AFullDiskSaysSoAndNamesTheFile) {
    SaveFolder dir;
    const fs::path target = dir.Path / "opis.fr3";
    std::ofstream(target) << "old";
    // A file size limit stands in for a full disk: writes beyond it fall short.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    {
        auto* const savedSignal = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        auto restore = OnScopeExit([&] {
            ::setrlimit(RLIMIT_FSIZE, &saved);
            std::signal(SIGXFSZ, savedSignal);
        });
        try {
            frxSaveFileSafely(target.string(), [](TStream* s) { WriteText(s, std::string(100000, 'x')); });
            ADD_FAILURE() << "saved";
        } catch (const EWriteError& e) {
            EXPECT_EQ(
                std::string(e.what()), "Na disku není dost místa: soubor „" + target.string() + "“ nebyl uložen.");
        }
    }
    std::ifstream f(target);
    std::string text;
    f >> text;
    EXPECT_EQ(text, "old");
    EXPECT_EQ(dir.Count(), 1);
}
}  // namespace
