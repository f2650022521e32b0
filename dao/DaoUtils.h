#pragma once
// Stateless helpers of the DAO database access: DAO type codes to dataset field types,
// time stamp texts, Jet SQL literals, whole-word parameter substitution and GUID texts.

#include <string>
#include <vector>

#include "platform/db/DB.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

class TParam;
class TParams;

namespace KDao {

// The table's own type code for an auto-increment Long column.
constexpr int dbAutoIncPseudoType = 40000;
// Precision that marks a field definition made from a DAO GUID column (0x02D5A180).
constexpr int GuidFieldMarker = 47554944;
// What a GUID field lets a user type.
extern const char32_t* const GuidValidChars;

TFieldType DaoFieldTypeToFieldType(int daoType);
int DaoFieldSize(int daoType, int daoSize);
std::string FieldTypeName(TFieldType fieldType);
// "a.b" -> "[a].[b]". A "]" inside a part cannot be bracketed in Jet SQL and raises.
std::string BracketDottedName(const std::string& name);

// Time stamp text: "<days since 0001-01-01, day 1> <milliseconds since midnight>".
std::string DateTimeToTimeStampText(TDateTime value);
Variant TimeStampTextToVariant(const std::string& text);  // Null when it does not convert
// User-typed date/time text made fit for a criterion: date part, one blank, time part.
std::string NormalizeDateTimeText(const std::string& text);
std::string NormalizeDateTimeText(const std::string& text, const TFormatSettings& fs);
// A Jet default literal "m/d/yyyy [h:n[:s] [AM|PM]]" to a time stamp text ('' when invalid).
std::string DaoDateLiteralToTimeStampText(const std::string& text);

// --- Jet SQL literals ---
std::string SQLQuoteString(const std::string& text);  // doubles every '"'
std::string SQLEscapeLikeChars(const std::string& text);  // * ? # [ ] ! - made literal
std::string SQLFloatText(const std::string& text);
std::string SQLFloatText(const std::string& text, const TFormatSettings& fs);
// Jet date literals without the '#': month/day/year and hour:minute:second, two digits each.
std::string JetDateText(TDateTime d);
std::string JetTimeText(TDateTime d);
std::string JetDateTimeText(TDateTime d);

// '_' and letters/digits: what may continue an identifier or a parameter name.
bool IsIdentChar(char32_t c);
// Every whole-word occurrence of word (case ignored) replaced.
std::string ReplaceWholeWord(const std::string& source, const std::string& word, const std::string& replacement);
// The Jet literal a parameter stands for.
std::string ParamLiteral(TFieldType dataType, const Variant& value);
// The SQL text with every ":Name" of a known parameter replaced by its literal, in one pass
// over the original text; string, date and bracketed literals are left alone, so a value that
// contains ":Other" is never substituted again. A Null parameter after "=" / "<>" becomes
// "IS NULL" / "IS NOT NULL", elsewhere the keyword NULL.
std::string ExpandSQLParams(const std::string& sql, const TParams& params, bool paramCheck);
// The ":Name" references of an SQL text, in order (literals skipped).
std::vector<std::string> SQLParamNames(const std::string& sql);
// Adds a parameter for each name the SQL text references that params lacks.
void AddSQLParams(TParams& params, const std::string& sql);
// The parameter of that name; SQL names ignore case, Czech letters included. nullptr when absent.
TParam* FindSQLParam(const TParams& params, const std::string& name);

// --- GUIDs ---
// 16 bytes -> "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", '' for the null GUID or another length.
std::string GuidBytesToString(const std::string& bytes);
// The braced text -> 16 bytes; EConvertError when malformed.
std::string GuidStringToBytes(const std::string& text);

// --- value texts of the record buffer <-> the framework's native forms ---
// Answers whether the field has a value; a text that does not convert reads as Null.
bool TextToNative(TFieldType type, const std::string& text, Variant& native, bool guid = false, int size = 0);
// The value text of a native value ('' for Null and for types without a text form).
std::string NativeToText(TFieldType type, const Variant& native, bool guid = false);

// --- DAO values <-> the framework's native forms (what the table's record buffer holds) ---
// Typed both ways and through no format settings: Null stays Null, '' stays ''. A DAO value
// that does not fit the field's type raises (EConvertError, EVariantError): a value that
// cannot be read is an error, never a Null. ReadError words it for the field.
Variant DaoToNative(TFieldType type, const Variant& dao, bool guid);
[[noreturn]] void ReadError(const std::string& fieldLabel, const Exception& cause);
// The DAO value of a native value (Null for Null and for the null GUID).
Variant NativeToDao(TFieldType type, const Variant& native, bool guid);
// A default value text (a Jet DefaultValue or a field's DefaultExpression: numbers with ".",
// booleans as words or -1/0, dates as time stamp texts) to the native form; Null when it does
// not convert.
Variant DefaultTextToNative(TFieldType type, const std::string& text, bool guid);

// "a; b ;c" -> {"a","b","c"} (empty parts dropped).
std::vector<std::string> SplitFieldList(const std::string& list);
std::string StripSingleQuotes(const std::string& text);

}  // namespace KDao
