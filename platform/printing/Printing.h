#pragma once
// The printer layer of the platform: printers, their capabilities, a settings record in the
// shape of the Windows device mode, page metrics and documents. A back end answers all of it:
// CUPS on a real system, "none" when printing is unavailable, a recording one for tests.
//
// Units: paper sizes and margins in millimetres (double) unless a name says otherwise; device
// pixels at the printer's resolution. A document's pages are drawn through a TCanvas whose
// origin is the printable area, as on a Windows printer device context.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCanvas;

// --- the settings record (Windows DEVMODE fields the report layer uses) ---------------------

enum : uint32_t {
    DM_ORIENTATION = 0x1,
    DM_PAPERSIZE = 0x2,
    DM_PAPERLENGTH = 0x4,
    DM_PAPERWIDTH = 0x8,
    DM_COPIES = 0x100,
    DM_DEFAULTSOURCE = 0x200,
    DM_DUPLEX = 0x1000,
};
enum : int { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
enum : int { DMPAPER_A4 = 9, DMPAPER_USER = 256, DMBIN_AUTO = 7 };
enum : int { DMDUP_SIMPLEX = 1, DMDUP_VERTICAL = 2, DMDUP_HORIZONTAL = 3 };

struct TDevMode {
    uint32_t dmFields = 0;
    int dmOrientation = DMORIENT_PORTRAIT;
    int dmPaperSize = DMPAPER_A4;
    int dmPaperLength = 0;  // tenths of a mm, portrait height; with DMPAPER_USER
    int dmPaperWidth = 0;  // tenths of a mm, portrait width
    int dmCopies = 1;
    int dmDefaultSource = DMBIN_AUTO;
    int dmDuplex = DMDUP_SIMPLEX;
    friend bool operator==(const TDevMode&, const TDevMode&) = default;
};

// --- the Windows paper-code table ------------------------------------------------------------

struct TPaperCode {
    int Code;
    int Width, Height;  // tenths of a mm, portrait
};
// The 66 codes (48 and 49 are absent), in code order.
const std::vector<TPaperCode>& WindowsPaperTable();
// nullptr when the code is not in the table.
const TPaperCode* FindWindowsPaper(int code);
// The name a user knows a paper of the table by ("A4", "Letter", "Obálka DL"), the same with or
// without a printer; "" for a code outside the table.
std::string WindowsPaperName(int code);

// --- capabilities ------------------------------------------------------------------------------

struct TPaperSpec {
    int Code = 0;  // Windows code, or a printer-local code from 257 up
    std::string Name;  // shown to the user
    std::string Media;  // the back end's own name of the size (a PWG name on CUPS)
    double Width = 0, Height = 0;  // mm, portrait
    double Left = 0, Top = 0, Right = 0, Bottom = 0;  // unprintable margins, mm, portrait
};
struct TBinSpec {
    int Number = DMBIN_AUTO;  // Windows bin number, or a printer-local number from 257 up
    std::string Name;
    std::string Keyword;  // the back end's own name (a media-source keyword on CUPS)
};
// Lists are capped like the Windows capability buffers, without their overflow.
constexpr size_t kMaxCapabilityEntries = 256;

struct TPrinterCaps {
    std::vector<TPaperSpec> Papers;  // never empty once answered
    std::vector<TBinSpec> Bins;  // may be empty
    TDevMode Defaults;
    int DpiX = 600, DpiY = 600;
};

// GetDeviceCaps of a printer device context for the given settings, in device pixels.
struct TPageMetrics {
    int LogPixelsX = 600, LogPixelsY = 600;
    int PhysicalWidth = 0, PhysicalHeight = 0;  // the sheet as oriented
    int PhysicalOffsetX = 0, PhysicalOffsetY = 0;  // unprintable left and top
    int HorzRes = 0, VertRes = 0;  // the printable area
};
// What a page looks like under mode: its paper (by code, or the custom size of dmPaperWidth/
// dmPaperLength with the default paper's margins), turned for landscape. Turning a sheet to
// landscape puts its portrait bottom edge on the left and its portrait left edge at the top.
TPageMetrics MeasurePage(const TPrinterCaps& caps, const TDevMode& mode);
// The paper mode asks for: the listed one with its code, else a custom one (Code 256) whose
// margins are the default paper's. An unlisted non-custom code measures the default paper.
TPaperSpec ResolvePaper(const TPrinterCaps& caps, const TDevMode& mode);

// --- printers, documents and the back end --------------------------------------------------

struct TPrinterEntry {
    std::string Name;
    std::string Port;  // "Where:": the printer's location, else its device address
    bool IsDefault = false;
};

// A document in progress. Pages are drawn through a canvas attached by BeginPage; EndDoc hands
// the document over and raises when that fails, Abort throws it away.
class TPrintDocument {
public:
    virtual ~TPrintDocument();
    // Starts a page laid out by mode and attaches canvas to it (origin: the printable area,
    // resolution: the printer's).
    virtual void BeginPage(const TDevMode& mode, TCanvas* canvas) = 0;
    virtual void EndPage(TCanvas* canvas) = 0;
    virtual void EndDoc() = 0;
    virtual void Abort() noexcept = 0;
};

struct TDocInfo {
    std::string Title;
    std::string OutputFile;  // print to this file instead of the printer
};

class TPrintBackend {
public:
    virtual ~TPrintBackend();
    // The printers in a stable order.
    virtual std::vector<TPrinterEntry> EnumPrinters() = 0;
    // False when the printer's capabilities can not be had (the printer stays uninitialised).
    virtual bool Capabilities(const std::string& printer, TPrinterCaps& caps) = 0;
    virtual std::unique_ptr<TPrintDocument> BeginDoc(
        const std::string& printer, const TPrinterCaps& caps, const TDocInfo& info) = 0;
    // Raw bytes as a one-page document of data type RAW.
    virtual void WriteRaw(const std::string& printer, const std::string& title, const std::string& bytes) = 0;
};

// The process's back end: CUPS unless one was installed; the installer keeps ownership.
TPrintBackend* PrintBackend();
void SetPrintBackend(TPrintBackend* backend);

// Back ends.
std::unique_ptr<TPrintBackend> CreateCupsBackend();
std::unique_ptr<TPrintBackend> CreateNoPrintBackend();
