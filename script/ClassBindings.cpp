#include "script/ClassBindings.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "platform/classes/Collection.h"
#include "platform/classes/List.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/rtl/Strings.h"
#include "script/EventAdapters.h"
#include "script/FileAccess.h"
#include "script/Interpreter.h"
#include "script/MemberCalls.h"
#include "script/ScriptTools.h"
#include "script/XmlTree.h"

// Run-time messages of the bindings.
namespace {
std::string Readable(const Variant& name) { return fsReadableFile(name); }
std::string Writable(const Variant& name) { return fsWritableFile(name); }
constexpr const char* SCannotFree = "Skript nemůže uvolnit objekt, který nevytvořil: %s";
constexpr const char* SXmlDocumentRoot = "Kořen dokumentu XML nelze uvolnit ani přesunout";
constexpr const char* SXmlCycle = "Prvek XML nelze vložit sám do sebe";
}  // namespace

// --- script-visible wrappers of the XML tree ------------------------------------------------------
//
// The XML items are no TObjects, so they cannot travel as handles themselves. Each item a
// script reaches gets one wrapper object, which the binding keeps until the item goes away
// through the script (Clear, Free, loading a document) or the binding ends; a freed item's
// wrapper dies with it, so scripts holding it see nil instead of a dangling item.

class TfsXMLItemRef : public TObject {
    KAROMIL_CLASS(TfsXMLItemRef, TObject)
public:
    explicit TfsXMLItemRef(TfsXMLItem* item, std::unique_ptr<TfsXMLItem> owned = nullptr)
        : Item(item), Owned(std::move(owned)) {}
    TfsXMLItem* Item;
    std::unique_ptr<TfsXMLItem> Owned;  // a root the script created and nothing adopted yet
};

class TfsXMLDocumentRef : public TObject {
    KAROMIL_CLASS(TfsXMLDocumentRef, TObject)
public:
    TfsXMLDocument Document;
};

// Scripts know the wrappers by the names of the classes they stand for.
TClass TfsXMLItemRef::StaticClass() noexcept {
    static const TMetaClass meta("TfsXMLItem", TObject::StaticClass(), nullptr, nullptr);
    return &meta;
}

TClass TfsXMLDocumentRef::StaticClass() noexcept {
    static const TMetaClass meta("TfsXMLDocument", TObject::StaticClass(), nullptr, nullptr);
    return &meta;
}

class TfsXMLBindingState {
public:
    ~TfsXMLBindingState() {
        // Wrappers of items first: documents own the items of their trees.
        FRefs.clear();
        FDocs.clear();
    }

    int32_t RefOf(TfsXMLItem* item) {
        if (!item) return 0;
        auto it = FRefs.find(item);
        if (it == FRefs.end()) it = FRefs.emplace(item, std::make_unique<TfsXMLItemRef>(item)).first;
        return it->second->Handle();
    }

    TfsXMLItemRef* NewItem() {
        auto owned = std::make_unique<TfsXMLItem>();
        TfsXMLItem* item = owned.get();
        auto ref = std::make_unique<TfsXMLItemRef>(item, std::move(owned));
        TfsXMLItemRef* r = ref.get();
        FRefs.emplace(item, std::move(ref));
        return r;
    }

    TfsXMLDocumentRef* NewDocument() {
        auto doc = std::make_unique<TfsXMLDocumentRef>();
        TfsXMLDocumentRef* d = doc.get();
        FDocRoots.emplace(d->Document.Root(), d);
        FDocs.emplace(d, std::move(doc));
        return d;
    }

    // Drops the wrappers of the item's descendants (and of the item itself with `self`).
    void DropWrappers(TfsXMLItem* item, bool self) {
        for (int i = 0; i < item->Count(); ++i) DropWrappers(item->Items(i), true);
        if (self) FRefs.erase(item);
    }

    void ClearItem(TfsXMLItem* item) {
        DropWrappers(item, false);
        item->Clear();
    }

