// The PDF for the authority: laid out twice, once to count the pages for "Seite x von y"
// and once to paint them.
#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextLayout>
#include <algorithm>
#include <mutex>
#include <string>

#include "core/calendar.h"
#include "core/entry.h"
#include "core/failure.h"
#include "core/logfile.h"
#include "platform/qt_text.h"
#include "report/loudness_words.h"
#include "report/pdf.h"
#include "report/pdf_pages.h"

namespace suelvan::report {
namespace {

using platform::Utf8;

// Beyond ten years a bar per calendar day would be thinner than a dot of the printer:
// then only the days with entries get one.
constexpr int kMostCalendarBars = 3660;
constexpr int kResolution = 300;

// A bar's label on the axis, under the bar it names.
struct Tick {
    std::size_t bar;
    QString text;
};

// Bars with their values above them where a value fits its bar's width, and the ticks
// that fit beside each other under them.
void BarChart(Pages& pages, const QString& title, const std::vector<int>& values,
              const std::vector<Tick>& ticks) {
    const double mm = pages.mm();
    const double chartHeight = 35 * mm;
    pages.Ensure(chartHeight + 20 * mm);
    pages.Line(title, Face(11, true), 2 * mm);
    const int most = std::max(1, *std::max_element(values.begin(), values.end()));
    const double top = pages.y() + 4 * mm;  // room for the values above the highest bar
    const double slot = pages.width() / static_cast<double>(std::max<std::size_t>(values.size(), 1));
    const QFont small = Face(7);
    const QFontMetricsF metrics(small, &pages.device());
    const double labelHeight = 4 * mm;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double h = chartHeight * values[i] / most;
        const double x = pages.left() + slot * static_cast<double>(i);
        pages.Bar(x + slot * 0.15, top + chartHeight - h, slot * 0.7, h);
        const QString value = QString::number(values[i]);
        if (values[i] > 0 && metrics.horizontalAdvance(value) <= slot * 0.95)
            pages.Label(QRectF(x, top + chartHeight - h - labelHeight, slot, labelHeight),
                        Qt::AlignHCenter | Qt::AlignBottom, value, small);
    }
    const double axis = top + chartHeight;
    pages.Stroke(pages.left(), axis, pages.left() + pages.width(), axis);
    double free = pages.left();  // where the next tick's text may begin
    for (const Tick& tick : ticks) {
        const double centre = pages.left() + slot * (static_cast<double>(tick.bar) + 0.5);
        const double width = metrics.horizontalAdvance(tick.text);
        const double x = std::clamp(centre - width / 2, pages.left(), pages.left() + pages.width() - width);
        if (x < free) continue;
        pages.Stroke(centre, axis, centre, axis + 1 * mm);
        pages.Label(QRectF(x, axis + 1 * mm, width + 1, labelHeight), Qt::AlignLeft, tick.text, small);
        free = x + width + 2 * mm;
    }
    pages.Skip(4 * mm + chartHeight + 10 * mm);
}

// Ticks of a date axis: every day of a short span, Mondays of a few months, the first of
// each month beyond, the first of each year for a span of decades.
std::vector<Tick> DateTicks(const std::vector<DateCount>& bars) {
    std::vector<Tick> ticks;
    if (bars.empty()) return ticks;
    const int span = bars.back().day - bars.front().day + 1;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const CalendarDate date = DateOfDayNumber(bars[i].day);
        const bool first = i == 0;
        const bool newMonth = !first && DateOfDayNumber(bars[i - 1].day).month != date.month;
        const bool newYear = !first && DateOfDayNumber(bars[i - 1].day).year != date.year;
        bool tick = false;
        if (span <= 14) {
            tick = true;
        } else if (span <= 92) {
            tick = WeekdayOfDayNumber(bars[i].day) == 2;  // Monday
        } else if (span <= 3 * 366) {
            tick = first || newMonth;
        } else {
            tick = first || newYear;
        }
        if (!tick) continue;
        ticks.push_back(
            {i, span <= 92 ? QStringLiteral("%1.%2.").arg(date.day).arg(date.month)
                : span <= 3 * 366
                    ? QStringLiteral("%1/%2").arg(date.month).arg(date.year % 100, 2, 10, QLatin1Char('0'))
                    : QString::number(date.year)});
    }
    return ticks;
}

