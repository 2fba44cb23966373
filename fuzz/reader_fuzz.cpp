// The diary reader on any bytes: its counts agree with each other, and reading the same
// bytes in pieces gives what reading them whole gives.
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string_view>

#include "core/csv_writer.h"
#include "core/diary_reader.h"
#include "core/line_grammar.h"
#include "core/statistics.h"

namespace {

suelvan::Report Count(std::string_view bytes, std::size_t piece) {
    suelvan::ReportBuilder builder({}, suelvan::NightRule{}, true);
    suelvan::DiaryReader reader(builder.Sink(), true);
    for (std::size_t at = 0; at < bytes.size(); at += piece) reader.Feed(bytes.substr(at, piece));
    reader.Finish();
    return builder.Finish();
}

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t piece = 1 + data[0] % 17;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const suelvan::Report whole = Count(bytes, bytes.size() + 1);
    const suelvan::Report pieces = Count(bytes, piece);

    const auto& total = whole.total;
    Require(std::accumulate(total.levels.begin(), total.levels.end(), 0) == total.entries);
    Require(std::accumulate(whole.hours.begin(), whole.hours.end(), 0) == total.entries);
    Require(static_cast<int>(whole.entries.size()) == total.entries);
    suelvan::DayCounts sum;
    for (const auto& [day, counts] : whole.days) {
        sum.entries += counts.entries;
        sum.nightEntries += counts.nightEntries;
        sum.landings += counts.landings;
        for (std::size_t i = 0; i < 4; ++i) sum.levels[i] += counts.levels[i];
    }
    Require(sum.entries == total.entries && sum.nightEntries == total.nightEntries &&
            sum.landings == total.landings && sum.levels == total.levels);
    int nightSum = 0;
    for (const auto& [night, counts] : whole.nights) nightSum += counts.entries;
    Require(nightSum == total.nightEntries);

    Require(pieces.total.entries == total.entries && pieces.undatedCount == whole.undatedCount &&
            pieces.unrecognisedCount == whole.unrecognisedCount);
    for (std::size_t i = 0; i < whole.entries.size(); ++i) {
        const auto& a = whole.entries[i];
        const auto& b = pieces.entries[i];
        Require(a.day == b.day && a.minute == b.minute && a.level == b.level && a.landing == b.landing &&
                a.note == b.note && a.line == b.line);
    }
    return 0;
}
