#pragma once
// TMemDataSet: a dataset whose records live in memory. Tests use it, and windows built before
// their real dataset exists. Its field definitions are set before opening (FieldDefs()->Add);
// the records belong to the component and survive Close/Open until EmptyTable.
//
// Bookmarks are 4 bytes: the record's identity, never reused, so the bookmark of a deleted
// record is recognised (BookmarkValid False, GotoBookmark "Record not found").
// Filter texts: comparisons (= <> < > <= >=) of fields and literals ('text', numbers, True,
// False), IS [NOT] NULL, LIKE with * or %, joined by AND, OR, NOT and parentheses; a text
// ending in '*' compares as a prefix unless foNoPartialCompare.

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/db/DataLinks.h"
#include "platform/db/DB.h"

class TMemFilter;

class TMemDataSet : public TDataSet {
    KAROMIL_CLASS(TMemDataSet, TDataSet)
public:
    explicit TMemDataSet(TComponent* owner = nullptr);
    ~TMemDataSet() override;

    void EmptyTable();  // removes every record (the dataset may be open)
    int StoredRecordCount() const noexcept { return int(FRows.size()); }
    bool ReadOnly = false;
    // CompareBookmarks by record order (True) or by the order records were added (False).
    bool BookmarksInRecordOrder = true;

    // Master-detail: the detail shows the records whose DetailFields (default: MasterFields)
    // equal the master's MasterFields; new records take the master's values.
    TDataSource* MasterSource() const { return FMasterLink->DataSource(); }
    void SetMasterSource(TDataSource* ds);  // "Circular datalinks are not allowed"
    const std::string& MasterFields() const noexcept { return FMasterLink->FieldNames(); }
    void SetMasterFields(const std::string& names);
    std::string DetailFields;
    TMasterDataLink* MasterLink() const noexcept { return FMasterLink.get(); }
    TDataSource* GetDataSource() const override { return MasterSource(); }

    // Test hooks: called at the start of the internal post and delete; may raise.
    std::function<void(TMemDataSet*)> OnInternalPost;
    std::function<void(TMemDataSet*)> OnInternalDelete;

    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) override;
    bool BookmarkValid(const TBookmark& bookmark) override;
    int CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const override;
    int GetRecNo() const override;
    void SetRecNo(int value) override;
    void SetFiltered(bool value) override;
    void SetFilterText(const std::string& text) override;
    void SetFilterOptions(TFilterOptions options) override;
    void SetOnFilterRecord(const TFilterRecordEvent& handler) override;
    bool GetFieldData(TField* field, Variant* buffer) override;
    void SetFieldData(TField* field, const Variant* buffer) override;
    TRecBuf GetActiveRecordBuffer() const override;

protected:
    TRecBuf AllocRecordBuffer() override;
    void FreeRecordBuffer(TRecBuf& buffer) override;
    void InternalInitRecord(TRecBuf buffer) override;
    bool GetCurrentRecord(TRecBuf buffer) override;
    TGetResult GetRecord(TRecBuf buffer, TGetMode mode, bool doCheck) override;
    void InternalOpen() override;
    void InternalClose() override;
    void InternalInitFieldDefs() override {}
    bool IsCursorOpen() const override { return FCursorOpen; }
    bool GetCanModify() const override { return !ReadOnly; }
    void InternalFirst() override { FCursor = -1; }
    void InternalLast() override { FCursor = int(FRows.size()); }
    void InternalSetToRecord(TRecBuf buffer) override;
    void InternalGotoBookmark(const TBookmark& bookmark) override;
    TBookmarkFlag GetBookmarkFlag(TRecBuf buffer) const override;
    void SetBookmarkFlag(TRecBuf buffer, TBookmarkFlag flag) override;
    TBookmark GetBookmarkData(TRecBuf buffer) const override;
    void SetBookmarkData(TRecBuf buffer, const TBookmark& data) override;
    int GetRecordCount() const override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalAddRecord(TRecBuf buffer, bool append) override;
    void InternalDelete() override;
    void DoOnNewRecord() override;
    bool FindRecord(bool restart, bool goForward) override;

private:
    struct Row {
        int32_t Id;
        std::vector<Variant> Values;  // by field definition
    };
    struct Buffer;
    static Buffer* Buf(TRecBuf b);
    int PositionOf(int32_t id) const;  // -1 when the record is gone
    bool HasRestriction() const;
    // Makes the row's fields readable through the filter state until the returned guard goes.
    auto ReadThroughFilter(const Row* row);
    bool Accepted(const Row* row, bool forceFilter = false);
    bool RowMatches(
        const Row* row, const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options);
    int FindRow(const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options);
    void FillBuffer(Buffer* b, const Row* row);
    void InsertRow(Buffer* b, TBookmarkFlag flag);
    void MasterChanged(TObject*);
    void MasterDisabled(TObject*);
    void RefreshView();
    void CheckRowBounds(const Buffer* b) const;

    std::vector<std::unique_ptr<Row>> FRows;
    std::unordered_map<int32_t, Row*> FById;
    mutable std::unordered_map<int32_t, int> FPosition;
    mutable bool FPositionStale = true;
    int32_t FNextId = 1;
    int FCursor = -1;  // -1 before the first record, FRows.size() after the last
    bool FCursorOpen = false;
    Buffer* FOldBuffer = nullptr;  // the record as it was when the edit began
    Buffer* FScratch = nullptr;  // a record being tested by a filter or a search
    const Row* FScanRow = nullptr;  // data fields in dsFilter read straight from this row
    std::unique_ptr<TMasterDataLink> FMasterLink;
    std::unique_ptr<TMemFilter> FFilterExpr;
};
