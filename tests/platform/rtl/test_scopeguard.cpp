#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/ScopeGuard.h"

TEST(ScopeGuard, RunsOnNormalExitAndOnException) {
    int runs = 0;
    {
        auto g = OnScopeExit([&] { ++runs; });
    }
    EXPECT_EQ(runs, 1);
    try {
        auto g = OnScopeExit([&] { ++runs; });
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(runs, 2);
    {
        auto g = OnScopeExit([&] { ++runs; });
        g.Release();
    }
    EXPECT_EQ(runs, 2);
    {
        auto a = OnScopeExit([&] { ++runs; });
        auto b = std::move(a);  // the moved-from guard must not run a second time
    }
    EXPECT_EQ(runs, 3);
}

TEST(ScopeGuard, RollbackRestoresTheSavedValue) {
    std::string s = "old";
    bool flag = false;
    try {
        TRollback keep(s, std::string("new"));
        TRollback busy(flag, true);
        EXPECT_EQ(s, "new");
        EXPECT_TRUE(flag);
        EXPECT_EQ(keep.Saved(), "old");
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {}
    EXPECT_EQ(s, "old");
    EXPECT_FALSE(flag);
    {
        TRollback keep(s);
        s = "committed";
        keep.Release();
    }
    EXPECT_EQ(s, "committed");
}

TEST(ScopeGuard, TryFinallyRunsTheClosingStepOnEveryPath) {
    int finished = 0;
    EXPECT_EQ(TryFinally([] { return 7; }, [&] { ++finished; }), 7);
    EXPECT_EQ(finished, 1);
    // Work failed: the step still runs, and work's error is the one that arrives, not the step's.
    try {
        TryFinally([] { throw std::runtime_error("work"); },
            [&] {
                ++finished;
                throw std::logic_error("finish");
            });
        ADD_FAILURE() << "work's error was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "work");
    }
    EXPECT_EQ(finished, 2);
    // Work succeeded: the step's own error reaches the caller.
    EXPECT_THROW(TryFinally([] {}, [] { throw std::logic_error("finish"); }), std::logic_error);
}
