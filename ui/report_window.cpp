#include "ui/report_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/calendar.h"
#include "core/entry.h"
#include "core/logfile.h"
#include "platform/qt_text.h"
#include "ui/accessible.h"
#include "ui/app_icon.h"
#include "ui/bar_chart.h"
#include "ui/diary_watcher.h"
#include "ui/entry_model.h"
#include "ui/night_field.h"
#include "ui/report_summary.h"

namespace suelvan {
namespace {

using platform::Utf8;

// Beyond ten years a bar per calendar day would be thinner than a pixel: then only the
// days with entries get one.
constexpr int kMostCalendarBars = 3660;

}  // namespace

DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const std::vector<std::string>& weekdays) {
    try {
        return {report::ReadDiary(diary, period, night, {true, false, false, weekdays}), {}};
    } catch (const std::exception& failure) {
        return {std::nullopt, QString::fromUtf8(failure.what())};
    }
}

Period ReportWindow::PeriodAt(platform::Services& services, int choice, const NightRule& night) {
    return PeriodField::PeriodAt(services, static_cast<PeriodField::Choice>(choice), night);
}

ReportWindow::ReportWindow(platform::Services& services, std::filesystem::path diary,
                           std::filesystem::path settingsFile, std::function<DiaryLoad()> first,
                           const QString& night, QWidget* parent)
    : QWidget(parent),
      services_(services),
      diary_(std::move(diary)),
      settingsFile_(std::move(settingsFile)),
      settings_(LoadSettings(settingsFile_)),
      startNight_(night),
      weekdays_(HeaderWeekdays(services.Weekdays())) {
    openDialog_ = [](QWidget* parent, const QString& title, const QString& folder) {
        return QFileDialog::getOpenFileName(parent, title, folder,
                                            QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"));
    };
    setWindowTitle(QStringLiteral("Sülvan Logger – Bericht"));
    setWindowIcon(AppIcon());
    CreateControls();
    ConnectControls();
    watcher_->Watch(diary_);
    const Period period = SelectedPeriod();
    Show(first ? first() : LoadDiary(diary_, period, night_->Parsed().value_or(NightRule{}), weekdays_),
         period);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::SetDialogs(Dialogs dialogs) {
    saver_->SetSaveDialog(std::move(dialogs.save));
    openDialog_ = std::move(dialogs.open);
}

void ReportWindow::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(CreateTopRow());

    lblMeldung = Named(new QLabel(this), QStringLiteral("lblMeldung"), QString());
    lblMeldung->setWordWrap(true);
    lblMeldung->setTextFormat(Qt::PlainText);
    // A palette, not a style sheet: that would put a second style in front of every paint.
    QPalette warning = lblMeldung->palette();
    warning.setColor(QPalette::WindowText, QColor(0xa0, 0, 0));
    lblMeldung->setPalette(warning);
    QFont bold = lblMeldung->font();
    bold.setBold(true);
    lblMeldung->setFont(bold);
    lblMeldung->hide();
    layout->addWidget(lblMeldung);

    summary_ = new ReportSummary(this);
    layout->addWidget(summary_);

    auto* charts = new QHBoxLayout;
    chrStunden = Named(new BarChart(QStringLiteral("Einträge je Stunde"), this), QStringLiteral("chrStunden"),
                       QStringLiteral("Einträge je Stunde"));
    chrTage = Named(new BarChart(QStringLiteral("Einträge je Datum (anklicken: Einträge des Tages)"), this),
                    QStringLiteral("chrTage"), QStringLiteral("Einträge je Datum"));
    charts->addWidget(chrStunden, 1);
    charts->addWidget(chrTage, 2);
    layout->addLayout(charts, 2);

    auto* selection = new QHBoxLayout;
    lblAuswahl = Named(new QLabel(this), QStringLiteral("lblAuswahl"), QString());
    cmdAlleTage = Named(new QPushButton(QStringLiteral("Alle Tage zeigen"), this),
                        QStringLiteral("cmdAlleTage"), QStringLiteral("Alle Tage zeigen"));
    selection->addWidget(lblAuswahl, 1);
    selection->addWidget(cmdAlleTage);
    layout->addLayout(selection);

    // The entry list comes right after the first paint (MakeLaterControls): the first item
    // view costs Qt as much as the summary and the charts together.
    model_ = new EntryModel(this);
    tableArea_ = new QWidget(this);
    (new QVBoxLayout(tableArea_))->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableArea_, 3);

    layout->addLayout(CreateButtonRow());
    watcher_ = new DiaryWatcher(this);
    saver_ = new ReportSaver(services_, this);
    complaints_ = new ComplaintSender(services_, this);
}

