#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"

// A class with a published property of every kind.
namespace {

enum TAlign { alNone, alTop, alBottom, alClient };
KAROMIL_ENUM_TYPE(TAlign, "alNone", "alTop", "alBottom", "alClient")
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeout };
KAROMIL_ENUM_TYPE(TFontStyle, "fsBold", "fsItalic", "fsUnderline", "fsStrikeout")
using TFontStyles = TSet<TFontStyle>;
KAROMIL_SET_TYPE(TFontStyles, TFontStyle)
using TColor = int32_t;
KAROMIL_NAMED_TYPE(TypeInfoColor, tkInteger, "TColor")
using TNotifyEvent = std::function<void(TObject*)>;

class TFixtureFont : public TPersistent {
    KAROMIL_CLASS(TFixtureFont, TPersistent)
public:
    int Size = 10;
    void Assign(TPersistent* source) override {
        if (auto* f = As<TFixtureFont>(source)) {
            Size = f->Size;
            return;
        }
        TPersistent::Assign(source);
    }
};

class TFixture : public TComponent {
    KAROMIL_CLASS(TFixture, TComponent)
public:
    explicit TFixture(TComponent* owner) : TComponent(owner), FLines(std::make_unique<TStringList>()) {}

    int32_t GetCount() const { return FCount; }
    virtual void SetCount(int32_t v) { FCount = v; }
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    TFixtureFont* GetFont() const { return const_cast<TFixtureFont*>(&FFont); }
    void SetFont(TFixtureFont* v) { FFont.Assign(v); }  // a persistent property copies
    bool IsFontStored() const { return FFont.Size != 10; }
    TStrings* GetLines() const { return FLines.get(); }
    void SetLines(TStrings* v) { FLines->Assign(v); }
    int32_t GetReadOnlyCount() const { return FCount * 2; }

    int64_t Big = 0;
    char Letter = 'a';
    char32_t Wide = U'a';
    TAlign Align = alNone;
    bool Visible = true;
    double Ratio = 0;
    TDateTime Stamp = 0;
    TFontStyles Style;
    TColor Color = 0;
    TComponent* Link = nullptr;
    Variant Value;
    TNotifyEvent OnClick;

protected:
    int32_t Hidden = 0;  // published only by TFixtureChild

private:
    int32_t FCount = 3;
    std::string FCaption;
    TFixtureFont FFont;
    std::unique_ptr<TStringList> FLines;
};

// Publishes what its base kept protected, republishes Count with another default and
// overrides the virtual setter.
class TFixtureChild : public TFixture {
    KAROMIL_CLASS(TFixtureChild, TFixture)
public:
    using TFixture::TFixture;
    void SetCount(int32_t v) override { TFixture::SetCount(v < 0 ? 0 : v); }
};

}  // namespace

KAROMIL_IMPLEMENT_CLASS(TFixtureFont, TPersistent)

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TFixture, TComponent, {
    KAROMIL_PROP(Count).Default(3);
    p.Prop("Big", &Self::Big);
    p.Prop("Letter", &Self::Letter);
    p.Prop("Wide", &Self::Wide);
    p.Prop("Align", &Self::Align).Default(alNone);
    p.Prop("Visible", &Self::Visible).Default(true);
    p.Prop("Ratio", &Self::Ratio);
    p.Prop("Stamp", &Self::Stamp, TypeInfoDateTime());
    KAROMIL_PROP(Caption);
    p.Prop("Style", &Self::Style).Default(0);
    p.Prop("Color", &Self::Color, TypeInfoColor()).Default(0);
    p.Prop("Link", &Self::Link);
    KAROMIL_PROP(Font).Stored(&Self::IsFontStored);
    KAROMIL_PROP(Lines);
    p.Prop("Value", &Self::Value);
    p.Event("OnClick", &Self::OnClick, "TNotifyEvent");
    KAROMIL_PROP_READONLY(ReadOnlyCount);
})

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TFixtureChild, TFixture, {
    p.Prop("Hidden", &Self::Hidden);
    KAROMIL_PROP(Count).Default(7);
})

