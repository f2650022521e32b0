// Engine, workspace, database and the definition collections.
#include <sys/stat.h>

#include <memory>
#include <type_traits>

#include "platform/daoengine/DaoMessages.h"
#include "platform/daoengine/DaoSqlite.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace Dao {

using detail::Connection;
using detail::QuoteIdent;
using detail::Stmt;

namespace {
[[noreturn]] void NotFound(const std::string& what) {
    throw EDaoError(errItemNotFound, std::string(Msg::ItemNotFound) + " ('" + what + "')");
}

// The collections hold their items by value or through owning pointers.
template <class T>
T& Deref(T& item) {
    return item;
}
template <class T>
T& Deref(std::unique_ptr<T>& item) {
    return *item;
}

// The item at a position; DAO's "Item not found" outside the collection.
template <class V>
auto& ItemAt(V& items, int index) {
    if (index < 0 || size_t(index) >= items.size()) NotFound(std::to_string(index));
    return Deref(items[size_t(index)]);
}

// The first item whose name (nameOf, GetName by default) is `name`, ignoring case; nullptr when
// there is none.
constexpr auto kGetName = [](const auto& item) -> const std::string& { return item.GetName(); };
template <class V, class N = decltype(kGetName)>
auto* FindNamed(V& items, const std::string& name, N nameOf = kGetName) {
    using Item = std::remove_reference_t<decltype(Deref(items.front()))>;
    for (auto& item : items)
        if (AnsiSameText(nameOf(Deref(item)), name)) return &Deref(item);
    return static_cast<Item*>(nullptr);
}
}  // namespace

// --- small collections ------------------------------------------------------------------------
Property& Properties::Item(int index) { return ItemAt(FItems, index); }
Property& Properties::Item(const std::string& name) {
    if (Property* p = FindNamed(FItems, name, [](const Property& p) -> const std::string& { return p.Name; }))
        return *p;
    throw EDaoError(errPropertyNotFound, std::string(Msg::PropertyNotFound) + " ('" + name + "')");
}
bool Properties::Has(const std::string& name) const {
    for (const auto& p : FItems)
        if (AnsiSameText(p.Name, name)) return true;
    return false;
}
void Properties::Add(std::string name, Variant value) { FItems.push_back(Property{std::move(name), std::move(value)}); }

const ErrorRec& Errors::Item(int index) const { return ItemAt(FSink->Items(), index); }

Field& Fields::Item(int index) { return ItemAt(FItems, index); }
Field& Fields::Item(const std::string& name) {
    int i = IndexOf(name);
    if (i < 0) NotFound(name);
    return *FItems[size_t(i)];
}
int Fields::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiSameText(FItems[i]->GetName(), name)) return int(i);
    return -1;
}

// --- field definition parts (values are in DaoRecordset.cpp) ------------------------------------
Field::Field(Recordset* owner, int index, std::shared_ptr<const detail::Column> column)
    : FOwner(owner), FIndex(index), FColumn(std::move(column)) {
    FName = FColumn->Name;
    if (FColumn->AutoInc) FAttributes |= dbAutoIncrField;
    if (FColumn->Updatable && !FColumn->Table.empty()) FAttributes |= dbUpdatableField;
}
Field::Field(std::string name) : FName(std::move(name)) {}

const std::string& Field::GetName() const { return FName; }
int Field::GetType() const { return FColumn ? FColumn->Type : dbText; }
int Field::GetSize() const { return FColumn ? FColumn->Size : 0; }
void Field::SetAttributes(int value) {
    if (FColumn) throw EDaoError(errInvalidOperation, Msg::InvalidOperation);
    FAttributes = value;
}
bool Field::GetRequired() const { return FColumn && FColumn->Required; }
bool Field::GetAllowZeroLength() const { return FColumn && FColumn->AllowZeroLength; }
std::string Field::GetDefaultValue() const { return FColumn ? FColumn->DefaultText : std::string(); }
Properties& Field::GetProperties() {
    if (!FProps) {
        FProps = std::make_unique<Properties>();
        FProps->Add("Name", Variant(FName));
        if (FColumn && !FColumn->Caption.empty()) FProps->Add("Caption", Variant(FColumn->Caption));
        if (FColumn && !FColumn->Format.empty()) FProps->Add("Format", Variant(FColumn->Format));
    }
    return *FProps;
}

