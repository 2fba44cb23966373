#include "report/read_diary.h"

#include <algorithm>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/diary_reader.h"
#include "core/entry_order.h"
#include "core/failure.h"
#include "core/line_grammar.h"
#include "core/logfile.h"
#include "report/chunks.h"

namespace fs = std::filesystem;

namespace suelvan::report {
namespace {

// What reading on needs: the last section's bytes, when they are few enough to hold.
std::optional<Onward> OnwardFrom(const platform::File& file, const DiaryReader& reader,
                                 const ReportBuilder& builder, std::uint64_t size) {
    constexpr std::uint64_t kMostHeld = 1 << 20;
    const DiaryReader::Resume& section = reader.LastSection();
    // Without a header there is nothing to read on from but the start.
    if (section.offset == 0 || size - section.offset > kMostHeld) return std::nullopt;
    Onward onward{section, std::string(static_cast<std::size_t>(size - section.offset), '\0'), reader.Lines(),
                  builder.FirstDay(), builder.LastDay()};
    std::error_code error;
    if (file.ReadAt(section.offset, onward.bytes.data(), onward.bytes.size(), error) != onward.bytes.size())
        return std::nullopt;
    return onward;
}

// One reader and the builder it counts into, over the diary or a part of it; the entries
// of the period handed on to `order` too, when given, its sections checked against the
// days it was made with.
struct Counting {
    Counting(const Period& period, const NightRule& night, const ReadOptions& options, std::uint64_t bytes,
             EntryOrder* order = nullptr, const std::vector<int>* days = nullptr)
        : builder(period, night, options.entries) {
        // Everything kept: room for the entries so many bytes may hold (a line is some 30
        // bytes; too much room costs address space only), so half a million are not moved
        // over and over as the vector grows.
        if (!period.from && !period.to && !period.night)
            builder.Reserve(static_cast<std::size_t>(std::min<std::uint64_t>(bytes / 20, 1u << 22)));
        DiarySink sink = builder.Sink();
        if (order) {
            sink.entry = [this, order](DiaryEntry&& e) {
                if (builder.Add(e)) order->Add(std::move(e));
            };
            sink.section = [this, order, days](std::optional<int> day) {
                sectionsAsBefore = sectionsAsBefore && sections < days->size() &&
                                   (*days)[sections] == day.value_or(EntryOrder::kNoDay);
                ++sections;
                order->SectionBegins();
            };
        }
        reader.emplace(std::move(sink), options.entries && options.notes);
        reader->LimitTo(period);
        reader->AcceptWeekdays(options.weekdays);
    }
    Counting(const Counting&) = delete;
    Counting& operator=(const Counting&) = delete;

    ReportBuilder builder;
    std::size_t sections = 0;
    bool sectionsAsBefore = true;
    std::optional<DiaryReader> reader;
};

// The day of every section, read up to `size`, and the bytes read; a large diary in two
// halves at once.
std::pair<std::vector<int>, std::uint64_t> SectionDays(const platform::File& file, std::uint64_t size,
                                                       const ReadOptions& options) {
    const auto read = [&](std::uint64_t start, std::uint64_t end) {
        std::vector<int> days;
        DiaryReader headers(
            {{}, {}, {}, [&](std::optional<int> day) { days.push_back(day.value_or(EntryOrder::kNoDay)); }},
            false);
        headers.AcceptWeekdays(options.weekdays);
        // Not the file's first line: no byte-order mark is dropped there.
        if (start > 0) headers.StartAt({start, 1});
        const std::uint64_t got = ReadThrough(headers, file, start, end);
        return std::pair(std::move(days), got);
    };
    const std::optional<std::uint64_t> split =
        size >= options.splitFrom ? SplitPoint(file, size, options.weekdays) : std::nullopt;
    if (!split) return read(0, size);
    auto later = std::async(std::launch::async, [&] { return read(*split, size); });
    auto [days, got] = read(0, *split);
    auto [more, gotMore] = later.get();
    days.insert(days.end(), more.begin(), more.end());
    // Cut shorter meanwhile: only what was read without a gap counts.
    return {std::move(days), got < *split ? got : *split + gotMore};
}

// Read twice: first only the headers, so that a day's entries are known complete once no
// later section can come before them; then counted, the period's entries handed on in
// the report's order while they are.
ReadDiaryResult ReadInOrder(OpenedDiary diary, const Period& period, const NightRule& night,
                            const ReadOptions& options,
                            const std::function<void(std::vector<DiaryEntry>&)>& ordered) {
    auto [days, size] = SectionDays(*diary.file, diary.state.size, options);
    EntryOrder order(days, ordered);
    Counting counting(period, night, options, size, &order, &days);
    Chunks chunks(*diary.file, 0, size, options.hashed);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next())
        counting.reader->Feed(chunk);
    counting.reader->Finish();
    // Else the entries may have been handed on out of order.
    if (chunks.Got() != size || !counting.sectionsAsBefore || counting.sections != days.size())
        throw Failure("Das Tagebuch wurde während des Lesens geändert; bitte noch einmal aufrufen: " +
                      ShownPath(diary.path));
    order.Finish();
    return {{diary.path, size, chunks.HexDigest(), diary.state.identity, diary.state.modified},
            counting.builder.Finish(),
            false,
            false,
            std::move(diary.file),
            period,
            options.weekdays,
            {}};
}

}  // namespace

