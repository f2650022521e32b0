// Tests of the window, control and dialog bindings under the offscreen platform.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../BindingTestSupport.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/TestKit.h"
#include "script/gui/DialogBindings.h"
#include "script/gui/FormBindings.h"
#include "script/gui/WindowBindings.h"

namespace {

class FormBindings : public BindingSuite {
public:
    static void SetUpTestSuite() {
        TestKit::EnsureApplication();
        fsUseWindowBindings();
        BindingSuite::SetUpTestSuite();
    }

protected:
    void TearDown() override {
        SetDialogHook(nullptr);
        SetShowModalHook(nullptr);
    }
};

struct Case {
    const char* Name;
    const char* Program;
    const char* Expected;
};

class FormCases : public FormBindings, public ::testing::WithParamInterface<Case> {};

TEST_P(FormCases, RunsAndGives) { EXPECT_EQ(RunPascal(GetParam().Program), GetParam().Expected); }

const Case kCases[] = {
    {"ModalResultsAndKeys",
        "var Out: String; begin Out := IntToStr(mrNone) + ' ' + IntToStr(mrOk) + ' ' + IntToStr(mrYes) + ' ' +\n"
        "  IntToStr(mrNo) + ' ' + IntToStr(mrYesToAll) + ' ' + IntToStr(VK_RETURN) + ' ' + IntToStr(VK_RBUTTON) + ' ' +\n"
        "  IntToStr(VK_NUMPAD5) + ' ' + IntToStr(VK_DIVIDE) + ' ' + IntToStr(VK_F1) + ' ' + IntToStr(VK_F12) + ' ' +\n"
        "  IntToStr(VK_SCROLL) end.",
        "0 1 6 7 10 13 2 101 111 112 123 145"},
    {"CursorsAndBorderStyles",
        "var Out: String; begin Out := IntToStr(crDefault) + ' ' + IntToStr(crIBeam) + ' ' + IntToStr(crSize) + ' ' +\n"
        "  IntToStr(crSizeNESW) + ' ' + IntToStr(crSQLWait) + ' ' + IntToStr(crHandPoint) + ' ' + IntToStr(crSizeAll) +\n"
        "  ' ' + IntToStr(bsNone) + ' ' + IntToStr(bsDialog) + ' ' + IntToStr(bsSizeToolWin) end.",
        "0 -4 -22 -6 -17 -21 -22 0 3 5"},
    {"SetsCountInBitsEnumerationsFromZero",
        "var Out: String; begin Out := IntToStr(ssShift) + ' ' + IntToStr(ssDouble) + ' ' + IntToStr(akBottom) + ' ' +\n"
        "  IntToStr(biHelp) + ' ' + IntToStr(alClient) + ' ' + IntToStr(mbMiddle) + ' ' + IntToStr(caMinimize) + ' ' +\n"
        "  IntToStr(poDesktopCenter) + ' ' + IntToStr(fsStayOnTop) + ' ' + IntToStr(csDropDownList) + ' ' +\n"
        "  IntToStr(lbOwnerDrawVariable) + ' ' + IntToStr(taCenter) + ' ' + IntToStr(ssBoth) end.",
        "1 64 8 8 5 2 3 5 3 2 2 2 3"},
    {"DialogSetsAndEnumerations",
        "var Out: String; begin Out := IntToStr(mbYes) + ' ' + IntToStr(mbOK) + ' ' + IntToStr(mbHelp) + ' ' +\n"
        "  IntToStr(mtConfirmation) + ' ' + IntToStr(ofEnableSizing) + ' ' + IntToStr(cdAnyColor) + ' ' +\n"
        "  IntToStr(fdApplyButton) + ' ' + IntToStr(poDisablePrintToFile) + ' ' + IntToStr(prPageNums) + ' ' +\n"
        "  IntToStr(fsComboBox) + ' ' + IntToStr(fdBoth) end.",
        "1 4 1024 3 524288 16 32768 32 2 1 2"},
    {"ControlGeometryParentAndVisibility",
        "var Out: String; f: TForm; e: TEdit;\n"
        "begin f := TForm.Create(nil); e := TEdit.Create(f); e.Parent := f; e.SetBounds(3, 4, 50, 21);\n"
        "  e.Text := 'abc'; e.Hide; Out := e.Parent.ClassName + ' ' + IntToStr(e.Left) + ',' + IntToStr(e.Top) + ',' +\n"
        "    IntToStr(e.Width) + ',' + IntToStr(e.Height) + ' ' + e.Text;\n"
        "  if not e.Visible then Out := Out + ' hidden'; e.Show; if e.Visible then Out := Out + ' shown';\n"
        "  e.Parent := nil; if e.Parent = nil then Out := Out + ' orphan'; f.Free end.",
        "TForm 3,4,50,21 abc hidden shown orphan"},
    {"ComboAndListBoxSelection",
        "var Out: String; f: TForm; c: TComboBox; l: TListBox;\n"
        "begin f := TForm.Create(nil); c := TComboBox.Create(f); c.Parent := f; c.Items.Add('a'); c.Items.Add('b');\n"
        "  c.ItemIndex := 1; l := TListBox.Create(f); l.Parent := f; l.MultiSelect := True;\n"
        "  l.Items.Add('x'); l.Items.Add('y'); l.Items.Add('z'); l.Selected[0] := True; l.Selected[2] := True;\n"
        "  Out := IntToStr(c.ItemIndex) + ' ' + c.Text + ' ' + IntToStr(l.SelCount);\n"
        "  if l.Selected[2] and not l.Selected[1] then Out := Out + ' 0,2'; l.Selected[0] := False;\n"
        "  Out := Out + ' ' + IntToStr(l.SelCount); if not c.DroppedDown then Out := Out + ' closed'; f.Free end.",
        "1 b 2 0,2 1 closed"},
    {"ListBoxIndexOutsideItsItems",
        "var Out: String; f: TForm; l: TListBox;\n"
        "begin f := TForm.Create(nil); l := TListBox.Create(f); l.Items.Add('x');\n"
        "  try if l.Selected[3] then Out := 'read' finally f.Free end end.",
        "error: List index out of bounds (3)"},
    {"FormModalResultCanvasAndApplication",
        "var Out: String; f: TForm;\n"
        "begin f := TForm.Create(nil); f.ModalResult := mrRetry; f.Caption := 'Okno';\n"
        "  Out := IntToStr(f.ModalResult) + ' ' + f.Canvas.ClassName + ' ' + f.Caption + ' ' + Application.ClassName;\n"
        "  Application.ProcessMessages; f.Free end.",
        "4 TCanvas Okno TApplication"},
    {"ApplicationMinimizesRestoresAndKnowsItsProgram",
        "var Out: String; f: TForm;\n"
        "begin f := TForm.Create(nil); f.Show; Application.Minimize; Out := IntToStr(f.WindowState);\n"
        "  Application.Restore; Out := Out + IntToStr(f.WindowState);\n"
        "  if Pos('test_script', Application.ExeName) > 0 then Out := Out + ' exe'; f.Free end.",
        "10 exe"},
    {"LabelFocusIsLeftAlone",
        "var Out: String; f: TForm; l: TLabel;\n"
        "begin f := TForm.Create(nil); l := TLabel.Create(f); l.Parent := f; l.Caption := 'Jméno'; l.SetFocus;\n"
        "  Out := l.Caption + ' ' + l.Parent.ClassName; f.Free end.",
        "Jméno TForm"},
    {"LabelHasNoKeyEvents",
        "var Out: String; f: TForm; l: TLabel;\n"
        "procedure Key(Sender: TObject; var Key: Word; Shift: Integer); begin end;\n"
        "begin f := TForm.Create(nil); l := TLabel.Create(f); try l.OnKeyDown := 'Key' finally f.Free end end.",
        "error: Objekt není třídy TWinControl: 'OnKeyDown'"},
    {"ParentMustBeAWindowedControl",
        "var Out: String; f: TForm; e: TEdit; s: Variant;\n"
        "begin f := TForm.Create(nil); e := TEdit.Create(f); s := TStringList.Create;\n"
        "  try e.Parent := s finally f.Free; s.Free end end.",
        "error: Objekt není třídy TWinControl: 'Parent'"},
    {"ParentCannotBeTheControlItself",
        "var Out: String; f: TForm; g: TGroupBox;\n"
        "begin f := TForm.Create(nil); g := TGroupBox.Create(f); g.Parent := f;\n"
        "  try g.Parent := g finally f.Free end end.",
        "error: Ovládací prvek nelze vložit sám do sebe: TGroupBox"},
    {"ParentCannotBeInsideTheControl",
        "var Out: String; f: TForm; g: TGroupBox;\n"
        "begin f := TForm.Create(nil); g := TGroupBox.Create(f); g.Parent := f;\n"
        "  try f.Parent := g except Out := 'refused' end; if g.Parent = f then Out := Out + ', kept'; f.Free end.",
        "refused, kept"},
};

INSTANTIATE_TEST_SUITE_P(
    Forms, FormCases, ::testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.Name); });