std::unique_ptr<Field> Index::CreateField(const std::string& name) { return std::unique_ptr<Field>(new Field(name)); }

// --- table definitions ------------------------------------------------------------------------
TableDef::TableDef(std::shared_ptr<Connection> conn, std::string name, int32_t attributes)
    : FConn(std::move(conn)), FName(std::move(name)), FAttributes(attributes) {
    FIndexes.FTable = this;
}

std::unique_ptr<Field> TableDef::CreateField(const std::string& name) {
    return std::unique_ptr<Field>(new Field(name));
}

void TableDef::Load() {
    auto info = FConn->Table(FName);
    if (!info) return;
    for (size_t i = 0; i < info->Columns.size(); ++i)
        FFields.Append(std::unique_ptr<Field>(new Field(nullptr, int(i), info->Columns[i])));
    FDateCreated = info->DateCreated;
    FLastUpdated = info->LastUpdated;
    FIndexes.Refresh();
}

Index& Indexes::Item(int index) { return ItemAt(FItems, index); }
Index& Indexes::Item(const std::string& name) {
    if (Index* ix = FindNamed(FItems, name)) return *ix;
    NotFound(name);
}

void Indexes::Refresh() {
    FItems.clear();
    auto& conn = *FTable->FConn;
    auto info = conn.Table(FTable->FName);
    if (!info) return;
    for (const auto& ii : conn.Indexes(*info)) {
        auto ix = std::make_unique<Index>(ii.DaoName);
        ix->Primary = ii.Primary;
        ix->Unique = ii.Unique;
        for (const auto& [col, desc] : ii.Columns) {
            auto f = ix->CreateField(col);
            f->SetAttributes(desc ? dbDescending : 0);
            ix->GetFields().Append(std::move(f));
        }
        FItems.push_back(std::move(ix));
    }
}

void Indexes::Append(std::unique_ptr<Index> index) {
    auto& conn = *FTable->FConn;
    conn.CheckOpen();
    if (conn.ReadOnly) conn.Fail(errReadOnly, "");
    auto info = conn.Table(FTable->FName);
    if (!info) NotFound(FTable->FName);
    for (auto& ix : FItems) {
        if (AnsiSameText(ix->GetName(), index->GetName()))
            conn.Fail(errObjectExists, Msg::Format(Msg::IndexExists, {index->GetName()}));
        if (ix->Primary && index->Primary) conn.Fail(errObjectExists, Msg::PrimaryKeyExists);
    }
    if (index->GetFields().Count() == 0) conn.Fail(errInvalidOperation, Msg::IndexNeedsField);
    std::string cols;
    for (int i = 0; i < index->GetFields().Count(); ++i) {
        Field& f = index->GetFields().Item(i);
        int c = info->ColumnIndex(f.GetName());
        if (c < 0) NotFound(f.GetName());
        cols += (cols.empty() ? "" : ", ") + QuoteIdent(info->Columns[size_t(c)]->Name) +
            ((f.GetAttributes() & dbDescending) ? " DESC" : "");
    }
    // Index names are per table in DAO but per file in SQLite.
    const std::string sqliteName = info->Name + "__" + index->GetName();
    const bool unique = index->Unique || index->Primary;
    conn.Begin();
    try {
        conn.Exec(
            "CREATE TABLE IF NOT EXISTS dao_indexes (TableName TEXT, IndexName TEXT, SqliteName TEXT PRIMARY KEY, IsPrimary INTEGER)");
        conn.Exec(std::string("CREATE ") + (unique ? "UNIQUE " : "") + "INDEX " + QuoteIdent(sqliteName) + " ON " +
            QuoteIdent(info->Name) + " (" + cols + ")");
        Stmt s(conn, "INSERT OR REPLACE INTO dao_indexes VALUES (?1, ?2, ?3, ?4)");
        s.BindAll(
            {Variant(info->Name), Variant(index->GetName()), Variant(sqliteName), Variant(index->Primary ? 1 : 0)});
        s.Step();
        conn.Commit();
    } catch (...) {
        conn.Rollback();
        throw;
    }
    conn.SchemaChanged();
    Refresh();
}

