// TKDaoTable: navigation, bookmarks, record counts and numbers, editing.
#include "dao/DaoUtils.h"
#include "dao/KDaoTable.h"
#include "platform/db/DBConsts.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

using namespace KDao;

namespace {
int32_t BookmarkToValue(const Dao::Bookmark& b) {
    if (b.size() < 4) return 0;
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24);
}
Dao::Bookmark ValueToBookmark(int32_t v) {
    const uint32_t u = uint32_t(v);
    return Dao::Bookmark{uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}
std::string ValueToBytes(int32_t v) {
    const uint32_t u = uint32_t(v);
    return std::string{char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF), char((u >> 24) & 0xFF)};
}
int32_t BytesToValue(const std::string& s) {
    if (s.size() < 4) return 0;
    return int32_t(uint32_t(uint8_t(s[0])) | uint32_t(uint8_t(s[1])) << 8 | uint32_t(uint8_t(s[2])) << 16 |
        uint32_t(uint8_t(s[3])) << 24);
}
bool IsEmptyRs(Dao::Recordset& rs) { return rs.GetBOF() && rs.GetEOF(); }
// Runs a move that may run past an end of the recordset (DAO's "no current record"): that is
// where the move was meant to stop, so it is recovered. Every other failure is raised.
template <class F>
void MoveToEnd(F&& move) {
    try {
        move();
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errNoCurrentRecord) throw;
    }
}
}  // namespace

// --- bookmark map -------------------------------------------------------------------------------

void TKDaoTable::ClearBookmarkMap() const {
    FPosByValue.clear();
    FValueByPos.clear();
}

void TKDaoTable::MapBookmark(int32_t position, int32_t value) const {
    auto old = FValueByPos.find(position);
    if (old != FValueByPos.end()) {
        if (old->second == value) return;
        FPosByValue.erase(old->second);
    }
    FValueByPos[position] = value;
    FPosByValue[value] = position;
}

int32_t TKDaoTable::CurrentBookmarkValue(Dao::Recordset& rs) {
    if (!FBookmarkable) return 0;
    try {
        if (rs.GetBOF() || rs.GetEOF()) return 0;
        return BookmarkToValue(rs.GetBookmark());
    } catch (const Dao::EDaoError& e) {
        // The record is gone: the table starts from the first one. Other failures are raised.
        if (e.Number() != Dao::errRecordDeleted && e.Number() != Dao::errNoCurrentRecord) throw;
        InternalFirst();
        return 0;
    }
}

int32_t TKDaoTable::LastModifiedBookmarkValue(Dao::Recordset& rs) {
    if (!FBookmarkable || IsEmptyRs(rs)) return 0;
    try {
        return BookmarkToValue(rs.LastModified());
    } catch (const Exception&) {
        return CurrentBookmarkValue(rs);
    }
}

void TKDaoTable::GotoBookmarkValue(int32_t value) {
    try {
        FRecordset->SetBookmark(ValueToBookmark(value));
    } catch (const Dao::EDaoError& e) {
        if (e.Number() == Dao::errRecordDeleted) {
            try {
                First();
            } catch (const Exception&) {
                // Recovers nothing more: the lost record's error below is what the user reads.
            }
        }
        throw;
    }
}

// --- first, last, records -----------------------------------------------------------------------

void TKDaoTable::InternalFirst() {
    FRecordPos = -1;
    FStepPos = -1;
    if (!FRecordset || ForwardOnly()) return;
    // Only running past an end is expected here; a failed read (damage, a lock) is raised.
    if (!IsEmptyRs(*FRecordset))
        MoveToEnd([&] {
            FRecordset->MoveFirst();
            FRecordset->MovePrevious();
        });
}

