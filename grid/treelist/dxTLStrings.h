#pragma once
// The tree list's entries of the program's string table. 38802, 38809 and 38810 serve a column
// customizing window that this system does not create; they are registered all the same, so
// that a translation finds its numbers.

#include <string>

enum : int {
    dxSInvalidOwner = 38801,
    dxSCustomize = 38802,
    dxSBands = 38809,
    dxSHeaders = 38810,
};

// The text of an entry; the built-in texts are added on first use (a translation registered
// earlier stays).
std::string dxTLLoadStr(int id);
void dxAddTreeListStrings();
