#include "platform/shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include "platform/qt_text.h"

namespace suelvan::platform {
namespace {

QString CouldNotOpen(const OpenTarget& target, const QString& reason = {}) {
    QString text =
        target.kind == OpenTarget::Kind::LocalFile
            ? QStringLiteral("Die Datei „%1“ konnte nicht geöffnet werden.").arg(Readable(target.target))
        : target.kind == OpenTarget::Kind::MailLink
            ? QStringLiteral("Das E-Mail-Programm konnte nicht geöffnet werden.")
            : QStringLiteral("Die Seite „%1“ konnte nicht geöffnet werden.").arg(target.target);
    if (!reason.isEmpty()) text += QLatin1Char(' ') + reason;
    return text;
}

// xdg-open's documented exit codes.
QString ReasonOfExitCode(int code) {
    switch (code) {
        case 2: return QStringLiteral("Sie existiert nicht.");
        case 3: return QStringLiteral("Es ist kein Programm dafür eingerichtet.");
        default: return {};
    }
}

// What the opener gets: the path itself, or, where the folder's name is no UTF-8, a
// file URL that carries its bytes percent-encoded, since arguments travel as text.
QString OpenerArgument(const OpenTarget& target) {
    if (target.kind != OpenTarget::Kind::LocalFile) return target.target;
    const QByteArray bytes = QByteArray::fromStdString(ToPath(target.target).native());
    if (QString::fromUtf8(bytes).toUtf8() == bytes) return target.target;
    return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

}  // namespace

std::optional<OpenTarget> ParseShellCommand(const QString& command) {
    if (command.size() > 2 && command.startsWith(QLatin1Char('"')) && command.endsWith(QLatin1Char('"'))) {
        // Only the outer quotes are the command's: a folder name may hold quotes itself.
        const QString path = command.mid(1, command.size() - 2);
        // An absolute path cannot be mistaken for an option of the opener.
        if (!QDir::isAbsolutePath(path)) return std::nullopt;
        return OpenTarget{OpenTarget::Kind::LocalFile, QDir::cleanPath(path)};
    }
    for (const QLatin1String scheme : {QLatin1String("http:\\\\"), QLatin1String("https:\\\\")}) {
        if (!command.startsWith(scheme)) continue;
        QString address = command;
        address.replace(QLatin1Char('\\'), QLatin1Char('/'));
        const QUrl url(address, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty()) return std::nullopt;
        return OpenTarget{OpenTarget::Kind::WebAddress, url.toString(QUrl::FullyEncoded)};
    }
    return std::nullopt;
}

namespace {

// Runs `program` without a shell; `failed` hears when it cannot start or reports failure.
void Start(const QString& program, const QStringList& arguments, QObject* context,
           const std::function<void(const QString&)>& failed, const std::function<QString(int)>& reason) {
    auto* process = new QProcess(context);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::errorOccurred, context, [=](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) return;
        failed(reason(-1) + QLatin1Char(' ') + process->errorString());
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, context, [=](int code, QProcess::ExitStatus status) {
        if (status != QProcess::NormalExit || code != 0) failed(reason(code));
        process->deleteLater();
    });
    process->start(program, arguments);
}

}  // namespace

void OpenWithDesktop(const OpenTarget& target, QObject* context, std::function<void(const QString&)> failed) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Started directly, with the target as its one argument, so its exit status tells.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        failed(CouldNotOpen(target, QStringLiteral("Das Programm xdg-open fehlt.")));
        return;
    }
    Start(opener, {OpenerArgument(target)}, context, failed, [target](int code) {
        return CouldNotOpen(target, code < 0 ? QString() : ReasonOfExitCode(code)).trimmed();
    });
#else
    Q_UNUSED(context);
    const QUrl url = target.kind == OpenTarget::Kind::LocalFile ? QUrl::fromLocalFile(target.target)
                                                                : QUrl(target.target, QUrl::StrictMode);
    if (!QDesktopServices::openUrl(url)) failed(CouldNotOpen(target));
#endif
}

bool ComposeWithDesktop(const Mail& mail, QObject* context, std::function<void(const QString&)> failed) {
    const QString composer = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (composer.isEmpty()) return false;
    QStringList arguments{QStringLiteral("--utf8"), QStringLiteral("--subject"), mail.subject,
                          QStringLiteral("--body"), mail.body};
    if (!mail.attachment.isEmpty()) arguments << QStringLiteral("--attach") << mail.attachment;
    for (const QString& address : mail.to) {
        // An address is never taken for an option.
        if (!address.isEmpty() && !address.startsWith(QLatin1Char('-'))) arguments << address;
    }
    Start(composer, arguments, context, failed,
          [](int) { return QStringLiteral("Das E-Mail-Programm konnte nicht geöffnet werden."); });
    return true;
}

}  // namespace suelvan::platform
