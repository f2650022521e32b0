#include "platform/gui/ScreenCursors.h"

#include <QtGui/QCursor>
#include <QtGui/QPixmap>

#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/gui/GraphicsPrivate.h"

void SetScreenCursor(int index, TBitmap* picture, TPoint hotSpot) {
    EnsureQtApplication();
    const QImage image = ColourKeyed(BitmapImage(picture), picture->GetTransparentColor());
    Screen->SetCursors(index, QCursor(QPixmap::fromImage(image), hotSpot.X, hotSpot.Y));
}
