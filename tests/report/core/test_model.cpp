// The object tree, variables, styles and the registries.

#include <gtest/gtest.h>

#include "ModelFixture.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxPlugins.h"
#include "report/core/frxRegistries.h"
#include "report/core/frxReport.h"
#include "report/core/frxStyles.h"
#include "report/core/frxVariables.h"

namespace {
std::string Joined(const TStrings& list) {
    std::string s;
    for (int i = 0; i < list.GetCount(); ++i) s += (i ? "|" : "") + list.Get(i);
    return s;
}
}  // namespace

TEST(FrxTree, NamesAllObjectsAndGeometry) {
    RegisterTestClasses();
    TfrxReport report;
    auto* band = new TTestBox(&report);
    band->SetName("Band1");
    (new TTestView(band))->SetName("TTest1");
    (new TTestView(band))->SetName("ttest2");
    auto* v = new TTestView(band);
    v->CreateUniqueName();  // the prefix drops "View" from the class name
    EXPECT_EQ(v->GetName(), "TTest3");
    EXPECT_THROW(v->SetName("TTEST1"), Exception);
    EXPECT_EQ(v->GetName(), "TTest3");
    EXPECT_EQ(report.GetAllObjects()->Count(), 4);
    EXPECT_EQ(report.GetAllObjects()->Items(0), band);
    EXPECT_EQ(v->GetAllObjects()->Count(), 0);

    band->SetTop(100);
    v->SetTop(10);
    EXPECT_DOUBLE_EQ(v->GetAbsTop(), 110);

    TfrxComponent* moved = TfrxComponent::DesignCreate(TTestView::StaticClass(), band, 0);
    moved->SetRestrictions(TfrxRestrictions{rfDontMove});
    moved->SetLeft(50);
    EXPECT_DOUBLE_EQ(moved->GetLeft(), 0);
    v->SetRestrictions(TfrxRestrictions{rfDontMove});
    v->SetLeft(50);
    EXPECT_DOUBLE_EQ(v->GetLeft(), 50);
}

TEST(FrxTree, FontInheritanceAssignAndDiff) {
    RegisterTestClasses();
    TfrxReport report;
    auto* band = new TTestBox(&report);
    auto* v = new TTestView(band);
    auto* w = new TTestView(v);
    band->GetFont()->SetName("Tahoma");
    EXPECT_EQ(w->GetFont()->GetName(), "Tahoma");
    EXPECT_TRUE(w->GetParentFont());
    v->GetFont()->SetSize(14);
    EXPECT_FALSE(v->GetParentFont());
    EXPECT_EQ(w->GetFont()->GetSize(), 14);

    auto* a = new TTestView(band);
    a->SetName("A");
    a->Caption = "text";
    a->SetBounds(10.00004, 5, 20, 30);
    auto* b = new TTestView(band);
    b->SetName("B");
    new TTestView(b);
    b->Assign(a);
    EXPECT_EQ(b->GetName(), "B");
    EXPECT_EQ(b->Caption, "text");
    EXPECT_EQ(b->ChildCount(), 0);

    TTestView templ(nullptr);
    templ.SetBounds(10, 5, 20, 30);
    EXPECT_EQ(a->Diff(&templ), "");
    a->SetHeight(31.5);
    a->SetVisible(false);
    EXPECT_EQ(a->Diff(&templ), " h=\"31" + std::string(1, FormatSettings().DecimalSeparator) + "5\" Visible=\"0\"");
}

TEST(FrxVariables, Categories) {
    TfrxVariables vars;
    for (const char* n : {" Common", "A", "B", " Other", "C"}) vars.Add()->SetName(n);
    TStringList list;
    vars.GetCategoriesList(&list);
    EXPECT_EQ(Joined(list), "Common|Other");
    vars.GetVariablesList("other", &list);
    EXPECT_EQ(Joined(list), "C");
    vars.GetVariablesList("", &list);
    EXPECT_EQ(Joined(list), "");
    vars.AddVariable("Common", "X", 1);
    EXPECT_EQ(vars.GetItem(3)->GetName(), "X");
    vars.DeleteCategory("Common");
    ASSERT_EQ(vars.Count(), 2);
    EXPECT_EQ(vars.GetItem(0)->GetName(), " Other");
    EXPECT_TRUE(vars.GetVariable("missing").IsNull());
    vars.SetVariable("New", 5);
    EXPECT_EQ(vars.GetItem(2)->GetName(), "New");

    TStringStream s;
    vars.SaveToStream(&s);
    TfrxVariables loaded;
    s.SetPosition(0);
    loaded.LoadFromStream(&s);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_TRUE(loaded.GetVariable("new").IsString());
    EXPECT_EQ(loaded.GetVariable("new").AsString(), "5");

    TStringStream upper("<?xml version=\"1.0\"?><VARIABLES><item Name=\"Q\" Value=\"1\"/><x/></VARIABLES>");
    loaded.LoadFromStream(&upper);
    EXPECT_EQ(loaded.Count(), 1);
    TStringStream other("<?xml version=\"1.0\"?><vars><item Name=\"Q\" Value=\"1\"/></vars>");
    loaded.LoadFromStream(&other);
    EXPECT_EQ(loaded.Count(), 0);
}

