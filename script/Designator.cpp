#include "script/Designator.h"

#include <new>

#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "script/Builder.h"

namespace {
// Room for a call's saved locals and arguments without a heap allocation in the common case;
// only the Variants in use are constructed, since this runs for every call of every procedure.
class SmallVariants {
public:
    explicit SmallVariants(size_t n) : FCount(n) {
        if (n > kInline) {
            FLarge = std::make_unique<Variant[]>(n);
            FData = FLarge.get();
        } else {
            FData = reinterpret_cast<Variant*>(FStorage);
            for (size_t i = 0; i < n; ++i) new (&FData[i]) Variant();
        }
    }
    ~SmallVariants() {
        if (!FLarge)
            for (size_t i = 0; i < FCount; ++i) FData[i].~Variant();
    }
    SmallVariants(const SmallVariants&) = delete;
    SmallVariants& operator=(const SmallVariants&) = delete;
    Variant* Data() noexcept { return FData; }

private:
    static constexpr size_t kInline = 8;
    size_t FCount;
    Variant* FData;
    std::unique_ptr<Variant[]> FLarge;
    alignas(Variant) unsigned char FStorage[kInline * sizeof(Variant)];
};
}  // namespace

TfsDesignator::TfsDesignator(TfsScript* ownerScript) : TfsCustomVariable("", tcVariant, ""), OwnerScript(ownerScript) {
    FKind = kDesignator;
}

TfsDesignator::~TfsDesignator() = default;

TfsDesignatorItem* TfsDesignator::AddStep(TfsCustomVariable* target, const std::string& sourcePos) {
    auto step = std::make_unique<TfsDesignatorItem>();
    step->Target = target;
    step->SourcePos = sourcePos;
    Steps.push_back(std::move(step));
    return Steps.back().get();
}

void TfsDesignator::Classify() {
    Shape = shGeneral;
    Linked = nullptr;
    IndexSource = nullptr;
    IndexHelper = nullptr;
    IndexStep = nullptr;
    if (Steps.empty()) return;
    TfsCustomVariable* last = Steps.back()->Target;
    TypeCode = last->TypeCode;
    TypeName = last->TypeName;
    ReadOnly = last->ReadOnly;
    if (TypeCode == tcConstructor) {
        TypeCode = tcClass;
        TypeName = Steps.size() >= 2 ? Steps[Steps.size() - 2]->Target->TypeName : std::string();
    }
    TfsCustomVariable* first = Steps.front()->Target;
    if (Steps.size() == 1 && first->IsVariable()) {
        Shape = shVariable;
        Linked = first;
    } else if (Steps.size() == 2 && dynamic_cast<TfsStringVariable*>(first) && !Steps[1]->Args.empty() &&
        Steps[1]->Target->Name == "__StringHelper") {
        Shape = shString;
        Linked = first;
        IndexSource = Steps[1]->Args.front().get();
    } else if (Steps.size() == 2 && first->IsVariable() && first->TypeCode == tcArray && first->Linked &&
        Steps[1]->Target == first->Linked) {
        Shape = shArray;
        Linked = first;
        IndexHelper = first->Linked;
        IndexStep = Steps[1].get();
    }
}

TfsCustomVariable* TfsDesignator::DirectItem() const noexcept {
    if (Shape == shVariable) return Linked;
    if (Shape == shGeneral && !PendingIL && Steps.size() == 1 && Steps[0]->Args.empty() &&
        Steps[0]->Target->ItemKind() == kParam)
        return Steps[0]->Target;
    return nullptr;
}

void TfsDesignator::TakeOver(TfsDesignator& other) {
    Steps.swap(other.Steps);
    Shape = other.Shape;
    IndexSource = other.IndexSource;
    IndexHelper = other.IndexHelper;
    IndexStep = other.IndexStep;
    TypeCode = other.TypeCode;
    TypeName = other.TypeName;
    ReadOnly = other.ReadOnly;
    Linked = other.Linked;
}

