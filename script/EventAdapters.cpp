#include "script/EventAdapters.h"

#include <algorithm>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "script/ScriptTools.h"

// Hears, through the class library's free notification, the destruction of an adapter's host
// (when it is a component) and of its handler's local scope, and frees the adapter then, so
// no host keeps calling a freed procedure and no adapter outlives its host.
class TfsEventWatcher : public TComponent {
    KAROMIL_CLASS(TfsEventWatcher, TComponent)
public:
    explicit TfsEventWatcher(TfsCustomEvent* adapter) : TComponent(nullptr), FAdapter(adapter) {}

protected:
    void Notification(TComponent* component, TOperation operation) override {
        if (operation != opRemove || !FAdapter) return;
        TfsCustomEvent* adapter = FAdapter;
        // A dying host has already given up its handle; a dying handler leaves the host bound.
        const bool hostGone = TObject::FromHandle(adapter->HostHandle()) == nullptr;
        (void)component;
        FAdapter = nullptr;
        // Frees this watcher too: nothing of it is touched afterwards.
        fsEventList()->Release(adapter, !hostGone);
    }

private:
    TfsCustomEvent* FAdapter;
};

KAROMIL_IMPLEMENT_CLASS(TfsEventWatcher, TComponent)

namespace {
TfsEventList* gEventList = nullptr;
}

// --- adapters ------------------------------------------------------------------------------------

TfsCustomEvent::TfsCustomEvent(TObject* host, TfsProcVariable* handler)
    : FHostHandle(fsObjectToVariant(host)), FHandler(handler), FWatcher(std::make_unique<TfsEventWatcher>(this)) {
    if (auto* c = dynamic_cast<TComponent*>(host)) FWatcher->FreeNotification(c);
    if (handler && handler->LocalScript()) FWatcher->FreeNotification(handler->LocalScript());
}

TfsCustomEvent::~TfsCustomEvent() = default;

bool TfsCustomEvent::CallHandler(const std::vector<Variant>& args) {
    if (!FHandler || FHandler->Running) return false;
    for (int k = 0; k < FHandler->ParamCount(); ++k)
        FHandler->ParamAt(k)->SetValue(size_t(k) < args.size() ? args[size_t(k)] : Variant::Null());
    FHandler->GetValue();
    return true;
}

Variant TfsCustomEvent::HandlerParam(int index) const {
    if (!FHandler || index < 0 || index >= FHandler->ParamCount()) return Variant::Null();
    return FHandler->ParamAt(index)->Value;
}

TMethodHandler TfsCloseQueryEvent::GetMethod() {
    return std::function<void(TObject*, bool&)>([this](TObject* sender, bool& canClose) {
        if (CallHandler({ObjectArg(sender), Variant(canClose)})) canClose = HandlerParam(1).AsBoolean();
    });
}

TMethodHandler TfsCanResizeEvent::GetMethod() {
    return TCanResizeEvent([this](TObject* sender, int& newWidth, int& newHeight, bool& resize) {
        if (CallHandler({ObjectArg(sender), Variant(newWidth), Variant(newHeight), Variant(resize)})) {
            newWidth = HandlerParam(1).AsInteger();
            newHeight = HandlerParam(2).AsInteger();
            resize = HandlerParam(3).AsBoolean();
        }
    });
}

namespace event_detail {
char32_t FirstChar(const std::string& text) {
    if (text.empty()) return 0;
    size_t pos = 0;
    return Utf8Next(text, pos);
}

std::string CharText(char32_t c) { return Utf8FromCodePoint(c); }
}  // namespace event_detail

// --- the list ------------------------------------------------------------------------------------

TfsEventList::~TfsEventList() { Clear(); }

