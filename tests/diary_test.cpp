#include "core/csv_writer.h"
#include "core/diary_reader.h"
#include "core/encoding.h"
#include "core/entry_order.h"
#include "core/line_grammar.h"
#include "core/statistics.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/calendar.h"
#include "core/day_header.h"
#include "core/minutes.h"

namespace suelvan {
namespace {

int Day(int y, int m, int d) { return DayNumber(y, m, d); }

struct EntryCase {
    const char* line;
    bool isEntry;
    int minute;
    int level;
    bool landing;
    const char* note;
};

class EntryLine : public ::testing::TestWithParam<EntryCase> {};

TEST_P(EntryLine, IsReadAsTheProgramWroteIt) {
    const EntryCase& c = GetParam();
    const auto parsed = ParseEntryLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.isEntry) << c.line;
    if (!parsed) return;
    EXPECT_EQ(parsed->minute, c.minute) << c.line;
    EXPECT_EQ(parsed->level, c.level) << c.line;
    EXPECT_EQ(parsed->landing, c.landing) << c.line;
    EXPECT_EQ(std::string(c.line).substr(parsed->noteAt), c.note) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, EntryLine,
    ::testing::Values(
        EntryCase{"14:30 !!! Landung? Tief", true, 870, 3, true, "Tief"},
        EntryCase{"14:30 ", true, 870, 0, false, ""}, EntryCase{"14:30", true, 870, 0, false, ""},
        EntryCase{"14:30 !!!! x", true, 870, 0, false, "!!!! x"}, EntryCase{"0:05 ! ", true, 5, 1, false, ""},
        EntryCase{"07:05 !! Landung? ", true, 425, 2, true, ""},
        EntryCase{"9:00 Landung? a b", true, 540, 0, true, "a b"},
        EntryCase{"9:00 Landung?x", true, 540, 0, false, "Landung?x"},
        EntryCase{"9:00 !x", true, 540, 0, false, "!x"},
        EntryCase{"9:00 Landung? !", true, 540, 0, true, "!"},
        EntryCase{"9:00  doppelt", true, 540, 0, false, " doppelt"},
        EntryCase{"23:59 ! Landung? Landung?", true, 1439, 1, true, "Landung?"},
        EntryCase{"24:00 x", false, 0, 0, false, ""}, EntryCase{"9:60 x", false, 0, 0, false, ""},
        EntryCase{"9:5 x", false, 0, 0, false, ""}, EntryCase{"123:00 x", false, 0, 0, false, ""},
        EntryCase{"9:000 x", false, 0, 0, false, ""}, EntryCase{"9:00x", false, 0, 0, false, ""},
        EntryCase{"9.00 x", false, 0, 0, false, ""}, EntryCase{" 9:00 x", false, 0, 0, false, ""},
        EntryCase{"9:00\tx", false, 0, 0, false, ""},
        // Long enough for the marker to be read a word at a time: a blank right after '!'
        // must not be taken for a second '!'.
        EntryCase{"9:00 ! !x y", true, 540, 1, false, "!x y"},
        EntryCase{"9:00 !! ! Landung? z", true, 540, 2, false, "! Landung? z"},
        EntryCase{"9:00 !!! Landung? zzz", true, 540, 3, true, "zzz"},
        EntryCase{"9:00 !!!! Landung? z", true, 540, 0, false, "!!!! Landung? z"},
        EntryCase{"9:00 !!!!! z", true, 540, 0, false, "!!!!! z"},
        EntryCase{"9:00 !!!x yz", true, 540, 0, false, "!!!x yz"},
        EntryCase{"9:00 !\x01!! yz", true, 540, 0, false, "!\x01!! yz"},
        EntryCase{"9:00 Landung?  z", true, 540, 0, true, " z"},
        EntryCase{"9:00 Landunq? z", true, 540, 0, false, "Landunq? z"}));

struct HeaderCase {
    const char* line;
    int day;  // 0: no header
};

class DayHeader : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(DayHeader, IsRecognisedInAnyLanguage) {
    const auto day = ParseDayHeader(GetParam().line);
    EXPECT_EQ(day.value_or(0), GetParam().day) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DayHeader,
    ::testing::Values(HeaderCase{"Mittwoch, 9.12.2026", Day(2026, 12, 9)},
                      HeaderCase{"quarta-feira, 9.12.2026", Day(2026, 12, 9)},
                      HeaderCase{"???????, 09.01.2026  ", Day(2026, 1, 9)},
                      HeaderCase{"Montag, 29.2.2028", Day(2028, 2, 29)},
                      HeaderCase{"Samstag, 1.1.100", Day(100, 1, 1)},
                      HeaderCase{"Freitag, 31.12.9999", Day(9999, 12, 31)},
                      HeaderCase{"Beschwerde geschickt, 9.12.2026", 0}, HeaderCase{", 9.12.2026", 0},
                      HeaderCase{"Mittwoch,9.12.2026", 0}, HeaderCase{"Mittwoch, 31.2.2026", 0},
                      HeaderCase{"Mittwoch, 9.12.02026", 0}, HeaderCase{"Mittwoch, 9.12.99", 0},
                      HeaderCase{"Mittwoch, 9.12.10000", 0}, HeaderCase{"Mittwoch, 9.12.2026 x", 0},
                      HeaderCase{"Mittwoch, 9.12.2026.", 0}, HeaderCase{"Mittwoch2, 9.12.2026", 0},
                      HeaderCase{"Mittwoch, 009.12.2026", 0}, HeaderCase{"Mittwoch, 9.13.2026", 0}));

struct ShapeCase {
    const char* line;
    bool shaped;  // a header, whether or not its date exists
};

class HeaderShape : public ::testing::TestWithParam<ShapeCase> {};

// A line shaped like a header whose date does not exist ends the section before it.
TEST_P(HeaderShape, TellsAnImpossibleDateFromANote) {
    const auto header = ParseHeaderLine(GetParam().line);
    EXPECT_EQ(header.has_value(), GetParam().shaped) << GetParam().line;
    if (header) {
        EXPECT_FALSE(header->day) << GetParam().line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeaderShape,
    ::testing::Values(ShapeCase{"Dienstag, 31.11.2026", true}, ShapeCase{"Sonntag, 29.2.2026", true},
                      ShapeCase{"Samstag, 1.1.0", true}, ShapeCase{"Montag, 1.1.99999", true},
                      ShapeCase{"Montag, 7.12.26", true}, ShapeCase{"Montag, 1.1.0999", true},
                      ShapeCase{"Montag, 123.1.2026", true},
                      ShapeCase{"Beschwerde geschickt, 31.11.2026", false},
                      ShapeCase{"Montag, 31.11.2026 x", false}, ShapeCase{"Montag, 31.11.", false},
                      ShapeCase{"a,b, 31.11.2026", false}));

TEST(DayHeader, AcceptsTheDesktopsWeekdaysAsTheWindowWritesThem) {
    const std::vector<std::string> names{"Dydd Mercher", "Th? Ba"};
    EXPECT_EQ(ParseDayHeader("Dydd Mercher, 9.12.2026", names), Day(2026, 12, 9));
    EXPECT_EQ(ParseDayHeader("Th? Ba, 8.12.2026", names), Day(2026, 12, 8));
    EXPECT_FALSE(ParseDayHeader("Dydd Mercher, 9.12.2026"));
    EXPECT_FALSE(ParseDayHeader("Dydd Iau, 10.12.2026", names));
}

struct Seen {
    std::vector<DiaryEntry> entries;
    std::vector<std::uint64_t> undated;
    std::vector<std::pair<std::uint64_t, std::string>> unrecognised;
};

// Feeds the bytes in pieces of `piece` bytes, so line ends split across pieces are seen.
Seen Read(const std::string& bytes, std::size_t piece = 0, std::vector<std::string> weekdays = {}) {
    Seen seen;
    DiaryReader reader(
        {[&](const DiaryEntry& e) { seen.entries.push_back(e); },
         [&](std::uint64_t line) { seen.undated.push_back(line); },
         [&](std::uint64_t line, std::string text) { seen.unrecognised.emplace_back(line, text); },
         {}},
        true);
    reader.AcceptWeekdays(std::move(weekdays));
    if (piece == 0) piece = bytes.size() + 1;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        reader.Feed(std::string_view(bytes).substr(at, piece));
    reader.Finish();
    std::sort(seen.entries.begin(), seen.entries.end(),
              [](const DiaryEntry& a, const DiaryEntry& b) { return a.line < b.line; });
    // Where each note stands in the file, for a window that fetches them later.
    for (const DiaryEntry& e : seen.entries) {
        EXPECT_EQ(DecodeDiaryLine(std::string_view(bytes).substr(e.noteOffset, e.noteBytes), false), e.note)
            << "line " << e.line << ", pieces of " << piece;
    }
    return seen;
}

std::string Describe(const Seen& seen) {
    std::string text;
    for (const DiaryEntry& e : seen.entries) {
        text += std::to_string(e.line) + ": " + IsoDate(e.day) + " " + ClockText(e.minute) + " " +
                std::to_string(e.level) + (e.landing ? " L" : "") + " [" + std::string(e.note.view()) + "]\n";
    }
    for (const std::uint64_t line : seen.undated) text += std::to_string(line) + ": undatiert\n";
    for (const auto& [line, what] : seen.unrecognised) text += std::to_string(line) + ": ? [" + what + "]\n";
    return text;
}

struct DiaryCase {
    const char* name;
    std::string bytes;
    std::string seen;
};

class HandEditedDiary : public ::testing::TestWithParam<DiaryCase> {};

TEST_P(HandEditedDiary, IsReadLineByLine) {
    for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
        EXPECT_EQ(Describe(Read(GetParam().bytes, piece)), GetParam().seen)
            << GetParam().name << ", pieces of " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Diaries, HandEditedDiary,
    ::testing::Values(
        DiaryCase{"program's own",
                  "\r\nDienstag, 8.12.2026\r\n14:25 !!! Landung? Tief \xFC"
                  "ber dem Dach\r\n14:30 ! \r\n",
                  "3: 2026-12-08 14:25 3 L [Tief über dem Dach]\n4: 2026-12-08 14:30 1 []\n"},
        DiaryCase{"LF, CR and no final line end", "Dienstag, 8.12.2026\n9:00 a\r9:01 b\r\n\n9:02 c",
                  "2: 2026-12-08 09:00 0 [a]\n3: 2026-12-08 09:01 0 [b]\n5: 2026-12-08 09:02 0 [c]\n"},
        DiaryCase{
            "byte-order mark, UTF-8 and Windows-1252 lines",
            "\xEF\xBB\xBFMittwoch, 9.12.2026\r\n8:00 L\xC3\xA4rm \xE2\x82\xAC\r\n8:01 L\xE4rm \x80\x81\r\n",
            "2: 2026-12-09 08:00 0 [Lärm €]\n3: 2026-12-09 08:01 0 [Lärm €\xEF\xBF\xBD]\n"},
        DiaryCase{
            "undated and unrecognised",
            "9:00 vor allem\r\n   \r\nNotiz\r\nMittwoch, 9.12.2026\r\nBeschwerde geschickt, 9.12.2026\r\n",
            "1: undatiert\n3: ? [Notiz]\n5: ? [Beschwerde geschickt, 9.12.2026]\n"},
        DiaryCase{"NUL bytes stay in their line", std::string("Mittwoch, 9.12.2026\r\n8:00 a\0b\r\n", 29),
                  std::string("2: 2026-12-09 08:00 0 [a\0b]\n", 28)},
        DiaryCase{"back-dated across midnight", "Mittwoch, 9.12.2026\r\n23:55 ! sp\xE4t\r\n0:20 x\r\n",
                  "2: 2026-12-08 23:55 1 [spät]\n3: 2026-12-09 00:20 0 [x]\n"},
        DiaryCase{"only the entries more than 12 hours later move",
                  "Mittwoch, 9.12.2026\r\n12:30 a\r\n23:50 b\r\n12:05 c\r\n0:10 d\r\n",
                  "2: 2026-12-08 12:30 0 [a]\n3: 2026-12-08 23:50 0 [b]\n4: 2026-12-09 12:05 0 [c]\n"
                  "5: 2026-12-09 00:10 0 [d]\n"},
        DiaryCase{"the last of a section cannot be seen",
                  "Mittwoch, 9.12.2026\r\n23:55 a\r\nDonnerstag, 10.12.2026\r\n0:20 b\r\n",
                  "2: 2026-12-09 23:55 0 [a]\n4: 2026-12-10 00:20 0 [b]\n"},
        DiaryCase{"daylight-saving days keep their wall-clock times",
                  "Sonntag, 29.3.2026\r\n1:55 a\r\n3:05 b\r\nSonntag, 25.10.2026\r\n2:35 c\r\n2:05 d\r\n",
                  "2: 2026-03-29 01:55 0 [a]\n3: 2026-03-29 03:05 0 [b]\n5: 2026-10-25 02:35 0 [c]\n"
                  "6: 2026-10-25 02:05 0 [d]\n"},
        DiaryCase{"unrecognised lines keep every letter, judged as a whole line",
                  "Notiz von Hand \xE4\r\n\xA0\r\n\xA7"
                  "d\r\nMontag, 1.1.2026 \xA0\r\nL\xC3\xA4rm\r\n",
                  "1: ? [Notiz von Hand ä]\n2: ? [\xC2\xA0]\n3: ? [§d]\n4: ? [Montag, 1.1.2026 \xC2\xA0]\n"
                  "5: ? [Lärm]\n"},
        DiaryCase{"a byte-order mark inside the file stays in its line",
                  "Mittwoch, 9.12.2026\r\n\xEF\xBB\xBF"
                  "10:05 ! b\r\n8:00 a\r\n",
                  "3: 2026-12-09 08:00 0 [a]\n2: ? [\xEF\xBB\xBF"
                  "10:05 ! b]\n"},
        DiaryCase{"entries under a date that does not exist count on no day",
                  "Montag, 30.11.2026\r\n8:00 a\r\nDienstag, 31.11.2026\r\n9:00 b\r\nMontag, 7.12.26\r\n"
                  "9:30 c\r\nMittwoch, 2.12.2026\r\n10:00 d\r\n",
                  "2: 2026-11-30 08:00 0 [a]\n8: 2026-12-02 10:00 0 [d]\n4: undatiert\n6: undatiert\n"
                  "3: ? [Dienstag, 31.11.2026]\n5: ? [Montag, 7.12.26]\n"},
        DiaryCase{"unordered and repeated sections",
                  "Mittwoch, 9.12.2026\r\n8:00 a\r\nDienstag, 8.12.2026\r\n9:00 b\r\nWednesday, "
                  "9.12.2026\r\n10:00 c\r\n",
                  "2: 2026-12-09 08:00 0 [a]\n4: 2026-12-08 09:00 0 [b]\n6: 2026-12-09 10:00 0 [c]\n"}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(DiaryReader, ReadsHeadersInTheDesktopsWeekdays) {
    EXPECT_EQ(Describe(Read("Dydd Mercher, 9.12.2026\r\n8:00 a\r\nTh? Ba, 8.12.2026\r\n9:00 b\r\n", 3,
                            {"Dydd Mercher", "Th? Ba"})),
              "2: 2026-12-09 08:00 0 [a]\n4: 2026-12-08 09:00 0 [b]\n");
}

// A line too long to be kept is judged by all of its bytes: UTF-8 only when all are.
TEST(DiaryReader, JudgesALongLineWhole) {
    struct {
        const char* end;
        std::string text;
    } const cases[] = {{"\xC3\xA4", "Notiz ü" + std::string(193, 'x')},
                       {"\xE4", "Notiz Ã¼" + std::string(192, 'x')}};
    for (const auto& [end, text] : cases) {
        const std::string line = "Notiz \xC3\xBC" + std::string(300'000, 'x') + end;
        const Seen seen = Read("Mittwoch, 9.12.2026\r\n" + line + "\r\n", 4096);
        ASSERT_EQ(seen.unrecognised.size(), 1u);
        EXPECT_EQ(seen.unrecognised.front().second, text) << "ends in " << end;
    }
}

// Line ends are looked for 64 bytes at a time: lines of every length around that, with
// every kind of line end, in pieces that cut the blocks anywhere.
TEST(DiaryReader, FindsEveryLineEndAcrossBlocksAndPieces) {
    std::string bytes = "Mittwoch, 9.12.2026\r\n";
    std::string expected;
    const char* const ends[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 200; ++i) {
        const std::string note(static_cast<std::size_t>(i % 140), static_cast<char>('a' + i % 26));
        bytes += ClockText(i) + " " + note + ends[i % 3];
        expected += std::to_string(i + 2) + ": 2026-12-09 " + ClockText(i) + " 0 [" + note + "]\n";
    }
    for (const std::size_t piece : std::vector<std::size_t>{0, 1, 63, 64, 65, 4096}) {
        EXPECT_EQ(Describe(Read(bytes, piece)), expected) << "pieces of " << piece;
    }
}

TEST(DiaryReader, ShowsOnlyTheFirstCodePointsOfAnUnrecognisedLine) {
    const std::string line = "Notiz " + std::string(300, 'x') + "\xC3\xA4";
    const Seen seen = Read(line);
    ASSERT_EQ(seen.unrecognised.size(), 1u);
    EXPECT_EQ(seen.unrecognised[0].second, "Notiz " + std::string(194, 'x'));
}

TEST(DiaryReader, KeepsAVeryLongNoteWhole) {
    const std::string note(300'000, 'n');
    const Seen seen = Read("Mittwoch, 9.12.2026\n8:00 " + note + "\n8:01 b", 4096);
    ASSERT_EQ(seen.entries.size(), 2u);
    EXPECT_EQ(seen.entries[0].note, note);
    EXPECT_EQ(seen.entries[1].line, 3u);
}

struct NightCase {
    const char* rule;
    int day;
    int minute;
    bool atNight;
    int night;
};

class NightWindow : public ::testing::TestWithParam<NightCase> {};

TEST_P(NightWindow, NamesTheNightByItsEvening) {
    const auto rule = ParseNightRule(GetParam().rule);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->Contains(GetParam().minute), GetParam().atNight);
    if (GetParam().atNight) {
        EXPECT_EQ(IsoDate(rule->NightOf(GetParam().day, GetParam().minute)), IsoDate(GetParam().night));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NightWindow,
    ::testing::Values(NightCase{"22:00-06:00", Day(2026, 12, 8), 23 * 60 + 30, true, Day(2026, 12, 8)},
                      NightCase{"22:00-06:00", Day(2026, 12, 9), 60, true, Day(2026, 12, 8)},
                      NightCase{"22:00-6:00", Day(2026, 12, 9), 22 * 60, true, Day(2026, 12, 9)},
                      NightCase{"22:00-06:00", Day(2026, 12, 9), 6 * 60, false, 0},
                      NightCase{"22:00-06:00", Day(2026, 12, 9), 21 * 60 + 59, false, 0},
                      NightCase{"0:00-5:00", Day(2026, 12, 9), 60, true, Day(2026, 12, 8)},
                      NightCase{"00:00-05:00", Day(2026, 12, 9), 23 * 60, false, 0},
                      NightCase{"23:00-7:00", Day(2027, 1, 1), 6 * 60 + 59, true, Day(2026, 12, 31)},
                      NightCase{"13:00-15:00", Day(2026, 12, 9), 14 * 60, true, Day(2026, 12, 9)}));

struct LastNightCase {
    const char* rule;
    int today;
    int minute;
    int night;
};

class LastNightOf : public ::testing::TestWithParam<LastNightCase> {};

TEST_P(LastNightOf, IsTheMostRecentThatHasBegun) {
    const LastNightCase& c = GetParam();
    EXPECT_EQ(LastNight(*ParseNightRule(c.rule), c.today, c.minute), c.night)
        << c.rule << " at " << ClockText(c.minute) << " on " << IsoDate(c.today);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LastNightOf,
    ::testing::Values(LastNightCase{"22:00-06:00", Day(2026, 12, 10), 9 * 60 + 30, Day(2026, 12, 9)},
                      LastNightCase{"22:00-06:00", Day(2026, 12, 10), 21 * 60 + 59, Day(2026, 12, 9)},
                      LastNightCase{"22:00-06:00", Day(2026, 12, 10), 22 * 60, Day(2026, 12, 10)},
                      LastNightCase{"22:00-06:00", Day(2026, 12, 10), 3 * 60, Day(2026, 12, 9)},
                      LastNightCase{"0:00-5:00", Day(2026, 12, 10), 9 * 60 + 30, Day(2026, 12, 9)},
                      LastNightCase{"0:00-5:00", Day(2026, 12, 10), 23 * 60 + 59, Day(2026, 12, 9)},
                      LastNightCase{"1:00-5:00", Day(2026, 12, 10), 0, Day(2026, 12, 8)},
                      LastNightCase{"23:00-7:00", Day(2027, 1, 1), 23 * 60 + 30, Day(2027, 1, 1)}));

TEST(QuickPeriods, AreTheDaysTheirNamesSay) {
    const NightRule night;
    const int today = Day(2026, 12, 9);
    const auto days = [](const Period& p) {
        return (p.from ? IsoDate(*p.from) : "-") + " " + (p.to ? IsoDate(*p.to) : "-") + " " +
               (p.night ? IsoDate(*p.night) : "-");
    };
    EXPECT_EQ(days(PeriodOf(QuickPeriod::LastNight, today, 9 * 60, night)), "- - 2026-12-08");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::LastSevenDays, today, 0, night)), "2026-12-03 2026-12-09 -");
    // "This month" and "this year" so far: a complaint never reaches past today.
    EXPECT_EQ(days(PeriodOf(QuickPeriod::ThisMonth, today, 0, night)), "2026-12-01 2026-12-09 -");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::ThisMonth, Day(2028, 2, 29), 0, night)), "2028-02-01 2028-02-29 -");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::LastMonth, Day(2027, 1, 31), 0, night)), "2026-12-01 2026-12-31 -");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::LastMonth, Day(2026, 3, 31), 0, night)), "2026-02-01 2026-02-28 -");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::ThisYear, today, 0, night)), "2026-01-01 2026-12-09 -");
    EXPECT_EQ(days(PeriodOf(QuickPeriod::Everything, today, 0, night)), "- - -");
}

