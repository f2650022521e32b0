// TKDaoTable: construction, properties, opening and closing, field definitions, record
// buffers and field data.
#include "dao/KDaoTable.h"

#include "dao/DaoUtils.h"
#include "platform/classes/Filer.h"
#include "platform/classes/TypInfo.h"
#include "platform/db/Fields.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"

using namespace KDao;

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TKDaoTable, TDataSet, {
    KAROMIL_PROP(ComponentVersion);
    KAROMIL_PROP(Database);
    KAROMIL_PROP(TableName);
    KAROMIL_PROP(SQL);
    KAROMIL_PROP(QueryDefName);
    KAROMIL_PROP(QueryDefParameters);
    KAROMIL_PROP(QueryDefSQLText);
    KAROMIL_PROP(QueryDefSQLModify).Default(0);
    KAROMIL_PROP(QueryDefODBCMaxRecords).Default(0);
    KAROMIL_PROP(QueryDefType);
    KAROMIL_PROP(TableType).Default(2);
    KAROMIL_PROP(LockType).Default(3);
    KAROMIL_PROP(ReadOnly).Default(0);
    KAROMIL_PROP(LockEdits);
    KAROMIL_PROP(IndexName);
    KAROMIL_PROP(IndexFieldCount);
    KAROMIL_PROP(SortedBy);
    KAROMIL_PROP(RefreshSorted).Default(0);
    KAROMIL_PROP(CacheMemos).Default(0);
    KAROMIL_PROP(CacheBlobs).Default(0);
    KAROMIL_PROP(CacheLookups).Default(0);
    KAROMIL_PROP(ShowGUID).Default(0);
    KAROMIL_PROP(Encrypter);
    KAROMIL_PROP(TableDateCreated);
    KAROMIL_PROP(TableLastUpdated);
    KAROMIL_PROP(MasterSource);
    KAROMIL_PROP(MasterFields);
    KAROMIL_PROP(MasterAutoActivate).Default(1);
    KAROMIL_PROP(DatabaseAutoActivate).Default(0);
    KAROMIL_PROP(UseBrackets).Default(1);
    KAROMIL_PROP(UseDaoProperties).Default(1);
    KAROMIL_PROP(UseCaptions).Default(0);
    KAROMIL_PROP(UseGetRecNo).Default(1);
    KAROMIL_PROP(UseRecordCount).Default(1);
    KAROMIL_PROP(AutoFindIndex).Default(1);
    KAROMIL_PROP(WarnOnBadDatabase).Default(0);
    KAROMIL_PROP(Translation).Default(0);
    KAROMIL_PROP(ProcessMessages).Default(0);
    KAROMIL_PROP(ParamCheck).Default(1);
    KAROMIL_PROP(Params).Stored(false);  // stored as ParamData
})

KAROMIL_IMPLEMENT_CLASS(TKDaoIndexDefs, TIndexDefs)

void TKDaoRecord::CopyFrom(const TKDaoRecord& o) {
    Position = o.Position;
    Flag = o.Flag;
    BookmarkValue = o.BookmarkValue;
    Values = o.Values;
    Modified = o.Modified;
    CalcValues = o.CalcValues;
}

// --- master link --------------------------------------------------------------------------------

void TKDaoTable::MasterChangeHandler() {
    if (!FRecordsetOpen || FDestroying) return;
    CheckBrowseMode();
    if (!FMasterLink->Active() || FMasterLink->FieldNames().empty()) return;
    if (FSQL->Count() > 0) MasterValuesToParams();
    MasterChanged();
}

void TKDaoTable::MasterDisableHandler() {
    if (!FRecordsetOpen || FDestroying) return;
    CheckBrowseMode();
    FNoMasterRestriction = !FMasterLink->Active();
}

// --- construction -------------------------------------------------------------------------------

TKDaoTable::TKDaoTable(TComponent* owner)
    : TDataSet(owner), FSQL(std::make_unique<TStringList>()), FQueryDefParameters(std::make_unique<TStringList>()),
      FQueryDefSQLText(std::make_unique<TStringList>()), FSortedBy(std::make_unique<TStringList>()),
      FMasterFields(std::make_unique<TStringList>()), FParams(std::make_unique<TParams>(this)),
      FIndexDefs(std::make_unique<TKDaoIndexDefs>(this)), FMasterLink(std::make_unique<TMasterDataLink>(this)) {
    FQueryDefOutputValues = Variant::Null();
    FMasterLink->OnMasterChange = [this](TObject*) { MasterChangeHandler(); };
    FMasterLink->OnMasterDisable = [this](TObject*) { MasterDisableHandler(); };
}

TKDaoTable::~TKDaoTable() {
    FDestroying = true;
    try {
        if (FRecordsetOpen) Close();
    } catch (...) {
        HandleException();  // a destructor cannot raise: the application reports it
    }
    FMasterLink->SetDataSource(nullptr);
    FFieldObjects.clear();
    if (FRecordset) try {
            FRecordset->Close();
        } catch (const Exception&) {
            // Recovers nothing: the recordset is dropped with its pointer below either way.
        }
    FRecordset.reset();
    FBaseRecordset.reset();
}

Dao::Database& TKDaoTable::Db(const char* caller) const {
    if (!FDatabase) DatabaseError(std::string(caller) + ": Missing Database Property");
    return FDatabase->CheckedDatabase(caller);
}

TDaoErrRec TKDaoTable::LastDaoError() const {
    if (FDatabase && FDatabase->Connected()) return FDatabase->GetLastDaoError();
    return TDaoErrRec{};
}

void TKDaoTable::Notification(TComponent* component, TOperation operation) {
    TDataSet::Notification(component, operation);
    if (operation == opRemove && component == FDatabase) FDatabase = nullptr;
    if (operation == opRemove && FMasterLink && component == FMasterLink->DataSource())
        FMasterLink->SetDataSource(nullptr);
}

