// suelvan-bericht.exe: the report's command line on Windows, CSV and JSON; the window and
// the PDF are Linux's for now.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/logfile.h"
#include "platform/desktop.h"
#include "report/command_line.h"
#include "report/outputs.h"

namespace {

using namespace suelvan;

void Say(const std::string& text) { std::fputs(("suelvan-bericht: " + text + "\n").c_str(), stderr); }

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    // The texts are UTF-8, in a console as in a file.
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(platform::Utf8Of(argv[i]));
    const report::CommandLine line = report::ParseCommandLine(arguments);
    if (const std::optional<int> answered = report::AnswerAtOnce(line)) return *answered;
    if (line.Window() || line.Wants("pdf")) {
        Say("Das Berichtsfenster und --pdf gibt es unter Windows noch nicht; --csv und --json schon.");
        return 2;
    }
    const std::filesystem::path programDir = platform::ProgramFolder();
    if (!line.diary && programDir.empty()) {
        Say("Der Ordner des Programms lässt sich nicht bestimmen; bitte das Tagebuch angeben.");
        return 1;
    }
    return report::RunOutputs(line, line.diary ? *line.diary : LogPath(programDir),
                              HeaderWeekdays(platform::DesktopWeekdays()), Say);
}
