#pragma once
// The dataset framework: TDataSet and its record-buffer window, field definitions, the field
// list, data sources and data links. Concrete field classes are in Fields.h, the field and
// master links in DataLinks.h, query parameters in Params.h, the in-memory dataset in
// MemDataSet.h.
//
// Record buffers are objects, not bytes: a dataset derives its own buffer type from
// TRecordBuffer and the framework only moves the pointers around. Field values travel
// between a field and its dataset as a Variant holding the value's native form:
//   ftString, ftWideString, ftFixedChar, ftGuid, ftBytes, ftVarBytes, blobs: text / bytes
//   ftSmallint, ftInteger, ftWord, ftAutoInc: 32-bit integer     ftLargeint: 64-bit integer
//   ftBoolean: Boolean    ftFloat, ftCurrency, ftBCD: double
//   ftDate: day number, 1 January 0001 = 1    ftTime: milliseconds since midnight
//   ftDateTime: milliseconds since the start of day 0 (day number * 86 400 000 + ms)

#include "platform/classes/TypInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

class TDataSet;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDefs;
class TStream;

// --- enumerations (the class library's order: callers use ranges) -----------------------------

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening,
};
bool IsEditMode(TDataSetState s) noexcept;  // dsEdit, dsInsert, dsSetKey
bool IsWriteMode(TDataSetState s) noexcept;  // edit modes and the temporary writing states

enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd,
};
const char* FieldTypeName(TFieldType t) noexcept;  // "String", "Integer" ... as in messages
// A field of fieldType may stand for a definition of defType (same family: texts, integers ...).
bool IsFieldTypeCompatible(TFieldType fieldType, TFieldType defType) noexcept;

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };
KAROMIL_ENUM_TYPE(TFieldKind, "fkData", "fkCalculated", "fkLookup", "fkInternalCalc", "fkAggregate")
enum TGetMode { gmCurrent = 0, gmNext = 1, gmPrior = 2 };
enum TGetResult { grOK = 0, grBOF = 1, grEOF = 2, grError = 3 };
enum TBookmarkFlag { bfCurrent = 0, bfBOF = 1, bfEOF = 2, bfInserted = 3 };
enum TResyncModeFlag { rmExact, rmCenter };
using TResyncMode = TSet<TResyncModeFlag>;
enum TDataAction { daFail = 0, daAbort = 1, daRetry = 2 };
enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;
enum TFilterOption { foCaseInsensitive, foNoPartialCompare };
using TFilterOptions = TSet<TFilterOption>;
enum TBlobStreamMode { bmRead = 0, bmWrite = 1, bmReadWrite = 2 };
enum TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression, ixNonMaintained };
using TIndexOptions = TSet<TIndexOption>;
enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
    deConnectChange,
    deReconcileError,
    deDisabledStateChange,
};

// A bookmark: bytes (may hold NUL); empty means none.
using TBookmark = std::string;
using TBookmarkStr = std::string;

// --- errors ---------------------------------------------------------------------------------
[[noreturn]] void DatabaseError(const std::string& message);
[[noreturn]] void DatabaseErrorFmt(const std::string& format, const std::vector<Variant>& args);

// --- record buffers -------------------------------------------------------------------------
// Base of every dataset's record buffer. The framework keeps the values of calculated and
// lookup fields here, one slot per such field (its Offset); Null means "no value".
struct TRecordBuffer {
    virtual ~TRecordBuffer() = default;
    std::vector<Variant> CalcValues;
};
using TRecBuf = TRecordBuffer*;

// --- events ---------------------------------------------------------------------------------
using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* dataSet, Exception& e, TDataAction& action)>;
using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;
using TFieldNotifyEvent = std::function<void(TField* sender)>;
using TFieldGetTextEvent = std::function<void(TField* sender, std::string& text, bool displayText)>;
using TFieldSetTextEvent = std::function<void(TField* sender, const std::string& text)>;
using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

