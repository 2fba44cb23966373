// What the window needs from the world. Tests hand the window substitutes.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/calendar.h"
#include "core/day_header.h"
#include "platform/shell.h"

class QWidget;

namespace suelvan::platform {

class Services {
   public:
    virtual ~Services() = default;

    // With its offset from UTC, so minutes back can be counted as elapsed time.
    virtual LocalDateTime Now() = 0;
    // The local wall-clock reading at an instant, in the user's time zone.
    virtual LocalDateTime LocalAt(std::int64_t unixSeconds) = 0;
    // The user's full weekday names, Sunday first.
    virtual WeekdayNames Weekdays() = 0;
    // The folder of the running executable, as the system's own bytes; empty when it
    // cannot be told.
    virtual std::filesystem::path ProgramDir() = 0;
    // Hands a quoted local path or an "http:\\" address to the desktop's opener.
    // `failed` receives a German description if nothing could be opened; it may be
    // called later, from the event loop.
    virtual void ShellOpen(const QString& command, std::function<void(const QString&)> failed) = 0;
    // Hands a "mailto:" URL, percent-encoded, to the same opener.
    virtual void OpenMail(const QByteArray& mailto, std::function<void(const QString&)> failed) = 0;
    // Hands an e-mail, its attachment included, to the desktop's mail program; false
    // where there is none to hand it to.
    virtual bool ComposeMail(const Mail& mail, std::function<void(const QString&)> failed) = 0;
    // A modal box with the given text and only an OK button; returns once it is closed.
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
};

// The real desktop.
class SystemServices final : public Services {
   public:
    LocalDateTime Now() override;
    LocalDateTime LocalAt(std::int64_t unixSeconds) override;
    WeekdayNames Weekdays() override;
    std::filesystem::path ProgramDir() override;
    void ShellOpen(const QString& command, std::function<void(const QString&)> failed) override;
    void OpenMail(const QByteArray& mailto, std::function<void(const QString&)> failed) override;
    bool ComposeMail(const Mail& mail, std::function<void(const QString&)> failed) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
};

// Application-wide title of the window and of every message box.
inline const QString kAppTitle = QStringLiteral("Sülvan Logger");

// Qt's own texts (dialog buttons, command-line help) in German, like the rest.
void LoadGermanQtTexts();

}  // namespace suelvan::platform
