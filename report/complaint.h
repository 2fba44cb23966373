// The complaint made from a report: a letter to the authority, for the clipboard or the
// body of an e-mail.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "core/statistics.h"
#include "report/person.h"

namespace suelvan::report {

struct Complaint {
    QString subject;
    QString body;  // lines ended by \n
};

// Who writes to whom.
struct Letter {
    Person person;
    QString authority;  // the office the letter is addressed to
};

// An entry's note, UTF-8.
using NoteOfEntry = std::function<std::string(const DiaryEntry&)>;

// Beyond this many events a letter lists the nights with their counts; the attached PDF
// carries every event.
inline constexpr int kMostListedEvents = 300;

// The report's events as a letter: the period (never past `today`), the counts, each event
// with date, time, loudness, landing and note, grouped by night when there are several;
// signed with the person's name and address. `night` names the night when the report is
// one.
Complaint ComplaintOf(const Report& report, const Letter& letter, const NoteOfEntry& note, int today,
                      std::optional<int> night = std::nullopt);
// For the clipboard: the authority and subject lines, then the body.
QString ComplaintText(const Complaint& complaint, const QString& authority);
// "mailto:" with subject and body percent-encoded as UTF-8, line breaks as CR LF.
QByteArray MailtoUrl(const QString& recipient, const QString& subject, const QString& body);
// Longer links are cut or refused by mail programs and browsers.
inline constexpr qsizetype kMailtoLimit = 32 * 1024;

}  // namespace suelvan::report