void TKDaoTable::Loaded() {
    try {
        TDataSet::Loaded();
    } catch (...) {
        // The owning module goes on loading; the application shows the error.
        HandleException();
    }
}

// --- properties ---------------------------------------------------------------------------------

void TKDaoTable::SetDatabase(TKDaoDatabase* db) {
    if (Active()) DatabaseError("TKDaoTable.F_Set_Database: Cannot set Database while Table is Active!");
    if (db) db->FreeNotification(this);
    FDatabase = db;
}

void TKDaoTable::SetTableName(std::string v) {
    if (Active()) DatabaseError("TKDaoTable.F_Set_TableName: Cannot set TableName while Table is active!");
    FTableName = std::move(v);
    if (!FTableName.empty()) {
        FIndexName.clear();
        FSQL->Clear();
        FQueryDefName.clear();
        FQueryDefSQLText->Clear();
        FQueryDefParameters->Clear();
        FSortedBy->Clear();
        FieldDefs()->Clear();
        FIndexDefs->Clear();
        FFieldCaptions.clear();
    }
}

void TKDaoTable::SetSQL(TStrings* v) {
    FSQL->Assign(v);
    if (FSQL->Count() > 0) {
        FQueryDefParameters->Clear();
        FQueryDefSQLText->Clear();
        FQueryDefName.clear();
        FIndexName.clear();
        FTableName.clear();
        FFieldCaptions.clear();
        if (!Active()) {
            FieldDefs()->Clear();
            FIndexDefs->Clear();
        }
    }
    RefreshParams();
}

void TKDaoTable::RefreshParams() {
    if (Loading() || !FParamCheck) return;
    TParams fresh;
    AddSQLParams(fresh, FSQL->Text());
    for (int i = 0; i < fresh.Count(); ++i)
        if (const TParam* old = FindSQLParam(*FParams, fresh.Items(i)->Name)) {
            fresh.Items(i)->DataType = old->DataType;
            fresh.Items(i)->SetValue(old->Value());
        }
    FParams->Assign(&fresh);
}

void TKDaoTable::DefineProperties(TFiler* filer) {
    TDataSet::DefineProperties(filer);
    filer->DefineProperty(
        "ParamData", [this](TReader* r) { FParams->ReadData(r); }, [this](TWriter* w) { FParams->WriteData(w); },
        FParams->Count() > 0);
}

void TKDaoTable::SetQueryDefName(std::string v) {
    if (FRecordsetOpen) DatabaseError("TKDaoTable.F_Set_QueryDefName: Cannot set QueryDefName while Table is Active!");
    if (FDatabase && FDatabase->Connected()) {
        FQueryDefSQLText->Clear();
        if (!v.empty()) try {
                FQueryDefSQLText->SetText(FDatabase->GetQueryDefSQL(v));
            } catch (const Dao::EDaoError& e) {
                // A query not (yet) in the database has no text to show; other errors raise.
                if (e.Number() != Dao::errItemNotFound) throw;
            }
    }
    FQueryDefName = std::move(v);
    FQueryDefTypeCode = -1;
    if (!FQueryDefName.empty()) {
        FIndexName.clear();
        FTableName.clear();
        FSQL->Clear();
        FQueryDefParameters->Clear();
        FMasterFields->Clear();
        FDetailNames.clear();
        FMasterNames.clear();
        FFieldCaptions.clear();
        FieldDefs()->Clear();
        FIndexDefs->Clear();
        if (FTableType == 1 || FTableType == 16) FTableType = 2;
    }
}

void TKDaoTable::SetQueryDefSQLText(TStrings* v) {
    if (!FDatabase || !FDatabase->Connected() || FRecordsetOpen || FQueryDefName.empty() || !FQueryDefSQLModify ||
        Loading())
        return;
    std::string text = ExpandSQLParams(v->Text(), *FParams, FParamCheck);
    if (FDatabase->QueryDefNames.IndexOf(FQueryDefName) < 0) FDatabase->CreateQueryDefSQL(FQueryDefName, text);
    else FDatabase->SetQueryDefSQL(FQueryDefName, text);
    FDatabase->RefreshSchema();
    SetQueryDefName(FQueryDefName);
}

std::string TKDaoTable::GetQueryDefType() const {
    try {
        if (!FDatabase || !FDatabase->Connected() || FQueryDefName.empty()) return "";
        int code = FDatabase->DaoDatabase()->GetQueryDefs().Item(FQueryDefName).GetType();
        const_cast<TKDaoTable*>(this)->FQueryDefTypeCode = code;
        switch (code) {
        case 0: return "dbQSelect";
        case 16: return "dbQCrosstab";
        case 32: return "dbQDelete";
        case 48: return "dbQUpdate";
        case 64: return "dbQAppend";
        case 80: return "dbQMakeTable";
        case 96: return "dbQDDL";
        case 112: return "dbQSQLPassThrough";
        case 128: return "dbQSetOperation";
        case 144: return "dbQSPTBulk";
        case 160: return "dbQCompound";
        case 224: return "dbQProcedure";
        case 240: return "dbQAction";
        default: return "";
        }
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;
        return "";  // a query not in the database has no type
    }
}

void TKDaoTable::SetTableType(int32_t v) {
    if (Active()) DatabaseError("TKDaoTable.F_Set_TableType: Cannot set TableType while Table is active!");
    FTableType = v;
    if (v == 1) {
        FSortedBy->Clear();
    } else {
        FIndexName.clear();
        FIndexDefs->Clear();
        if (v == 8) FSortedBy->Clear();
    }
}