TEST(NightRule, RefusesMalformedWindows) {
    for (const char* text : {"", "22:00", "22:00-22:00", "22-06", "22:00-6", "24:00-06:00", "22:00-06:60",
                             "22:00 - 06:00", "022:00-06:00", "22:00-06:00x"}) {
        EXPECT_FALSE(ParseNightRule(text)) << text;
    }
}

Report Build(const std::string& diary, Period period, const char* rule = "22:00-06:00") {
    ReportBuilder builder(period, *ParseNightRule(rule), true);
    DiaryReader reader(builder.Sink(), true);
    reader.Feed(diary);
    reader.Finish();
    return builder.Finish();
}

const std::string kTwoNights =
    "Dienstag, 8.12.2026\r\n14:00 ! a\r\n22:14 !! Landung? b\r\n"
    "Mittwoch, 9.12.2026\r\n1:55 !!! c\r\n5:59 d\r\n6:00 Landung? e\r\n"
    "Donnerstag, 10.12.2026\r\n23:00 f\r\n";

TEST(Report, OfOneNightHoldsOnlyItsNightEntries) {
    const Report r = Build(kTwoNights, {std::nullopt, std::nullopt, Day(2026, 12, 8)});
    EXPECT_EQ(r.total.entries, 3);  // 22:14, 1:55, 5:59
    EXPECT_EQ(r.total.nightEntries, 3);
    ASSERT_EQ(r.entries.size(), 3u);
    EXPECT_EQ(r.entries.front().note, "b");
    EXPECT_EQ(r.from, Day(2026, 12, 8));
    EXPECT_EQ(r.to, Day(2026, 12, 9));
    const Report early = Build(kTwoNights, {std::nullopt, std::nullopt, Day(2026, 12, 8)}, "0:00-5:00");
    EXPECT_EQ(early.total.entries, 1);  // 1:55
    EXPECT_EQ(early.from, Day(2026, 12, 9));
    EXPECT_EQ(early.to, Day(2026, 12, 9));
}

