#include "ui/report_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <new>

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
#include "ui/night_model.h"
#include "ui/report_summary.h"

namespace suelvan {
namespace {

using platform::Utf8;

// Beyond ten years a bar per calendar day would be thinner than a pixel: then only the
// days with entries get one.
constexpr int kMostCalendarBars = 3660;

QString Date(int day) { return Utf8(GermanDate(day)); }

}  // namespace

DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const std::vector<std::string>& weekdays) {
    try {
        return {report::ReadDiary(diary, period, night, {true, false, false, weekdays, false, true}), {}};
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
    setWindowIcon(AppIcon());
    CreateControls();
    ConnectControls();
    watcher_->Watch(diary_);
    const Period period = SelectedPeriod();
    Show(first ? first() : LoadDiary(diary_, period, night_->Parsed().value_or(NightRule{}), weekdays_),
         period, false);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::SetDialogs(Dialogs dialogs) {
    saver_->SetSaveDialog(std::move(dialogs.save));
    if (dialogs.print) saver_->SetPrintDialog(std::move(dialogs.print));
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
    lblLeer = Named(new QLabel(this), QStringLiteral("lblLeer"), QString());
    lblLeer->setWordWrap(true);
    lblLeer->setTextFormat(Qt::PlainText);
    lblLeer->setFont(bold);
    lblLeer->hide();
    layout->addWidget(lblLeer);

    summary_ = new ReportSummary(this);
    layout->addWidget(summary_);

    auto* charts = new QHBoxLayout;
    chrStunden =
        Named(new BarChart(QStringLiteral("Einträge je Stunde (anklicken: Einträge der Stunde)"), this),
              QStringLiteral("chrStunden"), QStringLiteral("Einträge je Stunde"));
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

    // The tables come right after the first paint (MakeLaterControls): the first item view
    // costs Qt as much as the summary and the charts together.
    nights_ = new NightModel(this);
    model_ = new EntryModel(this);
    tableArea_ = new QWidget(this);
    (new QHBoxLayout(tableArea_))->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableArea_, 3);

    layout->addLayout(CreateButtonRow());
    // A line of its own, so a long message is read whole.
    lblStatus = Named(new QLabel(this), QStringLiteral("lblStatus"), QString());
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblStatus);
    watcher_ = new DiaryWatcher(this);
    saver_ = new ReportSaver(services_, this);
    complaints_ = new ComplaintSender(services_, this);
    loading_ = new QFutureWatcher<DiaryLoad>(this);
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
    buttons->addStretch(1);
    return buttons;
}

void ReportWindow::ConnectControls() {
    connect(period_, &PeriodField::changed, this, &ReportWindow::PeriodChanged);
    connect(night_, &NightField::changed, this, &ReportWindow::NightChanged);
    connect(cmdDatei, &QPushButton::clicked, this, &ReportWindow::ChooseFile);
    connect(cmdAngaben, &QPushButton::clicked, this, &ReportWindow::EditSettings);
    connect(chrTage, &BarChart::barActivated, this, &ReportWindow::DateActivated);
    connect(chrStunden, &BarChart::barActivated, this, [this](int hour) {
        Choose({Selection::Kind::Hour, hour});
    });
    connect(cmdAlleTage, &QPushButton::clicked, this, [this] { Choose({}); });
    connect(cmdPdf, &QPushButton::clicked, this, [this] { saver_->SavePdf(SaveRequest()); });
    connect(cmdDrucken, &QPushButton::clicked, this, [this] { saver_->Print(SaveRequest()); });
    connect(cmdCsv, &QPushButton::clicked, this, [this] { saver_->SaveCsv(SaveRequest()); });
    connect(cmdKopieren, &QPushButton::clicked, this, [this] {
        if (HasSender(false)) complaints_->Copy(SelectedComplaint());
    });
    connect(cmdEmail, &QPushButton::clicked, this, [this] {
        if (HasSender(true)) complaints_->Mail(SelectedComplaint());
    });
    connect(saver_, &ReportSaver::said, this, &ReportWindow::Say);
    connect(complaints_, &ComplaintSender::said, this, &ReportWindow::Say);
    connect(watcher_, &DiaryWatcher::changed, this, &ReportWindow::Reload);
    connect(loading_, &QFutureWatcher<DiaryLoad>::finished, this, &ReportWindow::Loaded);
}

