#pragma once
// The window plug-ins of the report core: the bases of the designer window, the preview
// control and the designer's wizards, and the hooks through which the output and designer
// layers register their windows. The report holds them by pointer; only the files that drive
// a window include this header (it brings the window layer with it).

#include <functional>
#include <memory>
#include <string>

#include "platform/classes/List.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Forms.h"
#include "report/core/frxPlugins.h"

class TStrings;
class TfrxPage;
class TfrxReport;

// The designer window's base. The field names are the designer's own.
class TfrxCustomDesigner : public TForm {
    KAROMIL_CLASS(TfrxCustomDesigner, TForm)
public:
    TfrxCustomDesigner(TComponent* owner, TfrxReport* report, bool previewDesigner);
    ~TfrxCustomDesigner() override;

    TfrxReport* Report;
    bool IsPreviewDesigner;  // edits a prepared page
    std::string MemoFontName;
    int MemoFontSize = 0;
    bool UseObjectFont = false;
    bool IsClosed = false;  // the report's design loop ends when it is set
    bool Modified = false;
    TList* Objects() const noexcept { return FObjects.get(); }
    TfrxPage* Page = nullptr;  // nil for the script page
    TList* SelectedObjects() const noexcept { return FSelectedObjects.get(); }

    // Stores Modified; True also marks the report modified.
    virtual void SetModified(bool value);
    virtual void SetPage(TfrxPage* value) { Page = value; }
    virtual TStrings* GetCode() = 0;
    virtual std::string InsertExpression(const std::string& expr) = 0;
    virtual void Lock() = 0;
    virtual void ReloadPages(int index) = 0;
    virtual void ReloadReport() = 0;
    virtual void UpdateDataTree() = 0;
    virtual void UpdatePage() = 0;

private:
    std::unique_ptr<TList> FObjects, FSelectedObjects;
};

// The registered designer window class: builds a window for (owner, report, prepared page);
// unset while no designer is linked (DesignReport then does nothing).
using TfrxDesignerFactory =
    std::function<TfrxCustomDesigner*(TComponent* owner, TfrxReport* report, bool previewDesigner)>;
TfrxDesignerFactory& frxDesignerClass();

class TfrxCustomPreview : public TCustomControl {
    KAROMIL_CLASS(TfrxCustomPreview, TCustomControl)
public:
    explicit TfrxCustomPreview(TComponent* owner) : TCustomControl(owner) {}
    TfrxReport* Report = nullptr;
    TfrxCustomPreviewPages* PreviewPages = nullptr;

    virtual void Init() = 0;  // shows the prepared pages anew
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    virtual void InternalOnProgressStart(TfrxReport* sender, TfrxProgressType type, int progress) = 0;
    virtual void InternalOnProgress(TfrxReport* sender, TfrxProgressType type, int progress) = 0;
    virtual void InternalOnProgressStop(TfrxReport* sender, TfrxProgressType type, int progress) = 0;
    // What the prepared pages ask of the preview when a link is clicked or an export ends; the
    // preview control overrides them.
    virtual void SetPageNo(int value) { (void)value; }  // clamped to the pages
    virtual void SetPosition(int pageN, int top) {
        (void)pageN;
        (void)top;
    }
    virtual void HideMessage() {}
};

// The preview window of the output layer: creates the window for the report (owner the
// application), links its preview control as the report's Preview, and shows it modally (and
// frees it) or modeless (freeing itself on close) as PreviewOptions.Modal says. Unset while no
// output layer is linked.
std::function<void(TfrxReport* report)>& frxPreviewWindow();
// Shows a report's progress text in the status line of its preview window (the report's
// PreviewForm). Unset while no output layer is linked.
std::function<void(TCustomForm* window, const std::string& text)>& frxPreviewWindowMessage();

class TfrxCustomWizard : public TComponent {
    KAROMIL_CLASS(TfrxCustomWizard, TComponent)
public:
    explicit TfrxCustomWizard(TComponent* owner);  // owner: the designer window
    TfrxCustomDesigner* Designer;
    TfrxReport* Report;

    virtual std::string GetDescription() const { return {}; }
    virtual bool Execute() = 0;
};
