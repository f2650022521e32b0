#pragma once
// The DAO engine over SQLite 3: engine, workspace, database, table and query
// definitions, recordsets and fields, as typed classes with DAO's members.
//
// The database file keeps whatever name the application asks for ("vys.mdb") but is
// an SQLite database marked with our application id. Conventions inside the file:
//  - declared column types name DAO types: TEXT(n), LONGTEXT (memo; MEMO is read too
//    but gives the column numeric affinity), YESNO, BYTE, SHORT, LONG, INTEGER PRIMARY
//    KEY AUTOINCREMENT (counter), CURRENCY, SINGLE, DOUBLE, DATETIME, GUID, BINARY(n),
//    LONGBINARY; text columns carry COLLATE CZECH;
//  - dates are REAL days since 1899-12-30, Yes/No values -1/0, text UTF-8 with sizes
//    counted in characters, GUIDs as "{...}" text;
//  - the tables dao_fields, dao_indexes and dao_queries hold field properties, DAO
//    index names and query definitions; they are system objects.
// Local disk only: SQLite's locks are not reliable on network shares. The rollback
// journal is used (no WAL side files), writers wait up to QueryTimeout seconds, and
// every Update and Delete is one transaction.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/daoengine/DaoErrors.h"
#include "platform/rtl/Variant.h"

namespace Dao {

enum RecordsetType {
    dbOpenDefault = 0,
    dbOpenTable = 1,
    dbOpenDynaset = 2,
    dbOpenSnapshot = 4,
    dbOpenForwardOnly = 8,
    dbOpenDynamic = 16
};
enum RecordsetOption {
    dbDenyWrite = 1,
    dbDenyRead = 2,
    dbReadOnly = 4,
    dbAppendOnly = 8,
    dbInconsistent = 16,
    dbConsistent = 32,
    dbSQLPassThrough = 64,
    dbFailOnError = 128,
    dbForwardOnly = 256,
    dbSeeChanges = 512,
    dbRunAsync = 1024,
    dbExecDirect = 2048
};
enum LockType {
    dbLockDefault = 0,
    dbOptimisticValue = 1,
    dbPessimistic = 2,
    dbOptimistic = 3,
    dbLockReadOnly = 4,
    dbOptimisticBatch = 5
};
enum EditMode { dbEditNone = 0, dbEditInProgress = 1, dbEditAdd = 2 };
enum DataType {
    dbBoolean = 1,
    dbByte = 2,
    dbInteger = 3,
    dbLong = 4,
    dbCurrency = 5,
    dbSingle = 6,
    dbDouble = 7,
    dbDate = 8,
    dbBinary = 9,
    dbText = 10,
    dbLongBinary = 11,
    dbMemo = 12,
    dbGUID = 15
};
enum FieldAttribute { dbDescending = 0x1, dbAutoIncrField = 0x10, dbUpdatableField = 0x20, dbSystemField = 0x2000 };
enum WorkspaceType { dbUseODBC = 1, dbUseJet = 2 };
enum QueryType { dbQSelect = 0, dbQDelete = 32, dbQUpdate = 48, dbQAppend = 64, dbQMakeTable = 80, dbQDDL = 96 };
enum ParameterDirection { dbParamInput = 1 };
constexpr int32_t dbSystemObject = int32_t(0x80000002u);
constexpr int dbCollatingCzech = 1029;

// A bookmark: 4 bytes, the little-endian row id of the record (positive, non-zero).
using Bookmark = std::vector<uint8_t>;

namespace detail {
struct Connection;
struct Column;
struct Keyset;
struct Source;
class CursorState;
}  // namespace detail
class Recordset;
class Database;
struct Opener;
class Workspace;

// A named value (DAO Property). Collections of them compare names case-insensitively.
struct Property {
    std::string Name;
    Variant Value;
};

class Properties {
public:
    int Count() const { return int(FItems.size()); }
    Property& Item(int index);
    Property& Item(const std::string& name);  // 3270 when absent
    bool Has(const std::string& name) const;
    void Refresh() {}
    void Add(std::string name, Variant value);

private:
    std::vector<Property> FItems;
};

// A collection with nothing in it but Refresh (Users, Groups, Containers, Relations ...).
struct EmptyCollection {
    int Count() const { return 0; }
    void Refresh() {}
};

class Errors {
public:
    explicit Errors(std::shared_ptr<ErrorSink> sink) : FSink(std::move(sink)) {}
    int Count() const { return int(FSink->Items().size()); }
    const ErrorRec& Item(int index) const;  // 3265 out of range
    void Refresh() {}

private:
    std::shared_ptr<ErrorSink> FSink;
};

// ---------------------------------------------------------------------------------------------
// Field: a column of a recordset (with a value) or of a table definition (without one).
class Field {
public:
    const std::string& GetName() const;
    int GetType() const;  // DataType code
    int GetSize() const;  // Text: characters; fixed types their byte width
    int GetAttributes() const { return FAttributes; }
    void SetAttributes(int value);  // only on a field made by CreateField
    bool GetRequired() const;
    bool GetAllowZeroLength() const;
    std::string GetDefaultValue() const;  // the text as Jet shows it ("\"abc\"", "0", "#1/2/2003#")
    Properties& GetProperties();  // "Caption" and "Format" when the column has them

