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

// Every output is opened, and checked not to be the diary, before any is written. CSV and
// JSON are made and written on threads of their own beside the PDF, which stays on this
// one. Throws Failure, for the first output named that failed.
void WriteOutputs(const std::vector<Output>& outputs, const ReadDiaryResult& read, const PdfMaker& pdf = {});

// A run of the command line after its arguments were read: reads `diary`, writes the
// outputs, says on `say` what went wrong or which lines were not counted. Exit status.
int RunOutputs(const CommandLine& line, const std::filesystem::path& diary, std::vector<std::string> weekdays,
               const std::function<void(const std::string&)>& say, const PdfMaker& pdf = {});

}  // namespace suelvan::report
