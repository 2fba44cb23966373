#include "ui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <exception>
#include <limits>
#include <string_view>

#include "core/logfile.h"
#include "platform/diary_file.h"
#include "platform/qt_text.h"
#include "ui/fonts.h"
#include "ui/form.h"
#include "ui/link_label.h"

namespace suelvan {
namespace {

using form::Control;
using form::Kind;
using platform::Utf8;

QWidget* MakeWidget(const Control& control, QWidget* parent) {
    const QString text = Utf8(control.text);
    switch (control.kind) {
        case Kind::CommandButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);  // Enter in a text box records nothing
            return button;
        }
        case Kind::OptionButton: return new QRadioButton(text, parent);
        case Kind::CheckBox: return new QCheckBox(text, parent);
        case Kind::TextBox: return new QLineEdit(text, parent);
        case Kind::Label:
        case Kind::AutoSizeLabel:
        case Kind::Link: {
            auto* label = control.kind == Kind::Link ? new LinkLabel(text, parent) : new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            return label;
        }
    }
    return nullptr;
}

// A caption wider than its designed control breaks at a blank onto a second line where the
// control is tall enough for two, as the form was designed: on one line it would reach
// the window's edge.
void WrapCaption(QAbstractButton* button, const QRect& rect) {
    const QString text = button->text();
    const QFontMetrics metrics = button->fontMetrics();
    const int room = rect.width() - (button->sizeHint().width() - metrics.horizontalAdvance(text));
    if (metrics.horizontalAdvance(text) <= room || rect.height() < 2 * metrics.height()) return;
    for (qsizetype cut = text.lastIndexOf(QLatin1Char(' ')); cut > 0;
         cut = text.lastIndexOf(QLatin1Char(' '), cut - 1)) {
        if (metrics.horizontalAdvance(text.left(cut)) > room) continue;
        if (metrics.horizontalAdvance(text.mid(cut + 1)) <= room)
            button->setText(text.left(cut) + QLatin1Char('\n') + text.mid(cut + 1));
        return;
    }
}

// Where a caption is wider than its designed control even so, the control grows to the
// right (within the window) rather than clip it.
void Place(QWidget* widget, const Control& control, int clientWidth) {
    QRect rect(form::Pixels(control.left), form::Pixels(control.top), form::Pixels(control.width),
               form::Pixels(control.height));
    if (control.kind == Kind::AutoSizeLabel) {
        rect.setSize(widget->sizeHint());
    } else if (control.kind == Kind::OptionButton || control.kind == Kind::CheckBox) {
        WrapCaption(static_cast<QAbstractButton*>(widget), rect);
        rect.setWidth(
            std::min(std::max(rect.width(), widget->sizeHint().width()), clientWidth - rect.left()));
    }
    widget->setGeometry(rect);
}

// Restores the normal cursor on every way out of a handler.
class BusyCursor {
   public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

const QString kFullCaption = platform::kAppTitle;
const QString kCompactCaption = QStringLiteral("Uhrzeit");

}  // namespace

frmSuelvan::frmSuelvan(platform::Services& services, QWidget* parent) : QWidget(parent), services_(services) {
    setObjectName(QStringLiteral("frmSuelvan"));
    setWindowTitle(kFullCaption);
    setFont(fonts::Dialog());
    resize(form::ClientWidth(form::kFullWidth), form::ClientHeight(form::kFullHeight));
    CreateControls();
    ConnectControls();
    Update();  // before the first show, so the placeholder is never seen
}

void frmSuelvan::CreateControls() {
    optLautstaerke = new QButtonGroup(this);
    optLautstaerke->setObjectName(Utf8(form::kLoudnessName));
    QWidget* previous = nullptr;
    for (const Control& control : form::kControls) {
        QWidget* widget = MakeWidget(control, this);
        widget->setObjectName(Utf8(control.name));
        // The clock label's placeholder must not hide the time from a screen reader.
        if (control.name != "lblZeit")
            widget->setAccessibleName(
                Utf8(control.accessibleName.empty() ? control.text : control.accessibleName));
        if (!control.toolTip.empty()) widget->setToolTip(Utf8(control.toolTip));
        if (control.optionIndex >= 0)
            optLautstaerke->addButton(static_cast<QRadioButton*>(widget), control.optionIndex);
        if (control.name == "lblZeit" || control.name == "lblBI") widget->setFont(fonts::SansSerif());
        Place(widget, control, width());
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) setTabOrder(previous, widget);
            previous = widget;
        }
    }

    cmdNeuEintrag = findChild<QPushButton*>(QStringLiteral("cmdNeuEintrag"));
    cmdShow = findChild<QPushButton*>(QStringLiteral("cmdShow"));
    cmdHide = findChild<QPushButton*>(QStringLiteral("cmdHide"));
    chkLandung = findChild<QCheckBox*>(QStringLiteral("chkLandung"));
    txtNotitz = findChild<QLineEdit*>(QStringLiteral("txtNotitz"));
    txtMinuten = findChild<QLineEdit*>(QStringLiteral("txtMinuten"));
    lblZeit = findChild<QLabel*>(QStringLiteral("lblZeit"));
    lblBI = findChild<LinkLabel*>(QStringLiteral("lblBI"));

    optLautstaerke->button(kDefaultLoudness)->setChecked(true);
    for (QLineEdit* box : {txtNotitz, txtMinuten}) box->setMaxLength(std::numeric_limits<int>::max());
    lblBI->setCursor(Qt::PointingHandCursor);
    QPalette blue = lblBI->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    lblBI->setPalette(blue);
    QFont underlined = lblBI->font();
    underlined.setUnderline(true);
    lblBI->setFont(underlined);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->start();

    cmdNeuEintrag->setFocus();
}

