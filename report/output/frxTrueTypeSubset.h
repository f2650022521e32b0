#pragma once
// A TrueType program cut down to the glyphs a set of characters needs, for embedding in a PDF:
// the glyph numbering and every other table stay as they were (so widths, the character map
// and the text already written keep their meaning), the outlines of the other glyphs are empty.

#include <string>
#include <vector>

// The subset of `program` for `chars` (the missing-glyph box and the parts of composite glyphs
// come along). Empty when the program can't be read as a single TrueType face: the caller then
// embeds the whole program.
std::string frxSubsetTrueType(const std::string& program, const std::vector<char32_t>& chars);