namespace {

std::vector<std::string> Names(TClass c) {
    std::vector<std::string> names;
    for (const TPropInfo* info : GetPropList(c)) names.push_back(info->Name());
    return names;
}

class TypInfoTest : public ::testing::Test {
protected:
    TComponent owner{nullptr};
    TFixture* fx = new TFixture(&owner);
};

}  // namespace

// --- the tables --------------------------------------------------------------------------------

TEST(PropList, RootFirstInDeclarationOrder) {
    const std::vector<std::string> expected = {"Name", "Tag", "Count", "Big", "Letter", "Wide", "Align", "Visible",
        "Ratio", "Stamp", "Caption", "Style", "Color", "Link", "Font", "Lines", "Value", "OnClick", "ReadOnlyCount"};
    EXPECT_EQ(Names(TFixture::StaticClass()), expected);
    EXPECT_EQ(Names(TComponent::StaticClass()), (std::vector<std::string>{"Name", "Tag"}));
    EXPECT_TRUE(GetPropList(TPersistent::StaticClass()).empty());
}

TEST(PropList, DescendantPublishesBaseMemberAndRepublishedKeepsItsPlace) {
    auto names = Names(TFixtureChild::StaticClass());
    ASSERT_EQ(names.size(), Names(TFixture::StaticClass()).size() + 1);
    EXPECT_EQ(names[2], "Count");
    EXPECT_EQ(names.back(), "Hidden");
    const TPropInfo* count = GetPropInfo(TFixtureChild::StaticClass(), "count");
    EXPECT_EQ(count->Default(), 7);
    EXPECT_EQ(count->OwnerClass(), TFixtureChild::StaticClass());
    EXPECT_EQ(GetPropInfo(TFixture::StaticClass(), "Count")->Default(), 3);
    EXPECT_EQ(GetPropInfo(TFixture::StaticClass(), "Hidden"), nullptr);
}

TEST(PropList, KindsTypeNamesAndDescriptors) {
    struct Case {
        const char* prop;
        TTypeKind kind;
        const char* typeName;
    };
    const Case cases[] = {
        {"Name", tkString, "TComponentName"},
        {"Tag", tkInteger, "Integer"},
        {"Count", tkInteger, "Integer"},
        {"Big", tkInt64, "Int64"},
        {"Letter", tkChar, "Char"},
        {"Wide", tkWChar, "WideChar"},
        {"Align", tkEnumeration, "TAlign"},
        {"Visible", tkEnumeration, "Boolean"},
        {"Ratio", tkFloat, "Extended"},
        {"Stamp", tkFloat, "TDateTime"},
        {"Caption", tkString, "String"},
        {"Style", tkSet, "TFontStyles"},
        {"Color", tkInteger, "TColor"},
        {"Link", tkClass, "TComponent"},
        {"Font", tkClass, "TFixtureFont"},
        {"Lines", tkClass, "TStrings"},
        {"Value", tkVariant, "Variant"},
        {"OnClick", tkMethod, "TNotifyEvent"},
    };
    for (const Case& c : cases) {
        const TPropInfo* info = GetPropInfo(TFixture::StaticClass(), c.prop);
        ASSERT_NE(info, nullptr) << c.prop;
        EXPECT_EQ(info->Kind(), c.kind) << c.prop;
        EXPECT_EQ(info->PropType()->Name(), c.typeName) << c.prop;
    }
    auto type = [](const char* prop) { return GetPropInfo(TFixture::StaticClass(), prop)->PropType(); };
    EXPECT_NE(type("Color"), type("Count"));  // TColor is not Integer
    EXPECT_NE(type("Name"), type("Caption"));  // TComponentName is not String
    EXPECT_EQ(type("Count"), TypeInfoInteger());
    EXPECT_EQ(type("Stamp")->FloatType(), TFloatType::DateTime);
    EXPECT_EQ(type("Ratio")->FloatType(), TFloatType::Extended);
    EXPECT_EQ(type("Style")->CompType()->Name(), "TFontStyle");
    EXPECT_EQ(type("Link")->ClassCategory(), ccComponentReference);
    EXPECT_EQ(type("Lines")->ClassCategory(), ccStrings);
    EXPECT_EQ(type("Font")->ClassCategory(), ccPersistent);
    EXPECT_EQ(type("Font")->ClassType(), TFixtureFont::StaticClass());
    EXPECT_EQ(TypeInfoMethod("TNotifyEvent"), type("OnClick"));
    EXPECT_NE(TypeInfoMethod("TMouseEvent"), type("OnClick"));
}

