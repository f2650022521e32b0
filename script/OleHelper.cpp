#include "script/OleHelper.h"

#include "platform/rtl/Strings.h"

namespace {
std::string OleError(HRESULT code, const std::string& name) {
    return "OLE error " + IntToHex(uint32_t(code), 8) + ": " + name;
}
}  // namespace

TfsOLEHelper::TfsOLEHelper(std::string name) : TfsCustomHelper(std::move(name), tcVariant, "") {}

Variant TfsOLEHelper::Invoke(const std::vector<Variant>& args, int kind) {
    std::shared_ptr<IDispatch> disp = VarToDispatch(PrevValue);
    if (!disp) throw EVariantTypeCastError("Could not convert variant to type (Dispatch)");
    // More arguments than automation takes are refused instead of overrunning anything.
    if (args.size() > size_t(MaxArgs)) throw EOleError(OleError(DISP_E_BADPARAMCOUNT, Name));
    int32_t id = 0;
    // An unknown member fails at once, with the same message Invoke would give.
    const HRESULT found = disp->GetIDsOfNames(Name, id);
    if (found != S_OK) throw EOleError(OleError(found, Name));
    std::vector<Variant> reversed(args.rbegin(), args.rend());
    std::vector<int32_t> named;
    if (kind == ikPropertyPut) named.push_back(DISPID_PROPERTYPUT);
    Variant result;
    const bool wantResult = ResultUsed && kind != ikPropertyPut;
    if (kind == ikMethod && wantResult) kind = ikMethodOrGet;
    const HRESULT status = disp->Invoke(id, uint16_t(kind), reversed, named, wantResult ? &result : nullptr);
    if (status != S_OK) throw EOleError(OleError(status, Name));
    return result;
}

Variant TfsOLEHelper::GetValue() {
    std::vector<Variant> args;
    args.reserve(FParams.size());
    for (const auto& p : FParams) args.push_back(p->Value);
    return Invoke(args, ikMethod);
}

void TfsOLEHelper::SetValue(const Variant& value) {
    std::vector<Variant> args;
    for (const auto& p : FParams) args.push_back(p->Value);
    args.push_back(value);
    Invoke(args, ikPropertyPut);
}
