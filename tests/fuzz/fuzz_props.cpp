// The published-property reader: attribute text ('Name="x" Font.Size="10" PropData="..."')
// applied to a report and to a style. Unknown names, bad values and damaged property data
// land in the serializer's ErrorList or raise an error.

#include "FuzzReport.h"
#include "FuzzSupport.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxReport.h"
#include "report/core/frxStyles.h"
#include "report/core/frxXMLSerializer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    TfrxReport report(nullptr);
    report.ShowProgress = false;
    TfrxXMLSerializer serializer(nullptr);
    try {
        serializer.ApplyPropertiesText(text, &report);
        serializer.FixupReferences();
    } catch (const Exception&) {
        // A value the property cannot take: the documented answer.
    }
    try {
        TfrxStyles styles(&report);
        serializer.ReadItemText(&report, styles.Add(), text);
    } catch (const Exception&) {
        // As above, for a collection item.
    }
    return 0;
}