TEST(PropList, EnumerationNamesIgnoreCase) {
    const TTypeInfo* align = KaromilTypeInfo(static_cast<TAlign*>(nullptr));
    EXPECT_EQ(GetEnumName(align, 2), "alBottom");
    EXPECT_EQ(GetEnumName(align, 4), "");
    EXPECT_EQ(GetEnumName(align, -1), "");
    EXPECT_EQ(GetEnumValue(align, "ALCLIENT"), 3);
    EXPECT_EQ(GetEnumValue(align, "alLeft"), -1);
    EXPECT_EQ(GetEnumName(TypeInfoBoolean(), 1), "True");
    EXPECT_EQ(GetEnumValue(TypeInfoBoolean(), "false"), 0);
}

TEST(PropList, DefaultsAndStored) {
    auto info = [](const char* prop) { return GetPropInfo(TFixture::StaticClass(), prop); };
    EXPECT_TRUE(info("Count")->HasDefault());
    EXPECT_EQ(info("Visible")->Default(), 1);
    EXPECT_FALSE(info("Big")->HasDefault());  // "no default": always stored
    EXPECT_TRUE(info("ReadOnlyCount")->IsReadOnly());
    EXPECT_FALSE(info("Count")->IsReadOnly());

    TFixture fx(nullptr);
    EXPECT_FALSE(IsStoredProp(&fx, "Name"));
    EXPECT_TRUE(IsStoredProp(&fx, "Count"));
    EXPECT_FALSE(IsStoredProp(&fx, "Font"));  // per-object predicate
    fx.GetFont()->Size = 12;
    EXPECT_TRUE(IsStoredProp(&fx, "font"));
}

// --- access by name ----------------------------------------------------------------------------

TEST_F(TypInfoTest, VariantRoundTripOfEveryValueKind) {
    struct Case {
        const char* prop;
        Variant value;
    };
    const Case cases[] = {
        {"Name", Variant("Fixture1")},
        {"Tag", Variant(-5)},
        {"Count", Variant(42)},
        {"Big", Variant(int64_t(1) << 40)},
        {"Letter", Variant(int('Z'))},
        {"Wide", Variant(0x10D)},
        {"Align", Variant(2)},
        {"Visible", Variant(false)},
        {"Ratio", Variant(2.5)},
        {"Stamp", Variant::FromDate(45000.25)},
        {"Caption", Variant("Vysvědčení")},
        {"Style", Variant(0b1010)},
        {"Color", Variant(0x00FF00)},
        {"Value", Variant("any")},
    };
    for (const Case& c : cases) {
        SetVariantProp(fx, c.prop, c.value);
        const Variant back = GetVariantProp(fx, c.prop);
        EXPECT_EQ(back.VarType(), c.value.VarType()) << c.prop;
        EXPECT_TRUE(VarSameValue(back, c.value)) << c.prop;
    }
    EXPECT_EQ(fx->GetName(), "Fixture1");
    EXPECT_EQ(fx->Align, alBottom);
    EXPECT_EQ(fx->Style, (TFontStyles{fsItalic, fsStrikeout}));
    EXPECT_EQ(fx->Wide, U'č');
    EXPECT_EQ(fx->Stamp, 45000.25);
}

TEST_F(TypInfoTest, TypedAccessAndSetBits) {
    EXPECT_EQ(GetOrdProp(fx, "COUNT"), 3);
    SetOrdProp(fx, "Style", 0);
    fx->Style.Include(fsUnderline);
    EXPECT_EQ(GetOrdProp(fx, "Style"), 4);  // element n is bit n
    SetOrdProp(fx, "Visible", -1);  // a Variant's True
    EXPECT_TRUE(fx->Visible);
    SetOrdProp(fx, "Visible", 0);
    EXPECT_FALSE(fx->Visible);
    SetStrProp(fx, "Caption", "Třída");
    EXPECT_EQ(GetStrProp(fx, "caption"), "Třída");
    SetFloatProp(fx, "Ratio", 0.125);
    EXPECT_EQ(GetFloatProp(fx, "Ratio"), 0.125);
    SetVariantProp(fx, "Align", Variant("ALCLIENT"));  // by value name too
    EXPECT_EQ(fx->Align, alClient);
    EXPECT_EQ(GetOrdProp(fx, "ReadOnlyCount"), 6);
}

