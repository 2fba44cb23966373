#include <QApplication>

#include "platform/process.h"
#include "platform/services.h"
#include "ui/app_icon.h"
#include "ui/fonts.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
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