// Columns as fractions of the page's width: where each cell starts.
using Cells = std::vector<std::pair<double, QString>>;

// The report's parts, top to bottom, on pages that count themselves.
class Layout {
   public:
    Layout(Pages& pages, const Report& report, int today)
        : pages_(pages), report_(report), today_(today), mm_(pages.mm()) {}

    void Title(const Person& person) {
        pages_.Line(QStringLiteral("Fluglärm-Tagebuch"), Face(18, true), 3 * mm_);
        if (!person.name.isEmpty()) pages_.Line(person.name, body_);
        // Each line of the address as typed.
        if (!person.address.isEmpty()) {
            for (const QString& line : person.address.split(QLatin1Char('\n'))) pages_.Line(line, body_);
        }
        if (!person.name.isEmpty() || !person.address.isEmpty()) pages_.Skip(2 * mm_);
        // Never past the day it was made: "this month" is this month so far.
        const int to = report_.from ? ShownEnd(*report_.from, *report_.to, today_) : 0;
        pages_.Line(report_.from ? QStringLiteral("Zeitraum: %1 – %2")
                                       .arg(Utf8(GermanDate(*report_.from)), Utf8(GermanDate(to)))
                                 : QStringLiteral("Zeitraum: keine Einträge"),
                    body_);
        pages_.Line(QStringLiteral("Nachtzeit: %1 Uhr").arg(NightWindow()), body_, 4 * mm_);
    }

    void Summary() {
        pages_.Line(QStringLiteral("Zusammenfassung"), heading_, 1 * mm_);
        QStringList lines{QStringLiteral("Einträge: %1").arg(report_.total.entries),
                          QStringLiteral("davon in der Nachtzeit %1 Uhr: %2")
                              .arg(NightWindow())
                              .arg(report_.total.nightEntries),
                          QStringLiteral("Landungen: %1").arg(report_.total.landings)};
        for (std::size_t level = 0; level < 4; ++level) {
            lines << QStringLiteral("Stufe %1, %2: %3")
                         .arg(level)
                         .arg(Utf8(kLetterWords[level]))
                         .arg(report_.total.levels[level]);
        }
        lines << QStringLiteral("Tage mit Einträgen: %1").arg(report_.days.size())
              << QStringLiteral("Nächte mit Einträgen: %1").arg(report_.nights.size());
        for (const QString& line : lines) pages_.Line(line, body_);
        pages_.Skip(4 * mm_);
    }

    void Charts() {
        std::vector<Tick> hours;
        for (std::size_t hour = 0; hour < 24; ++hour) hours.push_back({hour, QString::number(hour)});
        BarChart(pages_, QStringLiteral("Einträge je Stunde"),
                 std::vector<int>(report_.hours.begin(), report_.hours.end()), hours);
        // From the first entry to the last: a period of centuries is not a chart of a
        // million empty days.
        const std::vector<DateCount> bars = PerDate(report_, kMostCalendarBars, DateSpan::Entries);
        if (bars.empty()) return;
        std::vector<int> perDate;
        for (const DateCount& bar : bars) perDate.push_back(bar.entries);
        BarChart(pages_, QStringLiteral("Einträge je Datum"), perDate, DateTicks(bars));
    }

