#include "core/entry.h"

#include "core/day_header.h"

namespace suelvan {
namespace {

// UTF-8 of the line breaks a note may bring along from the clipboard.
constexpr std::string_view kNextLine = "\xC2\x85";                // U+0085
constexpr std::string_view kLineSeparator = "\xE2\x80\xA8";       // U+2028
constexpr std::string_view kParagraphSeparator = "\xE2\x80\xA9";  // U+2029

std::string OneLine(std::string_view note) {
    std::string line;
    line.reserve(note.size());
    for (std::size_t i = 0; i < note.size();) {
        const std::string_view rest = note.substr(i);
        if (rest[0] == '\r' || rest[0] == '\n') {
            line += ' ';
            ++i;
        } else if (rest.starts_with(kNextLine)) {
            line += ' ';
            i += kNextLine.size();
        } else if (rest.starts_with(kLineSeparator) || rest.starts_with(kParagraphSeparator)) {
            line += ' ';
            i += kLineSeparator.size();
        } else {
            line += rest[0];
            ++i;
        }
    }
    return line;
}

}  // namespace

std::string ComposeEntry(const LocalDateTime& entryTime, LoudnessLevel loudness, bool landing,
                         std::string_view note) {
    std::string line = MakeEntryTime(entryTime);
    if (loudness >= 1 && loudness <= 3) line += kLoudnessSteps[static_cast<std::size_t>(loudness)].marker;
    if (landing) line += " Landung?";
    line += ' ';
    line += OneLine(note);
    return line;
}

}  // namespace suelvan
