// The command line of suelvan-bericht, read and checked without starting anything.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/night_rule.h"
#include "core/period.h"
#include "core/statistics.h"

namespace suelvan::report {

struct Output {
    std::string kind;            // "csv", "json" or "pdf"
    std::filesystem::path file;  // "-" for standard output
};

struct CommandLine {
    enum class Action { Report, Help, BadArgument };
    Action action = Action::Report;
    std::string error;  // German, for BadArgument
    Period period;
    std::optional<NightRule> night;  // given with --night
    std::string nightText;
    std::vector<Output> outputs;  // in the order csv, json, pdf
    std::string name;             // UTF-8
    std::string address;
    std::optional<std::filesystem::path> diary;  // the system's bytes, as given
    bool dates = false;                          // --from or --to given

    bool Window() const { return outputs.empty(); }
    bool Wants(std::string_view kind) const;
};

// The arguments after the program's name, as the system's bytes.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
// "Aufruf: …" and every option, in German.
std::string UsageText();
// For --help the usage on standard output, exit 0; for a bad argument the reason on
// standard error, then the usage, exit 2; nothing for a run.
std::optional<int> AnswerAtOnce(const CommandLine& line);
// "3 Zeilen nicht gezählt (Zeilen 4, 17, 230); --json listet sie auf", or nothing when
// every line counted.
std::string NotCountedText(const Report& report);

}  // namespace suelvan::report