// --- field definitions ----------------------------------------------------------------------
class TFieldDef : public TCollectionItem {
    KAROMIL_CLASS(TFieldDef, TCollectionItem)
public:
    explicit TFieldDef(TCollection* owner = nullptr) : TCollectionItem(owner) {}
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    int Precision = 0;
    bool Required = false;
    bool ReadOnly = false;
    bool Hidden = false;
    int FieldNo() const { return Index() + 1; }
    // The field class this definition makes by default (nullptr for types without one).
    TClass FieldClass() const;
    // A new field of that class for dataset, owned by owner (nullptr: the dataset).
    TField* CreateField(TComponent* owner, TDataSet* dataSet) const;
    void Assign(TPersistent* source) override;
};

class TFieldDefs : public TCollection {
    KAROMIL_CLASS(TFieldDefs, TCollection)
public:
    explicit TFieldDefs(TDataSet* dataSet = nullptr);
    TFieldDef* Items(int index) const { return static_cast<TFieldDef*>(TCollection::Items(index)); }
    TFieldDef* AddFieldDef() { return static_cast<TFieldDef*>(TCollection::Add()); }
    TFieldDef* Add(const std::string& name, TFieldType dataType, int size = 0, bool required = false);
    int IndexOf(const std::string& name) const;  // ASCII case ignored; -1 when absent
    TFieldDef* Find(const std::string& name) const;  // "Field '%s' not found"
    // Asks the dataset for its definitions (opening it for the purpose when needed).
    void Update();
    bool Updated = false;
    TDataSet* DataSet() const noexcept { return FDataSet; }

private:
    TDataSet* FDataSet;
};

// --- index definitions (kept for datasets that have indexes; the framework only stores them) ---
class TIndexDef : public TCollectionItem {
    KAROMIL_CLASS(TIndexDef, TCollectionItem)
public:
    explicit TIndexDef(TCollection* owner = nullptr) : TCollectionItem(owner) {}
    std::string Name;
    std::string Fields;
    std::string DescFields;
    TIndexOptions Options;
};

class TIndexDefs : public TCollection {
    KAROMIL_CLASS(TIndexDefs, TCollection)
public:
    explicit TIndexDefs(TDataSet* dataSet = nullptr);
    TIndexDef* Items(int index) const { return static_cast<TIndexDef*>(TCollection::Items(index)); }
    TIndexDef* Add(const std::string& name, const std::string& fields, TIndexOptions options);
    int IndexOf(const std::string& name) const;
    TIndexDef* Find(const std::string& name) const;  // "Index '%s' not found"
    void Update();
    bool Updated = false;

private:
    TDataSet* FDataSet;
};

// --- the field list of a dataset ------------------------------------------------------------
class TFields {
public:
    explicit TFields(TDataSet* dataSet) : FDataSet(dataSet) {}
    TFields(const TFields&) = delete;
    TFields& operator=(const TFields&) = delete;

    int Count() const noexcept { return int(FList.size()); }
    TField* operator[](int index) const { return Fields(index); }
    TField* Fields(int index) const;  // "Field index out of range"
    TField* FindField(const std::string& name) const;  // ASCII case ignored; nullptr when absent
    TField* FieldByName(const std::string& name) const;
    TField* FieldByNumber(int fieldNo) const;
    int IndexOf(const TField* field) const;
    void GetFieldNames(TStrings* list) const;
    const std::vector<TField*>& List() const noexcept { return FList; }
    TDataSet* DataSet() const noexcept { return FDataSet; }

private:
    friend class TField;
    friend class TDataSet;
    void Add(TField* field);
    void Remove(TField* field);
    void SetFieldIndex(TField* field, int index);
    TDataSet* FDataSet;
    std::vector<TField*> FList;
};

// --- the field base -------------------------------------------------------------------------
class TField : public TComponent {
    KAROMIL_CLASS(TField, TComponent)
public:
    explicit TField(TComponent* owner);
    ~TField() override;

    // --- identity and place
    TDataSet* DataSet() const noexcept { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);
    const std::string& FieldName() const noexcept { return FFieldName; }
    void SetFieldName(const std::string& name);
    int FieldNo() const noexcept { return FFieldNo; }  // definition index + 1; <= 0 for calculated
    TFieldKind FieldKind() const noexcept { return FFieldKind; }
    void SetFieldKind(TFieldKind kind);
    TFieldType DataType() const noexcept { return FDataType; }
    int Index() const;  // place in DataSet's Fields
    void SetIndex(int index);  // sends a layout change
    int Offset() const noexcept { return FOffset; }  // slot in TRecordBuffer::CalcValues
    int Size() const noexcept { return FSize; }  // characters for text fields
    virtual void SetSize(int size);
    virtual int DataSize() const { return 0; }
    virtual bool IsBlob() const { return false; }
    bool Calculated() const noexcept { return FFieldKind == fkCalculated; }
    bool Lookup() const noexcept { return FFieldKind == fkLookup; }

