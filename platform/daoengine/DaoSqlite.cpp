#include "platform/daoengine/DaoSqlite.h"

#include "platform/daoengine/DaoMessages.h"

#include <cmath>
#include <cstring>

#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

namespace Dao {

void ErrorSink::Raise(int number, const std::string& description, const std::string& fieldName) {
    std::string text = description.empty() ? DefaultDescription(number) : description;
    FErrors.clear();
    FErrors.push_back(ErrorRec{number, "DAO.Engine", text, "", 5000000 + number});
    throw EDaoError(number, text, "DAO.Engine", fieldName);
}

std::string DefaultDescription(int number) {
    switch (number) {
    case errObjectExists: return Msg::ObjectExists;
    case errNoCurrentIndex: return Msg::NoCurrentIndex;
    case errUpdateWithoutEdit: return Msg::UpdateWithoutEdit;
    case errNoCurrentRecord: return Msg::NoCurrentRecord;
    case errDuplicateKey: return Msg::DuplicateKey;
    case errReadOnly: return Msg::ReadOnly;
    case errAccount: return Msg::Account;
    case errPassword: return Msg::Password;
    case errInvalidBookmark: return Msg::InvalidBookmark;
    case errRecordDeleted: return Msg::RecordDeleted;
    case errChangedByOther: return Msg::ChangedByOther;
    case errInvalidOperation: return Msg::InvalidOperation;
    case errNotSupported: return Msg::NotSupported;
    case errItemNotFound: return Msg::ItemNotFound;
    case errPropertyNotFound: return Msg::PropertyNotFound;
    case errObjectClosed: return Msg::ObjectClosed;
    case errNotAnIndex: return Msg::NotAnIndex;
    case errLocked: return Msg::Locked;
    default: return Msg::Format(Msg::Generic, {std::to_string(number)});
    }
}

namespace detail {

std::string QuoteIdent(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

std::string UpperKey(const std::string& name) { return AnsiUpperCase(name); }

int TableInfo::ColumnIndex(const std::string& name) const {
    for (size_t i = 0; i < Columns.size(); ++i)
        if (AnsiSameText(Columns[i]->Name, name)) return int(i);
    return -1;
}

// --- statements -------------------------------------------------------------------------------
Stmt::Stmt(Connection& c, const std::string& sql) : C(&c) {
    c.CheckOpen();
    int rc = sqlite3_prepare_v2(c.Db, sql.c_str(), int(sql.size()), &S, nullptr);
    if (rc != SQLITE_OK) {
        if (S) sqlite3_finalize(S);
        S = nullptr;
        c.FailSqlite(rc, sql);
    }
}
Stmt& Stmt::operator=(Stmt&& o) noexcept {
    if (this != &o) {
        if (S && C->Db) sqlite3_finalize(S);
        S = o.S;
        C = o.C;
        o.S = nullptr;
    }
    return *this;
}
// After Close the connection has finalized every statement itself.
Stmt::~Stmt() {
    if (S && C->Db) sqlite3_finalize(S);
}

bool Stmt::Step() {
    int rc = sqlite3_step(S);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(S);
        return false;
    }
    sqlite3_reset(S);
    C->FailSqlite(rc, sqlite3_sql(S) ? sqlite3_sql(S) : "");
}
void Stmt::Reset() {
    sqlite3_reset(S);
    sqlite3_clear_bindings(S);
}
void Stmt::BindAll(const std::vector<Variant>& binds, int first) {
    for (size_t i = 0; i < binds.size(); ++i) BindStored(S, first + int(i), binds[i], nullptr);
}

// --- connection -------------------------------------------------------------------------------
Connection::Connection(sqlite3* db, std::string fileName, std::shared_ptr<ErrorSink> errors, bool readOnly)
    : Db(db), FileName(std::move(fileName)), Errors(std::move(errors)), ReadOnly(readOnly) {}
Connection::~Connection() { Close(); }

void Connection::Close() {
    FTables.clear();
    if (!Db) return;
    // Finalize what recordsets still hold, so the file and its locks are released now.
    while (sqlite3_stmt* s = sqlite3_next_stmt(Db, nullptr)) sqlite3_finalize(s);
    sqlite3_close_v2(Db);
    Db = nullptr;
}

void Connection::CheckOpen() const {
    if (!Db) Fail(errObjectClosed, "");
}

void Connection::FailSqlite(int rc, const std::string& context) const {
    const int ext = Db ? sqlite3_extended_errcode(Db) : rc;
    const std::string msg = Db ? sqlite3_errmsg(Db) : sqlite3_errstr(rc);
    switch (ext) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_ROWID: Fail(errDuplicateKey, "");
    case SQLITE_CONSTRAINT_NOTNULL: Fail(errRequiredNull, Msg::Format(Msg::RequiredNullSql, {msg}));
    default: break;
    }
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: Fail(errLocked, Msg::Format(Msg::LockedFile, {FileName}));
    case SQLITE_READONLY: Fail(errReadOnly, "");
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: Fail(errUnrecognizedFormat, Msg::Format(Msg::Damaged, {FileName}));
    case SQLITE_CONSTRAINT: Fail(errDuplicateKey, msg);
    default: break;
    }
    if (msg.rfind("no such table", 0) == 0)
        Fail(errTableNotFound, Msg::Format(Msg::TableNotFound, {Trim(msg.substr(14))}));
    if (msg.rfind("no such column", 0) == 0) Fail(errUnknownName, msg + ".");
    if (msg.find("syntax error") != std::string::npos)
        Fail(errSyntaxInExpression, Msg::Format(Msg::SyntaxError, {msg, context}));
    // An I/O error, a full disk, no memory ...: SQLite's own words follow the engine's.
    Fail(errGeneric, Msg::Format(Msg::Generic, {std::to_string(rc & 0xFF)}) + " (" + msg + ")");
}

