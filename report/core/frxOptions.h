#pragma once
// A report's four option objects and its list of datasets, and the process-wide list of all
// report datasets through which stored dataset names are resolved.
//
// The engine and preview options behave as application settings (a loaded template keeps
// the application's values) except ConvertNulls, DoublePass, OutlineVisible and OutlineWidth,
// which are the template's; print and report options come entirely from the template.

#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Collection.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Variant.h"

class TList;
class TStrings;
class TfrxComponent;
class TfrxDataSet;

enum TfrxPreviewButton {
    pbPrint,
    pbLoad,
    pbSave,
    pbExport,
    pbZoom,
    pbFind,
    pbOutline,
    pbPageSetup,
    pbTools,
    pbEdit,
    pbNavigator,
};
KAROMIL_ENUM_TYPE(TfrxPreviewButton, "pbPrint", "pbLoad", "pbSave", "pbExport", "pbZoom", "pbFind", "pbOutline",
    "pbPageSetup", "pbTools", "pbEdit", "pbNavigator")
using TfrxPreviewButtons = TSet<TfrxPreviewButton>;
KAROMIL_SET_TYPE(TfrxPreviewButtons, TfrxPreviewButton)
enum TfrxZoomMode { zmDefault, zmWholePage, zmPageWidth, zmManyPages };
KAROMIL_ENUM_TYPE(TfrxZoomMode, "zmDefault", "zmWholePage", "zmPageWidth", "zmManyPages")
enum TfrxPrintPages { ppAll, ppOdd, ppEven };
KAROMIL_ENUM_TYPE(TfrxPrintPages, "ppAll", "ppOdd", "ppEven")

class TfrxEngineOptions : public TPersistent {
    KAROMIL_CLASS(TfrxEngineOptions, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(ConvertNulls).Default(1);
        KAROMIL_PROP_MEMBER(DoublePass).Default(0);
        KAROMIL_PROP_MEMBER(MaxMemSize).Default(10);
        KAROMIL_PROP_MEMBER(PrintIfEmpty).Default(1);
        KAROMIL_PROP_MEMBER(SilentMode).Default(0);
        KAROMIL_PROP_MEMBER(TempDir);
        KAROMIL_PROP_MEMBER(UseFileCache).Default(0);
    })
public:
    TfrxEngineOptions() = default;
    void Assign(TPersistent* source) override;
    void Clear();  // ConvertNulls and DoublePass only

    bool ConvertNulls = true;
    bool DoublePass = false;
    int32_t MaxMemSize = 10;
    bool PrintIfEmpty = true;
    bool SilentMode = false;
    std::string TempDir;
    bool UseFileCache = false;
};

class TfrxPreviewOptions : public TPersistent {
    KAROMIL_CLASS(TfrxPreviewOptions, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(AllowEdit).Default(1);
        KAROMIL_PROP_MEMBER(Buttons);  // no default: always stored
        KAROMIL_PROP_MEMBER(DoubleBuffered).Default(1);
        KAROMIL_PROP_MEMBER(Maximized).Default(1);
        KAROMIL_PROP_MEMBER(MDIChild).Default(0);
        KAROMIL_PROP_MEMBER(Modal).Default(1);
        KAROMIL_PROP_MEMBER(OutlineVisible).Default(0);
        KAROMIL_PROP_MEMBER(OutlineWidth).Default(120);
        KAROMIL_PROP_MEMBER(ShowCaptions).Default(0);
        KAROMIL_PROP_MEMBER(Zoom);
        KAROMIL_PROP_MEMBER(ZoomMode).Default(zmDefault);
    })
public:
    TfrxPreviewOptions() = default;
    void Assign(TPersistent* source) override;
    void Clear();  // OutlineVisible and OutlineWidth only

    bool AllowEdit = true;
    TfrxPreviewButtons Buttons = TfrxPreviewButtons::FromMask(0x7FF);
    bool DoubleBuffered = true;
    bool Maximized = true;
    bool MDIChild = false;
    bool Modal = true;
    bool OutlineVisible = false;
    int32_t OutlineWidth = 120;
    bool ShowCaptions = false;
    double Zoom = 1;
    TfrxZoomMode ZoomMode = zmDefault;
};

class TfrxPrintOptions : public TPersistent {
    KAROMIL_CLASS(TfrxPrintOptions, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Copies).Default(1);
        KAROMIL_PROP_MEMBER(Collate).Default(1);
        KAROMIL_PROP_MEMBER(PageNumbers);
        KAROMIL_PROP_MEMBER(Printer);
        KAROMIL_PROP_MEMBER(PrintPages).Default(ppAll);
        KAROMIL_PROP_MEMBER(Reverse).Default(0);
        KAROMIL_PROP_MEMBER(ShowDialog).Default(1);
    })
