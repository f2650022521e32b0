#pragma once
// Run-time type information: the published properties of a class.
//
// Each class lists what it publishes in its header, one line per property in stored order,
// in a block right after its KAROMIL_CLASS line:
//
//     class TfrxView : public TfrxReportComponent {
//         KAROMIL_CLASS(TfrxView, TfrxReportComponent)
//         KAROMIL_PUBLISHED({
//             KAROMIL_PROP(Left).Default(0);  // GetLeft/SetLeft
//             KAROMIL_PROP_MEMBER(Color, TypeInfoColor()).Default(clNone);  // a data member
//             KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
//             KAROMIL_EVENT(OnClick, "TNotifyEvent");  // a std::function member
//         })
//     public:
//         ...
//
// and its source file says KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxView, TfrxReportComponent). The
// block is a member template, instantiated only there: a header may publish a pointer to a class
// it only declares. The block sees `p` (the publisher) and `Self` (the class); a line may also
// call p.Prop or p.Event directly when the member's name is not the property's.
//
// Because the block is a template, what it names besides `Self`'s members (enumeration values
// used as defaults, named descriptors such as TypeInfoColor) must be declared before the class;
// KAROMIL_DECLARE_NAMED_TYPE declares a descriptor whose header the class's header keeps out.
//
// The older form, KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(Name, Parent, { ...lines... }) in the source
// file, builds the same table from the same lines.
//
// The type descriptor of a property is deduced from its C++ type (int32_t is "Integer", bool is
// the enumeration "Boolean", T* is a class reference ...); a named alias such as TColor, which
// C++ cannot tell from int32_t, is passed explicitly. Getters and setters are member pointers
// of the class or of any ancestor, so a descendant can publish what a base declared; a call
// through the table reaches the virtual setter like any other call.
//
// The full list of a class is its ancestors' lists followed by its own, root first. A name a
// descendant publishes again keeps the ancestor's place and takes the descendant's details.

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

KAROMIL_DECLARE_EXCEPTION(EPropertyError, Exception)
KAROMIL_DECLARE_EXCEPTION(EPropReadOnly, EPropertyError)
KAROMIL_DECLARE_EXCEPTION(EPropertyConvertError, EPropertyError)

// --- sets ------------------------------------------------------------------------------------

// A set of up to 32 enumeration elements; element n is bit n, as scripts and stored data expect.
template <class E>
class TSet {
    static_assert(std::is_enum_v<E>);

public:
    constexpr TSet() noexcept = default;
    constexpr TSet(std::initializer_list<E> items) noexcept {
        for (E e : items) FMask |= Bit(e);
    }
    static constexpr TSet FromMask(uint32_t mask) noexcept {
        TSet s;
        s.FMask = mask;
        return s;
    }
    constexpr uint32_t Mask() const noexcept { return FMask; }
    constexpr bool Contains(E e) const noexcept { return (FMask & Bit(e)) != 0; }
    constexpr bool Empty() const noexcept { return FMask == 0; }
    constexpr TSet& Include(E e) noexcept {
        FMask |= Bit(e);
        return *this;
    }
    constexpr TSet& Exclude(E e) noexcept {
        FMask &= ~Bit(e);
        return *this;
    }

    friend constexpr bool operator==(TSet a, TSet b) noexcept { return a.FMask == b.FMask; }
    friend constexpr TSet operator+(TSet a, TSet b) noexcept { return FromMask(a.FMask | b.FMask); }
    friend constexpr TSet operator-(TSet a, TSet b) noexcept { return FromMask(a.FMask & ~b.FMask); }
    friend constexpr TSet operator*(TSet a, TSet b) noexcept { return FromMask(a.FMask & b.FMask); }

private:
    static constexpr uint32_t Bit(E e) noexcept { return uint32_t(1) << static_cast<unsigned>(e); }
    uint32_t FMask = 0;
};

// --- type descriptors --------------------------------------------------------------------------

enum TTypeKind {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,
    tkSet,
    tkClass,
    tkMethod,
    tkWChar,
    tkVariant,
    tkInt64,
};
// Scoped: the dataset framework's field types use the plain name ftDateTime.
enum class TFloatType { Extended, DateTime };
// How a stored definition treats an object-valued property.
enum TClassCategory { ccComponentReference, ccStrings, ccPersistent, ccOther };

