#include <QApplication>

#include "platform/process.h"
#include "platform/services.h"
#include "ui/app_icon.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    // Qt would end the program with an English text of its own.
    if (const std::string problem = suelvan::platform::DisplayProblem(); !problem.empty()) {
        std::fputs(
            ("suelvan: " + problem + " Das Fluglärm-Tagebuch braucht eine grafische Oberfläche.\n").c_str(),
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    suelvan::platform::IgnoreFileSizeSignal();
    suelvan::platform::LoadGermanQtTexts();
    suelvan::fonts::LoadBundled();
    QApplication::setApplicationName(suelvan::platform::kAppTitle);
    QApplication::setWindowIcon(suelvan::AppIcon());

    suelvan::platform::SystemServices services;
    suelvan::frmSuelvan window(services);
    window.show();
    return QApplication::exec();
}
