// A complaint made from the part of the report chosen: copied to the clipboard, or handed
// to the mail program with the report's PDF attached. Where no mail program takes an
// attachment, a mailto: link carries the text; where that is too long, the clipboard.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "core/statistics.h"
#include "platform/services.h"
#include "report/complaint.h"

class QWidget;

namespace suelvan {

class ComplaintSender : public QObject {
    Q_OBJECT

   public:
    struct Complaint {
        std::shared_ptr<const Report> report;  // the events complained about
        std::optional<int> night;              // names the night when the report is one
        report::Letter letter;
        QString recipient;  // e-mail addresses, separated by commas
        report::NoteOfEntry note;
        int today = 0;
        // The PDF of the same events, to attach; throws Failure.
        std::function<QByteArray()> pdf;
    };

    ComplaintSender(platform::Services& services, QWidget* window);
    void Copy(const Complaint& complaint);
    // The attachment is made off the window's thread; the mail program is started after.
    void Mail(const Complaint& complaint);
    bool Busy() const { return busy_; }

   signals:
    void said(const QString& text);

   private:
    // Hands the mail on once its attachment is written: to xdg-email, else as a link.
    void Send(const Complaint& complaint, const report::Complaint& text, const QString& attachment);

    platform::Services& services_;
    QWidget* window_;
    bool busy_ = false;
};

// "a@b, c@d" as single addresses.
QStringList Addresses(const QString& recipient);

}  // namespace suelvan
