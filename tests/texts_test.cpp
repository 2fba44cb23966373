#include "core/calendar.h"
#include "core/day_header.h"
#include "core/minutes.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/german.h"

namespace suelvan {
namespace {

using test::kGerman;

struct TextsCase {
    LocalDateTime instant;
    const char* header;
    const char* entryTime;
};

class Texts : public ::testing::TestWithParam<TextsCase> {};

TEST_P(Texts, HeaderEntryTimeAndClockTextOfOneInstant) {
    const TextsCase& c = GetParam();
    EXPECT_EQ(MakeDayHeader(c.instant, kGerman), c.header);
    EXPECT_EQ(MakeEntryTime(c.instant), c.entryTime);
    EXPECT_EQ(MakeClockText(c.instant, kGerman), std::string(c.header) + " " + c.entryTime);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, Texts,
    ::testing::Values(TextsCase{{2007, 9, 8, 7, 5, 0}, "Samstag, 8.9.2007", "7:05"},
                      TextsCase{{2007, 11, 12, 14, 30, 0}, "Montag, 12.11.2007", "14:30"},
                      TextsCase{{2008, 1, 1, 0, 0, 0}, "Dienstag, 1.1.2008", "0:00"},
                      TextsCase{{2008, 3, 1, 14, 7, 59}, "Samstag, 1.3.2008", "14:07"},
                      TextsCase{{2000, 2, 29, 23, 59, 59}, "Dienstag, 29.2.2000", "23:59"},
                      TextsCase{{2026, 12, 8, 9, 0, 0}, "Dienstag, 8.12.2026", "9:00"},
                      TextsCase{{1900, 3, 1, 10, 10, 0}, "Donnerstag, 1.3.1900", "10:10"},
                      TextsCase{{100, 1, 1, 0, 0, 0}, "Freitag, 1.1.100", "0:00"},
                      TextsCase{{9999, 12, 31, 23, 59, 59}, "Freitag, 31.12.9999", "23:59"}));

TEST(ClockText, EachInstantIsWhollyOfOneDay) {
    EXPECT_EQ(MakeClockText({2026, 12, 8, 23, 59, 59}, kGerman), "Dienstag, 8.12.2026 23:59");
    EXPECT_EQ(MakeClockText({2026, 12, 9, 0, 0, 0}, kGerman), "Mittwoch, 9.12.2026 0:00");
}

struct NumberCase {
    const char* text;
    double value;
};

class LeadingNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumber, ReadsThePrefix) {
    EXPECT_DOUBLE_EQ(ReadLeadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LeadingNumber,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"0", 0}, NumberCase{"00", 0},
                      NumberCase{"12abc", 12}, NumberCase{"1 5", 15}, NumberCase{" \t\n7", 7},
                      NumberCase{"2,5", 2}, NumberCase{"2.5", 2.5}, NumberCase{".5", 0.5},
                      NumberCase{"1.2.3", 1.2}, NumberCase{"-5", -5}, NumberCase{"+4", 4},
                      NumberCase{"- 3", -3}, NumberCase{"--3", 0}, NumberCase{"-", 0}, NumberCase{"1e2", 100},
                      NumberCase{"1E+2", 100}, NumberCase{"15e-1", 1.5}, NumberCase{"1 e 1", 10},
                      NumberCase{"3e", 3}, NumberCase{"3ex", 3}, NumberCase{"&H10", 16},
                      NumberCase{"&hff", 255}, NumberCase{"&H 1 f", 31}, NumberCase{"&O17", 15},
                      NumberCase{"&o8", 0}, NumberCase{"&", 0}, NumberCase{"&X1", 0}, NumberCase{"\r5", 0},
                      NumberCase{"1e-400", 0}, NumberCase{"0e999999999999", 0},
                      NumberCase{"000000000000000000000042", 42}));

struct MinutesCase {
    LocalDateTime now;
    const char* minutes;
    LocalDateTime expected;
};

void PrintTo(const MinutesCase& c, std::ostream* out) {
    PrintTo(c.now, out);
    *out << " minus \"" << c.minutes << '"';
}

class MinutesBack : public ::testing::TestWithParam<MinutesCase> {};

TEST_P(MinutesBack, MovesTheCalendarValue) {
    EXPECT_EQ(ApplyMinutesBack(GetParam().now, GetParam().minutes), GetParam().expected)
        << "minutes text: " << GetParam().minutes;
}

