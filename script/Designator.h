#pragma once
// Designators: access paths such as a, a[i], obj.Prop, obj.Items[2].Name, F(x, y) or
// TStringList.Create. Names are resolved when the program is built; at run time the
// designator walks its steps, hands each accessor the value of the step before, passes
// arguments (var parameters by copy-in and copy-out) and reads or assigns the last step.

#include <memory>
#include <string>
#include <vector>

#include "script/Expression.h"
#include "script/XmlTree.h"

class TfsDesignatorItem {
public:
    TfsCustomVariable* Target = nullptr;
    std::string SourcePos;
    std::vector<std::unique_ptr<TfsExpression>> Args;
};

class TfsDesignator : public TfsCustomVariable {
public:
    explicit TfsDesignator(TfsScript* ownerScript);
    ~TfsDesignator() override;

    enum TShape : uint8_t { shGeneral, shVariable, shString, shArray };

    std::vector<std::unique_ptr<TfsDesignatorItem>> Steps;
    TShape Shape = shGeneral;
    TfsScript* OwnerScript;
    TfsExpression* IndexSource = nullptr;  // shString: the index expression
    TfsCustomVariable* IndexHelper = nullptr;  // shArray: the array's indexer
    TfsDesignatorItem* IndexStep = nullptr;  // shArray: the step with the indexes
    // A designator that can only be resolved when it runs: its intermediate program element
    // and the source text it was cut from (macro arguments need their source texts).
    std::unique_ptr<TfsXMLItem> PendingIL;
    std::string PendingSource;

    TfsDesignatorItem* AddStep(TfsCustomVariable* target, const std::string& sourcePos);
    void Classify();
    void TakeOver(TfsDesignator& other);
    // The item that reads and writes may go to directly, with the same effect as the walk:
    // the variable of the plain-variable shape, or a parameter named alone. nullptr otherwise.
    TfsCustomVariable* DirectItem() const noexcept;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;

protected:
    void BuildLazy();
    Variant Walk(bool assign, const Variant& value);
    // One step naming a script procedure: saves a running activation's locals, passes the
    // arguments, runs it (or, with `assigned`, assigns to it), writes var parameters back.
    Variant CallProcedure(TfsDesignatorItem* step, TfsProcVariable* proc, bool resultUsed, const Variant* assigned);
};

class TfsVariableDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override { return Linked->GetValue(); }
    void SetValue(const Variant& value) override { Linked->SetValue(value); }
};

class TfsStringDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

class TfsArrayDesignator : public TfsDesignator {
public:
    using TfsDesignator::TfsDesignator;
    Variant GetValue() override;
    void SetValue(const Variant& value) override;
};

// Replaces a general designator by the subclass its shape calls for.
std::unique_ptr<TfsDesignator> fsSpecializeDesignator(std::unique_ptr<TfsDesignator> d);