// One per type; identity is the address, so TColor and Integer are different descriptors.
class TTypeInfo {
public:
    static TTypeInfo MakeNamed(TTypeKind kind, std::string name);
    static TTypeInfo MakeEnum(std::string name, std::vector<std::string> names);
    static TTypeInfo MakeSet(std::string name, const TTypeInfo* elementType);
    static TTypeInfo MakeFloat(std::string name, TFloatType floatType);
    // The class is looked up on first use: a class may publish a reference to itself.
    static TTypeInfo MakeClass(TClass (*staticClass)() noexcept);

    TTypeInfo(const TTypeInfo&) = delete;
    TTypeInfo& operator=(const TTypeInfo&) = delete;
    TTypeInfo(TTypeInfo&&) = default;

    TTypeKind Kind() const noexcept { return FKind; }
    const std::string& Name() const;  // a class gives its class name
    // Enumerations: 0 .. names-1. Sets: their element enumeration.
    int MinValue() const noexcept { return 0; }
    int MaxValue() const noexcept { return int(FNames.size()) - 1; }
    const std::vector<std::string>& EnumNames() const noexcept { return FNames; }
    const TTypeInfo* CompType() const noexcept { return FCompType; }
    TFloatType FloatType() const noexcept { return FFloatType; }
    TClass ClassType() const;  // nullptr unless tkClass
    TClassCategory ClassCategory() const;

private:
    TTypeInfo(TTypeKind kind, std::string name) : FKind(kind), FName(std::move(name)) {}
    TTypeKind FKind;
    std::string FName;
    std::vector<std::string> FNames;
    const TTypeInfo* FCompType = nullptr;
    TFloatType FFloatType = TFloatType::Extended;
    TClass (*FStaticClass)() noexcept = nullptr;
};

// The enumeration's value name ("" out of range), and its value by name ignoring ASCII case
// (-1 when absent).
std::string GetEnumName(const TTypeInfo* type, int value);
int GetEnumValue(const TTypeInfo* type, std::string_view name);

const TTypeInfo* TypeInfoInteger();
const TTypeInfo* TypeInfoInt64();
const TTypeInfo* TypeInfoBoolean();
const TTypeInfo* TypeInfoChar();
const TTypeInfo* TypeInfoWChar();
const TTypeInfo* TypeInfoExtended();
const TTypeInfo* TypeInfoDateTime();
const TTypeInfo* TypeInfoString();
const TTypeInfo* TypeInfoComponentName();
const TTypeInfo* TypeInfoVariant();
// Event types are told apart by name ("TNotifyEvent"); the same name gives the same descriptor.
const TTypeInfo* TypeInfoMethod(const std::string& eventTypeName);

// An integer or string type with its own name (TColor, TCursor, TShortCut):
//     KAROMIL_NAMED_TYPE(TypeInfoColor, tkInteger, "TColor")
#define KAROMIL_NAMED_TYPE(Func, Kind, TypeName)                         \
    inline const TTypeInfo* Func() {                                     \
        static const TTypeInfo t = TTypeInfo::MakeNamed(Kind, TypeName); \
        return &t;                                                       \
    }
