#pragma once
// The collection form of stored property data: how a collection property is kept in the
// binary property data of a component. The data is a list of inner lists, each holding one
// long string with the item's XML text.
//
// The report's serializer supplies the conversion of an item to XML text and back, so this
// file knows nothing of the XML form itself. Damaged data raises EReadError.

#include <functional>
#include <string>

class TCollection;
class TPersistent;
class TReader;
class TWriter;

using TfrxItemToXML = std::function<std::string(TPersistent* item)>;
using TfrxXMLToItem = std::function<void(const std::string& xml, TPersistent* item)>;

// --- writing and reading ---------------------------------------------------------------------
void frxWriteCollection(TCollection* collection, TWriter* writer, const TfrxItemToXML& toXML);
// Clears the collection and adds an item per inner list; every string of an inner list is
// handed to fromXML with that item.
void frxReadCollection(TCollection* collection, TReader* reader, const TfrxXMLToItem& fromXML);