    // Value of the current record (or of the edit buffer while editing).
    // 3021 without a current record, 3167 when it was deleted, 3420 after Close.
    Variant GetValue() const;
    // The same value without a copy, for readers that copy it on: valid until the recordset
    // moves, edits or closes.
    const Variant& ValueRef() const;
    // Sets the edit buffer; text converts to the column type with the process locale.
    // 3020 outside Edit/AddNew, 3027 on a read-only recordset or field.
    void SetValue(const Variant& value);
    // Memo: characters; binary: bytes; other types: 0.
    int64_t FieldSize() const;

private:
    friend class Recordset;
    friend class TableDef;
    friend class Index;
    friend struct Opener;
    Field(Recordset* owner, int index, std::shared_ptr<const detail::Column> column);
    explicit Field(std::string name);  // a field for CreateIndex
    Recordset* FOwner = nullptr;
    int FIndex = -1;
    std::shared_ptr<const detail::Column> FColumn;
    std::string FName;
    int FAttributes = 0;
    std::unique_ptr<Properties> FProps;
};

class Fields {
public:
    int Count() const { return int(FItems.size()); }
    Field& Item(int index);  // 3265 out of range
    Field& Item(const std::string& name);  // case-insensitive; 3265 when absent
    int IndexOf(const std::string& name) const;  // -1 when absent
    void Append(std::unique_ptr<Field> f) { FItems.push_back(std::move(f)); }
    void Refresh() {}

private:
    std::vector<std::unique_ptr<Field>> FItems;
};

// ---------------------------------------------------------------------------------------------
class Index {
public:
    explicit Index(std::string name) : FName(std::move(name)) {}
    const std::string& GetName() const { return FName; }
    void SetName(std::string n) { FName = std::move(n); }
    bool Primary = false;
    bool Unique = false;
    Fields& GetFields() { return FFields; }
    // A field to append to Fields (DAO Index.CreateField).
    std::unique_ptr<Field> CreateField(const std::string& name);

private:
    std::string FName;
    Fields FFields;
};

class TableDef;
class Indexes {
public:
    int Count() const { return int(FItems.size()); }
    Index& Item(int index);
    Index& Item(const std::string& name);  // 3265 when absent
    void Refresh();
    void Append(std::unique_ptr<Index> index);  // creates it in the file; 3012 when the name exists
    void Delete(const std::string& name);  // drops it; 3265 when absent
private:
    friend class TableDef;
    TableDef* FTable = nullptr;
    std::vector<std::unique_ptr<Index>> FItems;
};

class TableDef {
public:
    const std::string& GetName() const { return FName; }
    int32_t GetAttributes() const { return FAttributes; }
    Fields& GetFields() { return FFields; }
    Indexes& GetIndexes() { return FIndexes; }
    std::unique_ptr<Index> CreateIndex(const std::string& name) { return std::make_unique<Index>(name); }
    std::unique_ptr<Field> CreateField(const std::string& name);
    Variant DateCreated() const { return FDateCreated; }
    Variant LastUpdated() const { return FLastUpdated; }
    Properties& GetProperties() { return FProps; }

private:
    friend class Database;
    friend class Indexes;
    friend class TableDefs;
    TableDef(std::shared_ptr<detail::Connection> conn, std::string name, int32_t attributes);
    void Load();
    std::shared_ptr<detail::Connection> FConn;
    std::string FName;
    int32_t FAttributes;
    Fields FFields;
    Indexes FIndexes;
    Variant FDateCreated, FLastUpdated;
    Properties FProps;
};

class TableDefs {
public:
    int Count() const { return int(FItems.size()); }
    TableDef& Item(int index);
    TableDef& Item(const std::string& name);  // case-insensitive; 3265 when absent
    void Refresh();

private:
    friend class Database;
    std::shared_ptr<detail::Connection> FConn;
    std::vector<std::unique_ptr<TableDef>> FItems;
};

// ---------------------------------------------------------------------------------------------
class Parameter {
public:
    const std::string& GetName() const { return FName; }
    int GetDirection() const { return dbParamInput; }
    int GetType() const { return FType; }
    const Variant& GetValue() const { return FValue; }
    void SetValue(const Variant& v) { FValue = v; }

private:
    friend class QueryDef;
    friend class Parameters;
    std::string FName;
    int FType = dbText;
    Variant FValue;  // Empty until set: opening then fails with 3061
};

class Parameters {
public:
    int Count() const { return int(FItems.size()); }
    Parameter& Item(int index);
    Parameter& Item(const std::string& name);
    void Refresh() {}

private:
    friend class QueryDef;
    std::vector<Parameter> FItems;
};

class QueryDef {
public:
    const std::string& GetName() const { return FName; }
    const std::string& GetSQL() const { return FSQL; }
    void SetSQL(const std::string& sql);  // stored at once; re-reads the parameters
    int GetType() const;  // QueryType from the statement
    Parameters& GetParameters() { return FParams; }
    int MaxRecords = 0;  // 0 = all
    int ODBCTimeout = 60;  // kept, without effect
    std::shared_ptr<Recordset> OpenRecordset(int type = dbOpenDefault, int options = 0, int lockEdits = dbLockDefault);
    Variant DateCreated() const { return FDateCreated; }
    Variant LastUpdated() const { return FLastUpdated; }

private:
    friend class Database;
    friend class QueryDefs;
    QueryDef(
        std::shared_ptr<detail::Connection> conn, std::string name, std::string sql, Variant created, Variant updated);
    void ParseParameters();
    std::shared_ptr<detail::Connection> FConn;
    std::string FName, FSQL;
    Parameters FParams;
    Variant FDateCreated, FLastUpdated;
};

class QueryDefs {
public:
    int Count() const { return int(FItems.size()); }
    QueryDef& Item(int index);
    QueryDef& Item(const std::string& name);  // case-insensitive; 3265 when absent
    void Refresh();

private:
    friend class Database;
    std::shared_ptr<detail::Connection> FConn;
    std::vector<std::unique_ptr<QueryDef>> FItems;
};

// ---------------------------------------------------------------------------------------------
class Database {
public:
    ~Database();
    const std::string& GetName() const;
    TableDefs& GetTableDefs();
    QueryDefs& GetQueryDefs();
    EmptyCollection Containers, Relations, Recordsets;
    Properties& GetProperties() { return FProps; }

