#pragma once
// The editor family's entries of the program's string table (38901 to 38956). The numbers are
// fixed and several kinds compute them (a base number plus an index); the texts are the
// program's and may be translated by registering other texts under the same numbers, before or
// after the built-in ones are added.

#include <string>

enum : int {
    dxSCheckTrue = 38901,  // "True"; 38902 "False"
    dxSCheckFalse = 38902,
    dxSDateToday = 38903,
    dxSDateClear = 38904,
    dxSPopupOK = 38905,  // 38905..38907: "&OK", "&Cancel", "&Close"
    dxSPopupCancel = 38906,
    dxSPopupClose = 38907,
    dxSToolbarCaptionFirst = 38914,  // + index 0..5
    dxSToolbarHintFirst = 38920,  // + index 0..5
    dxSToolbox = 38926,
    dxSInvalidDate = 38927,
    dxSSmartWordFirst = 38928,  // + index 0..19
    dxSInvalidInput = 38948,
    dxSUndo = 38949,
    dxSRedo = 38950,
    dxSCalcError = 38951,
    dxSMenuCut = 38952,  // 38952..38956: "Cu&t", "&Copy", "&Paste", "&Delete", "Select &All"
    dxSMenuSelectAll = 38956,
};

// The text of an entry; the built-in table is added on first use (without replacing a
// translation registered earlier).
std::string dxLoadStr(int id);
// Adds the built-in texts of 38901..38956 that are not registered yet.
void dxAddEditorStrings();
