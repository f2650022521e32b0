// Recordsets: keysets, moves, bookmarks, editing, searching; and field values.
#include <algorithm>
#include <map>
#include <unordered_map>
#include <unordered_set>

#include "platform/daoengine/DaoMessages.h"
#include "platform/daoengine/DaoSqlite.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"

namespace Dao {

using detail::Column;
using detail::Connection;
using detail::QuoteIdent;
using detail::Stmt;
using detail::TableInfo;

namespace detail {

// Where the rows come from; shared by a recordset, its clones and its re-queries.
struct Source {
    bool IsTable = true;
    std::shared_ptr<const TableInfo> Table;  // IsTable
    std::vector<int> ColumnMap;  // recordset field -> table column
    std::string Where;  // SQL, binds ?1..
    std::vector<Variant> WhereBinds;
    std::string Order;  // SQL without ORDER BY
    std::string Sql;  // !IsTable: the whole select
    std::vector<Variant> Binds;
    int MaxRecords = 0;
};

// The ordered row ids (row numbers for query results) and, when copied, the values.
struct Keyset {
    std::vector<int64_t> Ids;
    std::vector<std::vector<Variant>> Rows;
    bool Copied = false;
    std::unordered_set<int64_t> Deleted;  // deleted through this recordset family
    uint64_t Generation = 0;
    unsigned FileVersion = 0;  // the file's data version when the ids were read
    long Find(int64_t id) {
        if (!MapValid) {
            Map.clear();
            for (size_t i = 0; i < Ids.size(); ++i) Map[Ids[i]] = long(i);
            MapValid = true;
        }
        auto it = Map.find(id);
        return it == Map.end() ? -1 : it->second;
    }
    void Erase(long i) {
        Ids.erase(Ids.begin() + i);
        if (Copied) Rows.erase(Rows.begin() + i);
        MapValid = false;
        ++Generation;
    }
    void Append(int64_t id) {
        Ids.push_back(id);
        if (MapValid) Map[id] = long(Ids.size() - 1);
        ++Generation;
    }

private:
    std::unordered_map<int64_t, long> Map;
    bool MapValid = false;
};

}  // namespace detail

enum class At { BOF, EOF_, Row, Deleted, Nowhere };

struct Recordset::Impl {
    std::shared_ptr<Connection> Conn;
    std::shared_ptr<detail::Source> Src;
    std::shared_ptr<detail::Keyset> Ks;
    std::vector<std::shared_ptr<const Column>> Cols;
    Fields FieldList;
    bool ReadOnly = false, AppendOnly = false, Closed = false;
    At State = At::BOF;
    long Pos = -1;
    int64_t CurId = 0;
    uint64_t Generation = 0;
    std::vector<Variant> Cur;
    std::vector<Variant> Buf, Orig;
    std::vector<char> Dirty, Bad;
    int64_t LastModified = 0;
    // The file's data version while the row read by Load was read (0: not known), and that of
    // the row an edit started from: unchanged at Update means nobody wrote to the file since.
    unsigned CurVersion = 0, EditVersion = 0;
    Stmt RowStmt;
    std::vector<std::pair<std::string, bool>> IndexCols;
    // Rows read ahead for MoveNext/MovePrevious: one statement (one lock) per block.
    static constexpr int kBlock = 64;
    Stmt BlockStmt, RangeStmt;
    // The block: the ids asked for, in the walk's order, and their rows (slots reused from
    // block to block, so a walk allocates no row storage of its own). State per slot: 0 not
    // read (the row is missing), 1 read, 2 handed to Cur.
    std::vector<int64_t> BlockIds;
    std::vector<std::vector<Variant>> BlockRows;
    std::vector<char> BlockState;
    size_t BlockHint = 0;
    sqlite3_int64 BlockChanges = -1;

    void DropBlock() { BlockIds.clear(); }

    // The UPDATE of one set of columns ("SET ... WHERE ... RETURNING ..."), prepared once: an
    // editing session posts the same columns again and again.
    std::map<std::string, Stmt> UpdateStmts;
    Stmt& UpdateStmt(const std::string& tail) {
        auto it = UpdateStmts.find(tail);
        if (it == UpdateStmts.end()) {
            if (UpdateStmts.size() >= 16) UpdateStmts.clear();
            it = UpdateStmts.emplace(tail, Stmt(*Conn, "UPDATE " + QuoteIdent(TableName()) + " SET " + tail)).first;
        }
        it->second.Reset();
        return it->second;
    }
    // The slot of id in the block, -1 when it is not in it (the next slot is tried first).
    long BlockSlot(int64_t id) {
        const size_t n = BlockIds.size();
        for (size_t k = 0; k < n; ++k) {
            const size_t i = (BlockHint + k) % n;
            if (BlockIds[i] == id) {
                BlockHint = i + 1;
                return long(i);
            }
        }
        return -1;
    }

    std::string SelectList() const {
        std::string cols;
        for (int c : Src->ColumnMap)
            cols += (cols.empty() ? "" : ", ") + QuoteIdent(Src->Table->Columns[size_t(c)]->Name);
        return cols;
    }

