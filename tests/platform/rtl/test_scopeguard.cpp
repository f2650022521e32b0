#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/rtl/ScopeGuard.h"

TEST(ScopeGuard, RunsOnNormalExitAndOnException) {
    int runs = 0;
    { auto g = OnScopeExit([&] { ++runs; }); }
    EXPECT_EQ(runs, 1);
    try {
        auto g = OnScopeExit([&] { ++runs; });
        throw std::runtime_error("x");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(runs, 2);
    {
        auto g = OnScopeExit([&] { ++runs; });
        g.Release();
    }
    EXPECT_EQ(runs, 2);
    {
        auto a = OnScopeExit([&] { ++runs; });
        auto b = std::move(a);   // the moved-from guard must not run a second time
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
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(s, "old");
    EXPECT_FALSE(flag);
    {
        TRollback keep(s);
        s = "committed";
        keep.Release();
    }
    EXPECT_EQ(s, "committed");
}
