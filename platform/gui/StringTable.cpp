#include "platform/gui/StringTable.h"

#include <map>

namespace {
std::map<int, std::string>& Table() {
    static std::map<int, std::string> table;
    return table;
}
}  // namespace

std::string LoadStr(int id) {
    auto it = Table().find(id);
    return it == Table().end() ? std::string() : it->second;
}

bool StringResourceExists(int id) { return Table().count(id) != 0; }

void RegisterStringResource(int id, const std::string& text) { Table()[id] = text; }

void AddStringResources(const std::vector<std::pair<int, std::string>>& texts) {
    for (const auto& [id, text] : texts) Table().emplace(id, text);
}