struct SelectionCase {
    Selection selection;
    const char* notes;  // of the entries chosen, in order
    const char* from;
    const char* to;
    int nights;
};

class ReportOfSelection : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(ReportOfSelection, HoldsOnlyTheChosenEntriesAndTheirDates) {
    const Report part = ReportOf(Build(kTwoNights, {}), GetParam().selection);
    std::string notes;
    for (const DiaryEntry& e : part.entries) notes += e.note.view();
    EXPECT_EQ(notes, GetParam().notes);
    EXPECT_EQ(IsoDate(*part.from) + " " + IsoDate(*part.to),
              std::string(GetParam().from) + " " + GetParam().to);
    EXPECT_EQ(part.total.entries, static_cast<int>(notes.size()));
    EXPECT_EQ(static_cast<int>(part.nights.size()), GetParam().nights);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ReportOfSelection,
    ::testing::Values(
        SelectionCase{{Selection::Kind::All, 0}, "abcdef", "2026-12-08", "2026-12-10", 2},
        SelectionCase{{Selection::Kind::Date, Day(2026, 12, 9)}, "cde", "2026-12-09", "2026-12-09", 1},
        // The night runs across midnight: its dates are both of them.
        SelectionCase{{Selection::Kind::Night, Day(2026, 12, 8)}, "bcd", "2026-12-08", "2026-12-09", 1},
        SelectionCase{{Selection::Kind::Night, Day(2026, 12, 10)}, "f", "2026-12-10", "2026-12-11", 1},
        SelectionCase{{Selection::Kind::Hour, 5}, "d", "2026-12-08", "2026-12-10", 1},
        SelectionCase{{Selection::Kind::Hour, 12}, "", "2026-12-08", "2026-12-10", 0}));

