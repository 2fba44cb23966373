// The report's reading and writing without Qt: the diary as it was opened, outputs never
// over it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

#include "core/calendar.h"
#include "core/failure.h"
#include "core/line_grammar.h"
#include "report/csv_output.h"
#include "report/json.h"
#include "report/output.h"
#include "report/outputs.h"
#include "report/read_diary.h"
#include "tests/temp_dir.h"

namespace suelvan::report {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Dates are counted on from the day before: across the ends of months and years, leap
// days and gaps, every one as the calendar has it.
TEST(Json, DatesOfDaysAndNightsAcrossMonthsYearsAndGaps) {
    ReportBuilder builder({}, NightRule{}, false);
    const std::pair<int, int> runs[] = {{DayNumber(2026, 1, 27), 6},  {DayNumber(2026, 2, 25), 6},
                                        {DayNumber(2028, 2, 26), 5},  {DayNumber(2100, 2, 27), 3},
                                        {DayNumber(2026, 12, 29), 5}, {DayNumber(2027, 4, 28), 4}};
    for (const auto& [first, count] : runs) {
        for (int day = first; day < first + count; ++day)
            builder.Add(DiaryEntry{day, 23 * 60, 1, false, {}, 1, 0, 0});
    }
    const Report report = builder.Finish();
    std::string expectedDays, expectedNights;
    for (const auto& item : report.days) expectedDays += IsoDate(item.first) + " ";
    for (const auto& item : report.nights) expectedNights += IsoDate(item.first) + " ";
    const std::string json = JsonText(report, DiaryInfo{});
    std::string days, nights;
    const std::regex date("\"(date|night)\":\"([0-9-]+)\"");
    for (auto m = std::sregex_iterator(json.begin(), json.end(), date); m != std::sregex_iterator(); ++m)
        ((*m)[1] == "date" ? days : nights) += (*m)[2].str() + " ";
    EXPECT_EQ(days, expectedDays);
    EXPECT_EQ(nights, expectedNights);
    EXPECT_NE(days.find("2028-02-29 2028-03-01 "), std::string::npos);
    EXPECT_NE(days.find("2100-02-28 2100-03-01 "), std::string::npos);
    // Made in blocks of any size, the same text.
    const DiaryInfo diary;  // held by the writer
    for (const std::size_t bytes : {1, 90, 1000}) {
        JsonWriter writer(report, diary);
        std::string blocks;
        while (writer.Next(blocks, blocks.size() + bytes)) {
        }
        EXPECT_EQ(blocks, json) << bytes;
    }
}

class ReportFiles : public ::testing::Test {
   protected:
    ReportFiles() { WriteBytes(diary(), "Mittwoch, 9.12.2026\r\n8:00 alt\r\n9:00 auch alt\r\n"); }
    std::filesystem::path diary() const { return dir.path() / "d.txt"; }
    TempDir dir;
};

// An editor saves by writing a new file and renaming it over the old one.
TEST_F(ReportFiles, ADiaryReplacedWhileReadIsReportedAsItWasOpened) {
    const ReadDiaryResult read = ReadDiary(diary(), {}, NightRule{}, {true, false, true});
    WriteBytes(dir.path() / "neu.txt", "Donnerstag, 10.12.2026\r\n7:00 ganz anders und viel länger\r\n");
    std::filesystem::rename(dir.path() / "neu.txt", diary());
    WriteCsv(dir.path() / "out.csv", read);
    const std::string csv = ReadBytes(dir.path() / "out.csv");
    EXPECT_NE(csv.find(";alt;2\r\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(";auch alt;3\r\n"), std::string::npos) << csv;
}

TEST_F(ReportFiles, AnOutputIsNeverTheDiary) {
    const ReadDiaryResult read = ReadDiary(diary(), {}, NightRule{}, {true, false, true});
    const std::string before = ReadBytes(diary());
    std::filesystem::create_hard_link(diary(), dir.path() / "hart.txt");
    std::filesystem::create_symlink(diary(), dir.path() / "weich.txt");
    for (const char* name : {"d.txt", "hart.txt", "weich.txt"}) {
        EXPECT_THROW(WriteCsv(dir.path() / name, read), Failure) << name;
        EXPECT_EQ(ReadBytes(diary()), before) << name;
    }
    // Made a link to the diary after the output was opened: still not put there.
    {
        platform::OutputFile output(dir.path() / "spaet.csv", read.info.identity);
        std::filesystem::create_hard_link(diary(), dir.path() / "spaet.csv");
        EXPECT_THROW(WriteJson(output, read.report, read.info), Failure);
    }
    EXPECT_EQ(ReadBytes(diary()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4) << "no file left behind";
}

TEST_F(ReportFiles, AMissingDiaryIsNamedByItsAbsolutePath) {
    const std::filesystem::path current = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    try {
        ReadDiary("fehlt.txt", {}, NightRule{}, {});
        ADD_FAILURE() << "read a missing diary";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Datei nicht gefunden: " + (dir.path() / "fehlt.txt").string());
    }
    std::filesystem::current_path(current);
}

// Everything a reading tells, one line per entry or line not counted.
std::string Told(const ReadDiaryResult& read) {
    const Report& r = read.report;
    std::ostringstream out;
    out << r.total.entries << ' ' << r.total.nightEntries << ' ' << r.total.landings << ' ' << r.nights.size()
        << ' ' << r.days.size() << ' ' << (r.from ? *r.from : -1) << ' ' << (r.to ? *r.to : -1) << '\n';
    for (const DiaryEntry& e : r.entries)
        out << e.line << ' ' << e.day << ' ' << e.minute << ' ' << int{e.level} << ' ' << e.landing << ' '
            << e.noteOffset << ' ' << e.noteBytes << '\n';
    out << "undated " << r.undatedCount;
    for (const std::uint64_t line : r.undatedLines) out << ' ' << line;
    out << "\nunrecognised " << r.unrecognisedCount << '\n';
    for (const UnrecognisedLine& line : r.unrecognisedLines) out << line.line << ' ' << line.text << '\n';
    out << read.info.bytes;
    return out.str();
}

struct OnwardCase {
    const char* appended;
    Period period;
    bool readOn = true;  // false: what follows changes the last section's dates, read whole
};

class ReadingOn : public ReportFiles, public ::testing::WithParamInterface<OnwardCase> {};

// The diary window appends; the report window reads on from its last section and must
// see exactly what a reading of the whole file sees.
TEST_P(ReadingOn, SeesWhatAWholeReadingSees) {
    WriteBytes(diary(),
               "Zettel\r\nDienstag, 8.12.2026\r\n22:00 ! a\r\n???\r\n"
               "Mittwoch, 9.12.2026\r\n23:50 !! b\r\n");
    const ReadOptions options{true, false, false, {}, true};
    ReadDiaryResult held = ReadDiary(diary(), GetParam().period, NightRule{}, options);
    ASSERT_TRUE(held.onward);
    std::ofstream(diary(), std::ios::binary | std::ios::app) << GetParam().appended;
    const std::string told = Told(held);
    std::optional<ReadDiaryResult> onward = ReadOnward(diary(), held);
    if (!GetParam().readOn) {
        EXPECT_FALSE(onward);
        EXPECT_EQ(Told(held), told) << "left as it was";
        return;
    }
    ASSERT_TRUE(onward);
    EXPECT_EQ(Told(*onward), Told(ReadDiary(diary(), GetParam().period, NightRule{}, options)));
    // And on again from there.
    std::ofstream(diary(), std::ios::binary | std::ios::app) << "Freitag, 11.12.2026\r\n7:00 !!! noch\r\n";
    std::optional<ReadDiaryResult> again = ReadOnward(diary(), *onward);
    ASSERT_TRUE(again);
    EXPECT_EQ(Told(*again), Told(ReadDiary(diary(), GetParam().period, NightRule{}, options)));
}

INSTANTIATE_TEST_SUITE_P(
    Appended, ReadingOn,
    ::testing::Values(OnwardCase{"23:55 ! c\r\n", {}},
                      // Written before midnight of the 9th, filed under the 10th: back-dated.
                      OnwardCase{"Donnerstag, 10.12.2026\r\n23:58 x\r\n0:05 y\r\n", {}},
                      OnwardCase{"Unsinn\r\nDienstag, 31.11.2026\r\n1:00 z\r\n", {}},
                      OnwardCase{"23:55 ! c\r\nDonnerstag, 10.12.2026\r\n2:00 d\r\n",
                                 {DayNumber(2026, 12, 9), DayNumber(2026, 12, 9), std::nullopt}},
                      OnwardCase{"23:55 ! c\r\n", {std::nullopt, std::nullopt, DayNumber(2026, 12, 9)}},
                      // An early entry under the 9th makes its 23:50 the 8th's.
                      OnwardCase{"1:10 ! c\r\n", {}, false}));

TEST_F(ReportFiles, ReadsWholeAgainWhatWasNotOnlyAppendedTo) {
    const ReadOptions options{true, false, false, {}, true};
    const auto held = [&] {
        WriteBytes(diary(), "Mittwoch, 9.12.2026\r\n8:00 alt\r\n");
        return ReadDiary(diary(), {}, NightRule{}, options);
    };
    {
        ReadDiaryResult read = held();
        EXPECT_FALSE(ReadOnward(diary(), read)) << "nothing appended";
        std::fstream(diary(), std::ios::binary | std::ios::in | std::ios::out)
            << "Donnerstag, 10.12.2026\r\n9:00 a";
        EXPECT_FALSE(ReadOnward(diary(), read)) << "rewritten in place";
    }
    {
        ReadDiaryResult read = held();
        std::filesystem::resize_file(diary(), 5);
        EXPECT_FALSE(ReadOnward(diary(), read)) << "shorter";
    }
    {
        ReadDiaryResult read = held();
        WriteBytes(dir.path() / "neu.txt", "Mittwoch, 9.12.2026\r\n8:00 alt\r\n9:00 neu\r\n");
        std::filesystem::rename(dir.path() / "neu.txt", diary());
        EXPECT_FALSE(ReadOnward(diary(), read)) << "replaced";
    }
    WriteBytes(diary(), "8:00 ohne Kopf\r\n");
    EXPECT_FALSE(ReadDiary(diary(), {}, NightRule{}, options).onward) << "no section to read on from";
}

// All a reading counted, day by day and night by night.
std::string Counted(const ReadDiaryResult& read) {
    std::ostringstream out;
    out << Told(read) << '\n' << read.info.sha256 << "\nhours";
    for (const int n : read.report.hours) out << ' ' << n;
    for (const auto& [day, c] : read.report.days)
        out << "\nday " << day << ' ' << c.entries << ' ' << c.nightEntries << ' ' << c.landings << ' '
            << c.levels[0] << c.levels[1] << c.levels[2] << c.levels[3];
    for (const auto& [night, c] : read.report.nights)
        out << "\nnight " << night << ' ' << c.entries << ' ' << c.first << ' ' << c.last;
    return out.str();
}

struct HalvesCase {
    const char* name;
    std::string diary;
    bool splits;
};

// Days of entries from 1.1.2026 on, `lineEnd` after each line; every seventh day has an
// entry after midnight that files the one before it under the evening before.
std::string Days(int count, const char* lineEnd, int firstDay = 0) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const CalendarDate d = DateOfDayNumber(DayNumber(2026, 1, 1) + firstDay + i);
        text += "Tag, " + std::to_string(d.day) + "." + std::to_string(d.month) + "." +
                std::to_string(d.year) + lineEnd;
        for (const char* entry :
             {"0:30 ! früh", "5:59 !!! Landung? noch Nacht", "13:00 mittags", "22:10 !! spät"})
            text += std::string(entry) + lineEnd;
        if (i % 7 == 3) text += std::string("23:55 ! vor Mitternacht") + lineEnd + "0:20 danach" + lineEnd;
        if (i % 3 == 1) text += std::string("kein Eintrag ") + std::to_string(i) + lineEnd;
    }
    return text;
}

std::vector<HalvesCase> HalvesCases() {
    return {
        {"CrLf", "\xEF\xBB\xBFZettel\r\n8:00 ohne Tag\r\n" + Days(400, "\r\n"), true},
        {"Lf", Days(400, "\n"), true},
        // A day of the first half comes again in the second; an impossible date's entries
        // are undated on both sides.
        {"DaysAgain", Days(200, "\r\n") + "Dienstag, 31.11.2026\r\n1:00 x\r\n" + Days(200, "\r\n", 100),
         true},
        {"OnlyCr", Days(400, "\r"), false},
        {"NoHeaderNearTheMiddle", Days(10, "\r\n") + std::string(600000, 'x') + "\r\n" + Days(10, "\r\n"),
         false},
    };
}

class CountedInHalves : public ReportFiles, public ::testing::WithParamInterface<HalvesCase> {};

// A large diary is counted in two halves at once: the same counts, lines and digest as
// read in one piece, for every kind of output's reading.
TEST_P(CountedInHalves, CountsWhatOneReadingCounts) {
    WriteBytes(diary(), GetParam().diary);
    const auto file = platform::File::Open(diary(), platform::File::Access::Read);
    const std::optional<std::uint64_t> split = SplitPoint(file, GetParam().diary.size(), {});
    ASSERT_EQ(split.has_value(), GetParam().splits);
    if (split) {
        const std::string_view text = GetParam().diary;
        EXPECT_EQ(text[*split - 1], '\n');
        const std::string_view line = text.substr(*split, text.find_first_of("\r\n", *split) - *split);
        EXPECT_TRUE(ParseHeaderLine(line)) << line;
    }
    for (const Period& period : {Period{}, Period{DayNumber(2026, 3, 1), std::nullopt, std::nullopt}}) {
        for (const bool entries : {false, true}) {
            ReadOptions whole{entries, entries, true};
            whole.splitFrom = UINT64_MAX;
            ReadOptions halves = whole;
            halves.splitFrom = 0;
            EXPECT_EQ(Counted(ReadDiary(diary(), period, NightRule{}, halves)),
                      Counted(ReadDiary(diary(), period, NightRule{}, whole)))
                << "entries " << entries << ", from " << period.from.value_or(0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Diaries, CountedInHalves, ::testing::ValuesIn(HalvesCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The CSV written while the diary is read, in two readings, against the CSV of the
// entries held with their notes: the same bytes, whatever the diary, the period and the
// notes, with the headers read in one piece or in two halves.
struct StreamedCase {
    std::string name;
    std::string diary;
    friend void PrintTo(const StreamedCase& c, std::ostream* out) { *out << c.name; }
};

std::vector<StreamedCase> StreamedCases() {
    std::vector<StreamedCase> cases;
    for (const HalvesCase& c : HalvesCases()) cases.push_back({c.name, c.diary});
    cases.push_back({"SectionsOutOfOrder",
                     "Mittwoch, 9.12.2026\r\n8:00 a\r\nDienstag, 8.12.2026\r\n23:00 b\r\n9:00 c\r\n"
                     "Mittwoch, 9.12.2026\r\n7:00 d\r\n1:00 e\r\nMontag, 7.12.2026\r\n12:00 f\r\n"
                     "Dienstag, 31.11.2026\r\n3:00 g\r\nDonnerstag, 10.12.2026\r\n0:10 h\r\n"});
    std::string notes = "Dienstag, 8.12.2026\r\n";
    for (const std::string& note :
         {std::string("Tief \xFC"
                      "ber dem Dach"),
          std::string("Flugzeug \xC3\xBC"
                      "ber uns"),
          std::string("=1+1"), std::string("a;b"), std::string("\"zitiert\""), std::string(" =leer davor"),
          std::string("\xA0=1"), std::string("\t=1"), std::string("-1"), std::string("@a"), std::string("+1"),
          std::string("\x81 \x80"), std::string("\xF0\x9F\x98\x80 laut"), std::string(300, '\xFC'),
          std::string(256, '\x80'), std::string(256, 'x') + "\xFC", std::string("Landung? x"),
          std::string("!!! Landung?"), std::string("ende ")})
        notes += "8:00 " + note + "\r\n";
    notes += "8:01\r\n8:02 \r\n";
    cases.push_back({"Notes", notes});
    return cases;
}

class StreamedCsv : public ReportFiles, public ::testing::WithParamInterface<StreamedCase> {
   protected:
    std::string Streamed(const Period& period, std::uint64_t splitFrom) {
        ReadOptions options{false, false, false};
        options.splitFrom = splitFrom;
        OpenedDiary opened = OpenDiary(diary());
        platform::OutputFile output(dir.path() / "streamed.csv", opened.state.identity);
        CsvStream stream(output, opened.file, NightRule{});
        ReadDiary(std::move(opened), period, NightRule{}, options,
                  [&](std::vector<DiaryEntry>& day) { stream.Add(day); });
        stream.Finish();
        return ReadBytes(dir.path() / "streamed.csv");
    }
    std::string Held(const Period& period) {
        WriteCsv(dir.path() / "held.csv", ReadDiary(diary(), period, NightRule{}, {true, true, false}));
        return ReadBytes(dir.path() / "held.csv");
    }
};

TEST_P(StreamedCsv, WritesTheBytesOfTheEntriesHeld) {
    WriteBytes(diary(), GetParam().diary);
    const int march = DayNumber(2026, 3, 1);
    const int december = DayNumber(2026, 12, 8);
    for (const Period& period :
         {Period{}, Period{march, std::nullopt, std::nullopt}, Period{std::nullopt, march, std::nullopt},
          Period{march, march + 20, std::nullopt}, Period{december, december, std::nullopt},
          Period{std::nullopt, std::nullopt, march + 1}, Period{std::nullopt, std::nullopt, december - 1}}) {
        const std::string held = Held(period);
        ASSERT_TRUE(held.starts_with(CsvHeader()));
        for (const std::uint64_t splitFrom : {std::uint64_t{0}, UINT64_MAX})
            EXPECT_EQ(Streamed(period, splitFrom), held)
                << "from " << period.from.value_or(0) << " to " << period.to.value_or(0) << " night "
                << period.night.value_or(0) << ", halves " << (splitFrom == 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Diaries, StreamedCsv, ::testing::ValuesIn(StreamedCases()),
                         [](const auto& info) { return info.param.name; });

// Writing that fails while the diary is still read stops the reading with its cause, and
// nothing is put in place.
TEST_F(ReportFiles, AStreamedCsvThatCannotBeWrittenStopsTheReading) {
    WriteBytes(diary(), Days(20000, "\r\n"));
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
    try {
        ReadAndWrite({{"csv", "/dev/full"}}, diary(), {}, NightRule{}, {});
        ADD_FAILURE() << "written to a full device";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("kein Platz mehr"), std::string::npos) << failure.what();
    }
#ifndef _WIN32
    // A file size limit holds for root too; its signal ignored, the write fails instead.
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit small{1 << 20, limit.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(ReadAndWrite({{"csv", dir.path() / "out.csv"}}, diary(), {}, NightRule{}, {}), Failure);
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "nothing left but the diary";
#endif
}

}  // namespace
}  // namespace suelvan::report
