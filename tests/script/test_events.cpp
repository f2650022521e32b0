#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "BindingTestSupport.h"
#include "platform/classes/TypInfo.h"

// A host with one published event of every shape the adapters serve; its enumeration and set
// types stand in for the window layer's.
enum TTestButton { tbLeft, tbRight, tbMiddle };
enum TTestShiftFlag { tsShift, tsAlt, tsCtrl };
using TTestShift = TSet<TTestShiftFlag>;
enum TTestCloseAction { tcaNone, tcaHide, tcaFree, tcaMinimize };
KAROMIL_ENUM_TYPE(TTestCloseAction, "tcaNone", "tcaHide", "tcaFree", "tcaMinimize")

using TfsTestMouseEvent = TfsMouseEventOf<TTestButton, TTestShift>;
using TfsTestMouseMoveEvent = TfsMouseMoveEventOf<TTestShift>;
using TfsTestKeyEvent = TfsKeyEventOf<uint16_t, TTestShift>;
using TfsTestKeyPressEvent = TfsKeyPressEventOf<char32_t>;
using TfsTestCloseEvent = TfsCloseEventOf<TTestCloseAction>;

class TEventHost : public TComponent {
    KAROMIL_CLASS(TEventHost, TComponent)
public:
    explicit TEventHost(TComponent* owner = nullptr) : TComponent(owner) {}
    TNotifyEvent OnClick;
    std::function<void(TObject*, TTestButton, TTestShift, int, int)> OnMouseDown;
    std::function<void(TObject*, TTestShift, int, int)> OnMouseMove;
    std::function<void(TObject*, uint16_t&, TTestShift)> OnKeyDown;
    std::function<void(TObject*, char32_t&)> OnKeyPress;
    std::function<void(TObject*, TTestCloseAction&)> OnClose;
    std::function<void(TObject*, bool&)> OnCloseQuery;
    TCanResizeEvent OnCanResize;
};

KAROMIL_IMPLEMENT_CLASS_WITH_PROPS(TEventHost, TComponent, {
    p.Event("OnClick", &Self::OnClick, "TNotifyEvent");
    p.Event("OnMouseDown", &Self::OnMouseDown, "TMouseEvent");
    p.Event("OnMouseMove", &Self::OnMouseMove, "TMouseMoveEvent");
    p.Event("OnKeyDown", &Self::OnKeyDown, "TKeyEvent");
    p.Event("OnKeyPress", &Self::OnKeyPress, "TKeyPressEvent");
    p.Event("OnClose", &Self::OnClose, "TCloseEvent");
    p.Event("OnCloseQuery", &Self::OnCloseQuery, "TCloseQueryEvent");
    p.Event("OnCanResize", &Self::OnCanResize, "TCanResizeEvent");
})

namespace {

// Handlers of every shape; each appends to Log what it received and sets its var arguments
// from the globals NewKey, NewChar, NewAction, NewClose.
const char* const kHandlers = R"(
var Log: String; Who: TObject;
    NewKey: Integer; NewChar: String; NewAction: Integer; NewClose: Boolean;
procedure Click(Sender: TObject);
begin Who := Sender; Log := Log + 'click;' end;
procedure Other(Sender: TObject);
begin Log := Log + 'other;' end;
procedure MouseDown(Sender: TObject; Button, Shift, X, Y: Integer);
begin Log := Log + IntToStr(Button) + ',' + IntToStr(Shift) + ',' + IntToStr(X) + ',' + IntToStr(Y) + ';' end;
procedure MouseMove(Sender: TObject; Shift, X, Y: Integer);
begin Log := Log + IntToStr(Shift) + ',' + IntToStr(X) + ',' + IntToStr(Y) + ';' end;
procedure KeyDown(Sender: TObject; var Key: Integer; Shift: Integer);
begin Log := Log + IntToStr(Key) + ',' + IntToStr(Shift) + ';'; Key := NewKey; FireAgain end;
procedure KeyPress(Sender: TObject; var Key: Char);
begin Log := Log + Key + ';'; Key := NewChar end;
procedure Close(Sender: TObject; var Action: Integer);
begin Log := Log + IntToStr(Action) + ';'; Action := NewAction end;
procedure CloseQuery(Sender: TObject; var CanClose: Boolean);
begin if CanClose then Log := Log + 'can;'; CanClose := NewClose end;
procedure CanResize(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin NewWidth := NewWidth * 2; NewHeight := 7; Resize := False end;
procedure Many(Sender: TObject; A, B: Integer);
begin if (VarType(A) = 1) and (VarType(B) = 1) then Log := Log + 'null;' end;
begin end.
)";

class Events : public BindingSuite {
protected:
    TfsScript Script{nullptr};
    TEventHost* Host = new TEventHost(nullptr);
    int32_t HostHandle = Host->Handle();
    int ListBefore = fsEventList()->Count();
    std::function<void()> FireAgain;  // what the script's FireAgain does

