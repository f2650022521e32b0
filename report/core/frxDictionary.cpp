#include "report/core/frxDictionary.h"

#include "platform/rtl/SysUtils.h"

void TfrxDictionary::Clear() {
    FNames.clear();
    FSources.clear();
}

void TfrxDictionary::Add(const std::string& name, const std::string& sourceName, TfrxComponent* obj) {
    FSources.push_back({sourceName, obj});
    FNames.insert_or_assign(name, int(FSources.size()) - 1);
}

void TfrxDictionary::AddUnique(
    const std::string& prefix, const std::string& sourceName, std::string& name, TfrxComponent* obj) {
    name = CreateUniqueName(prefix);
    Add(name, sourceName, obj);
}

std::string TfrxDictionary::CreateUniqueName(const std::string& prefix) const {
    int n = 10000;
    while (n > 1) {
        if (FNames.count(prefix + IntToStr(n))) break;
        n /= 2;
    }
    while (FNames.count(prefix + IntToStr(n))) ++n;
    return prefix + IntToStr(n);
}

const TfrxDictionary::TSource* TfrxDictionary::Find(std::string_view name) const {
    auto it = FNames.find(name);
    return it == FNames.end() ? nullptr : &FSources[size_t(it->second)];
}

TfrxComponent* TfrxDictionary::GetObject(std::string_view name) const {
    const TSource* s = Find(name);
    return s ? s->Obj : nullptr;
}

std::string TfrxDictionary::GetSourceName(std::string_view name) const {
    const TSource* s = Find(name);
    return s ? s->Name : std::string();
}

std::vector<std::pair<std::string, std::string>> TfrxDictionary::Entries() const {
    std::vector<std::pair<std::string, std::string>> r;
    r.reserve(FNames.size());
    for (const auto& [name, index] : FNames) r.emplace_back(name, FSources[size_t(index)].Name);
    return r;
}
