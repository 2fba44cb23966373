// The report window: the nights of a period at a glance, saved, printed, or sent as a
// complaint. It follows the diary as it grows.
#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/diary.h"
#include "platform/services.h"
#include "report/notes.h"
#include "report/report.h"
#include "ui/report_settings.h"

class QComboBox;
class QDateEdit;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace suelvan {

class BarChart;
class EntryModel;

// What reading the diary for a period gave: the report, or the message why not.
struct DiaryLoad {
    std::optional<report::ReadDiaryResult> read;
    QString error;
};
// The window holds the period's entries without their notes (it fetches those it shows)
// and needs no hash; the PDF and the CSV read again, whole.
DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const report::ReadOptions& options = {true, false, false});

class ReportWindow : public QWidget {
    Q_OBJECT

   public:
    // The file dialogs, replaceable in tests: return the chosen path, or empty.
    struct Dialogs {
        std::function<QString(QWidget*, const QString& title, const QString& suggested,
                              const QString& filter)>
            save;
        std::function<QString(QWidget*, const QString& title, const QString& folder)> open;
    };

    // `first`, when given, gives the diary read for "Dieser Monat" under the starting night
    // rule: the program reads it while Qt starts, and it is asked for only once the
    // controls are made.
    // `night`, when given, is the night rule to start with instead of the settings' one.
    ReportWindow(platform::Services& services, std::filesystem::path diary,
                 std::filesystem::path settingsFile, std::function<DiaryLoad()> first = {},
                 const QString& night = {}, QWidget* parent = nullptr);
    ~ReportWindow() override;

    void SetDialogs(Dialogs dialogs) { dialogs_ = std::move(dialogs); }
    // "Zeitraum…" with these dates.
    void ShowPeriod(int from, int to);
    const Report& CurrentReport() const { return *report_; }
    // The quick choice's period at the services' current time.
    static Period PeriodAt(platform::Services& services, int choice, const NightRule& night);
    static constexpr int kThisMonthChoice = 2;  // selected at start

   protected:
    bool event(QEvent* event) override;

   private:
    void CreateControls();
    void MakeLaterControls();  // the fields not needed for the first paint
    void ConnectControls();
    void Reload();   // the diary again: it changed, or another was chosen
    void Refresh();  // the period or the night rule changed
    void Show(DiaryLoad load, const Period& period);
    void ShowReport(std::shared_ptr<Report> report);
    void WatchDiary();
    std::optional<NightRule> SelectedRule() const;
    Period SelectedPeriod() const;
    // The report that a complaint or the buttons are about: a clicked date, else the period.
    Report SelectedReport() const;
    std::optional<int> SelectedNight() const;
    report::Person Person() const;
    void Say(const QString& text);

    void ChooseFile();
    void EditSettings();
    // The diary read again for the period shown; a message and nothing when it cannot be.
    std::optional<report::ReadDiaryResult> ReadAgain(const report::ReadOptions& options);
    QString CreatedText() const;  // the creation time a report shows
    // Asks where, never over the diary, reads it again and has `write` write there.
    void SaveAs(const QString& title, const char* suggested, const QString& filter, const QString& saved,
                const report::ReadOptions& options,
                const std::function<void(const QString&, const report::ReadDiaryResult&)>& write);
    void SavePdf();
    void Print();
    void SaveCsv();
    void CopyComplaint();
    void WriteMail();
    void ShowOddLines();
    void DateActivated(int index);

    platform::Services& services_;
    std::filesystem::path diary_;
    std::filesystem::path settingsFile_;
    ReportSettings settings_;
    QString startNight_;
    bool settingsUnsavedTold_ = false;
    Dialogs dialogs_;

    std::shared_ptr<Report> report_;
    std::shared_ptr<const report::NoteFile> notes_;
    Period heldPeriod_;  // what report_ was read for
    QString error_;

    QComboBox* cboZeitraum = nullptr;
    QWidget* dateFields_ = nullptr;
    QWidget* nightField_ = nullptr;
    QWidget* tableArea_ = nullptr;
    QDateEdit* datVon = nullptr;
    QDateEdit* datBis = nullptr;
    QComboBox* cboNacht = nullptr;
    QLineEdit* txtNacht = nullptr;
    QPushButton* cmdDatei = nullptr;
    QPushButton* cmdAngaben = nullptr;
    QLabel* lblMeldung = nullptr;
    QLabel* lblEintraege = nullptr;
    QLabel* lblNachts = nullptr;
    QLabel* lblLandungen = nullptr;
    QLabel* lblGestoerteNaechte = nullptr;
    QLabel* lblStufe[4] = {};
    QLabel* lblZeilen = nullptr;
    QPushButton* cmdZeilen = nullptr;
    BarChart* chrStunden = nullptr;
    BarChart* chrTage = nullptr;
    QLabel* lblAuswahl = nullptr;
    QPushButton* cmdAlleTage = nullptr;
    QTableView* tblEintraege = nullptr;
    EntryModel* model_ = nullptr;
    QPushButton* cmdPdf = nullptr;
    QPushButton* cmdDrucken = nullptr;
    QPushButton* cmdCsv = nullptr;
    QPushButton* cmdKopieren = nullptr;
    QPushButton* cmdEmail = nullptr;
    QLabel* lblStatus = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* reloadTimer_ = nullptr;
    std::vector<int> chartDays_;  // the day of each bar of chrTage
};

}  // namespace suelvan
