#include "ui/complaint_sender.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QWidget>

#include "report/complaint.h"

namespace suelvan {

ComplaintSender::ComplaintSender(platform::Services& services, QWidget* window)
    : QObject(window), services_(services), window_(window) {}

void ComplaintSender::Copy(const Complaint& c) {
    const report::Complaint complaint = report::ComplaintOf(*c.report, c.person, c.night);
    QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, c.recipient));
    emit said(QStringLiteral("Beschwerdetext kopiert: %1 Ereignisse.").arg(c.report->total.entries));
}

void ComplaintSender::Mail(const Complaint& c) {
    if (c.recipient.isEmpty()) {
        services_.ShowMessage(
            window_, QStringLiteral("Bitte zuerst unter „Angaben…“ den E-Mail-Empfänger eintragen."));
        return;
    }
    const report::Complaint complaint = report::ComplaintOf(*c.report, c.person, c.night);
    QByteArray url = report::MailtoUrl(c.recipient, complaint.subject, complaint.body);
    const bool tooLong = url.size() > report::kMailtoLimit;
    if (tooLong) {
        QGuiApplication::clipboard()->setText(report::ComplaintText(complaint, c.recipient));
        url = report::MailtoUrl(c.recipient, complaint.subject, {});
    }
    services_.OpenMail(url, [this](const QString& failure) { services_.ShowMessage(window_, failure); });
    if (tooLong) {
        services_.ShowMessage(
            window_, QStringLiteral("Der Beschwerdetext ist zu lang für einen E-Mail-Link. Er ist in der "
                                    "Zwischenablage: bitte in die E-Mail einfügen."));
    }
    emit said(QStringLiteral("E-Mail an %1 geöffnet.").arg(c.recipient));
}

}  // namespace suelvan