    // Moves `item` under `parent`, at `index` when it is not negative.
    void Adopt(TfsXMLItem* parent, TfsXMLItem* item, int index) {
        if (FDocRoots.count(item)) throw Exception(SXmlDocumentRoot);
        for (TfsXMLItem* p = parent; p; p = p->Parent())
            if (p == item) throw Exception(SXmlCycle);
        // A root the script created now belongs to its new parent.
        if (auto it = FRefs.find(item); it != FRefs.end() && it->second->Owned) (void)it->second->Owned.release();
        if (index < 0) parent->AddItem(item);
        else parent->InsertItem(index, item);
    }

    void FreeItem(TfsXMLItemRef* ref) {
        TfsXMLItem* item = ref->Item;
        if (FDocRoots.count(item)) throw Exception(SXmlDocumentRoot);
        fsEventList()->FreeObjectEvents(ref);
        DropWrappers(item, false);
        const bool owned = ref->Owned != nullptr;
        FRefs.erase(item);  // frees the wrapper, and with it a root it owns
        if (!owned && item->Parent()) delete item;  // a child: leaves its parent's list
    }

    void FreeDocument(TfsXMLDocumentRef* doc) {
        fsEventList()->FreeObjectEvents(doc);
        TfsXMLItem* root = doc->Document.Root();
        DropWrappers(root, true);
        FDocRoots.erase(root);
        FDocs.erase(doc);
    }

    void LoadDocument(TfsXMLDocumentRef* doc, std::istream& in) {
        DropWrappers(doc->Document.Root(), false);
        doc->Document.LoadFromStream(in);
    }

private:
    std::unordered_map<const TfsXMLItem*, std::unique_ptr<TfsXMLItemRef>> FRefs;
    std::unordered_map<const TfsXMLItem*, TfsXMLDocumentRef*> FDocRoots;
    std::unordered_map<const TfsXMLDocumentRef*, std::unique_ptr<TfsXMLDocumentRef>> FDocs;
};

// --- objects the scripts created --------------------------------------------------------------------

namespace {

std::unordered_set<int32_t>& ScriptCreated() {
    static std::unordered_set<int32_t> set;
    return set;
}

TfsClassesRTTI* gClassesRTTI = nullptr;

Variant Handle(const TObject* obj) { return Variant(fsObjectToVariant(obj)); }

// A pointer an untyped list holds: it may have been freed (by the script itself) or never have
// been an object; either is refused rather than read.
Variant HeldObject(const void* p, const std::string& member) {
    if (p && !TObject::IsLive(p)) throw Exception(SNotAnObject + ("'" + member + "'"));
    return Handle(static_cast<const TObject*>(p));
}

// The index of an indexed property; the lists raise their own errors when it is outside.
int IndexArg(const Variant& v) { return v.AsInteger(); }

// The class library's stream members over the XML layer's standard streams.
void SaveXml(const TfsXMLDocument& doc, TStream* stream) {
    std::ostringstream out;
    doc.SaveToStream(out);
    const std::string s = out.str();
    stream->WriteBuffer(s.data(), int64_t(s.size()));
}

std::string ReadRest(TStream* stream, int64_t& start) {
    start = stream->Position();
    std::string s;
    char buf[4096];
    for (;;) {
        const int64_t n = stream->Read(buf, sizeof buf);
        if (n <= 0) break;
        s.append(buf, size_t(n));
    }
    return s;
}

}  // namespace

void fsMarkScriptCreated(const TObject* obj) {
    if (obj) ScriptCreated().insert(obj->Handle());
}

bool fsIsScriptCreated(const TObject* obj) { return obj && ScriptCreated().count(obj->Handle()) > 0; }

bool fsScriptMayFree(const TObject* obj) {
    if (!obj) return false;
    if (fsIsScriptCreated(obj)) return true;
    const auto* c = dynamic_cast<const TComponent*>(obj);
    return c && !c->GetOwner();
}

void fsScriptFree(TObject* obj) {
    if (!obj) return;
    // The class library freed anything a script named, host-owned objects included, and
    // left the host dangling pointers; only what the script may own goes.
    if (!fsScriptMayFree(obj)) throw Exception(fsFormatMessage(SCannotFree, obj->ClassName()));
    fsEventList()->FreeObjectEvents(obj);
    ScriptCreated().erase(obj->Handle());
    obj->BeforeDestruction();
    delete obj;
}

// --- registration -------------------------------------------------------------------------------------

