#include <gtest/gtest.h>

#include "platform/ole/Automation.h"

namespace {

// A small automation object: a property, a method with a by-reference argument.
class TCounter : public TAutoObject {
public:
    TCounter() {
        AddMember("Value", [this](uint16_t flags, std::vector<Variant>& args) {
            if (flags & DISPATCH_PROPERTYPUT) {
                value = args.at(0).AsInteger();
                return Variant();
            }
            return Variant(value);
        });
        AddMember("AddTo", [this](uint16_t, std::vector<Variant>& args) {
            if (args.size() != 2) throw EOleSysError("bad count", DISP_E_BADPARAMCOUNT);
            args[1] = args[1] + args[0];  // second argument is written back
            return Variant(value);
        });
    }
    int value = 0;
};

TEST(Automation, UnknownProgramIdentifierFailsHonestly) {
    try {
        CreateOleObject("Excel.Application");
        FAIL() << "no server is registered by default";
    } catch (const EOleSysError& e) {
        EXPECT_EQ(e.ErrorCode(), CO_E_CLASSSTRING);
        EXPECT_EQ(e.Message(), "Invalid class string");
    }
}

TEST(Automation, MembersByNameWithReversedArgumentsAndWriteBack) {
    RegisterAutomationClass("Test.Counter", [] { return std::make_shared<TCounter>(); });
    Variant obj = CreateOleObject("test.counter");  // identifiers ignore case
    std::shared_ptr<IDispatch> disp = VarToDispatch(obj);
    ASSERT_TRUE(disp);

    int32_t value = 0, addTo = 0, missing = 0;
    EXPECT_EQ(disp->GetIDsOfNames("VALUE", value), S_OK);
    EXPECT_EQ(disp->GetIDsOfNames("AddTo", addTo), S_OK);
    EXPECT_EQ(disp->GetIDsOfNames("Nope", missing), DISP_E_UNKNOWNNAME);

    std::vector<Variant> put{Variant(5)};
    EXPECT_EQ(disp->Invoke(value, DISPATCH_PROPERTYPUT, put, {DISPID_PROPERTYPUT}, nullptr), S_OK);

    // Call AddTo(3, x) with x = 10: automation order is last-first.
    std::vector<Variant> args{Variant(10), Variant(3)};
    Variant result;
    EXPECT_EQ(disp->Invoke(addTo, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, {}, &result), S_OK);
    EXPECT_EQ(result.AsInteger(), 5);
    EXPECT_EQ(args[0].AsInteger(), 13);

    std::vector<Variant> one{Variant(1)};
    EXPECT_EQ(disp->Invoke(addTo, DISPATCH_METHOD, one, {}, nullptr), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(disp->Invoke(99, DISPATCH_METHOD, one, {}, nullptr), DISP_E_MEMBERNOTFOUND);
    UnregisterAutomationClass("Test.Counter");
    EXPECT_THROW(CreateOleObject("Test.Counter"), EOleSysError);
}

}  // namespace
