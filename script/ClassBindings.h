#pragma once
// Script bindings of the class library's basic classes: objects, persistent objects,
// collections, lists, string lists, streams, components and the script engine's own XML
// tree. The binding object registers them once into the global unit, stamped with itself,
// and its destructor removes exactly those registrations again.
//
// Registered classes, their members and the constants scripts see:
//   fmCreate, fmOpenRead, fmOpenWrite, fmOpenReadWrite, fmShareExclusive, fmShareDenyWrite,
//   fmShareDenyNone, soFromBeginning, soFromCurrent, soFromEnd; TDuplicates; TPrinterOrientation
//   TObject          Create, Free, ClassName
//   TPersistent      Assign
//   TCollectionItem, TCollection (Clear, Count, default Items)
//   TList            Add, Clear, Delete, IndexOf, Insert, Remove, Count, default Items
//   TStrings         Add, AddObject, Clear, Delete, IndexOf, IndexOfName, IndexOfObject, Insert,
//                    InsertObject, LoadFromFile, LoadFromStream, SaveToFile, SaveToStream,
//                    CommaText, Count, Names[], Objects[], Values[], default Strings[], Text
//   TStringList      Find (var Index), Sort, Duplicates, Sorted
//   TStream          Read (var Buffer), Write, Seek, CopyFrom, Position, Size
//   TFileStream      Create(FileName, Mode); TMemoryStream Clear, Load.../Save...
//   TComponent       Create(AOwner), Owner
//   TfsXMLItem       Create, AddItem, Clear, InsertItem, Add, Find, FindItem, Prop, Root, Data,
//                    Count, default Items, Name, Parent, Text
//   TfsXMLDocument   Create, SaveToStream, LoadFromStream, SaveToFile, LoadFromFile, Root
//
// Streams are byte-oriented: Read and Write move bytes, and the strings they give and take
// hold those bytes as they are (Length of a non-ASCII text counts characters, not bytes).
//
// A script may free only what it created itself, or a component that has no owner; anything
// else belongs to the host, and Free raises instead of leaving the host a dangling pointer.

#include <memory>
#include <string>

#include "script/Interpreter.h"
#include "script/ScriptTools.h"

class TfsXMLBindingState;

class TfsClassesRTTI {
public:
    // Registers into fsGlobalUnit(), which must exist.
    TfsClassesRTTI();
    ~TfsClassesRTTI();
    TfsClassesRTTI(const TfsClassesRTTI&) = delete;
    TfsClassesRTTI& operator=(const TfsClassesRTTI&) = delete;

private:
    Variant Construct(TClass classType, TfsParams& params);
    void FreeObject(TObject* instance);

    std::unique_ptr<TfsXMLBindingState> FXml;  // the script-visible wrappers of XML items
};

// Creates the binding object after the engine's start-up; frees it before its shut-down.
void fsStartClassesRTTI();
void fsStopClassesRTTI();

// Objects created by scripts, which Free from a script may destroy. Bindings that construct
// host objects for scripts mark them here.
void fsMarkScriptCreated(const TObject* obj);
bool fsIsScriptCreated(const TObject* obj);
// Whether a script may free `obj`: it created it, or it is a component without owner.
bool fsScriptMayFree(const TObject* obj);
// An object argument of a binding callback: nullptr for nil (0) where `nilAllowed`, else the
// live object of class T; raises the engine's nil-object or wrong-class error naming `member`.
template <class T>
T* fsObjectArg(const Variant& v, const std::string& member, bool nilAllowed) {
    TObject* obj = fsVariantToObject(v);
    if (!obj) {
        const bool isNil = v.IsNull() || v.IsEmpty() || (v.IsOrdinal() && v.RawInt() == 0);
        if (isNil && nilAllowed) return nullptr;
        throw Exception(SNilObject + ("'" + member + "'"));
    }
    T* typed = dynamic_cast<T*>(obj);
    if (!typed) throw Exception(fsFormatMessage(SWrongObjectClass, T::StaticClass()->ClassName()) + "'" + member + "'");
    return typed;
}

// Frees `obj` for a script: first the script procedures bound to its events, then the
// object. Raises Exception when the object belongs to the host (see fsScriptMayFree).
void fsScriptFree(TObject* obj);
