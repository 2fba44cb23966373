// The report window's "Angaben": who complains, to whom, under which night rule; kept in
// an INI file beside the program, portable like the diary.
#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>

class QLineEdit;
class QPlainTextEdit;

namespace suelvan {

class NightField;

struct ReportSettings {
    QString name;
    QString address;
    QString authority;  // the office complaints are addressed to
    QString recipient;  // e-mail address of complaints, several separated by commas
    QString night = QStringLiteral("22:00-06:00");

    friend bool operator==(const ReportSettings&, const ReportSettings&) = default;
};

// "suelvan-bericht.ini" in the folder.
std::filesystem::path SettingsPath(const std::filesystem::path& programDir);
ReportSettings LoadSettings(const std::filesystem::path& file);
// False when the file cannot be written (a read-only folder); the values then live on
// only in memory.
bool SaveSettings(const std::filesystem::path& file, const ReportSettings& settings);

class SettingsDialog : public QDialog {
    Q_OBJECT

   public:
    SettingsDialog(const ReportSettings& settings, QWidget* parent = nullptr);
    ReportSettings Settings() const;

   private:
    void accept() override;

    QLineEdit* name_;
    QPlainTextEdit* address_;
    QLineEdit* authority_;
    QLineEdit* recipient_;
    NightField* night_;
    ReportSettings settings_;
};

}  // namespace suelvan
