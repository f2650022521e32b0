// The window layer's input details: clicks after double clicks, non-activating popups, the
// caret, non-client sizing, input-method text, named resources, destruction and mouse
// enter/leave of graphic controls. Offscreen platform.
#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QInputMethodEvent>
#include <QtGui/QStyleHints>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/GraphicsPrivate.h"
#include "platform/gui/Application.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Forms.h"
#include "platform/gui/ResourcesPrivate.h"
#include "platform/gui/TestKit.h"
#include "platform/gui/WidgetControl.h"

using namespace TestKit;

namespace {

using TLog = std::vector<std::string>;

// The entries whose message is one of words.
TLog Only(const TLog& log, std::initializer_list<std::string> words) {
    TLog out;
    for (const std::string& e : log) {
        const std::string what = e.substr(e.find(':') + 1);
        for (const std::string& w : words)
            if (what == w) out.push_back(e);
    }
    return out;
}

// Writes the mouse, focus and lifetime messages it hears into a shared log.
class TListener : public TCustomControl {
public:
    TListener(TComponent* owner, TLog* log, std::string tag) : TCustomControl(owner), Log(log), Tag(std::move(tag)) {
        SetTabStop(true);
    }
    TLog* Log;
    std::string Tag;
    std::function<void()> OnDouble;
    bool RefuseIme = false;
    int Hit = 0;  // answer of WM_NCHITTEST everywhere; 0 = the usual
    TPoint MinTrack{60, 40};

    void Note(const std::string& s) {
        if (Log) Log->push_back(Tag + ":" + s);
    }
    void Dispatch(TMessage& m) override {
        switch (m.Msg) {
        case WM_LBUTTONDOWN: Note("down"); break;
        case WM_LBUTTONUP: Note("up"); break;
        case WM_LBUTTONDBLCLK: Note("dblclk"); break;
        case WM_SETFOCUS: Note("setfocus"); break;
        case WM_KILLFOCUS: Note("killfocus"); break;
        case WM_DESTROY: Note("destroy"); break;
        case WM_CHAR: Note("char " + std::to_string(m.WParam)); break;
        case WM_IME_STARTCOMPOSITION: Note("imestart"); break;
        case WM_IME_ENDCOMPOSITION: Note("imeend"); break;
        case WM_IME_COMPOSITION:
            Note("ime " + std::to_string(m.LParam) + " [" + ImmGetCompositionString(WindowHandle(), GCS_COMPSTR) + "|" +
                ImmGetCompositionString(WindowHandle(), GCS_RESULTSTR) + "]");
            if (RefuseIme) return;  // dropped: the committed text goes no further
            break;
        case WM_NCHITTEST:
            if (Hit) {
                m.Result = Hit;
                return;
            }
            break;
        case WM_NCLBUTTONDOWN: Note("nclbuttondown " + std::to_string(m.WParam)); break;
        case WM_ENTERSIZEMOVE: Note("entersizemove"); break;
        case WM_EXITSIZEMOVE: Note("exitsizemove"); break;
        case WM_GETMINMAXINFO: TWMGetMinMaxInfo(m).MinMaxInfo().ptMinTrackSize = MinTrack; return;
        default: break;
        }
        TCustomControl::Dispatch(m);
    }

protected:
    void Click() override {
        Note("click");
        TCustomControl::Click();
    }
    void DblClick() override {
        Note("dblclick");
        TCustomControl::DblClick();
        if (OnDouble) OnDouble();
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->FillRect(GetClientRect());
    }
};

class WindowCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        Answers = std::make_unique<TModalAnswerer>();
        Form = new TForm(nullptr);
        Form->SetBounds(40, 40, 320, 200);
        A = Make(Form, "A", 10, 10);
        B = Make(Form, "B", 140, 10);
        ShowAndActivate(Form);
        Log.clear();
    }
    void TearDown() override {
        delete Form;
        ProcessEvents();
        Answers.reset();
    }
    TListener* Make(TWinControl* parent, const std::string& name, int x, int y) {
        auto* l = new TListener(parent, &Log, name);
        l->SetName(name);
        l->SetBounds(x, y, 100, 80);
        l->SetParent(parent);
        return l;
    }
    // The window system's double click: two presses in quick succession, which Qt pairs; long
    // after any earlier press, so that nothing before pairs with the first.
    void SystemDoubleClick(TControl* c, TPoint p) {
        Clock.Advance(5000);
        SystemClick(c, p);
        SystemClick(c, p);
    }
    // Message times far from those of other tests, whose last presses Qt remembers.
    static DWORD Epoch() {
        static DWORD next = 50'000'000;
        return next += 1'000'000;
    }
    TFakeClock Clock{Epoch()};
    std::unique_ptr<TModalAnswerer> Answers;
    TForm* Form = nullptr;
    TListener* A = nullptr;
    TListener* B = nullptr;
    TLog Log;
};