    void SetUp() override {
        Script.Parent = fsGlobalUnit();
        Script.AddMethod("procedure FireAgain", [this](TObject*, TClass, const std::string&, TfsParams&) {
            if (FireAgain) FireAgain();
            return Variant(0);
        });
        Script.GetLines()->SetText(kHandlers);
        ASSERT_TRUE(Script.Compile()) << Script.ErrorMsg << " at " << Script.ErrorPos;
        Script.Execute();
    }
    void TearDown() override { delete TObject::FromHandle(HostHandle); }

    // What a script's "Host.<event> := <value>" does.
    template <class A>
    void Bind(const char* event, const Variant& value, TObject* host = nullptr) {
        TfsEventHelper helper(event, fsEventClass<A>(), TEventHost::StaticClass());
        helper.PrevValue = Variant(fsObjectToVariant(host ? host : Host));
        helper.OwnerScript = &Script;
        helper.SetValue(value);
    }
    std::string Log() { return VarToStr(Script.Find("Log")->Value); }
    void Set(const char* name, const Variant& v) { Script.Find(name)->SetValue(v); }
};

TEST_F(Events, NotifyRunsTheProcedureWithTheSender) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    ASSERT_TRUE(Host->OnClick);
    Host->OnClick(Host);
    EXPECT_EQ(Log(), "click;");
    EXPECT_EQ(Script.Find("Who")->Value.AsInteger(), HostHandle);
}

TEST_F(Events, EventMemberReadsAsEmptyText) {
    TfsEventHelper helper("OnClick", fsEventClass<TfsNotifyEvent>(), TEventHost::StaticClass());
    EXPECT_EQ(VarToStr(helper.GetValue()), "");
    EXPECT_EQ(helper.TypeCode, tcString);
}

TEST_F(Events, NilUnbinds) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    Bind<TfsNotifyEvent>("OnClick", Variant(0));
    EXPECT_FALSE(Host->OnClick);
}

TEST_F(Events, OnlyProceduresCanHandle) {
    const Variant refused[] = {Variant(""), Variant("Log"), Variant("NoSuchName"), Variant("IntToStr")};
    for (const Variant& v : refused) {
        try {
            Bind<TfsNotifyEvent>("OnClick", v);
            ADD_FAILURE() << VarToStr(v);
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Handler události musí být procedura") << VarToStr(v);
        }
    }
    EXPECT_FALSE(Host->OnClick);
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, UnknownEventIsAnError) {
    EXPECT_THROW(Bind<TfsNotifyEvent>("OnNothing", Variant("Click")), EPropertyError);
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, AdapterOfAnotherShapeBindsNothing) {
    EXPECT_THROW(Bind<TfsNotifyEvent>("OnCloseQuery", Variant("Click")), EPropertyError);
    EXPECT_FALSE(Host->OnCloseQuery);
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, MouseArgumentsArriveAsIntegers) {
    Bind<TfsTestMouseEvent>("OnMouseDown", Variant("MouseDown"));
    Bind<TfsTestMouseMoveEvent>("OnMouseMove", Variant("MouseMove"));
    Host->OnMouseDown(Host, tbMiddle, TTestShift{tsShift, tsCtrl}, 10, -3);
    Host->OnMouseMove(Host, TTestShift{tsAlt}, 1, 2);
    EXPECT_EQ(Log(), "2,5,10,-3;2,1,2;");
}