void TKDaoTable::SetLockType(int32_t v) {
    if (Active()) DatabaseError("TKDaoTable.F_Set_LockType: Cannot set LockType while Table is active!");
    FLockType = v;
}

void TKDaoTable::SetOpenOptions(TOOSet v) {
    FOpenOptions = v;
    if (FRecordsetOpen) ReopenRecordset();
}

void TKDaoTable::SetReadOnly(bool v) {
    FReadOnly = v || (FDatabase && FDatabase->Connected() && FDatabase->GetReadOnly());
}

bool TKDaoTable::GetLockEdits() const {
    if (!Active() || !FDatabase || FDatabase->GetDatabaseType() == "ODBC" || FDatabase->GetReadOnly() || FReadOnly)
        return false;
    if (FTableType != 1 && FTableType != 2) return false;
    return FRecordset && FRecordset->GetLockEdits();
}

void TKDaoTable::SetIndexName(std::string v) {
    if (FRecordsetOpen) {
        if (FTableType == 1) {
            FSortedBy->Clear();
            FRecordset->SetIndex(v);
            FIndexName = v;
            CheckBrowseMode();
            ClearBuffers();
            FCountStale = true;
            ActivateBuffers();
            First();
            return;
        }
        if (!v.empty()) DatabaseError("TKDaoTable.F_Set_IndexName: Indexes can be set only on Standard Tables!");
    } else if (!v.empty()) {
        if (FTableType != 1) DatabaseError("TKDaoTable.F_Set_IndexName: Indexes can be set only on Standard Tables!");
        FSortedBy->Clear();
    }
    FIndexName = std::move(v);
}

int32_t TKDaoTable::GetIndexFieldCount() const {
    try {
        if (FTableType != 1 || !FDatabase || !FDatabase->Connected() || FTableName.empty() || FIndexName.empty())
            return 0;
        return FDatabase->DaoDatabase()
            ->GetTableDefs()
            .Item(FTableName)
            .GetIndexes()
            .Item(FIndexName)
            .GetFields()
            .Count();
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;
        return 0;  // an index not (or no longer) in the table has no fields
    }
}

void TKDaoTable::SetSortedBy(TStrings* v) {
    FSortedBy->Assign(v);
    FIndexName.clear();
    if (FRecordsetOpen) ReopenRecordset();
}

void TKDaoTable::SetReopeningFlag(bool& flag, bool value) {
    flag = value;
    if (!Loading() && FRecordsetOpen) {
        Close();
        Open();
        First();
    }
}

void TKDaoTable::SetEncrypter(TComponent* v) {
    // Nothing in this system encrypts field texts; the hook is not built.
    if (v) DatabaseError("TKDaoTable.F_Set_Encrypter: Encrypters are not supported!");
}

std::string TKDaoTable::GetTableDateCreated() const {
    try {
        if (!FRecordsetOpen) return "";
        if (FTableType == 1) return VarToStr(FRecordset->DateCreated());
        if (!FQueryDefName.empty())
            return VarToStr(FDatabase->DaoDatabase()->GetQueryDefs().Item(FQueryDefName).DateCreated());
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;  // a query no longer there: no date
    }
    return "";
}

std::string TKDaoTable::GetTableLastUpdated() const {
    try {
        if (!FRecordsetOpen) return "";
        if (FTableType == 1) return VarToStr(FRecordset->LastUpdated());
        if (!FQueryDefName.empty())
            return VarToStr(FDatabase->DaoDatabase()->GetQueryDefs().Item(FQueryDefName).LastUpdated());
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;  // a query no longer there: no date
    }
    return "";
}

TDataSource* TKDaoTable::GetMasterSource() const { return FMasterLink->DataSource(); }
TDataSource* TKDaoTable::GetDataSource() const { return FMasterLink->DataSource(); }

void TKDaoTable::SetMasterSource(TDataSource* v) {
    if (v && IsLinkedTo(v)) DatabaseError("Circular links not allowed!");
    if (!v) FMasterFields->Clear();
    if (v) v->FreeNotification(this);
    FMasterLink->SetDataSource(v);
    ParseMasterFields();
    if (Active()) ReopenRecordset();
}

void TKDaoTable::SetMasterFields(TStrings* v) {
    FMasterFields->Assign(v);
    ParseMasterFields();
    if (Active()) ReopenRecordset();
}

void TKDaoTable::SetFilterText(const std::string& text) {
    TDataSet::SetFilterText(text);
    if (FRecordsetOpen && Filtered()) ReopenRecordset();
}

void TKDaoTable::SetFiltered(bool value) {
    bool old = Filtered();
    if (old == value) return;
    TDataSet::SetFiltered(value);
    if (!FRecordsetOpen) return;
    try {
        ReopenRecordset();
    } catch (...) {
        TDataSet::SetFiltered(old);
        throw;
    }
}

void TKDaoTable::SetOnFilterRecord(const TFilterRecordEvent& handler) {
    TDataSet::SetOnFilterRecord(handler);
    if (FRecordsetOpen && Filtered()) ReopenRecordset();
}

void TKDaoTable::GetIndexNames(TStrings* list) {
    list->Clear();
    if (!FDatabase || !FDatabase->Connected()) return;
    try {
        FDatabase->RefreshSchema();
        auto& idx = FDatabase->DaoDatabase()->GetTableDefs().Item(FTableName).GetIndexes();
        for (int i = 0; i < idx.Count(); ++i) list->Add(idx.Item(i).GetName());
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;  // a query or SQL source has no indexes
    }
}

void TKDaoTable::GetFieldNames(TStrings* list) {
    list->Clear();
    const bool opened = !Active();
    if (opened) Open();
    auto close = OnScopeExit([&] {
        if (!opened) return;
        try {
            Close();
        } catch (const Exception&) {
            HandleException();  // the names are read; closing again failed: reported
        }
    });
    for (TField* f : Fields()->List()) list->Add(f->FieldName());
}