    // --- presentation
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& label);
    std::string DisplayName() const { return DisplayLabel(); }
    int DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : GetDefaultWidth(); }
    void SetDisplayWidth(int width);
    TAlignment Alignment() const noexcept { return FAlignment; }
    void SetAlignment(TAlignment a);
    bool Visible() const noexcept { return FVisible; }
    void SetVisible(bool visible);  // sends a layout change
    const std::string& EditMask() const noexcept { return FEditMask; }
    void SetEditMask(const std::string& mask) { FEditMask = mask; }
    // The characters a control lets the user type into this field (all when empty).
    const std::u32string& ValidChars() const noexcept { return FValidChars; }
    void SetValidChars(std::u32string chars) { FValidChars = std::move(chars); }
    bool IsValidChar(char32_t c) const;

    // --- rules
    bool ReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool ro);
    bool Required() const noexcept { return FRequired; }
    void SetRequired(bool r) { FRequired = r; }
    std::string DefaultExpression;
    std::string ConstraintErrorMessage;
    // Data fields of a modifiable dataset outside dsSetKey; never calculated or lookup fields.
    virtual bool CanModify() const;

    // --- values
    bool IsNull() const;
    void Clear() { SetData(nullptr); }
    virtual std::string GetAsString() const;
    virtual void SetAsString(const std::string& value);
    virtual int32_t GetAsInteger() const;
    virtual void SetAsInteger(int32_t value);
    virtual int64_t GetAsLargeInt() const { return GetAsInteger(); }
    virtual void SetAsLargeInt(int64_t value);
    virtual double GetAsFloat() const;
    virtual void SetAsFloat(double value);
    virtual Currency GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }
    virtual void SetAsCurrency(Currency value) { SetAsFloat(value.ToDouble()); }
    virtual bool GetAsBoolean() const;
    virtual void SetAsBoolean(bool value);
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsDateTime(TDateTime value);
    virtual Variant GetAsVariant() const;  // Null for a null field
    void SetAsVariant(const Variant& value);  // Null and Empty clear the field
    Variant Value() const { return GetAsVariant(); }
    void SetValue(const Variant& value) { SetAsVariant(value); }
    // Values as they were before the edit and as they are now (dsOldValue, dsNewValue, dsCurValue).
    Variant OldValue() const;
    Variant NewValue() const;
    Variant CurValue() const;
    Variant ValueInState(TDataSetState state) const;

    // Texts: the edit text and the display text, through OnGetText when assigned.
    std::string Text() const;
    void SetText(const std::string& text);  // through OnSetText when assigned
    std::string DisplayText() const;

    // Copies the value of another field (or clears on nullptr); other sources as TPersistent.
    void Assign(TPersistent* source) override;
    // Runs OnValidate while the field reads as the proposed native value.
    void Validate(const Variant* buffer);
    void FocusControl();

    // Raw access to the native form (see DB.h header); false when the field is Null.
    bool GetData(Variant* buffer) const;
    void SetData(const Variant* buffer);

    // --- lookup definition
    TDataSet* LookupDataSet() const noexcept { return FLookupDataSet; }
    void SetLookupDataSet(TDataSet* ds);
    std::string KeyFields, LookupKeyFields, LookupResultField;
    bool LookupCache() const noexcept { return FLookupCache; }
    void SetLookupCache(bool on);
    void RefreshLookupList();  // empties the cache

    // --- events
    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

protected:
    friend class TDataSet;
    friend class TFields;
    friend class TFieldDef;
    virtual void GetText(std::string& text, bool displayText) const;
    virtual void SetTextValue(const std::string& text) { SetAsString(text); }
    virtual Variant NativeToVariant(Variant native) const { return native; }
    virtual void SetVarValue(const Variant& value);
    virtual int GetDefaultWidth() const { return 10; }
    void SetDataType(TFieldType t) noexcept { FDataType = t; }
    [[noreturn]] void AccessError(const char* typeName) const;
    void CheckInactive() const;
    void PropertyChanged(bool layout);
    void Notification(TComponent* component, TOperation operation) override;
    // The lookup value for the record in the calculation buffer.
    Variant CalcLookupValue();

    TAlignment FAlignment = taLeftJustify;

