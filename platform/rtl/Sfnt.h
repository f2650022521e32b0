#pragma once
// The table container of a TrueType/OpenType font program ("sfnt"): reading it into its tables
// and writing tables back as one file with a valid directory and checksums. Byte work only; what
// is inside the tables is the business of the caller.

#include <cstdint>
#include <string>
#include <vector>

struct TSfntTable {
    std::string Tag;  // four characters, e.g. "glyf"
    std::string Data;
};

// The tables of a single-face program, in directory order. Empty when the data is not one
// (too short, a collection, a table pointing outside the data).
std::vector<TSfntTable> SfntRead(const std::string& program);
// One program of `tables`, in the order given; the head table's whole-file checksum adjustment
// is set when a head table of full length is among them.
std::string SfntBuild(const std::vector<TSfntTable>& tables);

// Big-endian access that reads 0 past the end, so damaged tables can't be read out of bounds.
uint16_t SfntU16(const std::string& s, size_t at) noexcept;
uint32_t SfntU32(const std::string& s, size_t at) noexcept;
void SfntPut16(std::string& s, size_t at, uint16_t v);
void SfntPut32(std::string& s, size_t at, uint32_t v);
