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

// A line that says what is wrong or missing, hidden until it has something to say: plain
// text, wrapped, bold; in dark red when it is a fault.
inline QLabel* MessageLabel(const QString& name, bool fault, QWidget* parent) {
    auto* label = Named(new QLabel(parent), name, QString());
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    // A palette, not a style sheet: that would put a second style in front of every paint.
    if (fault) {
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, QColor(0xa0, 0, 0));
        label->setPalette(red);
    }
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->hide();
    return label;
}

}  // namespace suelvan
