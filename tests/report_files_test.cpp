// The report's reading and writing without Qt: the diary as it was opened, outputs never
// over it.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/failure.h"
#include "report/csv_output.h"
#include "report/json.h"
#include "report/output.h"
#include "report/read_diary.h"
#include "tests/temp_dir.h"

namespace suelvan::report {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

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

}  // namespace
}  // namespace suelvan::report
