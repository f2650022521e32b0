// The report library's error box, and the report core's errors shown in it once the output
// layer has registered itself at start-up.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxErrorBoxHook.h"
#include "report/core/frxPlugins.h"
#include "report/core/frxWindowPlugins.h"
#include "report/core/frxReport.h"
#include "report/output/frxErrorBox.h"
#include "report/output/frxPreviewForm.h"

namespace {
struct Box {
    std::string text, caption;
    UINT flags;
};

class ErrorBox : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        SetMessageBoxHandler([this](const std::string& text, const std::string& caption, UINT flags) {
            Boxes.push_back({text, caption, flags});
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        frxErrorBoxHook() = nullptr;
        frxPreviewWindow() = nullptr;
        frxPreviewWindowMessage() = nullptr;
    }
    std::vector<Box> Boxes;
};
}  // namespace

TEST_F(ErrorBox, ShowsTheTextUnderTheLocalisedCaptionWithAnErrorIcon) {
    frxErrorMsg("Soubor nelze otevřít.");
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].text, "Soubor nelze otevřít.");
    EXPECT_EQ(Boxes[0].caption, "Chyba");
    EXPECT_EQ(Boxes[0].flags, UINT(MB_OK | MB_ICONERROR));
}

TEST_F(ErrorBox, StartUpRegistrationShowsTheErrorsOfARun) {
    frxErrorBoxHook() = nullptr;
    frxRegisterPreview();  // what the program does at start-up
    TfrxReport report;
    report.GetEngineOptions()->SilentMode = false;
    report.DataSets()->Add(nullptr)->SetDataSetName("Chybí");
    EXPECT_FALSE(report.PrepareReport());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].caption, "Chyba");
    EXPECT_EQ(Boxes[0].text.rfind("Nastala(y) následující chyba(y):\r\n", 0), 0u) << Boxes[0].text;
    EXPECT_NE(Boxes[0].text.find("Dataset \"Chybí\" neexistuje"), std::string::npos) << Boxes[0].text;
}
