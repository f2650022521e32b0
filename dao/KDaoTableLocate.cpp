// TKDaoTable: locate and lookup, master-detail, index definitions, blob stream.
#include <cstring>

#include "dao/DaoUtils.h"
#include "dao/KDaoConsts.h"
#include "dao/KDaoTable.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

using namespace KDao;

namespace {
std::vector<Variant> KeyList(const Variant& keyValues) {
    std::vector<Variant> raw;
    if (keyValues.IsArray()) {
        for (int i = VarArrayLowBound(keyValues, 1); i <= VarArrayHighBound(keyValues, 1); ++i)
            raw.push_back(keyValues.GetElement({i}));
    } else {
        raw.push_back(keyValues);
    }
    return raw;
}

bool IsNullKey(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

std::string Q(const std::string& x) { return "\"" + SQLQuoteString(x) + "\""; }

// A key for a numeric field as a number: a number as it is, a text when it is a whole number
// (in the locale's or in SQL's form). False when it is not one: such a key matches nothing.
bool NumericKey(const Variant& key, Variant& out) {
    if (!key.IsString()) {
        try {
            out = key.VarType() == varBoolean ? Variant(key.AsBoolean() ? -1 : 0) : Variant(key.AsDouble());
            return true;
        } catch (const EVariantError&) {
            return false;  // not a value a number can be compared with
        }
    }
    const std::string t = Trim(key.RawString());
    double d = 0;
    if (TryStrToFloat(t, d, FormatSettings())) {
        out = Variant(d);
        return true;
    }
    char* end = nullptr;
    d = std::strtod(t.c_str(), &end);
    if (t.empty() || !end || *end != '\0') return false;
    out = Variant(d);
    return true;
}

// A key for a date field as a date: a date value as it is, a text read with the locale's
// date and time forms. False when it is not one.
bool DateKey(const Variant& key, TFieldType t, Variant& out) {
    TDateTime d = 0;
    if (key.IsString()) {
        const std::string v = NormalizeDateTimeText(key.RawString());
        if (!(t == ftTime ? TryStrToTime(v, d, FormatSettings()) : TryStrToDateTime(v, d, FormatSettings())))
            return false;
    } else {
        try {
            d = key.AsDate();
        } catch (const EVariantError&) {
            return false;
        }
    }
    out = Variant::FromDate(d);
    return true;
}
}  // namespace

// --- criteria -----------------------------------------------------------------------------------

namespace {
// The criteria of both routines; `failure` names the routine in the error text.
TKDaoTable::TKeyCriteria KeyCriteria(TKDaoTable& table, const std::vector<std::string>& fields,
    const std::vector<Variant>& keys, TLocateOptions options, const char* failure) {
    TKDaoTable::TKeyCriteria c;
    for (size_t i = 0; i < fields.size(); ++i) {
        TField* f = table.FieldByName(fields[i]);
        const Variant& key = keys[i];
        const std::string mark = "[@" + std::to_string(c.Values.size() + 1) + "]";
        auto bind = [&](Variant v) {
            c.Values.push_back(Dao::Property{mark.substr(1, mark.size() - 2), std::move(v)});
        };
        const TFieldType t = f->DataType();
        std::string piece;
        if (IsNullKey(key)) {
            piece = "IS NULL";
        } else if (t == ftString || t == ftMemo || t == ftBlob || t == ftFixedChar || t == ftWideString) {
            std::string v = key.IsString() ? key.RawString() : VarToStr(key);
            const bool ci = options.Contains(loCaseInsensitive), partial = options.Contains(loPartialKey);
            if (ci) v = AnsiLowerCase(v);
            if (partial) v = SQLEscapeLikeChars(v) + "*";
            bind(Variant(v));
            if (partial && ci) piece = " LIKE LCASE(" + mark + ")";
            else if (partial) piece = " LIKE " + mark;
            else if (ci) piece = " = LCASE(" + mark + ")";
            else piece = " = " + mark;
        } else if ((t >= ftSmallint && t <= ftBCD) || t == ftAutoInc || t == ftLargeint) {
            Variant n;
            if (key.IsString() && Trim(key.RawString()).empty()) {
                piece = " IS NULL";
            } else if (NumericKey(key, n)) {
                bind(n);
                piece = " = " + mark;
            } else {
                c.CanMatch = false;  // "999 OR 1=1" is no number: no record holds it
                piece = " IS NULL AND FALSE";
            }
        } else if (t == ftDate || t == ftTime || t == ftDateTime) {
            Variant d;
            if (key.IsString() && Trim(key.RawString()).empty()) {
                piece = " IS NULL";
            } else if (DateKey(key, t, d)) {
                bind(d);
                piece = " = " + mark;
            } else {
                c.CanMatch = false;
                piece = " IS NULL AND FALSE";
            }
        } else if (t == ftBytes) {
            std::string v = VarToStr(key);
            if (v.empty()) {
                piece = " IS NULL";
            } else {
                bind(Variant(table.IsGuidField(f) && v.size() == 16 ? GuidBytesToString(v) : v));
                piece = " = " + mark;
            }
        } else {
            DatabaseError(failure);
        }
        if (!c.Text.empty()) c.Text += " AND ";
        c.Text.append("(").append(table.GetUseBrackets() ? BracketDottedName(fields[i]) : fields[i]).append(" ");
        c.Text.append(piece).append(")");
    }
    return c;
}
}  // namespace

TKDaoTable::TKeyCriteria TKDaoTable::BuildKeyCriteria(
    const std::vector<std::string>& fields, const std::vector<Variant>& keys) {
    return KeyCriteria(*this, fields, keys, TLocateOptions{}, KDaoConsts::SLookupKeySql);
}

TKDaoTable::TKeyCriteria TKDaoTable::BuildLocateCriteria(
    const std::vector<std::string>& fields, const std::vector<Variant>& keys, TLocateOptions options) {
    return KeyCriteria(*this, fields, keys, options, KDaoConsts::SLocateKeySql);
}

// --- locate -------------------------------------------------------------------------------------

bool TKDaoTable::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    if (IsEmpty() || FilterActive() || !FDatabase || !FDatabase->Connected()) return false;
    std::vector<std::string> fields = SplitFieldList(keyFields);
    const std::vector<Variant> raw = KeyList(keyValues);
    if (fields.size() != raw.size()) DatabaseError(KDaoConsts::SKeyValuesCount);
    CheckBrowseMode();
    UpdateCursorPos();
    if (auto* a = static_cast<TKDaoRecord*>(ActiveBuffer())) InternalSetToRecord(a);
    const int32_t remembered = FRecordPos;

