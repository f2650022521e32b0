// The application object: posted queue, exception barrier, clipboard, shell, screen.
#include <gtest/gtest.h>

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <fstream>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Shell.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/Exceptions.h"

using namespace TestKit;

namespace {

struct TSink : TCustomControl {
    using TCustomControl::TCustomControl;
    std::vector<UINT> Got;
    void Dispatch(TMessage& m) override {
        if (m.Msg >= WM_USER && m.Msg < WM_USER + 100) Got.push_back(m.Msg);
        TCustomControl::Dispatch(m);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Form = new TForm(nullptr);
        Sink = new TSink(Form);
        Sink->SetParent(Form);
        Form->Show();
        ProcessEvents();
    }
    void TearDown() override { delete Form; }
    TForm* Form = nullptr;
    TSink* Sink = nullptr;
};

TEST_F(ApplicationTest, PeekMessageRemovesOnlyTheMatchingPendingMessage) {
    HWND h = Sink->WindowHandle();
    PostMessage(h, WM_USER + 1);
    PostMessage(h, WM_USER + 2);
    PostMessage(h, WM_USER + 3);
    TMsg m;
    EXPECT_TRUE(PeekMessage(m, h, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(m, h, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    EXPECT_FALSE(PeekMessage(m, h, WM_USER + 2, WM_USER + 2, PM_REMOVE));
    ProcessEvents();
    EXPECT_EQ(Sink->Got, (std::vector<UINT>{WM_USER + 1, WM_USER + 3}));
}

TEST_F(ApplicationTest, AHandlerThatPostsAgainDoesNotStarveTheLoop) {
    int rounds = 0;
    Sink->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_USER + 5 && ++rounds < 1000) PostMessage(Sink->WindowHandle(), WM_USER + 5);
        Sink->WndProc(m);
    };
    PostMessage(Sink->WindowHandle(), WM_USER + 5);
    Application->ProcessMessages();  // returns although the handler keeps posting
    EXPECT_LT(rounds, 1000);
    Sink->WindowProc = nullptr;
    TMsg m;
    while (PeekMessage(m, Sink->WindowHandle(), 0, 0, PM_REMOVE)) {}
}

TEST_F(ApplicationTest, ExceptionsGoToOnExceptionAndAbortIsSilent) {
    std::vector<std::string> seen;
    Application->OnException = [&](TObject*, const Exception& e) { seen.push_back(e.Message()); };
    Sink->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_USER + 7) throw EConvertError("bad");
        if (m.Msg == WM_USER + 8) throw EAbort("quiet");
        if (m.Msg == WM_USER + 9) throw std::runtime_error("std");
        Sink->WndProc(m);
    };
    PostMessage(Sink->WindowHandle(), WM_USER + 7);
    PostMessage(Sink->WindowHandle(), WM_USER + 8);
    PostMessage(Sink->WindowHandle(), WM_USER + 9);
    PostMessage(Sink->WindowHandle(), WM_USER + 1);  // still delivered after the faults
    ProcessEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"bad", "std"}));
    EXPECT_EQ(Sink->Got, (std::vector<UINT>{WM_USER + 1}));
    // A timer callback is behind the same barrier.
    QTimer::singleShot(0, [] { throw Exception("from a timer"); });
    ProcessEvents();
    EXPECT_EQ(seen.back(), "from a timer");
    Application->OnException = nullptr;
    Sink->WindowProc = nullptr;
}

TEST_F(ApplicationTest, MessageTimeComesFromTheInjectedClock) {
    TFakeClock clock(5000);
    MouseDown(Sink, {1, 1});
    EXPECT_EQ(GetMessageTime(), 5000u);
    clock.Advance(250);
    MouseUp(Sink, {1, 1});
    EXPECT_EQ(GetMessageTime(), 5250u);
}

TEST_F(ApplicationTest, InjectedKeyStateWins) {
    EXPECT_GE(GetAsyncKeyState(VK_CONTROL), 0);
    InjectKeyState(VK_CONTROL, true);
    EXPECT_LT(GetAsyncKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    ClearInjectedKeyState();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

TEST(ScreenTest, CursorTableAcceptsArbitrarySlotsAndMetricsAreFixed) {
    EnsureApplication();
    EXPECT_FALSE(Screen->HasCursor(-1140));
    Screen->SetCursors(-1140, QCursor(Qt::PointingHandCursor));
    Screen->SetCursors(14000, QCursor(Qt::OpenHandCursor));
    EXPECT_EQ(Screen->GetCursors(-1140).shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Screen->GetCursors(14000).shape(), Qt::OpenHandCursor);
    EXPECT_EQ(Screen->GetCursors(12345).shape(), Qt::ArrowCursor);  // unknown: the default
    Screen->SetCursor(crHourGlass);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 17);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 17);
    EXPECT_EQ(Screen->PixelsPerInch(), 96);
    EXPECT_GT(Screen->Fonts()->Count(), 0);
}