// --- a form the script builds and shows modally ------------------------------------------------

TEST_F(FormBindings, ScriptBuiltFormShowsModallyAndGoesAway) {
    const int formsBefore = Screen->FormCount();
    const int adaptersBefore = fsEventList()->Count();
    std::string shownCaption;
    SetShowModalHook([&](TCustomForm* form) {
        shownCaption = form->GetCaption();
        ASSERT_EQ(form->ControlCount(), 1);
        TestKit::Click(form->Controls(0), {5, 5});
    });
    EXPECT_EQ(RunPascal("var Out: String; f: TForm; b: TButton; Clicks: Integer;\n"
                        "procedure ButtonClick(Sender: TObject);\n"
                        "begin Clicks := Clicks + 1; if Sender = b then f.ModalResult := mrOk end;\n"
                        "begin f := TForm.Create(nil); f.Caption := 'Dotaz'; f.SetBounds(0, 0, 200, 100);\n"
                        "  b := TButton.Create(f); b.Parent := f; b.SetBounds(10, 10, 80, 25);\n"
                        "  b.OnClick := 'ButtonClick';\n"
                        "  Out := IntToStr(f.ShowModal) + ' ' + IntToStr(Clicks) + ' ' + IntToStr(f.ModalResult);\n"
                        "  f.Free end."),
        "1 1 1");
    EXPECT_EQ(shownCaption, "Dotaz");
    EXPECT_EQ(Screen->FormCount(), formsBefore);
    EXPECT_EQ(fsEventList()->Count(), adaptersBefore);
}