    if (FBookmarkable) {
        std::string index;
        auto findIndex = [&] {
            std::string x = FIndexDefs->FindIndexForFields("!" + keyFields);
            if (x.empty()) x = FIndexDefs->FindIndexForFields(keyFields);
            return x;
        };
        if (FAutoFindIndex) {
            index = findIndex();
            if (index.empty()) index = FIndexName;
        } else {
            index = FIndexName.empty() ? findIndex() : FIndexName;
        }
        std::shared_ptr<Dao::Recordset> clone;
        bool found = false;
        bool anyNull = false;
        for (const Variant& v : raw) anyNull = anyNull || v.IsNull() || v.IsEmpty();
        if (FTableType == 1 && index.empty())
            DatabaseError("Index Property is Empty!\r\nYou must set an index before using Locate with StandardTables");
        if (FTableType == 1 && !anyNull) {
            // Seek on the leading index fields that have keys; the record found must match
            // the keys (">=" lands on the next record when there is no exact match).
            auto& ix = Db("TKDaoTable.Locate").GetTableDefs().Item(FTableName).GetIndexes().Item(index);
            const TKeyCriteria checked = BuildLocateCriteria(fields, raw, options);  // the keys' types
            if (!checked.CanMatch) return false;
            std::vector<Variant> keys;
            for (int j = 0; j < ix.GetFields().Count() && j < 13; ++j) {
                const std::string& n = ix.GetFields().Item(j).GetName();
                size_t k = 0;
                while (k < fields.size() && !AnsiSameText(fields[k], n)) ++k;
                if (k == fields.size()) break;
                keys.push_back(raw[k]);
            }
            if (keys.size() != fields.size() && !options.Contains(loPartialKey)) {
                // Keys that are not a prefix of the index: search by criteria instead.
            } else if (!keys.empty()) {
                const bool exact = keys.size() == size_t(ix.GetFields().Count()) && !options.Contains(loPartialKey);
                clone = FRecordset->Clone();
                clone->SetIndex(index);
                clone->MoveFirst();
                clone->Seek(exact ? "=" : ">=", keys);
                found = !clone->NoMatch();
                if (found) {
                    for (size_t k = 0; k < fields.size() && found; ++k) {
                        std::string have = VarToStr(clone->GetFields().Item(fields[k]).GetValue());
                        const std::string want = VarToStr(raw[k]);
                        if (options.Contains(loPartialKey))
                            found = AnsiStartsText(want, have) ||
                                (!options.Contains(loCaseInsensitive) && have.rfind(want, 0) == 0);
                        else found = options.Contains(loCaseInsensitive) ? AnsiSameText(have, want) : have == want;
                    }
                }
            }
        }
        if (!clone) {
            const TKeyCriteria criteria = BuildLocateCriteria(fields, raw, options);
            if (!criteria.CanMatch) return false;
            clone = FRecordset->Clone();
            clone->MoveFirst();
            clone->FindFirst(criteria.Text, criteria.Values);
            found = !clone->NoMatch();
        }
        if (found) {
            const int32_t b = CurrentBookmarkValue(*clone);
            CursorPosChanged();
            DoBeforeScroll();
            int pos = FTableType == 2 || FTableType == 4 || FTableType == 16 ? clone->AbsolutePosition()
                                                                             : EstimateRecNo(*clone, b);
            GotoBookmarkValue(b);
            FRecordPos = pos;
            Resync(TResyncMode{});
            DoAfterScroll();
        }
        clone->Close();
        return found;
    }

