#pragma once
// Creating a database file from a schema script (the shipped "vys.mdb" is made this way).
//
// The script is SQL run by SQLite, written with the engine's declared types
// (see DaoEngine.h). It may fill the engine's metadata tables, which exist before it
// runs:
//   dao_fields  (TableName, FieldName, Required, AllowZeroLength, DefaultValue, Format, Caption)
//   dao_indexes (TableName, IndexName, SqliteName, IsPrimary)
//   dao_queries (Name, SQL, DateCreated, LastUpdated)
//   dao_tables  (Name, DateCreated, LastUpdated)

#include <string>

namespace Dao {

// Creates `fileName` (which must not exist) and runs `script` in one transaction. On any
// failure the partial file is removed and EDaoError is raised with SQLite's message.
void CreateDatabaseFromScript(const std::string& fileName, const std::string& script);
// The same with the script read from a file (UTF-8).
void CreateDatabaseFromScriptFile(const std::string& fileName, const std::string& scriptFile);

}  // namespace Dao
