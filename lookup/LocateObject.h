#pragma once
// Finding a record of a dataset by the text of one of its fields: the search object the lookup
// controls use, and the database error they raise for configuration faults.

#include <functional>
#include <memory>
#include <string>

#include "platform/db/DB.h"

class TLocateObject : public TObject {
    KAROMIL_CLASS(TLocateObject, TObject)
public:
    TLocateObject() = default;

    TDataSet* DataSet() const noexcept { return FDataSet; }
    void BindDataSet(TDataSet* dataSet);
    // Makes the record whose field holds value current; on failure the position is kept.
    bool FindRecord(const std::string& fieldName, const std::string& value, bool exact, bool caseSensitive);

    TField* LookupField() const noexcept { return FLookupField; }
    const std::string& LookupValue() const noexcept { return FLookupValue; }
    bool LookupExact() const noexcept { return FLookupExact; }
    bool CaseSensitive() const noexcept { return FCaseSensitive; }
    bool IndexSwitch = true;  // carried for the lookup controls; no index search here

protected:
    virtual void VerifyField(TField* field) { (void)field; }
    virtual void DataSetAttached() {}
    virtual bool SearchByLocate();
    virtual bool SearchByIndex() { return false; }
    virtual bool SearchByScan();
    virtual bool IndexUsable() const { return false; }
    virtual bool FieldIsStored() const;
    bool MatchesCurrent() const;

private:
    TDataSet* FDataSet = nullptr;
    TField* FLookupField = nullptr;
    std::string FLookupValue;
    bool FLookupExact = false;
    bool FCaseSensitive = false;
    TBookmark FBookmark;
};

// Goes back to bookmark when it still names a record of a non-empty active dataset.
bool RestoreBookmark(TDataSet* dataSet, const TBookmark& bookmark);

// Replaces the class NewLocateObject makes (empty: TLocateObject).
using TCreateLocateObject = std::function<std::unique_ptr<TLocateObject>()>;
extern TCreateLocateObject CreateLocateObjectHook;
std::unique_ptr<TLocateObject> NewLocateObject(TDataSet* dataSet);

// The three configuration errors of the lookup controls.
extern const char* const SPropDefByLookup;  // "Property already defined by lookup field"
extern const char* const SDataSourceFixed;  // "Operation not allowed in a DBCtrlGrid"
extern const char* const SCircularDataLink;  // "Circular datalinks are not allowed"
[[noreturn]] void LookupError(const std::string& message);