    // Without bookmarks: record by record on the table's own recordset.
    CursorPosChanged();
    DoBeforeScroll();
    bool result = false;
    FRecordset->MoveFirst();
    int i = 0;
    while (!FRecordset->GetEOF()) {
        bool all = true;
        for (size_t k = 0; k < fields.size() && all; ++k) {
            Variant v = FRecordset->GetFields().Item(fields[k]).GetValue();
            // Null matches only a Null key; a partial key is a prefix, not any substring.
            if (v.IsNull() || raw[k].IsNull() || raw[k].IsEmpty()) {
                all = v.IsNull() && (raw[k].IsNull() || raw[k].IsEmpty());
                continue;
            }
            std::string have = VarToStr(v), want = VarToStr(raw[k]);
            if (options.Contains(loCaseInsensitive)) {
                have = AnsiLowerCase(have);
                want = AnsiLowerCase(want);
            }
            if (options.Contains(loPartialKey)) {
                if (!want.empty() && want.back() == '*') want.pop_back();
                if (!want.empty() && want.front() == '*') want.erase(0, 1);
                all = have.rfind(want, 0) == 0;
            } else {
                all = have == want;
            }
        }
        if (all) {
            FRecordPos = i;
            result = true;
            Resync(TResyncMode{});
            break;
        }
        ++i;
        FRecordset->MoveNext();
    }
    if (!result) {
        FRecordset->MoveFirst();
        FRecordset->Move(remembered);
        FRecordPos = remembered;
        Resync(TResyncMode{rmExact, rmCenter});
    }
    DoAfterScroll();
    return result;
}

// --- lookup -------------------------------------------------------------------------------------

