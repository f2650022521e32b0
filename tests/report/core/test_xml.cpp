// The report XML layer: reading, writing, attributes, escaping, swapping and bad input.

#include <gtest/gtest.h>

#include <map>

#include "platform/classes/Streams.h"
#include "platform/rtl/CodePages.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxXML.h"

namespace {
std::string Save(TfrxXMLDocument& doc) {
    TStringStream out;
    doc.SaveToStream(&out);
    return out.DataString();
}

void Load(TfrxXMLDocument& doc, const std::string& text) {
    TStringStream in(text);
    doc.LoadFromStream(&in);
}

std::string Dump(const TfrxXMLItem* item) {
    std::string s = item->Name + "[" + item->Text + "]";
    if (item->Count()) {
        s += "(";
        for (int i = 0; i < item->Count(); ++i) s += (i ? "," : "") + Dump(item->Items(i));
        s += ")";
    }
    return s;
}
}  // namespace

TEST(FrxXml, RoundTripKeepsTreeAttributesAndCzechText) {
    TfrxXMLDocument doc;
    TfrxXMLItem* root = doc.Root();
    root->Name = "TfrxReport";
    root->SetProp("Version", "3.0");
    TfrxXMLItem* page = root->Add();
    page->Name = "TfrxReportPage";
    page->SetProp("Name", "Page1");
    TfrxXMLItem* memo = page->Add();
    memo->Name = "TfrxMemoView";
    memo->SetProp("Text", "Vysvědčení \"žáka\"\r\n<b>&</b>");
    page->Add()->Name = "Empty";

    for (bool indent : {false, true}) {
        doc.AutoIndent = indent;
        const std::string text = Save(doc);
        EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"utf-8\"?>", 0), 0u);
        EXPECT_EQ(text.find("\r\n") != std::string::npos, indent);
        if (indent) {
            EXPECT_NE(text.find("\r\n  <TfrxReportPage"), std::string::npos);
        }
        TfrxXMLDocument back;
        Load(back, text);
        EXPECT_EQ(Dump(back.Root()), Dump(doc.Root()));
        EXPECT_EQ(back.Root()->Items(0)->Items(0)->Prop("text"), "Vysvědčení \"žáka\"\r\n<b>&</b>");
    }
}

TEST(FrxXml, ReaderSkipsDataAndCommentsAndTreatsEmptyFormsAlike) {
    TfrxXMLDocument doc;
    Load(doc,
        "<?xml version=\"1.0\"?>junk<r a=\"1\">text<!-- a <b> -- still > here--><e/><f x=\"2\"/>"
        "<g></g><!--x--></R>");
    EXPECT_EQ(Dump(doc.Root()), "r[a=\"1\"](e[],f[x=\"2\"],g[])");
}

TEST(FrxXml, InvalidInputIsAnErrorAndLeavesNothingLoaded) {
    const char* cases[] = {
        "",  // no tag at all
        "<r/>",  // no declaration
        "<?xml version=\"1.0\"?>",  // cut after the header
        "<?xml version=\"1.0\"?><r><a></b></r>",  // closing tag of another name
        "<?xml version=\"1.0\"?><r><a x=\"1\"",  // ends inside a tag
        "<?xml version=\"1.0\"?><r><a <b></a></r>",  // "<" inside a tag
        "<?xml version=\"1.0\"?><r><a><b/></a>",  // cut before the closing tags
        "<?xml version=\"1.0\"?><r><a>",  // cut before the closing tags
    };
    for (const char* text : cases) {
        TfrxXMLDocument doc;
        doc.Root()->Add()->Name = "old";
        try {
            Load(doc, text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), frxInvalidFileFormat) << text;
        }
        EXPECT_EQ(doc.Root()->Count(), 0) << text;
    }
}

TEST(FrxXml, PropAndSetProp) {
    TfrxXMLItem item;
    EXPECT_EQ(item.Prop("Left"), "");
    item.SetProp("Left", "10");
    EXPECT_EQ(item.Text, "Left=\"10\"");  // no leading blank
    item.SetProp("Top", "5");
    item.SetProp("LEFT", "20");  // keeps its place
    EXPECT_EQ(item.Text, "LEFT=\"20\" Top=\"5\"");
    EXPECT_EQ(item.Prop("left"), "20");
    item.Text = "xTop=\"1\" Top=\"2\"";  // only whole names match
    EXPECT_EQ(item.Prop("Top"), "2");
    EXPECT_EQ(item.Prop("op"), "");
}