TEST(DiaryReader, HandsOnOnlyTheDaysAsked) {
    const auto notes = [](const Period& period) {
        std::string seen;
        std::vector<std::uint64_t> unrecognised;
        DiaryReader reader({[&](DiaryEntry&& e) { seen += e.note.empty() ? "." : e.note.view(); },
                            {},
                            [&](std::uint64_t line, std::string) { unrecognised.push_back(line); },
                            {}},
                           true);
        reader.LimitTo(period);
        reader.Feed(kTwoNights + "Freitag, 11.12.2026\r\n7:00 g\r\n7:0 h\r\n");
        reader.Finish();
        return seen + " " + std::to_string(unrecognised.size());
    };
    // The 10th too: one of its entries may be the 9th's. Outside, an entry is still told
    // from a line that is none.
    EXPECT_EQ(notes({Day(2026, 12, 9), Day(2026, 12, 9), std::nullopt}), "cdef 1");
    EXPECT_EQ(notes({std::nullopt, std::nullopt, Day(2026, 12, 8)}),
              "abcdef 1");  // the builder picks the night
    EXPECT_EQ(notes({Day(2026, 12, 9), std::nullopt, std::nullopt}), "..cdefg 1");
    EXPECT_EQ(notes({}), "abcdefg 1");
}

