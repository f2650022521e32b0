#include "report/core/frxPreviewPages.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Streams.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxBands.h"
#include "report/core/frxClass.h"
#include "report/core/frxObjects.h"
#include "report/core/frxOutline.h"
#include "report/core/frxPage.h"
#include "report/core/frxReport.h"
#include "report/core/frxSafeSave.h"
#include "report/core/frxText.h"
#include "report/core/frxXML.h"
#include "report/core/frxXMLSerializer.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPreviewPages, TfrxCustomPreviewPages)

namespace {

// Every descendant, depth first; a copy, as the component's own list is rebuilt by any walk.
std::vector<TfrxComponent*> AllOf(TfrxComponent* c) {
    TList* all = c->GetAllObjects();
    std::vector<TfrxComponent*> r;
    r.reserve(size_t(all->Count()));
    for (int i = 0; i < all->Count(); ++i) r.push_back(static_cast<TfrxComponent*>(all->Items(i)));
    return r;
}

double AttrFloat(TfrxXMLItem* item, const char* name, double otherwise) {
    const std::string v = item->Prop(name);
    return v.empty() ? otherwise : frxStrToFloat(v);
}

// The source page index of a page element named "page" and a number; -1 for any other name.
int SourcePageIndexOf(const std::string& name) {
    if (name.size() < 5 || !SameText(std::string_view(name).substr(0, 4), "page")) return -1;
    int32_t n = -1;
    return TryStrToInt(name.substr(4, 5), n) ? n : -1;
}
// The class of a page element: a registered report page class of that name, else an ordinary
// report page.
TClass PageClass(const std::string& name) {
    TClass cls = GetClass(name);
    return cls && cls->InheritsFrom(TfrxReportPage::StaticClass()) ? cls : TfrxReportPage::StaticClass();
}
}  // namespace

TfrxPrintDialogFunc& frxPrintDialogClass() {
    static TfrxPrintDialogFunc dialog;
    return dialog;
}

std::unique_ptr<TfrxCustomPreviewPages> frxCreatePreviewPages(TfrxReport* report) {
    return std::make_unique<TfrxPreviewPages>(report);
}

TfrxPreviewPages::TfrxPreviewPages(TfrxReport* report)
    : TfrxCustomPreviewPages(report), FDocument(std::make_unique<TfrxXMLDocument>()) {
    FDocument->Root()->Name = "preparedreport";
    Outline = std::make_unique<TfrxOutline>(this, FDocument.get());
    CurPageIndex = -1;
}

TfrxPreviewPages::~TfrxPreviewPages() {
    // Pages in the cache and the source copies go before the document and the outline.
    FCache.clear();
    FSourcePages.clear();
}

TfrxOutline* TfrxPreviewPages::GetOutline() const { return static_cast<TfrxOutline*>(Outline.get()); }

TfrxCustomEngine* TfrxPreviewPages::GetEngine() const {
    if (Engine) return Engine;
    return Report ? Report->Engine() : nullptr;
}

bool TfrxPreviewPages::FinalPass() const {
    TfrxCustomEngine* e = GetEngine();
    return !e || e->FinalPass;
}

bool TfrxPreviewPages::Running() const {
    TfrxCustomEngine* e = GetEngine();
    return e && e->Running;
}

TfrxXMLItem* TfrxPreviewPages::PagesItem() { return FDocument->Root()->FindItem("previewpages"); }

TfrxXMLItem* TfrxPreviewPages::CurPageItem() {
    TfrxXMLItem* pages = PagesItem();
    if (CurPageIndex < 0 || CurPageIndex >= pages->Count()) return nullptr;
    return pages->Items(CurPageIndex);
}

TfrxComponent* TfrxPreviewPages::TemplateOf(TfrxXMLItem* item) const { return FDictionary.GetObject(item->Name); }

std::string TfrxPreviewPages::TemplateText(TfrxComponent* obj) {
    if (obj->WriteAllProps) return obj->ClassName();
    TfrxXMLSerializer serializer(nullptr);
    serializer.LookupRoot = Report;
    return serializer.ComponentText(obj);
}

// --- the store -----------------------------------------------------------------------------

int TfrxPreviewPages::GetCount() { return PagesItem()->Count(); }

void TfrxPreviewPages::ClearCache() { FCache.clear(); }

