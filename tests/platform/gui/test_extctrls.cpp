// Panel, bevel, image, shape, radio group, splitter and timer.
#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>

#include "platform/gui/ExtCtrls.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

class ExtCtrlsTest : public formstest::FormFixture {
protected:
    ExtCtrlsTest() : FormFixture(400, 300) {}
    void SetUp() override {
        FormFixture::SetUp();
        Form->SetColor(clWhite);
    }
    static QRgb At(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }
};

TEST_F(ExtCtrlsTest, PanelBevelsAndBorderNarrowTheAlignedArea) {
    struct Case {
        TPanelBevel Outer, Inner;
        int BevelWidth, BorderWidth;
        int Inset;
    };
    const Case cases[] = {
        {bvNone, bvNone, 1, 0, 0},
        {bvRaised, bvNone, 1, 0, 1},
        {bvRaised, bvLowered, 2, 0, 4},
        {bvLowered, bvNone, 1, 5, 6},
        {bvNone, bvSpace, 3, 1, 4},
    };
    for (const Case& c : cases) {
        auto* p = Add<TPanel>(0, 0, 200, 100);
        p->SetBevelOuter(c.Outer);
        p->SetBevelInner(c.Inner);
        p->SetBevelWidth(c.BevelWidth);
        p->SetBorderWidth(c.BorderWidth);
        auto* child = Add<TPanel>(0, 0, 10, 10, p);
        child->SetAlign(alClient);
        EXPECT_EQ(child->GetBoundsRect(), Rect(c.Inset, c.Inset, 200 - c.Inset, 100 - c.Inset)) << c.Inset;
        delete p;
    }
}

TEST_F(ExtCtrlsTest, PanelsAlignedTopAndClientAsTheMainWindowStacksThem) {
    auto* top = Add<TPanel>(0, 0, 100, 95);
    top->SetAlign(alTop);
    auto* buttons = Add<TPanel>(0, 0, 100, 60);
    buttons->SetAlign(alTop);
    auto* rest = Add<TPanel>(0, 0, 10, 10);
    rest->SetAlign(alClient);
    const int w = Form->GetClientWidth();
    EXPECT_EQ(top->GetBoundsRect(), Rect(0, 0, w, 95));
    EXPECT_EQ(buttons->GetBoundsRect(), Rect(0, 95, w, 155));
    EXPECT_EQ(rest->GetBoundsRect(), Rect(0, 155, w, Form->GetClientHeight()));
}

TEST_F(ExtCtrlsTest, PanelPaintsItsColourBevelAndCaption) {
    auto* p = Add<TPanel>(10, 10, 200, 60);
    p->SetColor(clYellow);
    p->SetCaption("Přejete si opravdu smazat?");
    ShowAndActivate(Form);
    QImage img = Grab(p);
    EXPECT_EQ(At(img, 0, 0), Rgb(clBtnHighlight));  // raised: light top-left
    EXPECT_EQ(At(img, 199, 59), Rgb(clBtnShadow));  // dark bottom-right
    EXPECT_EQ(At(img, 4, 4), Rgb(clYellow));
    bool text = false;  // some dark pixels of the caption in the middle band
    for (int x = 20; x < 180 && !text; ++x)
        for (int y = 20; y < 40 && !text; ++y) text = qGray(img.pixel(x, y)) < 100;
    EXPECT_TRUE(text);
    p->SetBevelOuter(bvNone);
    ProcessEvents();
    img = Grab(p);
    EXPECT_EQ(At(img, 0, 0), Rgb(clYellow));
}

TEST_F(ExtCtrlsTest, PanelCaptionFollowsAlignment) {
    struct Case {
        TAlignment Alignment;
        int MinLeft, MaxLeft;
    };
    const Case cases[] = {{taLeftJustify, 0, 12}, {taCenter, 70, 100}, {taRightJustify, 140, 199}};
    auto* p = Add<TPanel>(10, 10, 200, 40);
    p->SetCaption("Tisk");
    ShowAndActivate(Form);
    for (const Case& c : cases) {
        p->SetAlignment(c.Alignment);
        ProcessEvents();
        const QImage img = Grab(p);
        int left = -1;
        for (int x = 2; x < 198 && left < 0; ++x)
            for (int y = 5; y < 35 && left < 0; ++y)
                if (qGray(img.pixel(x, y)) < 100) left = x;
        EXPECT_GE(left, c.MinLeft) << int(c.Alignment);
        EXPECT_LE(left, c.MaxLeft) << int(c.Alignment);
    }
}