void TKDaoTable::CheckTableName() const {
    // Jet cannot bracket a name holding ']' (there is no escape): refuse it plainly.
    if (FTableName.find(']') != std::string::npos) DatabaseError("TKDaoTable: Invalid table name: " + FTableName);
}

// --- opening ------------------------------------------------------------------------------------

std::string TKDaoTable::OpenRestrictedSql(const std::string& combined) const {
    CheckTableName();
    std::string sql = "Select * From [" + FTableName + "] Where " + combined;
    if (!FSortText.empty()) sql += " Order By " + FSortText;
    return sql + ";";
}

void TKDaoTable::OpenDaoRecordset() {
    if (!FDatabase) DatabaseError("TKDaoTable.OpenDaoRecordset: Missing Database Property");
    if (FTableName.empty() && FSQL->Count() == 0 && FQueryDefName.empty())
        DatabaseError("TKDaoTable.OpenDaoRecordset: Missing TableName or QueryDefName, or SQL is empty!");
    if (!FDatabase->Connected()) {
        if (FDatabaseAutoActivate) FDatabase->SetConnected(true);
        else DatabaseError("TKDaoTable.OpenDaoRecordset: Database is NOT connected");
    }
    if (FTableType == 16 && FDatabase->GetDatabaseType() != "ODBC")
        DatabaseError("TKDaoTable.OpenDaoRecordset: DynamicTables are for ODBC connections only!");
    if (FDatabase->GetReadOnly() || FTableType == 8 || FTableType == 4) FReadOnly = true;
    FOptionsValue = int(FOpenOptions.Mask());  // element n is the value 2^n
    if (FBaseRecordset) {
        try {
            FBaseRecordset->Close();
        } catch (const Exception&) {
            // Recovers nothing: the old base recordset is dropped below either way.
        }
        FBaseRecordset.reset();
    }
    FRecordsAffected = 0;
    Dao::Database& db = *FDatabase->DaoDatabase();
    std::string source = FTableName;
    if (FSQL->Count() > 0) {
        if (GetMasterSource()) MasterValuesToParams();
        source = ExpandSQLParams(FSQL->Text(), *FParams, FParamCheck);
    }
    Dao::QueryDef* qd = nullptr;
    if (!FQueryDefName.empty()) {
        source = FQueryDefName;
        try {
            qd = &db.GetQueryDefs().Item(FQueryDefName);
            int j = 0;
            for (int i = 0; i < qd->GetParameters().Count(); ++i) {
                auto& par = qd->GetParameters().Item(i);
                if (par.GetDirection() != 1 && par.GetDirection() != 3) continue;
                if (j >= FQueryDefParameters->Count()) throw EDatabaseError("too few");
                std::string line = FQueryDefParameters->Strings(j++);
                par.SetValue(line == "NULL" ? Variant::Null() : Variant(line));
            }
        } catch (const Exception&) {
            DatabaseError(
                "TKDaoTable.OpenDaoRecordset: Invalid number of QueryDef parameters or parameter is not in valid format!");
        }
    }
    FQueryDefSQLText->Clear();
    if (qd) {
        FQueryDefSQLText->SetText(FDatabase->GetQueryDefSQL(FQueryDefName));
        qd->MaxRecords = FQueryDefODBCMaxRecords;
        if (FDatabase->GetQueryTimeout() != 60) qd->ODBCTimeout = FDatabase->GetQueryTimeout();
        FRecordset = qd->OpenRecordset(FTableType, FOptionsValue, FLockType);
        if (qd->GetParameters().Count() > 0) ReadQueryDefOutputs(FQueryDefName);
    } else {
        if (FSQL->Count() == 0) CheckTableName();
        FRecordset = db.OpenRecordset(source, FTableType, FOptionsValue, FLockType);
    }
    FDatabase->IdleEngine();
    if (!FRecordset->Updatable()) FReadOnly = true;
    FBookmarkable = FRecordset->Bookmarkable();
    ClearBookmarkMap();
    FDatabase->RefreshSchema();
    FRecordsAffected = db.RecordsAffected();
    if (!FIndexName.empty()) try {
            FRecordset->SetIndex(FIndexName);
        } catch (const Dao::EDaoError& e) {
            // An index the table no longer has (or a recordset without indexes) leaves the
            // rows in their natural order; a failed read is raised.
            if (e.Number() != Dao::errNotAnIndex && e.Number() != Dao::errNotSupported) throw;
        }

    auto& flds = FRecordset->GetFields();
    const int n = flds.Count();
    FFieldDefaults.assign(size_t(n), std::string());
    FFieldWritable.assign(size_t(n), 1);
    if (!FReadOnly && FUseDaoProperties) {
        for (int i = 0; i < n; ++i) {
            Dao::Field& f = flds.Item(i);
            const int a = f.GetAttributes();
            FFieldWritable[size_t(i)] = (a & 0x20) && !(a & 0x10) && !(a & 0x2000) ? 1 : 0;
            try {
                std::string d;
                if (FDatabase->GetEngineType() == 2) {
                    d = f.GetDefaultValue();
                    const int t = f.GetType();
                    if ((t == 10 || t == 12) && d.size() > 1 && d.front() == '"' && d.back() == '"')
                        d = d.substr(1, d.size() - 2);
                    if (t == 8) {
                        if (d.size() < 2) d.clear();
                        else if (d.front() == '#' && d.back() == '#')
                            d = DaoDateLiteralToTimeStampText(d.substr(1, d.size() - 2));
                        else d.clear();
                    }
                    if (SameText(d, "Null")) d.clear();
                }
                FFieldDefaults[size_t(i)] = d;
            } catch (const Dao::EDaoError& e) {
                // A field without a default property has no default; a failed read is raised.
                if (e.Number() != Dao::errPropertyNotFound) throw;
                FFieldDefaults[size_t(i)].clear();
            }
        }
    }
    FSortText.clear();
    if (FSortedBy->Count() > 0) {
        for (int i = 0; i < FSortedBy->Count(); ++i)
            FSortText += FSortedBy->Strings(i) + (i + 1 < FSortedBy->Count() ? ", " : " ");
        FRecordset->SetSort(FSortText);
        auto old = FRecordset;
        FRecordset = old->OpenRecordset(FTableType, FOptionsValue);
        old->Close();
    }
    if (Filtered() && !Filter().empty()) {
        FRecordset->SetFilter(Filter());
        auto old = FRecordset;
        FRecordset = old->OpenRecordset(FTableType, FOptionsValue);
        old->Close();
    }
    TDataSource* ms = GetMasterSource();
    if (ms && ms->DataSet()) {
        FNoMasterRestriction = !FMasterLink->Active();
        if (!ms->DataSet()->Active() && FMasterAutoActivate) {
            try {
                ms->DataSet()->Open();
            } catch (const Exception&) {
                // The detail opens without its master's restriction; the master's own error
                // is reported to the user, not dropped.
                HandleException();
            }
            FNoMasterRestriction = !FMasterLink->Active();
        }
    } else {
        FNoMasterRestriction = true;
    }
    if (ms && !FNoMasterRestriction && ms->Enabled()) {
        ParseMasterFields();
        if (!FDetailNames.empty()) {
            std::string combined = CombineWithFilter(BuildMasterCriteria());
            if (FTableName.empty() || FSQL->Count() > 0 || !FQueryDefName.empty()) {
                FRecordset->SetFilter(combined);
                FBaseRecordset = FRecordset;
                FRecordset = FBaseRecordset->OpenRecordset(FTableType, FOptionsValue);
            } else {
                FRecordset->Close();
                FRecordset = db.OpenRecordset(OpenRestrictedSql(combined), FTableType, FOptionsValue, FLockType);
            }
        }
    }
    auto& f2 = FRecordset->GetFields();
    FFieldObjects.resize(size_t(f2.Count()));
    for (int i = 0; i < f2.Count(); ++i) FFieldObjects[size_t(i)] = &f2.Item(i);
    ResetPosition();
    FDatabase->IdleEngine();
}