    // Reads the rows of the keyset from p on, in direction dir, into Block.
    void FetchBlock(long p, int dir) {
        DropBlock();
        // A read that fails (a damaged page, a lock held past the timeout) leaves no half
        // block behind: a row missing from it would pass for one deleted by another user and
        // be skipped, so the walk would end early without a word.
        auto dropOnFailure = OnScopeExit([this] { DropBlock(); });
        std::vector<int64_t> ids;
        for (int k = 0; k < kBlock && p >= 0 && p < Size(); ++k, p += dir) ids.push_back(Ks->Ids[size_t(p)]);
        if (ids.empty()) return;
        // Ids in their stored order and close together are read as one range of the table
        // (one pass over its pages); others one by one through the list.
        const bool up = std::is_sorted(ids.begin(), ids.end());
        const bool down = std::is_sorted(ids.rbegin(), ids.rend());
        const int64_t lo = up ? ids.front() : ids.back(), hi = up ? ids.back() : ids.front();
        Stmt* st = nullptr;
        if ((up || down) && hi - lo < 4 * kBlock) {
            if (!RangeStmt)
                RangeStmt = Stmt(*Conn,
                    "SELECT rowid, " + SelectList() + " FROM " + QuoteIdent(TableName()) +
                        " WHERE rowid BETWEEN ?1 AND ?2");
            st = &RangeStmt;
            st->Reset();
            sqlite3_bind_int64(st->get(), 1, lo);
            sqlite3_bind_int64(st->get(), 2, hi);
        } else {
            if (!BlockStmt) {
                std::string marks;
                for (int i = 1; i <= kBlock; ++i) marks += (i > 1 ? ", ?" : "?") + std::to_string(i);
                BlockStmt = Stmt(*Conn,
                    "SELECT rowid, " + SelectList() + " FROM " + QuoteIdent(TableName()) + " WHERE rowid IN (" + marks +
                        ")");
            }
            st = &BlockStmt;
            st->Reset();
            for (size_t k = 0; k < ids.size(); ++k) sqlite3_bind_int64(st->get(), int(k) + 1, ids[k]);
        }
        BlockIds = std::move(ids);
        BlockHint = 0;
        BlockState.assign(BlockIds.size(), 0);
        if (BlockRows.size() < BlockIds.size()) BlockRows.resize(BlockIds.size());
        while (st->Step()) {
            const long k = BlockSlot(sqlite3_column_int64(st->get(), 0));
            if (k < 0 || BlockState[size_t(k)]) continue;  // a row others added: not in this recordset
            std::vector<Variant>& row = BlockRows[size_t(k)];
            row.resize(Cols.size());
            for (size_t i = 0; i < Cols.size(); ++i) row[i] = detail::ReadStored(st->get(), int(i) + 1, *Cols[i]);
            BlockState[size_t(k)] = 1;
        }
        BlockHint = 0;
        BlockChanges = sqlite3_total_changes64(Conn->Db);
        dropOnFailure.Release();
    }

    // Like Load, but served from the read-ahead block when the walk continues.
    bool LoadAhead(long p, int dir) {
        const int64_t id = Ks->Ids[size_t(p)];
        if (BlockChanges != sqlite3_total_changes64(Conn->Db)) DropBlock();  // written meanwhile
        long k = BlockSlot(id);
        if (k < 0 || BlockState[size_t(k)] == 2) {
            FetchBlock(p, dir);
            k = BlockSlot(id);
        }
        if (k < 0 || BlockState[size_t(k)] != 1) return false;
        std::swap(Cur, BlockRows[size_t(k)]);  // Cur's old storage goes back to the block
        BlockState[size_t(k)] = 2;
        return true;
    }

    [[noreturn]] void Fail(int n, const std::string& d = "", const std::string& field = "") const {
        Conn->Fail(n, d, field);
    }
    // Changes with every write to the file, by this connection or any other.
    unsigned FileVersion() const {
        unsigned v = 0;
        sqlite3_file_control(Conn->Db, "main", SQLITE_FCNTL_DATA_VERSION, &v);
        return v;
    }
    const std::string& TableName() const { return Src->Table->Name; }
    long Size() const { return long(Ks->Ids.size()); }

    // Loads the row with this id into Cur; false when it no longer exists.
    bool Load(int64_t id) {
        DropBlock();
        if (!RowStmt)
            RowStmt = Stmt(*Conn, "SELECT " + SelectList() + " FROM " + QuoteIdent(TableName()) + " WHERE rowid = ?1");
        sqlite3_bind_int64(RowStmt.get(), 1, id);
        CurVersion = 0;
        if (!RowStmt.Step()) return false;
        Cur.resize(Cols.size());
        for (size_t i = 0; i < Cols.size(); ++i) Cur[i] = detail::ReadStored(RowStmt.get(), int(i), *Cols[i]);
        // Taken while the statement still holds its read lock: the version of what was read.
        CurVersion = FileVersion();
        sqlite3_reset(RowStmt.get());
        return true;
    }

    // Follows the current row when a clone changed the shared keyset.
    void Sync() {
        if (Generation == Ks->Generation) return;
        Generation = Ks->Generation;
        if (State == At::Row && (Pos >= Size() || Ks->Ids[size_t(Pos)] != CurId)) {
            long p = Ks->Find(CurId);
            if (p >= 0) Pos = p;
            else {
                State = At::Deleted;
                Pos = std::min(Pos, Size());
            }
        } else if (State == At::Deleted) {
            Pos = std::min(Pos, Size());
        }
    }

    // Makes row p current, passing over rows that vanished in direction dir (0: exact).
    // A walk (ahead) reads rows in blocks; every other positioning reads the row afresh.
    void GoTo(long p, int dir, bool ahead = false) {
        Sync();
        for (;;) {
            if (p < 0) {
                State = At::BOF;
                Pos = -1;
                return;
            }
            if (p >= Size()) {
                State = At::EOF_;
                Pos = Size();
                return;
            }
            const int64_t id = Ks->Ids[size_t(p)];
            if (Ks->Copied) {
                Cur = Ks->Rows[size_t(p)];
                break;
            }
            if (ahead ? LoadAhead(p, dir) : Load(id)) break;
            // Deleted by someone else since the keyset was taken. Unless nobody has written
            // to the file since then: a row that was there and is gone without a write was
            // lost to damage, and passing over it would shorten the table without a word.
            if (FileVersion() == Ks->FileVersion)
                Fail(errUnrecognizedFormat, Msg::Format(Msg::Damaged, {Conn->FileName}));
            Ks->Deleted.insert(id);
            Ks->Erase(p);
            Generation = Ks->Generation;
            if (dir == 0) {
                State = At::Deleted;
                Pos = p;
                CurId = id;
                Fail(errRecordDeleted);
            }
            if (dir < 0) --p;
        }
        State = At::Row;
        Pos = p;
        CurId = Ks->Ids[size_t(p)];
    }

    void CheckOpen() const {
        if (Closed) Fail(errObjectClosed);
        Conn->CheckOpen();
    }
    void CheckCurrent() {
        CheckOpen();
        Sync();
        if (State == At::Deleted) Fail(errRecordDeleted);
        if (State != At::Row) Fail(errNoCurrentRecord);
    }