QLayout* ReportWindow::CreateTopRow() {
    auto* top = new QHBoxLayout;
    // The date fields and the field for a night rule of one's own come after the first
    // paint too: they are not needed to show the numbers.
    period_ = new PeriodField(services_, this);
    night_ = new NightField({QStringLiteral("cboNacht"), QStringLiteral("Nachtzeit"),
                             QStringLiteral("Eigene…"), QStringLiteral("txtNacht")},
                            this);
    night_->SetRule(startNight_.isEmpty() ? settings_.night : startNight_);
    cmdDatei = Named(new QPushButton(QStringLiteral("Datei wählen…"), this), QStringLiteral("cmdDatei"),
                     QStringLiteral("Datei wählen…"));
    cmdAngaben = Named(new QPushButton(QStringLiteral("Angaben…"), this), QStringLiteral("cmdAngaben"),
                       QStringLiteral("Angaben…"));
    auto* zeitraum = new QLabel(QStringLiteral("&Zeitraum"), this);
    zeitraum->setBuddy(period_->List());
    auto* nacht = new QLabel(QStringLiteral("&Nacht"), this);
    nacht->setBuddy(night_->List());
    top->addWidget(zeitraum);
    top->addWidget(period_);
    top->addSpacing(12);
    top->addWidget(nacht);
    top->addWidget(night_);
    top->addStretch(1);
    top->addWidget(cmdDatei);
    top->addWidget(cmdAngaben);
    return top;
}

QLayout* ReportWindow::CreateButtonRow() {
    auto* buttons = new QHBoxLayout;
    // With a key each (Alt and the underlined letter); the name is read without the mark.
    const auto button = [this](const QString& text, const QString& name) {
        return Named(new QPushButton(text, this), name, QString(text).remove(QLatin1Char('&')));
    };
    cmdPdf = button(QStringLiteral("&PDF speichern…"), QStringLiteral("cmdPdf"));
    cmdDrucken = button(QStringLiteral("&Drucken…"), QStringLiteral("cmdDrucken"));
    cmdCsv = button(QStringLiteral("&CSV speichern…"), QStringLiteral("cmdCsv"));
    cmdKopieren = button(QStringLiteral("&Beschwerdetext kopieren"), QStringLiteral("cmdKopieren"));
    cmdEmail = button(QStringLiteral("&E-Mail schreiben"), QStringLiteral("cmdEmail"));
    for (QPushButton* b : {cmdPdf, cmdDrucken, cmdCsv, cmdKopieren, cmdEmail}) buttons->addWidget(b);
    lblStatus = Named(new QLabel(this), QStringLiteral("lblStatus"), QString());
    lblStatus->setTextFormat(Qt::PlainText);
    buttons->addWidget(lblStatus, 1);
    return buttons;
}