// --- what handlers write back reaches the window ---------------------------------------------------

// The script leaves a shown form `f` with an edit `e` holding "abc", the event bound by
// `Bind`; `Act` works the window, and `Result` reads what came of it.
struct WriteBackCase {
    const char* Name;
    const char* Bind;
    std::function<void(TCustomForm*, TCustomEdit*)> Act;
    std::function<std::string(TCustomForm*, TCustomEdit*)> Result;
    const char* Expected;
};

const char* const kWriteBackScript = R"(
var f: TForm; e: TEdit; Keep: Boolean;
procedure KeyDown(Sender: TObject; var Key: Word; Shift: Integer);
begin if Key = VK_DELETE then Key := 0 end;
procedure KeyPress(Sender: TObject; var Key: Char);
begin if Key = 'x' then Key := 'A' end;
procedure CloseQuery(Sender: TObject; var CanClose: Boolean);
begin CanClose := Keep end;
procedure CloseAction(Sender: TObject; var Action: TCloseAction);
begin Action := caNone end;
procedure MouseDown(Sender: TObject; Button: TMouseButton; Shift: TShiftState; X, Y: Integer);
begin f.Caption := IntToStr(Button) + ' ' + IntToStr(Shift) + ' ' + IntToStr(X) + ',' + IntToStr(Y) end;
procedure CanResize(Sender: TObject; var NewWidth, NewHeight: Integer; var Resize: Boolean);
begin NewWidth := 150; NewHeight := 60 end;
begin
  f := TForm.Create(nil); f.SetBounds(0, 0, 200, 100);
  e := TEdit.Create(f); e.Parent := f; e.SetBounds(5, 5, 100, 24); e.Text := 'abc';
)";

