#include "display/display_applier.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "mapgrid/map_grid_model.h"
#include "widgets/named_control.h"
#include "widgets/spin_field.h"

namespace torvane {

QColor DisplayApplier::colorOf(Paint paint) {
    switch (paint) {
        case Paint::Green:
            return QColor(0, 255, 0);
        case Paint::Yellow:
            return QColor(255, 255, 0);
        case Paint::Aqua:
            return QColor(0, 255, 255);
        case Paint::Red:
            return QColor(255, 0, 0);
        case Paint::Window:
            return QApplication::palette().color(QPalette::Base);
        default:
            return QApplication::palette().color(QPalette::Button);
    }
}

QWidget* DisplayApplier::widget(const QString& name) {
    auto it = found_.find(name);
    if (it != found_.end() && !it.value().isNull()) return it.value();
    QWidget* w = NamedControl<QWidget>(window_, name);
    found_.insert(name, w);
    return w;
}

QWidget* DisplayApplier::element(std::string_view base, int index) {
    QString name = QString::fromLatin1(base.data(), static_cast<qsizetype>(base.size()));
    if (index >= 0) name += QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
    return widget(name);
}

void DisplayApplier::setPaint(QWidget* w, Paint paint) {
    if (paint == Paint::None) return;
    auto it = painted_.find(w);
    if (it != painted_.end() && it.value() == paint) return;
    painted_.insert(w, paint);
    if (auto* spin = qobject_cast<SpinField*>(w)) {
        spin->setFieldColor(paint == Paint::Window ? QColor() : colorOf(paint));
        return;
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
        QFont f = button->font();
        f.setBold(paint == Paint::Bold);
        button->setFont(f);
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colorOf(paint));
    w->setAutoFillBackground(true);
    w->setPalette(p);
}

namespace {

// "Base[12]" -> ("Base", 12); a name without an index -> (name, -1).
std::pair<std::string_view, int> SplitName(std::string_view name) {
    const std::size_t open = name.find('[');
    if (open == std::string_view::npos || name.back() != ']') return {name, -1};
    int index = 0;
    for (std::size_t i = open + 1; i + 1 < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return {name, -1};
        index = index * 10 + (name[i] - '0');
    }
    return {name.substr(0, open), index};
}

QColor FieldColorOf(Paint paint) {
    return paint == Paint::Window ? QColor() : DisplayApplier::colorOf(paint);
}
QColor LabelColorOf(Paint paint) {
    return paint == Paint::ButtonFace ? QColor() : DisplayApplier::colorOf(paint);
}

// A value item of a grid takes what an element's shape says of its visibility, arrows and colour.
void ShapeItem(MapGridModel& g, const QModelIndex& at, const ElementShape& e) {
    if (e.visible) g.setShown(at, *e.visible);
    if (e.enabled) g.setEnabled(at, *e.enabled);
    if (e.upDowns) g.setUpDowns(at, *e.upDowns);
    if (e.color != Paint::None) g.setFieldColor(at, FieldColorOf(e.color));
}

}  // namespace

bool DisplayApplier::applyToGrid(const ElementShape& e) {
    const auto [base, index] = SplitName(e.name);
    MapGridModel& g = *grid_;
    const auto valueItem = [&](const QModelIndex& at) { ShapeItem(g, at, e); };
    if (base == "UpDownCell_Uni" && index >= 0 && index < MapCells) {
        valueItem(g.cellIndex(index));
    } else if (base == "UpDownRpm_Uni" && index >= 0 && index < MapColumns) {
        valueItem(g.axisIndex(index));
    } else if (base == "UpDownIap_Uni" && index >= 0 && index < MapRows) {
        valueItem(g.iapIndex(index));
    } else if (base == "LabelCell_Uni" && index >= 0 && index < MapCells) {
        const MapGridModel::ValueItem& cell = g.cell(index);
        g.setTime(index, e.text ? QString::fromStdString(*e.text) : cell.time,
                  e.visible.value_or(cell.timeShown));
        if (e.color != Paint::None) g.setTimeColor(index, LabelColorOf(e.color));
    } else if (base == "LabelRow_Uni" && index >= 0 && index < MapRows) {
        if (e.visible) g.setRowCaptionShown(index, *e.visible);
        if (e.text) g.setRowCaption(index, QString::fromStdString(*e.text));
        if (e.color != Paint::None) g.setRowCaptionColor(index, LabelColorOf(e.color));
    } else if (base == "CSpinButtonColumn_Uni" && index >= 0 && index < MapColumns) {
        if (e.visible) g.setColumnButtonsShown(index, *e.visible);
    } else if (base == "LabelRpm_Uni" && index < 0) {
        g.setRpmCaption(e.text ? QString::fromStdString(*e.text) : g.rpmCaption().text,
                        e.visible.value_or(g.rpmCaption().shown));
    } else if (base == "LabelAxis_Uni" && index < 0) {
        g.setAxisCaption(e.text ? QString::fromStdString(*e.text) : g.axisCaption().text,
                         e.visible.value_or(g.axisCaption().shown));
    } else if (base == "BevelGrid_Uni" && index < 0) {
        if (e.visible) g.setBevelShown(*e.visible);
    } else {
        return false;
    }
    return true;
}

bool DisplayApplier::paintGrid(std::string_view base, int index, Paint paint) {
    if (paint == Paint::None) return true;
    MapGridModel& g = *grid_;
    if (base == "UpDownCell_Uni" && index >= 0 && index < MapCells) {
        g.setFieldColor(g.cellIndex(index), FieldColorOf(paint));
    } else if (base == "LabelCell_Uni" && index >= 0 && index < MapCells) {
        g.setTimeColor(index, LabelColorOf(paint));
    } else if (base == "UpDownRpm_Uni" && index >= 0 && index < MapColumns) {
        g.setFieldColor(g.axisIndex(index), FieldColorOf(paint));
    } else if (base == "UpDownIap_Uni" && index >= 0 && index < MapRows) {
        g.setFieldColor(g.iapIndex(index), FieldColorOf(paint));
    } else if (base == "LabelRow_Uni" && index >= 0 && index < MapRows) {
        g.setRowCaptionColor(index, LabelColorOf(paint));
    } else {
        return false;
    }
    return true;
}

void DisplayApplier::addCurveGrid(MapGridModel* grid) {
    curves_.push_back({grid, grid->names().cell.toStdString(), grid->names().axis.toStdString()});
}

QModelIndex DisplayApplier::curveItem(std::string_view base, int index, MapGridModel*& grid) const {
    if (index < 0 || index >= MapColumns) return {};
    for (const Curve& c : curves_) {
        grid = c.grid;
        if (base == c.cells) return c.grid->cellIndex(index);
        if (base == c.axis) return c.grid->axisIndex(index);
    }
    return {};
}

bool DisplayApplier::applyToCurve(const ElementShape& e) {
    if (curves_.empty()) return false;
    const auto [base, index] = SplitName(e.name);
    MapGridModel* g = nullptr;
    const QModelIndex at = curveItem(base, index, g);
    if (!at.isValid()) return false;
    ShapeItem(*g, at, e);
    return true;
}

bool DisplayApplier::paintCurve(std::string_view base, int index, Paint paint) {
    if (curves_.empty()) return false;
    MapGridModel* g = nullptr;
    const QModelIndex at = curveItem(base, index, g);
    if (!at.isValid()) return false;
    if (paint != Paint::None) g->setFieldColor(at, FieldColorOf(paint));
    return true;
}

void DisplayApplier::apply(const std::vector<ElementShape>& elements) {
    for (const ElementShape& e : elements) {
        if (grid_ != nullptr && applyToGrid(e)) continue;
        if (applyToCurve(e)) continue;
        QWidget* w = widget(QString::fromStdString(e.name));
        if (w == nullptr) continue;
        if (e.text) {
            const QString text = QString::fromStdString(*e.text);
            if (auto* label = qobject_cast<QLabel*>(w)) {
                if (label->text() != text) label->setText(text);
            } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
                if (box->title() != text) box->setTitle(text);
            } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                if (button->text() != text) button->setText(text);
            }
        }
        if (auto* spin = qobject_cast<SpinField*>(w)) {
            if (e.upDowns && spin->upDownShown() != *e.upDowns) spin->setUpDownShown(*e.upDowns);
            if (e.range && (spin->minimum() != e.range->min || spin->maximum() != e.range->max)) {
                spin->setRange(e.range->min, e.range->max);
            }
            if (e.range && spin->singleStep() != e.range->step) spin->setSingleStep(e.range->step);
        }
        if (e.enabled && w->isEnabled() != *e.enabled) w->setEnabled(*e.enabled);
        if (e.visible && w->isHidden() == *e.visible) w->setVisible(*e.visible);
        setPaint(w, e.color);
    }
}

void DisplayApplier::paint(const std::vector<Highlight>& highlights) {
    for (const Highlight& h : highlights) {
        if (grid_ != nullptr && paintGrid(h.base, h.index, h.paint)) continue;
        if (paintCurve(h.base, h.index, h.paint)) continue;
        if (QWidget* w = element(h.base, h.index)) setPaint(w, h.paint);
    }
}

}  // namespace torvane
