// The numbers of a report at a glance: entries, at night, landings, per level, disturbed
// nights, and the lines not counted, which "Zeilen zeigen…" lists.
#pragma once

#include <QWidget>
#include <memory>

#include "core/statistics.h"

class QLabel;
class QPushButton;

namespace suelvan {

// What the entry list holds, in words: the period, or the part chosen with its entries.
QString ChoiceText(const Report& held, const Selection& selection, int entries, int today);

class ReportSummary : public QWidget {
    Q_OBJECT

   public:
    explicit ReportSummary(QWidget* parent = nullptr);
    void Show(std::shared_ptr<const Report> report);

   private:
    void ShowOddLines();

    std::shared_ptr<const Report> report_;
    QLabel* lblEintraege;
    QLabel* lblNachts;
    QLabel* lblLandungen;
    QLabel* lblGestoerteNaechte;
    QLabel* lblStufe[4];
    QLabel* lblZeilen;
    QPushButton* cmdZeilen;
};

}  // namespace suelvan
