// Recording into large diaries: today's section present near the end (every recording
// of a day but the first) and absent (the first of a day, a full scan), side by side with
// `grep -F -c` over the same file in the page cache.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/minutes.h"
#include "platform/diary_file.h"

namespace fs = std::filesystem;
using namespace suelvan;

namespace {

const WeekdayNames kGerman{"Sonntag", "Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag"};
const char* const kNotes[] = {"Tief über dem Dach",
                              "",
                              "Nachtflug, sehr laut",
                              "wieder Umkehrschub",
                              "Fenster geschlossen, trotzdem hörbar",
                              "Mittagsruhe gestört",
                              "x"};

// A diary of about `bytes` written the way the program writes it, day after day from
// 1.1.2000; returns the day after the last one written.
LocalDateTime WriteDiary(const fs::path& file, std::uint64_t bytes) {
    std::ofstream out(file, std::ios::binary);
    LocalDateTime day{2000, 1, 1, 6, 0, 0};
    std::uint64_t written = 0;
    unsigned seed = 1;
    std::string section;
    while (written < bytes) {
        section = "\r\n" + MakeDayHeader(day, kGerman) + "\r\n";
        for (int entry = 0; entry < 12; ++entry) {
            seed = seed * 1103515245 + 12345;
            const LocalDateTime at{day.year, day.month, day.day, 6 + entry, static_cast<int>(seed >> 16) % 60,
                                   0};
            section += ComposeEntry(at, static_cast<int>(seed >> 8) % 4, (seed >> 4) % 3 == 0,
                                    kNotes[(seed >> 20) % 7]) +
                       "\r\n";
        }
        out << section;
        written += section.size();
        day = ApplyMinutesBack(day, "-1440");
    }
    return day;
}

struct Diary {
    fs::path dir;
    LocalDateTime nextDay;
};

// Built once per size and kept for the whole run; the 1 GB one takes a while.
const Diary& DiaryOfSize(std::uint64_t bytes) {
    static std::map<std::uint64_t, Diary> diaries;
    auto it = diaries.find(bytes);
    if (it == diaries.end()) {
        const fs::path dir = fs::temp_directory_path() / ("suelvan-bench-" + std::to_string(bytes));
        fs::create_directories(dir);
        const LocalDateTime next = WriteDiary(LogPath(dir), bytes);
        it = diaries.emplace(bytes, Diary{dir, next}).first;
        std::system(("cat '" + LogPath(dir).string() + "' > /dev/null").c_str());  // into the page cache
    }
    return it->second;
}

void BM_RecordHeaderPresent(benchmark::State& state) {
    const Diary& diary = DiaryOfSize(static_cast<std::uint64_t>(state.range(0)));
    LocalDateTime now = diary.nextDay;
    platform::RecordObservation(now, {"0", 1, false, "opens today's section"}, kGerman, diary.dir);
    const std::uintmax_t size = fs::file_size(LogPath(diary.dir));
    for (auto _ : state) {
        platform::RecordObservation(now, {"0", 2, true, "Tief"}, kGerman, diary.dir);
        // Keep today's section a day's size however many iterations run.
        state.PauseTiming();
        fs::resize_file(LogPath(diary.dir), size);
        state.ResumeTiming();
    }
    // Move the next run on to a day of its own.
    const_cast<Diary&>(diary).nextDay = ApplyMinutesBack(now, "-1440");
}

void BM_RecordHeaderAbsent(benchmark::State& state) {
    const Diary& diary = DiaryOfSize(static_cast<std::uint64_t>(state.range(0)));
    LocalDateTime now = diary.nextDay;
    const std::uintmax_t size = fs::file_size(LogPath(diary.dir));
    for (auto _ : state) {
        // A day far in the future each time, so its header is never there yet.
        state.PauseTiming();
        now = ApplyMinutesBack(now, "-1440");
        const LocalDateTime future{now.year + 5000, now.month, now.day, now.hour, now.minute, 0};
        state.ResumeTiming();
        platform::RecordObservation(future, {"0", 1, false, "erster Eintrag des Tages"}, kGerman, diary.dir);
    }
    fs::resize_file(LogPath(diary.dir), size);
    const_cast<Diary&>(diary).nextDay = now;
}

void BM_GrepAbsent(benchmark::State& state) {
    const Diary& diary = DiaryOfSize(static_cast<std::uint64_t>(state.range(0)));
    const std::string command =
        "grep -F -c 'Mittwoch, 9.12.7026' '" + LogPath(diary.dir).string() + "' > /dev/null";
    for (auto _ : state) benchmark::DoNotOptimize(std::system(command.c_str()));
}

// What waiting for the disk costs a recording: the whole recording into a small diary
// (lock, search, append, fdatasync) beside the same append without the sync.
void BM_RecordDurably(benchmark::State& state) {
    const Diary& diary = DiaryOfSize(100 * 1000);
    const LocalDateTime now = diary.nextDay;
    platform::RecordObservation(now, {"0", 1, false, "opens today's section"}, kGerman, diary.dir);
    const std::uintmax_t size = fs::file_size(LogPath(diary.dir));
    for (auto _ : state) {
        platform::RecordObservation(now, {"0", 2, true, "Tief"}, kGerman, diary.dir);
        state.PauseTiming();
        fs::resize_file(LogPath(diary.dir), size);
        state.ResumeTiming();
    }
}

void BM_AppendWithoutSync(benchmark::State& state) {
    const Diary& diary = DiaryOfSize(100 * 1000);
    const std::uintmax_t size = fs::file_size(LogPath(diary.dir));
    const std::string line = "14:30 !! Landung? Tief\r\n";
    for (auto _ : state) {
        std::FILE* file = std::fopen(LogPath(diary.dir).c_str(), "ab");
        std::fwrite(line.data(), 1, line.size(), file);
        std::fclose(file);
        state.PauseTiming();
        fs::resize_file(LogPath(diary.dir), size);
        state.ResumeTiming();
    }
}

constexpr std::int64_t kMB = 1000 * 1000;

}  // namespace

BENCHMARK(BM_RecordDurably)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_AppendWithoutSync)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_RecordHeaderPresent)
    ->Arg(1 * kMB)
    ->Arg(100 * kMB)
    ->Arg(1000 * kMB)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
// Absent and grep alternate per size, so both see the same cache and machine load.
BENCHMARK(BM_RecordHeaderAbsent)->Arg(1 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepAbsent)->Arg(1 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecordHeaderAbsent)->Arg(100 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepAbsent)->Arg(100 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RecordHeaderAbsent)->Arg(1000 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GrepAbsent)->Arg(1000 * kMB)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
