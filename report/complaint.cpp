#include "report/complaint.h"

#include <QStringList>

#include "core/calendar.h"
#include "core/entry.h"
#include "platform/qt_text.h"

namespace suelvan::report {
namespace {

using platform::Utf8;

QString GermanDate(int day) { return Utf8(suelvan::GermanDate(day)); }
QString NightClock(int minute) { return Utf8(ShortClockText(minute)); }

QString Counted(int n, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

QString PeriodText(const Report& report, std::optional<int> night) {
    if (night) return QStringLiteral("in der Nacht %1").arg(Utf8(NightName(*night)));
    if (!report.from) return QStringLiteral("ohne Einträge");
    if (*report.from == *report.to) return QStringLiteral("am %1").arg(GermanDate(*report.from));
    return QStringLiteral("vom %1 bis %2").arg(GermanDate(*report.from), GermanDate(*report.to));
}

}  // namespace

Complaint ComplaintOf(const Report& report, const Person& person, std::optional<int> night) {
    const QString window =
        QStringLiteral("%1–%2 Uhr").arg(NightClock(report.night.start), NightClock(report.night.end));
    Complaint c;
    c.subject = QStringLiteral("Beschwerde über Fluglärm %1").arg(PeriodText(report, night));
    QStringList lines{QStringLiteral("Sehr geehrte Damen und Herren,"), QString()};
    lines << QStringLiteral(
                 "hiermit beschwere ich mich über den Fluglärm %1. Ich habe %2 notiert, davon %3 "
                 "in der Nacht (%4) und %5:")
                 .arg(PeriodText(report, night), Counted(report.total.entries, QStringLiteral("Lärmereignis"),
                                                         QStringLiteral("Lärmereignisse")))
                 .arg(report.total.nightEntries)
                 .arg(window,
                      Counted(report.total.landings, QStringLiteral("Landung"), QStringLiteral("Landungen")))
          << QString();
    for (const DiaryEntry& e : report.entries) {
        QString line = QStringLiteral("%1, %2 Uhr – %3")
                           .arg(GermanDate(e.day), NightClock(e.minute),
                                Utf8(kLoudnessSteps[static_cast<std::size_t>(e.level)].caption));
        if (e.landing) line += QStringLiteral(" – Landung");
        lines << line;
    }
    lines << QString() << QStringLiteral("Mit freundlichen Grüßen") << QString();
    if (!person.name.isEmpty()) lines << person.name;
    if (!person.address.isEmpty()) lines << person.address.split(QLatin1Char('\n'));
    c.body = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return c;
}

QString ComplaintText(const Complaint& complaint, const QString& recipient) {
    return QStringLiteral("An: %1\nBetreff: %2\n\n")
               .arg(recipient.isEmpty() ? QStringLiteral("die zuständige Stelle") : recipient,
                    complaint.subject) +
           complaint.body;
}

QByteArray MailtoUrl(const QString& recipient, const QString& subject, const QString& body) {
    // RFC 6068: line breaks in a body are CR LF; '@' stays readable in the address.
    QString crlf = body;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QByteArray url = "mailto:" + recipient.toUtf8().toPercentEncoding("@");
    url += "?subject=" + subject.toUtf8().toPercentEncoding();
    if (!body.isEmpty()) url += "&body=" + crlf.toUtf8().toPercentEncoding();
    return url;
}

}  // namespace suelvan::report
