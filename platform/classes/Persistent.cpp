#include "platform/classes/Persistent.h"

#include "platform/rtl/Exceptions.h"

KAROMIL_IMPLEMENT_CLASS(TPersistent, TObject)

namespace {
[[noreturn]] void AssignError(const TPersistent* source, const TPersistent* dest) {
    const std::string sourceName = source ? source->ClassName() : std::string("nil");
    throw EConvertError("Cannot assign a " + sourceName + " to a " + dest->ClassName());
}
}  // namespace

void TPersistent::Assign(TPersistent* source) {
    if (!source) AssignError(nullptr, this);
    source->AssignTo(this);
}

void TPersistent::AssignTo(TPersistent* dest) { AssignError(this, dest); }

std::string TPersistent::GetNamePath() const {
    std::string result = ClassName();
    if (TPersistent* owner = GetOwner()) {
        std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty()) result = ownerPath + "." + result;
    }
    return result;
}
