// The choice of a period: a quick one ("Dieser Monat", "Letzte Nacht", …) or two dates.
#pragma once

#include <QWidget>

#include "core/period.h"
#include "platform/services.h"

class QComboBox;
class QDateEdit;

namespace suelvan {

class PeriodField : public QWidget {
    Q_OBJECT

   public:
    enum Choice { kLastNight, kLastSevenDays, kThisMonth, kLastMonth, kThisYear, kEverything, kCustom };

    PeriodField(platform::Services& services, QWidget* parent = nullptr);

    QComboBox* List() const { return list_; }
    // The date fields, made on first need: a window shows its numbers before them.
    void MakeDateFields();
    QDateEdit* From() const { return from_; }
    QDateEdit* To() const { return to_; }
    bool IsCustom() const;
    // "Zeitraum…" with these dates, without telling.
    void SetCustom(int from, int to);
    // The dates shown in the fields, without telling.
    void ShowDates(int from, int to);
    // What is chosen, at the services' current time under `night`.
    Period Selected(const NightRule& night) const;
    // A quick choice's period at the services' current time.
    static Period PeriodAt(platform::Services& services, Choice choice, const NightRule& night);

   signals:
    // Another item chosen, or another date while the dates are in effect.
    void changed();

   private:
    platform::Services& services_;
    QComboBox* list_;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
};

}  // namespace suelvan
