#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "report/core/frxMemoView.h"
#include "report/core/frxObjects.h"
#include "report/core/frxReportPage.h"
#include "report/output/frxExportMatrix.h"

namespace {

// A small prepared page made in code: the objects sit on the page itself.
struct TPageFixture {
    TfrxReportPage Page{nullptr};

    TfrxMemoView* Memo(const std::string& name, double l, double t, double w, double h, const std::string& text) {
        auto* m = new TfrxMemoView(&Page);
        m->SetParent(&Page);
        m->SetName(name);
        m->SetBounds(l, t, w, h);
        m->SetText(text);
        return m;
    }
    template <class T>
    T* View(const std::string& name, double l, double t, double w, double h) {
        auto* v = new T(&Page);
        v->SetParent(&Page);
        v->SetName(name);
        v->SetBounds(l, t, w, h);
        return v;
    }
};

std::unique_ptr<TfrxIEMatrix> NewMatrix() {
    auto m = std::make_unique<TfrxIEMatrix>();
    m->ShowProgress = false;
    m->Inaccuracy = 0.5;
    return m;
}

}  // namespace

TEST(ExportMatrixViews, TextsLinesRectanglesAndPictures) {
    TPageFixture f;
    TfrxMemoView* title = f.Memo("Title", 0, 0, 300, 40, "Vysvědčení");
    title->GetFrame()->Typ = frxAllSides;
    title->HAlign = haCenter;
    title->Color = clYellow;
    auto* rect = f.View<TfrxShapeView>("Box", 0, 50, 300, 30);  // transparent: four lines
    rect->Color = clNone;
    auto* filled = f.View<TfrxShapeView>("Filled", 0, 100, 100, 20);
    filled->Color = clRed;
    auto* line = f.View<TfrxLineView>("Rule", 0, 130, 300, 0);
    auto* pic = f.View<TfrxShapeView>("Oval", 200, 100, 40, 20);
    pic->Shape = skEllipse;
    f.Memo("", 0, 200, 100, 20, "unnamed");  // left out without Background
    f.Memo("_pagebackground", 0, 0, 794, 1123, "");

    auto m = NewMatrix();
    for (TfrxView* v : {static_cast<TfrxView*>(title), static_cast<TfrxView*>(rect), static_cast<TfrxView*>(filled),
             static_cast<TfrxView*>(line), static_cast<TfrxView*>(pic)})
        m->AddObject(v);
    for (int i = 0; i < f.Page.ChildCount(); ++i)
        if (f.Page.Child(i)->GetName().empty() || f.Page.Child(i)->GetName() == "_pagebackground")
            m->AddObject(static_cast<TfrxView*>(f.Page.Child(i)));
    m->AddPage(poPortrait, 794, 1123, 10, 10, 10, 10);
    m->Prepare();

    // Title, four box sides, the filled box as a "Rect" text, the rule, the oval as a picture.
    ASSERT_EQ(m->PlacementCount(), 8);
    TfrxIEMObject* t = m->PlacementOf(0);
    EXPECT_EQ(t->Memo->Strings(0), "Vysvědčení");
    EXPECT_EQ(t->Style->HAlign, haCenter);
    EXPECT_EQ(t->Style->Color, clYellow);
    EXPECT_EQ(t->Style->FrameTyp, frxIEMLeft | frxIEMRight | frxIEMTop | frxIEMBottom);
    EXPECT_EQ(m->PlacementOf(1)->Style->FrameTyp, frxIEMTop) << "top side of the empty box";
    EXPECT_EQ(m->PlacementOf(2)->Style->FrameTyp, frxIEMLeft);
    TfrxIEMObject* r = m->PlacementOf(5);
    EXPECT_TRUE(r->IsText);
    EXPECT_EQ(r->Style->Color, clRed);
    EXPECT_EQ(r->Style->FrameTyp, frxIEMLeft | frxIEMRight | frxIEMTop | frxIEMBottom);
    EXPECT_EQ(m->PlacementOf(6)->Style->FrameTyp, frxIEMTop) << "a horizontal rule";
    TfrxIEMObject* o = m->PlacementOf(7);
    EXPECT_FALSE(o->IsText);
    ASSERT_TRUE(o->Image);
    EXPECT_EQ(o->Image->GetWidth(), 41);
    EXPECT_EQ(o->Image->GetHeight(), 21);
}

TEST(ExportMatrixViews, BackgroundAndUnnamedObjectsOnlyWhenAsked) {
    TPageFixture f;
    TfrxMemoView* bg = f.Memo("_pagebackground", 0, 0, 718, 1047, "");
    bg->Color = clAqua;
    TfrxMemoView* unnamed = f.Memo("", 0, 0, 100, 20, "x");
    for (bool background : {false, true}) {
        auto m = NewMatrix();
        m->Background = background;
        m->AddObject(bg);
        m->AddObject(unnamed);
        EXPECT_EQ(m->PlacementCount(), background ? 2 : 0);
        if (background) {
            EXPECT_TRUE(m->PlacementOf(0)->IsText);
            EXPECT_EQ(m->PlacementOf(0)->Memo->Count(), 0);
            EXPECT_EQ(m->PlacementOf(0)->Style->Color, clAqua);
        }
    }
}

TEST(ExportMatrixViews, ShadowBecomesTwoStripsAndTheObjectIsKept) {
    TPageFixture f;
    TfrxMemoView* memo = f.Memo("Boxed", 10, 10, 100, 40, "stín");
    memo->GetFrame()->DropShadow = true;
    memo->GetFrame()->ShadowWidth = 4;
    memo->GetFrame()->ShadowColor = clGray;
    auto m = NewMatrix();
    m->AddObject(memo);
    EXPECT_EQ(memo->GetWidth(), 100) << "the object is put back as it was";
    EXPECT_TRUE(memo->GetFrame()->DropShadow);
    ASSERT_EQ(m->PlacementCount(), 3);
    EXPECT_DOUBLE_EQ(m->PlacementOf(0)->Width, 96);
    TfrxIEMObject* right = m->PlacementOf(1);
    EXPECT_DOUBLE_EQ(right->Left, 106);
    EXPECT_DOUBLE_EQ(right->Top, 14);
    EXPECT_DOUBLE_EQ(right->Height, 36);
    EXPECT_EQ(right->Style->Color, clGray);
    TfrxIEMObject* bottom = m->PlacementOf(2);
    EXPECT_DOUBLE_EQ(bottom->Left, 14);
    EXPECT_DOUBLE_EQ(bottom->Top, 46);
    EXPECT_DOUBLE_EQ(bottom->Width, 96);
}
