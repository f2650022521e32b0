#pragma once
// Late-bound automation for scripts: members of a Variant that holds an automation object
// are called by name at run time.
//
// IfsDispatch is the minimal late-bound interface the engine needs until platform/ole exists:
// name lookup, then invocation with the arguments in reverse order (as automation passes
// them), a named argument for property puts, and a status code (0 = success).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/Interpreter.h"

enum TfsInvokeKind : int { ikMethod = 1, ikPropertyGet = 2, ikMethodOrGet = 3, ikPropertyPut = 4 };
inline constexpr int DISPID_PROPERTYPUT = -3;

class IfsDispatch : public IDispatchObject {
public:
    // false when the object has no member of that name (case ignored).
    virtual bool GetIDsOfNames(const std::string& name, int& dispId) = 0;
    // args: last argument first; namedArgs: the dispatch ids of the named arguments (the put
    // value's -3); result: nullptr when no result is wanted. Returns 0 or an error status.
    virtual uint32_t Invoke(int dispId, int kind, const std::vector<Variant>& args, const std::vector<int>& namedArgs,
                            Variant* result) = 0;
};

// Status codes of automation failures (shown as eight hexadecimal digits).
inline constexpr uint32_t DISP_E_UNKNOWNNAME = 0x80020006u;
inline constexpr uint32_t DISP_E_BADPARAMCOUNT = 0x8002000Eu;

class TfsOLEHelper : public TfsCustomHelper {
public:
    explicit TfsOLEHelper(std::string name);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    static constexpr int MaxArgs = 64;

private:
    Variant Invoke(const std::vector<Variant>& args, int kind);
};

// Program identifiers that CreateOleObject knows; none by default.
using TfsOleFactory = std::function<std::shared_ptr<IfsDispatch>()>;
void fsRegisterOleClass(const std::string& progId, TfsOleFactory factory);
void fsUnregisterOleClass(const std::string& progId);
// EOleError "Invalid class string" for an unknown program identifier.
Variant fsCreateOleObject(const std::string& progId);