    void Build(int type) {
        DropBlock();
        auto ks = std::make_shared<detail::Keyset>();
        const auto& s = *Src;
        if (AppendOnly) {
            Ks = ks;
            return;
        }
        const bool copy = !s.IsTable || type == dbOpenSnapshot || type == dbOpenForwardOnly;
        ks->Copied = copy;
        std::string sql;
        std::vector<Variant> binds;
        if (s.IsTable) {
            sql = "SELECT rowid";
            if (copy)
                for (int c : s.ColumnMap) sql += ", " + QuoteIdent(s.Table->Columns[size_t(c)]->Name);
            sql += " FROM " + QuoteIdent(s.Table->Name);
            if (!s.Where.empty()) sql += " WHERE " + s.Where;
            std::string order = s.Order;
            if (type == dbOpenTable && !IndexCols.empty()) {
                order.clear();
                for (const auto& [c, desc] : IndexCols)
                    order += (order.empty() ? "" : ", ") + QuoteIdent(c) + (desc ? " DESC" : "");
            }
            sql += " ORDER BY " + (order.empty() ? std::string("rowid") : order + ", rowid");
            binds = s.WhereBinds;
        } else {
            sql = s.Sql;
            binds = s.Binds;
        }
        if (s.MaxRecords > 0) sql += " LIMIT " + std::to_string(s.MaxRecords);
        Stmt st(*Conn, sql);
        st.BindAll(binds);
        const int offset = s.IsTable ? 1 : 0;
        int64_t n = 0;
        while (st.Step()) {
            ks->Ids.push_back(s.IsTable ? sqlite3_column_int64(st.get(), 0) : ++n);
            if (copy) {
                std::vector<Variant> row(Cols.size());
                for (size_t i = 0; i < Cols.size(); ++i)
                    row[i] = detail::ReadStored(st.get(), int(i) + offset, *Cols[i]);
                ks->Rows.push_back(std::move(row));
            }
        }
        ks->FileVersion = FileVersion();
        Ks = ks;
        Generation = ks->Generation;
    }

    void First() {
        if (Size() > 0) GoTo(0, 1);
        else {
            State = At::BOF;
            Pos = -1;
        }
    }

    const Variant& Value(int i) {
        CheckOpen();
        if (!Buf.empty()) return Buf[size_t(i)];
        CheckCurrent();
        return Cur[size_t(i)];
    }
};

namespace {
Bookmark ToBookmark(int64_t id) {
    if (id <= 0 || id > INT32_MAX) throw EDaoError(errInvalidBookmark, Msg::InvalidBookmark);
    const auto v = uint32_t(id);
    return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}
}  // namespace

Recordset::Recordset() : FImpl(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;

Fields& Recordset::GetFields() { return FImpl->FieldList; }

bool Recordset::GetBOF() const {
    auto& m = *FImpl;
    m.CheckOpen();
    m.Sync();
    return m.State == At::BOF || (m.Size() == 0 && m.State != At::Deleted && m.State != At::Nowhere);
}
bool Recordset::GetEOF() const {
    auto& m = *FImpl;
    m.CheckOpen();
    m.Sync();
    return m.State == At::EOF_ || (m.Size() == 0 && m.State != At::Deleted && m.State != At::Nowhere);
}

namespace {
void LeaveEdit(Recordset::Impl& m, int& editMode) {
    editMode = dbEditNone;
    m.Buf.clear();
    m.Orig.clear();
}
}  // namespace

void Recordset::MoveFirst() {
    auto& m = *FImpl;
    m.CheckOpen();
    LeaveEdit(m, FEditMode);
    if (FType == dbOpenTable) m.Build(FType);  // a table-type recordset sees others' rows
    if (m.Size() == 0) m.Fail(errNoCurrentRecord);
    m.GoTo(0, 1);
}

void Recordset::MoveLast() {
    auto& m = *FImpl;
    m.CheckOpen();
    LeaveEdit(m, FEditMode);
    if (FType == dbOpenTable) m.Build(FType);
    if (m.Size() == 0) m.Fail(errNoCurrentRecord);
    m.GoTo(m.Size() - 1, -1);
}

void Recordset::MoveNext() {
    auto& m = *FImpl;
    m.CheckOpen();
    LeaveEdit(m, FEditMode);
    m.Sync();
    switch (m.State) {
    case At::EOF_: m.Fail(errNoCurrentRecord);
    case At::BOF:
    case At::Nowhere: m.GoTo(0, 1, true); break;
    case At::Row: m.GoTo(m.Pos + 1, 1, true); break;
    case At::Deleted: m.GoTo(m.Pos, 1, true); break;  // the next row took the deleted one's place
    }
}

void Recordset::MovePrevious() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FType == dbOpenForwardOnly) m.Fail(errInvalidOperation, Msg::ForwardOnlyBackward);
    LeaveEdit(m, FEditMode);
    m.Sync();
    switch (m.State) {
    case At::BOF: m.Fail(errNoCurrentRecord);
    case At::EOF_:
    case At::Nowhere: m.GoTo(m.Size() - 1, -1, true); break;
    case At::Row:
    case At::Deleted: m.GoTo(m.Pos - 1, -1, true); break;
    }
}

void Recordset::Move(int rows) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (rows == 0) {
        m.CheckCurrent();
        LeaveEdit(m, FEditMode);
        m.GoTo(m.Pos, 0);  // reads the record again; 3167 when it is gone
        return;
    }
    if (rows < 0 && FType == dbOpenForwardOnly) m.Fail(errInvalidOperation, Msg::ForwardOnlyBackward);
    LeaveEdit(m, FEditMode);
    m.Sync();
    long base = 0;
    switch (m.State) {
    case At::BOF:
        if (rows < 0) m.Fail(errNoCurrentRecord);
        base = -1;
        break;
    case At::EOF_:
        if (rows > 0) m.Fail(errNoCurrentRecord);
        base = m.Size();
        break;
    case At::Row:
    case At::Nowhere: base = m.State == At::Row ? m.Pos : -1; break;
    case At::Deleted: base = rows > 0 ? m.Pos - 1 : m.Pos; break;
    }
    m.GoTo(base + rows, rows > 0 ? 1 : -1);
}

Bookmark Recordset::GetBookmark() const {
    auto& m = *FImpl;
    if (!Bookmarkable()) m.Fail(errNotSupported, Msg::ForwardOnlyBookmarks);
    m.CheckCurrent();
    return ToBookmark(m.CurId);
}

