#pragma once
// Inside the engine: the SQLite connection, the column model read from the schema and
// the conversions between DAO values and SQLite storage. Not for use outside the engine.

#include <sqlite3.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/daoengine/DaoEngine.h"
#include "platform/daoengine/JetSql.h"

namespace Dao::detail {

constexpr int32_t kApplicationId = 0x4B524D4C;  // "KRML": marks our database files

struct Column {
    std::string Name;
    std::string Table;  // '' for computed query columns
    int Type = dbText;  // DAO type code
    int Size = 0;
    bool AutoInc = false;
    bool Required = false;
    bool AllowZeroLength = false;
    bool Updatable = true;
    std::string DefaultText;  // as Jet shows it
    std::string Caption, Format;
};

struct IndexInfo {
    std::string DaoName, SqliteName;
    bool Primary = false, Unique = false;
    std::vector<std::pair<std::string, bool>> Columns;  // name, descending
};

struct TableInfo {
    std::string Name;
    std::vector<std::shared_ptr<const Column>> Columns;
    int RowidColumn = -1;  // the INTEGER PRIMARY KEY column, if any
    Variant DateCreated, LastUpdated;
    int ColumnIndex(const std::string& name) const;
};

// A prepared statement, finalized with the object; Step/Column helpers keep it short.
class Stmt {
public:
    Stmt() = default;
    Stmt(Connection& c, const std::string& sql);
    Stmt(Stmt&& o) noexcept : S(o.S), C(o.C) { o.S = nullptr; }
    Stmt& operator=(Stmt&& o) noexcept;
    ~Stmt();
    sqlite3_stmt* get() const { return S; }
    explicit operator bool() const { return S != nullptr; }
    bool Step();  // true on a row; raises on errors (statement reset)
    void Reset();  // reset and clear bindings
    void BindAll(const std::vector<Variant>& binds, int first = 1);

private:
    sqlite3_stmt* S = nullptr;
    Connection* C = nullptr;
};

struct Connection {
    Connection(sqlite3* db, std::string fileName, std::shared_ptr<ErrorSink> errors, bool readOnly);
    ~Connection();
    sqlite3* Db = nullptr;
    std::string FileName;
    std::shared_ptr<ErrorSink> Errors;
    bool ReadOnly = false;
    int QueryTimeout = 60;

    [[noreturn]] void Fail(int number, const std::string& description, const std::string& fieldName = "") const {
        Errors->Raise(number, description, fieldName);
    }
    // Maps the connection's last SQLite error to a DAO error and raises it.
    [[noreturn]] void FailSqlite(int rc, const std::string& context) const;
    void CheckOpen() const;
    void Exec(const std::string& sql);
    void Close();

    std::shared_ptr<const TableInfo> Table(const std::string& name);  // nullptr when absent
    std::vector<std::string> TableNames();
    std::vector<IndexInfo> Indexes(const TableInfo& t);
    void SchemaChanged() { FTables.clear(); }

    // Every write is one transaction; BEGIN IMMEDIATE waits for the busy timeout.
    void Begin();
    void Commit();
    void Rollback() noexcept;

private:
    std::map<std::string, std::shared_ptr<const TableInfo>> FTables;  // by upper-cased name
};

// Binds a normalised value (see Normalize) for storage in a column of `c`'s type.
void BindStored(sqlite3_stmt* s, int index, const Variant& v, const Column* c);
// Reads a stored value as the column's DAO value.
Variant ReadStored(sqlite3_stmt* s, int index, const Column& c);
// Converts an assigned value to the column's value kind; false when it does not convert.
bool Normalize(const Variant& in, const Column& c, Variant& out);
// The value a Jet DefaultValue text stands for (Null when none or engine-generated).
Variant DefaultFromText(const std::string& text, const Column& c);
// Jet's text for an SQL DEFAULT clause.
std::string JetDefaultFromSql(const std::string& sqlDefault, int type);
// Equality of stored values (optimistic check): same kind and same content.
bool SameValue(const Variant& a, const Variant& b);
// Declared SQL type to DAO type and size.
void ParseDeclaredType(const std::string& declared, int& type, int& size);
int FixedSize(int type);
std::string QuoteIdent(const std::string& name);
std::string UpperKey(const std::string& name);

void RegisterFunctions(sqlite3* db);

}  // namespace Dao::detail
