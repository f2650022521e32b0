#pragma once
// Query parameters of a table's SQL text (":Name" references). The dataset framework has no
// parameter list yet, so the DAO table keeps this small one of its own.

#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/Variant.h"

class TKDaoParam {
public:
    std::string Name;
    TFieldType DataType = ftUnknown;
    Variant Value = Variant::Null();
    bool IsNull() const { return Value.IsNull() || Value.IsEmpty(); }
    void Clear() { Value = Variant::Null(); }
    std::string AsString() const { return VarToStr(Value); }
    void SetAsString(const std::string& s) { Value = Variant(s); if (DataType == ftUnknown) DataType = ftString; }
};

class TKDaoParams {
public:
    int Count() const noexcept { return int(FItems.size()); }
    bool Empty() const noexcept { return FItems.empty(); }
    TKDaoParam& Items(int index) { return FItems.at(size_t(index)); }
    const TKDaoParam& Items(int index) const { return FItems.at(size_t(index)); }
    TKDaoParam* FindParam(const std::string& name);               // case ignored; nullptr
    const TKDaoParam* FindParam(const std::string& name) const;
    TKDaoParam& ParamByName(const std::string& name);             // "Parameter '%s' not found"
    TKDaoParam& Add(const std::string& name, TFieldType type = ftUnknown);
    void Clear() { FItems.clear(); }
    // Copies the values (and types) of same-named parameters; adds and removes none.
    void AssignValues(const TKDaoParams& source);
    // The parameters an SQL text references, in order of first use; literals are skipped.
    static TKDaoParams ParseSQL(const std::string& sql);

private:
    std::vector<TKDaoParam> FItems;
};
