// The CUPS back end: destinations and their media and sources from libcups, documents drawn
// into a PDF at the printer's resolution and submitted as a CUPS job.
//
// Decisions: the resolution is 600 dpi (output is PDF; it equals the text engine's measuring
// resolution); only base destinations are listed (instances are per-user option presets);
// a job takes the first page's paper, source and sides, since one CUPS job can not change
// them per page portably; copies are the job's "copies"; "print-scaling=none" keeps official
// forms at their exact positions.

#include <cups/cups.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/printing/CupsMapping.h"
#include "platform/printing/PdfPages.h"
#include "platform/printing/Printing.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ScopeGuard.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::string CupsError(const std::string& what) {
    const char* detail = cupsLastErrorString();
    return what + (detail && *detail ? std::string(": ") + detail : std::string());
}

struct TDest {
    cups_dest_t* dest = nullptr;
    cups_dinfo_t* info = nullptr;
    explicit TDest(const std::string& name) {
        dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
        if (dest) info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    }
    ~TDest() {
        if (info) cupsFreeDestInfo(info);
        if (dest) cupsFreeDests(1, dest);
    }
    TDest(const TDest&) = delete;
    TDest& operator=(const TDest&) = delete;
};

TCupsSize FromCups(const cups_size_t& s, const std::string& name) {
    TCupsSize c;
    c.Media = s.media;
    c.Name = name;
    c.Width = s.width;
    c.Length = s.length;
    c.Left = s.left;
    c.Bottom = s.bottom;
    c.Right = s.right;
    c.Top = s.top;
    return c;
}

// Sends a finished file as one job; raises on every failure and cancels a half-sent job.
int SubmitFile(const std::string& printer, const std::string& title, const std::string& file, const char* format,
    const std::vector<std::pair<std::string, std::string>>& options) {
    int num = 0;
    cups_option_t* opts = nullptr;
    auto freeOpts = OnScopeExit([&] { cupsFreeOptions(num, opts); });
    for (const auto& [k, v] : options) num = cupsAddOption(k.c_str(), v.c_str(), num, &opts);

    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), num, opts);
    if (job <= 0) throw Exception(CupsError("Tiskovou úlohu nelze založit"));
    auto cancel = OnScopeExit([&] { cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0); });
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.c_str(), job, title.c_str(), format, 1) != HTTP_STATUS_CONTINUE)
        throw Exception(CupsError("Tiskovou úlohu nelze začít"));
    std::ifstream in(file, std::ios::binary);
    if (!in) throw Exception("Soubor \"" + file + "\" nelze otevřít.");
    std::vector<char> buf(64 * 1024);
    bool written = true;
    while (written && in) {
        in.read(buf.data(), std::streamsize(buf.size()));
        const std::streamsize n = in.gcount();
        if (n > 0 && cupsWriteRequestData(CUPS_HTTP_DEFAULT, buf.data(), size_t(n)) != HTTP_STATUS_CONTINUE)
            written = false;
    }
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.c_str());
    if (!written || in.bad() || finished > IPP_STATUS_OK_EVENTS_COMPLETE)
        throw Exception(CupsError("Tiskovou úlohu se nepodařilo odeslat"));
    cancel.Release();
    // A job the server already refused or cancelled is a failure, not a print.
    cups_job_t* jobs = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, printer.c_str(), 0, CUPS_WHICHJOBS_ALL);
    std::optional<ipp_jstate_t> state;
    for (int i = 0; i < n; ++i)
        if (jobs[i].id == job) state = jobs[i].state;
    cupsFreeJobs(n, jobs);
    if (state == IPP_JSTATE_ABORTED) throw Exception("Tisková úloha " + std::to_string(job) + " selhala.");
    if (state == IPP_JSTATE_CANCELED) throw Exception("Tisková úloha " + std::to_string(job) + " byla zrušena.");
    return job;
}

class TCupsDocument final : public TPrintDocument {
public:
    TCupsDocument(const std::string& printer, const TPrinterCaps& caps, const TDocInfo& info)
        : FPrinter(printer), FCaps(caps), FInfo(info), FFile(CreateTempFile(GetTempDir(), "fr")),
          FPages(std::make_unique<TPdfPages>(FFile, FCaps, info.Title)) {}
    ~TCupsDocument() override { Abort(); }

    void BeginPage(const TDevMode& mode, TCanvas* canvas) override {
        if (FPages->PageCount() == 0) FFirst = mode;
        FPages->BeginPage(mode, canvas);
    }
    void EndPage(TCanvas* canvas) override { FPages->EndPage(canvas); }