void Indexes::Delete(const std::string& name) {
    auto& conn = *FTable->FConn;
    conn.CheckOpen();
    auto info = conn.Table(FTable->FName);
    if (!info) NotFound(FTable->FName);
    for (const auto& ii : conn.Indexes(*info)) {
        if (!AnsiSameText(ii.DaoName, name)) continue;
        if (ii.SqliteName.empty() || ii.SqliteName.rfind("sqlite_autoindex", 0) == 0)
            conn.Fail(errNotSupported, Msg::Format(Msg::IndexOfDefinition, {name}));
        conn.Begin();
        try {
            conn.Exec("DROP INDEX " + QuoteIdent(ii.SqliteName));
            conn.Exec(
                "CREATE TABLE IF NOT EXISTS dao_indexes (TableName TEXT, IndexName TEXT, SqliteName TEXT PRIMARY KEY, IsPrimary INTEGER)");
            Stmt s(conn, "DELETE FROM dao_indexes WHERE SqliteName = ?1");
            s.BindAll({Variant(ii.SqliteName)});
            s.Step();
            conn.Commit();
        } catch (...) {
            conn.Rollback();
            throw;
        }
        conn.SchemaChanged();
        Refresh();
        return;
    }
    NotFound(name);
}

TableDef& TableDefs::Item(int index) { return ItemAt(FItems, index); }
TableDef& TableDefs::Item(const std::string& name) {
    if (TableDef* t = FindNamed(FItems, name)) return *t;
    // a table created since the last Refresh
    Refresh();
    if (TableDef* t = FindNamed(FItems, name)) return *t;
    NotFound(name);
}
void TableDefs::Refresh() {
    FItems.clear();
    FConn->SchemaChanged();
    for (const auto& n : FConn->TableNames()) {
        const bool system = n.rfind("sqlite_", 0) == 0 || n.rfind("dao_", 0) == 0;
        auto t = std::unique_ptr<TableDef>(new TableDef(FConn, n, system ? dbSystemObject : 0));
        t->Load();
        FItems.push_back(std::move(t));
    }
}

// --- query definitions ------------------------------------------------------------------------
Parameter& Parameters::Item(int index) { return ItemAt(FItems, index); }
Parameter& Parameters::Item(const std::string& name) {
    if (Parameter* p = FindNamed(FItems, name, [](const Parameter& p) -> const std::string& { return p.FName; }))
        return *p;
    NotFound(name);
}

QueryDef::QueryDef(
    std::shared_ptr<Connection> conn, std::string name, std::string sql, Variant created, Variant updated)
    : FConn(std::move(conn)), FName(std::move(name)), FSQL(std::move(sql)), FDateCreated(std::move(created)),
      FLastUpdated(std::move(updated)) {
    ParseParameters();
}

void QueryDef::ParseParameters() {
    std::vector<Parameter> old = std::move(FParams.FItems);
    FParams.FItems.clear();
    std::string body;
    std::vector<ParameterDecl> decls;
    try {
        decls = SplitParameters(FSQL, body);
    } catch (const EDaoError&) {
        decls.clear();
    }
    for (const auto& d : decls) {
        Parameter p;
        p.FName = d.Name;
        int size = 0;
        detail::ParseDeclaredType(d.Type, p.FType, size);
        for (const auto& o : old)
            if (AnsiSameText(o.FName, d.Name)) p.FValue = o.FValue;
        FParams.FItems.push_back(p);
    }
}