std::optional<std::uint64_t> SplitPoint(const platform::File& file, std::uint64_t size,
                                        const std::vector<std::string>& weekdays, unsigned percent) {
    std::string near(256 << 10, '\0');
    const std::uint64_t from = size / 100 * percent;
    std::error_code error;
    near.resize(file.ReadAt(from, near.data(), near.size(), error));
    if (error) return std::nullopt;
    for (std::size_t lf = near.find('\n'); lf != std::string::npos; lf = near.find('\n', lf + 1)) {
        const std::size_t end = near.find_first_of("\r\n", lf + 1);
        if (end == std::string::npos) break;
        const std::string_view line(near.data() + lf + 1, end - lf - 1);
        // Never a byte-order mark: the reader drops one only on the file's first line.
        if (!line.empty() && line[0] != '\xEF' && ParseHeaderLine(line, weekdays)) return from + lf + 1;
    }
    return std::nullopt;
}

OpenedDiary OpenDiary(const fs::path& path) {
    std::error_code ignored;
    const fs::path absolute = fs::absolute(path, ignored).lexically_normal();
    auto file =
        std::make_shared<platform::File>(platform::File::Open(absolute, platform::File::Access::Read));
    const platform::FileState state = file->State();
    return {absolute, std::move(file), state};
}

ReadDiaryResult ReadDiary(const fs::path& path, const Period& period, const NightRule& night,
                          const ReadOptions& options) {
    return ReadDiary(OpenDiary(path), period, night, options);
}

ReadDiaryResult ReadDiary(OpenedDiary diary, const Period& period, const NightRule& night,
                          const ReadOptions& options,
                          const std::function<void(std::vector<DiaryEntry>&)>& ordered) {
    if (ordered) return ReadInOrder(std::move(diary), period, night, options, ordered);
    const fs::path& absolute = diary.path;
    std::shared_ptr<platform::File> file = std::move(diary.file);
    const platform::FileState& state = diary.state;

    // A large diary is read again for the digest on a thread of its own, so that neither
    // the counting waits for the hash nor the hash for it; and counted in two halves at
    // once, but for a period with both ends: the sections outside it are only skimmed.
    const bool large = options.hashed && !options.onward && state.size >= options.splitFrom;
    const bool skimmed = (period.from && period.to) || period.night;
    const std::optional<std::uint64_t> split =
        large && !skimmed ? SplitPoint(*file, state.size, options.weekdays) : std::nullopt;
    std::future<std::pair<std::string, std::uint64_t>> digest;
    if (large) digest = std::async(std::launch::async, [&] { return Digest(*file, state.size); });
    std::future<std::unique_ptr<Counting>> later;
    if (split) {
        later = std::async(std::launch::async, [&] {
            auto counting = std::make_unique<Counting>(period, night, options, state.size - *split);
            // Its lines are numbered from its start, and moved on behind the first half's.
            counting->reader->StartAt({*split, 0});
            ReadThrough(*counting->reader, *file, *split, state.size);
            return counting;
        });
    }
    Counting first(period, night, options, split.value_or(state.size));
    DiaryReader& reader = *first.reader;
    Chunks chunks(*file, 0, split.value_or(state.size), options.hashed && !large);
    for (std::string_view chunk = chunks.Next(); !chunk.empty(); chunk = chunks.Next()) reader.Feed(chunk);
    reader.Finish();
    if (split) first.builder.Append(std::move(later.get()->builder), reader.Lines());
    auto [sha256, bytes] = large ? digest.get() : std::pair(chunks.HexDigest(), chunks.Got());
    ReadDiaryResult read{{absolute, bytes, std::move(sha256), state.identity, state.modified},
                         first.builder.Finish(),
                         options.entries && options.notes,
                         options.entries,
                         std::move(file),
                         period,
                         options.weekdays,
                         {}};
    if (options.onward && options.entries)
        read.onward = OnwardFrom(*read.file, reader, first.builder, read.info.bytes);
    return read;
}

