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

namespace {

// Written by hand without quotes, "a@b, c@d" reads as a list: the commas are the user's.
QString Text(const QSettings& ini, const QString& key) {
    const QVariant value = ini.value(key);
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                    : value.toString();
}

}  // namespace

ReportSettings LoadSettings(const std::filesystem::path& file) {
    const QSettings ini(platform::ToQString(file), QSettings::IniFormat);
    ReportSettings s;
    s.name = Text(ini, QStringLiteral("Name"));
    s.address = Text(ini, QStringLiteral("Anschrift"));
    s.authority = Text(ini, QStringLiteral("Stelle"));
    s.recipient = Text(ini, QStringLiteral("Empfaenger"));
    const QString night = ini.value(QStringLiteral("Nacht"), s.night).toString();
    if (ParseNightRule(night.toStdString())) s.night = night;
    return s;
}

bool SaveSettings(const std::filesystem::path& file, const ReportSettings& s) {
    QSettings ini(platform::ToQString(file), QSettings::IniFormat);
    ini.setValue(QStringLiteral("Name"), s.name);
    ini.setValue(QStringLiteral("Anschrift"), s.address);
    ini.setValue(QStringLiteral("Stelle"), s.authority);
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
    authority_ = new QLineEdit(settings.authority, this);
    authority_->setPlaceholderText(QStringLiteral("z. B. Fluglärmschutzbeauftragte des Flughafens"));
    recipient_ = new QLineEdit(settings.recipient, this);
    night_ = new NightField({QStringLiteral("cboNachtzeit"), QStringLiteral("Nachtzeit"),
                             QStringLiteral("Eigene Nachtzeit"), QStringLiteral("txtEigeneNachtzeit")},
                            this);
    night_->OwnField();
    night_->SetRule(settings.night);
    form->addRow(QStringLiteral("Name"), Named(name_, QStringLiteral("txtName"), QStringLiteral("Name")));
    form->addRow(QStringLiteral("Anschrift"),
                 Named(address_, QStringLiteral("txtAnschrift"), QStringLiteral("Anschrift")));
    form->addRow(QStringLiteral("Stelle"),
                 Named(authority_, QStringLiteral("txtStelle"), QStringLiteral("Stelle")));
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
    settings_ = {name_->text().trimmed(), address_->toPlainText().trimmed(), authority_->text().trimmed(),
                 recipient_->text().trimmed(), night};
    QDialog::accept();
}

ReportSettings SettingsDialog::Settings() const { return settings_; }

}  // namespace suelvan
