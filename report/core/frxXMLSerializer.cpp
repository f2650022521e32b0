#include "report/core/frxXMLSerializer.h"

#include <cmath>
#include <functional>
#include <optional>
#include <unordered_map>

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Component.h"
#include "platform/classes/Filer.h"
#include "platform/classes/List.h"
#include "platform/classes/Streams.h"
#include "platform/classes/StringList.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/SysUtils.h"
#include "report/core/frxClass.h"
#include "report/core/frxComponentLookup.h"
#include "report/core/frxRes.h"
#include "report/core/frxStreamText.h"
#include "report/core/frxText.h"
#include "report/core/frxXML.h"

KAROMIL_IMPLEMENT_CLASS(TfrxXMLSerializer, TObject)

namespace {
void Attr(std::string& s, const std::string& name, const std::string& value) {
    s += ' ';
    s += name;
    s += "=\"";
    s += value;
    s += '"';
}

bool IsReport(TObject* o) {
    auto* c = dynamic_cast<TfrxComponent*>(o);
    return c && c->OwnReportServices();
}

std::string ValueError(const std::string& value, const TPropInfo* p) {
    return "Neplatná hodnota \"" + value + "\" vlastnosti " + p->Name();
}

// Sound: numbers read from a file are bounded before they size anything. A template passed
// from school to school could say Columns="2147483647" (the page then built two thousand million
// column positions) or a band a kilometre high; such a value is an error line, and the
// property keeps its value.
struct TValueRange {
    const char* Path;  // the attribute's last one or two name parts, lower case
    double Min, Max;
};
constexpr TValueRange kIntegerRanges[] = {
    {"columns", 0, 100},  // page and data-band columns
    {"rowcount", 0, 100000},  // repeats of a band without a dataset
    {"rangeendcount", 0, 100000},
    {"copies", 0, 999},
    {"outlinewidth", 0, 10000},
    {"font.height", -2000, 2000},
    {"font.size", -2000, 2000},
};
// Every float stored is a distance (pixels or millimetres), a factor or a day count; none
// needs more than this, and a day count of 100,000 is the year 2173.
constexpr double kFloatLimit = 100000;
// Lines of the string lists that hold one number per column or guide.
constexpr TValueRange kListRanges[] = {
    {"columnpositions", 0, 100},
    {"hguides", 0, 1000},
    {"vguides", 0, 1000},
};

const TValueRange* FindRange(const std::string& path, const TValueRange* begin, const TValueRange* end) {
    for (const TValueRange* r = begin; r != end; ++r) {
        const std::string_view want = r->Path;
        if (path.size() < want.size() || path.compare(path.size() - want.size(), want.size(), want) != 0) continue;
        if (path.size() == want.size() || path[path.size() - want.size() - 1] == '.') return r;
    }
    return nullptr;
}

std::string RangeError(const std::string& value, const TPropInfo* p, double min, double max) {
    return "Hodnota \"" + value + "\" vlastnosti " + p->Name() + " je mimo povolený rozsah (" + FloatToStr(min) +
        " až " + FloatToStr(max) + ")";
}

int64_t BoundedInteger(const std::string& path, const std::string& value, const TPropInfo* p) {
    const int64_t v = StrToInt64(value);
    if (const TValueRange* r = FindRange(path, std::begin(kIntegerRanges), std::end(kIntegerRanges)))
        if (double(v) < r->Min || double(v) > r->Max) throw EConvertError(RangeError(value, p, r->Min, r->Max));
    return v;
}

double BoundedFloat(const std::string& path, const std::string& value, const TPropInfo* p) {
    const double v = frxStrToFloat(value);
    // A position far away only leaves its object out of every page and device (drawing clips
    // it); sizes and the page's own measures are what allocate and loop.
    const bool position = path == "left" || path == "top";
    if (!std::isfinite(v) || (!position && std::fabs(v) > kFloatLimit))
        throw EConvertError(RangeError(value, p, -kFloatLimit, kFloatLimit));
    return v;
}

// The number of lines the text of a string list would have.
int64_t LineCount(const std::string& text) {
    if (text.empty()) return 0;
    int64_t n = 1;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++n;
    return n;
}
}  // namespace