private:
    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    std::string FDisplayLabel;
    std::string FEditMask;
    std::u32string FValidChars;
    TFieldKind FFieldKind = fkData;
    TFieldType FDataType = ftUnknown;
    int FFieldNo = 0;
    int FOffset = -1;
    int FSize = 0;
    int FDisplayWidth = 0;
    bool FVisible = true;
    bool FReadOnly = false;
    bool FRequired = false;
    bool FLookupCache = false;
    TDataSet* FLookupDataSet = nullptr;
    std::vector<std::pair<Variant, Variant>> FLookupList;
    // During Validate the field reads as the value being proposed.
    const Variant* FValidating = nullptr;
    bool FIsValidating = false;
};

// --- the dataset ----------------------------------------------------------------------------
class TDataSet : public TComponent {
    KAROMIL_CLASS(TDataSet, TComponent)
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;

    // --- opening and state
    bool Active() const noexcept { return FState != dsInactive && FState != dsOpening; }
    void SetActive(bool value);
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }
    TDataSetState State() const noexcept { return FState; }
    bool Modified() const noexcept { return FModified; }
    void SetModified(bool m) noexcept { FModified = m; }
    bool CanModify() const { return GetCanModify(); }
    bool IsEmpty() const noexcept { return FRecordCount == 0; }
    void CheckActive() const;  // "Cannot perform this operation on a closed dataset"
    void CheckInactive() const;  // "Cannot perform this operation on an open dataset"
    void Loaded() override;

    // --- navigation
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    int MoveBy(int distance);  // the number of records actually moved
    bool Bof() const noexcept { return FBOF; }
    bool Eof() const noexcept { return FEOF; }
    int RecordCount() const { return GetRecordCount(); }
    virtual int GetRecNo() const { return -1; }
    virtual void SetRecNo(int value) { (void)value; }
    int RecNo() const { return GetRecNo(); }
    virtual bool IsSequenced() const { return true; }
    void Refresh();
    void Resync(TResyncMode mode);

    // --- the record-buffer window (public here: grids and lookup lists step through it)
    int BufferCount() const noexcept { return FBufferCount; }
    int ActiveRecord() const noexcept { return FActiveRecord; }
    int BufferedRecordCount() const noexcept { return FRecordCount; }
    // The window row `index`'s buffer; the active one is ActiveBuffer().
    TRecBuf Buffers(int index) const { return FBuffers.at(size_t(index)); }
    TRecBuf ActiveBuffer() const { return FRecordCount > 0 ? FBuffers[size_t(FActiveRecord)] : nullptr; }

    // --- editing
    void Edit();
    void Insert();
    void Append();
    virtual void Post();
    void Cancel();
    void Delete();
    void CheckBrowseMode();
    void UpdateRecord();
    void ClearFields();
    void InsertRecord(const std::vector<Variant>& values);
    void AppendRecord(const std::vector<Variant>& values);
    void SetFields(const std::vector<Variant>& values);

    // --- bookmarks
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) const { bookmark.clear(); }
    virtual bool BookmarkValid(const TBookmark& bookmark) {
        (void)bookmark;
        return false;
    }
    virtual int CompareBookmarks(const TBookmark& b1, const TBookmark& b2) const;
    bool BookmarkAvailable() const;
    TBookmarkStr Bookmark() const { return GetBookmarkStr(); }
    void SetBookmark(const TBookmarkStr& value) { SetBookmarkStr(value); }
    int BookmarkSize() const noexcept { return FBookmarkSize; }
    void SetBookmarkSize(int size) noexcept { FBookmarkSize = size; }

    // --- searching and filtering
    virtual bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options);
    virtual Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields);
    bool FindFirst() { return FindRecord(true, true); }
    bool FindLast() { return FindRecord(true, false); }
    bool FindNext() { return FindRecord(false, true); }
    bool FindPrior() { return FindRecord(false, false); }
    bool Found() const noexcept { return FFound; }
    const std::string& Filter() const noexcept { return FFilterText; }
    void SetFilter(const std::string& text) { SetFilterText(text); }
    virtual void SetFilterText(const std::string& text) { FFilterText = text; }
    bool Filtered() const noexcept { return FFiltered; }
    virtual void SetFiltered(bool value) { FFiltered = value; }
    TFilterOptions FilterOptions() const noexcept { return FFilterOptions; }
    virtual void SetFilterOptions(TFilterOptions options);
    const TFilterRecordEvent& OnFilterRecord() const noexcept { return FOnFilterRecord; }
    virtual void SetOnFilterRecord(const TFilterRecordEvent& handler);

    // --- fields
    TFields* Fields() const noexcept { return FFields.get(); }
    int FieldCount() const noexcept { return FFields->Count(); }
    TFieldDefs* FieldDefs() const noexcept { return FFieldDefs.get(); }
    TIndexDefs* IndexDefs() const noexcept { return FIndexDefs.get(); }
    TField* FindField(const std::string& name) const { return FFields->FindField(name); }
    TField* FieldByName(const std::string& name) const { return FFields->FieldByName(name); }
    // The fields named in "A;B;C"; raises for an unknown name.
    void GetFieldList(std::vector<TField*>& list, const std::string& fieldNames) const;
    virtual void GetFieldNames(TStrings* list);
    Variant GetFieldValues(const std::string& fieldNames) const;  // one value or an array
    void SetFieldValues(const std::string& fieldNames, const Variant& value);
    bool DefaultFields() const noexcept { return FDefaultFields; }
    bool AutoCalcFields = true;
    int CalcFieldsSize() const noexcept { return FCalcFieldsSize; }

    // --- controls
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const noexcept { return FDisableCount != 0; }
    // True when dataSource's dataset is this one or is linked to it through master sources.
    bool IsLinkedTo(TDataSource* dataSource) const;
    virtual TDataSource* GetDataSource() const { return nullptr; }
    void CursorPosChanged() noexcept { FCurrentRecord = -1; }
    void UpdateCursorPos();
    // Sends a notification to the data sources (and so to the links); deFieldChange also
    // marks the record modified and recalculates.
    virtual void DataEvent(TDataEvent event, intptr_t info);

    // --- blobs
    // The caller owns the stream; one opened for writing stores its content when freed.
    virtual TStream* CreateBlobStream(TField* field, TBlobStreamMode mode);

    // An error that cannot be raised (inside a destructor, while a module loads, in a blob
    // stream's clean-up) goes through InternalHandleException to the process-wide error hook.
    // Call it only inside a catch block: the hook finds the error as std::current_exception().
    void HandleException() { InternalHandleException(); }
    // The error hook. The window layer sets it once at start-up to the application's exception
    // handler (which shows the message in an error box); SetHandleExceptionHook answers the
    // hook it replaces, so a test can put it back. Without a hook the message is written to
    // the standard error output: an error is never dropped without a word.
    using THandleExceptionHook = std::function<void(TDataSet* dataSet)>;
    static THandleExceptionHook SetHandleExceptionHook(THandleExceptionHook hook);
    static const THandleExceptionHook& GetHandleExceptionHook() { return HandleExceptionHook; }
    static THandleExceptionHook HandleExceptionHook;

    // --- the access protocol fields use (public so that fields and streams of other classes reach it)
    // Calculated and lookup fields are served here from TRecordBuffer::CalcValues; a dataset
    // answers its data fields and calls this one for the others.
    virtual bool GetFieldData(TField* field, Variant* buffer);
    virtual void SetFieldData(TField* field, const Variant* buffer);
    // The buffer field access uses in the current state (nullptr when there is none).
    virtual TRecBuf GetActiveRecordBuffer() const;
    TRecBuf CalcBuffer() const noexcept { return FCalcBuffer; }
    TRecBuf TempBuffer() const noexcept { return FTempBuffer; }

    // --- events, in the order they fire
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll, BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

