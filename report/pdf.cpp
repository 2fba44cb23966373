// The PDF for the authority: laid out twice, once to count the pages for "Seite x von y"
// and once to paint them.
#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <algorithm>
#include <mutex>
#include <string>

#include "core/calendar.h"
#include "core/entry.h"
#include "core/failure.h"
#include "core/logfile.h"
#include "platform/qt_text.h"
#include "report/pdf.h"
#include "report/pdf_pages.h"

namespace suelvan::report {
namespace {

using platform::Utf8;

// Beyond ten years a bar per calendar day would be thinner than a dot of the printer:
// then only the days with entries get one.
constexpr int kMostCalendarBars = 3660;

void BarChart(Pages& pages, const QString& title, const std::vector<int>& values, const QString& firstLabel,
              const QString& lastLabel, bool labelEach) {
    const double mm = pages.mm();
    const double chartHeight = 35 * mm;
    pages.Ensure(chartHeight + 20 * mm);
    pages.Line(title, Face(11, true), 2 * mm);
    const int most = std::max(1, *std::max_element(values.begin(), values.end()));
    const double top = pages.y();
    const double slot = pages.width() / static_cast<double>(std::max<std::size_t>(values.size(), 1));
    const QFont small = Face(7);
    pages.Label(QRectF(pages.left(), top, 20 * mm, 4 * mm), Qt::AlignLeft, QString::number(most), small);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double h = chartHeight * values[i] / most;
        const double x = pages.left() + slot * static_cast<double>(i);
        pages.Bar(x + slot * 0.15, top + 5 * mm + chartHeight - h, slot * 0.7, h);
        if (labelEach) {
            pages.Label(QRectF(x, top + 6 * mm + chartHeight, slot, 4 * mm), Qt::AlignHCenter,
                        QString::number(i), small);
        }
    }
    if (!labelEach) {
        pages.Label(QRectF(pages.left(), top + 6 * mm + chartHeight, 40 * mm, 4 * mm), Qt::AlignLeft,
                    firstLabel, small);
        pages.Label(
            QRectF(pages.left() + pages.width() - 40 * mm, top + 6 * mm + chartHeight, 40 * mm, 4 * mm),
            Qt::AlignRight, lastLabel, small);
    }
    pages.Skip(chartHeight + 12 * mm);
}

// Columns as fractions of the page's width: where each cell starts.
using Cells = std::vector<std::pair<double, QString>>;

// The report's parts, top to bottom, on pages that count themselves.
class Layout {
   public:
    Layout(Pages& pages, const Report& report) : pages_(pages), report_(report), mm_(pages.mm()) {}

    void Title(const Person& person) {
        pages_.Line(QStringLiteral("Fluglärm-Tagebuch"), Face(18, true), 3 * mm_);
        if (!person.name.isEmpty()) pages_.Line(person.name, body_);
        if (!person.address.isEmpty()) pages_.Line(person.address, body_);
        if (!person.name.isEmpty() || !person.address.isEmpty()) pages_.Skip(2 * mm_);
        pages_.Line(report_.from ? QStringLiteral("Zeitraum: %1 – %2")
                                       .arg(Utf8(GermanDate(*report_.from)), Utf8(GermanDate(*report_.to)))
                                 : QStringLiteral("Zeitraum: keine Einträge"),
                    body_);
        pages_.Line(
            QStringLiteral("Nacht: %1–%2 Uhr")
                .arg(Utf8(ShortClockText(report_.night.start)), Utf8(ShortClockText(report_.night.end))),
            body_, 4 * mm_);
    }

    void Summary() {
        pages_.Line(QStringLiteral("Zusammenfassung"), heading_, 1 * mm_);
        QStringList lines{QStringLiteral("Einträge: %1").arg(report_.total.entries),
                          QStringLiteral("Nachts: %1").arg(report_.total.nightEntries),
                          QStringLiteral("Landungen: %1").arg(report_.total.landings)};
        for (std::size_t level = 0; level < 4; ++level) {
            lines << QStringLiteral("Stufe %1 (%2): %3")
                         .arg(level)
                         .arg(Utf8(kLoudnessSteps[level].caption))
                         .arg(report_.total.levels[level]);
        }
        lines << QStringLiteral("Tage mit Einträgen: %1").arg(report_.days.size())
              << QStringLiteral("Nächte mit Einträgen: %1").arg(report_.nights.size());
        for (const QString& line : lines) pages_.Line(line, body_);
        pages_.Skip(4 * mm_);
    }

