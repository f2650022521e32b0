#pragma once
// TKDaoTable: a dataset whose rows come from one DAO recordset (a stored table, a stored
// query definition or an SQL text) on a TKDaoDatabase. A record buffer keeps every field's
// value typed, in the framework's native form (Null and '' apart), with a modified flag per
// value; nothing passes through the process-wide format settings on its way from the engine. TKDaoIndexDefs keeps the index
// definitions and writes them back to the table definition; TKBlobStream serves memos and
// blobs, fetching their content from DAO when they are not cached with the record.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dao/KDaoDatabase.h"
#include "platform/classes/Streams.h"
#include "platform/db/DB.h"
#include "platform/db/DataLinks.h"
#include "platform/db/Params.h"

class TKDaoTable;

// The record buffer: header (position, bookmark flag, bookmark value) and the value list.
struct TKDaoRecord : TRecordBuffer {
    int32_t Position = 0;  // the table's position counter when read; -1 for a new record
    TBookmarkFlag Flag = bfCurrent;
    int32_t BookmarkValue = 0;  // first four bytes of the DAO bookmark; 0 when none
    // Native values by field definition; a blob not read with the record holds its size
    // (Null when empty) and is fetched from DAO when asked for.
    std::vector<Variant> Values;
    std::vector<uint8_t> Modified;  // 1 once set: only these are written by a post
    void CopyFrom(const TKDaoRecord& other);  // header, values and flags (never shared)
};

class TKDaoIndexDefs : public TIndexDefs {
    KAROMIL_CLASS(TKDaoIndexDefs, TIndexDefs)
public:
    explicit TKDaoIndexDefs(TKDaoTable* table = nullptr);
    TKDaoTable* Table() const noexcept { return FTable; }
    void UpdateDaoIndexes();
    void CreateDaoIndex(TIndexDef* def);
    bool DeleteDaoIndex(const std::string& indexName);
    // An index covering the ";" list ("!" first: exactly these fields), or ''.
    std::string FindIndexForFields(const std::string& fieldList) const;

private:
    TKDaoTable* FTable;
};

enum TKDaoOpenOption {
    dbDenyWrite,
    dbDenyRead,
    dbReadOnly,
    dbAppendOnly,
    dbInconsistent,
    dbConsistent,
    dbSQLPassThrough,
    dbFailOnError,
    dbForwardOnly,
    dbSeeChanges,
    dbRunAsync,
    dbExecDirect,
};
using TOOSet = TSet<TKDaoOpenOption>;
enum TExportMethod { VisibleFields, AllFields };

class TKBlobStream : public TStream {
    KAROMIL_CLASS(TKBlobStream, TStream)
public:
    TKBlobStream(TField* field, TBlobStreamMode mode);
    ~TKBlobStream() override;
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Size() const override { return int64_t(FContent.size()); }
    int64_t Position() const override { return FPosition; }
    void SetSize(int64_t newSize) override;
    void Truncate();
    const std::string& Content() const noexcept { return FContent; }

private:
    void Store();
    TField* FField;
    TKDaoTable* FTable;
    TKDaoRecord* FRecord;
    TBlobStreamMode FMode;
    bool FOpened = true;
    bool FModified = false;
    int64_t FPosition = 0;
    std::string FContent;
};

class TKDaoTable : public TDataSet {
    KAROMIL_CLASS(TKDaoTable, TDataSet)
public:
    explicit TKDaoTable(TComponent* owner);
    ~TKDaoTable() override;

