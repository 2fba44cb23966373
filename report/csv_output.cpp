#include "report/csv_output.h"

#include <memory>

#include "core/csv_writer.h"
#include "core/failure.h"
#include "core/logfile.h"
#include "report/notes.h"
#include "report/output.h"

namespace suelvan::report {

void WriteCsv(const std::filesystem::path& name, const ReadDiaryResult& read) {
    platform::OutputFile output(name, read.info.identity);
    WriteCsv(output, read);
}

void WriteCsv(platform::OutputFile& output, const ReadDiaryResult& read) {
    const std::vector<DiaryEntry>& entries = read.report.entries;
    std::unique_ptr<NoteFile> notes;
    if (!read.notesKept) notes = std::make_unique<NoteFile>(read.file);
    CsvWriter csv(entries, read.report.night,
                  notes ? CsvWriter::NoteOf([&](const DiaryEntry& e) { return notes->Stream(e); })
                        : CsvWriter::NoteOf());
    WriteOutput(output, [&](std::string& block) {
        // Room made once, not doubled up to twice the block.
        constexpr std::size_t kBlock = 4 << 20;
        block.reserve(kBlock + (64 << 10));
        const bool more = csv.Next(block, kBlock);
        // Before the file is committed: its notes are those of the bytes counted.
        if (!more && notes && !notes->StillAsRead(read.info)) {
            throw Failure("Das Tagebuch wurde während des Lesens geändert; bitte noch einmal aufrufen: " +
                          ShownPath(read.info.path));
        }
        return more;
    });
}

}  // namespace suelvan::report
