#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include "tests/window_fixture.h"
#include "ui/app_icon.h"
#include "ui/fonts.h"

namespace suelvan {
namespace {

using test::Window;

// Width the style leaves for an option's or check box's caption.
int CaptionRoom(QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const auto element =
        qobject_cast<QRadioButton*>(button) ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents;
    return button->style()->subElementRect(element, &option, button).width();
}

enum class Size { Exact, GrowsToCaption, FitsText };

struct Expected {
    const char* name;
    int optionIndex;
    const char* className;
    const char* text;
    QRect rect;  // pixels in the client area
    Size size;
    const char* toolTip;
    qreal points;
};

class WindowControl : public Window, public ::testing::WithParamInterface<Expected> {};

TEST_P(WindowControl, MatchesTheForm) {
    const Expected& e = GetParam();
    QWidget* widget = Control(e.name, e.optionIndex);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), QString::fromUtf8(e.name));
    EXPECT_STREQ(widget->metaObject()->className(), e.className);
    if (std::string_view(e.name) != "lblZeit") {
        // A caption may be broken onto two lines; it is read as one.
        EXPECT_EQ(widget->property("text").toString().replace(QLatin1Char('\n'), QLatin1Char(' ')),
                  QString::fromUtf8(e.text));
    }
    EXPECT_EQ(widget->toolTip(), QString::fromUtf8(e.toolTip));
    EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), e.points);
    EXPECT_TRUE(widget->isVisibleTo(&window_));

    const QRect actual = widget->geometry();
    EXPECT_EQ(actual.topLeft(), e.rect.topLeft());
    switch (e.size) {
        case Size::Exact: EXPECT_EQ(actual.size(), e.rect.size()); break;
        case Size::GrowsToCaption: {
            EXPECT_EQ(actual.height(), e.rect.height());
            EXPECT_GE(actual.width(), e.rect.width());
            const QString caption = static_cast<QAbstractButton*>(widget)->text();
            for (const QString& line : caption.split(QLatin1Char('\n')))
                EXPECT_GE(CaptionRoom(static_cast<QAbstractButton*>(widget)),
                          widget->fontMetrics().horizontalAdvance(line))
                    << "caption clipped";
            EXPECT_LE(widget->fontMetrics().height() * caption.count(QLatin1Char('\n')) +
                          widget->fontMetrics().height(),
                      actual.height());
            // Clear of the window's edge, also in a larger font.
            EXPECT_LE(actual.right(), window_.width() - 1 - 3);
            EXPECT_EQ(widget->accessibleName(), QString::fromUtf8(e.text));
            break;
        }
        case Size::FitsText: EXPECT_EQ(actual.size(), widget->sizeHint()); break;
    }
}

constexpr qreal kDialog = 8.25;
constexpr qreal kSansSerif = 9.75;

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Form, WindowControl,
    ::testing::Values(
        Expected{"cmdNeuEintrag", -1, "QPushButton", "Eintrag erstellen", {42, 58, 89, 51}, Size::Exact, "", kDialog},
        Expected{"optLautstaerke", 1, "QRadioButton", "trotz geschlossener Fenster hörbar!", {166, 71, 137, 21},
                 Size::GrowsToCaption, "", kDialog},
        Expected{"optLautstaerke", 2, "QRadioButton", "dröhnend/lang anhaltend!!", {166, 102, 137, 23},
                 Size::GrowsToCaption, "", kDialog},
        Expected{"optLautstaerke", 3, "QRadioButton", "Extrem laut - Fensterscheiben vibrieren!!!", {166, 136, 175, 28},
                 Size::GrowsToCaption, "", kDialog},
        Expected{"chkLandung", -1, "QCheckBox", "Landung", {42, 129, 93, 19}, Size::GrowsToCaption, "", kDialog},
        Expected{"txtNotitz", -1, "QLineEdit", "", {42, 182, 251, 24}, Size::Exact, "", kDialog},
        Expected{"Label1", -1, "QLabel", "Notitz:", {52, 160, 51, 21}, Size::Exact, "", kDialog},
        Expected{"optLautstaerke", 0, "QRadioButton", "störend", {166, 42, 137, 21}, Size::GrowsToCaption,
                 "bei geschlossenen Fenstern aber kaum mehr wahrnehmbar", kDialog},
        Expected{"lblZeit", -1, "QLabel", "", {42, 13, 165, 21}, Size::Exact, "", kSansSerif},
        Expected{"cmdShow", -1, "QPushButton", "Logging öffnen", {43, 275, 89, 51}, Size::Exact, "", kDialog},
        Expected{"lblBI", -1, "suelvan::LinkLabel", "www.bi-tarnwiel.de\\tarnwiel", {149, 293, 173, 20}, Size::Exact,
                 "Beschwerdelink BI Tarnwiel gegen Sülvan", kSansSerif},
        Expected{"cmdHide", -1, "QPushButton", "", {16, 13, 15, 17}, Size::Exact, "", kDialog},
        Expected{"Label2", -1, "QLabel", "bereits vor:", {47, 229, 0, 0}, Size::FitsText, "", kDialog},
        Expected{"txtMinuten", -1, "QLineEdit", "0", {107, 224, 23, 22}, Size::Exact,
                 "Minuten werden von der aktuellen Zeit abgerechnet", kDialog},
        Expected{"Label3", -1, "QLabel", "Minuten", {136, 229, 0, 0}, Size::FitsText, "", kDialog}));
// clang-format on

