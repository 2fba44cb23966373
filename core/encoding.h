// The log's bytes are Windows-1252 on every system, so one file reads the same everywhere.
#pragma once

#include <string>
#include <string_view>

namespace suelvan {

// UTF-8 in, Windows-1252 out; a character the code page lacks, or a broken UTF-8
// sequence, becomes one '?'.
std::string EncodeWindows1252(std::string_view utf8);

}  // namespace suelvan