void Recordset::SetBookmark(const Bookmark& b) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (!Bookmarkable()) m.Fail(errNotSupported, Msg::ForwardOnlyBookmarks);
    if (b.size() < 4) m.Fail(errInvalidBookmark);
    const int64_t id = int64_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
    if (m.Ks->Deleted.count(id)) m.Fail(errRecordDeleted);
    const long p = m.Ks->Find(id);
    if (p < 0) m.Fail(errInvalidBookmark);
    LeaveEdit(m, FEditMode);
    m.GoTo(p, 0);
}

Bookmark Recordset::LastModified() const {
    auto& m = *FImpl;
    m.CheckOpen();
    if (m.LastModified == 0) m.Fail(errNoCurrentRecord);
    return ToBookmark(m.LastModified);
}

int Recordset::RecordCount() const {
    FImpl->CheckOpen();
    return int(FImpl->Size());
}

int Recordset::AbsolutePosition() const {
    auto& m = *FImpl;
    m.CheckOpen();
    m.Sync();
    return m.State == At::Row ? int(m.Pos) : -1;
}

float Recordset::PercentPosition() const {
    auto& m = *FImpl;
    m.CheckOpen();
    m.Sync();
    if (m.State != At::Row || m.Size() == 0) return 0.0f;
    return float(double(m.Pos) * 100.0 / double(m.Size()));
}

bool Recordset::Updatable() const { return !FImpl->ReadOnly; }

void Recordset::Edit() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (m.ReadOnly) m.Fail(errReadOnly);
    m.CheckCurrent();
    LeaveEdit(m, FEditMode);
    m.GoTo(m.Pos, 0);  // start from the database's values
    m.EditVersion = m.CurVersion;
    m.Orig = m.Cur;
    m.Buf = m.Cur;
    m.Dirty.assign(m.Cols.size(), 0);
    m.Bad.assign(m.Cols.size(), 0);
    FEditMode = dbEditInProgress;
}

void Recordset::AddNew() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (m.ReadOnly) m.Fail(errReadOnly);
    LeaveEdit(m, FEditMode);
    m.Buf.resize(m.Cols.size());
    for (size_t i = 0; i < m.Cols.size(); ++i) m.Buf[i] = detail::DefaultFromText(m.Cols[i]->DefaultText, *m.Cols[i]);
    m.Dirty.assign(m.Cols.size(), 0);
    m.Bad.assign(m.Cols.size(), 0);
    FEditMode = dbEditAdd;
}

void Recordset::CancelUpdate() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FEditMode == dbEditNone) m.Fail(errUpdateWithoutEdit);
    LeaveEdit(m, FEditMode);
}

void Recordset::Update() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FEditMode == dbEditNone) m.Fail(errUpdateWithoutEdit);
    const bool adding = FEditMode == dbEditAdd;
    // Validation first: a failure leaves EditMode and the buffer as they are.
    for (size_t i = 0; i < m.Cols.size(); ++i) {
        const Column& c = *m.Cols[i];
        if (m.Bad[i]) m.Fail(errConversion, Msg::Format(Msg::FieldConversion, {c.Name}), c.Name);
        const Variant& v = m.Buf[i];
        if (!c.AutoInc && c.Required && v.IsNull() && (adding || m.Dirty[i]))
            m.Fail(errRequiredNull, Msg::Format(Msg::FieldRequired, {c.Name}), c.Name);
        if (!m.Dirty[i] || !v.IsString()) continue;
        if ((c.Type == dbText || c.Type == dbMemo) && v.RawString().empty() && !c.AllowZeroLength)
            m.Fail(errZeroLength, Msg::Format(Msg::FieldZeroLength, {c.Name}), c.Name);
        if (c.Type == dbText && Utf8Length(v.RawString()) > c.Size)
            m.Fail(errFieldTooSmall, Msg::Format(Msg::FieldTooSmall, {c.Name}), c.Name);
    }
    auto& conn = *m.Conn;
    const std::string table = QuoteIdent(m.TableName());
    conn.Begin();
    try {
        if (adding) {
            std::string names, marks;
            std::vector<size_t> used;
            for (size_t i = 0; i < m.Cols.size(); ++i) {
                if (m.Cols[i]->AutoInc && !m.Dirty[i]) continue;
                if (!m.Dirty[i] && m.Buf[i].IsNull()) continue;  // left to the column's SQL default
                names += (names.empty() ? "" : ", ") + QuoteIdent(m.Cols[i]->Name);
                marks += (marks.empty() ? "?" : ", ?") + std::to_string(used.size() + 1);
                used.push_back(i);
            }
            Stmt s(conn,
                used.empty() ? "INSERT INTO " + table + " DEFAULT VALUES"
                             : "INSERT INTO " + table + " (" + names + ") VALUES (" + marks + ")");
            for (size_t k = 0; k < used.size(); ++k)
                detail::BindStored(s.get(), int(k) + 1, m.Buf[used[k]], m.Cols[used[k]].get());
            s.Step();
            const int64_t id = sqlite3_last_insert_rowid(conn.Db);
            conn.Commit();
            // A new row joins the end of the keyset, whatever the sort; the cursor stays.
            m.Ks->Append(id);
            m.Generation = m.Ks->Generation;
            m.LastModified = id;
        } else {
            // Holding the write lock, the file's version tells whether anybody wrote since the
            // edit read the record; only then is it read again and compared.
            if (m.EditVersion == 0 || m.FileVersion() != m.EditVersion) {
                if (!m.Load(m.CurId)) {
                    conn.Rollback();
                    m.Ks->Deleted.insert(m.CurId);
                    long p = m.Ks->Find(m.CurId);
                    if (p >= 0) m.Ks->Erase(p);
                    m.Generation = m.Ks->Generation;
                    m.State = At::Deleted;
                    m.Fail(errRecordDeleted);
                }
                for (size_t i = 0; i < m.Cols.size(); ++i)
                    if (!detail::SameValue(m.Cur[i], m.Orig[i])) {
                        conn.Rollback();
                        m.Fail(errChangedByOther);
                    }
            }
            std::string sets, returning;
            std::vector<size_t> used;
            for (size_t i = 0; i < m.Cols.size(); ++i) {
                if (!m.Dirty[i]) continue;
                const std::string name = QuoteIdent(m.Cols[i]->Name);
                sets += (sets.empty() ? "" : ", ") + name + " = ?" + std::to_string(used.size() + 1);
                returning += (returning.empty() ? "" : ", ") + name;
                used.push_back(i);
            }
            // The record as stored is the one the edit started from with the changed columns as
            // the statement stored them: it is not read back.
            std::vector<Variant> stored = m.Orig;
            if (!used.empty()) {
                Stmt& s = m.UpdateStmt(
                    sets + " WHERE rowid = ?" + std::to_string(used.size() + 1) + " RETURNING " + returning);
                for (size_t k = 0; k < used.size(); ++k)
                    detail::BindStored(s.get(), int(k) + 1, m.Buf[used[k]], m.Cols[used[k]].get());
                sqlite3_bind_int64(s.get(), int(used.size()) + 1, m.CurId);
                auto reset = OnScopeExit([&s] { s.Reset(); });  // before the commit, also on failure
                if (s.Step())
                    for (size_t k = 0; k < used.size(); ++k)
                        stored[used[k]] = detail::ReadStored(s.get(), int(k), *m.Cols[used[k]]);
            }
            conn.Commit();
            m.LastModified = m.CurId;
            m.DropBlock();
            m.Cur = std::move(stored);
            m.CurVersion = m.FileVersion();  // our own commit, the last write to the file
        }
    } catch (...) {
        conn.Rollback();
        throw;
    }
    LeaveEdit(m, FEditMode);
}

