// suelvan-bericht: the diary made into evidence, on the command line or in its window.
#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <future>
#include <memory>

#include "core/calendar.h"
#include "core/logfile.h"
#include "platform/process.h"
#include "platform/qt_text.h"
#include "platform/services.h"
#include "report/command_line.h"
#include "report/output.h"
#include "report/outputs.h"
#include "report/pdf.h"
#include "ui/report_settings.h"
#include "ui/report_window.h"

namespace {

using namespace suelvan;

constexpr int kFailed = 1;

void Say(const std::string& text) { std::fputs(("suelvan-bericht: " + text + "\n").c_str(), stderr); }

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

int RunWindow(platform::Services& services, const report::CommandLine& line,
              const std::filesystem::path& diary, const std::filesystem::path& programDir,
              const QString& night, std::future<DiaryLoad> first) {
    ReportWindow window(services, diary, SettingsPath(programDir),
                        first.valid() ? std::function<DiaryLoad()>([&first] { return first.get(); })
                                      : std::function<DiaryLoad()>(),
                        night);
    if (line.dates) {
        const int from = line.period.from.value_or(line.period.to.value_or(0));
        window.ShowPeriod(from, line.period.to.value_or(from));
    }
    window.resize(window.sizeHint().expandedTo(QSize(900, 640)));
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char* argv[]) {
    report::CommandLine line = report::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const std::optional<int> answered = report::AnswerAtOnce(line)) return *answered;
    const bool window = line.Window();
    const bool display = HasDisplay();
    if (!window) platform::UseLargePages(256u << 20);
    platform::SystemServices services;
    const std::filesystem::path programDir = services.ProgramDir();
    if (!line.diary && programDir.empty()) {
        Say("Der Ordner des Programms lässt sich nicht bestimmen; bitte das Tagebuch angeben.");
        return kFailed;
    }
    const std::filesystem::path diary = line.diary ? *line.diary : LogPath(programDir);
    if (const std::string problem = window ? platform::DisplayProblem() : ""; !problem.empty()) {
        Say((display ? problem + " Ohne Bildschirm kein Fenster." : "Ohne Bildschirm kein Fenster.") +
            " Für Ausgaben ohne Fenster --csv, --json oder --pdf angeben (--help zeigt alle Angaben).");
        return kFailed;
    }
    // The window's diary is read while Qt starts.
    const QString night =
        line.night ? QString::fromStdString(line.nightText) : LoadSettings(SettingsPath(programDir)).night;
    std::future<DiaryLoad> first;
    if (window && !line.dates) {
        const NightRule rule = *ParseNightRule(night.toStdString());
        const Period month = ReportWindow::PeriodAt(services, ReportWindow::kThisMonthChoice, rule);
        const std::vector<std::string> weekdays = HeaderWeekdays(services.Weekdays());
        first = std::async(std::launch::async, [=] { return LoadDiary(diary, month, rule, weekdays); });
    }

    // CSV and JSON need no Qt at all; the PDF needs fonts, not a display.
    std::unique_ptr<QCoreApplication> app;
    if (window) {
        app = std::make_unique<QApplication>(argc, argv);
    } else if (line.Wants("pdf")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    platform::IgnoreFileSizeSignal();
    if (app) {
        QCoreApplication::setApplicationName(QStringLiteral("suelvan-bericht"));
        platform::LoadGermanQtTexts();
    }
    return window ? RunWindow(services, line, diary, programDir, night, std::move(first))
                  : report::RunOutputs(
                        line, diary, HeaderWeekdays(services.Weekdays()), Say,
                        [&](const report::ReadDiaryResult& read) {
                            const QByteArray pdf = report::PdfBytes(
                                read.report, read.info,
                                {QString::fromStdString(line.name), QString::fromStdString(line.address)},
                                services.Now());
                            return pdf.toStdString();
                        });
}