protected:
    friend class TDataLink;
    friend class TDataSource;
    friend class TField;
    friend class TFieldDefs;
    friend class TIndexDefs;

    // --- what a dataset implements
    virtual TRecBuf AllocRecordBuffer() = 0;
    virtual void FreeRecordBuffer(TRecBuf& buffer) = 0;  // sets it to nullptr, ignores nullptr
    virtual int GetRecordSize() const { return 0; }
    virtual void InternalInitRecord(TRecBuf buffer) = 0;
    virtual void ClearCalcFields(TRecBuf buffer);
    virtual bool GetCurrentRecord(TRecBuf buffer) {
        (void)buffer;
        return false;
    }
    virtual TGetResult GetRecord(TRecBuf buffer, TGetMode mode, bool doCheck) = 0;
    virtual void InternalOpen() = 0;
    virtual void InternalClose() = 0;
    virtual void InternalInitFieldDefs() = 0;
    virtual bool IsCursorOpen() const = 0;
    virtual bool GetCanModify() const { return true; }
    virtual void InternalHandleException();
    virtual void InternalFirst() = 0;
    virtual void InternalLast() = 0;
    virtual void InternalSetToRecord(TRecBuf buffer) = 0;
    virtual void InternalGotoBookmark(const TBookmark& bookmark) = 0;
    virtual TBookmarkFlag GetBookmarkFlag(TRecBuf buffer) const = 0;
    virtual void SetBookmarkFlag(TRecBuf buffer, TBookmarkFlag flag) = 0;
    virtual TBookmark GetBookmarkData(TRecBuf buffer) const = 0;
    virtual void SetBookmarkData(TRecBuf buffer, const TBookmark& data) = 0;
    virtual TBookmarkStr GetBookmarkStr() const;
    virtual void SetBookmarkStr(const TBookmarkStr& value);
    virtual int GetRecordCount() const { return -1; }
    virtual void InternalEdit() {}
    virtual void InternalCancel() {}
    virtual void InternalPost() = 0;
    virtual void InternalAddRecord(TRecBuf buffer, bool append) = 0;
    virtual void InternalDelete() = 0;
    virtual void InternalRefresh() {}
    virtual void InternalInsert() {}
    virtual void DoOnNewRecord();
    virtual bool FindRecord(bool restart, bool goForward) {
        (void)restart;
        (void)goForward;
        return false;
    }
    virtual void UpdateIndexDefs() {}
    // A dataset that serves OnEditError, OnPostError and OnDeleteError itself, with its own
    // retry and abort rules, answers true: the framework then runs InternalEdit, InternalPost
    // and InternalDelete plainly, so a handler is never asked twice about one error.
    virtual bool HandlesErrorEvents() const { return false; }

    // --- services for a dataset
    void ClearBuffers();
    void ActivateBuffers();
    void DoBeforeScroll() {
        if (BeforeScroll) BeforeScroll(this);
    }
    void DoAfterScroll() {
        if (AfterScroll) AfterScroll(this);
    }
    TDataSetState SetTempState(TDataSetState value);
    void RestoreState(TDataSetState value);
    void SetState(TDataSetState value);
    void GetCalcFields(TRecBuf buffer);
    virtual void CalculateFields(TRecBuf buffer);
    void CreateFields();
    void BindFields(bool binding);
    void DestroyFields();
    void InitRecord(TRecBuf buffer);
    // Scan helper for Locate and Lookup: the record in the current state's buffer matches.
    bool RecordMatches(
        const std::vector<TField*>& fields, const std::vector<Variant>& values, TLocateOptions options) const;
    static std::vector<Variant> KeyValueList(const Variant& keyValues, size_t count);
    TRecBuf FFilterBuffer = nullptr;  // the buffer offered to OnFilterRecord
    bool FFound = false;