TfsClassesRTTI::TfsClassesRTTI() : FXml(std::make_unique<TfsXMLBindingState>()) {
    TfsScript* g = fsGlobalUnit();
    assert(g && "the engine starts before its bindings");
    g->AddedBy = this;

    g->AddConst("fmCreate", "Integer", Variant(int(fmCreate)));
    g->AddConst("fmOpenRead", "Integer", Variant(int(fmOpenRead)));
    g->AddConst("fmOpenWrite", "Integer", Variant(int(fmOpenWrite)));
    g->AddConst("fmOpenReadWrite", "Integer", Variant(int(fmOpenReadWrite)));
    g->AddConst("fmShareExclusive", "Integer", Variant(int(fmShareExclusive)));
    g->AddConst("fmShareDenyWrite", "Integer", Variant(int(fmShareDenyWrite)));
    g->AddConst("fmShareDenyNone", "Integer", Variant(int(fmShareDenyNone)));
    g->AddConst("soFromBeginning", "Integer", Variant(soFromBeginning));
    g->AddConst("soFromCurrent", "Integer", Variant(soFromCurrent));
    g->AddConst("soFromEnd", "Integer", Variant(soFromEnd));
    g->AddEnum("TDuplicates", "dupIgnore, dupAccept, dupError");
    g->AddEnum("TPrinterOrientation", "poPortrait, poLandscape");

    // Every class's constructor: builds an object of the class named (nullptr instance), or
    // gives back the object it is called on, which builds nothing.
    TfsMethodCallEvent construct = [this](TObject* o, TClass c, const std::string&, TfsParams& p) {
        if (o) return Handle(o);
        return c ? Construct(c, p) : Variant(0);
    };
    TfsXMLBindingState* xml = FXml.get();

    if (TfsClassVariable* c = g->AddClass(TObject::StaticClass(), "")) {
        c->AddConstructor("constructor Create", construct);
        c->AddMethod("procedure Free", fsMethod<TObject>([this](TObject* o, TfsParams&) { FreeObject(o); }));
        c->AddMethod("function ClassName: String",
            fsMethod<TObject>([](TObject* o, TfsParams&) { return std::string(o->ClassName()); }));
    }
    if (TfsClassVariable* c = g->AddClass(TPersistent::StaticClass(), "TObject"))
        c->AddMethod("procedure Assign(Source: TPersistent)", fsMethod<TPersistent>([](TPersistent* o, TfsParams& p) {
            o->Assign(fsObjectArg<TPersistent>(p[0], "Source", true));
        }));
    g->AddClass(TCollectionItem::StaticClass(), "TPersistent");
    if (TfsClassVariable* c = g->AddClass(TCollection::StaticClass(), "TPersistent")) {
        c->AddMethod("procedure Clear", fsMethod<TCollection>([](TCollection* o, TfsParams&) { o->Clear(); }));
        c->AddProperty("Count", "Integer", fsGetter<TCollection>([](TCollection* o) { return o->Count(); }));
        c->AddDefaultProperty("Items", "Integer", "TCollectionItem",
            fsIndexed<TCollection>([](TCollection* o, TfsParams& p) { return Handle(o->Items(IndexArg(p[0]))); }),
            true);
    }
    if (TfsClassVariable* c = g->AddClass(TList::StaticClass(), "TObject")) {
        c->AddMethod("function Add(Item: TObject): Integer",
            fsMethod<TList>([](TList* l, TfsParams& p) { return l->Add(fsObjectArg<TObject>(p[0], "Item", true)); }));
        c->AddMethod("procedure Clear", fsMethod<TList>([](TList* l, TfsParams&) { l->Clear(); }));
        c->AddMethod("procedure Delete(Index: Integer)",
            fsMethod<TList>([](TList* l, TfsParams& p) { l->Delete(IndexArg(p[0])); }));
        c->AddMethod("function IndexOf(Item: TObject): Integer", fsMethod<TList>([](TList* l, TfsParams& p) {
            return l->IndexOf(fsObjectArg<TObject>(p[0], "Item", true));
        }));
        c->AddMethod("procedure Insert(Index: Integer; Item: TObject)", fsMethod<TList>([](TList* l, TfsParams& p) {
            l->Insert(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Item", true));
        }));
        c->AddMethod("function Remove(Item: TObject): Integer", fsMethod<TList>([](TList* l, TfsParams& p) {
            return l->Remove(fsObjectArg<TObject>(p[0], "Item", true));
        }));
        c->AddProperty("Count", "Integer", fsGetter<TList>([](TList* l) { return l->Count(); }));
        // The list holds the host's object pointers; scripts see them as handles.
        c->AddDefaultProperty("Items", "Integer", "TObject",
            fsIndexed<TList>([](TList* l, TfsParams& p) { return HeldObject(l->Items(IndexArg(p[0])), "Items"); },
                [](TList* l, TfsParams& p) {
                    l->SetItems(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Items", true));
                }));
    }
    if (TfsClassVariable* c = g->AddClass(TStrings::StaticClass(), "TPersistent")) {
        c->AddMethod("function Add(const S: string): Integer",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { return s->Add(VarToStr(p[0])); }));
        c->AddMethod("function AddObject(const S: string; AObject: TObject): Integer",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) {
                return s->AddObject(VarToStr(p[0]), fsObjectArg<TObject>(p[1], "AObject", true));
            }));
        c->AddMethod("procedure Clear", fsMethod<TStrings>([](TStrings* s, TfsParams&) { s->Clear(); }));
        c->AddMethod("procedure Delete(Index: Integer)",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { s->Delete(IndexArg(p[0])); }));
        c->AddMethod("function IndexOf(const S: string): Integer",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { return s->IndexOf(VarToStr(p[0])); }));
        c->AddMethod("function IndexOfName(const Name: string): Integer",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { return s->IndexOfName(VarToStr(p[0])); }));
        c->AddMethod(
            "function IndexOfObject(AObject: TObject): Integer", fsMethod<TStrings>([](TStrings* s, TfsParams& p) {
                return s->IndexOfObject(fsObjectArg<TObject>(p[0], "AObject", true));
            }));
        c->AddMethod("procedure Insert(Index: Integer; const S: string)",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { s->Insert(IndexArg(p[0]), VarToStr(p[1])); }));
        c->AddMethod("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) {
                s->InsertObject(IndexArg(p[0]), VarToStr(p[1]), fsObjectArg<TObject>(p[2], "AObject", true));
            }));
        c->AddMethod("procedure LoadFromFile(const FileName: string)",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { s->LoadFromFile(Readable(p[0])); }));
        c->AddMethod("procedure LoadFromStream(Stream: TStream)", fsMethod<TStrings>([](TStrings* s, TfsParams& p) {
            s->LoadFromStream(fsObjectArg<TStream>(p[0], "Stream", false));
        }));
        c->AddMethod("procedure SaveToFile(const FileName: string)",
            fsMethod<TStrings>([](TStrings* s, TfsParams& p) { s->SaveToFile(Writable(p[0])); }));
        c->AddMethod("procedure SaveToStream(Stream: TStream)", fsMethod<TStrings>([](TStrings* s, TfsParams& p) {
            s->SaveToStream(fsObjectArg<TStream>(p[0], "Stream", false));
        }));
        c->AddProperty("CommaText", "string", fsGetter<TStrings>([](TStrings* s) { return s->CommaText(); }),
            fsSetter<TStrings>([](TStrings* s, const Variant& v) { s->SetCommaText(VarToStr(v)); }));
        c->AddProperty("Count", "Integer", fsGetter<TStrings>([](TStrings* s) { return s->Count(); }));
        c->AddIndexProperty("Names", "Integer", "string",
            fsIndexed<TStrings>([](TStrings* s, TfsParams& p) { return s->Names(IndexArg(p[0])); }), true);
        c->AddIndexProperty("Objects", "Integer", "TObject",
            fsIndexed<TStrings>(
                [](TStrings* s, TfsParams& p) { return HeldObject(s->Objects(IndexArg(p[0])), "Objects"); },
                [](TStrings* s, TfsParams& p) {
                    s->SetObjects(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Objects", true));
                }));
        c->AddIndexProperty("Values", "String", "string",
            fsIndexed<TStrings>([](TStrings* s, TfsParams& p) { return s->Values(VarToStr(p[0])); },
                [](TStrings* s, TfsParams& p) { s->SetValues(VarToStr(p[0]), VarToStr(p[1])); }));
        c->AddDefaultProperty("Strings", "Integer", "string",
            fsIndexed<TStrings>([](TStrings* s, TfsParams& p) { return s->Strings(IndexArg(p[0])); },
                [](TStrings* s, TfsParams& p) { s->SetStrings(IndexArg(p[0]), VarToStr(p[1])); }));
        c->AddProperty("Text", "string", fsGetter<TStrings>([](TStrings* s) { return s->Text(); }),
            fsSetter<TStrings>([](TStrings* s, const Variant& v) { s->SetText(VarToStr(v)); }));
    }
    if (TfsClassVariable* c = g->AddClass(TStringList::StaticClass(), "TStrings")) {
        c->AddMethod("function Find(s: String; var Index: Integer): Boolean",
            fsMethod<TStringList>([](TStringList* s, TfsParams& p) {
                int index = 0;
                const bool found = s->Find(VarToStr(p[0]), index);
                p[1] = Variant(index);
                return found;
            }));
        c->AddMethod("procedure Sort", fsMethod<TStringList>([](TStringList* s, TfsParams&) { s->Sort(); }));
        c->AddProperty("Duplicates", "TDuplicates",
            fsGetter<TStringList>([](TStringList* s) { return int(s->Duplicates()); }),
            fsSetter<TStringList>([](TStringList* s, const Variant& v) {
                const int d = v.AsInteger();
                if (d < dupIgnore || d > dupError) throw ERangeError("Range check error");
                s->SetDuplicates(TDuplicates(d));
            }));
        c->AddProperty("Sorted", "Boolean", fsGetter<TStringList>([](TStringList* s) { return s->Sorted(); }),
            fsSetter<TStringList>([](TStringList* s, const Variant& v) { s->SetSorted(v.AsBoolean()); }));
    }
    if (TfsClassVariable* c = g->AddClass(TStream::StaticClass(), "TObject")) {
        c->AddMethod("function Read(var Buffer: string; Count: Longint): Longint",
            fsMethod<TStream>([](TStream* s, TfsParams& p) {
                int64_t count = std::max<int64_t>(p[1].AsInt64(), 0);
                // Never more than the stream still holds: a huge Count must not allocate that much.
                const int64_t size = s->Size(), pos = s->Position();
                if (size >= 0 && pos >= 0) count = std::min(count, std::max<int64_t>(size - pos, 0));
                std::string buffer(size_t(count), '\0');
                const int64_t n = std::max<int64_t>(s->Read(buffer.data(), count), 0);
                buffer.resize(size_t(n));
                p[0] = Variant(std::move(buffer));
                return n;
            }));
        c->AddMethod(
            "function Write(Buffer: string; Count: Longint): Longint", fsMethod<TStream>([](TStream* s, TfsParams& p) {
                const std::string buffer = VarToStr(p[0]);
                // Never past the end of the text given.
                const int64_t count = std::clamp<int64_t>(p[1].AsInt64(), 0, int64_t(buffer.size()));
                return std::max<int64_t>(s->Write(buffer.data(), count), 0);
            }));
        c->AddMethod("function Seek(Offset: Longint; Origin: Word): Longint",
            fsMethod<TStream>([](TStream* s, TfsParams& p) { return s->Seek(p[0].AsInt64(), p[1].AsInteger()); }));
        c->AddMethod("function CopyFrom(Source: TStream; Count: Longint): Longint",
            fsMethod<TStream>([](TStream* s, TfsParams& p) {
                return s->CopyFrom(fsObjectArg<TStream>(p[0], "Source", false), p[1].AsInt64());
            }));
        c->AddProperty("Position", "Longint", fsGetter<TStream>([](TStream* s) { return s->Position(); }),
            fsSetter<TStream>([](TStream* s, const Variant& v) { s->SetPosition(v.AsInt64()); }));
        c->AddProperty("Size", "Longint", fsGetter<TStream>([](TStream* s) { return s->Size(); }));
    }
    if (TfsClassVariable* c = g->AddClass(TFileStream::StaticClass(), "TStream"))
        c->AddConstructor("constructor Create(Filename: String; Mode: Word)", construct);
    if (TfsClassVariable* c = g->AddClass(TMemoryStream::StaticClass(), "TStream")) {
        c->AddMethod("procedure Clear", fsMethod<TMemoryStream>([](TMemoryStream* s, TfsParams&) { s->Clear(); }));
        c->AddMethod(
            "procedure LoadFromStream(Stream: TStream)", fsMethod<TMemoryStream>([](TMemoryStream* s, TfsParams& p) {
                s->LoadFromStream(fsObjectArg<TStream>(p[0], "Stream", false));
            }));
        c->AddMethod("procedure LoadFromFile(Filename: String)",
            fsMethod<TMemoryStream>([](TMemoryStream* s, TfsParams& p) { s->LoadFromFile(Readable(p[0])); }));
        c->AddMethod("procedure SaveToStream(Stream: TStream)",
            fsMethod<TMemoryStream>(
                [](TMemoryStream* s, TfsParams& p) { s->SaveToStream(fsObjectArg<TStream>(p[0], "Stream", false)); }));
        c->AddMethod("procedure SaveToFile(Filename: String)",
            fsMethod<TMemoryStream>([](TMemoryStream* s, TfsParams& p) { s->SaveToFile(Writable(p[0])); }));
    }
    if (TfsClassVariable* c = g->AddClass(TComponent::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create(AOwner: TComponent)", construct);
        c->AddProperty(
            "Owner", "TComponent", fsGetter<TComponent>([](TComponent* o) { return Handle(o->GetOwner()); }));
    }
    using Item = TfsXMLItemRef;
    if (TfsClassVariable* c = g->AddClass(TfsXMLItemRef::StaticClass(), "TObject")) {
        c->AddConstructor("constructor Create", construct);
        c->AddMethod("procedure AddItem(Item: TfsXMLItem)", fsMethod<Item>([xml](Item* r, TfsParams& p) {
            xml->Adopt(r->Item, fsObjectArg<TfsXMLItemRef>(p[0], "Item", false)->Item, -1);
        }));
        c->AddMethod("procedure Clear", fsMethod<Item>([xml](Item* r, TfsParams&) { xml->ClearItem(r->Item); }));
        c->AddMethod(
            "procedure InsertItem(Index: Integer; Item: TfsXMLItem)", fsMethod<Item>([xml](Item* r, TfsParams& p) {
                xml->Adopt(r->Item, fsObjectArg<TfsXMLItemRef>(p[1], "Item", false)->Item, std::max(IndexArg(p[0]), 0));
            }));
        c->AddMethod("function Add: TfsXMLItem",
            fsMethod<Item>([xml](Item* r, TfsParams&) { return xml->RefOf(r->Item->Add()); }));
        c->AddMethod("function Find(const Name: String): Integer",
            fsMethod<Item>([](Item* r, TfsParams& p) { return r->Item->Find(VarToStr(p[0])); }));
        c->AddMethod("function FindItem(const Name: String): TfsXMLItem",
            fsMethod<Item>([xml](Item* r, TfsParams& p) { return xml->RefOf(r->Item->FindItem(VarToStr(p[0]))); }));
        c->AddMethod("function Prop(const Name: String): String",
            fsMethod<Item>([](Item* r, TfsParams& p) { return r->Item->Prop(VarToStr(p[0])); }));
        c->AddMethod("function Root: TfsXMLItem",
            fsMethod<Item>([xml](Item* r, TfsParams&) { return xml->RefOf(r->Item->Root()); }));
        c->AddProperty("Data", "Integer", fsGetter<Item>([](Item* r) { return r->Item->Data; }),
            fsSetter<Item>([](Item* r, const Variant& v) { r->Item->Data = v.AsInteger(); }));
        c->AddProperty("Count", "Integer", fsGetter<Item>([](Item* r) { return r->Item->Count(); }));
        c->AddDefaultProperty("Items", "Integer", "TfsXMLItem", fsIndexed<Item>([xml](Item* r, TfsParams& p) {
            const int index = IndexArg(p[0]);
            if (index < 0 || index >= r->Item->Count()) ListIndexError(index);
            return xml->RefOf(r->Item->Items(index));
        }),
            true);
        c->AddProperty("Name", "String", fsGetter<Item>([](Item* r) { return r->Item->Name; }),
            fsSetter<Item>([](Item* r, const Variant& v) { r->Item->Name = VarToStr(v); }));
        c->AddProperty(
            "Parent", "TfsXMLItem", fsGetter<Item>([xml](Item* r) { return xml->RefOf(r->Item->Parent()); }));
        c->AddProperty("Text", "String", fsGetter<Item>([](Item* r) { return r->Item->Text; }),
            fsSetter<Item>([](Item* r, const Variant& v) { r->Item->Text = VarToStr(v); }));
    }
    using Doc = TfsXMLDocumentRef;
    if (TfsClassVariable* c = g->AddClass(TfsXMLDocumentRef::StaticClass(), "TObject")) {
        c->AddConstructor("constructor Create", construct);
        c->AddMethod("procedure SaveToStream(Stream: TStream)", fsMethod<Doc>([](Doc* d, TfsParams& p) {
            SaveXml(d->Document, fsObjectArg<TStream>(p[0], "Stream", false));
        }));
        c->AddMethod("procedure LoadFromStream(Stream: TStream)", fsMethod<Doc>([xml](Doc* d, TfsParams& p) {
            TStream* stream = fsObjectArg<TStream>(p[0], "Stream", false);
            int64_t start = 0;
            std::istringstream in(ReadRest(stream, start));
            xml->LoadDocument(d, in);
            // The stream stands after the document, as if it had been read directly.
            const std::streamoff used = in.tellg();
            if (used >= 0) stream->SetPosition(start + used);
        }));
        c->AddMethod("procedure SaveToFile(const FileName: String)",
            fsMethod<Doc>([](Doc* d, TfsParams& p) { d->Document.SaveToFile(Writable(p[0])); }));
        c->AddMethod("procedure LoadFromFile(const FileName: String)", fsMethod<Doc>([xml](Doc* d, TfsParams& p) {
            // Read whole through a file stream, which takes only a regular file.
            TFileStream file(Readable(p[0]), fmOpenRead | fmShareDenyWrite);
            int64_t start = 0;
            std::istringstream in(ReadRest(&file, start));
            xml->LoadDocument(d, in);
        }));
        c->AddProperty("Root", "TfsXMLItem", fsGetter<Doc>([xml](Doc* d) { return xml->RefOf(d->Document.Root()); }));
    }

    g->AddedBy = nullptr;
}

