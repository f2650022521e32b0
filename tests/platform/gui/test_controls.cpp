// Message order and window behaviour of the control layer, under the offscreen platform.
#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"
#include "tests/platform/gui/FormsTestUtil.h"

using namespace TestKit;

namespace {

// Our Qt application (with the exception barrier) before any test makes another, and gone
// before static destruction.
class TQtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { EnsureApplication(); }
    void TearDown() override { ShutdownQtApplication(); }
};
[[maybe_unused]] ::testing::Environment* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtEnvironment);

// A control that writes what it hears into a shared log.
class TProbe : public TCustomControl {
public:
    TProbe(TComponent* owner, std::vector<std::string>* log, const std::string& name)
        : TCustomControl(owner), Log(log), Tag(name) {
        SetTabStop(true);
    }
    std::vector<std::string>* Log;
    std::string Tag;
    LRESULT DlgCode = 0;
    std::function<void()> OnPaintHook;
    TColor Fill = clWhite;

    void Note(const std::string& s) {
        if (Log) Log->push_back(Tag + ":" + s);
    }
    void Dispatch(TMessage& m) override {
        switch (m.Msg) {
        case WM_SETFOCUS: {
            TWinControl* other = FindControl(TWMSetFocus(m).FocusedWnd());
            Note("setfocus<" + (other ? other->GetName() : std::string("-")) + ">");
            break;
        }
        case WM_KILLFOCUS: {
            TWinControl* other = FindControl(TWMKillFocus(m).FocusedWnd());
            Note("killfocus<" + (other ? other->GetName() : std::string("-")) + ">");
            break;
        }
        case CM_ENTER: Note("enter"); break;
        case CM_EXIT: Note("exit"); break;
        case WM_KEYDOWN: Note("keydown " + std::to_string(m.WParam)); break;
        case WM_KEYUP: Note("keyup " + std::to_string(m.WParam)); break;
        case WM_CHAR: Note("char " + std::to_string(m.WParam)); break;
        case WM_SYSKEYDOWN: Note("syskeydown " + std::to_string(m.WParam)); break;
        case WM_GETDLGCODE: m.Result = DlgCode; return;
        case WM_CAPTURECHANGED: Note("capturechanged"); break;
        case WM_CANCELMODE: Note("cancelmode"); break;
        case WM_TIMER: Note("timer " + std::to_string(m.WParam)); break;
        case WM_USER + 1: Note("user1"); break;
        case WM_SIZE:
            Note("size " + std::to_string(TWMSize(m).Width()) + "x" + std::to_string(TWMSize(m).Height()));
            break;
        case WM_VSCROLL: Note("vscroll " + std::to_string(TWMScroll(m).ScrollCode())); break;
        default: break;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
        Note("mousedown " + std::to_string(int(b)) + (s.Contains(ssDouble) ? " dbl" : "") + " " + std::to_string(x) +
            "," + std::to_string(y));
        TCustomControl::MouseDown(b, s, x, y);
    }
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override {
        Note("mouseup " + std::to_string(int(b)));
        TCustomControl::MouseUp(b, s, x, y);
    }
    void Click() override {
        Note("click");
        TCustomControl::Click();
    }
    void DblClick() override {
        Note("dblclick");
        TCustomControl::DblClick();
    }
    void KeyPress(char32_t& key) override {
        Note("keypress " + std::to_string(uint32_t(key)));
        TCustomControl::KeyPress(key);
    }
    void Paint() override {
        if (OnPaintHook) OnPaintHook();
        Canvas()->Brush()->SetColor(Fill);
        Canvas()->FillRect(GetClientRect());
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Answers = std::make_unique<TModalAnswerer>();
        Form = new TForm(nullptr);
        Form->SetName("Form");
        Form->SetBounds(10, 10, 300, 200);
        A = Make("A", 10, 10);
        B = Make("B", 120, 10);
        ShowAndActivate(Form);
    }
    void TearDown() override {
        delete Form;  // owns A and B
        ProcessEvents();
        Answers.reset();
    }
    TProbe* Make(const std::string& name, int x, int y) {
        auto* p = new TProbe(Form, &Log, name);
        p->SetName(name);
        p->SetBounds(x, y, 100, 80);
        p->SetParent(Form);
        return p;
    }
    std::vector<std::string> Take() {
        auto l = Log;
        Log.clear();
        return l;
    }
    std::vector<std::string> Log;
    TForm* Form = nullptr;
    TProbe* A = nullptr;
    TProbe* B = nullptr;
    std::unique_ptr<TModalAnswerer> Answers;
};

using Strings = std::vector<std::string>;

TEST_F(ControlsTest, ClickGivesDownClickUpInWindowsOrder) {
    A->SetFocus();
    ProcessEvents();
    Take();
    Click(A, {5, 6});
    // Releasing the capture in the up handler comes before the click, as on Windows.
    EXPECT_EQ(Take(), (Strings{"A:mousedown 0 5,6", "A:capturechanged", "A:click", "A:mouseup 0"}));
}

TEST_F(ControlsTest, DoubleClickOnlyForWindowsThatAskForIt) {
    A->SetFocus();
    ProcessEvents();
    Take();
    DblClick(A, {3, 4});
    EXPECT_EQ(Take(),
        (Strings{"A:mousedown 0 3,4", "A:capturechanged", "A:click", "A:mouseup 0", "A:dblclick",
            "A:mousedown 0 dbl 3,4", "A:capturechanged", "A:mouseup 0"}));
    // Without csDoubleClicks the window class has no CS_DBLCLKS: the second press is a press.
    B->SetControlStyle(B->ControlStyle() - TControlStyle{csDoubleClicks});
    B->RecreateWnd();
    B->SetFocus();
    ProcessEvents();
    Take();
    DblClick(B, {3, 4});
    EXPECT_EQ(Take(),
        (Strings{"B:mousedown 0 3,4", "B:capturechanged", "B:click", "B:mouseup 0", "B:mousedown 0 3,4",
            "B:capturechanged", "B:click", "B:mouseup 0"}));
}

TEST_F(ControlsTest, KeyDownThenCharThenKeyUp) {
    A->SetFocus();
    ProcessEvents();
    Take();
    Key(Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(Take(), (Strings{"A:keydown 65", "A:char 97", "A:keypress 97", "A:keyup 65"}));
}

TEST_F(ControlsTest, CharactersMadeFromKeyAndModifiers) {
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        std::string text;
        int expectedChar;
    };
    const Case cases[] = {
        {Qt::Key_C, Qt::ControlModifier, "", 3},  // Ctrl+C
        {Qt::Key_V, Qt::ControlModifier, "", 22}, {Qt::Key_X, Qt::ControlModifier, "\x18", 24},
        {Qt::Key_Return, Qt::NoModifier, "\r", 13}, {Qt::Key_Return, Qt::ControlModifier, "", 10},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 8}, {Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
        {0x1EC, Qt::NoModifier, "ě", 0x11B},  // a Czech letter arrives as its code point
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", -1},  // no character for Delete
    };
    A->DlgCode = DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTCHARS | DLGC_WANTARROWS;
    A->SetFocus();
    ProcessEvents();
    for (const Case& c : cases) {
        Take();
        Key(c.key, c.mods, c.text);
        std::string chars;
        for (auto& s : Log)
            if (s.rfind("A:char ", 0) == 0) chars = s.substr(7);
        EXPECT_EQ(chars, c.expectedChar < 0 ? std::string() : std::to_string(c.expectedChar)) << "key " << c.key;
    }
}

TEST_F(ControlsTest, CharQueuedBeforeKeyDownRunsAndCanBeRemoved) {
    A->SetFocus();
    ProcessEvents();
    // The key-down handler posts its own message and removes the pending character.
    A->OnKeyDown = [&](TObject*, WORD& key, TShiftState) {
        if (key == 'Q') {
            TMsg m;
            EXPECT_TRUE(PeekMessage(m, A->WindowHandle(), WM_CHAR, WM_CHAR, PM_REMOVE));
            EXPECT_EQ(m.wParam, WPARAM('q'));
        }
        PostMessage(A->WindowHandle(), WM_USER + 1);
    };
    Take();
    Key(Qt::Key_Q, Qt::NoModifier, "q");
    EXPECT_EQ(Take(), (Strings{"A:keydown 81", "A:user1", "A:keyup 81"}));
    Key(Qt::Key_W, Qt::NoModifier, "w");
    // The character precedes what the handler posted.
    EXPECT_EQ(Take(), (Strings{"A:keydown 87", "A:char 119", "A:keypress 119", "A:user1", "A:keyup 87"}));
}

TEST_F(ControlsTest, FocusMovesWithTheOtherWindowKnown) {
    A->SetFocus();
    ProcessEvents();
    Take();
    B->SetFocus();
    ProcessEvents();
    // The form runs the exit/enter chain before B's own WM_SETFOCUS handling.
    EXPECT_EQ(Take(), (Strings{"A:killfocus<B>", "A:exit", "B:enter", "B:setfocus<A>"}));
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Form->GetActiveControl(), B);
    EXPECT_EQ(Screen->ActiveControl(), B);
}