public:
    TfrxPrintOptions();
    void Assign(TPersistent* source) override;
    void Clear();  // everything

    int32_t Copies = 1;
    bool Collate = true;
    std::string PageNumbers;
    std::string Printer;  // the "prDefault" text: the default printer
    TfrxPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
};

class TfrxReportOptions : public TPersistent {
    KAROMIL_CLASS(TfrxReportOptions, TPersistent)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP_MEMBER(Author);
        KAROMIL_PROP_MEMBER(Compressed).Default(0);
        KAROMIL_PROP_MEMBER(CreateDate, TypeInfoDateTime());
        KAROMIL_PROP(Description);
        KAROMIL_PROP_MEMBER(InitString);
        KAROMIL_PROP_MEMBER(Name);
        KAROMIL_PROP_MEMBER(LastChange, TypeInfoDateTime());
        KAROMIL_PROP_MEMBER(Password);
        KAROMIL_PROP(Picture);
        KAROMIL_PROP_MEMBER(VersionBuild);
        KAROMIL_PROP_MEMBER(VersionMajor);
        KAROMIL_PROP_MEMBER(VersionMinor);
        KAROMIL_PROP_MEMBER(VersionRelease);
    })
public:
    TfrxReportOptions();
    ~TfrxReportOptions() override;
    void Assign(TPersistent* source) override;
    void Clear();  // everything; the dates become now

    // True when there is no password, else whether the password window closed with OK and
    // the typed text equals Password (case counts).
    bool AskPassword();

    std::string Author;
    bool Compressed = false;
    TDateTime CreateDate = 0;
    TStrings* GetDescription() const noexcept { return FDescription.get(); }
    void SetDescription(TStrings* value);
    std::string InitString;
    std::string Name;
    TDateTime LastChange = 0;
    std::string Password;
    TPicture* GetPicture() const noexcept { return FPicture.get(); }
    void SetPicture(TPicture* value);
    std::string VersionBuild, VersionMajor, VersionMinor, VersionRelease;

private:
    std::unique_ptr<TStrings> FDescription;
    std::unique_ptr<TPicture> FPicture;
};

// The password window of the output layer: shows it modally with the application as owner
// and answers true with the typed text when it closed with OK. Unset while no output layer is
// linked; a password can then not be given, and AskPassword fails.
std::function<bool(std::string& typed)>& frxPasswordPrompt();

// --- datasets --------------------------------------------------------------------------------

class TfrxDataSetItem : public TCollectionItem {
    KAROMIL_CLASS(TfrxDataSetItem, TCollectionItem)
    KAROMIL_PUBLISHED({
        KAROMIL_PROP(DataSet);
        KAROMIL_PROP(DataSetName);
    })
public:
    explicit TfrxDataSetItem(TCollection* collection = nullptr) : TCollectionItem(collection) {}
    void Assign(TPersistent* source) override;

    TfrxDataSet* GetDataSet() const noexcept { return FDataSet; }
    void SetDataSet(TfrxDataSet* value);  // also takes the dataset's user name
    std::string GetDataSetName() const;  // the dataset's user name, else the stored one
    void SetDataSetName(const std::string& value);  // also looks the dataset up by name

private:
    TfrxDataSet* FDataSet = nullptr;
    std::string FDataSetName;
};

class TfrxReportDataSets : public TCollection {
    KAROMIL_CLASS(TfrxReportDataSets, TCollection)
public:
    explicit TfrxReportDataSets(TfrxComponent* report = nullptr);

    TfrxComponent* Report() const noexcept { return FReport; }
    TfrxDataSetItem* Add(TfrxDataSet* dataSet);
    TfrxDataSetItem* GetItem(int index) const { return static_cast<TfrxDataSetItem*>(Items(index)); }
    TfrxDataSetItem* Find(const TfrxDataSet* dataSet) const;
    TfrxDataSetItem* FindByName(const std::string& name) const;
    // Every entry's dataset learns the report and initialises; Finalize likewise. Every entry
    // must hold a dataset (the report checks that before a run).
    void Initialize();
    void Finalize();

private:
    TfrxComponent* FReport;
};

// Every live report dataset, in creation order (entries are TfrxDataSet*).
TList* frxAllDataSets();
// The dataset whose user name is `name` (case ignored), skipping datasets owned by another
// report when `owner` is a report; nullptr for an empty name, `def` when owner is nil or
// nothing matches.
TfrxDataSet* frxDataSetByName(TfrxDataSet* def, const std::string& name, TfrxComponent* owner);
// (user name, dataset) of every enabled dataset with a user name.
void frxGetDataSetList(TStrings* list);
