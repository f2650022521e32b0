#pragma once
// The editor kinds' shared resources, prepared once when the program starts and released when
// it ends: the hand cursor, texts from the string table, the time editor's step constants, a
// canvas for picture painting, the two image lists and the measured system check box.
//
// dxExEdtrStartup and dxExEdtrShutdown keep a use count: only the first start-up works, and
// only the shut-down that balances it releases. Both run on the GUI thread while no editor
// exists; the values below are read between them.

#include <array>
#include <string>

#include "platform/gui/Controls.h"
#include "platform/rtl/Variant.h"

class TImageList;

// The grid family's hand cursor in the screen's cursor table.
constexpr TCursor crdxHandPoint = -1140;

// The popup tool bar's commands.
enum TdxPopupToolBarButton { ptbCut, ptbCopy, ptbPaste, ptbDelete, ptbLoad, ptbSave, ptbCustom };

struct TdxToolbarText {
    std::string Caption;
    std::string Hint;
};

void dxExEdtrStartup();
void dxExEdtrShutdown();
bool dxExEdtrStarted();

// The unit's items (empty or zero outside the start-up bracket).
const std::string& dxInvalidDateText();
TDateTime dxOneSecond();
TDateTime dxOneMinute();
TDateTime dxOneHour();
TDateTime dxMinTime();  // 0:00:00
TDateTime dxMaxTime();  // 23:59:59, never 24:00
const TdxToolbarText& dxToolbarText(TdxPopupToolBarButton button);
// OK, Cancel, Close.
const std::string& dxPopupButtonCaption(int index);
// The smart words of the date editor, index 0-19; their built-in English values outside the
// bracket.
const std::string& dxSmartWord(int index);
TCanvas* dxPictureCanvas();
TImageList* dxToolbarImages();
TImageList* dxBlobImages();
TSize dxCheckBoxSize();
