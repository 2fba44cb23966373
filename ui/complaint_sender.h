// A complaint made from the report shown: copied to the clipboard, or handed to the mail
// program as a mailto: link (too long a text goes to the clipboard instead).
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "core/statistics.h"
#include "platform/services.h"
#include "report/person.h"

class QWidget;

namespace suelvan {

class ComplaintSender : public QObject {
    Q_OBJECT

   public:
    struct Complaint {
        std::shared_ptr<const Report> report;  // the events complained about
        std::optional<int> night;              // names the night when the period is one
        report::Person person;
        QString recipient;  // e-mail address
    };

    ComplaintSender(platform::Services& services, QWidget* window);
    void Copy(const Complaint& complaint);
    void Mail(const Complaint& complaint);

   signals:
    void said(const QString& text);

   private:
    platform::Services& services_;
    QWidget* window_;
};

}  // namespace suelvan
