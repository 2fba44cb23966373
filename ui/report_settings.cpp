#include "ui/report_settings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include "core/diary.h"
#include "platform/services.h"

namespace suelvan {

std::filesystem::path SettingsPath(const std::filesystem::path& programDir) {
    return programDir / "suelvan-bericht.ini";
}

ReportSettings LoadSettings(const std::filesystem::path& file) {
    const QSettings ini(platform::ToQString(file), QSettings::IniFormat);
    ReportSettings s;
    s.name = ini.value(QStringLiteral("Name")).toString();
    s.address = ini.value(QStringLiteral("Anschrift")).toString();
    s.recipient = ini.value(QStringLiteral("Empfaenger")).toString();
    const QString night = ini.value(QStringLiteral("Nacht"), s.night).toString();
    if (ParseNightRule(night.toStdString())) s.night = night;
    return s;
}

bool SaveSettings(const std::filesystem::path& file, const ReportSettings& s) {
    QSettings ini(platform::ToQString(file), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Name"), s.name);
    ini.setValue(QStringLiteral("Anschrift"), s.address);
    ini.setValue(QStringLiteral("Empfaenger"), s.recipient);
    ini.setValue(QStringLiteral("Nacht"), s.night);
    ini.sync();
    return ini.status() == QSettings::NoError;
}

const std::vector<NightChoice>& NightChoices() {
    static const std::vector<NightChoice> kChoices{
        {QStringLiteral("22:00–6:00 (Deutschland)"), QStringLiteral("22:00-06:00")},
        {QStringLiteral("23:00–5:00"), QStringLiteral("23:00-05:00")},
        {QStringLiteral("0:00–5:00"), QStringLiteral("00:00-05:00")},
        {QStringLiteral("23:00–7:00"), QStringLiteral("23:00-07:00")},
        {QStringLiteral("22:00–7:00"), QStringLiteral("22:00-07:00")},
    };
    return kChoices;
}

SettingsDialog::SettingsDialog(const ReportSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Angaben"));
    auto* form = new QFormLayout(this);
    const auto named = [](QWidget* w, const QString& name, const QString& accessible) {
        w->setObjectName(name);
        w->setAccessibleName(accessible);
        return w;
    };
    name_ = new QLineEdit(settings.name, this);
    address_ = new QPlainTextEdit(settings.address, this);
    address_->setTabChangesFocus(true);
    address_->setFixedHeight(address_->fontMetrics().height() * 4 + 10);
    recipient_ = new QLineEdit(settings.recipient, this);
    night_ = new QComboBox(this);
    for (const NightChoice& choice : NightChoices()) night_->addItem(choice.caption, choice.rule);
    night_->addItem(QStringLiteral("Eigene Nachtzeit"), QString());
    customNight_ = new QLineEdit(this);
    customNight_->setPlaceholderText(QStringLiteral("H:MM-H:MM"));
    const int known = night_->findData(settings.night);
    night_->setCurrentIndex(known >= 0 ? known : night_->count() - 1);
    if (known < 0) customNight_->setText(settings.night);
    customNight_->setEnabled(known < 0);
    connect(night_, &QComboBox::currentIndexChanged, this,
            [this] { customNight_->setEnabled(night_->currentData().toString().isEmpty()); });
    form->addRow(QStringLiteral("Name"), named(name_, QStringLiteral("txtName"), QStringLiteral("Name")));
    form->addRow(QStringLiteral("Anschrift"),
                 named(address_, QStringLiteral("txtAnschrift"), QStringLiteral("Anschrift")));
    form->addRow(QStringLiteral("E-Mail-Empfänger"),
                 named(recipient_, QStringLiteral("txtEmpfaenger"), QStringLiteral("E-Mail-Empfänger")));
    form->addRow(QStringLiteral("Nachtzeit"),
                 named(night_, QStringLiteral("cboNachtzeit"), QStringLiteral("Nachtzeit")));
    form->addRow(QString(), named(customNight_, QStringLiteral("txtEigeneNachtzeit"),
                                  QStringLiteral("Eigene Nachtzeit")));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    named(ok, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    named(cancel, QStringLiteral("cmdAbbrechen"), QStringLiteral("Abbrechen"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void SettingsDialog::accept() {
    QString night = night_->currentData().toString();
    if (night.isEmpty()) night = customNight_->text().trimmed();
    if (!ParseNightRule(night.toStdString())) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Die Nachtzeit „%1“ ist keine Zeitspanne wie 22:00-06:00.").arg(night));
        customNight_->setFocus();
        return;
    }
    settings_ = {name_->text().trimmed(), address_->toPlainText().trimmed(), recipient_->text().trimmed(),
                 night};
    QDialog::accept();
}

ReportSettings SettingsDialog::Settings() const { return settings_; }

}  // namespace suelvan
