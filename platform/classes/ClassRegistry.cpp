#include "platform/classes/ClassRegistry.h"

#include <map>
#include <mutex>

#include "platform/classes/Persistent.h"
#include "platform/rtl/Exceptions.h"

namespace {

std::string AsciiUpper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return s;
}

struct Registry {
    std::mutex Lock;
    std::map<std::string, TClass> ByName;  // upper-cased name
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

}  // namespace

void RegisterClass(TClass c) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.Lock);
    for (; c; c = c->ClassParent()) {
        auto [it, inserted] = r.ByName.emplace(AsciiUpper(c->ClassName()), c);
        if (!inserted && it->second != c) throw EFilerError("A class named " + c->ClassName() + " already exists");
        if (c == TPersistent::StaticClass()) break;
    }
}

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass c) {
    if (!c) return;
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.ByName.find(AsciiUpper(c->ClassName()));
    if (it != r.ByName.end() && it->second == c) r.ByName.erase(it);
}

TClass GetClass(const std::string& name) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.ByName.find(AsciiUpper(name));
    return it == r.ByName.end() ? nullptr : it->second;
}

TClass FindClass(const std::string& name) {
    TClass c = GetClass(name);
    if (!c) throw EClassNotFound("Class " + name + " not found");
    return c;
}
