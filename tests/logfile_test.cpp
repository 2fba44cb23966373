#include "platform/diary_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
        platform::RecordObservation(now, input, names, dir_.path());
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
    EXPECT_EQ(Log(), "notes\nsiehe Dienstag, 8.12.2026 oben\rmehr\r\n14:30 x\r\n");
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
    } catch (const Failure& error) {
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
    EXPECT_THROW(Record(kTuesday, Input("0", 1, false, "a")), Failure);
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
        } catch (const Failure& error) {
            EXPECT_NE(std::string(error.what()).find("Schreiben"), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(Log(), before);
}

INSTANTIATE_TEST_SUITE_P(RoomLeft, WriteFailure, ::testing::Values(0, 1, 10));

struct LeftoverCase {
    std::string before;
    std::string appended;
    rlim_t room;          // bytes of it that reach the file
    const char* message;  // what the message adds; empty: nothing is left that counts
};

class FailedRollback : public LogFile, public ::testing::WithParamInterface<LeftoverCase> {};

// An append-only file refuses to be cut back: the message names what stays behind.
TEST_P(FailedRollback, NamesTheLineLeftBehind) {
    const LeftoverCase& c = GetParam();
    WriteBytes(log_, c.before);
    const auto refused = [](platform::File&, std::uint64_t) {
        return std::make_error_code(std::errc::operation_not_permitted);
    };
    std::string message;
    {
        platform::LockedDiary diary(log_);
        FileSizeLimit limit(c.before.size() + c.room);
        try {
            diary.Append(c.appended, refused);
            FAIL() << "a failed write was reported as success";
        } catch (const Failure& error) {
            message = error.what();
        }
    }
    EXPECT_EQ(message.find("Schreiben in die Datei fehlgeschlagen: "), 0u) << message;
    if (*c.message) {
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    } else {
        EXPECT_EQ(message.find("Zeile"), std::string::npos) << message;
    }
    EXPECT_EQ(Log(), c.before + c.appended.substr(0, c.room));
}

INSTANTIATE_TEST_SUITE_P(
    Leftovers, FailedRollback,
    ::testing::Values(
        LeftoverCase{
            "\r\nDienstag, 8.12.2026\r\n9:00 a\r\n", "14:30 ! neu\r\n", 6,
            "ließ sich nicht wieder entfernen (keine Berechtigung): In Zeile 4 steht noch „14:30 “. Bitte "
            "diese Zeile im Tagebuch löschen"},
        LeftoverCase{"\r\nDienstag, 8.12.2026\r\n9:00 a", "\r\n14:30 ! neu\r\n", 9,
                     "In Zeile 4 steht noch „14:30 !“"},
        LeftoverCase{"\r\nDienstag, 8.12.2026\r\n9:00 a\r", "\n14:30 ! ne\xE4u\r\n", 12,
                     "In Zeile 4 steht noch „14:30 ! neä“"},
        LeftoverCase{"\n\n\n", "\r\nDienstag, 8.12.2026\r\n14:30 ! neu\r\n", 5,
                     "In Zeile 5 steht noch „Die“"},
        LeftoverCase{"", "\r\nDienstag, 8.12.2026\r\n14:30 ! neu\r\n", 23, ""}));

struct LineEndCase {
    std::string before;
    std::string appended;
};

class LastLine : public LogFile, public ::testing::WithParamInterface<LineEndCase> {};

// An entry never joins the line before it, and an existing line end is never doubled.
TEST_P(LastLine, IsEndedBeforeTheEntry) {
    const std::string& before = GetParam().before;
    WriteBytes(log_, before);
    Record(kTuesday, Input("0", 1, false, "neu"));
    EXPECT_EQ(Log(), before + GetParam().appended);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, LastLine,
    ::testing::Values(LineEndCase{"", "\r\nDienstag, 8.12.2026\r\n14:30 ! neu\r\n"},
                      LineEndCase{"\r\nDienstag, 8.12.2026\r\n1:00 x", "\r\n14:30 ! neu\r\n"},
                      LineEndCase{"\r\nDienstag, 8.12.2026\r\n1:00 x\r\n", "14:30 ! neu\r\n"},
                      LineEndCase{"\r\nDienstag, 8.12.2026\n1:00 x\n", "14:30 ! neu\r\n"},
                      LineEndCase{"\r\nDienstag, 8.12.2026\r1:00 x\r", "14:30 ! neu\r\n"},
                      LineEndCase{"\r\nMittwoch, 9.12.2026\r\n1:00 x",
                                  "\r\n\r\nDienstag, 8.12.2026\r\n14:30 ! neu\r\n"},
                      LineEndCase{std::string("\0", 1), "\r\n\r\nDienstag, 8.12.2026\r\n14:30 ! neu\r\n"}));

TEST_F(LogFile, UnknownProgramFolderFailsInsteadOfUsingTheCurrentOne) {
    for (const char* dir : {"", "relativ"}) {
        try {
            platform::RecordObservation(kTuesday, Input("0", 1, false, "a"), kGerman, dir);
            FAIL() << "recorded relative to the current folder";
        } catch (const Failure& error) {
            EXPECT_NE(std::string(error.what()).find("Ordner des Programms"), std::string::npos);
        }
    }
}

TEST_F(LogFile, FolderNameThatIsNoUtf8IsUsedAsItsBytes) {
    const std::filesystem::path folder = dir_.path() / "a\xFC";
    std::filesystem::create_directory(folder);
    WriteBytes(LogPath(folder), "");
    platform::RecordObservation(kTuesday, Input("0", 1, false, "a"), kGerman, folder);
    EXPECT_EQ(ReadBytes(LogPath(folder)), "\r\nDienstag, 8.12.2026\r\n14:30 ! a\r\n");
    EXPECT_EQ(Log(), "");
}

// The file vanishes or is replaced (an editor saving) after it was opened and searched.
class GoneBeforeTheAppend : public LogFile, public ::testing::WithParamInterface<bool> {};

TEST_P(GoneBeforeTheAppend, FailsAndCreatesNothing) {
    WriteBytes(log_, "alt\r\n");
    platform::LockedDiary diary(log_);
    EXPECT_FALSE(diary.Contains("Dienstag"));
    std::filesystem::rename(log_, dir_.path() / "weg.txt");
    const bool replaced = GetParam();
    if (replaced) WriteBytes(log_, "neu\r\n");
    try {
        diary.Append("14:30 a\r\n");
        FAIL() << "appended to a file no longer there";
    } catch (const Failure& error) {
        EXPECT_EQ(std::string(error.what()), "Datei nicht gefunden: " + log_.string());
    }
    EXPECT_EQ(std::filesystem::exists(log_), replaced);
    if (replaced) {
        EXPECT_EQ(Log(), "neu\r\n");
    }
    EXPECT_EQ(ReadBytes(dir_.path() / "weg.txt"), "alt\r\n");
}

INSTANTIATE_TEST_SUITE_P(Kinds, GoneBeforeTheAppend, ::testing::Values(false, true));

// Another instance whose write fails part-way holds the lock through its rollback, so a
// recording made meanwhile waits and is not cut off with the failed one.
TEST_F(LogFile, FailedWriteOfAnotherInstanceNeverTakesThisEntry) {
    const std::string before = "\r\nDienstag, 8.12.2026\r\n9:00 a\r\n";
    WriteBytes(log_, before);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(ready[0]);
        int status = 1;
        {
            FileSizeLimit limit(before.size() + 4);
            platform::LockedDiary diary(log_);
            (void)!write(ready[1], "x", 1);
            usleep(300 * 1000);  // the other recording arrives now
            try {
                diary.Append("14:00 ein langer Satz, der nicht passt\r\n");
            } catch (const Failure&) {
                status = 0;
            }
        }
        _exit(status);
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    Record(kTuesday, Input("0", 1, false, "b"));
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the limited write did not fail";
    EXPECT_EQ(Log(), before + "14:30 ! b\r\n");
}

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