Variant TKDaoTable::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) {
    // Nothing found is Null, not False: lookup fields and controls show Null as nothing.
    Variant result = Variant::Null();
    if (IsEmpty()) return result;
    std::vector<std::string> fields = SplitFieldList(keyFields), results = SplitFieldList(resultFields);
    const std::vector<Variant> raw = KeyList(keyValues);
    if (fields.size() != raw.size()) DatabaseError(KDaoConsts::SKeyValuesCount);
    if (results.empty()) DatabaseError("ResultFields are not defined");
    bool calculated = false;
    std::vector<TField*> resultList;
    for (const auto& n : results) {
        TField* f = FindField(n);
        if (!f) DatabaseError("Invalid field name: " + n);
        calculated = calculated || f->FieldKind() != fkData;
        resultList.push_back(f);
    }
    const TKeyCriteria criteria = BuildKeyCriteria(fields, raw);
    if (!criteria.CanMatch) return result;
    const std::string savedFilter = FRecordset->GetFilter();
    auto restoreFilter = OnScopeExit([&] {
        try {
            FRecordset->SetFilter(savedFilter);
        } catch (const Exception&) {
            // Recovers nothing: the filter text is only read when a snapshot is opened, and
            // setting it fails only on a closed recordset.
        }
    });
    FRecordset->SetFilter(criteria.Text, criteria.Values);
    FDatabase->IdleEngine();
    std::shared_ptr<Dao::Recordset> s = FRecordset->OpenRecordset(4, 2);
    auto closeSnapshot = OnScopeExit([&] {
        try {
            s->Close();
        } catch (const Exception&) {
            // Recovers nothing: the snapshot is dropped with its pointer anyway.
        }
    });
    if (s->GetBOF() && s->GetEOF()) return result;
    s->MoveFirst();
    std::vector<Variant> values;
    if (calculated) {
        auto* temp = static_cast<TKDaoRecord*>(TempBuffer());
        LoadRecordValues(*s, false, temp);
        TDataSetState old = SetTempState(dsCalcFields);
        auto restoreState = OnScopeExit([&] { RestoreState(old); });
        CalculateFields(temp);
        for (TField* f : resultList) {
            if (f->FieldKind() == fkData) {
                const Variant& v = temp->Values[size_t(f->FieldNo() - 1)];
                values.push_back(v.IsNull() ? Variant::Null() : f->GetAsVariant());
            } else {
                const Variant& cv = temp->CalcValues[size_t(f->Offset())];
                values.push_back(cv.IsEmpty() ? Variant::Null() : cv);
            }
        }
    } else {
        for (TField* f : resultList) values.push_back(s->GetFields().Item(f->FieldNo() - 1).GetValue());
    }
    return values.size() == 1 ? values[0] : VarArrayOf(values);
}

// --- master-detail ------------------------------------------------------------------------------

void TKDaoTable::ParseMasterFields() {
    FDetailNames.clear();
    FMasterNames.clear();
    for (int i = 0; i < FMasterFields->Count(); ++i) {
        const std::string line = FMasterFields->Strings(i);
        size_t arrow = line.find(" -> ");
        if (arrow != std::string::npos) {
            FDetailNames.push_back(Trim(line.substr(0, arrow)));
            FMasterNames.push_back(Trim(line.substr(arrow + 4)));
        } else if (FMasterFields->Count() == 1) {
            // One line without an arrow is a ";" list, also when it names a single field.
            for (const auto& n : SplitFieldList(line)) {
                FDetailNames.push_back(n);
                FMasterNames.push_back(n);
            }
        }
    }
    std::string joined;
    for (const auto& n : FMasterNames) joined += (joined.empty() ? "" : ";") + n;
    FMasterLink->SetFieldNames(joined);
}

std::string TKDaoTable::BuildMasterCriteria() {
    if (FDetailNames.size() != FMasterNames.size())
        DatabaseError("The number of Master and Detail fields must be equal!");
    TDataSet* master = GetMasterSource() ? GetMasterSource()->DataSet() : nullptr;
    std::string out;
    for (size_t i = 0; i < FDetailNames.size(); ++i) {
        if (!master) DatabaseError("Unable to build Master/Detail SQL Relationship!");
        TField* f = master->FieldByName(FMasterNames[i]);
        const TFieldType t = f->DataType();
        std::string piece;
        if (t == ftUnknown || t == ftVarBytes ||
            (t > ftMemo && t != ftLargeint && t != ftFixedChar && t != ftWideString))
            DatabaseError("Unable to build Master/Detail SQL Relationship!");
        const bool isNull = f->IsNull();
        std::string text = isNull ? std::string() : f->GetAsString();
        if (isNull) piece = "IS NULL";
        else if (t == ftString || t == ftBlob || t == ftMemo || t == ftFixedChar || t == ftWideString)
            piece = " = " + Q(text);
        else if (t == ftBoolean) piece = f->GetAsBoolean() ? " = True" : " = False";
        else if (t == ftDate) piece = " = #" + JetDateText(f->GetAsDateTime()) + "#";
        else if (t == ftTime) piece = " = #" + JetTimeText(f->GetAsDateTime()) + "#";
        else if (t == ftDateTime) piece = " = #" + JetDateTimeText(f->GetAsDateTime()) + "#";
        else if (t == ftBytes) {
            Variant raw;
            f->GetData(&raw);
            if (IsGuidField(f)) piece = " = {guid " + GuidBytesToString(VarToStr(raw)) + "}";
            else piece = " = " + Q(VarToStr(raw));  // quotes doubled like any text
        } else {
            piece = " = " + SQLFloatText(text);
        }
        if (!out.empty()) out += " AND ";
        out.append("(").append(FUseBrackets ? BracketDottedName(FDetailNames[i]) : FDetailNames[i]).append(" ");
        out.append(piece).append(")");
    }
    return out;
}

