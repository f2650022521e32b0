#pragma once
// TfrxDrawText: lays text out and draws it so that a text object looks the same on the screen
// at any zoom, on a printer and in an export.
//
// Every character is measured with the font scaled to 600 pixels per inch; paragraphs are
// broken against widths at that resolution; when drawing, the device's own advances are
// corrected so that each line ends where the 600-dpi measurement says. Inline tags, word wrap
// with hyphenation, justification, rotation by any whole angle, paragraph indent, character
// and line spacing, and splitting a text at the height of its box are supported.
//
// Units: report pixels at 96 per inch; measuring units at 600 per inch (6.25 per report
// pixel); device pixels are report pixels times the output scale. Line height is the font's
// em height (|lfHeight|), never its cell height, so vertical layout depends on point sizes
// only. One layout at a time: bracket every use with TfrxDrawTextLock (or Lock/Unlock).

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Object.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"
#include "report/core/frxHTMLTags.h"

class TStrings;

enum TfrxHAlign { haLeft, haRight, haCenter, haBlock };
KAROMIL_ENUM_TYPE(TfrxHAlign, "haLeft", "haRight", "haCenter", "haBlock")
enum TfrxVAlign { vaTop, vaBottom, vaCenter };
KAROMIL_ENUM_TYPE(TfrxVAlign, "vaTop", "vaBottom", "vaCenter")

// Line flags of the laid-out lines.
enum : int { frxFirstLine = 1, frxLastLine = 2 };

// Where the last Paint put things (device pixels): the block and each line's start, target
// width and final advances. The PDF export and tests read it.
struct TfrxDrawnLine {
    int X = 0, Y = 0, Target = 0;
    std::vector<int> Advances;
};
struct TfrxDrawnBlock {
    int X = 0, Y = 0, W = 0, G = 0, HB = 0;
    std::vector<int> Gaps;
    std::vector<TfrxDrawnLine> Lines;
};

class TfrxDrawText : public TObject {
    KAROMIL_CLASS(TfrxDrawText, TObject)
public:
    static constexpr int MeasureResolution = 600;
    static constexpr int ScreenResolution = 96;

    TfrxDrawText();
    ~TfrxDrawText() override;

    // While busy, window messages are handled until the holder unlocks.
    void Lock();
    void Unlock() noexcept { FBusy = false; }
    bool Busy() const noexcept { return FBusy; }

    void SetFont(TFont* font);
    // Rotation is kept in [0, 360): -90 is 270.
    void SetOptions(bool wordWrap, bool htmlTags, int rotation, bool clipped, bool wordBreak, bool rtlReading);
    void SetGaps(double paragraphGap, double charSpacing, double lineSpacing);
    void SetArea(const TRect& layoutRect, const TRect& outputRect, double scaleX, double scaleY);
    void SetLines(TStrings* lines);
    void SetText(const std::string& text);  // lines split at line breaks

    void Paint(TCanvas* canvas, TfrxHAlign hAlign, TfrxVAlign vAlign);
    double TextHeight() const;
    double TextWidth();
    double LineHeight() const;
    double SpareHeight() const;
    std::string TakeOverflow();
    std::string FittingText() const;
    std::string RemoveTags(const std::string& text) const;
    // The printer layer's canvas (class TfrxPrinterCanvas or a descendant).
    static bool IsPrinterCanvas(TCanvas* canvas);

    // The layout.
    int LineCount() const noexcept { return int(FLines.size()); }
    std::string Line(int index) const;
    int LineFlags(int index) const { return FLines.at(size_t(index)).flags; }
    const TfrxHTMLTagsList& Tags() const noexcept { return FTags; }
    TCanvas* MeasureCanvas() const noexcept { return FMeasureCanvas.get(); }
    int FontSizePt() const noexcept { return FFontSizePt; }
    int Rotation() const noexcept { return FRotation; }
    const TfrxDrawnBlock& Drawn() const noexcept { return FDrawn; }

    // Spreads count units of the sign of unit over values[first..last] (1-based) by halving.
    static void SpreadUnits(std::vector<int>& values, int first, int last, int count, int unit);

private:
    struct TLine {
        std::u32string text;
        int flags = 0;
    };
    int Measure(
        const std::u32string& text, int tagLine, int spacing, TCanvas* canvas, bool cumulative, std::vector<int>& out);
    void BreakParagraph(std::u32string s, int fullWidth, int firstWidth, int spacing);
    std::u32string Hyphenate(const std::u32string& s, int wordStart, int firstMissing) const;
    void OutputLine(
        TCanvas* canvas, const std::u32string& text, TfrxHAlign align, int tagLine, int width, int x, int y);
    TfrxHTMLTag& TagAt(int line, int index);
    int MeasureHeight() const;

    std::unique_ptr<TCanvas> FMeasureCanvas;
    int FFontSizePt = 10;
    TfrxHTMLTagsList FTags;
    std::vector<int> FCharAdvances, FScratch;
    double FCharSpacing = 0, FLineSpacing = 0, FParagraphGap = 0;
    uint32_t FOutputOptions = 0;
    TRect FLayoutArea, FOutputArea;
    double FScaleX = 1, FScaleY = 1;
    std::u32string FSourceText;
    int FRotation = 0;
    bool FRTL = false, FWordWrap = false, FWordBreak = false;
    std::vector<TLine> FLines;
    bool FBusy = false;
    TfrxDrawnBlock FDrawn;
    TfrxHTMLTag FNoTag;
};

// Holds the engine for a scope; Unlock runs also when an exception leaves it.
class TfrxDrawTextLock {
public:
    explicit TfrxDrawTextLock(TfrxDrawText* engine) : FEngine(engine) { FEngine->Lock(); }
    ~TfrxDrawTextLock() { FEngine->Unlock(); }
    TfrxDrawTextLock(const TfrxDrawTextLock&) = delete;
    TfrxDrawTextLock& operator=(const TfrxDrawTextLock&) = delete;

private:
    TfrxDrawText* FEngine;
};

// The process-wide engine, for text objects that belong to no report.
TfrxDrawText* frxDrawText();