void TKDaoTable::ResetPosition() {
    FRecordPos = -1;
    FStepPos = -1;
    FHighestPos = -1;
    FCachedCount = -1;
    FCountStale = true;
}

void TKDaoTable::CloseDaoRecordset() {
    FFieldObjects.assign(FFieldObjects.size(), nullptr);
    if (FRecordset) try {
            FRecordset->Close();
        } catch (const Exception&) {
            // Recovers nothing: the recordset is dropped below either way.
        }
    FRecordset.reset();
}

void TKDaoTable::ReopenRecordset() {
    ReopenRecordsetWith([this] { OpenDaoRecordset(); });
}

void TKDaoTable::ReopenRecordsetWith(const std::function<void()>& open) {
    CheckBrowseMode();
    ClearBuffers();
    CloseDaoRecordset();
    try {
        open();
    } catch (...) {
        // Without a recordset the dataset cannot stay open: close it rather than leave an
        // active dataset with nothing behind it.
        try {
            Close();
        } catch (const Exception&) {
            // Recovers nothing: the reopening's own error (raised below) is the one to show.
        }
        throw;
    }
    ActivateBuffers();
    First();
}

void TKDaoTable::InternalOpen() {
    OpenDaoRecordset();
    if (GetName().empty()) {
        const int64_t unique = int64_t(Random(10000)) + int64_t(GetTickCount());
        SetName("KDaoTable_" + std::to_string(unique < 0 ? -unique : unique));
    }
    FOpeningFieldDefs = true;
    try {
        InternalInitFieldDefs();
    } catch (...) {
        FOpeningFieldDefs = false;
        throw;
    }
    FOpeningFieldDefs = false;
    if (DefaultFields()) CreateFields();
    for (TField* f : Fields()->List()) {
        if (FCacheLookups && f->Lookup()) f->SetLookupCache(true);
        if (f->DataType() == ftIDispatch) f->SetReadOnly(true);
    }
    BindFields(true);
    if (FUseCaptions)
        for (int i = 0; i < FieldDefs()->Count() && i < int(FFieldCaptions.size()); ++i)
            if (TField* f = FindField(FieldDefs()->Items(i)->Name)) f->SetDisplayLabel(FFieldCaptions[size_t(i)]);
    SetBookmarkSize(FBookmarkable ? 4 : 0);

    bool savedNoMaster = FNoMasterRestriction;
    FNoMasterRestriction = true;
    FDefNameList.clear();
    FFieldMap.assign(size_t(FieldDefs()->Count()), -1);
    for (int i = 0; i < FieldDefs()->Count(); ++i) {
        TFieldDef* d = FieldDefs()->Items(i);
        TField* f = FindField(d->Name);
        if (!f) continue;
        FFieldMap[size_t(i)] = Fields()->IndexOf(f);
        if (FFieldWritable[size_t(i)] == 0) f->SetReadOnly(true);
        if (!f->DefaultExpression.empty()) FFieldDefaults[size_t(i)] = StripSingleQuotes(f->DefaultExpression);
        FDefNameList.push_back(d->Name);
        switch (f->DataType()) {
        case ftDateTime:
            if (DefaultFields() && f->DisplayWidth() < 20) f->SetDisplayWidth(20);
            break;
        case ftMemo:
            if (FCacheMemos) {
                if (DefaultFields() && f->DisplayWidth() < 30) f->SetDisplayWidth(30);
                f->OnGetText = [this](TField* s, std::string& text, bool) {
                    Variant v;
                    if (!GetActiveRecordBuffer() || !s->GetData(&v)) return;
                    text = VarToStr(v);
                    if (size_t cr = text.find('\r'); cr != std::string::npos) text.resize(cr);
                };
            }
            break;
        case ftFloat:
            if (auto* ff = dynamic_cast<TFloatField*>(f)) ff->Precision = 7;
            break;
        case ftBytes:
            if (d->Precision == GuidFieldMarker) {
                f->SetValidChars(GuidValidChars);
                if (FShowGUID) {
                    if (DefaultFields() && f->DisplayWidth() < 38) f->SetDisplayWidth(38);
                    f->OnGetText = [this](TField* s, std::string& text, bool) {
                        TKDaoRecord* r = static_cast<TKDaoRecord*>(GetActiveRecordBuffer());
                        if (!FShowGUID || !r || s->FieldNo() < 1) return;
                        const Variant& v = r->Values[size_t(s->FieldNo() - 1)];
                        text = v.IsNull() ? std::string() : GuidBytesToString(VarToStr(v));
                    };
                    f->OnSetText = [this](TField* s, const std::string& text) {
                        if (!FShowGUID || Utf8Length(text) != 38) return;
                        s->SetAsString(GuidStringToBytes(text));
                    };
                }
            }
            break;
        default: break;
        }
    }
    FNoMasterRestriction = savedNoMaster;
    BuildReadPlan();
    FRecordsetOpen = true;
    if (FTableType == 1) (void)FRecordset->RecordCount();
    InternalFirst();
    FDatabase->RegisterTable(this);
    FDatabase->IdleEngine();
}