struct KeyCase {
    uint16_t In;
    int NewKey;
    uint16_t Out;
};

TEST_F(Events, KeyComesBack) {
    Bind<TfsTestKeyEvent>("OnKeyDown", Variant("KeyDown"));
    const KeyCase cases[] = {{65, 0, 0}, {13, 13, 13}, {40, 38, 38}};
    for (const KeyCase& c : cases) {
        Set("NewKey", Variant(c.NewKey));
        uint16_t key = c.In;
        Host->OnKeyDown(Host, key, TTestShift{tsCtrl});
        EXPECT_EQ(key, c.Out) << c.In;
    }
    EXPECT_EQ(Log(), "65,4;13,4;40,4;");
}

TEST_F(Events, KeyPressCharacterComesBack) {
    Bind<TfsTestKeyPressEvent>("OnKeyPress", Variant("KeyPress"));
    const struct {
        char32_t In;
        const char* NewChar;
        char32_t Out;
    } cases[] = {{U'a', "A", U'A'}, {U'x', "", U'\0'}, {U'c', "čz", U'č'}};
    for (const auto& c : cases) {
        Set("NewChar", Variant(c.NewChar));
        char32_t key = c.In;
        Host->OnKeyPress(Host, key);
        EXPECT_EQ(uint32_t(key), uint32_t(c.Out)) << c.NewChar;
    }
    EXPECT_EQ(Log(), "a;x;c;");
}

TEST_F(Events, CloseActionComesBackWithinItsRange) {
    Bind<TfsTestCloseEvent>("OnClose", Variant("Close"));
    const struct {
        int NewAction;
        TTestCloseAction Out;
    } cases[] = {{2, tcaFree}, {0, tcaNone}, {9, tcaHide}, {-1, tcaHide}};
    for (const auto& c : cases) {
        Set("NewAction", Variant(c.NewAction));
        TTestCloseAction action = tcaHide;
        Host->OnClose(Host, action);
        EXPECT_EQ(action, c.Out) << c.NewAction;
    }
}

TEST_F(Events, CloseQueryCanKeepTheWindowOpen) {
    Bind<TfsCloseQueryEvent>("OnCloseQuery", Variant("CloseQuery"));
    Set("NewClose", Variant(false));
    bool canClose = true;
    Host->OnCloseQuery(Host, canClose);
    EXPECT_FALSE(canClose);
    EXPECT_EQ(Log(), "can;");
}

TEST_F(Events, CanResizeSizesComeBack) {
    Bind<TfsCanResizeEvent>("OnCanResize", Variant("CanResize"));
    int w = 50, h = 20;
    bool resize = true;
    Host->OnCanResize(Host, w, h, resize);
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 7);
    EXPECT_FALSE(resize);
}

TEST_F(Events, ParametersBeyondTheArgumentsGetNull) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Many"));
    Host->OnClick(Host);
    EXPECT_EQ(Log(), "null;");
}

TEST_F(Events, HandlerIsNotEnteredAgainAndWritesNothingBack) {
    Bind<TfsTestKeyEvent>("OnKeyDown", Variant("KeyDown"));
    Set("NewKey", Variant(0));
    uint16_t inner = 77;
    FireAgain = [&] { Host->OnKeyDown(Host, inner, TTestShift{}); };
    uint16_t outer = 65;
    Host->OnKeyDown(Host, outer, TTestShift{});
    EXPECT_EQ(Log(), "65,0;");  // the inner event ran nothing
    EXPECT_EQ(inner, 77);  // and got nothing of the running handler's Key
    EXPECT_EQ(outer, 0);
}

