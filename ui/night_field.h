// The choice of a night rule: the usual ones in a list, or a window of one's own typed as
// H:MM-H:MM. The report window and "Angaben…" both ask with it.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "core/night_rule.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace suelvan {

// The night rules offered, with their captions: "22:00–6:00 (Deutschland)" first.
struct NightChoice {
    QString caption;
    QString rule;  // "H:MM-H:MM"
};
const std::vector<NightChoice>& NightChoices();

class NightField : public QWidget {
    Q_OBJECT

   public:
    struct Names {
        QString list;         // object and accessible name of the list
        QString listCaption;  // its accessible name
        QString ownCaption;   // the list's last item
        QString field;        // object name of the field for one's own
    };
    NightField(const Names& names, QWidget* parent = nullptr);

    QComboBox* List() const { return list_; }
    // Made on first need: a window shows its numbers before it.
    QLineEdit* OwnField();
    bool IsOwn() const;
    // A rule of the list, else one's own (the field made for it).
    void SetRule(const QString& rule);
    // What is chosen: the list's rule or the text of one's own, trimmed.
    QString Rule() const;
    std::optional<NightRule> Parsed() const;

   signals:
    // Another rule in effect: another item chosen, or one's own text left or paused over.
    void changed();

   private:
    // Tells of a new rule once, and says beside the field when one's own is none.
    void Apply();

    Names names_;
    QComboBox* list_;
    QLineEdit* own_ = nullptr;
    QLabel* message_ = nullptr;
    QTimer* pause_ = nullptr;
    QString applied_;
};

}  // namespace suelvan
