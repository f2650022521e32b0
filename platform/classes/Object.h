#pragma once
// TObject, metaclasses and the process-wide handle table.
//
// Every class that scripts, the report serializer or the object inspector can see declares
// itself with KAROMIL_CLASS in its body and KAROMIL_IMPLEMENT_CLASS in its source file. Its
// metaclass (TClass) knows the class-library name, the parent class and how to construct an
// instance (the virtual constructor), and carries the published-property table (TypInfo.h),
// which the class declares in its body with KAROMIL_PUBLISHED.
//
// Objects travel inside Variants as 32-bit handles: Handle() gives a stable id, never reused
// while the process runs; FromHandle answers nullptr for 0 and for unknown or destroyed ids.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TObject;
class TComponent;
class TMetaClass;
class TPropInfo;
using TClass = const TMetaClass*;

class TMetaClass {
public:
    using DefaultFactory = TObject* (*)();
    using ComponentFactory = TComponent* (*)(TComponent* owner);

    TMetaClass(const char* name, TClass parent, DefaultFactory create, ComponentFactory createComponent);
    TMetaClass(const TMetaClass&) = delete;
    TMetaClass& operator=(const TMetaClass&) = delete;

    const std::string& ClassName() const noexcept { return FName; }
    TClass ClassParent() const noexcept { return FParent; }
    bool InheritsFrom(TClass ancestor) const noexcept;
    // The class or an ancestor has this name (ASCII case ignored).
    bool InheritsFromName(const std::string& name) const noexcept;

    // Virtual constructors; nullptr where the class cannot be built that way (abstract).
    DefaultFactory CreateFunc() const noexcept { return FCreate; }
    ComponentFactory CreateComponentFunc() const noexcept { return FCreateComponent; }
    TObject* Create() const;  // EAbstractError when not constructible
    TComponent* CreateComponent(TComponent* owner) const;

    // Published properties this class itself publishes, in declaration order (filled by
    // TypInfo.h registration). Ancestors' properties come from ClassParent().
    std::vector<const TPropInfo*>& OwnProperties() const noexcept { return FOwnProps; }

    // The metaclass itself can travel in a Variant (scripts pass classes around).
    int32_t Handle() const;
    static TClass FromHandle(int32_t handle) noexcept;

    // The full property list with its name index, built once by TypInfo.cpp on first use.
    template <class Build>
    const void* PropertyCache(Build build) const {
        std::call_once(FPropOnce, [&] { FPropCache = build(); });
        return FPropCache.get();
    }

private:
    std::string FName;
    TClass FParent;
    DefaultFactory FCreate;
    ComponentFactory FCreateComponent;
    mutable std::vector<const TPropInfo*> FOwnProps;
    mutable int32_t FHandle = 0;
    mutable std::once_flag FPropOnce;
    mutable std::shared_ptr<const void> FPropCache;
};

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();

    static TClass StaticClass() noexcept;
    virtual TClass ClassType() const noexcept { return StaticClass(); }
    std::string ClassName() const { return ClassType()->ClassName(); }
    TClass ClassParent() const noexcept { return ClassType()->ClassParent(); }
    bool InheritsFrom(TClass c) const noexcept { return ClassType()->InheritsFrom(c); }

    // Stable 32-bit id for Variants; assigned on first use.
    int32_t Handle() const;
    static TObject* FromHandle(int32_t handle) noexcept;
    // Whether p is an object that has taken a handle and is not yet destroyed. Untyped lists
    // hold raw pointers; this lets their script views refuse a freed or foreign pointer. Scripts
    // only ever hold objects by handle, so whatever a script put in a list is known here; host
    // code that fills a list for scripts to read gives each object its Handle() as it adds it.
    static bool IsLive(const void* p) noexcept;

    // Called by the destructor chain start; components use it to send notifications.
    virtual void BeforeDestruction() {}

protected:
    // Drops the handle early, so FromHandle answers nil while a descendant's destructor is
    // still running; the object can get no new handle afterwards.
    void ReleaseHandle() const noexcept;

private:
    mutable int32_t FHandle = 0;
    mutable bool FHandleReleased = false;
};

// dynamic_cast by another name, for code that reads like the class library's "as"/"is".
template <class T>
T* As(TObject* o) noexcept {
    return dynamic_cast<T*>(o);
}
template <class T>
bool Is(const TObject* o) noexcept {
    return dynamic_cast<const T*>(o) != nullptr;
}

namespace classes_detail {
template <class T>
TObject* MakeDefault() {
    return new T();
}
template <class T>
TComponent* MakeComponent(TComponent* owner) {
    return new T(owner);
}
template <class T>
constexpr TMetaClass::DefaultFactory DefaultFactoryOf() {
    if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T>) return &MakeDefault<T>;
    else return nullptr;
}
template <class T>
constexpr TMetaClass::ComponentFactory ComponentFactoryOf() {
    // Only components: a TComponent* argument would otherwise convert to a bool parameter.
    if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> && std::is_constructible_v<T, TComponent*>)
        return &MakeComponent<T>;
    else return nullptr;
}
// Whether T itself, not only an ancestor, has a KAROMIL_PUBLISHED block (TypInfo.h).
template <class T>
constexpr bool PublishesOwnBlock() {
    if constexpr (requires(const T& o) { o.KaromilPublishedSelf(); })
        return std::is_same_v<decltype(std::declval<const T&>().KaromilPublishedSelf()), T*>;
    else return false;
}
}  // namespace classes_detail

// In the class body (first line after the brace).
#define KAROMIL_CLASS(Name, Parent)                                      \
public:                                                                  \
    using inherited = Parent;                                            \
    static TClass StaticClass() noexcept;                                \
    TClass ClassType() const noexcept override { return StaticClass(); } \
                                                                         \
private:

// In the source file. The metaclass is built on first use, so static initialisation order
// does not matter. A class that publishes properties declares them in its body with
// KAROMIL_PUBLISHED and uses KAROMIL_IMPLEMENT_PUBLISHED_CLASS (TypInfo.h) instead; the check
// below refuses a block that this macro would leave out.
#define KAROMIL_IMPLEMENT_CLASS(Name, Parent)                                                                \
    TClass Name::StaticClass() noexcept {                                                                    \
        static_assert(!classes_detail::PublishesOwnBlock<Name>(),                                            \
            #Name " publishes in its header: use KAROMIL_IMPLEMENT_PUBLISHED_CLASS");                        \
        static const TMetaClass meta(#Name, Parent::StaticClass(), classes_detail::DefaultFactoryOf<Name>(), \
            classes_detail::ComponentFactoryOf<Name>());                                                     \
        return &meta;                                                                                        \
    }
