#include "ui/complaint_sender.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "platform/qt_text.h"
#include "report/output.h"

namespace suelvan {

QStringList Addresses(const QString& recipient) {
    QStringList addresses;
    for (const QString& address : recipient.split(QLatin1Char(','))) {
        if (!address.trimmed().isEmpty()) addresses << address.trimmed();
    }
    return addresses;
}

ComplaintSender::ComplaintSender(platform::Services& services, QWidget* window)
    : QObject(window), services_(services), window_(window) {}

void ComplaintSender::Copy(const Complaint& c) {
    const report::Complaint complaint = report::ComplaintOf(*c.report, c.letter, c.note, c.today, c.night);
    QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, c.letter.authority));
    emit said(QStringLiteral("Beschwerdetext kopiert: %1 Ereignisse.").arg(c.report->total.entries));
}

QString ComplaintSender::WriteAttachment(const Complaint& c) {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/suelvan-XXXXXX"));
    if (!folder.isValid()) {
        services_.ShowMessage(window_,
                              QStringLiteral("Der Bericht für den Anhang lässt sich nicht anlegen: %1")
                                  .arg(folder.errorString()));
        return {};
    }
    const QString path = folder.filePath(QStringLiteral("Fluglaerm-Bericht.pdf"));
    try {
        const QByteArray pdf = c.pdf();
        report::WriteOutput(platform::ToPath(path), std::nullopt,
                            std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())));
    } catch (const std::exception& failure) {
        services_.ShowMessage(window_, QString::fromUtf8(failure.what()));
        return {};
    }
    folder.setAutoRemove(false);
    return path;
}

void ComplaintSender::Mail(const Complaint& c) {
    const report::Complaint complaint = report::ComplaintOf(*c.report, c.letter, c.note, c.today, c.night);
    const auto failed = [this](const QString& failure) { services_.ShowMessage(window_, failure); };
    const QString attachment = WriteAttachment(c);
    if (attachment.isEmpty()) return;
    if (services_.ComposeMail({Addresses(c.recipient), complaint.subject, complaint.body, attachment},
                              failed)) {
        emit said(QStringLiteral("E-Mail an %1 mit dem Bericht als Anhang geöffnet.").arg(c.recipient));
        return;
    }
    // Without xdg-email only a link: it cannot carry the attachment.
    QByteArray url = report::MailtoUrl(c.recipient, complaint.subject, complaint.body);
    if (url.size() <= report::kMailtoLimit) {
        services_.OpenMail(url, failed);
        emit said(
            QStringLiteral("E-Mail an %1 geöffnet, ohne Anhang: den Bericht bitte selbst anhängen (%2).")
                .arg(c.recipient, attachment));
        return;
    }
    QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, c.letter.authority));
    services_.OpenMail(report::MailtoUrl(c.recipient, complaint.subject, {}), failed);
    emit said(
        QStringLiteral("E-Mail an %1 geöffnet; der Text ist in der Zwischenablage, der Bericht liegt in %2.")
            .arg(c.recipient, attachment));
    services_.ShowMessage(window_,
                          QStringLiteral("Der Beschwerdetext ist zu lang für einen E-Mail-Link. Er ist in "
                                         "der Zwischenablage: bitte in die E-Mail einfügen."));
}

}  // namespace suelvan
