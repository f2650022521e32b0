#pragma once
// The process-wide registries through which linked units announce what they add to the
// report library: report object classes (the designer's palette), component editors,
// property editors, export filters and wizards. Each is made on first use and freed at
// shut-down (they may hold pictures, which belong to the window layer).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"

class TBitmap;
class TTypeInfo;
class TfrxComponent;
class TfrxCustomDesigner;
class TfrxCustomExportFilter;

struct TfrxObjectItem {
    TClass ObjectClass = nullptr;  // nil for a category entry
    TBitmap* Bitmap = nullptr;  // not owned
    int ImageIndex = -1;
    std::string Hint;  // usually a key of the text table
    std::string Category;
    uint16_t Flags = 0;
};

class TfrxObjectCollection {
public:
    // Nothing when the same non-nil class is registered with the same flags; the class is
    // also registered by name so that stored reports can create it.
    void RegisterObject(TClass objectClass, TBitmap* bitmap, const std::string& hint = "",
        const std::string& category = "", uint16_t flags = 0, int imageIndex = -1);
    void RegisterCategory(const std::string& category, TBitmap* bitmap, const std::string& hint, int imageIndex = -1);
    int Count() const noexcept { return int(FItems.size()); }
    TfrxObjectItem* GetItem(int index) { return &FItems.at(size_t(index)); }

private:
    std::vector<TfrxObjectItem> FItems;
};

// Builds a component editor for (component, designer, menu); the caller frees it.
using TfrxComponentEditorFactory = std::function<TObject*(TfrxComponent*, TfrxCustomDesigner*, TObject* menu)>;

struct TfrxComponentEditorItem {
    TClass ComponentClass = nullptr;
    TClass EditorClass = nullptr;
    TfrxComponentEditorFactory Create;
};

class TfrxComponentEditorCollection {
public:
    void RegisterEditor(TClass componentClass, TClass editorClass, TfrxComponentEditorFactory create);
    // An entry for exactly the component's class wins (the first); else the last entry for
    // an ancestor; nil when none.
    TObject* GetComponentEditor(TfrxComponent* component, TfrxCustomDesigner* designer, TObject* menu);
    const TfrxComponentEditorItem* FindEditor(TClass componentClass) const;
    int Count() const noexcept { return int(FItems.size()); }
    TfrxComponentEditorItem* GetItem(int index) { return &FItems.at(size_t(index)); }

private:
    std::vector<TfrxComponentEditorItem> FItems;
};

struct TfrxPropertyEditorItem {
    const TTypeInfo* PropertyType = nullptr;
    TClass ComponentClass = nullptr;  // nil: any
    std::string PropertyName;  // '': any
    TClass EditorClass = nullptr;  // nil: the property is hidden
};

class TfrxPropertyEditorCollection {
public:
    void RegisterEditor(
        const TTypeInfo* propertyType, TClass componentClass, const std::string& propertyName, TClass editorClass);
    void RegisterEventEditor(TClass editorClass);
    // Types named "Tfrx...Event" get the event editor (-1 while none is registered); else the
    // last matching entry with a class or a name, or the earliest type-only match; -1 for none.
    int GetEditorIndex(const TTypeInfo* propertyType, const TObject* component, const std::string& propertyName) const;
    int EventEditorIndex = -1;
    int Count() const noexcept { return int(FItems.size()); }
    TfrxPropertyEditorItem* GetItem(int index) { return &FItems.at(size_t(index)); }

private:
    std::vector<TfrxPropertyEditorItem> FItems;
};

class TfrxExportFilterCollection {
public:
    void Register(TfrxCustomExportFilter* filter);  // nothing for nil or one present
    void Unregister(TfrxCustomExportFilter* filter);  // every entry holding it
    int Count() const noexcept { return int(FItems.size()); }
    TfrxCustomExportFilter* GetItem(int index) const { return FItems.at(size_t(index)); }

private:
    std::vector<TfrxCustomExportFilter*> FItems;  // not owned
};

struct TfrxWizardItem {
    TClass WizardClass = nullptr;
    TBitmap* Bitmap = nullptr;  // not owned
    int ImageIndex = -1;  // set when the designer puts the picture into its list
    bool IsToolbarWizard = false;
};

class TfrxWizardCollection {
public:
    void RegisterWizard(TClass wizardClass, TBitmap* bitmap, bool isToolbarWizard);
    void UnregisterWizard(TClass wizardClass);
    int Count() const noexcept { return int(FItems.size()); }
    TfrxWizardItem* GetItem(int index) { return &FItems.at(size_t(index)); }

private:
    std::vector<TfrxWizardItem> FItems;
};

TfrxObjectCollection* frxObjects();
TfrxComponentEditorCollection* frxComponentEditors();
TfrxPropertyEditorCollection* frxPropertyEditors();
TfrxExportFilterCollection* frxExportFilters();
TfrxWizardCollection* frxWizards();
