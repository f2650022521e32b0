#pragma once
// The process-wide registry of classes by name, for building objects from stored names.
// Names are compared ignoring ASCII case.

#include <initializer_list>
#include <string>

#include "platform/classes/Object.h"

// Registers the class and its ancestors up to TPersistent. Registering a different class under
// a name already taken raises EFilerError "A class named %s already exists".
void RegisterClass(TClass c);
void RegisterClasses(std::initializer_list<TClass> classes);
void UnRegisterClass(TClass c);
// nullptr when unknown.
TClass GetClass(const std::string& name);
// EClassNotFound "Class %s not found" when unknown.
TClass FindClass(const std::string& name);