    void Nights() {
        pages_.Ensure(20 * mm_);
        pages_.Line(QStringLiteral("Nächte"), heading_, 1 * mm_);
        Header({{0, QStringLiteral("Nacht")},
                {0.45, QStringLiteral("Einträge")},
                {0.6, QStringLiteral("erster")},
                {0.75, QStringLiteral("letzter")}});
        for (const auto& [night, counts] : report_.nights) {
            Row({{0, QStringLiteral("Nacht vom ") + Utf8(NightName(night))},
                 {0.45, QString::number(counts.entries)},
                 {0.6, Utf8(ShortClockText(counts.first))},
                 {0.75, Utf8(ShortClockText(counts.last))}},
                body_);
        }
        pages_.SetPageHead({});
        if (report_.nights.empty()) pages_.Line(QStringLiteral("keine Einträge in der Nacht"), body_);
        pages_.Skip(4 * mm_);
    }

    void Entries() {
        pages_.Ensure(20 * mm_);
        pages_.Line(QStringLiteral("Alle Einträge"), heading_, 1 * mm_);
        QStringList legend;
        for (std::size_t level = 0; level < 4; ++level) {
            legend << (kShortLevels[level] == kLetterWords[level]
                           ? Utf8(kShortLevels[level])
                           : QStringLiteral("%1 = %2").arg(Utf8(kShortLevels[level]),
                                                           Utf8(kLetterWords[level])));
        }
        pages_.Line(QStringLiteral("Lautstärke: ") + legend.join(QStringLiteral("; ")), small_, 1 * mm_);
        Header({{0, QStringLiteral("Datum")},
                {kTime, QStringLiteral("Uhrzeit")},
                {kLevel, QStringLiteral("Lautstärke")},
                {kLanding, QStringLiteral("Landung")},
                {kNote, QStringLiteral("Notiz")}});
        for (const DiaryEntry& entry : report_.entries) Entry(entry);
        pages_.SetPageHead({});
        if (report_.entries.empty()) pages_.Line(QStringLiteral("keine Einträge im Zeitraum"), body_);
    }

    void Declaration() {
        pages_.Skip(8 * mm_);
        pages_.Ensure(40 * mm_);
        pages_.Line(QStringLiteral("Erklärung"), heading_, 1 * mm_);
        pages_.Line(
            QStringLiteral("Ich versichere, die aufgeführten Lärmereignisse selbst wahrgenommen und zeitnah "
                           "notiert zu haben."),
            body_, 12 * mm_);
        pages_.Line(QStringLiteral("Ort, Datum: ______________________________        Unterschrift: "
                                   "______________________________"),
                    body_);
    }

   private:
    double Column(double from) const { return pages_.left() + pages_.width() * from; }

    // Draws the cells side by side at the current height, each wrapped to its column;
    // returns the row's height without moving on, so a note can still follow beside it.
    double DrawCells(const Cells& cells, const QFont& font, double lastTo, bool draw = true) {
        const auto width = [&](std::size_t i) {
            const double to = i + 1 < cells.size() ? cells[i + 1].first : lastTo;
            return pages_.width() * (to - cells[i].first) - 2 * mm_;
        };
        double height = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            height = std::max(height, pages_.Paragraph(cells[i].second, font, 0, width(i), false));
        }
        if (!draw) return height;
        pages_.Ensure(height);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            pages_.Paragraph(cells[i].second, font, Column(cells[i].first), width(i));
        }
        return height;
    }

    void Row(const Cells& cells, const QFont& font) { pages_.Skip(DrawCells(cells, font, 1.0)); }

    // A table's header row, here and at the top of each page the table runs on to.
    void Header(const Cells& cells) {
        pages_.Ensure(3 * DrawCells(cells, bold_, 1.0, false));
        Row(cells, bold_);
        pages_.SetPageHead([this, cells] { Row(cells, bold_); });
    }

    QString NightWindow() const {
        return QStringLiteral("%1–%2").arg(Utf8(ShortClockText(report_.night.start)),
                                           Utf8(ShortClockText(report_.night.end)));
    }

    void Entry(const DiaryEntry& entry) {
        const double height =
            DrawCells({{0, Utf8(GermanDate(entry.day))},
                       {kTime, Utf8(ShortClockText(entry.minute))},
                       {kLevel, Utf8(kShortLevels[static_cast<std::size_t>(entry.level)])},
                       {kLanding, entry.landing ? QStringLiteral("ja") : QStringLiteral("nein")}},
                      body_, kNote);
        const double top = pages_.y();
        const int page = pages_.page();
        // The note runs on over pages if it must: every note is printed complete.
        pages_.Flow(Utf8(entry.note), body_, Column(kNote), pages_.width() * (1 - kNote));
        const double noteEnd = pages_.y() + pages_.lastFlowHeight();
        pages_.Skip((pages_.page() == page ? std::max(top + height, noteEnd) : noteEnd) - pages_.y());
    }

    // Where the entry table's columns begin.
    static constexpr double kTime = 0.15, kLevel = 0.25, kLanding = 0.38, kNote = 0.49;

    Pages& pages_;
    const Report& report_;
    int today_;
    double mm_;
    QFont small_ = Face(8);
    QFont body_ = Face(10);
    QFont bold_ = Face(10, true);
    QFont heading_ = Face(12, true);
};

