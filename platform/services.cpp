#include "platform/services.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>
#include <cstdint>

#include "platform/qt_text.h"
#include "platform/shell.h"

namespace suelvan::platform {

namespace {

LocalDateTime Reading(const QDateTime& at) {
    const QDate date = at.date();
    const QTime time = at.time();
    return {date.year(),   date.month(),  date.day(),        time.hour(),
            time.minute(), time.second(), at.offsetFromUtc()};
}

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

bool SystemServices::ComposeMail(const Mail& mail, std::function<void(const QString&)> failed) {
    return ComposeWithDesktop(mail, QCoreApplication::instance(), std::move(failed));
}

void SystemServices::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kAppTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void LoadGermanQtTexts() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace suelvan::platform
