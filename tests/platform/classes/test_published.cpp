// A property table declared in the class body (KAROMIL_PUBLISHED) is the table the source-file
// macro builds from the same lines: same names, order, kinds, type names, defaults, stored rules
// and access, for a class and for a descendant that republishes a name. Twin classes take the
// very same lines, so the comparison is of the two mechanisms and nothing else.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/TypInfo.h"

namespace {

enum TTwinAlign { taNone, taTop, taBottom };
KAROMIL_ENUM_TYPE(TTwinAlign, "taNone", "taTop", "taBottom")
enum TTwinStyle { tsBold, tsItalic };
KAROMIL_ENUM_TYPE(TTwinStyle, "tsBold", "tsItalic")
using TTwinStyles = TSet<TTwinStyle>;
KAROMIL_SET_TYPE(TTwinStyles, TTwinStyle)
KAROMIL_NAMED_TYPE(TypeInfoTwinColor, tkInteger, "TColor")

// Only declared here: a block in a class body may publish a pointer to it.
class TTwinPartner;

// The members both twins publish.
class TTwinBase : public TComponent {
    KAROMIL_CLASS(TTwinBase, TComponent)
public:
    using TComponent::TComponent;
    int32_t GetCount() const { return FCount; }
    void SetCount(int32_t v) { FCount = v; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    int32_t GetDoubled() const { return FCount * 2; }
    bool IsCaptionStored() const { return FCaption != "x"; }

    TTwinAlign Align = taTop;
    TTwinStyles Style;
    bool Visible = true;
    int32_t Color = -1;
    double Ratio = 0;
    TTwinPartner* Partner = nullptr;
    std::function<void(TObject*)> OnChange;
    std::string Note;

private:
    int32_t FCount = 3;
    std::string FCaption;
};

// Every form a line can take: accessors, read-only, data members, a named descriptor, a
// stored predicate and constant, an explicit p.Prop under another name, an event.
#define TWIN_LINES                                               \
    KAROMIL_PROP(Count).Default(3);                              \
    KAROMIL_PROP(Caption).Stored(&Self::IsCaptionStored);        \
    KAROMIL_PROP_READONLY(Doubled);                              \
    KAROMIL_PROP_MEMBER(Align).Default(taTop);                   \
    KAROMIL_PROP_MEMBER(Style).Default(0);                       \
    KAROMIL_PROP_MEMBER(Visible).Default(1);                     \
    KAROMIL_PROP_MEMBER(Color, TypeInfoTwinColor()).Default(-1); \
    KAROMIL_PROP_MEMBER(Ratio);                                  \
    KAROMIL_PROP_MEMBER(Partner);                                \
    p.Prop("Shown", &Self::Visible).Stored(false).NoDefault();   \
    KAROMIL_EVENT(OnChange, "TNotifyEvent");
// A descendant republishes Count (keeps its place, new default) and adds Note.
#define TWIN_CHILD_LINES       \
    KAROMIL_PROP_MEMBER(Note); \
    KAROMIL_PROP(Count).Default(7);

class TBlockTwin : public TTwinBase {
    KAROMIL_CLASS(TBlockTwin, TTwinBase)
    KAROMIL_PUBLISHED({TWIN_LINES})
public:
    using TTwinBase::TTwinBase;
};
class TMacroTwin : public TTwinBase {
    KAROMIL_CLASS(TMacroTwin, TTwinBase)
public:
    using TTwinBase::TTwinBase;
};
class TBlockTwinChild : public TBlockTwin {
    KAROMIL_CLASS(TBlockTwinChild, TBlockTwin)
    KAROMIL_PUBLISHED({TWIN_CHILD_LINES})
public:
    using TBlockTwin::TBlockTwin;
};
class TMacroTwinChild : public TMacroTwin {
    KAROMIL_CLASS(TMacroTwinChild, TMacroTwin)
public:
    using TMacroTwin::TMacroTwin;
};
// Publishes nothing of its own: the plain macro, and the block it inherits is not its own.
class TBlockTwinPlain : public TBlockTwin {
    KAROMIL_CLASS(TBlockTwinPlain, TBlockTwin)
public:
    using TBlockTwin::TBlockTwin;
};

class TTwinPartner : public TComponent {
    KAROMIL_CLASS(TTwinPartner, TComponent)
public:
    using TComponent::TComponent;
};

static_assert(classes_detail::PublishesOwnBlock<TBlockTwin>());
static_assert(classes_detail::PublishesOwnBlock<TBlockTwinChild>());
static_assert(!classes_detail::PublishesOwnBlock<TBlockTwinPlain>());
static_assert(!classes_detail::PublishesOwnBlock<TMacroTwin>());

}  // namespace

KAROMIL_IMPLEMENT_CLASS(TTwinBase, TComponent)
KAROMIL_IMPLEMENT_CLASS(TTwinPartner, TComponent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TBlockTwin, TTwinBase)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TMacroTwin, TTwinBase, {TWIN_LINES})
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TBlockTwinChild, TBlockTwin)
KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TMacroTwinChild, TMacroTwin, {TWIN_CHILD_LINES})
KAROMIL_IMPLEMENT_CLASS(TBlockTwinPlain, TBlockTwin)

