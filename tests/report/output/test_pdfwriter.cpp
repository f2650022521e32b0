// The PDF writer: toolkit conversions, document skeleton and object numbering, outline, fonts
// and page content, and whole documents checked by qpdf and read back by pdftotext.

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <regex>
#include <sstream>

#include "platform/gui/Bitmaps.h"
#include "platform/gui/FontData.h"
#include "platform/gui/TestKit.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxPlugins.h"
#include "report/output/frxPDFFile.h"
#include "report/output/frxTrueTypeSubset.h"
#include "platform/rtl/Sfnt.h"
#include "tests/report/output/PdfTestUtil.h"

namespace {
// 210 x 297 mm in report pixels.
constexpr double kA4W = 793.7013, kA4H = 1122.5204;

std::string Save(TfrxPDFFile& pdf) {
    pdf.Clock = [] { return EncodeDate(2026, 6, 30) + EncodeTime(8, 5, 9, 0); };
    TStringStream s;
    pdf.SaveToStream(&s);
    return s.DataString();
}

int Count(const std::string& s, const std::string& what) {
    int n = 0;
    for (size_t p = s.find(what); p != std::string::npos; p = s.find(what, p + 1)) ++n;
    return n;
}

// The xref table's offsets, each checked to point at its "<n> 0 obj" line.
void CheckXRef(const std::string& doc, size_t expectedObjects) {
    const size_t sx = doc.rfind("startxref\r\n");
    ASSERT_NE(sx, std::string::npos);
    const size_t xrefAt = std::stoul(doc.substr(sx + 11));
    ASSERT_EQ(doc.compare(xrefAt, 6, "xref\r\n"), 0);
    std::istringstream in(doc.substr(xrefAt + 6));
    size_t first, count;
    in >> first >> count;
    ASSERT_EQ(count, expectedObjects + 1);
    EXPECT_NE(doc.find("/Size " + std::to_string(count) + "\r\n"), std::string::npos);
    const size_t table = doc.find("0000000000 65535 f\r\n", xrefAt);
    for (size_t n = 1; n < count; ++n) {
        const std::string line = doc.substr(table + 20 * n, 20);
        ASSERT_EQ(line.substr(10), " 00000 n\r\n") << n;
        const size_t off = std::stoul(line.substr(0, 10));
        EXPECT_EQ(doc.compare(off, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
    }
}

class FakeOutline : public TfrxCustomOutline {
public:
    struct Item {
        std::string text;
        int page = 0, top = 0;
        std::vector<Item> children;
    };
    Item Root;
    std::vector<Item*> Path;

    FakeOutline() : TfrxCustomOutline(nullptr) { Path = {&Root}; }
    int GetCount() override { return int(Path.back()->children.size()); }
    void AddItem(const std::string&, int) override {}
    void LevelDown(int index) override { Path.push_back(&Path.back()->children.at(size_t(index))); }
    void LevelRoot() override { Path = {&Root}; }
    void LevelUp() override {
        if (Path.size() > 1) Path.pop_back();
    }
    void GetItem(int index, std::string& text, int& page, int& top) override {
        const Item& it = Path.back()->children.at(size_t(index));
        text = it.text, page = it.page, top = it.top;
    }
    void ShiftItems(TfrxXMLItem*, int) override {}
    TfrxXMLItem* GetCurPosition() override { return nullptr; }
};

std::string ObjectText(const std::string& doc, int n) {
    const std::string head = "\r\n" + std::to_string(n) + " 0 obj\r\n";
    const size_t at = doc.find(head);
    if (at == std::string::npos) return {};
    return doc.substr(at + 2, doc.find("endobj", at) - at - 2);
}

std::unique_ptr<TFont> MakeFont(const std::string& name, int size, TFontStyles style = {}) {
    auto f = std::make_unique<TFont>();
    f->SetName(name);
    f->SetSize(size);
    f->SetStyle(style);
    f->SetColor(clBlack);
    return f;
}

class PdfWriter : public ::testing::Test {
protected:
    void SetUp() override { TestKit::EnsureApplication(); }
};
}  // namespace

TEST(PdfToolkit, Conversions) {
    TfrxPDFToolkit tk("cs");
    EXPECT_EQ(tk.UnicodePrefix,
        std::string("\xFE\xFF\x00\x1B"
                    "cs\x00\x1B",
            8));
    EXPECT_EQ(tk.TextString("Report 1"), "Report 1");
    EXPECT_EQ(tk.TextString("ž"), "\\376\\377\\000\\033\\143\\163\\000\\033\\001\\176");
    EXPECT_EQ(tk.TextString("a~b").substr(0, 16), "\\376\\377\\000\\033");
    // Sound: plain text is escaped too, so an unbalanced parenthesis keeps the string valid.
    EXPECT_EQ(tk.TextString("a(b\\"), "a\\(b\\\\");
    EXPECT_EQ(TfrxPDFToolkit::OctalByte(0), "000");
    EXPECT_EQ(TfrxPDFToolkit::OctalByte(255), "377");
    EXPECT_EQ(TfrxPDFToolkit::EscapeText("a(b)\\c\r\n"), "a\\(b\\)\\\\c");
    EXPECT_EQ(TfrxPDFToolkit::EscapeText("x\r\n\r\n"), "x\r\n");
    EXPECT_EQ(TfrxPDFToolkit::EscapeText("a\x01"
                                         "b"),
        "ab");
    struct ColorCase {
        TColor color;
        const char* text;
    };
    for (ColorCase c : {ColorCase{clBlack, "0 0 0"}, ColorCase{clWhite, "1 1 1"}, ColorCase{clRed, "1 0 0"},
             ColorCase{clNone, "1 1 1"}, ColorCase{TColor(0x800080), "0.5 0 0.5"}})
        EXPECT_EQ(TfrxPDFToolkit::ColorText(c.color), c.text) << c.text;
    EXPECT_EQ(frxPDFHexName("Times#20New,Bold"), "Times#20New,Bold");
    EXPECT_EQ(frxPDFHexName("P\xC5\x99"), "P#C5#99");
}

TEST(PdfToolkit, VerticalPositions) {
    TfrxPDFToolkit tk("cs");
    tk.LineHeight = 20;
    EXPECT_EQ(tk.VertPos(vaTop, 1, 0, 100, 10), 30);
    EXPECT_EQ(tk.VertPos(vaTop, 3, 2, 100, 10), 70);
    EXPECT_EQ(tk.VertPos(vaBottom, 3, 2, 100, 10), 110);
    EXPECT_EQ(tk.VertPos(vaBottom, 3, 0, 100, 10), 70);
    EXPECT_EQ(tk.VertPos(vaCenter, 2, 0, 100, 10), 60 - 20 + 20);
    EXPECT_EQ(tk.VertPos(vaTop, 1, 5, 100, 10), 30);  // an index past the count is line 0
}

TEST(PdfToolkit, NumbersUseDotWhateverTheLocale) {
    // The program's own settings are Czech (decimal comma); the C library's locale may be too.
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    auto restore = OnScopeExit([&] { std::setlocale(LC_ALL, saved.c_str()); });
    std::setlocale(LC_ALL, "cs_CZ.UTF-8");
    TRollback<char32_t> comma(FormatSettings().DecimalSeparator, U',');
    struct Case {
        double value;
        const char* text;
    };
    for (Case c : {Case{0, "0.0000"}, Case{1.5, "1.5000"}, Case{595.27597, "595.2760"}, Case{-0.00001, "0.0000"},
             Case{-12.34567, "-12.3457"}, Case{841.8903, "841.8903"}, Case{100000.125, "100000.1250"}})
        EXPECT_EQ(frxPDFNumber(c.value), c.text) << c.text;
    EXPECT_EQ(TfrxPDFToolkit::ColorText(TColor(0x808080)), "0.5 0.5 0.5");
}

TEST_F(PdfWriter, OnePageSkeleton) {
    TfrxPDFFile pdf;
    pdf.Compressed = false;
    pdf.AddPage(kA4W, kA4H, 0, 0);
    const std::string doc = Save(pdf);
    EXPECT_EQ(doc.substr(0, 17), "%PDF-1.3\r\n%\xE2\xE3\xCF\xD3\r\n");
    CheckXRef(doc, 5);
    EXPECT_NE(ObjectText(doc, 1).find("/Pages 3 0 R\r\n/PageMode /UseNone\r\n>>"), std::string::npos);
    const std::string info = ObjectText(doc, 2);
    EXPECT_NE(info.find("/Producer (VuzoVaruza 3)\r\n/Author (VuzoVaruza)\r\n/Subject (VuzoVaruza PDF export)"),
        std::string::npos);
    EXPECT_NE(info.find("/CreationDate (D:20260630080509)\r\n/ModDate (D:20260630080509)"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 3).find("/Kids [4 0 R ]\r\n/Count 1"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 4).find("/MediaBox [0 0 595.2760 841.8903 ]"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 5).find("<< /Length 0 >>\r\nstream\r\nendstream"), std::string::npos);
    EXPECT_EQ(doc.find("/ViewerPreferences"), std::string::npos);
    EXPECT_EQ(doc.substr(doc.size() - 7), "%%EOF\r\n");
}

TEST_F(PdfWriter, OutlineNumbering) {
    FakeOutline tree;
    using Item = FakeOutline::Item;
    Item c{"C", 0, 40, {}};
    Item a1{"A1", 0, 20, {c}}, a2{"A2", 0, 30, {}}, b1{"B1", 1, 0, {}};
    tree.Root.children = {Item{"A", 0, 0, {a1, a2}}, Item{"B (druhá)", 1, 100, {b1}}};
    TfrxPDFFile pdf;
    pdf.Compressed = false;
    pdf.Outline = true;
    pdf.OutlineTree = &tree;
    pdf.Title = "Vysvědčení";
    pdf.AddPage(kA4W, kA4H, 0, 0, 0);
    pdf.AddPage(kA4W, kA4H, 0, 0, 1);
    const std::string doc = Save(pdf);
    CheckXRef(doc, 3 + 6 + 1 + 4);
    EXPECT_NE(
        ObjectText(doc, 1).find("/PageMode /UseOutlines\r\n/Outlines 3 0 R\r\n/ViewerPreferences"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 3).find("/Count 2\r\n/First 4 0 R\r\n/Last 5 0 R"), std::string::npos);
    const std::string a = ObjectText(doc, 4);
    EXPECT_NE(a.find("/Title (A)\r\n/Parent 3 0 R\r\n/First 6 0 R\r\n/Last 7 0 R\r\n/Count 2\r\n/Next 5 0 R"),
        std::string::npos)
        << a;
    EXPECT_NE(a.find("/Dest [11 0 R /XYZ 0 842 0]"), std::string::npos) << a;
    EXPECT_NE(ObjectText(doc, 5).find("/Prev 4 0 R"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 5).find("/Dest [13 0 R /XYZ 0 767 0]"), std::string::npos);
    const std::string a1s = ObjectText(doc, 6);
    EXPECT_NE(a1s.find("/Parent 4 0 R\r\n/First 9 0 R\r\n/Last 9 0 R\r\n/Count 1\r\n/Next 7 0 R"), std::string::npos)
        << a1s;
    EXPECT_NE(ObjectText(doc, 8).find("/Title (B1)\r\n/Parent 5 0 R"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 9).find("/Title (C)\r\n/Parent 6 0 R"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 10).find("/Type /Pages"), std::string::npos);

    // An empty outline: root without children, page tree 4.
    FakeOutline empty;
    TfrxPDFFile pdf2;
    pdf2.Outline = true;
    pdf2.OutlineTree = &empty;
    pdf2.AddPage(kA4W, kA4H, 0, 0);
    const std::string doc2 = Save(pdf2);
    EXPECT_NE(ObjectText(doc2, 3).find("<<\r\n/Count 0\r\n>>"), std::string::npos);
    EXPECT_NE(ObjectText(doc2, 4).find("/Type /Pages"), std::string::npos);
}

TEST_F(PdfWriter, OutlineItemOfAPageNotExported) {
    // Sound: with a page range the outline's prepared page numbers are mapped to exported
    // pages; an item whose page was left out has no destination instead of a wrong one.
    FakeOutline tree;
    tree.Root.children = {FakeOutline::Item{"one", 0, 0, {}}, FakeOutline::Item{"three", 2, 0, {}}};
    TfrxPDFFile pdf;
    pdf.Outline = true;
    pdf.OutlineTree = &tree;
    pdf.AddPage(kA4W, kA4H, 0, 0, 2);  // only prepared page 3 exported
    const std::string doc = Save(pdf);
    EXPECT_EQ(ObjectText(doc, 4).find("/Dest"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 5).find("/Dest [7 0 R /XYZ 0 842 0]"), std::string::npos);
}

TEST_F(PdfWriter, FontEntriesAndNumbering) {
    TfrxPDFFile pdf;
    pdf.Compressed = false;
    TfrxPDFPage* page = pdf.AddPage(kA4W, kA4H, 0, 0);
    auto arial8 = MakeFont("Arial", 8), arial12 = MakeFont("Arial", 12), bold = MakeFont("Arial", 8, {fsBold});
    auto times = MakeFont("Times New Roman", 10, {fsBold});
    EXPECT_EQ(pdf.AddFont(arial8.get()), 0);
    EXPECT_EQ(pdf.AddFont(arial12.get()), 0);  // size plays no part
    EXPECT_EQ(pdf.AddFont(bold.get()), 1);
    EXPECT_EQ(pdf.AddFont(times.get()), 2);
    page->AddTextLines(bold.get(), {"x"}, {});
    const std::string doc = Save(pdf);
    CheckXRef(doc, 2 + 1 + 3 * 2 + 2);
    EXPECT_NE(ObjectText(doc, 10).find("/Font <<\r\n/F0 4 0 R\r\n/F2 6 0 R\r\n/F4 8 0 R\r\n>>"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 11).find("/F2 8 Tf"), std::string::npos);
    const std::string f0 = ObjectText(doc, 4), d0 = ObjectText(doc, 5), d1 = ObjectText(doc, 7);
    EXPECT_NE(f0.find("/Name /F0\r\n/BaseFont /Arial\r\n/Subtype /TrueType\r\n"), std::string::npos) << f0;
    EXPECT_NE(f0.find("/BaseEncoding /WinAnsiEncoding\r\n/Differences [128 /Euro 140 /Sacute"), std::string::npos);
    EXPECT_NE(
        f0.find("158 /zcaron") == std::string::npos ? f0.find("156 /sacute /tcaron /zcaron") : 0, std::string::npos);
    EXPECT_NE(f0.find("/FirstChar 32\r\n/LastChar 255\r\n"), std::string::npos);
    const size_t w = f0.find("/Widths [");
    std::istringstream widths(f0.substr(w + 9, f0.find(']', w) - w - 9));
    std::vector<int> values;
    for (int v; widths >> v;) values.push_back(v);
    ASSERT_EQ(values.size(), 224u);
    EXPECT_EQ(values[0], 278);  // the space of a face metric-compatible with Arial
    EXPECT_EQ(values['A' - 32], 667);
    EXPECT_NE(d0.find("/Flags 32\r\n/StemV 88\r\n"), std::string::npos) << d0;
    EXPECT_NE(d1.find("/StemV 166"), std::string::npos);
    // Not embedded, a font is named as a reader can find it: without blanks.
    EXPECT_NE(ObjectText(doc, 8).find("/BaseFont /TimesNewRoman,Bold\r\n"), std::string::npos);
    EXPECT_NE(ObjectText(doc, 9).find("/FontName /TimesNewRoman,Bold\r\n"), std::string::npos);
    EXPECT_EQ(doc.find("/FontFile2"), std::string::npos);

    // Embedded, the name keeps its blanks, escaped.
    TfrxPDFFile embedded;
    embedded.EmbeddedFonts = true;
    embedded.AddPage(kA4W, kA4H, 0, 0)->AddTextLines(times.get(), {"x"}, {});
    const std::string withFonts = Save(embedded);
    EXPECT_NE(withFonts.find("/BaseFont /Times#20New#20Roman,Bold\r\n"), std::string::npos);
    EXPECT_NE(withFonts.find("/FontFile2"), std::string::npos);
}

TEST_F(PdfWriter, FontDesignData) {
    auto arial = MakeFont("Arial", 10), italic = MakeFont("Times New Roman", 10, {fsItalic});
    const TFontDesignData d = GetFontDesignData(arial->Data());
    EXPECT_EQ(d.FamilyName, "Liberation Sans");
    EXPECT_TRUE(d.TrueType);
    EXPECT_EQ(d.Charset, EASTEUROPE_CHARSET);
    EXPECT_EQ(d.Weight, 400);
    EXPECT_GT(d.Ascent, 700);
    EXPECT_LT(d.Descent, -150);
    EXPECT_LT(d.BoxLeft, 0);
    EXPECT_GT(d.BoxTop, d.Ascent);
    EXPECT_EQ(GetFontDesignWidth(arial->Data(), U'ž'), 500);
    EXPECT_LT(GetFontDesignData(italic->Data()).ItalicAngle, -5);
    const std::string program = GetFontProgram(arial->Data());
    ASSERT_GT(program.size(), 100000u);
    EXPECT_EQ(program.substr(0, 4), std::string("\x00\x01\x00\x00", 4));
}

TEST_F(PdfWriter, PageContentOperators) {
    TfrxPDFFile pdf;
    pdf.Toolkit->LineHeight = 0;
    TfrxPDFPage* page = pdf.AddPage(kA4W, kA4H, 0, 0);
    page->AddLine(clBlack, 2, 10, 20, 100, 0);  // horizontal: same y
    page->AddFrame(clRed, 1, true, false, false, true, 0, 0, 40, 40);
    page->AddFrame(clNone, 1, true, true, true, true, 0, 0, 40, 40);  // transparent: nothing
    page->AddRectangle(clBlack, 1, clNone, 0, 0, 10, 10);
    auto font = MakeFont("Arial", 10, {fsUnderline});
    TfrxPDFPage::TTextBox box;
    box.Width = 200, box.Height = 100;
    page->AddTextLines(font.get(), {"a(b)", " ", "třetí"}, box);
    const std::string c(static_cast<const char*>(page->Content->Memory()), size_t(page->Content->Size()));
    EXPECT_NE(c.find("0 0 0 RG\r\n1.5000 w\r\n7.5000 826.8903 m\r\n82.5000 826.8903 l\r\nS\r\n"), std::string::npos)
        << c;
    EXPECT_NE(c.find("1 0 0 RG\r\n0.7500 w\r\n0.0000 841.8903 m\r\n30.0000 841.8903 l\r\nS\r\n"
                     "30.0000 841.8903 m\r\n30.0000 811.8903 l\r\nS\r\n"),
        std::string::npos);
    EXPECT_EQ(Count(c, " RG\r\n"), 3 + 2);  // line, frame, rectangle, and two underlines
    EXPECT_NE(c.find("1 1 1 rg\r\n0.0000 834.3903 7.5000 7.5000 re\r\nB\r\n"), std::string::npos);
    EXPECT_EQ(Count(c, "BT\r\n"), 2);  // the blank middle line is skipped
    EXPECT_NE(c.find("(a\\(b\\)) Tj"), std::string::npos);
    EXPECT_NE(c.find("(t\xF8"
                     "et\xED) Tj"),
        std::string::npos);  // code page 1250 bytes
    EXPECT_NE(c.find("/F0 10 Tf\r\n0 0 0 rg\r\n"), std::string::npos);
    // The third line's baseline is two line pitches below the first's.
    std::regex td(R"(([-0-9.]+) ([-0-9.]+) Td)");
    std::vector<double> ys;
    for (std::sregex_iterator it(c.begin(), c.end(), td), end; it != end; ++it) ys.push_back(std::stod((*it)[2]));
    ASSERT_EQ(ys.size(), 2u);
    EXPECT_NEAR(ys[0] - ys[1], 2 * pdf.Toolkit->LineHeight * 0.75, 1e-3);
}

TEST_F(PdfWriter, ContentStreamLengths) {
    for (bool compressed : {false, true}) {
        TfrxPDFFile pdf;
        pdf.Compressed = compressed;
        TfrxPDFPage* page = pdf.AddPage(kA4W, kA4H, 10, 10);
        page->AddFill(clRed, 0, 0, 10, 10);
        const std::string content(static_cast<const char*>(page->Content->Memory()), size_t(page->Content->Size()));
        const std::string doc = Save(pdf);
        const std::string obj = ObjectText(doc, 5);
        const size_t st = obj.find("stream\r\n") + 8, en = obj.find("endstream");
        if (compressed) {
            EXPECT_NE(obj.find("<< /Filter /FlateDecode /Length " + std::to_string(en - st - 2) + " /Length1 " +
                          std::to_string(content.size()) + " >>"),
                std::string::npos)
                << obj;
            EXPECT_EQ(pdftest::Inflate(obj.substr(st, en - st - 2)), content);
        } else {
            EXPECT_EQ(obj.substr(st, en - st), content);
            EXPECT_NE(obj.find("<< /Length " + std::to_string(content.size()) + " >>"), std::string::npos);
        }
        EXPECT_NE(content.find("1 0 0 rg\r\n5.0000 829.3903 7.5000 7.5000 re\r\nf\r\n"), std::string::npos) << content;
    }
}

namespace {
const std::vector<std::string> kCzech = {"Vysvědčení", "Příliš žluťoučký kůň úpěl ďábelské ódy",
    "ŘEDITELSTVÍ ŠKOLY: Ťuhýk Ďáblík Ňuňu Ůly", "Chování: velmi dobré (1)"};

// A document of two A4 pages with the Czech lines, written to a file.
void WriteCzech(const std::string& file, bool compressed, bool embedded, bool subset = true) {
    TfrxPDFFile pdf;
    pdf.Compressed = compressed;
    pdf.EmbeddedFonts = embedded;
    pdf.SubsetFonts = subset;
    pdf.Title = "Vysvědčení (opis)";
    pdf.Author = "Škola";
    auto regular = MakeFont("Arial", 12), bold = MakeFont("Times New Roman", 14, {fsBold});
    for (int p = 0; p < 2; ++p) {
        TfrxPDFPage* page = pdf.AddPage(kA4W, kA4H, 0, 0, p);
        TfrxPDFPage::TTextBox box;
        box.Left = 40, box.Top = 40, box.Width = 700, box.Height = 30;
        for (size_t i = 0; i < kCzech.size(); ++i) {
            page->AddTextLines(i == 0 ? bold.get() : regular.get(), {kCzech[i]}, box);
            box.Top += 40;
        }
        TBitmap bmp;
        bmp.SetSize(20, 10);
        bmp.Canvas()->Brush()->SetColor(clRed);
        bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
        page->AddImage(&bmp, 40, 300, 80, 40);
    }
    TFileStream out(file, fmCreate);
    pdf.Clock = [] { return EncodeDate(2026, 6, 30); };
    pdf.SaveToStream(&out);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> r;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::string t = Trim(line);
        if (!t.empty() && t != "\f") r.push_back(t);
    }
    return r;
}
}  // namespace

TEST_F(PdfWriter, CzechDocumentReadsBack) {
    pdftest::TempDir dir;
    struct Case {
        bool compressed, embedded;
    };
    for (Case c : {Case{true, false}, Case{false, false}, Case{true, true}}) {
        SCOPED_TRACE(std::to_string(c.compressed) + std::to_string(c.embedded));
        const std::string file = dir.File("doc.pdf");
        WriteCzech(file, c.compressed, c.embedded);
        if (pdftest::HaveTool("qpdf")) {
            int rc = -1;
            const std::string out = pdftest::Run("qpdf --check " + file, &rc);
            EXPECT_EQ(rc, 0) << out;
            EXPECT_EQ(out.find("WARNING"), std::string::npos) << out;
        }
        int rc = -1;
        std::vector<std::string> expected = kCzech;
        expected.insert(expected.end(), kCzech.begin(), kCzech.end());
        EXPECT_EQ(Lines(pdftest::Run("pdftotext -layout " + file + " -", &rc)), expected);
        EXPECT_EQ(rc, 0);
        const std::string info = pdftest::Run("pdfinfo " + file);
        auto field = [&](const std::string& key) {
            const size_t at = info.find(key + ":");
            return at == std::string::npos
                ? std::string()
                : Trim(info.substr(at + key.size() + 1, info.find('\n', at) - at - key.size() - 1));
        };
        EXPECT_EQ(field("Pages"), "2");
        EXPECT_EQ(field("Page size"), "595.276 x 841.89 pts (A4)");
        EXPECT_EQ(field("Title"), "Vysvědčení (opis)");
        EXPECT_EQ(field("Author"), "Škola");
        const std::string fonts = pdftest::Run("pdffonts " + file);
        EXPECT_EQ(Count(fonts, "TrueType"), 2) << fonts;
        std::regex emb(R"(TrueType\s+\S+\s+(yes|no)\s)");
        int embeddedCount = 0;
        for (std::sregex_iterator it(fonts.begin(), fonts.end(), emb), end; it != end; ++it)
            embeddedCount += (*it)[1] == "yes";
        EXPECT_EQ(embeddedCount, c.embedded ? 2 : 0) << fonts;
    }
}

TEST_F(PdfWriter, EmbeddedFontsAreSubsetsThatDrawTheSame) {
    // The subset keeps the glyphs of the text written: a page drawn from it looks as the one
    // drawn from the whole faces, and the file is a fraction of the faces.
    pdftest::TempDir dir;
    WriteCzech(dir.File("embedded.pdf"), true, true);
    WriteCzech(dir.File("whole.pdf"), true, true, false);
    const std::string fonts = pdftest::Run("pdffonts " + dir.File("embedded.pdf"));
    EXPECT_NE(fonts.find("yes"), std::string::npos) << fonts;
    std::ifstream in(dir.File("embedded.pdf"), std::ios::binary | std::ios::ate);
    const auto size = size_t(in.tellg());
    const std::string whole = GetFontProgram(MakeFont("Arial", 12)->Data());
    ASSERT_FALSE(whole.empty());
    EXPECT_LT(size, whole.size() / 4) << "two faces embedded whole would take more than the file";
    if (!pdftest::HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
    for (const char* name : {"embedded", "whole"})
        pdftest::Run("pdftoppm -r 60 -f 1 -l 1 -gray " + dir.File(std::string(name) + ".pdf") + " " + dir.File(name));
    auto read = [&](const char* name) {
        std::ifstream f(dir.File(std::string(name) + "-1.pgm"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    const std::string a = read("embedded"), b = read("whole");
    ASSERT_FALSE(a.empty());
    EXPECT_TRUE(a == b) << "the page drawn from the subsets differs from the whole faces";
}

TEST_F(PdfWriter, SubsetKeepsNumberingAndRefusesDamage) {
    const std::string whole = GetFontProgram(MakeFont("Arial", 12)->Data());
    ASSERT_FALSE(whole.empty());
    const std::string subset = frxSubsetTrueType(whole, {U'A', U'ř', U'Ů'});
    const std::vector<TSfntTable> before = SfntRead(whole), after = SfntRead(subset);
    ASSERT_EQ(after.size(), before.size());
    auto table = [](const std::vector<TSfntTable>& t, const char* tag) {
        for (const TSfntTable& x : t)
            if (x.Tag == tag) return x.Data;
        return std::string();
    };
    EXPECT_EQ(table(after, "maxp"), table(before, "maxp"));  // the same glyph count
    EXPECT_EQ(table(after, "cmap"), table(before, "cmap"));
    EXPECT_EQ(table(after, "hmtx"), table(before, "hmtx"));
    EXPECT_LT(table(after, "glyf").size() * 20, table(before, "glyf").size());
    EXPECT_GT(table(after, "glyf").size(), 0u);
    // Damaged or foreign data gives nothing, so the caller embeds what it has.
    for (const std::string& bad : {std::string(), std::string("OTTO") + whole.substr(4), whole.substr(0, 40)})
        EXPECT_TRUE(frxSubsetTrueType(bad, {U'A'}).empty());
}