// The faces the report prints with come with the program: a desktop without them would
// get a box for every glyph.
void CarryFonts() {
    static std::once_flag loaded;
    std::call_once(loaded, [] {
        for (const char* face :
             {":/report-fonts/LiberationSans-Regular.ttf", ":/report-fonts/LiberationSans-Bold.ttf"})
            QFontDatabase::addApplicationFont(QString::fromLatin1(face));
    });
}

// A note runs on over as many pages as it needs, up to some 500: a longer one is not
// printed in part, nor left out.
void RequirePrintableNotes(const Report& report) {
    constexpr std::size_t kMostNoteBytes = 1 << 20;
    for (const DiaryEntry& entry : report.entries) {
        if (entry.note.view().size() <= kMostNoteBytes) continue;
        throw Failure("Die Notiz in Zeile " + std::to_string(entry.line) + " ist mit " +
                      std::to_string(entry.note.view().size()) +
                      " Bytes zu lang für das PDF (höchstens 1 MiB); die CSV enthält sie ganz.");
    }
}

int Lay(QPagedPaintDevice& device, QPainter* painter, int total, const Report& report, const DiaryInfo& diary,
        const Person& person, const LocalDateTime& created) {
    const std::string name =
        diary.path.filename().u8string().empty() ? std::string() : ShownPath(diary.path.filename());
    Pages pages(device, painter, total,
                {QStringLiteral("Tagebuch: %1, %2 Bytes").arg(Utf8(name)).arg(diary.bytes),
                 QStringLiteral("SHA-256: %1").arg(Utf8(diary.sha256)),
                 QStringLiteral("Erstellt: %1").arg(Utf8(CreatedText(created)))});
    Layout layout(pages, report, DayNumber(created.year, created.month, created.day));
    layout.Title(person);
    layout.Summary();
    layout.Charts();
    layout.Nights();
    layout.Entries();
    layout.Declaration();
    return pages.Finish();
}

}  // namespace

void PaintReport(QPagedPaintDevice& device, const Report& report, const DiaryInfo& diary,
                 const Person& person, const LocalDateTime& created) {
    CarryFonts();
    RequirePrintableNotes(report);
    const int total = Lay(device, nullptr, 0, report, diary, person, created);
    QPainter painter(&device);
    Lay(device, &painter, total, report, diary, person, created);
}

void PreparePrinter(QPrinter& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setResolution(kResolution);
}

QByteArray PdfBytes(const Report& report, const DiaryInfo& diary, const Person& person,
                    const LocalDateTime& created) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(kResolution);
        writer.setTitle(QStringLiteral("Fluglärm-Tagebuch"));
        writer.setCreator(QStringLiteral("suelvan-bericht"));
        PaintReport(writer, report, diary, person, created);
    }
    return bytes;
}

}  // namespace suelvan::report
