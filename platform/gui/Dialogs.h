#pragma once
// Common dialogs and message dialogs.
//
// Every modal dialog here asks the dialog hook first: a test (or a headless run) installs one
// and answers without a person. Without a hook the message dialogs, InputBox and InputQuery
// are our own forms (so that the form's key rules hold: Enter on the default button, Escape on
// Storno), and the file, font and colour dialogs are Qt's own widgets (never the desktop's, so
// they run the same everywhere).

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/Component.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/Forms.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
KAROMIL_ENUM_TYPE(TMsgDlgType, "mtWarning", "mtError", "mtInformation", "mtConfirmation", "mtCustom")
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
KAROMIL_ENUM_TYPE(TMsgDlgBtn, "mbYes", "mbNo", "mbOK", "mbCancel", "mbAbort", "mbRetry", "mbIgnore", "mbAll",
    "mbNoToAll", "mbYesToAll", "mbHelp")
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
KAROMIL_SET_TYPE(TMsgDlgButtons, TMsgDlgBtn)

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};
using TOpenOptions = TSet<TOpenOption>;
enum TPrintRange { prAllPages, prSelection, prPageNums };
KAROMIL_ENUM_TYPE(TPrintRange, "prAllPages", "prSelection", "prPageNums")

// What the dialog hook sees and answers.
struct TDialogCall {
    enum TKind { dkMessage, dkInput, dkOpen, dkSave, dkFont, dkColor, dkPrint, dkPrinterSetup };
    TKind Kind = dkMessage;
    std::string Caption;  // window title
    std::string Text;  // message or prompt
    TMsgDlgType DlgType = mtCustom;
    TMsgDlgButtons Buttons;
    std::string Filter;  // file dialogs: the filter as given
    std::string InitialDir;
    // --- the answer
    bool Accepted = false;  // OK / a file chosen
    int Result = mrCancel;  // message dialogs: the modal result
    std::string Value;  // input text (starts as the current one) or the full file name
    TFont* Font = nullptr;  // font dialog: edit it in place
    TColor Color = clBlack;  // colour dialog
};
using TDialogHook = std::function<void(TDialogCall& call)>;
// While set, every dialog of this unit is answered by the hook. Empty removes it.
void SetDialogHook(TDialogHook hook);

// The class library's message dialog: answers mrYes, mrNo, mrOk ... (mrCancel when closed).
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
void ShowMessage(const std::string& text);
// The platform message box with MB_* style bits; answers IDOK ... (Application->MessageBox).
int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags);
// The text typed, or defaultText when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultText);
// True with value replaced when confirmed; false with value untouched when cancelled.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// "Text|*.a;*.b|All|*.*" or a bare "*.fr3": the (description, patterns) pairs.
std::vector<std::pair<std::string, std::vector<std::string>>> ParseFileFilter(const std::string& filter);

class TCommonDialog : public TComponent {
    KAROMIL_CLASS(TCommonDialog, TComponent)
public:
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
    virtual bool Execute() = 0;
    TNotifyEvent OnShow;
    TNotifyEvent OnClose;
};

class TOpenDialog : public TCommonDialog {
    KAROMIL_CLASS(TOpenDialog, TCommonDialog)
public:
    explicit TOpenDialog(TComponent* owner);
    ~TOpenDialog() override;
    std::string GetFileName() const { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    std::string GetFilter() const { return FFilter; }
    void SetFilter(const std::string& v) { FFilter = v; }
    int GetFilterIndex() const noexcept { return FFilterIndex; }
    void SetFilterIndex(int v) { FFilterIndex = v; }
    std::string GetDefaultExt() const { return FDefaultExt; }
    void SetDefaultExt(const std::string& v) { FDefaultExt = v; }
    std::string GetInitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& v) { FInitialDir = v; }
    std::string GetTitle() const { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    TOpenOptions GetOptions() const noexcept { return FOptions; }
    void SetOptions(TOpenOptions v) { FOptions = v; }
    TStrings* Files() const noexcept { return FFiles.get(); }
    // Shows the dialog; true with FileName set to the full path when a file was chosen.
    // Unless ofNoChangeDir, the process's current folder becomes the chosen file's folder.
    bool Execute() override;

protected:
    virtual bool Saving() const { return false; }

private:
    bool Accept(const std::string& chosen);
    std::string FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
    int FFilterIndex = 1;
    TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
    std::unique_ptr<TStringList> FFiles;
};

class TSaveDialog : public TOpenDialog {
    KAROMIL_CLASS(TSaveDialog, TOpenDialog)
public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

protected:
    bool Saving() const override { return true; }
};

// --- picture dialogs -------------------------------------------------------------------------

// The file filter of the picture formats that graphicClass and its descendants load, one
// "Description (*.ext)|*.ext" entry each, led by an entry for all of them when there are several.
std::string GraphicFilter(TGraphicClass graphicClass);
// The usual extension (without the dot) of graphicClass's files; empty when it has no format.
std::string GraphicExtension(TGraphicClass graphicClass);

// An open dialog whose filter starts as every picture format TPicture loads.
class TOpenPictureDialog : public TOpenDialog {
    KAROMIL_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TOpenPictureDialog {
    KAROMIL_CLASS(TSavePictureDialog, TOpenPictureDialog)
public:
    explicit TSavePictureDialog(TComponent* owner) : TOpenPictureDialog(owner) {}

protected:
    bool Saving() const override { return true; }
};

class TFontDialog : public TCommonDialog {
    KAROMIL_CLASS(TFontDialog, TCommonDialog)
public:
    explicit TFontDialog(TComponent* owner);
    ~TFontDialog() override;
    TFont* GetFont() const noexcept { return FFont.get(); }
    void SetFont(TFont* v) { FFont->Assign(v); }
    bool Execute() override;

private:
    std::unique_ptr<TFont> FFont;
};

class TColorDialog : public TCommonDialog {
    KAROMIL_CLASS(TColorDialog, TCommonDialog)
public:
    explicit TColorDialog(TComponent* owner) : TCommonDialog(owner) {}
    TColor GetColor() const noexcept { return FColor; }
    void SetColor(TColor v) { FColor = v; }
    bool Execute() override;

private:
    TColor FColor = clBlack;
};

// The print dialogs need the printer layer to list printers; until a provider is installed
// (SetPrintDialogProvider) Execute is answered by the dialog hook or raises, never pretends.
class TPrintDialog : public TCommonDialog {
    KAROMIL_CLASS(TPrintDialog, TCommonDialog)
public:
    explicit TPrintDialog(TComponent* owner) : TCommonDialog(owner) {}
    int Copies = 1;
    int FromPage = 0, ToPage = 0, MinPage = 0, MaxPage = 0;
    bool Collate = false;
    TPrintRange PrintRange = prAllPages;
    bool Execute() override;
};

class TPrinterSetupDialog : public TCommonDialog {
    KAROMIL_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
    explicit TPrinterSetupDialog(TComponent* owner) : TCommonDialog(owner) {}
    bool Execute() override;
};

// The printer layer shows its dialogs through this (kind dkPrint or dkPrinterSetup).
using TPrintDialogProvider = std::function<bool(TCommonDialog* dialog, TDialogCall::TKind kind)>;
void SetPrintDialogProvider(TPrintDialogProvider provider);