TEST_F(ControlsTest, TabMovesFocusUnlessTheControlWantsIt) {
    A->SetFocus();
    ProcessEvents();
    Take();
    Key(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(B->Focused());
    Key(Qt::Key_Backtab, Qt::ShiftModifier, "\t");
    EXPECT_TRUE(A->Focused());
    A->DlgCode = DLGC_WANTTAB;
    Take();
    Key(Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(Take(), (Strings{"A:keydown 9", "A:char 9", "A:keypress 9", "A:keyup 9"}));
}

TEST_F(ControlsTest, ExceptionFromExitStopsTheChainAndIsReportedOnce) {
    A->SetFocus();
    ProcessEvents();
    A->OnExit = [](TObject*) { throw EConvertError("Invalid input value"); };
    const int before = Application->ExceptionCount();
    B->SetFocus();
    ProcessEvents();
    EXPECT_EQ(Application->ExceptionCount(), before + 1);
    ASSERT_FALSE(Answers->Texts().empty());
    EXPECT_EQ(Answers->Texts().back(), "Invalid input value.");
    A->OnExit = nullptr;
}

TEST_F(ControlsTest, CaptureDuringPressRoutesTheMouseToTheHolder) {
    A->SetFocus();
    ProcessEvents();
    Take();
    MouseDown(A, {5, 5});
    EXPECT_EQ(GetCapture(), A->WindowHandle());
    // The move arrives at B's window, but A holds the capture: A sees it in its coordinates.
    std::vector<std::string> moves;
    A->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        moves.push_back("A " + std::to_string(x) + "," + std::to_string(y));
    };
    B->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
        moves.push_back("B " + std::to_string(x) + "," + std::to_string(y));
    };
    MouseMove(B, {1, 2}, Qt::LeftButton);
    EXPECT_EQ(moves, (Strings{"A 111,2"}));
    MouseUp(B, {1, 2});
    EXPECT_EQ(GetCapture(), nullptr);
    auto log = Take();
    EXPECT_EQ(log.back(), "A:mouseup 0");
    EXPECT_NE(std::find(log.begin(), log.end(), "A:capturechanged"), log.end());
}