TEST_F(Events, HandlerExceptionReachesTheHost) {
    FireAgain = [] { throw Exception("fired"); };
    Bind<TfsTestKeyEvent>("OnKeyDown", Variant("KeyDown"));
    uint16_t key = 1;
    EXPECT_THROW(Host->OnKeyDown(Host, key, TTestShift{}), Exception);
    // The handler can run again afterwards.
    FireAgain = nullptr;
    Set("NewKey", Variant(5));
    Host->OnKeyDown(Host, key, TTestShift{});
    EXPECT_EQ(key, 5);
}

TEST_F(Events, RebindingReplacesTheHandler) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    Bind<TfsNotifyEvent>("OnClick", Variant("Other"));
    Host->OnClick(Host);
    EXPECT_EQ(Log(), "other;");
}

TEST_F(Events, ClearingTheScriptUnbindsItsProcedures) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    Bind<TfsNotifyEvent>("OnClick", Variant("Other"));
    Bind<TfsCloseQueryEvent>("OnCloseQuery", Variant("CloseQuery"));
    EXPECT_EQ(fsEventList()->Count(), ListBefore + 3);
    Script.Clear();
    EXPECT_FALSE(Host->OnClick);
    EXPECT_FALSE(Host->OnCloseQuery);
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, DestroyedHostTakesItsAdaptersAlong) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    Bind<TfsCloseQueryEvent>("OnCloseQuery", Variant("CloseQuery"));
    delete Host;
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, FreeObjectEventsUnbindsTheObject) {
    auto* other = new TEventHost(nullptr);
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    Bind<TfsNotifyEvent>("OnClick", Variant("Other"), other);
    fsEventList()->FreeObjectEvents(Host);
    EXPECT_FALSE(Host->OnClick);
    EXPECT_TRUE(other->OnClick);
    EXPECT_EQ(fsEventList()->Count(), ListBefore + 1);
    delete other;
}

TEST_F(Events, ScriptFreeRemovesTheBindingFirst) {
    fsMarkScriptCreated(Host);
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    TfsScript runner(nullptr);
    runner.Parent = fsGlobalUnit();
    runner.AddClass(TEventHost::StaticClass(), "TComponent");
    runner.AddObject("Host", Host);
    runner.GetLines()->SetText("begin Host.Free end.");
    ASSERT_TRUE(runner.Compile()) << runner.ErrorMsg;
    runner.Execute();
    EXPECT_EQ(TObject::FromHandle(HostHandle), nullptr);
    EXPECT_EQ(fsEventList()->Count(), ListBefore);
}

TEST_F(Events, ShutdownUnbindsLiveHosts) {
    Bind<TfsNotifyEvent>("OnClick", Variant("Click"));
    fsFreeEventList();
    EXPECT_FALSE(Host->OnClick);
    EXPECT_EQ(fsEventList()->Count(), 0);
}

}  // namespace

// The whole road: a script assigns a procedure name to an event member registered with AddEvent.
TEST(ScriptEventBinding, AssignmentInScriptBindsAndNilUnbinds) {
    TEventHost host;
    TfsScript script(nullptr);
    script.Parent = fsGlobalUnit();
    TfsClassVariable* cls = script.AddClass(TEventHost::StaticClass(), "TComponent");
    cls->AddEvent("OnClick", fsEventClass<TfsNotifyEvent>());
    script.AddObject("Host", &host);
    script.GetLines()->SetText(R"(
var Clicks: Integer;
procedure Clicked(Sender: TObject);
begin Clicks := Clicks + 1 end;
begin Clicks := 0; Host.OnClick := 'Clicked' end.
)");
    ASSERT_TRUE(script.Compile()) << script.ErrorMsg << " at " << script.ErrorPos;
    script.Execute();
    ASSERT_TRUE(host.OnClick);
    host.OnClick(&host);
    host.OnClick(&host);
    EXPECT_EQ(script.Find("Clicks")->Value.AsInteger(), 2);
    EXPECT_EQ(VarToStr(script.Evaluate("Host.OnClick")), "");  // reads back as empty text
    script.GetLines()->SetText("begin Host.OnClick := nil end.");
    ASSERT_TRUE(script.Compile()) << script.ErrorMsg;
    script.Execute();
    EXPECT_FALSE(host.OnClick);
}