TEST_F(Window, OpensInFullModeWithCaptionAndIcon) {
    EXPECT_EQ(window_.objectName(), "frmSuelvan");
    EXPECT_EQ(window_.windowTitle(), "Sülvan Logger");
    EXPECT_EQ(window_.size(), QSize(355, 353));
    EXPECT_EQ(AppIcon().pixmap(32, 32).size(), QSize(32, 32));
}

TEST_F(Window, InitialValues) {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Option(i)->isChecked(), i == 1) << i;
    EXPECT_TRUE(window_.findChild<QButtonGroup*>(QStringLiteral("optLautstaerke"))->exclusive());
    EXPECT_FALSE(Find<QCheckBox>("chkLandung")->isChecked());
    for (const char* name : {"cmdNeuEintrag", "cmdShow", "cmdHide"}) {
        EXPECT_FALSE(Find<QPushButton>(name)->isDefault()) << name;
        EXPECT_FALSE(Find<QPushButton>(name)->autoDefault()) << name;
    }
    for (const char* name : {"txtNotitz", "txtMinuten"}) {
        EXPECT_EQ(Find<QLineEdit>(name)->maxLength(), std::numeric_limits<int>::max()) << name;
    }
    auto* timer = Find<QTimer>("Timer1");
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
}

TEST_F(Window, LinkLooksLikeALink) {
    auto* link = Find<QLabel>("lblBI");
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(link->font().underline());
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(Find<QLabel>("lblZeit")->font().underline());
}

TEST_F(Window, ControlsCarryAccessibleNames) {
    EXPECT_FALSE(Find("cmdHide")->accessibleName().isEmpty());
    EXPECT_EQ(Find("cmdNeuEintrag")->accessibleName(), "Eintrag erstellen");
    EXPECT_EQ(Option(3)->accessibleName(), "Extrem laut - Fensterscheiben vibrieren!!!");
    EXPECT_FALSE(Find("txtMinuten")->accessibleName().isEmpty());
    EXPECT_TRUE(Find("lblZeit")->accessibleName().isEmpty()) << "would be read instead of the time";
}

TEST_F(Window, TabOrderFollowsTheForm) {
    const QStringList expected{"cmdNeuEintrag", "optLautstaerke 1", "optLautstaerke 2", "optLautstaerke 3",
                               "chkLandung",    "txtNotitz",        "optLautstaerke 0", "cmdShow",
                               "cmdHide",       "txtMinuten"};
    const auto label = [&](QWidget* w) {
        for (int i = 0; i < 4; ++i) {
            if (w == Option(i)) return QStringLiteral("optLautstaerke %1").arg(i);
        }
        return w->objectName();
    };
    QStringList chain;
    QWidget* w = Find("cmdNeuEintrag");
    do {
        if (w->focusPolicy() & Qt::TabFocus) chain << label(w);
        w = w->nextInFocusChain();
    } while (w != Find("cmdNeuEintrag"));
    EXPECT_EQ(chain, expected);
    for (const char* name : {"Label1", "Label2", "Label3", "lblZeit", "lblBI"}) {
        EXPECT_EQ(Find(name)->focusPolicy(), Qt::NoFocus) << name;
    }
}

TEST_F(Window, StartsWithFocusOnCreateEntry) {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    EXPECT_EQ(QApplication::focusWidget(), Find("cmdNeuEintrag"));
}

TEST_F(Window, TabWalksEveryControlInFormOrder) {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    Option(3)->setChecked(true);  // whichever option is selected, each is a stop
    Find("cmdNeuEintrag")->setFocus();
    const std::vector<QWidget*> expected{
        Option(1), Option(2),       Option(3),       Find("chkLandung"), Find("txtNotitz"),
        Option(0), Find("cmdShow"), Find("cmdHide"), Find("txtMinuten"), Find("cmdNeuEintrag")};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << "expected " << next->objectName().toStdString() << " "
                                                     << next->property("text").toString().toStdString();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), Find("txtMinuten"));
}

TEST_F(Window, OptionsStayExclusive) {
    for (int i : {0, 3, 2, 1}) {
        QTest::mouseClick(Option(i), Qt::LeftButton, {}, QPoint(7, Option(i)->height() / 2));
        for (int j = 0; j < 4; ++j) EXPECT_EQ(Option(j)->isChecked(), i == j) << i << " " << j;
    }
    QTest::mouseClick(Option(1), Qt::LeftButton, {}, QPoint(7, Option(1)->height() / 2));
    EXPECT_TRUE(Option(1)->isChecked()) << "a second click must not clear the selection";
}

TEST_F(Window, EveryClockTextFitsItsLabel) {
    auto* clock = Find<QLabel>("lblZeit");
    const QFontMetrics metrics(clock->font());
    for (const std::string& name : services_.names) {
        const QString widest = QString::fromStdString(name) + QStringLiteral(", 28.12.2026 23:59");
        EXPECT_LE(metrics.horizontalAdvance(widest), clock->width()) << name;
    }
    auto* link = Find<QLabel>("lblBI");
    EXPECT_LE(QFontMetrics(link->font()).horizontalAdvance(link->text()), link->width());
}

// The captions are measured in the font the program carries, not in whatever the desktop has.
TEST_F(Window, CaptionsUseTheCarriedFont) {
    EXPECT_TRUE(fonts::LoadBundled());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(QFontInfo(Option(i)->font()).family(), QStringLiteral("Liberation Sans Narrow")) << i;
    }
}

}  // namespace
}  // namespace suelvan
