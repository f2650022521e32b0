// The picture reader: TPicture::LoadFromStream tells BMP, JPEG, WMF, EMF and ICO by their first
// bytes and decodes them; damaged data is EInvalidGraphic. What loads is drawn once, small, and
// saved back.

#include <algorithm>

#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Application.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Exceptions.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    EnsureQtApplication();  // text in metafiles is drawn with fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TPicture picture;
    TStringStream stream(FuzzText(data, size));
    try {
        picture.LoadFromStream(&stream);
    } catch (const Exception&) {
        return 0;
    }
    if (!picture.Empty()) {
        TBitmap bitmap(16, 16);
        bitmap.Canvas()->StretchDraw(Rect(0, 0, 16, 16), picture.GetGraphic());
    }
    TStringStream out;
    picture.SaveToStream(&out);
    return 0;
}
