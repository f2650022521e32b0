#pragma once
// Streams as text, and scratch files: the hexadecimal form in which stored reports keep
// binary data (pictures, embedded streams), and the temporary files the library spools to.
//
// The hex routines always work from position 0 of the stream; they hold no state.

#include <string>

class TStream;

// --- hexadecimal text ------------------------------------------------------------------------
std::string frxStreamToHex(TStream* stream);  // the whole stream, two upper-case digits per byte
// Writes the bytes at position 0. A character that is not a hexadecimal digit ends the data:
// the stream is cut after the last whole byte before it.
void frxHexToStream(const std::string& hex, TStream* stream);

// --- temporary files -------------------------------------------------------------------------
// A new empty file "fr..." in dir, or in the system's temporary folder when dir is ''.
std::string frxCreateTempFile(const std::string& dir);
