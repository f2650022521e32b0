#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Contents(TMemoryStream& s) {
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    return Bytes(p, p + s.Size());
}

void Load(TMemoryStream& s, const Bytes& bytes) {
    s.Clear();
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(0);
}

Bytes Name(const std::string& n) {
    Bytes b{uint8_t(n.size())};
    b.insert(b.end(), n.begin(), n.end());
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Extra stored data of every value form: a list of strings, an integer, a 64-bit integer and
// a block of bytes.
class THolder : public TPersistent {
    KAROMIL_CLASS(THolder, TPersistent)
public:
    std::vector<std::string> Items;
    int32_t Count = 0;
    int64_t Big = 0;
    std::string Picture;
    bool StoreCount = true;

protected:
    void DefineProperties(TFiler* filer) override {
        filer->DefineProperty(
            "Items",
            [this](TReader* r) {
                Items.clear();
                r->ReadListBegin();
                while (!r->EndOfList()) Items.push_back(r->ReadString());
                r->ReadListEnd();
            },
            [this](TWriter* w) {
                w->WriteListBegin();
                for (const auto& s : Items) w->WriteString(s);
                w->WriteListEnd();
            },
            true);
        filer->DefineProperty(
            "Count", [this](TReader* r) { Count = r->ReadInteger(); }, [this](TWriter* w) { w->WriteInteger(Count); },
            StoreCount);
        filer->DefineProperty(
            "Big", [this](TReader* r) { Big = r->ReadInt64(); }, [this](TWriter* w) { w->WriteInteger(Big); },
            Big != 0);
        filer->DefineBinaryProperty(
            "Picture",
            [this](TStream* s) {
                Picture.assign(size_t(s->Size()), '\0');
                s->ReadBuffer(Picture.data(), s->Size());
            },
            [this](TStream* s) { s->WriteBuffer(Picture.data(), int64_t(Picture.size())); }, !Picture.empty());
    }
};

}  // namespace

KAROMIL_IMPLEMENT_CLASS(THolder, TPersistent)

// --- encoding ----------------------------------------------------------------------------------

