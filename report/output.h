// Writing an output of the report: whole or not at all, never over the diary.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace suelvan::report {

// Whether the output `name` ("-" for standard output) is the diary itself, also through
// a link or a redirection.
bool IsDiary(const std::filesystem::path& name, const std::filesystem::path& diary);

// Written as platform::OutputFile writes: replaced whole, or directly to a device, FIFO or
// "-". Throws Failure.
void WriteOutput(const std::filesystem::path& name, std::string_view bytes);
// The same, made in blocks while it is written: `next` appends a block and returns false
// with the last one.
void WriteOutput(const std::filesystem::path& name, const std::function<bool(std::string& block)>& next);

}  // namespace suelvan::report
