// The prepared-report reader: TfrxPreviewPages::LoadFromStream on ".fp3" text, then its first pages
// read back into objects and drawn small, as the preview does. A damaged file is an exception;
// pages that cannot be read are drawn as far as they go.

#include <algorithm>

#include "FuzzReport.h"
#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/gui/Bitmaps.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxPreviewPages.h"
#include "report/core/frxReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TfrxReport report(nullptr);
    report.ShowProgress = false;
    auto* pages = static_cast<TfrxPreviewPages*>(report.PreviewPages());
    TStringStream stream(FuzzText(data, size));
    try {
        pages->LoadFromStream(&stream);
    } catch (const Exception&) {
        return 0;  // a damaged file: the documented answer
    }
    TBitmap bitmap(64, 90);
    const int count = std::min(pages->GetCount(), 4);
    for (int i = 0; i < count; ++i) {
        try {
            pages->DrawPage(i, bitmap.Canvas(), 0.1, 0.1, 0, 0);
        } catch (const Exception&) {}
    }
    TStringStream out;
    pages->SaveToStream(&out);
    return 0;
}
