#pragma once
// Small helpers shared by the fuzz harnesses.

#include <cstddef>
#include <cstdint>
#include <string>

inline std::string FuzzText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}