void TfsDesignator::BuildLazy() {
    if (!PendingIL) return;
    // The base must hold an object by now; when it does not, the build raises and PendingIL
    // stays for the next attempt, so the designator never silently means the bare variable.
    std::unique_ptr<TfsDesignator> built = TfsProgramBuilder::BuildStoredDesignator(
        OwnerScript, *PendingIL, PendingSource);
    TakeOver(*built);
    PendingIL.reset();
    PendingSource.clear();
}

Variant TfsDesignator::GetValue() {
    if (PendingIL) BuildLazy();
    if (Steps.size() == 1) {
        // A call of a script procedure by name alone needs nothing of the walk.
        TfsDesignatorItem* step = Steps.front().get();
        if (step->Target->ItemKind() == kProc)
            return CallProcedure(step, static_cast<TfsProcVariable*>(step->Target), ResultUsed, nullptr);
    }
    return Walk(false, Variant());
}

void TfsDesignator::SetValue(const Variant& value) {
    if (PendingIL) BuildLazy();
    Walk(true, value);
}

Variant TfsDesignator::Walk(bool assign, const Variant& value) {
    Variant current = Variant::Null();
    TfsCustomVariable* prev = nullptr;
    const size_t n = Steps.size();
    for (size_t i = 0; i < n; ++i) {
        TfsDesignatorItem* step = Steps[i].get();
        TfsCustomVariable* item = step->Target;
        const bool last = i + 1 == n;
        const Kind kind = item->ItemKind();
        if (kind == kDesignator) {
            if (assign && last) item->SetValue(value);
            else current = item->GetValue();
            prev = item;
            continue;
        }
        if (kind == kProc) {
            auto* proc = static_cast<TfsProcVariable*>(item);
            if (assign && last) CallProcedure(step, proc, false, &value);
            else current = CallProcedure(step, proc, last ? ResultUsed : true, nullptr);
            prev = item;
            continue;
        }

        const int np = std::min(item->ParamCount(), int(step->Args.size()));
        if (np > 0) {
            // All arguments are evaluated before any parameter is set: an argument may read
            // the parameter it is passed to.
            SmallVariants argBuffer{static_cast<size_t>(np)};
            Variant* args = argBuffer.Data();
            for (int k = 0; k < np; ++k) {
                TfsExpression* e = step->Args[size_t(k)].get();
                args[k] = item->TextArgs ? Variant(e->SourceText) : e->GetValue();
            }
            // Parameters store what they are given (their SetValue is the plain one).
            for (int k = 0; k < np; ++k) item->ParamAt(k)->Value = std::move(args[k]);
        }
        if (kind == kHelper) {
            auto* h = static_cast<TfsCustomHelper*>(item);
            h->PrevItem = prev;
            h->PrevValue = current;
            h->OwnerScript = OwnerScript;
        }
        prev = item;
        if (assign && last) {
            item->SetValue(value);
        } else {
            item->ResultUsed = last ? ResultUsed : true;
            current = item->GetValue();
        }
        for (int k = 0; k < np; ++k) {
            TfsParamItem* p = item->ParamAt(k);
            if (p->ByRef) step->Args[size_t(k)]->SetValue(p->Value);
        }
    }
    return current;
}

