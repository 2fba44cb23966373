#include "report/report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cerrno>
#include <future>
#include <memory>
#include <system_error>
#include <vector>

#include "core/entry.h"
#include "core/logfile.h"

namespace fs = std::filesystem;

namespace suelvan::report {
namespace {

constexpr std::size_t kChunk = 4 << 20;

[[noreturn]] void Fail(const std::string& what, const fs::path& path, int error) {
    throw ReportError(what + ": " + ShownPath(path) + " (" + std::generic_category().message(error) + ")");
}

class Descriptor {
   public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

   private:
    int fd_;
};

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QJsonArray Array(const auto& counts) {
    QJsonArray array;
    for (const int n : counts) array.append(n);
    return array;
}

}  // namespace

ReadDiaryResult ReadDiary(const fs::path& path, const Period& period, const NightRule& night,
                          const ReadOptions& options) {
    const bool hashed = options.hashed;
    // O_NONBLOCK: a FIFO in the diary's place must fail at once, not wait for a writer.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        if (errno == ENOENT) throw ReportError("Datei nicht gefunden: " + ShownPath(path));
        Fail("Datei kann nicht gelesen werden", path, errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) Fail("Datei kann nicht gelesen werden", path, errno);
    if (S_ISDIR(info.st_mode)) throw ReportError("Keine Datei, sondern ein Ordner: " + ShownPath(path));
    if (!S_ISREG(info.st_mode)) throw ReportError("Keine gewöhnliche Datei: " + ShownPath(path));

    ReportBuilder builder(period, night, options.entries);
    // Everything kept: room for the entries a file of this size may hold (a line is some
    // 30 bytes; too much room costs address space only), so half a million are not moved
    // over and over as the vector grows.
    if (!period.from && !period.to && !period.night)
        builder.Reserve(static_cast<std::size_t>(
            std::min<std::uint64_t>(static_cast<std::uint64_t>(info.st_size) / 20, 1u << 22)));
    DiaryReader reader(builder.Sink(), options.entries && options.notes);
    reader.LimitTo(period);
    // OpenSSL's SHA-256 uses the processor's SHA instructions, several times faster than
    // QCryptographicHash; it runs beside the counting on a second core.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> hash(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1) {
        throw ReportError("SHA-256 ist nicht verfügbar.");
    }
    // Up to the size it had when opened: a diary growing meanwhile cannot keep us reading.
    const auto size = static_cast<std::uint64_t>(info.st_size);
    struct Chunk {
        std::size_t bytes = 0;
        int error = 0;  // of the read
        bool hashed = true;
    };
    std::uint64_t requested = 0;
    // A second thread reads and hashes the next chunk while this one counts the last.
    // Not zeroed, since read() fills them, and a sixteenth of the file up to 4 MiB: the
    // fresh pages of larger ones cost more to fault in than a small file takes to read.
    // Without a hash (the window, which reads while Qt starts) this thread reads too, in
    // chunks that stay in the cache: a third busy thread would slow Qt's start down.
    const std::size_t chunkSize = static_cast<std::size_t>(
        hashed ? std::clamp<std::uint64_t>(size / 16, std::min<std::uint64_t>(size, 256 << 10), kChunk)
               : std::min<std::uint64_t>(size, 256 << 10));
    const auto policy = hashed ? std::launch::async : std::launch::deferred;
    const auto readAndHash = [&](char* buffer) {
        Chunk chunk;
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunkSize, size - requested));
        while (chunk.bytes < want) {
            const ssize_t n = ::read(fd.get(), buffer + chunk.bytes, want - chunk.bytes);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) chunk.error = errno;
            if (n <= 0) break;  // an error, or cut shorter meanwhile
            chunk.bytes += static_cast<std::size_t>(n);
        }
        requested += chunk.bytes;
        if (hashed) chunk.hashed = EVP_DigestUpdate(hash.get(), buffer, chunk.bytes) == 1;
        return chunk;
    };
    const std::unique_ptr<char[]> buffers[2] = {std::make_unique_for_overwrite<char[]>(chunkSize),
                                                std::make_unique_for_overwrite<char[]>(chunkSize)};
    std::future<Chunk> next = std::async(policy, readAndHash, buffers[0].get());
    std::uint64_t done = 0;
    for (std::size_t current = 0;; current ^= 1) {
        const Chunk chunk = next.get();
        if (chunk.error != 0) Fail("Datei kann nicht gelesen werden", path, chunk.error);
        if (!chunk.hashed) throw ReportError("SHA-256 ist nicht verfügbar.");
        done += chunk.bytes;
        const bool last = chunk.bytes < chunkSize || done >= size;
        if (!last) next = std::async(policy, readAndHash, buffers[current ^ 1].get());
        reader.Feed(std::string_view(buffers[current].get(), chunk.bytes));
        if (last) break;
    }
    reader.Finish();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(hash.get(), digest, &length) != 1)
        throw ReportError("SHA-256 ist nicht verfügbar.");
    const QByteArray sha256 =
        hashed ? QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex()
               : QByteArray();
    std::error_code ignored;
    return {{fs::absolute(path, ignored).lexically_normal(), done, sha256,
             static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
             static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec},
            builder.Finish()};
}

