#include "report/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <future>
#include <string>
#include <system_error>

#include "report/report.h"

namespace suelvan::report {
namespace {

[[noreturn]] void Fail(const QString& name, const std::string& reason) {
    throw ReportError("Ausgabe kann nicht geschrieben werden: " + name.toStdString() + " (" + reason + ")");
}

bool WriteAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::write(fd, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

bool IsDiary(const QString& name, const std::filesystem::path& diary) {
    struct stat d {};
    if (::stat(diary.c_str(), &d) != 0) return false;
    struct stat o {};
    const bool known = name == QLatin1String("-") ? ::fstat(STDOUT_FILENO, &o) == 0
                                                  : ::stat(QFile::encodeName(name).constData(), &o) == 0;
    return known && o.st_dev == d.st_dev && o.st_ino == d.st_ino;
}

void WriteOutput(const QString& name, QByteArrayView bytes) {
    bool given = false;
    WriteOutput(name, [&](std::string& block) {
        if (!given) block.assign(bytes.data(), static_cast<std::size_t>(bytes.size()));
        given = true;
        return false;
    });
}

void WriteOutput(const QString& name, const std::function<bool(std::string& block)>& next) {
    // Each block is written on a second thread while the next one is made.
    const auto pipe = [&](const std::function<bool(QByteArrayView)>& write) {
        std::string blocks[2];
        std::future<bool> pending;
        bool written = true;
        for (std::size_t i = 0;; i ^= 1) {
            blocks[i].clear();
            const bool more = next(blocks[i]);
            if (pending.valid()) written = pending.get() && written;
            if (!written) return false;
            if (!blocks[i].empty())
                pending = std::async(std::launch::async, write, QByteArrayView(blocks[i]));
            if (!more) break;
        }
        return !pending.valid() || pending.get();
    };
    if (name == QLatin1String("-")) {
        if (!pipe([](QByteArrayView b) { return WriteAll(STDOUT_FILENO, b); }))
            Fail(QStringLiteral("Standardausgabe"), std::generic_category().message(errno));
        return;
    }
    const QByteArray path = QFile::encodeName(name);
    struct stat info {};
    if (::stat(path.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode)) Fail(name, "ein Ordner");
        // Never replaced: /dev/null stays a device, a FIFO keeps its reader. Without a
        // reader a FIFO fails at once instead of waiting.
        const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) Fail(name, std::generic_category().message(errno));
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        int error = 0;
        const bool written = pipe([&](QByteArrayView b) {
            const bool ok = WriteAll(fd, b);
            if (!ok) error = errno;
            return ok;
        });
        ::close(fd);
        if (!written) Fail(name, std::generic_category().message(error));
        return;
    }
    QSaveFile file(name);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) Fail(name, file.errorString().toStdString());
    qint64 total = 0;
    const bool written = pipe([&](QByteArrayView b) {
        const qint64 at = total;
        total += b.size();
        if (file.write(b.data(), b.size()) != b.size()) return false;
#ifdef __linux__
        // The disk starts on each block now, so the sync on commit waits for the last one
        // only instead of the whole file.
        if (file.flush()) ::sync_file_range(file.handle(), at, b.size(), SYNC_FILE_RANGE_WRITE);
#else
        (void)at;
#endif
        return true;
    });
    // Checked on disk before the rename: a size limit can cut a buffered write short silently.
    if (!written || !file.flush() || file.size() != total) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("unvollständig geschrieben");
        file.cancelWriting();
        Fail(name, reason.toStdString());
    }
    if (!file.commit()) Fail(name, file.errorString().toStdString());
}

}  // namespace suelvan::report
