#pragma once
// The program's numbered string resources (the string table): a library registers its texts
// under fixed numbers, code loads them by number with LoadStr. A translation replaces texts
// under the same numbers; the numbers never change.

#include <string>
#include <utility>
#include <vector>

// The text of string id; empty when the table has no such entry (as LoadString gives 0).
std::string LoadStr(int id);
bool StringResourceExists(int id);
// Puts text under id, replacing what was there (a translation).
void RegisterStringResource(int id, const std::string& text);
// Puts each text under its id unless the id already has one: a library's built-in texts,
// which must not undo a translation registered before them.
void AddStringResources(const std::vector<std::pair<int, std::string>>& texts);
