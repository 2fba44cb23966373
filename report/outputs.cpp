#include "report/outputs.h"

#include <algorithm>
#include <exception>
#include <future>

#include "report/csv_output.h"
#include "report/json.h"
#include "report/output.h"
#include "report/pdf.h"

namespace suelvan::report {
namespace {

bool Wants(const std::vector<Output>& outputs, std::string_view kind) {
    return std::any_of(outputs.begin(), outputs.end(), [&](const Output& o) { return o.kind == kind; });
}

void WriteBytes(const std::filesystem::path& file, const QByteArray& bytes) {
    WriteOutput(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace

ReadOptions ReadOptionsFor(const std::vector<Output>& outputs) {
    // Without a PDF, notes are not held: the CSV takes each from the file as it writes its
    // row, half a million strings fewer.
    return {Wants(outputs, "csv") || Wants(outputs, "pdf"), Wants(outputs, "pdf"), true};
}

void WriteOutputs(const std::vector<Output>& outputs, const ReadDiaryResult& read, const Person& person,
                  const QString& created) {
    std::vector<std::future<void>> written;
    for (const Output& output : outputs) {
        if (output.kind == "csv") {
            written.push_back(std::async(std::launch::async, [&] { WriteCsv(output.file, read); }));
        } else if (output.kind == "json") {
            written.push_back(std::async(
                std::launch::async, [&] { WriteBytes(output.file, JsonBytes(read.report, read.info)); }));
        } else {
            std::promise<void> done;
            written.push_back(done.get_future());
            try {
                WriteBytes(output.file, PdfBytes(read.report, read.info, person, created));
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        }
    }
    for (std::future<void>& output : written) output.wait();
    for (std::future<void>& output : written) output.get();
}

}  // namespace suelvan::report
