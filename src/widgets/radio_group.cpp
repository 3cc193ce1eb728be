#include "widgets/radio_group.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace torvane {

RadioGroup::RadioGroup(QWidget* parent)
    : QGroupBox(parent), group_(new QButtonGroup(this)), grid_(new QGridLayout(this)) {
    group_->setExclusive(true);
    grid_->setContentsMargins(6, 4, 6, 4);
    grid_->setVerticalSpacing(2);
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

void RadioGroup::setItems(const QStringList& items) {
    const int chosen = itemIndex();
    if (items.size() == buttons_.size()) {
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (buttons_[i]->text() != items[i]) buttons_[i]->setText(items[i]);
        }
        return;
    }
    for (QRadioButton* b : buttons_) {
        group_->removeButton(b);
        delete b;
    }
    buttons_.clear();
    for (qsizetype i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("%1[%2]").arg(objectName()).arg(i));
        group_->addButton(b, static_cast<int>(i));
        buttons_.append(b);
    }
    relayout();
    setItemIndex(chosen);
}

QStringList RadioGroup::items() const {
    QStringList texts;
    for (const QRadioButton* b : buttons_) texts << b->text();
    return texts;
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (index == itemIndex()) return;
    if (index >= 0 && index < buttons_.size()) {
        buttons_[index]->setChecked(true);
        return;
    }
    group_->setExclusive(false);
    for (QRadioButton* b : buttons_) b->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton* RadioGroup::button(int index) const {
    return index >= 0 && index < buttons_.size() ? buttons_[index] : nullptr;
}

void RadioGroup::setColumns(int columns) {
    columns_ = columns < 1 ? 1 : columns;
    relayout();
}

void RadioGroup::relayout() {
    const int n = static_cast<int>(buttons_.size());
    const int rows = (n + columns_ - 1) / columns_;
    for (int i = 0; i < n; ++i) {
        grid_->removeWidget(buttons_[i]);
        grid_->addWidget(buttons_[i], rows == 0 ? 0 : i % rows, rows == 0 ? 0 : i / rows);
    }
}

}  // namespace torvane
