// The clock face: the application's icon, which the windows and message boxes of both
// programs show.
#pragma once

#include <QIcon>

namespace suelvan {

QIcon AppIcon();

}  // namespace suelvan
