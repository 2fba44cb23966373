// The report's two bar charts side by side: entries per hour of the day and per date. A
// bar clicked, or chosen with the keyboard, chooses that hour's or date's entries.
#pragma once

#include <QWidget>
#include <vector>

#include "core/statistics.h"

namespace suelvan {

class BarChart;

class ReportCharts : public QWidget {
    Q_OBJECT

   public:
    explicit ReportCharts(QWidget* parent = nullptr);
    void Show(const Report& report);
    // Marks the bar of the part chosen, if it has one.
    void Select(const Selection& selection);

   signals:
    void chosen(const Selection& selection);

   private:
    BarChart* chrStunden;
    BarChart* chrTage;
    std::vector<int> days_;  // the day of each bar of chrTage
};

}  // namespace suelvan
