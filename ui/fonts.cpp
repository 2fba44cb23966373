#include "ui/fonts.h"

#include <QFontDatabase>

namespace suelvan::fonts {

bool LoadBundled() {
    return QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSansNarrow-Regular.ttf")) >= 0;
}

}  // namespace suelvan::fonts