int QueryDef::GetType() const {
    std::string body;
    try {
        SplitParameters(FSQL, body);
    } catch (const EDaoError&) {
        body = FSQL;
    }
    std::string s = AnsiUpperCase(Trim(body));
    auto starts = [&](const char* w) { return s.rfind(w, 0) == 0; };
    if (starts("SELECT")) return s.find(" INTO ") != std::string::npos ? dbQMakeTable : dbQSelect;
    if (starts("TRANSFORM")) return 16;
    if (starts("DELETE")) return dbQDelete;
    if (starts("UPDATE")) return dbQUpdate;
    if (starts("INSERT")) return dbQAppend;
    if (starts("CREATE") || starts("DROP") || starts("ALTER")) return dbQDDL;
    return dbQSelect;
}

void QueryDef::SetSQL(const std::string& sql) {
    FConn->CheckOpen();
    if (!FName.empty()) {
        if (FConn->ReadOnly) FConn->Fail(errReadOnly, "");
        Stmt s(*FConn, "UPDATE dao_queries SET SQL = ?1, LastUpdated = ?2 WHERE Name = ?3 COLLATE CZECH");
        s.BindAll({Variant(sql), Variant::FromDate(Now()), Variant(FName)});
        s.Step();
    }
    FSQL = sql;
    FLastUpdated = Variant::FromDate(Now());
    ParseParameters();
}

QueryDef& QueryDefs::Item(int index) { return ItemAt(FItems, index); }
QueryDef& QueryDefs::Item(const std::string& name) {
    if (QueryDef* q = FindNamed(FItems, name)) return *q;
    NotFound(name);
}
void QueryDefs::Refresh() {
    FConn->CheckOpen();
    std::vector<std::unique_ptr<QueryDef>> fresh;
    sqlite3_stmt* probe = nullptr;
    const bool has = sqlite3_prepare_v2(FConn->Db,
                         "SELECT Name, SQL, DateCreated, LastUpdated FROM dao_queries ORDER BY rowid", -1, &probe,
                         nullptr) == SQLITE_OK;
    sqlite3_finalize(probe);
    if (has) {
        Stmt s(*FConn, "SELECT Name, SQL, DateCreated, LastUpdated FROM dao_queries ORDER BY rowid");
        while (s.Step()) {
            auto text = [&](int i) {
                const unsigned char* t = sqlite3_column_text(s.get(), i);
                return t ? std::string(reinterpret_cast<const char*>(t)) : std::string();
            };
            auto date = [&](int i) {
                return sqlite3_column_type(s.get(), i) == SQLITE_NULL
                    ? Variant::Null()
                    : Variant::FromDate(sqlite3_column_double(s.get(), i));
            };
            std::string name = text(0);
            // keep the objects callers already hold
            std::unique_ptr<QueryDef> kept;
            for (auto& q : FItems)
                if (q && q->GetName() == name) kept = std::move(q);
            if (kept) {
                kept->FSQL = text(1);
                kept->ParseParameters();
                fresh.push_back(std::move(kept));
            } else fresh.push_back(std::unique_ptr<QueryDef>(new QueryDef(FConn, name, text(1), date(2), date(3))));
        }
    }
    FItems = std::move(fresh);
}

// --- database ---------------------------------------------------------------------------------
Database::Database(std::shared_ptr<Connection> conn) : FConn(std::move(conn)) {
    FTableDefs.FConn = FConn;
    FQueryDefs.FConn = FConn;
    FProps.Add("Name", Variant(FConn->FileName));
    FProps.Add("Version", Variant("4.0"));
    FProps.Add("CollatingOrder", Variant(dbCollatingCzech));
}
Database::~Database() = default;

