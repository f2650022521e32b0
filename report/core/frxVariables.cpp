#include "report/core/frxVariables.h"

#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxSafeSave.h"
#include "report/core/frxXML.h"
#include "report/core/frxXMLSerializer.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxVariable, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TfrxVariables, TCollection)

namespace {
bool IsHeader(const std::string& name) { return !name.empty() && name[0] == ' '; }
// A header's category name: without the blank, at most 255 characters.
std::string CategoryOf(const std::string& header) { return Utf8Copy(header, 2, 255); }
}  // namespace

void TfrxVariable::Assign(TPersistent* source) {
    if (auto* v = dynamic_cast<TfrxVariable*>(source)) {
        FName = v->FName;
        FValue = v->FValue;
    } else TCollectionItem::Assign(source);
}

TfrxVariables::TfrxVariables() : TCollection(TfrxVariable::StaticClass()) {}

int TfrxVariables::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(GetItem(i)->GetName(), name)) return i;
    return -1;
}

Variant TfrxVariables::GetVariable(const std::string& name) const {
    const int i = IndexOf(name);
    return i < 0 ? Variant::Null() : GetItem(i)->GetValue();
}

void TfrxVariables::SetVariable(const std::string& name, const Variant& value) {
    const int i = IndexOf(name);
    TfrxVariable* v = i < 0 ? Add() : GetItem(i);
    if (i < 0) v->SetName(name);
    v->SetValue(value);
}

int TfrxVariables::IndexOfCategory(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        const std::string& n = GetItem(i)->GetName();
        if (IsHeader(n) && AnsiSameText(CategoryOf(n), name)) return i;
    }
    return -1;
}

void TfrxVariables::GetCategoriesList(TStrings* list, bool clearList) const {
    if (clearList) list->Clear();
    for (int i = 0; i < Count(); ++i)
        if (IsHeader(GetItem(i)->GetName())) list->Add(CategoryOf(GetItem(i)->GetName()));
}

void TfrxVariables::GetVariablesList(const std::string& category, TStrings* list) const {
    list->Clear();
    int i = 0;
    if (!category.empty()) {
        i = IndexOfCategory(category);
        if (i < 0) return;
        ++i;
    }
    for (; i < Count(); ++i) {
        const std::string& n = GetItem(i)->GetName();
        if (n.empty() || IsHeader(n)) break;
        list->Add(n);
    }
}

void TfrxVariables::DeleteCategory(const std::string& name) {
    const int i = IndexOfCategory(name);
    if (i < 0) return;
    Delete(i);
    while (i < Count() && !IsHeader(GetItem(i)->GetName())) Delete(i);
}

void TfrxVariables::DeleteVariable(const std::string& name) {
    const int i = IndexOf(name);
    if (i >= 0) Delete(i);
}

void TfrxVariables::AddVariable(const std::string& category, const std::string& name, const Variant& value) {
    int i = IndexOfCategory(category);
    if (i < 0) return;
    for (++i; i < Count() && !IsHeader(GetItem(i)->GetName()); ++i) {}
    TfrxVariable* v = Insert(i);
    v->SetName(name);
    v->SetValue(value);
}

void TfrxVariables::LoadFromFile(const std::string& fileName) {
    TFileStream f(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TfrxVariables::LoadFromStream(TStream* stream) {
    Clear();
    TfrxXMLDocument doc;
    doc.LoadFromStream(stream);
    if (AnsiSameText(doc.Root()->Name, "variables")) ReadItems(doc.Root());
}

void TfrxVariables::ReadItems(TfrxXMLItem* item) {
    Clear();
    TfrxXMLSerializer serializer(nullptr);
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* child = item->Items(i);
        if (!AnsiSameText(child->Name, "item")) continue;
        serializer.ApplyPropertiesText(child->Text, Add());
    }
}

void TfrxVariables::SaveToFile(const std::string& fileName) {
    // Sound: written beside the old file and renamed over it, so a failure keeps the old one.
    frxSaveFileSafely(fileName, [this](TStream* s) { SaveToStream(s); });
}

void TfrxVariables::SaveToStream(TStream* stream) {
    TfrxXMLDocument doc;
    doc.AutoIndent = true;
    WriteItems(doc.Root());
    doc.SaveToStream(stream);
}

void TfrxVariables::WriteItems(TfrxXMLItem* item) {
    item->Name = "variables";
    TfrxXMLSerializer serializer(nullptr);
    for (int i = 0; i < Count(); ++i) {
        TfrxXMLItem* child = item->Add();
        child->Name = "item";
        child->Text = Trim(serializer.PropertiesText(GetItem(i), ""));
    }
}
