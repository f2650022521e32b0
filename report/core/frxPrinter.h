#pragma once
// The report library's printer layer: the paper table, one object per installed printer (or a
// virtual A4 printer when none is installed) with its papers, bins, resolution and
// unprintable margins, documents printed page by page on the printer canvas, and the list of
// printers with the current one. Printers are reached through the platform's print back end.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/classes/StringList.h"
#include "platform/gui/Graphics.h"
#include "platform/printing/Printing.h"

enum TPrinterOrientation { poPortrait, poLandscape };
KAROMIL_ENUM_TYPE(TPrinterOrientation, "poPortrait", "poLandscape")

struct TfrxPaperInfo {
    int Typ;
    std::string Name;  // the name a user knows the paper by ("A4")
    int X, Y;  // tenths of a mm, portrait
};
constexpr int frxPaperCount = 66;
// The fixed table of Windows paper codes.
const std::vector<TfrxPaperInfo>& frxPaperSizes();
// Width and height of code in mm; both untouched when the code is not in the table.
void frxGetPaperDimensions(int code, double& width, double& height);

class TfrxCustomPrinter;

// Draws on a printer's page; the text engine knows a printer's canvas by this class.
class TfrxPrinterCanvas : public TCanvas {
    KAROMIL_CLASS(TfrxPrinterCanvas, TCanvas)
public:
    explicit TfrxPrinterCanvas(TfrxCustomPrinter* printer) : FPrinter(printer) {}
    // The font keeps its point size and takes the printer's vertical resolution.
    void UpdateFont();

protected:
    void Changing() override;

private:
    TfrxCustomPrinter* FPrinter;
};

class TfrxCustomPrinter : public TObject {
    KAROMIL_CLASS(TfrxCustomPrinter, TObject)
public:
    TfrxCustomPrinter(const std::string& name, const std::string& port);
    ~TfrxCustomPrinter() override;

    virtual void Init() = 0;
    virtual void Abort() = 0;
    virtual void BeginDoc() = 0;
    virtual void BeginPage() = 0;
    virtual void BeginRAWDoc() = 0;
    virtual void EndDoc() = 0;
    virtual void EndPage() = 0;
    virtual void EndRAWDoc() = 0;
    virtual void WriteRAW(const std::string& s) = 0;
    virtual void SetViewParams(
        int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight) = 0;
    virtual void SetPrintParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight,
        int bin, int copies, int duplex) = 0;
    virtual void PropertiesDlg() = 0;

    int BinIndex(int bin) const;
    int PaperIndex(int paper) const;
    int BinNameToNumber(const std::string& name) const;
    int PaperNameToNumber(const std::string& name) const;

    const std::string& Name() const noexcept { return FName; }
    const std::string& Port() const noexcept { return FPort; }
    TStringList* Bins() const noexcept { return FBins.get(); }
    TStringList* Papers() const noexcept { return FPapers.get(); }
    TfrxPrinterCanvas* Canvas() const noexcept { return FCanvas.get(); }
    bool Initialized() const noexcept { return FInitialized; }
    int DefPaper() const noexcept { return FDefPaper; }
    TPrinterOrientation DefOrientation() const noexcept { return FDefOrientation; }
    double DefPaperWidth() const noexcept { return FDefPaperWidth; }
    double DefPaperHeight() const noexcept { return FDefPaperHeight; }
    int DPIX() const noexcept { return FDPIX; }
    int DPIY() const noexcept { return FDPIY; }
    int Paper() const noexcept { return FPaper; }
    TPrinterOrientation Orientation() const noexcept { return FOrientation; }
    double PaperWidth() const noexcept { return FPaperWidth; }
    double PaperHeight() const noexcept { return FPaperHeight; }
    double LeftMargin() const noexcept { return FLeftMargin; }
    double TopMargin() const noexcept { return FTopMargin; }
    double RightMargin() const noexcept { return FRightMargin; }
    double BottomMargin() const noexcept { return FBottomMargin; }
    int Bin() const noexcept { return FBin; }
    void SetBin(int v) noexcept { FBin = v; }
    const std::string& FileName() const noexcept { return FFileName; }
    void SetFileName(const std::string& v) { FFileName = v; }
    const std::string& Title() const noexcept { return FTitle; }
    void SetTitle(const std::string& v) { FTitle = v; }
    bool Printing() const noexcept { return FPrinting; }

