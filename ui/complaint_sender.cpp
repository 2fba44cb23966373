#include "ui/complaint_sender.h"

#include <QClipboard>
#include <QDir>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

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

namespace {

// The PDF in a fresh folder of the user's temporary files: the mail program reads it after
// we are done. Its path, or what went wrong.
struct Attachment {
    QString path;
    QString failure;
};

Attachment WriteAttachment(const std::function<QByteArray()>& pdf) {
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/suelvan-XXXXXX"));
    if (!folder.isValid())
        return {{},
                QStringLiteral("Der Bericht für den Anhang lässt sich nicht anlegen: %1")
                    .arg(folder.errorString())};
    const QString path = folder.filePath(QStringLiteral("Fluglaerm-Bericht.pdf"));
    try {
        const QByteArray bytes = pdf();
        report::WriteOutput(platform::ToPath(path), std::nullopt,
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::exception& failure) {
        return {{}, QString::fromUtf8(failure.what())};
    }
    folder.setAutoRemove(false);
    return {path, {}};
}

}  // namespace

void ComplaintSender::Mail(const Complaint& c) {
    if (busy_) return;
    const report::Complaint text = report::ComplaintOf(*c.report, c.letter, c.note, c.today, c.night);
    // The PDF of a long period takes a while: made off the window's thread.
    auto* done = new QFutureWatcher<Attachment>(this);
    connect(done, &QFutureWatcher<Attachment>::finished, this, [=, this] {
        busy_ = false;
        const Attachment attachment = done->result();
        done->deleteLater();
        if (!attachment.failure.isEmpty()) {
            emit said(QString());
            services_.ShowMessage(window_, attachment.failure);
            return;
        }
        Send(c, text, attachment.path);
    });
    busy_ = true;
    emit said(QStringLiteral("Der Bericht für die E-Mail wird erstellt …"));
    done->setFuture(QtConcurrent::run([pdf = c.pdf] { return WriteAttachment(pdf); }));
}

void ComplaintSender::Send(const Complaint& c, const report::Complaint& complaint,
                           const QString& attachment) {
    const auto failed = [this](const QString& failure) { services_.ShowMessage(window_, failure); };
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