private:
    void OpenCursor();
    void CloseCursor();
    void SetBufferCount(int value);
    void UpdateBufferCount();
    bool GetNextRecord();
    bool GetPriorRecord();
    int GetNextRecords();
    int GetPriorRecords();
    void SetCurrentRecord(int index);
    void MoveBuffer(int curIndex, int newIndex);
    void BeginInsertAppend();
    void EndInsertAppend();
    void CheckCanModifyDataSet() const;
    void CheckOperation(void (TDataSet::*op)(), const TDataSetErrorEvent& handler);
    void UpdateCalcFields();
    void AddDataSource(TDataSource* ds);
    void RemoveDataSource(TDataSource* ds);
    void ShiftLinks(int delta);

    TDataSetState FState = dsInactive;
    bool FModified = false;
    bool FBOF = true;
    bool FEOF = true;
    bool FDefaultFields = false;
    bool FInternalOpenComplete = false;
    bool FStreamedActive = false;
    bool FFiltered = false;
    std::string FFilterText;
    TFilterOptions FFilterOptions;
    TFilterRecordEvent FOnFilterRecord;
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1;
    int FBookmarkSize = 0;
    int FCalcFieldsSize = 0;
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;
    std::vector<TRecBuf> FBuffers;  // FBufferCount + 1: the last one takes a fetched record
    TRecBuf FTempBuffer = nullptr;
    TRecBuf FCalcBuffer = nullptr;
    std::unique_ptr<TFields> FFields;
    std::unique_ptr<TFieldDefs> FFieldDefs;
    std::unique_ptr<TIndexDefs> FIndexDefs;
    std::vector<TDataSource*> FDataSources;
};

