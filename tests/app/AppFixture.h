#pragma once
// The program started as a user starts it, on a fresh copy of the shipped database in a
// temporary data folder (the current folder, where the database component looks first), and
// a script that answers the modal windows it opens.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "app/UFDM.h"
#include "app/UFMain.h"
#include "app/UFMessageBox.h"
#include "app/UFNastaveni.h"
#include "app/UFVys.h"
#include "platform/daoengine/DaoSqlite.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/SysUtils.h"

namespace apptest {

// Answers modal windows by their component name, in order: each showing of a window of that
// name takes the next step. A window nobody expected is closed with mrAbort and reported.
class TModalScript {
public:
    using TStep = std::function<void(TCustomForm* form)>;
    TModalScript() {
        SetShowModalHook([this](TCustomForm* f) { Answer(f); });
    }
    ~TModalScript() { SetShowModalHook(nullptr); }
    void On(const std::string& formName, TStep step) { FSteps[formName].push_back(std::move(step)); }
    const std::vector<std::string>& Shown() const noexcept { return FShown; }
    bool Done() const {
        for (const auto& s : FSteps)
            if (!s.second.empty()) return false;
        return true;
    }

private:
    // A second instance of a window is named "FMessageBox_1": the script knows it as FMessageBox.
    static std::string StoredName(const std::string& name) {
        const size_t bar = name.rfind('_');
        if (bar == std::string::npos || bar + 1 == name.size()) return name;
        for (size_t i = bar + 1; i < name.size(); ++i)
            if (name[i] < '0' || name[i] > '9') return name;
        return name.substr(0, bar);
    }
    void Answer(TCustomForm* f) {
        const std::string name = StoredName(f->GetName());
        FShown.push_back(name);
        auto& steps = FSteps[name];
        if (steps.empty()) {
            ADD_FAILURE() << "unexpected modal window " << f->GetName();
            f->SetModalResult(mrAbort);
            return;
        }
        TStep step = std::move(steps.front());
        steps.pop_front();
        // A window the step leaves open would hang the test: close it after a while and say so.
        const int showing = ++FShowings;
        QTimer::singleShot(8000, f->OuterWidget(), [this, f, showing] {
            if (f->FormState().Contains(fsModal) && showing == FShowings) {
                ADD_FAILURE() << "modal window " << f->GetName() << " left open";
                f->SetModalResult(mrAbort);
            }
        });
        step(f);
    }
    std::map<std::string, std::deque<TStep>> FSteps;
    std::vector<std::string> FShown;
    int FShowings = 0;
};

// Reads the database file through a connection of its own (another user of the file).
class TOtherConnection {
public:
    explicit TOtherConnection(const std::string& file) {
        EXPECT_EQ(sqlite3_open_v2(file.c_str(), &FDb, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        Dao::detail::RegisterFunctions(FDb);
    }
    ~TOtherConnection() { sqlite3_close(FDb); }
    // Every row of the query, each as its column texts ('' for Null).
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        std::vector<std::vector<std::string>> rows;
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(FDb, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sqlite3_errmsg(FDb);
        while (st && sqlite3_step(st) == SQLITE_ROW) {
            std::vector<std::string> row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* t = sqlite3_column_text(st, i);
                row.push_back(t ? reinterpret_cast<const char*>(t) : "");
            }
            rows.push_back(std::move(row));
        }
        sqlite3_finalize(st);
        return rows;
    }
    std::string Value(const std::string& sql) {
        auto rows = Rows(sql);
        return rows.empty() || rows[0].empty() ? "<none>" : rows[0][0];
    }
    int Count(const std::string& table) { return std::stoi(Value("SELECT COUNT(*) FROM " + table)); }

private:
    sqlite3* FDb = nullptr;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        char tmpl[] = "/tmp/karomil-app-XXXXXX";
        Folder = mkdtemp(tmpl);
        DbFile = Folder + "/vys.mdb";
        std::filesystem::copy_file(KAROMIL_SHIPPED_DB, DbFile);
        PrepareDatabase();
        OldFolder = std::filesystem::current_path();
        std::filesystem::current_path(Folder);
    }
    void TearDown() override {
        ShutDown();
        EXPECT_EQ(Boxes.Texts(), ExpectedBoxes) << "message boxes shown";
        SetDialogHook(nullptr);
        std::filesystem::current_path(OldFolder);
        std::filesystem::remove_all(Folder);
    }
    // Changes to the database before the program starts (another connection).
    virtual void PrepareDatabase() {}
    void Sql(const std::string& sql) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open_v2(DbFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
        Dao::detail::RegisterFunctions(db);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }
    void Start() {
        StartUp(nullptr);
        FMain->Show();
        TestKit::ProcessEvents();
    }
    // Frees what start-up made, as the end of the program does.
    void ShutDown() {
        delete FMessageBox;
        delete FPredmet;
        delete DM;
        delete FMain;
        TestKit::ProcessEvents();
    }
    // Clicks a button as the user does (mouse press and release in its middle).
    static void Press(TControl* button) {
        TestKit::Click(button, TPoint{button->GetWidth() / 2, button->GetHeight() / 2});
    }
    // Types text into an edit control as keys, replacing what it held (Home, Shift+End first).
    static void Type(TWinControl* edit, const std::string& text) {
        edit->SetFocus();
        TestKit::ProcessEvents();
        TestKit::Key(Qt::Key_Home);
        TestKit::Key(Qt::Key_End, Qt::ShiftModifier);
        for (char32_t ch : Utf8ToChars(text)) {
            // Qt's key code of a printable character is its upper-case code point.
            TestKit::Key(int(QChar::toUpper(ch)), Qt::NoModifier, CharToUtf8(ch));
        }
    }
    static std::u32string Utf8ToChars(const std::string& s) { return QString::fromStdString(s).toStdU32String(); }
    static std::string CharToUtf8(char32_t c) { return QString::fromUcs4(&c, 1).toStdString(); }

    // Platform message boxes (error reports ...) are answered with OK and recorded.
    TestKit::TModalAnswerer Boxes{IDOK};
    std::vector<std::string> ExpectedBoxes;
    std::string Folder, DbFile;
    std::filesystem::path OldFolder;
};

}  // namespace apptest
