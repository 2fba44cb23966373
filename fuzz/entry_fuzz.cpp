// Any note: the encoded entry is one line, starts with the time and never grows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/day_header.h"
#include "core/encoding.h"
#include "core/entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const suelvan::LocalDateTime time{2026, 12, 8, data[0] % 24, data[1] % 60, 0};
    const std::string_view note(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string line = suelvan::ComposeEntry(time, data[0] % 4, data[1] & 1, note);
    const std::string bytes = suelvan::EncodeWindows1252(line);
    if (bytes.find_first_of("\r\n") != std::string::npos) std::abort();
    if (bytes.size() > line.size()) std::abort();
    if (!bytes.starts_with(suelvan::MakeEntryTime(time))) std::abort();
    // Plain ASCII other than line breaks passes through unchanged.
    bool ascii = true;
    for (const char c : note) ascii = ascii && static_cast<unsigned char>(c) < 0x80 && c != '\r' && c != '\n';
    if (ascii && !bytes.ends_with(note)) std::abort();
    return 0;
}
