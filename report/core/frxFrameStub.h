#pragma once
// Stand-in for the frame of views and styles until the view classes are built: the frame's
// stored values with their defaults and Assign, without any drawing. The view base replaces
// this file.

#include "platform/classes/Persistent.h"
#include "platform/classes/TypInfo.h"
#include "platform/gui/Graphics.h"

enum TfrxFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble };
KAROMIL_ENUM_TYPE(TfrxFrameStyle, "fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble")
enum TfrxFrameType { ftLeft, ftRight, ftTop, ftBottom };
KAROMIL_ENUM_TYPE(TfrxFrameType, "ftLeft", "ftRight", "ftTop", "ftBottom")
using TfrxFrameTypes = TSet<TfrxFrameType>;
KAROMIL_SET_TYPE(TfrxFrameTypes, TfrxFrameType)

// The report's "no fill" colour.
inline constexpr TColor clTransparent = TColor(0x1FFFFFFF);

class TfrxFrame : public TPersistent {
    KAROMIL_CLASS(TfrxFrame, TPersistent)
public:
    TfrxFrame() = default;
    void Assign(TPersistent* source) override;  // from another frame only

    TColor Color = clBlack;
    bool DropShadow = false;
    TColor ShadowColor = clBlack;
    double ShadowWidth = 4;
    TfrxFrameStyle Style = fsSolid;
    TfrxFrameTypes Typ;
    double Width = 1;

    bool IsShadowWidthStored() const { return ShadowWidth != 4; }
    bool IsTypStored() const { return !Typ.Empty(); }
    bool IsWidthStored() const { return Width != 1; }
};
