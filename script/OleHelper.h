#pragma once
// Late-bound automation for scripts: members of a Variant that holds an automation object
// are called by name at run time.
//
// Automation objects come from platform/ole: CreateOleObject, IDispatch and its status codes.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ole/Automation.h"
#include "script/Interpreter.h"

enum TfsInvokeKind : int { ikMethod = 1, ikPropertyGet = 2, ikMethodOrGet = 3, ikPropertyPut = 4 };

class TfsOLEHelper : public TfsCustomHelper {
public:
    explicit TfsOLEHelper(std::string name);
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
    static constexpr int MaxArgs = 64;

private:
    Variant Invoke(const std::vector<Variant>& args, int kind);
};