    void EndDoc() override {
        auto discard = OnScopeExit([&] { Abort(); });
        if (!FPages->Finish()) throw Exception("Tiskový dokument se nepodařilo zapsat.");
        FPages.reset();
        if (!FInfo.OutputFile.empty()) {
            // Print to file: the document itself, as Linux has no per-job driver output.
            std::error_code ec;
            std::filesystem::copy_file(FFile, FInfo.OutputFile, std::filesystem::copy_options::overwrite_existing, ec);
            if (ec) throw Exception("Soubor \"" + FInfo.OutputFile + "\" nelze zapsat: " + ec.message());
            return;
        }
        const TPaperSpec paper = ResolvePaper(FCaps, FFirst);
        std::vector<std::pair<std::string, std::string>> options{
            {"media", CupsMediaForPaper(paper)},
            {"sides", CupsSidesForDuplex(FFirst.dmDuplex)},
            {"copies", std::to_string(std::max(1, FFirst.dmCopies))},
            {"print-scaling", "none"},
        };
        const std::string source = CupsSourceForBin(FCaps.Bins, FFirst.dmDefaultSource);
        if (!source.empty()) options.emplace_back("media-source", source);
        SubmitFile(FPrinter, FInfo.Title, FFile, CUPS_FORMAT_PDF, options);
    }

    void Abort() noexcept override {
        FPages.reset();
        if (!FFile.empty()) {
            std::error_code ec;  // a file already gone is what we want
            std::filesystem::remove(FFile, ec);
            FFile.clear();
        }
    }

private:
    std::string FPrinter;
    TPrinterCaps FCaps;
    TDocInfo FInfo;
    std::string FFile;
    std::unique_ptr<TPdfPages> FPages;
    TDevMode FFirst;
};

class TCupsBackend final : public TPrintBackend {
public:
    std::vector<TPrinterEntry> EnumPrinters() override {
        cups_dest_t* dests = nullptr;
        const int n = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
        auto free = OnScopeExit([&] { cupsFreeDests(n, dests); });
        std::vector<TPrinterEntry> out;
        for (int i = 0; i < n; ++i) {
            if (dests[i].instance) continue;
            TPrinterEntry e;
            e.Name = dests[i].name;
            const char* where = cupsGetOption("printer-location", dests[i].num_options, dests[i].options);
            if (!where || !*where) where = cupsGetOption("device-uri", dests[i].num_options, dests[i].options);
            e.Port = where ? where : "";
            e.IsDefault = dests[i].is_default != 0;
            out.push_back(std::move(e));
        }
        return out;
    }

    bool Capabilities(const std::string& printer, TPrinterCaps& caps) override {
        TDest d(printer);
        if (!d.dest || !d.info) return false;
        const unsigned flags = CUPS_MEDIA_FLAGS_DEFAULT;
        std::vector<TCupsSize> sizes;
        const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, d.dest, d.info, flags);
        for (int i = 0; i < count; ++i) {
            cups_size_t s;
            if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, d.dest, d.info, i, flags, &s)) continue;
            const char* name = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, d.dest, d.info, flags, &s);
            sizes.push_back(FromCups(s, name ? name : ""));
        }
        TPrinterCaps c;
        c.Papers = PapersFromCupsSizes(sizes);
        if (c.Papers.empty()) return false;
        std::vector<std::pair<std::string, std::string>> sources;
        if (ipp_attribute_t* a = cupsFindDestSupported(CUPS_HTTP_DEFAULT, d.dest, d.info, "media-source")) {
            for (int i = 0; i < ippGetCount(a); ++i) {
                const char* k = ippGetString(a, i, nullptr);
                if (!k) continue;
                const char* name = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, d.dest, d.info, "media-source", k);
                sources.emplace_back(k, name ? name : k);
            }
        }
        c.Bins = BinsFromCupsSources(sources);
        c.Defaults.dmPaperSize = c.Papers.front().Code;
        // The printer's own default first; libcups's helper falls back to the locale's paper.
        std::string defMedia;
        if (ipp_attribute_t* a = cupsFindDestDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, "media"))
            if (const char* m = ippGetString(a, 0, nullptr)) defMedia = m;
        cups_size_t def;
        if (defMedia.empty() && cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, d.dest, d.info, flags, &def))
            defMedia = def.media;
        for (const TPaperSpec& p : c.Papers)
            if (p.Media == defMedia) {
                c.Defaults.dmPaperSize = p.Code;
                break;
            }
        c.Defaults.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX;
        c.DpiX = c.DpiY = 600;
        caps = std::move(c);
        return true;
    }

    std::unique_ptr<TPrintDocument> BeginDoc(
        const std::string& printer, const TPrinterCaps& caps, const TDocInfo& info) override {
        return std::make_unique<TCupsDocument>(printer, caps, info);
    }

    void WriteRaw(const std::string& printer, const std::string& title, const std::string& bytes) override {
        const std::string file = CreateTempFile(GetTempDir(), "fr");
        auto remove = OnScopeExit([&] {
            std::error_code ec;
            std::filesystem::remove(file, ec);
        });
        {
            std::ofstream out(file, std::ios::binary);
            out.write(bytes.data(), std::streamsize(bytes.size()));
            if (!out) throw Exception("Soubor \"" + file + "\" nelze zapsat.");
        }
        SubmitFile(printer, title, file, CUPS_FORMAT_RAW, {});
    }
};

}  // namespace

std::unique_ptr<TPrintBackend> CreateCupsBackend() { return std::make_unique<TCupsBackend>(); }
