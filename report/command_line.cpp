#include "report/command_line.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "core/calendar.h"
#include "platform/file.h"

namespace suelvan::report {
namespace {

struct Option {
    std::string_view name;
    std::string_view value;  // empty: takes none
    std::string_view help;
};

constexpr std::array<Option, 9> kOptions{{
    {"from", "JJJJ-MM-TT", "Erster Tag des Zeitraums."},
    {"to", "JJJJ-MM-TT", "Letzter Tag des Zeitraums."},
    {"night", "H:MM-H:MM", "Nachtzeit, Beginn bis Ende (Vorgabe: 22:00-06:00)."},
    {"csv", "DATEI", "Die Einträge als CSV."},
    {"json", "DATEI", "Die Zählung als JSON."},
    {"pdf", "DATEI", "Der Bericht als PDF."},
    {"name", "TEXT", "Ihr Name im Bericht."},
    {"address", "TEXT", "Ihre Anschrift im Bericht."},
    {"help", "", "Zeigt diese Hilfe."},
}};

// "YYYY-MM-DD" naming a real date.
std::optional<int> IsoDay(std::string_view s) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t digits) {
        int n = 0;
        for (std::size_t i = at; i < at + digits; ++i) n = n * 10 + (s[i] - '0');
        return n;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 1 || !IsCalendarDate(year, month, day)) return std::nullopt;
    return DayNumber(year, month, day);
}

// Options and their values as given, each option's values in order; positional arguments.
struct Given {
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> positional;
    std::vector<std::string> Values(std::string_view name) const {
        std::vector<std::string> values;
        for (const auto& [option, value] : options) {
            if (option == name) values.push_back(value);
        }
        return values;
    }
};

// Splits the arguments; an error text, or nothing.
std::optional<std::string> Split(const std::vector<std::string>& arguments, Given& given) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") {
            given.positional.insert(given.positional.end(), arguments.begin() + static_cast<long>(i) + 1,
                                    arguments.end());
            break;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            given.positional.push_back(argument);
            continue;
        }
        if (argument == "-h" || argument == "-?") {
            given.options.emplace_back("help", "");
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name =
            argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const auto option =
            std::find_if(kOptions.begin(), kOptions.end(), [&](const Option& o) { return o.name == name; });
        if (!argument.starts_with("--") || option == kOptions.end())
            return "Unbekannte Option „" + argument + "“.";
        if (option->value.empty()) {
            if (equals != std::string::npos) return "Die Option „--" + name + "“ nimmt keinen Wert.";
            given.options.emplace_back(name, "");
        } else if (equals != std::string::npos) {
            given.options.emplace_back(name, argument.substr(equals + 1));
        } else if (i + 1 < arguments.size()) {
            given.options.emplace_back(name, arguments[++i]);
        } else {
            return "Fehlender Wert nach „--" + name + "“.";
        }
    }
    return std::nullopt;
}

CommandLine Bad(std::string why) {
    CommandLine line;
    line.action = CommandLine::Action::BadArgument;
    line.error = std::move(why);
    return line;
}

}  // namespace

