#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "DaoTestDb.h"

using namespace Dao;

namespace {

class Faults : public daotest::DaoFixture {};

// A writer killed with SIGKILL in the middle of its updates leaves a sound file that
// holds every record whose Update had returned.
TEST_F(Faults, KilledWriterLosesNothingCommitted) {
    Db->Close();
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        try {
            auto engine = DBEngine::Create("DAO.DBEngine.36");
            auto db = engine->CreateWorkspace("W", "Admin", "")->OpenDatabase(FileName);
            auto rs = db->OpenRecordset("Zaci", dbOpenDynaset);
            for (int i = 0;; ++i) {
                rs->AddNew();
                rs->GetFields().Item("Jmeno").SetValue(Variant("Zápis " + std::to_string(i)));
                rs->GetFields().Item("Poznamka").SetValue(Variant("k" + std::to_string(i) + std::string(2000, 'x')));
                rs->Update();
                rs->MoveFirst();
                rs->Edit();
                rs->GetFields().Item("Hodiny").SetValue(Variant(i % 1000));
                rs->Update();
                if (write(fds[1], &i, sizeof i) != sizeof i) _exit(2);
            }
        } catch (...) {
            _exit(3);
        }
    }
    close(fds[1]);
    std::set<int> committed;
    int i = 0;
    while (committed.size() < 150 && read(fds[0], &i, sizeof i) == sizeof i) committed.insert(i);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself with " << WEXITSTATUS(status);
    while (read(fds[0], &i, sizeof i) == sizeof i) committed.insert(i);
    close(fds[0]);

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open_v2(FileName.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    detail::RegisterFunctions(raw);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
    sqlite3_finalize(s);
    sqlite3_close(raw);

    auto rs = Open()->OpenRecordset("Zaci", dbOpenSnapshot);
    std::set<int> present;
    for (; !rs->GetEOF(); rs->MoveNext()) {
        const std::string name = VarToStr(rs->GetFields().Item("Jmeno").GetValue());
        if (name.rfind("Zápis ", 0) == 0) {
            present.insert(std::stoi(name.substr(std::string("Zápis ").size())));
            // no half-written record: the memo is whole
            EXPECT_EQ(VarToStr(rs->GetFields().Item("Poznamka").GetValue()).size(),
                2001 + name.size() - std::string("Zápis ").size());
        }
    }
    for (int c : committed) EXPECT_TRUE(present.count(c)) << "committed record " << c << " is missing";
    EXPECT_LE(present.size(), committed.size() + 1);  // at most the one in flight
}

}  // namespace
