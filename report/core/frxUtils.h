#pragma once
// Free routines of the report library: component lookup by qualified name, text splitting,
// locale-tolerant numbers, hexadecimal stream text, rectangles and points, bracket matching
// for embedded expressions, page ranges, the error box, tool-bar image strips, drawing
// bitmaps and graphics onto any canvas, the collection form of stored property data and
// temporary files. They hold no state.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/gui/Graphics.h"

class TBitmap;
class TCanvas;
class TCollection;
class TComponent;
class TCustomImageList;
class TGraphic;
class TPersistent;
class TReader;
class TStream;
class TStrings;
class TWriter;

struct TfrxFloatRect {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};
struct TfrxFloatPoint {
    double X = 0, Y = 0;
};
TfrxFloatRect frxMakeRect(double left, double top, double right, double bottom);
TfrxFloatPoint frxMakePoint(double x, double y);

// --- components ------------------------------------------------------------------------------
// "Form.Component" (or "Form.Frame.Component") among the application's forms and data modules,
// else a bare name among owner's components and then, for a report, its owner's. nullptr when
// not found; any failure of the search raises EClassNotFound "Missing <name>".
TComponent* frxFindComponent(TComponent* owner, const std::string& name);
// The name a report stores for a component: bare, or "Owner.Name" for one on a form or data
// module; '' for nil or a component the report cannot refer to.
std::string frxGetComponentName(TComponent* report, TComponent* component);
// (qualified name, component) for every component of the class (or a descendant) except skip:
// the report's own, then every form's in screen order, every data module's, and those of the
// data modules owned by a form of class "TDataModuleForm".
void frxGetComponentList(TComponent* report, TClass classRef, TStrings* list, TComponent* skip = nullptr);

// --- text ----------------------------------------------------------------------------------
// The parts between separators; a separator at the end gives no empty last part.
void frxSplitToList(const std::string& text, TStrings* list, char separator);
// "." and "," both mean the decimal separator and blanks are dropped; EConvertError on bad text.
double frxStrToFloat(const std::string& text);
// "%2.2f" for a value with a fraction, else the whole number.
std::string frxFloatToStr(double value);
// The text inside the bracket at start (1-based, characters) and its matching close; quotes
// hide brackets. finish is the position of the closing bracket's last character.
std::string frxGetBracketedText(
    const std::string& text, const std::string& openBracket, const std::string& closeBracket, int& start, int& finish);
// "1,3,5-7" -> 1, 3, 5, 6, 7; "4-" runs to lastPage; pages beyond lastPage are left out;
// EConvertError on a part that is no number, on page 0 and on a reversed range.
void frxParsePageNumbers(const std::string& text, TStrings* list, int lastPage);
// Characters of code 128 and more become code 1 followed by (c - 128) when encoding, and back;
// byte by byte, so UTF-8 text survives the round trip.
std::string frxConvertHighChars(const std::string& s, bool encode);

// --- streams and files ---------------------------------------------------------------------
std::string frxStreamToHex(TStream* stream);  // the whole stream, two upper-case digits per byte
// Writes the bytes at position 0. A character that is not a hexadecimal digit ends the data:
// the stream is cut after the last whole byte before it.
void frxHexToStream(const std::string& hex, TStream* stream);
// A new empty file "fr..." in dir, or in the system's temporary folder when dir is ''.
std::string frxCreateTempFile(const std::string& dir);

// The collection form of stored property data: a list of inner lists, each holding one
// long string with the item's XML text. The report's serializer turns items into text and
// back; damaged data raises EReadError.
using TfrxItemToXML = std::function<std::string(TPersistent* item)>;
using TfrxXMLToItem = std::function<void(const std::string& xml, TPersistent* item)>;
void frxWriteCollection(TCollection* collection, TWriter* writer, const TfrxItemToXML& toXML);
void frxReadCollection(TCollection* collection, TReader* reader, const TfrxXMLToItem& fromXML);

// --- drawing -------------------------------------------------------------------------------
// A modal error box captioned with the localised "mbError".
void frxErrorMsg(const std::string& text);
// Cuts a strip into tiles row by row; with disabledImages the tiles alternate image and
// disabled twin, whose white pixels are made light grey.
void frxSplitImageStrip(
    TBitmap* bitmap, int tileWidth, int tileHeight, TCustomImageList* images, TCustomImageList* disabledImages);
void frxDrawTransparent(TCanvas* canvas, int x, int y, TBitmap* bitmap);
// Stretches the bitmap into r without smoothing (what printers and exports need).
void frxDrawBitmap(TCanvas* canvas, const TRect& r, TBitmap* bitmap);
// A metafile is stretched into r; any other graphic goes through a 32-bit bitmap of its size.
void frxDrawGraphic(TCanvas* canvas, const TRect& r, TGraphic* graphic);