INSTANTIATE_TEST_SUITE_P(
    Rollback, MinutesBack,
    ::testing::Values(MinutesCase{{2026, 12, 8, 0, 5, 30}, "10", {2026, 12, 7, 23, 55, 30}},
                      MinutesCase{{2008, 3, 1, 0, 5, 0}, "10", {2008, 2, 29, 23, 55, 0}},
                      MinutesCase{{2007, 3, 1, 0, 0, 0}, "1", {2007, 2, 28, 23, 59, 0}},
                      MinutesCase{{2008, 1, 1, 0, 0, 0}, "1", {2007, 12, 31, 23, 59, 0}},
                      MinutesCase{{2007, 12, 31, 23, 58, 0}, "-5", {2008, 1, 1, 0, 3, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "0", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "00", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "Tief", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, " 0", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "1 5 Min", {2026, 12, 8, 14, 15, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "2,5", {2026, 12, 8, 14, 28, 0}},
                      // Fractions round to the nearest minute, halves away from zero.
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "2.5", {2026, 12, 8, 14, 27, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "2.49", {2026, 12, 8, 14, 28, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "-2.5", {2026, 12, 8, 14, 33, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "0.4", {2026, 12, 8, 14, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "&H3C", {2026, 12, 8, 13, 30, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "1e3", {2026, 12, 7, 21, 50, 0}},
                      MinutesCase{{2026, 12, 8, 14, 30, 0}, "525600", {2025, 12, 8, 14, 30, 0}},
                      MinutesCase{{100, 1, 1, 0, 1, 0}, "1", {100, 1, 1, 0, 0, 0}},
                      MinutesCase{{9999, 12, 31, 23, 58, 59}, "-1", {9999, 12, 31, 23, 59, 59}}));

class MinutesOutOfRange : public ::testing::TestWithParam<const char*> {};

TEST_P(MinutesOutOfRange, FailsWithADescription) {
    try {
        ApplyMinutesBack({2026, 12, 8, 14, 30, 0}, GetParam());
        FAIL() << "no failure for " << GetParam();
    } catch (const std::range_error& error) {
        EXPECT_NE(std::string(error.what()).find("Minuten"), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Huge, MinutesOutOfRange,
                         ::testing::Values("1e400", "-1e400", "1e308", "5300000000", "-5000000000",
                                           "&HFFFFFFFFFFFFFFFFF", "99999999999999999999999999",
                                           "1e999999999999999999"));

// Berlin in 2026 as the platform would tell it: CEST from 29.3. 1:00 UTC to 25.10. 1:00 UTC.
LocalDateTime Berlin2026(std::int64_t unixSeconds) {
    const std::int64_t summerFrom = ToUnixSeconds({2026, 3, 29, 1, 0, 0});
    const std::int64_t summerTo = ToUnixSeconds({2026, 10, 25, 1, 0, 0});
    return FromUnixSeconds(unixSeconds, unixSeconds >= summerFrom && unixSeconds < summerTo ? 7200 : 3600);
}

constexpr int kCet = 3600;
constexpr int kCest = 7200;

class ElapsedMinutesBack : public ::testing::TestWithParam<MinutesCase> {};

// Minutes are time that passed, so a clock change in between is seen.
TEST_P(ElapsedMinutesBack, CrossesDaylightSavingChanges) {
    EXPECT_EQ(ApplyMinutesBack(GetParam().now, GetParam().minutes, Berlin2026), GetParam().expected)
        << "minutes text: " << GetParam().minutes;
}

INSTANTIATE_TEST_SUITE_P(
    Berlin, ElapsedMinutesBack,
    ::testing::Values(MinutesCase{{2026, 3, 29, 3, 5, 0, kCest}, "10", {2026, 3, 29, 1, 55, 0, kCet}},
                      MinutesCase{{2026, 3, 29, 1, 55, 0, kCet}, "-10", {2026, 3, 29, 3, 5, 0, kCest}},
                      // 2:05 of the second pass, in winter time: 30 minutes earlier was summer time.
                      MinutesCase{{2026, 10, 25, 2, 5, 0, kCet}, "30", {2026, 10, 25, 2, 35, 0, kCest}},
                      MinutesCase{{2026, 10, 25, 2, 5, 0, kCest}, "30", {2026, 10, 25, 1, 35, 0, kCest}},
                      MinutesCase{{2026, 12, 9, 0, 5, 0, kCet}, "10", {2026, 12, 8, 23, 55, 0, kCet}},
                      MinutesCase{{2026, 12, 9, 0, 5, 0, kCet}, "0", {2026, 12, 9, 0, 5, 0, kCet}}));

TEST(MinutesBack, RangeEndsAreExact) {
    EXPECT_THROW(ApplyMinutesBack({100, 1, 1, 0, 0, 0}, "1"), std::range_error);
    EXPECT_THROW(ApplyMinutesBack({9999, 12, 31, 23, 59, 0}, "-1"), std::range_error);
}

}  // namespace
}  // namespace suelvan
