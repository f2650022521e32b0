#include <gtest/gtest.h>

#include "ScriptTestSupport.h"
#include "script/ScriptTools.h"

namespace {

// The engine's start-up registers the languages; the tests do the same once.
class ScriptEnvironment : public ::testing::Environment {
public:
    void SetUp() override { fsRegisterStandardLanguages(); }
    void TearDown() override { fsUnregisterLanguages(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ScriptEnvironment);

}  // namespace

std::string RenderIL(const TfsXMLItem* item, bool withTypes) {
    std::string r;
    for (int i = 0; i < item->Count(); ++i) {
        const TfsXMLItem* child = item->Items(i);
        if (!withTypes && child->Name == "types" && child->Parent() && child->Parent()->Name == "program") continue;
        if (!r.empty()) r += ' ';
        r += child->Name;
        if (child->Count() > 0) r += "(" + RenderIL(child, withTypes) + ")";
        else if (child->Text.find("text=") != std::string::npos) r += ":" + child->Prop("text");
    }
    return r;
}
