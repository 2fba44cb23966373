#include "ui/report_window.h"

#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "core/entry.h"
#include "core/logfile.h"
#include "report/complaint.h"
#include "report/output.h"
#include "ui/bar_chart.h"
#include "ui/entry_model.h"
#include "ui/main_window.h"

namespace suelvan {
namespace {

enum Choice { kLastNight, kLastSevenDays, kThisMonth, kLastMonth, kThisYear, kEverything, kCustom };
static_assert(kThisMonth == ReportWindow::kThisMonthChoice);

constexpr QuickPeriod kQuick[] = {QuickPeriod::LastNight, QuickPeriod::LastSevenDays,
                                  QuickPeriod::ThisMonth, QuickPeriod::LastMonth,
                                  QuickPeriod::ThisYear,  QuickPeriod::Everything};

// Beyond ten years a bar per calendar day would be thinner than a pixel: then only the
// days with entries get one.
constexpr int kMostCalendarBars = 3660;

QDate ToQDate(int day) {
    const CalendarDate d = DateOfDayNumber(day);
    return {d.year, d.month, d.day};
}

int FromQDate(const QDate& date) { return DayNumber(date.year(), date.month(), date.day()); }

int Today(platform::Services& services) {
    const LocalDateTime now = services.Now();
    return DayNumber(now.year, now.month, now.day);
}

template <typename W>
W* Named(W* widget, const QString& name, const QString& accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

// A screen reader reads a label's accessible name, not its text: both are kept alike.
void SetCount(QLabel* label, const QString& caption, std::uint64_t n) {
    const QString text = QStringLiteral("%1: %2").arg(caption).arg(n);
    label->setText(text);
    label->setAccessibleName(text);
}

}  // namespace

DiaryLoad LoadDiary(const std::filesystem::path& diary, const Period& period, const NightRule& night,
                    const report::ReadOptions& options) {
    try {
        return {report::ReadDiary(diary, period, night, options), {}};
    } catch (const std::exception& failure) {
        return {std::nullopt, QString::fromUtf8(failure.what())};
    }
}

Period ReportWindow::PeriodAt(platform::Services& services, int choice, const NightRule& night) {
    const LocalDateTime now = services.Now();
    return PeriodOf(kQuick[choice], Today(services), now.hour * 60 + now.minute, night);
}

ReportWindow::ReportWindow(platform::Services& services, std::filesystem::path diary,
                           std::filesystem::path settingsFile, std::function<DiaryLoad()> first,
                           const QString& night, QWidget* parent)
    : QWidget(parent),
      services_(services),
      diary_(std::move(diary)),
      settingsFile_(std::move(settingsFile)),
      settings_(LoadSettings(settingsFile_)) {
    if (!night.isEmpty()) startNight_ = night;
    dialogs_.save = [](QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter) {
        return QFileDialog::getSaveFileName(parent, title, suggested, filter);
    };
    dialogs_.open = [](QWidget* parent, const QString& title, const QString& folder) {
        return QFileDialog::getOpenFileName(parent, title, folder,
                                            QStringLiteral("Textdateien (*.txt);;Alle Dateien (*)"));
    };
    setWindowTitle(QStringLiteral("Sülvan Logger – Bericht"));
    setWindowIcon(AppIcon());
    CreateControls();
    ConnectControls();
    WatchDiary();
    const Period period = SelectedPeriod();
    Show(first ? first() : LoadDiary(diary_, period, SelectedRule().value_or(NightRule{})), period);
}

ReportWindow::~ReportWindow() = default;

void ReportWindow::CreateControls() {
    auto* layout = new QVBoxLayout(this);

    auto* top = new QHBoxLayout;
    cboZeitraum = Named(new QComboBox(this), QStringLiteral("cboZeitraum"), QStringLiteral("Zeitraum"));
    cboZeitraum->addItems({QStringLiteral("Letzte Nacht"), QStringLiteral("Letzte 7 Tage"),
                           QStringLiteral("Dieser Monat"), QStringLiteral("Letzter Monat"),
                           QStringLiteral("Dieses Jahr"), QStringLiteral("Alles"),
                           QStringLiteral("Zeitraum…")});
    cboZeitraum->setCurrentIndex(kThisMonth);
    // The date fields and the custom night field come after the first paint
    // (MakeLaterControls), like the entry list: they are not needed to show the numbers.
    dateFields_ = new QWidget(this);
    auto* dates = new QHBoxLayout(dateFields_);
    dates->setContentsMargins(0, 0, 0, 0);
    cboNacht = Named(new QComboBox(this), QStringLiteral("cboNacht"), QStringLiteral("Nachtzeit"));
    for (const NightChoice& choice : NightChoices()) cboNacht->addItem(choice.caption, choice.rule);
    cboNacht->addItem(QStringLiteral("Eigene…"), QString());
    nightField_ = new QWidget(this);
    (new QHBoxLayout(nightField_))->setContentsMargins(0, 0, 0, 0);
    const QString startNight = startNight_.isEmpty() ? settings_.night : startNight_;
    const int known = cboNacht->findData(startNight);
    cboNacht->setCurrentIndex(known >= 0 ? known : cboNacht->count() - 1);
    cmdDatei = Named(new QPushButton(QStringLiteral("Datei wählen…"), this), QStringLiteral("cmdDatei"),
                     QStringLiteral("Datei wählen…"));
    cmdAngaben = Named(new QPushButton(QStringLiteral("Angaben…"), this), QStringLiteral("cmdAngaben"),
                       QStringLiteral("Angaben…"));
    auto* zeitraum = new QLabel(QStringLiteral("&Zeitraum"), this);
    zeitraum->setBuddy(cboZeitraum);
    auto* nacht = new QLabel(QStringLiteral("&Nacht"), this);
    nacht->setBuddy(cboNacht);
    top->addWidget(zeitraum);
    top->addWidget(cboZeitraum);
    top->addWidget(dateFields_);
    top->addSpacing(12);
    top->addWidget(nacht);
    top->addWidget(cboNacht);
    top->addWidget(nightField_);
    top->addStretch(1);
    top->addWidget(cmdDatei);
    top->addWidget(cmdAngaben);
    layout->addLayout(top);

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

    auto* summary = new QGridLayout;
    const auto count = [this](const QString& name) {
        auto* label = Named(new QLabel(this), name, QString());
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    lblEintraege = count(QStringLiteral("lblEintraege"));
    lblNachts = count(QStringLiteral("lblNachts"));
    lblLandungen = count(QStringLiteral("lblLandungen"));
    lblGestoerteNaechte = count(QStringLiteral("lblGestoerteNaechte"));
    summary->addWidget(lblEintraege, 0, 0);
    summary->addWidget(lblNachts, 0, 1);
    summary->addWidget(lblLandungen, 0, 2);
    summary->addWidget(lblGestoerteNaechte, 0, 3);
    for (int level = 0; level < 4; ++level) {
        lblStufe[level] = count(QStringLiteral("lblStufe%1").arg(level));
        lblStufe[level]->setToolTip(
            QString::fromUtf8(kLoudnessSteps[static_cast<std::size_t>(level)].caption.data()));
        summary->addWidget(lblStufe[level], 1, level);
    }
    lblZeilen = count(QStringLiteral("lblZeilen"));
    cmdZeilen = Named(new QPushButton(QStringLiteral("Zeilen zeigen…"), this), QStringLiteral("cmdZeilen"),
                      QStringLiteral("Nicht erkannte Zeilen zeigen"));
    summary->addWidget(lblZeilen, 2, 0, 1, 3);
    summary->addWidget(cmdZeilen, 2, 3, Qt::AlignLeft);
    layout->addLayout(summary);

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

    // The entry list comes right after the first paint too (MakeLaterControls): the
    // first item view costs Qt as much as the summary and the charts together.
    model_ = new EntryModel(this);
    tableArea_ = new QWidget(this);
    (new QVBoxLayout(tableArea_))->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tableArea_, 3);

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
    layout->addLayout(buttons);
    if (known < 0) {  // a night rule of one's own: its field is needed at once
        MakeLaterControls();
        txtNacht->setText(startNight);
    }

    watcher_ = new QFileSystemWatcher(this);
    reloadTimer_ = new QTimer(this);
    reloadTimer_->setSingleShot(true);
    reloadTimer_->setInterval(250);
}

void ReportWindow::ConnectControls() {
    connect(cboZeitraum, &QComboBox::currentIndexChanged, this, [this](int index) {
        const bool custom = index == kCustom;
        MakeLaterControls();
        datVon->setEnabled(custom);
        datBis->setEnabled(custom);
        if (custom && report_->from) {
            const QSignalBlocker a(datVon), b(datBis);
            datVon->setDate(ToQDate(*report_->from));
            datBis->setDate(ToQDate(*report_->to));
        }
        Refresh();
    });
    connect(cboNacht, &QComboBox::currentIndexChanged, this, [this] {
        const bool custom = cboNacht->currentData().toString().isEmpty();
        MakeLaterControls();
        txtNacht->setEnabled(custom);
        if (custom && txtNacht->text().isEmpty()) {
            const NightRule rule = report_->night;
            txtNacht->setText(QString::fromStdString(ClockText(rule.start) + "-" + ClockText(rule.end)));
        }
        Refresh();
    });
    connect(cmdDatei, &QPushButton::clicked, this, &ReportWindow::ChooseFile);
    connect(cmdAngaben, &QPushButton::clicked, this, &ReportWindow::EditSettings);
    connect(cmdZeilen, &QPushButton::clicked, this, &ReportWindow::ShowOddLines);
    connect(chrTage, &BarChart::barActivated, this, &ReportWindow::DateActivated);
    connect(cmdAlleTage, &QPushButton::clicked, this, [this] { DateActivated(-1); });
    connect(cmdPdf, &QPushButton::clicked, this, &ReportWindow::SavePdf);
    connect(cmdDrucken, &QPushButton::clicked, this, &ReportWindow::Print);
    connect(cmdCsv, &QPushButton::clicked, this, &ReportWindow::SaveCsv);
    connect(cmdKopieren, &QPushButton::clicked, this, &ReportWindow::CopyComplaint);
    connect(cmdEmail, &QPushButton::clicked, this, &ReportWindow::WriteMail);
    // An editor saving replaces the file, and a recording appends to it: either way, read
    // it again once the writes have settled.
    connect(watcher_, &QFileSystemWatcher::fileChanged, reloadTimer_, qOverload<>(&QTimer::start));
    connect(watcher_, &QFileSystemWatcher::directoryChanged, reloadTimer_, qOverload<>(&QTimer::start));
    connect(reloadTimer_, &QTimer::timeout, this, &ReportWindow::Reload);
}

void ReportWindow::WatchDiary() {
    std::error_code ignored;
    const std::filesystem::path absolute = std::filesystem::absolute(diary_, ignored);
    const QString file = platform::ToQString(absolute);
    const QString folder = platform::ToQString(absolute.parent_path());
    const QStringList watched = watcher_->files() + watcher_->directories();
    for (const QString& path : watched) {
        if (path != file && path != folder) watcher_->removePath(path);
    }
    if (!watcher_->directories().contains(folder)) watcher_->addPath(folder);
    if (!watcher_->files().contains(file) && std::filesystem::exists(absolute)) watcher_->addPath(file);
}

std::optional<NightRule> ReportWindow::SelectedRule() const {
    QString rule = cboNacht->currentData().toString();
    if (rule.isEmpty() && txtNacht) rule = txtNacht->text().trimmed();
    return ParseNightRule(rule.toStdString());
}

Period ReportWindow::SelectedPeriod() const {
    const int choice = cboZeitraum->currentIndex();
    if (choice == kCustom && datVon) {
        const int from = FromQDate(datVon->date()), to = FromQDate(datBis->date());
        return {std::min(from, to), std::max(from, to), std::nullopt};
    }
    return PeriodAt(services_, choice, SelectedRule().value_or(NightRule{}));
}

void ReportWindow::MakeLaterControls() {
    if (datVon) return;
    tblEintraege =
        Named(new QTableView(tableArea_), QStringLiteral("tblEintraege"), QStringLiteral("Einträge"));
    tblEintraege->setModel(model_);
    tblEintraege->setSortingEnabled(true);
    tblEintraege->sortByColumn(EntryModel::kDate, Qt::AscendingOrder);
    tblEintraege->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblEintraege->setTabKeyNavigation(false);
    tblEintraege->verticalHeader()->hide();
    tblEintraege->verticalHeader()->setDefaultSectionSize(tblEintraege->fontMetrics().height() + 6);
    // Widths from the widest texts, not from the rows: sizing to contents measures every
    // row, half a million of them in "Alles".
    QHeaderView* header = tblEintraege->horizontalHeader();
    header->setStretchLastSection(false);
    const QFontMetrics metrics = tblEintraege->fontMetrics();
    const int pad = metrics.averageCharWidth() * 3;
    const QString widest[] = {QStringLiteral("30.12.2026"),
                              QStringLiteral("Uhrzeit"),
                              QStringLiteral("30.11./1.12.2026"),
                              QString::fromUtf8(kLoudnessSteps[3].caption.data(),
                                                static_cast<qsizetype>(kLoudnessSteps[3].caption.size())),
                              QStringLiteral("Landung"),
                              QString(),
                              QStringLiteral("9999999")};
    for (int column = 0; column < EntryModel::kColumns; ++column) {
        header->resizeSection(column, metrics.horizontalAdvance(widest[column]) + pad);
    }
    header->setSectionResizeMode(EntryModel::kNote, QHeaderView::Stretch);
    tableArea_->layout()->addWidget(tblEintraege);
    tblEintraege->show();  // added to a window that may be on the screen already

    txtNacht =
        Named(new QLineEdit(nightField_), QStringLiteral("txtNacht"), QStringLiteral("Eigene Nachtzeit"));
    txtNacht->setPlaceholderText(QStringLiteral("H:MM-H:MM"));
    txtNacht->setEnabled(cboNacht->currentData().toString().isEmpty());
    nightField_->layout()->addWidget(txtNacht);
    txtNacht->show();
    connect(txtNacht, &QLineEdit::editingFinished, this, &ReportWindow::Refresh);
    datVon = Named(new QDateEdit(dateFields_), QStringLiteral("datVon"), QStringLiteral("Von"));
    datBis = Named(new QDateEdit(dateFields_), QStringLiteral("datBis"), QStringLiteral("Bis"));
    const Period month = PeriodAt(services_, kThisMonth, NightRule{});
    for (QDateEdit* date : {datVon, datBis}) {
        date->setCalendarPopup(true);
        date->setDisplayFormat(QStringLiteral("d.M.yyyy"));
        date->setEnabled(cboZeitraum->currentIndex() == kCustom);
        date->setDate(ToQDate(date == datVon ? *month.from : *month.to));
        connect(date, &QDateEdit::dateChanged, this, [this] {
            if (cboZeitraum->currentIndex() == kCustom) Refresh();
        });
    }
    auto* bis = new QLabel(QStringLiteral("bis"), dateFields_);
    for (QWidget* w :
         {static_cast<QWidget*>(datVon), static_cast<QWidget*>(bis), static_cast<QWidget*>(datBis)}) {
        dateFields_->layout()->addWidget(w);
        w->show();
    }
    setTabOrder(cboZeitraum, datVon);
    setTabOrder(datVon, datBis);
    setTabOrder(datBis, cboNacht);
    setTabOrder(cboNacht, txtNacht);
    setTabOrder(txtNacht, cmdDatei);
    setTabOrder(cmdAlleTage, tblEintraege);
    setTabOrder(tblEintraege, cmdPdf);
}

bool ReportWindow::event(QEvent* event) {
    // After the first paint, when the window is already on the screen.
    if (event->type() == QEvent::Paint && !datVon)
        QTimer::singleShot(0, this, &ReportWindow::MakeLaterControls);
    return QWidget::event(event);
}

void ReportWindow::ShowPeriod(int from, int to) {
    MakeLaterControls();
    {
        const QSignalBlocker a(datVon), b(datBis), c(cboZeitraum);
        datVon->setDate(ToQDate(from));
        datBis->setDate(ToQDate(to));
        cboZeitraum->setCurrentIndex(kCustom);
    }
    datVon->setEnabled(true);
    datBis->setEnabled(true);
    Refresh();
}

void ReportWindow::Reload() {
    WatchDiary();
    const Period period = SelectedPeriod();
    Show(LoadDiary(diary_, period, SelectedRule().value_or(report_->night)), period);
}

void ReportWindow::Refresh() {
    const std::optional<NightRule> rule = SelectedRule();
    if (!rule) {
        Say(QStringLiteral("„%1“ ist keine Nachtzeit wie 22:00-06:00.")
                .arg(txtNacht ? txtNacht->text() : QString()));
        return;
    }
    const Period period = SelectedPeriod();
    const bool sameEntries = error_.isEmpty() && !period.night && !heldPeriod_.night &&
                             period.from == heldPeriod_.from && period.to == heldPeriod_.to;
    if (sameEntries) {
        // Another night rule over the same dates: the entries held are counted again and
        // handed over, their order being the rule's no more than their dates are.
        ReportBuilder builder(period, *rule, false);
        for (const DiaryEntry& entry : report_->entries) builder.Add(entry);
        auto report = std::make_shared<Report>(builder.Finish());
        report->entries = std::move(report_->entries);
        report->undatedCount = report_->undatedCount;
        report->undatedLines = report_->undatedLines;
        report->unrecognisedCount = report_->unrecognisedCount;
        report->unrecognisedLines = report_->unrecognisedLines;
        ShowReport(std::move(report));
        return;
    }
    Show(LoadDiary(diary_, period, *rule), period);
}

void ReportWindow::Show(DiaryLoad load, const Period& period) {
    heldPeriod_ = period;
    if (!load.read) {
        error_ = load.error;
        lblMeldung->setText(error_ +
                            QStringLiteral("\nMit „Datei wählen…“ lässt sich ein anderes Tagebuch öffnen."));
        lblMeldung->setAccessibleName(lblMeldung->text());
        lblMeldung->show();
        auto empty = std::make_shared<Report>();
        empty->night = SelectedRule().value_or(NightRule{});
        ShowReport(std::move(empty));
        return;
    }
    error_.clear();
    lblMeldung->hide();
    notes_ = report::NoteFile::Open(load.read->info);
    ShowReport(std::make_shared<Report>(std::move(load.read->report)));
}

void ReportWindow::ShowReport(std::shared_ptr<Report> report) {
    report_ = std::move(report);
    const Report& r = *report_;
    model_->SetReport(report_, notes_);
    SetCount(lblEintraege, QStringLiteral("Einträge"), static_cast<std::uint64_t>(r.total.entries));
    SetCount(lblNachts, QStringLiteral("Nachts"), static_cast<std::uint64_t>(r.total.nightEntries));
    SetCount(lblLandungen, QStringLiteral("Landungen"), static_cast<std::uint64_t>(r.total.landings));
    SetCount(lblGestoerteNaechte, QStringLiteral("Gestörte Nächte"), r.nights.size());
    for (int level = 0; level < 4; ++level) {
        SetCount(lblStufe[level], QStringLiteral("Stufe %1").arg(level),
                 static_cast<std::uint64_t>(r.total.levels[static_cast<std::size_t>(level)]));
    }
    const QString odd = QStringLiteral("Nicht erkannte Zeilen: %1 · Einträge ohne Datum: %2")
                            .arg(r.unrecognisedCount)
                            .arg(r.undatedCount);
    lblZeilen->setText(odd);
    lblZeilen->setAccessibleName(odd);
    cmdZeilen->setEnabled(r.unrecognisedCount + r.undatedCount > 0);

    std::vector<int> hours(r.hours.begin(), r.hours.end());
    chrStunden->SetBars(std::move(hours), [](int hour) { return QStringLiteral("%1 Uhr").arg(hour); });

    chartDays_.clear();
    std::vector<int> perDate;
    if (r.from && *r.to - *r.from < kMostCalendarBars) {
        for (int day = *r.from; day <= *r.to; ++day) chartDays_.push_back(day);
    } else {
        for (const auto& [day, counts] : r.days) chartDays_.push_back(day);
    }
    for (const int day : chartDays_) {
        const auto found = r.days.find(day);
        perDate.push_back(found == r.days.end() ? 0 : found->second.entries);
    }
    chrTage->SetBars(std::move(perDate), [this](int bar) {
        return report::GermanDate(chartDays_[static_cast<std::size_t>(bar)]);
    });
    DateActivated(-1);
}

void ReportWindow::DateActivated(int index) {
    if (index < 0 || index >= static_cast<int>(chartDays_.size())) {
        chrTage->SetSelected(-1);
        model_->ShowDay(std::nullopt);
        const QString period =
            report_->from ? QStringLiteral("Alle Einträge vom %1 bis %2")
                                .arg(report::GermanDate(*report_->from), report::GermanDate(*report_->to))
                          : QStringLiteral("Keine Einträge im Zeitraum");
        lblAuswahl->setText(period);
        lblAuswahl->setAccessibleName(period);
        cmdAlleTage->setEnabled(false);
        return;
    }
    const int day = chartDays_[static_cast<std::size_t>(index)];
    model_->ShowDay(day);
    const QString text =
        QStringLiteral("Einträge vom %1: %2").arg(report::GermanDate(day)).arg(model_->rowCount());
    lblAuswahl->setText(text);
    lblAuswahl->setAccessibleName(text);
    cmdAlleTage->setEnabled(true);
}

Report ReportWindow::SelectedReport() const {
    const std::optional<int> day = model_->ShownDay();
    if (!day) return *report_;
    ReportBuilder builder({*day, *day, std::nullopt}, report_->night, true);
    for (const DiaryEntry& entry : report_->entries) {
        if (entry.day == *day) builder.Add(DiaryEntry(entry));
    }
    return builder.Finish();
}

std::optional<int> ReportWindow::SelectedNight() const {
    return model_->ShownDay() ? std::nullopt : heldPeriod_.night;
}

report::Person ReportWindow::Person() const { return {settings_.name, settings_.address}; }

void ReportWindow::Say(const QString& text) {
    lblStatus->setText(text);
    lblStatus->setAccessibleName(text);
}

void ReportWindow::ChooseFile() {
    const QString chosen =
        dialogs_.open(this, QStringLiteral("Tagebuch wählen"), platform::ToQString(diary_.parent_path()));
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
        const int known = cboNacht->findData(settings_.night);
        MakeLaterControls();
        if (known < 0) txtNacht->setText(settings_.night);
        cboNacht->setCurrentIndex(known >= 0 ? known : cboNacht->count() - 1);
    }
}

std::optional<report::ReadDiaryResult> ReportWindow::ReadAgain(const report::ReadOptions& options) {
    DiaryLoad fresh = LoadDiary(diary_, heldPeriod_, report_->night, options);
    if (!fresh.read) services_.ShowMessage(this, fresh.error);
    return std::move(fresh.read);
}

QString ReportWindow::CreatedText() const {
    const LocalDateTime now = services_.Now();
    return QStringLiteral("%1.%2.%3 %4:%5")
        .arg(now.day)
        .arg(now.month)
        .arg(now.year)
        .arg(now.hour)
        .arg(now.minute, 2, 10, QLatin1Char('0'));
}

void ReportWindow::SaveAs(const QString& title, const char* suggested, const QString& filter,
                          const QString& saved, const report::ReadOptions& options,
                          const std::function<void(const QString&, const report::ReadDiaryResult&)>& write) {
    const QString name =
        dialogs_.save(this, title, platform::ToQString(diary_.parent_path() / suggested), filter);
    if (name.isEmpty()) return;
    if (report::IsDiary(name, diary_)) {
        services_.ShowMessage(this, QStringLiteral("Das Tagebuch selbst wird nicht überschrieben."));
        return;
    }
    const std::optional<report::ReadDiaryResult> read = ReadAgain(options);
    if (!read) return;
    try {
        write(name, *read);
        Say(saved.arg(platform::Readable(name)));
    } catch (const std::exception& failure) {
        services_.ShowMessage(this, QString::fromUtf8(failure.what()));
    }
}

void ReportWindow::SavePdf() {
    // Read again, hashed: the footer must name exactly the bytes that were counted.
    SaveAs(QStringLiteral("PDF speichern"), "Bericht.pdf", QStringLiteral("PDF-Dateien (*.pdf)"),
           QStringLiteral("PDF gespeichert: %1"), {true, true, true},
           [this](const QString& name, const report::ReadDiaryResult& read) {
               report::WriteOutput(name, report::PdfBytes(read.report, read.info, Person(), CreatedText()));
           });
}

void ReportWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Fluglärm-Tagebuch"));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const std::optional<report::ReadDiaryResult> read = ReadAgain({true, true, true});
    if (!read) return;
    report::PaintReport(printer, read->report, read->info, Person(), CreatedText());
    Say(QStringLiteral("An den Drucker geschickt."));
}