TfrxXMLSerializer::TfrxXMLSerializer(TStream* stream) : FErrorList(std::make_unique<TStringList>()), FStream(stream) {
    FErrorList->SetSorted(true);
    FErrorList->SetDuplicates(dupIgnore);
}

TfrxXMLSerializer::~TfrxXMLSerializer() = default;

void TfrxXMLSerializer::AddError(const std::string& text) { FErrorList->Add(text); }

// --- writing -------------------------------------------------------------------------------

std::string TfrxXMLSerializer::PropertiesText(TPersistent* obj, const std::string& prefix) {
    auto* rc = dynamic_cast<TfrxComponent*>(obj);
    std::optional<TRollback<bool>> writing;
    if (rc) writing.emplace(rc->WritingXML, true);
    std::string s;
    for (const TPropInfo* p : GetPropList(obj->ClassType())) {
        if (!p->IsStored(obj)) continue;
        const std::string name = prefix + p->Name();
        switch (p->Kind()) {
        case tkEnumeration: {
            const int64_t v = p->GetOrd(obj);
            if (SaveDefaultValues || !p->HasDefault() || v != p->Default())
                Attr(s, name, GetEnumName(p->PropType(), int(v)));
            break;
        }
        case tkInteger:
        case tkChar:
        case tkWChar:
        case tkSet:
        case tkInt64: {
            const int64_t v = p->GetOrd(obj);
            if (SaveDefaultValues || !p->HasDefault() || v != p->Default()) Attr(s, name, IntToStr(v));
            break;
        }
        case tkFloat: Attr(s, name, FloatToStr(p->GetFloat(obj))); break;
        case tkString: {
            const std::string v = p->GetStr(obj);
            if (SaveDefaultValues || !v.empty()) Attr(s, name, frxEscapeXML(v));
            break;
        }
        case tkVariant: {
            const Variant v = p->GetVariant(obj);
            Attr(s, name, v.IsNull() || v.IsEmpty() ? std::string() : frxEscapeXML(v.AsString()));
            break;
        }
        case tkClass: {
            TObject* o = p->GetObject(obj);
            switch (p->PropType()->ClassCategory()) {
            case ccComponentReference:
                if (auto* c = dynamic_cast<TComponent*>(o)) {
                    const std::string text = frxGetComponentName(LookupRoot, c);
                    if (!text.empty()) Attr(s, name, text);
                }
                break;
            case ccStrings:
                if (auto* lines = dynamic_cast<TStrings*>(o)) {
                    std::string text = lines->Text();
                    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0) text.resize(text.size() - 2);
                    Attr(s, name + ".Text", frxEscapeXML(text));
                }
                break;
            case ccPersistent:
                if (auto* sub = dynamic_cast<TPersistent*>(o)) s += PropertiesText(sub, name + ".");
                break;
            default: break;
            }
            break;
        }
        default: break;  // methods are never stored
        }
    }
    const std::string data = PropDataText(obj);
    if (!data.empty()) Attr(s, prefix + "PropData", data);
    return s;
}

std::string TfrxXMLSerializer::PropDataText(TPersistent* obj) {
    TMemoryStream ms;
    TWriter writer(&ms);
    writer.SetRoot(LookupRoot);
    writer.WriteProperties(obj);
    if (ms.Size() == 0) return {};
    return frxStreamToHex(&ms);
}

std::string TfrxXMLSerializer::ComponentText(TPersistent* obj) { return obj->ClassName() + PropertiesText(obj, ""); }

void TfrxXMLSerializer::WriteTree(TfrxComponent* root, bool saveChildren, TfrxXMLItem* item) {
    std::unique_ptr<TfrxXMLDocument> doc;
    if (!item) {
        doc = std::make_unique<TfrxXMLDocument>();
        doc->AutoIndent = true;
        item = doc->Root();
    }
    if (!LookupRoot) LookupRoot = root;
    std::function<void(TfrxXMLItem*, TfrxComponent*)> write = [&](TfrxXMLItem* it, TfrxComponent* obj) {
        it->Name = obj->ClassName();
        // The name goes raw: it is an identifier.
        it->Text = "Name=\"" + obj->GetName() + "\"" + PropertiesText(obj, "");
        if (saveChildren)
            for (int i = 0; i < obj->ChildCount(); ++i) write(it->Add(), obj->Child(i));
    };
    write(item, root);
    if (doc) doc->SaveToStream(FStream);
}