// --- a click right after a double click -------------------------------------------------------

TEST_F(WindowCoreTest, DoubleClickDeliversWindowsOrder) {
    SystemDoubleClick(A, {20, 20});
    ProcessEvents();
    EXPECT_EQ(Only(Log, {"down", "up", "click", "dblclk", "dblclick"}),
        (TLog{"A:down", "A:up", "A:click", "A:dblclk", "A:dblclick", "A:up"}));
}

TEST_F(WindowCoreTest, ClickRightAfterDoubleClickIsAPlainClick) {
    struct TCase {
        const char* name;
        bool other;
    };
    for (TCase t : {TCase{"another control", true}, TCase{"the same control", false}}) {
        SCOPED_TRACE(t.name);
        SystemDoubleClick(A, {20, 20});
        Log.clear();
        TListener* target = t.other ? B : A;
        SystemClick(target, {20, 20});
        ProcessEvents();
        const std::string tag = target->Tag;
        EXPECT_EQ(Only(Log, {"down", "up", "click", "dblclk", "dblclick"}),
            (TLog{tag + ":down", tag + ":up", tag + ":click"}));
        Log.clear();
    }
}

TEST_F(WindowCoreTest, QuickClicksOnNeighbouringWindowsAreNoDoubleClick) {
    // Qt pairs two quick presses a few pixels apart; Windows does not when they are on two
    // windows: the second is the neighbour's own first click.
    TListener* right = Make(Form, "N", 110, 10);
    ProcessEvents();
    Clock.Advance(5000);
    SystemClick(A, {98, 20});
    Log.clear();
    SystemClick(right, {1, 20});
    ProcessEvents();
    EXPECT_EQ(Only(Log, {"down", "up", "click", "dblclk", "dblclick"}), (TLog{"N:down", "N:up", "N:click"}));
}

TEST_F(WindowCoreTest, ClickInFormOpenedByDoubleClickReachesItsControl) {
    // A double click opens a modal form while the button is still down; the release goes to
    // the window the modal form now blocks. The first click in the new form must still count.
    auto* dialog = new TForm(nullptr);
    dialog->SetBounds(100, 100, 200, 120);
    TListener* ok = Make(dialog, "OK", 20, 20);
    A->OnDouble = [&] {
        SetShowModalHook([&](TCustomForm*) {
            QTimer::singleShot(0, [&] {
                SystemMouseUp(A, {20, 20});  // blocked by the modal form
                SystemClick(ok, {10, 10});
                dialog->SetModalResult(mrOk);
            });
        });
        dialog->ShowModal();
        SetShowModalHook(nullptr);
    };
    SystemClick(A, {20, 20});
    SystemMouseDown(A, {20, 20});
    ProcessEvents();
    const auto clicks = std::count(Log.begin(), Log.end(), std::string("OK:click"));
    EXPECT_EQ(clicks, 1);
    EXPECT_NE(std::find(Log.begin(), Log.end(), "OK:down"), Log.end());
    delete dialog;
}


// --- pop-ups that never take the activation ----------------------------------------------------

class TDropDown : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void CreateParams(TCreateParams& params) override {
        TCustomControl::CreateParams(params);
        params.Style = WS_POPUP | WS_BORDER;
        params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
    void Paint() override {
        Canvas()->Brush()->SetColor(clWindow);
        Canvas()->FillRect(GetClientRect());
    }
};

TEST_F(WindowCoreTest, NonActivatingPopupLeavesActivationAndFocusAlone) {
    A->SetFocus();
    ProcessEvents();
    ASSERT_TRUE(A->Focused());
    Log.clear();
    auto* popup = new TDropDown(Form);
    popup->SetVisible(false);
    popup->SetParentWindow(Form->GetHandle());
    popup->SetBounds(100, 300, 120, 80);
    popup->SetVisible(true);
    ProcessEvents();
    ASSERT_TRUE(popup->HandleAllocated());
    EXPECT_TRUE(popup->OuterWidget()->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), Form->OuterWidget());
    EXPECT_TRUE(A->Focused());
    // A click into it does not take the activation either.
    SystemClick(popup, {10, 10});
    ProcessEvents();
    EXPECT_EQ(QApplication::activeWindow(), Form->OuterWidget());
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(Log, TLog{});  // no focus message reached A
}

