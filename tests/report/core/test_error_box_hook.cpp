// The errors of a run reach the user only through the error-box hook that the output layer
// sets: the core shows no box of its own, and a silent run shows none at all.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxErrorBoxHook.h"
#include "report/core/frxReport.h"
#include "script/Interpreter.h"

TEST(FrxErrorBoxHook, ARunsErrorsGoThroughTheHookUnlessSilent) {
    TestKit::EnsureApplication();
    static bool scripting = (script::Startup(), true);
    (void)scripting;
    std::vector<std::string> boxes, hooked;
    SetMessageBoxHandler([&](const std::string& text, const std::string&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    auto restore = OnScopeExit([] {
        SetMessageBoxHandler(nullptr);
        frxErrorBoxHook() = nullptr;
    });
    struct Case {
        bool hook, silent;
        size_t shown;
    } cases[] = {
        {false, false, 0},  // no output layer: the errors stay in the list
        {true, false, 1},
        {true, true, 0},
    };
    for (const auto& c : cases) {
        hooked.clear();
        if (c.hook) frxErrorBoxHook() = [&](const std::string& text) { hooked.push_back(text); };
        else frxErrorBoxHook() = nullptr;
        TfrxReport report;
        report.GetEngineOptions()->SilentMode = c.silent;
        report.DataSets()->Add(nullptr)->SetDataSetName("Chybí");
        EXPECT_FALSE(report.PrepareReport());
        EXPECT_EQ(report.ErrorList->Count(), 1);
        ASSERT_EQ(hooked.size(), c.shown) << c.hook << c.silent;
        if (c.shown) {
            EXPECT_EQ(hooked[0].rfind("Nastala(y) následující chyba(y):\r\n", 0), 0u) << hooked[0];
            EXPECT_NE(hooked[0].find("Dataset \"Chybí\" neexistuje"), std::string::npos) << hooked[0];
        }
    }
    EXPECT_TRUE(boxes.empty()) << "the core shows no window of its own";
}
