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
#include "script/Interpreter.h"
#include "script/ScriptTools.h"
#include "script/XmlTree.h"

// Run-time messages of the bindings.
namespace {
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
    std::unique_ptr<TfsXMLItem> Owned;   // a root the script created and nothing adopted yet
};

class TfsXMLDocumentRef : public TObject {
    KAROMIL_CLASS(TfsXMLDocumentRef, TObject)
public:
    TfsXMLDocument Document;
};

// Scripts know the wrappers by the names of the classes they stand for.
TClass TfsXMLItemRef::StaticClass() noexcept
{
    static const TMetaClass meta("TfsXMLItem", TObject::StaticClass(), nullptr, nullptr);
    return &meta;
}

TClass TfsXMLDocumentRef::StaticClass() noexcept
{
    static const TMetaClass meta("TfsXMLDocument", TObject::StaticClass(), nullptr, nullptr);
    return &meta;
}

class TfsXMLBindingState {
public:
    ~TfsXMLBindingState()
    {
        // Wrappers of items first: documents own the items of their trees.
        FRefs.clear();
        FDocs.clear();
    }

    int32_t RefOf(TfsXMLItem* item)
    {
        if (!item) return 0;
        auto it = FRefs.find(item);
        if (it == FRefs.end()) it = FRefs.emplace(item, std::make_unique<TfsXMLItemRef>(item)).first;
        return it->second->Handle();
    }

    TfsXMLItemRef* NewItem()
    {
        auto owned = std::make_unique<TfsXMLItem>();
        TfsXMLItem* item = owned.get();
        auto ref = std::make_unique<TfsXMLItemRef>(item, std::move(owned));
        TfsXMLItemRef* r = ref.get();
        FRefs.emplace(item, std::move(ref));
        return r;
    }

    TfsXMLDocumentRef* NewDocument()
    {
        auto doc = std::make_unique<TfsXMLDocumentRef>();
        TfsXMLDocumentRef* d = doc.get();
        FDocRoots.emplace(d->Document.Root(), d);
        FDocs.emplace(d, std::move(doc));
        return d;
    }

    // Drops the wrappers of the item's descendants (and of the item itself with `self`).
    void DropWrappers(TfsXMLItem* item, bool self)
    {
        for (int i = 0; i < item->Count(); ++i) DropWrappers(item->Items(i), true);
        if (self) FRefs.erase(item);
    }

    void ClearItem(TfsXMLItem* item)
    {
        DropWrappers(item, false);
        item->Clear();
    }

    // Moves `item` under `parent`, at `index` when it is not negative.
    void Adopt(TfsXMLItem* parent, TfsXMLItem* item, int index)
    {
        if (FDocRoots.count(item)) throw Exception(SXmlDocumentRoot);
        for (TfsXMLItem* p = parent; p; p = p->Parent())
            if (p == item) throw Exception(SXmlCycle);
        // A root the script created now belongs to its new parent.
        if (auto it = FRefs.find(item); it != FRefs.end() && it->second->Owned) (void)it->second->Owned.release();
        if (index < 0) parent->AddItem(item);
        else parent->InsertItem(index, item);
    }

    void FreeItem(TfsXMLItemRef* ref)
    {
        TfsXMLItem* item = ref->Item;
        if (FDocRoots.count(item)) throw Exception(SXmlDocumentRoot);
        fsEventList()->FreeObjectEvents(ref);
        DropWrappers(item, false);
        const bool owned = ref->Owned != nullptr;
        FRefs.erase(item);   // frees the wrapper, and with it a root it owns
        if (!owned && item->Parent()) delete item;   // a child: leaves its parent's list
    }

    void FreeDocument(TfsXMLDocumentRef* doc)
    {
        fsEventList()->FreeObjectEvents(doc);
        TfsXMLItem* root = doc->Document.Root();
        DropWrappers(root, true);
        FDocRoots.erase(root);
        FDocs.erase(doc);
    }