void TfrxPreviewPages::Clear() {
    ClearCache();
    FTemplates.clear();
    FSourcePages.clear();
    FDocument->Clear();
    FDictionary.Clear();
    Outline->LevelRoot();
    CurPageIndex = -1;
    FMemoryEstimate = 0;
    FMarkPage = -1;
    FMarkCount = FMarkOutline = 0;
}

void TfrxPreviewPages::Initialize() {
    if (!Report) return;
    FDocument->TempDir = Report->GetEngineOptions()->TempDir;
    Report->DoProgressStart(ptRunning);
}

void TfrxPreviewPages::Finish() {
    ClearCache();
    if (Report) Report->DoProgressStop(ptRunning);
}

void TfrxPreviewPages::LinkSourceObjects(TfrxComponent* copy, TfrxComponent* design, int pageIndex) {
    const std::vector<TfrxComponent*> copies = AllOf(copy), designs = AllOf(design);
    const size_t n = std::min(copies.size(), designs.size());
    std::vector<TfrxComponent*> crossViews;
    auto insideCrossView = [&](TfrxComponent* c) {
        for (TfrxComponent* p = c; p; p = p->GetParent())
            if (std::find(crossViews.begin(), crossViews.end(), p) != crossViews.end()) return true;
        return false;
    };
    for (size_t i = 0; i < n; ++i) {
        TfrxComponent* c = copies[i];
        TfrxComponent* d = designs[i];
        // A cross-tab writes its own cells; its copy would only be a stale template.
        if (c->IsCrossView()) crossViews.push_back(c);
        if (insideCrossView(c)) continue;
        c->SourceObject = d;
        d->SourceObject = c;
        const std::string prefix = dynamic_cast<TfrxBand*>(c) ? "b" : LowerCase(c->GetNamePrefix().substr(0, 1));
        std::string name;
        FDictionary.AddUnique(prefix, "Page" + IntToStr(pageIndex) + "." + c->GetName(), name, c);
        c->DictionaryName = name;
        d->DictionaryName = name;
        FTemplates[c] = TemplateText(c);
    }
    for (TfrxComponent* c : crossViews) delete c;
}

void TfrxPreviewPages::AddSourcePage(TfrxReportPage* page) {
    TfrxComponent* design = frxPageComponent(page);
    std::unique_ptr<TfrxComponent> copy(dynamic_cast<TfrxComponent*>(design->ClassType()->CreateComponent(nullptr)));
    copy->AssignAll(design);
    copy->SourceObject = design;
    TfrxComponent* c = copy.get();
    FSourcePages.push_back(std::move(copy));
    LinkSourceObjects(c, design, int(FSourcePages.size()) - 1);
}

void TfrxPreviewPages::AddToSourcePage(TfrxComponent* obj) {
    if (FSourcePages.empty()) return;
    TfrxComponent* page = FSourcePages.back().get();
    auto* copy = dynamic_cast<TfrxComponent*>(obj->ClassType()->CreateComponent(page));
    copy->Assign(obj);
    copy->CreateUniqueName();
    const std::string prefix = dynamic_cast<TfrxBand*>(copy) ? "b" : LowerCase(copy->GetNamePrefix().substr(0, 1));
    std::string name;
    FDictionary.AddUnique(prefix, "Page" + IntToStr(int(FSourcePages.size()) - 1) + "." + copy->GetName(), name, copy);
    copy->DictionaryName = name;
    obj->DictionaryName = name;
    obj->SourceObject = copy;
    FTemplates[copy] = TemplateText(copy);
}

void TfrxPreviewPages::AddPage(TfrxReportPage* page) {
    TfrxComponent* design = frxPageComponent(page);
    TfrxXMLItem* pages = PagesItem();
    CheckMemory();
    ++CurPageIndex;
    if (CurPageIndex < pages->Count() && AddPageMode != amAppend) return;
    int source = -1;
    for (size_t i = 0; i < FSourcePages.size(); ++i)
        if (FSourcePages[i]->SourceObject == design) source = int(i);
    TfrxXMLItem* item = pages->Add();
    item->Name = "page" + IntToStr(source);
    if (pages->Count() > 2) item->Unloadable = true;
    if (Report) Report->DoProgress(ptRunning, pages->Count());
    AddPageMode = amOverwrite;
    CurPageIndex = pages->Count() - 1;
}

