// Bars drawn with QPainter: a count per hour or per date. Clicking a bar, or Enter on it,
// activates it; the numbers are also the widget's accessible description.
#pragma once

#include <QStringList>
#include <QWidget>
#include <vector>

namespace suelvan {

class BarChart : public QWidget {
    Q_OBJECT

   public:
    BarChart(const QString& title, QWidget* parent = nullptr);
    // One label per bar, for the axis ends, the tooltip and the description.
    void SetBars(std::vector<int> values, QStringList labels);
    void SetSelected(int index);  // -1: none
    int Selected() const { return selected_; }
    const std::vector<int>& Values() const { return values_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

   signals:
    void barActivated(int index);

   protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

   private:
    QRectF PlotArea() const;
    int BarAt(QPointF point) const;

    QString title_;
    std::vector<int> values_;
    QStringList labels_;
    int selected_ = -1;
    int cursor_ = 0;  // the bar the keyboard is on
};

}  // namespace suelvan