void ReportWindow::ConnectControls() {
    connect(period_, &PeriodField::changed, this, &ReportWindow::PeriodChanged);
    connect(night_, &NightField::changed, this, &ReportWindow::NightChanged);
    connect(cmdDatei, &QPushButton::clicked, this, &ReportWindow::ChooseFile);
    connect(cmdAngaben, &QPushButton::clicked, this, &ReportWindow::EditSettings);
    connect(chrTage, &BarChart::barActivated, this, &ReportWindow::DateActivated);
    connect(cmdAlleTage, &QPushButton::clicked, this, [this] { DateActivated(-1); });
    connect(cmdPdf, &QPushButton::clicked, this, [this] { saver_->SavePdf(SaveRequest()); });
    connect(cmdDrucken, &QPushButton::clicked, this, [this] { saver_->Print(SaveRequest()); });
    connect(cmdCsv, &QPushButton::clicked, this, [this] { saver_->SaveCsv(SaveRequest()); });
    connect(cmdKopieren, &QPushButton::clicked, this, [this] { complaints_->Copy(SelectedComplaint()); });
    connect(cmdEmail, &QPushButton::clicked, this, [this] { complaints_->Mail(SelectedComplaint()); });
    connect(saver_, &ReportSaver::said, this, &ReportWindow::Say);
    connect(complaints_, &ComplaintSender::said, this, &ReportWindow::Say);
    connect(watcher_, &DiaryWatcher::changed, this, &ReportWindow::Reload);
}

void ReportWindow::PeriodChanged() {
    MakeLaterControls();
    if (period_->IsCustom() && report_->from) period_->ShowDates(*report_->from, *report_->to);
    Refresh();
}

void ReportWindow::NightChanged() {
    MakeLaterControls();
    QLineEdit* own = night_->OwnField();
    if (night_->IsOwn() && own->text().isEmpty()) {
        const NightRule rule = report_->night;
        own->setText(Utf8(ClockText(rule.start) + "-" + ClockText(rule.end)));
    }
    Refresh();
}

void ReportWindow::MakeLaterControls() {
    if (period_->From()) return;
    MakeEntryTable();
    QLineEdit* own = night_->OwnField();
    period_->MakeDateFields();
    setTabOrder(period_->To(), night_->List());
    setTabOrder(night_->List(), own);
    setTabOrder(own, cmdDatei);
    setTabOrder(cmdAlleTage, tblEintraege);
    setTabOrder(tblEintraege, cmdPdf);
}

void ReportWindow::MakeEntryTable() {
    tblEintraege = MakeEntryView(model_, tableArea_);
    tableArea_->layout()->addWidget(tblEintraege);
    tblEintraege->show();  // added to a window that may be on the screen already
}

bool ReportWindow::event(QEvent* event) {
    // After the first paint, when the window is already on the screen.
    if (event->type() == QEvent::Paint && !period_->From())
        QTimer::singleShot(0, this, &ReportWindow::MakeLaterControls);
    return QWidget::event(event);
}

void ReportWindow::ShowPeriod(int from, int to) {
    MakeLaterControls();
    period_->SetCustom(from, to);
    Refresh();
}

Period ReportWindow::SelectedPeriod() const {
    return period_->Selected(night_->Parsed().value_or(NightRule{}));
}

void ReportWindow::Reload() {
    watcher_->Watch(diary_);
    const Period period = SelectedPeriod();
    Show(LoadDiary(diary_, period, night_->Parsed().value_or(report_->night), weekdays_), period);
}

void ReportWindow::Refresh() {
    const std::optional<NightRule> rule = night_->Parsed();
    if (!rule) {
        Say(QStringLiteral("„%1“ ist keine Nachtzeit wie 22:00-06:00.").arg(night_->OwnField()->text()));
        return;
    }
    const Period period = SelectedPeriod();
    const bool sameEntries = error_.isEmpty() && !period.night && !heldPeriod_.night &&
                             period.from == heldPeriod_.from && period.to == heldPeriod_.to;
    if (sameEntries) {
        ShowReport(std::make_shared<Report>(Recount(std::move(*report_), period, *rule)));
        return;
    }
    Show(LoadDiary(diary_, period, *rule, weekdays_), period);
}