namespace {

// Generations from the class up to the one whose list holds the property.
int OwnerDistance(TClass c, const TPropInfo* info) {
    int n = 0;
    for (TClass k = c; k && k != info->OwnerClass(); k = k->ClassParent()) ++n;
    return n;
}

// One row per property: everything the serializer, scripts and the inspector read, with the
// stored answer on a fresh object and on one whose state the predicates watch.
std::vector<std::string> Describe(TClass c) {
    TComponent* fresh = c->CreateComponent(nullptr);
    TComponent* changed = c->CreateComponent(nullptr);
    SetStrProp(changed, "Caption", "x");
    std::vector<std::string> rows;
    for (const TPropInfo* info : GetPropList(c)) {
        const TTypeInfo* type = info->PropType();
        std::string row = info->Name() + " kind=" + std::to_string(type->Kind()) + " type=" + type->Name() +
            " ro=" + std::to_string(info->IsReadOnly()) + " owner+" + std::to_string(OwnerDistance(c, info)) +
            " default=" + (info->HasDefault() ? std::to_string(info->Default()) : "none") +
            " stored=" + std::to_string(info->IsStored(fresh)) + std::to_string(info->IsStored(changed));
        for (const std::string& name : type->EnumNames()) row += " " + name;
        if (type->Kind() == tkSet)
            for (const std::string& name : type->CompType()->EnumNames()) row += " " + name;
        if (type->Kind() != tkMethod && type->Kind() != tkClass)
            row += " value=" + GetVariantProp(fresh, info->Name()).AsString();
        rows.push_back(row);
    }
    delete fresh;
    delete changed;
    return rows;
}

struct TwinCase {
    const char* what;
    TClass block;
    TClass macro;
};

void PrintTo(const TwinCase& c, std::ostream* os) { *os << c.what; }

class PublishedTwins : public ::testing::TestWithParam<TwinCase> {};

TEST_P(PublishedTwins, BlockBuildsTheTableTheMacroBuilds) {
    const std::vector<std::string> block = Describe(GetParam().block);
    const std::vector<std::string> macro = Describe(GetParam().macro);
    ASSERT_FALSE(block.empty());
    EXPECT_EQ(block, macro);
    // Both lists hold their own class's lines, not the other's.
    EXPECT_EQ(GetParam().block->OwnProperties().size(), GetParam().macro->OwnProperties().size());
}

INSTANTIATE_TEST_SUITE_P(Twins, PublishedTwins,
    ::testing::Values(TwinCase{"class", TBlockTwin::StaticClass(), TMacroTwin::StaticClass()},
        TwinCase{"descendant", TBlockTwinChild::StaticClass(), TMacroTwinChild::StaticClass()}),
    [](const ::testing::TestParamInfo<TwinCase>& info) { return std::string(info.param.what); });

// The order the lines give, the republished name in its first place with the descendant's
// default, and the pointer to a class the block only knew by declaration.
TEST(PublishedBlock, OrderRepublishingAndForwardDeclaredClass) {
    std::vector<std::string> names;
    for (const TPropInfo* info : GetPropList(TBlockTwinChild::StaticClass())) names.push_back(info->Name());
    const std::vector<std::string> expected = {"Name", "Tag", "Count", "Caption", "Doubled", "Align", "Style",
        "Visible", "Color", "Ratio", "Partner", "Shown", "OnChange", "Note"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(GetPropInfo(TBlockTwinChild::StaticClass(), "Count")->Default(), 7);
    EXPECT_EQ(GetPropInfo(TBlockTwin::StaticClass(), "Count")->Default(), 3);
    EXPECT_EQ(GetPropInfo(TBlockTwin::StaticClass(), "Partner")->PropType()->ClassType(), TTwinPartner::StaticClass());
    EXPECT_TRUE(TBlockTwinPlain::StaticClass()->OwnProperties().empty());
}

}  // namespace