    // Source: a table name, a query-definition name or a select statement in Jet SQL.
    std::shared_ptr<Recordset> OpenRecordset(
        const std::string& source, int type = dbOpenDefault, int options = 0, int lockEdits = dbLockDefault);
    QueryDef& CreateQueryDef(const std::string& name, const std::string& sql);
    int CollatingOrder() const { return dbCollatingCzech; }
    std::string Version() const { return "4.0"; }
    int GetQueryTimeout() const;
    void SetQueryTimeout(int seconds);  // also the time a writer waits for a lock
    int RecordsAffected() const { return 0; }
    bool Updatable() const;
    void Close();  // later use of it or its recordsets: 3420

private:
    friend class Workspace;
    explicit Database(std::shared_ptr<detail::Connection> conn);
    std::shared_ptr<detail::Connection> FConn;
    TableDefs FTableDefs;
    QueryDefs FQueryDefs;
    Properties FProps;
};

class Workspace {
public:
    const std::string& GetName() const { return FName; }
    // Options: Exclusive as a Boolean; Connect ";UID=...;PWD=...;". A missing file is
    // never created (3024); a file that is not one of our databases gives 3343.
    std::shared_ptr<Database> OpenDatabase(
        const std::string& name, bool exclusive = false, bool readOnly = false, const std::string& connect = "");
    // ODBC connections do not exist here.
    [[noreturn]] std::shared_ptr<Database> OpenConnection(
        const std::string& name, int options = 0, bool readOnly = false, const std::string& connect = "");
    int GetDefaultCursorDriver() const;  // ODBCDirect only: 3251
    void SetDefaultCursorDriver(int value);
    void Close();
    EmptyCollection Users, Groups, Databases;
    Properties& GetProperties() { return FProps; }

private:
    friend class DBEngine;
    Workspace(std::shared_ptr<ErrorSink> errors, std::string name, std::string user);
    std::shared_ptr<ErrorSink> FErrors;
    std::string FName, FUser;
    bool FClosed = false;
    Properties FProps;
};

class Workspaces {
public:
    int Count() const { return int(FItems.size()); }
    Workspace& Item(int index);
    void Append(std::shared_ptr<Workspace> ws) { FItems.push_back(std::move(ws)); }
    void Refresh();  // drops closed workspaces
private:
    std::vector<std::shared_ptr<Workspace>> FItems;
};

class DBEngine {
public:
    // The engine versions this system offers, oldest first ("3.6", "12.0").
    static std::vector<std::string> AvailableVersions();
    // "DAO.DBEngine.36", "DAO.PrivateDBEngine.120" ...; nullptr for an identifier not offered.
    static std::shared_ptr<DBEngine> Create(const std::string& programId);