void TKDaoTable::InternalClose() {
    if (!FRecordsetOpen) return;
    // The framework has already left the edit state; DAO's own edit buffer tells the truth.
    if (FRecordset) try {
            if (FRecordset->GetEditMode() != 0) FRecordset->CancelUpdate();
        } catch (const Exception&) {
            // Recovers nothing: the recordset is closed next and its edit buffer with it.
        }
    FRecordsetOpen = false;
    FReadPlan.clear();  // it points at the fields, which may go now
    FOptionsValue = 0;
    FSortText.clear();
    BindFields(false);
    if (DefaultFields()) DestroyFields();
    CloseDaoRecordset();
    if (FBaseRecordset) {
        try {
            FBaseRecordset->Close();
        } catch (const Exception&) {
            // Recovers nothing: the base recordset is dropped below either way.
        }
        FBaseRecordset.reset();
    }
    if (FDatabase) FDatabase->UnregisterTable(this);
    FOldValues.reset();
}

void TKDaoTable::ReadQueryDefOutputs(const std::string&) {
    // The engine's parameters are input parameters only: there are no output values.
    FQueryDefOutputValues = Variant::Null();
}

// --- field definitions --------------------------------------------------------------------------

void TKDaoTable::InternalInitFieldDefs() {
    FieldDefs()->Clear();
    FFieldCaptions.clear();
    const bool openHere = !FOpeningFieldDefs && !FRecordsetOpen;
    if (openHere) OpenDaoRecordset();
    try {
        auto& flds = FRecordset->GetFields();
        const bool jet = FDatabase->GetEngineType() == 2;
        for (int i = 0; i < flds.Count(); ++i) {
            Dao::Field& f = flds.Item(i);
            int t = f.GetType();
            const std::string name = f.GetName();
            int size = DaoFieldSize(t, f.GetSize());
            if (t == 8) {
                auto& props = f.GetProperties();
                if (props.Has("Format")) {
                    std::string fmt = VarToStr(props.Item("Format").Value);
                    if (SameText(fmt, "Long Time") || SameText(fmt, "Medium Time") || SameText(fmt, "Short Time"))
                        t = 22;
                    else if (SameText(fmt, "General Date")) t = 23;
                } else {
                    t = 23;
                }
            }
            if (t == 10 && size == 0) size = 255;
            if (t == 4 && (f.GetAttributes() & 16)) t = dbAutoIncPseudoType;
            if (jet && size_t(i) < FFieldDefaults.size()) {
                if (t == dbAutoIncPseudoType) FFieldDefaults[size_t(i)].clear();
                std::string dv = LowerCase(f.GetDefaultValue());
                bool numeric = t == 3 || t == 4 || t == 5 || t == 6 || t == 7 || t == 16 || t == 19 || t == 20 ||
                    t == 21;
                if ((numeric && dv.find("genuniqueid") != std::string::npos) ||
                    (t == 15 && dv.find("genguid") != std::string::npos))
                    FFieldDefaults[size_t(i)].clear();
            }
            TFieldType ft = DaoFieldTypeToFieldType(t);
            bool required = !FReadOnly && FUseDaoProperties ? f.GetRequired() : false;
            TFieldDef* d = FieldDefs()->Add(name, ft, size, required);
            if (ft == ftBlob && size_t(i) < FFieldDefaults.size()) FFieldDefaults[size_t(i)].clear();
            if (FUseCaptions && f.GetProperties().Has("Caption"))
                FFieldCaptions.push_back(VarToStr(f.GetProperties().Item("Caption").Value));
            else FFieldCaptions.push_back(name);
            if (t == 15) d->Precision = GuidFieldMarker;
        }
        LoadIndexDefs();
    } catch (...) {
        if (openHere) CloseDaoRecordset();
        throw;
    }
    if (openHere) CloseDaoRecordset();
}