void TfrxXMLSerializer::WriteComponent(TfrxComponent* component) {
    const std::string text = "<" + ComponentText(component) + "/>";
    FStream->WriteBuffer(text.data(), int64_t(text.size()));
}

// --- reading -------------------------------------------------------------------------------

void TfrxXMLSerializer::ApplyPropertiesText(const std::string& text, TPersistent* obj) {
    // The attribute scanner of the stored format: the name is what precedes the opening quote
    // less its last character (the '='), so blanks around '=' make the attribute unknown; the
    // character after the closing quote is taken as the separator.
    std::string t = text;
    for (;;) {
        const size_t open = t.find('"');
        if (open == std::string::npos) break;
        const std::string name = LowerCase(Trim(t.substr(0, open == 0 ? 0 : open - 1)));
        if (name.empty()) break;
        const size_t close = t.find('"', open + 1);
        const std::string value = t.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        try {
            SetPropertyText(name, value, obj);
        } catch (const std::exception& e) {
            // A value that does not convert, or a writer that refuses it: the attribute keeps
            // its old value, the message is reported with the others, and reading goes on.
            AddError(e.what());
        }
        if (close == std::string::npos) break;
        t.erase(0, std::min(t.size(), close + 2));
    }
}

void TfrxXMLSerializer::SetPropertyText(const std::string& name, const std::string& value, TPersistent* obj) {
    std::string path = name;
    if (path.size() == 1) {
        switch (path[0]) {
        case 'l': path = "left"; break;
        case 't': path = "top"; break;
        case 'w': path = "width"; break;
        case 'h': path = "height"; break;
        case 'x':
            if (auto* c = dynamic_cast<TfrxComponent*>(obj)) c->SetDiffText(frxUnescapeXML(value));
            return;
        default: break;
        }
    }
    TObject* cur = obj;
    size_t start = 0;
    for (size_t dot; (dot = path.find('.', start)) != std::string::npos; start = dot + 1) {
        const TPropInfo* p = GetPropInfo(cur, std::string_view(path).substr(start, dot - start));
        if (!p || p->Kind() != tkClass) return;
        cur = p->GetObject(cur);
        if (!cur) return;
    }
    const std::string last = path.substr(start);
    if (start == 0 && last == "name" && FReadingTree)
        if (auto* c = dynamic_cast<TfrxComponent*>(cur); c && SetNameWhileReading(c, value)) return;
    if (last == "text")
        if (auto* lines = dynamic_cast<TStrings*>(cur)) {
            std::string text = frxUnescapeXML(value);
            const std::string list = start >= 1 ? path.substr(0, start - 1) : std::string();
            if (const TValueRange* r = FindRange(list, std::begin(kListRanges), std::end(kListRanges)))
                if (const int64_t n = LineCount(text); double(n) > r->Max)
                    throw EConvertError(
                        "Seznam " + list + " má " + IntToStr(n) + " řádků, nejvýše smí mít " + FloatToStr(r->Max));
            lines->SetText(text);
            return;
        }
    if (last == "propdata") {
        if (auto* target = dynamic_cast<TPersistent*>(cur)) ReadPropData(target, value);
        return;
    }
    const TPropInfo* p = GetPropInfo(cur, last);
    if (!p) return;
    switch (p->Kind()) {
    case tkInteger:
    case tkChar:
    case tkWChar:
    case tkInt64: p->SetOrd(cur, BoundedInteger(path, value, p)); break;
    case tkSet: {
        const int64_t mask = StrToInt64(value);
        // Sound: a mask with bits beyond the set's elements is refused, not stored.
        const int count = p->PropType()->CompType() ? p->PropType()->CompType()->MaxValue() + 1 : 32;
        if (mask < 0 || (count < 32 && (mask >> count) != 0)) throw EConvertError(ValueError(value, p));
        p->SetOrd(cur, mask);
        break;
    }
    case tkEnumeration: {
        // Sound: an ordinal outside the enumeration or a name it does not have is refused
        // with an error line, and the property keeps its value; storing it would let later
        // tables index out of range.
        int64_t v = 0;
        if (!TryStrToInt64(value, v)) v = GetEnumValue(p->PropType(), value);
        if (v < 0 || v > p->PropType()->MaxValue()) throw EConvertError(ValueError(value, p));
        p->SetOrd(cur, v);
        break;
    }
    case tkFloat: p->SetFloat(cur, BoundedFloat(path, value, p)); break;
    case tkString: p->SetStr(cur, frxUnescapeXML(value)); break;
    case tkVariant: p->SetVariant(cur, Variant(frxUnescapeXML(value))); break;
    case tkClass:
        if (p->PropType()->ClassCategory() == ccComponentReference)
            if (auto* target = dynamic_cast<TPersistent*>(cur)) FFixups.push_back({target, p, value});
        break;
    default: break;
    }
}