// --- caret -------------------------------------------------------------------------------------

TEST_F(WindowCoreTest, CaretInvertsThePixelsBelowItAndBlinks) {
    HWND h = A->GetHandle();
    ASSERT_TRUE(CreateCaret(h, 2, 10));
    ASSERT_TRUE(SetCaretPos(5, 6));
    auto lit = [&](int x, int y) { return QColor(Grab(A).pixel(x, y)) == QColor(Qt::black); };
    EXPECT_FALSE(lit(5, 6)) << "created hidden";
    ShowCaret(h);
    EXPECT_TRUE(lit(5, 6));
    EXPECT_TRUE(lit(6, 15));
    EXPECT_FALSE(lit(7, 6));
    EXPECT_FALSE(lit(5, 16));
    TPoint p;
    ASSERT_TRUE(GetCaretPos(p));
    EXPECT_EQ(p, (TPoint{5, 6}));

    // It blinks at the system's rate: one phase is half the cursor flash time.
    ASSERT_EQ(GetCaretBlinkTime(), UINT(QGuiApplication::styleHints()->cursorFlashTime() / 2));
    ASSERT_GT(GetCaretBlinkTime(), 0u);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < qint64(GetCaretBlinkTime()) + 150) ProcessEvents();
    EXPECT_FALSE(lit(5, 6)) << "dark phase";

    // Moving it shows it at once, at the new place.
    SetCaretPos(30, 20);
    EXPECT_TRUE(lit(30, 20));
    EXPECT_FALSE(lit(5, 6));
    HideCaret(h);
    EXPECT_FALSE(lit(30, 20));
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(GetCaretPos(p));
}

// --- user resize from non-client hit codes -------------------------------------------------------

TEST_F(WindowCoreTest, EdgeAndCornerHitCodesResizeWithinTheMinimumTrackingSize) {
    struct TCase {
        int hit;
        TPoint move;
        TRect bounds;
    };
    // A sits at (10, 10, 110, 90); the press is at its client point (50, 40), form point (60, 50).
    const TCase cases[] = {
        {HTBOTTOMRIGHT, {30, 20}, {10, 10, 140, 110}},
        {HTRIGHT, {30, 20}, {10, 10, 140, 90}},
        {HTBOTTOM, {30, 20}, {10, 10, 110, 110}},
        {HTLEFT, {-5, 0}, {5, 10, 110, 90}},
        {HTTOPLEFT, {5, 5}, {15, 15, 110, 90}},
        {HTTOPRIGHT, {10, -5}, {10, 5, 120, 90}},
        {HTBOTTOMLEFT, {-10, 10}, {0, 10, 110, 100}},
        {HTTOP, {0, 8}, {10, 18, 110, 90}},
        // Past the minimum: the moving edge stops, the other stays.
        {HTBOTTOMRIGHT, {-90, -90}, {10, 10, 70, 50}},
        {HTTOPLEFT, {90, 90}, {50, 50, 110, 90}},
    };
    for (const TCase& t : cases) {
        SCOPED_TRACE(testing::Message() << "hit " << t.hit << " by " << t.move.X << "," << t.move.Y);
        A->SetBounds(10, 10, 100, 80);
        A->Hit = t.hit;
        Log.clear();
        MouseDown(A, {50, 40});
        MouseMove(Form, {60 + t.move.X / 2, 50 + t.move.Y / 2}, Qt::LeftButton);
        MouseMove(Form, {60 + t.move.X, 50 + t.move.Y}, Qt::LeftButton);
        MouseUp(Form, {60 + t.move.X, 50 + t.move.Y});
        ProcessEvents();
        EXPECT_EQ(A->GetBoundsRect(), t.bounds);
        EXPECT_EQ(Log, (TLog{"A:nclbuttondown " + std::to_string(t.hit), "A:entersizemove", "A:exitsizemove"}));
        // The resize is over: moves are ordinary moves again.
        const TRect after = A->GetBoundsRect();
        MouseMove(Form, {2, 2});
        EXPECT_EQ(A->GetBoundsRect(), after);
    }
    A->Hit = 0;
}

