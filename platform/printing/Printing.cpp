#include "platform/printing/Printing.h"

#include <cmath>
#include <iterator>

#include "platform/rtl/Exceptions.h"

const std::vector<TPaperCode>& WindowsPaperTable() {
    static const std::vector<TPaperCode> kTable{
        {1, 2159, 2794},
        {2, 2159, 2794},
        {3, 2794, 4318},
        {4, 4318, 2794},
        {5, 2159, 3556},
        {6, 1397, 2159},
        {7, 1842, 2667},
        {8, 2970, 4200},
        {9, 2100, 2970},
        {10, 2100, 2970},
        {11, 1480, 2100},
        {12, 2500, 3540},
        {13, 1820, 2570},
        {14, 2159, 3302},
        {15, 2150, 2750},
        {16, 2540, 3556},
        {17, 2794, 4318},
        {18, 2159, 2794},
        {19, 984, 2254},
        {20, 1048, 2413},
        {21, 1143, 2635},
        {22, 1207, 2794},
        {23, 1270, 2921},
        {24, 4318, 5588},
        {25, 5588, 8636},
        {26, 8636, 11176},
        {27, 1100, 2200},
        {28, 1620, 2290},
        {29, 3240, 4580},
        {30, 2290, 3240},
        {31, 1140, 1620},
        {32, 1140, 2290},
        {33, 2500, 3530},
        {34, 1760, 2500},
        {35, 1760, 1250},
        {36, 1100, 2300},
        {37, 984, 1905},
        {38, 920, 1651},
        {39, 3778, 2794},
        {40, 2159, 3048},
        {41, 2159, 3302},
        {42, 2500, 3530},
        {43, 1000, 1480},
        {44, 2286, 2794},
        {45, 2540, 2794},
        {46, 3810, 2794},
        {47, 2200, 2200},
        {50, 2355, 3048},
        {51, 2355, 3810},
        {52, 2969, 4572},
        {53, 2354, 3223},
        {54, 2101, 2794},
        {55, 2100, 2970},
        {56, 2355, 3048},
        {57, 2270, 3560},
        {58, 3050, 4870},
        {59, 2159, 3223},
        {60, 2100, 3300},
        {61, 1480, 2100},
        {62, 1820, 2570},
        {63, 3220, 4450},
        {64, 1740, 2350},
        {65, 2010, 2760},
        {66, 4200, 5940},
        {67, 2970, 4200},
        {68, 3220, 4450},
    };
    return kTable;
}

const TPaperCode* FindWindowsPaper(int code) {
    for (const TPaperCode& p : WindowsPaperTable())
        if (p.Code == code) return &p;
    return nullptr;
}

std::string WindowsPaperName(int code) {
    static const char* const kNames[] = {"Letter", "Letter Small", "Tabloid", "Ledger", "Legal", "Statement",
        "Executive", "A3", "A4", "A4 Small", "A5", "B4 (JIS)", "B5 (JIS)", "Folio", "Quarto", "10×14 in", "11×17 in",
        "Note", "Obálka #9", "Obálka #10", "Obálka #11", "Obálka #12", "Obálka #14", "Arch C", "Arch D", "Arch E",
        "Obálka DL", "Obálka C5", "Obálka C3", "Obálka C4", "Obálka C6", "Obálka C65", "Obálka B4", "Obálka B5",
        "Obálka B6", "Obálka Italy", "Obálka Monarch", "Obálka 6 3/4", "US Std Fanfold", "German Std Fanfold",
        "German Legal Fanfold", "B4 (ISO)", "Japonská pohlednice", "9×11 in", "10×11 in", "15×11 in", "Obálka Invite",
        "", "", "Letter Extra", "Legal Extra", "Tabloid Extra", "A4 Extra", "Letter na šířku", "A4 na šířku",
        "Letter Extra na šířku", "Super A", "Super B", "Letter Plus", "A4 Plus", "A5 na šířku", "B5 (JIS) na šířku",
        "A3 Extra", "A5 Extra", "B5 (ISO) Extra", "A2", "A3 na šířku", "A3 Extra na šířku"};
    if (code < 1 || code > int(std::size(kNames))) return "";
    return kNames[code - 1];
}

TPaperSpec ResolvePaper(const TPrinterCaps& caps, const TDevMode& mode) {
    if (caps.Papers.empty()) throw Exception("Tiskárna nemá žádný formát papíru.");
    const TPaperSpec& def = caps.Papers.front();
    if (mode.dmPaperSize == DMPAPER_USER && mode.dmPaperWidth > 0 && mode.dmPaperLength > 0) {
        TPaperSpec p = def;
        p.Code = DMPAPER_USER;
        p.Name.clear();
        p.Media.clear();
        p.Width = mode.dmPaperWidth / 10.0;
        p.Height = mode.dmPaperLength / 10.0;
        return p;
    }
    for (const TPaperSpec& p : caps.Papers)
        if (p.Code == mode.dmPaperSize) return p;
    for (const TPaperSpec& p : caps.Papers)
        if (p.Code == caps.Defaults.dmPaperSize) return p;
    return def;
}

TPageMetrics MeasurePage(const TPrinterCaps& caps, const TDevMode& mode) {
    const TPaperSpec p = ResolvePaper(caps, mode);
    double w = p.Width, h = p.Height, l = p.Left, t = p.Top, r = p.Right, b = p.Bottom;
    if (mode.dmOrientation == DMORIENT_LANDSCAPE) {
        std::swap(w, h);
        const double l0 = l, t0 = t, r0 = r, b0 = b;
        l = b0;
        t = l0;
        r = t0;
        b = r0;
    }
    auto px = [](double mm, int dpi) { return int(std::lround(mm * dpi / 25.4)); };
    TPageMetrics m;
    m.LogPixelsX = caps.DpiX;
    m.LogPixelsY = caps.DpiY;
    m.PhysicalWidth = px(w, caps.DpiX);
    m.PhysicalHeight = px(h, caps.DpiY);
    m.PhysicalOffsetX = px(l, caps.DpiX);
    m.PhysicalOffsetY = px(t, caps.DpiY);
    m.HorzRes = m.PhysicalWidth - m.PhysicalOffsetX - px(r, caps.DpiX);
    m.VertRes = m.PhysicalHeight - m.PhysicalOffsetY - px(b, caps.DpiY);
    return m;
}

TPrintDocument::~TPrintDocument() = default;
TPrintBackend::~TPrintBackend() = default;

namespace {

// No printing on this system: no printers, so the report layer uses its virtual printer.
class TNoPrintBackend final : public TPrintBackend {
public:
    std::vector<TPrinterEntry> EnumPrinters() override { return {}; }
    bool Capabilities(const std::string&, TPrinterCaps&) override { return false; }
    std::unique_ptr<TPrintDocument> BeginDoc(
        const std::string& printer, const TPrinterCaps&, const TDocInfo&) override {
        throw Exception("Tiskárna \"" + printer + "\" není k dispozici.");
    }
    void WriteRaw(const std::string& printer, const std::string&, const std::string&) override {
        throw Exception("Tiskárna \"" + printer + "\" není k dispozici.");
    }
};

TPrintBackend* gInstalled = nullptr;

}  // namespace

std::unique_ptr<TPrintBackend> CreateNoPrintBackend() { return std::make_unique<TNoPrintBackend>(); }

TPrintBackend* PrintBackend() {
    if (gInstalled) return gInstalled;
    static const std::unique_ptr<TPrintBackend> cups = CreateCupsBackend();
    return cups.get();
}

void SetPrintBackend(TPrintBackend* backend) { gInstalled = backend; }
