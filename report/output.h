// Writing an output of the report: whole or not at all, never over the diary.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file.h"

namespace suelvan::report {

// Whether the output `name` ("-" for standard output) is the diary itself, also through
// a link or a redirection.
bool IsDiary(const std::filesystem::path& name, const std::filesystem::path& diary);

// Made in blocks while it is written: `next` appends a block and returns false with the
// last one; then the output is put in place. Throws Failure.
void WriteOutput(platform::OutputFile& output, const std::function<bool(std::string& block)>& next);
// The same into a file opened for it, never the diary. Throws Failure.
void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 const std::function<bool(std::string& block)>& next);
void WriteOutput(const std::filesystem::path& name, const std::optional<platform::FileIdentity>& diary,
                 std::string_view bytes);

}  // namespace suelvan::report