TEST_F(ControlsTest, ReleasingCaptureInThePressSwallowsTheRestOfIt) {
    A->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { ReleaseCapture(); };
    Take();
    MouseDown(A, {5, 5});
    MouseMove(A, {6, 6}, Qt::LeftButton);
    MouseUp(A, {6, 6});
    const auto log = Take();
    EXPECT_EQ(std::count(log.begin(), log.end(), "A:mouseup 0"), 0);
    // The next press is ordinary again.
    A->OnMouseDown = nullptr;
    Click(A, {5, 5});
    EXPECT_EQ(Take(), (Strings{"A:mousedown 0 5,5", "A:capturechanged", "A:click", "A:mouseup 0"}));
}

TEST_F(ControlsTest, CancelModeGoesToTheCaptureHolderWhenABoxOpens) {
    MouseDown(A, {5, 5});
    Take();
    Application->MessageBox("x", "y", MB_OK);
    auto log = Take();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "A:cancelmode");
    EXPECT_EQ(GetCapture(), nullptr);
    MouseUp(A, {5, 5});
}

TEST_F(ControlsTest, ExceptionFromClickReachesHandleExceptionOnceAndTheLoopGoesOn) {
    A->OnClick = [](TObject*) { throw Exception("boom"); };
    const int before = Application->ExceptionCount();
    Click(A, {5, 5});
    ProcessEvents();
    EXPECT_EQ(Application->ExceptionCount(), before + 1);
    A->OnClick = nullptr;
    Take();
    Click(A, {5, 5});
    EXPECT_EQ(Take(), (Strings{"A:mousedown 0 5,5", "A:capturechanged", "A:click", "A:mouseup 0"}));
}

