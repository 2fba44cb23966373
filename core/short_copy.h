// Copies of a few dozen bytes, made inline.
#pragma once

#include <cstddef>
#include <cstring>

namespace suelvan {

// Copies `size` bytes and returns where they end. Millions of rows are made of pieces this
// short: a library call per piece costs more than the piece, and on some processors its
// wide registers slow down the vector code around it for a while. Fixed-size copies that
// overlap, reading and writing only within the `size` bytes.
inline char* CopyShort(char* to, const char* from, std::size_t size) {
    if (size >= 16) {
        for (std::size_t i = 0; i + 16 < size; i += 16) std::memcpy(to + i, from + i, 16);
        std::memcpy(to + size - 16, from + size - 16, 16);
    } else if (size >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size > 0) {
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    }
    return to + size;
}

}  // namespace suelvan