TEST(Report, CountsThePeriodUnderTheNightRule) {
    const Report r = Build(kTwoNights, {});
    EXPECT_EQ(r.total.entries, 6);
    EXPECT_EQ(r.total.nightEntries, 4);
    EXPECT_EQ(r.total.landings, 2);
    EXPECT_EQ(r.total.levels, (std::array<int, 4>{3, 1, 1, 1}));
    EXPECT_EQ(r.hours[22] + r.hours[1] + r.hours[5] + r.hours[23] + r.hours[14] + r.hours[6], 6);
    ASSERT_EQ(r.nights.size(), 2u);
    const NightCounts& first = r.nights.at(Day(2026, 12, 8));
    EXPECT_EQ(first.entries, 3);
    EXPECT_EQ(ClockText(first.first), "22:14");
    EXPECT_EQ(ClockText(first.last), "05:59");
    EXPECT_EQ(r.days.at(Day(2026, 12, 9)).nightEntries, 2);
    EXPECT_EQ(IsoDate(*r.from), "2026-12-08");
    EXPECT_EQ(IsoDate(*r.to), "2026-12-10");
}

struct PeriodCase {
    std::optional<int> from;
    std::optional<int> to;
    const char* reportedFrom;
    const char* reportedTo;
    int entries;
};

