#pragma once
// The designer's options component: what a host application allows the report designer to do
// (restrictions), where its file dialogs start, whether closing asks to save, and events that
// take over loading and saving. It is tied to no report: the designer window consults the
// instance created last (frxActiveDesignerComponent).

#include <functional>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/List.h"
#include "platform/classes/TypInfo.h"

class TfrxReport;

enum TfrxDesignerRestriction {
    drDontInsertObject,
    drDontDeletePage,
    drDontCreatePage,
    drDontChangePageOptions,
    drDontCreateReport,
    drDontLoadReport,
    drDontSaveReport,
    drDontPreviewReport,
    drDontEditVariables,
    drDontChangeReportOptions,
    drDontEditReportData,
};
KAROMIL_ENUM_TYPE(TfrxDesignerRestriction, "drDontInsertObject", "drDontDeletePage", "drDontCreatePage",
    "drDontChangePageOptions", "drDontCreateReport", "drDontLoadReport", "drDontSaveReport", "drDontPreviewReport",
    "drDontEditVariables", "drDontChangeReportOptions", "drDontEditReportData")
using TfrxDesignerRestrictions = TSet<TfrxDesignerRestriction>;
KAROMIL_SET_TYPE(TfrxDesignerRestrictions, TfrxDesignerRestriction)

// True when the host loaded (saved) the report itself.
using TfrxLoadReportEvent = std::function<bool(TfrxReport* report)>;
using TfrxSaveReportEvent = std::function<bool(TfrxReport* report, bool saveAs)>;

class TfrxDesigner : public TComponent {
    KAROMIL_CLASS(TfrxDesigner, TComponent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(CloseQuery).Default(1);
        KAROMIL_PROP_MEMBER(OpenDir);
        KAROMIL_PROP_MEMBER(SaveDir);
        KAROMIL_PROP_MEMBER(Restrictions);
        KAROMIL_EVENT(OnLoadReport, "TfrxLoadReportEvent");
        KAROMIL_EVENT(OnSaveReport, "TfrxSaveReportEvent");
        KAROMIL_EVENT(OnShow, "TNotifyEvent");
    })
public:
    // The new instance becomes the active one.
    explicit TfrxDesigner(TComponent* owner);
    ~TfrxDesigner() override;

    bool CloseQuery = true;  // False: closing the designer never asks to save
    std::string OpenDir, SaveDir;  // first folders of the open and save dialogs
    TfrxDesignerRestrictions Restrictions;
    TfrxLoadReportEvent OnLoadReport;  // replaces the open dialog
    TfrxSaveReportEvent OnSaveReport;  // replaces the save dialog and the writing
    TNotifyEvent OnShow;  // at the end of the designer window's construction
};

// The instance the designer window consults; nullptr when none.
TfrxDesigner* frxActiveDesignerComponent();
// Makes designer the active instance (the prepared-page designer puts back the one it found).
void frxSetActiveDesignerComponent(TfrxDesigner* designer);
