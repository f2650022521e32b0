#include "report/core/frxOptions.h"

#include "platform/classes/List.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxDataSet.h"
#include "report/core/frxRes.h"
#include "report/core/frxServices.h"

KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxEngineOptions, TPersistent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPreviewOptions, TPersistent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxPrintOptions, TPersistent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxReportOptions, TPersistent)
KAROMIL_IMPLEMENT_PUBLISHED_CLASS(TfrxDataSetItem, TCollectionItem)
KAROMIL_IMPLEMENT_CLASS(TfrxReportDataSets, TCollection)

// --- options -------------------------------------------------------------------------------

void TfrxEngineOptions::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxEngineOptions*>(source);
    if (!s) return;  // only from its own kind; anything else changes nothing
    ConvertNulls = s->ConvertNulls;
    DoublePass = s->DoublePass;
    MaxMemSize = s->MaxMemSize;
    PrintIfEmpty = s->PrintIfEmpty;
    SilentMode = s->SilentMode;
    TempDir = s->TempDir;
    UseFileCache = s->UseFileCache;
}

void TfrxEngineOptions::Clear() {
    ConvertNulls = true;
    DoublePass = false;
}

void TfrxPreviewOptions::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxPreviewOptions*>(source);
    if (!s) return;
    AllowEdit = s->AllowEdit;
    Buttons = s->Buttons;
    DoubleBuffered = s->DoubleBuffered;
    Maximized = s->Maximized;
    MDIChild = s->MDIChild;
    Modal = s->Modal;
    OutlineVisible = s->OutlineVisible;
    OutlineWidth = s->OutlineWidth;
    ShowCaptions = s->ShowCaptions;
    Zoom = s->Zoom;
    ZoomMode = s->ZoomMode;
}

void TfrxPreviewOptions::Clear() {
    OutlineVisible = false;
    OutlineWidth = 120;
}

TfrxPrintOptions::TfrxPrintOptions() { Clear(); }

void TfrxPrintOptions::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxPrintOptions*>(source);
    if (!s) return;
    Copies = s->Copies;
    Collate = s->Collate;
    PageNumbers = s->PageNumbers;
    Printer = s->Printer;
    PrintPages = s->PrintPages;
    Reverse = s->Reverse;
    ShowDialog = s->ShowDialog;
}

void TfrxPrintOptions::Clear() {
    Copies = 1;
    Collate = true;
    PageNumbers.clear();
    Printer = frxGetResources()->Get("prDefault");
    PrintPages = ppAll;
    Reverse = false;
    ShowDialog = true;
}

TfrxReportOptions::TfrxReportOptions()
    : FDescription(std::make_unique<TStringList>()), FPicture(std::make_unique<TPicture>()) {
    Clear();
}

TfrxReportOptions::~TfrxReportOptions() = default;

void TfrxReportOptions::Assign(TPersistent* source) {
    auto* s = dynamic_cast<TfrxReportOptions*>(source);
    if (!s) return;
    Author = s->Author;
    Compressed = s->Compressed;
    CreateDate = s->CreateDate;
    FDescription->Assign(s->FDescription.get());
    InitString = s->InitString;
    Name = s->Name;
    LastChange = s->LastChange;
    Password = s->Password;
    FPicture->Assign(s->FPicture.get());
    VersionBuild = s->VersionBuild;
    VersionMajor = s->VersionMajor;
    VersionMinor = s->VersionMinor;
    VersionRelease = s->VersionRelease;
}

void TfrxReportOptions::Clear() {
    Author.clear();
    Compressed = false;
    CreateDate = LastChange = Now();
    FDescription->Clear();
    InitString.clear();
    Name.clear();
    Password.clear();
    FPicture->Assign(nullptr);
    VersionBuild.clear();
    VersionMajor.clear();
    VersionMinor.clear();
    VersionRelease.clear();
}

void TfrxReportOptions::SetDescription(TStrings* value) { FDescription->Assign(value); }
void TfrxReportOptions::SetPicture(TPicture* value) { FPicture->Assign(value); }

bool TfrxReportOptions::AskPassword() {
    if (Password.empty()) return true;
    auto& prompt = frxPasswordPrompt();
    std::string typed;
    if (!prompt || !prompt(typed)) return false;
    return typed == Password;
}

std::function<bool(std::string& typed)>& frxPasswordPrompt() {
    static std::function<bool(std::string&)> prompt;
    return prompt;
}