void ReportWindow::Show(DiaryLoad load, const Period& period) {
    heldPeriod_ = period;
    if (!load.read) {
        error_ = load.error;
        SetText(lblMeldung,
                error_ + QStringLiteral("\nMit „Datei wählen…“ lässt sich ein anderes Tagebuch öffnen."));
        lblMeldung->show();
        auto empty = std::make_shared<Report>();
        empty->night = night_->Parsed().value_or(NightRule{});
        ShowReport(std::move(empty));
        return;
    }
    error_.clear();
    lblMeldung->hide();
    notes_ = std::make_shared<report::NoteFile>(load.read->file);
    ShowReport(std::make_shared<Report>(std::move(load.read->report)));
}

void ReportWindow::ShowReport(std::shared_ptr<Report> report) {
    report_ = std::move(report);
    model_->SetReport(report_, notes_);
    summary_->Show(report_);
    ShowCharts(*report_);
    DateActivated(-1);
}

void ReportWindow::ShowCharts(const Report& r) {
    chrStunden->SetBars(std::vector<int>(r.hours.begin(), r.hours.end()),
                        [](int hour) { return QStringLiteral("%1 Uhr").arg(hour); });
    chartDays_.clear();
    std::vector<int> perDate;
    for (const DateCount& bar : PerDate(r, kMostCalendarBars)) {
        chartDays_.push_back(bar.day);
        perDate.push_back(bar.entries);
    }
    chrTage->SetBars(std::move(perDate),
                     [this](int bar) { return Utf8(GermanDate(chartDays_[static_cast<std::size_t>(bar)])); });
}

void ReportWindow::DateActivated(int index) {
    if (index < 0 || index >= static_cast<int>(chartDays_.size())) {
        chrTage->SetSelected(-1);
        model_->ShowDay(std::nullopt);
        SetText(lblAuswahl, report_->from
                                ? QStringLiteral("Alle Einträge vom %1 bis %2")
                                      .arg(Utf8(GermanDate(*report_->from)), Utf8(GermanDate(*report_->to)))
                                : QStringLiteral("Keine Einträge im Zeitraum"));
        cmdAlleTage->setEnabled(false);
        return;
    }
    const int day = chartDays_[static_cast<std::size_t>(index)];
    model_->ShowDay(day);
    SetText(lblAuswahl,
            QStringLiteral("Einträge vom %1: %2").arg(Utf8(GermanDate(day))).arg(model_->rowCount()));
    cmdAlleTage->setEnabled(true);
}

std::shared_ptr<const Report> ReportWindow::SelectedReport() const {
    const std::optional<int> day = model_->ShownDay();
    return day ? std::make_shared<const Report>(ReportOfDay(*report_, *day)) : report_;
}

std::optional<int> ReportWindow::SelectedNight() const {
    return model_->ShownDay() ? std::nullopt : heldPeriod_.night;
}

report::Person ReportWindow::Person() const { return {settings_.name, settings_.address}; }

ReportSaver::Request ReportWindow::SaveRequest() const {
    return {diary_, heldPeriod_, report_->night, Person(), weekdays_};
}

void ReportWindow::Say(const QString& text) { SetText(lblStatus, text); }

void ReportWindow::ChooseFile() {
    const QString chosen =
        openDialog_(this, QStringLiteral("Tagebuch wählen"), platform::ToQString(diary_.parent_path()));
    if (chosen.isEmpty()) return;
    diary_ = platform::ToPath(chosen);
    Reload();
}

void ReportWindow::EditSettings() {
    SettingsDialog dialog(settings_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString night = settings_.night;
    settings_ = dialog.Settings();
    if (!SaveSettings(settingsFile_, settings_) && !settingsUnsavedTold_) {
        settingsUnsavedTold_ = true;
        services_.ShowMessage(
            this, QStringLiteral("Die Angaben lassen sich nicht in „%1“ speichern. Sie gelten, bis "
                                 "das Programm geschlossen wird.")
                      .arg(platform::Readable(platform::ToQString(settingsFile_))));
    }
    if (settings_.night != night) {
        MakeLaterControls();
        night_->SetRule(settings_.night);
    }
}

ComplaintSender::Complaint ReportWindow::SelectedComplaint() const {
    return {SelectedReport(), SelectedNight(), Person(), settings_.recipient};
}

}  // namespace suelvan
