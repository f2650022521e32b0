#pragma once
// The stored report format: report objects as XML elements, their published properties as
// attributes and back.
//
// An element is named after the object's class; its attribute text begins with Name, then the
// stored properties in the class's published order, then PropData (the object's extra data in
// the class library's binary form, as upper-case hexadecimal). Nested persistent objects are
// written in place with dotted names (Font.Name, Highlight.Font.Name), string lists as
// "<Prop>.Text", references to other objects as their name text.
//
// Reading collects every error in ErrorList (sorted, each text once) and goes on; references
// are queued and resolved after the whole tree (or text) is read.

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/classes/Object.h"

class TComponent;
class TMemoryStream;
class TPersistent;
class TPropInfo;
class TStream;
class TStringList;
class TfrxComponent;
class TfrxXMLItem;

class TfrxXMLSerializer : public TObject {
    KAROMIL_CLASS(TfrxXMLSerializer, TObject)
public:
    // The stream may be nil when only attribute text is made or read.
    explicit TfrxXMLSerializer(TStream* stream);
    ~TfrxXMLSerializer() override;

    TComponent* LookupRoot = nullptr;  // where names are looked up; the tree's root when unset
    bool SaveDefaultValues = false;
    TStringList* ErrorList() const noexcept { return FErrorList.get(); }

    // Writes root (and with saveChildren its subtree) into item, or into a new indented
    // document saved to the stream with its header.
    void WriteTree(TfrxComponent* root, bool saveChildren, TfrxXMLItem* item = nullptr);
    // Reads item (or a document from the stream) into root, creating the nested objects under
    // it; resolves references and ends the loading state of every object read.
    void ReadTree(TfrxComponent* root, TfrxXMLItem* item = nullptr);
    // One element without children and without Name, "<Class .../>", straight to the stream.
    void WriteComponent(TfrxComponent* component);
    // The next element of the stream as a new object owned by owner; nullptr when none is left.
    TfrxComponent* ReadComponent(TfrxComponent* owner);

    // "Class attributes" -> a new object (EClassNotFound for a class that is not registered).
    TPersistent* CreateFromText(TfrxComponent* owner, const std::string& text);
    std::string ComponentText(TPersistent* obj);
    // The stored properties as attribute text, each attribute " " + prefix + name="value".
    std::string PropertiesText(TPersistent* obj, const std::string& prefix);
    void ApplyPropertiesText(const std::string& text, TPersistent* obj);
    void SetPropertyText(const std::string& name, const std::string& value, TPersistent* obj);
    // Applies attribute text to a collection item and resolves its references at once.
    void ReadItemText(TfrxComponent* root, TPersistent* obj, const std::string& text);
    // Resolves the queued references (first in the lookup root's tree, then among the
    // application's components) and empties the queue.
    void FixupReferences();

    void AddError(const std::string& text);

private:
    struct TfrxFixupItem {
        TPersistent* Obj;
        const TPropInfo* Prop;
        std::string Value;
    };
    void ReadPropData(TPersistent* obj, const std::string& hex);
    std::string PropDataText(TPersistent* obj);
    void ReadItem(TfrxXMLItem* item, TfrxComponent* obj, std::vector<TfrxComponent*>& read);
    bool SetNameWhileReading(TfrxComponent* obj, const std::string& name);
    std::unique_ptr<TStringList> FErrorList;
    // While a tree is read: the objects of the lookup root by upper-case name, so that each
    // name read is checked for uniqueness at once instead of by a walk of the whole tree.
    bool FReadingTree = false;
    bool FNamesBuilt = false;
    std::unordered_map<std::string, TfrxComponent*> FNames;
    std::vector<TfrxFixupItem> FFixups;
    TStream* FStream;
};