class PeriodBounds : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodBounds, SelectEntriesByTheirDate) {
    const Report r = Build(kTwoNights, {GetParam().from, GetParam().to, std::nullopt});
    EXPECT_EQ(IsoDate(*r.from), GetParam().reportedFrom);
    EXPECT_EQ(IsoDate(*r.to), GetParam().reportedTo);
    EXPECT_EQ(r.total.entries, GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, PeriodBounds,
    ::testing::Values(PeriodCase{Day(2026, 12, 9), std::nullopt, "2026-12-09", "2026-12-10", 4},
                      PeriodCase{std::nullopt, Day(2026, 12, 8), "2026-12-08", "2026-12-08", 2},
                      PeriodCase{Day(2027, 1, 1), std::nullopt, "2027-01-01", "2027-01-01", 0},
                      PeriodCase{std::nullopt, Day(2026, 1, 1), "2026-01-01", "2026-01-01", 0},
                      PeriodCase{Day(2026, 12, 9), Day(2026, 12, 9), "2026-12-09", "2026-12-09", 3}));

TEST(Report, NightBeganBeforeThePeriodIsListed) {
    const Report r = Build(kTwoNights, {Day(2026, 12, 9), Day(2026, 12, 9), std::nullopt});
    ASSERT_EQ(r.nights.size(), 1u);
    EXPECT_EQ(r.nights.begin()->first, Day(2026, 12, 8));
    EXPECT_EQ(r.nights.begin()->second.entries, 2);
}

TEST(Report, EmptyDiaryHasNoPeriod) {
    const Report r = Build("", {});
    EXPECT_FALSE(r.from);
    EXPECT_EQ(r.total.entries, 0);
}

TEST(Report, EntriesSortByDateAndTimeThenFileOrder) {
    const Report r = Build("Mittwoch, 9.12.2026\n9:00 b\n8:00 a\n9:00 c\nDienstag, 8.12.2026\n10:00 z\n", {});
    std::string order;
    for (const DiaryEntry& e : r.entries) order += e.note;
    EXPECT_EQ(order, "zabc");
}

struct CsvCase {
    DiaryEntry entry;
    const char* row;
};

class Csv : public ::testing::TestWithParam<CsvCase> {};

TEST_P(Csv, RowIsSafeForSpreadsheets) { EXPECT_EQ(CsvRow(GetParam().entry, NightRule{}), GetParam().row); }

INSTANTIATE_TEST_SUITE_P(
    Rows, Csv,
    ::testing::Values(
        CsvCase{{Day(2026, 12, 9), 115, 3, true, Note("Tief über dem Dach"), 12},
                "2026-12-09;Mittwoch;01:55;2026-12-08;3;Extrem laut - Fensterscheiben vibrieren!!!;ja;Tief "
                "über dem "
                "Dach;12\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false, Note("a;\"b\""), 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;\"a;\"\"b\"\"\";3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 1, false, Note("=1+1"), 3},
                "2026-12-07;Montag;14:00;;1;trotz geschlossener Fenster hörbar!;nein;'=1+1;3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 2, false, Note("-\"x\""), 3},
                "2026-12-07;Montag;14:00;;2;dröhnend/lang anhaltend!!;nein;\"'-\"\"x\"\"\";3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false, Note("\tx"), 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;'\tx;3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false, Note(" \xC2\xA0\v\f@x"), 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;' \xC2\xA0\v\f@x;3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false,
                 Note("\xEF\xBC\x9D"
                      "1"),
                 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;'\xEF\xBC\x9D"
                "1;3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false,
                 Note("\xE2\x80\x83\xEF\xBC\x8D"
                      "1"),
                 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;'\xE2\x80\x83\xEF\xBC\x8D"
                "1;3\r\n"},
        CsvCase{{Day(2026, 12, 7), 840, 0, false, Note("a=1 \xEF\xBC\x9D"), 3},
                "2026-12-07;Montag;14:00;;0;störend;nein;a=1 \xEF\xBC\x9D;3\r\n"},
        CsvCase{{Day(999, 12, 31), 0, 0, false, Note(""), 1},
                "0999-12-31;Dienstag;00:00;0999-12-30;0;störend;nein;;1\r\n"}));

