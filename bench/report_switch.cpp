// Switching period and night rule in the report window over a large diary, offscreen:
// the median time from the change to the numbers shown, per kind of change.
// Usage: report_switch DIARY
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
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
    // Each change timed from the state before it, which is set untimed.
    const auto time = [&](const char* what, QComboBox* box, int before, std::vector<int> choices) {
        std::vector<double> ms;
        for (int round = 0; round < 5; ++round) {
            for (const int choice : choices) {
                if (before >= 0) box->setCurrentIndex(before);
                QElapsedTimer timer;
                timer.start();
                box->setCurrentIndex(choice);
                ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            }
        }
        std::printf("%s: median %.1f ms, worst %.1f ms over %zu changes\n", what, median(ms),
                    *std::max_element(ms.begin(), ms.end()), ms.size());
    };
    if (argc > 2) {  // only this change, for a profiler
        for (int round = 0; round < 20; ++round) {
            periods->setCurrentIndex(2);
            periods->setCurrentIndex(5);
        }
        return 0;
    }
    time("period (Letzte Nacht, 7 Tage, Monat, Vormonat, Jahr)", periods, -1, {0, 1, 2, 3, 4});
    periods->setCurrentIndex(2);
    time("night rule, this month", nights, -1, {1, 2, 3, 4, 0});
    time("this month to Alles", periods, 2, {5});
    time("Alles to this month", periods, 5, {2});
    periods->setCurrentIndex(5);
    time("night rule, Alles", nights, -1, {1, 2, 3, 4, 0});
    return 0;
}
