// The style-sheet reader (".fs3") and the reader of one style set: a damaged file raises an
// error, never more.

#include "FuzzReport.h"
#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxStyles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    {
        TfrxStyleSheet sheet;
        TStringStream stream(text);
        try {
            sheet.LoadFromStream(&stream);
        } catch (const Exception&) {
            // A damaged style sheet: the documented answer.
        }
    }
    {
        TfrxStyles styles(nullptr);
        TStringStream stream(text);
        try {
            styles.LoadFromStream(&stream);
            styles.Apply();
        } catch (const Exception&) {
            // As above, for one style set.
        }
    }
    return 0;
}
