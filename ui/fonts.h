// Stand-ins for the faces the window was designed with. Liberation Sans Narrow keeps
// every caption inside its control at the designed sizes; the program carries it.
#pragma once

#include <QFont>
#include <QStringList>

namespace suelvan::fonts {

inline QFont Face(qreal points) {
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(points);
    return font;
}

// Makes the carried Liberation Sans Narrow known to Qt; call once, after the application.
bool LoadBundled();

// The standard dialog font: the window's and every control's unless named otherwise.
inline QFont Dialog() { return Face(8.25); }
// "MS Sans Serif" 9.75 pt, of the clock and the link.
inline QFont SansSerif() { return Face(9.75); }

}  // namespace suelvan::fonts
