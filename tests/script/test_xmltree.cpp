#include <gtest/gtest.h>

#include <sstream>

#include "platform/rtl/Exceptions.h"
#include "script/XmlTree.h"

namespace {

TEST(FsXmlEscape, EscapesTheSixCharactersOnly) {
    EXPECT_EQ(fsEscapeXML("a\nb\rc\"d<e>f&g'h"), "a&#10;b&#13;c&#34;d&#60;e&#62;f&#38;g'h");
    EXPECT_EQ(fsEscapeXML("čřž"), "čřž");
}

TEST(FsXmlEscape, UnescapeTable) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"&#65;", "A"},
        {"x&#60;&#62;y", "x<>y"},
        {"&#269;", "č"},  // code points, not bytes
        {"&#65", "&#65"},  // no ';': unchanged
        {"&#x41;", "&#x41;"},  // not decimal: unchanged instead of an error
        {"&#;", "&#;"},
        {"&#99999999;", "&#99999999;"},
        {"&#55296;", "&#55296;"},  // a surrogate half is no character
        {"a&b", "a&b"},
    };
    for (const auto& c : cases) EXPECT_EQ(fsUnescapeXML(c.in), c.out) << c.in;
}

TEST(FsXmlEscape, AmpersandRoundTrips) {
    // A value that itself holds a character reference must come back unchanged.
    TfsXMLItem item;
    item.Text = "v=\"" + fsEscapeXML("&#65;\"<>") + "\"";
    EXPECT_EQ(item.Prop("v"), "&#65;\"<>");
}

TEST(FsXmlItem, FindItemAddsOnceAndFindIgnoresCase) {
    TfsXMLItem root;
    root.Add()->Name = "Parser";
    EXPECT_EQ(root.Find("parser"), 0);
    EXPECT_EQ(root.Find("PARSER"), 0);
    EXPECT_EQ(root.Find("types"), -1);
    TfsXMLItem* types = root.FindItem("types");
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(types->Name, "types");
    EXPECT_EQ(root.FindItem("TYPES"), types);
    EXPECT_EQ(root.Count(), 2);
    TfsXMLItem* czech = root.Add();
    czech->Name = "Čárka";
    EXPECT_EQ(root.Find("čÁRKA"), 2);
}

TEST(FsXmlItem, PropTable) {
    TfsXMLItem item;
    item.Text = "text=\"Get\" pos=\"1:5\" Name=\"a&#34;b\" x=\"&#65;\" textual=\"no\" č=\"ř\"";
    struct Case {
        const char* name;
        const char* value;
    } cases[] = {
        {"text", "Get"},
        {"TEXT", "Get"},
        {"pos", "1:5"},
        {"name", "a\"b"},
        {"x", "A"},
        {"tex", ""},  // whole names only
        {"missing", ""},
        {"Č", "ř"},
    };
    for (const auto& c : cases) EXPECT_EQ(item.Prop(c.name), c.value) << c.name;
}

TEST(FsXmlItem, OwnershipAndMoves) {
    TfsXMLItem a, b;
    TfsXMLItem* child = a.Add();
    child->Add()->Name = "grandchild";
    EXPECT_EQ(child->Parent(), &a);
    EXPECT_EQ(child->Items(0)->Root(), &a);
    b.AddItem(child);
    EXPECT_EQ(a.Count(), 0);
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(child->Parent(), &b);
    b.Add()->Name = "second";
    TfsXMLItem* first = b.Add();
    first->Name = "first";
    b.InsertItem(0, first);
    EXPECT_EQ(b.Items(0)->Name, "first");
    EXPECT_EQ(b.Count(), 3);
    delete b.Items(1);  // freeing an item takes it out of its parent's list
    EXPECT_EQ(b.Count(), 2);
    EXPECT_EQ(b.Items(1)->Name, "second");
    b.AddItem(new TfsXMLItem);  // a parentless item is adopted
    EXPECT_EQ(b.Count(), 3);
    b.Clear();
    EXPECT_EQ(b.Count(), 0);
}

TEST(FsXmlItem, AssignCopiesDeepAndFromNilClears) {
    TfsXMLItem src;
    src.Name = "a";
    src.Text = "x=\"1\"";
    src.Data = 7;
    TfsXMLItem* c = src.Add();
    c->Name = "b";
    c->Data = 9;
    TfsXMLItem dst;
    dst.Add();
    dst.Assign(&src);
    EXPECT_EQ(dst.Name, "a");
    EXPECT_EQ(dst.Prop("x"), "1");
    EXPECT_EQ(dst.Data, 7);
    ASSERT_EQ(dst.Count(), 1);
    EXPECT_EQ(dst.Items(0)->Data, 9);
    EXPECT_NE(dst.Items(0), c);
    dst.Assign(nullptr);
    EXPECT_EQ(dst.Count(), 0);
}

