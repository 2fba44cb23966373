#include "ui/report_saver.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

#include "core/calendar.h"
#include "platform/qt_text.h"
#include "report/csv_output.h"
#include "report/output.h"
#include "report/pdf.h"

namespace suelvan {

ReportSaver::ReportSaver(platform::Services& services, QWidget* window)
    : QObject(window), services_(services), window_(window) {
    save_ = [](QWidget* parent, const QString& title, const QString& suggested, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, suggested, filter);
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

QString ReportSaver::Created() const { return platform::Utf8(CreatedText(services_.Now())); }

void ReportSaver::SaveAs(
    const Request& request, const QString& title, const char* suggested, const QString& filter,
    const QString& saved, const report::ReadOptions& options,
    const std::function<void(const std::filesystem::path&, const report::ReadDiaryResult&)>& write) {
    const QString name =
        save_(window_, title, platform::ToQString(request.diary.parent_path() / suggested), filter);
    if (name.isEmpty()) return;
    const std::filesystem::path path = platform::ToPath(name);
    if (report::IsDiary(path, request.diary)) {
        services_.ShowMessage(window_, QStringLiteral("Das Tagebuch selbst wird nicht überschrieben."));
        return;
    }
    const std::optional<report::ReadDiaryResult> read = ReadAgain(request, options);
    if (!read) return;
    try {
        write(path, *read);
        emit said(saved.arg(platform::Readable(name)));
    } catch (const std::exception& failure) {
        services_.ShowMessage(window_, QString::fromUtf8(failure.what()));
    }
}

void ReportSaver::SavePdf(const Request& request) {
    // Hashed: the footer must name exactly the bytes that were counted.
    SaveAs(request, QStringLiteral("PDF speichern"), "Bericht.pdf", QStringLiteral("PDF-Dateien (*.pdf)"),
           QStringLiteral("PDF gespeichert: %1"), {true, true, true},
           [&](const std::filesystem::path& path, const report::ReadDiaryResult& read) {
               const QByteArray pdf = report::PdfBytes(read.report, read.info, request.person, Created());
               report::WriteOutput(path, read.info.identity,
                                   std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
           });
}

void ReportSaver::Print(const Request& request) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Fluglärm-Tagebuch"));
    QPrintDialog dialog(&printer, window_);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::optional<report::ReadDiaryResult> read = ReadAgain(request, {true, true, true});
    if (!read) return;
    try {
        report::PaintReport(printer, read->report, read->info, request.person, Created());
        emit said(QStringLiteral("An den Drucker geschickt."));
    } catch (const std::exception& failure) {
        services_.ShowMessage(window_, QString::fromUtf8(failure.what()));
    }
}

void ReportSaver::SaveCsv(const Request& request) {
    SaveAs(request, QStringLiteral("CSV speichern"), "Bericht.csv", QStringLiteral("CSV-Dateien (*.csv)"),
           QStringLiteral("CSV gespeichert: %1"), {true, true, false},
           [](const std::filesystem::path& path, const report::ReadDiaryResult& read) {
               report::WriteCsv(path, read);
           });
}

}  // namespace suelvan
