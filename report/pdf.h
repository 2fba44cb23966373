// The report for the authority: A4 pages, saved as a PDF or printed.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/statistics.h"
#include "report/person.h"
#include "report/read_diary.h"

class QPagedPaintDevice;

namespace suelvan::report {

// The pages; `created` is the creation time shown in the footer.
void PaintReport(QPagedPaintDevice& device, const Report& report, const DiaryInfo& diary,
                 const Person& person, const QString& created);
QByteArray PdfBytes(const Report& report, const DiaryInfo& diary, const Person& person,
                    const QString& created);

}  // namespace suelvan::report
