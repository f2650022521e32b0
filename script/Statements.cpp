#include "script/Statements.h"

#include "platform/rtl/Exceptions.h"

namespace {
// A condition's truth by the Variant rules, without a call for the usual Boolean.
inline bool IsTrue(const Variant& v) { return v.VarType() == varBoolean ? v.RawInt() != 0 : v.AsBoolean(); }
}  // namespace

TfsStatement::TfsStatement(TfsScript* program, std::string unitName, std::string sourcePos)
    : OwnerScript(program), UnitName(std::move(unitName)), SourcePos(std::move(sourcePos)) {}

TfsStatement::~TfsStatement() = default;

TfsStatement* TfsStatement::Add(std::unique_ptr<TfsStatement> s) {
    FItems.push_back(std::move(s));
    return FItems.back().get();
}

void TfsStatement::Truncate(int count) {
    if (count >= 0 && size_t(count) < FItems.size()) FItems.resize(size_t(count));
}

void TfsStatement::RunList() {
    TfsScript* s = OwnerScript;
    for (const auto& item : FItems) {
        if (s->Terminated) return;
        item->Execute();
        if (s->BreakFlag || s->ContinueFlag || s->ExitFlag) return;
    }
}

void TfsStatement::Execute() { RunList(); }

// --- assignments -------------------------------------------------------------------------------

void TfsAssignmentStmt::Prepare() {
    TargetItem = Target->DirectItem();
    if (!TargetItem) TargetItem = Target.get();
    SourceItem = Source->SingleItem();
    if (!SourceItem) SourceItem = Source.get();
    const TfsCustomVariable::Kind k = SourceItem->ItemKind();
    if (k == TfsCustomVariable::kVariable || k == TfsCustomVariable::kParam) SourceDirect = &SourceItem->Value;
    else if (auto* node = dynamic_cast<TfsExpressionNode*>(SourceItem)) SourceDirect = node->Direct;
}

void TfsAssignmentStmt::Execute() {
    Announce();
    if (OwnerScript->Terminated) return;
    if (SourceDirect) TargetItem->SetValue(*SourceDirect);
    else TargetItem->SetValue(SourceItem->GetValue());
}

void TfsAssignOpStmt::Execute() {
    Announce();
    if (OwnerScript->Terminated) return;
    if (Op == '+' && TargetItem->IsVariable()) {
        // Appending to a variable in place keeps building a long text linear.
        Variant computed;
        const Variant* source = SourceDirect;
        if (!source) {
            computed = SourceItem->GetValue();
            source = &computed;
        }
        Variant& v = TargetItem->Value;
        if (source == &v) {  // s += s: the appended text must not change while it is appended
            computed = v;
            source = &computed;
        }
        const Variant& add = *source;
        if (v.VarType() == varString) {
            VarAppend(v, add);
            return;
        }
        const TVarType vt = v.VarType(), at = add.VarType();
        if (TargetItem->TypeCode == tcInteger && (vt == varInteger || vt == varInt64) &&
            (at == varInteger || at == varInt64)) {
            // Two Integers add as Integers, as the expression fast path does.
            // Sound: Int64 operands are added with a check, not into undefined behaviour.
            int64_t r;
            if (__builtin_add_overflow(v.RawInt(), add.RawInt(), &r) || r < INT32_MIN || r > INT32_MAX)
                throw EIntOverflow(SIntegerOverflow);
            v = Variant(int(r));
            return;
        }
        TargetItem->SetValue(v + add);
        return;
    }
    Variant cur = TargetItem->GetValue();
    Variant src = SourceItem->GetValue();
    switch (Op) {
    case '+': TargetItem->SetValue(cur + src); break;
    case '-': TargetItem->SetValue(cur - src); break;
    case '*': TargetItem->SetValue(cur * src); break;
    default: TargetItem->SetValue(cur / src); break;
    }
}

void TfsCallStmt::Execute() {
    Announce();
    if (OwnerScript->Terminated) return;
    if (IncDec.empty()) {
        Target->ResultUsed = false;
        (void)Target->GetValue();
    } else {
        Variant v = Target->GetValue();
        Target->SetValue(IncDec == "+" ? v + Variant(1) : v - Variant(1));
    }
}

// --- control -----------------------------------------------------------------------------------

TfsIfStmt::TfsIfStmt(TfsScript* program, std::string unitName, std::string sourcePos)
    : TfsStatement(program, unitName, sourcePos),
      ElseBranch(std::make_unique<TfsStatement>(program, unitName, sourcePos)) {}

void TfsIfStmt::Execute() {
    Announce();
    if (OwnerScript->Terminated) return;
    if (IsTrue(Test->Evaluate())) RunList();
    else ElseBranch->Execute();
}