void TKDaoTable::InternalLast() {
    if (IsEmptyRs(*FRecordset)) {
        FRecordPos = -1;
        return;
    }
    // Errors are raised, not ignored: a count that failed would put the end of the table
    // where it is not.
    if (!ForwardOnly()) {
        const int32_t previous = FRecordPos;
        MoveToEnd([&] {
            FRecordset->MoveLast();
            FRecordset->MoveNext();
        });
        FRecordPos = FRecordset->RecordCount();
        if (FTableType == 1 && (FHighestPos < FRecordPos || FRecordPos < previous)) {
            auto snap = FRecordset->OpenRecordset(4);
            auto closeSnap = OnScopeExit([&] {
                try {
                    snap->Close();
                } catch (const Exception&) {
                    // Recovers nothing: the snapshot is dropped with its pointer anyway.
                }
            });
            int full = 0;
            if (!IsEmptyRs(*snap)) {
                snap->MoveLast();
                full = snap->RecordCount();
            }
            if (full != FRecordset->RecordCount() && FWarnOnBadDatabase)
                DatabaseError("Database " + FDatabase->GetDatabase() + " needs to be repaired and compacted!");
            FRecordPos = full;
            FHighestPos = full;
        }
    } else {
        while (!FRecordset->GetEOF()) {
            FRecordset->MoveNext();
            FRecordPos = ++FStepPos;
        }
        --FStepPos;
        FRecordPos = FStepPos;
    }
}

TGetResult TKDaoTable::GetRecord(TRecBuf buffer, TGetMode mode, bool) {
    // A fetch never changes the dataset's state: posting the user's record whenever a row is
    // read would store what nobody confirmed.
    auto* r = static_cast<TKDaoRecord*>(buffer);
    for (;;) {
        TGetResult result = grOK;
        try {
            switch (mode) {
            case gmCurrent: result = FRecordset->GetEOF() ? grEOF : FRecordset->GetBOF() ? grBOF : grOK; break;
            case gmNext:
                if (!(ForwardOnly() && FRecordPos == -1) && !FRecordset->GetEOF()) FRecordset->MoveNext();
                if (FRecordset->GetEOF()) {
                    result = grEOF;
                } else {
                    ++FRecordPos;
                    ++FStepPos;
                }
                break;
            case gmPrior:
                if (ForwardOnly()) {
                    result = grBOF;
                    break;
                }
                if (!FRecordset->GetBOF()) FRecordset->MovePrevious();
                if (FRecordset->GetBOF()) {
                    result = grBOF;
                } else {
                    --FRecordPos;
                    --FStepPos;
                }
                break;
            }
        } catch (const Dao::EDaoError& e) {
            // Only a record deleted by another user is passed over (the engine's moves skip
            // such rows themselves). Any other failure (a damaged file, a lock held past the
            // query timeout, no memory) is an error, not the end of the table: the dataset
            // keeps its position and state, and the walk can go on once the cause is gone.
            if (e.Number() != Dao::errRecordDeleted) throw;
            if (mode == gmCurrent) return grError;
            continue;
        }
        if (result == grEOF) FHighestPos = FRecordPos + 1;
        else FHighestPos = std::max(FHighestPos, FRecordPos);
        if (result != grOK) return result;
        if (!LoadRecordValues(*FRecordset, true, r)) {
            if (mode == gmCurrent) return grError;
            continue;  // vanished between the move and the read: passed over like above
        }
        if (RecordAccepted(r)) return grOK;
        if (mode == gmCurrent) return grError;
    }
}

bool TKDaoTable::RecordAccepted(TKDaoRecord* buffer) {
    TDataSetState old = SetTempState(dsFilter);
    auto restoreState = OnScopeExit([&] { RestoreState(old); });
    TRollback<TRecBuf> filterBuffer(FFilterBuffer, buffer);
    bool accept = true;
    ClearCalcFields(buffer);
    GetCalcFields(buffer);
    if (FilterActive()) OnFilterRecord()(this, accept);
    return accept;
}

void TKDaoTable::InternalSetToRecord(TRecBuf buffer) {
    auto* r = static_cast<TKDaoRecord*>(buffer);
    if (!r || !FRecordset || IsEmptyRs(*FRecordset) || r->Flag == bfBOF || r->Flag == bfEOF) return;
    const int32_t old = FRecordPos;
    FRecordPos = r->Position;
    if (ForwardOnly() || State() == dsSetKey) return;
    if (!FBookmarkable) {
        if (FRecordPos != old) {
            bool relative = !FilterActive();
            if (relative) try {
                    FRecordset->Move(FRecordPos - old);
                } catch (const Dao::EDaoError& e) {
                    // A relative move past an end: counted from the first record instead.
                    if (e.Number() != Dao::errNoCurrentRecord) throw;
                    relative = false;
                }
            if (!relative) {
                FRecordset->MoveFirst();
                FRecordset->Move(FRecordPos);
            }
        }
        return;
    }
    if (State() == dsEdit || State() == dsInsert) return;
    if (r->BookmarkValue == 0) return;
    try {
        GotoBookmarkValue(r->BookmarkValue);
    } catch (const Dao::EDaoError& e) {
        // The record is gone: the table starts again from the first record and says why.
        // Any other failure keeps the position (the user may try again) and is raised as it is.
        if (e.Number() != Dao::errRecordDeleted) {
            FRecordPos = old;
            throw;
        }
        std::string d = LastDaoError().Description;
        try {
            InternalFirst();
            Resync(TResyncMode{rmCenter});
        } catch (const Exception&) {
            // Recovers the window when it can: the lost record's error below is what the
            // user reads, and the next move reads afresh.
        }
        DatabaseError(d.empty() ? DBConsts::SRecordNotFound : d);
    }
}