void Connection::Exec(const std::string& sql) {
    CheckOpen();
    char* err = nullptr;
    int rc = sqlite3_exec(Db, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) FailSqlite(rc, sql);
}

void Connection::Begin() {
    if (ReadOnly) Fail(errReadOnly, "");
    Exec("BEGIN IMMEDIATE");
}
void Connection::Commit() { Exec("COMMIT"); }
void Connection::Rollback() noexcept {
    if (Db && !sqlite3_get_autocommit(Db)) sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
}

std::vector<std::string> Connection::TableNames() {
    std::vector<std::string> out;
    Stmt s(*this, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY rowid");
    while (s.Step()) out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 0)));
    return out;
}

namespace {
bool HasTable(Connection& c, const char* name) {
    sqlite3_stmt* s = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(c.Db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1", -1, &s, nullptr) ==
        SQLITE_OK) {
        sqlite3_bind_text(s, 1, name, -1, SQLITE_STATIC);
        found = sqlite3_step(s) == SQLITE_ROW;
    }
    sqlite3_finalize(s);
    return found;
}
std::string ColText(sqlite3_stmt* s, int i) {
    const unsigned char* t = sqlite3_column_text(s, i);
    return t ? std::string(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(s, i))) : std::string();
}
}  // namespace

std::shared_ptr<const TableInfo> Connection::Table(const std::string& name) {
    CheckOpen();
    const std::string key = UpperKey(name);
    auto it = FTables.find(key);
    if (it != FTables.end()) return it->second;
    std::string actual;
    for (const auto& n : TableNames())
        if (AnsiSameText(n, name)) {
            actual = n;
            break;
        }
    if (actual.empty()) return nullptr;

    auto t = std::make_shared<TableInfo>();
    t->Name = actual;
    std::vector<Column> cols;
    int pkCount = 0, pkCol = -1;
    std::string pkType;
    {
        Stmt s(*this, "PRAGMA table_info(" + QuoteIdent(actual) + ")");
        while (s.Step()) {
            Column c;
            c.Name = ColText(s.get(), 1);
            c.Table = actual;
            const std::string declared = ColText(s.get(), 2);
            ParseDeclaredType(declared, c.Type, c.Size);
            c.Required = sqlite3_column_int(s.get(), 3) != 0;
            if (sqlite3_column_type(s.get(), 4) != SQLITE_NULL)
                c.DefaultText = JetDefaultFromSql(ColText(s.get(), 4), c.Type);
            if (sqlite3_column_int(s.get(), 5) > 0) {
                ++pkCount;
                pkCol = int(cols.size());
                pkType = declared;
            }
            cols.push_back(c);
        }
    }
    if (pkCount == 1 && SameText(Trim(pkType), "INTEGER")) {
        t->RowidColumn = pkCol;
        cols[size_t(pkCol)].AutoInc = true;
        cols[size_t(pkCol)].Type = dbLong;
        cols[size_t(pkCol)].Size = 4;
    }
    if (HasTable(*this, "dao_fields")) {
        Stmt s(*this,
            "SELECT FieldName, Required, AllowZeroLength, DefaultValue, Format, Caption FROM dao_fields "
            "WHERE TableName = ?1 COLLATE CZECH");
        sqlite3_bind_text(s.get(), 1, actual.c_str(), int(actual.size()), SQLITE_TRANSIENT);
        while (s.Step()) {
            const std::string fn = ColText(s.get(), 0);
            for (auto& c : cols) {
                if (!AnsiSameText(c.Name, fn)) continue;
                if (sqlite3_column_type(s.get(), 1) != SQLITE_NULL)
                    c.Required = c.Required || sqlite3_column_int(s.get(), 1) != 0;
                if (sqlite3_column_type(s.get(), 2) != SQLITE_NULL)
                    c.AllowZeroLength = sqlite3_column_int(s.get(), 2) != 0;
                if (sqlite3_column_type(s.get(), 3) != SQLITE_NULL) c.DefaultText = ColText(s.get(), 3);
                c.Format = ColText(s.get(), 4);
                c.Caption = ColText(s.get(), 5);
            }
        }
    }
    if (HasTable(*this, "dao_tables")) {
        Stmt s(*this, "SELECT DateCreated, LastUpdated FROM dao_tables WHERE Name = ?1 COLLATE CZECH");
        sqlite3_bind_text(s.get(), 1, actual.c_str(), int(actual.size()), SQLITE_TRANSIENT);
        if (s.Step()) {
            if (sqlite3_column_type(s.get(), 0) != SQLITE_NULL)
                t->DateCreated = Variant::FromDate(sqlite3_column_double(s.get(), 0));
            if (sqlite3_column_type(s.get(), 1) != SQLITE_NULL)
                t->LastUpdated = Variant::FromDate(sqlite3_column_double(s.get(), 1));
            sqlite3_reset(s.get());
        }
    }
    for (auto& c : cols) {
        if (c.AutoInc) {
            c.Updatable = true;
            c.Required = false;
        }
        t->Columns.push_back(std::make_shared<const Column>(c));
    }
    FTables[key] = t;
    return t;
}

