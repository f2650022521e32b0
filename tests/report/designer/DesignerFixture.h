#pragma once
// What the designer window's tests share: the application, the registered designer, answers
// for message boxes and file dialogs (recorded), and a temporary folder.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/TestKit.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/designer/frxDesgn.h"

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "karomil-navrhar-XXXXXX").string();
        Path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(Path); }
    std::string File(const std::string& name) const { return Path + "/" + name; }
    int Count() const {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Path)) ++n;
        return n;
    }
    std::string Path;
};

inline std::string ReadWhole(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class DesignerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TestKit::EnsureApplication();
        frxRegisterDesigner();
    }
    DesignerTest() {
        SetMessageBoxHandler([this](const std::string& text, const std::string& caption, UINT) {
            Boxes.push_back(caption + ": " + text);
            if (Answers.empty()) return int(IDNO);
            const int a = Answers.front();
            Answers.pop_front();
            return a;
        });
        SetDialogHook([this](TDialogCall& call) {
            Dialogs.push_back(call);
            if (FileAnswers.empty()) return;  // cancelled
            call.Accepted = true;
            call.Value = FileAnswers.front();
            FileAnswers.pop_front();
        });
    }
    ~DesignerTest() override {
        Form.reset();
        SetMessageBoxHandler({});
        SetDialogHook({});
    }
    // A report page named name (empty: unnamed) at the end of the report.
    TfrxReportPage* AddPage(const std::string& name) {
        auto* page = new TfrxReportPage(&Report);
        page->SetName(name);
        return page;
    }
    TfrxDesignerForm* Open(bool preparedPage = false) {
        if (Report.GetPageCount() == 0) AddPage("Page1");
        Form.reset(new TfrxDesignerForm(nullptr, &Report, preparedPage));
        return Form.get();
    }
    std::vector<std::string> TabCaptions() const;

    TfrxReport Report;
    std::unique_ptr<TfrxDesignerForm> Form;
    std::deque<int> Answers;  // message-box answers in order; IDNO when none is left
    std::deque<std::string> FileAnswers;  // chosen files in order; a dialog is cancelled when none is left
    std::vector<std::string> Boxes;  // "caption: text" of every message box
    std::vector<TDialogCall> Dialogs;
};
