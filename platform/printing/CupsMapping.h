#pragma once
// Pure mappings between what CUPS reports and what the report layer expects of a Windows
// printer: paper codes, bin numbers and page metrics. Kept free of libcups so they are tested
// with plain fixtures.

#include <string>
#include <vector>

#include "platform/printing/Printing.h"

// A media size as libcups reports it (cups_size_t): hundredths of a millimetre, portrait.
struct TCupsSize {
    std::string Media;  // PWG name, e.g. "iso_a4_210x297mm"
    std::string Name;  // localised name
    int Width = 0, Length = 0;
    int Left = 0, Bottom = 0, Right = 0, Top = 0;
};

// The Windows paper code of a size within 0.5 mm of a table entry (lowest code on duplicate
// sizes, so A4 is 9 and Letter 1); 0 when there is none.
int WindowsPaperCodeForSize(int widthHundredths, int lengthHundredths);
// The Windows bin number of a media-source keyword; 0 when it has none.
int WindowsBinForKeyword(const std::string& keyword);
// Papers from media sizes: Windows codes where they exist, printer-local codes from 257 up
// otherwise; a size listed twice (borderless variants) is kept once, with its first margins.
std::vector<TPaperSpec> PapersFromCupsSizes(const std::vector<TCupsSize>& sizes);
// Bins from media-source keywords with their names; local numbers from 257 up.
std::vector<TBinSpec> BinsFromCupsSources(const std::vector<std::pair<std::string, std::string>>& sources);
// The media-source keyword of a bin number, "" when the printer has no such bin.
std::string CupsSourceForBin(const std::vector<TBinSpec>& bins, int number);
// The IPP "sides" value of a dmDuplex value.
std::string CupsSidesForDuplex(int dmDuplex);
// The media keyword for a job: the listed paper's name, or a custom size "custom_WxHmm".
std::string CupsMediaForPaper(const TPaperSpec& paper);