void TfrxPreviewPages::WriteObject(TfrxComponent* obj, TfrxXMLItem* parent) {
    if (!obj->GetVisible()) return;
    TfrxXMLItem* into = parent;
    if (!dynamic_cast<TfrxSubreport*>(obj) && !obj->IsCrossView()) {
        into = parent->Add();
        if (TfrxComponent* templ = obj->SourceObject) {
            into->Name = obj->DictionaryName;
            if (!FinalPass()) into->Text = obj->TfrxComponent::Diff(templ);
            else if (obj->WriteAllProps) into->Text = obj->StoredPropsDiff(templ);
            else into->Text = obj->Diff(templ);
        } else {
            TfrxXMLSerializer serializer(nullptr);
            serializer.LookupRoot = Report;
            into->Name = obj->ClassName();
            into->Text = serializer.PropertiesText(obj, "");
        }
        if (!into->Text.empty() && into->Text[0] == ' ') into->Text.erase(0, 1);
        FMemoryEstimate += int64_t(into->Name.size() + into->Text.size() + 52);
    }
    for (int i = 0; i < obj->ChildCount(); ++i) WriteObject(obj->Child(i), into);
}

void TfrxPreviewPages::AddObject(TfrxComponent* obj) {
    TfrxXMLItem* page = CurPageItem();
    if (!page || !obj) return;
    FDocument->LoadItem(page);
    WriteObject(obj, page);
}

void TfrxPreviewPages::CheckMemory() {
    if (!Report) return;
    TfrxEngineOptions* opt = Report->GetEngineOptions();
    // Sound: the limit is reckoned in 64 bits; in 32 bits a limit of 2048 MB or more
    // overflowed and ended the run with an arithmetic error.
    if (!opt->UseFileCache || FMemoryEstimate <= int64_t(opt->MaxMemSize) * (int64_t(1) << 20)) return;
    TfrxXMLItem* pages = PagesItem();
    for (int i = pages->Count() - 2; i >= 0; --i) {
        TfrxXMLItem* item = pages->Items(i);
        if (!item->Unloadable) continue;
        if (!item->Loaded) break;
        // A cached copy of a swapped page would outlive what it was rebuilt from.
        FCache.erase(
            std::remove_if(FCache.begin(), FCache.end(), [i](const TCached& c) { return c.Index == i; }), FCache.end());
        FDocument->UnloadItem(item);
    }
    FMemoryEstimate = 0;
}

void TfrxPreviewPages::BeginPass() {
    FMarkPage = GetCount() - 1;
    FMarkCount = 0;
    if (FMarkPage >= 0) {
        TfrxXMLItem* item = PagesItem()->Items(FMarkPage);
        FDocument->LoadItem(item);
        FMarkCount = item->Count();
    }
    FMarkOutline = GetOutline()->Root()->Count();
}

void TfrxPreviewPages::CutOutline() {
    // Sound: the first pass's outline entries go and the current item returns to the root; they
    // stayed (duplicated by the final pass) or, once freed, the current item pointed into them.
    TfrxXMLItem* root = GetOutline()->Root();
    while (root->Count() > FMarkOutline) delete root->Items(root->Count() - 1);
    Outline->LevelRoot();
}

void TfrxPreviewPages::ClearFirstPassPages() {
    ClearCache();
    TfrxXMLItem* root = FDocument->Root();
    if (FMarkPage == -1) {
        // Anchors of the first pass stay: the final pass looks up pages of anchors ahead of it.
        for (int i = 0; i < root->Count(); ++i)
            if (!SameText(root->Items(i)->Name, "anchors")) root->Items(i)->Clear();
        FMarkOutline = 0;
    } else {
        TfrxXMLItem* pages = PagesItem();
        TfrxXMLItem* marked = pages->Items(FMarkPage);
        FDocument->LoadItem(marked);
        while (marked->Count() > FMarkCount) delete marked->Items(marked->Count() - 1);
        while (pages->Count() > FMarkPage + 1) delete pages->Items(pages->Count() - 1);
    }
    CutOutline();
    CurPageIndex = FMarkPage;
    FMemoryEstimate = 0;
}

void TfrxPreviewPages::CutObjects(int position) {
    TfrxXMLItem* page = CurPageItem();
    if (!page) return;
    TfrxXMLItem* cut = FDocument->Root()->FindItem("cutted");
    while (position >= 0 && page->Count() > position) cut->AddItem(page->Items(position));
}

