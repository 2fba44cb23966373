#include "report/csv_output.h"

#include <algorithm>
#include <memory>

#include "core/csv_writer.h"
#include "core/diary_reader.h"
#include "core/entry_order.h"
#include "core/failure.h"
#include "core/logfile.h"
#include "report/notes.h"
#include "report/output.h"

namespace suelvan::report {
namespace {

// Room made once, not doubled up to twice the block.
constexpr std::size_t kBlock = 2 << 20;

// The rows of a diary read without its entries: read a second time from the file that was
// counted, each day's rows made once no later section can come before them.
class SecondReading {
   public:
    explicit SecondReading(const ReadDiaryResult& read)
        : read_(read),
          rows_(read.report.night),
          notes_(read.file),
          order_(read.sectionDays, [this](DiaryEntry&& e) { rows_.Append(*block_, e, notes_.Stream(e)); }),
          reader_({[this](DiaryEntry&& e) {
                       if (InPeriod(e, read_.period, read_.report.night)) order_.Add(std::move(e));
                   },
                   {},
                   {},
                   [this](std::optional<int>) { order_.SectionBegins(); }},
                  false),
          chunk_(std::make_unique_for_overwrite<char[]>(kChunk)) {
        reader_.LimitTo(read.period);
        reader_.AcceptWeekdays(read.weekdays);
    }

    bool Next(std::string& block) {
        block_ = &block;
        if (!headerDone_) block += CsvHeader();
        headerDone_ = true;
        while (block.size() < kBlock && offset_ < read_.info.bytes) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, read_.info.bytes - offset_));
            std::error_code error;
            const std::size_t got = read_.file->ReadAt(offset_, chunk_.get(), want, error);
            if (error) read_.file->Fail("Datei kann nicht gelesen werden", error);
            if (got == 0) break;  // cut shorter meanwhile: told below
            offset_ += got;
            reader_.Feed(std::string_view(chunk_.get(), got));
        }
        if (offset_ < read_.info.bytes && block.size() < kBlock) offset_ = read_.info.bytes;
        if (offset_ < read_.info.bytes) return true;
        reader_.Finish();
        order_.Finish();
        return false;
    }

   private:
    // A diary's bytes make some three times as many of CSV: a block overshoots by little.
    static constexpr std::size_t kChunk = 256 << 10;

    const ReadDiaryResult& read_;
    CsvRows rows_;
    // Notes are taken from the file as the rows are written, mostly in the file's order:
    // no note is held while its day waits.
    NoteFile notes_;
    EntryOrder order_;
    DiaryReader reader_;
    std::unique_ptr<char[]> chunk_;
    std::string* block_ = nullptr;
    std::uint64_t offset_ = 0;
    bool headerDone_ = false;
};

}  // namespace

void WriteCsv(const std::filesystem::path& name, const ReadDiaryResult& read) {
    platform::OutputFile output(name, read.info.identity);
    WriteCsv(output, read);
}

void WriteCsv(platform::OutputFile& output, const ReadDiaryResult& read) {
    std::unique_ptr<NoteFile> notes;
    if (!read.notesKept) notes = std::make_unique<NoteFile>(read.file);
    std::unique_ptr<SecondReading> again;
    std::unique_ptr<CsvWriter> held;
    if (read.entriesKept) {
        held = std::make_unique<CsvWriter>(
            read.report.entries, read.report.night,
            notes ? CsvWriter::NoteOf([&](const DiaryEntry& e) { return notes->Stream(e); })
                  : CsvWriter::NoteOf());
    } else {
        again = std::make_unique<SecondReading>(read);
    }
    WriteOutput(output, [&](std::string& block) {
        block.reserve(kBlock + (1 << 20));
        const bool more = held ? held->Next(block, kBlock) : again->Next(block);
        // Before the file is committed: its rows are those of the bytes counted.
        if (!more && notes && !notes->StillAsRead(read.info)) {
            throw Failure("Das Tagebuch wurde während des Lesens geändert; bitte noch einmal aufrufen: " +
                          ShownPath(read.info.path));
        }
        return more;
    });
}

}  // namespace suelvan::report
