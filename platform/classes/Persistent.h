#pragma once
// TPersistent: an object that can copy itself from another (Assign) and store extra,
// unpublished data through DefineProperties.

#include "platform/classes/Object.h"

class TFiler;

class TPersistent : public TObject {
    KAROMIL_CLASS(TPersistent, TObject)
public:
    TPersistent() = default;
    // Copies Source into this object; the default asks Source->AssignTo(this) and raises
    // EConvertError "Cannot assign a <source class> to a <this class>" when nobody can.
    virtual void Assign(TPersistent* source);
    // The owner in the persistence sense (a collection item's collection, ...); nullptr here.
    virtual TPersistent* GetOwner() const { return nullptr; }
    // "Owner.Name" path used in messages; the class name when there is no better one.
    virtual std::string GetNamePath() const;

protected:
    virtual void AssignTo(TPersistent* dest);
    // Hook for extra stored data beyond the published properties (see Filer.h).
    virtual void DefineProperties(TFiler* filer) { (void)filer; }
    friend class TFiler;
    friend class TReader;
    friend class TWriter;
};