std::vector<IndexInfo> Connection::Indexes(const TableInfo& t) {
    std::vector<IndexInfo> out;
    if (t.RowidColumn >= 0) {
        IndexInfo pk;
        pk.DaoName = "PrimaryKey";
        pk.Primary = pk.Unique = true;
        pk.Columns.emplace_back(t.Columns[size_t(t.RowidColumn)]->Name, false);
        out.push_back(pk);
    }
    std::map<std::string, std::pair<std::string, bool>> names;  // sqlite name -> dao name, primary
    if (HasTable(*this, "dao_indexes")) {
        Stmt s(*this, "SELECT SqliteName, IndexName, IsPrimary FROM dao_indexes WHERE TableName = ?1 COLLATE CZECH");
        sqlite3_bind_text(s.get(), 1, t.Name.c_str(), int(t.Name.size()), SQLITE_TRANSIENT);
        while (s.Step()) names[ColText(s.get(), 0)] = {ColText(s.get(), 1), sqlite3_column_int(s.get(), 2) != 0};
    }
    std::vector<IndexInfo> listed;
    {
        Stmt s(*this, "PRAGMA index_list(" + QuoteIdent(t.Name) + ")");
        while (s.Step()) {
            IndexInfo ix;
            ix.SqliteName = ColText(s.get(), 1);
            ix.Unique = sqlite3_column_int(s.get(), 2) != 0;
            const std::string origin = ColText(s.get(), 3);
            auto it = names.find(ix.SqliteName);
            if (it != names.end()) {
                ix.DaoName = it->second.first;
                ix.Primary = it->second.second;
            } else if (origin == "pk") {
                ix.DaoName = "PrimaryKey";
                ix.Primary = true;
            } else ix.DaoName = ix.SqliteName;
            listed.push_back(ix);
        }
    }
    for (auto& ix : listed) {
        Stmt s(*this, "PRAGMA index_xinfo(" + QuoteIdent(ix.SqliteName) + ")");
        while (s.Step())
            if (sqlite3_column_int(s.get(), 5) != 0 && sqlite3_column_type(s.get(), 2) != SQLITE_NULL)
                ix.Columns.emplace_back(ColText(s.get(), 2), sqlite3_column_int(s.get(), 3) != 0);
    }
    // sqlite lists the newest index first; DAO lists them in creation order
    for (auto it = listed.rbegin(); it != listed.rend(); ++it) out.push_back(*it);
    return out;
}

