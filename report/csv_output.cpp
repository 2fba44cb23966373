#include "report/csv_output.h"

#include <algorithm>
#include <memory>

#include "core/csv_writer.h"
#include "core/diary_reader.h"
#include "core/failure.h"
#include "core/logfile.h"
#include "report/notes.h"
#include "report/output.h"

namespace suelvan::report {
namespace {

// Room made once, not doubled up to twice the block.
constexpr std::size_t kBlock = 2 << 20;

// Entries handed from the reading to the rows at a time, and how many batches may wait.
constexpr std::size_t kBatch = 1024;
constexpr std::size_t kQueued = 16;

// The reading gave up: the rows' thread stops without putting the output in place.
struct Abandoned {};

}  // namespace

void WriteCsv(const std::filesystem::path& name, const ReadDiaryResult& read) {
    platform::OutputFile output(name, read.info.identity);
    WriteCsv(output, read);
}

void WriteCsv(platform::OutputFile& output, const ReadDiaryResult& read) {
    std::unique_ptr<NoteFile> notes;
    if (!read.notesKept) notes = std::make_unique<NoteFile>(read.file);
    CsvWriter rows(read.report.entries, read.report.night,
                   notes ? CsvWriter::NoteOf([&](const DiaryEntry& e) { return notes->Stream(e); })
                         : CsvWriter::NoteOf());
    WriteOutput(output, [&](std::string& block) {
        block.reserve(kBlock + (1 << 20));
        const bool more = rows.Next(block, kBlock);
        // Before the file is committed: its rows are those of the bytes counted.
        if (!more && notes && !notes->StillAsRead(read.info)) {
            throw Failure("Das Tagebuch wurde während des Lesens geändert; bitte noch einmal aufrufen: " +
                          ShownPath(read.info.path));
        }
        return more;
    });
}

CsvStream::CsvStream(platform::OutputFile& output, std::shared_ptr<const platform::File> diary,
                     const NightRule& night)
    : output_(output), rows_(night), notes_(std::move(diary)), thread_([this] { Run(); }) {
    batch_.reserve(kBatch);
}

CsvStream::~CsvStream() {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        abandoned_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void CsvStream::Add(std::vector<DiaryEntry>& day) {
    batch_.insert(batch_.end(), std::make_move_iterator(day.begin()), std::make_move_iterator(day.end()));
    if (batch_.size() >= kBatch) HandOn();
}

void CsvStream::HandOn() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return full_.size() < kQueued || failure_; });
    if (failure_) std::rethrow_exception(failure_);
    full_.push_back(std::move(batch_));
    batch_.clear();
    if (!spare_.empty()) {
        batch_ = std::move(spare_.back());
        spare_.pop_back();
    } else {
        batch_.reserve(kBatch);
    }
    lock.unlock();
    changed_.notify_all();
}

bool CsvStream::Take(std::vector<DiaryEntry>& batch) {
    std::unique_lock lock(mutex_);
    if (batch.capacity() > 0) {
        batch.clear();
        spare_.push_back(std::move(batch));
    }
    changed_.wait(lock, [this] { return !full_.empty() || ended_ || abandoned_; });
    if (abandoned_) throw Abandoned{};
    if (full_.empty()) return false;
    batch = std::move(full_.front());
    full_.pop_front();
    lock.unlock();
    changed_.notify_all();
    return true;
}

void CsvStream::Run() {
    try {
        std::vector<DiaryEntry> batch;
        std::size_t next = 0;
        bool headerDone = false;
        WriteOutput(output_, [&](std::string& block) {
            if (!headerDone) block += CsvHeader();
            headerDone = true;
            // Rows are made in place, room for the largest quick one always left behind.
            std::size_t used = block.size();
            block.resize(kBlock + CsvRows::kMostPut);
            const auto more = [&] {
                while (used < kBlock) {
                    if (next == batch.size()) {
                        if (!Take(batch)) return false;
                        next = 0;
                    }
                    const DiaryEntry& e = batch[next++];
                    const std::string_view bytes = notes_.Bytes(e);
                    if (const char* end = rows_.PutFromDiary(block.data() + used, e, bytes)) {
                        used = static_cast<std::size_t>(end - block.data());
                        continue;
                    }
                    block.resize(used);
                    rows_.AppendFromDiary(block, e, bytes);
                    used = block.size();
                    block.resize(std::max(used, kBlock) + CsvRows::kMostPut);
                }
                return true;
            }();
            block.resize(used);
            return more;
        });
    } catch (const Abandoned&) {
    } catch (...) {
        const std::lock_guard lock(mutex_);
        failure_ = std::current_exception();
    }
    changed_.notify_all();
}

void CsvStream::Finish() {
    if (!batch_.empty()) HandOn();
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
    thread_.join();
    if (failure_) std::rethrow_exception(failure_);
}

}  // namespace suelvan::report