void ReportWindow::SaveCsv() {
    SaveAs(QStringLiteral("CSV speichern"), "Bericht.csv", QStringLiteral("CSV-Dateien (*.csv)"),
           QStringLiteral("CSV gespeichert: %1"), {true, true, false},
           [](const QString& name, const report::ReadDiaryResult& read) {
               report::WriteOutput(name, CsvText(read.report.entries, read.report.night));
           });
}

void ReportWindow::CopyComplaint() {
    const Report selected = SelectedReport();
    const report::Complaint complaint = report::ComplaintOf(selected, Person(), SelectedNight());
    QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, settings_.recipient));
    Say(QStringLiteral("Beschwerdetext kopiert: %1 Ereignisse.").arg(selected.total.entries));
}

void ReportWindow::WriteMail() {
    if (settings_.recipient.isEmpty()) {
        services_.ShowMessage(
            this, QStringLiteral("Bitte zuerst unter „Angaben…“ den E-Mail-Empfänger eintragen."));
        return;
    }
    const Report selected = SelectedReport();
    const report::Complaint complaint = report::ComplaintOf(selected, Person(), SelectedNight());
    QByteArray url = report::MailtoUrl(settings_.recipient, complaint.subject, complaint.body);
    const bool tooLong = url.size() > report::kMailtoLimit;
    if (tooLong) {
        QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, settings_.recipient));
        url = report::MailtoUrl(settings_.recipient, complaint.subject, {});
    }
    services_.OpenMail(url, [this](const QString& failure) { services_.ShowMessage(this, failure); });
    if (tooLong) {
        services_.ShowMessage(
            this, QStringLiteral("Der Beschwerdetext ist zu lang für einen E-Mail-Link. Er ist in der "
                                 "Zwischenablage: bitte in die E-Mail einfügen."));
    }
    Say(QStringLiteral("E-Mail an %1 geöffnet.").arg(settings_.recipient));
}

void ReportWindow::ShowOddLines() {
    QStringList lines;
    lines << QStringLiteral("Nicht erkannte Zeilen: %1").arg(report_->unrecognisedCount);
    for (const UnrecognisedLine& line : report_->unrecognisedLines) {
        lines << QStringLiteral("Zeile %1: %2").arg(line.line).arg(QString::fromStdString(line.text));
    }
    if (report_->unrecognisedCount > report_->unrecognisedLines.size()) lines << QStringLiteral("…");
    lines << QString() << QStringLiteral("Einträge vor dem ersten Datum: %1").arg(report_->undatedCount);
    QStringList numbers;
    for (const std::uint64_t line : report_->undatedLines) numbers << QString::number(line);
    if (!numbers.isEmpty()) lines << QStringLiteral("Zeilen %1").arg(numbers.join(QStringLiteral(", ")));
    if (report_->undatedCount > report_->undatedLines.size()) lines << QStringLiteral("…");

    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("dlgZeilen"));
    dialog->setWindowTitle(QStringLiteral("Nicht gezählte Zeilen"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* text = Named(new QPlainTextEdit(lines.join(QLatin1Char('\n')), dialog), QStringLiteral("txtZeilen"),
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