void Recordset::Delete() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (m.ReadOnly) m.Fail(errReadOnly);
    m.CheckCurrent();
    LeaveEdit(m, FEditMode);
    auto& conn = *m.Conn;
    int changed = 0;
    conn.Begin();
    try {
        Stmt s(conn, "DELETE FROM " + QuoteIdent(m.TableName()) + " WHERE rowid = ?1");
        sqlite3_bind_int64(s.get(), 1, m.CurId);
        s.Step();
        changed = sqlite3_changes(conn.Db);
        conn.Commit();
    } catch (...) {
        conn.Rollback();
        throw;
    }
    m.Ks->Deleted.insert(m.CurId);
    m.Ks->Erase(m.Pos);
    m.Generation = m.Ks->Generation;
    m.State = At::Deleted;  // Pos now names the row that followed
    if (changed == 0) m.Fail(errRecordDeleted);
}

void Recordset::Requery() {
    auto& m = *FImpl;
    m.CheckOpen();
    LeaveEdit(m, FEditMode);
    m.Build(FType);
    m.First();
}

std::shared_ptr<Recordset> Recordset::Clone() {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FType == dbOpenForwardOnly) m.Fail(errNotSupported, Msg::ForwardOnlyClone);
    auto rs = std::shared_ptr<Recordset>(new Recordset());
    rs->FType = FType;
    rs->FIndexName = FIndexName;
    auto& c = *rs->FImpl;
    c.Conn = m.Conn;
    c.Src = m.Src;
    c.Ks = m.Ks;
    c.Generation = m.Ks->Generation;
    c.Cols = m.Cols;
    c.ReadOnly = m.ReadOnly;
    c.IndexCols = m.IndexCols;
    c.State = At::Nowhere;
    for (size_t i = 0; i < c.Cols.size(); ++i)
        c.FieldList.Append(std::unique_ptr<Field>(new Field(rs.get(), int(i), c.Cols[i])));
    return rs;
}

namespace {

// Names of the given values ("@1" ...) resolve to the values themselves, bound to the
// statement; every other name goes to `names`.
NameResolver WithValues(NameResolver names, const std::vector<Property>& values) {
    if (values.empty()) return names;
    return [names = std::move(names), &values](const std::vector<std::string>& parts, NameResolution& r) {
        if (parts.size() == 1)
            for (const auto& v : values)
                if (v.Name == parts[0]) {
                    r.IsValue = true;
                    r.Value = v.Value;
                    return true;
                }
        return names(parts, r);
    };
}

NameResolver TableResolver(const TableInfo& t) {
    return [&t](const std::vector<std::string>& parts, NameResolution& r) {
        if (parts.size() > 2 || (parts.size() == 2 && !AnsiSameText(parts[0], t.Name))) return false;
        const int c = t.ColumnIndex(parts.back());
        if (c < 0) return false;
        r.Sql = QuoteIdent(t.Columns[size_t(c)]->Name);
        return true;
    };
}

struct OpenRequest {
    int Type = dbOpenDefault;
    int Options = 0;
    int Lock = dbLockDefault;
};


}  // namespace

// Builds a recordset over a source already resolved.
struct Opener {
    static std::shared_ptr<Recordset> Open(const std::shared_ptr<Connection>& conn, std::shared_ptr<detail::Source> src,
        OpenRequest req, std::vector<std::shared_ptr<const Column>> cols) {
        if (req.Lock == dbPessimistic) conn->Fail(errNotSupported, Msg::NoPessimistic);
        int type = req.Type;
        if (type == dbOpenDynamic) conn->Fail(errNotSupported, Msg::NoDynamic);
        if (req.Options & dbForwardOnly) type = dbOpenForwardOnly;
        if (type == dbOpenDefault)
            type = src->IsTable && src->Where.empty() && src->Order.empty() ? dbOpenTable : dbOpenDynaset;
        if (type != dbOpenTable && type != dbOpenDynaset && type != dbOpenSnapshot && type != dbOpenForwardOnly)
            conn->Fail(errInvalidOperation, Msg::Format(Msg::InvalidRecordsetType, {std::to_string(type)}));
        if (type == dbOpenTable && !(src->IsTable && src->Where.empty() && src->Order.empty()))
            conn->Fail(errInvalidOperation, Msg::TableTypeNeedsTable);
        auto rs = std::shared_ptr<Recordset>(new Recordset());
        rs->FType = type;
        auto& m = rs->impl();
        m.Conn = conn;
        m.Src = std::move(src);
        m.Cols = std::move(cols);
        m.AppendOnly = (req.Options & dbAppendOnly) != 0 && type == dbOpenDynaset;
        m.ReadOnly = !m.Src->IsTable || type == dbOpenSnapshot || type == dbOpenForwardOnly ||
            (req.Options & dbReadOnly) != 0 || req.Lock == dbLockReadOnly || conn->ReadOnly;
        for (size_t i = 0; i < m.Cols.size(); ++i)
            m.FieldList.Append(std::unique_ptr<Field>(new Field(rs.get(), int(i), m.Cols[i])));
        m.Build(type);
        m.First();
        return rs;
    }

