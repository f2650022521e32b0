#pragma once
// The dataset framework's own messages, in Czech: one table for the module. A message about
// a field names the field's display label (TField::DisplayName), never its column. Texts the
// database layer's documentation quotes in English stay as quoted.

namespace DBConsts {

// --- datasets
inline constexpr const char* SDataSetClosed = "Operaci nelze provést na zavřené datové sadě.";
inline constexpr const char* SDataSetOpen = "Operaci nelze provést na otevřené datové sadě.";
inline constexpr const char* SDataSetEmpty = "Operaci nelze provést na prázdné datové sadě.";
inline constexpr const char* SDataSetReadOnly = "Datovou sadu jen pro čtení nelze měnit.";
inline constexpr const char* SNotEditing = "Datová sada není v režimu úprav ani vkládání.";
inline constexpr const char* SRecordNotFound = "Záznam nebyl nalezen.";
inline constexpr const char* SCircularDataLink = "Kruhová propojení dat nejsou povolena.";
inline constexpr const char* SDataLinkRowRange = "Řádek datového propojení %d je mimo rozsah.";
inline constexpr const char* SInvalidFilter = "Neplatný výraz filtru: %s";
inline constexpr const char* SParameterNotFound = "Parametr '%s' nebyl nalezen.";
// Quoted by the database layer's documentation: stays as it is.
inline constexpr const char* SKeyValuesCount =
    "Number of elements in the KeyValues array must be equal to the number of fields.";
inline constexpr const char* SMasterDetailCount = "The number of Master and Detail fields must be equal!";

// --- field definitions and the field list
inline constexpr const char* SUnknownFieldType = "Pole '%s' má neznámý typ.";
inline constexpr const char* SFieldNameMissing = "Chybí název pole.";
inline constexpr const char* SDuplicateFieldName = "Název pole '%s' je použit dvakrát.";
inline constexpr const char* SFieldNotFound = "Pole '%s' nebylo nalezeno.";
inline constexpr const char* SIndexNotFound = "Index '%s' nebyl nalezen.";
inline constexpr const char* SFieldIndexRange = "Index pole je mimo rozsah.";
inline constexpr const char* SFieldTypeMismatch = "Nesouhlasí typ pole '%s': očekáván %s, skutečný %s.";

// --- field values (the name is the field's display label)
inline constexpr const char* SMissingDataSet = "Pole '%s' nemá datovou sadu.";
inline constexpr const char* SFieldAccess = "K poli '%s' nelze přistupovat jako k typu %s.";
inline constexpr const char* SFieldReadOnly = "Pole '%s' nelze měnit.";
inline constexpr const char* SFieldRequired = "Pole '%s' musí mít vyplněnou hodnotu.";
inline constexpr const char* SLookupInfo = "Údaje pro vyhledávací pole '%s' nejsou úplné.";
inline constexpr const char* SInvalidInteger = "'%s' není platné celé číslo pro pole '%s'.";
inline constexpr const char* SInvalidFloat = "'%s' není platné desetinné číslo pro pole '%s'.";
inline constexpr const char* SInvalidBoolean = "'%s' není platná logická hodnota pro pole '%s'.";
inline constexpr const char* SFieldRangeInt = "%d není platná hodnota pro pole '%s'. Povolený rozsah je %d až %d.";
inline constexpr const char* SFieldRangeFloat = "%s není platná hodnota pro pole '%s'. Povolený rozsah je %s až %s.";

}  // namespace DBConsts
