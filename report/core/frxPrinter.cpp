#include "report/core/frxPrinter.h"

#include <cmath>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/Strings.h"
#include "report/core/frxRes.h"

KAROMIL_IMPLEMENT_CLASS(TfrxPrinterCanvas, TCanvas)
KAROMIL_IMPLEMENT_CLASS(TfrxCustomPrinter, TObject)
KAROMIL_IMPLEMENT_CLASS(TfrxVirtualPrinter, TfrxCustomPrinter)
KAROMIL_IMPLEMENT_CLASS(TfrxPrinter, TfrxCustomPrinter)
KAROMIL_IMPLEMENT_CLASS(TfrxPrinters, TObject)

// --- paper table -------------------------------------------------------------------------------

const std::vector<TfrxPaperInfo>& frxPaperSizes() {
    // One table with the platform, which maps printer sizes to the same codes.
    static const std::vector<TfrxPaperInfo> kTable = [] {
        std::vector<TfrxPaperInfo> t;
        // Deliberate fix: each paper carries its name. With empty names every entry looked
        // alike, so a name search found the first paper (Letter) and the page settings turned
        // an A4 page into Letter when no printer is installed.
        for (const TPaperCode& p : WindowsPaperTable())
            t.push_back({p.Code, WindowsPaperName(p.Code), p.Width, p.Height});
        return t;
    }();
    return kTable;
}

void frxGetPaperDimensions(int code, double& width, double& height) {
    for (const TfrxPaperInfo& p : frxPaperSizes())
        if (p.Typ == code) {
            width = p.X / 10.0;
            height = p.Y / 10.0;
            return;
        }
}

// --- printer canvas ------------------------------------------------------------------------------

void TfrxPrinterCanvas::UpdateFont() {
    const int dpi = FPrinter ? FPrinter->DPIY() : 0;
    TFont* font = Font();
    if (dpi <= 0 || font->PixelsPerInch() == dpi) return;
    const int size = font->GetSize();
    font->SetPixelsPerInch(dpi);
    font->SetSize(size);
}

void TfrxPrinterCanvas::Changing() {
    UpdateFont();
    inherited::Changing();
}

// --- the abstract printer --------------------------------------------------------------------------

TfrxCustomPrinter::TfrxCustomPrinter(const std::string& name, const std::string& port)
    : FName(name), FPort(port), FBins(std::make_unique<TStringList>()), FPapers(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TfrxPrinterCanvas>(this)) {
    FBins->AddObjectAsInt(frxGetResources()->Get("prDefault"), DMBIN_AUTO);
    FPapers->AddObjectAsInt(frxGetResources()->Get("prCustom"), DMPAPER_USER);
}

TfrxCustomPrinter::~TfrxCustomPrinter() = default;

int TfrxCustomPrinter::BinIndex(int bin) const {
    for (int i = 0; i < FBins->Count(); ++i)
        if (FBins->ObjectsAsInt(i) == bin) return i;
    return -1;
}

int TfrxCustomPrinter::PaperIndex(int paper) const {
    for (int i = 0; i < FPapers->Count(); ++i)
        if (FPapers->ObjectsAsInt(i) == paper) return i;
    return -1;
}

int TfrxCustomPrinter::BinNameToNumber(const std::string& name) const {
    const int i = FBins->IndexOf(name);
    return int(FBins->ObjectsAsInt(i < 0 ? 0 : i));
}

int TfrxCustomPrinter::PaperNameToNumber(const std::string& name) const {
    const int i = FPapers->IndexOf(name);
    return int(FPapers->ObjectsAsInt(i < 0 ? 0 : i));
}

// --- the virtual printer --------------------------------------------------------------------------

void TfrxVirtualPrinter::Init() {
    if (FInitialized) return;
    FDPIX = FDPIY = 600;
    FDefPaper = DMPAPER_A4;
    FDefOrientation = poPortrait;
    FDefPaperWidth = 210;
    FDefPaperHeight = 297;
    for (const TfrxPaperInfo& p : frxPaperSizes()) FPapers->AddObjectAsInt(p.Name, p.Typ);
    FBin = -1;
    FInitialized = true;
}

void TfrxVirtualPrinter::SetViewParams(
    int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight) {
    if (paperSize != DMPAPER_USER) {
        bool found = false;
        for (const TfrxPaperInfo& p : frxPaperSizes())
            if (p.Typ == paperSize) {
                found = true;
                paperWidth = p.X / 10.0;
                paperHeight = p.Y / 10.0;
                if (orientation == poLandscape) std::swap(paperWidth, paperHeight);
            }
        if (!found) paperSize = DMPAPER_USER;
    }
    FOrientation = orientation;
    FPaper = paperSize;
    FPaperWidth = paperWidth;
    FPaperHeight = paperHeight;
    FLeftMargin = FTopMargin = FRightMargin = FBottomMargin = 5;
}

