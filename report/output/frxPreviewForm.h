#pragma once
// The window in which a prepared report is shown: a tool bar with the preview commands, a zoom
// box, a page-number box, a status bar and the preview filling the rest. It follows the
// report's PreviewOptions (buttons, maximised, outline, zoom, editing rights), lists the
// registered export filters in its export menu and keeps the page display, zoom box and
// buttons in step with the preview.

#include <string>

#include "platform/gui/Forms.h"

class TEdit;
class TImageList;
class TMenuItem;
class TPopupMenu;
class TSpeedButton;
class TStatusBar;
class TToolBar;
class TToolButton;
class TfrxComboBox;
class TfrxPreview;
class TfrxTBPanel;

class TfrxPreviewForm : public TForm {
    KAROMIL_CLASS(TfrxPreviewForm, TForm)
public:
    explicit TfrxPreviewForm(TComponent* owner);
    ~TfrxPreviewForm() override;

    TToolBar* ToolBar;
    TToolButton *PrintB, *OpenB, *SaveB, *ExportB, *FindB, *Sep1;
    TToolButton *ZoomWholePageB, *ZoomPageWidthB, *Zoom100B, *Zoom50B;
    TfrxTBPanel* Sep3;
    TfrxComboBox* ZoomCB;
    TToolButton *Sep2, *PageSettingsB, *OutlineB, *Sep5, *HandToolB, *ZoomToolB, *Sep7;
    TToolButton *NewPageB, *DelPageB, *DesignerB, *Sep6, *FirstB, *PriorB;
    TfrxTBPanel* Sep4;
    TEdit* PageE;
    TToolButton *NextB, *LastB;
    TfrxTBPanel* frTBPanel1;
    TSpeedButton* CancelB;
    TStatusBar* StatusBar;
    TImageList* MainImages;
    TPopupMenu* ExportPopup;
    TPopupMenu* HiddenMenu;
    TMenuItem* Showtemplate1;

    TfrxPreview* Preview() const noexcept { return FPreview; }
    bool FreeOnClose = false;

    void Init();
    void UpdateControls();
    void UpdateZoomText();
    void SetMessage(const std::string& value);
    void Dispatch(TMessage& message) override;

    // --- handlers (public so that tests and the key routing reach them)
    void PrintBClick();
    void ZoomCBClick();
    void PageEClick();
    void CancelBClick();
    void ExportMenuClick(TObject* sender);

private:
    void PreviewPageChanged(TfrxPreview* sender, int pageNo);
    TfrxPreview* FPreview = nullptr;
};

// Links the preview window and the error box to the report core (the core's preview-window
// and error-box hooks) and loads the tool cursors; called once at start-up by whoever links
// the output layer.
void frxRegisterPreview();