// --- types and values -------------------------------------------------------------------------
int FixedSize(int type) {
    switch (type) {
    case dbBoolean:
    case dbByte: return 1;
    case dbInteger: return 2;
    case dbLong:
    case dbSingle: return 4;
    case dbCurrency:
    case dbDouble:
    case dbDate: return 8;
    case dbGUID: return 16;
    default: return 0;
    }
}

void ParseDeclaredType(const std::string& declared, int& type, int& size) {
    std::string d = AnsiUpperCase(Trim(declared));
    size = 0;
    size_t paren = d.find('(');
    std::string base = Trim(d.substr(0, paren));
    if (paren != std::string::npos) size = std::atoi(d.c_str() + paren + 1);
    // drop a trailing collation or other words after the type name
    size_t sp = base.find(' ');
    std::string head = sp == std::string::npos ? base : base.substr(0, sp);
    struct Map {
        const char* Name;
        int Type;
    };
    static const Map map[] = {
        {"TEXT", dbText},
        {"VARCHAR", dbText},
        {"CHAR", dbText},
        {"NVARCHAR", dbText},
        {"STRING", dbText},
        {"LONGTEXT", dbMemo},
        {"MEMO", dbMemo},
        {"NOTE", dbMemo},
        {"CLOB", dbMemo},
        {"YESNO", dbBoolean},
        {"BIT", dbBoolean},
        {"BOOLEAN", dbBoolean},
        {"LOGICAL", dbBoolean},
        {"BYTE", dbByte},
        {"TINYINT", dbByte},
        {"SHORT", dbInteger},
        {"SMALLINT", dbInteger},
        {"INTEGER2", dbInteger},
        {"LONG", dbLong},
        {"INTEGER", dbLong},
        {"INT", dbLong},
        {"COUNTER", dbLong},
        {"AUTOINCREMENT", dbLong},
        {"CURRENCY", dbCurrency},
        {"MONEY", dbCurrency},
        {"SINGLE", dbSingle},
        {"REAL", dbSingle},
        {"FLOAT4", dbSingle},
        {"DOUBLE", dbDouble},
        {"FLOAT", dbDouble},
        {"NUMBER", dbDouble},
        {"NUMERIC", dbDouble},
        {"DATETIME", dbDate},
        {"DATE", dbDate},
        {"TIME", dbDate},
        {"TIMESTAMP", dbDate},
        {"GUID", dbGUID},
        {"UNIQUEIDENTIFIER", dbGUID},
        {"BINARY", dbBinary},
        {"VARBINARY", dbBinary},
        {"LONGBINARY", dbLongBinary},
        {"BLOB", dbLongBinary},
        {"OLEOBJECT", dbLongBinary},
        {"IMAGE", dbLongBinary},
    };
    type = head.empty() ? dbLongBinary : dbText;
    for (const auto& m : map)
        if (head == m.Name) {
            type = m.Type;
            break;
        }
    if (type == dbText) {
        if (size <= 0 || size > 255) size = 255;
    } else if (type == dbBinary) {
        if (size <= 0 || size > 510) size = 510;
    } else if (type == dbMemo || type == dbLongBinary) size = 0;
    else size = FixedSize(type);
}

