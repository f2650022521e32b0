// The paint box: OnPaint draws on the parent's window with the control's font and colour.
#include <gtest/gtest.h>

#include "platform/gui/ExtCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

TEST(PaintBoxTest, OnPaintDrawsWithTheControlsFontAndColour) {
    EnsureApplication();
    TComponent owner(nullptr);
    auto* form = new TForm(&owner);
    form->SetBounds(0, 0, 300, 200);
    auto* box = new TPaintBox(form);
    box->SetParent(form);
    box->SetBounds(20, 30, 120, 80);
    box->SetColor(clYellow);
    box->GetFont()->SetName("Arial");
    std::vector<std::string> seen;
    box->OnPaint = [&](TObject* s) {
        TCanvas* c = static_cast<TPaintBox*>(s)->Canvas();
        seen.push_back(c->Font()->GetName());
        c->FillRect(Rect(0, 0, 10, 10));  // the brush holds the control's colour
        c->Brush()->SetColor(clRed);
        c->FillRect(Rect(100, 60, 120, 80));
    };
    ShowAndActivate(form);
    const QImage image = Grab(box);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "Arial");
    EXPECT_EQ(image.pixelColor(5, 5), ToQColor(clYellow));
    EXPECT_EQ(image.pixelColor(110, 70), ToQColor(clRed));
    EXPECT_NE(image.pixelColor(50, 40), ToQColor(clYellow));  // nothing painted there
    form->Hide();
    ProcessEvents();
}

}  // namespace
