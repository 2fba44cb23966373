#include "platform/diary_file.h"

#include <algorithm>
#include <string>

#include "core/failure.h"

namespace fs = std::filesystem;

namespace suelvan::platform {

LockedDiary::LockedDiary(fs::path path) : file_(File::Open(path, File::Access::ReadAppend)) {
    identity_ = file_.State().identity;
    file_.LockExclusive();
}

bool LockedDiary::Contains(std::string_view needle) {
    std::error_code error;
    const auto read = [&](std::uint64_t offset, char* into, std::size_t length) {
        const std::size_t n = file_.ReadAt(offset, into, length, error);
        if (n < length && !error) error = std::make_error_code(std::errc::io_error);
        return n == length;
    };
    bool failed = false;
    const bool found = ContainsBackward(file_.State().size, read, needle, failed);
    if (failed) file_.Fail("Datei kann nicht gelesen werden", error);
    return found;
}

bool LockedDiary::EndsInsideLine() {
    const std::uint64_t size = file_.State().size;
    if (size == 0) return false;
    char last = 0;
    std::error_code error;
    if (file_.ReadAt(size - 1, &last, 1, error) != 1)
        file_.Fail("Datei kann nicht gelesen werden",
                   error ? error : std::make_error_code(std::errc::io_error));
    return last != '\n' && last != '\r';
}

void LockedDiary::RequireStillThere(bool afterWrite) {
    if (IdentityOf(file_.Path()) == identity_) return;
    if (!afterWrite) throw Failure("Datei nicht gefunden: " + ShownPath(file_.Path()));
    throw Failure("Die Datei wurde während des Schreibens entfernt oder ersetzt, der Eintrag fehlt darin: " +
                  ShownPath(file_.Path()));
}

std::uint64_t LockedDiary::LineEndsBefore(std::uint64_t size, bool& afterCr) {
    std::string chunk(1 << 20, '\0');
    std::uint64_t ends = 0;
    afterCr = false;
    for (std::uint64_t at = 0; at < size;) {
        std::error_code error;
        const std::size_t got =
            file_.ReadAt(at, chunk.data(),
                         static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), size - at)), error);
        if (got == 0) break;
        ends += CountLineEnds(std::string_view(chunk.data(), got), afterCr);
        at += got;
    }
    return ends;
}

void LockedDiary::Append(std::string_view bytes, const Rollback& rollback) {
    RequireStillThere(false);
    const std::uint64_t before = file_.State().size;
    std::error_code error;
    const std::size_t written = file_.Append(bytes, error);
    // Not reported as recorded before it is on the disk: a power cut must not take it.
    if (!error) error = file_.SyncData();
    if (error) {
        // A torn line is worse than none. Under the lock only editors can have written
        // since, and then the file is left alone.
        if (written > 0 && file_.State().size == before + written) {
            const std::error_code undone = rollback ? rollback(file_, before) : file_.Truncate(before);
            Leftover left;
            if (undone) {
                bool afterCr = false;
                const std::uint64_t lines = LineEndsBefore(before, afterCr);
                left = LeftoverOf(lines, afterCr, bytes.substr(0, written));
            }
            // The report would count it as an entry that was never made: the user must know.
            if (!left.text.empty()) {
                throw Failure(
                    "Schreiben in die Datei fehlgeschlagen: " + ShownPath(file_.Path()) + " (" +
                    CauseText(error) + "). Der angefangene Eintrag ließ sich nicht wieder entfernen (" +
                    CauseText(undone) + "): In Zeile " + std::to_string(left.line) + " steht noch „" +
                    left.text + "“. Bitte diese Zeile im Tagebuch löschen, sonst zählt der Bericht sie mit.");
            }
        }
        file_.Fail("Schreiben in die Datei fehlgeschlagen", error);
    }
    RequireStillThere(true);
}

void RecordObservation(const LocalDateTime& now, const EntryInput& input, const WeekdayNames& names,
                       const fs::path& programDir, const LocalTimeAt& localAt) {
    // A relative path would be resolved against whatever the current folder is.
    if (programDir.empty() || !programDir.is_absolute()) {
        throw Failure(
            "Der Ordner des Programms lässt sich nicht bestimmen, daher ist unbekannt, wo das "
            "Tagebuch liegt.");
    }
    const PreparedRecord record = PrepareRecord(now, input, names, localAt);
    LockedDiary diary(LogPath(programDir));
    const bool present = diary.Contains(record.header);
    diary.Append(RecordBytes(record, present, diary.EndsInsideLine()));
}

}  // namespace suelvan::platform