TfsXMLDocument Sample() {
    TfsXMLDocument doc;
    doc.Root()->Name = "program";
    TfsXMLItem* v = doc.Root()->Add();
    v->Name = "var";
    v->Text = "pos=\"1:1\"";
    TfsXMLItem* leaf = v->Add();
    leaf->Name = "ident";
    leaf->Text = "text=\"a\"";
    doc.Root()->Add()->Name = "types";
    return doc;
}

TEST(FsXmlDocument, SavesOnOneLineOrIndented) {
    TfsXMLDocument doc = Sample();
    EXPECT_EQ(doc.SaveToString(),
        "<?xml version=\"1.0\"?><program><var pos=\"1:1\"><ident text=\"a\"/></var><types/></program>");
    doc.AutoIndent = true;
    EXPECT_EQ(doc.SaveToString(),
        "<?xml version=\"1.0\"?>\r\n<program>\r\n  <var pos=\"1:1\">\r\n    <ident text=\"a\"/>\r\n"
        "  </var>\r\n  <types/>\r\n</program>\r\n");
}

TEST(FsXmlDocument, LoadsWhatItSaves) {
    TfsXMLDocument doc = Sample();
    doc.AutoIndent = true;
    TfsXMLDocument copy;
    copy.LoadFromString(doc.SaveToString());
    EXPECT_EQ(copy.Root()->Name, "program");
    ASSERT_EQ(copy.Root()->Count(), 2);
    EXPECT_EQ(copy.Root()->Items(0)->Items(0)->Prop("text"), "a");
    EXPECT_EQ(copy.Root()->Items(1)->Name, "types");
}

TEST(FsXmlDocument, ReaderTable) {
    struct Case {
        const char* text;
        const char* shape;
    } cases[] = {
        {"<?xml version=\"1.0\"?><a><b/><c x=\"1\"/></a>", "a(b c)"},
        {"<?xml?>text<a>chars<!-- <b/> -- > still --><b/>more</a>", "a(b)"},
        {"<?xml?><a ><b x=\"1\" /></A>", "a(b)"},  // closing tag case ignored
        {"<?xml?>", ""},
    };
    for (const auto& c : cases) {
        TfsXMLDocument doc;
        doc.LoadFromString(c.text);
        std::string shape = doc.Root()->Name;
        if (doc.Root()->Count()) {
            shape += "(";
            for (int i = 0; i < doc.Root()->Count(); ++i) shape += (i ? " " : "") + doc.Root()->Items(i)->Name;
            shape += ")";
        }
        EXPECT_EQ(shape, c.shape) << c.text;
    }
}

TEST(FsXmlDocument, InvalidFormats) {
    const char* bad[] = {
        "<a/>",  // no header
        "<?xml?><a><b</a>",  // "<" inside a tag
        "<?xml?><a><b",  // ends inside a tag
        "<?xml?><a><b></c></a>",  // closing tag of another element
        "<?xml?><a><b></b>",  // truncated: the document's closing tag is missing
    };
    for (const char* text : bad) {
        TfsXMLDocument doc;
        try {
            doc.LoadFromString(text);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Invalid file format") << text;
        }
    }
}

TEST(FsXmlDocument, ReaderLeavesStreamAfterWhatItRead) {
    std::istringstream s("<?xml?><a/>tail");
    TfsXMLDocument doc;
    doc.LoadFromStream(s);
    std::string rest;
    s >> rest;
    EXPECT_EQ(rest, "tail");
}

TEST(FsXmlDocument, LargeDocumentCrossesBufferBoundaries) {
    TfsXMLDocument doc;
    doc.Root()->Name = "r";
    for (int i = 0; i < 2000; ++i) {
        TfsXMLItem* item = doc.Root()->Add();
        item->Name = "item";
        item->Text = "n=\"" + std::to_string(i) + "\"";
    }
    TfsXMLDocument copy;
    copy.LoadFromString(doc.SaveToString());
    ASSERT_EQ(copy.Root()->Count(), 2000);
    EXPECT_EQ(copy.Root()->Items(1999)->Prop("n"), "1999");
}

TEST(FsXmlDocument, FileErrors) {
    TfsXMLDocument doc;
    EXPECT_THROW(doc.LoadFromFile("/nonexistent/x.xml"), EFOpenError);
    EXPECT_THROW(doc.SaveToFile("/nonexistent/x.xml"), EFCreateError);
}

}  // namespace