std::string TKDaoTable::CombineWithFilter(const std::string& criteria) const {
    std::string filter = Filtered() ? Filter() : std::string();
    if (criteria.empty()) return filter;
    return filter.empty() ? criteria : "(" + criteria + ") AND (" + filter + ")";
}

void TKDaoTable::MasterChanged() {
    if (FDestroying) return;
    TDataSource* ms = GetMasterSource();
    FNoMasterRestriction = !FMasterLink->Active();
    if (!ms || !ms->DataSet() || ms->DataSet()->ControlsDisabled() || ControlsDisabled() || FNoMasterRestriction ||
        !ms->Enabled() || ms->State() == dsEdit || FMasterNames.empty())
        return;
    ReopenRecordsetWith([this] {
        if (FSQL->Count() == 0) {
            try {
                RefreshMasterDetail();
            } catch (const EDatabaseError& e) {
                // The quick way failed (criteria the engine cannot take as a restricted
                // select): the recordset is opened the full way, whose error is raised.
                if (dynamic_cast<const Dao::EDaoError*>(&e) &&
                    static_cast<const Dao::EDaoError&>(e).Number() != Dao::errSyntaxInExpression &&
                    static_cast<const Dao::EDaoError&>(e).Number() != Dao::errSyntaxInCriteria)
                    throw;
                CloseDaoRecordset();
                OpenDaoRecordset();
            }
        } else {
            OpenDaoRecordset();
        }
    });
}

void TKDaoTable::RefreshMasterDetail() {
    ClearBookmarkMap();
    // The same criteria and options as opening: the table's own filter stays in force.
    const std::string combined = CombineWithFilter(BuildMasterCriteria());
    if (!FTableName.empty() && FSQL->Count() == 0 && FQueryDefName.empty()) {
        FRecordset = Db("TKDaoTable.RefreshMasterDetail")
                         .OpenRecordset(OpenRestrictedSql(combined), FTableType, FOptionsValue, FLockType);
    } else {
        if (!FBaseRecordset) DatabaseError("TKDaoTable.RefreshMasterDetail: no base recordset");
        FBaseRecordset->Requery();
        FBaseRecordset->SetFilter(combined);
        FRecordset = FBaseRecordset->OpenRecordset(FTableType, FOptionsValue);
    }
    auto& f = FRecordset->GetFields();
    FFieldObjects.resize(size_t(f.Count()));
    for (int i = 0; i < f.Count(); ++i) FFieldObjects[size_t(i)] = &f.Item(i);
    ResetPosition();
    (void)GetRecordCount();
    FDatabase->IdleEngine();
}

void TKDaoTable::MasterValuesToParams() {
    TDataSource* ms = GetMasterSource();
    if (!ms || !ms->DataSet() || !ms->DataSet()->Active() || ms->DataSet()->State() == dsSetKey || !FParamCheck ||
        FParams->Count() == 0)
        return;
    for (TField* f : ms->DataSet()->Fields()->List()) {
        TParam* p = FindSQLParam(*FParams, f->FieldName());
        if (!p) continue;
        if (p->DataType == ftUnknown) p->DataType = f->DataType();
        p->SetValue(f->GetAsVariant());
    }
}

void TKDaoTable::CopyMasterValues() {
    const std::vector<TField*>& masters = FMasterLink->Fields();
    for (size_t i = 0; i < masters.size() && i < FDetailNames.size(); ++i)
        FieldByName(FDetailNames[i])->Assign(masters[i]);
}

void TKDaoTable::DoOnNewRecord() {
    if (FMasterLink->Active() && !FMasterLink->Fields().empty()) CopyMasterValues();
    TDataSet::DoOnNewRecord();
}

