// Names a screen reader reads and tests find controls by.
#pragma once

#include <QLabel>
#include <QString>

namespace suelvan {

template <typename W>
W* Named(W* widget, const QString& name, const QString& accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

// A screen reader reads a label's accessible name, not its text: both are kept alike.
inline void SetText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setAccessibleName(text);
}

}  // namespace suelvan
