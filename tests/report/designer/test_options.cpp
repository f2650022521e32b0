// The designer's options component: the instance the designer consults, and its stored form.

#include <gtest/gtest.h>

#include <memory>

#include "platform/classes/TypInfo.h"
#include "report/designer/frxDesignerOptions.h"

namespace {

TEST(DesignerOptions, TheLastCreatedIsActive) {
    ASSERT_EQ(frxActiveDesignerComponent(), nullptr);
    auto a = std::make_unique<TfrxDesigner>(nullptr);
    EXPECT_EQ(frxActiveDesignerComponent(), a.get());
    auto b = std::make_unique<TfrxDesigner>(nullptr);
    EXPECT_EQ(frxActiveDesignerComponent(), b.get());
    // Freeing the older instance keeps the newer one, which is in use, active (a deliberate
    // change: it used to leave no instance at all).
    a.reset();
    EXPECT_EQ(frxActiveDesignerComponent(), b.get());
    b.reset();
    EXPECT_EQ(frxActiveDesignerComponent(), nullptr);
}

TEST(DesignerOptions, FreeingTheActiveOneLeavesNone) {
    auto a = std::make_unique<TfrxDesigner>(nullptr);
    auto b = std::make_unique<TfrxDesigner>(nullptr);
    b.reset();
    EXPECT_EQ(frxActiveDesignerComponent(), nullptr);  // the older one does not come back
    a.reset();
    EXPECT_EQ(frxActiveDesignerComponent(), nullptr);
}

TEST(DesignerOptions, DefaultsAndPublishedProperties) {
    TfrxDesigner d(nullptr);
    EXPECT_TRUE(d.CloseQuery);
    EXPECT_TRUE(d.OpenDir.empty());
    EXPECT_TRUE(d.SaveDir.empty());
    EXPECT_TRUE(d.Restrictions.Empty());
    for (const char* name :
        {"CloseQuery", "OpenDir", "SaveDir", "Restrictions", "OnLoadReport", "OnSaveReport", "OnShow"})
        EXPECT_NE(GetPropInfo(&d, name), nullptr) << name;
    // The set's elements are bits 0 to 10 in their declared order, so it fits two bytes.
    d.Restrictions = {drDontSaveReport, drDontEditReportData};
    EXPECT_EQ(GetOrdProp(&d, "Restrictions"), (1 << 6) | (1 << 10));
    SetOrdProp(&d, "Restrictions", 1);
    EXPECT_TRUE(d.Restrictions.Contains(drDontInsertObject));
    EXPECT_FALSE(d.Restrictions.Contains(drDontSaveReport));
}

}  // namespace