void ReportWindow::PeriodChanged() {
    MakeLaterControls();
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
    MakeTables();
    QLineEdit* own = night_->OwnField();
    period_->MakeDateFields();
    ShowState();
    setTabOrder(period_->To(), night_->List());
    setTabOrder(night_->List(), own);
    setTabOrder(own, cmdDatei);
    setTabOrder(cmdAlleTage, tblNaechte);
    setTabOrder(tblNaechte, tblEintraege);
    setTabOrder(tblEintraege, cmdPdf);
}

void ReportWindow::MakeTables() {
    tblNaechte = MakeNightView(nights_, tableArea_);
    tblEintraege = MakeEntryView(model_, tableArea_);
    tableArea_->layout()->addWidget(tblNaechte);
    static_cast<QHBoxLayout*>(tableArea_->layout())->addWidget(tblEintraege, 1);
    tblNaechte->setMinimumWidth(tblNaechte->horizontalHeader()->length() + 24);
    tblNaechte->setMaximumWidth(tblNaechte->horizontalHeader()->length() + 48);
    const auto chooseNight = [this](const QModelIndex& index) {
        if (index.isValid()) Choose({Selection::Kind::Night, nights_->NightAt(index.row())});
    };
    connect(tblNaechte, &QTableView::activated, this, chooseNight);
    connect(tblNaechte, &QTableView::clicked, this, chooseNight);
    connect(tblEintraege, &QTableView::clicked, this, &ReportWindow::EntryClicked);
    for (QTableView* table : {tblNaechte, tblEintraege}) {
        table->setEnabled(report_->total.entries > 0);
        table->show();  // added to a window that may be on the screen already
    }
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

bool ReportWindow::Loading() const { return busy_; }

Period ReportWindow::SelectedPeriod() const {
    return period_->Selected(night_->Parsed().value_or(NightRule{}));
}

int ReportWindow::Today() const {
    const LocalDateTime now = services_.Now();
    return DayNumber(now.year, now.month, now.day);
}

void ReportWindow::Reload() {
    watcher_->Watch(diary_);
    if (ReadOn()) return;
    const Period period = busy_ ? loadingPeriod_ : heldPeriod_;
    const NightRule rule = night_->Parsed().value_or(report_->night);
    const std::filesystem::path diary = diary_;
    const std::vector<std::string> weekdays = weekdays_;
    Load([=] { return LoadDiary(diary, period, rule, weekdays); }, period, true);
}

bool ReportWindow::ReadOn() {
    // A recording appends a line or two: read here, and counted on into the report shown,
    // which is not copied for it. Anything larger is read whole, off this thread.
    constexpr std::uint64_t kMostAppended = 1 << 20;
    if (busy_ || !error_.isEmpty() || !onward_ || !file_) return false;
    const std::uint64_t size = file_->State().size;
    if (size <= info_.bytes || size - info_.bytes > kMostAppended) return false;
    report::ReadDiaryResult held;
    held.info = info_;
    held.file = file_;
    held.entriesKept = true;
    held.period = heldPeriod_;
    held.weekdays = weekdays_;
    held.onward = onward_;
    held.report = std::move(*report_);
    std::optional<report::ReadDiaryResult> onward;
    try {
        onward = report::ReadOnward(diary_, held);
    } catch (const std::exception&) {
        // Read whole, which says what is wrong.
    }
    if (!onward) {
        *report_ = std::move(held.report);  // left as it was
        return false;
    }
    Show({std::move(onward), {}}, heldPeriod_, true);
    return true;
}

void ReportWindow::Refresh() {
    const std::optional<NightRule> rule = night_->Parsed();
    if (!rule) return;  // the night field says why
    Say({});
    const Period period = SelectedPeriod();
    const bool sameEntries = error_.isEmpty() && !busy_ && !period.night && !heldPeriod_.night &&
                             period.from == heldPeriod_.from && period.to == heldPeriod_.to;
    if (sameEntries) {
        // Counted again from the entries held, on a copy: the tables show these meanwhile.
        std::shared_ptr<const Report> held = report_;
        std::shared_ptr<const platform::File> file = file_;
        report::DiaryInfo info = info_;
        const std::optional<report::Onward> onward = onward_;
        const std::vector<std::string> weekdays = weekdays_;
        Load(
            [=] {
                Report copy = *held;
                report::ReadDiaryResult read;
                read.info = info;
                read.file = file;
                read.report = Recount(std::move(copy), period, *rule);
                read.entriesKept = true;
                read.period = period;
                read.weekdays = weekdays;
                read.onward = onward;
                return DiaryLoad{std::move(read), {}};
            },
            period, false);
        return;
    }
    const std::filesystem::path diary = diary_;
    const std::vector<std::string> weekdays = weekdays_;
    Load([=] { return LoadDiary(diary, period, *rule, weekdays); }, period, false);
}

void ReportWindow::Load(std::function<DiaryLoad()> job, const Period& period, bool keepChoice) {
    // A result still to come is dropped: only the latest question is answered. The one
    // running finishes on its own, with nothing of the window.
    loading_->disconnect(this);
    loading_->deleteLater();
    loading_ = new QFutureWatcher<DiaryLoad>(this);
    connect(loading_, &QFutureWatcher<DiaryLoad>::finished, this, &ReportWindow::Loaded);
    loadingPeriod_ = period;
    loadingKeepsChoice_ = keepChoice;
    busy_ = true;
    setCursor(Qt::BusyCursor);
    loading_->setFuture(QtConcurrent::run([job = std::move(job)] {
        try {
            return job();
        } catch (const std::bad_alloc&) {
            return DiaryLoad{std::nullopt,
                             QStringLiteral("Zu wenig Arbeitsspeicher, um das Tagebuch zu zählen.")};
        } catch (const std::exception& failure) {
            return DiaryLoad{std::nullopt, QString::fromUtf8(failure.what())};
        }
    }));
}

void ReportWindow::Loaded() {
    busy_ = false;
    unsetCursor();
    Show(loading_->result(), loadingPeriod_, loadingKeepsChoice_);
}

void ReportWindow::Show(DiaryLoad load, const Period& period, bool keepChoice) {
    heldPeriod_ = period;
    if (!load.read) {
        error_ = load.error;
        SetText(lblMeldung,
                error_ + QStringLiteral("\nMit „Datei wählen…“ lässt sich ein anderes Tagebuch öffnen."));
        lblMeldung->show();
        auto empty = std::make_shared<Report>();
        empty->night = night_->Parsed().value_or(NightRule{});
        file_.reset();
        info_ = {};
        onward_.reset();
        notes_.reset();
        ShowReport(std::move(empty), false);
        return;
    }
    error_.clear();
    lblMeldung->hide();
    file_ = load.read->file;
    info_ = load.read->info;
    onward_ = load.read->onward;
    notes_ = std::make_shared<report::NoteFile>(file_);
    ShowReport(std::make_shared<Report>(std::move(load.read->report)), keepChoice);
}

void ReportWindow::ShowReport(std::shared_ptr<Report> report, bool keepChoice) {
    report_ = std::move(report);
    model_->SetReport(report_, notes_);
    nights_->SetReport(report_);
    ShowCharts(*report_);
    ShowState();
    Choose(keepChoice ? selection_ : Selection{});
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
                     [this](int bar) { return Date(chartDays_[static_cast<std::size_t>(bar)]); });
}