// --- bookmarks ----------------------------------------------------------------------------------

TBookmarkFlag TKDaoTable::GetBookmarkFlag(TRecBuf buffer) const { return static_cast<TKDaoRecord*>(buffer)->Flag; }
void TKDaoTable::SetBookmarkFlag(TRecBuf buffer, TBookmarkFlag flag) { static_cast<TKDaoRecord*>(buffer)->Flag = flag; }

TBookmark TKDaoTable::GetBookmarkData(TRecBuf buffer) const {
    auto* r = static_cast<TKDaoRecord*>(buffer);
    if (!FBookmarkable || !r) return ValueToBytes(0).substr(0, size_t(BookmarkSize()));
    MapBookmark(r->Position, r->BookmarkValue);
    return ValueToBytes(r->BookmarkValue);
}

void TKDaoTable::SetBookmarkData(TRecBuf buffer, const TBookmark& data) {
    if (buffer && data.size() >= 4) static_cast<TKDaoRecord*>(buffer)->BookmarkValue = BytesToValue(data);
}

void TKDaoTable::InternalGotoBookmark(const TBookmark& bookmark) {
    if (!FRecordsetOpen) DatabaseError("TKDaoTable.InternalGotoBookmark: Cannot goto Bookmark - Table is not Active");
    if (bookmark.empty()) DatabaseError("Invalid Bookmark!");
    if (IsEmptyRs(*FRecordset)) return;
    const int32_t v = BytesToValue(bookmark);
    if (!FBookmarkable || v == 0) DatabaseError("Bookmarks are not supported!");
    auto it = FPosByValue.find(v);
    if (it == FPosByValue.end()) DatabaseError("Invalid Bookmark!");
    try {
        FRecordset->SetBookmark(ValueToBookmark(v));
        FRecordPos = it->second;
    } catch (const Dao::EDaoError& e) {
        if (e.Number() == Dao::errRecordDeleted) {
            try {
                ResyncAfterLostRecord();
            } catch (const Exception&) {
                // Recovers nothing more: the lost record's error below is what the user reads.
            }
            InternalFirst();
        }
        // Any failure leaves the cursor elsewhere: the caller must not believe it arrived.
        throw;
    }
}

bool TKDaoTable::BookmarkValid(const TBookmark& bookmark) {
    if (IsEmpty() || !FRecordsetOpen || !FBookmarkable || bookmark.size() < 4) return false;
    const int32_t v = BytesToValue(bookmark);
    if (v != 0 && !FPosByValue.count(v)) return false;
    TBookmark saved = GetBookmark();
    try {
        InternalGotoBookmark(bookmark);
        CursorPosChanged();
        return true;
    } catch (const Exception& e) {
        // A bookmark whose record is gone, or that DAO does not know, is not valid; any other
        // failure (damage, a lock) is an error of its own and is raised.
        auto* d = dynamic_cast<const Dao::EDaoError*>(&e);
        if (d && d->Number() != Dao::errRecordDeleted && d->Number() != Dao::errInvalidBookmark) throw;
        if (!saved.empty()) {
            InternalGotoBookmark(saved);
            CursorPosChanged();
        }
        return false;
    }
}

int TKDaoTable::CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const {
    if (b1.empty() && b2.empty()) return 0;
    if (!b1.empty() && b2.empty()) return -1;
    if (b1.empty()) return 1;
    const int32_t a = BytesToValue(b1), b = BytesToValue(b2);
    return a > b ? 1 : a < b ? -1 : 0;
}

// --- counts and record numbers ------------------------------------------------------------------

