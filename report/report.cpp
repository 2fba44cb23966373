#include "report/report.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <future>
#include <memory>
#include <system_error>
#include <vector>

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
                          bool keepEntries) {
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

    ReportBuilder builder(period, night, keepEntries);
    DiaryReader reader(builder.Sink(), keepEntries);
    // OpenSSL's SHA-256 uses the processor's SHA instructions, several times faster than
    // QCryptographicHash; it runs beside the counting on a second core.
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> hash(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    if (!hash || EVP_DigestInit_ex(hash.get(), EVP_sha256(), nullptr) != 1) {
        throw ReportError("SHA-256 ist nicht verfügbar.");
    }
    // Up to the size it had when opened: a diary growing meanwhile cannot keep us reading.
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::vector<char> buffer(kChunk);
    std::uint64_t done = 0;
    while (done < size) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - done));
        const ssize_t n = ::read(fd.get(), buffer.data(), want);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail("Datei kann nicht gelesen werden", path, errno);
        if (n == 0) break;  // cut shorter meanwhile
        const std::string_view piece(buffer.data(), static_cast<std::size_t>(n));
        auto hashed = std::async(std::launch::async, [&] {
            return EVP_DigestUpdate(hash.get(), piece.data(), piece.size()) == 1;
        });
        reader.Feed(piece);
        if (!hashed.get()) throw ReportError("SHA-256 ist nicht verfügbar.");
        done += static_cast<std::uint64_t>(n);
    }
    reader.Finish();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_DigestFinal_ex(hash.get(), digest, &length) != 1)
        throw ReportError("SHA-256 ist nicht verfügbar.");
    const QByteArray sha256 =
        QByteArray(reinterpret_cast<const char*>(digest), static_cast<qsizetype>(length)).toHex();
    std::error_code ignored;
    return {{fs::absolute(path, ignored).lexically_normal(), done, sha256}, builder.Finish()};
}

QString GermanDate(int day) {
    const CalendarDate d = DateOfDayNumber(day);
    return QStringLiteral("%1.%2.%3").arg(d.day).arg(d.month).arg(d.year);
}

QByteArray CsvBytes(const Report& report) {
    std::string csv = CsvHeader();
    csv.reserve(report.entries.size() * 100);
    for (const DiaryEntry& entry : report.entries) AppendCsvRow(csv, entry, report.night);
    return QByteArray::fromStdString(csv);
}

QByteArray JsonBytes(const Report& report, const DiaryInfo& diary) {
    const auto date = [](const std::optional<int>& day) {
        return day ? QJsonValue(Text(IsoDate(*day))) : QJsonValue(QJsonValue::Null);
    };
    QJsonArray days;
    for (const auto& [day, counts] : report.days) {
        days.append(QJsonObject{{"date", Text(IsoDate(day))},
                                {"entries", counts.entries},
                                {"night_entries", counts.nightEntries},
                                {"landings", counts.landings},
                                {"levels", Array(counts.levels)}});
    }
    QJsonArray nights;
    for (const auto& [night, counts] : report.nights) {
        nights.append(QJsonObject{{"night", Text(IsoDate(night))},
                                  {"entries", counts.entries},
                                  {"first", Text(ClockText(counts.first))},
                                  {"last", Text(ClockText(counts.last))}});
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