    void LoadDocument(TfsXMLDocumentRef* doc, std::istream& in)
    {
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

std::unordered_set<int32_t>& ScriptCreated()
{
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
void SaveXml(const TfsXMLDocument& doc, TStream* stream)
{
    std::ostringstream out;
    doc.SaveToStream(out);
    const std::string s = out.str();
    stream->WriteBuffer(s.data(), int64_t(s.size()));
}

std::string ReadRest(TStream* stream, int64_t& start)
{
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

void fsMarkScriptCreated(const TObject* obj)
{
    if (obj) ScriptCreated().insert(obj->Handle());
}

bool fsIsScriptCreated(const TObject* obj) { return obj && ScriptCreated().count(obj->Handle()) > 0; }

bool fsScriptMayFree(const TObject* obj)
{
    if (!obj) return false;
    if (fsIsScriptCreated(obj)) return true;
    const auto* c = dynamic_cast<const TComponent*>(obj);
    return c && !c->GetOwner();
}

void fsScriptFree(TObject* obj)
{
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

TfsClassesRTTI::TfsClassesRTTI() : FXml(std::make_unique<TfsXMLBindingState>())
{
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

    TfsMethodCallEvent call = [this](TObject* o, TClass c, const std::string& n, TfsParams& p) {
        return CallMethod(o, c, n, p);
    };
    TfsPropGetEvent get = [this](TObject* o, TClass c, const std::string& n) { return GetProp(o, c, n); };
    TfsPropSetEvent set = [this](TObject* o, TClass c, const std::string& n, const Variant& v) { SetProp(o, c, n, v); };

    if (TfsClassVariable* c = g->AddClass(TObject::StaticClass(), "")) {
        c->AddConstructor("constructor Create", call);
        c->AddMethod("procedure Free", call);
        c->AddMethod("function ClassName: String", call);
    }
    if (TfsClassVariable* c = g->AddClass(TPersistent::StaticClass(), "TObject"))
        c->AddMethod("procedure Assign(Source: TPersistent)", call);
    g->AddClass(TCollectionItem::StaticClass(), "TPersistent");
    if (TfsClassVariable* c = g->AddClass(TCollection::StaticClass(), "TPersistent")) {
        c->AddMethod("procedure Clear", call);
        c->AddProperty("Count", "Integer", get);
        c->AddDefaultProperty("Items", "Integer", "TCollectionItem", call, true);
    }
    if (TfsClassVariable* c = g->AddClass(TList::StaticClass(), "TObject")) {
        c->AddMethod("function Add(Item: TObject): Integer", call);
        c->AddMethod("procedure Clear", call);
        c->AddMethod("procedure Delete(Index: Integer)", call);
        c->AddMethod("function IndexOf(Item: TObject): Integer", call);
        c->AddMethod("procedure Insert(Index: Integer; Item: TObject)", call);
        c->AddMethod("function Remove(Item: TObject): Integer", call);
        c->AddProperty("Count", "Integer", get);
        c->AddDefaultProperty("Items", "Integer", "TObject", call);
    }
    if (TfsClassVariable* c = g->AddClass(TStrings::StaticClass(), "TPersistent")) {
        c->AddMethod("function Add(const S: string): Integer", call);
        c->AddMethod("function AddObject(const S: string; AObject: TObject): Integer", call);
        c->AddMethod("procedure Clear", call);
        c->AddMethod("procedure Delete(Index: Integer)", call);
        c->AddMethod("function IndexOf(const S: string): Integer", call);
        c->AddMethod("function IndexOfName(const Name: string): Integer", call);
        c->AddMethod("function IndexOfObject(AObject: TObject): Integer", call);
        c->AddMethod("procedure Insert(Index: Integer; const S: string)", call);
        c->AddMethod("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)", call);
        c->AddMethod("procedure LoadFromFile(const FileName: string)", call);
        c->AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        c->AddMethod("procedure SaveToFile(const FileName: string)", call);
        c->AddMethod("procedure SaveToStream(Stream: TStream)", call);
        c->AddProperty("CommaText", "string", get, set);
        c->AddProperty("Count", "Integer", get);
        c->AddIndexProperty("Names", "Integer", "string", call, true);
        c->AddIndexProperty("Objects", "Integer", "TObject", call);
        c->AddIndexProperty("Values", "String", "string", call);
        c->AddDefaultProperty("Strings", "Integer", "string", call);
        c->AddProperty("Text", "string", get, set);
    }
    if (TfsClassVariable* c = g->AddClass(TStringList::StaticClass(), "TStrings")) {
        c->AddMethod("function Find(s: String; var Index: Integer): Boolean", call);
        c->AddMethod("procedure Sort", call);
        c->AddProperty("Duplicates", "TDuplicates", get, set);
        c->AddProperty("Sorted", "Boolean", get, set);
    }
    if (TfsClassVariable* c = g->AddClass(TStream::StaticClass(), "TObject")) {
        c->AddMethod("function Read(var Buffer: string; Count: Longint): Longint", call);
        c->AddMethod("function Write(Buffer: string; Count: Longint): Longint", call);
        c->AddMethod("function Seek(Offset: Longint; Origin: Word): Longint", call);
        c->AddMethod("function CopyFrom(Source: TStream; Count: Longint): Longint", call);
        c->AddProperty("Position", "Longint", get, set);
        c->AddProperty("Size", "Longint", get);
    }
    if (TfsClassVariable* c = g->AddClass(TFileStream::StaticClass(), "TStream"))
        c->AddConstructor("constructor Create(Filename: String; Mode: Word)", call);
    if (TfsClassVariable* c = g->AddClass(TMemoryStream::StaticClass(), "TStream")) {
        c->AddMethod("procedure Clear", call);
        c->AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        c->AddMethod("procedure LoadFromFile(Filename: String)", call);
        c->AddMethod("procedure SaveToStream(Stream: TStream)", call);
        c->AddMethod("procedure SaveToFile(Filename: String)", call);
    }
    if (TfsClassVariable* c = g->AddClass(TComponent::StaticClass(), "TPersistent")) {
        c->AddConstructor("constructor Create(AOwner: TComponent)", call);
        c->AddProperty("Owner", "TComponent", get);
    }
    if (TfsClassVariable* c = g->AddClass(TfsXMLItemRef::StaticClass(), "TObject")) {
        c->AddConstructor("constructor Create", call);
        c->AddMethod("procedure AddItem(Item: TfsXMLItem)", call);
        c->AddMethod("procedure Clear", call);
        c->AddMethod("procedure InsertItem(Index: Integer; Item: TfsXMLItem)", call);
        c->AddMethod("function Add: TfsXMLItem", call);
        c->AddMethod("function Find(const Name: String): Integer", call);
        c->AddMethod("function FindItem(const Name: String): TfsXMLItem", call);
        c->AddMethod("function Prop(const Name: String): String", call);
        c->AddMethod("function Root: TfsXMLItem", call);
        c->AddProperty("Data", "Integer", get, set);
        c->AddProperty("Count", "Integer", get);
        c->AddDefaultProperty("Items", "Integer", "TfsXMLItem", call, true);
        c->AddProperty("Name", "String", get, set);
        c->AddProperty("Parent", "TfsXMLItem", get);
        c->AddProperty("Text", "String", get, set);
    }
    if (TfsClassVariable* c = g->AddClass(TfsXMLDocumentRef::StaticClass(), "TObject")) {
        c->AddConstructor("constructor Create", call);
        c->AddMethod("procedure SaveToStream(Stream: TStream)", call);
        c->AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        c->AddMethod("procedure SaveToFile(const FileName: String)", call);
        c->AddMethod("procedure LoadFromFile(const FileName: String)", call);
        c->AddProperty("Root", "TfsXMLItem", get);
    }

    g->AddedBy = nullptr;
}

TfsClassesRTTI::~TfsClassesRTTI()
{
    if (TfsScript* g = fsGlobalUnit()) g->RemoveItems(this);
}

// --- callbacks ----------------------------------------------------------------------------------------

Variant TfsClassesRTTI::Construct(TClass cls, TfsParams& p)
{
    TObject* obj = nullptr;
    if (cls == TfsXMLItemRef::StaticClass()) {
        obj = FXml->NewItem();
    } else if (cls == TfsXMLDocumentRef::StaticClass()) {
        obj = FXml->NewDocument();
    } else if (cls->InheritsFrom(TFileStream::StaticClass())) {
        obj = new TFileStream(VarToStr(p.at(0)), uint16_t(p.at(1).AsInteger()));
    } else if (cls->InheritsFrom(TComponent::StaticClass())) {
        TComponent* owner = p.empty() ? nullptr : fsObjectArg<TComponent>(p[0], "AOwner", true);
        obj = cls->CreateComponent(owner);
    } else {
        obj = cls->Create();
    }
    fsMarkScriptCreated(obj);
    return Handle(obj);
}

void TfsClassesRTTI::FreeObject(TObject* obj)
{
    if (auto* item = dynamic_cast<TfsXMLItemRef*>(obj)) FXml->FreeItem(item);
    else if (auto* doc = dynamic_cast<TfsXMLDocumentRef*>(obj)) FXml->FreeDocument(doc);
    else fsScriptFree(obj);
}

Variant TfsClassesRTTI::CallMethod(TObject* obj, TClass cls, const std::string& name, TfsParams& p)
{
    if (!obj) return name == "CREATE" && cls ? Construct(cls, p) : Variant(0);

    // A constructor called on an existing object builds nothing.
    if (name == "CREATE") return Handle(obj);
    if (cls == TObject::StaticClass()) {
        if (name == "FREE") FreeObject(obj);
        else if (name == "CLASSNAME") return Variant(obj->ClassName());
    } else if (cls == TPersistent::StaticClass()) {
        if (name == "ASSIGN") static_cast<TPersistent*>(obj)->Assign(fsObjectArg<TPersistent>(p[0], "Source", true));
    } else if (cls == TCollection::StaticClass()) {
        auto* c = static_cast<TCollection*>(obj);
        if (name == "CLEAR") c->Clear();
        else if (name == "ITEMS.GET") return Handle(c->Items(IndexArg(p[0])));
    } else if (cls == TList::StaticClass()) {
        auto* l = static_cast<TList*>(obj);
        if (name == "ADD") return Variant(l->Add(fsObjectArg<TObject>(p[0], "Item", true)));
        if (name == "CLEAR") l->Clear();
        else if (name == "DELETE") l->Delete(IndexArg(p[0]));
        else if (name == "INDEXOF") return Variant(l->IndexOf(fsObjectArg<TObject>(p[0], "Item", true)));
        else if (name == "INSERT") l->Insert(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Item", true));
        else if (name == "REMOVE") return Variant(l->Remove(fsObjectArg<TObject>(p[0], "Item", true)));
        // The list holds the host's object pointers; scripts see them as handles.
        else if (name == "ITEMS.GET") return HeldObject(l->Items(IndexArg(p[0])), "Items");
        else if (name == "ITEMS.SET") l->SetItems(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Items", true));
    } else if (cls == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(obj);
        if (name == "ADD") return Variant(s->Add(VarToStr(p[0])));
        if (name == "ADDOBJECT") return Variant(s->AddObject(VarToStr(p[0]), fsObjectArg<TObject>(p[1], "AObject", true)));
        if (name == "CLEAR") s->Clear();
        else if (name == "DELETE") s->Delete(IndexArg(p[0]));
        else if (name == "INDEXOF") return Variant(s->IndexOf(VarToStr(p[0])));
        else if (name == "INDEXOFNAME") return Variant(s->IndexOfName(VarToStr(p[0])));
        else if (name == "INDEXOFOBJECT") return Variant(s->IndexOfObject(fsObjectArg<TObject>(p[0], "AObject", true)));
        else if (name == "INSERT") s->Insert(IndexArg(p[0]), VarToStr(p[1]));
        else if (name == "INSERTOBJECT")
            s->InsertObject(IndexArg(p[0]), VarToStr(p[1]), fsObjectArg<TObject>(p[2], "AObject", true));
        else if (name == "LOADFROMFILE") s->LoadFromFile(VarToStr(p[0]));
        else if (name == "LOADFROMSTREAM") s->LoadFromStream(fsObjectArg<TStream>(p[0], "Stream", false));
        else if (name == "SAVETOFILE") s->SaveToFile(VarToStr(p[0]));
        else if (name == "SAVETOSTREAM") s->SaveToStream(fsObjectArg<TStream>(p[0], "Stream", false));
        else if (name == "NAMES.GET") return Variant(s->Names(IndexArg(p[0])));
        else if (name == "OBJECTS.GET") return HeldObject(s->Objects(IndexArg(p[0])), "Objects");
        else if (name == "OBJECTS.SET") s->SetObjects(IndexArg(p[0]), fsObjectArg<TObject>(p[1], "Objects", true));
        else if (name == "VALUES.GET") return Variant(s->Values(VarToStr(p[0])));
        else if (name == "VALUES.SET") s->SetValues(VarToStr(p[0]), VarToStr(p[1]));
        else if (name == "STRINGS.GET") return Variant(s->Strings(IndexArg(p[0])));
        else if (name == "STRINGS.SET") s->SetStrings(IndexArg(p[0]), VarToStr(p[1]));
    } else if (cls == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(obj);
        if (name == "FIND") {
            int index = 0;
            const bool found = s->Find(VarToStr(p[0]), index);
            p[1] = Variant(index);
            return Variant(found);
        }
        if (name == "SORT") s->Sort();
    } else if (cls == TStream::StaticClass()) {
        auto* s = static_cast<TStream*>(obj);
        if (name == "READ") {
            int64_t count = std::max<int64_t>(p[1].AsInt64(), 0);
            // Never more than the stream still holds: a huge Count must not allocate that much.
            const int64_t size = s->Size(), pos = s->Position();
            if (size >= 0 && pos >= 0) count = std::min(count, std::max<int64_t>(size - pos, 0));
            std::string buffer(size_t(count), '\0');
            const int64_t n = std::max<int64_t>(s->Read(buffer.data(), count), 0);
            buffer.resize(size_t(n));
            p[0] = Variant(std::move(buffer));
            return Variant(n);
        }
        if (name == "WRITE") {
            const std::string buffer = VarToStr(p[0]);
            // Never past the end of the text given.
            const int64_t count = std::clamp<int64_t>(p[1].AsInt64(), 0, int64_t(buffer.size()));
            return Variant(std::max<int64_t>(s->Write(buffer.data(), count), 0));
        }
        if (name == "SEEK") return Variant(s->Seek(p[0].AsInt64(), p[1].AsInteger()));
        if (name == "COPYFROM") return Variant(s->CopyFrom(fsObjectArg<TStream>(p[0], "Source", false), p[1].AsInt64()));
    } else if (cls == TMemoryStream::StaticClass()) {
        auto* s = static_cast<TMemoryStream*>(obj);
        if (name == "CLEAR") s->Clear();
        else if (name == "LOADFROMSTREAM") s->LoadFromStream(fsObjectArg<TStream>(p[0], "Stream", false));
        else if (name == "LOADFROMFILE") s->LoadFromFile(VarToStr(p[0]));
        else if (name == "SAVETOSTREAM") s->SaveToStream(fsObjectArg<TStream>(p[0], "Stream", false));
        else if (name == "SAVETOFILE") s->SaveToFile(VarToStr(p[0]));
    } else if (cls == TfsXMLItemRef::StaticClass()) {
        TfsXMLItem* item = static_cast<TfsXMLItemRef*>(obj)->Item;
        if (name == "ADDITEM") FXml->Adopt(item, fsObjectArg<TfsXMLItemRef>(p[0], "Item", false)->Item, -1);
        else if (name == "CLEAR") FXml->ClearItem(item);
        else if (name == "INSERTITEM")
            FXml->Adopt(item, fsObjectArg<TfsXMLItemRef>(p[1], "Item", false)->Item, std::max(IndexArg(p[0]), 0));
        else if (name == "ADD") return Variant(FXml->RefOf(item->Add()));
        else if (name == "FIND") return Variant(item->Find(VarToStr(p[0])));
        else if (name == "FINDITEM") return Variant(FXml->RefOf(item->FindItem(VarToStr(p[0]))));
        else if (name == "PROP") return Variant(item->Prop(VarToStr(p[0])));
        else if (name == "ROOT") return Variant(FXml->RefOf(item->Root()));
        else if (name == "ITEMS.GET") {
            const int index = IndexArg(p[0]);
            if (index < 0 || index >= item->Count()) ListIndexError(index);
            return Variant(FXml->RefOf(item->Items(index)));
        }
    } else if (cls == TfsXMLDocumentRef::StaticClass()) {
        auto* doc = static_cast<TfsXMLDocumentRef*>(obj);
        if (name == "SAVETOSTREAM") SaveXml(doc->Document, fsObjectArg<TStream>(p[0], "Stream", false));
        else if (name == "LOADFROMSTREAM") {
            TStream* stream = fsObjectArg<TStream>(p[0], "Stream", false);
            int64_t start = 0;
            std::istringstream in(ReadRest(stream, start));
            FXml->LoadDocument(doc, in);
            // The stream stands after the document, as if it had been read directly.
            const std::streamoff used = in.tellg();
            if (used >= 0) stream->SetPosition(start + used);
        } else if (name == "SAVETOFILE") doc->Document.SaveToFile(VarToStr(p[0]));
        else if (name == "LOADFROMFILE") {
            std::ifstream in(VarToStr(p[0]), std::ios::binary);
            if (!in) throw EFOpenError("Cannot open file \"" + VarToStr(p[0]) + "\"");
            FXml->LoadDocument(doc, in);
        }
    }
    return Variant(0);
}

Variant TfsClassesRTTI::GetProp(TObject* obj, TClass cls, const std::string& name)
{
    if (cls == TCollection::StaticClass()) {
        if (name == "COUNT") return Variant(static_cast<TCollection*>(obj)->Count());
    } else if (cls == TList::StaticClass()) {
        if (name == "COUNT") return Variant(static_cast<TList*>(obj)->Count());
    } else if (cls == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(obj);
        if (name == "COMMATEXT") return Variant(s->CommaText());
        if (name == "COUNT") return Variant(s->Count());
        if (name == "TEXT") return Variant(s->Text());
    } else if (cls == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(obj);
        if (name == "DUPLICATES") return Variant(int(s->Duplicates()));
        if (name == "SORTED") return Variant(s->Sorted());
    } else if (cls == TStream::StaticClass()) {
        auto* s = static_cast<TStream*>(obj);
        if (name == "POSITION") return Variant(s->Position());
        if (name == "SIZE") return Variant(s->Size());
    } else if (cls == TComponent::StaticClass()) {
        if (name == "OWNER") return Handle(static_cast<TComponent*>(obj)->GetOwner());
    } else if (cls == TfsXMLItemRef::StaticClass()) {
        TfsXMLItem* item = static_cast<TfsXMLItemRef*>(obj)->Item;
        if (name == "DATA") return Variant(item->Data);
        if (name == "COUNT") return Variant(item->Count());
        if (name == "NAME") return Variant(item->Name);
        if (name == "PARENT") return Variant(FXml->RefOf(item->Parent()));
        if (name == "TEXT") return Variant(item->Text);
    } else if (cls == TfsXMLDocumentRef::StaticClass()) {
        if (name == "ROOT") return Variant(FXml->RefOf(static_cast<TfsXMLDocumentRef*>(obj)->Document.Root()));
    }
    return Variant(0);
}

void TfsClassesRTTI::SetProp(TObject* obj, TClass cls, const std::string& name, const Variant& v)
{
    if (cls == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(obj);
        if (name == "COMMATEXT") s->SetCommaText(VarToStr(v));
        else if (name == "TEXT") s->SetText(VarToStr(v));
    } else if (cls == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(obj);
        if (name == "DUPLICATES") {
            const int d = v.AsInteger();
            if (d < dupIgnore || d > dupError) throw ERangeError("Range check error");
            s->SetDuplicates(TDuplicates(d));
        } else if (name == "SORTED") {
            s->SetSorted(v.AsBoolean());
        }
    } else if (cls == TStream::StaticClass()) {
        if (name == "POSITION") static_cast<TStream*>(obj)->SetPosition(v.AsInt64());
    } else if (cls == TfsXMLItemRef::StaticClass()) {
        TfsXMLItem* item = static_cast<TfsXMLItemRef*>(obj)->Item;
        if (name == "DATA") item->Data = v.AsInteger();
        else if (name == "NAME") item->Name = VarToStr(v);
        else if (name == "TEXT") item->Text = VarToStr(v);
    }
}

// --- start-up -----------------------------------------------------------------------------------------

void fsStartClassesRTTI()
{
    if (!gClassesRTTI) gClassesRTTI = new TfsClassesRTTI;
}

void fsStopClassesRTTI()
{
    delete gClassesRTTI;
    gClassesRTTI = nullptr;
}
