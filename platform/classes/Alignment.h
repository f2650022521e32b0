#pragma once
// Horizontal text alignment, shared by fields (their display alignment) and controls.

#include "platform/classes/TypInfo.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
KAROMIL_ENUM_TYPE(TAlignment, "taLeftJustify", "taRightJustify", "taCenter")
