// The complaint made from a report: text for the clipboard and a mailto: link.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "core/statistics.h"
#include "report/person.h"

namespace suelvan::report {

struct Complaint {
    QString subject;
    QString body;  // lines ended by \n
};

// The period's events, each with date, time, loudness and landing, signed with the
// person's name and address; `night` names the night when the period is one.
Complaint ComplaintOf(const Report& report, const Person& person, std::optional<int> night = std::nullopt);
// For the clipboard: the addressee and subject lines, then the body.
QString ComplaintText(const Complaint& complaint, const QString& recipient);
// "mailto:" with subject and body percent-encoded as UTF-8, line breaks as CR LF.
QByteArray MailtoUrl(const QString& recipient, const QString& subject, const QString& body);
// Longer links are cut or refused by some mail programs and browsers.
inline constexpr qsizetype kMailtoLimit = 2000;

}  // namespace suelvan::report