TEST_F(ExtCtrlsTest, BevelShapesDrawTheirLines) {
    struct Case {
        TBevelShape Shape;
        TBevelStyle Style;
        TPoint Dark, Light;
    };
    const Case cases[] = {
        {bsTopLine, bsLowered, {10, 0}, {10, 1}},
        {bsTopLine, bsRaised, {10, 1}, {10, 0}},
        {bsBottomLine, bsLowered, {10, 18}, {10, 19}},
        {bsLeftLine, bsLowered, {0, 10}, {1, 10}},
        {bsBox, bsLowered, {0, 5}, {39, 5}},
    };
    auto* b = Add<TBevel>(10, 10, 40, 20);
    ShowAndActivate(Form);
    for (const Case& c : cases) {
        b->SetShape(c.Shape);
        b->SetStyle(c.Style);
        ProcessEvents();
        const QImage img = Grab(b);
        EXPECT_EQ(At(img, c.Dark.X, c.Dark.Y), Rgb(clBtnShadow)) << int(c.Shape) << " " << int(c.Style);
        EXPECT_EQ(At(img, c.Light.X, c.Light.Y), Rgb(clBtnHighlight)) << int(c.Shape) << " " << int(c.Style);
    }
}

TEST_F(ExtCtrlsTest, ImagePlacesItsPicture) {
    struct Case {
        bool Stretch, Center, AutoSize;
        TRect Control, Dest;
    };
    const Case cases[] = {
        {false, false, false, Bounds(5, 5, 80, 60), Rect(0, 0, 20, 10)},
        {false, true, false, Bounds(5, 5, 80, 60), Bounds(30, 25, 20, 10)},
        {true, false, false, Bounds(5, 5, 80, 60), Rect(0, 0, 80, 60)},
        {false, false, true, Bounds(5, 5, 20, 10), Rect(0, 0, 20, 10)},
    };
    for (const Case& c : cases) {
        auto* i = Add<TImage>(5, 5, 80, 60);
        i->SetStretch(c.Stretch);
        i->SetCenter(c.Center);
        i->SetAutoSize(c.AutoSize);
        TBitmap pic(20, 10);
        i->GetPicture()->SetGraphic(&pic);
        EXPECT_EQ(i->GetBoundsRect(), c.Control);
        EXPECT_EQ(i->DestRect(), c.Dest);
        delete i;
    }
}

TEST_F(ExtCtrlsTest, TransparentImageShowsItsParentThroughTheKeyColour) {
    auto* i = Add<TImage>(10, 10, 20, 20);
    TBitmap pic(20, 20);
    pic.Canvas()->Brush()->SetColor(clBlue);
    pic.Canvas()->FillRect(Rect(0, 0, 20, 20));
    pic.Canvas()->Brush()->SetColor(clRed);
    pic.Canvas()->FillRect(Rect(5, 5, 15, 15));
    i->GetPicture()->SetGraphic(&pic);
    int clicks = 0;
    i->OnClick = [&](TObject*) { ++clicks; };
    ShowAndActivate(Form);
    EXPECT_EQ(At(Grab(i), 1, 1), Rgb(clBlue));
    i->SetTransparent(true);  // the bottom-left pixel's blue disappears
    ProcessEvents();
    const QImage img = Grab(i);
    EXPECT_EQ(At(img, 1, 1), Rgb(clWhite));
    EXPECT_EQ(At(img, 10, 10), Rgb(clRed));
    TestKit::Click(i, Point(10, 10));
    ProcessEvents();
    EXPECT_EQ(clicks, 1);
}

TEST_F(ExtCtrlsTest, ShapeFillsWithItsBrush) {
    auto* s = Add<TShape>(10, 10, 60, 30);
    s->GetBrush()->SetColor(clLime);
    s->SetShape(stCircle);
    ShowAndActivate(Form);
    const QImage img = Grab(s);
    EXPECT_EQ(At(img, 30, 15), Rgb(clLime));
    EXPECT_EQ(At(img, 2, 2), Rgb(clWhite));  // outside the circle: the form
}