void DeleteFirst(TCustomForm*, TCustomEdit*) {
    TestKit::Key(Qt::Key_Home);
    TestKit::Key(Qt::Key_Delete);
}
void TypeX(TCustomForm*, TCustomEdit*) {
    TestKit::Key(Qt::Key_End);
    TestKit::Key(Qt::Key_X, Qt::NoModifier, "x");
}
void CloseForm(TCustomForm* f, TCustomEdit*) { f->Close(); }
std::string EditText(TCustomForm*, TCustomEdit* e) { return e->GetText(); }
std::string FormState(TCustomForm* f, TCustomEdit*) { return f->GetVisible() ? "open" : "closed"; }

const WriteBackCase kWriteBacks[] = {
    {"DeleteUnbound", "", DeleteFirst, EditText, "bc"},
    {"KeyZeroSuppressesTheKey", "e.OnKeyDown := 'KeyDown';", DeleteFirst, EditText, "abc"},
    {"CharacterUnbound", "", TypeX, EditText, "abcx"},
    {"KeyPressSubstitutes", "e.OnKeyPress := 'KeyPress';", TypeX, EditText, "abcA"},
    {"CanCloseTrueCloses", "Keep := True; f.OnCloseQuery := 'CloseQuery';", CloseForm, FormState, "closed"},
    {"CanCloseFalseKeepsTheFormOpen", "Keep := False; f.OnCloseQuery := 'CloseQuery';", CloseForm, FormState, "open"},
    {"CloseActionNoneKeepsTheFormOpen", "f.OnClose := 'CloseAction';", CloseForm, FormState, "open"},
    {"MouseDownArguments", "e.OnMouseDown := 'MouseDown';",
        [](TCustomForm*, TCustomEdit* e) {
            TestKit::MouseDown(e, {7, 9}, Qt::LeftButton, Qt::ShiftModifier);
        },
        [](TCustomForm* f, TCustomEdit*) { return f->GetCaption(); }, "0 9 7,9"},
    {"CanResizeSetsTheNewSize", "f.OnCanResize := 'CanResize';",
        [](TCustomForm* f, TCustomEdit*) { f->SetBounds(0, 0, 300, 300); },
        [](TCustomForm* f, TCustomEdit*) {
            return std::to_string(f->GetWidth()) + "x" + std::to_string(f->GetHeight());
        },
        "150x60"},
};

class WriteBack : public FormBindings, public ::testing::WithParamInterface<WriteBackCase> {};