void TfrxVirtualPrinter::SetPrintParams(
    int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight, int bin, int, int) {
    SetViewParams(paperSize, orientation, paperWidth, paperHeight);
    FBin = bin;
}

// --- a real printer -----------------------------------------------------------------------------------

namespace {
TfrxPrinterPropertiesDialog& PropertiesDialog() {
    static TfrxPrinterPropertiesDialog dialog;
    return dialog;
}
}  // namespace

void frxSetPrinterPropertiesDialog(TfrxPrinterPropertiesDialog dialog) { PropertiesDialog() = std::move(dialog); }

TfrxPrinter::TfrxPrinter(const std::string& name, const std::string& port) : TfrxCustomPrinter(name, port) {}

TfrxPrinter::~TfrxPrinter() {
    // A document still open when the printer goes is thrown away, never half-submitted.
    // The canvas lets go of the page's painter before the document that owns it goes.
    FCanvas->Detach();
    if (FDocument) FDocument->Abort();
}

void TfrxPrinter::Init() {
    if (FInitialized) return;
    TPrinterCaps caps;
    // Without capabilities the printer has no settings record and stays uninitialised.
    if (!PrintBackend()->Capabilities(FName, caps)) return;
    FCaps = std::move(caps);
    FDevMode = FCaps.Defaults;
    FHasDevMode = true;
    FDPIX = FCaps.DpiX;
    FDPIY = FCaps.DpiY;
    FCanvas->UpdateFont();
    const TPageMetrics m = MeasurePage(FCaps, FDevMode);
    FDefPaper = FDevMode.dmPaperSize;
    FDefPaperWidth = m.PhysicalWidth / double(FDPIX) * 25.4;
    FDefPaperHeight = m.PhysicalHeight / double(FDPIY) * 25.4;
    FDefOrientation = FDevMode.dmOrientation == DMORIENT_PORTRAIT ? poPortrait : poLandscape;
    for (const TPaperSpec& p : FCaps.Papers)
        if (p.Code != DMPAPER_USER) FPapers->AddObjectAsInt(p.Name, p.Code);
    for (const TBinSpec& b : FCaps.Bins)
        if (b.Number != DMBIN_AUTO) FBins->AddObjectAsInt(b.Name, b.Number);
    FInitialized = true;
}

void TfrxPrinter::RequireDevMode() const {
    // Sound: a printer that could not be opened refuses to print instead of printing nothing
    // and reporting success.
    if (!FHasDevMode) throw Exception("Tiskárna \"" + FName + "\" není dostupná.");
}

void TfrxPrinter::UpdatePageMetrics() {
    const TPageMetrics m = MeasurePage(FCaps, FDevMode);
    FDPIX = m.LogPixelsX;
    FDPIY = m.LogPixelsY;
    auto mmX = [&](int n) { return n / double(FDPIX) * 25.4; };
    auto mmY = [&](int n) { return n / double(FDPIY) * 25.4; };
    FPaperHeight = mmY(m.PhysicalHeight);
    FPaperWidth = mmX(m.PhysicalWidth);
    FLeftMargin = mmX(m.PhysicalOffsetX);
    FTopMargin = mmY(m.PhysicalOffsetY);
    FRightMargin = FPaperWidth - mmX(m.HorzRes) - FLeftMargin;
    FBottomMargin = FPaperHeight - mmY(m.VertRes) - FTopMargin;
    FCanvas->UpdateFont();
}

void TfrxPrinter::SetViewParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight) {
    if (paperSize == DMPAPER_USER) {
        SetViewParams(DMPAPER_A4, orientation, 0, 0);
        FPaperWidth = paperWidth;
        FPaperHeight = paperHeight;
    } else if (FHasDevMode) {
        FDevMode.dmFields = DM_ORIENTATION | DM_PAPERSIZE;
        FDevMode.dmPaperSize = paperSize;
        FDevMode.dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        UpdatePageMetrics();
    }
    FPaper = paperSize;
    FOrientation = orientation;
}

void TfrxPrinter::SetPrintParams(int paperSize, TPrinterOrientation orientation, double paperWidth, double paperHeight,
    int bin, int copies, int duplex) {
    if (!FHasDevMode) {
        FPaper = paperSize;
        FOrientation = orientation;
        return;
    }
    FDevMode.dmFields |= DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE;
    if (duplex != 1) FDevMode.dmFields |= DM_DUPLEX;
    if (paperSize == DMPAPER_USER) {
        FDevMode.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        // The record holds the portrait sheet; the orientation turns it. (Writing the oriented
        // sizes here as well would turn a landscape custom form twice.)
        double w = paperWidth, h = paperHeight;
        if (orientation == poLandscape) std::swap(w, h);
        FDevMode.dmPaperLength = int(std::lround(h * 10));
        FDevMode.dmPaperWidth = int(std::lround(w * 10));
    }
    FDevMode.dmPaperSize = paperSize;
    FDevMode.dmOrientation = orientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    FDevMode.dmCopies = copies;
    FDevMode.dmDefaultSource = FBin != -1 ? FBin : bin;
    if (duplex == 4) FDevMode.dmDuplex = DMDUP_SIMPLEX;
    else if (duplex == 2 || duplex == 3) FDevMode.dmDuplex = duplex;
    UpdatePageMetrics();
    FPaper = paperSize;
    FOrientation = orientation;
}