Variant TfsDesignator::CallProcedure(
    TfsDesignatorItem* step, TfsProcVariable* proc, bool resultUsed, const Variant* assigned) {
    const int np = std::min(proc->ParamCount(), int(step->Args.size()));
    // A re-entered procedure shares its locals with the running activation: they are saved
    // before the arguments are evaluated and put back after the call.
    const bool recursive = proc->Running;
    const std::vector<TfsCustomVariable*>* locals = recursive ? &proc->Locals() : nullptr;
    const size_t ns = recursive ? locals->size() : 0;
    SmallVariants buffer(ns + size_t(np));
    Variant* saved = buffer.Data();
    Variant* args = saved + ns;
    for (size_t k = 0; k < ns; ++k) saved[k] = (*locals)[k]->Value;
    // Also when the call raises: a caller that catches the error goes on with its own locals.
    // (The class library put them back only after a normal return.)
    auto restore = OnScopeExit([&] {
        for (size_t k = 0; k < ns; ++k) (*locals)[k]->Value = std::move(saved[k]);
    });
    // All arguments are evaluated before any parameter is set: an argument may read the
    // parameter it is passed to (F(n - 1) inside F).
    const bool textArgs = proc->TextArgs;
    for (int k = 0; k < np; ++k) {
        TfsExpression* e = step->Args[size_t(k)].get();
        args[k] = textArgs ? Variant(e->SourceText) : e->Evaluate();
    }
    bool byRef = false;
    for (int k = 0; k < np; ++k) {
        TfsParamItem* p = proc->Param(k);
        p->Value = std::move(args[k]);
        byRef |= p->ByRef;
    }
    Variant result;
    if (assigned) {
        proc->SetValue(*assigned);
    } else {
        proc->ResultUsed = resultUsed;
        result = proc->GetValue();
    }
    if (byRef)
        for (int k = 0; k < np; ++k) {
            TfsParamItem* p = proc->Param(k);
            if (p->ByRef) step->Args[size_t(k)]->SetValue(p->Value);
        }
    return result;
}

// --- fast shapes -------------------------------------------------------------------------------

Variant TfsStringDesignator::GetValue() {
    const int64_t index = IndexSource->GetValue().AsInt64();
    const Variant& v = Linked->Value;
    const std::string& s = v.IsString() ? v.RawString() : std::string();
    if (index < 1 || index > Utf8Length(s)) throw ERangeError("Range check error");
    return Variant(Utf8FromCodePoint(Utf8CharAt(s, index)));
}

void TfsStringDesignator::SetValue(const Variant& value) {
    const int64_t index = IndexSource->GetValue().AsInt64();
    std::string s = VarToStr(Linked->Value);
    if (index < 1 || index > Utf8Length(s)) throw ERangeError("Range check error");
    const std::string c = VarToStr(value);
    if (c.empty()) return;
    size_t pos = 0;
    const std::string first = Utf8FromCodePoint(Utf8Next(c, pos));
    const size_t a = Utf8ByteOffset(s, index), b = Utf8ByteOffset(s, index + 1);
    s.replace(a, b - a, first);
    Linked->Value = Variant(std::move(s));
}

Variant TfsArrayDesignator::GetValue() {
    auto* h = static_cast<TfsCustomHelper*>(IndexHelper);
    h->PrevItem = Linked;
    const int np = std::min(h->ParamCount(), int(IndexStep->Args.size()));
    for (int k = 0; k < np; ++k) h->ParamAt(k)->Value = IndexStep->Args[size_t(k)]->GetValue();
    return h->GetValue();
}

void TfsArrayDesignator::SetValue(const Variant& value) {
    auto* h = static_cast<TfsCustomHelper*>(IndexHelper);
    h->PrevItem = Linked;
    const int np = std::min(h->ParamCount(), int(IndexStep->Args.size()));
    for (int k = 0; k < np; ++k) h->ParamAt(k)->Value = IndexStep->Args[size_t(k)]->GetValue();
    h->SetValue(value);
}

std::unique_ptr<TfsDesignator> fsSpecializeDesignator(std::unique_ptr<TfsDesignator> d) {
    std::unique_ptr<TfsDesignator> r;
    switch (d->Shape) {
    case TfsDesignator::shVariable: r = std::make_unique<TfsVariableDesignator>(d->OwnerScript); break;
    case TfsDesignator::shString: r = std::make_unique<TfsStringDesignator>(d->OwnerScript); break;
    case TfsDesignator::shArray: r = std::make_unique<TfsArrayDesignator>(d->OwnerScript); break;
    default: return d;
    }
    r->TakeOver(*d);
    r->ResultUsed = d->ResultUsed;
    r->SourcePos = d->SourcePos;
    return r;
}
