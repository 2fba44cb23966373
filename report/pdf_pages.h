// The pages of the report as it is laid out: text, rows and bars at a height that moves on,
// a new page when one is full, the footer of each. Laid out twice: once without a painter
// to count the pages for "Seite x von y", once to paint them.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>
#include <QTextLayout>
#include <functional>
#include <vector>

namespace suelvan::report {

inline QFont Face(qreal points, bool bold = false) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

class Pages {
   public:
    Pages(QPagedPaintDevice& device, QPainter* painter, int total, QStringList lastFooter)
        : device_(device), painter_(painter), total_(total), lastFooter_(std::move(lastFooter)) {
        mm_ = device.logicalDpiY() / 25.4;
        left_ = 20 * mm_;
        width_ = device.width() - 40 * mm_;
        top_ = 15 * mm_;
        bottom_ = device.height() - 28 * mm_;  // room for the footer of the last page
        y_ = top_;
    }

    QPagedPaintDevice& device() const { return device_; }
    double mm() const { return mm_; }
    double left() const { return left_; }
    double width() const { return width_; }
    double y() const { return y_; }
    void Skip(double height) { y_ += height; }

    void Ensure(double height) {
        if (y_ + height > bottom_ && y_ > top_) NewPage();
    }

    void NewPage() {
        Footer(false);
        if (painter_) device_.newPage();
        ++page_;
        y_ = top_;
        if (pageHead_) pageHead_();
    }

    // Drawn at the top of every new page while set: a table's header row.
    void SetPageHead(std::function<void()> head) { pageHead_ = std::move(head); }

    // Lines of text wrapped to `width` at `x`, at the current height; returns their height.
    double Paragraph(const QString& text, const QFont& font, double x, double width, bool draw = true) {
        QTextLayout layout(text, font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        double height = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height));
            height += line.height();
        }
        layout.endLayout();
        if (draw && painter_) layout.draw(painter_, QPointF(x, y_));
        return height;
    }

    // A block of text that may run over pages, line by line.
    void Flow(const QString& text, const QFont& font, double x, double width) {
        QTextLayout layout(text, font, &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        std::vector<QTextLine> lines;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back(line);
        }
        layout.endLayout();
        lastFlowHeight_ = 0;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) Ensure(lines[i].height());
            if (painter_) lines[i].draw(painter_, QPointF(x, y_ - lines[i].y()));
            if (i + 1 < lines.size()) y_ += lines[i].height();
        }
        if (!lines.empty()) lastFlowHeight_ = lines.back().height();
    }
    double lastFlowHeight() const { return lastFlowHeight_; }
    int page() const { return page_; }

    void Line(const QString& text, const QFont& font, double gapAfter = 0) {
        const double height = Paragraph(text, font, left_, width_, false);
        Ensure(height);
        Paragraph(text, font, left_, width_);
        y_ += height + gapAfter;
    }

    void Rule() {
        if (painter_) painter_->drawLine(QPointF(left_, y_), QPointF(left_ + width_, y_));
    }

    void Stroke(double x1, double y1, double x2, double y2) {
        if (painter_) painter_->drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }

    void Bar(double x, double y, double w, double h) {
        if (painter_) painter_->fillRect(QRectF(x, y, w, h), QColor(60, 90, 160));
    }

    void Label(const QRectF& box, int flags, const QString& text, const QFont& font) {
        if (!painter_) return;
        painter_->setFont(font);
        painter_->drawText(box, flags, text);
    }

    int Finish() {
        Footer(true);
        return page_;
    }

   private:
    void Footer(bool last) {
        if (!painter_) return;
        const QFont font = Face(8);
        painter_->setFont(font);
        const double lineHeight = QFontMetricsF(font, &device_).lineSpacing();
        double y = device_.height() - 10 * mm_ - lineHeight;
        painter_->drawText(QRectF(left_, y, width_, lineHeight), Qt::AlignRight,
                           QStringLiteral("Seite %1 von %2").arg(page_).arg(total_));
        if (!last) return;
        for (auto line = lastFooter_.crbegin(); line != lastFooter_.crend(); ++line) {
            painter_->drawText(QRectF(left_, y, width_ * 0.8, lineHeight), Qt::AlignLeft, *line);
            y -= lineHeight;
        }
    }

    QPagedPaintDevice& device_;
    QPainter* painter_;
    int total_;
    QStringList lastFooter_;
    double mm_, left_, width_, top_, bottom_, y_;
    int page_ = 1;
    double lastFlowHeight_ = 0;
    std::function<void()> pageHead_;
};

}  // namespace suelvan::report