void TfrxPreviewPages::PasteObjects(double x, double y) {
    TfrxXMLItem* root = FDocument->Root();
    const int at = root->Find("cutted");
    if (at < 0) return;
    TfrxXMLItem* cut = root->Items(at);
    TfrxXMLItem* page = CurPageItem();
    if (cut->Count() > 0 && page) {
        const double dx = x - AttrFloat(cut->Items(0), "l", 0);
        const double dy = y - AttrFloat(cut->Items(0), "t", 0);
        while (cut->Count() > 0) {
            TfrxXMLItem* item = cut->Items(0);
            item->SetProp("l", FloatToStr(AttrFloat(item, "l", 0) + dx));
            item->SetProp("t", FloatToStr(AttrFloat(item, "t", 0) + dy));
            page->AddItem(item);
        }
    }
    delete cut;
}

bool TfrxPreviewPages::BandExists(TfrxBand* band) {
    TfrxXMLItem* page = CurPageItem();
    if (!page) return false;
    const bool pageFooter = dynamic_cast<TfrxPageFooter*>(band) != nullptr;
    const bool columnFooter = dynamic_cast<TfrxColumnFooter*>(band) != nullptr;
    for (int i = 0; i < page->Count(); ++i) {
        TfrxComponent* templ = TemplateOf(page->Items(i));
        if (!templ) continue;
        if (templ->SourceObject == band) return true;
        if (pageFooter && dynamic_cast<TfrxPageFooter*>(templ)) return true;
        if (columnFooter && dynamic_cast<TfrxColumnFooter*>(templ)) return true;
    }
    return false;
}

int TfrxPreviewPages::GetCurPosition() {
    TfrxXMLItem* page = CurPageItem();
    return page ? page->Count() : 0;
}

double TfrxPreviewPages::GetLastY() {
    TfrxXMLItem* page = CurPageItem();
    double result = 0;
    if (!page) return 0;
    for (int i = 0; i < page->Count(); ++i) {
        TfrxXMLItem* item = page->Items(i);
        TfrxComponent* templ = TemplateOf(item);
        if (!dynamic_cast<TfrxBand*>(templ) || dynamic_cast<TfrxPageFooter*>(templ)) continue;
        const double y = AttrFloat(item, "t", templ->GetTop()) + AttrFloat(item, "h", templ->GetHeight());
        result = std::max(result, y);
    }
    return result;
}

void TfrxPreviewPages::AddEmptyPage(int index) {
    TfrxXMLItem* pages = PagesItem();
    if (pages->Count() == 0 || index < 0 || index >= pages->Count()) return;
    auto* item = new TfrxXMLItem;
    item->Name = pages->Items(index)->Name;
    pages->InsertItem(index, item);
    ClearCache();
}

void TfrxPreviewPages::DeletePage(int index) {
    TfrxXMLItem* pages = PagesItem();
    if (pages->Count() < 2 || index < 0 || index >= pages->Count()) return;
    delete pages->Items(index);
    ClearCache();
}

void TfrxPreviewPages::ModifyPage(int index, TfrxReportPage* page) {
    TfrxXMLItem* pages = PagesItem();
    if (index < 0 || index >= pages->Count()) return;
    TfrxXMLItem* item = pages->Items(index);
    // The whole page replaces the element; its swapped or unread form is dropped.
    item->Clear();
    item->Unloadable = false;
    item->Loaded = true;
    TfrxXMLSerializer serializer(nullptr);
    serializer.LookupRoot = Report;
    serializer.WriteTree(frxPageComponent(page), true, item);
    ClearCache();
}

// --- rebuilding pages ----------------------------------------------------------------------

void TfrxPreviewPages::RebuildObject(TfrxXMLItem* item, TfrxComponent* parent) {
    TfrxXMLSerializer serializer(nullptr);
    serializer.LookupRoot = Report;
    TfrxComponent* templ = TemplateOf(item);
    TfrxComponent* obj = nullptr;
    if (templ) {
        auto it = FTemplates.find(templ);
        const std::string& text = it != FTemplates.end() ? it->second : templ->ClassName();
        obj = dynamic_cast<TfrxComponent*>(serializer.CreateFromText(parent, text + " " + item->Text));
        if (obj) obj->SetName(templ->GetName());
    } else {
        obj = dynamic_cast<TfrxComponent*>(serializer.CreateFromText(parent, item->Name + " " + item->Text));
    }
    if (!obj) return;
    if (obj->GetParent() != parent) obj->SetParent(parent);
    for (int i = 0; i < item->Count(); ++i) RebuildObject(item->Items(i), obj);
}