    // A table source with optional Jet WHERE / ORDER BY texts.
    static std::shared_ptr<Recordset> Table(const std::shared_ptr<Connection>& conn, std::shared_ptr<const TableInfo> t,
        const SimpleSelect* sel, const NameResolver& params, OpenRequest req, int maxRecords) {
        auto src = std::make_shared<detail::Source>();
        src->Table = t;
        src->MaxRecords = maxRecords;
        std::vector<std::shared_ptr<const Column>> cols;
        auto columns = TableResolver(*t);
        auto names = [&](const std::vector<std::string>& parts, NameResolution& r) {
            return columns(parts, r) || (params && parts.size() == 1 && params(parts, r));
        };
        if (sel && !sel->Columns.empty()) {
            for (const auto& name : sel->Columns) {
                const int c = t->ColumnIndex(name);
                if (c < 0) conn->Fail(errTooFewParameters, Msg::Format(Msg::TooFewParameters, {"1 ('" + name + "')"}));
                src->ColumnMap.push_back(c);
            }
        } else {
            for (size_t i = 0; i < t->Columns.size(); ++i) src->ColumnMap.push_back(int(i));
        }
        for (int c : src->ColumnMap) cols.push_back(t->Columns[size_t(c)]);
        if (sel && !sel->Where.empty()) {
            SqlText w = TranslateCriteria(sel->Where, names, 1, errSyntaxInExpression, errTooFewParameters);
            src->Where = w.Sql;
            src->WhereBinds = std::move(w.Binds);
        }
        if (sel && !sel->OrderBy.empty()) src->Order = TranslateSort(sel->OrderBy, names);
        if (sel && req.Type == dbOpenTable) conn->Fail(errInvalidOperation, Msg::TableTypeNeedsTable);
        if (sel && req.Type == dbOpenDefault) req.Type = dbOpenDynaset;
        return Open(conn, src, req, std::move(cols));
    }

    // Any other select: the rows are copied, the recordset is read-only.
    static std::shared_ptr<Recordset> Query(const std::shared_ptr<Connection>& conn, const std::string& jetSql,
        const NameResolver& params, OpenRequest req, int maxRecords) {
        if (req.Type == dbOpenTable) conn->Fail(errInvalidOperation, Msg::TableTypeNeedsTable);
        SqlText t = TranslateStatement(jetSql, params);
        std::string sql = Trim(t.Sql);
        while (!sql.empty() && sql.back() == ';') sql = Trim(sql.substr(0, sql.size() - 1));
        const std::string head = AnsiUpperCase(sql.substr(0, 6));
        if (head != "SELECT" && AnsiUpperCase(sql.substr(0, 4)) != "WITH")
            conn->Fail(errInvalidOperation, Msg::OnlySelect);
        auto src = std::make_shared<detail::Source>();
        src->IsTable = false;
        src->Sql = sql;
        src->Binds = std::move(t.Binds);
        src->MaxRecords = maxRecords;
        return Open(conn, src, req, QueryColumns(*conn, sql, src->Binds));
    }

    static std::vector<std::shared_ptr<const Column>> QueryColumns(
        Connection& conn, const std::string& sql, const std::vector<Variant>& binds) {
        Stmt st(conn, sql);
        st.BindAll(binds);
        const bool row = st.Step();
        std::vector<std::shared_ptr<const Column>> cols;
        const int n = sqlite3_column_count(st.get());
        for (int i = 0; i < n; ++i) {
            auto c = std::make_shared<Column>();
            c->Name = sqlite3_column_name(st.get(), i);
            c->Updatable = false;
            const char* decl = sqlite3_column_decltype(st.get(), i);
            if (decl) detail::ParseDeclaredType(decl, c->Type, c->Size);
            else {
                switch (row ? sqlite3_column_type(st.get(), i) : SQLITE_TEXT) {
                case SQLITE_INTEGER:
                    c->Type = dbLong;
                    c->Size = 4;
                    break;
                case SQLITE_FLOAT:
                    c->Type = dbDouble;
                    c->Size = 8;
                    break;
                case SQLITE_BLOB: c->Type = dbLongBinary; break;
                default: c->Type = dbText; c->Size = 255;
                }
            }
            cols.push_back(c);
        }
        if (row) st.Reset();
        return cols;
    }

    static std::shared_ptr<Recordset> Source(const std::shared_ptr<Connection>& conn, const std::string& source,
        const NameResolver& params, OpenRequest req, int maxRecords) {
        conn->CheckOpen();
        if (auto t = conn->Table(source)) return Table(conn, t, nullptr, params, req, maxRecords);
        SimpleSelect sel;
        if (ParseSimpleSelect(source, sel)) {
            auto t = conn->Table(sel.Table);
            if (!t) conn->Fail(errTableNotFound, Msg::Format(Msg::TableNotFound, {sel.Table}));
            return Table(conn, t, &sel, params, req, maxRecords);
        }
        const std::string head = AnsiUpperCase(Trim(source).substr(0, 10));
        if (head.rfind("SELECT", 0) == 0 || head.rfind("PARAMETERS", 0) == 0 || head.rfind("WITH", 0) == 0) {
            std::string body;
            auto decls = SplitParameters(source, body);
            if (!decls.empty() && !params)
                conn->Fail(errTooFewParameters, Msg::Format(Msg::TooFewParameters, {std::to_string(decls.size())}));
            return Query(conn, body, params, req, maxRecords);
        }
        conn->Fail(errTableNotFound, Msg::Format(Msg::TableNotFound, {source}));
    }
};

std::shared_ptr<Recordset> Database::OpenRecordset(const std::string& source, int type, int options, int lockEdits) {
    FConn->CheckOpen();
    // a stored query by its name
    if (!FConn->Table(source)) {
        auto& qds = GetQueryDefs();
        for (int i = 0; i < qds.Count(); ++i)
            if (AnsiSameText(qds.Item(i).GetName(), source)) return qds.Item(i).OpenRecordset(type, options, lockEdits);
    }
    return Opener::Source(FConn, source, nullptr, OpenRequest{type, options, lockEdits}, 0);
}

