#include "report/outputs.h"

#include <algorithm>
#include <exception>
#include <future>
#include <memory>

#include "core/logfile.h"
#include "report/csv_output.h"
#include "report/json.h"
#include "report/output.h"

namespace suelvan::report {
namespace {

bool Wants(const std::vector<Output>& outputs, std::string_view kind) {
    return std::any_of(outputs.begin(), outputs.end(), [&](const Output& o) { return o.kind == kind; });
}

}  // namespace

ReadOptions ReadOptionsFor(const std::vector<Output>& outputs) {
    // Without a PDF, no entry is held at all: the CSV reads the diary a second time and
    // writes each day's rows as it goes, in little memory whatever the size.
    const bool pdf = Wants(outputs, "pdf");
    return {pdf, pdf, true, {}, Wants(outputs, "csv") && !pdf};
}

void WriteOutputs(const std::vector<Output>& outputs, const ReadDiaryResult& read, const PdfMaker& pdf) {
    std::vector<std::unique_ptr<platform::OutputFile>> files;
    for (const Output& output : outputs)
        files.push_back(std::make_unique<platform::OutputFile>(output.file, read.info.identity));
    std::vector<std::future<void>> written;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        platform::OutputFile& file = *files[i];
        if (outputs[i].kind == "csv") {
            written.push_back(std::async(std::launch::async, [&] { WriteCsv(file, read); }));
        } else if (outputs[i].kind == "json") {
            written.push_back(
                std::async(std::launch::async, [&] { WriteJson(file, read.report, read.info); }));
        } else {
            std::promise<void> done;
            written.push_back(done.get_future());
            try {
                std::string bytes = pdf(read);
                WriteOutput(file, [&](std::string& block) {
                    block = std::move(bytes);
                    return false;
                });
                done.set_value();
            } catch (...) {
                done.set_exception(std::current_exception());
            }
        }
    }
    for (std::future<void>& output : written) output.wait();
    for (std::future<void>& output : written) output.get();
}

int RunOutputs(const CommandLine& line, const std::filesystem::path& diary, std::vector<std::string> weekdays,
               const std::function<void(const std::string&)>& say, const PdfMaker& pdf) {
    for (const Output& output : line.outputs) {
        if (IsDiary(output.file, diary)) {
            say("Die Ausgabe für --" + output.kind +
                " wäre das Tagebuch selbst und wird nicht geschrieben: " + ShownPath(diary));
            return 1;
        }
    }
    try {
        ReadOptions options = ReadOptionsFor(line.outputs);
        options.weekdays = std::move(weekdays);
        const ReadDiaryResult read = ReadDiary(diary, line.period, line.night.value_or(NightRule{}), options);
        WriteOutputs(line.outputs, read, pdf);
        if (const std::string skipped = NotCountedText(read.report); !skipped.empty()) say(skipped);
    } catch (const std::exception& failure) {
        say(failure.what());
        return 1;
    }
    return 0;
}

}  // namespace suelvan::report