TfrxComponent* TfrxPreviewPages::RebuildPage(TfrxXMLItem* item) {
    FDocument->LoadItem(item);
    std::unique_ptr<TfrxComponent> page;
    const int source = SourcePageIndexOf(item->Name);
    if (source < 0) {
        // A page written whole (edited in the preview, or from a loaded file).
        page.reset(dynamic_cast<TfrxComponent*>(PageClass(item->Name)->CreateComponent(nullptr)));
        TfrxXMLSerializer serializer(nullptr);
        serializer.LookupRoot = Report;
        serializer.ReadTree(page.get(), item);
    } else {
        if (source >= int(FSourcePages.size())) throw Exception(frxInvalidFileFormat);
        TfrxComponent* src = FSourcePages[size_t(source)].get();
        page.reset(dynamic_cast<TfrxComponent*>(src->ClassType()->CreateComponent(nullptr)));
        page->Assign(src);
        for (int i = 0; i < item->Count(); ++i) RebuildObject(item->Items(i), page.get());
    }
    page->AlignChildren();
    return page.release();
}

void TfrxPreviewPages::AddToCache(int index, std::unique_ptr<TfrxComponent> page) {
    FCache.insert(FCache.begin(), TCached{index, std::move(page)});
    if (int(FCache.size()) <= CacheSize) return;
    const int dropped = FCache.back().Index;
    FCache.pop_back();
    TfrxXMLItem* pages = PagesItem();
    if (Report && Report->GetEngineOptions()->UseFileCache && dropped < pages->Count()) {
        TfrxXMLItem* item = pages->Items(dropped);
        if (item->Unloadable) FDocument->UnloadItem(item);
    }
}

TfrxComponent* TfrxPreviewPages::PageObject(int index) {
    TfrxXMLItem* pages = PagesItem();
    if (pages->Count() == 0 || index < 0 || index >= pages->Count()) return nullptr;
    if (!Running()) {
        for (size_t i = 0; i < FCache.size(); ++i)
            if (FCache[i].Index == index) {
                std::swap(FCache[i], FCache[0]);
                return FCache[0].Page.get();
            }
    }
    std::unique_ptr<TfrxComponent> page(RebuildPage(pages->Items(index)));
    TfrxComponent* result = page.get();
    AddToCache(index, std::move(page));
    return result;
}

TfrxReportPage* TfrxPreviewPages::GetPage(int index) { return frxAsReportPage(PageObject(index)); }

TPoint TfrxPreviewPages::GetPageSize(int index) {
    TfrxXMLItem* pages = PagesItem();
    if (index < 0 || index >= pages->Count()) return {0, 0};
    const int source = SourcePageIndexOf(pages->Items(index)->Name);
    TfrxComponent* page = source >= 0 && source < int(FSourcePages.size()) ? FSourcePages[size_t(source)].get()
                                                                           : PageObject(index);
    if (!page) return {0, 0};
    return {int(std::lround(page->GetWidth())), int(std::lround(page->GetHeight()))};
}

// --- anchors ---------------------------------------------------------------------------------

void TfrxPreviewPages::AddAnchor(const std::string& text) {
    TfrxXMLItem* item = FDocument->Root()->FindItem("anchors")->Add();
    TfrxCustomEngine* e = GetEngine();
    item->Name = "item";
    item->Text = "text=\"" + frxEscapeXML(text) + "\" page=\"" + IntToStr(CurPageIndex) + "\" top=\"" +
        IntToStr(e ? int64_t(std::nearbyint(e->CurY)) : 0) + "\"";
}

TfrxXMLItem* TfrxPreviewPages::FindAnchor(const std::string& text) {
    TfrxXMLItem* root = FDocument->Root();
    const int at = root->Find("anchors");
    if (at < 0) return nullptr;
    TfrxXMLItem* anchors = root->Items(at);
    for (int i = anchors->Count() - 1; i >= 0; --i)
        if (AnsiSameText(anchors->Items(i)->Prop("text"), text)) return anchors->Items(i);
    return nullptr;
}

int TfrxPreviewPages::GetAnchorPage(const std::string& text) {
    TfrxXMLItem* a = FindAnchor(text);
    int32_t page = 0;
    return a && TryStrToInt(a->Prop("page"), page) ? page + 1 : 1;
}

