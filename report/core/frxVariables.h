#pragma once
// Report variables: named expression texts that expressions and scripts read. A variable
// whose name begins with a blank heads a category (its name without the blank); the
// variables after it up to the next header belong to it.
//
// Stored with the report as property data, or in a file of its own: root "variables" with
// one "item" element per variable.

#include <string>

#include "platform/classes/Collection.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Variant.h"

class TStream;
class TStrings;
class TfrxXMLItem;

class TfrxVariable : public TCollectionItem {
    KAROMIL_CLASS(TfrxVariable, TCollectionItem)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(Name);
        KAROMIL_PROP(Value);
    })
public:
    explicit TfrxVariable(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;

    const std::string& GetName() const noexcept { return FName; }
    void SetName(const std::string& value) { FName = value; }
    const Variant& GetValue() const noexcept { return FValue; }
    void SetValue(const Variant& value) { FValue = value; }

private:
    std::string FName;
    Variant FValue = Variant::Null();
};

class TfrxVariables : public TCollection {
    KAROMIL_CLASS(TfrxVariables, TCollection)
public:
    TfrxVariables();

    TfrxVariable* Add() { return static_cast<TfrxVariable*>(TCollection::Add()); }
    TfrxVariable* Insert(int index) { return static_cast<TfrxVariable*>(TCollection::Insert(index)); }
    TfrxVariable* GetItem(int index) const { return static_cast<TfrxVariable*>(Items(index)); }
    int IndexOf(const std::string& name) const;  // case ignored; -1 when absent

    // Variables[Name]: Null when absent; writing appends a missing variable at the end.
    Variant GetVariable(const std::string& name) const;
    void SetVariable(const std::string& name, const Variant& value);

    void GetCategoriesList(TStrings* list, bool clearList = true) const;
    void GetVariablesList(const std::string& category, TStrings* list) const;
    void DeleteCategory(const std::string& name);
    void DeleteVariable(const std::string& name);
    void AddVariable(const std::string& category, const std::string& name, const Variant& value);

    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TStream* stream);
    void ReadItems(TfrxXMLItem* item);
    // Never destroys the file it replaces when writing fails.
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TStream* stream);
    void WriteItems(TfrxXMLItem* item);

private:
    int IndexOfCategory(const std::string& name) const;  // the header " " + name, or -1
};
