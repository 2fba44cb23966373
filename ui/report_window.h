// The report window: the nights of a period at a glance, saved, printed, or sent as a
// complaint. It follows the diary as it grows. It composes the small widgets that each
// do one job: the period and night fields, the summary, the charts, the tables of nights
// and entries, the saver, the watcher, and the loader, which reads and counts off its thread.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/statistics.h"
#include "platform/services.h"
#include "report/notes.h"
#include "report/read_diary.h"
#include "ui/complaint_sender.h"
#include "ui/diary_loader.h"
#include "ui/period_field.h"
#include "ui/report_saver.h"
#include "ui/report_settings.h"

class QLabel;
class QPushButton;
class QTableView;

namespace suelvan {

class DiaryWatcher;
class EntryModel;
class NightField;
class NightModel;
class ReportCharts;
class ReportSummary;

class ReportWindow : public QWidget {
    Q_OBJECT

   public:
    // The file dialogs, replaceable in tests: return the chosen path, or empty.
    struct Dialogs {
        ReportSaver::SaveDialog save;
        std::function<QString(QWidget*, const QString& title, const QString& folder)> open;
        ReportSaver::PrintDialog print;
    };

    // `first`, when given, gives the diary read for "Dieser Monat" under the starting night
    // rule: the program reads it while Qt starts, and it is asked for only once the
    // controls are made.
    // `night`, when given, is the night rule to start with instead of the settings' one.
    ReportWindow(platform::Services& services, std::filesystem::path diary,
                 std::filesystem::path settingsFile, std::function<DiaryLoad()> first = {},
                 const QString& night = {}, QWidget* parent = nullptr);
    ~ReportWindow() override;

    void SetDialogs(Dialogs dialogs);
    // "Zeitraum…" with these dates.
    void ShowPeriod(int from, int to);
    const Report& CurrentReport() const { return *loader_->Held(); }
    // Whether a reading or counting is under way; its result replaces what is shown.
    bool Loading() const { return loader_->Busy(); }
    // The part of the report chosen: a date, a night, an hour, or all of it.
    void Choose(const Selection& selection);
    const Selection& Chosen() const { return selection_; }
    // The quick choice's period at the services' current time.
    static Period PeriodAt(platform::Services& services, int choice, const NightRule& night);
    static constexpr int kThisMonthChoice = PeriodField::kThisMonth;  // selected at start

   protected:
    bool event(QEvent* event) override;

   private:
    void CreateControls();
    QLayout* CreateTopRow();
    QLayout* CreateButtonRow();
    void MakeLaterControls();  // the fields not needed for the first paint
    void MakeTables();
    void ConnectControls();
    void PeriodChanged();
    void NightChanged();
    void Reload();                 // the diary changed on disk
    void Refresh();                // the period or the night rule changed
    void Loaded(bool keepChoice);  // the loader holds another report: shown
    void ShowState();              // what is in effect: dates, title, a word on an empty period
    Period SelectedPeriod() const;
    report::Person Person() const;
    ReportSaver::Request SaveRequest() const;
    void Say(const QString& text);
    int Today() const;

    void ChooseFile();
    bool EditSettings();
    // Opens "Angaben…" while the name (and for mail the recipient) is missing; whether
    // they are there now.
    bool HasSender(bool forMail);
    ComplaintSender::Complaint SelectedComplaint() const;
    void EntryClicked(const QModelIndex& index);

    platform::Services& services_;
    std::filesystem::path diary_;
    std::filesystem::path settingsFile_;
    ReportSettings settings_;
    QString startNight_;
    std::vector<std::string> weekdays_;  // as headers carry them
    bool settingsUnsavedTold_ = false;
    std::function<QString(QWidget*, const QString&, const QString&)> openDialog_;

    DiaryLoader* loader_ = nullptr;
    Selection selection_;
    std::shared_ptr<const Report> selected_;  // the held report's part chosen

    PeriodField* period_ = nullptr;
    NightField* night_ = nullptr;
    QPushButton* cmdDatei = nullptr;
    QPushButton* cmdAngaben = nullptr;
    QLabel* lblMeldung = nullptr;
    QLabel* lblLeer = nullptr;
    ReportSummary* summary_ = nullptr;
    ReportCharts* charts_ = nullptr;
    QLabel* lblAuswahl = nullptr;
    QPushButton* cmdAlleTage = nullptr;
    QWidget* tableArea_ = nullptr;
    QTableView* tblNaechte = nullptr;
    NightModel* nights_ = nullptr;
    QTableView* tblEintraege = nullptr;
    EntryModel* model_ = nullptr;
    QPushButton* cmdPdf = nullptr;
    QPushButton* cmdDrucken = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdKopieren = nullptr;
    QPushButton* cmdEmail = nullptr;
    QLabel* lblStatus = nullptr;
    DiaryWatcher* watcher_ = nullptr;
    ReportSaver* saver_ = nullptr;
    ComplaintSender* complaints_ = nullptr;
};

}  // namespace suelvan