TEST_F(WindowCoreTest, EscapeAbandonsAResizeInProgress) {
    A->SetBounds(10, 10, 100, 80);
    A->Hit = HTBOTTOMRIGHT;
    Log.clear();
    MouseDown(A, {50, 40});
    MouseMove(Form, {90, 70}, Qt::LeftButton);
    EXPECT_EQ(A->GetBoundsRect(), Rect(10, 10, 140, 110));
    Key(Qt::Key_Escape);
    EXPECT_EQ(A->GetBoundsRect(), Rect(10, 10, 110, 90));
    MouseMove(Form, {100, 80}, Qt::LeftButton);
    MouseUp(Form, {100, 80});
    ProcessEvents();
    EXPECT_EQ(A->GetBoundsRect(), Rect(10, 10, 110, 90));
    EXPECT_EQ(Log, (TLog{"A:nclbuttondown " + std::to_string(HTBOTTOMRIGHT), "A:entersizemove", "A:exitsizemove"}));
    A->Hit = 0;
}

TEST_F(WindowCoreTest, NonClientDoubleClickCarriesTheHitCode) {
    A->Hit = HTBORDER;
    TMessageSpy spy(A);
    DblClick(A, {5, 5});
    ProcessEvents();
    std::vector<std::pair<UINT, WPARAM>> nc;
    for (const TMessage& m : spy.Messages())
        if (m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCMBUTTONDBLCLK) nc.emplace_back(m.Msg, m.WParam);
    EXPECT_EQ(nc,
        (std::vector<std::pair<UINT, WPARAM>>{{WM_NCLBUTTONDOWN, HTBORDER}, {WM_NCLBUTTONUP, HTBORDER},
            {WM_NCLBUTTONDBLCLK, HTBORDER}, {WM_NCLBUTTONUP, HTBORDER}}));
    const TPoint screen = A->ClientToScreen({5, 5});
    EXPECT_EQ(PointFromLParam(spy.Messages().back().LParam), screen);
    A->Hit = 0;
}

// --- the dialog-character message ------------------------------------------------------------------

TEST(DialogChar, HasTheClassLibraryIdAndAKeyView) {
    EXPECT_EQ(CM_DIALOGCHAR, 0xB006u);
    TMessage m{CM_DIALOGCHAR, 'K', KF_ALTDOWN_BIT, 0};
    TCMDialogChar view(m);
    EXPECT_EQ(view.CharCode(), uint32_t('K'));
    EXPECT_TRUE(view.AltDown());
    view.SetResult(1);
    EXPECT_EQ(m.Result, 1);
}

// --- input method ------------------------------------------------------------------------------------

void SendComposition(TWinControl* c, const QString& preedit, const QString& commit) {
    QInputMethodEvent e(preedit, {});
    e.setCommitString(commit);
    QCoreApplication::sendEvent(c->ClientWidget(), &e);
}

TEST_F(WindowCoreTest, InputMethodCompositionBecomesMessagesAndCharacters) {
    A->SetFocus();
    ProcessEvents();
    Log.clear();
    SendComposition(A, "z", "");
    SendComposition(A, "zl", "");
    SendComposition(A, "", QString::fromUtf8("žl"));
    ProcessEvents();
    const std::string comp = std::to_string(GCS_COMPSTR), both = std::to_string(GCS_COMPSTR | GCS_RESULTSTR);
    EXPECT_EQ(Log,
        (TLog{"A:imestart", "A:ime " + comp + " [z|]", "A:ime " + comp + " [zl|]", "A:ime " + both + " [|žl]",
            "A:imeend", "A:char 382", "A:char 108"}));
    EXPECT_EQ(ImmGetCompositionString(A->WindowHandle(), GCS_RESULTSTR), "") << "only while handled";
}

TEST_F(WindowCoreTest, DroppedCompositionTypesNothing) {
    A->SetFocus();
    ProcessEvents();
    A->RefuseIme = true;
    Log.clear();
    SendComposition(A, "", "ab");  // committed at once, no composition window
    ProcessEvents();
    const std::string result = std::to_string(GCS_RESULTSTR);
    EXPECT_EQ(Log, (TLog{"A:ime " + result + " [|ab]"}));
}