void ReportWindow::ShowState() {
    setWindowTitle(QStringLiteral("Bericht – ") + platform::ToQString(diary_.filename()));
    // The greyed dates are the bounds in effect, not those of an earlier choice.
    if (period_->From() && !period_->IsCustom() && report_->from)
        period_->ShowDates(*report_->from, std::max(*report_->from, std::min(*report_->to, Today())));
    const bool empty = report_->total.entries == 0;
    lblLeer->setVisible(empty && error_.isEmpty());
    SetText(lblLeer, info_.bytes == 0 ? QStringLiteral("Das Tagebuch ist noch leer: Einträge macht das "
                                                       "Programm „Sülvan Logger“.")
                                      : QStringLiteral("Im gewählten Zeitraum gibt es keine Einträge."));
    for (QWidget* control : std::initializer_list<QWidget*>{chrStunden, chrTage, tblNaechte, tblEintraege,
                                                            cmdPdf, cmdDrucken, cmdCsv}) {
        if (control) control->setEnabled(!empty);
    }
}

void ReportWindow::Choose(const Selection& selection) {
    selection_ = selection;
    selected_ = selection.kind == Selection::Kind::All
                    ? report_
                    : std::make_shared<const Report>(ReportOf(*report_, selection));
    model_->Show(selection);
    summary_->Show(selected_);
    const auto chosen = [&](Selection::Kind kind) { return selection.kind == kind ? selection.value : -1; };
    const auto bar = std::find(chartDays_.begin(), chartDays_.end(), chosen(Selection::Kind::Date));
    chrTage->SetSelected(bar == chartDays_.end() ? -1 : static_cast<int>(bar - chartDays_.begin()));
    chrStunden->SetSelected(chosen(Selection::Kind::Hour));
    if (tblNaechte) {
        const int row = selection.kind == Selection::Kind::Night ? nights_->RowOf(selection.value) : -1;
        if (row < 0) {
            tblNaechte->clearSelection();
        } else {
            tblNaechte->selectRow(row);
        }
    }
    const int n = selected_->total.entries;
    switch (selection.kind) {
        case Selection::Kind::All:
            SetText(lblAuswahl,
                    report_->from ? QStringLiteral("Alle Einträge vom %1 bis %2")
                                        .arg(Date(*report_->from),
                                             Date(std::max(*report_->from, std::min(*report_->to, Today()))))
                                  : QStringLiteral("Keine Einträge im Zeitraum"));
            break;
        case Selection::Kind::Date:
            SetText(lblAuswahl, QStringLiteral("Einträge vom %1: %2").arg(Date(selection.value)).arg(n));
            break;
        case Selection::Kind::Night:
            SetText(lblAuswahl, QStringLiteral("Nacht %1: %2").arg(Utf8(NightName(selection.value))).arg(n));
            break;
        case Selection::Kind::Hour:
            SetText(lblAuswahl, QStringLiteral("Einträge zwischen %1 und %2 Uhr: %3")
                                    .arg(selection.value)
                                    .arg(selection.value + 1)
                                    .arg(n));
            break;
    }
    cmdAlleTage->setEnabled(selection.kind != Selection::Kind::All);
    cmdKopieren->setEnabled(n > 0);
    cmdEmail->setEnabled(n > 0);
}

