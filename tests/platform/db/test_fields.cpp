// Field classes: conversions, texts, ranges; query parameters.

#include "platform/db/MemDataSet.h"

#include <gtest/gtest.h>

#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/db/Fields.h"
#include "platform/db/Params.h"
#include "platform/rtl/SysUtils.h"

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        DS = new TMemDataSet(&Owner);
        auto* d = DS->FieldDefs();
        d->Add("S", ftString, 5);
        d->Add("Small", ftSmallint);
        d->Add("I", ftInteger);
        d->Add("F", ftFloat);
        d->Add("C", ftCurrency);
        d->Add("B", ftBoolean);
        d->Add("D", ftDate);
        d->Add("T", ftTime);
        d->Add("DT", ftDateTime);
        d->Add("L", ftLargeint);
        d->Add("M", ftMemo);
        d->Add("G", ftGuid, 38);
        DS->Open();
        DS->Append();
    }
    TField* F(const char* name) { return DS->FieldByName(name); }
    TComponent Owner{nullptr};
    TMemDataSet* DS = nullptr;
};

TEST_F(FieldTest, DefaultFieldClassesByType) {
    EXPECT_TRUE(Is<TStringField>(F("S")));
    EXPECT_TRUE(Is<TSmallintField>(F("Small")));
    EXPECT_TRUE(Is<TCurrencyField>(F("C")));
    EXPECT_TRUE(Is<TDateField>(F("D")));
    EXPECT_TRUE(Is<TMemoField>(F("M")));
    EXPECT_TRUE(Is<TGuidField>(F("G")));
    EXPECT_EQ(F("I")->FieldNo(), 3);
    EXPECT_EQ(F("S")->Size(), 5);
    EXPECT_EQ(F("S")->DisplayWidth(), 5);
    EXPECT_EQ(F("I")->Alignment(), taRightJustify);
    EXPECT_EQ(F("S")->Alignment(), taLeftJustify);
}

// Text in, then value, text and display text out.
TEST_F(FieldTest, TextConversionTable) {
    struct Case {
        const char* Field;
        const char* In;
        const char* AsString;
        const char* Display;
    };
    const Case cases[] = {
        {"S", "abcdefgh", "abcde", "abcde"},  // cut to Size characters
        {"S", "žluťoučký", "žluťo", "žluťo"},  // characters, not bytes
        {"Small", "-32768", "-32768", "-32768"}, {"I", " 42 ", "42", "42"}, {"F", "3,25", "3,25", "3,25"},
        {"C", "12", "12", "12,00 Kč"}, {"B", "t", "True", "True"}, {"B", "FALSE", "False", "False"},
        {"D", "24.12.2024", "24.12.2024", "24.12.2024"}, {"T", "13:30:05", "13:30:05", "13:30:05"},
        {"DT", "1.2.2025 8:15:00", "1.2.2025 8:15:00", "1.2.2025 8:15:00"},
        {"DT", "1.2.2025", "1.2.2025", "1.2.2025"},  // time 0 is left out
        {"L", "9000000000", "9000000000", "9000000000"}, {"I", "", "", ""},  // empty text is Null
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Field) + " <- " + c.In);
        F(c.Field)->SetAsString(c.In);
        EXPECT_EQ(F(c.Field)->GetAsString(), c.AsString);
        EXPECT_EQ(F(c.Field)->DisplayText(), c.Display);
    }
}