// A hosted Qt editor: the composition is shown by the editor, the committed text is typed
// into it through WM_CHAR unless the control drops the composition.
class TLineHost : public TWidgetControl {
public:
    using TWidgetControl::TWidgetControl;
    bool Refuse = false;
    QLineEdit* Line() { return static_cast<QLineEdit*>(Widget()); }

protected:
    QWidget* CreateWidget(QWidget* parent) override { return new QLineEdit(parent); }
    void Dispatch(TMessage& m) override {
        if (m.Msg == WM_IME_COMPOSITION && Refuse) return;
        TWidgetControl::Dispatch(m);
    }
};

TEST_F(WindowCoreTest, CompositionReachesAHostedEditorUnlessDropped) {
    auto* host = new TLineHost(Form);
    host->SetParent(Form);
    host->SetBounds(10, 100, 150, 22);
    host->SetFocus();
    ProcessEvents();
    for (bool refuse : {false, true}) {
        SCOPED_TRACE(refuse ? "dropped" : "passed on");
        host->Refuse = refuse;
        host->Line()->clear();
        QInputMethodEvent preedit("z", {});
        QCoreApplication::sendEvent(host->Line(), &preedit);
        QInputMethodEvent commit("", {});
        commit.setCommitString(QString::fromUtf8("žl"));
        QCoreApplication::sendEvent(host->Line(), &commit);
        ProcessEvents();
        EXPECT_EQ(host->Line()->text().toStdString(), refuse ? "" : "žl");
    }
}

// --- named resources -------------------------------------------------------------------------------

TEST(Resources, GridBitmapsAreDrawnAndDistinct) {
    EnsureApplication();
    struct {
        const char* name;
        int size;
    } cases[] = {
        {"DXGRID_ARROW", 12},
        {"DXGRID_EDIT", 12},
        {"DXGRID_INSERT", 12},
        {"DXGRID_MULTIDOT", 12},
        {"DXGRID_MULTIARROW", 12},
        {"DXGRID_VERSCROLLBITMAP", 28},
        {"DXGRID_HORSCROLLBITMAP", 28},
        {"DXGRID_FULLSCROLLBITMAP", 28},
    };
    std::vector<QImage> seen;
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        TBitmap b;
        b.LoadFromResourceName(c.name);
        EXPECT_EQ(b.GetWidth(), c.size);
        EXPECT_EQ(b.GetHeight(), c.size);
        int dark = 0;
        for (int y = 0; y < b.GetHeight(); ++y)
            for (int x = 0; x < b.GetWidth(); ++x) dark += b.GetPixel(x, y) == clBlack;
        EXPECT_GT(dark, 3);
        EXPECT_LT(dark, c.size * c.size / 2);
        if (c.size == 12) {
            EXPECT_EQ(b.GetPixel(0, c.size - 1), clWhite) << "white is the transparent colour";
        }
        const QImage img = LoadBitmapResource(c.name);
        for (const QImage& other : seen) EXPECT_NE(img, other);
        seen.push_back(img);
    }
    EXPECT_EQ(LoadBitmapResource("dxgrid_arrow"), LoadBitmapResource("DXGRID_ARROW")) << "names ignore case";
}

TEST(Resources, TreeListCursorsHaveAPictureAndAHotSpot) {
    EnsureApplication();
    const char* names[] = {"DXTLDELETECURSOR", "DXTL_FULLSCROLLCURSOR", "DXTL_HORSCROLLCURSOR", "DXTL_VERSCROLLCURSOR",
        "DXTL_UPSCROLLCURSOR", "DXTL_RIGHTSCROLLCURSOR", "DXTL_DOWNSCROLLCURSOR", "DXTL_LEFTSCROLLCURSOR",
        "DXTL_DRAGCOPY", "DXTL_MULTIDRAGCOPY"};
    std::vector<QImage> seen;
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const TCursorImage c = LoadCursorImage(name);
        EXPECT_EQ(c.Image.size(), QSize(32, 32));
        EXPECT_TRUE(QRect(0, 0, 32, 32).contains(c.HotSpot.X, c.HotSpot.Y));
        EXPECT_EQ(qAlpha(c.Image.pixel(31, 0)), 0) << "transparent around the shape";
        for (const QImage& other : seen) EXPECT_NE(c.Image, other);
        seen.push_back(c.Image);
        const QCursor cursor = LoadCursorResource(name);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.hotSpot(), QPoint(c.HotSpot.X, c.HotSpot.Y));
    }
}

