#include "editor/page_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <algorithm>

#include "mapgrid/map_grid_view.h"
#include "widgets/named_control.h"
#include "widgets/radio_group.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

// The control a row of each kind binds: spins for numbers, a check box, a radio group, a combo box.
bool IsOfKind(const QWidget* w, BindKind kind) {
    switch (kind) {
        case BindKind::Byte:
        case BindKind::Word:
        case BindKind::IdleServo:
            return qobject_cast<const SpinField*>(w) != nullptr;
        case BindKind::Check:
            return qobject_cast<const QCheckBox*>(w) != nullptr;
        case BindKind::Radio:
            return qobject_cast<const RadioGroup*>(w) != nullptr;
        case BindKind::Combo:
        case BindKind::BikeCombo:
            return qobject_cast<const QComboBox*>(w) != nullptr;
    }
    return false;
}

}  // namespace

PageBinder::PageBinder(QWidget* root) {
    const QList<MapGridView*> grids = root->findChildren<MapGridView*>();
    for (const Binding& row : BindingTable()) {
        BoundRow bound{&row, {}, {}};
        for (int i = 0; i < row.count; ++i) {
            const QString name = QString::fromStdString(ControlName(row, i));
            QWidget* w = NamedControlIfAny<QWidget>(root, name);
            GridItem item;
            if (w == nullptr) {
                for (MapGridView* g : grids) {
                    const QModelIndex at = g->itemNamed(name);
                    if (!at.isValid()) continue;
                    item = {&g->grid(), at};
                    if (MapGridModel::cellOf(at) >= 0)
                        g->grid().setCellRange(row.min, row.max, row.step);
                    else
                        g->grid().setAxisRange(at.column() - 1, row.min, row.max, row.step);
                    break;
                }
            }
            if (w == nullptr && item.grid == nullptr) {
                NoteMissingControl(name, "QWidget");
                unbound_.push_back(name);
            } else if (w != nullptr && !IsOfKind(w, row.kind)) {
                unbound_.push_back(name + " (" + w->metaObject()->className() + ")");
                w = nullptr;
            }
            bound.controls.push_back(w);
            bound.items.push_back(item);
            if (auto* spin = qobject_cast<SpinField*>(w)) {
                spin->setRange(row.min, row.max);
                spin->setSingleStep(row.step);
            }
        }
        rows_.push_back(std::move(bound));
    }
}

QWidget* PageBinder::control(const Binding& row, int i) const {
    for (const BoundRow& b : rows_) {
        if (b.row == &row)
            return i >= 0 && i < static_cast<int>(b.controls.size()) ? b.controls[static_cast<std::size_t>(i)]
                                                                     : nullptr;
    }
    return nullptr;
}

void PageBinder::setIdleServoScale(int step, int maximum) {
    idleStep_ = step;
    for (const BoundRow& b : rows_) {
        if (b.row->kind != BindKind::IdleServo) continue;
        for (QWidget* w : b.controls) {
            if (auto* spin = qobject_cast<SpinField*>(w)) {
                spin->setMaximum(maximum);
                spin->setSingleStep(step);
            }
        }
    }
}

void PageBinder::imageToPage(int page, const DeviceImage& image) {
    for (const BoundRow& b : rows_) {
        if (b.row->page != page) continue;
        for (std::size_t i = 0; i < b.controls.size(); ++i) {
            QWidget* w = b.controls[i];
            const int shown = ShownValue(*b.row, image, static_cast<int>(i), idleStep_);
            if (const GridItem& item = b.items[i]; item.grid != nullptr) {
                item.grid->setData(item.index, shown, Qt::EditRole);
                continue;
            }
            if (w == nullptr) continue;
            switch (b.row->kind) {
                case BindKind::Byte:
                case BindKind::Word:
                case BindKind::IdleServo:
                    static_cast<SpinField*>(w)->showValue(shown);
                    break;
                case BindKind::Check: {
                    auto* box = static_cast<QCheckBox*>(w);
                    if (box->isChecked() != (shown != 0)) box->setChecked(shown != 0);
                    break;
                }
                case BindKind::Radio:
                    static_cast<RadioGroup*>(w)->setItemIndex(shown);
                    break;
                case BindKind::Combo:
                case BindKind::BikeCombo: {
                    auto* combo = static_cast<QComboBox*>(w);
                    const int item = shown < combo->count() ? shown : -1;
                    if (combo->currentIndex() != item) combo->setCurrentIndex(item);
                    break;
                }
            }
        }
    }
}

void PageBinder::pageToImage(int page, DeviceImage& image) const {
    for (const BoundRow& b : rows_) {
        if (b.row->page != page) continue;
        for (std::size_t i = 0; i < b.controls.size(); ++i) {
            QWidget* w = b.controls[i];
            if (const GridItem& item = b.items[i]; item.grid != nullptr) {
                const MapGridModel::ValueItem* v = item.grid->valueItem(item.index);
                if (v == nullptr) continue;
                // As a spin's: a stored value outside the range, left untouched, stays as stored.
                const int stored = ShownValue(*b.row, image, static_cast<int>(i), idleStep_);
                const bool outside = stored < v->minimum || stored > v->maximum;
                if (outside && v->value == std::clamp(stored, v->minimum, v->maximum)) continue;
                StoreShownValue(*b.row, image, static_cast<int>(i), v->value, idleStep_);
                continue;
            }
            if (w == nullptr) continue;
            int shown = 0;
            switch (b.row->kind) {
                case BindKind::Byte:
                case BindKind::Word:
                case BindKind::IdleServo: {
                    const auto* spin = static_cast<SpinField*>(w);
                    shown = spin->value();
                    // A stored value outside the spin's range shows limited (the unused Top2..4 of a
                    // profile hold 0 while the spins start at 1). Left untouched, it stays as stored, so
                    // an edit elsewhere on the page never rewrites it.
                    const int stored = ShownValue(*b.row, image, static_cast<int>(i), idleStep_);
                    const bool outside = stored < spin->minimum() || stored > spin->maximum();
                    if (outside && shown == std::clamp(stored, spin->minimum(), spin->maximum())) continue;
                    break;
                }
                case BindKind::Check:
                    shown = static_cast<QCheckBox*>(w)->isChecked() ? 1 : 0;
                    break;
                case BindKind::Radio:
                    shown = static_cast<RadioGroup*>(w)->itemIndex();
                    break;
                case BindKind::Combo:
                case BindKind::BikeCombo:
                    shown = static_cast<QComboBox*>(w)->currentIndex();
                    break;
            }
            // An empty selection reads as 255; for the type list it leaves Bike alone. Spins keep
            // their negative values (corrections shown around zero).
            if (shown < 0 && (b.row->kind == BindKind::Radio || b.row->kind == BindKind::Combo)) shown = 255;
            StoreShownValue(*b.row, image, static_cast<int>(i), shown, idleStep_);
        }
    }
}

}  // namespace torvane
