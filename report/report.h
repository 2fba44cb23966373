// The evidence made from the diary: read once, rendered as CSV, JSON and PDF. Used by the
// command line and, later, the report window alike.
#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "core/diary.h"

class QIODevice;
class QPagedPaintDevice;

namespace suelvan::report {

// A failure for the user: the German text names the file and the cause.
class ReportError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
};

struct DiaryInfo {
    std::filesystem::path path;  // absolute
    std::uint64_t bytes = 0;
    QByteArray sha256;         // lower-case hex, of the bytes read; empty when not hashed
    std::uint64_t device = 0;  // the file read, to fetch its notes from that one later
    std::uint64_t inode = 0;
    std::int64_t modified = 0;  // its modification time when read, nanoseconds
};

struct ReadOptions {
    bool entries = false;  // keep the period's entries, sorted
    bool notes = true;     // with their notes; else only where each note stands
    bool hashed = true;
};

struct ReadDiaryResult {
    DiaryInfo info;
    Report report;
};

// Reads the diary read-only, up to the size it had when opened, counting in the same
// pass that hashes it. Throws ReportError for a missing, unreadable or irregular file.
ReadDiaryResult ReadDiary(const std::filesystem::path& path, const Period& period, const NightRule& night,
                          const ReadOptions& options);

struct Person {
    QString name;
    QString address;
};

QByteArray JsonBytes(const Report& report, const DiaryInfo& diary);
// The PDF pages, A4. `created` is the creation time shown in the footer.
void PaintReport(QPagedPaintDevice& device, const Report& report, const DiaryInfo& diary,
                 const Person& person, const QString& created);
QByteArray PdfBytes(const Report& report, const DiaryInfo& diary, const Person& person,
                    const QString& created);

// "1.12.2026"
QString GermanDate(int day);
// "6:00", as the diary writes times
QString NightClock(int minute);
// The night named by its evening: "8./9.12.2026", "30.11./1.12.2026", "31.12.2026/1.1.2027"
QString NightName(int night);

}  // namespace suelvan::report
