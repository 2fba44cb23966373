#include "platform/services.h"

#if defined(__linux__) && defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "platform/shell.h"

namespace suelvan::platform {

namespace {

LocalDateTime Reading(const QDateTime& at) {
    const QDate date = at.date();
    const QTime time = at.time();
    return {date.year(),   date.month(),  date.day(),        time.hour(),
            time.minute(), time.second(), at.offsetFromUtc()};
}

bool IsStandIn(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

}  // namespace

LocalDateTime SystemServices::Now() { return Reading(QDateTime::currentDateTime()); }

LocalDateTime SystemServices::LocalAt(std::int64_t unixSeconds) {
    return Reading(QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::LocalTime));
}

WeekdayNames SystemServices::Weekdays() {
    // QLocale knows the names even where the C library's locale is not generated.
    const QLocale locale = QLocale::system();
    WeekdayNames names;
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const int qtDay = weekday == 1 ? 7 : weekday - 1;  // Qt counts from Monday
        names[static_cast<std::size_t>(weekday - 1)] =
            locale.dayName(qtDay, QLocale::LongFormat).toStdString();
    }
    return names;
}

std::filesystem::path SystemServices::ProgramDir() {
#ifdef Q_OS_LINUX
    // Qt's own answer goes through a lossy text conversion of the folder's name.
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !exe.is_absolute()) return {};
    return exe.parent_path();
#else
    return ToPath(QCoreApplication::applicationDirPath());
#endif
}

void SystemServices::ShellOpen(const QString& command, std::function<void(const QString&)> failed) {
    const std::optional<OpenTarget> target = ParseShellCommand(command);
    if (!target) {
        failed(QStringLiteral("„%1“ ist weder eine Datei noch eine Webadresse und wird nicht geöffnet.")
                   .arg(Readable(command)));
        return;
    }
    OpenWithDesktop(*target, QCoreApplication::instance(), std::move(failed));
}

void SystemServices::OpenMail(const QByteArray& mailto, std::function<void(const QString&)> failed) {
    // Only a mailto: link, ASCII through and through, so it is no option of the opener.
    if (!mailto.startsWith("mailto:")) {
        failed(QStringLiteral("Das ist kein E-Mail-Link und wird nicht geöffnet."));
        return;
    }
    OpenWithDesktop({OpenTarget::Kind::MailLink, QString::fromLatin1(mailto)}, QCoreApplication::instance(),
                    std::move(failed));
}

void SystemServices::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kAppTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString ToQString(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    const QByteArray bytes = QByteArray::fromStdString(path.native());
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes) return text;
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0x80             ? 1
                                 : (lead & 0xE0) == 0xC0 ? 2
                                 : (lead & 0xF0) == 0xE0 ? 3
                                 : (lead & 0xF8) == 0xF0 ? 4
                                                         : 0;
        if (length > 0 && i + length <= bytes.size()) {
            const QByteArray piece = bytes.mid(i, length);
            const QString decoded = QString::fromUtf8(piece);
            if (decoded.toUtf8() == piece) {
                text += decoded;
                i += length;
                continue;
            }
        }
        text += QChar(static_cast<char16_t>(0xDC00 + lead));
        ++i;
    }
    return text;
#endif
}

std::filesystem::path ToPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    std::string bytes;
    QString run;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool paired = i > 0 && path[i - 1].isHighSurrogate();
        if (IsStandIn(c) && !paired) {
            bytes += run.toUtf8().toStdString();
            run.clear();
            bytes += static_cast<char>(c - 0xDC00);
        } else {
            run += path[i];
        }
    }
    bytes += run.toUtf8().toStdString();
    return std::filesystem::path(bytes);
#endif
}

QString Readable(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool paired = i > 0 && text[i - 1].isHighSurrogate();
        if (IsStandIn(text[i].unicode()) && !paired) text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

void LoadGermanQtTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

void UseLargePages(std::size_t bytes) {
#if defined(__linux__) && defined(__GLIBC__)
    constexpr std::uintptr_t kLarge = 2 << 20;
    mallopt(M_ARENA_MAX, 1);              // threads too, else each gets an arena of small pages
    mallopt(M_MMAP_THRESHOLD, 32 << 20);  // glibc's largest: big buffers come from the heap too
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());  // a short run keeps its heap
    mallopt(M_TOP_PAD, static_cast<int>(std::min<std::size_t>(bytes, 1u << 30)));
    const auto start = reinterpret_cast<std::uintptr_t>(sbrk(0));
    void* volatile grown = std::malloc(kLarge);  // volatile: the pair is not optimised away
    std::free(grown);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    const std::uintptr_t from = (start + kLarge - 1) & ~(kLarge - 1);
    // Without transparent huge pages this fails, and nothing else changes.
    if (end > from) madvise(reinterpret_cast<void*>(from), end - from, MADV_HUGEPAGE);
#else
    (void)bytes;
#endif
}

}  // namespace suelvan::platform
