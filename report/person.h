// Who complains: printed on the report and signed under a complaint.
#pragma once

#include <QString>

namespace suelvan::report {

struct Person {
    QString name;
    QString address;
};

}  // namespace suelvan::report