// --- files -----------------------------------------------------------------------------------

void TfrxPreviewPages::SaveToStream(TStream* stream) {
    TfrxXMLItem* root = FDocument->Root();
    PagesItem();
    GetOutline()->Root();
    TfrxXMLItem* report = root->FindItem("report");
    report->Clear();
    if (Report) {
        TfrxXMLItem* r = report->Add();
        r->Name = Report->ClassName();
        r->Text = std::string("DotMatrixReport=\"") + (Report->DotMatrixReport ? "1" : "0") +
            "\" PreviewOptions.OutlineVisible=\"" + (Report->GetPreviewOptions()->OutlineVisible ? "1" : "0") +
            "\" PreviewOptions.OutlineWidth=\"" + IntToStr(Report->GetPreviewOptions()->OutlineWidth) + "\"";
    }
    TfrxXMLItem* sources = root->FindItem("sourcepages");
    sources->Clear();
    for (auto& page : FSourcePages) {
        TfrxXMLSerializer serializer(nullptr);
        serializer.LookupRoot = Report;
        serializer.WriteTree(page.get(), true, sources->Add());
    }
    TfrxXMLItem* dict = root->FindItem("dictionary");
    dict->Clear();
    for (const auto& [name, source] : FDictionary.Entries()) {
        TfrxXMLItem* item = dict->Add();
        item->Name = name;
        item->Text = "name=\"" + source + "\"";
    }
    FDocument->SaveToStream(stream);
}

void TfrxPreviewPages::SaveToFile(const std::string& fileName) {
    frxSaveFileSafely(fileName, [this](TStream* s) { SaveToStream(s); });
}

void TfrxPreviewPages::LoadFromStream(TStream* stream, bool allowPartialLoading) {
    Clear();
    FDocument->LoadFromStream(stream, allowPartialLoading);
    TfrxXMLItem* root = FDocument->Root();
    if (int at = root->Find("report"); at >= 0 && Report && root->Items(at)->Count() > 0) {
        TfrxXMLSerializer serializer(nullptr);
        serializer.LookupRoot = Report;
        serializer.ApplyPropertiesText(root->Items(at)->Items(0)->Text, Report);
    }
    if (int at = root->Find("sourcepages"); at >= 0) {
        TfrxXMLItem* sources = root->Items(at);
        for (int i = 0; i < sources->Count(); ++i) {
            TfrxXMLItem* item = sources->Items(i);
            // A page of its own registered class, else an ordinary report page.
            TClass cls = PageClass(item->Name);
            std::unique_ptr<TfrxComponent> page(dynamic_cast<TfrxComponent*>(cls->CreateComponent(nullptr)));
            if (!page) throw Exception(frxInvalidFileFormat);
            TfrxXMLSerializer serializer(nullptr);
            serializer.LookupRoot = Report;
            serializer.ReadTree(page.get(), item);
            for (TfrxComponent* obj : AllOf(page.get())) FTemplates[obj] = TemplateText(obj);
            FSourcePages.push_back(std::move(page));
        }
        sources->Clear();
    }
    if (int at = root->Find("dictionary"); at >= 0) {
        TfrxXMLItem* dict = root->Items(at);
        for (int i = 0; i < dict->Count(); ++i) {
            TfrxXMLItem* item = dict->Items(i);
            // Sound: the value is read as the attribute it is; taking fixed character positions
            // mapped names to wrong objects as soon as the attribute text was laid out otherwise.
            const std::string source = item->Prop("name");
            const size_t dot = source.find('.');
            TfrxComponent* obj = nullptr;
            if (dot != std::string::npos && dot > 4) {
                int32_t pageIndex = -1;
                if (TryStrToInt(source.substr(4, dot - 4), pageIndex) && pageIndex >= 0 &&
                    pageIndex < int(FSourcePages.size()))
                    obj = FSourcePages[size_t(pageIndex)]->FindObject(source.substr(dot + 1, 255));
            }
            if (obj) obj->DictionaryName = item->Name;
            FDictionary.Add(item->Name, source, obj);
        }
    }
}

bool TfrxPreviewPages::LoadFromFile(const std::string& fileName, bool exceptionIfNotFound) {
    const bool exists = FileExists(fileName);
    if (exists || exceptionIfNotFound) {
        auto stream = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(stream.get(), false);
    }
    return exists;
}
