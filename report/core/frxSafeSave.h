#pragma once
// Saving a file without risking the one it replaces: the data go to a new temporary file in
// the same folder, which then takes the old file's place in one rename. A failure on the way
// (a full disk, a writer that raises) leaves the old file as it was and removes the
// temporary one.

#include <functional>
#include <string>

class TStream;

void frxSaveFileSafely(const std::string& fileName, const std::function<void(TStream*)>& write);