    void Charts() {
        BarChart(pages_, QStringLiteral("Einträge je Stunde"),
                 std::vector<int>(report_.hours.begin(), report_.hours.end()), {}, {}, true);
        // From the first entry to the last: a period of centuries is not a chart of a
        // million empty days.
        const std::vector<DateCount> bars = PerDate(report_, kMostCalendarBars, DateSpan::Entries);
        if (bars.empty()) return;
        std::vector<int> perDate;
        for (const DateCount& bar : bars) perDate.push_back(bar.entries);
        BarChart(pages_, QStringLiteral("Einträge je Datum"), perDate, Utf8(GermanDate(bars.front().day)),
                 Utf8(GermanDate(bars.back().day)), false);
    }

    void Nights() {
        pages_.Ensure(20 * mm_);
        pages_.Line(QStringLiteral("Nächte"), heading_, 1 * mm_);
        Row({{0, QStringLiteral("Nacht")},
             {0.45, QStringLiteral("Einträge")},
             {0.6, QStringLiteral("erster")},
             {0.75, QStringLiteral("letzter")}},
            bold_);
        for (const auto& [night, counts] : report_.nights) {
            Row({{0, QStringLiteral("Nacht vom ") + Utf8(NightName(night))},
                 {0.45, QString::number(counts.entries)},
                 {0.6, Utf8(ShortClockText(counts.first))},
                 {0.75, Utf8(ShortClockText(counts.last))}},
                body_);
        }
        if (report_.nights.empty()) pages_.Line(QStringLiteral("keine Einträge in der Nacht"), body_);
        pages_.Skip(4 * mm_);
    }

    void Entries() {
        pages_.Ensure(20 * mm_);
        pages_.Line(QStringLiteral("Alle Einträge"), heading_, 1 * mm_);
        Row({{0, QStringLiteral("Datum")},
             {0.14, QStringLiteral("Uhrzeit")},
             {0.24, QStringLiteral("Lautstärke")},
             {0.5, QStringLiteral("Landung")},
             {0.62, QStringLiteral("Notiz")}},
            bold_);
        for (const DiaryEntry& entry : report_.entries) Entry(entry);
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
    double DrawCells(const Cells& cells, const QFont& font, double lastTo) {
        const auto width = [&](std::size_t i) {
            const double to = i + 1 < cells.size() ? cells[i + 1].first : lastTo;
            return pages_.width() * (to - cells[i].first) - 2 * mm_;
        };
        double height = 0;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            height = std::max(height, pages_.Paragraph(cells[i].second, font, 0, width(i), false));
        }
        pages_.Ensure(height);
        for (std::size_t i = 0; i < cells.size(); ++i) {
            pages_.Paragraph(cells[i].second, font, Column(cells[i].first), width(i));
        }
        return height;
    }

    void Row(const Cells& cells, const QFont& font) { pages_.Skip(DrawCells(cells, font, 1.0)); }

    void Entry(const DiaryEntry& entry) {
        const double height =
            DrawCells({{0, Utf8(GermanDate(entry.day))},
                       {0.14, Utf8(ShortClockText(entry.minute))},
                       {0.24, Utf8(kLoudnessSteps[static_cast<std::size_t>(entry.level)].caption)},
                       {0.5, entry.landing ? QStringLiteral("ja") : QStringLiteral("nein")}},
                      body_, 0.62);
        const double top = pages_.y();
        const int page = pages_.page();
        // The note runs on over pages if it must: every note is printed complete.
        pages_.Flow(Utf8(entry.note), body_, Column(0.62), pages_.width() * 0.38);
        const double noteEnd = pages_.y() + pages_.lastFlowHeight();
        pages_.Skip((pages_.page() == page ? std::max(top + height, noteEnd) : noteEnd) - pages_.y());
    }

    Pages& pages_;
    const Report& report_;
    double mm_;
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
        const Person& person, const QString& created) {
    const std::string name =
        diary.path.filename().u8string().empty() ? std::string() : ShownPath(diary.path.filename());
    Pages pages(
        device, painter, total,
        {QStringLiteral("Tagebuch: %1, %2 Bytes").arg(Utf8(name)).arg(diary.bytes),
         QStringLiteral("SHA-256: %1").arg(Utf8(diary.sha256)), QStringLiteral("Erstellt: %1").arg(created)});
    Layout layout(pages, report);
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
                 const Person& person, const QString& created) {
    CarryFonts();
    RequirePrintableNotes(report);
    const int total = Lay(device, nullptr, 0, report, diary, person, created);
    QPainter painter(&device);
    Lay(device, &painter, total, report, diary, person, created);
}

QByteArray PdfBytes(const Report& report, const DiaryInfo& diary, const Person& person,
                    const QString& created) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("Fluglärm-Tagebuch"));
        writer.setCreator(QStringLiteral("suelvan-bericht"));
        PaintReport(writer, report, diary, person, created);
    }
    return bytes;
}

}  // namespace suelvan::report
