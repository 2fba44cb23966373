// suelvan-bericht.exe: the report's command line on Windows, CSV and JSON; the window and
// the PDF are Linux's for now.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/logfile.h"
#include "report/command_line.h"
#include "report/outputs.h"

namespace {

using namespace suelvan;

std::string Utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1) ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

void Say(const std::string& text) { std::fputs(("suelvan-bericht: " + text + "\n").c_str(), stderr); }

std::filesystem::path ProgramDir() {
    std::wstring path(32768, L'\0');
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return {};
    path.resize(length);
    return std::filesystem::path(path).parent_path();
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    // The texts are UTF-8, in a console as in a file.
    ::SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
    const report::CommandLine line = report::ParseCommandLine(arguments);
    if (line.action == report::CommandLine::Action::Help) {
        std::fputs(report::UsageText().c_str(), stdout);
        return 0;
    }
    if (line.action == report::CommandLine::Action::BadArgument) {
        Say(line.error + "\n");
        std::fputs(report::UsageText().c_str(), stderr);
        return 2;
    }
    if (line.Window() || line.Wants("pdf")) {
        Say("Das Berichtsfenster und --pdf gibt es unter Windows noch nicht; --csv und --json schon.");
        return 2;
    }
    const std::filesystem::path programDir = ProgramDir();
    if (!line.diary && programDir.empty()) {
        Say("Der Ordner des Programms lässt sich nicht bestimmen; bitte das Tagebuch angeben.");
        return 1;
    }
    return report::RunOutputs(line, line.diary ? *line.diary : LogPath(programDir), {}, Say);
}
