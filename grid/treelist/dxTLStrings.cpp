#include "grid/treelist/dxTLStrings.h"

#include "platform/gui/StringTable.h"

void dxAddTreeListStrings() {
    AddStringResources({
        {dxSInvalidOwner, "Invalid Owner TdxTreeListNode"},
        {dxSCustomize, "Customize"},
        {dxSBands, "    Bands    "},
        {dxSHeaders, "   Headers   "},
    });
}

std::string dxTLLoadStr(int id) {
    static const bool added = (dxAddTreeListStrings(), true);
    (void)added;
    return LoadStr(id);
}