namespace {
Variant BytesVariant(const void* data, int n) {
    Variant v = VarArrayCreate({0, n - 1}, varByte);
    const auto* p = static_cast<const uint8_t*>(data);
    for (int i = 0; i < n; ++i) v.PutElement({i}, Variant::FromInt(p[i], varByte));
    return v;
}
std::string VariantBytes(const Variant& v) {
    if (!v.IsArray()) return v.AsString();
    std::string out;
    const int lo = VarArrayLowBound(v, 1), hi = VarArrayHighBound(v, 1);
    for (int i = lo; i <= hi; ++i) out += char(uint8_t(v.GetElement({i}).AsInteger()));
    return out;
}
bool TextToDouble(const std::string& text, double& d) {
    const std::string s = Trim(text);
    if (s.empty()) return false;
    if (TryStrToFloat(s, d, FormatSettings())) return true;
    // Text in the invariant form (scripts, criteria) reads too.
    char* end = nullptr;
    d = std::strtod(s.c_str(), &end);
    return end && *end == '\0' && std::isfinite(d);
}
bool TextToBool(const std::string& text, bool& b) {
    const std::string s = AnsiLowerCase(Trim(text));
    if (s == "true" || s == "yes" || s == "on") {
        b = true;
        return true;
    }
    if (s == "false" || s == "no" || s == "off") {
        b = false;
        return true;
    }
    double d = 0;
    if (TextToDouble(s, d)) {
        b = d != 0;
        return true;
    }
    return false;
}
std::string GuidCore(const std::string& text) {
    // "{guid {X}}" or "{X}" -> "{X}" upper-cased; '' when malformed
    std::string s = Trim(text);
    if (s.size() > 6 && SameText(s.substr(0, 6), "{guid ")) {
        s = Trim(s.substr(6));
        if (s.size() >= 2 && s.compare(s.size() - 2, 2, "}}") == 0) s.pop_back();
    }
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return "";
    for (size_t i = 1; i < 37; ++i) {
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i]))) return "";
    }
    return UpperCase(s);
}
}  // namespace

bool Normalize(const Variant& in, const Column& c, Variant& out) {
    if (in.IsNull() || in.IsEmpty()) {
        // A Yes/No column has no Null: Jet stores No.
        out = c.Type == dbBoolean ? Variant(false) : Variant::Null();
        return true;
    }
    const bool isText = in.IsString();
    try {
        switch (c.Type) {
        case dbBoolean: {
            bool b = false;
            if (isText) {
                if (!TextToBool(in.AsString(), b)) return false;
            } else b = in.AsBoolean();
            out = Variant(b);
            return true;
        }
        case dbByte:
        case dbInteger:
        case dbLong: {
            double d = 0;
            if (isText) {
                if (!TextToDouble(in.AsString(), d)) return false;
            } else if (in.VarType() == varBoolean) d = in.AsBoolean() ? -1 : 0;
            else d = in.AsDouble();
            d = std::nearbyint(d);  // halves to even, as the default rounding mode does
            const double lo = c.Type == dbByte ? 0 : c.Type == dbInteger ? -32768 : -2147483648.0;
            const double hi = c.Type == dbByte ? 255 : c.Type == dbInteger ? 32767 : 2147483647.0;
            if (!(d >= lo && d <= hi)) return false;
            out = c.Type == dbLong ? Variant(int(d))
                                   : Variant::FromInt(int64_t(d), c.Type == dbByte ? varByte : varSmallint);
            return true;
        }
        case dbCurrency:
        case dbSingle:
        case dbDouble: {
            double d = 0;
            if (isText) {
                if (!TextToDouble(in.AsString(), d)) return false;
            } else if (in.VarType() == varBoolean) d = in.AsBoolean() ? -1 : 0;
            else d = in.AsDouble();
            if (!std::isfinite(d)) return false;
            out = c.Type == dbCurrency ? Variant(Currency::FromDouble(d))
                : c.Type == dbSingle   ? Variant::FromSingle(float(d))
                                       : Variant(d);
            return true;
        }
        case dbDate: {
            double d = 0;
            if (isText) {
                const std::string s = Trim(in.AsString());
                if (!TryStrToDateTime(s, d, FormatSettings()) && !ParseJetDate(s, d)) return false;
            } else d = in.AsDouble();
            if (!std::isfinite(d)) return false;
            out = Variant::FromDate(d);
            return true;
        }
        case dbGUID: {
            const std::string g = GuidCore(isText ? in.AsString() : VariantBytes(in));
            if (g.empty()) return false;
            out = Variant("{guid " + g + "}");
            return true;
        }
        case dbBinary:
        case dbLongBinary:
            if (in.IsArray()) {
                out = in;
                return true;
            }
            if (isText) {
                std::string b = in.AsString();
                out = BytesVariant(b.data(), int(b.size()));
                return true;
            }
            return false;
        default:
            if (in.IsArray()) return false;
            out = Variant(in.AsString());
            return true;
        }
    } catch (const Exception&) {
        return false;
    }
}

