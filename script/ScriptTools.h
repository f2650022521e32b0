#pragma once
// Process-wide script tools: the registry of languages and their grammars, the engine's
// compile and registry messages, literal conversion and source positions.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/Variant.h"

// --- messages ------------------------------------------------------------------------------
// Syntax errors carry the grammar's English texts; these semantic and registry texts are
// Czech. The texts ending in ": " are followed by the offending name in single quotes.
inline constexpr const char* SLangNotFound = "Jazyk '%s' nenalezen";
inline constexpr const char* SInvalidLanguage = "Neplatná definice jazyka";
inline constexpr const char* SIdRedeclared = "Identifikátor předeklarován: ";
inline constexpr const char* SUnknownType = "Neznámý typ: ";
inline constexpr const char* SIncompatibleTypes = "Nekompatibilní typy";
inline constexpr const char* SIdUndeclared = "Nedeklarovaný identifikátor: ";
inline constexpr const char* SClassRequired = "Požadován typ třídy";
inline constexpr const char* SIndexRequired = "Požadován index";
inline constexpr const char* SStringError = "Řetězec nemá vlastnosti, nebo metody";
inline constexpr const char* SClassError = "Třída %s neobsahuje základní vlastnost";
inline constexpr const char* SArrayRequired = "Požadován typ pole";
inline constexpr const char* SVarRequired = "Požadována proměnná";
inline constexpr const char* SNotEnoughParams = "Nedostatek aktuálních parametrů";
inline constexpr const char* STooManyParams = "Příliš mnoho aktuálních parametrů";
inline constexpr const char* SLeftCantAssigned = "Levá stranu nelze přiřadit k";
inline constexpr const char* SForError = "Pro proměnnou smyčky musí být číselná proměnná";
inline constexpr const char* SEventError = "Handler události musí být procedura";
inline constexpr const char* SNestedTooDeeply = "Příliš hluboké vnoření";
inline constexpr const char* SStackOverflow = "Přetečení zásobníku";

// Replaces the first "%s" of `pattern` by `arg` (the messages above take at most one).
std::string fsFormatMessage(std::string_view pattern, std::string_view arg);

// --- languages -----------------------------------------------------------------------------
// The grammars the program ships, embedded from script/grammars/*.xml at build time in
// registration order (JScript, BasicScript, C++Script, PascalScript); each text is one line.
struct TfsGrammarText {
    const char* Name;
    const char* Text;
};
extern const TfsGrammarText fsStandardGrammars[];
extern const int fsStandardGrammarCount;

struct TfsCompiledGrammar;  // ILParser.cpp

// A registered language. Its grammar is read and compiled once, on its first use, and kept
// here until the registry is emptied (parsers share it read-only: scripts run on the GUI
// thread only, so the first use needs no lock).
struct TfsLanguage {
    std::string Name;
    std::string Grammar;
    std::shared_ptr<const TfsCompiledGrammar> Compiled;
};

// Adds the language unless one of that name (case ignored) is registered: the first wins.
void fsRegisterLanguage(const std::string& name, const std::string& grammarText);
// The grammar text; raises Exception "Jazyk '<name>' nenalezen" when the name is unknown.
const std::string& fsGetLanguage(const std::string& name);
// The registered language itself, raising as fsGetLanguage does.
TfsLanguage& fsFindLanguage(const std::string& name);
// Every registered language name, in registration order.
std::vector<std::string> fsGetLanguageList();
// Registers the four shipped languages; part of the engine's start-up.
void fsRegisterStandardLanguages();
// Empties the registry; part of the engine's shut-down.
void fsUnregisterLanguages();

// --- literals and positions -----------------------------------------------------------------
// A literal as the intermediate program writes it: '' → Null; 'text' in single quotes → the
// string between the first and the last character; a whole number (decimal or "$" + hex)
// → a 64-bit integer; anything else a float written with "." (EConvertError otherwise).
Variant fsLiteralToVariant(std::string_view literal);

struct TfsPoint {
    int X = 0;  // column
    int Y = 0;  // line
};
// "line:column" → (column, line); '' → (0, 0). EConvertError when a part is not a number.
TfsPoint fsPosToPoint(std::string_view pos);
