#include "ui/report_saver.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QtConcurrent/QtConcurrentRun>

#include "core/calendar.h"
#include "platform/qt_text.h"
#include "report/output.h"
#include "report/outputs.h"
#include "report/pdf.h"

namespace suelvan {

ReportSaver::ReportSaver(platform::Services& services, QWidget* window)
    : QObject(window), services_(services), window_(window) {
    save_ = [](QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, suggested, filter);
    };
    print_ = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
}

std::optional<report::ReadDiaryResult> ReportSaver::ReadAgain(const Request& request,
                                                              report::ReadOptions options) {
    options.weekdays = request.weekdays;
    try {
        return report::ReadDiary(request.diary, request.period, request.night, options);
    } catch (const std::exception& failure) {
        services_.ShowMessage(window_, QString::fromUtf8(failure.what()));
        return std::nullopt;
    }
}

LocalDateTime ReportSaver::Created() const { return services_.Now(); }

void ReportSaver::Save(const Request& request, const char* kind, const QString& title, const char* suggested,
                       const QString& filter, const QString& saved) {
    const QString name =
        save_(window_, title, platform::ToQString(request.diary.parent_path() / suggested), filter);
    if (name.isEmpty()) return;
    const std::filesystem::path path = platform::ToPath(name);
    if (report::IsDiary(path, request.diary)) {
        services_.ShowMessage(window_, QStringLiteral("Das Tagebuch selbst wird nicht überschrieben."));
        return;
    }
    const std::vector<report::Output> outputs{{kind, path}};
    const LocalDateTime created = Created();
    // The same reading and writers as the command line's, in as little memory.
    auto* done = new QFutureWatcher<QString>(this);
    connect(done, &QFutureWatcher<QString>::finished, this, [=, this] {
        --saving_;
        const QString failure = done->result();
        done->deleteLater();
        if (failure.isEmpty()) {
            emit said(saved.arg(platform::Readable(name)));
        } else {
            emit said(QString());
            services_.ShowMessage(window_, failure);
        }
    });
    ++saving_;
    emit said(QStringLiteral("Wird gespeichert: %1 …").arg(platform::Readable(name)));
    done->setFuture(QtConcurrent::run([request, outputs, created] {
        try {
            report::ReadAndWrite(
                outputs, request.diary, request.period, request.night, request.weekdays,
                [&](const report::ReadDiaryResult& r) {
                    return report::PdfBytes(r.report, r.info, request.person, created).toStdString();
                });
            return QString();
        } catch (const std::exception& failure) {
            return QString::fromUtf8(failure.what());
        }
    }));
}

void ReportSaver::SavePdf(const Request& request) {
    Save(request, "pdf", QStringLiteral("PDF speichern"), "Bericht.pdf",
         QStringLiteral("PDF-Dateien (*.pdf)"), QStringLiteral("PDF gespeichert: %1"));
}

void ReportSaver::SaveCsv(const Request& request) {
    Save(request, "csv", QStringLiteral("CSV speichern"), "Bericht.csv",
         QStringLiteral("CSV-Dateien (*.csv)"), QStringLiteral("CSV gespeichert: %1"));
}

QByteArray ReportSaver::PdfOf(const Request& request, const Selection& selection,
                              const LocalDateTime& created) {
    report::ReadOptions options{true, true, true};
    options.weekdays = request.weekdays;
    report::ReadDiaryResult read = report::ReadDiary(request.diary, request.period, request.night, options);
    if (selection.kind != Selection::Kind::All) read.report = ReportOf(read.report, selection);
    return report::PdfBytes(read.report, read.info, request.person, created);
}

void ReportSaver::Print(const Request& request) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Fluglärm-Tagebuch"));
    report::PreparePrinter(printer);
    if (!print_(printer, window_)) return;
    report::PreparePrinter(printer);  // the dialog may have put margins back
    const std::optional<report::ReadDiaryResult> read = ReadAgain(request, {true, true, true});
    if (!read) return;
    try {
        report::PaintReport(printer, read->report, read->info, request.person, Created());
        emit said(
            printer.outputFormat() == QPrinter::PdfFormat
                ? QStringLiteral("Als PDF gedruckt: %1").arg(platform::Readable(printer.outputFileName()))
                : QStringLiteral("An den Drucker „%1“ geschickt.").arg(printer.printerName()));
    } catch (const std::exception& failure) {
        services_.ShowMessage(window_, QString::fromUtf8(failure.what()));
    }
}

}  // namespace suelvan
