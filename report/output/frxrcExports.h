#pragma once
// The Czech texts of the export filters and their dialogs, registered by the first filter made
// (one table, so a later filter never overwrites another's texts).

void frxRegisterExportTexts();