TfsClassesRTTI::~TfsClassesRTTI() {
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

// --- callbacks ----------------------------------------------------------------------------------------

Variant TfsClassesRTTI::Construct(TClass cls, TfsParams& p) {
    TObject* obj = nullptr;
    if (cls == TfsXMLItemRef::StaticClass()) {
        obj = FXml->NewItem();
    } else if (cls == TfsXMLDocumentRef::StaticClass()) {
        obj = FXml->NewDocument();
    } else if (cls->InheritsFrom(TFileStream::StaticClass())) {
        const auto mode = uint16_t(p.at(1).AsInteger());
        const std::string name = VarToStr(p.at(0));
        // Any mode that can change the file is a write; reading and writing needs both.
        if (mode == fmCreate || (mode & 3) != fmOpenRead) fsCheckFileAccess(name, TfsFileAccess::Write);
        if (mode != fmCreate && (mode & 3) != fmOpenWrite) fsCheckFileAccess(name, TfsFileAccess::Read);
        obj = new TFileStream(name, mode);
    } else if (cls->InheritsFrom(TComponent::StaticClass())) {
        TComponent* owner = p.empty() ? nullptr : fsObjectArg<TComponent>(p[0], "AOwner", true);
        obj = cls->CreateComponent(owner);
    } else {
        obj = cls->Create();
    }
    fsMarkScriptCreated(obj);
    return Handle(obj);
}

void TfsClassesRTTI::FreeObject(TObject* obj) {
    if (auto* item = dynamic_cast<TfsXMLItemRef*>(obj)) FXml->FreeItem(item);
    else if (auto* doc = dynamic_cast<TfsXMLDocumentRef*>(obj)) FXml->FreeDocument(doc);
    else fsScriptFree(obj);
}

// --- start-up -----------------------------------------------------------------------------------------

void fsStartClassesRTTI() {
    if (!gClassesRTTI) gClassesRTTI = new TfsClassesRTTI;
}

void fsStopClassesRTTI() {
    delete gClassesRTTI;
    gClassesRTTI = nullptr;
}