const std::string& Database::GetName() const { return FConn->FileName; }

TableDefs& Database::GetTableDefs() {
    FConn->CheckOpen();
    if (FTableDefs.FItems.empty()) FTableDefs.Refresh();
    return FTableDefs;
}
QueryDefs& Database::GetQueryDefs() {
    FConn->CheckOpen();
    if (FQueryDefs.FItems.empty()) FQueryDefs.Refresh();
    return FQueryDefs;
}

QueryDef& Database::CreateQueryDef(const std::string& name, const std::string& sql) {
    FConn->CheckOpen();
    GetQueryDefs();
    for (int i = 0; i < FQueryDefs.Count(); ++i)
        if (AnsiSameText(FQueryDefs.Item(i).GetName(), name))
            FConn->Fail(errObjectExists, Msg::Format(Msg::ObjectNameExists, {name}));
    if (FConn->ReadOnly) FConn->Fail(errReadOnly, "");
    const Variant now = Variant::FromDate(Now());
    FConn->Exec(
        "CREATE TABLE IF NOT EXISTS dao_queries (Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT, DateCreated REAL, LastUpdated REAL)");
    Stmt s(*FConn, "INSERT INTO dao_queries (Name, SQL, DateCreated, LastUpdated) VALUES (?1, ?2, ?3, ?3)");
    s.BindAll({Variant(name), Variant(sql), now});
    s.Step();
    FQueryDefs.FItems.push_back(std::unique_ptr<QueryDef>(new QueryDef(FConn, name, sql, now, now)));
    return *FQueryDefs.FItems.back();
}

int Database::GetQueryTimeout() const { return FConn->QueryTimeout; }
void Database::SetQueryTimeout(int seconds) {
    FConn->CheckOpen();
    FConn->QueryTimeout = seconds;
    sqlite3_busy_timeout(FConn->Db, seconds > 0 ? seconds * 1000 : 0);
}
bool Database::Updatable() const { return !FConn->ReadOnly; }
void Database::Close() { FConn->Close(); }

// --- workspace and engine ---------------------------------------------------------------------
Workspace::Workspace(std::shared_ptr<ErrorSink> errors, std::string name, std::string user)
    : FErrors(std::move(errors)), FName(std::move(name)), FUser(std::move(user)) {
    FProps.Add("Name", Variant(FName));
    FProps.Add("UserName", Variant(FUser));
    FProps.Add("Type", Variant(int(dbUseJet)));
}

