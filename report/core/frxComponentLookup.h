#pragma once
// Components a report refers to by name: data sets and other components that live on the
// application's forms and data modules, outside the report. A stored report names them
// bare (the report's own, or its owner's) or qualified ("Form.Component",
// "Form.Frame.Component"); these routines turn names into components and back.
//
// They read the process-wide Screen, so they run on the window thread only.

#include <string>

#include "platform/classes/Object.h"

class TComponent;
class TStrings;

// --- by name ---------------------------------------------------------------------------------
// "Form.Component" (or "Form.Frame.Component") among the application's forms and data modules,
// else a bare name among owner's components and then, for a report, its owner's. nullptr when
// not found; any failure of the search raises EClassNotFound "Missing <name>".
TComponent* frxFindComponent(TComponent* owner, const std::string& name);
// The name a report stores for a component: bare, or "Owner.Name" for one on a form or data
// module; '' for nil or a component the report cannot refer to.
std::string frxGetComponentName(TComponent* report, TComponent* component);

// --- by class --------------------------------------------------------------------------------
// (qualified name, component) for every component of the class (or a descendant) except skip:
// the report's own, then every form's in screen order, every data module's, and those of the
// data modules owned by a form of class "TDataModuleForm".
void frxGetComponentList(TComponent* report, TClass classRef, TStrings* list, TComponent* skip = nullptr);
