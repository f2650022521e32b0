#pragma once
// The DAO engine's own messages, in Czech: one table for the whole engine. "%s" stands for a
// name (a file, a table, a field: the field's name as the column is called; the table dataset
// puts the field's display label in its place) and is filled by Dao::Msg::Format.

#include <string>
#include <vector>

namespace Dao::Msg {

// --- the fixed descriptions of the error numbers
inline constexpr const char* ObjectExists = "Objekt již existuje.";
inline constexpr const char* NoCurrentIndex = "Operace není bez aktuálního indexu možná.";
inline constexpr const char* UpdateWithoutEdit = "Uložení nebo zrušení změn bez zahájené úpravy či přidání záznamu.";
inline constexpr const char* NoCurrentRecord = "Žádný aktuální záznam.";
inline constexpr const char* DuplicateKey =
    "Změny nebyly provedeny, protože by v indexu, primárním klíči nebo relaci vznikly duplicitní hodnoty.";
inline constexpr const char* ReadOnly = "Nelze aktualizovat. Databáze nebo objekt je jen pro čtení.";
inline constexpr const char* Account = "Neplatné jméno účtu nebo heslo.";
inline constexpr const char* Password = "Neplatné heslo.";
inline constexpr const char* InvalidBookmark = "Neplatná záložka.";
inline constexpr const char* RecordDeleted = "Záznam je odstraněn.";
inline constexpr const char* ChangedByOther =
    "Databázový stroj zastavil operaci, protože vy a jiný uživatel se pokoušíte změnit stejná data současně.";
inline constexpr const char* InvalidOperation = "Neplatná operace.";
inline constexpr const char* NotSupported = "Operace není pro tento typ objektu podporována.";
inline constexpr const char* ItemNotFound = "Položka nebyla v této kolekci nalezena.";
inline constexpr const char* PropertyNotFound = "Vlastnost nebyla nalezena.";
inline constexpr const char* ObjectClosed = "Objekt je neplatný nebo již není nastaven.";
inline constexpr const char* NotAnIndex = "Není indexem této tabulky.";
inline constexpr const char* Locked = "Nelze aktualizovat; záznam je právě uzamčen.";
inline constexpr const char* Generic = "Chyba databázového stroje %s.";

// --- files
inline constexpr const char* FileNotFound = "Soubor '%s' nebyl nalezen.";
inline constexpr const char* CannotOpen =
    "Databázový stroj nemůže otevřít soubor '%s'. Je výhradně otevřen jiným uživatelem, nebo nemáte oprávnění číst jeho data.";
inline constexpr const char* FileInUse = "Soubor '%s' nelze použít; je již používán.";
inline constexpr const char* UnrecognizedFormat = "Nerozpoznaný formát databáze '%s'.";
inline constexpr const char* NotOurDatabase =
    "Nerozpoznaný formát databáze '%s': soubor není databází programu Karomil.";
inline constexpr const char* Damaged = "Soubor databáze '%s' je poškozen; obnovte jej ze zálohy.";
inline constexpr const char* LockedFile =
    "Nelze číst ani zapisovat; databázi '%s' drží uzamčenou jiný uživatel nebo program.";
inline constexpr const char* NoInstallableFormat = "Instalovatelný formát ISAM '%s' nebyl nalezen.";
inline constexpr const char* NoDatabasePasswords =
    "Neplatné heslo. Hesla databází nejsou podporována: soubor databáze není šifrován.";
inline constexpr const char* NoOdbc = "Připojení ODBC nejsou v tomto systému k dispozici.";
inline constexpr const char* NoOdbcDirect = "Pracovní prostory ODBCDirect nejsou v tomto systému k dispozici.";
inline constexpr const char* InvalidWorkspaceType = "Neplatný typ pracovního prostoru.";

// --- tables, queries, indexes
inline constexpr const char* TableNotFound = "Databázový stroj nemůže najít vstupní tabulku nebo dotaz '%s'.";
inline constexpr const char* IndexExists = "Index '%s' již existuje.";
inline constexpr const char* PrimaryKeyExists = "Primární klíč již existuje.";
inline constexpr const char* ObjectNameExists = "Objekt '%s' již existuje.";
inline constexpr const char* IndexNeedsField = "Index potřebuje alespoň jedno pole.";
inline constexpr const char* IndexOfDefinition = "Index '%s' patří k definici tabulky a nelze jej odstranit.";
inline constexpr const char* NotAnIndexNamed = "'%s' není indexem této tabulky.";
inline constexpr const char* TooFewParameters = "Příliš málo parametrů. Očekáváno: %s.";
inline constexpr const char* OnlySelect = "Jako sadu záznamů lze otevřít jen výběrový dotaz.";
inline constexpr const char* TableTypeNeedsTable = "Sada záznamů typu tabulka potřebuje název tabulky.";
inline constexpr const char* NoPessimistic =
    "Pesimistické zamykání není k dispozici; otevřete sadu záznamů s optimistickým zamykáním.";
inline constexpr const char* NoDynamic = "Dynamické sady záznamů patří databázím ODBC.";
inline constexpr const char* InvalidRecordsetType = "Neplatný typ sady záznamů %s.";

// --- recordsets
inline constexpr const char* ForwardOnlyBackward = "Sada záznamů pouze vpřed se nemůže posunout zpět.";
inline constexpr const char* ForwardOnlyBookmarks = "Sada záznamů pouze vpřed nemá záložky.";
inline constexpr const char* ForwardOnlyClone = "Sadu záznamů pouze vpřed nelze klonovat.";
inline constexpr const char* InvalidSeekComparison = "Neplatné porovnání hledání '%s'.";
inline constexpr const char* SeekKeyCount =
    "Hledání potřebuje alespoň jeden klíč a nejvýše tolik klíčů, kolik polí má index.";
inline constexpr const char* SeekKeyConversion = "Chyba převodu datového typu v klíči hledání %s.";

// --- field values (the name is the field's)
inline constexpr const char* FieldConversion = "Chyba převodu datového typu v poli '%s'.";
inline constexpr const char* FieldRequired =
    "Pole '%s' nemůže obsahovat hodnotu Null, protože je povinné. Zadejte do pole hodnotu.";
inline constexpr const char* FieldZeroLength = "Pole '%s' nemůže být prázdný řetězec.";
inline constexpr const char* FieldTooSmall = "Pole '%s' je příliš malé pro zadané množství dat.";
inline constexpr const char* FieldNotUpdatable = "Pole '%s' nelze aktualizovat.";
inline constexpr const char* RequiredNullSql = "Pole nemůže obsahovat hodnotu Null (%s).";
inline constexpr const char* SyntaxError = "Chyba syntaxe (%s) ve výrazu '%s'.";

// The text with each "%s" replaced by the next argument, in order.
inline std::string Format(const char* text, const std::vector<std::string>& args) {
    std::string out;
    size_t next = 0;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < args.size()) out += args[next++];
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

}  // namespace Dao::Msg