void ReportWindow::DateActivated(int index) {
    if (index < 0 || index >= static_cast<int>(chartDays_.size())) return Choose({});
    Choose({Selection::Kind::Date, chartDays_[static_cast<std::size_t>(index)]});
}

void ReportWindow::EntryClicked(const QModelIndex& index) {
    if (!index.isValid() || index.column() != EntryModel::kNight) return;
    const DiaryEntry& e = model_->EntryAt(index.row());
    const NightRule& night = report_->night;
    if (night.Contains(e.minute)) Choose({Selection::Kind::Night, night.NightOf(e.day, e.minute)});
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
    watcher_->Watch(diary_);
    Say({});
    const Period period = SelectedPeriod();
    const NightRule rule = night_->Parsed().value_or(report_->night);
    const std::filesystem::path diary = diary_;
    const std::vector<std::string> weekdays = weekdays_;
    Load([=] { return LoadDiary(diary, period, rule, weekdays); }, period, false);
}

bool ReportWindow::EditSettings() {
    SettingsDialog dialog(settings_, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QString night = settings_.night;
    settings_ = dialog.Settings();
    if (!SaveSettings(settingsFile_, settings_) && !settingsUnsavedTold_) {
        settingsUnsavedTold_ = true;
        services_.ShowMessage(
            this, QStringLiteral("Die Angaben lassen sich nicht in „%1“ speichern. Sie gelten, bis "
                                 "das Programm geschlossen wird.")
                      .arg(platform::Readable(platform::ToQString(settingsFile_))));
    }
    // Only another night rule counts anew; the choice of a date or night stays.
    if (settings_.night != night) {
        MakeLaterControls();
        night_->SetRule(settings_.night);
    }
    return true;
}

bool ReportWindow::HasSender(bool forMail) {
    const auto complete = [&] {
        return !settings_.name.isEmpty() && (!forMail || !settings_.recipient.isEmpty());
    };
    if (complete()) return true;
    if (!EditSettings()) return false;
    if (complete()) return true;
    services_.ShowMessage(this, forMail ? QStringLiteral("Bitte unter „Angaben…“ Ihren Namen und den "
                                                         "E-Mail-Empfänger eintragen.")
                                        : QStringLiteral("Bitte unter „Angaben…“ Ihren Namen eintragen."));
    return false;
}

ComplaintSender::Complaint ReportWindow::SelectedComplaint() const {
    const std::optional<int> night = selection_.kind == Selection::Kind::Night
                                         ? std::optional(selection_.value)
                                     : selection_.kind == Selection::Kind::All ? heldPeriod_.night
                                                                               : std::nullopt;
    std::shared_ptr<const report::NoteFile> notes = notes_;
    const ReportSaver::Request request = SaveRequest();
    const Selection selection = selection_;
    const LocalDateTime created = services_.Now();
    return {selected_,
            night,
            {Person(), settings_.authority},
            settings_.recipient,
            [notes](const DiaryEntry& e) { return report::NoteOf(e, notes.get()); },
            Today(),
            [request, selection, created] { return ReportSaver::PdfOf(request, selection, created); }};
}

}  // namespace suelvan