TEST_F(FieldTest, InvalidValuesAreRefused) {
    struct Case {
        const char* Field;
        const char* In;
        const char* Message;
    };
    // Czech, and naming the field as the user knows it: its display label, not its column.
    F("I")->SetDisplayLabel("Omluvené hodiny");
    const Case cases[] = {
        {"Small", "32768", "32768 není platná hodnota pro pole 'Small'. Povolený rozsah je -32768 až 32767."},
        {"I", "12a", "'12a' není platné celé číslo pro pole 'Omluvené hodiny'."},
        {"F", "1.5.", "'1.5.' není platné desetinné číslo pro pole 'F'."},
        {"B", "ano", "'ano' není platná logická hodnota pro pole 'B'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.In);
        try {
            F(c.Field)->SetAsString(c.In);
            ADD_FAILURE() << "accepted";
        } catch (EDatabaseError& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
    }
    EXPECT_THROW(F("D")->SetAsString("31.2.2024"), EConvertError);
    EXPECT_FALSE(F("I")->GetAsBoolean());  // Null reads as 0
}

TEST_F(FieldTest, NativeFormsUseDaysAndMilliseconds) {
    Variant v;
    F("D")->SetAsDateTime(EncodeDate(2000, 1, 1));
    ASSERT_TRUE(F("D")->GetData(&v));
    EXPECT_EQ(v.AsInteger(), 730120);  // 1 January 0001 is day 1
    F("T")->SetAsDateTime(EncodeTime(13, 30, 0, 0));
    ASSERT_TRUE(F("T")->GetData(&v));
    EXPECT_EQ(v.AsInteger(), 48600000);
    F("DT")->SetAsDateTime(EncodeDate(2000, 1, 1) + 0.5);
    ASSERT_TRUE(F("DT")->GetData(&v));
    EXPECT_DOUBLE_EQ(v.AsDouble(), 730120.0 * 86400000.0 + 43200000.0);
    EXPECT_DOUBLE_EQ(F("DT")->GetAsDateTime(), EncodeDate(2000, 1, 1) + 0.5);
    EXPECT_EQ(VarType(F("DT")->GetAsVariant()), varDate);
}

TEST_F(FieldTest, FormatsAndEvents) {
    auto* f = static_cast<TFloatField*>(F("F"));
    f->SetAsFloat(1234.5);
    f->DisplayFormat = "#,##0.00";
    f->EditFormat = "0.0";
    EXPECT_EQ(f->DisplayText(), "1\u00A0234,50");
    EXPECT_EQ(f->Text(), "1234,5");
    auto* b = static_cast<TBooleanField*>(F("B"));
    b->SetDisplayValues("Ano;Ne");
    b->SetAsString("n");
    EXPECT_FALSE(b->GetAsBoolean());
    EXPECT_EQ(b->DisplayText(), "Ne");
    F("S")->OnGetText = [](TField* s, std::string& t, bool display) {
        t = display ? "<" + s->GetAsString() + ">" : "e";
    };
    F("S")->SetAsString("ab");
    EXPECT_EQ(F("S")->DisplayText(), "<ab>");
    EXPECT_EQ(F("S")->Text(), "e");
    F("S")->OnSetText = [](TField* s, const std::string& t) { s->SetAsString(t + t); };
    F("S")->SetText("x");
    EXPECT_EQ(F("S")->GetAsString(), "xx");
    // OnValidate sees the proposed value and may refuse it; nothing is stored then.
    F("I")->OnValidate = [](TField* s) {
        if (s->GetAsInteger() < 0) throw EDatabaseError("záporné");
    };
    F("I")->SetAsInteger(5);
    EXPECT_THROW(F("I")->SetAsInteger(-1), EDatabaseError);
    EXPECT_EQ(F("I")->GetAsInteger(), 5);
    int changed = 0;
    F("I")->OnChange = [&](TField*) { ++changed; };
    F("I")->SetAsInteger(6);
    EXPECT_EQ(changed, 1);
}

TEST_F(FieldTest, AssignAndOldValue) {
    DS->Post();
    DS->Edit();
    F("I")->SetAsInteger(7);
    DS->Post();
    DS->Edit();
    F("I")->SetAsInteger(8);
    EXPECT_EQ(F("I")->OldValue().AsInteger(), 7);
    EXPECT_EQ(F("I")->NewValue().AsInteger(), 8);
    F("L")->Assign(F("I"));
    EXPECT_EQ(F("L")->GetAsLargeInt(), 8);
    F("L")->Assign(nullptr);
    EXPECT_TRUE(F("L")->IsNull());
    TStringList lines;
    lines.Add("první");
    lines.Add("druhý");
    F("M")->Assign(&lines);
    EXPECT_EQ(F("M")->GetAsString(), "první\r\ndruhý\r\n");
    TStringList back;
    back.Assign(F("M"));
    EXPECT_EQ(back.Count(), 2);
}

// --- parameters -------------------------------------------------------------------------------

TEST(ParamsTest, ParseSqlTable) {
    struct Case {
        const char* Sql;
        const char* Parsed;
        const char* Names;
    };
    const Case cases[] = {
        {"select * from t where ID = :ID", "select * from t where ID = ?", "ID"},
        {"where a = :a and b = :b and c = :a", "where a = ? and b = ? and c = ?", "a,b"},
        {"where s = ':neni' and x = :x", "where s = ':neni' and x = ?", "x"},
        {"where s = \"it's :no\" and y = :y", "where s = \"it's :no\" and y = ?", "y"},
        {"select 10::int, :\"dlouhé jméno\"", "select 10:int, ?", "dlouhé jméno"},
        {"time '12:30'", "time '12:30'", ""},
        {"a = :", "a = :", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Sql);
        TParams params;
        EXPECT_EQ(params.ParseSQL(c.Sql, true), c.Parsed);
        std::string names;
        for (int i = 0; i < params.Count(); ++i) names += (i ? "," : "") + params.Items(i)->Name;
        EXPECT_EQ(names, c.Names);
    }
}

TEST(ParamsTest, ValuesByNameAndStorage) {
    TParams params;
    params.CreateParam(ftUnknown, "Rok", ptInput)->SetValue(Variant(2024));
    params.CreateParam(ftString, "Jmeno", ptInput)->SetAsString("Nováková");
    params.CreateParam(ftDateTime, "Kdy", ptInput)->Clear();
    EXPECT_EQ(params.ParamByName("rok")->DataType, ftInteger);
    EXPECT_EQ(params.FindParam("Neni"), nullptr);
    try {
        params.ParamByName("Neni");
        FAIL();
    } catch (EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Parametr 'Neni' nebyl nalezen.");
    }
    TParams other;
    other.CreateParam(ftUnknown, "JMENO", ptInput);
    other.CreateParam(ftUnknown, "Jine", ptInput);
    other.AssignValues(&params);
    EXPECT_EQ(other.Count(), 2);
    EXPECT_EQ(other.Items(0)->AsString(), "Nováková");
    EXPECT_TRUE(other.Items(1)->IsNull());

    TMemoryStream stream;
    TWriter w(&stream);
    params.WriteData(&w);
    stream.SetPosition(0);
    TReader r(&stream);
    TParams copy;
    copy.ReadData(&r);
    EXPECT_TRUE(copy.IsEqual(&params));
}
