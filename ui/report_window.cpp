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

#include "core/calendar.h"
#include "core/entry.h"
#include "core/logfile.h"
#include "platform/qt_text.h"
#include "ui/accessible.h"
#include "ui/app_icon.h"
#include "ui/diary_watcher.h"
#include "ui/entry_model.h"
#include "ui/night_field.h"
#include "ui/night_model.h"
#include "ui/report_charts.h"
#include "ui/report_summary.h"

namespace suelvan {
namespace {

using platform::Utf8;

}  // namespace

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
    const NightRule rule = night_->Parsed().value_or(NightRule{});
    loader_->Take(first ? first() : LoadDiary(diary_, period, rule, weekdays_), period, rule);
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

    lblMeldung = MessageLabel(QStringLiteral("lblMeldung"), true, this);
    layout->addWidget(lblMeldung);
    lblLeer = MessageLabel(QStringLiteral("lblLeer"), false, this);
    layout->addWidget(lblLeer);

    summary_ = new ReportSummary(this);
    layout->addWidget(summary_);

    charts_ = new ReportCharts(this);
    layout->addWidget(charts_, 2);

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
    loader_ = new DiaryLoader(weekdays_, this);
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
    connect(charts_, &ReportCharts::chosen, this, &ReportWindow::Choose);
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
    connect(loader_, &DiaryLoader::started, this, [this] { setCursor(Qt::BusyCursor); });
    connect(loader_, &DiaryLoader::loaded, this, &ReportWindow::Loaded);
}

void ReportWindow::PeriodChanged() {
    MakeLaterControls();
    Refresh();
}

void ReportWindow::NightChanged() {
    MakeLaterControls();
    QLineEdit* own = night_->OwnField();
    if (night_->IsOwn() && own->text().isEmpty()) {
        const NightRule rule = loader_->Held()->night;
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
        table->setEnabled(loader_->Held()->total.entries > 0);
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

Period ReportWindow::SelectedPeriod() const {
    return period_->Selected(night_->Parsed().value_or(NightRule{}));
}

int ReportWindow::Today() const {
    const LocalDateTime now = services_.Now();
    return DayNumber(now.year, now.month, now.day);
}

void ReportWindow::Reload() {
    watcher_->Watch(diary_);
    if (loader_->ReadOn(diary_)) return;
    loader_->Read(diary_, loader_->Asked(), night_->Parsed().value_or(loader_->Held()->night), true);
}

void ReportWindow::Refresh() {
    const std::optional<NightRule> rule = night_->Parsed();
    if (!rule) return;  // the night field says why
    Say({});
    const Period period = SelectedPeriod();
    if (!loader_->Recount(period, *rule)) loader_->Read(diary_, period, *rule, false);
}

void ReportWindow::Loaded(bool keepChoice) {
    unsetCursor();
    const QString& error = loader_->Error();
    lblMeldung->setVisible(!error.isEmpty());
    if (!error.isEmpty())
        SetText(lblMeldung,
                error + QStringLiteral("\nMit „Datei wählen…“ lässt sich ein anderes Tagebuch öffnen."));
    const std::shared_ptr<const Report> report = loader_->Held();
    model_->SetReport(report, loader_->Notes());
    nights_->SetReport(report);
    charts_->Show(*report);
    ShowState();
    Choose(keepChoice ? selection_ : Selection{});
}

void ReportWindow::ShowState() {
    setWindowTitle(QStringLiteral("Bericht – ") + platform::ToQString(diary_.filename()));
    // The greyed dates are the bounds in effect, not those of an earlier choice.
    const Report& held = *loader_->Held();
    if (period_->From() && !period_->IsCustom() && held.from)
        period_->ShowDates(*held.from, ShownEnd(*held.from, *held.to, Today()));
    const bool empty = held.total.entries == 0;
    lblLeer->setVisible(empty && loader_->Error().isEmpty());
    SetText(lblLeer, loader_->Info().bytes == 0
                         ? QStringLiteral("Das Tagebuch ist noch leer: Einträge macht das "
                                          "Programm „Sülvan Logger“.")
                         : QStringLiteral("Im gewählten Zeitraum gibt es keine Einträge."));
    for (QWidget* control :
         std::initializer_list<QWidget*>{charts_, tblNaechte, tblEintraege, cmdPdf, cmdDrucken, cmdCsv}) {
        if (control) control->setEnabled(!empty);
    }
}

void ReportWindow::Choose(const Selection& selection) {
    selection_ = selection;
    selected_ = selection.kind == Selection::Kind::All
                    ? loader_->Held()
                    : std::make_shared<const Report>(ReportOf(*loader_->Held(), selection));
    model_->Show(selection);
    summary_->Show(selected_);
    charts_->Select(selection);
    if (tblNaechte) {
        const int row = selection.kind == Selection::Kind::Night ? nights_->RowOf(selection.value) : -1;
        if (row < 0) {
            tblNaechte->clearSelection();
        } else {
            tblNaechte->selectRow(row);
        }
    }
    const int n = selected_->total.entries;
    SetText(lblAuswahl, ChoiceText(*loader_->Held(), selection, n, Today()));
    cmdAlleTage->setEnabled(selection.kind != Selection::Kind::All);
    cmdKopieren->setEnabled(n > 0);
    cmdEmail->setEnabled(n > 0);
}

void ReportWindow::EntryClicked(const QModelIndex& index) {
    if (!index.isValid() || index.column() != EntryModel::kNight) return;
    const DiaryEntry& e = model_->EntryAt(index.row());
    const NightRule& night = loader_->Held()->night;
    if (night.Contains(e.minute)) Choose({Selection::Kind::Night, night.NightOf(e.day, e.minute)});
}

report::Person ReportWindow::Person() const { return {settings_.name, settings_.address}; }

ReportSaver::Request ReportWindow::SaveRequest() const {
    return {diary_, loader_->HeldPeriod(), loader_->Held()->night, Person(), weekdays_};
}

void ReportWindow::Say(const QString& text) { SetText(lblStatus, text); }

void ReportWindow::ChooseFile() {
    const QString chosen =
        openDialog_(this, QStringLiteral("Tagebuch wählen"), platform::ToQString(diary_.parent_path()));
    if (chosen.isEmpty()) return;
    diary_ = platform::ToPath(chosen);
    watcher_->Watch(diary_);
    Say({});
    loader_->Read(diary_, SelectedPeriod(), night_->Parsed().value_or(loader_->Held()->night), false);
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
                                     : selection_.kind == Selection::Kind::All ? loader_->HeldPeriod().night
                                                                               : std::nullopt;
    std::shared_ptr<const report::NoteFile> notes = loader_->Notes();
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
