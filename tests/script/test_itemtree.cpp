// The designer's tree of what a script offers: sections, entries and their texts.

#include <gtest/gtest.h>

#include "InterpTestSupport.h"
#include "platform/classes/TypInfo.h"
#include "script/EventAdapters.h"
#include "script/ItemTree.h"
#include "script/XmlTree.h"

class TTreeHost : public TPersistent {
    KAROMIL_CLASS(TTreeHost, TPersistent)
public:
    std::string Caption;
    int32_t Count = 0;
    const std::string& GetCaption() const { return Caption; }
    void SetCaption(const std::string& v) { Caption = v; }
    int32_t GetCount() const { return Count; }
    void SetCount(int32_t v) { Count = v; }
};

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TTreeHost, TPersistent, {
    KAROMIL_PROP(Caption);
    KAROMIL_PROP(Count);
})

namespace {

// One line per element: its depth in blanks, its name, then its text and description.
void Render(const TfsXMLItem* item, int depth, std::string& out) {
    for (int i = 0; i < item->Count(); ++i) {
        const TfsXMLItem* c = item->Items(i);
        out += std::string(size_t(depth) * 2, ' ') + c->Name;
        if (!c->Prop("text").empty()) out += " [" + c->Prop("text") + "]";
        if (!c->Prop("description").empty()) out += " {" + c->Prop("description") + "}";
        out += "\n";
        Render(c, depth + 1, out);
    }
}

std::string Render(const TfsXMLItem* root) {
    std::string out;
    Render(root, 0, out);
    return out;
}

Variant Nothing(TObject*, TClass, const std::string&, TfsParams&) { return Variant::Null(); }

struct ItemTree : ::testing::Test {
    TfsScript S;
    void SetUp() override {
        S.Parent = fsGlobalUnit();
        S.AddMethod("function Twice(x: Integer): Integer", Nothing, "ctMath", "Doubles x");
        S.AddMethod("procedure Beep", Nothing, "ctOther");
        TfsClassVariable* c = S.AddClass(TTreeHost::StaticClass(), "TPersistent");
        c->AddMethod("procedure Clear", Nothing);
        c->AddIndexProperty("Items", "Integer", "String", Nothing);
        c->AddEvent("OnChange", fsEventClass<TfsNotifyEvent>());
        S.AddEnum("TMode", "mdOff, mdOn");
        S.AddVariable("Counter", "Integer", Variant(0));
        S.AddVariable("Mode", "TMode", Variant(1));
        S.AddConst("Quote", "String", Variant("say \"hi\" & <bye>"));
    }
};

TEST_F(ItemTree, SectionsInOrderWithEveryKindOfEntry) {
    TfsXMLItem root;
    fsBuildItemTree(&S, &root, false);
    EXPECT_EQ(Render(&root),
        "Functions\n"
        "  ctOther [ctOther]\n"
        "    item [procedure Beep] {Beep}\n"
        "  ctMath [ctMath]\n"
        "    item [function Twice(x: Integer): Integer] {Doubles x}\n"
        "Classes\n"
        "  item [TTreeHost = class(TPersistent)]\n"
        "    item [property Caption: String]\n"
        "    item [property Count: Integer]\n"
        "    item [procedure Clear]\n"
        "    item [index property Items(p0: Integer): String]\n"
        "    item [event OnChange]\n"
        "Types\n"
        "  item [TMode: (mdOff,mdOn)]\n"
        "Variables\n"
        "  item [Counter: Integer]\n"
        "  item [Mode: TMode]\n"
        "Constants\n"
        "  item [Quote: String = say \"hi\" & <bye>]\n");
}

TEST_F(ItemTree, FunctionsOnlyLeavesTheOtherSectionsEmpty) {
    TfsXMLItem root;
    fsBuildItemTree(&S, &root, true);
    EXPECT_EQ(Render(&root),
        "Functions\n"
        "  ctOther [ctOther]\n"
        "    item [procedure Beep] {Beep}\n"
        "  ctMath [ctMath]\n"
        "    item [function Twice(x: Integer): Integer] {Doubles x}\n"
        "Classes\nTypes\nVariables\nConstants\n");
}

// Sections already there are found (case ignored) and filled, not created a second time.
TEST_F(ItemTree, ExistingSectionsAreReused) {
    TfsXMLItem root;
    root.Add()->Name = "classes";
    fsBuildItemTree(&S, &root, false);
    ASSERT_EQ(root.Count(), 5);
    EXPECT_EQ(root.Items(0)->Name, "classes");
    EXPECT_EQ(root.Items(0)->Count(), 1);
    EXPECT_EQ(root.Items(1)->Name, "Functions");
}

// Only the script's own registry is listed: the global unit's built-ins are not.
TEST_F(ItemTree, ParentItemsAreNotListed) {
    TfsXMLItem root;
    fsBuildItemTree(&S, &root, true);
    EXPECT_EQ(root.FindItem("Functions")->Find("ctConv"), -1);
    TfsXMLItem global;
    fsBuildItemTree(fsGlobalUnit(), &global, true);
    EXPECT_GE(global.FindItem("Functions")->Find("ctConv"), 0);
}

}  // namespace
