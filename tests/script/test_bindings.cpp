#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "BindingTestSupport.h"
#include "platform/classes/StringList.h"
#include "script/FileAccess.h"

namespace {

struct Case {
    const char* Name;
    const char* Program;
    const char* Expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.Name; }

class Bindings : public BindingSuite, public ::testing::WithParamInterface<Case> {};

TEST_P(Bindings, RunsAndGives) { EXPECT_EQ(RunPascal(GetParam().Program), GetParam().Expected); }

const Case kCases[] = {
    {"ConstantsHaveTheirValues",
        "var Out: String; begin Out := IntToStr(fmCreate) + ' ' + IntToStr(fmOpenReadWrite) + ' ' + "
        "IntToStr(fmShareDenyNone) + ' ' + IntToStr(soFromEnd) + ' ' + IntToStr(dupError) + ' ' + "
        "IntToStr(poLandscape) end.",
        "65535 2 64 2 2 1"},
    {"SortedStringListFindsWithIndexBack",
        "var Out: String; sl: TStringList; i: Integer; b: Boolean;\n"
        "begin sl := TStringList.Create; sl.Add('b'); sl.Add('a'); sl.Sorted := True;\n"
        "  b := sl.Find('b', i); if b then Out := 'found ' + IntToStr(i); sl.Free end.",
        "found 1"},
    {"FindMissingGivesInsertionPlace",
        "var Out: String; sl: TStringList; i: Integer;\n"
        "begin sl := TStringList.Create; sl.Sorted := True; sl.Add('a'); sl.Add('c');\n"
        "  if not sl.Find('b', i) then Out := IntToStr(i); sl.Free end.",
        "1"},
    {"StringsMembers",
        "var Out: String; s: TStringList;\n"
        "begin s := TStringList.Create; s.Text := 'x=1'#13#10'y=2';\n"
        "  s.Insert(0, 'first'); s.Values['z'] := '3'; s[0] := 'FIRST';\n"
        "  Out := IntToStr(s.Count) + ' ' + s.Names[1] + ' ' + s.Values['y'] + ' ' + s.Strings[0] + ' ' +\n"
        "    IntToStr(s.IndexOf('y=2')) + ' ' + IntToStr(s.IndexOfName('z')) + ' ' + s.CommaText;\n"
        "  s.Delete(0); s.Clear; Out := Out + ' ' + IntToStr(s.Count); s.Free end.",
        "4 x 2 FIRST 2 3 FIRST,x=1,y=2,z=3 0"},
    {"StringsObjects",
        "var Out: String; s: TStringList; o: TObject;\n"
        "begin s := TStringList.Create; o := TObject.Create; s.AddObject('a', o); s.InsertObject(0, 'b', nil);\n"
        "  Out := IntToStr(s.IndexOfObject(o)) + ' ' + s.Objects[1].ClassName;\n"
        "  s.Objects[1] := nil; Out := Out + ' ' + IntToStr(s.IndexOfObject(o)); o.Free; s.Free end.",
        "1 TObject -1"},
    {"DuplicatesDecideOnSortedAdd",
        "var Out: String; s: TStringList;\n"
        "begin s := TStringList.Create; s.Sorted := True; s.Duplicates := dupAccept; s.Add('a'); s.Add('a');\n"
        "  Out := IntToStr(s.Count); s.Duplicates := dupIgnore; s.Add('a'); Out := Out + IntToStr(s.Count);\n"
        "  if s.Duplicates = dupIgnore then Out := Out + ' ignore'; s.Free end.",
        "22 ignore"},
    {"StringListIndexOutsideIsAnError",
        "var Out: String; s: TStringList; begin s := TStringList.Create; try Out := s[3]; finally s.Free end end.",
        "error: List index out of bounds (3)"},
    {"DuplicatesOutOfRangeIsAnError",
        "var Out: String; s: TStringList; begin s := TStringList.Create; try s.Duplicates := 7; finally s.Free end end.",
        "error: Range check error"},
    {"ListOfObjects",
        "var Out: String; l: TList; a, b: TObject;\n"
        "begin l := TList.Create; a := TObject.Create; b := TObject.Create;\n"
        "  l.Add(a); l.Add(b); l.Insert(0, b); Out := IntToStr(l.Count) + IntToStr(l.IndexOf(a));\n"
        "  if l[0] = b then Out := Out + ' b'; l[0] := a; Out := Out + IntToStr(l.IndexOf(a));\n"
        "  Out := Out + IntToStr(l.Remove(b)) + IntToStr(l.Count); l.Delete(0); l.Clear;\n"
        "  Out := Out + IntToStr(l.Count); a.Free; b.Free; l.Free end.",
        "31 b0220"},
    {"FreedObjectHeldByAListIsRefused",
        "var Out: String; l: TList; s: TStringList; o: TObject;\n"
        "begin l := TList.Create; s := TStringList.Create; o := TObject.Create;\n"
        "  l.Add(o); s.AddObject('x', o); o.Free;\n"
        "  try o := l[0] except Out := 'list' end;\n"
        "  try o := s.Objects[0] except Out := Out + ' strings' end; l.Free; s.Free end.",
        "list strings"},
    {"ReadBeyondTheEndGivesWhatIsThere",
        "var Out: String; m: TMemoryStream; s: String; n: Integer;\n"
        "begin m := TMemoryStream.Create; m.Write('abcdef', 6); m.Position := 2;\n"
        "  n := m.Read(s, 10); Out := IntToStr(n) + ' ' + s + ' ' + IntToStr(Length(s)); m.Free end.",
        "4 cdef 4"},
    {"WriteNeverPassesItsText",
        "var Out: String; m: TMemoryStream;\n"
        "begin m := TMemoryStream.Create; Out := IntToStr(m.Write('abc', 100)) + IntToStr(m.Size); m.Free end.",
        "33"},
    {"NegativeCountsMoveNothing",
        "var Out: String; m: TMemoryStream; s: String;\n"
        "begin m := TMemoryStream.Create; m.Write('abc', 3); m.Position := 0;\n"
        "  Out := IntToStr(m.Read(s, -5)) + IntToStr(m.Write('x', -1)) + '[' + s + ']'; m.Free end.",
        "00[]"},
    {"SeekAndCopyFrom",
        "var Out: String; a, b: TMemoryStream; s: String;\n"
        "begin a := TMemoryStream.Create; b := TMemoryStream.Create; a.Write('hello', 5);\n"
        "  Out := IntToStr(a.Seek(-2, soFromEnd)) + ' ' + IntToStr(b.CopyFrom(a, 2)) + ' ';\n"
        "  b.Seek(0, soFromBeginning); b.Read(s, 2); Out := Out + s + ' ' + IntToStr(a.Seek(0, soFromCurrent));\n"
        "  a.Clear; Out := Out + ' ' + IntToStr(a.Size); a.Free; b.Free end.",
        "3 2 lo 5 0"},
    {"StringsThroughAStream",
        "var Out: String; a, b: TStringList; m: TMemoryStream;\n"
        "begin a := TStringList.Create; b := TStringList.Create; m := TMemoryStream.Create;\n"
        "  a.Add('one'); a.Add('dvě'); a.SaveToStream(m); m.Position := 0; b.LoadFromStream(m);\n"
        "  Out := b.CommaText; a.Free; b.Free; m.Free end.",
        "one,dvě"},
    {"StreamArgumentMustBeAStream",
        "var Out: String; s: TStringList; o: Variant;\n"
        "begin s := TStringList.Create; o := TObject.Create; try s.SaveToStream(o) finally s.Free; o.Free end end.",
        "error: Objekt není třídy TStream: 'Stream'"},
    {"StreamArgumentMustNotBeNil",
        "var Out: String; s: TStringList;\n"
        "begin s := TStringList.Create; try s.LoadFromStream(nil) finally s.Free end end.",
        "error: Objekt není přiřazen: 'Stream'"},
    {"ClassNameOfScriptObjects",
        "var Out: String; a: TObject; b: TMemoryStream;\n"
        "begin a := TStringList.Create; b := TMemoryStream.Create; Out := a.ClassName + ' ' + b.ClassName;\n"
        "  a.Free; b.Free end.",
        "TStringList TMemoryStream"},
    {"ComponentsWithAndWithoutOwner",
        "var Out: String; a, b: TComponent;\n"
        "begin a := TComponent.Create(nil); b := TComponent.Create(a); b.Name := 'Child';\n"
        "  if a.Owner = nil then Out := 'none'; if b.Owner = a then Out := Out + ' a';\n"
        "  a.Free end.",
        "none a"},
    {"AssignCopiesStrings",
        "var Out: String; a, b: TStringList;\n"
        "begin a := TStringList.Create; b := TStringList.Create; a.CommaText := 'x,y'; b.Assign(a);\n"
        "  Out := b.Text; a.Free; b.Free end.",
        "x\r\ny\r\n"},
    {"CollectionOfItems",
        "var Out: String; c: TCollection;\n"
        "begin c := TCollection.Create; Out := IntToStr(c.Count); c.Clear; c.Free end.",
        "0"},
    {"FreedObjectIsNil",
        "var Out: String; s: TStringList;\n"
        "begin s := TStringList.Create; s.Free; Out := IntToStr(s.Count) end.",
        "error: Objekt není přiřazen: 'Count'"},
    {"XmlDocumentRoundTripThroughAStream",
        "var Out: String; d, e: TfsXMLDocument; i: TfsXMLItem; m: TMemoryStream;\n"
        "begin d := TfsXMLDocument.Create; e := TfsXMLDocument.Create; m := TMemoryStream.Create;\n"
        "  d.Root.Name := 'report'; i := d.Root.Add; i.Name := 'page'; i.Text := 'n=\"1\" a=\"&#38;\"';\n"
        "  d.Root.FindItem('band').Data := 7; d.SaveToStream(m); m.Position := 0; e.LoadFromStream(m);\n"
        "  Out := e.Root.Name + ' ' + IntToStr(e.Root.Count) + ' ' + e.Root[0].Name + ' ' + e.Root[0].Prop('n') +\n"
        "    e.Root[0].Prop('a') + ' ' + IntToStr(e.Root.Find('BAND')) + ' ' + IntToStr(m.Position - m.Size);\n"
        "  d.Free; e.Free; m.Free end.",
        "report 2 page 1& 1 0"},
    {"XmlItemsKnowTheirParentAndRoot",
        "var Out: String; a, b, c: TfsXMLItem;\n"
        "begin a := TfsXMLItem.Create; a.Name := 'a'; b := a.Add; c := b.Add; c.Name := 'c';\n"
        "  if c.Parent = b then Out := 'parent'; if c.Root = a then Out := Out + ' root';\n"
        "  if a.Parent = nil then Out := Out + ' top'; a.Free end.",
        "parent root top"},
    {"XmlStandaloneItemAdoptedByAnother",
        "var Out: String; a, b: TfsXMLItem;\n"
        "begin a := TfsXMLItem.Create; b := TfsXMLItem.Create; b.Name := 'b'; a.Add.Name := 'first';\n"
        "  a.InsertItem(0, b); Out := a[0].Name + IntToStr(a.Count); a.Free end.",
        "b2"},
    {"XmlItemCannotContainItself",
        "var Out: String; a, b: TfsXMLItem;\n"
        "begin a := TfsXMLItem.Create; b := a.Add; try b.AddItem(a) finally a.Free end end.",
        "error: Prvek XML nelze vložit sám do sebe"},
    {"XmlDocumentRootStaysWithItsDocument",
        "var Out: String; d: TfsXMLDocument;\n"
        "begin d := TfsXMLDocument.Create; try d.Root.Free finally d.Free end end.",
        "error: Kořen dokumentu XML nelze uvolnit ani přesunout"},
    {"XmlDocumentRootCannotBeMoved",
        "var Out: String; d: TfsXMLDocument; a: TfsXMLItem;\n"
        "begin d := TfsXMLDocument.Create; a := TfsXMLItem.Create; try a.AddItem(d.Root) finally d.Free; a.Free end end.",
        "error: Kořen dokumentu XML nelze uvolnit ani přesunout"},
    {"XmlClearedItemsAreNil",
        "var Out: String; a, b: TfsXMLItem;\n"
        "begin a := TfsXMLItem.Create; b := a.Add; a.Clear; Out := IntToStr(a.Count);\n"
        "  try b.Name := 'x' except Out := Out + ' nil' end; a.Free end.",
        "0 nil"},
    {"XmlFreedChildLeavesItsParent",
        "var Out: String; a, b: TfsXMLItem;\n"
        "begin a := TfsXMLItem.Create; b := a.Add; b.Add; a.Add; b.Free; Out := IntToStr(a.Count); a.Free end.",
        "1"},
    {"XmlItemIndexOutside",
        "var Out: String; a: TfsXMLItem; begin a := TfsXMLItem.Create; try a[0].Name := 'x' finally a.Free end end.",
        "error: List index out of bounds (0)"},
};

INSTANTIATE_TEST_SUITE_P(
    Classes, Bindings, ::testing::ValuesIn(kCases), [](const auto& info) { return std::string(info.param.Name); });

class BindingFiles : public BindingSuite {
protected:
    std::filesystem::path Dir = std::filesystem::temp_directory_path() /
        ("karomil-bindings-" + std::to_string(::getpid()));
    // The folder is the data folder: scripts may read and write there.
    void SetUp() override {
        std::filesystem::create_directories(Dir);
        fsSetDataFolder(Dir.string());
    }
    void TearDown() override {
        fsSetDataFolder("");
        std::filesystem::remove_all(Dir);
    }
    std::string Path(const char* name) const { return (Dir / name).string(); }
};

TEST_F(BindingFiles, FileStreamWritesAndReadsBack) {
    const std::string f = Path("data.bin");
    const std::string program =
        "var Out: String; s: TFileStream; t: String;\n"
        "begin s := TFileStream.Create('" +
        f +
        "', fmCreate); s.Write('12345', 5); s.Free;\n"
        "  s := TFileStream.Create('" +
        f +
        "', fmOpenRead or fmShareDenyNone);\n"
        "  s.Read(t, 3); Out := t + ' ' + IntToStr(s.Size); s.Free end.";
    EXPECT_EQ(RunPascal(program), "123 5");
}

TEST_F(BindingFiles, MissingFileIsAnError) {
    const std::string program =
        "var Out: String; s: TFileStream;\n"
        "begin s := TFileStream.Create('" +
        Path("none.bin") + "', fmOpenRead) end.";
    EXPECT_EQ(RunPascal(program).rfind("error: Cannot open file", 0), 0u);
}

TEST_F(BindingFiles, XmlDocumentAndStringsThroughFiles) {
    const std::string x = Path("doc.xml"), t = Path("lines.txt");
    const std::string program =
        "var Out: String; d: TfsXMLDocument; s: TStringList; m: TMemoryStream;\n"
        "begin d := TfsXMLDocument.Create; d.Root.Name := 'r'; d.Root.Add.Name := 'c';\n"
        "  d.SaveToFile('" +
        x + "'); d.Root.Clear; d.LoadFromFile('" + x +
        "');\n"
        "  Out := d.Root[0].Name; d.Free;\n"
        "  s := TStringList.Create; s.Add('a'); s.SaveToFile('" +
        t +
        "'); s.Clear;\n"
        "  s.LoadFromFile('" +
        t +
        "'); Out := Out + s[0];\n"
        "  m := TMemoryStream.Create; m.LoadFromFile('" +
        t + "'); m.SaveToFile('" + t +
        "2');\n"
        "  Out := Out + IntToStr(m.Size); m.Free; s.Free end.";
    EXPECT_EQ(RunPascal(program), "ca3");
}

// --- what a script may free ----------------------------------------------------------------------------

class BindingFree : public BindingSuite {};

TEST_F(BindingFree, HostObjectsStayWithTheHost) {
    TComponent owner(nullptr);
    auto* owned = new TComponent(&owner);
    TStringList hostList;
    const auto prepare = [&](TfsScript& s) {
        s.AddObject("Owned", owned);
        s.AddObject("HostList", &hostList);
    };
    EXPECT_EQ(RunPascal("var Out: String; begin Owned.Free end.", prepare),
        "error: Skript nemůže uvolnit objekt, který nevytvořil: TComponent");
    EXPECT_EQ(RunPascal("var Out: String; begin HostList.Free end.", prepare),
        "error: Skript nemůže uvolnit objekt, který nevytvořil: TStringList");
    EXPECT_EQ(owner.GetComponentCount(), 1);
}

TEST_F(BindingFree, ComponentWithoutOwnerMayBeFreed) {
    auto* loose = new TComponent(nullptr);
    const int32_t handle = loose->Handle();
    EXPECT_EQ(RunPascal("var Out: String; begin Loose.Free; Out := 'ok' end.",
                  [&](TfsScript& s) { s.AddObject("Loose", loose); }),
        "ok");
    EXPECT_EQ(TObject::FromHandle(handle), nullptr);
}

TEST_F(BindingFree, ScriptCreatedComponentWithOwnerMayBeFreed) {
    TComponent owner(nullptr);
    EXPECT_EQ(RunPascal("var Out: String; c: TComponent;\n"
                        "begin c := TComponent.Create(Host); c.Name := 'Made';\n"
                        "  if c.Owner = Host then Out := 'owned'; c.Free end.",
                  [&](TfsScript& s) { s.AddObject("Host", &owner); }),
        "owned");
    EXPECT_EQ(owner.GetComponentCount(), 0);
}

TEST(BindingRegistry, RemovesExactlyItsOwnRegistrations) {
    const bool started = fsGlobalUnit() != nullptr;
    if (!started) script::Startup();
    fsStopClassesRTTI();  // start-up's own binding, so this one can be watched alone
    TfsScript* g = fsGlobalUnit();
    const int before = g->Count();
    ASSERT_EQ(g->FindLocal("TStringList"), nullptr);
    {
        TfsClassesRTTI binding;
        EXPECT_NE(g->FindClass("TStringList"), nullptr);
        EXPECT_NE(g->FindClass("TfsXMLDocument"), nullptr);
        EXPECT_NE(g->FindLocal("fmCreate"), nullptr);
        EXPECT_NE(g->FindLocal("dupAccept"), nullptr);
        EXPECT_EQ(g->AddedBy, nullptr);
    }
    EXPECT_EQ(g->Count(), before);
    EXPECT_EQ(g->FindLocal("TStringList"), nullptr);
    EXPECT_NE(g->FindLocal("IntToStr"), nullptr);
    fsStartClassesRTTI();
    if (!started) script::Shutdown();
}

// The core starts no window bindings of its own: those come only when a layer enrols them.
TEST(BindingRegistry, CoreRegistersNoWindowClasses) {
    const bool started = fsGlobalUnit() != nullptr;
    if (!started) script::Startup();
    TfsScript* g = fsGlobalUnit();
    EXPECT_NE(g->FindClass("TComponent"), nullptr);
    for (const char* name : {"TCanvas", "TForm", "TCommonDialog", "Application", "MessageDlg", "clRed", "mrYes"})
        EXPECT_EQ(g->FindLocal(name), nullptr) << name;
    if (!started) script::Shutdown();
}

}  // namespace