void TKDaoTable::LoadIndexDefs() {
    FIndexDefs->Clear();
    if (FTableName.empty() || FTableType != 1 || !FDatabase || FDatabase->GetEngineType() == 1) return;
    Dao::Indexes* idx = nullptr;
    try {
        idx = &FDatabase->DaoDatabase()->GetTableDefs().Item(FTableName).GetIndexes();
        idx->Refresh();
    } catch (const Dao::EDaoError& e) {
        if (e.Number() != Dao::errItemNotFound) throw;
        return;  // a table not (yet) in the schema has no index definitions
    }
    for (int i = 0; i < idx->Count(); ++i) {
        std::string name, fields, desc;
        bool primary = false, unique = false, anyAsc = false;
        {
            Dao::Index& x = idx->Item(i);
            name = x.GetName();
            primary = x.Primary;
            unique = x.Unique;
            for (int k = 0; k < x.GetFields().Count(); ++k) {
                Dao::Field& f = x.GetFields().Item(k);
                if ((f.GetAttributes() & 1) == 0) {
                    fields += f.GetName() + ";";
                    anyAsc = true;
                } else {
                    desc += f.GetName() + ";";
                }
            }
        }
        if (!fields.empty()) fields.pop_back();
        if (!desc.empty()) desc.pop_back();
        TIndexOptions o;
        if (primary) o.Include(ixPrimary);
        if (unique) o.Include(ixUnique);
        if (!anyAsc) o.Include(ixDescending);
        TIndexDef* d = FIndexDefs->Add(name, fields, o);
        d->DescFields = desc;
    }
}

void TKDaoTable::UpdateIndexDefs() { FIndexDefs->UpdateDaoIndexes(); }

// --- record buffers -----------------------------------------------------------------------------

TRecBuf TKDaoTable::AllocRecordBuffer() {
    auto* r = new TKDaoRecord;
    r->Values.assign(size_t(FieldDefs()->Count()), Variant::Null());
    r->Modified.assign(size_t(FieldDefs()->Count()), 0);
    r->CalcValues.assign(size_t(CalcFieldsSize()), Variant::Null());
    return r;
}

void TKDaoTable::FreeRecordBuffer(TRecBuf& buffer) {
    delete buffer;
    buffer = nullptr;
}

bool TKDaoTable::GetCurrentRecord(TRecBuf buffer) {
    TRecBuf active = GetActiveRecordBuffer();
    if (!FRecordsetOpen || IsEmpty() || !active || !buffer) return false;
    // A copy of its own: sharing the value list would free it twice.
    static_cast<TKDaoRecord*>(buffer)->CopyFrom(*static_cast<TKDaoRecord*>(active));
    return true;
}

TRecBuf TKDaoTable::GetActiveRecordBuffer() const {
    switch (State()) {
    case dsOldValue: return FOldValues ? FOldValues.get() : ActiveBuffer();
    case dsSetKey: return nullptr;
    case dsInternalCalc: return nullptr;
    default: return TDataSet::GetActiveRecordBuffer();
    }
}

void TKDaoTable::InternalInitRecord(TRecBuf buffer) {
    auto* r = static_cast<TKDaoRecord*>(buffer);
    FOldValues = std::make_unique<TKDaoRecord>();
    if (auto* a = static_cast<TKDaoRecord*>(GetActiveRecordBuffer()); a && a != r) FOldValues->CopyFrom(*a);
    const int n = FieldDefs()->Count();
    r->Values.assign(size_t(n), Variant::Null());
    r->Modified.assign(size_t(n), 0);
    for (int i = 0; i < n; ++i) {
        TField* f = FindField(FieldDefs()->Items(i)->Name);
        if (f && !f->DefaultExpression.empty() && size_t(i) < FFieldDefaults.size()) {
            FFieldDefaults[size_t(i)] = StripSingleQuotes(f->DefaultExpression);
            r->Modified[size_t(i)] = 1;
        }
        if (f) r->Values[size_t(i)] = DefaultValue(size_t(i), f);
    }
    r->Flag = bfInserted;
    r->BookmarkValue = 0;
    r->Position = -1;
}

Variant TKDaoTable::DefaultValue(size_t i, const TField* field) const {
    if (i >= FFieldDefaults.size() || FFieldDefaults[i].empty()) return Variant::Null();
    const std::string& text = FFieldDefaults[i];
    // A default of a blob is its content; the buffer of a blob not read with the record holds
    // the content too while the record is new (BlobContent reads it from there).
    if (field->IsBlob()) return Variant(text);
    return DefaultTextToNative(field->DataType(), text, IsGuidField(field));
}

void TKDaoTable::BuildReadPlan() {
    const int n = FieldDefs()->Count();
    FReadPlan.assign(size_t(n), TReadSlot{});
    for (int i = 0; i < n; ++i) {
        const int fi = size_t(i) < FFieldMap.size() ? FFieldMap[size_t(i)] : -1;
        if (fi < 0) continue;
        TReadSlot& slot = FReadPlan[size_t(i)];
        slot.Field = Fields()->Fields(fi);
        slot.Type = slot.Field->DataType();
        slot.Guid = IsGuidField(slot.Field);
        if (slot.Type == ftIDispatch) slot.Kind = TReadKind::None;
        else if (slot.Field->IsBlob() &&
            !((slot.Type == ftMemo && FCacheMemos) || (slot.Type == ftBlob && FCacheBlobs)))
            slot.Kind = TReadKind::BlobSize;
        else slot.Kind = TReadKind::Value;
    }
}

