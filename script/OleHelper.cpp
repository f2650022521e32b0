#include "script/OleHelper.h"

#include <map>

#include "platform/rtl/Strings.h"

namespace {
std::map<std::string, TfsOleFactory>& OleClasses()
{
    static std::map<std::string, TfsOleFactory> classes;
    return classes;
}

std::string OleError(uint32_t code, const std::string& name) { return "OLE error " + IntToHex(code, 8) + ": " + name; }
}  // namespace

TfsOLEHelper::TfsOLEHelper(std::string name) : TfsCustomHelper(std::move(name), tcVariant, "") {}

Variant TfsOLEHelper::Invoke(const std::vector<Variant>& args, int kind)
{
    std::shared_ptr<IDispatchObject> base = PrevValue.AsDispatch();
    auto* disp = dynamic_cast<IfsDispatch*>(base.get());
    if (!disp) throw EVariantTypeCastError("Could not convert variant to type (Dispatch)");
    // More arguments than automation takes are refused instead of overrunning anything.
    if (args.size() > size_t(MaxArgs)) throw EOleError(OleError(DISP_E_BADPARAMCOUNT, Name));
    int id = 0;
    // An unknown member fails at once, with the same message Invoke would give.
    if (!disp->GetIDsOfNames(Name, id)) throw EOleError(OleError(DISP_E_UNKNOWNNAME, Name));
    std::vector<Variant> reversed(args.rbegin(), args.rend());
    std::vector<int> named;
    if (kind == ikPropertyPut) named.push_back(DISPID_PROPERTYPUT);
    Variant result;
    const bool wantResult = ResultUsed && kind != ikPropertyPut;
    if (kind == ikMethod && wantResult) kind = ikMethodOrGet;
    const uint32_t status = disp->Invoke(id, kind, reversed, named, wantResult ? &result : nullptr);
    if (status != 0) throw EOleError(OleError(status, Name));
    return result;
}

Variant TfsOLEHelper::GetValue()
{
    std::vector<Variant> args;
    args.reserve(FParams.size());
    for (const auto& p : FParams) args.push_back(p->Value);
    return Invoke(args, ikMethod);
}

void TfsOLEHelper::SetValue(const Variant& value)
{
    std::vector<Variant> args;
    for (const auto& p : FParams) args.push_back(p->Value);
    args.push_back(value);
    Invoke(args, ikPropertyPut);
}

void fsRegisterOleClass(const std::string& progId, TfsOleFactory factory) { OleClasses()[AnsiUpperCase(progId)] = std::move(factory); }

void fsUnregisterOleClass(const std::string& progId) { OleClasses().erase(AnsiUpperCase(progId)); }

Variant fsCreateOleObject(const std::string& progId)
{
    auto it = OleClasses().find(AnsiUpperCase(progId));
    if (it == OleClasses().end()) throw EOleError("Invalid class string");
    std::shared_ptr<IfsDispatch> obj = it->second();
    return Variant(std::shared_ptr<IDispatchObject>(std::move(obj)));
}