TEST_F(ControlsTest, ThrowingPaintIsReportedOnce) {
    A->OnPaintHook = [] { throw Exception("paint"); };
    const int before = Application->ExceptionCount();
    for (int i = 0; i < 3; ++i) {
        A->Repaint();
        ProcessEvents();
    }
    EXPECT_EQ(Application->ExceptionCount(), before + 1);
    // Once it paints again, a new fault is news.
    A->OnPaintHook = nullptr;
    A->Repaint();
    ProcessEvents();
    A->OnPaintHook = [] { throw Exception("paint again"); };
    A->Repaint();
    ProcessEvents();
    EXPECT_EQ(Application->ExceptionCount(), before + 2);
    A->OnPaintHook = nullptr;
}

TEST_F(ControlsTest, WindowTimersByControlAndId) {
    TFakeClock clock;
    SetTimer(A->WindowHandle(), 7, 5);
    SetTimer(A->WindowHandle(), 7, 5);  // restart, not a second timer
    int callbacks = 0;
    SetTimer(B->WindowHandle(), 1, 5, [&](HWND w, UINT msg, uintptr_t id, DWORD) {
        EXPECT_EQ(w, B->WindowHandle());
        EXPECT_EQ(msg, UINT(WM_TIMER));
        EXPECT_EQ(id, 1u);
        ++callbacks;
        KillTimer(w, id);
    });
    EXPECT_TRUE(TimerRunning(A->WindowHandle(), 7));
    Take();
    formstest::WaitUntil([&] { return !Log.empty() && callbacks != 0; });
    KillTimer(A->WindowHandle(), 7);
    EXPECT_FALSE(TimerRunning(A->WindowHandle(), 7));
    EXPECT_FALSE(TimerRunning(B->WindowHandle(), 1));
    EXPECT_EQ(callbacks, 1);
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.front(), "A:timer 7");
}

TEST_F(ControlsTest, PostedMessagesInOrderAndDroppedForDestroyedWindows) {
    auto* c = Make("C", 10, 100);
    ProcessEvents();
    PostMessage(A->WindowHandle(), WM_USER + 1);
    PostMessage(c->WindowHandle(), WM_USER + 1);
    PostMessage(B->WindowHandle(), WM_USER + 1);
    delete c;
    Take();
    ProcessEvents();
    EXPECT_EQ(Take(), (Strings{"A:user1", "B:user1"}));
}

TEST_F(ControlsTest, ScrollBarVisibilityFollowsWindowsRule) {
    struct Case {
        int min, max;
        UINT page;
        bool shown;
    };
    const Case cases[] = {
        {0, 0, 0, false},  // empty range
        {0, 100, 0, true},  // no page: any range shows
        {0, 99, 100, false},  // a page covers the whole range
        {0, 100, 100, true},  // one more line than the page
        {5, 5, 1, false},
        {0, 10, 5, true},
    };
    for (const Case& c : cases) {
        TScrollInfo si;
        si.fMask = SIF_RANGE | SIF_PAGE;
        si.nMin = c.min;
        si.nMax = c.max;
        si.nPage = c.page;
        A->SetScrollInfo(SB_VERT, si, true);
        EXPECT_EQ((A->GetWindowStyle() & WS_VSCROLL) != 0, c.shown) << c.min << ".." << c.max << " page " << c.page;
        EXPECT_EQ(A->GetClientWidth(), c.shown ? 100 - GetSystemMetrics(SM_CXVSCROLL) : 100);
    }
}

TEST_F(ControlsTest, ShowingABarResizesTheClientAtOnce) {
    Take();
    TScrollInfo si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 500;
    si.nPage = 80;
    A->SetScrollInfo(SB_VERT, si, true);
    // WM_SIZE was delivered synchronously, before SetScrollInfo returned.
    EXPECT_EQ(Take(), (Strings{"A:size 83x80"}));
    si.nMax = 10;
    A->SetScrollInfo(SB_VERT, si, true);
    EXPECT_EQ(Take(), (Strings{"A:size 100x80"}));
}

TEST_F(ControlsTest, ScrollBarActionsArriveAsScrollCodes) {
    TScrollInfo si;
    si.fMask = SIF_ALL;
    si.nMax = 500;
    si.nPage = 80;
    si.nPos = 10;
    A->SetScrollInfo(SB_VERT, si, true);
    auto* bar = static_cast<QAbstractSlider*>(static_cast<QWidget*>(A->ScrollBarWidget(SB_VERT)));
    ASSERT_NE(bar, nullptr);
    Take();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Take(), (Strings{"A:vscroll 1", "A:vscroll 2", "A:vscroll 7"}));
    // Nobody answered with SetScrollInfo: the bar stays where the control has it.
    EXPECT_EQ(bar->value(), 10);
}

