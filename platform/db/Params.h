#pragma once
// Query parameters: TParam / TParams and the parser that finds ":name" in SQL text.

#include <string>

#include "platform/db/DB.h"

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParam : public TCollectionItem {
    KAROMIL_CLASS(TParam, TCollectionItem)
public:
    explicit TParam(TCollection* owner = nullptr) : TCollectionItem(owner) {}
    std::string Name;
    TFieldType DataType = ftUnknown;
    TParamType ParamType = ptUnknown;
    bool Bound = false;

    const Variant& Value() const noexcept { return FValue; }
    void SetValue(const Variant& v);  // an unknown DataType follows the value's kind
    bool IsNull() const noexcept { return FValue.IsNull() || FValue.IsEmpty(); }
    void Clear() { FValue = Variant::Null(); }
    std::string AsString() const { return VarToStr(FValue); }
    void SetAsString(const std::string& s) {
        DataType = ftString;
        SetValue(Variant(s));
    }
    int32_t AsInteger() const { return IsNull() ? 0 : FValue.AsInteger(); }
    void SetAsInteger(int32_t v) {
        DataType = ftInteger;
        SetValue(Variant(v));
    }
    double AsFloat() const { return IsNull() ? 0 : FValue.AsDouble(); }
    void SetAsFloat(double v) {
        DataType = ftFloat;
        SetValue(Variant(v));
    }
    bool AsBoolean() const { return !IsNull() && FValue.AsBoolean(); }
    void SetAsBoolean(bool v) {
        DataType = ftBoolean;
        SetValue(Variant(v));
    }
    TDateTime AsDateTime() const { return IsNull() ? 0 : FValue.AsDate(); }
    void SetAsDateTime(TDateTime v) {
        DataType = ftDateTime;
        SetValue(Variant::FromDate(v));
    }
    // Takes name, type and value of another parameter, or type and value of a field.
    void Assign(TPersistent* source) override;
    void AssignField(TField* field);

private:
    Variant FValue = Variant::Null();
};

class TParams : public TCollection {
    KAROMIL_CLASS(TParams, TCollection)
public:
    explicit TParams(TPersistent* owner = nullptr) : TCollection(TParam::StaticClass(), owner) {}
    TParam* Items(int index) const { return static_cast<TParam*>(TCollection::Items(index)); }
    TParam* CreateParam(TFieldType type, const std::string& name, TParamType paramType);
    TParam* FindParam(const std::string& name) const;  // ASCII case ignored; nullptr when absent
    TParam* ParamByName(const std::string& name) const;  // "Parameter '%s' not found"
    // Copies the values of same-named parameters of source; adds and removes none.
    void AssignValues(const TParams* source);
    bool IsEqual(const TParams* other) const;
    // Finds the parameters of an SQL text: a colon and a name (letters, digits, '_', or a
    // quoted name); quoted literals are skipped and "::" stands for one colon. With doCreate
    // the parameters are added (each name once). Answers the text with each parameter
    // replaced by '?' and "::" by ':'.
    std::string ParseSQL(const std::string& sql, bool doCreate);

    // Stored data under the pseudo-property ParamData: per parameter its name, data type,
    // parameter type and value as text (a list of lists).
    void WriteData(class TWriter* writer) const;
    void ReadData(class TReader* reader);
};