void frmSuelvan::ConnectControls() {
    connect(Timer1, &QTimer::timeout, this, &frmSuelvan::Timer1Timer);
    connect(cmdHide, &QPushButton::clicked, this, &frmSuelvan::cmdHideClick);
    connect(cmdNeuEintrag, &QPushButton::clicked, this, &frmSuelvan::cmdNeuEintragClick);
    connect(cmdShow, &QPushButton::clicked, this, &frmSuelvan::cmdShowClick);
    connect(lblBI, &LinkLabel::clicked, this, &frmSuelvan::lblBIClick);
}

// Tab visits every control in the form's order, each loudness option included; Qt's own
// rule stops at one option of a group only, so "störend" could not be reached.
bool frmSuelvan::focusNextPrevChild(bool next) {
    QWidget* current = QApplication::focusWidget();
    if (!current || !isAncestorOf(current)) return QWidget::focusNextPrevChild(next);
    for (QWidget* w = next ? current->nextInFocusChain() : current->previousInFocusChain(); w != current;
         w = next ? w->nextInFocusChain() : w->previousInFocusChain()) {
        // Not the TabFocus flag: Qt clears it on every option of a group but the last focused.
        if (isAncestorOf(w) && w->focusPolicy() != Qt::NoFocus && w->isVisibleTo(this) && w->isEnabled()) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

void frmSuelvan::Update() {
    const QString text = QString::fromStdString(MakeClockText(services_.Now(), services_.Weekdays()));
    // An unchanged text must not cost a repaint: the clock sits on a desk all day.
    if (lblZeit->text() != text) lblZeit->setText(text);
}

void frmSuelvan::Timer1Timer() { Update(); }

void frmSuelvan::cmdHideClick() {
    // The height is the mode: anything but the full height counts as not full.
    if (form::OuterHeightTwips(height()) == form::kFullHeight) {
        resize(width(), form::ClientHeight(form::kCompactHeight));
        resize(form::ClientWidth(form::kCompactWidth), height());
        setWindowTitle(kCompactCaption);
    } else {
        resize(width(), form::ClientHeight(form::kFullHeight));
        resize(form::ClientWidth(form::kFullWidth), height());
        setWindowTitle(kFullCaption);
    }
}

LoudnessLevel frmSuelvan::SelectedLoudness() const {
    for (LoudnessLevel level : {1, 2, 3}) {
        if (optLautstaerke->button(level)->isChecked()) return level;
    }
    return 0;
}

void frmSuelvan::cmdNeuEintragClick() {
    BusyCursor busy;
    try {
        const LocalDateTime now = services_.Now();
        const EntryInput input{txtMinuten->text().toStdString(), SelectedLoudness(), chkLandung->isChecked(),
                               txtNotitz->text().toStdString()};
        platform::RecordObservation(now, input, services_.Weekdays(), services_.ProgramDir(),
                                    [this](std::int64_t at) { return services_.LocalAt(at); });
        optLautstaerke->button(kDefaultLoudness)->setChecked(true);
        txtNotitz->setText(QString());
        txtMinuten->setText(QStringLiteral("0"));
    } catch (const std::exception& failure) {
        services_.ShowMessage(this, QStringLiteral("Runtime error '") + QString::fromUtf8(failure.what()) +
                                        QStringLiteral("' in cmdNeuEintrag!"));
    }
}

void frmSuelvan::cmdShowClick() {
    const QString path = platform::ToQString(LogPath(services_.ProgramDir()));
    services_.ShellOpen(QLatin1Char('"') + path + QLatin1Char('"'), LaunchFailureReporter());
}

void frmSuelvan::lblBIClick() {
    services_.ShellOpen(QStringLiteral("http:\\\\") + lblBI->text() + QStringLiteral("\\#Beschwerdemail"),
                        LaunchFailureReporter());
}

// The opener may answer after the window is gone.
std::function<void(const QString&)> frmSuelvan::LaunchFailureReporter() {
    return [window = QPointer(this)](const QString& description) {
        if (window) window->services_.ShowMessage(window, description);
    };
}

}  // namespace suelvan
