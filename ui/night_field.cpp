#include "ui/night_field.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "ui/accessible.h"

namespace suelvan {

const std::vector<NightChoice>& NightChoices() {
    static const std::vector<NightChoice> kChoices{
        {QStringLiteral("22:00–6:00 (Deutschland)"), QStringLiteral("22:00-06:00")},
        {QStringLiteral("23:00–5:00"), QStringLiteral("23:00-05:00")},
        {QStringLiteral("0:00–5:00"), QStringLiteral("00:00-05:00")},
        {QStringLiteral("23:00–7:00"), QStringLiteral("23:00-07:00")},
        {QStringLiteral("22:00–7:00"), QStringLiteral("22:00-07:00")},
    };
    return kChoices;
}

NightField::NightField(const Names& names, QWidget* parent) : QWidget(parent), names_(names) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QComboBox(this);
    list_->setObjectName(names.list);
    list_->setAccessibleName(names.listCaption);
    for (const NightChoice& choice : NightChoices()) list_->addItem(choice.caption, choice.rule);
    list_->addItem(names.ownCaption, QString());
    layout->addWidget(list_);
    connect(list_, &QComboBox::currentIndexChanged, this, [this] {
        if (IsOwn() || own_) OwnField()->setEnabled(IsOwn());
        Apply();
    });
    applied_ = Rule();
}

void NightField::Apply() {
    if (message_) {
        const bool wrong = IsOwn() && !Rule().isEmpty() && !Parsed();
        message_->setText(wrong ? QStringLiteral("„%1“ ist keine Nachtzeit wie 22:00-06:00.").arg(Rule())
                                : QString());
        message_->setVisible(wrong);
    }
    if (Rule() == applied_) return;
    applied_ = Rule();
    emit changed();
}

QLineEdit* NightField::OwnField() {
    if (own_) return own_;
    own_ = new QLineEdit(this);
    own_->setObjectName(names_.field);
    own_->setAccessibleName(QStringLiteral("Eigene Nachtzeit"));
    own_->setPlaceholderText(QStringLiteral("H:MM-H:MM"));
    own_->setEnabled(IsOwn());
    layout()->addWidget(own_);
    own_->show();  // added to a window that may be on the screen already
    message_ = MessageLabel(names_.field + QStringLiteral("Hinweis"), true, this);
    message_->setWordWrap(false);  // one line beside the field
    layout()->addWidget(message_);
    // Typed rules take effect when the field is left, or after a short pause in typing.
    pause_ = new QTimer(this);
    pause_->setSingleShot(true);
    pause_->setInterval(800);
    connect(own_, &QLineEdit::textEdited, pause_, qOverload<>(&QTimer::start));
    connect(pause_, &QTimer::timeout, this, &NightField::Apply);
    connect(own_, &QLineEdit::editingFinished, this, [this] {
        pause_->stop();
        Apply();
    });
    return own_;
}

bool NightField::IsOwn() const { return list_->currentData().toString().isEmpty(); }

void NightField::SetRule(const QString& rule) {
    const int known = list_->findData(rule);
    if (known < 0) OwnField()->setText(rule);
    list_->setCurrentIndex(known >= 0 ? known : list_->count() - 1);
    Apply();
}

QString NightField::Rule() const {
    const QString rule = list_->currentData().toString();
    return rule.isEmpty() && own_ ? own_->text().trimmed() : rule;
}

std::optional<NightRule> NightField::Parsed() const { return ParseNightRule(Rule().toStdString()); }

}  // namespace suelvan