// --- index definitions --------------------------------------------------------------------------

TKDaoIndexDefs::TKDaoIndexDefs(TKDaoTable* table) : TIndexDefs(table), FTable(table) {}

void TKDaoIndexDefs::UpdateDaoIndexes() {
    TStringList names;
    FTable->GetIndexNames(&names);
    // Creating or deleting an index re-opens an active table, which reloads this collection
    // from DAO: work on a copy of the definitions as they were asked for.
    std::vector<std::unique_ptr<TIndexDef>> wanted;
    for (int i = 0; i < Count(); ++i) {
        auto d = std::make_unique<TIndexDef>();
        d->Name = Items(i)->Name;
        d->Fields = Items(i)->Fields;
        d->DescFields = Items(i)->DescFields;
        d->Options = Items(i)->Options;
        wanted.push_back(std::move(d));
    }
    auto isWanted = [&](const std::string& name) {
        for (const auto& d : wanted)
            if (SameText(d->Name, name)) return true;
        return false;
    };
    try {
        for (const auto& d : wanted)
            if (names.IndexOf(d->Name) < 0) CreateDaoIndex(d.get());
        for (int i = 0; i < names.Count(); ++i)
            if (!isWanted(names.Strings(i))) DeleteDaoIndex(names.Strings(i));
    } catch (...) {
        FTable->LoadIndexDefs();
        throw;
    }
    FTable->LoadIndexDefs();
}

void TKDaoIndexDefs::CreateDaoIndex(TIndexDef* d) {
    TKDaoTable* t = FTable;
    if (t->FTableName.empty() || !t->FDatabase || t->FDatabase->TableNames.IndexOf(t->FTableName) < 0) return;
    std::vector<std::string> fields = SplitFieldList(d->Fields), desc = SplitFieldList(d->DescFields);
    auto known = [&](const std::string& n) {
        for (const auto& x : t->FDefNameList)
            if (SameText(x, n)) return true;
        return false;
    };
    for (const auto& n : fields)
        if (!known(n)) return;
    for (const auto& n : desc)
        if (!known(n)) return;
    const std::string name = d->Name;
    const TIndexOptions options = d->Options;
    const bool wasActive = t->Active();
    if (wasActive) t->Close();
    try {
        t->FDatabase->RefreshSchema();
        Dao::TableDef& tdef = t->Db("TKDaoIndexDefs.CreateDaoIndex").GetTableDefs().Item(t->FTableName);
        auto idx = tdef.CreateIndex(name);
        idx->Primary = options.Contains(ixPrimary);
        idx->Unique = options.Contains(ixUnique);
        // A field named in DescFields is that index field in descending order: it takes its
        // place instead of being appended a second time.
        for (const auto& n : fields) {
            auto f = idx->CreateField(n);
            for (const auto& dn : desc)
                if (SameText(dn, n)) f->SetAttributes(f->GetAttributes() | 1);
            idx->GetFields().Append(std::move(f));
        }
        for (const auto& dn : desc) {
            bool listed = false;
            for (const auto& n : fields) listed = listed || SameText(n, dn);
            if (listed) continue;
            auto f = idx->CreateField(dn);
            f->SetAttributes(f->GetAttributes() | 1);
            idx->GetFields().Append(std::move(f));
        }
        tdef.GetIndexes().Append(std::move(idx));
        t->FDatabase->RefreshSchema();
    } catch (...) {
        if (wasActive) try {
                t->Open();
            } catch (const Exception&) {
                // Recovers nothing: the index change's own error (raised below) is shown; the
                // table stays closed.
            }
        throw;
    }
    if (wasActive) t->Open();
}

bool TKDaoIndexDefs::DeleteDaoIndex(const std::string& indexName) {
    TKDaoTable* t = FTable;
    if (t->FTableName.empty()) return false;
    const bool wasActive = t->Active();
    if (wasActive) t->Close();
    try {
        t->FDatabase->DeleteTableIndex(t->FTableName, indexName);
    } catch (...) {
        if (wasActive) try {
                t->Open();
            } catch (const Exception&) {
                // Recovers nothing: the index change's own error (raised below) is shown; the
                // table stays closed.
            }
        throw;
    }
    if (wasActive) t->Open();
    return true;
}

