#pragma once
// The page settings of one prepared page, opened from the preview: paper size,
// orientation and margins, shown and typed in centimetres (the page keeps
// millimetres), and whether they apply to the current page only or to every
// page.

#include <string>

#include "platform/gui/Forms.h"

class TButton;
class TComboBox;
class TEdit;
class TGroupBox;
class TImage;
class TLabel;
class TRadioButton;
class TfrxReportPage;

class TfrxPageSettingsForm : public TForm {
    KAROMIL_CLASS(TfrxPageSettingsForm, TForm)
public:
    explicit TfrxPageSettingsForm(TComponent* owner);

    TButton* OKB;
    TButton* CancelB;
    TGroupBox* SizeL;
    TLabel *WidthL, *HeightL, *cmL1, *cmL2;
    TEdit *WidthE, *HeightE;
    TComboBox* SizeCB;
    TGroupBox* OrientationL;
    TImage *PortraitImg, *LandscapeImg;
    TRadioButton *PortraitRB, *LandscapeRB;
    TGroupBox* MarginsL;
    TLabel *LeftL, *TopL, *RightL, *BottomL, *cmL3, *cmL4, *cmL5, *cmL6;
    TEdit *MarginLeftE, *MarginTopE, *MarginRightE, *MarginBottomE;
    TGroupBox* OtherL;
    TRadioButton *ApplyToCurRB, *ApplyToAllRB;

    // The page being edited; set before showing, not owned.
    TfrxReportPage* Page = nullptr;
    // Read by the preview after the dialog closed.
    bool ApplyToAll() const;

    void SizeCBClick(TObject* sender);
    void PortraitRBClick(TObject* sender);
    void WidthEChange(TObject* sender);

private:
    void FormShow(TObject* sender);
    void FormHide(TObject* sender);
    void OKBClick(TObject* sender);
    bool FUpdating = false;
};
