// The report template reader: TfrxReport::LoadFromStream on ".fr3" text. Errors are gathered in
// the report's ErrorList or raised as exceptions; the report stays usable either way.

#include "FuzzReport.h"
#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxReport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TfrxReport report(nullptr);
    report.ShowProgress = false;
    TStringStream stream(FuzzText(data, size));
    try {
        report.LoadFromStream(&stream);
    } catch (const Exception&) {
        // A damaged template: the documented answer.
    }
    TStringStream out;
    report.SaveToStream(&out);
    return 0;
}