std::string TKDaoIndexDefs::FindIndexForFields(const std::string& fieldList) const {
    if (Count() == 0 || FTable->FTableType != 1 || fieldList.empty()) return "";
    std::string list = fieldList;
    bool exact = false;
    if (list[0] == '!') {
        exact = true;
        list.erase(0, 1);
    }
    if (Trim(list).empty()) return "";
    const std::vector<std::string> wanted = SplitFieldList(list);
    auto has = [](const std::vector<std::string>& v, const std::string& n) {
        for (const auto& x : v)
            if (SameText(x, n)) return true;
        return false;
    };
    for (int i = 0; i < Count(); ++i) {
        const std::vector<std::string> its = SplitFieldList(Items(i)->Fields);
        bool all = true;
        for (const auto& w : wanted) all = all && has(its, w);
        if (!all) continue;
        if (exact ? its.size() == wanted.size() : (its.size() >= wanted.size() && !its.empty() && has(wanted, its[0])))
            return Items(i)->Name;
    }
    return "";
}

// --- blob stream --------------------------------------------------------------------------------

TStream* TKDaoTable::CreateBlobStream(TField* field, TBlobStreamMode mode) { return new TKBlobStream(field, mode); }

KAROMIL_IMPLEMENT_CLASS(TKBlobStream, TStream)

TKBlobStream::TKBlobStream(TField* field, TBlobStreamMode mode)
    : FField(field), FTable(dynamic_cast<TKDaoTable*>(field->DataSet())), FRecord(nullptr), FMode(mode) {
    if (!FTable) throw EInvalidCast("Invalid class typecast");
    FRecord = static_cast<TKDaoRecord*>(FTable->GetActiveRecordBuffer());
    if (!FRecord || field->FieldNo() < 1) {
        FRecord = nullptr;
        return;
    }
    if (mode == bmWrite) {
        if (FTable->GetReadOnly()) DatabaseError("Cannot write to ReadOnly table!");
        Truncate();
        return;
    }
    FContent = FTable->BlobContent(field, FRecord);
}

TKBlobStream::~TKBlobStream() {
    if (!FModified || !FRecord) return;
    try {
        FTable->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(FField));
        if (auto* b = dynamic_cast<TBlobField*>(FField)) b->Modified = true;
    } catch (...) {
        FTable->HandleException();
    }
}

int64_t TKBlobStream::Read(void* buffer, int64_t count) {
    if (!FOpened || count <= 0 || FPosition >= int64_t(FContent.size())) return 0;
    const int64_t n = std::min(count, int64_t(FContent.size()) - FPosition);
    std::memcpy(buffer, FContent.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TKBlobStream::Write(const void* buffer, int64_t count) {
    if (!FOpened || !FRecord || count <= 0) return 0;
    if (FMode == bmRead) return 0;
    // Overwrites in place; a gap before the position is filled with zero bytes.
    if (FPosition > int64_t(FContent.size())) FContent.resize(size_t(FPosition), '\0');
    const size_t end = size_t(FPosition + count);
    if (end > FContent.size()) FContent.resize(end);
    std::memcpy(FContent.data() + FPosition, buffer, size_t(count));
    FPosition += count;
    Store();
    return count;
}

int64_t TKBlobStream::Seek(int64_t offset, int origin) {
    int64_t p = origin == soFromBeginning ? offset
        : origin == soFromCurrent         ? FPosition + offset
        : origin == soFromEnd             ? int64_t(FContent.size()) + offset
                                          : -1;
    if (p < 0) return -1;  // before the start: refused, position unchanged
    FPosition = p;
    return p;
}

void TKBlobStream::SetSize(int64_t newSize) {
    if (newSize < 0 || FMode == bmRead) return;
    FContent.resize(size_t(newSize), '\0');
    if (FPosition > newSize) FPosition = newSize;
    Store();
}

void TKBlobStream::Truncate() {
    if (!FOpened || !FRecord) return;
    FContent.resize(size_t(FPosition), '\0');
    Store();
}

void TKBlobStream::Store() {
    if (!FRecord) return;
    const size_t i = size_t(FField->FieldNo() - 1);
    FRecord->Values[i] = FContent.empty() ? Variant::Null() : Variant(FContent);  // an empty blob is no value
    FRecord->Modified[i] = 1;
    FModified = true;
}
