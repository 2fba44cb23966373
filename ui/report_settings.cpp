#include "ui/report_settings.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include "core/night_rule.h"
#include "platform/qt_text.h"
#include "ui/accessible.h"
#include "ui/night_field.h"

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

SettingsDialog::SettingsDialog(const ReportSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Angaben"));
    auto* form = new QFormLayout(this);
    name_ = new QLineEdit(settings.name, this);
    address_ = new QPlainTextEdit(settings.address, this);
    address_->setTabChangesFocus(true);
    address_->setFixedHeight(address_->fontMetrics().height() * 4 + 10);
    recipient_ = new QLineEdit(settings.recipient, this);
    night_ = new NightField({QStringLiteral("cboNachtzeit"), QStringLiteral("Nachtzeit"),
                             QStringLiteral("Eigene Nachtzeit"), QStringLiteral("txtEigeneNachtzeit")},
                            this);
    night_->OwnField();
    night_->SetRule(settings.night);
    form->addRow(QStringLiteral("Name"), Named(name_, QStringLiteral("txtName"), QStringLiteral("Name")));
    form->addRow(QStringLiteral("Anschrift"),
                 Named(address_, QStringLiteral("txtAnschrift"), QStringLiteral("Anschrift")));
    form->addRow(QStringLiteral("E-Mail-Empfänger"),
                 Named(recipient_, QStringLiteral("txtEmpfaenger"), QStringLiteral("E-Mail-Empfänger")));
    form->addRow(QStringLiteral("Nachtzeit"), night_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    Named(ok, QStringLiteral("cmdOK"), QStringLiteral("OK"));
    Named(cancel, QStringLiteral("cmdAbbrechen"), QStringLiteral("Abbrechen"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void SettingsDialog::accept() {
    const QString night = night_->Rule();
    if (!night_->Parsed()) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Die Nachtzeit „%1“ ist keine Zeitspanne wie 22:00-06:00.").arg(night));
        night_->OwnField()->setFocus();
        return;
    }
    settings_ = {name_->text().trimmed(), address_->toPlainText().trimmed(), recipient_->text().trimmed(),
                 night};
    QDialog::accept();
}

ReportSettings SettingsDialog::Settings() const { return settings_; }

}  // namespace suelvan
