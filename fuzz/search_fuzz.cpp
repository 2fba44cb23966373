// The backward chunked search agrees with a plain forward search, for any chunk sizes and
// any placement of the header, across chunk boundaries in particular.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/logfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    const std::size_t firstChunk = 1 + data[0] % 64;
    const std::size_t maxChunk = firstChunk + data[1] % 200;
    const std::size_t needleLength = 1 + data[2] % 24;
    const std::size_t fromEnd = data[3] | (data[4] & 0x3) << 8;  // where to plant a copy
    const std::string rest(reinterpret_cast<const char*>(data + 5), size - 5);
    if (rest.size() < needleLength) return 0;

    const std::string needle = rest.substr(0, needleLength);
    std::string file = rest.substr(needleLength);
    if ((data[4] & 0x4) && fromEnd + needle.size() <= file.size()) {
        file.replace(file.size() - fromEnd - needle.size(), needle.size(), needle);
    }
    std::istringstream in(file);
    const bool found = suelvan::ContainsBackward(in, needle, firstChunk, maxChunk);
    if (found != (file.find(needle) != std::string::npos)) std::abort();
    if (in.bad()) std::abort();
    return 0;
}
