#include "core/statistics.h"

#include <algorithm>

namespace suelvan {

void Pack(std::string& out, const DayCounts& counts) {
    for (const int n : {counts.entries, counts.nightEntries, counts.landings, counts.levels[0],
                        counts.levels[1], counts.levels[2], counts.levels[3]})
        PackNumber(out, static_cast<std::uint64_t>(n));
}

void Unpack(const char*& in, DayCounts& counts) {
    for (int* n : {&counts.entries, &counts.nightEntries, &counts.landings, &counts.levels[0],
                   &counts.levels[1], &counts.levels[2], &counts.levels[3]})
        *n = static_cast<int>(UnpackNumber(in));
}

void Pack(std::string& out, const NightCounts& counts) {
    for (const int n : {counts.entries, counts.first, counts.last})
        PackNumber(out, static_cast<std::uint64_t>(n));
}

void Unpack(const char*& in, NightCounts& counts) {
    for (int* n : {&counts.entries, &counts.first, &counts.last}) *n = static_cast<int>(UnpackNumber(in));
}

namespace {

void AddDay(DayCounts& into, const DayCounts& more) {
    into.entries += more.entries;
    into.nightEntries += more.nightEntries;
    into.landings += more.landings;
    for (std::size_t level = 0; level < 4; ++level) into.levels[level] += more.levels[level];
}

}  // namespace

ReportBuilder::ReportBuilder(Period period, NightRule night, bool keepEntries)
    : period_(period), keepEntries_(keepEntries) {
    report_.night = night;
    report_.days = DayTable<DayCounts>(AddDay);
    report_.nights = DayTable<NightCounts>([night](NightCounts& into, const NightCounts& more) {
        if (into.entries == 0) {
            into = more;
            return;
        }
        if (night.SinceStart(more.first) < night.SinceStart(into.first)) into.first = more.first;
        if (night.SinceStart(more.last) > night.SinceStart(into.last)) into.last = more.last;
        into.entries += more.entries;
    });
}

ReportBuilder::ReportBuilder(Report&& counted, Period period, std::optional<int> firstDay,
                             std::optional<int> lastDay, bool keepEntries)
    : period_(period),
      keepEntries_(keepEntries),
      report_(std::move(counted)),
      firstDay_(firstDay),
      lastDay_(lastDay) {}

void ReportBuilder::Reserve(std::size_t entries) {
    if (keepEntries_) report_.entries.reserve(entries);
}

DiarySink ReportBuilder::Sink() {
    return {[this](DiaryEntry&& e) { Add(std::move(e)); },
            [this](std::uint64_t line) { AddUndated(line); },
            [this](std::uint64_t line, std::string text) { AddUnrecognised(line, std::move(text)); },
            {}};
}

void ReportBuilder::Add(DiaryEntry&& e) {
    if (Count(e) && keepEntries_) report_.entries.push_back(std::move(e));
}

bool ReportBuilder::Add(const DiaryEntry& e) {
    if (!Count(e)) return false;
    if (keepEntries_) report_.entries.push_back(e);
    return true;
}

bool ReportBuilder::Count(const DiaryEntry& e) {
    firstDay_ = std::min(firstDay_.value_or(e.day), e.day);
    lastDay_ = std::max(lastDay_.value_or(e.day), e.day);
    if (!InPeriod(e, period_, report_.night)) return false;
    const bool atNight = report_.night.Contains(e.minute);
    // Entries come day by day: the map is searched once per day, not per entry.
    if (!dayCounts_ || dayCountsOf_ != e.day) {
        dayCounts_ = &report_.days[e.day];
        dayCountsOf_ = e.day;
    }
    for (DayCounts* counts : {&report_.total, dayCounts_}) {
        ++counts->entries;
        counts->nightEntries += atNight;
        counts->landings += e.landing;
        ++counts->levels[static_cast<std::size_t>(e.level)];
    }
    ++report_.hours[static_cast<std::size_t>(e.minute / 60)];
    if (atNight) {
        const int named = report_.night.NightOf(e.day, e.minute);
        if (!nightCounts_ || nightCountsOf_ != named) {
            nightCounts_ = &report_.nights[named];
            nightCountsOf_ = named;
        }
        NightCounts& night = *nightCounts_;
        const int since = report_.night.SinceStart(e.minute);
        if (night.entries == 0 || since < report_.night.SinceStart(night.first)) night.first = e.minute;
        if (night.entries == 0 || since > report_.night.SinceStart(night.last)) night.last = e.minute;
        ++night.entries;
    }
    return true;
}

void ReportBuilder::AddUndated(std::uint64_t line) {
    if (report_.undatedCount++ < kListedLines) report_.undatedLines.push_back(line);
}

void ReportBuilder::AddUnrecognised(std::uint64_t line, std::string text) {
    if (report_.unrecognisedCount++ < kListedLines)
        report_.unrecognisedLines.push_back({line, std::move(text)});
}

void ReportBuilder::Append(ReportBuilder&& later, std::uint64_t linesBefore) {
    Report& more = later.report_;
    AddDay(report_.total, more.total);
    for (std::size_t hour = 0; hour < report_.hours.size(); ++hour) report_.hours[hour] += more.hours[hour];
    report_.days.Add(std::move(more.days));
    report_.nights.Add(std::move(more.nights));
    dayCounts_ = nullptr;
    nightCounts_ = nullptr;
    for (const std::uint64_t line : more.undatedLines)
        if (report_.undatedLines.size() < kListedLines) report_.undatedLines.push_back(line + linesBefore);
    report_.undatedCount += more.undatedCount;
    for (UnrecognisedLine& line : more.unrecognisedLines) {
        if (report_.unrecognisedLines.size() < kListedLines)
            report_.unrecognisedLines.push_back({line.line + linesBefore, std::move(line.text)});
    }
    report_.unrecognisedCount += more.unrecognisedCount;
    report_.entries.reserve(report_.entries.size() + more.entries.size());
    for (DiaryEntry& e : more.entries) {
        e.line += linesBefore;
        report_.entries.push_back(std::move(e));
    }
    if (later.firstDay_) firstDay_ = std::min(firstDay_.value_or(*later.firstDay_), *later.firstDay_);
    if (later.lastDay_) lastDay_ = std::max(lastDay_.value_or(*later.lastDay_), *later.lastDay_);
}

Report ReportBuilder::Finish() {
    std::optional<int> from = period_.from ? period_.from : firstDay_;
    std::optional<int> to = period_.to ? period_.to : lastDay_;
    // A bound past every entry makes the period that one day.
    if (from && !to) to = from;
    if (to && !from) from = to;
    if (from && to && *from > *to) {
        if (!period_.to) to = from;
        if (!period_.from) from = to;
    }
    if (period_.night) {  // the dates the night spans
        from = *period_.night + (report_.night.start < kHalfDay ? 1 : 0);
        to = *from + (report_.night.start > report_.night.end ? 1 : 0);
    }
    report_.from = from;
    report_.to = to;
    // The line number makes the order total: no stable sort needed. A diary written by
    // the program alone mostly comes in order already.
    const auto before = [](const DiaryEntry& a, const DiaryEntry& b) {
        return a.day != b.day ? a.day < b.day : a.minute != b.minute ? a.minute < b.minute : a.line < b.line;
    };
    if (!std::is_sorted(report_.entries.begin(), report_.entries.end(), before))
        std::sort(report_.entries.begin(), report_.entries.end(), before);
    return std::move(report_);
}

bool InPeriod(const DiaryEntry& e, const Period& period, const NightRule& night) {
    if ((period.from && e.day < *period.from) || (period.to && e.day > *period.to)) return false;
    return !period.night || (night.Contains(e.minute) && night.NightOf(e.day, e.minute) == *period.night);
}

Report Recount(Report&& held, const Period& period, const NightRule& night) {
    ReportBuilder builder(period, night, false);
    for (const DiaryEntry& entry : held.entries) builder.Add(entry);
    Report report = builder.Finish();
    report.entries = std::move(held.entries);
    report.undatedCount = held.undatedCount;
    report.undatedLines = std::move(held.undatedLines);
    report.unrecognisedCount = held.unrecognisedCount;
    report.unrecognisedLines = std::move(held.unrecognisedLines);
    return report;
}

bool Selects(const Selection& selection, const DiaryEntry& entry, const NightRule& night) {
    switch (selection.kind) {
        case Selection::Kind::All: return true;
        case Selection::Kind::Date: return entry.day == selection.value;
        case Selection::Kind::Night:
            return night.Contains(entry.minute) && night.NightOf(entry.day, entry.minute) == selection.value;
        case Selection::Kind::Hour: return entry.minute / 60 == selection.value;
    }
    return false;
}

Report ReportOf(const Report& report, const Selection& selection) {
    Period period{report.from, report.to, std::nullopt};
    if (selection.kind == Selection::Kind::Date) period = {selection.value, selection.value, std::nullopt};
    if (selection.kind == Selection::Kind::Night) period = {std::nullopt, std::nullopt, selection.value};
    ReportBuilder builder(period, report.night, true);
    for (const DiaryEntry& entry : report.entries) {
        if (Selects(selection, entry, report.night)) builder.Add(DiaryEntry(entry));
    }
    return builder.Finish();
}

std::vector<DateCount> PerDate(const Report& report, int mostCalendarDays, DateSpan span) {
    std::vector<DateCount> bars;
    std::optional<int> from = report.from;
    std::optional<int> to = report.to;
    if (span == DateSpan::Entries) {
        from = to = std::nullopt;
        for (const auto& [day, counts] : report.days) {
            if (!from) from = day;
            to = day;
        }
    }
    if (from && *to - *from < mostCalendarDays) {
        auto counted = report.days.begin();
        for (int day = *from; day <= *to; ++day) {
            while (counted != report.days.end() && counted->first < day) ++counted;
            const bool has = counted != report.days.end() && counted->first == day;
            bars.push_back({day, has ? counted->second.entries : 0});
        }
    } else {
        for (const auto& [day, counts] : report.days) bars.push_back({day, counts.entries});
    }
    return bars;
}

}  // namespace suelvan