std::shared_ptr<Recordset> QueryDef::OpenRecordset(int type, int options, int lockEdits) {
    FConn->CheckOpen();
    int missing = 0;
    for (int i = 0; i < FParams.Count(); ++i)
        if (FParams.Item(i).GetValue().IsEmpty()) ++missing;
    if (missing) FConn->Fail(errTooFewParameters, Msg::Format(Msg::TooFewParameters, {std::to_string(missing)}));
    std::string body;
    SplitParameters(FSQL, body);
    Parameters* params = &FParams;
    NameResolver resolver = [params](const std::vector<std::string>& parts, NameResolution& r) {
        if (parts.size() != 1) return false;
        for (int i = 0; i < params->Count(); ++i)
            if (AnsiSameText(params->Item(i).GetName(), parts[0])) {
                r.IsValue = true;
                r.Value = params->Item(i).GetValue();
                return true;
            }
        return false;
    };
    const int qtype = GetType();
    if (qtype != dbQSelect) FConn->Fail(errInvalidOperation, Msg::OnlySelect);
    return Opener::Source(FConn, body, resolver, OpenRequest{type, options, lockEdits}, MaxRecords);
}

std::shared_ptr<Recordset> Recordset::OpenRecordset(int type, int options) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (type == dbOpenDefault) type = FType == dbOpenTable ? dbOpenDynaset : FType;
    if (type == dbOpenTable) m.Fail(errInvalidOperation, Msg::TableTypeNeedsTable);
    auto src = std::make_shared<detail::Source>(*m.Src);
    if (src->IsTable) {
        NameResolver names = TableResolver(*src->Table);
        if (!Trim(FFilter).empty()) {
            SqlText f = TranslateCriteria(FFilter, WithValues(names, FFilterValues), int(src->WhereBinds.size()) + 1,
                errSyntaxInExpression, errTooFewParameters);
            src->Where = src->Where.empty() ? f.Sql : "(" + src->Where + ") AND " + f.Sql;
            for (auto& b : f.Binds) src->WhereBinds.push_back(std::move(b));
        }
        if (!Trim(FSort).empty()) src->Order = TranslateSort(FSort, names);
        else if (FType == dbOpenTable && !m.IndexCols.empty()) {
            src->Order.clear();
            for (const auto& [c, desc] : m.IndexCols)
                src->Order += (src->Order.empty() ? "" : ", ") + QuoteIdent(c) + (desc ? " DESC" : "");
        }
    } else {
        std::vector<std::shared_ptr<const Column>> cols = m.Cols;
        NameResolver names = [cols](const std::vector<std::string>& parts, NameResolution& r) {
            for (const auto& c : cols)
                if (AnsiSameText(c->Name, parts.back())) {
                    r.Sql = QuoteIdent(c->Name);
                    return true;
                }
            return false;
        };
        std::string sql = "SELECT * FROM (" + src->Sql + ")";
        if (!Trim(FFilter).empty()) {
            SqlText f = TranslateCriteria(FFilter, WithValues(names, FFilterValues), int(src->Binds.size()) + 1,
                errSyntaxInExpression, errTooFewParameters);
            sql += " WHERE " + f.Sql;
            for (auto& b : f.Binds) src->Binds.push_back(std::move(b));
        }
        if (!Trim(FSort).empty()) sql += " ORDER BY " + TranslateSort(FSort, names);
        src->Sql = sql;
    }
    OpenRequest req{type, options, dbOptimistic};
    if (m.ReadOnly) req.Options |= dbReadOnly;
    return Opener::Open(m.Conn, src, req, m.Cols);
}

void Recordset::SetFilter(const std::string& criteria) { SetFilter(criteria, {}); }

void Recordset::SetFilter(const std::string& criteria, std::vector<Property> values) {
    FImpl->CheckOpen();
    if (FType == dbOpenTable) FImpl->Fail(errNotSupported);
    FFilter = criteria;
    FFilterValues = std::move(values);
}
void Recordset::SetSort(const std::string& sort) {
    FImpl->CheckOpen();
    if (FType == dbOpenTable) FImpl->Fail(errNotSupported);
    FSort = sort;
}

void Recordset::SetIndex(const std::string& name) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FType != dbOpenTable) m.Fail(errNotSupported);
    LeaveEdit(m, FEditMode);
    if (name.empty()) {
        m.IndexCols.clear();
        FIndexName.clear();
    } else {
        bool found = false;
        for (const auto& ix : m.Conn->Indexes(*m.Src->Table))
            if (AnsiSameText(ix.DaoName, name)) {
                m.IndexCols = ix.Columns;
                FIndexName = ix.DaoName;
                found = true;
                break;
            }
        if (!found) m.Fail(errNotAnIndex, Msg::Format(Msg::NotAnIndexNamed, {name}));
    }
    m.Build(FType);
    m.First();
}

void Recordset::Seek(const std::string& comparison, const std::vector<Variant>& keys) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FType != dbOpenTable) m.Fail(errNotSupported);
    if (m.IndexCols.empty()) m.Fail(errNoCurrentIndex);
    static const char* const ops[] = {"=", ">=", ">", "<=", "<"};
    const std::string op = Trim(comparison);
    if (std::find_if(std::begin(ops), std::end(ops), [&](const char* o) { return op == o; }) == std::end(ops))
        m.Fail(errInvalidOperation, Msg::Format(Msg::InvalidSeekComparison, {comparison}));
    if (keys.empty() || keys.size() > m.IndexCols.size() || keys.size() > 13)
        m.Fail(errInvalidOperation, Msg::SeekKeyCount);
    LeaveEdit(m, FEditMode);
    const auto& t = *m.Src->Table;
    std::vector<Variant> values;
    std::vector<const Column*> cols;
    for (size_t k = 0; k < keys.size(); ++k) {
        const int c = t.ColumnIndex(m.IndexCols[k].first);
        const Column& col = *t.Columns[size_t(c)];
        Variant v;
        if (!detail::Normalize(keys[k], col, v))
            m.Fail(errConversion, Msg::Format(Msg::SeekKeyConversion, {std::to_string(k + 1)}));
        values.push_back(v);
        cols.push_back(&col);
    }
    std::string lhs, rhs, where, order;
    for (size_t k = 0; k < keys.size(); ++k) {
        const std::string c = QuoteIdent(m.IndexCols[k].first), mark = "?" + std::to_string(k + 1);
        lhs += (k ? ", " : "") + c;
        rhs += (k ? ", " : "") + mark;
        where += (k ? " AND " : "") + c + " = " + mark;
    }
    const bool backward = op[0] == '<';
    for (const auto& [c, desc] : m.IndexCols)
        order += (order.empty() ? "" : ", ") + QuoteIdent(c) + ((desc != backward) ? " DESC" : "");
    order += backward ? ", rowid DESC" : ", rowid";
    if (op != "=") where = "(" + lhs + ") " + op + " (" + rhs + ")";
    Stmt s(*m.Conn, "SELECT rowid FROM " + QuoteIdent(t.Name) + " WHERE " + where + " ORDER BY " + order + " LIMIT 1");
    for (size_t k = 0; k < values.size(); ++k) detail::BindStored(s.get(), int(k) + 1, values[k], cols[k]);
    int64_t id = 0;
    if (s.Step()) {
        id = sqlite3_column_int64(s.get(), 0);
        s.Reset();
    }
    FNoMatch = id == 0;
    if (FNoMatch) return;
    long p = m.Ks->Find(id);
    if (p < 0) {  // a row added since the rows were read: read them again
        m.Build(FType);
        p = m.Ks->Find(id);
    }
    if (p < 0) {
        FNoMatch = true;
        return;
    }
    m.GoTo(p, 0);
}