TEST(FrxStyles, NamesFilesAndSheets) {
    TfrxStyles styles;
    styles.Add()->SetName("Style1");
    styles.Add()->SetName("Style3");
    TfrxStyleItem* s2 = styles.Add();
    s2->CreateUniqueName();
    EXPECT_EQ(s2->GetName(), "Style2");
    EXPECT_THROW(s2->SetName("STYLE1"), Exception);
    s2->SetName("style2");
    styles.Add()->SetName("NADPIS");
    EXPECT_EQ(styles.Find("nadpis"), styles.GetItem(3));
    styles.GetItem(3)->SetColor(clRed);

    TStringStream s;
    styles.Name = "Sada";
    styles.SaveToStream(&s);
    EXPECT_NE(s.DataString().find("<style Name=\"Sada\">"), std::string::npos) << s.DataString();
    EXPECT_NE(s.DataString().find("Color=\"536870911\""), std::string::npos);  // always stored
    TfrxStyles loaded;
    loaded.Add();
    s.SetPosition(0);
    loaded.LoadFromStream(&s);
    ASSERT_EQ(loaded.Count(), 4);
    EXPECT_EQ(loaded.Name, "Sada");
    EXPECT_EQ(loaded.Find("Nadpis")->GetColor(), clRed);

    TStringStream empty("<?xml version=\"1.0\"?><style Name=\"X\"/>");
    loaded.LoadFromStream(&empty);
    EXPECT_EQ(loaded.Count(), 0);

    TStringStream sheet(
        "<?xml version=\"1.0\"?><stylesheet><style Name=\"A\"><item Name=\"S\"/></style>"
        "<other/><style Name=\"a\"/></stylesheet>");
    TfrxStyleSheet sh;
    sh.LoadFromStream(&sheet);
    ASSERT_EQ(sh.Count(), 2);
    EXPECT_EQ(sh.Find("A"), sh.Items(0));
    EXPECT_EQ(sh.Items(0)->Count(), 1);
}

namespace {
class TEditorA : public TObject {};
class TEditorB : public TObject {};
class TTestFilter : public TfrxCustomExportFilter {
public:
    TTestFilter() : TfrxCustomExportFilter(nullptr) {}
    void ExportObject(TfrxComponent*) override {}
};
}  // namespace

TEST(FrxRegistries, ResolutionRules) {
    RegisterTestClasses();
    TfrxObjectCollection objects;
    objects.RegisterObject(TTestView::StaticClass(), nullptr, "", "", 0);
    objects.RegisterObject(TTestView::StaticClass(), nullptr, "", "", 0);
    objects.RegisterObject(TTestView::StaticClass(), nullptr, "", "", 1);
    objects.RegisterCategory("Other", nullptr, "hint");
    EXPECT_EQ(objects.Count(), 3);

    TfrxComponentEditorCollection editors;
    editors.RegisterEditor(TTestView::StaticClass(), TEditorA::StaticClass(), [](auto...) { return new TEditorA; });
    editors.RegisterEditor(TfrxComponent::StaticClass(), TEditorB::StaticClass(), [](auto...) { return new TEditorB; });
    EXPECT_EQ(editors.FindEditor(TTestView::StaticClass())->EditorClass, TEditorA::StaticClass());
    EXPECT_EQ(editors.FindEditor(TTestBox::StaticClass())->EditorClass, TEditorB::StaticClass());
    EXPECT_EQ(editors.FindEditor(TObject::StaticClass()), nullptr);

    TfrxPropertyEditorCollection props;
    props.RegisterEditor(TypeInfoString(), nullptr, "", TEditorA::StaticClass());
    props.RegisterEditor(TypeInfoColor(), nullptr, "", TEditorA::StaticClass());
    props.RegisterEditor(TypeInfoString(), TFont::StaticClass(), "Name", TEditorB::StaticClass());
    props.RegisterEditor(TypeInfoString(), nullptr, "", TEditorB::StaticClass());
    TFont font;
    TTestView view(nullptr);
    EXPECT_EQ(props.GetEditorIndex(TypeInfoColor(), &view, "Color"), 1);
    EXPECT_EQ(props.GetEditorIndex(TypeInfoString(), &font, "name"), 2);
    EXPECT_EQ(props.GetEditorIndex(TypeInfoString(), &view, "Caption"), 0);
    EXPECT_EQ(props.GetEditorIndex(TypeInfoFrxNotifyEvent(), &view, "OnBeforePrint"), -1);
    props.RegisterEventEditor(TEditorA::StaticClass());
    EXPECT_EQ(props.GetEditorIndex(TypeInfoFrxNotifyEvent(), &view, "OnBeforePrint"), 4);
    EXPECT_EQ(props.GetEditorIndex(TypeInfoModalResult(), &view, "ModalResult"), -1);

    const int before = frxExportFilters()->Count();
    {
        TTestFilter filter;
        EXPECT_EQ(frxExportFilters()->Count(), before + 1);
        frxExportFilters()->Register(&filter);
        EXPECT_EQ(frxExportFilters()->Count(), before + 1);
        EXPECT_EQ(filter.ShowModal(), mrOk);
        EXPECT_TRUE(filter.Start());
    }
    EXPECT_EQ(frxExportFilters()->Count(), before);
}