bool CommandLine::Wants(std::string_view kind) const {
    return std::any_of(outputs.begin(), outputs.end(), [&](const Output& o) { return o.kind == kind; });
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    Given given;
    if (const auto error = Split(arguments, given)) return Bad(*error);
    CommandLine line;
    if (!given.Values("help").empty()) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (given.positional.size() > 1) return Bad("Nur ein Tagebuch kann angegeben werden.");
    if (!given.positional.empty() && given.positional.front().empty())
        return Bad("Leerer Dateiname für das Tagebuch.");
    if (!given.positional.empty()) line.diary = platform::PathOfArgument(given.positional.front());
    for (const auto& [name, bound] :
         {std::pair{"from", &line.period.from}, std::pair{"to", &line.period.to}}) {
        const std::vector<std::string> values = given.Values(name);
        if (values.empty()) continue;
        line.dates = true;
        *bound = IsoDay(values.back());
        if (!*bound)
            return Bad(std::string("Kein gültiges Datum für --") + name + ": „" + values.back() +
                       "“ (erwartet JJJJ-MM-TT).");
    }
    if (line.period.from && line.period.to && *line.period.from > *line.period.to)
        return Bad("Der Zeitraum endet vor seinem Beginn (--from liegt nach --to).");
    if (const std::vector<std::string> nights = given.Values("night"); !nights.empty()) {
        line.nightText = nights.back();
        line.night = ParseNightRule(line.nightText);
        if (!line.night)
            return Bad("Keine gültige Nachtzeit: „" + line.nightText +
                       "“ (erwartet H:MM-H:MM, Beginn und Ende verschieden).");
    }
    for (const char* kind : {"csv", "json", "pdf"}) {
        const std::vector<std::string> files = given.Values(kind);
        if (files.empty()) continue;
        if (files.size() > 1) return Bad(std::string("--") + kind + " ist mehrfach angegeben.");
        if (files.front().empty()) return Bad(std::string("Leerer Dateiname für --") + kind + ".");
        line.outputs.push_back({kind, platform::PathOfArgument(files.front())});
    }
    if (std::count_if(line.outputs.begin(), line.outputs.end(),
                      [](const Output& o) { return o.file == "-"; }) > 1)
        return Bad("Nur eine Ausgabe kann auf die Standardausgabe (-) gehen.");
    for (const auto& [name, text] : {std::pair{"name", &line.name}, std::pair{"address", &line.address}}) {
        if (const std::vector<std::string> values = given.Values(name); !values.empty())
            *text = values.back();
    }
    return line;
}

std::string UsageText() {
    std::string text =
        "Aufruf: suelvan-bericht [Optionen] [TAGEBUCH]\n"
        "Macht aus dem Fluglärm-Tagebuch Belege für die Behörde: Nächte gezählt, als CSV, JSON und PDF.\n"
        "Mit - als DATEI geht die Ausgabe auf die Standardausgabe.\n\n"
        "Optionen:\n";
    for (const Option& option : kOptions) {
        std::string left = option.name == "help" ? "-h, --help" : "--" + std::string(option.name);
        if (!option.value.empty()) left += " <" + std::string(option.value) + ">";
        text += "  " + left + std::string(left.size() < 24 ? 24 - left.size() : 1, ' ') +
                std::string(option.help) + "\n";
    }
    text +=
        "\nArgumente:\n"
        "  TAGEBUCH                Das Tagebuch; ohne Angabe Sülvan.txt neben dem Programm.\n";
    return text;
}

std::optional<int> AnswerAtOnce(const CommandLine& line) {
    if (line.action == CommandLine::Action::Help) {
        std::fputs(UsageText().c_str(), stdout);
        return 0;
    }
    if (line.action == CommandLine::Action::BadArgument) {
        std::fputs(("suelvan-bericht: " + line.error + "\n\n").c_str(), stderr);
        std::fputs(UsageText().c_str(), stderr);
        return 2;
    }
    return std::nullopt;
}

std::string NotCountedText(const Report& report) {
    const std::uint64_t count = report.undatedCount + report.unrecognisedCount;
    if (count == 0) return {};
    std::vector<std::uint64_t> lines(report.undatedLines);
    for (const UnrecognisedLine& line : report.unrecognisedLines) lines.push_back(line.line);
    std::sort(lines.begin(), lines.end());
    constexpr std::size_t kShown = 5;
    std::string numbers;
    for (std::size_t i = 0; i < std::min(lines.size(), kShown); ++i)
        numbers += (i > 0 ? ", " : "") + std::to_string(lines[i]);
    if (count > kShown) numbers += ", …";
    const bool one = count == 1;
    return std::to_string(count) + (one ? " Zeile nicht gezählt (Zeile " : " Zeilen nicht gezählt (Zeilen ") +
           numbers + "); --json listet sie auf";
}

}  // namespace suelvan::report
