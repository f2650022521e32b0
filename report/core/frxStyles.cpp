#include "report/core/frxStyles.h"

#include "platform/classes/List.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxSafeSave.h"
#include "report/core/frxServices.h"
#include "report/core/frxXML.h"
#include "report/core/frxXMLSerializer.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxStyleItem, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TfrxStyles, TCollection)
KAROMIL_IMPLEMENT_CLASS(TfrxStyleSheet, TObject)

// --- TfrxStyleItem -------------------------------------------------------------------------

TfrxStyleItem::TfrxStyleItem(TCollection* collection)
    : TCollectionItem(collection), FFont(std::make_unique<TFont>()), FFrame(std::make_unique<TfrxFrame>()) {
    FFont->SetName("Arial");
    FFont->SetSize(10);
    FFont->SetCharset(1);
}

TfrxStyleItem::~TfrxStyleItem() = default;

void TfrxStyleItem::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxStyleItem*>(source);
    if (!s) return;
    FName = s->FName;
    FColor = s->FColor;
    FFont->Assign(s->FFont.get());
    FFrame->Assign(s->FFrame.get());
}

void TfrxStyleItem::SetName(const std::string& value) {
    if (Collection())
        for (int i = 0; i < Collection()->Count(); ++i) {
            auto* other = static_cast<TfrxStyleItem*>(Collection()->Items(i));
            if (other != this && AnsiSameText(other->FName, value)) throw Exception("Duplicate name");
        }
    FName = value;
}

void TfrxStyleItem::SetFont(TFont* value) { FFont->Assign(value); }
void TfrxStyleItem::SetFrame(TfrxFrame* value) { FFrame->Assign(value); }

void TfrxStyleItem::CreateUniqueName() {
    for (int i = 1;; ++i) {
        const std::string candidate = "Style" + std::to_string(i);
        bool taken = false;
        if (Collection())
            for (int j = 0; j < Collection()->Count() && !taken; ++j)
                taken = AnsiSameText(static_cast<TfrxStyleItem*>(Collection()->Items(j))->FName, candidate);
        if (!taken) {
            FName = candidate;
            return;
        }
    }
}

// --- TfrxStyles ----------------------------------------------------------------------------

TfrxStyles::TfrxStyles(TfrxComponent* report) : TCollection(TfrxStyleItem::StaticClass()), FReport(report) {}

TfrxStyleItem* TfrxStyles::Find(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(GetItem(i)->GetName(), name)) return GetItem(i);
    return nullptr;
}

void TfrxStyles::GetList(TStrings* list) const {
    list->Clear();
    for (int i = 0; i < Count(); ++i) list->Add(GetItem(i)->GetName());
}

void TfrxStyles::Apply() {
    if (!FReport) return;
    // Copied first: the list is the report's own, rebuilt by every later GetAllObjects.
    TList* all = FReport->GetAllObjects();
    std::vector<TfrxView*> views;
    for (int i = 0; i < all->Count(); ++i)
        if (auto* v = dynamic_cast<TfrxView*>(static_cast<TfrxComponent*>(all->Items(i)))) views.push_back(v);
    // A text object takes the style's colour, font and frame when the set has its style.
    for (TfrxView* v : views) v->ReapplyStyle();
}

void TfrxStyles::SaveToXMLItem(TfrxXMLItem* item) {
    item->Name = "style";
    item->SetProp("Name", Name);
    TfrxXMLSerializer serializer(nullptr);
    for (int i = 0; i < Count(); ++i) {
        TfrxXMLItem* child = item->Add();
        child->Name = "item";
        child->Text = Trim(serializer.PropertiesText(GetItem(i), ""));
    }
}

void TfrxStyles::LoadFromXMLItem(TfrxXMLItem* item) {
    Clear();
    Name = item->Prop("Name");
    TfrxXMLSerializer serializer(nullptr);
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* child = item->Items(i);
        if (!AnsiSameText(child->Name, "item")) continue;
        serializer.ApplyPropertiesText(child->Text, Add());
    }
    // Sound: a duplicate name or a bad value in the file is not lost with the throw-away
    // serializer: the report's error list gets it when the set belongs to a report.
    if (TfrxReportServices* report = FReport ? FReport->GetReportServices() : nullptr)
        report->GetErrorList()->AddStrings(serializer.ErrorList());
    Apply();
}

void TfrxStyles::SaveToStream(TStream* stream) {
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    SaveToXMLItem(doc.Root());
    doc.SaveToStream(stream);
}

void TfrxStyles::LoadFromStream(TStream* stream) {
    Clear();
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    if (AnsiSameText(doc.Root()->Name, "style")) LoadFromXMLItem(doc.Root());
}

void TfrxStyles::SaveToFile(const std::string& fileName) {
    // Sound: written beside the old file and renamed over it, so a failure keeps the old one.
    frxSaveFileSafely(fileName, [this](TStream* s) { SaveToStream(s); });
}

void TfrxStyles::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

// --- TfrxStyleSheet ------------------------------------------------------------------------

void TfrxStyleSheet::Delete(int index) { FItems.erase(FItems.begin() + index); }

TfrxStyles* TfrxStyleSheet::Add() {
    FItems.push_back(std::make_unique<TfrxStyles>(nullptr));
    return FItems.back().get();
}

TfrxStyles* TfrxStyleSheet::Find(const std::string& name) const {
    for (const auto& s : FItems)
        if (AnsiSameText(s->Name, name)) return s.get();
    return nullptr;
}

void TfrxStyleSheet::GetList(TStrings* list) const {
    list->Clear();
    for (const auto& s : FItems) list->Add(s->Name);
}

void TfrxStyleSheet::LoadFromStream(TStream* stream) {
    Clear();
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    if (!AnsiSameText(doc.Root()->Name, "stylesheet")) return;
    for (int i = 0; i < doc.Root()->Count(); ++i) {
        TfrxXMLItem* child = doc.Root()->Items(i);
        if (AnsiSameText(child->Name, "style")) Add()->LoadFromXMLItem(child);
    }
}

void TfrxStyleSheet::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}
