// The counts of a report as JSON, compact, keys in alphabetical order; made day by day as
// it is written, so a million days take no more memory than a few.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "core/statistics.h"
#include "report/read_diary.h"

namespace suelvan::report {

class JsonWriter {
   public:
    JsonWriter(const Report& report, const DiaryInfo& diary);
    ~JsonWriter();
    // Appends to `block` until it holds `bytes`; false once all is out.
    bool Next(std::string& block, std::size_t bytes);

   private:
    struct State;
    std::unique_ptr<State> state_;
};

// The whole text, for small reports.
std::string JsonText(const Report& report, const DiaryInfo& diary);
// Written as WriteOutput writes. Throws Failure.
void WriteJson(platform::OutputFile& output, const Report& report, const DiaryInfo& diary);

}  // namespace suelvan::report