int TKDaoTable::CountWalk() const {
    auto* self = const_cast<TKDaoTable*>(this);
    TDataSetState old = self->SetTempState(dsBrowse);
    const int32_t savedPos = FRecordPos;
    TRecBuf scratch = self->AllocRecordBuffer();
    // A failed read is raised: a count that stopped early would be a wrong count.
    auto restore = OnScopeExit([&] {
        self->FreeRecordBuffer(scratch);
        self->RestoreState(old);
        FRecordPos = savedPos;
    });
    int n = 0;
    self->InternalFirst();
    while (self->GetRecord(scratch, gmNext, false) == grOK) ++n;
    return n;
}

int TKDaoTable::GetRecordCount() const {
    if (!FRecordsetOpen || !FRecordset) return -1;
    if (ForwardOnly()) return -1;
    if (FUseRecordCount && !FCountStale) {
        FHighestPos = FCachedCount;
        return FCachedCount;
    }
    auto* self = const_cast<TKDaoTable*>(this);
    FCountStale = false;
    Dao::Recordset& rs = *FRecordset;
    if (IsEmptyRs(rs)) {
        FCachedCount = 0;
        FHighestPos = 0;
        FRecordPos = -1;
        return 0;
    }
    int count = 0;
    if (self->FilterActive()) {
        count = CountWalk();
    } else {
        // A count that failed is an error, never 0 or the rows read so far: the count is asked
        // again next time.
        FCountStale = true;
        if (FTableType == 1) {
            count = rs.RecordCount();
            if (FHighestPos < count) {
                auto snap = rs.OpenRecordset(4);
                int full = 0;
                if (!IsEmptyRs(*snap)) {
                    snap->MoveLast();
                    full = snap->RecordCount();
                }
                snap->Close();
                if (full != count && FWarnOnBadDatabase)
                    DatabaseError("Database " + FDatabase->GetDatabase() + " needs to be repaired and compacted!");
                count = full;
            }
        } else {
            MoveToEnd([&] {
                rs.MoveFirst();
                rs.MoveLast();
            });
            count = rs.RecordCount();
        }
        FCountStale = false;
        auto* a = static_cast<TKDaoRecord*>(ActiveBuffer());
        if (FBookmarkable && a && a->BookmarkValue != 0 && a->Flag == bfCurrent) {
            self->GotoBookmarkValue(a->BookmarkValue);
        } else {
            MoveToEnd([&] {
                rs.MoveFirst();
                if (FRecordPos == -1) rs.MovePrevious();
                else if (FRecordPos < count) rs.Move(FRecordPos);
            });
        }
    }
    FCachedCount = count;
    FHighestPos = count;
    return count;
}

int TKDaoTable::EstimateRecNo(Dao::Recordset& rs, int32_t target) {
    if (!FUseGetRecNo) return -1;
    float p = rs.PercentPosition() - 2.0f;
    if (p < 0) p = 0;
    const int n = GetRecordCount();
    int guess = int(Round(double(n) * double(p) / 100.0));
    // Stops at both ends: a target that is no longer there answers -1 instead of walking
    // past the end of the recordset. A failed read is raised.
    try {
        rs.MoveFirst();
        if (guess > 0) rs.Move(guess);
        while (!rs.GetEOF() && CurrentBookmarkValue(rs) != target) {
            rs.MoveNext();
            ++guess;
        }
        if (!rs.GetEOF()) return guess;
        guess = 0;
        rs.MoveFirst();
        while (!rs.GetEOF() && CurrentBookmarkValue(rs) != target) {
            rs.MoveNext();
            ++guess;
        }
        return rs.GetEOF() ? -1 : guess;
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errNoCurrentRecord) throw;
        return -1;
    }
}

