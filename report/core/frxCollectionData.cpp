// The collection form of stored property data.

#include "report/core/frxCollectionData.h"

#include "platform/classes/Collection.h"
#include "platform/classes/Filer.h"
#include "platform/rtl/Exceptions.h"

void frxWriteCollection(TCollection* collection, TWriter* writer, const TfrxItemToXML& toXML) {
    writer->WriteListBegin();
    for (int i = 0; i < collection->Count(); ++i) {
        writer->WriteListBegin();
        writer->WriteString(toXML(collection->Items(i)));
        writer->WriteListEnd();
    }
    writer->WriteListEnd();
}

void frxReadCollection(TCollection* collection, TReader* reader, const TfrxXMLToItem& fromXML) {
    // The class library's own collection marker is not written by this program (its windows are
    // built in code), so only the list form is read.
    if (reader->NextValue() == vaCollection) throw EReadError("Unsupported collection data");
    reader->ReadListBegin();
    collection->Clear();
    while (!reader->EndOfList()) {
        reader->ReadListBegin();
        TCollectionItem* item = collection->Add();
        while (!reader->EndOfList()) fromXML(reader->ReadString(), item);
        reader->ReadListEnd();
    }
    reader->ReadListEnd();
}