// --- dataset entries -------------------------------------------------------------------------

void TfrxDataSetItem::Assign(TPersistent* source) {
    if (auto* s = dynamic_cast<TfrxDataSetItem*>(source)) {
        FDataSet = s->FDataSet;
        FDataSetName = s->FDataSetName;
        if (auto* list = dynamic_cast<TfrxReportDataSets*>(Collection()))
            if (FDataSet && list->Report()) FDataSet->FreeNotification(list->Report());
    } else TCollectionItem::Assign(source);
}

void TfrxDataSetItem::SetDataSet(TfrxDataSet* value) {
    FDataSet = value;
    FDataSetName = value ? value->GetUserName() : std::string();
    // The report hears when the dataset goes, and frees this entry then.
    if (auto* list = dynamic_cast<TfrxReportDataSets*>(Collection()))
        if (value && list->Report()) value->FreeNotification(list->Report());
}

std::string TfrxDataSetItem::GetDataSetName() const { return FDataSet ? FDataSet->GetUserName() : FDataSetName; }

void TfrxDataSetItem::SetDataSetName(const std::string& value) {
    FDataSetName = value;
    auto* list = dynamic_cast<TfrxReportDataSets*>(Collection());
    TfrxDataSet* found = frxDataSetByName(FDataSet, value, list ? list->Report() : nullptr);
    if (found != FDataSet) {
        FDataSet = found;
        if (found && list && list->Report()) found->FreeNotification(list->Report());
    }
}

TfrxReportDataSets::TfrxReportDataSets(TfrxComponent* report)
    : TCollection(TfrxDataSetItem::StaticClass()), FReport(report) {}

TfrxDataSetItem* TfrxReportDataSets::Add(TfrxDataSet* dataSet) {
    auto* item = static_cast<TfrxDataSetItem*>(TCollection::Add());
    item->SetDataSet(dataSet);
    return item;
}

TfrxDataSetItem* TfrxReportDataSets::Find(const TfrxDataSet* dataSet) const {
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->GetDataSet() == dataSet) return GetItem(i);
    return nullptr;
}

TfrxDataSetItem* TfrxReportDataSets::FindByName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        TfrxDataSet* ds = GetItem(i)->GetDataSet();
        if (ds && AnsiSameText(ds->GetUserName(), name)) return GetItem(i);
    }
    return nullptr;
}

void TfrxReportDataSets::Initialize() {
    for (int i = 0; i < Count(); ++i) {
        TfrxDataSet* ds = GetItem(i)->GetDataSet();
        ds->ReportRef = FReport ? FReport->GetReportServices() : nullptr;
        ds->Initialize();
    }
}

void TfrxReportDataSets::Finalize() {
    for (int i = 0; i < Count(); ++i) GetItem(i)->GetDataSet()->Finalize();
}

// --- the process-wide list -----------------------------------------------------------------

namespace {
// The component itself when it is a report, else nil.
TfrxComponent* AsReport(TComponent* c) {
    auto* component = dynamic_cast<TfrxComponent*>(c);
    return component && component->OwnReportServices() ? component : nullptr;
}
}  // namespace

TList* frxAllDataSets() {
    // Holds no resources of its own (the datasets belong to their owners): it lives as long
    // as the process.
    static TList list;
    return &list;
}

TfrxDataSet* frxDataSetByName(TfrxDataSet* def, const std::string& name, TfrxComponent* owner) {
    if (name.empty()) return nullptr;
    if (!owner) return def;
    TfrxComponent* report = AsReport(owner);
    TList* all = frxAllDataSets();
    for (int i = 0; i < all->Count(); ++i) {
        auto* ds = static_cast<TfrxDataSet*>(all->Items(i));
        if (!AnsiSameText(ds->GetUserName(), name)) continue;
        if (report) {
            TfrxComponent* dsReport = AsReport(ds->GetOwner());
            if (dsReport && dsReport != report) continue;
        }
        return ds;
    }
    return def;
}

void frxGetDataSetList(TStrings* list) {
    list->Clear();
    TList* all = frxAllDataSets();
    for (int i = 0; i < all->Count(); ++i) {
        auto* ds = static_cast<TfrxDataSet*>(all->Items(i));
        if (!ds->GetUserName().empty() && ds->GetEnabled()) list->AddObject(ds->GetUserName(), ds);
    }
}