TEST(FrxXml, EscapingAndCodePointReferences) {
    EXPECT_EQ(frxEscapeXML("a\nb\rc\"d&e<f>g\tč"), "a&#10;b&#13;c&#34;d&#38;e&#60;f&#62;g\tč");
    EXPECT_EQ(frxUnescapeXML("&#269;&#65;&amp;&#66"), "čA&amp;&#66");  // named and unfinished stay
    EXPECT_EQ(frxUnescapeXML(frxEscapeXML("&#65;")), "&#65;");
    EXPECT_THROW(frxUnescapeXML("&#6x;"), EConvertError);
}

TEST(FrxXml, VariantToXml) {
    EXPECT_EQ(frxVariantToXML(Variant(true)), "1");
    EXPECT_EQ(frxVariantToXML(Variant(false)), "0");
    EXPECT_EQ(frxVariantToXML(Variant()), "");
    EXPECT_EQ(frxVariantToXML(Variant(42)), "42");
    EXPECT_EQ(frxVariantToXML(Variant(1.5)), FloatToStr(1.5));
    EXPECT_EQ(frxVariantToXML(Variant("a<b")), "a&#60;b");
    EXPECT_EQ(frxVariantToXML(Variant(int64_t(1) << 40)), "");
}

TEST(FrxXml, UnloadableMarkerIsGluedAndOnlyTheMarkerIsStripped) {
    TfrxXMLDocument doc;
    doc.Root()->Name = "pages";
    TfrxXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Text = "a=\"1\"";
    page->Unloadable = true;
    page->Add()->Name = "obj";
    const std::string text = Save(doc);
    EXPECT_NE(text.find("<page a=\"1\"ld=\"0\">"), std::string::npos) << text;
    TfrxXMLDocument back;
    Load(back, text);
    EXPECT_EQ(back.Root()->Items(0)->Text, "a=\"1\"");
    EXPECT_EQ(back.Root()->Items(0)->Count(), 1);
    // An attribute of its own named "...ld" with value "0" is kept.
    Load(back, "<?xml version=\"1.0\"?><r><o fld=\"0\"><c/></o><p x=\"1\" ld=\"0\"><c/></p></r>");
    EXPECT_EQ(back.Root()->Items(0)->Text, "fld=\"0\"");
    EXPECT_EQ(back.Root()->Items(1)->Text, "x=\"1\" ld=\"0\"");
}

TEST(FrxXml, PartialLoadAndSwapFile) {
    TfrxXMLDocument doc;
    doc.Root()->Name = "pages";
    for (int i = 0; i < 3; ++i) {
        TfrxXMLItem* page = doc.Root()->Add();
        page->Name = "page";
        page->SetProp("n", std::to_string(i));
        page->Unloadable = true;
        page->Add()->Name = "obj" + std::to_string(i);
    }
    const std::string text = Save(doc);

    TfrxXMLDocument partial;
    partial.LoadFromStream(new TStringStream(text), true);  // the document owns the stream
    TfrxXMLItem* p1 = partial.Root()->Items(1);
    EXPECT_FALSE(p1->Loaded);
    EXPECT_EQ(p1->Count(), 0);
    EXPECT_EQ(p1->Prop("n"), "1");
    partial.LoadItem(p1);
    ASSERT_EQ(p1->Count(), 1);
    EXPECT_EQ(p1->Items(0)->Name, "obj1");

    // Unloaded into the swap file while another item still waits in the source stream.
    partial.UnloadItem(p1);
    EXPECT_FALSE(p1->Loaded);
    EXPECT_FALSE(partial.TempFileName().empty());
    EXPECT_FALSE(FileExists(partial.TempFileName()));  // nameless from the start: nothing left behind
    EXPECT_EQ(Save(partial), text);  // both kinds read back while writing
    partial.LoadItem(p1);
    EXPECT_EQ(p1->Items(0)->Name, "obj1");
    partial.LoadItem(partial.Root()->Items(2));
    EXPECT_EQ(partial.Root()->Items(2)->Items(0)->Name, "obj2");
    const std::string swap = partial.TempFileName();
    partial.Clear();
    EXPECT_FALSE(FileExists(swap));
}