TEST_F(TypInfoTest, ObjectsTravelAsHandles) {
    auto* target = new TComponent(&owner);
    SetOrdProp(fx, "Link", target->Handle());
    EXPECT_EQ(fx->Link, target);
    EXPECT_EQ(GetOrdProp(fx, "Link"), target->Handle());
    EXPECT_EQ(GetObjectProp(fx, "Link"), target);
    SetOrdProp(fx, "Link", 0);
    EXPECT_EQ(fx->Link, nullptr);
    SetVariantProp(fx, "Link", Variant(target->Handle()));
    EXPECT_EQ(fx->Link, target);

    TFixtureFont bigger;
    bigger.Size = 20;
    SetObjectProp(fx, "Font", &bigger);  // the setter copies
    EXPECT_EQ(fx->GetFont()->Size, 20);
    EXPECT_NE(GetObjectProp(fx, "Font"), &bigger);

    TStringList lines;
    lines.SetText("a\r\nb\r\n");
    SetObjectProp(fx, "Lines", &lines);
    EXPECT_EQ(fx->GetLines()->Text(), "a\r\nb\r\n");
}

TEST_F(TypInfoTest, WrongUseRaises) {
    TFixtureFont font;
    EXPECT_THROW(SetObjectProp(fx, "Link", &font), EInvalidCast);  // not a component
    EXPECT_EQ(fx->Link, nullptr);
    EXPECT_THROW(SetOrdProp(fx, "Align", 4), ERangeError);
    EXPECT_THROW(SetOrdProp(fx, "Align", -1), ERangeError);
    EXPECT_EQ(fx->Align, alNone);
    EXPECT_THROW(SetOrdProp(fx, "ReadOnlyCount", 1), EPropReadOnly);
    EXPECT_THROW(GetStrProp(fx, "Count"), EPropertyConvertError);
    EXPECT_THROW(GetOrdProp(fx, "Caption"), EPropertyConvertError);
    EXPECT_THROW(GetFloatProp(fx, "Count"), EPropertyConvertError);
    EXPECT_THROW(GetVariantProp(fx, "OnClick"), EPropertyConvertError);
    try {
        GetOrdProp(fx, "Missing");
        FAIL();
    } catch (const EPropertyError& e) {
        EXPECT_STREQ(e.what(), "Unknown property: 'Missing'");
    }
    EXPECT_EQ(GetPropInfo(fx, "Missing"), nullptr);
    EXPECT_FALSE(IsPublishedProp(fx, "Hidden"));
}

TEST_F(TypInfoTest, EventsTakeATypeErasedHandler) {
    TObject* sender = nullptr;
    SetMethodProp(fx, "OnClick", TNotifyEvent([&](TObject* s) { sender = s; }));
    ASSERT_TRUE(fx->OnClick);
    fx->OnClick(fx);
    EXPECT_EQ(sender, fx);

    EXPECT_THROW(SetMethodProp(fx, "OnClick", std::function<void(int)>([](int) {})), EPropertyConvertError);
    EXPECT_TRUE(fx->OnClick);  // unchanged
    SetMethodProp(fx, "OnClick", TMethodHandler());
    EXPECT_FALSE(fx->OnClick);
    EXPECT_THROW(SetMethodProp(fx, "Count", TMethodHandler()), EPropertyConvertError);
}

TEST(TypInfoDispatch, SetterThroughTheTableReachesTheOverride) {
    TFixtureChild child(nullptr);
    SetOrdProp(&child, "Count", -9);  // TFixtureChild clamps
    EXPECT_EQ(child.GetCount(), 0);
    SetOrdProp(&child, "Hidden", 4);
    EXPECT_EQ(GetOrdProp(&child, "hidden"), 4);
    TFixture base(nullptr);
    SetOrdProp(&base, "Count", -9);
    EXPECT_EQ(base.GetCount(), -9);
}