std::optional<ReadDiaryResult> ReadOnward(const fs::path& path, ReadDiaryResult& held) {
    if (!held.onward || !held.entriesKept || !held.file) return std::nullopt;
    const Onward& from = *held.onward;
    if (platform::IdentityOf(path) != held.info.identity) return std::nullopt;  // replaced
    const platform::FileState state = held.file->State();
    if (state.size <= held.info.bytes) return std::nullopt;
    // The last section as it was read: else the file was rewritten, not appended to.
    std::string section(from.bytes.size(), '\0');
    std::error_code error;
    if (held.file->ReadAt(from.section.offset, section.data(), section.size(), error) != section.size() ||
        section != from.bytes)
        return std::nullopt;
    Report& before = held.report;
    // A line not counted beyond those listed could not be told apart from a new one.
    if (before.undatedCount > before.undatedLines.size() ||
        before.unrecognisedCount > before.unrecognisedLines.size())
        return std::nullopt;

    // The last section and what follows, as a reading of the whole file sees them.
    std::vector<DiaryEntry> entries;
    std::vector<std::uint64_t> undated;
    std::vector<UnrecognisedLine> unrecognised;
    DiaryReader reader({[&](DiaryEntry&& e) { entries.push_back(std::move(e)); },
                        [&](std::uint64_t line) { undated.push_back(line); },
                        [&](std::uint64_t line, std::string text) {
                            unrecognised.push_back({line, std::move(text)});
                        },
                        {}},
                       held.notesKept);
    reader.LimitTo(held.period);
    reader.AcceptWeekdays(held.weekdays);
    reader.StartAt(from.section);
    const std::uint64_t got = ReadThrough(reader, *held.file, from.section.offset, state.size);

    // What was read of the section before must be read the same now; then only the rest
    // is counted on.
    const auto old = [&](std::uint64_t line) {
        return line > from.section.linesBefore && line <= from.lines;
    };
    const auto same = [](const DiaryEntry& a, const DiaryEntry& b) {
        return a.line == b.line && a.day == b.day && a.minute == b.minute && a.level == b.level &&
               a.landing == b.landing && a.noteOffset == b.noteOffset && a.noteBytes == b.noteBytes;
    };
    std::vector<const DiaryEntry*> heldOld, readOld;
    for (const DiaryEntry& e : before.entries)
        if (old(e.line)) heldOld.push_back(&e);
    for (const DiaryEntry& e : entries)
        if (old(e.line) && InPeriod(e, held.period, before.night)) readOld.push_back(&e);
    const auto byLine = [](const DiaryEntry* a, const DiaryEntry* b) { return a->line < b->line; };
    std::sort(heldOld.begin(), heldOld.end(), byLine);
    std::sort(readOld.begin(), readOld.end(), byLine);
    if (!std::equal(heldOld.begin(), heldOld.end(), readOld.begin(), readOld.end(),
                    [&](const DiaryEntry* a, const DiaryEntry* b) { return same(*a, *b); }))
        return std::nullopt;
    const auto oldUndated = [&](const std::vector<std::uint64_t>& lines) {
        std::vector<std::uint64_t> kept;
        for (const std::uint64_t line : lines)
            if (old(line)) kept.push_back(line);
        return kept;
    };
    const auto oldUnrecognised = [&](const std::vector<UnrecognisedLine>& lines) {
        std::vector<std::pair<std::uint64_t, std::string_view>> kept;
        for (const UnrecognisedLine& line : lines)
            if (old(line.line)) kept.emplace_back(line.line, line.text);
        return kept;
    };
    if (oldUndated(before.undatedLines) != oldUndated(undated) ||
        oldUnrecognised(before.unrecognisedLines) != oldUnrecognised(unrecognised))
        return std::nullopt;

    ReportBuilder builder(std::move(before), held.period, from.firstDay, from.lastDay, true);
    for (DiaryEntry& e : entries)
        if (e.line > from.lines) builder.Add(std::move(e));
    for (const std::uint64_t line : undated)
        if (line > from.lines) builder.AddUndated(line);
    for (UnrecognisedLine& line : unrecognised)
        if (line.line > from.lines) builder.AddUnrecognised(line.line, std::move(line.text));
    ReadDiaryResult read{{held.info.path, from.section.offset + got, {}, held.info.identity, state.modified},
                         builder.Finish(),
                         held.notesKept,
                         true,
                         held.file,
                         held.period,
                         held.weekdays,
                         {}};
    read.onward = OnwardFrom(*read.file, reader, builder, read.info.bytes);
    return read;
}

}  // namespace suelvan::report
