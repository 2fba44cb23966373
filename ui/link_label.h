// A label that acts on a mouse click, like a link.
#pragma once

#include <QLabel>
#include <QMouseEvent>

namespace suelvan {

class LinkLabel : public QLabel {
    Q_OBJECT

   public:
    using QLabel::QLabel;

   signals:
    void clicked();

   protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
        QLabel::mouseReleaseEvent(event);
    }
};

}  // namespace suelvan