QString NightClock(int minute) { return Text(MakeEntryTime({2000, 1, 1, minute / 60, minute % 60, 0})); }

QString NightName(int night) {
    const CalendarDate a = DateOfDayNumber(night);
    const CalendarDate b = DateOfDayNumber(night + 1);
    if (a.year != b.year) return GermanDate(night) + QLatin1Char('/') + GermanDate(night + 1);
    if (a.month != b.month) return QStringLiteral("%1.%2./").arg(a.day).arg(a.month) + GermanDate(night + 1);
    return QStringLiteral("%1./").arg(a.day) + GermanDate(night + 1);
}

QString GermanDate(int day) {
    const CalendarDate d = DateOfDayNumber(day);
    return QStringLiteral("%1.%2.%3").arg(d.day).arg(d.month).arg(d.year);
}

QByteArray JsonBytes(const Report& report, const DiaryInfo& diary) {
    const auto date = [](const std::optional<int>& day) {
        return day ? QJsonValue(Text(IsoDate(*day))) : QJsonValue(QJsonValue::Null);
    };
    // Made once: a key spelled out per object costs a QString each, thousands of days over.
    const QString dateKey = QStringLiteral("date"), entriesKey = QStringLiteral("entries"),
                  nightEntriesKey = QStringLiteral("night_entries"), landingsKey = QStringLiteral("landings"),
                  levelsKey = QStringLiteral("levels"), nightKey = QStringLiteral("night"),
                  firstKey = QStringLiteral("first"), lastKey = QStringLiteral("last");
    QJsonArray days;
    for (const auto& [day, counts] : report.days) {
        days.append(QJsonObject{{dateKey, Text(IsoDate(day))},
                                {entriesKey, counts.entries},
                                {nightEntriesKey, counts.nightEntries},
                                {landingsKey, counts.landings},
                                {levelsKey, Array(counts.levels)}});
    }
    QJsonArray nights;
    for (const auto& [night, counts] : report.nights) {
        nights.append(QJsonObject{{nightKey, Text(IsoDate(night))},
                                  {entriesKey, counts.entries},
                                  {firstKey, Text(ClockText(counts.first))},
                                  {lastKey, Text(ClockText(counts.last))}});
    }
    QJsonArray undated;
    for (const std::uint64_t line : report.undatedLines) undated.append(static_cast<qint64>(line));
    QJsonArray unrecognised;
    for (const UnrecognisedLine& line : report.unrecognisedLines) {
        unrecognised.append(QJsonObject{{"line", static_cast<qint64>(line.line)}, {"text", Text(line.text)}});
    }
    const QJsonObject root{
        {"diary", QJsonObject{{"path", Text(ShownPath(diary.path))},
                              {"bytes", static_cast<qint64>(diary.bytes)},
                              {"sha256", QString::fromLatin1(diary.sha256)}}},
        {"period", QJsonObject{{"from", date(report.from)}, {"to", date(report.to)}}},
        {"night", QJsonObject{{"from", Text(ClockText(report.night.start))},
                              {"to", Text(ClockText(report.night.end))}}},
        {"entries", report.total.entries},
        {"night_entries", report.total.nightEntries},
        {"landings", report.total.landings},
        {"levels", Array(report.total.levels)},
        {"hours", Array(report.hours)},
        {"days", days},
        {"nights", nights},
        {"undated", QJsonObject{{"count", static_cast<qint64>(report.undatedCount)}, {"lines", undated}}},
        {"unrecognised",
         QJsonObject{{"count", static_cast<qint64>(report.unrecognisedCount)}, {"lines", unrecognised}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

}  // namespace suelvan::report