int TKDaoTable::GetRecNo() const {
    auto* self = const_cast<TKDaoTable*>(this);
    if (!FRecordsetOpen) return -1;
    self->UpdateCursorPos();
    auto* a = static_cast<TKDaoRecord*>(ActiveBuffer());
    if (a && a->Flag == bfCurrent && State() == dsBrowse) self->InternalSetToRecord(a);
    if (!FUseGetRecNo) return -1;
    if (FRecordPos < -1) FRepositionPending = true;
    if (ForwardOnly()) return FRecordPos + 1;
    Dao::Recordset& rs = *FRecordset;
    if (rs.GetBOF()) return -1;
    if (self->FilterActive()) {
        if (!a) return -1;
        TDataSetState old = self->SetTempState(dsBrowse);
        TRecBuf scratch = self->AllocRecordBuffer();
        int n = 0;
        bool found = false;
        {
            auto restore = OnScopeExit([&] {
                self->FreeRecordBuffer(scratch);
                self->RestoreState(old);
            });
            self->InternalFirst();
            while (self->GetRecord(scratch, gmNext, false) == grOK) {
                if (static_cast<TKDaoRecord*>(scratch)->BookmarkValue == a->BookmarkValue) {
                    found = true;
                    break;
                }
                ++n;
            }
        }
        if (!found) self->InternalSetToRecord(a);
        return n + 1;
    }
    if (FRepositionPending && a) {
        FRecordPos = -1;
        if (FTableType != 1) {
            FRecordPos = rs.AbsolutePosition();
        } else {
            MoveToEnd([&] {
                rs.MoveNext();
                if (rs.GetEOF()) FRecordPos = rs.RecordCount() - 1;
                rs.MovePrevious();
            });
            if (FRecordPos == -1) {
                if (FBookmarkable) {
                    FRecordPos = self->EstimateRecNo(rs, self->LastModifiedBookmarkValue(rs));
                } else {
                    int steps = 0;
                    while (!rs.GetBOF()) {
                        rs.MovePrevious();
                        ++steps;
                    }
                    FRecordPos = steps - 1;
                }
            }
            if (FBookmarkable && a->BookmarkValue) {
                self->GotoBookmarkValue(a->BookmarkValue);
            } else {
                MoveToEnd([&] {
                    rs.MoveFirst();
                    rs.Move(FRecordPos);
                });
            }
        }
        a->Position = FRecordPos;
        FRepositionPending = false;
    } else if (FTableType != 1) {
        FRecordPos = rs.AbsolutePosition();
    }
    return FRecordPos + 1;
}

void TKDaoTable::SetRecNo(int value) {
    CheckBrowseMode();
    CursorPosChanged();
    DoBeforeScroll();
    if (FilterActive()) {
        const int32_t saved = FRecordPos;
        TDataSetState old = SetTempState(dsBrowse);
        TRecBuf scratch = AllocRecordBuffer();
        int read = 0;
        {
            auto restore = OnScopeExit([&] {
                FreeRecordBuffer(scratch);
                RestoreState(old);
            });
            InternalFirst();
            while (read < value && GetRecord(scratch, gmNext, false) == grOK) ++read;
        }
        if (read < value) FRecordPos = saved;
    } else {
        FRecordPos = value - 1;
        FRecordset->MoveFirst();
        FRecordset->Move(FRecordPos);
    }
    Resync(TResyncMode{rmExact, rmCenter});
    DoAfterScroll();
}

// --- editing ------------------------------------------------------------------------------------

// The table serves OnEditError, OnPostError and OnDeleteError itself (the framework leaves them
// alone, see HandlesErrorEvents): what retry and abort mean depends on DAO's edit state.

std::unique_ptr<Exception> TKDaoTable::DaoFailure(const Exception& original) const {
    // The user reads DAO's own description of the failure.
    if (auto* d = dynamic_cast<const Dao::EDaoError*>(&original)) {
        TDaoErrRec e = LastDaoError();
        const bool same = e.Number == d->Number() && !e.Description.empty();
        std::string text = same ? e.Description : d->Message();
        // A message about a field names it as the user knows it: its display label.
        if (!d->FieldName().empty())
            if (TField* f = FindField(d->FieldName()))
                text = StringReplace(text, "'" + d->FieldName() + "'", "'" + f->DisplayName() + "'", 0);
        return std::make_unique<Dao::EDaoError>(d->Number(), text, d->Source(), d->FieldName());
    }
    return original.Clone();
}

