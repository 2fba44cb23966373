#include "ui/night_field.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>

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
        emit changed();
    });
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
    connect(own_, &QLineEdit::editingFinished, this, &NightField::changed);
    return own_;
}

bool NightField::IsOwn() const { return list_->currentData().toString().isEmpty(); }

void NightField::SetRule(const QString& rule) {
    const int known = list_->findData(rule);
    if (known < 0) OwnField()->setText(rule);
    list_->setCurrentIndex(known >= 0 ? known : list_->count() - 1);
}

QString NightField::Rule() const {
    const QString rule = list_->currentData().toString();
    return rule.isEmpty() && own_ ? own_->text().trimmed() : rule;
}

std::optional<NightRule> NightField::Parsed() const { return ParseNightRule(Rule().toStdString()); }

}  // namespace suelvan