TEST(FrxXml, TempDirIsUsedWhole) {
    std::string dir = GetTempDir() + std::string(70, 'd');
    ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
    TfrxXMLDocument doc;
    doc.TempDir = dir;
    doc.CreateTempFile();
    EXPECT_EQ(ExtractFilePath(doc.TempFileName()), IncludeTrailingPathDelimiter(dir));
    EXPECT_EQ(ExtractFileName(doc.TempFileName()).rfind("fr", 0), 0u);
    doc.DeleteTempFile();
    rmdir(dir.c_str());
}

namespace {
// A stream of several gigabytes that holds blanks except where a test put text.
class TSparseStream : public TStream {
public:
    int64_t Size() const override { return FSize; }
    int64_t Position() const override { return FPos; }
    int64_t Seek(int64_t offset, int origin) override {
        int64_t p = origin == soFromBeginning ? offset : origin == soFromCurrent ? FPos + offset : FSize + offset;
        if (p < 0) return -1;
        return FPos = p;
    }
    int64_t Read(void* buffer, int64_t count) override {
        auto* out = static_cast<char*>(buffer);
        int64_t n = std::max<int64_t>(0, std::min(count, FSize - FPos));
        for (int64_t i = 0; i < n; ++i) {
            auto it = FData.upper_bound(FPos + i);
            char c = ' ';
            if (it != FData.begin()) {
                --it;
                if (FPos + i - it->first < int64_t(it->second.size())) c = it->second[size_t(FPos + i - it->first)];
            }
            out[i] = c;
        }
        FPos += n;
        return n;
    }
    int64_t Write(const void*, int64_t) override { return 0; }
    void Put(int64_t at, std::string text) {
        FSize = std::max(FSize, at + int64_t(text.size()));
        FData[at] = std::move(text);
    }
    int64_t FSize = 0, FPos = 0;
    std::map<int64_t, std::string> FData;
};
}  // namespace

TEST(FrxXml, OffsetsBeyondFourGigabytesReadBack) {
    auto* stream = new TSparseStream;
    stream->Put(0, "<?xml version=\"1.0\"?><r><p ld=\"0\"><c/></p></r>");
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream, true);
    TfrxXMLItem* p = doc.Root()->Items(0);
    for (int64_t at : {(int64_t(1) << 31) + 5, (int64_t(1) << 32) + 7}) {
        stream->Put(at, "<p><c" + std::to_string(at) + "/></p>");
        p->Clear();
        p->Offset = uint64_t(at);
        doc.LoadItem(p);
        ASSERT_EQ(p->Count(), 1);
        EXPECT_EQ(p->Items(0)->Name, "c" + std::to_string(at));
    }
}

TEST(FrxXml, LegacyCentralEuropeanFileIsTranscoded) {
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"utf-8\"?><r t=\"Žluťoučký kůň\"/>";
    TfrxXMLDocument doc;
    Load(doc, Utf8ToCodePage(utf8, 1250));
    EXPECT_EQ(doc.Root()->Prop("t"), "Žluťoučký kůň");
}

TEST(FrxXml, ItemListOperations) {
    TfrxXMLItem root;
    TfrxXMLItem* a = root.Add();
    a->Name = "A";
    TfrxXMLItem* b = root.Add();
    b->Name = "B";
    EXPECT_EQ(root.Find("b"), 1);
    EXPECT_EQ(root.FindItem("C")->Name, "C");
    EXPECT_EQ(root.Count(), 3);
    TfrxXMLItem other;
    other.InsertItem(0, other.Add());
    other.InsertItem(0, b);  // moved from root to the front of other
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(other.IndexOf(b), 0);
    EXPECT_EQ(b->Parent(), &other);
    delete a;  // leaves its parent's list
    EXPECT_EQ(root.Count(), 1);
    EXPECT_EQ(root.Items(0)->Name, "C");
}