TfsCaseStmt::TfsCaseStmt(TfsScript* program, std::string unitName, std::string sourcePos)
    : TfsStatement(program, unitName, sourcePos),
      ElseBranch(std::make_unique<TfsStatement>(program, unitName, sourcePos)) {}

void TfsCaseStmt::Execute() {
    const Variant value = Selector->GetValue();
    Announce();
    if (OwnerScript->Terminated) return;
    for (const auto& item : FItems) {
        auto* sel = static_cast<TfsCaseSelector*>(item.get());
        if (sel->Labels->InSet(value)) {
            sel->Execute();
            return;
        }
    }
    ElseBranch->Execute();
}

void TfsRepeatStmt::Execute() {
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    for (;;) {
        RunList();
        if (s->BreakFlag || s->ExitFlag) break;
        s->ContinueFlag = false;
        if (s->Terminated) break;
        const bool cond = IsTrue(Test->Evaluate());
        if (UntilFalse ? !cond : cond) break;
    }
    s->BreakFlag = false;
}

void TfsWhileStmt::Execute() {
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    while (!s->Terminated && IsTrue(Test->Evaluate())) {
        RunList();
        if (s->BreakFlag || s->ExitFlag) break;
        s->ContinueFlag = false;
    }
    s->BreakFlag = false;
}

void TfsForStmt::Execute() {
    const int64_t start = StartExpr->GetValue().AsInt64();
    const int64_t stop = StopExpr->GetValue().AsInt64();
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    // The passes are fixed here; the body cannot change them through the counter or bounds.
    if (DownTo ? start >= stop : stop >= start) {
        const int64_t step = DownTo ? -1 : 1;
        for (int64_t i = start;; i += step) {
            if (s->Terminated) break;
            Counter->Value = (i >= INT32_MIN && i <= INT32_MAX) ? Variant(int(i)) : Variant(i);
            RunList();
            if (s->BreakFlag || s->ExitFlag) break;
            s->ContinueFlag = false;
            if (i == stop) break;
        }
    }
    s->BreakFlag = false;
}

void TfsVbForStmt::Execute() {
    const Variant start = StartExpr->GetValue();
    const Variant stop = StopExpr->GetValue();
    const Variant step = StepExpr ? StepExpr->GetValue() : Variant(1);
    const bool negative = step < Variant(0);
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    Variant current = start;
    while (!s->Terminated && (negative ? current >= stop : current <= stop)) {
        Counter->Value = current;
        RunList();
        if (s->BreakFlag || s->ExitFlag) break;
        s->ContinueFlag = false;
        current = current + step;
    }
    s->BreakFlag = false;
}

TfsCppForStmt::TfsCppForStmt(TfsScript* program, std::string unitName, std::string sourcePos)
    : TfsStatement(program, unitName, sourcePos),
      InitList(std::make_unique<TfsStatement>(program, unitName, sourcePos)),
      NextList(std::make_unique<TfsStatement>(program, unitName, sourcePos)) {}

void TfsCppForStmt::Execute() {
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    InitList->Execute();
    if (s->Terminated) return;
    while (!s->Terminated && IsTrue(Test->Evaluate())) {
        RunList();
        if (s->BreakFlag || s->ExitFlag) break;
        s->ContinueFlag = false;
        NextList->Execute();
    }
    s->BreakFlag = false;
}

TfsTryStmt::TfsTryStmt(TfsScript* program, std::string unitName, std::string sourcePos)
    : TfsStatement(program, unitName, sourcePos),
      HandlerList(std::make_unique<TfsStatement>(program, unitName, sourcePos)) {}

void TfsTryStmt::Execute() {
    Announce();
    TfsScript* s = OwnerScript;
    if (s->Terminated) return;
    if (IsExceptBlock) {
        // Script errors are the platform's exceptions; internal faults are not caught.
        bool failed = false;
        try {
            RunList();
        } catch (const Exception&) {
            failed = true;
        }
        if (failed) HandlerList->Execute();
        return;
    }
    // The finally part runs whole whatever is pending: exit, break and continue are saved,
    // cleared while it runs and restored afterwards.
    auto runFinally = [&] {
        const bool exitFlag = s->ExitFlag, breakFlag = s->BreakFlag, continueFlag = s->ContinueFlag;
        s->ExitFlag = s->BreakFlag = s->ContinueFlag = false;
        HandlerList->Execute();
        s->ExitFlag = exitFlag;
        s->BreakFlag = breakFlag;
        s->ContinueFlag = continueFlag;
    };
    // Not a scope guard: the finally part is script code and may raise itself, which a guard
    // running during unwinding must never do. Its error then replaces the pending one.
    try {
        RunList();
    } catch (...) {
        runFinally();
        throw;
    }
    runFinally();
}

void TfsWithStmt::Execute() {
    RunList();
    WithVar->SetValue(Target->GetValue());
}