TEST_F(ControlsTest, NonClientEdgeShrinksTheClient) {
    A->SetWindowExStyle(WS_EX_CLIENTEDGE);
    EXPECT_EQ(A->GetClientRect(), Rect(0, 0, 96, 76));
    EXPECT_EQ(A->ClientRectInWindow(), Rect(2, 2, 98, 78));
    const QImage img = Grab(A);
    // The sunken edge: shadow on the outer top-left, highlight on the outer bottom-right.
    EXPECT_EQ(QColor(img.pixel(0, 0)), ToQColor(clBtnShadow));
    EXPECT_EQ(QColor(img.pixel(99, 79)), ToQColor(clBtnHighlight));
    EXPECT_EQ(QColor(img.pixel(50, 40)), QColor(Qt::white));
}

TEST_F(ControlsTest, ScrollWindowExMovesPixelsAndExposesTheStrip) {
    A->Fill = clWhite;
    A->Repaint();
    ProcessEvents();
    int paints = 0;
    TRect painted;
    A->OnPaintHook = [&] {
        ++paints;
        GetClipBox(A->Canvas(), painted);
    };
    ScrollWindowEx(A->WindowHandle(), 0, -10, nullptr, nullptr);
    ProcessEvents();
    EXPECT_GE(paints, 1);
    EXPECT_EQ(painted, Rect(0, 70, 100, 80));
    A->OnPaintHook = nullptr;
}

TEST_F(ControlsTest, VisibleIsKeptApartFromTheWindowShown) {
    ShowWindow(A->WindowHandle(), SW_HIDE);
    EXPECT_TRUE(A->GetVisible());
    EXPECT_FALSE(IsWindowVisible(A->WindowHandle()));
    ShowWindow(A->WindowHandle(), SW_SHOW);
    A->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(A->WindowHandle()));
    A->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(A->WindowHandle()));
}

TEST_F(ControlsTest, RecreateWndKeepsTheWidgetsAndRunsCreateWndAgain) {
    HWND before = A->WindowHandle();
    A->SetScrollInfo(SB_VERT, TScrollInfo{SIF_RANGE, 0, 1000, 0, 0, 0}, true);
    A->RecreateWnd();
    EXPECT_TRUE(A->HandleAllocated());
    EXPECT_EQ(A->WindowHandle(), before);
    // CreateParams decides the bars again.
    EXPECT_EQ(A->GetWindowStyle() & WS_VSCROLL, 0u);
}

TEST_F(ControlsTest, ParentDestroyedFirstDetachesChildWindows) {
    auto* panel = new TCustomControl(nullptr);
    panel->SetBounds(0, 100, 200, 90);
    panel->SetParent(Form);
    auto* child = new TProbe(Form, &Log, "child");  // owned by the form, parented by the panel
    child->SetBounds(1, 1, 20, 20);
    child->SetParent(panel);
    ProcessEvents();
    ASSERT_TRUE(child->HandleAllocated());
    delete panel;
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_FALSE(child->HandleAllocated());
    ASSERT_NE(child->OuterWidget(), nullptr);  // still ours, not deleted by Qt
    EXPECT_EQ(child->OuterWidget()->parentWidget(), nullptr);
    delete child;
}

TEST_F(ControlsTest, WheelGoesToTheControlUnderTheMouse) {
    B->SetFocus();
    ProcessEvents();
    int delta = 0, focused = 0;
    A->OnMouseWheel = [&](TObject*, TShiftState, int d, TPoint, bool& handled) {
        delta += d;
        handled = true;
    };
    B->OnMouseWheel = [&](TObject*, TShiftState, int d, TPoint, bool& handled) {
        focused += d;
        handled = true;
    };
    Wheel(A, {5, 5}, -120);
    Wheel(A, {5, 5}, -60);  // half a notch waits for the other half
    EXPECT_EQ(delta, -120);
    Wheel(A, {5, 5}, -60);
    EXPECT_EQ(delta, -240);
    EXPECT_EQ(focused, 0);
}

