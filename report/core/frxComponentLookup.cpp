// Components named by a report, found among the application's forms and data modules.

#include "report/core/frxComponentLookup.h"

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Application.h"
#include "platform/gui/Forms.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxServices.h"

namespace {
// Only the report offers the report's services.
bool IsReport(const TComponent* c) { return dynamic_cast<const TfrxReportServices*>(c) != nullptr; }

TComponent* FindGlobal(const std::string& name) {
    TScreen* screen = Screen;
    for (int i = 0; i < screen->FormCount(); ++i)
        if (SameText(screen->Forms(i)->GetName(), name)) return screen->Forms(i);
    for (int i = 0; i < screen->DataModuleCount(); ++i)
        if (SameText(screen->DataModules(i)->GetName(), name)) return screen->DataModules(i);
    return nullptr;
}

bool IsFormOrModule(const TComponent* c) { return Is<TCustomForm>(c) || Is<TDataModule>(c); }
}  // namespace

TComponent* frxFindComponent(TComponent* owner, const std::string& name) {
    try {
        size_t dot = name.find('.');
        if (dot != std::string::npos) {
            TComponent* global = FindGlobal(name.substr(0, dot));
            if (!global) return nullptr;
            std::string rest = name.substr(dot + 1, 255);
            size_t second = rest.find('.');
            if (second == std::string::npos) return global->FindComponent(rest);
            // A component on a frame that the form owns: the frame is looked up by name.
            TComponent* frame = global->FindComponent(rest.substr(0, second));
            return frame ? frame->FindComponent(rest.substr(second + 1)) : nullptr;
        }
        if (!owner) return nullptr;
        TComponent* found = owner->FindComponent(name);
        if (!found && IsReport(owner) && owner->GetOwner()) found = owner->GetOwner()->FindComponent(name);
        return found;
    } catch (const std::exception&) {
        throw EClassNotFound("Missing " + name);
    }
}

std::string frxGetComponentName(TComponent* report, TComponent* component) {
    if (!component) return {};
    TComponent* owner = component->GetOwner();
    if (!owner || owner == report || (IsReport(report) && owner == report->GetOwner())) return component->GetName();
    if (IsFormOrModule(owner)) return owner->GetName() + "." + component->GetName();
    return {};
}

void frxGetComponentList(TComponent* report, TClass classRef, TStrings* list, TComponent* skip) {
    list->Clear();
    auto addFrom = [&](TComponent* owner) {
        for (int i = 0; i < owner->GetComponentCount(); ++i) {
            TComponent* c = owner->GetComponent(i);
            if (c != skip && c->InheritsFrom(classRef)) list->AddObject(frxGetComponentName(report, c), c);
        }
    };
    if (IsReport(report)) addFrom(report);
    TScreen* screen = Screen;
    for (int i = 0; i < screen->FormCount(); ++i) addFrom(screen->Forms(i));
    for (int i = 0; i < screen->DataModuleCount(); ++i) addFrom(screen->DataModules(i));
    for (int i = 0; i < screen->FormCount(); ++i) {
        TComponent* form = screen->Forms(i);
        if (form->ClassName() != "TDataModuleForm") continue;
        for (int j = 0; j < form->GetComponentCount(); ++j)
            if (Is<TDataModule>(form->GetComponent(j))) addFrom(form->GetComponent(j));
    }
}
