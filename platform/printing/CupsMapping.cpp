#include "platform/printing/CupsMapping.h"

#include <cmath>
#include <cstdio>

int WindowsPaperCodeForSize(int widthHundredths, int lengthHundredths) {
    // Table sizes are in tenths of a mm; 0.5 mm is 50 hundredths.
    for (const TPaperCode& p : WindowsPaperTable())
        if (std::abs(p.Width * 10 - widthHundredths) <= 50 && std::abs(p.Height * 10 - lengthHundredths) <= 50)
            return p.Code;
    return 0;
}

int WindowsBinForKeyword(const std::string& k) {
    struct Entry {
        const char* keyword;
        int bin;
    };
    static const Entry kMap[] = {
        {"auto", 7},
        {"manual", 4},
        {"by-pass-tray", 4},
        {"top", 1},
        {"tray-1", 1},
        {"main", 1},
        {"bottom", 2},
        {"tray-2", 2},
        {"middle", 3},
        {"envelope", 5},
        {"large-capacity", 11},
    };
    for (const Entry& e : kMap)
        if (k == e.keyword) return e.bin;
    return 0;
}

namespace {

// A PWG media keyword ("iso_a4_210x297mm", "om_card_100x150mm"): class, name and size joined by
// underscores, the size ending in "mm" or "in".
bool IsMediaKeyword(const std::string& name) {
    const size_t first = name.find('_'), last = name.rfind('_');
    if (first == std::string::npos || first == last) return false;
    const std::string size = name.substr(last + 1);
    return size.find('x') != std::string::npos && (size.ends_with("mm") || size.ends_with("in")) &&
        name.find(' ') == std::string::npos;
}

std::string Millimetres(int hundredths) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", std::round(hundredths / 10.0) / 10.0);
    std::string s = buf;
    for (char& c : s)
        if (c == '.') c = ',';
    return s;
}

// What the page settings and print dialogs show for a size: the table's name for a standard
// paper, else the queue's own name, else the size itself; a media keyword is never shown.
std::string PaperDisplayName(int code, const TCupsSize& s) {
    const std::string known = WindowsPaperName(code);
    if (!known.empty()) return known;
    if (!s.Name.empty() && !IsMediaKeyword(s.Name)) return s.Name;
    return Millimetres(s.Width) + " × " + Millimetres(s.Length) + " mm";
}

}  // namespace

std::vector<TPaperSpec> PapersFromCupsSizes(const std::vector<TCupsSize>& sizes) {
    std::vector<TPaperSpec> out;
    int local = 257;
    for (const TCupsSize& s : sizes) {
        if (out.size() >= kMaxCapabilityEntries) break;
        if (s.Width <= 0 || s.Length <= 0) continue;
        bool seen = false;
        for (const TPaperSpec& p : out)
            if (p.Media == s.Media) seen = true;
        if (seen) continue;
        TPaperSpec p;
        p.Code = WindowsPaperCodeForSize(s.Width, s.Length);
        if (p.Code == 0) p.Code = local++;
        p.Name = PaperDisplayName(p.Code, s);
        p.Media = s.Media;
        p.Width = s.Width / 100.0;
        p.Height = s.Length / 100.0;
        p.Left = s.Left / 100.0;
        p.Top = s.Top / 100.0;
        p.Right = s.Right / 100.0;
        p.Bottom = s.Bottom / 100.0;
        out.push_back(std::move(p));
    }
    return out;
}

std::vector<TBinSpec> BinsFromCupsSources(const std::vector<std::pair<std::string, std::string>>& sources) {
    std::vector<TBinSpec> out;
    int local = 257;
    for (const auto& [keyword, name] : sources) {
        if (out.size() >= kMaxCapabilityEntries) break;
        TBinSpec b;
        b.Number = WindowsBinForKeyword(keyword);
        // Two keywords for one Windows bin (top, tray-1): the second one gets a number of its own.
        for (const TBinSpec& o : out)
            if (b.Number != 0 && o.Number == b.Number) b.Number = 0;
        if (b.Number == 0) b.Number = local++;
        b.Keyword = keyword;
        b.Name = name.empty() ? keyword : name;
        out.push_back(std::move(b));
    }
    return out;
}

std::string CupsSourceForBin(const std::vector<TBinSpec>& bins, int number) {
    for (const TBinSpec& b : bins)
        if (b.Number == number) return b.Keyword;
    return {};
}

std::string CupsSidesForDuplex(int dmDuplex) {
    switch (dmDuplex) {
    case DMDUP_VERTICAL: return "two-sided-long-edge";
    case DMDUP_HORIZONTAL: return "two-sided-short-edge";
    default: return "one-sided";
    }
}

std::string CupsMediaForPaper(const TPaperSpec& paper) {
    if (!paper.Media.empty()) return paper.Media;
    char buf[64];
    std::snprintf(
        buf, sizeof buf, "custom_%gx%gmm", std::round(paper.Width * 10) / 10, std::round(paper.Height * 10) / 10);
    return buf;
}