void Recordset::FindFirst(const std::string& criteria) { FindFirst(criteria, {}); }

void Recordset::FindFirst(const std::string& criteria, const std::vector<Property>& values) {
    auto& m = *FImpl;
    m.CheckOpen();
    if (FType == dbOpenTable || FType == dbOpenForwardOnly) m.Fail(errNotSupported);
    m.Sync();
    long found = -1;
    if (m.Src->IsTable) {
        SqlText c = TranslateCriteria(
            criteria, WithValues(TableResolver(*m.Src->Table), values), 1, errSyntaxInCriteria, errUnknownName);
        Stmt s(*m.Conn, "SELECT rowid FROM " + QuoteIdent(m.TableName()) + " WHERE " + c.Sql);
        s.BindAll(c.Binds);
        std::unordered_set<int64_t> hits;
        while (s.Step()) hits.insert(sqlite3_column_int64(s.get(), 0));
        for (long i = 0; i < m.Size() && found < 0 && !hits.empty(); ++i)
            if (hits.count(m.Ks->Ids[size_t(i)])) found = i;
    } else {
        // copied rows: the criterion is evaluated per row with the values bound
        const auto& cols = m.Cols;
        NameResolver names = [&cols](const std::vector<std::string>& parts, NameResolution& r) {
            for (size_t i = 0; i < cols.size(); ++i)
                if (AnsiSameText(cols[i]->Name, parts.back())) {
                    r.Sql = "?" + std::to_string(i + 1);
                    return true;
                }
            return false;
        };
        SqlText c = TranslateCriteria(
            criteria, WithValues(names, values), int(cols.size()) + 1, errSyntaxInCriteria, errUnknownName);
        Stmt s(*m.Conn, "SELECT 1 WHERE " + c.Sql);
        for (long i = 0; i < m.Size() && found < 0; ++i) {
            const auto& row = m.Ks->Rows[size_t(i)];
            for (size_t k = 0; k < cols.size(); ++k) detail::BindStored(s.get(), int(k) + 1, row[k], cols[k].get());
            s.BindAll(c.Binds, int(cols.size()) + 1);
            if (s.Step()) {
                found = i;
                s.Reset();
            }
        }
    }
    FNoMatch = found < 0;
    if (!FNoMatch) {
        LeaveEdit(m, FEditMode);
        m.GoTo(found, 1);
    }
}

Variant Recordset::DateCreated() const {
    FImpl->CheckOpen();
    return FImpl->Src->IsTable ? FImpl->Src->Table->DateCreated : Variant::Null();
}
Variant Recordset::LastUpdated() const {
    FImpl->CheckOpen();
    return FImpl->Src->IsTable ? FImpl->Src->Table->LastUpdated : Variant::Null();
}

void Recordset::Close() {
    auto& m = *FImpl;
    m.CheckOpen();
    m.Closed = true;
    m.RowStmt = Stmt();
    m.BlockStmt = Stmt();
    m.RangeStmt = Stmt();
    m.UpdateStmts.clear();
    m.DropBlock();
    m.Buf.clear();
    FEditMode = dbEditNone;
}

// --- field values ------------------------------------------------------------------------------
Variant Field::GetValue() const { return ValueRef(); }

const Variant& Field::ValueRef() const {
    if (!FOwner) throw EDaoError(errInvalidOperation, Msg::InvalidOperation);
    return FOwner->impl().Value(FIndex);
}

void Field::SetValue(const Variant& value) {
    if (!FOwner) throw EDaoError(errInvalidOperation, Msg::InvalidOperation);
    auto& m = FOwner->impl();
    m.CheckOpen();
    if (FOwner->GetEditMode() == dbEditNone) m.Fail(errUpdateWithoutEdit);
    if (m.ReadOnly) m.Fail(errReadOnly);
    if (FColumn->AutoInc && FOwner->GetEditMode() == dbEditInProgress)
        m.Fail(errFieldNotUpdatable, Msg::Format(Msg::FieldNotUpdatable, {FName}), FName);
    const size_t i = size_t(FIndex);
    Variant v;
    if (detail::Normalize(value, *FColumn, v)) {
        m.Buf[i] = v;
        m.Bad[i] = 0;
    } else {
        m.Buf[i] = value;
        m.Bad[i] = 1;
    }  // reported by Update, as the engine does
    m.Dirty[i] = 1;
}

int64_t Field::FieldSize() const {
    if (!FOwner || !FColumn) return 0;
    const Variant& v = FOwner->impl().Value(FIndex);
    if (v.IsNull()) return 0;
    if (FColumn->Type == dbMemo) return v.IsString() ? Utf8Length(v.RawString()) : 0;
    if (FColumn->Type == dbBinary || FColumn->Type == dbLongBinary)
        return v.IsArray() ? VarArrayHighBound(v, 1) - VarArrayLowBound(v, 1) + 1 : 0;
    return 0;
}

}  // namespace Dao