void TfrxXMLSerializer::ReadPropData(TPersistent* obj, const std::string& hex) {
    TMemoryStream ms;
    frxHexToStream(hex, &ms);
    ms.SetPosition(0);
    TReader reader(&ms);
    reader.SetRoot(LookupRoot);
    // Damaged bytes end the reading silently inside the reader; what raises here is a value
    // that the object itself refused (a picture that does not decode). It is reported as an
    // error line like any other bad value, and reading goes on with the next attribute.
    reader.ReadProperties(obj);
}

// Sound: loading stays near-linear in the number of objects. Checking each name read against
// a walk of the whole report made a template of 10,000 objects take a minute to load.
bool TfrxXMLSerializer::SetNameWhileReading(TfrxComponent* obj, const std::string& name) {
    TfrxComponent* root = dynamic_cast<TfrxComponent*>(LookupRoot);
    // The index answers for the report whose names must be unique; anything else takes the
    // ordinary way.
    if (!root || obj->GetReportRoot() != root || name.empty()) return false;
    if (!FNamesBuilt) {
        FNamesBuilt = true;
        TList* all = root->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i) {
            auto* c = static_cast<TfrxComponent*>(all->Items(i));
            if (!c->GetName().empty()) FNames.emplace(AnsiUpperCase(c->GetName()), c);
        }
    }
    const std::string key = AnsiUpperCase(name);
    auto it = FNames.find(key);
    if (it != FNames.end() && it->second != obj) throw Exception(frxGetResources()->Get("prDupl"));
    const std::string old = obj->GetName();
    obj->SetNameKnownUnique(name);
    if (!old.empty()) {
        auto was = FNames.find(AnsiUpperCase(old));
        if (was != FNames.end() && was->second == obj) FNames.erase(was);
    }
    FNames[key] = obj;
    return true;
}

void TfrxXMLSerializer::ReadTree(TfrxComponent* root, TfrxXMLItem* item) {
    std::unique_ptr<TfrxXMLDocument> doc;
    if (!item) {
        doc = std::make_unique<TfrxXMLDocument>();
        doc->LoadFromStream(FStream);
        item = doc->Root();
    }
    if (!LookupRoot) LookupRoot = root;
    std::vector<TfrxComponent*> read;
    FReadingTree = true;
    FNamesBuilt = false;
    FNames.clear();
    auto endReading = OnScopeExit([&] {
        for (TfrxComponent* c : read) c->ReadingXML = false;
    });
    auto endNames = OnScopeExit([&] {
        FReadingTree = false;
        FNames.clear();
    });
    // The objects read are new: no one refers to them yet, so their insertion into the report
    // is not announced to every object of it.
    TComponent* owner = root->GetReportRoot();
    if (owner) owner->SuspendInsertNotices();
    auto resume = OnScopeExit([owner] {
        if (owner) owner->ResumeInsertNotices();
    });
    root->ReadingXML = true;
    read.push_back(root);
    ApplyPropertiesText(item->Text, root);
    for (int i = 0; i < item->Count(); ++i) ReadItem(item->Items(i), root, read);
    FixupReferences();
    endReading.Release();
    for (TfrxComponent* c : read) {
        c->ReadingXML = false;
        if (!IsReport(c)) c->Loaded();
    }
}

