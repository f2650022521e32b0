#include "platform/ole/Automation.h"

#include <algorithm>
#include <mutex>

#include "platform/rtl/Strings.h"

namespace {
struct Registry {
    std::mutex lock;
    std::vector<std::pair<std::string, TAutoFactory>> factories;
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}
}  // namespace

HRESULT TAutoObject::GetIDsOfNames(const std::string& name, int32_t& dispId) {
    for (size_t i = 0; i < FMembers.size(); ++i)
        if (AnsiSameText(FMembers[i].first, name)) {
            dispId = int32_t(i + 1);
            return S_OK;
        }
    return DISP_E_UNKNOWNNAME;
}

HRESULT TAutoObject::Invoke(int32_t dispId, uint16_t flags, std::vector<Variant>& args,
    const std::vector<int32_t>& namedArgs, Variant* result) {
    if (dispId < 1 || size_t(dispId) > FMembers.size()) return DISP_E_MEMBERNOTFOUND;
    // Named arguments other than a put's value are not supported by our objects.
    for (int32_t id : namedArgs)
        if (id != DISPID_PROPERTYPUT) return DISP_E_BADPARAMCOUNT;
    std::vector<Variant> ordered(args.rbegin(), args.rend());
    try {
        Variant r = FMembers[size_t(dispId - 1)].second(flags, ordered);
        std::reverse_copy(ordered.begin(), ordered.end(), args.begin());  // write-back
        if (result) *result = std::move(r);
        return S_OK;
    } catch (const EOleSysError& e) {
        return e.ErrorCode();
    } catch (const Exception&) {
        return DISP_E_EXCEPTION;
    }
}

void TAutoObject::AddMember(const std::string& name, Handler handler) {
    FMembers.emplace_back(name, std::move(handler));
}

void RegisterAutomationClass(const std::string& progId, TAutoFactory factory) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    for (auto& entry : r.factories)
        if (AnsiSameText(entry.first, progId)) {
            entry.second = std::move(factory);
            return;
        }
    r.factories.emplace_back(progId, std::move(factory));
}

void UnregisterAutomationClass(const std::string& progId) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> g(r.lock);
    r.factories.erase(std::remove_if(r.factories.begin(), r.factories.end(),
                          [&](const auto& e) { return AnsiSameText(e.first, progId); }),
        r.factories.end());
}

Variant CreateOleObject(const std::string& progId) {
    TAutoFactory factory;
    {
        Registry& r = TheRegistry();
        std::lock_guard<std::mutex> g(r.lock);
        for (const auto& entry : r.factories)
            if (AnsiSameText(entry.first, progId)) factory = entry.second;
    }
    std::shared_ptr<IDispatch> obj = factory ? factory() : nullptr;
    if (!obj) throw EOleSysError("Invalid class string", CO_E_CLASSSTRING);
    return Variant(std::shared_ptr<IDispatchObject>(std::move(obj)));
}

std::shared_ptr<IDispatch> VarToDispatch(const Variant& v) {
    if (v.VarType() != varDispatch) return nullptr;
    return std::dynamic_pointer_cast<IDispatch>(v.AsDispatch());
}
