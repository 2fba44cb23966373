// A substitute world for the window: a clock the test sets, a recorded opener and
// recorded message boxes.
#pragma once

#include <QApplication>
#include <QString>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/services.h"
#include "tests/german.h"

namespace suelvan::test {

class FakeServices : public platform::Services {
   public:
    LocalDateTime Now() override { return now; }
    LocalDateTime LocalAt(std::int64_t unixSeconds) override {
        return FromUnixSeconds(unixSeconds, now.utcOffset);
    }
    WeekdayNames Weekdays() override { return names; }
    std::filesystem::path ProgramDir() override { return programDir; }
    void ShellOpen(const QString& command, std::function<void(const QString&)> failed) override {
        opened.push_back(command);
        if (openFailure) failed(*openFailure);
    }
    void OpenMail(const QByteArray& mailto, std::function<void(const QString&)> failed) override {
        mailed.push_back(mailto);
        if (openFailure) failed(*openFailure);
    }
    // Recorded; or, with `desktopMail`, handed to the real xdg-email found in PATH.
    bool ComposeMail(const platform::Mail& mail, std::function<void(const QString&)> failed) override {
        if (desktopMail)
            return platform::ComposeWithDesktop(mail, QApplication::instance(), std::move(failed));
        if (!mailProgram) return false;
        composed.push_back(mail);
        return true;
    }
    void ShowMessage(QWidget*, const QString& text) override {
        messages.push_back(text);
        cursorBusyDuringMessage = QApplication::overrideCursor() != nullptr;
    }

    LocalDateTime now{2026, 12, 8, 14, 30, 0};
    WeekdayNames names = kGerman;
    std::filesystem::path programDir = "/nowhere";
    std::optional<QString> openFailure;
    std::vector<QString> opened;
    std::vector<QByteArray> mailed;
    bool mailProgram = true;
    bool desktopMail = false;
    std::vector<platform::Mail> composed;
    std::vector<QString> messages;
    bool cursorBusyDuringMessage = false;
};

}  // namespace suelvan::test