protected:
    std::string FName, FPort;
    std::unique_ptr<TStringList> FBins, FPapers;
    std::unique_ptr<TfrxPrinterCanvas> FCanvas;
    bool FInitialized = false;
    int FDefPaper = DMPAPER_A4;
    TPrinterOrientation FDefOrientation = poPortrait;
    double FDefPaperWidth = 0, FDefPaperHeight = 0;
    int FDPIX = 0, FDPIY = 0;
    int FPaper = 0;
    TPrinterOrientation FOrientation = poPortrait;
    double FPaperWidth = 0, FPaperHeight = 0;
    double FLeftMargin = 0, FTopMargin = 0, FRightMargin = 0, FBottomMargin = 0;
    int FBin = -1;
    std::string FFileName, FTitle;
    bool FPrinting = false;
};

// The printer used when none is installed: 600 dpi, A4, 5 mm margins; documents do nothing.
class TfrxVirtualPrinter : public TfrxCustomPrinter {
    KAROMIL_CLASS(TfrxVirtualPrinter, TfrxCustomPrinter)
public:
    using TfrxCustomPrinter::TfrxCustomPrinter;
    void Init() override;
    void Abort() override {}
    void BeginDoc() override {}
    void BeginPage() override {}
    void BeginRAWDoc() override {}
    void EndDoc() override {}
    void EndPage() override {}
    void EndRAWDoc() override {}
    void WriteRAW(const std::string&) override {}
    void SetViewParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight) override;
    void SetPrintParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight, int bin,
        int copies, int duplex) override;
    void PropertiesDlg() override {}
};

// An installed printer, over the platform's print back end.
class TfrxPrinter : public TfrxCustomPrinter {
    KAROMIL_CLASS(TfrxPrinter, TfrxCustomPrinter)
public:
    TfrxPrinter(const std::string& name, const std::string& port);
    ~TfrxPrinter() override;
    void Init() override;
    void Abort() override;
    void BeginDoc() override;
    void BeginPage() override;
    void BeginRAWDoc() override;
    void EndDoc() override;
    void EndPage() override;
    void EndRAWDoc() override;
    void WriteRAW(const std::string& s) override;
    void SetViewParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight) override;
    void SetPrintParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight, int bin,
        int copies, int duplex) override;
    void PropertiesDlg() override;

    // The settings record (false when the printer's capabilities could not be had).
    bool HasDevMode() const noexcept { return FHasDevMode; }
    const TDevMode& DevMode() const noexcept { return FDevMode; }
    const TPrinterCaps& Capabilities() const noexcept { return FCaps; }

private:
    void UpdatePageMetrics();
    void RequireDevMode() const;
    TPrinterCaps FCaps;
    TDevMode FDevMode;
    bool FHasDevMode = false;
    std::unique_ptr<TPrintDocument> FDocument;
    bool FPageOpen = false;
    bool FRawOpen = false;
    std::string FRaw;
};

// The properties dialog of a printer, registered by the window layer: answers true when the
// user confirmed, with the chosen paper source in bin.
using TfrxPrinterPropertiesDialog = std::function<bool(TfrxPrinter* printer, int& bin)>;
void frxSetPrinterPropertiesDialog(TfrxPrinterPropertiesDialog dialog);

class TfrxPrinters : public TObject {
    KAROMIL_CLASS(TfrxPrinters, TObject)
public:
    TfrxPrinters();
    ~TfrxPrinters() override;
    TfrxCustomPrinter* GetItem(int index) const;  // EListError outside the list
    TfrxCustomPrinter* Items(int index) const { return GetItem(index); }
    int Count() const noexcept { return int(FPrinters.size()); }
    int IndexOf(const std::string& name) const;
    int PrinterIndex() const noexcept { return FPrinterIndex; }
    void SetPrinterIndex(int value);
    TfrxCustomPrinter* GetCurrentPrinter() const { return GetItem(FPrinterIndex); }
    TStringList* Printers() const noexcept { return FPrinterNames.get(); }
    bool HasPhysicalPrinters() const noexcept { return FHasPhysicalPrinters; }

private:
    std::vector<std::unique_ptr<TfrxCustomPrinter>> FPrinters;
    std::unique_ptr<TStringList> FPrinterNames;
    int FPrinterIndex = -1;
    bool FHasPhysicalPrinters = false;
};

// The one printer list, enumerated on first use.
TfrxPrinters* frxGetPrinters();
// Frees the list, so the next use enumerates again (after the back end changed).
void frxFreePrinters();
