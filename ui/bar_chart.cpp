#include "ui/bar_chart.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace suelvan {

BarChart::BarChart(const QString& title, QWidget* parent) : QWidget(parent), title_(title) {
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(title);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BarChart::SetBars(std::vector<int> values, std::function<QString(int)> label) {
    values_ = std::move(values);
    label_ = std::move(label);
    selected_ = -1;
    cursor_ = 0;
    // The text alternative: the bars that are not empty, with their numbers; a screen
    // reader is not made to read thousands.
    constexpr int kSpoken = 400;
    QStringList parts;
    int more = 0;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (values_[i] == 0) continue;
        if (parts.size() < kSpoken) {
            parts << Label(static_cast<int>(i)) + QStringLiteral(": ") + QString::number(values_[i]);
        } else {
            ++more;
        }
    }
    if (more > 0) parts << QStringLiteral("und %1 weitere").arg(more);
    setAccessibleDescription(parts.isEmpty() ? QStringLiteral("keine Einträge")
                                             : parts.join(QStringLiteral("; ")));
    update();
}

QString BarChart::Label(int index) const {
    return label_ && index >= 0 && index < static_cast<int>(values_.size()) ? label_(index) : QString();
}

void BarChart::SetSelected(int index) {
    selected_ = index;
    if (index >= 0) cursor_ = index;
    update();
}

QSize BarChart::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 50, fontMetrics().height() * 9};
}

QSize BarChart::minimumSizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, fontMetrics().height() * 6};
}

QRectF BarChart::PlotArea() const {
    const QFontMetricsF metrics(font());
    const int most = values_.empty() ? 1 : std::max(1, *std::max_element(values_.begin(), values_.end()));
    const qreal left = metrics.horizontalAdvance(QString::number(most)) + metrics.averageCharWidth();
    return QRectF(left, metrics.height() * 1.5, width() - left - 4, height() - metrics.height() * 3);
}

int BarChart::BarAt(QPointF point) const {
    if (values_.empty()) return -1;
    const QRectF plot = PlotArea();
    if (point.x() < plot.left() || point.x() >= plot.right()) return -1;
    const int index =
        static_cast<int>((point.x() - plot.left()) / plot.width() * static_cast<qreal>(values_.size()));
    return std::clamp(index, 0, static_cast<int>(values_.size()) - 1);
}

void BarChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    const QFontMetricsF metrics(font());
    painter.setPen(colours.color(QPalette::WindowText));
    painter.drawText(QRectF(0, 0, width(), metrics.height() * 1.3), Qt::AlignLeft | Qt::AlignVCenter, title_);
    if (values_.empty()) return;
    const QRectF plot = PlotArea();
    const int most = std::max(1, *std::max_element(values_.begin(), values_.end()));
    painter.drawText(QRectF(0, plot.top() - metrics.height() / 2, plot.left() - 2, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(most));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const qreal step = plot.width() / static_cast<qreal>(values_.size());
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const qreal h = plot.height() * values_[i] / most;
        const QRectF bar(plot.left() + step * static_cast<qreal>(i) + (step > 3 ? 1 : 0), plot.bottom() - h,
                         std::max<qreal>(step - (step > 3 ? 2 : 0), 1), h);
        const bool selected = static_cast<int>(i) == selected_;
        painter.fillRect(bar, selected ? colours.color(QPalette::Highlight) : colours.color(QPalette::Mid));
    }
    if (hasFocus() && cursor_ < static_cast<int>(values_.size())) {
        painter.setPen(QPen(colours.color(QPalette::Highlight), 1, Qt::DotLine));
        painter.drawRect(QRectF(plot.left() + step * cursor_, plot.top(), step, plot.height()));
        painter.setPen(colours.color(QPalette::WindowText));
    }
    const QRectF axis(plot.left(), plot.bottom() + 2, plot.width(), metrics.height());
    painter.drawText(axis, Qt::AlignLeft | Qt::AlignTop, Label(0));
    if (values_.size() > 1)
        painter.drawText(axis, Qt::AlignRight | Qt::AlignTop, Label(static_cast<int>(values_.size()) - 1));
}

void BarChart::mousePressEvent(QMouseEvent* event) {
    const int index = BarAt(event->position());
    if (index < 0) return;
    SetSelected(index);
    emit barActivated(index);
}

void BarChart::keyPressEvent(QKeyEvent* event) {
    const int count = static_cast<int>(values_.size());
    if (count == 0) return QWidget::keyPressEvent(event);
    switch (event->key()) {
        case Qt::Key_Left: cursor_ = std::max(0, cursor_ - 1); break;
        case Qt::Key_Right: cursor_ = std::min(count - 1, cursor_ + 1); break;
        case Qt::Key_Home: cursor_ = 0; break;
        case Qt::Key_End: cursor_ = count - 1; break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            SetSelected(cursor_);
            emit barActivated(cursor_);
            return;
        default: return QWidget::keyPressEvent(event);
    }
    setToolTip(QStringLiteral("%1: %2").arg(Label(cursor_)).arg(values_[static_cast<std::size_t>(cursor_)]));
    update();
}

bool BarChart::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int index = BarAt(help->pos());
        if (index < 0) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(
                help->globalPos(),
                QStringLiteral("%1: %2").arg(Label(index)).arg(values_[static_cast<std::size_t>(index)]),
                this);
        }
        return true;
    }
    return QWidget::event(event);
}

}  // namespace suelvan