void BindStored(sqlite3_stmt* s, int index, const Variant& v, const Column* c) {
    switch (v.VarType()) {
    case varEmpty:
    case varNull:
        if (c && c->Type == dbBoolean) sqlite3_bind_int(s, index, 0);
        else sqlite3_bind_null(s, index);
        return;
    case varBoolean: sqlite3_bind_int(s, index, v.AsBoolean() ? -1 : 0); return;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: sqlite3_bind_int64(s, index, v.AsInt64()); return;
    case varSingle:
    case varDouble:
    case varDate:
    case varCurrency: sqlite3_bind_double(s, index, v.AsDouble()); return;
    default: break;
    }
    if (v.IsArray()) {
        const std::string b = VariantBytes(v);
        sqlite3_bind_blob(s, index, b.data(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    std::string text = v.AsString();
    if (c && c->Type == dbGUID) text = GuidCore(text);
    sqlite3_bind_text(s, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
}

Variant ReadStored(sqlite3_stmt* s, int i, const Column& c) {
    const int st = sqlite3_column_type(s, i);
    if (st == SQLITE_NULL) return Variant::Null();
    switch (c.Type) {
    case dbText:
    case dbMemo: {
        const unsigned char* t = sqlite3_column_text(s, i);
        return Variant(std::string_view(reinterpret_cast<const char*>(t), size_t(sqlite3_column_bytes(s, i))));
    }
    default: break;
    }
    if (st == SQLITE_TEXT && c.Type != dbGUID) {
        // a value stored as text in a typed column: convert it, else show it as it is
        Variant out;
        Variant raw(ColText(s, i));
        return Normalize(raw, c, out) ? out : raw;
    }
    switch (c.Type) {
    case dbBoolean: return Variant(sqlite3_column_int64(s, i) != 0);
    case dbByte: return Variant::FromInt(sqlite3_column_int64(s, i), varByte);
    case dbInteger: return Variant::FromInt(sqlite3_column_int64(s, i), varSmallint);
    case dbLong: return Variant(int(sqlite3_column_int64(s, i)));
    case dbCurrency: return Variant(Currency::FromDouble(sqlite3_column_double(s, i)));
    case dbSingle: return Variant::FromSingle(float(sqlite3_column_double(s, i)));
    case dbDouble: return Variant(sqlite3_column_double(s, i));
    case dbDate: return Variant::FromDate(sqlite3_column_double(s, i));
    case dbGUID: return Variant("{guid " + ColText(s, i) + "}");
    case dbBinary:
    case dbLongBinary: return BytesVariant(sqlite3_column_blob(s, i), sqlite3_column_bytes(s, i));
    default: return Variant(ColText(s, i));
    }
}

std::string JetDefaultFromSql(const std::string& sqlDefault, int type) {
    std::string d = Trim(sqlDefault);
    if (d.empty() || SameText(d, "NULL")) return "";
    if (d.size() >= 2 && d.front() == '\'' && d.back() == '\'') {
        std::string inner = StringReplace(d.substr(1, d.size() - 2), "''", "'", rfReplaceAll);
        return "\"" + StringReplace(inner, "\"", "\"\"", rfReplaceAll) + "\"";
    }
    if (type == dbBoolean) return d == "0" ? "No" : "Yes";
    return d;
}

Variant DefaultFromText(const std::string& text, const Column& c) {
    std::string t = Trim(text);
    if (!t.empty() && t[0] == '=') t = Trim(t.substr(1));
    if (t.empty() || SameText(t, "Null") || AnsiLowerCase(t).find("genuniqueid") != std::string::npos ||
        AnsiLowerCase(t).find("genguid") != std::string::npos)
        return Variant::Null();
    Variant raw;
    if (t.size() >= 2 && (t.front() == '"' || t.front() == '\'') && t.back() == t.front()) {
        raw = Variant(StringReplace(
            t.substr(1, t.size() - 2), std::string(2, t.front()), std::string(1, t.front()), rfReplaceAll));
    } else if (t.size() >= 2 && t.front() == '#' && t.back() == '#') {
        double d = 0;
        if (!ParseJetDate(t.substr(1, t.size() - 2), d)) return Variant::Null();
        raw = Variant::FromDate(d);
    } else {
        char* end = nullptr;
        double d = std::strtod(t.c_str(), &end);
        raw = end && *end == '\0' ? Variant(d) : Variant(t);
    }
    Variant out;
    return Normalize(raw, c, out) ? out : Variant::Null();
}

bool SameValue(const Variant& a, const Variant& b) {
    if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull();
    if (a.IsString() || b.IsString()) return a.IsString() && b.IsString() && a.RawString() == b.RawString();
    if (a.IsArray() || b.IsArray()) return a.IsArray() && b.IsArray() && VariantBytes(a) == VariantBytes(b);
    try {
        return a.AsDouble() == b.AsDouble();
    } catch (const Exception&) {
        return false;
    }
}

// --- SQL functions ----------------------------------------------------------------------------
namespace {
int CzechCollate(void*, int na, const void* a, int nb, const void* b) {
    return AnsiCompareText(std::string_view(static_cast<const char*>(a), size_t(na)),
        std::string_view(static_cast<const char*>(b), size_t(nb)));
}
std::string ArgText(sqlite3_value* v) {
    const unsigned char* t = sqlite3_value_text(v);
    return t ? std::string(reinterpret_cast<const char*>(t), size_t(sqlite3_value_bytes(v))) : std::string();
}
void LikeFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    // like(pattern, value): Jet's wildcards, case-insensitive with Czech letters
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_int(ctx, JetLike(ArgText(argv[0]), ArgText(argv[1])) ? 1 : 0);
}
void CaseFn(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const bool upper = sqlite3_user_data(ctx) != nullptr;
    const std::string r = upper ? AnsiUpperCase(ArgText(argv[0])) : AnsiLowerCase(ArgText(argv[0]));
    sqlite3_result_text(ctx, r.data(), int(r.size()), SQLITE_TRANSIENT);
}
}  // namespace

void RegisterFunctions(sqlite3* db) {
    static int upperTag = 1;
    sqlite3_create_collation(db, "CZECH", SQLITE_UTF8, nullptr, CzechCollate);
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "like", 2, flags, nullptr, LikeFn, nullptr, nullptr);
    sqlite3_create_function(db, "lcase", 1, flags, nullptr, CaseFn, nullptr, nullptr);
    sqlite3_create_function(db, "ucase", 1, flags, &upperTag, CaseFn, nullptr, nullptr);
}

}  // namespace detail
}  // namespace Dao
