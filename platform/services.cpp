#include "platform/services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QMessageBox>
#include <csignal>

#include "platform/shell.h"

namespace suelvan::platform {

LocalDateTime SystemServices::Now() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
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

std::filesystem::path SystemServices::ProgramDir() { return ToPath(QCoreApplication::applicationDirPath()); }

void SystemServices::ShellOpen(const QString& command, std::function<void(const QString&)> failed) {
    const std::optional<OpenTarget> target = ParseShellCommand(command);
    if (!target) {
        failed(QStringLiteral("„%1“ ist weder eine Datei noch eine Webadresse und wird nicht geöffnet.")
                   .arg(command));
        return;
    }
    OpenWithDesktop(*target, QCoreApplication::instance(), std::move(failed));
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
    return QFile::decodeName(path.native().c_str());
#endif
}

std::filesystem::path ToPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

void IgnoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

}  // namespace suelvan::platform
