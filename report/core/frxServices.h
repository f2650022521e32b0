#pragma once
// TfrxReportServices: what the objects of a report's tree (pages, bands, views, datasets,
// dialog controls) and its helpers (styles, aggregates, the stored form) ask of the report
// they belong to. TfrxReport implements it; an object reaches it through
// TfrxComponent::GetReportServices(). The object files include this header instead of
// frxReport.h, so that the report, which includes them all, stays above them.
//
// Threading: the GUI thread, as the whole report model.

#include <string>

#include "platform/rtl/Variant.h"

class TObject;
class TStringList;
class TfrxCustomEngine;
class TfrxDataSet;
class TfrxStyles;
class TfrxVariables;
class TfrxXMLSerializer;
class TfsScript;

class TfrxReportServices {
public:
    // --- expressions and names
    // The value of an expression text in `script` (the report's own when nil). A compile error
    // is added to the error list (after the current object's name) and raised.
    virtual Variant Calc(const std::string& expr, TfsScript* script = nullptr) = 0;
    // Answers a name (a dataset field, a system name, a variable); false with Null when nothing
    // answers.
    virtual bool LookupValue(const std::string& name, Variant& value) = 0;
    // Sets the script variable "Value" (the value of the text object being computed).
    virtual void SetValueVariable(const Variant& value) = 0;
    virtual TfrxVariables* Variables() const noexcept = 0;
    // Splits alias."field" into the report's dataset of that alias and the field name; the
    // dataset is nil when no dataset of the report answers.
    virtual void GetDatasetAndField(
        const std::string& complexName, TfrxDataSet*& dataSet, std::string& field) const = 0;
    virtual TfrxStyles* Styles() const noexcept = 0;

    // --- script events: they run only while the engine runs, or with runAlways
    virtual void DoNotifyEvent(TObject* obj, const std::string& eventName, bool runAlways = false) = 0;
    // Writes the procedure's final parameter values back into params.
    virtual void CallScriptProc(TObject* obj, const std::string& procName, Variant& params, bool runAlways = false) = 0;

    // --- errors: the report's list (sorted, each text once) and the object that lines name
    virtual TStringList* GetErrorList() const noexcept = 0;
    virtual const std::string& GetCurrentObjectName() const noexcept = 0;
    virtual void SetCurrentObjectName(const std::string& name) = 0;

    // --- the stored form: the serializer of a load running in the report's tree (nil outside
    // one), so that what the report reads itself queues its references with the tree's
    virtual TfrxXMLSerializer* GetLoadSerializer() const noexcept = 0;
    virtual void SetLoadSerializer(TfrxXMLSerializer* serializer) noexcept = 0;

    // --- the run
    virtual TfrxCustomEngine* Engine() const noexcept = 0;

protected:
    // Never deleted through this interface: the report is a component with an owner.
    ~TfrxReportServices() = default;
};
