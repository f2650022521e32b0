#pragma once
// Report datasets: the small cursor protocol (First, Next, Prior, Eof, RecordCount) and field
// access by name through which the engine, expressions, views and scripts read data.
//
//   TfrxDataSet          ranges (from the first or current row, to the last or current row,
//                        or a count of rows), RecNo and the cursor events;
//   TfrxUserDataSet      fields listed by name, values from OnGetValue;
//   TfrxCustomDBDataSet  field aliases, with hidden ("-") fields;
//   TfrxDBDataset        the adapter over a class-library TDataSet or TDataSource.
//
// Every dataset joins the process-wide list frxAllDataSets while it lives.

#include <functional>
#include <memory>
#include <string>

#include "platform/db/DB.h"
#include "report/core/frxDialog.h"

class TStringList;
class TStrings;
class TDataSet;
class TDataSource;
class TField;

enum TfrxRangeBegin { rbFirst, rbCurrent };
KAROMIL_ENUM_TYPE(TfrxRangeBegin, "rbFirst", "rbCurrent")
enum TfrxRangeEnd { reLast, reCurrent, reCount };
KAROMIL_ENUM_TYPE(TfrxRangeEnd, "reLast", "reCurrent", "reCount")
enum TfrxFieldType { fftNumeric, fftString, fftBoolean };
KAROMIL_ENUM_TYPE(TfrxFieldType, "fftNumeric", "fftString", "fftBoolean")

using TfrxCheckEOFEvent = std::function<void(TObject* sender, bool& eof)>;
using TfrxGetValueEvent = std::function<void(const std::string& varName, Variant& value)>;

class TfrxDataSet : public TfrxDialogComponent {
    KAROMIL_CLASS(TfrxDataSet, TfrxDialogComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Enabled).Default(1);
        KAROMIL_PROP_MEMBER(RangeBegin).Default(rbFirst);
        KAROMIL_PROP_MEMBER(RangeEnd).Default(reLast);
        KAROMIL_PROP_MEMBER(RangeEndCount).Default(0);
        KAROMIL_PROP(UserName);
        KAROMIL_EVENT(OnCheckEOF, "TfrxCheckEOFEvent");
        KAROMIL_EVENT(OnFirst, "TNotifyEvent");
        KAROMIL_EVENT(OnNext, "TNotifyEvent");
        KAROMIL_EVENT(OnPrior, "TNotifyEvent");
    })
public:
    explicit TfrxDataSet(TComponent* owner);
    ~TfrxDataSet() override;

    // --- published, in stored order
    bool GetEnabled() const noexcept { return FEnabled; }
    void SetEnabled(bool value) noexcept { FEnabled = value; }
    TfrxRangeBegin RangeBegin = rbFirst;
    TfrxRangeEnd RangeEnd = reLast;
    int32_t RangeEndCount = 0;
    const std::string& GetUserName() const noexcept { return FUserName; }
    // A name that is blank after trimming raises and keeps the old one.
    virtual void SetUserName(const std::string& value);
    TfrxCheckEOFEvent OnCheckEOF;
    TNotifyEvent OnFirst, OnNext, OnPrior;
    TNotifyEvent OnOpen, OnClose;  // published by TfrxCustomDBDataSet

    // --- state
    int32_t RecNo = 0;
    TfrxReportServices* ReportRef = nullptr;  // the report running the dataset, for error lines

    // --- the cursor protocol
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int RecordCount();

    // --- fields
    virtual int FieldsCount();
    virtual void GetFieldList(TStrings* list);  // clears the list, then the field names
    bool HasField(const std::string& fieldName);  // case ignored
    virtual Variant GetValue(const std::string& fieldName);
    virtual std::string GetDisplayText(const std::string& fieldName);
    virtual int GetDisplayWidth(const std::string& fieldName);
    virtual TfrxFieldType GetFieldType(const std::string& fieldName);
    virtual bool IsBlobField(const std::string& fieldName);
    // A persistent object assigns itself from the field; a stream receives its content and is
    // rewound.
    virtual void AssignBlobTo(const std::string& fieldName, TObject* obj);

    // Renaming also renames the user name while it followed the name.
    void SetName(const std::string& newName) override;
    std::string GetDescription() const override;

protected:
    bool FOpened = false;

