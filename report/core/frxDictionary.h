#pragma once
// The dictionary of a prepared report: the short names ("m1", "b3") under which the objects of
// prepared pages are written, each mapped to its template object among the source pages and
// to its source name ("Page0.Memo1").

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/rtl/Strings.h"

class TfrxComponent;

class TfrxDictionary {
public:
    void Clear();
    void Add(const std::string& name, const std::string& sourceName, TfrxComponent* obj);
    // A new short name for prefix, entered with its source name and object.
    void AddUnique(const std::string& prefix, const std::string& sourceName, std::string& name, TfrxComponent* obj);
    // Halves down from 10000 to a used number, then counts up to the first free one, so names
    // are never reused within one store.
    std::string CreateUniqueName(const std::string& prefix) const;
    TfrxComponent* GetObject(std::string_view name) const;  // nullptr for an unknown name
    std::string GetSourceName(std::string_view name) const;  // '' for an unknown name

    int Count() const noexcept { return int(FNames.size()); }
    // Every (short name, source name) in the names' text order, case ignored.
    std::vector<std::pair<std::string, std::string>> Entries() const;

private:
    struct TNameLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const noexcept { return CompareText(a, b) < 0; }
    };
    struct TSource {
        std::string Name;
        TfrxComponent* Obj;
    };
    const TSource* Find(std::string_view name) const;
    std::map<std::string, int, TNameLess> FNames;  // short name -> index into FSources
    std::vector<TSource> FSources;
};