TEST(Resources, ModulesAddTheirOwnAndUnknownNamesAreAnError) {
    EnsureApplication();
    // As a module registers one: a bitmap it draws.
    RegisterBitmapResource("TEST_SQUARE", [] {
        auto img = std::make_unique<TBitmap>(3, 2);
        img->Canvas()->Brush()->SetColor(clRed);
        img->Canvas()->FillRect(Rect(0, 0, 3, 2));
        return img;
    });
    TBitmap b;
    b.LoadFromResourceName("test_square");
    EXPECT_EQ(b.GetWidth(), 3);
    EXPECT_EQ(b.GetPixel(2, 1), clRed);
    EXPECT_THROW(b.LoadFromResourceName("NO_SUCH_BITMAP"), EResNotFound);
    EXPECT_THROW(LoadCursorImage("NO_SUCH_CURSOR"), EResNotFound);
    try {
        LoadBitmapResource("NO_SUCH_BITMAP");
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_NE(std::string(e.what()).find("NO_SUCH_BITMAP"), std::string::npos);
    }
}

// --- system metrics ----------------------------------------------------------------------------------

TEST(SystemMetrics, FixedClassicValues) {
    EnsureApplication();
    struct {
        int index, value;
    } cases[] = {
        {SM_CXVSCROLL, 17},
        {SM_CYHSCROLL, 17},
        {SM_CXHSCROLL, 17},
        {SM_CYVSCROLL, 17},
        {SM_CXBORDER, 1},
        {SM_CYBORDER, 1},
        {SM_CXEDGE, 2},
        {SM_CYEDGE, 2},
        {SM_CXDLGFRAME, 3},
        {SM_CYDLGFRAME, 3},
        {SM_CXDOUBLECLK, 4},
        {SM_CYDOUBLECLK, 4},
        {SM_CXDRAG, 4},
        {SM_CYDRAG, 4},
        {SM_CXICON, 32},
        {SM_CXSMICON, 16},
    };
    for (auto c : cases) EXPECT_EQ(GetSystemMetrics(c.index), c.value) << "index " << c.index;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Screen->Height());
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}

// --- WM_DESTROY through the tree ----------------------------------------------------------------------

TEST_F(WindowCoreTest, DestroyReachesEveryChildWindowOnceParentFirst) {
    TListener* child = Make(A, "C", 5, 5);
    TListener* grandchild = Make(child, "G", 2, 2);
    (void)grandchild;
    ProcessEvents();
    ASSERT_TRUE(grandchild->HandleAllocated());
    Log.clear();
    A->DestroyHandle();
    EXPECT_EQ(Only(Log, {"destroy"}), (TLog{"A:destroy", "C:destroy", "G:destroy"}));
    Log.clear();
    delete A;  // its window is gone already: nothing more
    A = nullptr;
    EXPECT_EQ(Only(Log, {"destroy"}), TLog{});

    TListener* d = Make(B, "D", 5, 5);
    (void)d;
    ProcessEvents();
    Log.clear();
    delete B;  // the window goes with the control
    B = nullptr;
    EXPECT_EQ(Only(Log, {"destroy"}), (TLog{"D:destroy"}))
        << "B's own handler is gone by the time its base destroys the window";
}

// --- mouse enter and leave of graphic controls -----------------------------------------------------------

class TShape_ : public TGraphicControl {
public:
    TShape_(TComponent* owner, TLog* log) : TGraphicControl(owner), Log(log) {}
    TLog* Log;
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_MOUSEENTER) Log->push_back("G:enter");
        if (m.Msg == CM_MOUSELEAVE) Log->push_back("G:leave");
        TGraphicControl::Dispatch(m);
    }
};

TEST_F(WindowCoreTest, GraphicControlHearsEnterAndLeaveFromMovesOverItsParent) {
    auto* g = new TShape_(Form, &Log);
    g->SetBounds(10, 100, 50, 40);
    g->SetParent(Form);
    ProcessEvents();
    Log.clear();
    MouseMove(Form, {5, 95});
    EXPECT_EQ(Log, TLog{});
    MouseMove(Form, {20, 110});
    MouseMove(Form, {30, 120});
    EXPECT_EQ(Log, (TLog{"G:enter"}));
    MouseMove(Form, {80, 110});
    EXPECT_EQ(Log, (TLog{"G:enter", "G:leave"}));
    // Leaving straight into a child window counts as leaving too.
    MouseMove(Form, {20, 110});
    MouseMove(A, {20, 20});
    EXPECT_EQ(Log, (TLog{"G:enter", "G:leave", "G:enter", "G:leave"}));
}

}  // namespace
