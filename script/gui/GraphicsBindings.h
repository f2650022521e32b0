#pragma once
// Script bindings of the class library's graphics: colour names, font, pen and brush types,
// TFont, TPen, TBrush, TCanvas, TGraphic, TPicture, TMetafile, TMetafileCanvas and TBitmap.
// Registered once into the global unit, stamped with the binding object, like the basic
// classes' binding (ClassBindings.h), which must be running first: the graphics classes
// descend from its TPersistent, and scripts free what they made through its TObject.Free.
//
// Registered members beyond the published properties:
//   TFont, TPen, TBrush  Create
//   TCanvas              Create, Draw, Ellipse, LineTo, MoveTo, Rectangle, RoundRect,
//                        StretchDraw, TextHeight, TextOut, TextWidth, Pixels[X, Y]
//   TGraphic             Create (of the class named, so TBitmap.Create makes a bitmap),
//                        LoadFromFile, SaveToFile, Height, Width
//   TPicture             LoadFromFile, SaveToFile, Height, Width (read)
//   TMetafile            (TGraphic's)
//   TMetafileCanvas      Create(AMetafile; ReferenceDevice): ReferenceDevice is a canvas or 0
//   TBitmap              Canvas (read)
//
// This unit links the window layer (karomil_gui).

#include <string>

#include "script/Interpreter.h"

class TfsGraphicsRTTI {
public:
    TfsGraphicsRTTI();
    ~TfsGraphicsRTTI();
    TfsGraphicsRTTI(const TfsGraphicsRTTI&) = delete;
    TfsGraphicsRTTI& operator=(const TfsGraphicsRTTI&) = delete;
};

// After fsStartClassesRTTI; stopped before fsStopClassesRTTI.
void fsStartGraphicsRTTI();
void fsStopGraphicsRTTI();
