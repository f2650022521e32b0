// The stored report format: what is written for each property kind, what the attribute
// reader accepts, and the exact form of an empty report.

#include <gtest/gtest.h>

#include "ModelFixture.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxReport.h"
#include "report/core/frxReportPage.h"
#include "report/core/frxStreamText.h"
#include "report/core/frxXML.h"
#include "report/core/frxXMLSerializer.h"

namespace {
std::string SaveText(TfrxComponent* c) {
    TStringStream s;
    c->SaveToStream(&s);
    return s.DataString();
}

void LoadText(TfrxComponent* c, const std::string& text) {
    // No error box in a test: the errors are read from the list.
    if (auto* r = dynamic_cast<TfrxReport*>(c)) r->GetEngineOptions()->SilentMode = true;
    TStringStream s(text);
    c->LoadFromStream(&s);
}

std::string Hex(std::initializer_list<std::string> parts) {
    TMemoryStream ms;
    for (const std::string& p : parts) ms.WriteBuffer(p.data(), int64_t(p.size()));
    return frxStreamToHex(&ms);
}
}  // namespace

TEST(FrxSerializer, EmptyReportIsOneElementWithTheExactAttributes) {
    TfrxReport report;
    report.GetReportOptions()->CreateDate = 45000.5;
    report.GetReportOptions()->LastChange = 45001.25;
    const std::string sep = FormatSettings().DecimalSeparator == ',' ? "," : ".";
    const std::string propData = Hex({std::string("\x08") + "Datasets" + "\x01" + std::string(1, '\0'),
        std::string("\x09") + "Variables" + "\x01" + std::string(1, '\0'),
        std::string("\x05") + "Style" + "\x01" + std::string(1, '\0')});
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<TfrxReport Name=\"\" DotMatrixReport=\"False\" IniFile=\"\\Software\\Karomil Reports\""
        " PreviewOptions.Buttons=\"2047\" PreviewOptions.Zoom=\"1\""
        " PrintOptions.Printer=\"Předvolená\" ReportOptions.CreateDate=\"45000" +
        sep + "5\" ReportOptions.Description.Text=\"\" ReportOptions.LastChange=\"45001" + sep +
        "25\" ScriptLanguage=\"PascalScript\" ScriptText.Text=\"begin&#13;&#10;&#13;&#10;end.\" PropData=\"" +
        propData + "\"/>\r\n";
    EXPECT_EQ(SaveText(&report), expected);
    EXPECT_EQ(propData, "0844617461736574730100095661726961626C65730100055374796C650100");
}

