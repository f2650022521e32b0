#include "lookup/LookupStartup.h"

#include "platform/gui/Application.h"
#include "platform/gui/Clipboard.h"

namespace {
WORD gIconFormat = 0;
}

void RegisterLookupResources() {
    if (gIconFormat != 0) return;
    // The program carries no cursor resources of its own: the window system's hand and
    // drag-move cursors take the two slots.
    Screen->SetCursors(crHand, TSystemCursor::Hand);
    Screen->SetCursors(crDragHand, TSystemCursor::DragMove);
    gIconFormat = RegisterClipboardFormat("Vantor Icon");
}

WORD IconClipboardFormat() { return gIconFormat; }
