// The password window: a protected template opens only with exactly its password.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <unistd.h>
#include <string>

#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "report/core/frxReport.h"
#include "report/output/frxPasswordForm.h"

namespace {

TEST(PasswordForm, AProtectedTemplateOpensOnlyWithItsExactPassword) {
    TestKit::EnsureApplication();
    frxInstallPasswordPrompt();
    const std::string file =
        (std::filesystem::temp_directory_path() / ("karomil-heslo-" + std::to_string(getpid()) + ".fr3")).string();
    {
        TfrxReport report;
        report.GetEngineOptions()->SilentMode = true;
        report.GetReportOptions()->Name = "Vysvědčení";
        report.GetReportOptions()->Password = "Žluťoučký";
        report.SaveToFile(file);
    }
    std::optional<std::string> typed;
    std::string caption, prompt;
    SetShowModalHook([&](TCustomForm* form) {
        auto* f = dynamic_cast<TfrxPasswordForm*>(form);
        ASSERT_NE(f, nullptr);
        caption = f->GetCaption();
        prompt = f->PasswordL->GetCaption();
        EXPECT_EQ(f->PasswordE->GetPasswordChar(), U'*');
        if (!typed) return f->CancelB->Click();
        f->PasswordE->SetText(*typed);
        f->OkB->Click();
    });
    struct Case {
        std::optional<std::string> typed;
        bool opens;
    };
    const Case cases[] = {
        {"Žluťoučký", true}, {"žluťoučký", false}, {"Žluťoučký ", false}, {"", false}, {std::nullopt, false}};
    for (const Case& c : cases) {
        typed = c.typed;
        TfrxReport loaded;
        loaded.GetEngineOptions()->SilentMode = true;
        EXPECT_EQ(loaded.LoadFromFile(file), c.opens) << typed.value_or("(cancel)");
    }
    EXPECT_EQ(caption, "Heslo");
    EXPECT_EQ(prompt, "Vložte heslo:");
    SetShowModalHook(nullptr);
    frxPasswordPrompt() = nullptr;
    std::filesystem::remove(file);
}

}  // namespace
