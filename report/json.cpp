#include "report/json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/calendar.h"
#include "core/logfile.h"
#include "platform/qt_text.h"

namespace suelvan::report {
namespace {

using platform::Utf8;

QJsonArray Array(const auto& counts) {
    QJsonArray array;
    for (const int n : counts) array.append(n);
    return array;
}

}  // namespace

QByteArray JsonBytes(const Report& report, const DiaryInfo& diary) {
    const auto date = [](const std::optional<int>& day) {
        return day ? QJsonValue(Utf8(IsoDate(*day))) : QJsonValue(QJsonValue::Null);
    };
    // Made once: a key spelled out per object costs a QString each, thousands of days over.
    const QString dateKey = QStringLiteral("date"), entriesKey = QStringLiteral("entries"),
                  nightEntriesKey = QStringLiteral("night_entries"), landingsKey = QStringLiteral("landings"),
                  levelsKey = QStringLiteral("levels"), nightKey = QStringLiteral("night"),
                  firstKey = QStringLiteral("first"), lastKey = QStringLiteral("last");
    QJsonArray days;
    for (const auto& [day, counts] : report.days) {
        days.append(QJsonObject{{dateKey, Utf8(IsoDate(day))},
                                {entriesKey, counts.entries},
                                {nightEntriesKey, counts.nightEntries},
                                {landingsKey, counts.landings},
                                {levelsKey, Array(counts.levels)}});
    }
    QJsonArray nights;
    for (const auto& [night, counts] : report.nights) {
        nights.append(QJsonObject{{nightKey, Utf8(IsoDate(night))},
                                  {entriesKey, counts.entries},
                                  {firstKey, Utf8(ClockText(counts.first))},
                                  {lastKey, Utf8(ClockText(counts.last))}});
    }
    QJsonArray undated;
    for (const std::uint64_t line : report.undatedLines) undated.append(static_cast<qint64>(line));
    QJsonArray unrecognised;
    for (const UnrecognisedLine& line : report.unrecognisedLines) {
        unrecognised.append(QJsonObject{{"line", static_cast<qint64>(line.line)}, {"text", Utf8(line.text)}});
    }
    const QJsonObject root{
        {"diary", QJsonObject{{"path", Utf8(ShownPath(diary.path))},
                              {"bytes", static_cast<qint64>(diary.bytes)},
                              {"sha256", Utf8(diary.sha256)}}},
        {"period", QJsonObject{{"from", date(report.from)}, {"to", date(report.to)}}},
        {"night", QJsonObject{{"from", Utf8(ClockText(report.night.start))},
                              {"to", Utf8(ClockText(report.night.end))}}},
        {"entries", report.total.entries},
        {"night_entries", report.total.nightEntries},
        {"landings", report.total.landings},
        {"levels", Array(report.total.levels)},
        {"hours", Array(report.hours)},
        {"days", days},
        {"nights", nights},
        {"undated", QJsonObject{{"count", static_cast<qint64>(report.undatedCount)}, {"lines", undated}}},
        {"unrecognised",
         QJsonObject{{"count", static_cast<qint64>(report.unrecognisedCount)}, {"lines", unrecognised}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

}  // namespace suelvan::report
