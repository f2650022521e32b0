#include "report/core/frxRegistries.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Shutdown.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxClass.h"

namespace {
// One instance per registry, made on first use and freed by the shut-down hook.
template <class T>
T* Registry() {
    static std::unique_ptr<T> instance;
    if (!instance) {
        instance = std::make_unique<T>();
        AddShutdownHook([] { instance.reset(); });
    }
    return instance.get();
}
}  // namespace

TfrxObjectCollection* frxObjects() { return Registry<TfrxObjectCollection>(); }
TfrxComponentEditorCollection* frxComponentEditors() { return Registry<TfrxComponentEditorCollection>(); }
TfrxPropertyEditorCollection* frxPropertyEditors() { return Registry<TfrxPropertyEditorCollection>(); }
TfrxExportFilterCollection* frxExportFilters() { return Registry<TfrxExportFilterCollection>(); }
TfrxWizardCollection* frxWizards() { return Registry<TfrxWizardCollection>(); }

// --- objects ---------------------------------------------------------------------------------

void TfrxObjectCollection::RegisterObject(TClass objectClass, TBitmap* bitmap, const std::string& hint,
    const std::string& category, uint16_t flags, int imageIndex) {
    if (objectClass)
        for (const TfrxObjectItem& item : FItems)
            if (item.ObjectClass == objectClass && item.Flags == flags) return;
    if (objectClass) RegisterClass(objectClass);
    FItems.push_back({objectClass, bitmap, imageIndex, hint, category, flags});
}

void TfrxObjectCollection::RegisterCategory(
    const std::string& category, TBitmap* bitmap, const std::string& hint, int imageIndex) {
    FItems.push_back({nullptr, bitmap, imageIndex, hint, category, 0});
}

// --- component editors -----------------------------------------------------------------------

void TfrxComponentEditorCollection::RegisterEditor(
    TClass componentClass, TClass editorClass, TfrxComponentEditorFactory create) {
    FItems.push_back({componentClass, editorClass, std::move(create)});
}

const TfrxComponentEditorItem* TfrxComponentEditorCollection::FindEditor(TClass componentClass) const {
    const TfrxComponentEditorItem* ancestor = nullptr;
    for (const TfrxComponentEditorItem& item : FItems) {
        if (item.ComponentClass == componentClass) return &item;
        if (item.ComponentClass && componentClass->InheritsFrom(item.ComponentClass)) ancestor = &item;
    }
    return ancestor;
}

TObject* TfrxComponentEditorCollection::GetComponentEditor(
    TfrxComponent* component, TfrxCustomDesigner* designer, TObject* menu) {
    const TfrxComponentEditorItem* item = FindEditor(component->ClassType());
    return item && item->Create ? item->Create(component, designer, menu) : nullptr;
}

// --- property editors ------------------------------------------------------------------------

void TfrxPropertyEditorCollection::RegisterEditor(
    const TTypeInfo* propertyType, TClass componentClass, const std::string& propertyName, TClass editorClass) {
    FItems.push_back({propertyType, componentClass, propertyName, editorClass});
}

void TfrxPropertyEditorCollection::RegisterEventEditor(TClass editorClass) {
    FItems.push_back({nullptr, nullptr, "", editorClass});
    EventEditorIndex = int(FItems.size()) - 1;
}

int TfrxPropertyEditorCollection::GetEditorIndex(
    const TTypeInfo* propertyType, const TObject* component, const std::string& propertyName) const {
    if (propertyType) {
        const std::string name = LowerCase(propertyType->Name());
        const size_t ev = name.find("event");
        if (name.rfind("tfrx", 0) == 0 && ev != std::string::npos && ev + 5 == name.size()) return EventEditorIndex;
    }
    int result = -1;
    for (int i = int(FItems.size()) - 1; i >= 0; --i) {
        const TfrxPropertyEditorItem& item = FItems[size_t(i)];
        if (!item.ComponentClass) {
            if (item.PropertyType != propertyType || !item.PropertyType) continue;
            if (item.PropertyName.empty()) result = i;  // type only: the earliest wins
            else if (SameText(item.PropertyName, propertyName)) return i;
        } else if (component && component->InheritsFrom(item.ComponentClass) &&
            SameText(item.PropertyName, propertyName)) {
            return i;
        }
    }
    return result;
}

// --- export filters and wizards --------------------------------------------------------------

void TfrxExportFilterCollection::Register(TfrxCustomExportFilter* filter) {
    if (!filter) return;
    for (auto* f : FItems)
        if (f == filter) return;
    FItems.push_back(filter);
}

void TfrxExportFilterCollection::Unregister(TfrxCustomExportFilter* filter) { std::erase(FItems, filter); }

void TfrxWizardCollection::RegisterWizard(TClass wizardClass, TBitmap* bitmap, bool isToolbarWizard) {
    for (const TfrxWizardItem& item : FItems)
        if (item.WizardClass == wizardClass) return;
    FItems.push_back({wizardClass, bitmap, -1, isToolbarWizard});
}

void TfrxWizardCollection::UnregisterWizard(TClass wizardClass) {
    std::erase_if(FItems, [&](const TfrxWizardItem& item) { return item.WizardClass == wizardClass; });
}