// --- data source ----------------------------------------------------------------------------
class TDataSource : public TComponent {
    KAROMIL_CLASS(TDataSource, TComponent)
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const noexcept { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);  // "Circular datalinks are not allowed"
    bool Enabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value);
    TDataSetState State() const noexcept { return FState; }
    bool AutoEdit = true;
    // Puts the dataset into edit mode when AutoEdit is on and it is browsing.
    void Edit();
    bool IsLinkedTo(TDataSet* dataSet) const;
    int DataLinkCount() const noexcept { return int(FDataLinks.size()); }

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataSet;
    friend class TDataLink;
    void DataEvent(TDataEvent event, intptr_t info);
    void NotifyDataLinks(TDataEvent event, intptr_t info);
    void UpdateState();
    void AddDataLink(TDataLink* link);
    void RemoveDataLink(TDataLink* link);

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    TDataSetState FState = dsInactive;
    std::vector<TDataLink*> FDataLinks;
};

// --- data link ------------------------------------------------------------------------------
// How a control or another dataset hears about a dataset. The link sees a window of
// BufferCount rows of the dataset's buffers starting at its own first row.
class TDataLink : public TPersistent {
    KAROMIL_CLASS(TDataLink, TPersistent)
public:
    TDataLink();
    ~TDataLink() override;

    TDataSource* DataSource() const noexcept { return FDataSource; }
    void SetDataSource(TDataSource* ds);
    TDataSet* DataSet() const noexcept { return FDataSource ? FDataSource->DataSet() : nullptr; }
    bool DataSourceFixed = false;
    bool Active() const noexcept { return FActive; }
    bool Editing() const noexcept { return FEditing; }
    bool ReadOnly() const noexcept { return FReadOnly; }
    void SetReadOnly(bool value);
    // Controls (grids, edits) are visual; master-detail links are not. Non-visual links hear
    // every notification first.
    bool VisualControl = false;

    int ActiveRecord() const;
    // Points the fields at another of the link's rows, without a move or an event.
    // Must be below RecordCount (any row 0 is accepted when the window is empty).
    void SetActiveRecord(int value);
    int BufferCount() const noexcept { return FBufferCount; }
    void SetBufferCount(int value);  // resizes the dataset's window at once, silently
    int RecordCount() const;  // rows of the window that hold records
    int FirstRecord() const noexcept { return FFirstRecord; }

    bool Edit();  // asks the data source to edit; answers Editing
    void UpdateRecord();
    bool ExecuteAction(TObject* action) {
        (void)action;
        return false;
    }
    bool UpdateAction(TObject* action) {
        (void)action;
        return false;
    }

protected:
    friend class TDataSource;
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) {
        (void)distance;
        DataSetChanged();
    }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField*& field) { (void)field; }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { (void)field; }
    virtual void UpdateData() {}
    virtual void DataEvent(TDataEvent event, intptr_t info);

private:
    friend class TDataSet;
    void UpdateState();
    void SetActive(bool value);
    void SetEditing(bool value);
    // Moves the window by the buffer shift and keeps the active row inside; answers the clamp.
    int UpdateRange(int shift);

    TDataSource* FDataSource = nullptr;
    int FFirstRecord = 0;
    int FBufferCount = 1;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
};