    // --- published properties
    std::string GetComponentVersion() const { return "11.00"; }
    void SetComponentVersion(std::string) {}
    TKDaoDatabase* GetDatabase() const { return FDatabase; }
    void SetDatabase(TKDaoDatabase* db);
    std::string GetTableName() const { return FTableName; }
    void SetTableName(std::string v);
    TStrings* GetSQL() const { return FSQL.get(); }
    void SetSQL(TStrings* v);
    std::string GetQueryDefName() const { return FQueryDefName; }
    void SetQueryDefName(std::string v);
    TStrings* GetQueryDefParameters() const { return FQueryDefParameters.get(); }
    void SetQueryDefParameters(TStrings* v) { FQueryDefParameters->Assign(v); }
    TStrings* GetQueryDefSQLText() const { return FQueryDefSQLText.get(); }
    void SetQueryDefSQLText(TStrings* v);
    bool GetQueryDefSQLModify() const { return FQueryDefSQLModify; }
    void SetQueryDefSQLModify(bool v) { FQueryDefSQLModify = v; }
    int32_t GetQueryDefODBCMaxRecords() const { return FQueryDefODBCMaxRecords; }
    void SetQueryDefODBCMaxRecords(int32_t v) { FQueryDefODBCMaxRecords = v; }
    std::string GetQueryDefType() const;
    void SetQueryDefType(std::string) {}
    int32_t GetTableType() const { return FTableType; }
    void SetTableType(int32_t v);
    int32_t GetLockType() const { return FLockType; }
    void SetLockType(int32_t v);
    TOOSet GetOpenOptions() const { return FOpenOptions; }
    void SetOpenOptions(TOOSet v);
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    bool GetLockEdits() const;
    void SetLockEdits(bool) {}
    std::string GetIndexName() const { return FIndexName; }
    void SetIndexName(std::string v);
    int32_t GetIndexFieldCount() const;
    void SetIndexFieldCount(int32_t) {}
    TStrings* GetSortedBy() const { return FSortedBy.get(); }
    void SetSortedBy(TStrings* v);
    bool GetRefreshSorted() const { return FRefreshSorted; }
    void SetRefreshSorted(bool v) { FRefreshSorted = v; }
    bool GetCacheMemos() const { return FCacheMemos; }
    void SetCacheMemos(bool v) { SetReopeningFlag(FCacheMemos, v); }
    bool GetCacheBlobs() const { return FCacheBlobs; }
    void SetCacheBlobs(bool v) { SetReopeningFlag(FCacheBlobs, v); }
    bool GetCacheLookups() const { return FCacheLookups; }
    void SetCacheLookups(bool v) { SetReopeningFlag(FCacheLookups, v); }
    bool GetShowGUID() const { return FShowGUID; }
    void SetShowGUID(bool v) { SetReopeningFlag(FShowGUID, v); }
    TComponent* GetEncrypter() const { return nullptr; }
    void SetEncrypter(TComponent* v);
    std::string GetTableDateCreated() const;
    void SetTableDateCreated(std::string) {}
    std::string GetTableLastUpdated() const;
    void SetTableLastUpdated(std::string) {}
    TDataSource* GetMasterSource() const;
    void SetMasterSource(TDataSource* v);
    TStrings* GetMasterFields() const { return FMasterFields.get(); }
    void SetMasterFields(TStrings* v);
    bool GetMasterAutoActivate() const { return FMasterAutoActivate; }
    void SetMasterAutoActivate(bool v) { FMasterAutoActivate = v; }
    bool GetDatabaseAutoActivate() const { return FDatabaseAutoActivate; }
    void SetDatabaseAutoActivate(bool v) { FDatabaseAutoActivate = v; }
    bool GetUseBrackets() const { return FUseBrackets; }
    void SetUseBrackets(bool v) { FUseBrackets = v; }
    bool GetUseDaoProperties() const { return FUseDaoProperties; }
    void SetUseDaoProperties(bool v) { FUseDaoProperties = v; }
    bool GetUseCaptions() const { return FUseCaptions; }
    void SetUseCaptions(bool v) { FUseCaptions = v; }
    bool GetUseGetRecNo() const { return FUseGetRecNo; }
    void SetUseGetRecNo(bool v) { FUseGetRecNo = v; }
    bool GetUseRecordCount() const { return FUseRecordCount; }
    void SetUseRecordCount(bool v) { FUseRecordCount = v; }
    bool GetAutoFindIndex() const { return FAutoFindIndex; }
    void SetAutoFindIndex(bool v) { FAutoFindIndex = v; }
    bool GetWarnOnBadDatabase() const { return FWarnOnBadDatabase; }
    void SetWarnOnBadDatabase(bool v) { FWarnOnBadDatabase = v; }
    // Text is UTF-8 end to end; there is no OEM code page to translate to (stored only).
    bool GetTranslation() const { return FTranslation; }
    void SetTranslation(bool v) { FTranslation = v; }
    bool GetProcessMessages() const { return FProcessMessages; }
    void SetProcessMessages(bool v) { FProcessMessages = v; }
    bool GetParamCheck() const { return FParamCheck; }
    void SetParamCheck(bool v) { FParamCheck = v; }
    TExportMethod GetExportMethod() const { return FExportMethod; }
    void SetExportMethod(TExportMethod v) { FExportMethod = v; }
    void SetFilterText(const std::string& text) override;
    void SetFiltered(bool value) override;
    void SetOnFilterRecord(const TFilterRecordEvent& handler) override;

