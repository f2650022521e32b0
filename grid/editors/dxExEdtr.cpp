#include "grid/editors/dxExEdtr.h"

#include <memory>

#include "grid/editors/dxCommon.h"
#include "grid/editors/dxStrings.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/ScreenCursors.h"
#include "platform/rtl/SysUtils.h"

namespace {

const std::array<const char*, 20> kBuiltInSmartWords = {"TODAY", "YESTERDAY", "TOMORROW", "SUNDAY", "MONDAY", "TUESDAY",
    "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY", "FIRST", "SECOND", "THIRD", "FOURTH", "FIFTH", "SIXTH", "SEVENTH",
    "BOM", "EOM", "NOW"};

struct TUnit {
    int UseCount = 0;
    std::string InvalidDate;
    TDateTime OneSecond = 0, OneMinute = 0, OneHour = 0, MinTime = 0, MaxTime = 0;
    std::array<TdxToolbarText, 7> Toolbar;
    std::array<std::string, 3> PopupCaptions;
    std::unique_ptr<TCanvas> PictureCanvas;
    std::unique_ptr<TImageList> ToolbarImages;
    std::unique_ptr<TImageList> BlobImages;
    TSize CheckBoxSize;
    std::array<std::string, 20> SmartWords;

    TUnit() { ResetSmartWords(); }
    void ResetSmartWords() {
        for (size_t i = 0; i < SmartWords.size(); ++i) SmartWords[i] = kBuiltInSmartWords[i];
    }
};

TUnit& Unit() {
    static TUnit unit;
    return unit;
}

// The system check box as the frame control draws it.
TSize MeasureCheckBox() { return TSize{13, 13}; }

// A pointing hand, the index finger up; white with a black outline on see-through.
std::unique_ptr<TBitmap> HandPicture() {
    constexpr TColor key = 0x00FF00;
    auto b = std::make_unique<TBitmap>(32, 32);
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(key);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) b->SetPixel(x, y, key);
    auto fill = [&](int l, int t, int r, int bt, TColor c) {
        for (int y = t; y < bt; ++y)
            for (int x = l; x < r; ++x) b->SetPixel(x, y, c);
    };
    auto outline = [&](int l, int t, int r, int bt) {
        fill(l, t, r, bt, clBlack);
        fill(l + 1, t + 1, r - 1, bt - 1, clWhite);
    };
    outline(5, 0, 9, 12);  // the index finger
    outline(8, 6, 12, 13);  // the other fingers
    outline(11, 7, 15, 14);
    outline(14, 8, 18, 15);
    outline(2, 9, 6, 15);  // the thumb
    outline(3, 12, 18, 21);  // the palm
    fill(6, 12, 8, 13, clWhite);
    fill(9, 12, 11, 13, clWhite);
    fill(12, 13, 14, 14, clWhite);
    fill(15, 14, 17, 15, clWhite);
    fill(4, 14, 6, 15, clWhite);
    return b;
}

}  // namespace

void dxExEdtrStartup() {
    TUnit& u = Unit();
    if (u.UseCount++ > 0) return;
    // 1. The system check box.
    u.CheckBoxSize = MeasureCheckBox();
    // 2. The hand cursor.
    auto hand = HandPicture();
    SetScreenCursor(crdxHandPoint, hand.get(), Point(6, 0));
    // 3. Texts and constants.
    u.InvalidDate = dxLoadStr(dxSInvalidDate);
    u.OneSecond = EncodeTime(0, 0, 1, 0);
    u.OneMinute = EncodeTime(0, 1, 0, 0);
    u.OneHour = EncodeTime(1, 0, 0, 0);
    u.MinTime = EncodeTime(0, 0, 0, 0);
    u.MaxTime = EncodeTime(23, 59, 59, 0);
    // 5. The tool bar glyphs and texts.
    u.ToolbarImages = dxLoadToolbarGlyphs();
    for (int i = 0; i < 6; ++i) {
        u.Toolbar[size_t(i)].Caption = dxLoadStr(dxSToolbarCaptionFirst + i);
        u.Toolbar[size_t(i)].Hint = dxLoadStr(dxSToolbarHintFirst + i);
    }
    u.Toolbar[ptbCustom] = TdxToolbarText{};
    // 7. The picture canvas, 8. the BLOB icons, 9. the popup captions.
    u.PictureCanvas = std::make_unique<TCanvas>();
    u.BlobImages = dxLoadBlobIcons();
    u.PopupCaptions = {dxLoadStr(dxSPopupOK), dxLoadStr(dxSPopupCancel), dxLoadStr(dxSPopupClose)};
    // 11. The smart words.
    for (int i = 0; i < 20; ++i) u.SmartWords[size_t(i)] = dxLoadStr(dxSSmartWordFirst + i);
}

void dxExEdtrShutdown() {
    TUnit& u = Unit();
    if (u.UseCount == 0) return;
    if (--u.UseCount > 0) return;
    u.PictureCanvas.reset();
    u.ToolbarImages.reset();
    u.BlobImages.reset();
    // The hand cursor stays in the screen's table: it holds no resource of the window system
    // that would need giving back, and a window may still show it.
    for (auto& t : u.Toolbar) t = TdxToolbarText{};
    for (auto& c : u.PopupCaptions) c.clear();
    u.ResetSmartWords();
    u.InvalidDate.clear();
}

bool dxExEdtrStarted() { return Unit().UseCount > 0; }

const std::string& dxInvalidDateText() { return Unit().InvalidDate; }
TDateTime dxOneSecond() { return Unit().OneSecond; }
TDateTime dxOneMinute() { return Unit().OneMinute; }
TDateTime dxOneHour() { return Unit().OneHour; }
TDateTime dxMinTime() { return Unit().MinTime; }
TDateTime dxMaxTime() { return Unit().MaxTime; }

const TdxToolbarText& dxToolbarText(TdxPopupToolBarButton button) { return Unit().Toolbar.at(size_t(button)); }

const std::string& dxPopupButtonCaption(int index) { return Unit().PopupCaptions.at(size_t(index)); }

const std::string& dxSmartWord(int index) { return Unit().SmartWords.at(size_t(index)); }

TCanvas* dxPictureCanvas() { return Unit().PictureCanvas.get(); }
TImageList* dxToolbarImages() { return Unit().ToolbarImages.get(); }
TImageList* dxBlobImages() { return Unit().BlobImages.get(); }
TSize dxCheckBoxSize() { return Unit().CheckBoxSize; }
