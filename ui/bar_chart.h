// Bars drawn with QPainter: a count per hour or per date. Clicking a bar, or Enter on it,
// activates it; the numbers are also the widget's accessible description.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

namespace suelvan {

class BarChart : public QWidget {
    Q_OBJECT

   public:
    BarChart(const QString& title, QWidget* parent = nullptr);
    // `label` names a bar, for the axis ends, the tooltip and the description; asked only
    // for the bars shown in words, as a period of decades has thousands.
    void SetBars(std::vector<int> values, std::function<QString(int)> label);
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
    QString Label(int index) const;

    QString title_;
    std::vector<int> values_;
    std::function<QString(int)> label_;
    int selected_ = -1;
    int cursor_ = 0;  // the bar the keyboard is on
};

}  // namespace suelvan
