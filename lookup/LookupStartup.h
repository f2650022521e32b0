#pragma once
// What the lookup library registers once: its two cursors and its icon clipboard format.

#include "platform/gui/Controls.h"

enum : int { crHand = 14000, crDragHand = 14001 };

// Registers the cursors and the clipboard format; later calls do nothing. The lookup controls
// call it when the first of them is made (never before the application object exists).
void RegisterLookupResources();
// The clipboard format of icon pictures ("Vantor Icon"); 0 before registration.
WORD IconClipboardFormat();
