#pragma once
// The report designer window: opens one report (its report pages, dialog pages and script),
// shows a page at a time behind a row of tabs ("Kód" first), keeps an undo history of whole
// snapshots, and opens, saves and names report files. The report core knows it only through
// its designer base: frxRegisterDesigner stores this class as the registered designer, and
// TfrxReport::DesignReport / DesignPreviewPage create it, pump messages until IsClosed and
// read Modified.
//
// Two modes, fixed at construction: a report designer, and a prepared-page designer (the
// preview's edit command) that installs its own options component with the prepared-page
// restrictions, refuses tab changes, ignores undo and redo and asks its own closing question.
//
// The window is built in code from tables (frxDesgnBuild.cpp) with the component names other
// parts use. The design surface, code editor, object inspector, data and report trees are the
// classes of frxDesignerTools.h, which do not do their work yet.
//
// Everything runs on the GUI thread.

#include <memory>
#include <string>

#include "report/core/frxWindowPlugins.h"
#include "report/designer/frxDesignerOptions.h"

class TAction;
class TActionList;
class TBevel;
class TMainMenu;
class TMenuItem;
class TOpenDialog;
class TPanel;
class TPopupMenu;
class TSaveDialog;
class TScrollBox;
class TStatusBar;
class TStringList;
class TTabControl;
class TTimer;
class TToolBar;
class TToolButton;
class TfrxComboBox;
class TfrxDialogForm;
class TDesignerWorkspace;
class TfrxSyntaxMemo;
class TfrxObjectInspector;
class TfrxDataTreeForm;
class TfrxReportTreeForm;
class TfrxUndoBuffer;
class TfrxClipboard;
class TSampleFormat;

class TfrxDesignerForm : public TfrxCustomDesigner {
    KAROMIL_CLASS(TfrxDesignerForm, TfrxCustomDesigner)
public:
    TfrxDesignerForm(TComponent* owner, TfrxReport* report, bool previewDesigner);
    ~TfrxDesignerForm() override;

    // --- the window's components (named as stored)
    TBevel* Bevel1;
    TPanel *DockTop, *StandardTB, *TextTB, *FrameTB, *AlignTB, *ExtraToolsTB;
    TToolBar *StandardTB1, *TextTB1, *FrameTB1, *AlignTB1, *ExtraToolsTB1;
    TToolButton *NewB, *OpenB, *SaveB, *PreviewB, *StdSep1, *UndoB, *RedoB;
    TPanel* LeftDockSite1;
    TToolBar* ObjectsTB1;
    TToolButton *ObjectSelectB, *HandToolB, *ZoomToolB, *TextToolB, *FormatToolB, *ObjSep1, *ObjectBandB;
    TTabControl* Tab;
    TPanel *LeftDockSite2, *RightDockSite, *ScrollBoxPanel, *TopRuler, *LeftRuler, *CodePanel;
    TScrollBox* ScrollBox;
    TToolBar* CodeTB;
    TfrxComboBox* LangCB;
    TToolButton *OpenScriptB, *SaveScriptB, *RunScriptB, *StepScriptB, *StopScriptB, *EvaluateB;
    TPanel *DockRight, *DockBottom;
    TStatusBar* StatusBar;
    TMainMenu* MainMenu;
    TMenuItem *FileMenu, *EditMenu, *ReportMenu, *ViewMenu, *HelpMenu, *SepMI11, *SepMI4;
    TPopupMenu *PagePopup, *TabPopup, *BandsPopup, *RotationPopup, *ObjectsPopup, *DMPPopup;
    TActionList* ActionList;
    TAction *NewItemCmd, *NewReportCmd, *NewPageCmd, *NewDialogCmd, *OpenCmd, *SaveCmd, *SaveAsCmd, *VariablesCmd,
        *PageSettingsCmd, *PreviewCmd, *ExitCmd, *UndoCmd, *RedoCmd, *CutCmd, *CopyCmd, *PasteCmd, *DeleteCmd,
        *DeletePageCmd, *SelectAllCmd, *EditCmd, *BringToFrontCmd, *SendToBackCmd, *GroupCmd, *UngroupCmd;
    TMenuItem *ReportDataMI, *ReportStylesMI, *ReportSettingsMI;
    TOpenDialog *OpenDialog, *OpenScriptDialog;
    TSaveDialog *SaveDialog, *SaveScriptDialog;
    TTimer* Timer;

