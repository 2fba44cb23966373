// Switching period and night rule in the report window over a large diary, offscreen:
// per kind of change, the median time the window is held up by it (counting runs off its
// thread) and the time until the numbers are shown.
// Usage: report_switch DIARY
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/services.h"
#include "ui/report_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    suelvan::platform::SystemServices services;
    suelvan::ReportWindow window(services, argv[1], "/nonexistent/suelvan-bericht.ini");
    auto* periods = window.findChild<QComboBox*>("cboZeitraum");
    auto* nights = window.findChild<QComboBox*>("cboNacht");
    const auto median = [](std::vector<double> ms) {
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    };
    const auto settle = [&] {
        while (window.Loading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    };
    // Each change timed from the state before it, which is set untimed.
    const auto time = [&](const char* what, QComboBox* box, int before, std::vector<int> choices) {
        std::vector<double> held, shown;
        for (int round = 0; round < 5; ++round) {
            for (const int choice : choices) {
                if (before >= 0) box->setCurrentIndex(before);
                settle();
                QElapsedTimer timer;
                timer.start();
                box->setCurrentIndex(choice);
                held.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                settle();
                shown.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            }
        }
        std::printf(
            "%s: window held up median %.1f ms (worst %.1f); numbers shown median %.1f ms (worst %.1f) over "
            "%zu changes\n",
            what, median(held), *std::max_element(held.begin(), held.end()), median(shown),
            *std::max_element(shown.begin(), shown.end()), shown.size());
    };
    if (argc > 2) {  // only this change, for a profiler
        for (int round = 0; round < 20; ++round) {
            periods->setCurrentIndex(2);
            settle();
            periods->setCurrentIndex(5);
            settle();
        }
        return 0;
    }
    time("period (Letzte Nacht, 7 Tage, Monat, Vormonat, Jahr)", periods, -1, {0, 1, 2, 3, 4});
    periods->setCurrentIndex(2);
    settle();
    time("night rule, this month", nights, -1, {1, 2, 3, 4, 0});
    time("this month to Alles", periods, 2, {5});
    time("Alles to this month", periods, 5, {2});
    periods->setCurrentIndex(5);
    settle();
    time("night rule, Alles", nights, -1, {1, 2, 3, 4, 0});

    // Following the diary under "Alles": a line appended, to its count shown. The watcher
    // waits 250 ms for the writes to settle; beside it, the whole diary read again.
    std::vector<double> follow, whole;
    for (int round = 0; round < 5; ++round) {
        const int before = window.CurrentReport().total.entries;
        std::ofstream(argv[1], std::ios::binary | std::ios::app) << "23:59 ! angeh\xE4ngt\r\n";
        QElapsedTimer timer;
        timer.start();
        while (window.CurrentReport().total.entries == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        follow.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        (void)suelvan::LoadDiary(argv[1], {}, suelvan::NightRule{}, {});
        whole.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "a line appended, to its count shown: median %.1f ms (of which 250 ms settling); "
        "the whole diary read again: median %.1f ms\n",
        median(follow), median(whole));
    return 0;
}
