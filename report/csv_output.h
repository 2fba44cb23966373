// The CSV of a report written to a file: one path for the command line and the window.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/csv_writer.h"
#include "report/notes.h"
#include "report/read_diary.h"

namespace suelvan::report {

// The rows of `read`'s entries, which it must have kept. Entries read without their notes
// take each from the file as its row is written, and the output is put in place only
// while the bytes counted are still there as read. Throws Failure.
void WriteCsv(const std::filesystem::path& name, const ReadDiaryResult& read);
void WriteCsv(platform::OutputFile& output, const ReadDiaryResult& read);

// Rows written while the diary is read: the entries, handed in the report's order without
// their notes, are made into rows on a thread of their own, each note taken from `diary`,
// the file being read. Memory stays a few batches of entries and two blocks of rows.
class CsvStream {
   public:
    CsvStream(platform::OutputFile& output, std::shared_ptr<const platform::File> diary,
              const NightRule& night);
    ~CsvStream();  // unfinished: the output is not put in place
    CsvStream(const CsvStream&) = delete;
    CsvStream& operator=(const CsvStream&) = delete;

    // A day's entries, taken. Throws the Failure of writing, once it failed.
    void Add(std::vector<DiaryEntry>& day);
    // Every row written and the output put in place. Throws Failure.
    void Finish();

   private:
    void HandOn();
    bool Take(std::vector<DiaryEntry>& batch);  // the next batch; false at the end
    void Run();

    platform::OutputFile& output_;
    CsvRows rows_;
    NoteFile notes_;
    std::vector<DiaryEntry> batch_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<DiaryEntry>> full_;
    std::vector<std::vector<DiaryEntry>> spare_;
    bool ended_ = false;
    bool abandoned_ = false;
    std::exception_ptr failure_;
    std::thread thread_;  // last: starts once the rest is made
};

}  // namespace suelvan::report
