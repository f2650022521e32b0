#pragma once
// The control that shows a report's prepared pages and carries every preview command: an
// outline tree on the left, a splitter, the page workspace and a message panel with a Cancel
// button in front while files load or save. The report core drives it through the plug-in
// operations (Init, Lock, Unlock and the three run notifications); a program may also put one
// on a window of its own and link it through the report's Preview property.

#include <functional>
#include <string>

#include "report/core/frxOptions.h"
#include "report/core/frxWindowPlugins.h"

class TButton;
class TLabel;
class TPanel;
class TSplitter;
class TTreeNode;
class TTreeView;
class TfrxCustomExportFilter;
class TfrxPreviewWorkspace;
class TfrxReportPage;

enum TfrxPreviewTool { ptHand, ptZoom, ptNone };
KAROMIL_ENUM_TYPE(TfrxPreviewTool, "ptHand", "ptZoom", "ptNone")

class TfrxPreview;
using TfrxPageChangedEvent = std::function<void(TfrxPreview* sender, int pageNo)>;

// Screen cursor slots of the hand and zoom tools (filled at start-up).
constexpr TCursor crHand = 50;
constexpr TCursor crZoom = 51;
constexpr TCursor crFormat = 52;

class TfrxPreview : public TfrxCustomPreview {
    KAROMIL_CLASS(TfrxPreview, TfrxCustomPreview)
public:
    explicit TfrxPreview(TComponent* owner);
    ~TfrxPreview() override;

    // --- the plug-in operations
    void Init() override;
    void Lock() override { Locked = true; }
    void Unlock() override;
    void InternalOnProgressStart(TfrxReport* sender, TfrxProgressType type, int progress) override;
    void InternalOnProgress(TfrxReport* sender, TfrxProgressType type, int progress) override;
    void InternalOnProgressStop(TfrxReport* sender, TfrxProgressType type, int progress) override;

    // --- state
    int GetPageNo() const noexcept { return FPageNo; }
    void SetPageNo(int value);
    int PageCount() const;
    double GetZoom() const noexcept { return FZoom; }
    void SetZoom(double value);
    TfrxZoomMode GetZoomMode() const noexcept { return FZoomMode; }
    void SetZoomMode(TfrxZoomMode value);
    TfrxPreviewTool GetTool() const noexcept { return FTool; }
    void SetTool(TfrxPreviewTool value);
    bool GetOutlineVisible() const;
    void SetOutlineVisible(bool value);
    bool Locked = false;  // only the gray background is painted; UpdatePages does nothing
    bool Running = false;  // a run fills the preview: commands that change pages wait
    bool CloseAfterRun = false;  // the window asked to close during the run

    // --- navigation and layout
    void First() { SetPageNo(1); }
    void Next() { SetPageNo(FPageNo + 1); }
    void Prior() { SetPageNo(FPageNo - 1); }
    void Last() { SetPageNo(PageCount()); }
    void SetPosition(int pageN, int top);
    void UpdatePages();
    void BuildPageList();
    void UpdateOutline();
    void MouseWheelScroll(int delta);

    // --- messages
    void ShowMessage(const std::string& text);
    void HideMessage();
    void Cancel();

    // --- commands
    void Print();
    void SaveToFile();
    void SaveToFile(const std::string& fileName);
    void LoadFromFile();
    void LoadFromFile(const std::string& fileName);
    void Export(TfrxCustomExportFilter* filter);
    void PageSetupDlg();
    void Find();
    void FindNext();
    void Clear();
    void AddPage();
    void DeletePage();
    void Edit();
    void EditTemplate();

    TfrxPreviewWorkspace* Workspace() const noexcept { return FWorkspace; }
    TTreeView* OutlineTree() const noexcept { return FOutline; }
    TSplitter* Splitter() const noexcept { return FSplitter; }
    TPanel* MessagePanel() const noexcept { return FMessagePanel; }
    TButton* CancelButton() const noexcept { return FCancelB; }
    bool FindNextEnabled() const noexcept { return FAllowFindNext; }

    // The run's clock, milliseconds; replaceable so that refresh intervals can be tested.
    std::function<uint32_t()> TickCount;
    int RefreshInterval() const noexcept { return FRefresh; }

    TfrxPageChangedEvent OnPageChanged;
    void Dispatch(TMessage& message) override;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void Resize() override;
    void DoPageChanged();

private:
    void AddOutlineLevel(TTreeNode* node);
    void ApplyToAllPages(TfrxReportPage* page);
    // False, after telling the user, when no designer is linked to edit with.
    bool DesignerAvailable() const;
    void OutlineClick(TObject* sender);
    void UpdateFormControls();
    TTreeView* FOutline;
    TSplitter* FSplitter;
    TfrxPreviewWorkspace* FWorkspace;
    TPanel* FMessagePanel;
    TLabel* FMessageLabel;
    TButton* FCancelB;
    int FPageNo = 1;
    double FZoom = 1;
    TfrxZoomMode FZoomMode = zmDefault;
    TfrxPreviewTool FTool = ptHand;
    bool FAllowFindNext = false;
    uint32_t FFirstTick = 0;
    int FRefresh = 50;
};
