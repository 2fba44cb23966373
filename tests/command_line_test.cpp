// The report's command line, read without starting the program.
#include "report/command_line.h"

#include <gtest/gtest.h>

#include "core/calendar.h"
#include "platform/file.h"

namespace suelvan::report {
namespace {

struct BadCase {
    std::vector<std::string> arguments;
    const char* message;
};

class BadArguments : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadArguments, AreRefusedWithAGermanReason) {
    const CommandLine line = ParseCommandLine(GetParam().arguments);
    EXPECT_EQ(line.action, CommandLine::Action::BadArgument);
    EXPECT_NE(line.error.find(GetParam().message), std::string::npos) << line.error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadArguments,
    ::testing::Values(
        BadCase{{"--bogus"}, "Unbekannte Option „--bogus“"}, BadCase{{"-x"}, "Unbekannte Option „-x“"},
        BadCase{{"--csv"}, "Fehlender Wert nach „--csv“"}, BadCase{{"--help=1"}, "nimmt keinen Wert"},
        BadCase{{"a.txt", "b.txt"}, "Nur ein Tagebuch"}, BadCase{{"--csv", ""}, "Leerer Dateiname für --csv"},
        BadCase{{"--json="}, "Leerer Dateiname für --json"},
        BadCase{{"--csv", "a", "--csv", "b"}, "--csv ist mehrfach angegeben"},
        BadCase{{"--from", "2026-02-30"}, "Kein gültiges Datum für --from: „2026-02-30“"},
        BadCase{{"--to=0000-01-01"}, "Kein gültiges Datum für --to"},
        BadCase{{"--from", "2026-1-5"}, "erwartet JJJJ-MM-TT"},
        BadCase{{"--from", "2026-12-10", "--to", "2026-12-09"}, "endet vor seinem Beginn"},
        BadCase{{"--night", "22-6"}, "Keine gültige Nachtzeit: „22-6“"},
        BadCase{{"--night=22:00-22:00"}, "Keine gültige Nachtzeit"},
        BadCase{{"--csv", "-", "--json", "-"}, "Nur eine Ausgabe"}));

TEST(CommandLine, ReadsEveryOptionInBothSpellings) {
    const CommandLine line =
        ParseCommandLine({"--from=2026-12-01", "--to", "2026-12-31", "--night", "23:00-07:00", "--pdf",
                          "b.pdf", "--csv=-", "--name", "Erika", "--address=Weg 1", "--", "--diary.txt"});
    ASSERT_EQ(line.action, CommandLine::Action::Report) << line.error;
    EXPECT_EQ(line.period.from, DayNumber(2026, 12, 1));
    EXPECT_EQ(line.period.to, DayNumber(2026, 12, 31));
    EXPECT_TRUE(line.dates);
    ASSERT_TRUE(line.night);
    EXPECT_EQ(line.night->start, 23 * 60);
    EXPECT_EQ(line.night->end, 7 * 60);
    ASSERT_EQ(line.outputs.size(), 2u);  // in the order csv, json, pdf
    EXPECT_EQ(line.outputs[0].kind, "csv");
    EXPECT_EQ(line.outputs[0].file, std::filesystem::path("-"));
    EXPECT_EQ(line.outputs[1].file, "b.pdf");
    EXPECT_EQ(line.name, "Erika");
    EXPECT_EQ(line.address, "Weg 1");
    EXPECT_EQ(line.diary, std::filesystem::path("--diary.txt"));
    EXPECT_FALSE(line.Window());
}

// Paths as the system hands them over: on Linux its bytes, UTF-8 or not (tested from
// outside as well), on Windows UTF-8 made from its wide arguments.
TEST(CommandLine, TakesAValueThatLooksLikeAnOptionAndPathsAsTheSystemsOwn) {
    const std::string name =
        "lat\xC3\xBC"
        "dir/S\xC3\xBClvan.txt";
    const CommandLine line = ParseCommandLine({"--csv", "-", name});
    ASSERT_EQ(line.action, CommandLine::Action::Report) << line.error;
    EXPECT_EQ(line.outputs.at(0).file, std::filesystem::path("-"));
    EXPECT_EQ(*line.diary, platform::PathOfArgument(name));
    EXPECT_TRUE(line.diary->u8string() == u8"latüdir/Sülvan.txt");
}

TEST(CommandLine, WithoutOutputsIsTheWindowAndHelpWinsOverTheRest) {
    const CommandLine window = ParseCommandLine({});
    EXPECT_EQ(window.action, CommandLine::Action::Report);
    EXPECT_TRUE(window.Window());
    EXPECT_FALSE(window.night);
    EXPECT_FALSE(window.diary);
    for (const char* help : {"--help", "-h", "-?"})
        EXPECT_EQ(ParseCommandLine({"--csv", "x", help}).action, CommandLine::Action::Help) << help;
}

TEST(CommandLine, UsageIsGermanThroughout) {
    const std::string usage = UsageText();
    EXPECT_TRUE(usage.starts_with("Aufruf: suelvan-bericht")) << usage;
    for (const char* english : {"Displays", "help on", "Usage", "Options:", "Arguments:"})
        EXPECT_EQ(usage.find(english), std::string::npos) << english;
    for (const char* option :
         {"--from", "--to", "--night", "--csv", "--json", "--pdf", "--name", "--address"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace suelvan::report