void TfrxPrinter::PropertiesDlg() {
    if (!FHasDevMode || !PropertiesDialog()) return;
    int bin = FDevMode.dmDefaultSource;
    if (PropertiesDialog()(this, bin)) {
        FDevMode.dmDefaultSource = bin;
        FBin = bin;
    }
}

void TfrxPrinter::BeginDoc() {
    RequireDevMode();
    if (FDocument) throw Exception("Tiskárna \"" + FName + "\" již tiskne.");
    FDocument = PrintBackend()->BeginDoc(FName, FCaps, TDocInfo{FTitle, FFileName});
    FPrinting = true;
}

void TfrxPrinter::BeginPage() {
    if (!FDocument) throw Exception("Tisk nebyl zahájen.");
    FCanvas->UpdateFont();
    FDocument->BeginPage(FDevMode, FCanvas.get());
    FPageOpen = true;
}

void TfrxPrinter::EndPage() {
    if (!FDocument || !FPageOpen) return;
    FPageOpen = false;
    FDocument->EndPage(FCanvas.get());
}

void TfrxPrinter::EndDoc() {
    // The document ends exactly once, also when handing it over fails; the error goes on.
    auto done = OnScopeExit([&] {
        FCanvas->Detach();
        FPageOpen = false;
        FDocument.reset();
        FPrinting = false;
        FBin = -1;
    });
    if (!FDocument) return;
    if (FPageOpen) FDocument->EndPage(FCanvas.get());
    FPageOpen = false;
    FDocument->EndDoc();
}

void TfrxPrinter::Abort() {
    // Sound: an aborted document is thrown away and ended once; nothing reaches the printer.
    FCanvas->Detach();
    if (FDocument) FDocument->Abort();
    FPageOpen = false;
    FDocument.reset();
    FPrinting = false;
    FBin = -1;
}

void TfrxPrinter::BeginRAWDoc() {
    RequireDevMode();
    FRaw.clear();
    FRawOpen = true;
}

void TfrxPrinter::WriteRAW(const std::string& s) {
    if (!FRawOpen) throw Exception("Tisk nebyl zahájen.");
    FRaw += s;
}

void TfrxPrinter::EndRAWDoc() {
    if (!FRawOpen) return;
    FRawOpen = false;
    std::string bytes;
    bytes.swap(FRaw);
    PrintBackend()->WriteRaw(FName, FTitle, bytes);
}

// --- the printer list ---------------------------------------------------------------------------------

TfrxPrinters::TfrxPrinters() : FPrinterNames(std::make_unique<TStringList>()) {
    std::string defaultName;
    for (const TPrinterEntry& e : PrintBackend()->EnumPrinters()) {
        FPrinters.push_back(std::make_unique<TfrxPrinter>(e.Name, e.Port));
        FPrinterNames->Add(e.Name);
        if (e.IsDefault && defaultName.empty()) defaultName = e.Name;
    }
    if (!FPrinters.empty()) {
        FHasPhysicalPrinters = true;
        int index = IndexOf(defaultName);
        // Sound: with printers but no default one, the first printer is current; leaving -1
        // would make every print and page set-up fail with a list-index error.
        if (index < 0) index = 0;
        SetPrinterIndex(index);
    } else {
        FPrinters.push_back(std::make_unique<TfrxVirtualPrinter>(frxGetResources()->Get("prVirtual"), ""));
        FPrinterNames->Add(FPrinters.back()->Name());
        FHasPhysicalPrinters = false;
        SetPrinterIndex(0);
    }
}

TfrxPrinters::~TfrxPrinters() = default;

TfrxCustomPrinter* TfrxPrinters::GetItem(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FPrinters[size_t(index)].get();
}

int TfrxPrinters::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FPrinters[size_t(i)]->Name(), name)) return i;
    return -1;
}

void TfrxPrinters::SetPrinterIndex(int value) {
    if (value != -1) GetItem(value)->Init();
    FPrinterIndex = value;
}

namespace {
std::unique_ptr<TfrxPrinters>& PrintersInstance() {
    static std::unique_ptr<TfrxPrinters> instance;
    return instance;
}
}  // namespace

TfrxPrinters* frxGetPrinters() {
    auto& p = PrintersInstance();
    if (!p) p = std::make_unique<TfrxPrinters>();
    return p.get();
}

void frxFreePrinters() { PrintersInstance().reset(); }