TEST(FilerEncoding, IntegersTakeTheSmallestSignedForm) {
    struct Case {
        int64_t value;
        Bytes bytes;
    };
    const Case cases[] = {
        {0, {0x02, 0x00}},
        {-1, {0x02, 0xFF}},
        {127, {0x02, 0x7F}},
        {-128, {0x02, 0x80}},
        {128, {0x03, 0x80, 0x00}},
        {-129, {0x03, 0x7F, 0xFF}},
        {32767, {0x03, 0xFF, 0x7F}},
        {32768, {0x04, 0x00, 0x80, 0x00, 0x00}},
        {-2147483648LL, {0x04, 0x00, 0x00, 0x00, 0x80}},
        {2147483648LL, {0x13, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        TMemoryStream s;
        TWriter(&s).WriteInteger(c.value);
        EXPECT_EQ(Contents(s), c.bytes) << c.value;
        s.SetPosition(0);
        EXPECT_EQ(TReader(&s).ReadInt64(), c.value) << c.value;
        EXPECT_EQ(s.Position(), s.Size());
    }
}

TEST(FilerEncoding, ReadIntegerRefusesTheInt64Form) {
    TMemoryStream s;
    TWriter(&s).WriteInteger(int64_t(1) << 40);
    s.SetPosition(0);
    EXPECT_THROW(TReader(&s).ReadInteger(), EReadError);
}

TEST(FilerEncoding, StringsAreWrittenLongAndReadInBothForms) {
    TMemoryStream s;
    TWriter(&s).WriteString("Jméno");
    EXPECT_EQ(Contents(s), Cat({{0x0C, 0x06, 0x00, 0x00, 0x00}, Bytes{'J', 'm', 0xC3, 0xA9, 'n', 'o'}}));

    Load(s, {0x06, 0x03, 'a', 'b', 'c', 0x0C, 0x00, 0x00, 0x00, 0x00});
    TReader r(&s);
    EXPECT_EQ(r.ReadString(), "abc");
    EXPECT_EQ(r.ReadString(), "");
    Load(s, {0x02, 0x01});
    EXPECT_THROW(TReader(&s).ReadString(), EReadError);
}

TEST(FilerEncoding, NextValuePeeksWithoutConsuming) {
    TMemoryStream s;
    Load(s, {0x01, 0x02, 0x05, 0x00});
    TReader r(&s);
    EXPECT_EQ(r.NextValue(), vaList);
    EXPECT_EQ(r.NextValue(), vaList);
    r.ReadListBegin();
    EXPECT_FALSE(r.EndOfList());
    EXPECT_EQ(r.ReadInteger(), 5);
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    EXPECT_THROW(r.NextValue(), EReadError);  // nothing left
}

TEST(FilerEncoding, EmptyListsAsTheReportStoresThem) {
    THolder h;
    h.StoreCount = false;
    TMemoryStream s;
    TWriter(&s).WriteProperties(&h);
    EXPECT_EQ(Contents(s), Cat({Name("Items"), {0x01, 0x00}}));
}

// --- round trip --------------------------------------------------------------------------------

TEST(FilerRoundTrip, EveryValueFormComesBack) {
    THolder out;
    out.Items = {"DataSet=\"QVys\"", std::string(300, 'x'), ""};
    out.Count = -70000;
    out.Big = -(int64_t(1) << 50);
    out.Picture = std::string(
        "\x00\x01\xFF"
        "PNG",
        6);
    TMemoryStream s;
    TWriter(&s).WriteProperties(&out);

    s.SetPosition(0);
    THolder in;
    TReader(&s).ReadProperties(&in);
    EXPECT_EQ(in.Items, out.Items);
    EXPECT_EQ(in.Count, out.Count);
    EXPECT_EQ(in.Big, out.Big);
    EXPECT_EQ(in.Picture, out.Picture);
    EXPECT_EQ(s.Position(), s.Size());
}

TEST(FilerRoundTrip, ComponentDesignPositionAsLeftAndTop) {
    TComponent placed(nullptr);
    placed.SetDesignInfo((40 << 16) | 200);
    TMemoryStream s;
    TWriter(&s).WriteProperties(&placed);
    EXPECT_EQ(Contents(s), Cat({Name("Left"), {0x03, 200, 0x00}, Name("Top"), {0x02, 40}}));

    s.SetPosition(0);
    TComponent back(nullptr);
    TReader(&s).ReadProperties(&back);
    EXPECT_EQ(back.GetDesignInfo(), placed.GetDesignInfo());

    TComponent unplaced(nullptr);  // zero halves are not written
    TMemoryStream empty;
    TWriter(&empty).WriteProperties(&unplaced);
    EXPECT_EQ(empty.Size(), 0);
}

TEST(FilerRoundTrip, NamesMatchIgnoringCase) {
    TMemoryStream s;
    Load(s, Cat({Name("COUNT"), {0x02, 0x09}}));
    THolder h;
    TReader(&s).ReadProperties(&h);
    EXPECT_EQ(h.Count, 9);
}

// --- damaged data ------------------------------------------------------------------------------

TEST(FilerDamage, UnknownNameEndsReadingSilently) {
    TMemoryStream s;
    Load(s, Cat({Name("Count"), {0x02, 0x07}, Name("Bogus"), {0x02, 0x01}, Name("Big"), {0x02, 0x05}}));
    THolder h;
    TReader(&s).ReadProperties(&h);
    EXPECT_EQ(h.Count, 7);
    EXPECT_EQ(h.Big, 0);  // after the unknown entry: not read
}

TEST(FilerDamage, EveryTruncationKeepsTheReadablePrefix) {
    THolder out;
    out.Items = {"one", "two"};
    out.Count = 1000;
    out.Picture = "bytes";
    TMemoryStream full;
    TWriter(&full).WriteProperties(&out);
    const Bytes bytes = Contents(full);

    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream s;
        Load(s, Bytes(bytes.begin(), bytes.begin() + long(cut)));
        THolder in;
        EXPECT_NO_THROW(TReader(&s).ReadProperties(&in)) << cut;
        EXPECT_TRUE(in.Picture.empty()) << cut;  // the last entry is never complete
        EXPECT_LE(s.Position(), s.Size());
    }
}

TEST(FilerDamage, LengthsBeyondTheDataRaise) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {
        {"long string length", {0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}},
        {"long string cut", {0x0C, 0x05, 0x00, 0x00, 0x00, 'a', 'b'}},
        {"short string cut", {0x06, 0x04, 'a'}},
        {"length itself cut", {0x0C, 0x05, 0x00}},
        {"empty", {}},
        {"not a string", {0x01}},
    };
    for (const Case& c : cases) {
        TMemoryStream s;
        Load(s, c.bytes);
        EXPECT_THROW(TReader(&s).ReadString(), EReadError) << c.what;
    }
    struct IntCase {
        const char* what;
        Bytes bytes;
    };
    const IntCase ints[] = {
        {"int8", {0x02}}, {"int16", {0x03, 0x01}}, {"int32", {0x04, 1, 2, 3}}, {"int64", {0x13, 1}}};
    for (const IntCase& c : ints) {
        TMemoryStream s;
        Load(s, c.bytes);
        EXPECT_THROW(TReader(&s).ReadInt64(), EReadError) << c.what;
    }
    TMemoryStream s;
    Load(s, {0x40});
    EXPECT_THROW(TReader(&s).ReadStr(), EReadError);  // a name of 64 bytes, none there
}

TEST(FilerDamage, HugeBinaryLengthIsRefusedBeforeAllocating) {
    TMemoryStream s;
    Load(s, Cat({Name("Count"), {0x02, 0x03}, Name("Picture"), {0x0A, 0xFF, 0xFF, 0xFF, 0x7F, 0x00}}));
    THolder h;
    TReader(&s).ReadProperties(&h);
    EXPECT_EQ(h.Count, 3);
    EXPECT_TRUE(h.Picture.empty());
}

TEST(FilerDamage, OverlongNameIsRefusedOnWrite) {
    TMemoryStream s;
    EXPECT_THROW(TWriter(&s).WritePropName(std::string(256, 'n')), EWriteError);
    EXPECT_NO_THROW(TWriter(&s).WritePropName(std::string(255, 'n')));
}