TEST(FrxSerializer, EveryPropertyKindSurvivesARoundTrip) {
    RegisterTestClasses();
    TfrxReport report;
    auto* box = new TTestBox(&report);
    box->SetName("Box1");
    auto* a = new TTestView(box);
    a->SetName("A");
    auto* b = new TTestView(box);
    b->SetName("B");
    a->SetBounds(12.5, 3, 100.25, 18);
    a->SetVisible(false);
    a->GetFont()->SetName("Times New Roman");
    a->GetFont()->SetStyle(TFontStyles{fsBold, fsItalic});
    a->GetFont()->SetColor(clRed);
    a->SetRestrictions(TfrxRestrictions{rfDontMove, rfDontDelete});
    a->SetGroupIndex(7);
    a->Kind = kiThree;
    a->Caption = "Jméno \"a\" <b> & c";
    a->Value = Variant("=1+2");
    a->Date = 45123.75;
    a->Ch = 'Z';
    a->GetMemo()->SetText("první\r\ndruhá\r\n");
    a->GetSub()->Level = 3;
    a->GetSub()->Font->SetName("Courier New");
    a->SetLink(b);
    a->OnBeforePrint = "MemoOnBeforePrint";
    a->Extra = 300000;
    a->SetTag(5);

    const std::string text = SaveText(&report);
    EXPECT_NE(text.find("Memo.Text=\"první&#13;&#10;druhá\""), std::string::npos) << text;
    EXPECT_NE(text.find("Sub.Font.Name=\"Courier New\""), std::string::npos);
    EXPECT_NE(text.find("Restrictions=\"12\""), std::string::npos);
    EXPECT_NE(text.find("Link=\"B\""), std::string::npos);

    TfrxReport copy;
    LoadText(&copy, text);
    EXPECT_EQ(copy.ErrorList->Count(), 0) << copy.ErrorList->Text();
    auto* c = dynamic_cast<TTestView*>(copy.FindObject("A"));
    auto* cb = dynamic_cast<TTestView*>(copy.FindObject("b"));
    ASSERT_TRUE(c && cb);
    EXPECT_EQ(c->GetParent(), copy.FindObject("Box1"));
    EXPECT_DOUBLE_EQ(c->GetLeft(), 12.5);
    EXPECT_DOUBLE_EQ(c->GetWidth(), 100.25);
    EXPECT_FALSE(c->GetVisible());
    EXPECT_FALSE(c->GetParentFont());
    EXPECT_EQ(c->GetFont()->GetName(), "Times New Roman");
    EXPECT_TRUE(c->GetFont()->GetStyle() == (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(c->GetFont()->GetColor(), clRed);
    EXPECT_TRUE(c->GetRestrictions() == (TfrxRestrictions{rfDontMove, rfDontDelete}));
    EXPECT_EQ(c->GetGroupIndex(), 7);
    EXPECT_EQ(c->Kind, kiThree);
    EXPECT_EQ(c->Caption, "Jméno \"a\" <b> & c");
    EXPECT_EQ(c->Value.AsString(), "=1+2");
    EXPECT_DOUBLE_EQ(c->Date, 45123.75);
    EXPECT_EQ(c->Ch, 'Z');
    EXPECT_EQ(c->GetMemo()->Text(), "první\r\ndruhá\r\n");
    EXPECT_EQ(c->GetSub()->Level, 3);
    EXPECT_EQ(c->GetSub()->Font->GetName(), "Courier New");
    EXPECT_EQ(c->GetLink(), cb);
    EXPECT_EQ(c->OnBeforePrint, "MemoOnBeforePrint");
    EXPECT_EQ(c->Extra, 300000);
    EXPECT_EQ(c->GetTag(), 5);
    // Written again, the copy's objects give the same text.
    const std::string again = SaveText(&copy);
    EXPECT_EQ(again.substr(again.find("<TTestBox")), text.substr(text.find("<TTestBox")));
}

TEST(FrxSerializer, APageKeepsItsPaperCodeAndSize) {
    struct Case {
        int paper;
        TPrinterOrientation orientation;
        double width, height;  // mm, as set for a custom size and expected after reloading
    } cases[] = {
        {9, poPortrait, 210, 297},
        {9, poLandscape, 297, 210},
        {5, poPortrait, 0, 0},  // another listed paper: its own size
        {256, poPortrait, 100, 150},
    };
    for (const Case& k : cases) {
        TfrxReport report;
        auto* page = new TfrxReportPage(&report);
        page->SetName("Page1");
        page->SetOrientation(k.orientation);
        page->SetPaperSize(k.paper);
        if (k.paper == 256) {
            page->SetPaperWidth(k.width);
            page->SetPaperHeight(k.height);
        }
        const double width = page->GetPaperWidth(), height = page->GetPaperHeight();

        TfrxReport copy;
        LoadText(&copy, SaveText(&report));
        auto* back = dynamic_cast<TfrxReportPage*>(copy.FindObject("Page1"));
        ASSERT_TRUE(back) << k.paper;
        EXPECT_EQ(back->GetPaperSize(), k.paper);
        EXPECT_EQ(back->GetOrientation(), k.orientation) << k.paper;
        EXPECT_DOUBLE_EQ(back->GetPaperWidth(), width) << k.paper;
        EXPECT_DOUBLE_EQ(back->GetPaperHeight(), height) << k.paper;
        if (k.width > 0) {
            EXPECT_DOUBLE_EQ(back->GetPaperWidth(), k.width) << k.paper;
        }
        if (k.height > 0) {
            EXPECT_DOUBLE_EQ(back->GetPaperHeight(), k.height) << k.paper;
        }
        EXPECT_DOUBLE_EQ(back->GetWidth(), page->GetWidth()) << k.paper;
    }
}

TEST(FrxSerializer, FontAttributesAreAllWrittenOrNone) {
    RegisterTestClasses();
    TfrxReport report;
    auto* v = new TTestView(&report);
    v->SetName("V");
    EXPECT_EQ(SaveText(&report).find(" Font."), std::string::npos);
    v->GetFont()->SetSize(12);
    const std::string text = SaveText(&report);
    const size_t at = text.find(
        " Font.Charset=\"1\" Font.Color=\"0\" Font.Height=\"-16\" Font.Name=\"Arial\" Font.Style=\"0\"");
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("Font.Size"), std::string::npos);
    EXPECT_EQ(text.find("Font.Pitch"), std::string::npos);
}

TEST(FrxSerializer, ReadTable) {
    RegisterTestClasses();
    TfrxXMLSerializer s(nullptr);
    struct Case {
        const char* text;
        double left;
        bool visible;
        TTestKind kind;
    } cases[] = {
        {"l=\"12,5\"", 12.5, true, kiOne},
        {"l=\"12.5\"", 12.5, true, kiOne},
        {"l=\"1 000,5\"", 1000.5, true, kiOne},
        {"Visible=\"0\"", 0, false, kiOne},
        {"Visible=\"0\" Visible=\"1\"", 0, true, kiOne},
        {"Visible=\"0\" Visible=\"True\"", 0, true, kiOne},
        {"Visible=\"0\" Visible=\"true\"", 0, true, kiOne},
        {"Kind=\"2\"", 0, true, kiThree},
        {"Kind=\"KITWO\"", 0, true, kiTwo},
        {"l=\"3\"  Kind=\"kiTwo\"", 3, true, kiTwo},  // two blanks between
        {"l = \"3\" Kind=\"kiTwo\"", 0, true, kiTwo},  // blanks around "=": ignored
        {"Kind=\"kiTwo\" Kind=\"9\"", 0, true, kiTwo},  // out of range: kept
        {"Kind=\"kiTwo\" Kind=\"kiFour\"", 0, true, kiTwo},  // no such name: kept
        {"Visible=\"0\" Visible=\"maybe\"", 0, false, kiOne},  // neither: kept
        {"Nothing=\"1\" Sub.Nothing.X=\"2\" l=\"4\"", 4, true, kiOne},
    };
    for (const Case& c : cases) {
        TTestView v(nullptr);
        s.ApplyPropertiesText(c.text, &v);
        EXPECT_DOUBLE_EQ(v.GetLeft(), c.left) << c.text;
        EXPECT_EQ(v.GetVisible(), c.visible) << c.text;
        EXPECT_EQ(v.Kind, c.kind) << c.text;
    }
    EXPECT_EQ(s.ErrorList()->Count(), 3) << s.ErrorList()->Text();
}

TEST(FrxSerializer, UnknownClassIsReportedOnceAndItsSubtreeSkipped) {
    RegisterTestClasses();
    TfrxReport report;
    LoadText(&report,
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<TfrxReport Name=\"\"><TTestBox Name=\"Band1\">"
        "<TfrxMissing Name=\"M1\"><TTestView Name=\"Inner1\"/></TfrxMissing>"
        "<TfrxMissing Name=\"M2\"/><TTestView Name=\"Kept\"/><TfrxMissing Name=\"M3\"/>"
        "<TForm Name=\"Window\"/>"
        "</TTestBox></TfrxReport>");
    ASSERT_EQ(report.ErrorList->Count(), 2) << report.ErrorList->Text();
    EXPECT_EQ(report.ErrorList->Strings(0), "Nelze nalézt třídu TForm");
    EXPECT_EQ(report.ErrorList->Strings(1), "Nelze nalézt třídu TfrxMissing");
    EXPECT_EQ(report.FindObject("Inner1"), nullptr);
    EXPECT_NE(report.FindObject("Kept"), nullptr);
    EXPECT_EQ(report.GetAllObjects()->Count(), 2);
}

TEST(FrxSerializer, ReferencesOfTheWrongClassOrToNothingAreNotStored) {
    RegisterTestClasses();
    TfrxReport report;
    LoadText(&report,
        "<?xml version=\"1.0\"?><TfrxReport Name=\"\"><TTestBox Name=\"Box1\"/>"
        "<TTestView Name=\"A\" Link=\"Box1\" AnyLink=\"Box1\"/>"
        "<TTestView Name=\"B\" Link=\"Nowhere\"/></TfrxReport>");
    auto* a = dynamic_cast<TTestView*>(report.FindObject("A"));
    auto* b = dynamic_cast<TTestView*>(report.FindObject("B"));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->GetLink(), nullptr);
    EXPECT_EQ(a->GetAnyLink(), report.FindObject("Box1"));
    EXPECT_EQ(b->GetLink(), nullptr);
    ASSERT_EQ(report.ErrorList->Count(), 1);
    EXPECT_EQ(report.ErrorList->Strings(0), "Objekt Box1 nelze přiřadit vlastnosti Link");
}