    // --- the window's parts and state
    TDesignerWorkspace* Workspace = nullptr;
    TfrxSyntaxMemo* CodeWindow = nullptr;
    TfrxObjectInspector* ObjectInspector = nullptr;
    TfrxDataTreeForm* DataTreeForm = nullptr;
    TfrxReportTreeForm* ReportTreeForm = nullptr;
    TfrxUndoBuffer* UndoBuffer() const noexcept { return FUndoBuffer.get(); }
    TfrxClipboard* Clipboard() const noexcept { return FClipboard.get(); }
    TfrxDialogForm* DialogForm = nullptr;  // the window of the dialog page shown, owned by the page
    TObject* ModifiedBy = nullptr;  // who reported the last change; consumed by SetModified
    bool IsUpdating = false;
    double Scale = 1;
    int Units = 0;  // 0 centimetres, 1 inches, 2 pixels, 3 characters
    bool ScriptRunning = false;
    TStringList* RecentFiles() const noexcept { return FRecentFiles.get(); }  // oldest first, at most 8
    // 256 entries "horizontal:vertical", one per tab; only tabs 1 to 254 are used.
    TStringList* TabScrollPositions() const noexcept { return FTabScrollPositions.get(); }

    // --- the designer interface
    void SetModified(bool value) override;
    void SetPage(TfrxPage* value) override;
    TStrings* GetCode() override;
    // The expression editor is not built yet: the expression comes back unchanged.
    std::string InsertExpression(const std::string& expr) override;
    void Lock() override;
    // Tab captions anew: "Kód", then one per page (its subreport's name, its own, or "Strana"
    // + number); then -1 shows the code page, an index below the page count that page, any
    // other index the first page.
    void ReloadPages(int index) override;
    void ReloadReport() override;
    void UpdateDataTree() override;
    void UpdatePage() override;

    // --- used by the window's parts
    bool CheckOp(TfrxDesignerRestriction op) const;
    void UpdateControls();
    void DoModify(TObject* sender);
    void DoSelectionChanged(TObject* sender);
    void DoEditObject(TObject* sender);
    void ReloadObjects();

    // --- tabs
    // Moves the current page's tab to target (a tab index): nothing for tab 0 or the code
    // page; otherwise the page takes place target - 1 in the report and the report is marked
    // modified. What a tab dropped on the row does.
    void MoveCurrentTab(int target);
    void StoreScrollPosition(int tab);
    void RestoreScrollPosition(int tab);

    // --- file commands
    int AskSave();  // IDYES, IDNO or IDCANCEL
    std::string GetReportName() const;  // the file name without folder, "Untitled.fr3" when none
    void UpdateCaption();
    void UpdateRecentFiles(const std::string& fileName);
    void LoadFile(const std::string& fileName, bool useEvent);
    // True when the report was written (or the host's save event took it).
    bool SaveFile(bool saveAs, bool useEvent);
    void NewReport();
    // The save question of New, Open and the recent files: true to go on (saved or not wanted).
    bool SaveBeforeReplacing(bool useEvent);
    void Undo();
    void Redo();

    bool CloseQuery() override;

private:
    void BuildForm();
    void BuildMenus();
    void SetupActions();
    void TabChanging(bool& allow);
    void TabChange();
    void AttachDialogForm();
    void DetachDialogForm();
    void RecentFileClick(TObject* sender);
    void RebuildRecentMenu();
    void ApplyPageDimensions();
    void FormKeyDown(WORD& key, TShiftState shift);

    std::unique_ptr<TfrxUndoBuffer> FUndoBuffer;
    std::unique_ptr<TfrxClipboard> FClipboard;
    std::unique_ptr<TSampleFormat> FSampleFormat;
    std::unique_ptr<TStringList> FRecentFiles, FTabScrollPositions;
    std::vector<TMenuItem*> FRecentItems;  // the recent-file items now in the File menu
    TfrxDesigner* FSavedOptions = nullptr;  // prepared-page mode: the active options before ours
    TfrxDesigner* FOwnOptions = nullptr;
    int FLastTab = -1;  // the tab shown before a change
    bool FTabDragArmed = false, FTabDragging = false;
    TPoint FTabDragStart;
};

// Stores the designer window as the report library's designer class and adds the designer's
// texts; called once at start-up by whoever links the designer.
void frxRegisterDesigner();
