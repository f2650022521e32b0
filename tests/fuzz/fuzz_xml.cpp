// The report library's XML reader, whole and with partial loading: a damaged document raises
// frxInvalidFileFormat (or a conversion error of a character reference) and leaves the
// document empty.

#include "FuzzSupport.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Exceptions.h"
#include "report/core/frxXML.h"

namespace {
void Walk(TfrxXMLItem* item, int depth) {
    if (depth > 64) return;
    for (int i = 0; i < item->Count(); ++i) {
        TfrxXMLItem* child = item->Items(i);
        try {
            child->Prop("Name");
        } catch (const Exception&) {
            // A bad character reference in the attribute: a conversion error.
        }
        Walk(child, depth + 1);
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = FuzzText(data, size);
    {
        TfrxXMLDocument doc;
        TStringStream stream(text);
        try {
            doc.LoadFromStream(&stream);
            Walk(doc.Root(), 0);
            TStringStream out;
            doc.SaveToStream(&out);
        } catch (const Exception&) {
            // The documented answer to a damaged document.
        }
    }
    {
        TfrxXMLDocument doc;
        // With partial loading the document takes over the stream and frees it.
        try {
            doc.LoadFromStream(new TStringStream(text), true);
            for (int i = 0; i < doc.Root()->Count(); ++i) doc.LoadItem(doc.Root()->Items(i));
        } catch (const Exception&) {
            // As above.
        }
    }
    return 0;
}