bool TKDaoTable::LoadRecordValues(Dao::Recordset& rs, bool useFieldObjects, TKDaoRecord* r) {
    FDatabase->IdleEngine();
    r->BookmarkValue = FBookmarkable ? CurrentBookmarkValue(rs) : 0;
    r->Position = FRecordPos;
    r->Flag = bfCurrent;
    const int n = FieldDefs()->Count();
    if (int(r->Values.size()) != n) {
        r->Values.assign(size_t(n), Variant::Null());
        r->Modified.assign(size_t(n), 0);
    }
    if (FReadPlan.size() != size_t(n)) BuildReadPlan();
    // Only "deleted by another user" (or the cursor left without a record because of it) means
    // the record is not there; any other failure to read a value is an error of the read
    // (damaged file, lock), raised as it is: a value that cannot be read is never a Null.
    try {
        for (int i = 0; i < n; ++i) {
            const TReadSlot& slot = FReadPlan[size_t(i)];
            if (slot.Kind == TReadKind::Skip) continue;
            Dao::Field& df = useFieldObjects ? *FFieldObjects[size_t(i)] : rs.GetFields().Item(i);
            Variant& entry = r->Values[size_t(i)];
            switch (slot.Kind) {
            case TReadKind::None: entry = Variant::Null(); break;
            case TReadKind::BlobSize: {
                const int64_t size = df.FieldSize();
                entry = size != 0 ? Variant(size) : Variant::Null();
                break;
            }
            default: try { entry = DaoToNative(slot.Type, df.ValueRef(), slot.Guid);
                } catch (const Dao::EDaoError&) {
                    throw;
                } catch (const Exception& e) {
                    ReadError(slot.Field->DisplayName(), e);
                }
            }
            r->Modified[size_t(i)] = 0;
        }
    } catch (const Dao::EDaoError& e) {
        if (e.Number() == Dao::errRecordDeleted || e.Number() == Dao::errNoCurrentRecord) return false;
        throw;
    }
    return true;
}

bool TKDaoTable::IsGuidField(const TField* field) const {
    return field->DataType() == ftBytes && field->ValidChars() == std::u32string(GuidValidChars);
}

// --- field data ---------------------------------------------------------------------------------

std::string TKDaoTable::BlobContent(TField* field, TKDaoRecord* r) {
    const size_t i = size_t(field->FieldNo() - 1);
    const bool cached = (field->DataType() == ftMemo && FCacheMemos) || (field->DataType() == ftBlob && FCacheBlobs);
    const Variant& v = r->Values[i];
    // A value written in this edit, a cached one and a new record's default are in the buffer.
    if (r->Modified[i] || cached || (State() == dsInsert && r->Position == -1))
        return v.IsNull() ? std::string() : VarToStr(v);
    if (v.IsNull()) return std::string();  // no content: nothing to fetch
    // Fetched from DAO: the recordset goes to the buffer's record and comes back. A failure is
    // the caller's error; the way back is taken in any case.
    int32_t saved = 0;
    if (FBookmarkable) {
        saved = CurrentBookmarkValue(*FRecordset);
        if (r->BookmarkValue > 0 && r->BookmarkValue != saved) GotoBookmarkValue(r->BookmarkValue);
    }
    auto back = OnScopeExit([&] {
        if (saved <= 0 || saved == r->BookmarkValue) return;
        try {
            GotoBookmarkValue(saved);
        } catch (const Exception&) {
            // Recovers the cursor's place for the next read only: the value is read already.
        }
    });
    Variant content;
    try {
        content = FFieldObjects[i]->GetValue();
    } catch (const Dao::EDaoError& e) {
        // The record is gone: the table follows, and the error says so.
        if (e.Number() == Dao::errRecordDeleted && !ForwardOnly()) ResyncAfterLostRecord();
        throw;
    }
    return content.IsNull() || content.IsEmpty() ? std::string() : VarToStr(content);
}

bool TKDaoTable::GetFieldData(TField* field, Variant* buffer) {
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc)
        return TDataSet::GetFieldData(field, buffer);
    if (!FRecordsetOpen) return false;
    auto* r = static_cast<TKDaoRecord*>(GetActiveRecordBuffer());
    if (!r || field->FieldNo() < 1 || size_t(field->FieldNo()) > r->Values.size()) return false;
    const Variant& v = r->Values[size_t(field->FieldNo() - 1)];
    if (v.IsNull()) return false;
    if (!buffer) return true;
    if (field->IsBlob()) {
        std::string c = BlobContent(field, r);
        if (c.empty()) return false;
        *buffer = Variant(std::move(c));
        return true;
    }
    const TFieldType t = field->DataType();
    const int size = field->Size();
    // A text longer than the field (a value stored by another program) reads cut to its size.
    if ((t == ftString || t == ftFixedChar || t == ftWideString) && size > 0 && v.IsString() &&
        v.RawString().size() > size_t(size) && Utf8Length(v.RawString()) > size)
        *buffer = Variant(Utf8Copy(v.RawString(), 1, size));
    else *buffer = v;
    return true;
}

void TKDaoTable::SetFieldData(TField* field, const Variant* buffer) {
    if (field->FieldKind() != fkData && field->FieldKind() != fkInternalCalc) {
        TDataSet::SetFieldData(field, buffer);
        return;
    }
    auto* r = static_cast<TKDaoRecord*>(GetActiveRecordBuffer());
    if (!r || field->FieldNo() < 1) return;
    field->Validate(buffer);
    if (field->ReadOnly() && State() != dsSetKey) return;
    Variant v = buffer && !buffer->IsEmpty() ? *buffer : Variant::Null();
    // The null GUID, or bytes that are no GUID, is no value.
    if (IsGuidField(field) && !v.IsNull() && (VarToStr(v).size() != 16 || GuidBytesToString(VarToStr(v)).empty()))
        v = Variant::Null();
    const size_t i = size_t(field->FieldNo() - 1);
    r->Values[i] = std::move(v);
    r->Modified[i] = 1;
    const TDataSetState s = State();
    if (s != dsCalcFields && s != dsFilter && s != dsNewValue && s != dsInternalCalc)
        DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}
