#include "ui/period_field.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>

#include "core/calendar.h"

namespace suelvan {
namespace {

constexpr QuickPeriod kQuick[] = {QuickPeriod::LastNight, QuickPeriod::LastSevenDays,
                                  QuickPeriod::ThisMonth, QuickPeriod::LastMonth,
                                  QuickPeriod::ThisYear,  QuickPeriod::Everything};

QDate ToQDate(int day) {
    const CalendarDate d = DateOfDayNumber(day);
    return {d.year, d.month, d.day};
}

int FromQDate(const QDate& date) { return DayNumber(date.year(), date.month(), date.day()); }

}  // namespace

PeriodField::PeriodField(platform::Services& services, QWidget* parent)
    : QWidget(parent), services_(services) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QComboBox(this);
    list_->setObjectName(QStringLiteral("cboZeitraum"));
    list_->setAccessibleName(QStringLiteral("Zeitraum"));
    list_->addItems({QStringLiteral("Letzte Nacht"), QStringLiteral("Letzte 7 Tage"),
                     QStringLiteral("Dieser Monat"), QStringLiteral("Letzter Monat"),
                     QStringLiteral("Dieses Jahr"), QStringLiteral("Alles"), QStringLiteral("Zeitraum…")});
    list_->setCurrentIndex(kThisMonth);
    layout->addWidget(list_);
    connect(list_, &QComboBox::currentIndexChanged, this, [this] {
        MakeDateFields();
        from_->setEnabled(IsCustom());
        to_->setEnabled(IsCustom());
        emit changed();
    });
}

void PeriodField::MakeDateFields() {
    if (from_) return;
    from_ = new QDateEdit(this);
    from_->setObjectName(QStringLiteral("datVon"));
    from_->setAccessibleName(QStringLiteral("Von"));
    to_ = new QDateEdit(this);
    to_->setObjectName(QStringLiteral("datBis"));
    to_->setAccessibleName(QStringLiteral("Bis"));
    const Period month = PeriodAt(services_, kThisMonth, NightRule{});
    for (QDateEdit* date : {from_, to_}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("d.M.yyyy"));
        date->setEnabled(IsCustom());
        date->setDate(ToQDate(date == from_ ? *month.from : *month.to));
        connect(date, &QDateEdit::dateChanged, this, [this] {
            if (IsCustom()) emit changed();
        });
    }
    auto* bis = new QLabel(QStringLiteral("bis"), this);
    for (QWidget* w :
         {static_cast<QWidget*>(from_), static_cast<QWidget*>(bis), static_cast<QWidget*>(to_)}) {
        layout()->addWidget(w);
        w->show();  // added to a window that may be on the screen already
    }
    setTabOrder(list_, from_);
    setTabOrder(from_, to_);
}

bool PeriodField::IsCustom() const { return list_->currentIndex() == kCustom; }

void PeriodField::SetCustom(int from, int to) {
    MakeDateFields();
    {
        const QSignalBlocker a(from_), b(to_), c(list_);
        ShowDates(from, to);
        list_->setCurrentIndex(kCustom);
    }
    from_->setEnabled(true);
    to_->setEnabled(true);
}

void PeriodField::ShowDates(int from, int to) {
    const QSignalBlocker a(from_), b(to_);
    from_->setDate(ToQDate(from));
    to_->setDate(ToQDate(to));
}

Period PeriodField::Selected(const NightRule& night) const {
    if (IsCustom() && from_) {
        const int from = FromQDate(from_->date()), to = FromQDate(to_->date());
        return {std::min(from, to), std::max(from, to), std::nullopt};
    }
    return PeriodAt(services_, static_cast<Choice>(list_->currentIndex()), night);
}

Period PeriodField::PeriodAt(platform::Services& services, Choice choice, const NightRule& night) {
    const LocalDateTime now = services.Now();
    return PeriodOf(kQuick[choice], DayNumber(now.year, now.month, now.day), now.hour * 60 + now.minute,
                    night);
}

}  // namespace suelvan
