// The counts of a report as JSON, compact.
#pragma once

#include <QByteArray>

#include "core/statistics.h"
#include "report/read_diary.h"

namespace suelvan::report {

QByteArray JsonBytes(const Report& report, const DiaryInfo& diary);

}  // namespace suelvan::report
