#pragma once
// Helpers shared by the database tests: a throw-away folder and a second, plain SQLite
// connection that plays another user of the file.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/daoengine/DaoSqlite.h"

namespace testsupport {

class TempDir {
public:
    explicit TempDir(const std::string& prefix = "karomil-test") {
        std::string tmpl = "/tmp/" + prefix + "-XXXXXX";
        if (mkdtemp(tmpl.data())) Path = tmpl;
    }
    ~TempDir() {
        if (!Path.empty()) std::filesystem::remove_all(Path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return Path + "/" + name; }
    std::string Path;
};

// Runs SQL on its own connection, with the engine's functions (the Czech collation of the
// indexed text columns) registered.
inline void RunPlainSql(const std::string& fileName, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    Dao::detail::RegisterFunctions(db);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

}  // namespace testsupport