TEST_F(ControlsTest, GraphicControlGetsItsOwnMouseAndPaint) {
    struct TDot : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        int Downs = 0;
        void Paint() override {
            Canvas()->Brush()->SetColor(clRed);
            Canvas()->FillRect(GetClientRect());
        }
        void MouseDown(TMouseButton, TShiftState, int x, int y) override {
            ++Downs;
            Pos = {x, y};
        }
        TPoint Pos;
    };
    auto* dot = new TDot(Form);
    dot->SetBounds(20, 20, 10, 10);
    dot->SetParent(A);
    A->Repaint();
    ProcessEvents();
    const QImage img = Grab(A);
    EXPECT_EQ(QColor(img.pixel(25, 25)), QColor(Qt::red));
    EXPECT_EQ(QColor(img.pixel(31, 25)), QColor(Qt::white));
    Click(A, {22, 23});
    EXPECT_EQ(dot->Downs, 1);
    EXPECT_EQ(dot->Pos, (TPoint{2, 3}));
}

TEST_F(ControlsTest, ClassLibraryDragManager) {
    std::vector<std::string> events;
    A->SetDragMode(dmAutomatic);
    B->OnDragOver = [&](TObject*, TObject* src, int, int, TDragState st, bool& accept) {
        events.push_back("over " + std::to_string(int(st)));
        accept = src == A;
    };
    B->OnDragDrop = [&](TObject*, TObject* src, int x, int y) {
        events.push_back("drop " + std::to_string(x) + "," + std::to_string(y) + (src == A ? " fromA" : ""));
    };
    A->OnEndDrag = [&](TObject*, TObject* target, int, int) { events.push_back(target == B ? "end onB" : "end none"); };
    MouseDown(A, {5, 5});
    EXPECT_TRUE(A->Dragging());
    MouseMove(A, {7, 7}, Qt::LeftButton);  // within the threshold: nothing yet
    EXPECT_TRUE(events.empty());
    MouseMove(A, {115, 20}, Qt::LeftButton);  // over B
    MouseMove(A, {117, 20}, Qt::LeftButton);
    MouseUp(A, {117, 20});
    EXPECT_EQ(events, (Strings{"over 0", "over 2", "drop 7,20 fromA", "end onB"}));
    EXPECT_FALSE(A->Dragging());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ControlsTest, EscapeCancelsADragAndStillReachesTheSource) {
    A->SetFocus();
    ProcessEvents();
    std::vector<std::string> events;
    A->OnEndDrag = [&](TObject*, TObject* target, int, int) { events.push_back(target ? "end target" : "end none"); };
    A->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_KEYDOWN) events.push_back("wndproc keydown " + std::to_string(m.WParam));
        A->WndProc(m);
    };
    A->BeginDrag(true);
    Key(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(events.front(), "wndproc keydown 27");
    EXPECT_EQ(events[1], "end none");
    EXPECT_FALSE(A->Dragging());
    A->WindowProc = nullptr;
}

TEST(ShortCutTest, EncodingRoundTrips) {
    struct Case {
        WORD key;
        TShiftState shift;
        TShortCut sc;
    };
    const Case cases[] = {
        {VK_RETURN, {ssCtrl}, 0x400D},
        {'A', {ssShift, ssCtrl}, 0x6041},
        {VK_F2, {}, 0x71},
        {VK_DELETE, {ssAlt}, 0x802E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCut(c.key, c.shift), c.sc);
        WORD key;
        TShiftState shift;
        ShortCutToKey(c.sc, key, shift);
        EXPECT_EQ(key, c.key);
        EXPECT_EQ(shift, c.shift);
    }
    EXPECT_EQ(TShiftState{ssShift}.Mask(), 1u);
    EXPECT_EQ(TShiftState{ssDouble}.Mask(), 64u);
}

}  // namespace

TEST_F(ControlsTest, CanResizeAdjustsOrRefusesANewSize) {
    int asked = 0;
    bool allow = true;
    A->OnCanResize = [&](TObject*, int& w, int& h, bool& resize) {
        ++asked;
        if (allow) {
            w = std::min(w, 150);
            h = std::max(h, 40);
        } else {
            resize = false;
        }
    };
    A->SetBounds(5, 6, 400, 20);
    EXPECT_EQ(A->GetBoundsRect(), Rect(5, 6, 155, 46));
    allow = false;
    A->SetBounds(0, 0, 90, 90);  // refused as a whole: it does not move either
    EXPECT_EQ(A->GetBoundsRect(), Rect(5, 6, 155, 46));
    A->SetBounds(20, 30, 150, 40);  // a move alone asks nothing
    EXPECT_EQ(A->GetBoundsRect(), Rect(20, 30, 170, 70));
    EXPECT_EQ(asked, 2);
}
