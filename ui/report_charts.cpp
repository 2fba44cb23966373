#include "ui/report_charts.h"

#include <QHBoxLayout>
#include <algorithm>

#include "core/calendar.h"
#include "platform/qt_text.h"
#include "ui/accessible.h"
#include "ui/bar_chart.h"

namespace suelvan {
namespace {

// Beyond ten years a bar per calendar day would be thinner than a pixel: then only the
// days with entries get one.
constexpr int kMostCalendarBars = 3660;

}  // namespace

ReportCharts::ReportCharts(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    chrStunden =
        Named(new BarChart(QStringLiteral("Einträge je Stunde (anklicken: Einträge der Stunde)"), this),
              QStringLiteral("chrStunden"), QStringLiteral("Einträge je Stunde"));
    chrTage = Named(new BarChart(QStringLiteral("Einträge je Datum (anklicken: Einträge des Tages)"), this),
                    QStringLiteral("chrTage"), QStringLiteral("Einträge je Datum"));
    layout->addWidget(chrStunden, 1);
    layout->addWidget(chrTage, 2);
    connect(chrStunden, &BarChart::barActivated, this, [this](int hour) {
        emit chosen({Selection::Kind::Hour, hour});
    });
    connect(chrTage, &BarChart::barActivated, this, [this](int bar) {
        if (bar >= 0 && bar < static_cast<int>(days_.size()))
            emit chosen({Selection::Kind::Date, days_[static_cast<std::size_t>(bar)]});
    });
}

void ReportCharts::Show(const Report& r) {
    chrStunden->SetBars(std::vector<int>(r.hours.begin(), r.hours.end()),
                        [](int hour) { return QStringLiteral("%1 Uhr").arg(hour); });
    days_.clear();
    std::vector<int> perDate;
    for (const DateCount& bar : PerDate(r, kMostCalendarBars)) {
        days_.push_back(bar.day);
        perDate.push_back(bar.entries);
    }
    chrTage->SetBars(std::move(perDate), [this](int bar) {
        return platform::Utf8(GermanDate(days_[static_cast<std::size_t>(bar)]));
    });
}

void ReportCharts::Select(const Selection& selection) {
    const auto chosen = [&](Selection::Kind kind) { return selection.kind == kind ? selection.value : -1; };
    const auto bar = std::find(days_.begin(), days_.end(), chosen(Selection::Kind::Date));
    chrTage->SetSelected(bar == days_.end() ? -1 : static_cast<int>(bar - days_.begin()));
    chrStunden->SetSelected(chosen(Selection::Kind::Hour));
}

}  // namespace suelvan
