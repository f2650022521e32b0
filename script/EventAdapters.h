#pragma once
// Event adapters: a script procedure attached to an event of a host object.
//
// A host event is a std::function of one fixed shape. Assigning a procedure name to an event
// member of a registered class creates an adapter of the shape the binding declared; the
// adapter hands the host a std::function that converts the arguments to Variants, stores them
// in the procedure's parameters, runs it, and copies var arguments back.
//
// Every live adapter is owned by the process-wide event list. An adapter goes away when its
// host is freed (by a script, or, for components, in any other way), when its procedure is
// freed (the script is cleared or compiled again), or when the engine shuts down; an adapter
// freed while its host lives first takes itself out of the host's event.
//
// The shapes of the window layer (mouse, key, close) are templates over that layer's types,
// so the engine itself does not depend on it; script/gui/GuiEventAdapters.h names the concrete classes.

#include <concepts>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/classes/TypInfo.h"
#include "script/Interpreter.h"

class TfsCustomEvent;
class TfsEventWatcher;

// What AddEvent takes for an adapter class: its name and virtual constructor.
struct TfsEventClassInfo {
    const char* Name;
    std::unique_ptr<TfsCustomEvent> (*Create)(TObject* host, TfsProcVariable* handler);
};
using TfsCustomEventClass = const TfsEventClassInfo*;

// The class reference of adapter A: fsEventClass<TfsNotifyEvent>().
template <class A>
TfsCustomEventClass fsEventClass() {
    static const TfsEventClassInfo info{A::AdapterName,
        [](TObject* host, TfsProcVariable* handler) { return std::unique_ptr<TfsCustomEvent>(new A(host, handler)); }};
    return &info;
}

class TfsCustomEvent {
public:
    TfsCustomEvent(TObject* host, TfsProcVariable* handler);
    virtual ~TfsCustomEvent();
    TfsCustomEvent(const TfsCustomEvent&) = delete;
    TfsCustomEvent& operator=(const TfsCustomEvent&) = delete;

    // The host while it lives, nullptr afterwards.
    TObject* Host() const noexcept { return TObject::FromHandle(FHostHandle); }
    int32_t HostHandle() const noexcept { return FHostHandle; }
    TfsProcVariable* HandlerProc() const noexcept { return FHandler; }
    // The event property of the host this adapter is bound to ('' before binding).
    const std::string& EventName() const noexcept { return FEventName; }

    // The std::function (of the host event's exact type) that calls this adapter.
    virtual TMethodHandler GetMethod() = 0;

protected:
    // Stores the arguments in the handler's parameters and runs it; false when the handler is
    // already running and nothing ran. Parameters beyond the arguments are set to Null.
    bool CallHandler(const std::vector<Variant>& args);
    // The value of the handler's parameter `index` after it ran (Null when it has none).
    Variant HandlerParam(int index) const;
    static Variant ObjectArg(TObject* obj) { return Variant(fsObjectToVariant(obj)); }

private:
    friend class TfsEventList;
    int32_t FHostHandle;
    TfsProcVariable* FHandler;
    std::string FEventName;
    // Hears the destruction of the host (when a component) and of the handler's local scope.
    std::unique_ptr<TfsEventWatcher> FWatcher;
};

// The process-wide list of live adapters; it owns them.
class TfsEventList {
public:
    TfsEventList() = default;
    ~TfsEventList();
    TfsEventList(const TfsEventList&) = delete;
    TfsEventList& operator=(const TfsEventList&) = delete;

    int Count() const noexcept { return int(FItems.size()); }
    TfsCustomEvent* Items(int index) const { return FItems.at(size_t(index)).get(); }

    // Binds the host's event `eventName` to `handler` through a new adapter of `adapterClass`,
    // or clears the event when handler is nullptr. The event must be a published event
    // property of the host's class (EPropertyError otherwise).
    TfsCustomEvent* Bind(
        TObject* host, const std::string& eventName, TfsCustomEventClass adapterClass, TfsProcVariable* handler);
    // Frees every adapter whose host is `instance`, last first, taking each out of the event
    // it is still bound to.
    void FreeObjectEvents(TObject* instance);
    // Frees every adapter whose handler is `handler`, likewise.
    void FreeHandlerEvents(const TfsProcVariable* handler);
    // Frees every adapter, taking each out of the event of a host still alive.
    void Clear();

private:
    friend class TfsEventWatcher;
    struct Binding {
        int32_t Host;
        std::string Event;  // folded
        TfsCustomEvent* Current;
    };
    // Unbinds the adapter from its host when it is still the event's current handler and the
    // host lives and `unbind` is set; then frees it.
    void Release(TfsCustomEvent* adapter, bool unbind);
    void Forget(TfsCustomEvent* adapter);
    std::vector<std::unique_ptr<TfsCustomEvent>> FItems;
    std::vector<Binding> FBindings;
};