void TfrxXMLSerializer::ReadItem(TfrxXMLItem* item, TfrxComponent* parent, std::vector<TfrxComponent*>& read) {
    TClass cls = GetClass(item->Name);
    // Sound: only report object classes are built from a template; another registered class
    // (a window, a control) named in a file is as unknown as a misspelt one.
    if (!cls || !cls->InheritsFrom(TfrxComponent::StaticClass()) || !cls->CreateComponentFunc()) {
        AddError(frxGetResources()->Get("xrCantFindClass") + " " + item->Name);
        return;
    }
    auto* obj = static_cast<TfrxComponent*>(cls->CreateComponent(parent));
    obj->ReadingXML = true;
    read.push_back(obj);
    ApplyPropertiesText(item->Text, obj);
    for (int i = 0; i < item->Count(); ++i) ReadItem(item->Items(i), obj, read);
}

void TfrxXMLSerializer::FixupReferences() {
    std::vector<TfrxFixupItem> fixups;
    fixups.swap(FFixups);
    // Many references are looked up in one pass over the tree, not in a walk each; the first
    // object of a name in walk order wins, as FindObject answers.
    auto* root = dynamic_cast<TfrxComponent*>(LookupRoot);
    std::unordered_map<std::string, TfrxComponent*> byName;
    const bool indexed = root && fixups.size() > 8;
    if (indexed) {
        TList* all = root->GetAllObjects();
        for (int i = 0; i < all->Count(); ++i) {
            auto* c = static_cast<TfrxComponent*>(all->Items(i));
            byName.emplace(AnsiUpperCase(c->GetName()), c);
        }
    }
    for (const TfrxFixupItem& f : fixups) {
        if (f.Value.empty()) continue;
        try {
            TComponent* found = nullptr;
            if (indexed) {
                auto it = byName.find(AnsiUpperCase(f.Value));
                if (it != byName.end()) found = it->second;
            } else if (root) {
                found = root->FindObject(f.Value);
            }
            if (!found) found = frxFindComponent(LookupRoot, f.Value);
            if (!found) continue;  // an unknown name leaves the reference as it was
            // Sound: an object of another class than the property's is not stored (a DataSet
            // naming a memo would make every dataset call act on the memo).
            const TClass want = f.Prop->PropType()->ClassType();
            if (want && !found->InheritsFrom(want)) {
                AddError("Objekt " + f.Value + " nelze přiřadit vlastnosti " + f.Prop->Name());
                continue;
            }
            f.Prop->SetObject(f.Obj, found);
        } catch (const std::exception& e) {
            // A lookup or a writer that failed: reported like any other bad value.
            AddError(e.what());
        }
    }
}

void TfrxXMLSerializer::ReadItemText(TfrxComponent* root, TPersistent* obj, const std::string& text) {
    LookupRoot = root;
    ApplyPropertiesText(text, obj);
    FixupReferences();
}

TPersistent* TfrxXMLSerializer::CreateFromText(TfrxComponent* owner, const std::string& text) {
    const std::string t = Trim(text);
    if (t.empty()) return nullptr;
    const size_t blank = t.find(' ');
    const std::string className = t.substr(0, blank);
    TClass cls = FindClass(className);
    TComponent* created = cls->CreateComponent(owner);
    auto* obj = dynamic_cast<TfrxComponent*>(created);
    if (!LookupRoot) {
        TfrxComponent* root = owner ? owner->GetReportRoot() : nullptr;
        LookupRoot = root ? root : owner;
    }
    if (obj) obj->ReadingXML = true;
    auto done = OnScopeExit([&] {
        if (obj) obj->ReadingXML = false;
    });
    ApplyPropertiesText(blank == std::string::npos ? std::string() : t.substr(blank + 1), created);
    FixupReferences();
    done.Release();
    if (obj) obj->ReadingXML = false;
    if (!IsReport(created)) created->Loaded();
    return created;
}

TfrxComponent* TfrxXMLSerializer::ReadComponent(TfrxComponent* owner) {
    // Line breaks between elements are skipped; nothing but blanks left means no element.
    const int64_t start = FStream->Position();
    for (;;) {
        char c;
        if (FStream->Read(&c, 1) != 1) return nullptr;
        if (static_cast<unsigned char>(c) > ' ') break;
    }
    FStream->SetPosition(start);
    TfrxXMLItem item;
    {
        TfrxXMLReader reader(FStream);
        reader.ReadRootItem(&item, true);
    }
    TPersistent* created = CreateFromText(owner, item.Name + " " + item.Text);
    if (auto* c = dynamic_cast<TfrxComponent*>(created)) return c;
    delete created;
    return nullptr;
}
