#include "report/outputs.h"

#include <algorithm>
#include <exception>
#include <future>
#include <memory>
#include <optional>

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
    // Without a PDF, no entry is held at all: the CSV is written while the diary is read,
    // in little memory whatever the size. Only JSON and PDF tell the digest.
    const bool pdf = Wants(outputs, "pdf");
    return {pdf, pdf, pdf || Wants(outputs, "json")};
}

ReadDiaryResult ReadAndWrite(const std::vector<Output>& outputs, const std::filesystem::path& diary,
                             const Period& period, const NightRule& night, std::vector<std::string> weekdays,
                             const PdfMaker& pdf) {
    OpenedDiary opened = OpenDiary(diary);
    std::vector<std::unique_ptr<platform::OutputFile>> files;
    for (const Output& output : outputs)
        files.push_back(std::make_unique<platform::OutputFile>(output.file, opened.state.identity));
    ReadOptions options = ReadOptionsFor(outputs);
    options.weekdays = std::move(weekdays);
    std::optional<CsvStream> streamed;
    if (!options.entries) {
        for (std::size_t i = 0; i < outputs.size(); ++i)
            if (outputs[i].kind == "csv") streamed.emplace(*files[i], opened.file, night);
    }
    const ReadDiaryResult read =
        ReadDiary(std::move(opened), period, night, options,
                  streamed ? std::function<void(std::vector<DiaryEntry>&)>(
                                 [&](std::vector<DiaryEntry>& day) { streamed->Add(day); })
                           : std::function<void(std::vector<DiaryEntry>&)>());

    // The rest made and written on threads of their own beside the PDF, which stays here.
    std::vector<std::future<void>> written;
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        platform::OutputFile& file = *files[i];
        if (outputs[i].kind == "csv") {
            written.push_back(std::async(std::launch::async, [&] {
                if (streamed) {
                    streamed->Finish();
                } else {
                    WriteCsv(file, read);
                }
            }));
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
    return read;
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
        const ReadDiaryResult read = ReadAndWrite(line.outputs, diary, line.period,
                                                  line.night.value_or(NightRule{}), std::move(weekdays), pdf);
        if (const std::string skipped = NotCountedText(read.report); !skipped.empty()) say(skipped);
    } catch (const std::exception& failure) {
        say(failure.what());
        return 1;
    }
    return 0;
}

}  // namespace suelvan::report
