// The outputs of one run of suelvan-bericht, each written whole or not at all.
#pragma once

#include <QString>
#include <vector>

#include "report/command_line.h"
#include "report/person.h"
#include "report/read_diary.h"

namespace suelvan::report {

// How the diary must be read for these outputs.
ReadOptions ReadOptionsFor(const std::vector<Output>& outputs);

// CSV and JSON are made and written on threads of their own beside the PDF, which stays
// on this one with the fonts. Throws Failure, for the first output named that failed.
void WriteOutputs(const std::vector<Output>& outputs, const ReadDiaryResult& read, const Person& person,
                  const QString& created);

}  // namespace suelvan::report
