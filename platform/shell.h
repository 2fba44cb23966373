// Turns the launch commands of the window into something the desktop can open safely.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace suelvan::platform {

struct OpenTarget {
    enum class Kind { LocalFile, WebAddress, MailLink };
    Kind kind;
    QString target;  // an absolute path, an http(s) URL with forward slashes, or a mailto: URL

    friend bool operator==(const OpenTarget&, const OpenTarget&) = default;
};

// "\"<absolute path>\"" opens a file; "http:\\..." or "https:\\..." a web address whose
// backslashes become slashes. Anything else is refused: nothing is ever handed to a
// command interpreter.
std::optional<OpenTarget> ParseShellCommand(const QString& command);

// Starts the desktop's opener for the target without waiting for it; `failed` gets a
// German description if the opener reports that it could not open it.
void OpenWithDesktop(const OpenTarget& target, QObject* context, std::function<void(const QString&)> failed);

// An e-mail handed to the desktop's mail program.
struct Mail {
    QStringList to;
    QString subject;
    QString body;
    QString attachment;  // absolute path of a file to attach
};

// Starts xdg-email with recipients, subject, body and attachment, without waiting for it;
// false, and nothing started, where xdg-email is not installed. `failed` as above.
bool ComposeWithDesktop(const Mail& mail, QObject* context, std::function<void(const QString&)> failed);

}  // namespace suelvan::platform
