#pragma once
// TfrxExportDialog: what the export filters' options windows share: a dialog frame centred on
// the screen, the page range group, OK and Cancel, the save dialog for the target's name, and handing the chosen range to the
// filter. Each filter's window adds its own switches between the range and the buttons.

#include "platform/gui/Forms.h"

class TButton;
class TEdit;
class TGroupBox;
class TLabel;
class TRadioButton;
class TSaveDialog;
class TfrxCustomExportFilter;

class TfrxExportDialog : public TForm {
    KAROMIL_CLASS(TfrxExportDialog, TForm)
public:
    explicit TfrxExportDialog(TComponent* owner);

    TButton* OkB = nullptr;
    TButton* CancelB = nullptr;
    TGroupBox* GroupPageRange = nullptr;
    TRadioButton* AllRB = nullptr;
    TRadioButton* CurPageRB = nullptr;
    TRadioButton* PageNumbersRB = nullptr;
    TEdit* PageNumbersE = nullptr;
    TLabel* DescrL = nullptr;
    TSaveDialog* SaveDialog1 = nullptr;

    // The current page only, or the typed pages when "Pages:" is chosen, or all pages.
    void GetPageRange(TfrxCustomExportFilter* filter) const;

protected:
    // Where the page range group's parts stand; the windows differ only in these sizes.
    struct TPageRangeLayout {
        int GroupHeight;
        int ChoiceWidth;  // "All" and "Current page"
        int EditWidth;
        int DescrTop;
        int DescrWidth;
        int DescrHeight;
    };
    void CreatePageRange(const TPageRangeLayout& layout);
    void CreateButtons(int okLeft, int cancelLeft, int top);

    template <class T>
    T* Make(TWinControl* parent, const char* name, const char* caption, int l, int t, int w, int h);
};

template <class T>
T* TfrxExportDialog::Make(TWinControl* parent, const char* name, const char* caption, int l, int t, int w, int h) {
    T* c = new T(this);
    c->SetName(name);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    if (caption) c->SetCaption(caption);
    return c;
}