void TKDaoTable::InternalEdit() {
    auto* a = static_cast<TKDaoRecord*>(ActiveBuffer());
    FOldValues = std::make_unique<TKDaoRecord>();
    if (a) FOldValues->CopyFrom(*a);
    for (;;) {
        try {
            if (FRecordset->GetEditMode() != 1) FRecordset->Edit();
            break;
        } catch (const Exception& original) {
            std::unique_ptr<Exception> e = DaoFailure(original);
            try {
                if (FRecordset->GetEditMode() != 1) {
                    FRecordset->Move(0);
                    Resync(TResyncMode{});
                }
            } catch (const Exception&) {
                // Recovers the display of the record as DAO has it, when it can: the edit's
                // own error (below) is what the user reads and decides on.
            }
            TDataAction action = daFail;
            if (OnEditError) OnEditError(this, *e, action);
            if (action == daRetry) continue;
            // Abort: no error reaches the framework, which enters the edit state; the DAO Edit
            // is made when the record is posted.
            if (action == daAbort) return;
            e->Raise();
        }
    }
    if (a) LoadRecordValues(*FRecordset, true, a);
}

void TKDaoTable::InternalCancel() {
    // Also a pending AddNew left by a failed insert: DAO would stay in add mode otherwise.
    if (FRecordset->GetEditMode() != 0) FRecordset->CancelUpdate();
    FOldValues.reset();
    FDatabase->IdleEngine();
}

void TKDaoTable::WriteModifiedValues(TKDaoRecord* r) {
    for (size_t i = 0; i < r->Values.size(); ++i) {
        if (!r->Modified[i] || i >= FFieldWritable.size() || !FFieldWritable[i]) continue;
        const int fi = i < FFieldMap.size() ? FFieldMap[i] : -1;
        if (fi < 0) continue;
        TField* field = Fields()->Fields(fi);
        Dao::Field& df = *FFieldObjects[i];
        const TFieldType ft = field->DataType();
        Variant v = NativeToDao(ft, r->Values[i], IsGuidField(field));
        // '' stays '' where the column takes it; where it does not, a cleared text is no value
        // (the user emptied the edit), as a column without zero-length strings keeps it.
        if (v.IsString() && v.RawString().empty() && !df.GetAllowZeroLength()) v = Variant::Null();
        df.SetValue(v);
    }
}

void TKDaoTable::InternalPost() {
    FRepositionPending = false;
    CheckActive();
    const bool editing = State() == dsEdit;
    auto* r = static_cast<TKDaoRecord*>(ActiveBuffer());
    if (editing && FRecordset->GetEditMode() != 1) {
        try {
            FRecordset->Edit();
        } catch (const Exception& original) {
            std::unique_ptr<Exception> e = DaoFailure(original);
            try {
                if (FRecordset->GetEditMode() != 1) FRecordset->Move(0);
                ResyncAfterLostRecord();
            } catch (const Exception&) {
                // Recovers the display of the record as DAO has it, when it can: the post's
                // own error (below) is what the user reads.
            }
            e->Raise();
        }
    }
    for (bool retry = false;; retry = true) {
        try {
            if (editing) {
                // A retry after DAO dropped its edit buffer needs a new one.
                if (retry && FRecordset->GetEditMode() != 1) FRecordset->Edit();
            } else {
                // A retry starts from a fresh AddNew; the failed one is dropped first.
                if (FRecordset->GetEditMode() == 2) FRecordset->CancelUpdate();
                FRecordset->AddNew();
            }
            WriteModifiedValues(r);
            FRecordset->Update();
            break;
        } catch (const Exception& original) {
            std::unique_ptr<Exception> e = DaoFailure(original);
            TDataAction action = daFail;
            if (OnPostError) OnPostError(this, *e, action);
            try {
                if (editing) {
                    if (action == daRetry) {
                        if (FRecordset->GetEditMode() != 1) FRecordset->Move(0);
                    } else {
                        // Optimistic locking drops the edit; DAO's record is read again.
                        if (!GetLockEdits() && FRecordset->GetEditMode() == 1) FRecordset->CancelUpdate();
                        if (FRecordset->GetEditMode() != 1) FRecordset->Move(0);
                    }
                } else if ((!OnPostError || action == daAbort) && FRecordset->GetEditMode() == 2) {
                    FRecordset->CancelUpdate();
                }
            } catch (const Exception&) {
                // Recovers DAO's edit state for the next attempt when it can: the post's own
                // error is what the handler and the user see.
            }
            if (action == daRetry) continue;
            // Abort: no error reaches the framework, which completes its post and re-reads
            // the record; nothing was written.
            if (action == daAbort) return;
            e->Raise();
        }
    }
    if (!editing) {
        FCountStale = true;
        ++FHighestPos;
        ++FRecordPos;
    }
    // The record is stored: a failure to find its place again (a lock meanwhile) must not
    // make the framework believe the post failed, or the user would store it twice. The
    // place is found again by the next move, which reports its own failure.
    try {
        if (!editing && !FBookmarkable) {
            InternalLast();
            r->Position = FRecordPos - 1;
        }
        if (!editing) InternalLast();
    } catch (const Dao::EDaoError&) {
        FCountStale = true;
    }
    if (FBookmarkable) {
        int32_t v = LastModifiedBookmarkValue(*FRecordset);
        r->BookmarkValue = v;
        r->Flag = bfCurrent;
        // An edited record is where the recordset stands, holding what was stored: going to it
        // would only read it again.
        if (v && !(editing && CurrentBookmarkValue(*FRecordset) == v)) GotoBookmarkValue(v);
    }
    std::fill(r->Modified.begin(), r->Modified.end(), 0);
    FOldValues.reset();
    FDatabase->IdleEngine();
    FRepositionPending = true;
}

