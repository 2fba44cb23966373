// Saving the report as a PDF or CSV, and printing it: each reads the diary again, so what
// is written names exactly the bytes counted, and nothing is ever written over the diary.
// Saving goes through the command line's writers, off the window's thread.
#pragma once

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

#include "core/period.h"
#include "core/statistics.h"
#include "platform/services.h"
#include "report/person.h"
#include "report/read_diary.h"

class QPrinter;
class QWidget;

namespace suelvan {

class ReportSaver : public QObject {
    Q_OBJECT

   public:
    // Asks where to save: the chosen path, or empty.
    using SaveDialog = std::function<QString(QWidget*, const QString& title, const QString& suggested,
                                             const QString& filter)>;
    // Asks where to print: false when cancelled.
    using PrintDialog = std::function<bool(QPrinter& printer, QWidget* parent)>;
    // What to save: the diary's period under a night rule, made by a person.
    struct Request {
        std::filesystem::path diary;
        Period period;
        NightRule night;
        report::Person person;
        std::vector<std::string> weekdays;  // as headers carry them
    };

    ReportSaver(platform::Services& services, QWidget* window);
    void SetSaveDialog(SaveDialog dialog) { save_ = std::move(dialog); }
    void SetPrintDialog(PrintDialog dialog) { print_ = std::move(dialog); }

    void SavePdf(const Request& request);
    void Print(const Request& request);
    void SaveCsv(const Request& request);
    // The PDF of a part of the period, for a complaint's attachment; safe off the window's
    // thread. Throws Failure.
    static QByteArray PdfOf(const Request& request, const Selection& selection, const LocalDateTime& created);
    bool Saving() const { return saving_ > 0; }

   signals:
    void said(const QString& text);

   private:
    // The diary read again; a message and nothing when it cannot be.
    std::optional<report::ReadDiaryResult> ReadAgain(const Request& request, report::ReadOptions options);
    LocalDateTime Created() const;
    void Save(const Request& request, const char* kind, const QString& title, const char* suggested,
              const QString& filter, const QString& saved);

    platform::Services& services_;
    QWidget* window_;
    SaveDialog save_;
    PrintDialog print_;
    int saving_ = 0;
};

}  // namespace suelvan
