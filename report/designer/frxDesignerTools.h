#pragma once
// The parts of the designer window that are built later, each with the members the window
// already calls. What they do today is said at each class: the design surface only shows the
// page (no selection, moving, sizing or insertion yet), the code editor shows and keeps the
// script lines (no colouring or editing keys yet), the object inspector, data tree, report
// tree, clipboard and copy-format sample do nothing yet.

#include <functional>
#include <memory>
#include <string>

#include "platform/classes/List.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Controls.h"

class TfrxPage;
class TfrxReport;

// The design surface of a page. Today: paints the paper and the page's objects at Scale.
class TDesignerWorkspace : public TCustomControl {
    KAROMIL_CLASS(TDesignerWorkspace, TCustomControl)
public:
    explicit TDesignerWorkspace(TComponent* owner);

    TList* Objects = nullptr;  // the designer's lists, shared
    TList* SelectedObjects = nullptr;
    double Scale = 1;
    double BandHeader = 18.89765;  // the band caption strip, page pixels
    TNotifyEvent OnModify, OnSelectionChanged, OnEdit, OnTopLeftChanged, OnNotifyPosition;

    TfrxPage* GetPage() const noexcept { return FPage; }
    void SetPage(TfrxPage* page);  // sizes the surface to the page's paper at Scale
    void Lock() { FLocked = true; }  // paints nothing until Unlock: the objects may be going
    void Unlock();
    bool Locked() const noexcept { return FLocked; }
    void UpdateView() { Invalidate(); }
    void AdjustBands() {}  // band placement comes with the surface's geometry

protected:
    void Paint() override;

private:
    TfrxPage* FPage = nullptr;
    bool FLocked = false;
};

// The script editor. Today: holds the lines and paints them, read-only.
class TfrxSyntaxMemo : public TCustomControl {
    KAROMIL_CLASS(TfrxSyntaxMemo, TCustomControl)
public:
    explicit TfrxSyntaxMemo(TComponent* owner);
    TStrings* Lines() const noexcept { return FLines.get(); }
    void SetLines(TStrings* lines);
    bool Modified = false;  // the user changed the text since it was loaded
    int BreakLine = -1;

protected:
    void Paint() override;

private:
    std::unique_ptr<TStringList> FLines;
};

// The object inspector. Does nothing yet.
class TfrxObjectInspector : public TComponent {
    KAROMIL_CLASS(TfrxObjectInspector, TComponent)
public:
    explicit TfrxObjectInspector(TComponent* owner) : TComponent(owner) {}
    TList* Objects = nullptr;
    TList* SelectedObjects = nullptr;
    TNotifyEvent OnModify, OnSelectionChanged;
    void Lock() {}
    void Unlock() {}
    void UpdateProperties() {}
};

// The data tree (datasets, variables, functions). Does nothing yet.
class TfrxDataTreeForm : public TComponent {
    KAROMIL_CLASS(TfrxDataTreeForm, TComponent)
public:
    explicit TfrxDataTreeForm(TComponent* owner) : TComponent(owner) {}
    TNotifyEvent OnDblClick;
    void UpdateItems() {}
};

// The report tree (pages, bands, objects). Does nothing yet.
class TfrxReportTreeForm : public TComponent {
    KAROMIL_CLASS(TfrxReportTreeForm, TComponent)
public:
    explicit TfrxReportTreeForm(TComponent* owner) : TComponent(owner) {}
    TNotifyEvent OnSelectionChanged;
    void UpdateItems() {}
    void UpdateSelection() {}
};

// The designer's clipboard. Does nothing yet: nothing can be pasted.
class TfrxClipboard {
public:
    bool PasteAvailable() const noexcept { return false; }
};

// The copy-format sample. Does nothing yet.
class TSampleFormat {};