// Read a second time, the entries come out in the report's order while only the days
// that may still change are held.
class SecondReading : public ::testing::TestWithParam<const char*> {};

TEST_P(SecondReading, HandsOnTheReportsOrder) {
    const std::string bytes = GetParam();
    ReportBuilder builder({}, NightRule{}, true);
    DiarySink sink = builder.Sink();
    std::vector<int> sections;
    sink.section = [&](std::optional<int> day) { sections.push_back(day.value_or(EntryOrder::kNoDay)); };
    DiaryReader first(std::move(sink), true);
    first.Feed(bytes);
    first.Finish();
    const Report report = builder.Finish();

    std::string order;
    std::size_t mostHeld = 0;
    std::size_t held = 0;
    EntryOrder ordered(sections, [&](std::vector<DiaryEntry>& day) {
        for (const DiaryEntry& e : day) order += std::to_string(e.line) + " ";
        held -= day.size();
    });
    DiaryReader second({[&](DiaryEntry&& e) {
                            ordered.Add(std::move(e));
                            mostHeld = std::max(mostHeld, ++held);
                        },
                        {},
                        {},
                        [&](std::optional<int>) { ordered.SectionBegins(); }},
                       true);
    for (std::size_t at = 0; at < bytes.size(); at += 5) second.Feed(std::string_view(bytes).substr(at, 5));
    second.Finish();
    ordered.Finish();
    std::string expected;
    for (const DiaryEntry& e : report.entries) expected += std::to_string(e.line) + " ";
    EXPECT_EQ(order, expected);
    EXPECT_EQ(held, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Diaries, SecondReading,
    ::testing::Values(
        "Montag, 7.12.2026\n9:00 a\n8:00 b\nDienstag, 8.12.2026\n23:50 c\n0:10 d\n7:00 e\n",
        "Mittwoch, 9.12.2026\n8:00 a\nDienstag, 8.12.2026\n9:00 b\nMittwoch, 9.12.2026\n7:00 c\n",
        "7:00 undatiert\nDienstag, 31.11.2026\n8:00 x\nMontag, 7.12.2026\n9:00 a\n"
        "Sonntag, 6.12.2026\n10:00 b\nDienstag, 8.12.2026\n11:00 c\n",
        "Dienstag, 8.12.2026\n13:00 a\nMittwoch, 9.12.2026\n23:00 b\n1:00 c\n"
        "Donnerstag, 10.12.2026\n22:00 d\n",
        ""));

TEST(EntryOrder, HoldsADayOrTwoOfADiaryWrittenInOrder) {
    std::string bytes;
    std::vector<int> sections;
    for (int day = Day(2026, 1, 1); day < Day(2026, 1, 1) + 300; ++day) {
        const CalendarDate d = DateOfDayNumber(day);
        bytes += "Tag, " + std::to_string(d.day) + "." + std::to_string(d.month) + "." +
                 std::to_string(d.year) + "\n8:00 a\n13:00 b\n23:00 c\n0:30 d\n";
        sections.push_back(day);
    }
    std::size_t held = 0, mostHeld = 0;
    EntryOrder ordered(sections, [&](std::vector<DiaryEntry>& day) { held -= day.size(); });
    DiaryReader reader({[&](DiaryEntry&& e) {
                            ordered.Add(std::move(e));
                            mostHeld = std::max(mostHeld, ++held);
                        },
                        {},
                        {},
                        [&](std::optional<int>) { ordered.SectionBegins(); }},
                       false);
    reader.Feed(bytes);
    reader.Finish();
    ordered.Finish();
    EXPECT_EQ(held, 0u);
    EXPECT_LE(mostHeld, 12u) << "three days of four entries";
}

TEST(Csv, GuardsAFormulaBehindANul) {
    const std::string note("\0=1+1", 5);
    EXPECT_EQ(CsvRow({Day(2026, 12, 7), 840, 0, false, Note(note), 3}, NightRule{}),
              "2026-12-07;Montag;14:00;;0;störend;nein;'" + note + ";3\r\n");
}

TEST(Csv, InBlocksIsTheWholeText) {
    const Report r = Build(kTwoNights, {});
    for (const std::size_t block : std::vector<std::size_t>{1, 60, 100000}) {
        CsvWriter writer(r.entries, r.night);
        std::string joined;
        std::size_t blocks = 0;
        for (bool more = true; more; ++blocks) {
            std::string piece;
            more = writer.Next(piece, block);
            joined += piece;
        }
        std::string whole;
        CsvWriter(r.entries, r.night).Next(whole, std::string::npos);
        EXPECT_EQ(joined, whole) << "blocks of " << block;
        EXPECT_EQ(blocks > 1, block < 1000) << "blocks of " << block;
    }
}

TEST(Csv, HeaderIsExact) {
    EXPECT_EQ(CsvHeader(),
              "\xEF\xBB\xBF"
              "Datum;Wochentag;Uhrzeit;Nacht;Stufe;Lautstärke;Landung;Notiz;Zeile\r\n");
}

}  // namespace
}  // namespace suelvan
