// The one window of the program: clock, the observation's inputs, and the launches.
#pragma once

#include <QWidget>
#include <functional>

#include "core/entry.h"
#include "platform/services.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace suelvan {

class LinkLabel;

class frmSuelvan : public QWidget {
    Q_OBJECT

   public:
    explicit frmSuelvan(platform::Services& services, QWidget* parent = nullptr);

    // Shows the current date and time in the clock label.
    void Update();

   protected:
    bool focusNextPrevChild(bool next) override;

   private:
    void CreateControls();
    void ConnectControls();

    void Timer1Timer();
    void cmdHideClick();
    void cmdNeuEintragClick();
    void cmdShowClick();
    void lblBIClick();

    LoudnessLevel SelectedLoudness() const;
    std::function<void(const QString&)> LaunchFailureReporter();

    platform::Services& services_;
    QPushButton* cmdNeuEintrag = nullptr;
    QPushButton* cmdShow = nullptr;
    QPushButton* cmdHide = nullptr;
    QButtonGroup* optLautstaerke = nullptr;
    QCheckBox* chkLandung = nullptr;
    QLineEdit* txtNotitz = nullptr;
    QLineEdit* txtMinuten = nullptr;
    QLabel* lblZeit = nullptr;
    LinkLabel* lblBI = nullptr;
    QTimer* Timer1 = nullptr;
};

}  // namespace suelvan
