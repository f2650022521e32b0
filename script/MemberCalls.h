#pragma once
// Typed callables for binding members: each method, property or indexed property of a bound
// class gets its own callable where it is registered, instead of one dispatch function
// comparing member names.
//
//   c->AddMethod("procedure Clear", fsMethod<TList>([](TList* l, TfsParams&) { l->Clear(); }));
//   c->AddProperty("Count", "Integer", fsGetter<TList>([](TList* l) { return l->Count(); }));
//
// The engine has checked the instance against the class the member is registered on before
// it calls, so the instance arrives as that class. A method returning nothing gives 0, as
// the engine expects of procedures.

#include <string>
#include <type_traits>
#include <utility>

#include "script/Interpreter.h"

namespace fs_detail {
template <class R>
Variant ToVariant(R&& value) {
    if constexpr (std::is_same_v<std::decay_t<R>, Variant>) return std::forward<R>(value);
    else return Variant(std::forward<R>(value));
}
}  // namespace fs_detail

// A method (or procedure) of T: f(T*, TfsParams&); var parameters are written into the params.
template <class T, class F>
TfsMethodCallEvent fsMethod(F f) {
    return [f = std::move(f)](TObject* obj, TClass, const std::string&, TfsParams& p) -> Variant {
        if constexpr (std::is_void_v<std::invoke_result_t<F&, T*, TfsParams&>>) {
            f(static_cast<T*>(obj), p);
            return Variant(0);
        } else {
            return fs_detail::ToVariant(f(static_cast<T*>(obj), p));
        }
    };
}

// A global function or procedure: f(TfsParams&).
template <class F>
TfsMethodCallEvent fsFunction(F f) {
    return [f = std::move(f)](TObject*, TClass, const std::string&, TfsParams& p) -> Variant {
        if constexpr (std::is_void_v<std::invoke_result_t<F&, TfsParams&>>) {
            f(p);
            return Variant(0);
        } else {
            return fs_detail::ToVariant(f(p));
        }
    };
}

// A property reader of T: f(T*) gives the value.
template <class T, class F>
TfsPropGetEvent fsGetter(F f) {
    return [f = std::move(f)](TObject* obj, TClass, const std::string&) -> Variant {
        return fs_detail::ToVariant(f(static_cast<T*>(obj)));
    };
}

// A property writer of T: f(T*, value).
template <class T, class F>
TfsPropSetEvent fsSetter(F f) {
    return
        [f = std::move(f)](TObject* obj, TClass, const std::string&, const Variant& v) { f(static_cast<T*>(obj), v); };
}

// Whether an indexed property's callable is asked to write ("NAME.SET") rather than read.
inline bool fsIsIndexedWrite(const std::string& access) noexcept {
    return access.size() >= 4 && access.compare(access.size() - 4, 4, ".SET") == 0;
}

// An indexed property of T: get(T*, params) reads, set(T*, params) writes with the value last.
template <class T, class G, class S>
TfsMethodCallEvent fsIndexed(G get, S set) {
    return [get = std::move(get), set = std::move(set)](
               TObject* obj, TClass, const std::string& access, TfsParams& p) -> Variant {
        if (fsIsIndexedWrite(access)) {
            set(static_cast<T*>(obj), p);
            return Variant(0);
        }
        return fs_detail::ToVariant(get(static_cast<T*>(obj), p));
    };
}

// A read-only indexed property of T.
template <class T, class G>
TfsMethodCallEvent fsIndexed(G get) {
    return fsIndexed<T>(std::move(get), [](T*, TfsParams&) {});
}
