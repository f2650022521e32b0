#pragma once
// Shared by the lookup tests: the Qt environment, a subject table and a report-card table in
// memory, and a shown form to put controls on.

#include <gtest/gtest.h>

#include <QtGui/QImage>

#include <memory>
#include <string>
#include <vector>

#include "lookup/LookupCombo.h"
#include "platform/db/Fields.h"
#include "platform/db/MemDataSet.h"
#include "platform/gui/Application.h"
#include "platform/gui/Forms.h"
#include "platform/gui/TestKit.h"

namespace lookuptest {

inline const std::vector<std::string>& SubjectNames() {
    static const std::vector<std::string> names = {
        "Anglický jazyk",
        "Biologie",
        "Český jazyk",
        "Dějepis",
        "Fyzika",
        "Chemie",
        "Informační a komunikační technologie",
        "Matematika",
        "Německý jazyk",
        "Občanská výchova",
        "Přírodopis",
        "Tělesná výchova",
        "Výtvarná výchova",
        "Zeměpis",
    };
    return names;
}

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestKit::EnsureApplication();
        Form = new TForm(nullptr);
        Form->SetName("FVys");
        Form->SetBounds(20, 20, 420, 300);

        Subjects = new TMemDataSet(Form);
        Subjects->FieldDefs()->Add("Kod", ftInteger);
        Subjects->FieldDefs()->Add("Nazev", ftString, 40);
        Subjects->Open();
        int code = 1;
        for (const std::string& n : SubjectNames()) Subjects->AppendRecord({Variant(code++), Variant(n)});
        Subjects->First();
        SubjectSource = new TDataSource(Form);
        SubjectSource->SetDataSet(Subjects);

        Cards = new TMemDataSet(Form);
        Cards->FieldDefs()->Add("ID", ftInteger);
        Cards->FieldDefs()->Add("Predmet1", ftString, 40);
        Cards->FieldDefs()->Add("Kod", ftInteger);
        Cards->Open();
        Cards->AppendRecord({Variant(1), Variant("Fyzika"), Variant(5)});
        Cards->AppendRecord({Variant(2), Variant(), Variant()});
        Cards->First();
        CardSource = new TDataSource(Form);
        CardSource->SetDataSet(Cards);
        TRxLookupControl::LastSearchTick = 0;
    }
    void TearDown() override {
        delete Form;
        TestKit::ProcessEvents();
    }
    TRxDBLookupCombo* MakeCombo(int x = 10, int y = 10, int width = 311) {
        auto* c = new TRxDBLookupCombo(Form);
        c->SetBounds(x, y, width, 21);
        c->SetParent(Form);
        c->SetDataSource(CardSource);
        c->SetDataField("Predmet1");
        c->SetLookupSource(SubjectSource);
        c->SetLookupField("Nazev");
        c->SetLookupDisplay("Nazev");
        c->SetDropDownCount(15);
        return c;
    }
    TRxDBLookupList* MakeList(int rows = 7) {
        auto* l = new TRxDBLookupList(Form);
        l->SetBounds(10, 40, 200, 100);
        l->SetParent(Form);
        l->SetDataSource(CardSource);
        l->SetDataField("Predmet1");
        l->SetLookupSource(SubjectSource);
        l->SetLookupField("Nazev");
        l->SetLookupDisplay("Nazev");
        l->SetRowCount(rows);
        return l;
    }
    std::string Field() { return Cards->FieldByName("Predmet1")->GetAsString(); }
    bool FieldIsNull() { return Cards->FieldByName("Predmet1")->IsNull(); }
    std::string Current() { return Subjects->FieldByName("Nazev")->GetAsString(); }

    TForm* Form = nullptr;
    TMemDataSet* Subjects = nullptr;
    TDataSource* SubjectSource = nullptr;
    TMemDataSet* Cards = nullptr;
    TDataSource* CardSource = nullptr;
};

}  // namespace lookuptest
