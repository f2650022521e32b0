#pragma once
// Messages of the DAO database component and table dataset that are this system's own, in
// Czech. The messages the components' documentation quotes (mostly English, with the class
// and setter names) stay as quoted where they are raised.

namespace KDaoConsts {

// A value the engine answered could not be read into its field (the field's display label).
inline constexpr const char* SFieldReadError = "Hodnotu pole '%s' nelze přečíst: %s";
// Locate and Lookup name the routine whose criteria could not be built.
inline constexpr const char* SLocateKeySql = "Unable to build Key SQL!";
inline constexpr const char* SLookupKeySql = "Unable to build Lookup Key SQL!";
inline constexpr const char* SKeyValuesCount =
    "Number of elements in the KeyValues array must be equal to the number of fields.";
// The login dialog's message when it is cancelled (quoted).
inline constexpr const char* SLoginCancelled =
    "If You not enter Username and Password You may not gain access to your data!";

}  // namespace KDaoConsts