TEST(FrxSerializer, DamagedPropDataKeepsTheReadablePrefix) {
    RegisterTestClasses();
    TfrxXMLSerializer s(nullptr);
    struct Case {
        std::string hex;
        int32_t extra;
    } cases[] = {
        {Hex({"\x05"
              "Extra",
             "\x02\x07"}),
            7},
        {Hex({"\x05"
              "Extra",
             "\x02\x07"}) +
                "ZZ41",
            7},  // a bad digit cuts the data
        {Hex({"\x05"
              "Extra",
             "\x04\x07"}),
            0},  // the integer is cut short
        {Hex({"\x05"
              "Other",
             "\x02\x07"}),
            0},  // not defined by the object
        {"0", 0},
    };
    for (const Case& c : cases) {
        TTestView v(nullptr);
        s.ApplyPropertiesText("PropData=\"" + c.hex + "\"", &v);
        EXPECT_EQ(v.Extra, c.extra) << c.hex;
    }
    EXPECT_EQ(s.ErrorList()->Count(), 0);
}

TEST(FrxSerializer, APictureThatDoesNotDecodeIsAnErrorLine) {
    TfrxReport report;
    const std::string bytes = std::string(
                                  "\x04"
                                  "Data") +
        "\x0A" + std::string("\x0C\x00\x00\x00", 4) + "\x07TBitmap" + "BM!!";
    TfrxXMLSerializer s(nullptr);
    s.ApplyPropertiesText(
        "ReportOptions.Picture.PropData=\"" + Hex({bytes}) + "\" ReportOptions.Author=\"Já\"", &report);
    EXPECT_EQ(s.ErrorList()->Count(), 1);
    EXPECT_EQ(report.GetReportOptions()->Author, "Já");
}

