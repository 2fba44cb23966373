#include "ui/app_icon.h"

namespace suelvan {

QIcon AppIcon() {
    QIcon clockFace;
    clockFace.addFile(QStringLiteral(":/icons/suelvan.png"));
    clockFace.addFile(QStringLiteral(":/icons/suelvan-64.png"));
    return clockFace;
}

}  // namespace suelvan