TfsCustomEvent* TfsEventList::Bind(
    TObject* host, const std::string& eventName, TfsCustomEventClass adapterClass, TfsProcVariable* handler) {
    const TPropInfo* prop = GetPropInfo(host, eventName);
    if (!prop || prop->Kind() != tkMethod) throw EPropertyError("Unknown property: '" + eventName + "'");
    TfsCustomEvent* adapter = nullptr;
    TMethodHandler method;
    if (handler) {
        FItems.push_back(adapterClass->Create(host, handler));
        adapter = FItems.back().get();
        adapter->FEventName = prop->Name();
        // The event may have another shape than the adapter: then nothing stays bound.
        auto undo = OnScopeExit([&] { Forget(adapter); });
        method = adapter->GetMethod();
        prop->SetMethod(host, method);
        undo.Release();
    } else {
        prop->SetMethod(host, method);
    }
    const int32_t h = host->Handle();
    const std::string key = AnsiUpperCase(prop->Name());
    auto it = std::find_if(
        FBindings.begin(), FBindings.end(), [&](const Binding& b) { return b.Host == h && b.Event == key; });
    if (it != FBindings.end()) {
        if (adapter) it->Current = adapter;
        else FBindings.erase(it);
    } else if (adapter) {
        FBindings.push_back(Binding{h, key, adapter});
    }
    return adapter;
}

void TfsEventList::Forget(TfsCustomEvent* adapter) {
    for (Binding& b : FBindings)
        if (b.Current == adapter) b.Current = nullptr;
    std::erase_if(FBindings, [](const Binding& b) { return b.Current == nullptr; });
    auto it = std::find_if(FItems.begin(), FItems.end(), [adapter](const auto& p) { return p.get() == adapter; });
    if (it == FItems.end()) return;
    std::unique_ptr<TfsCustomEvent> owned = std::move(*it);
    FItems.erase(it);
}

void TfsEventList::Release(TfsCustomEvent* adapter, bool unbind) {
    if (unbind) {
        const std::string key = AnsiUpperCase(adapter->FEventName);
        const bool current = std::any_of(FBindings.begin(), FBindings.end(),
            [&](const Binding& b) { return b.Host == adapter->FHostHandle && b.Event == key && b.Current == adapter; });
        // An adapter that a later binding replaced is no longer in the host's event.
        if (TObject* host = adapter->Host(); host && current) {
            if (const TPropInfo* prop = GetPropInfo(host, adapter->FEventName)) prop->SetMethod(host, TMethodHandler());
        }
    }
    Forget(adapter);
}

void TfsEventList::FreeObjectEvents(TObject* instance) {
    if (!instance) return;
    const int32_t h = instance->Handle();
    for (size_t i = FItems.size(); i-- > 0;)
        if (i < FItems.size() && FItems[i]->FHostHandle == h) Release(FItems[i].get(), true);
}

void TfsEventList::FreeHandlerEvents(const TfsProcVariable* handler) {
    for (size_t i = FItems.size(); i-- > 0;)
        if (i < FItems.size() && FItems[i]->FHandler == handler) Release(FItems[i].get(), true);
}

void TfsEventList::Clear() {
    while (!FItems.empty()) Release(FItems.back().get(), true);
    FBindings.clear();
}

TfsEventList* fsEventList() {
    if (!gEventList) gEventList = new TfsEventList;
    return gEventList;
}

void fsFreeEventList() {
    delete gEventList;
    gEventList = nullptr;
}

// --- the event member ----------------------------------------------------------------------------

TfsEventHelper::TfsEventHelper(std::string name, TfsCustomEventClass adapterClass, TClass hostClass)
    : TfsCustomHelper(std::move(name), tcString, ""), AdapterClass(adapterClass) {
    HostClass = hostClass;
}

Variant TfsEventHelper::GetValue() { return Variant(std::string()); }

void TfsEventHelper::SetValue(const Variant& value) {
    TObject* host = Instance();
    const std::string text = VarToStr(value);
    TfsProcVariable* handler = nullptr;
    if (text != "0") {
        TfsCustomVariable* item = OwnerScript ? OwnerScript->Find(text) : nullptr;
        if (!item || item->ItemKind() != TfsCustomVariable::kProc) throw Exception(SEventError);
        handler = static_cast<TfsProcVariable*>(item);
    }
    fsEventList()->Bind(host, Name, AdapterClass, handler);
}