TEST_P(WriteBack, ReachesTheWindow) {
    const WriteBackCase& c = GetParam();
    const int adaptersBefore = fsEventList()->Count();
    TCustomForm* form = nullptr;
    {
        TfsScript script(nullptr);
        script.Parent = fsGlobalUnit();
        script.GetLines()->SetText(std::string(kWriteBackScript) + c.Bind + "\nend.");
        ASSERT_TRUE(script.Compile()) << script.ErrorMsg << " at " << script.ErrorPos;
        script.Execute();
        form = dynamic_cast<TCustomForm*>(fsVariantToObject(script.Find("f")->Value));
        auto* edit = dynamic_cast<TCustomEdit*>(fsVariantToObject(script.Find("e")->Value));
        ASSERT_TRUE(form && edit);
        TestKit::ShowAndActivate(form);
        edit->SetFocus();
        TestKit::ProcessEvents();
        c.Act(form, edit);
        TestKit::ProcessEvents();
        EXPECT_EQ(c.Result(form, edit), c.Expected);
    }
    // The script's procedures are gone, and so are their bindings; the form is the test's.
    EXPECT_EQ(fsEventList()->Count(), adaptersBefore);
    delete form;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, WriteBack, ::testing::ValuesIn(kWriteBacks), [](const auto& info) { return std::string(info.param.Name); });

// --- dialogs ---------------------------------------------------------------------------------------

struct DialogCase {
    const char* Name;
    const char* Program;
    bool Accept;
    int Result;  // a message dialog's answer
    const char* Value;  // the text or file typed
    const char* Expected;  // Out
    const char* Seen;  // what the dialog was asked, as Describe gives it
};

std::string Describe(const TDialogCall& c) {
    static const char* const kinds[] = {"message", "input", "open", "save", "font", "color", "print", "setup"};
    std::string s = kinds[c.Kind];
    // A message box's title is the window layer's own choice.
    if (c.Kind != TDialogCall::dkMessage && !c.Caption.empty()) s += " [" + c.Caption + "]";
    if (!c.Text.empty()) s += " " + c.Text;
    if (c.Kind == TDialogCall::dkMessage && c.DlgType != mtCustom) s += " type " + std::to_string(int(c.DlgType));
    if (!c.Buttons.Empty()) s += " buttons " + std::to_string(c.Buttons.Mask());
    return s;
}

const DialogCase kDialogs[] = {
    {"MessageDlgWithASetConstructor",
        "var Out: String; begin Out := IntToStr(MessageDlg('Smazat?', mtConfirmation, [mbYes, mbNo], 0)) end.", true, 6,
        "", "6", "message Smazat? type 3 buttons 3"},
    {"MessageDlgWithAMask",
        "var Out: String; begin Out := IntToStr(MessageDlg('Chyba', mtError, mbOK + mbCancel, 0)) end.", false, 2, "",
        "2", "message Chyba type 1 buttons 12"},
    {"MessageDlgOfNoType", "var Out: String; begin Out := IntToStr(MessageDlg('?', 9, mbOK, 0)) end.", true, 1, "",
        "error: Range check error", ""},
    {"ShowMessage", "var Out: String; begin ShowMessage('Hotovo'); Out := 'ok' end.", true, 1, "", "ok",
        "message Hotovo buttons 4"},
    {"InputBoxTyped", "var Out: String; begin Out := InputBox('Třída', 'Název:', '1.A') end.", true, 1, "2.B", "2.B",
        "input [Třída] Název:"},
    {"InputBoxCancelledGivesTheDefault", "var Out: String; begin Out := InputBox('Třída', 'Název:', '1.A') end.", false,
        2, "2.B", "1.A", "input [Třída] Název:"},
    {"InputQueryConfirmed",
        "var Out: String; s: String; begin s := 'staré'; if InputQuery('Jméno', 'Zadej:', s) then Out := 'yes ' + s end.",
        true, 1, "nové", "yes nové", "input [Jméno] Zadej:"},
    {"InputQueryCancelledLeavesTheText",
        "var Out: String; s: String; begin s := 'staré';\n"
        "  if not InputQuery('Jméno', 'Zadej:', s) then Out := 'no ' + s end.",
        false, 2, "nové", "no staré", "input [Jméno] Zadej:"},
    {"ColorDialogExecutes",
        "var Out: String; d: TColorDialog; begin d := TColorDialog.Create(nil);\n"
        "  if d.Execute then Out := IntToStr(d.Color) else Out := 'cancel'; d.Free end.",
        true, 1, "", "255", "color"},
    {"CancelledDialogAnswersFalse",
        "var Out: String; d: TFontDialog; begin d := TFontDialog.Create(nil);\n"
        "  if d.Execute then Out := 'chosen' else Out := 'cancel'; d.Free end.",
        false, 2, "", "cancel", "font"},
};