private:
    bool FEnabled = true;
    std::string FUserName;
};

class TfrxUserDataSet : public TfrxDataSet {
    KAROMIL_CLASS(TfrxUserDataSet, TfrxDataSet)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Fields);
        KAROMIL_EVENT(OnGetValue, "TfrxGetValueEvent");
    })
public:
    explicit TfrxUserDataSet(TComponent* owner);
    ~TfrxUserDataSet() override;

    TStrings* GetFields() const noexcept { return FFields.get(); }
    void SetFields(TStrings* value);  // copies the lines
    TfrxGetValueEvent OnGetValue;

    int FieldsCount() override;
    void GetFieldList(TStrings* list) override;
    Variant GetValue(const std::string& fieldName) override;
    std::string GetDisplayText(const std::string& fieldName) override;

protected:
    bool DrawsOwnBitmap() const noexcept override { return false; }  // shows no image

private:
    std::unique_ptr<TStrings> FFields;
};

class TfrxCustomDBDataSet : public TfrxDataSet {
    KAROMIL_CLASS(TfrxCustomDBDataSet, TfrxDataSet)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(CloseDataSource).NoDefault();
        KAROMIL_PROP(FieldAliases);
        KAROMIL_PROP_MEMBER(OpenDataSource).Default(1);
        KAROMIL_EVENT(OnClose, "TNotifyEvent");
        KAROMIL_EVENT(OnOpen, "TNotifyEvent");
    })
public:
    explicit TfrxCustomDBDataSet(TComponent* owner);
    ~TfrxCustomDBDataSet() override;

    bool CloseDataSource = false;  // no default: always stored
    // Lines "field=alias"; a field beginning with "-" is hidden.
    TStrings* GetFieldAliases() const noexcept { return FFieldAliases.get(); }
    void SetFieldAliases(TStrings* value);  // copies the lines
    bool OpenDataSource = true;  // stored only

    // The field name behind an alias (case ignored); the alias itself when no line has it.
    std::string AliasToFieldName(const std::string& alias) const;
    int FieldsCount() override;

protected:
    // Sorted user-visible field names, each with its TField (nullptr when the source lacks it).
    TStringList* Fields() const noexcept { return FFields.get(); }

private:
    std::unique_ptr<TStrings> FFieldAliases;
    std::unique_ptr<TStringList> FFields;
};

class TfrxDBDataset : public TfrxCustomDBDataSet {
    KAROMIL_CLASS(TfrxDBDataset, TfrxCustomDBDataSet)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(DataSet).Stored(&Self::IsSourceStored);
        KAROMIL_PROP(DataSource).Stored(&Self::IsSourceStored);
    })
public:
    explicit TfrxDBDataset(TComponent* owner);
    ~TfrxDBDataset() override;

    // Setting one clears the other; stored only outside a report.
    TDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TDataSet* value);
    TDataSource* GetDataSource() const noexcept { return FDataSource; }
    void SetDataSource(TDataSource* value);
    bool IsSourceStored() const;
    // The dataset read: DataSet, else DataSource's dataset; nullptr when none.
    TDataSet* Source() const;

    void Initialize() override;  // "dbNotConn" without a source; installs the AfterOpen hook
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    int RecordCount() override;
    void GetFieldList(TStrings* list) override;
    Variant GetValue(const std::string& fieldName) override;
    std::string GetDisplayText(const std::string& fieldName) override;
    int GetDisplayWidth(const std::string& fieldName) override;
    TfrxFieldType GetFieldType(const std::string& fieldName) override;
    bool IsBlobField(const std::string& fieldName) override;
    void AssignBlobTo(const std::string& fieldName, TObject* obj) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    void RefillFields(bool raising);
    void Unhook();
    void AddMissingFieldError(const std::string& fieldName);
    void SourceAfterOpen(TDataSet* dataSet);

    TDataSet* FDataSet = nullptr;
    TDataSource* FDataSource = nullptr;
    TDataSet* FSource = nullptr;
    TBookmark FBookmark;
    bool FHasBookmark = false;
    bool FRangeEnded = false;
    // The source's own AfterOpen while ours is installed; FHooked tells whether it is.
    TDataSetNotifyEvent FSavedAfterOpen;
    bool FHooked = false;
};
