#include "core/logfile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <sstream>
#include <string>

#include "tests/german.h"
#include "tests/temp_dir.h"

namespace suelvan {
namespace {

using test::kGerman;
using test::ReadBytes;
using test::WriteBytes;

constexpr LocalDateTime kTuesday{2026, 12, 8, 14, 30, 15};
constexpr LocalDateTime kWednesdayEarly{2026, 12, 9, 0, 5, 0};

EntryInput Input(std::string minutes, LoudnessLevel loudness, bool landing, std::string note) {
    return {std::move(minutes), loudness, landing, std::move(note)};
}

class LogFile : public ::testing::Test {
   protected:
    LogFile() { WriteBytes(log_, ""); }
    void Record(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names = kGerman) {
        RecordObservation(now, input, names, dir_.path());
    }
    std::string Log() const { return ReadBytes(log_); }

    test::TempDir dir_;
    std::filesystem::path log_ = dir_.path() / u8"Sülvan.txt";
};

TEST_F(LogFile, PathIsBesideTheProgram) {
    EXPECT_EQ(LogPath("/opt/mit Leerzeichen").string(), "/opt/mit Leerzeichen/Sülvan.txt");
}

TEST_F(LogFile, FirstEntryOpensASection) {
    Record(kTuesday, Input("0", 2, true, "Tief"));
    EXPECT_EQ(Log(), "\r\nDienstag, 8.12.2026\r\n14:30 !! Landung? Tief\r\n");
}

TEST_F(LogFile, SecondEntryOfTheDayAddsOneLine) {
    Record(kTuesday, Input("0", 2, true, "Tief"));
    Record({2026, 12, 8, 14, 35, 0}, Input("2", 1, false, ""));
    EXPECT_EQ(Log(), "\r\nDienstag, 8.12.2026\r\n14:30 !! Landung? Tief\r\n14:33 ! \r\n");
}

TEST_F(LogFile, NewDayGetsItsOwnSection) {
    Record(kTuesday, Input("0", 3, false, "a"));
    Record({2026, 12, 9, 6, 40, 0}, Input("0", 0, false, "b"));
    EXPECT_EQ(Log(),
              "\r\nDienstag, 8.12.2026\r\n14:30 !!! a\r\n"
              "\r\nMittwoch, 9.12.2026\r\n6:40 b\r\n");
}

TEST_F(LogFile, EntryMovedBeforeMidnightIsFiledUnderToday) {
    Record(kTuesday, Input("0", 1, false, "a"));
    Record(kWednesdayEarly, Input("10", 1, false, "b"));
    EXPECT_EQ(Log(),
              "\r\nDienstag, 8.12.2026\r\n14:30 ! a\r\n"
              "\r\nMittwoch, 9.12.2026\r\n23:55 ! b\r\n");
}

TEST_F(LogFile, HeaderTextAnywhereCountsAsFound) {
    // Typed by hand with bare line ends, the header inside a longer line.
    WriteBytes(log_, "notes\nsiehe Dienstag, 8.12.2026 oben\rmehr");
    Record(kTuesday, Input("0", 0, false, "x"));
    EXPECT_EQ(Log(), "notes\nsiehe Dienstag, 8.12.2026 oben\rmehr14:30 x\r\n");
}

TEST_F(LogFile, OtherLanguageOpensASecondSection) {
    Record(kTuesday, Input("0", 0, false, "a"));
    WeekdayNames english{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    Record(kTuesday, Input("0", 0, false, "b"), english);
    EXPECT_EQ(Log(), "\r\nDienstag, 8.12.2026\r\n14:30 a\r\n\r\nTuesday, 8.12.2026\r\n14:30 b\r\n");
}

TEST_F(LogFile, ForgedHeaderInANoteNeverReachesTheFile) {
    Record(kTuesday, Input("0", 1, false, "a\r\n\r\nMittwoch, 9.12.2026\u2028"));
    Record({2026, 12, 9, 8, 0, 0}, Input("0", 1, false, "b"));
    EXPECT_EQ(Log(),
              "\r\nDienstag, 8.12.2026\r\n14:30 ! a    Mittwoch, 9.12.2026 \r\n"
              "8:00 ! b\r\n");  // the note's text still counts as the header, by design
}

TEST_F(LogFile, NoteAndWeekdayAreWindows1252) {
    WeekdayNames names = kGerman;
    names[2] = "Dienstag€";
    Record(kTuesday, Input("0", 0, false, "Lärm 中"), names);
    EXPECT_EQ(Log(), "\r\nDienstag\x80, 8.12.2026\r\n14:30 L\xE4rm ?\r\n");
}

TEST_F(LogFile, MissingFileFailsAndStaysMissing) {
    std::filesystem::remove(log_);
    try {
        Record(kTuesday, Input("0", 1, false, "a"));
        FAIL() << "recorded into a missing file";
    } catch (const LogError& error) {
        EXPECT_EQ(std::string(error.what()), "Datei nicht gefunden: " + log_.string());
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(log_)));
}

TEST_F(LogFile, BadMinutesLeaveTheFileUntouched) {
    WriteBytes(log_, "old");
    EXPECT_THROW(Record(kTuesday, Input("1e400", 1, false, "a")), std::range_error);
    EXPECT_EQ(Log(), "old");
}

class NotAFile : public LogFile, public ::testing::WithParamInterface<const char*> {};

TEST_P(NotAFile, FailsInsteadOfHanging) {
    std::filesystem::remove(log_);
    const std::string kind = GetParam();
    if (kind == "directory") std::filesystem::create_directory(log_);
    if (kind == "fifo") {
        ASSERT_EQ(mkfifo(log_.c_str(), 0600), 0);
    }
    if (kind == "device") std::filesystem::create_symlink("/dev/zero", log_);
    if (kind == "dangling link") std::filesystem::create_symlink(dir_.path() / "nowhere", log_);
    EXPECT_THROW(Record(kTuesday, Input("0", 1, false, "a")), LogError);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "nowhere"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotAFile, ::testing::Values("directory", "fifo", "device", "dangling link"));

// RLIMIT_FSIZE holds for root too, unlike file permissions.
class FileSizeLimit {
   public:
    explicit FileSizeLimit(rlim_t bytes) {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

   private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

class WriteFailure : public LogFile, public ::testing::WithParamInterface<rlim_t> {};

TEST_P(WriteFailure, IsReportedAndLeavesNoTornLine) {
    const std::string before = "\r\nDienstag, 8.12.2026\r\n9:00 a\r\n";
    WriteBytes(log_, before);
    {
        FileSizeLimit limit(before.size() + GetParam());
        try {
            Record(kTuesday, Input("0", 1, false, "ein langer Satz"));
            FAIL() << "a failed write was reported as success";
        } catch (const LogError& error) {
            EXPECT_NE(std::string(error.what()).find("Schreiben"), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(Log(), before);
}

INSTANTIATE_TEST_SUITE_P(RoomLeft, WriteFailure, ::testing::Values(0, 1, 10));

struct SearchCase {
    std::size_t firstChunk;
    std::size_t maxChunk;
};

class BackwardSearch : public ::testing::TestWithParam<SearchCase> {};

// Every position of the needle, so it straddles each chunk boundary at every split.
TEST_P(BackwardSearch, AgreesWithAForwardSearchAtEveryOffset) {
    const std::string needle = "Dienstag, 8.12.2026";
    for (std::size_t size = 0; size < 90; ++size) {
        for (std::size_t at = 0; at + needle.size() <= size; ++at) {
            std::string bytes(size, 'x');
            bytes.replace(at, needle.size(), needle);
            std::istringstream in(bytes);
            ASSERT_TRUE(ContainsBackward(in, needle, GetParam().firstChunk, GetParam().maxChunk))
                << "size " << size << " at " << at;
        }
        std::string almost(size, 'x');
        if (size >= needle.size()) almost.replace(size - needle.size(), needle.size(), "Dienstag, 8.12.2025");
        std::istringstream in(almost);
        ASSERT_FALSE(ContainsBackward(in, needle, GetParam().firstChunk, GetParam().maxChunk)) << size;
    }
}

INSTANTIATE_TEST_SUITE_P(Chunks, BackwardSearch,
                         ::testing::Values(SearchCase{1, 1}, SearchCase{3, 7}, SearchCase{4, 64},
                                           SearchCase{19, 19}, SearchCase{kFirstChunk, kMaxChunk}));

TEST(BackwardSearchLargeFile, FindsAHeaderSplitAcrossTheDefaultChunks) {
    const std::string needle = "Mittwoch, 9.12.2026";
    for (std::size_t end : {kFirstChunk, kFirstChunk * 5, kFirstChunk * 21 + kMaxChunk}) {
        for (std::size_t split : {std::size_t{1}, needle.size() / 2, needle.size() - 1}) {
            std::string bytes(end + kMaxChunk, '.');
            bytes.replace(bytes.size() - end - split, needle.size(), needle);
            std::istringstream in(bytes);
            EXPECT_TRUE(ContainsBackward(in, needle)) << end << " " << split;
        }
    }
}

}  // namespace
}  // namespace suelvan