TEST(ClipboardTest, TextAndOwnFormats) {
    EnsureApplication();
    const WORD fmt = RegisterClipboardFormat("Karomil Cells");
    EXPECT_EQ(RegisterClipboardFormat("karomil cells"), fmt);
    EXPECT_GE(fmt, 0xC000);
    Clipboard()->SetAsText("Žluťoučký kůň");
    EXPECT_EQ(Clipboard()->GetAsText(), "Žluťoučký kůň");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_FALSE(Clipboard()->HasFormat(fmt));
    Clipboard()->SetBuffer(fmt, std::string("\x01\x00\x02", 3));
    EXPECT_TRUE(Clipboard()->HasFormat(fmt));
    EXPECT_EQ(Clipboard()->GetBuffer(fmt), std::string("\x01\x00\x02", 3));
}

TEST(ShellTest, OpenOnlyFilesAndWebOrMailAddresses) {
    EnsureApplication();
    const std::string file = "/tmp/karomil_shell_test.pdf";
    std::ofstream(file) << "x";
    std::vector<std::string> launched;
    SetShellLauncher([&](const std::string& t) {
        launched.push_back(t);
        return true;
    });
    struct Case {
        std::string target;
        bool opens;
    };
    const Case cases[] = {
        {file, true},
        {"https://example.org/a?b=1", true},
        {"http://example.org", true},
        {"mailto:office@example.org", true},
        {"/tmp/no/such/file.pdf", false},
        {"javascript:alert(1)", false},
        {"file:///etc", false},  // a folder is no file
        {"ftp://example.org/x", false},
        {"https://", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ShellExecute(nullptr, "open", c.target) > 32, c.opens) << c.target;
    EXPECT_EQ(ShellExecute(nullptr, "print", file), SE_ERR_NOASSOC);
    EXPECT_EQ(launched.size(), 4u);
    SetShellLauncher(nullptr);
    std::remove(file.c_str());
    int beeps = 0;
    SetBeepHandler([&](UINT) { ++beeps; });
    MessageBeep(0);
    EXPECT_EQ(beeps, 1);
    SetBeepHandler(nullptr);
}

// The demonstration: a custom control painting text and shapes, grabbed under offscreen.
struct TDemo : TCustomControl {
    using TCustomControl::TCustomControl;
    void Paint() override {
        TCanvas* c = Canvas();
        c->Brush()->SetColor(clWindow);
        c->FillRect(GetClientRect());
        c->Pen()->SetColor(clNavy);
        c->Brush()->SetColor(clYellow);
        c->Rectangle(10, 10, 90, 60);
        c->Brush()->SetColor(clLime);
        c->Ellipse(100, 10, 180, 60);
        c->Pen()->SetColor(clRed);
        c->MoveTo(10, 70);
        c->LineTo(190, 70);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetName("Arial");
        c->Font()->SetHeight(-16);
        c->Font()->SetColor(clBlack);
        c->TextOut(12, 78, "Vysvědčení 1.A");
        TRect r = Rect(0, 100, 200, 120);
        DrawEdge(c, r, EDGE_RAISED, BF_RECT);
    }
};

TEST(DemoTest, CustomControlPaintsTextAndShapes) {
    EnsureApplication();
    auto* form = new TForm(nullptr);
    form->SetBounds(0, 0, 220, 140);
    auto* demo = new TDemo(form);
    demo->SetBounds(5, 5, 200, 120);
    demo->SetParent(form);
    form->Show();
    ProcessEvents();
    const QImage img = Grab(demo);
    img.save("/tmp/karomil_demo_control.png");
    EXPECT_EQ(QColor(img.pixel(50, 35)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(img.pixel(10, 10)), QColor(0, 0, 128));  // the pen's corner
    EXPECT_EQ(QColor(img.pixel(90, 35)), QColor(Qt::white));  // right edge excluded
    EXPECT_EQ(QColor(img.pixel(140, 35)), QColor(Qt::green));
    EXPECT_EQ(QColor(img.pixel(189, 70)), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(190, 70)), QColor(Qt::white));  // last pixel of the line not drawn
    int dark = 0;
    for (int y = 78; y < 96; ++y)
        for (int x = 12; x < 150; ++x) dark += qGray(img.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50);  // the text is there
    delete form;
}

}  // namespace
