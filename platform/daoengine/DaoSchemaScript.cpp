#include "platform/daoengine/DaoSchemaScript.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/daoengine/DaoSqlite.h"

namespace Dao {

void CreateDatabaseFromScript(const std::string& fileName, const std::string& script) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0)
        throw EDaoError(errObjectExists, "The file '" + fileName + "' already exists.");
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        const std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close_v2(db);
        throw EDaoError(3051, "Cannot create '" + fileName + "': " + msg + ".");
    }
    detail::RegisterFunctions(db);
    const std::string setup =
        "PRAGMA journal_mode = DELETE;"
        "PRAGMA application_id = " +
        std::to_string(detail::kApplicationId) +
        ";"
        "BEGIN;"
        "CREATE TABLE dao_fields (TableName TEXT NOT NULL, FieldName TEXT NOT NULL, Required INTEGER, "
        "  AllowZeroLength INTEGER, DefaultValue TEXT, Format TEXT, Caption TEXT, "
        "  PRIMARY KEY (TableName, FieldName));"
        "CREATE TABLE dao_indexes (TableName TEXT, IndexName TEXT, SqliteName TEXT PRIMARY KEY, IsPrimary INTEGER);"
        "CREATE TABLE dao_queries (Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT, DateCreated REAL, LastUpdated REAL);"
        "CREATE TABLE dao_tables (Name TEXT PRIMARY KEY COLLATE NOCASE, DateCreated REAL, LastUpdated REAL);";
    char* err = nullptr;
    int rc = sqlite3_exec(db, setup.c_str(), nullptr, nullptr, &err);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err);
    if (rc == SQLITE_OK) rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        const std::string msg = err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        sqlite3_close_v2(db);
        ::unlink(fileName.c_str());
        throw EDaoError(errSyntaxInExpression, "Schema script for '" + fileName + "' failed: " + msg + ".");
    }
    sqlite3_close_v2(db);
}

void CreateDatabaseFromScriptFile(const std::string& fileName, const std::string& scriptFile) {
    std::ifstream in(scriptFile, std::ios::binary);
    if (!in) throw EDaoError(errFileNotFound, "Could not find file '" + scriptFile + "'.");
    std::ostringstream text;
    text << in.rdbuf();
    CreateDatabaseFromScript(fileName, text.str());
}

}  // namespace Dao
