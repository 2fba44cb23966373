// The outputs of one run of suelvan-bericht, each written whole or not at all.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "report/command_line.h"
#include "report/read_diary.h"

namespace suelvan::report {

// How the diary must be read for these outputs.
ReadOptions ReadOptionsFor(const std::vector<Output>& outputs);

// The PDF's bytes, made where the fonts are: only a program that draws has it.
using PdfMaker = std::function<std::string(const ReadDiaryResult& read)>;

// Reads `diary` and writes the outputs, each whole or not at all. Every output is opened,
// and checked not to be the diary as opened, before any is written. A CSV without a PDF is
// written while the diary is read; the rest after, on threads of their own beside the PDF,
// which stays on this one. What was read, or throws Failure for the first output named
// that failed.
ReadDiaryResult ReadAndWrite(const std::vector<Output>& outputs, const std::filesystem::path& diary,
                             const Period& period, const NightRule& night, std::vector<std::string> weekdays,
                             const PdfMaker& pdf = {});

// A run of the command line after its arguments were read: reads `diary`, writes the
// outputs, says on `say` what went wrong or which lines were not counted. Exit status.
int RunOutputs(const CommandLine& line, const std::filesystem::path& diary, std::vector<std::string> weekdays,
               const std::function<void(const std::string&)>& say, const PdfMaker& pdf = {});

}  // namespace suelvan::report
