#pragma once
// Late-bound automation: objects whose members are looked up and called by name at run
// time, created by program identifier ("Excel.Application"). Scripts and the Excel export
// talk to such objects only through IDispatch; which program identifiers exist is decided
// by whoever registers a factory. Nothing is registered by default, so asking for an
// unknown identifier fails honestly with "Invalid class string".

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Variant.h"

using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT DISP_E_MEMBERNOTFOUND = int32_t(0x80020003u);
constexpr HRESULT DISP_E_TYPEMISMATCH = int32_t(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = int32_t(0x80020006u);
constexpr HRESULT DISP_E_EXCEPTION = int32_t(0x80020009u);
constexpr HRESULT DISP_E_BADPARAMCOUNT = int32_t(0x8002000Eu);
constexpr HRESULT CO_E_CLASSSTRING = int32_t(0x800401F3u);

// Invoke kinds; a call whose result is used asks for method-or-get (3).
constexpr uint16_t DISPATCH_METHOD = 1;
constexpr uint16_t DISPATCH_PROPERTYGET = 2;
constexpr uint16_t DISPATCH_PROPERTYPUT = 4;
constexpr int32_t DISPID_PROPERTYPUT = -3;  // the named argument that carries a put's value

class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, HRESULT code) : EOleError(std::move(message)), FErrorCode(code) {}
    const char* ClassName() const noexcept override { return "EOleSysError"; }
    bool InheritsFrom(const std::string& n) const noexcept override {
        return NameIs(n, "EOleSysError") || EOleError::InheritsFrom(n);
    }
    std::unique_ptr<Exception> Clone() const override { return std::make_unique<EOleSysError>(*this); }
    [[noreturn]] void Raise() const override { throw *this; }
    HRESULT ErrorCode() const noexcept { return FErrorCode; }

private:
    HRESULT FErrorCode;
};

class IDispatch : public IDispatchObject {
public:
    // The member's id, or DISP_E_UNKNOWNNAME. Names compare case-insensitively.
    virtual HRESULT GetIDsOfNames(const std::string& name, int32_t& dispId) = 0;
    // Arguments come last-first, as automation passes them; namedArgs lists the ids of the
    // first namedArgs.size() arguments (a put names its value DISPID_PROPERTYPUT). Arguments
    // are passed by reference so a member may write back into a caller's variable.
    virtual HRESULT Invoke(int32_t dispId, uint16_t flags, std::vector<Variant>& args,
        const std::vector<int32_t>& namedArgs, Variant* result) = 0;
};

// A convenient base for automation objects written in C++: members are registered by name
// with a handler that receives the arguments first-first (already reordered) and the kind.
class TAutoObject : public IDispatch {
public:
    using Handler = std::function<Variant(uint16_t flags, std::vector<Variant>& args)>;

    HRESULT GetIDsOfNames(const std::string& name, int32_t& dispId) override;
    HRESULT Invoke(int32_t dispId, uint16_t flags, std::vector<Variant>& args, const std::vector<int32_t>& namedArgs,
        Variant* result) override;

protected:
    void AddMember(const std::string& name, Handler handler);

private:
    std::vector<std::pair<std::string, Handler>> FMembers;
};

using TAutoFactory = std::function<std::shared_ptr<IDispatch>()>;

void RegisterAutomationClass(const std::string& progId, TAutoFactory factory);
void UnregisterAutomationClass(const std::string& progId);
// A new object for the program identifier; EOleSysError "Invalid class string" otherwise.
Variant CreateOleObject(const std::string& progId);
// The object inside a Dispatch Variant, or nullptr.
std::shared_ptr<IDispatch> VarToDispatch(const Variant& v);
