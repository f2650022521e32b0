#include "platform/classes/Object.h"

#include "platform/rtl/Strings.h"

#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/rtl/Exceptions.h"

namespace {

// One table for objects and metaclasses so a handle names exactly one thing; ids only grow,
// so a stale handle can never come to name a newer object.
//
// Holders are the objects that have taken a handle and are not yet destroyed (their handle
// may already be released while a descendant's destructor runs). Only they pay for an entry:
// an object that never travels to a script is built and freed without touching the table.
struct HandleTable {
    std::mutex Lock;
    int32_t Next = 0;
    std::unordered_map<int32_t, const TObject*> Objects;
    std::unordered_map<int32_t, TClass> Classes;
    std::unordered_set<const void*> Holders;

    static HandleTable& Instance() {
        // Never destroyed: objects with static storage may release handles at exit.
        static HandleTable* table = new HandleTable;
        return *table;
    }
};

}  // namespace

// --- TMetaClass ------------------------------------------------------------------------------

TMetaClass::TMetaClass(const char* name, TClass parent, DefaultFactory create, ComponentFactory createComponent)
    : FName(name), FParent(parent), FCreate(create), FCreateComponent(createComponent) {}

bool TMetaClass::InheritsFrom(TClass ancestor) const noexcept {
    for (TClass c = this; c; c = c->FParent)
        if (c == ancestor) return true;
    return false;
}

bool TMetaClass::InheritsFromName(const std::string& name) const noexcept {
    for (TClass c = this; c; c = c->FParent)
        if (SameText(c->FName, name)) return true;
    return false;
}

TObject* TMetaClass::Create() const {
    if (!FCreate) throw EAbstractError("Cannot create an instance of abstract class " + FName);
    return FCreate();
}

TComponent* TMetaClass::CreateComponent(TComponent* owner) const {
    if (!FCreateComponent) throw EAbstractError("Cannot create an instance of abstract class " + FName);
    return FCreateComponent(owner);
}

int32_t TMetaClass::Handle() const {
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    if (FHandle == 0) {
        FHandle = ++t.Next;
        t.Classes.emplace(FHandle, this);
    }
    return FHandle;
}

TClass TMetaClass::FromHandle(int32_t handle) noexcept {
    if (handle == 0) return nullptr;
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    auto it = t.Classes.find(handle);
    return it == t.Classes.end() ? nullptr : it->second;
}

// --- TObject ---------------------------------------------------------------------------------

TClass TObject::StaticClass() noexcept {
    static const TMetaClass meta("TObject", nullptr, classes_detail::DefaultFactoryOf<TObject>(), nullptr);
    return &meta;
}

TObject::~TObject() {
    if (FHandle == 0 && !FHandleReleased) return;  // never known to the table
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    if (FHandle != 0) t.Objects.erase(FHandle);
    t.Holders.erase(this);
}

bool TObject::IsLive(const void* p) noexcept {
    if (!p) return false;
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    // The pointer is only compared, never read: it may be freed memory or no object at all.
    return t.Holders.count(p) != 0;
}

void TObject::ReleaseHandle() const noexcept {
    if (FHandle == 0) return;
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    t.Objects.erase(FHandle);
    FHandle = 0;
    FHandleReleased = true;
}

int32_t TObject::Handle() const {
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    // An object being torn down must not get a fresh handle that would outlive it.
    if (FHandle == 0 && !FHandleReleased) {
        FHandle = ++t.Next;
        t.Objects.emplace(FHandle, this);
        t.Holders.insert(this);
    }
    return FHandle;
}

TObject* TObject::FromHandle(int32_t handle) noexcept {
    if (handle == 0) return nullptr;
    HandleTable& t = HandleTable::Instance();
    std::lock_guard<std::mutex> g(t.Lock);
    auto it = t.Objects.find(handle);
    return it == t.Objects.end() ? nullptr : const_cast<TObject*>(it->second);
}