std::shared_ptr<Database> Workspace::OpenDatabase(
    const std::string& name, bool exclusive, bool readOnly, const std::string& connect) {
    if (FClosed) FErrors->Raise(errObjectClosed, "");
    // ";UID=...;PWD=...;" — a leading word names an installable format or ODBC.
    const size_t semi = connect.find(';');
    if (!Trim(connect.substr(0, semi)).empty())
        FErrors->Raise(errInstallableFormat, Msg::Format(Msg::NoInstallableFormat, {Trim(connect.substr(0, semi))}));
    if (semi != std::string::npos) {
        size_t p = semi + 1;
        while (p <= connect.size()) {
            size_t e = connect.find(';', p);
            std::string part = connect.substr(p, e == std::string::npos ? std::string::npos : e - p);
            size_t eq = part.find('=');
            if (eq != std::string::npos && SameText(Trim(part.substr(0, eq)), "PWD") && !part.substr(eq + 1).empty())
                FErrors->Raise(errPassword, Msg::NoDatabasePasswords);
            if (e == std::string::npos) break;
            p = e + 1;
        }
    }
    struct stat st {};
    if (name.empty() || ::stat(name.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        FErrors->Raise(errFileNotFound, Msg::Format(Msg::FileNotFound, {name}));

    sqlite3* db = nullptr;
    // Never SQLITE_OPEN_CREATE: a missing file must not turn into an empty database.
    // One thread uses a connection (the GUI thread): SQLite need not lock it on every call.
    int rc = sqlite3_open_v2(
        name.c_str(), &db, (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close_v2(db);
        FErrors->Raise(errCannotOpen, Msg::Format(Msg::CannotOpen, {name}));
    }
    auto conn = std::make_shared<Connection>(db, name, FErrors, readOnly);
    detail::RegisterFunctions(db);
    // Jet refuses a file held exclusively at once; a commit in progress is waited for.
    sqlite3_busy_timeout(db, 1000);
    sqlite3_extended_result_codes(db, 1);
    int32_t appId = 0;
    {
        sqlite3_stmt* s = nullptr;
        rc = sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &s, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) appId = sqlite3_column_int(s, 0);
        sqlite3_finalize(s);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
            if ((rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED)
                FErrors->Raise(errFileInUse, Msg::Format(Msg::FileInUse, {name}));
            FErrors->Raise(errUnrecognizedFormat, Msg::Format(Msg::UnrecognizedFormat, {name}));
        }
    }
    if (appId != detail::kApplicationId)
        FErrors->Raise(errUnrecognizedFormat, Msg::Format(Msg::NotOurDatabase, {name}));
    if (!readOnly) conn->Exec("PRAGMA journal_mode = DELETE");
    conn->Exec("PRAGMA synchronous = FULL");
    // Damaged pages are found when read rather than passed over: a wrong cell size is an error.
    conn->Exec("PRAGMA cell_size_check = ON");
    if (exclusive) conn->Exec("PRAGMA locking_mode = EXCLUSIVE");
    sqlite3_busy_timeout(db, conn->QueryTimeout * 1000);
    return std::shared_ptr<Database>(new Database(conn));
}

std::shared_ptr<Database> Workspace::OpenConnection(const std::string&, int, bool, const std::string&) {
    FErrors->Raise(errInstallableFormat, Msg::NoOdbc);
}
int Workspace::GetDefaultCursorDriver() const { FErrors->Raise(errNotSupported, Msg::NoOdbcDirect); }
void Workspace::SetDefaultCursorDriver(int) { GetDefaultCursorDriver(); }
void Workspace::Close() { FClosed = true; }

Workspace& Workspaces::Item(int index) {
    if (index < 0 || index >= Count()) NotFound(std::to_string(index));
    return *FItems[size_t(index)];
}
void Workspaces::Refresh() {}

DBEngine::DBEngine(std::string version)
    : FVersion(std::move(version)), FErrors(std::make_shared<ErrorSink>()), FErrorsView(FErrors) {
    FProps.Add("Version", Variant(FVersion));
}

std::vector<std::string> DBEngine::AvailableVersions() { return {"3.6", "12.0"}; }

std::shared_ptr<DBEngine> DBEngine::Create(const std::string& programId) {
    const std::string id = AnsiUpperCase(Trim(programId));
    for (const char* prefix : {"DAO.DBENGINE.", "DAO.PRIVATEDBENGINE."}) {
        const std::string p = prefix;
        if (id.rfind(p, 0) != 0) continue;
        const std::string v = id.substr(p.size());
        if (v == "36") return std::make_shared<DBEngine>("3.6");
        if (v == "120") return std::make_shared<DBEngine>("12.0");
    }
    return nullptr;
}

std::shared_ptr<Workspace> DBEngine::CreateWorkspace(
    const std::string& name, const std::string& user, const std::string& password, int type) {
    if (type == dbUseODBC) FErrors->Raise(errNotSupported, Msg::NoOdbcDirect);
    if (type != dbUseJet) FErrors->Raise(errInvalidOperation, Msg::InvalidWorkspaceType);
    // No workgroup security: the one account is Admin without a password.
    if (!SameText(user, "Admin") || !password.empty()) FErrors->Raise(errAccount, "");
    FErrors->Clear();
    return std::shared_ptr<Workspace>(new Workspace(FErrors, name, user));
}

}  // namespace Dao