class Dialogs : public FormBindings, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(Dialogs, AnsweredThroughTheHook) {
    const DialogCase& c = GetParam();
    std::vector<std::string> seen;
    SetDialogHook([&](TDialogCall& call) {
        seen.push_back(Describe(call));
        call.Accepted = c.Accept;
        call.Result = c.Result;
        if (c.Accept || call.Kind == TDialogCall::dkInput) call.Value = c.Value;
        call.Color = clRed;
    });
    EXPECT_EQ(RunPascal(c.Program), c.Expected);
    if (*c.Seen) {
        EXPECT_EQ(seen, std::vector<std::string>{c.Seen});
    } else EXPECT_TRUE(seen.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Dialogs, ::testing::ValuesIn(kDialogs), [](const auto& info) { return std::string(info.param.Name); });

TEST_F(FormBindings, OpenDialogGivesTheChosenFile) {
    const std::string chosen = (std::filesystem::current_path() / "vysvedceni.fr3").string();
    SetDialogHook([&](TDialogCall& call) {
        EXPECT_EQ(call.Kind, TDialogCall::dkOpen);
        EXPECT_EQ(call.Filter, "Sestavy|*.fr3");
        call.Accepted = true;
        call.Value = chosen;
    });
    EXPECT_EQ(RunPascal("var Out: String; d: TOpenDialog;\n"
                        "begin d := TOpenDialog.Create(nil); d.Filter := 'Sestavy|*.fr3';\n"
                        "  if d.Execute then Out := d.FileName; d.Free end."),
        chosen);
}

// --- start-up and shut-down ------------------------------------------------------------------------

TEST_F(FormBindings, StoppingRemovesExactlyTheirRegistrations) {
    TfsScript* g = fsGlobalUnit();
    const int before = g->Count();
    fsStopDialogsRTTI();
    fsStopFormsRTTI();
    EXPECT_EQ(g->FindLocal("mrYes"), nullptr);
    EXPECT_EQ(g->FindClass("TForm"), nullptr);
    EXPECT_EQ(g->FindLocal("Application"), nullptr);
    EXPECT_EQ(g->FindLocal("MessageDlg"), nullptr);
    EXPECT_NE(g->FindClass("TComponent"), nullptr);
    fsStartFormsRTTI();
    fsStartDialogsRTTI();
    EXPECT_EQ(g->Count(), before);
    EXPECT_EQ(RunPascal("var Out: String; begin Out := IntToStr(mrYes) end."), "6");
}

// The window bindings come with the engine once enrolled: at once when it runs, and again at
// every later start-up, each unit once.
TEST(WindowBindings, EnrolledUnitsStartAndStopWithTheEngine) {
    const bool started = fsGlobalUnit() != nullptr;
    if (started) script::Shutdown();
    script::Startup();
    fsUseWindowBindings();
    fsUseWindowBindings();
    TfsScript* g = fsGlobalUnit();
    EXPECT_NE(g->FindClass("TCanvas"), nullptr);
    EXPECT_NE(g->FindClass("TForm"), nullptr);
    EXPECT_NE(g->FindLocal("MessageDlg"), nullptr);
    const int count = g->Count();
    script::Shutdown();
    EXPECT_EQ(fsGlobalUnit(), nullptr);
    script::Startup();
    EXPECT_EQ(fsGlobalUnit()->Count(), count);
    EXPECT_EQ(RunPascal("var Out: String; begin Out := IntToStr(mrYes) + ' ' + IntToStr(clRed) end."), "6 255");
    if (!started) script::Shutdown();
}

}  // namespace