TEST_F(ExtCtrlsTest, RadioGroupKeepsOneItemAndReportsChanges) {
    auto* g = Add<TRadioGroup>(10, 10, 200, 100);
    g->SetCaption("Vyberte pololetí pro tisk");
    int clicks = 0;
    g->OnClick = [&](TObject*) { ++clicks; };
    g->GetItems()->Add("První pololetí");
    g->GetItems()->Add("Druhé pololetí");
    ASSERT_EQ(g->ButtonCount(), 2);
    EXPECT_EQ(g->GetItemIndex(), -1);
    g->SetItemIndex(0);
    EXPECT_TRUE(g->Buttons(0)->GetChecked());
    EXPECT_EQ(clicks, 1);
    ShowAndActivate(Form);
    TestKit::Click(g->Buttons(1), Point(5, 5));
    ProcessEvents();
    EXPECT_EQ(g->GetItemIndex(), 1);
    EXPECT_FALSE(g->Buttons(0)->GetChecked());
    EXPECT_EQ(clicks, 2);
    g->GetItems()->Delete(1);  // the selected item goes: the index follows
    EXPECT_EQ(g->ButtonCount(), 1);
    EXPECT_EQ(g->GetItemIndex(), 0);
}

TEST_F(ExtCtrlsTest, SplitterResizesItsNeighbourWithinMinSize) {
    auto* left = Add<TPanel>(0, 0, 100, 10);
    left->SetAlign(alLeft);
    auto* split = Add<TSplitter>(100, 0, 4, 10);
    split->SetAlign(alLeft);
    split->SetMinSize(40);
    auto* rest = Add<TPanel>(0, 0, 10, 10);
    rest->SetAlign(alClient);
    int moved = 0;
    split->OnMoved = [&](TObject*) { ++moved; };
    ShowAndActivate(Form);
    ASSERT_EQ(split->FindControl(), left);
    // Each drag starts from where the last left it; the result is kept between MinSize and
    // what leaves MinSize to the client panel.
    auto drag = [&](int dx) {
        MouseDown(split, Point(1, 5));
        MouseMove(split, Point(1 + dx, 5), Qt::LeftButton);
        MouseUp(split, Point(1 + dx, 5));
        ProcessEvents();
        return left->GetWidth();
    };
    EXPECT_EQ(drag(30), 130);
    EXPECT_EQ(drag(-200), 40);
    const int most = left->GetWidth() + rest->GetWidth() - 40;
    EXPECT_EQ(drag(1000), most);
    EXPECT_EQ(moved, 3);
    EXPECT_GE(rest->GetWidth(), 40);
}

TEST_F(ExtCtrlsTest, TimerFiresWhileEnabled) {
    TTimer t(nullptr);
    int ticks = 0;
    t.OnTimer = [&](TObject*) { ++ticks; };
    t.SetInterval(10);
    EXPECT_TRUE(t.Running());
    QElapsedTimer clock;
    clock.start();
    while (ticks < 2 && clock.elapsed() < 2000) Application->ProcessMessages();
    EXPECT_GE(ticks, 2);
    t.SetEnabled(false);
    EXPECT_FALSE(t.Running());
    const int before = ticks;
    clock.restart();
    while (clock.elapsed() < 50) Application->ProcessMessages();
    EXPECT_EQ(ticks, before);
    t.SetInterval(0);
    t.SetEnabled(true);  // no interval: no timer
    EXPECT_FALSE(t.Running());
}

TEST_F(ExtCtrlsTest, TimerBeingLoadedStartsWhenLoaded) {
    TTimer t(nullptr);
    t.BeginLoading();
    t.SetInterval(50);
    t.SetEnabled(true);
    EXPECT_FALSE(t.Running());
    t.Loaded();
    EXPECT_TRUE(t.Running());
}

TEST_F(ExtCtrlsTest, TimerHandlerExceptionReachesTheApplication) {
    TTimer t(nullptr);
    t.SetInterval(5);
    const int before = Application->ExceptionCount();
    t.OnTimer = [&](TObject*) {
        t.SetEnabled(false);
        throw Exception("chyba časovače");
    };
    TModalAnswerer answer;
    QElapsedTimer clock;
    clock.start();
    while (t.GetEnabled() && clock.elapsed() < 2000) Application->ProcessMessages();
    EXPECT_EQ(Application->ExceptionCount(), before + 1);
}

}  // namespace