    // Assigning copies the values of same-named parameters; none is added or removed.
    TParams* GetParams() const { return FParams.get(); }
    void SetParams(TParams* v) { FParams->AssignValues(v); }
    TKDaoIndexDefs* IndexDefs() const { return FIndexDefs.get(); }
    const Variant& QueryDefOutputValues() const { return FQueryDefOutputValues; }
    int RecordsAffected() const { return FRecordsAffected; }

    // --- operations
    void Post() override;
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) override;
    TStream* CreateBlobStream(TField* field, TBlobStreamMode mode) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    int CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const override;
    int GetRecNo() const override;
    void SetRecNo(int value) override;
    void GetFieldNames(TStrings* list) override;
    void GetIndexNames(TStrings* list);
    void Loaded() override;
    bool GetFieldData(TField* field, Variant* buffer) override;
    void SetFieldData(TField* field, const Variant* buffer) override;
    TRecBuf GetActiveRecordBuffer() const override;

    // --- services used by the parts of the table, the index list and the blob stream
    void OpenDaoRecordset();
    void CloseDaoRecordset();
    void ReopenRecordset();
    // Leaves browse mode, closes the recordset and opens it through open; a failed opening
    // closes the dataset and is raised.
    void ReopenRecordsetWith(const std::function<void()>& open);
    TDaoErrRec LastDaoError() const;
    bool RecordsetOpen() const noexcept { return FRecordsetOpen; }
    Dao::Recordset* Recordset() const { return FRecordset.get(); }
    const std::vector<std::string>& DefNameList() const { return FDefNameList; }
    const std::vector<std::string>& FieldDefaults() const { return FFieldDefaults; }
    // The criteria of Locate and Lookup: the text DAO receives, whose key values are named
    // "[@1]", "[@2]" ... and travel in `values`, bound to the statement. False when a key
    // cannot be a value of its field (letters for a number): then no record matches.
    struct TKeyCriteria {
        std::string Text;
        std::vector<Dao::Property> Values;
        bool CanMatch = true;
    };
    TKeyCriteria BuildKeyCriteria(const std::vector<std::string>& fields, const std::vector<Variant>& keys);
    TKeyCriteria BuildLocateCriteria(
        const std::vector<std::string>& fields, const std::vector<Variant>& keys, TLocateOptions options);
    std::string BuildMasterCriteria();
    std::string CombineWithFilter(const std::string& criteria) const;
    void ParseMasterFields();
    const std::vector<std::string>& DetailNames() const { return FDetailNames; }
    const std::vector<std::string>& MasterNames() const { return FMasterNames; }
    std::string SortText() const { return FSortText; }
    int OptionsValue() const { return FOptionsValue; }
    // The blob's content for record r (from the value list or fetched from DAO).
    std::string BlobContent(TField* field, TKDaoRecord* r);
    bool IsGuidField(const TField* field) const;
    void RefreshParams();
    int32_t CurrentBookmarkValue(Dao::Recordset& rs);
    void GotoBookmarkValue(int32_t value);
    int EstimateRecNo(Dao::Recordset& rs, int32_t target);

protected:
    TRecBuf AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecBuf& buffer) override;
    int GetRecordSize() const override { return 16; }
    void InternalInitRecord(TRecBuf buffer) override;
    bool GetCurrentRecord(TRecBuf buffer) override;
    TGetResult GetRecord(TRecBuf buffer, TGetMode mode, bool doCheck) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override;
    bool IsCursorOpen() const override { return FRecordsetOpen; }
    bool GetCanModify() const override { return FRecordsetOpen && !FReadOnly; }
    void InternalFirst() override;
    void InternalLast() override;
    void InternalSetToRecord(TRecBuf buffer) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    TBookmarkFlag GetBookmarkFlag(TRecBuf buffer) const override;
    void SetBookmarkFlag(TRecBuf buffer, TBookmarkFlag flag) override;
    TBookmark GetBookmarkData(TRecBuf buffer) const override;
    void SetBookmarkData(TRecBuf buffer, const TBookmark& data) override;
    int GetRecordCount() const override;
    void InternalEdit() override;
    void InternalCancel() override;
    void InternalPost() override;
    void InternalAddRecord(TRecBuf buffer, bool append) override;
    void InternalDelete() override;
    void InternalRefresh() override;
    void DoOnNewRecord() override;
    bool FindRecord(bool, bool) override { return false; }
    void UpdateIndexDefs() override;
    bool HandlesErrorEvents() const override { return true; }
    void DefineProperties(TFiler* filer) override;
    void Notification(TComponent* component, TOperation operation) override;
    TDataSource* GetDataSource() const override;