TEST(FrxSerializer, ComponentTextAndSingleElements) {
    RegisterTestClasses();
    TfrxReport report;
    auto* page = new TTestBox(&report);
    page->SetName("Page1");
    auto* v = new TTestView(page);
    v->SetName("Memo1");
    v->SetBounds(1, 2, 3, 4);
    TfrxXMLSerializer s(nullptr);
    EXPECT_EQ(s.ComponentText(v).rfind("TTestView Left=\"1\" Top=\"2\" Width=\"3\" Height=\"4\" Value=\"\" Date=\"0\" "
                                       "Memo.Text=\"\" Sub.Font.Charset=",
                  0),
        0u)
        << s.ComponentText(v);

    TStringStream out;
    TfrxXMLSerializer w(&out);
    w.WriteComponent(v);
    w.WriteComponent(v);
    EXPECT_EQ(out.DataString().find('\n'), std::string::npos);
    TStringStream in("\r\n" + out.DataString() + "\r\n");
    TfrxXMLSerializer r(&in);
    TfrxComponent* first = r.ReadComponent(page);
    TfrxComponent* second = r.ReadComponent(page);
    EXPECT_EQ(r.ReadComponent(page), nullptr);
    ASSERT_TRUE(first && second);
    EXPECT_DOUBLE_EQ(second->GetHeight(), 4);
    EXPECT_EQ(page->ChildCount(), 3);
    EXPECT_THROW(s.CreateFromText(page, "TfrxNoSuchClass l=\"1\""), EClassNotFound);
    EXPECT_EQ(s.CreateFromText(page, "  "), nullptr);
}