void TKDaoTable::Post() {
    TDataSet::Post();
    if (FSortedBy->Count() > 0 && FRefreshSorted) {
        CheckBrowseMode();
        ClearBookmarkMap();
        ClearBuffers();
        FRecordset->Requery();
        FCountStale = true;
        ActivateBuffers();
        First();
    }
}

void TKDaoTable::InternalAddRecord(TRecBuf buffer, bool append) {
    if (append) {
        InternalLast();
        static_cast<TKDaoRecord*>(buffer)->Flag = bfEOF;
    }
    InternalPost();
}

void TKDaoTable::InternalDelete() {
    auto* a = static_cast<TKDaoRecord*>(ActiveBuffer());
    if (a) {
        const int32_t p = a->Position;
        auto it = FValueByPos.find(p);
        if (it != FValueByPos.end()) {
            FPosByValue.erase(it->second);
            FValueByPos.erase(it);
        }
        std::map<int32_t, int32_t> shifted;
        for (auto& [pos, val] : FValueByPos) shifted[pos > p ? pos - 1 : pos] = val;
        FValueByPos.swap(shifted);
        FPosByValue.clear();
        for (auto& [pos, val] : FValueByPos) FPosByValue[val] = pos;
    }
    for (;;) {
        try {
            FRecordset->Delete();
            break;
        } catch (const Exception& original) {
            std::unique_ptr<Exception> e = DaoFailure(original);
            auto* d = dynamic_cast<Dao::EDaoError*>(e.get());
            const bool gone = d && d->Number() == Dao::errRecordDeleted;  // somebody deleted it first
            TDataAction action = daFail;
            if (OnDeleteError) OnDeleteError(this, *e, action);
            if (action == daRetry) continue;
            if (gone || action == daAbort) {
                FCountStale = true;
                ResyncAfterLostRecord();
            }
            // Without a handler a record already gone counts as deleted: what the user wanted.
            if (action == daAbort || (gone && !OnDeleteError)) return;
            e->Raise();
        }
    }
    FDatabase->IdleEngine();
    FCountStale = true;
    MoveToEnd([&] {
        if (FRecordset->GetEOF()) FRecordset->MoveLast();
        else FRecordset->MoveNext();
    });
}

void TKDaoTable::RebuildCursor() {
    const int32_t pos = FRecordPos;
    ReopenRecordset();
    if (pos < RecordCount()) MoveBy(pos);
    else Last();
}

namespace {
// The record the buffers stood on is not there (the framework's "not found", DAO's 3167):
// what a rebuilt cursor recovers. Anything else (a lock, damage) would fail again there.
bool RecordLost(const Exception& e) {
    auto* d = dynamic_cast<const Dao::EDaoError*>(&e);
    return d ? d->Number() == Dao::errRecordDeleted : e.InheritsFrom("EDatabaseError");
}
}  // namespace

void TKDaoTable::ResyncAfterLostRecord() {
    FCountStale = true;
    try {
        Resync(TResyncMode{rmExact, rmCenter});
    } catch (const Exception& e) {
        if (!RecordLost(e)) throw;
        RebuildCursor();
    }
}

void TKDaoTable::InternalRefresh() {
    FCountStale = true;
    if (ControlsDisabled()) return;
    try {
        Resync(TResyncMode{rmExact, rmCenter});
    } catch (const Exception& e) {
        if (!RecordLost(e)) throw;
        RebuildCursor();
    }
}
