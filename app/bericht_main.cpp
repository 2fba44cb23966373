// suelvan-bericht: the diary made into evidence, on the command line or in its window.
#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "core/diary.h"
#include "core/logfile.h"
#include "core/texts.h"
#include "platform/services.h"
#include "report/notes.h"
#include "report/output.h"
#include "report/report.h"
#include "ui/report_settings.h"
#include "ui/report_window.h"

namespace {

using namespace suelvan;

constexpr int kBadArgument = 2;
constexpr int kFailed = 1;

void Say(const QString& text) { std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr); }

// "YYYY-MM-DD" naming a real date.
std::optional<int> IsoDay(const QString& text) {
    const QByteArray s = text.toLatin1();
    if (s.size() != 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
    }
    const int year = s.left(4).toInt(), month = s.mid(5, 2).toInt(), day = s.mid(8, 2).toInt();
    if (year < 1 || !IsCalendarDate(year, month, day)) return std::nullopt;
    return DayNumber(year, month, day);
}

struct Output {
    const char* option;
    QString file;
};

}  // namespace

int main(int argc, char* argv[]) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Macht aus dem Fluglärm-Tagebuch Belege für die Behörde: Nächte gezählt, als CSV, JSON "
        "und PDF.\nMit - als DATEI geht die Ausgabe auf die Standardausgabe."));
    parser.addHelpOption();
    const QCommandLineOption from(QStringLiteral("from"), QStringLiteral("Erster Tag des Zeitraums."),
                                  QStringLiteral("JJJJ-MM-TT"));
    const QCommandLineOption to(QStringLiteral("to"), QStringLiteral("Letzter Tag des Zeitraums."),
                                QStringLiteral("JJJJ-MM-TT"));
    const QCommandLineOption night(QStringLiteral("night"),
                                   QStringLiteral("Nachtzeit, Beginn bis Ende (Vorgabe: 22:00-06:00)."),
                                   QStringLiteral("H:MM-H:MM"), QStringLiteral("22:00-06:00"));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("Die Einträge als CSV."),
                                 QStringLiteral("DATEI"));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Die Zählung als JSON."),
                                  QStringLiteral("DATEI"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("Der Bericht als PDF."),
                                 QStringLiteral("DATEI"));
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("Ihr Name im Bericht."),
                                  QStringLiteral("TEXT"));
    const QCommandLineOption address(QStringLiteral("address"), QStringLiteral("Ihre Anschrift im Bericht."),
                                     QStringLiteral("TEXT"));
    parser.addOptions({from, to, night, csv, json, pdf, name, address});
    parser.addPositionalArgument(QStringLiteral("TAGEBUCH"),
                                 QStringLiteral("Das Tagebuch; ohne Angabe Sülvan.txt neben dem Programm."),
                                 QStringLiteral("[TAGEBUCH]"));

    // Read before Qt starts, so the diary is counted while the window is being made: the
    // arguments once without the application (only its error texts need it).
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const bool parsed = parser.parse(arguments);
    const bool window = parsed && !parser.isSet(QStringLiteral("help")) && !parser.isSet(csv) &&
                        !parser.isSet(json) && !parser.isSet(pdf);
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (parsed && !window) platform::UseLargePages(256u << 20);
    platform::SystemServices services;
    const std::filesystem::path programDir = services.ProgramDir();
    const ReportSettings settings = LoadSettings(SettingsPath(programDir));
    const QString nightText = parser.isSet(night) ? parser.value(night)
                              : window            ? settings.night
                                                  : parser.value(night);
    std::future<DiaryLoad> preload;
    const std::optional<NightRule> preloadRule = ParseNightRule(nightText.toStdString());
    if (window && display && preloadRule && !parser.isSet(from) && !parser.isSet(to) &&
        parser.positionalArguments().size() <= 1 &&
        (!programDir.empty() || !parser.positionalArguments().isEmpty())) {
        const std::filesystem::path diary = parser.positionalArguments().isEmpty()
                                                ? LogPath(programDir)
                                                : platform::ToPath(parser.positionalArguments().first());
        const Period month = ReportWindow::PeriodAt(services, ReportWindow::kThisMonthChoice, *preloadRule);
        preload = std::async(std::launch::async, [=] { return LoadDiary(diary, month, *preloadRule); });
    }

    std::unique_ptr<QCoreApplication> app;
    if (window && display) {
        app = std::make_unique<QApplication>(argc, argv);
    } else if (parsed && parser.isSet(pdf)) {
        // The PDF needs fonts, not a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    platform::IgnoreFileSizeSignal();
    QCoreApplication::setApplicationName(QStringLiteral("suelvan-bericht"));
    platform::LoadGermanQtTexts();

    const auto badArgument = [&](const QString& why) {
        Say(QStringLiteral("suelvan-bericht: ") + why + QLatin1Char('\n'));
        std::fputs(parser.helpText().toLocal8Bit().constData(), stderr);
        return kBadArgument;
    };
    if (!parser.parse(QCoreApplication::arguments())) return badArgument(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp(0);

    if (parser.positionalArguments().size() > 1)
        return badArgument(QStringLiteral("Nur ein Tagebuch kann angegeben werden."));
    Period period;
    for (const auto& [option, bound] : {std::pair{&from, &period.from}, std::pair{&to, &period.to}}) {
        if (!parser.isSet(*option)) continue;
        *bound = IsoDay(parser.value(*option));
        if (!*bound) {
            return badArgument(QStringLiteral("Kein gültiges Datum für --%1: „%2“ (erwartet JJJJ-MM-TT).")
                                   .arg(option->names().first(), parser.value(*option)));
        }
    }
    if (period.from && period.to && *period.from > *period.to) {
        return badArgument(QStringLiteral("Der Zeitraum endet vor seinem Beginn (--from liegt nach --to)."));
    }
    const std::optional<NightRule> rule = ParseNightRule(nightText.toStdString());
    if (!rule) {
        return badArgument(
            QStringLiteral("Keine gültige Nachtzeit: „%1“ (erwartet H:MM-H:MM, Beginn und Ende "
                           "verschieden).")
                .arg(nightText));
    }
    std::vector<Output> outputs;
    for (const auto& [option, label] :
         {std::pair{&csv, "csv"}, std::pair{&json, "json"}, std::pair{&pdf, "pdf"}}) {
        if (!parser.isSet(*option)) continue;
        if (parser.values(*option).size() > 1) {
            return badArgument(QStringLiteral("--%1 ist mehrfach angegeben.").arg(QLatin1String(label)));
        }
        if (parser.value(*option).isEmpty()) {
            return badArgument(QStringLiteral("Leerer Dateiname für --%1.").arg(QLatin1String(label)));
        }
        outputs.push_back({label, parser.value(*option)});
    }
    if (std::count_if(outputs.begin(), outputs.end(),
                      [](const Output& o) { return o.file == QLatin1String("-"); }) > 1) {
        return badArgument(QStringLiteral("Nur eine Ausgabe kann auf die Standardausgabe (-) gehen."));
    }

    std::filesystem::path diary;
    if (!parser.positionalArguments().isEmpty()) {
        diary = platform::ToPath(parser.positionalArguments().first());
    } else {
        const std::filesystem::path& dir = programDir;
        if (dir.empty()) {
            Say(QStringLiteral(
                "suelvan-bericht: Der Ordner des Programms lässt sich nicht bestimmen; bitte das "
                "Tagebuch angeben."));
            return kFailed;
        }
        diary = LogPath(dir);
    }
    if (outputs.empty()) {
        if (!display) {
            Say(
                QStringLiteral("suelvan-bericht: Ohne Bildschirm kein Fenster. Für Ausgaben ohne Fenster "
                               "--csv, --json oder --pdf angeben (--help zeigt alle Angaben)."));
            return kFailed;
        }
        ReportWindow reportWindow(services, diary, SettingsPath(programDir),
                                  preload.valid()
                                      ? std::function<DiaryLoad()>([&preload] { return preload.get(); })
                                      : std::function<DiaryLoad()>(),
                                  nightText);
        if (period.from || period.to) {
            const int first = period.from.value_or(period.to.value_or(0));
            reportWindow.ShowPeriod(first, period.to.value_or(first));
        }
        reportWindow.resize(reportWindow.sizeHint().expandedTo(QSize(900, 640)));
        reportWindow.show();
        return QApplication::exec();
    }
    for (const Output& output : outputs) {
        if (report::IsDiary(output.file, diary)) {
            Say(QStringLiteral(
                    "suelvan-bericht: Die Ausgabe für --%1 wäre das Tagebuch selbst und wird nicht "
                    "geschrieben: %2")
                    .arg(QLatin1String(output.option), QString::fromStdString(ShownPath(diary))));
            return kFailed;
        }
    }

    try {
        const bool keepEntries = parser.isSet(csv) || parser.isSet(pdf);
        // Without a PDF, notes are not held: the CSV takes each from the file as it writes
        // its row, half a million strings fewer.
        const bool keepNotes = parser.isSet(pdf);
        const report::ReadDiaryResult read =
            report::ReadDiary(diary, period, *rule, {keepEntries, keepNotes, true});
        const report::Person person{parser.value(name), parser.value(address)};
        const QString created = QDateTime::currentDateTime().toString(QStringLiteral("d.M.yyyy H:mm"));
        // CSV and JSON are made and written on threads of their own beside the PDF, which
        // stays on this one with the fonts; a failure is told for the first output named.
        std::vector<std::future<void>> written;
        for (const Output& output : outputs) {
            const QString kind = QLatin1String(output.option);
            if (kind == QLatin1String("csv")) {
                written.push_back(std::async(std::launch::async, [&read, &output, keepNotes] {
                    std::unique_ptr<report::NoteFile> notes;
                    if (!keepNotes) {
                        notes = report::NoteFile::Open(read.info);
                        if (!notes)
                            throw report::ReportError("Das Tagebuch wurde während des Lesens ersetzt: " +
                                                      ShownPath(read.info.path));
                    }
                    CsvWriter csv(
                        read.report.entries, read.report.night,
                        notes ? CsvWriter::NoteOf([&](const DiaryEntry& e) { return notes->Stream(e); })
                              : CsvWriter::NoteOf());
                    report::WriteOutput(output.file, [&](std::string& block) {
                        // Room made once, not doubled up to twice the block.
                        constexpr std::size_t kBlock = 4 << 20;
                        block.reserve(kBlock + (64 << 10));
                        const bool more = csv.Next(block, kBlock);
                        // Before the file is committed: its notes are those of the bytes counted.
                        if (!more && notes && !notes->StillAsRead(read.info)) {
                            throw report::ReportError(
                                "Das Tagebuch wurde während des Lesens geändert; bitte noch "
                                "einmal aufrufen: " +
                                ShownPath(read.info.path));
                        }
                        return more;
                    });
                }));
            } else if (kind == QLatin1String("json")) {
                written.push_back(std::async(std::launch::async, [&read, &output] {
                    report::WriteOutput(output.file, report::JsonBytes(read.report, read.info));
                }));
            } else {
                std::promise<void> done;
                written.push_back(done.get_future());
                try {
                    report::WriteOutput(output.file,
                                        report::PdfBytes(read.report, read.info, person, created));
                    done.set_value();
                } catch (...) {
                    done.set_exception(std::current_exception());
                }
            }
        }
        for (std::future<void>& output : written) output.wait();
        for (std::future<void>& output : written) output.get();
    } catch (const std::exception& failure) {
        Say(QStringLiteral("suelvan-bericht: ") + QString::fromUtf8(failure.what()));
        return kFailed;
    }
    return 0;
}
