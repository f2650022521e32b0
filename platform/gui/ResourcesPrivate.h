#pragma once
// The window layer's side of the named resources (Resources.h): their pictures as Qt images,
// cursor resources, and the cursors made of them.

#include <QtGui/QCursor>
#include <QtGui/QImage>

#include <functional>
#include <string>

#include "platform/gui/Resources.h"

// A cursor picture (transparent where alpha is 0) and the point of it that is the pointer.
struct TCursorImage {
    QImage Image;
    TPoint HotSpot;
};

using TBitmapImageResource = std::function<QImage()>;
using TCursorResource = std::function<TCursorImage()>;

// A bitmap resource drawn straight as an image.
void RegisterBitmapImageResource(const std::string& name, TBitmapImageResource draw);
void RegisterCursorResource(const std::string& name, TCursorResource draw);

// The picture of a named bitmap, 32-bit RGB.
QImage LoadBitmapResource(const std::string& name);
TCursorImage LoadCursorImage(const std::string& name);
// The cursor for Screen->SetCursors; needs the Qt application.
QCursor LoadCursorResource(const std::string& name);
