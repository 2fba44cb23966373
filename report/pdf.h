// The report for the authority: A4 pages, saved as a PDF or printed.
#pragma once

#include <QByteArray>
#include <QString>

#include "core/calendar.h"
#include "core/statistics.h"
#include "report/person.h"
#include "report/read_diary.h"

class QPagedPaintDevice;
class QPrinter;

namespace suelvan::report {

// The pages; `created` is the time shown in the footer, and the period shown ends there.
void PaintReport(QPagedPaintDevice& device, const Report& report, const DiaryInfo& diary,
                 const Person& person, const LocalDateTime& created);
QByteArray PdfBytes(const Report& report, const DiaryInfo& diary, const Person& person,
                    const LocalDateTime& created);
// A4 without margins at the PDF's resolution: printed, the report has the saved PDF's pages.
void PreparePrinter(QPrinter& printer);

}  // namespace suelvan::report
