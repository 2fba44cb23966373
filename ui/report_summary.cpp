#include "ui/report_summary.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/calendar.h"
#include "core/entry.h"
#include "platform/qt_text.h"
#include "ui/accessible.h"

namespace suelvan {
namespace {

void SetCount(QLabel* label, const QString& caption, std::uint64_t n) {
    SetText(label, QStringLiteral("%1: %2").arg(caption).arg(n));
}

QString OddLinesText(const Report& report) {
    QStringList lines;
    lines << QStringLiteral("Nicht erkannte Zeilen: %1").arg(report.unrecognisedCount);
    for (const UnrecognisedLine& line : report.unrecognisedLines)
        lines << QStringLiteral("Zeile %1: %2").arg(line.line).arg(platform::Utf8(line.text));
    if (report.unrecognisedCount > report.unrecognisedLines.size()) lines << QStringLiteral("…");
    lines << QString() << QStringLiteral("Einträge vor dem ersten Datum: %1").arg(report.undatedCount);
    QStringList numbers;
    for (const std::uint64_t line : report.undatedLines) numbers << QString::number(line);
    if (!numbers.isEmpty()) lines << QStringLiteral("Zeilen %1").arg(numbers.join(QStringLiteral(", ")));
    if (report.undatedCount > report.undatedLines.size()) lines << QStringLiteral("…");
    return lines.join(QLatin1Char('\n'));
}

QString Date(int day) { return platform::Utf8(GermanDate(day)); }

}  // namespace

QString ChoiceText(const Report& held, const Selection& selection, int entries, int today) {
    switch (selection.kind) {
        case Selection::Kind::All:
            return held.from ? QStringLiteral("Alle Einträge vom %1 bis %2")
                                   .arg(Date(*held.from), Date(ShownEnd(*held.from, *held.to, today)))
                             : QStringLiteral("Keine Einträge im Zeitraum");
        case Selection::Kind::Date:
            return QStringLiteral("Einträge vom %1: %2").arg(Date(selection.value)).arg(entries);
        case Selection::Kind::Night:
            return QStringLiteral("Nacht %1: %2")
                .arg(platform::Utf8(NightName(selection.value)))
                .arg(entries);
        case Selection::Kind::Hour:
            return QStringLiteral("Einträge zwischen %1 und %2 Uhr: %3")
                .arg(selection.value)
                .arg(selection.value + 1)
                .arg(entries);
    }
    return {};
}

ReportSummary::ReportSummary(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto count = [this](const QString& name) {
        auto* label = Named(new QLabel(this), name, QString());
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    lblEintraege = count(QStringLiteral("lblEintraege"));
    lblNachts = count(QStringLiteral("lblNachts"));
    lblLandungen = count(QStringLiteral("lblLandungen"));
    lblGestoerteNaechte = count(QStringLiteral("lblGestoerteNaechte"));
    grid->addWidget(lblEintraege, 0, 0);
    grid->addWidget(lblNachts, 0, 1);
    grid->addWidget(lblLandungen, 0, 2);
    grid->addWidget(lblGestoerteNaechte, 0, 3);
    for (int level = 0; level < 4; ++level) {
        lblStufe[level] = count(QStringLiteral("lblStufe%1").arg(level));
        lblStufe[level]->setToolTip(platform::Utf8(kLoudnessSteps[static_cast<std::size_t>(level)].caption));
        grid->addWidget(lblStufe[level], 1, level);
    }
    lblZeilen = count(QStringLiteral("lblZeilen"));
    cmdZeilen = Named(new QPushButton(QStringLiteral("Zeilen zeigen…"), this), QStringLiteral("cmdZeilen"),
                      QStringLiteral("Nicht erkannte Zeilen zeigen"));
    grid->addWidget(lblZeilen, 2, 0, 1, 3);
    grid->addWidget(cmdZeilen, 2, 3, Qt::AlignLeft);
    connect(cmdZeilen, &QPushButton::clicked, this, &ReportSummary::ShowOddLines);
}

void ReportSummary::Show(std::shared_ptr<const Report> report) {
    report_ = std::move(report);
    const Report& r = *report_;
    SetCount(lblEintraege, QStringLiteral("Einträge"), static_cast<std::uint64_t>(r.total.entries));
    SetCount(lblNachts, QStringLiteral("Nachts"), static_cast<std::uint64_t>(r.total.nightEntries));
    SetCount(lblLandungen, QStringLiteral("Landungen"), static_cast<std::uint64_t>(r.total.landings));
    SetCount(lblGestoerteNaechte, QStringLiteral("Gestörte Nächte"), r.nights.size());
    for (int level = 0; level < 4; ++level) {
        SetCount(lblStufe[level], QStringLiteral("Stufe %1").arg(level),
                 static_cast<std::uint64_t>(r.total.levels[static_cast<std::size_t>(level)]));
    }
    SetText(lblZeilen, QStringLiteral("Nicht erkannte Zeilen: %1 · Einträge ohne Datum: %2")
                           .arg(r.unrecognisedCount)
                           .arg(r.undatedCount));
    cmdZeilen->setEnabled(r.unrecognisedCount + r.undatedCount > 0);
}

void ReportSummary::ShowOddLines() {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("dlgZeilen"));
    dialog->setWindowTitle(QStringLiteral("Nicht gezählte Zeilen"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* text = Named(new QPlainTextEdit(OddLinesText(*report_), dialog), QStringLiteral("txtZeilen"),
                       QStringLiteral("Nicht gezählte Zeilen"));
    text->setReadOnly(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(dialog);
    Named(buttons->addButton(QStringLiteral("Schließen"), QDialogButtonBox::RejectRole),
          QStringLiteral("cmdSchliessen"), QStringLiteral("Schließen"));
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::close);
    layout->addWidget(buttons);
    dialog->resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 20);
    dialog->show();
}

}  // namespace suelvan
