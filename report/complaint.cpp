#include "report/complaint.h"

#include <QStringList>
#include <algorithm>

#include "core/calendar.h"
#include "platform/qt_text.h"
#include "report/loudness_words.h"

namespace suelvan::report {
namespace {

using platform::Utf8;

QString GermanDate(int day) { return Utf8(suelvan::GermanDate(day)); }
QString Clock(int minute) { return Utf8(ShortClockText(minute)); }

QString Counted(int n, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}
QString Events(int n) { return Counted(n, QStringLiteral("Ereignis"), QStringLiteral("Ereignisse")); }

QString PeriodText(const Report& report, std::optional<int> night, int today) {
    if (night) return QStringLiteral("in der Nacht %1").arg(Utf8(NightName(*night)));
    if (!report.from) return QStringLiteral("ohne Einträge");
    const int from = *report.from;
    const int to = ShownEnd(from, *report.to, today);
    if (from == to) return QStringLiteral("am %1").arg(GermanDate(from));
    return QStringLiteral("vom %1 bis %2").arg(GermanDate(from), GermanDate(to));
}

// An entry's group: its night, or its date when it is outside the night.
struct Group {
    bool night;
    int day;
    friend bool operator==(const Group&, const Group&) = default;
};

Group GroupOf(const DiaryEntry& e, const NightRule& rule) {
    if (rule.Contains(e.minute)) return {true, rule.NightOf(e.day, e.minute)};
    return {false, e.day};
}

QString GroupTitle(const Group& group) {
    return group.night ? QStringLiteral("Nacht %1").arg(Utf8(NightName(group.day)))
                       : QStringLiteral("Tagsüber am %1").arg(GermanDate(group.day));
}

QString EventLine(const DiaryEntry& e, const NoteOfEntry& note) {
    QString line =
        QStringLiteral("- %1, %2 Uhr: %3")
            .arg(GermanDate(e.day), Clock(e.minute), Utf8(kLetterWords[static_cast<std::size_t>(e.level)]));
    if (e.landing) line += QStringLiteral(", Landung");
    const QString text = Utf8(note(e)).simplified();
    if (!text.isEmpty()) line += QStringLiteral(" – „%1“").arg(text);
    return line;
}

// Every event, under its night's (or day's) heading when there are several groups.
void ListEvents(QStringList& lines, const Report& report, const NoteOfEntry& note) {
    const std::vector<DiaryEntry>& entries = report.entries;
    const bool grouped = std::any_of(entries.begin(), entries.end(), [&](const DiaryEntry& e) {
        return !(GroupOf(e, report.night) == GroupOf(entries.front(), report.night));
    });
    std::size_t i = 0;
    while (i < entries.size()) {
        const Group group = GroupOf(entries[i], report.night);
        std::size_t end = i;
        while (end < entries.size() && GroupOf(entries[end], report.night) == group) ++end;
        if (grouped)
            lines << QStringLiteral("%1 (%2):").arg(GroupTitle(group), Events(static_cast<int>(end - i)));
        for (; i < end; ++i) lines << EventLine(entries[i], note);
        lines << QString();
    }
}

// Too many events to read in a letter: each night with its count and its first and last
// time, the rest of the day in one line.
void ListNights(QStringList& lines, const Report& report) {
    lines << QStringLiteral("Die einzelnen Ereignisse stehen im beigefügten Bericht (PDF). Je Nacht:");
    for (const auto& [night, counts] : report.nights) {
        lines << QStringLiteral("- Nacht %1: %2, von %3 bis %4 Uhr")
                     .arg(Utf8(NightName(night)), Events(counts.entries), Clock(counts.first),
                          Clock(counts.last));
    }
    const int byDay = report.total.entries - report.total.nightEntries;
    if (byDay > 0) lines << QStringLiteral("- außerhalb der Nachtzeit: %1").arg(Events(byDay));
    lines << QString();
}

}  // namespace

Complaint ComplaintOf(const Report& report, const Letter& letter, const NoteOfEntry& note, int today,
                      std::optional<int> night) {
    const QString period = PeriodText(report, night, today);
    Complaint c;
    c.subject = QStringLiteral("Beschwerde über Fluglärm %1").arg(period);
    QStringList lines{QStringLiteral("Sehr geehrte Damen und Herren,"), QString()};
    lines << QStringLiteral(
                 "hiermit beschwere ich mich über den Fluglärm %1. Ich habe %2 notiert, davon %3 in der "
                 "Nachtzeit (%4 bis %5 Uhr) und %6.")
                 .arg(period, Counted(report.total.entries, QStringLiteral("Lärmereignis"),
                                      QStringLiteral("Lärmereignisse")))
                 .arg(report.total.nightEntries)
                 .arg(Clock(report.night.start), Clock(report.night.end),
                      Counted(report.total.landings, QStringLiteral("Landung"), QStringLiteral("Landungen")))
          << QString();
    if (report.total.entries > kMostListedEvents ||
        report.entries.size() != static_cast<std::size_t>(report.total.entries)) {
        ListNights(lines, report);
    } else if (!report.entries.empty()) {
        ListEvents(lines, report, note);
    }
    lines << QStringLiteral(
                 "Ich bitte Sie, diese Beschwerde zu prüfen und mir mitzuteilen, was gegen den Lärm "
                 "unternommen wird.")
          << QString() << QStringLiteral("Mit freundlichen Grüßen") << QString();
    if (!letter.person.name.isEmpty()) lines << letter.person.name;
    if (!letter.person.address.isEmpty()) lines << letter.person.address.split(QLatin1Char('\n'));
    c.body = lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    return c;
}

QString ComplaintText(const Complaint& complaint, const QString& authority) {
    return QStringLiteral("An: %1\nBetreff: %2\n\n")
               .arg(authority.isEmpty() ? QStringLiteral("die zuständige Stelle") : authority,
                    complaint.subject) +
           complaint.body;
}

QByteArray MailtoUrl(const QString& recipient, const QString& subject, const QString& body) {
    // RFC 6068: line breaks in a body are CR LF; '@' and the commas between addresses stay
    // readable.
    QString crlf = body;
    crlf.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QByteArray url = "mailto:" + recipient.toUtf8().toPercentEncoding("@,");
    url += "?subject=" + subject.toUtf8().toPercentEncoding();
    if (!body.isEmpty()) url += "&body=" + crlf.toUtf8().toPercentEncoding();
    return url;
}

}  // namespace suelvan::report