    const std::string& Version() const { return FVersion; }
    std::string SystemDB, DefaultUser = "Admin", DefaultPassword;
    int DefaultType = dbUseJet;
    // Type 2 only; the only account is "Admin" (any case) with an empty password (3029).
    std::shared_ptr<Workspace> CreateWorkspace(
        const std::string& name, const std::string& user, const std::string& password, int type = dbUseJet);
    Workspaces& GetWorkspaces() { return FWorkspaces; }
    Errors& GetErrors() { return FErrorsView; }
    Properties& GetProperties() { return FProps; }
    void Idle(int /*action*/) {}  // SQLite keeps no engine cache to release

    explicit DBEngine(std::string version);

private:
    std::string FVersion;
    std::shared_ptr<ErrorSink> FErrors;
    Errors FErrorsView;
    Workspaces FWorkspaces;
    Properties FProps;
};

// ---------------------------------------------------------------------------------------------
// Recordset of dynaset, snapshot, table or forward-only type.
// Dynaset: the ordered row ids are taken at open; values are read by row id when the
// cursor arrives, so others' changes show on the next move; rows others add appear
// after Requery; moves pass over rows that have vanished. Snapshot and forward-only:
// values copied at open. Table: rows in the order of Index (row-id order without one),
// re-read at MoveFirst, MoveLast, Seek and when Index changes.
class Recordset {
public:
    ~Recordset();
    int GetType() const { return FType; }
    Fields& GetFields();

    bool GetBOF() const;
    bool GetEOF() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(int rows);  // relative; Move(0) reads the current record again

    Bookmark GetBookmark() const;
    void SetBookmark(const Bookmark& b);
    bool Bookmarkable() const { return FType != dbOpenForwardOnly; }
    Bookmark LastModified() const;
    int RecordCount() const;
    int AbsolutePosition() const;  // 0-based; -1 without a current record
    float PercentPosition() const;

    int GetEditMode() const { return FEditMode; }
    void Edit();
    void AddNew();
    void Update();
    void CancelUpdate();
    void Delete();
    bool GetLockEdits() const { return false; }
    bool Updatable() const;

    void Requery();
    std::shared_ptr<Recordset> Clone();
    std::shared_ptr<Recordset> OpenRecordset(int type = dbOpenDefault, int options = 0);

    const std::string& GetIndex() const { return FIndexName; }
    void SetIndex(const std::string& name);  // table type only; 3800 unknown
    // Comparison "=", ">=", ">", "<=", "<"; keys as values or text in the locale's form.
    void Seek(const std::string& comparison, const std::vector<Variant>& keys);
    void FindFirst(const std::string& criteria);
    // Criteria with values: a bracketed name of one of `values` ("[@1]") stands for that value,
    // which is bound to the statement, never pasted into its text.
    void FindFirst(const std::string& criteria, const std::vector<Property>& values);
    bool NoMatch() const { return FNoMatch; }
    const std::string& GetFilter() const { return FFilter; }
    void SetFilter(const std::string& criteria);  // used by OpenRecordset; 3251 on table type
    void SetFilter(const std::string& criteria, std::vector<Property> values);  // values as for FindFirst
    const std::string& GetSort() const { return FSort; }
    void SetSort(const std::string& sort);
    Variant DateCreated() const;
    Variant LastUpdated() const;
    void Close();

    // Internal plumbing shared with Field and the database.
    struct Impl;
    Impl& impl() const { return *FImpl; }

private:
    friend class Database;
    friend class QueryDef;
    friend class Field;
    friend struct Opener;
    Recordset();
    int FType = dbOpenDynaset;
    int FEditMode = dbEditNone;
    bool FNoMatch = false;
    std::string FFilter, FSort, FIndexName;
    std::vector<Property> FFilterValues;
    std::unique_ptr<Impl> FImpl;
};

}  // namespace Dao
