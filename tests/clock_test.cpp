#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "tests/window_fixture.h"

namespace suelvan {
namespace {

class Clock : public test::Window {
   protected:
    QString ClockText() const { return Find<QLabel>("lblZeit")->text(); }
    void ClickHide() { QTest::mouseClick(Find("cmdHide"), Qt::LeftButton); }
};

TEST_F(Clock, ShowsTheTimeBeforeTheFirstTick) { EXPECT_EQ(ClockText(), "Dienstag, 8.12.2026 14:30"); }

TEST_F(Clock, TickShowsTheNewMinute) {
    services_.now = {2026, 12, 8, 14, 30, 59};
    Tick();
    EXPECT_EQ(ClockText(), "Dienstag, 8.12.2026 14:30");
    services_.now = {2026, 12, 8, 14, 31, 0};
    Tick();
    EXPECT_EQ(ClockText(), "Dienstag, 8.12.2026 14:31");
}

TEST_F(Clock, MidnightTextsAreEachOfOneDay) {
    services_.now = {2026, 12, 8, 23, 59, 59};
    Tick();
    EXPECT_EQ(ClockText(), "Dienstag, 8.12.2026 23:59");
    services_.now = {2026, 12, 9, 0, 0, 0};
    Tick();
    EXPECT_EQ(ClockText(), "Mittwoch, 9.12.2026 0:00");
}

TEST_F(Clock, UnchangedTickPaintsNothing) {
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    QApplication::processEvents();

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    window_.installEventFilter(&counter);
    for (QWidget* child : window_.findChildren<QWidget*>()) child->installEventFilter(&counter);

    services_.now.second = 40;
    Tick();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    services_.now.minute = 31;
    Tick();
    QApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
}

TEST_F(Clock, HideTogglesBetweenFullAndCompact) {
    ClickHide();
    EXPECT_EQ(window_.size(), QSize(192, 40));
    EXPECT_EQ(window_.windowTitle(), "Uhrzeit");
    EXPECT_TRUE(Find("lblZeit")->geometry().bottom() < 40);
    ClickHide();
    EXPECT_EQ(window_.size(), QSize(355, 353));
    EXPECT_EQ(window_.windowTitle(), "Sülvan Logger");
}

TEST_F(Clock, AnyOtherHeightReturnsToFullMode) {
    for (const QSize handMade : {QSize(355, 352), QSize(600, 500), QSize(192, 40)}) {
        window_.resize(handMade);
        ClickHide();
        EXPECT_EQ(window_.size(), QSize(355, 353)) << handMade.width() << "x" << handMade.height();
        EXPECT_EQ(window_.windowTitle(), "Sülvan Logger");
        ClickHide();
        EXPECT_EQ(window_.size(), QSize(192, 40));
    }
}

TEST_F(Clock, KeepsRunningInCompactMode) {
    ClickHide();
    EXPECT_TRUE(Find<QTimer>("Timer1")->isActive());
    services_.now = {2026, 12, 8, 14, 45, 0};
    Tick();
    EXPECT_EQ(ClockText(), "Dienstag, 8.12.2026 14:45");
    EXPECT_EQ(window_.windowTitle(), "Uhrzeit");
}

}  // namespace
}  // namespace suelvan