// The adapter list, created on first use; nullptr never.
TfsEventList* fsEventList();
// Frees the list and every adapter in it (engine shut-down).
void fsFreeEventList();

// An event member of a registered class. Reading it gives ''; assigning a procedure name
// binds the procedure, assigning nil (0) unbinds the event.
class TfsEventHelper : public TfsCustomHelper {
public:
    TfsEventHelper(std::string name, TfsCustomEventClass adapterClass, TClass hostClass);
    TfsCustomEventClass AdapterClass;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// --- adapters ------------------------------------------------------------------------------------

namespace event_detail {
template <class T>
int32_t ToInt(const T& v) {
    if constexpr (requires { v.Mask(); }) return int32_t(v.Mask());
    else return static_cast<int32_t>(v);
}
// An ordinal written back by a handler; a value outside the enumeration leaves the host's.
template <class E>
void StoreEnum(E& target, int32_t value) {
    if constexpr (requires { KaromilTypeInfo(static_cast<E*>(nullptr)); }) {
        const TTypeInfo* t = KaromilTypeInfo(static_cast<E*>(nullptr));
        if (value < t->MinValue() || value > t->MaxValue()) return;
    }
    target = static_cast<E>(value);
}
// The first character of a text as a key code; '' gives #0.
char32_t FirstChar(const std::string& text);
std::string CharText(char32_t c);
}  // namespace event_detail

// (Sender)
class TfsNotifyEvent : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsNotifyEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return TNotifyEvent([this](TObject* sender) { CallHandler({ObjectArg(sender)}); });
    }
};

// (Sender; Button; Shift; X, Y): Button as its ordinal, Shift as the set's bits.
template <class Button, class Shift>
class TfsMouseEventOf : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsMouseEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return std::function<void(TObject*, Button, Shift, int, int)>(
            [this](TObject* sender, Button button, Shift shift, int x, int y) {
                CallHandler({ObjectArg(sender), Variant(event_detail::ToInt(button)),
                    Variant(event_detail::ToInt(shift)), Variant(x), Variant(y)});
            });
    }
};

// (Sender; Shift; X, Y)
template <class Shift>
class TfsMouseMoveEventOf : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsMouseMoveEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return std::function<void(TObject*, Shift, int, int)>([this](TObject* sender, Shift shift, int x, int y) {
            CallHandler({ObjectArg(sender), Variant(event_detail::ToInt(shift)), Variant(x), Variant(y)});
        });
    }
};

// (Sender; var Key: Word; Shift); Key comes back.
template <class Key, class Shift>
class TfsKeyEventOf : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsKeyEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return std::function<void(TObject*, Key&, Shift)>([this](TObject* sender, Key& key, Shift shift) {
            // Nothing comes back from a handler that did not run.
            if (CallHandler({ObjectArg(sender), Variant(int32_t(key)), Variant(event_detail::ToInt(shift))}))
                key = static_cast<Key>(HandlerParam(1).AsInteger());
        });
    }
};

// (Sender; var Key: Char); Key travels as a one-character string and comes back.
template <class Char>
class TfsKeyPressEventOf : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsKeyPressEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return std::function<void(TObject*, Char&)>([this](TObject* sender, Char& key) {
            if (CallHandler({ObjectArg(sender), Variant(event_detail::CharText(char32_t(key)))}))
                key = static_cast<Char>(event_detail::FirstChar(VarToStr(HandlerParam(1))));
        });
    }
};

// (Sender; var Action); Action as its ordinal, and back.
template <class Action>
class TfsCloseEventOf : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsCloseEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override {
        return std::function<void(TObject*, Action&)>([this](TObject* sender, Action& action) {
            if (CallHandler({ObjectArg(sender), Variant(int32_t(action))}))
                event_detail::StoreEnum(action, HandlerParam(1).AsInteger());
        });
    }
};

// (Sender; var CanClose: Boolean)
class TfsCloseQueryEvent : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsCloseQueryEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override;
};

// (Sender; var NewWidth, NewHeight: Integer; var Resize: Boolean)
using TCanResizeEvent = std::function<void(TObject* sender, int& newWidth, int& newHeight, bool& resize)>;
class TfsCanResizeEvent : public TfsCustomEvent {
public:
    static constexpr const char* AdapterName = "TfsCanResizeEvent";
    using TfsCustomEvent::TfsCustomEvent;
    TMethodHandler GetMethod() override;
};