private:
    friend class TKBlobStream;
    friend class TKDaoIndexDefs;

    void SetReopeningFlag(bool& flag, bool value);
    void LoadIndexDefs();
    bool LoadRecordValues(Dao::Recordset& rs, bool useFieldObjects, TKDaoRecord* buffer);
    bool RecordAccepted(TKDaoRecord* buffer);
    bool FilterActive() const { return Filtered() && OnFilterRecord(); }
    int32_t LastModifiedBookmarkValue(Dao::Recordset& rs);
    void ResyncAfterLostRecord();
    std::unique_ptr<Exception> DaoFailure(const Exception& original) const;
    void WriteModifiedValues(TKDaoRecord* r);
    void RebuildCursor();
    void RefreshMasterDetail();
    void MasterChangeHandler();
    void MasterDisableHandler();
    void MasterChanged();
    void MasterValuesToParams();
    void CopyMasterValues();
    void ReadQueryDefOutputs(const std::string& name);
    void ResetPosition();
    void MapBookmark(int32_t position, int32_t value) const;
    void ClearBookmarkMap() const;
    int CountWalk() const;
    Variant DefaultValue(size_t defIndex, const TField* field) const;
    void CheckTableName() const;
    std::string OpenRestrictedSql(const std::string& combined) const;
    Dao::Database& Db(const char* caller) const;
    bool ForwardOnly() const { return FTableType == 8; }
    bool Loading() const { return GetComponentState().Contains(csLoading) || GetComponentState().Contains(csReading); }

    TKDaoDatabase* FDatabase = nullptr;
    std::string FTableName, FQueryDefName, FIndexName;
    std::unique_ptr<TStringList> FSQL, FQueryDefParameters, FQueryDefSQLText, FSortedBy, FMasterFields;
    bool FQueryDefSQLModify = false, FRefreshSorted = false, FCacheMemos = false, FCacheBlobs = false;
    bool FCacheLookups = false, FShowGUID = false, FReadOnly = false;
    bool FMasterAutoActivate = true, FDatabaseAutoActivate = false, FUseBrackets = true, FUseDaoProperties = true;
    bool FUseCaptions = false, FUseGetRecNo = true, FUseRecordCount = true, FAutoFindIndex = true;
    bool FWarnOnBadDatabase = false, FTranslation = false, FProcessMessages = false, FParamCheck = true;
    TExportMethod FExportMethod = VisibleFields;
    int32_t FQueryDefODBCMaxRecords = 0, FTableType = 2, FLockType = 3, FQueryDefTypeCode = -1;
    TOOSet FOpenOptions;
    std::unique_ptr<TParams> FParams;
    std::unique_ptr<TKDaoIndexDefs> FIndexDefs;
    std::unique_ptr<TMasterDataLink> FMasterLink;
    std::vector<std::string> FDetailNames, FMasterNames;

    std::shared_ptr<Dao::Recordset> FRecordset, FBaseRecordset;
    std::vector<Dao::Field*> FFieldObjects;
    std::vector<uint8_t> FFieldWritable;
    std::vector<std::string> FFieldDefaults, FDefNameList, FFieldCaptions;
    std::vector<int> FFieldMap;  // field definition index -> the bound field's index, -1 for none
    // How each field definition's value is read into a record buffer, worked out once per open.
    enum class TReadKind : uint8_t { Skip, Value, BlobSize, None };
    struct TReadSlot {
        TField* Field = nullptr;
        TFieldType Type = ftUnknown;
        TReadKind Kind = TReadKind::Skip;
        bool Guid = false;
    };
    std::vector<TReadSlot> FReadPlan;
    void BuildReadPlan();
    std::string FSortText;
    int FOptionsValue = 0;
    int FRecordsAffected = 0;
    bool FBookmarkable = false, FNoMasterRestriction = true, FRecordsetOpen = false;
    bool FOpeningFieldDefs = false, FDestroying = false;
    Variant FQueryDefOutputValues;

    // position state (mutable: counts and record numbers are asked through const members)
    mutable int32_t FRecordPos = -1, FStepPos = -1, FHighestPos = -1, FCachedCount = -1;
    mutable bool FCountStale = true, FRepositionPending = false;
    mutable std::unordered_map<int32_t, int32_t> FPosByValue;  // bookmark value -> position
    mutable std::map<int32_t, int32_t> FValueByPos;  // position -> bookmark value
    std::unique_ptr<TKDaoRecord> FOldValues;
};