// A named descriptor defined in a header that this one keeps out:
//     KAROMIL_DECLARE_NAMED_TYPE(TypeInfoCursor)  // defined by platform/gui/Controls.h
// A published block may then name it; the source file that builds the table includes the header
// that defines it (otherwise the compiler says it is used but never defined).
#define KAROMIL_DECLARE_NAMED_TYPE(Func) inline const TTypeInfo* Func();
// An enumeration's descriptor, beside the enum: KAROMIL_ENUM_TYPE(TAlign, "alNone", "alTop", ...)
#define KAROMIL_ENUM_TYPE(Enum, ...)                                          \
    inline const TTypeInfo* KaromilTypeInfo(Enum*) {                          \
        static const TTypeInfo t = TTypeInfo::MakeEnum(#Enum, {__VA_ARGS__}); \
        return &t;                                                            \
    }
// A set's descriptor: KAROMIL_SET_TYPE(TFontStyles, TFontStyle) for TSet<TFontStyle>.
#define KAROMIL_SET_TYPE(SetName, Enum)                                                                        \
    inline const TTypeInfo* KaromilTypeInfo(TSet<Enum>*) {                                                     \
        static const TTypeInfo t = TTypeInfo::MakeSet(#SetName, KaromilTypeInfo(static_cast<Enum*>(nullptr))); \
        return &t;                                                                                             \
    }

namespace typinfo_detail {
template <class T>
struct IsSet : std::false_type {};
template <class E>
struct IsSet<TSet<E>> : std::true_type {};
template <class T>
struct IsFunction : std::false_type {};
template <class S>
struct IsFunction<std::function<S>> : std::true_type {};
template <class T>
const TTypeInfo* ClassTypeInfo() {
    static const TTypeInfo t = TTypeInfo::MakeClass(&T::StaticClass);
    return &t;
}
}  // namespace typinfo_detail

// The descriptor a C++ property type gets by default.
template <class V>
const TTypeInfo* TypeInfoOf() {
    using namespace typinfo_detail;
    if constexpr (std::is_same_v<V, bool>) return TypeInfoBoolean();
    else if constexpr (std::is_same_v<V, char>) return TypeInfoChar();
    else if constexpr (std::is_same_v<V, char16_t> || std::is_same_v<V, char32_t> || std::is_same_v<V, wchar_t>)
        return TypeInfoWChar();
    else if constexpr (std::is_same_v<V, int64_t> || std::is_same_v<V, uint64_t>) return TypeInfoInt64();
    else if constexpr (std::is_integral_v<V>) return TypeInfoInteger();
    else if constexpr (std::is_floating_point_v<V>) return TypeInfoExtended();
    else if constexpr (std::is_same_v<V, std::string>) return TypeInfoString();
    else if constexpr (std::is_same_v<V, Variant>) return TypeInfoVariant();
    else if constexpr (std::is_pointer_v<V>) {
        static_assert(
            std::is_base_of_v<TObject, std::remove_pointer_t<V>>, "object properties point to TObject descendants");
        return ClassTypeInfo<std::remove_cv_t<std::remove_pointer_t<V>>>();
    } else return KaromilTypeInfo(static_cast<V*>(nullptr));  // enumerations, sets, own types
}

// --- property descriptors ----------------------------------------------------------------------

class TPropInfo;
namespace typinfo_detail {
void Publish(const TMetaClass* meta, TPropInfo* info);
}

// A type-erased event handler: empty, or an std::function of the event's exact signature.
using TMethodHandler = std::any;

class TPropInfo {
public:
    TPropInfo(std::string name, const TTypeInfo* type, bool readOnly)
        : FName(std::move(name)), FType(type), FReadOnly(readOnly) {}
    virtual ~TPropInfo() = default;
    TPropInfo(const TPropInfo&) = delete;
    TPropInfo& operator=(const TPropInfo&) = delete;

    const std::string& Name() const noexcept { return FName; }
    const TTypeInfo* PropType() const noexcept { return FType; }
    TTypeKind Kind() const noexcept { return FType->Kind(); }
    TClass OwnerClass() const noexcept { return FOwner; }  // the class whose list holds it
    bool IsReadOnly() const noexcept { return FReadOnly; }
    bool HasDefault() const noexcept { return FHasDefault; }
    int64_t Default() const noexcept { return FDefault; }
    bool IsStored(const TObject* instance) const;

    // Typed access. Ordinal covers integer, Int64, char, enumeration, set (the bit mask) and
    // class (the object's handle) kinds. A kind mismatch raises EPropertyConvertError, a write
    // to a read-only property EPropReadOnly.
    virtual int64_t GetOrd(TObject* instance) const;
    virtual void SetOrd(TObject* instance, int64_t value) const;
    virtual double GetFloat(TObject* instance) const;
    virtual void SetFloat(TObject* instance, double value) const;
    virtual std::string GetStr(TObject* instance) const;
    virtual void SetStr(TObject* instance, const std::string& value) const;
    virtual Variant GetVariant(TObject* instance) const;
    virtual void SetVariant(TObject* instance, const Variant& value) const;
    virtual TObject* GetObject(TObject* instance) const;
    virtual void SetObject(TObject* instance, TObject* value) const;
    virtual void SetMethod(TObject* instance, const TMethodHandler& handler) const;

protected:
    [[noreturn]] void KindError() const;
    [[noreturn]] void ReadOnlyError() const;
    void CheckWritable() const {
        if (FReadOnly) ReadOnlyError();
    }

private:
    friend void typinfo_detail::Publish(const TMetaClass* meta, TPropInfo* info);
    friend class TPropDecl;
    std::string FName;
    const TTypeInfo* FType;
    TClass FOwner = nullptr;
    bool FReadOnly;
    bool FHasDefault = false;
    int64_t FDefault = 0;
    bool FStoredConst = true;
    std::function<bool(const TObject*)> FStoredFunc;
};

// Chained details of a property being declared.
class TPropDecl {
public:
    explicit TPropDecl(TPropInfo* info) : FInfo(info) {}
    TPropDecl& Default(int64_t value) {
        FInfo->FHasDefault = true;
        FInfo->FDefault = value;
        return *this;
    }
    TPropDecl& NoDefault() {
        FInfo->FHasDefault = false;
        return *this;
    }
    TPropDecl& Stored(bool stored) {
        FInfo->FStoredConst = stored;
        FInfo->FStoredFunc = nullptr;
        return *this;
    }
    // A member predicate of the class or an ancestor: bool IsFontStored() const.
    template <class C>
    TPropDecl& Stored(bool (C::*pred)() const) {
        FInfo->FStoredFunc = [pred](const TObject* o) { return (static_cast<const C*>(o)->*pred)(); };
        return *this;
    }

private:
    TPropInfo* FInfo;
};

// --- lists and access by name ------------------------------------------------------------------

// Every published property of the class, root class first.
const std::vector<const TPropInfo*>& GetPropList(TClass c);
// nullptr when the class publishes no such property (ASCII case ignored).
const TPropInfo* GetPropInfo(TClass c, std::string_view name);
const TPropInfo* GetPropInfo(const TObject* instance, std::string_view name);
bool IsPublishedProp(const TObject* instance, std::string_view name);
TTypeKind PropType(const TObject* instance, std::string_view name);

// By name on an instance; an unknown name raises EPropertyError "Unknown property: '<name>'".
int64_t GetOrdProp(TObject* instance, std::string_view name);
void SetOrdProp(TObject* instance, std::string_view name, int64_t value);
double GetFloatProp(TObject* instance, std::string_view name);
void SetFloatProp(TObject* instance, std::string_view name, double value);
std::string GetStrProp(TObject* instance, std::string_view name);
void SetStrProp(TObject* instance, std::string_view name, const std::string& value);
// Any kind but method, converted: ordinals as Integer (Int64 kind as Int64, Boolean as Boolean),
// TDateTime floats as dates, objects as handles.
Variant GetVariantProp(TObject* instance, std::string_view name);
void SetVariantProp(TObject* instance, std::string_view name, const Variant& value);
TObject* GetObjectProp(TObject* instance, std::string_view name);
void SetObjectProp(TObject* instance, std::string_view name, TObject* value);
// An empty handler clears the event; another signature than the event's raises EPropertyConvertError.
void SetMethodProp(TObject* instance, std::string_view name, const TMethodHandler& handler);
template <class Sig>
void SetMethodProp(TObject* instance, std::string_view name, std::function<Sig> handler) {
    SetMethodProp(instance, name, handler ? TMethodHandler(std::move(handler)) : TMethodHandler());
}
bool IsStoredProp(const TObject* instance, std::string_view name);

// --- declaring a table -------------------------------------------------------------------------

namespace typinfo_detail {
// Keeps property descriptors for the life of the process.
TPropInfo* Keep(std::unique_ptr<TPropInfo> info);
void Publish(const TMetaClass* meta, TPropInfo* info);

template <class M>
struct MemberClass;
template <class C, class M>
struct MemberClass<M C::*> {
    using type = C;
};

template <class T, class G>
using GetterValue = std::remove_cvref_t<std::invoke_result_t<G, T*>>;

template <class V>
int64_t ToOrd(const V& v) {
    if constexpr (std::is_pointer_v<V>) return v ? static_cast<const TObject*>(v)->Handle() : 0;
    else if constexpr (IsSet<V>::value) return int64_t(v.Mask());
    else return static_cast<int64_t>(v);
}

// Checks an ordinal against the property's type before it reaches the object.
void CheckEnumRange(const TTypeInfo* type, int64_t value);
[[noreturn]] void ObjectClassError(const TPropInfo* info, TObject* value);

template <class T, class G, class S>
class TPropImpl final : public TPropInfo {
public:
    using V = GetterValue<T, G>;
    TPropImpl(std::string name, const TTypeInfo* type, G get, S set)
        : TPropInfo(std::move(name), type, std::is_same_v<S, std::nullptr_t>), FGet(get), FSet(set) {}

    int64_t GetOrd(TObject* o) const override {
        if constexpr (IsOrdinal()) return ToOrd<V>(Read(o));
        else KindError();
    }
    void SetOrd(TObject* o, int64_t value) const override {
        if constexpr (IsOrdinal()) {
            CheckWritable();
            if constexpr (std::is_pointer_v<V>) {
                SetObject(o, TObject::FromHandle(static_cast<int32_t>(value)));
            } else if constexpr (IsSet<V>::value) {
                Write(o, V::FromMask(static_cast<uint32_t>(value)));
            } else if constexpr (std::is_same_v<V, bool>) {
                Write(o, value != 0);  // True arrives as 1 or as the Variant's -1
            } else {
                if constexpr (std::is_enum_v<V>) CheckEnumRange(PropType(), value);
                Write(o, static_cast<V>(value));
            }
        } else KindError();
    }
    double GetFloat(TObject* o) const override {
        if constexpr (std::is_floating_point_v<V>) return static_cast<double>(Read(o));
        else KindError();
    }
    void SetFloat(TObject* o, double value) const override {
        if constexpr (std::is_floating_point_v<V>) {
            CheckWritable();
            Write(o, static_cast<V>(value));
        } else KindError();
    }
    std::string GetStr(TObject* o) const override {
        if constexpr (std::is_same_v<V, std::string>) return Read(o);
        else KindError();
    }
    void SetStr(TObject* o, const std::string& value) const override {
        if constexpr (std::is_same_v<V, std::string>) {
            CheckWritable();
            Write(o, value);
        } else KindError();
    }
    Variant GetVariant(TObject* o) const override {
        if constexpr (std::is_same_v<V, Variant>) return Read(o);
        else return TPropInfo::GetVariant(o);
    }
    void SetVariant(TObject* o, const Variant& value) const override {
        if constexpr (std::is_same_v<V, Variant>) {
            CheckWritable();
            Write(o, value);
        } else TPropInfo::SetVariant(o, value);
    }
    TObject* GetObject(TObject* o) const override {
        if constexpr (std::is_pointer_v<V>) return Read(o);
        else KindError();
    }
    void SetObject(TObject* o, TObject* value) const override {
        if constexpr (std::is_pointer_v<V>) {
            CheckWritable();
            V typed = nullptr;
            if (value) {
                typed = dynamic_cast<V>(value);
                if (!typed) ObjectClassError(this, value);
            }
            Write(o, typed);
        } else KindError();
    }
    void SetMethod(TObject* o, const TMethodHandler& handler) const override {
        if constexpr (IsFunction<V>::value) {
            CheckWritable();
            if (!handler.has_value()) {
                Write(o, V());
                return;
            }
            const V* fn = std::any_cast<V>(&handler);
            if (!fn) KindError();
            Write(o, *fn);
        } else KindError();
    }

private:
    static constexpr bool IsOrdinal() {
        return std::is_integral_v<V> || std::is_enum_v<V> || IsSet<V>::value || std::is_pointer_v<V>;
    }
    decltype(auto) Read(TObject* o) const { return std::invoke(FGet, static_cast<T*>(o)); }
    template <class A>
    void Write(TObject* o, A&& value) const {
        if constexpr (std::is_member_object_pointer_v<S>)
            std::invoke(FSet, static_cast<T*>(o)) = std::forward<A>(value);
        else if constexpr (!std::is_same_v<S, std::nullptr_t>)
            std::invoke(FSet, static_cast<T*>(o), std::forward<A>(value));
        else {
            (void)o;
            (void)value;
            ReadOnlyError();
        }
    }
    G FGet;
    S FSet;
};
}  // namespace typinfo_detail

template <class M>
concept KaromilMemberPointer = std::is_member_pointer_v<M>;

// Handed to the table block of KAROMIL_IMPLEMENT_CLASS_WITH_PROPS as `p`.
template <class T>
class TPropertyPublisher {
public:
    explicit TPropertyPublisher(const TMetaClass* meta) : FMeta(meta) {}

    // Getter and setter member functions, or one data member for both.
    template <KaromilMemberPointer G, KaromilMemberPointer S>
    TPropDecl Prop(const char* name, G get, S set, const TTypeInfo* type = nullptr) {
        return Add(name, get, set, type);
    }
    // A data member (read and written directly) or a getter alone (read-only).
    template <KaromilMemberPointer G>
    TPropDecl Prop(const char* name, G get, const TTypeInfo* type = nullptr) {
        if constexpr (std::is_member_object_pointer_v<G>) return Add(name, get, get, type);
        else return Add(name, get, nullptr, type);
    }
    // An event: a std::function data member, with its event type's name.
    template <KaromilMemberPointer G>
    TPropDecl Event(const char* name, G member, const std::string& eventType) {
        static_assert(
            typinfo_detail::IsFunction<typinfo_detail::GetterValue<T, G>>::value, "events are std::function members");
        return Add(name, member, member, TypeInfoMethod(eventType));
    }

private:
    template <class G, class S>
    TPropDecl Add(const char* name, G get, S set, const TTypeInfo* type) {
        using namespace typinfo_detail;
        static_assert(std::is_base_of_v<typename MemberClass<G>::type, T>, "getter of another class");
        using V = GetterValue<T, G>;
        if constexpr (!IsFunction<V>::value) {  // events always name their type
            if (!type) type = TypeInfoOf<V>();
        }
        auto info = Keep(std::make_unique<TPropImpl<T, G, S>>(name, type, get, set));
        Publish(FMeta, info);
        return TPropDecl(info);
    }
    const TMetaClass* FMeta;
};

// In the class body, right after KAROMIL_CLASS: the published properties, one line each, in
// stored order. Like KAROMIL_CLASS it leaves the access private. KaromilPublishedSelf is only
// declared: it lets the source file's macro check that the block is the class's own.
// clang-format off
#define KAROMIL_PUBLISHED(...)                                                              \
public:                                                                                     \
    template <class Self, class P>                                                          \
    static void PublishProperties(P& p) {                                                   \
        (void)p;                                                                            \
        __VA_ARGS__                                                                         \
    }                                                                                       \
    auto KaromilPublishedSelf() const noexcept -> std::remove_cvref_t<decltype(*this)>*;    \
                                                                                            \
private:
// clang-format on

// The metaclass, built on first use as KAROMIL_IMPLEMENT_CLASS builds it; the statements
// passed fill the class's own list through the publisher `p`.
#define KAROMIL_DETAIL_IMPLEMENT_PUBLISHING(Name, Parent, ...)                                                \
    TClass Name::StaticClass() noexcept {                                                                     \
        static const TMetaClass* const meta = [] {                                                            \
            static const TMetaClass m(#Name, Parent::StaticClass(), classes_detail::DefaultFactoryOf<Name>(), \
                classes_detail::ComponentFactoryOf<Name>());                                                  \
            TPropertyPublisher<Name> p(&m);                                                                   \
            __VA_ARGS__                                                                                       \
            return &m;                                                                                        \
        }();                                                                                                  \
        return meta;                                                                                          \
    }

// In the source file of a class with a KAROMIL_PUBLISHED block.
#define KAROMIL_IMPLEMENT_PUBLISHED_CLASS(Name, Parent)                                                    \
    KAROMIL_DETAIL_IMPLEMENT_PUBLISHING(                                                                   \
        Name, Parent,                                                                                      \
        static_assert(classes_detail::PublishesOwnBlock<Name>(), #Name " has no KAROMIL_PUBLISHED block"); \
        Name::PublishProperties<Name>(p);)

// Like KAROMIL_IMPLEMENT_CLASS, followed by the class's published properties. The block sees
// `p` (the publisher) and `Self` (the class); a block that names neither is fine too.
#define KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(Name, Parent, ...)                         \
    KAROMIL_DETAIL_IMPLEMENT_PUBLISHING(                                              \
        Name, Parent,                                                                 \
        static_assert(!classes_detail::PublishesOwnBlock<Name>(),                     \
            #Name " publishes in its header: use KAROMIL_IMPLEMENT_PUBLISHED_CLASS"); \
        [&p] {                                                                        \
            using Self [[maybe_unused]] = Name;                                       \
            (void)p;                                                                  \
            __VA_ARGS__                                                               \
        }();)

// One line per property whose accessors are GetX/SetX: KAROMIL_PROP(Left).Default(0);
#define KAROMIL_PROP(Name, ...) p.Prop(#Name, &Self::Get##Name, &Self::Set##Name __VA_OPT__(, ) __VA_ARGS__)
#define KAROMIL_PROP_READONLY(Name, ...) p.Prop(#Name, &Self::Get##Name __VA_OPT__(, ) __VA_ARGS__)
// A data member of the same name, read and written directly: KAROMIL_PROP_MEMBER(Stretched).Default(0);
#define KAROMIL_PROP_MEMBER(Name, ...) p.Prop(#Name, &Self::Name __VA_OPT__(, ) __VA_ARGS__)
// A std::function member with its event type's name: KAROMIL_EVENT(OnClick, "TNotifyEvent");
#define KAROMIL_EVENT(Name, EventType) p.Event(#Name, &Self::Name, EventType)
