#include "mapgrid/map_grid_model.h"

#include <QLocale>
#include <algorithm>

namespace torvane {
namespace {

constexpr const char* kThrottleRows[MapRows] = {"0%",  "2%",  "5%",  "10%", "20%",
                                                "30%", "40%", "60%", "80%", "100%"};

}  // namespace

MapGridModel::MapGridModel(QObject* parent) : QAbstractTableModel(parent) {
    for (int r = 0; r < MapRows; ++r) {
        rowCaptions_[static_cast<std::size_t>(r)].text = QString::fromLatin1(kThrottleRows[r]);
        ValueItem& i = iap_[static_cast<std::size_t>(r)];
        i.maximum = IapAxisMax;
        i.groupSeparator = false;
        i.shown = false;
    }
    for (ValueItem& a : axis_) {
        a.minimum = RpmAxisMin;
        a.maximum = RpmAxisMax;
        a.step = 100;
    }
    buttons_.fill(true);
    rpmCaption_.text = QStringLiteral("RPM");
    axisCaption_.text = QStringLiteral("TPS");
    names_ = {QStringLiteral("UpDownCell_Uni"), QStringLiteral("UpDownRpm_Uni"),
              QStringLiteral("UpDownIap_Uni"), QStringLiteral("LabelRpm_Uni"), QString()};
}

MapGridModel* MapGridModel::curve(const ItemNames& names, QObject* parent) {
    auto* m = new MapGridModel(parent);
    m->names_ = names;
    for (int k = MapColumns; k < MapCells; ++k) m->cells_[static_cast<std::size_t>(k)].shown = false;
    for (int r = 1; r < MapRows; ++r) m->rowCaptions_[static_cast<std::size_t>(r)].shown = false;
    m->rowCaptions_[0].text.clear();
    m->axisCaption_.shown = false;
    m->bevel_ = false;
    m->buttons_.fill(false);
    return m;
}

QModelIndex MapGridModel::indexNamed(QStringView base, int i) const {
    if (i < 0) return {};
    if (base == names_.cell && i < MapCells) return cellIndex(i);
    if (base == names_.axis && i < MapColumns) return axisIndex(i);
    if (base == names_.iap && i < MapRows) return iapIndex(i);
    return {};
}

QString MapGridModel::nameOf(const QModelIndex& index) const {
    if (!index.isValid()) return {};
    if (index.row() == AxisRow && index.column() > 0)
        return QStringLiteral("%1[%2]").arg(names_.axis).arg(index.column() - 1);
    if (index.column() == 0 && index.row() >= FirstCellRow && index.row() < ButtonRow)
        return QStringLiteral("%1[%2]").arg(names_.iap).arg(index.row() - FirstCellRow);
    const int k = cellOf(index);
    return k >= 0 ? QStringLiteral("%1[%2]").arg(names_.cell).arg(k) : QString();
}

bool MapGridModel::takeCaption(const QString& label, const QString& text) {
    if (label == names_.rpmCaption) {
        setRpmCaption(text, rpmCaption_.shown);
        return true;
    }
    if (!names_.rowCaption.isEmpty() && label == names_.rowCaption) {
        setRowCaption(0, text);
        return true;
    }
    return false;
}

int MapGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount;
}

int MapGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

MapGridModel::Kind MapGridModel::kindOf(const QModelIndex& index) const {
    if (!index.isValid()) return Kind::None;
    const int row = index.row();
    const int column = index.column();
    if (row == AxisRow) return column == 0 ? Kind::Caption : Kind::Axis;
    if (row == CaptionRow) return column == 0 ? Kind::Caption : Kind::None;
    if (row == ButtonRow) return column == 0 ? Kind::None : Kind::ColumnButtons;
    if (column == 0)
        return iap_[static_cast<std::size_t>(row - FirstCellRow)].shown ? Kind::Iap : Kind::Caption;
    return Kind::Cell;
}

int MapGridModel::cellOf(const QModelIndex& index) {
    if (!index.isValid() || index.column() < 1 || index.row() < FirstCellRow || index.row() >= ButtonRow)
        return -1;
    return (index.row() - FirstCellRow) * MapColumns + index.column() - 1;
}

const MapGridModel::ValueItem* MapGridModel::valueItem(const QModelIndex& index) const {
    switch (kindOf(index)) {
        case Kind::Axis:
            return &axis_[static_cast<std::size_t>(index.column() - 1)];
        case Kind::Iap:
            return &iap_[static_cast<std::size_t>(index.row() - FirstCellRow)];
        case Kind::Cell:
            return &cells_[static_cast<std::size_t>(cellOf(index))];
        default:
            return nullptr;
    }
}

MapGridModel::ValueItem* MapGridModel::mutableValueItem(const QModelIndex& index) {
    return const_cast<ValueItem*>(valueItem(index));
}

QString MapGridModel::textOf(const ValueItem& item) const {
    // As a spin box shows its value: the thousands separator from 1000 on where the field has one.
    const QLocale locale;
    QString text = locale.toString(item.value);
    if (!item.groupSeparator && std::abs(item.value) >= 1000) text.remove(locale.groupSeparator());
    return text;
}

QVariant MapGridModel::data(const QModelIndex& index, int role) const {
    const Kind kind = kindOf(index);
    if (role == KindRole) return static_cast<int>(kind);
    if (kind == Kind::Caption) {
        const CaptionItem& c = index.row() == AxisRow ? rpmCaption_
                               : index.row() == CaptionRow
                                   ? axisCaption_
                                   : rowCaptions_[static_cast<std::size_t>(index.row() - FirstCellRow)];
        switch (role) {
            case Qt::DisplayRole:
            case Qt::AccessibleTextRole:
                return c.text;
            case Qt::BackgroundRole:
                // A print shows the row captions on white, as the paper is.
                if (printMode_ && index.row() >= FirstCellRow) return QColor(Qt::white);
                return c.background.isValid() ? QVariant(c.background) : QVariant();
            case ShownRole:
                return c.shown;
            default:
                return {};
        }
    }
    if (kind == Kind::ColumnButtons) {
        if (role == ShownRole) return buttons_[static_cast<std::size_t>(index.column() - 1)] && !printMode_;
        return {};
    }
    const ValueItem* item = valueItem(index);
    if (item == nullptr) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::AccessibleDescriptionRole:
            return textOf(*item);
        case Qt::AccessibleTextRole:
            return spokenName(index);
        case Qt::EditRole:
            return item->value;
        case Qt::BackgroundRole:
            if (item->field.isValid()) return item->field;
            if (item->underlay.isValid() && !printMode_) return item->underlay;
            return {};
        case MinimumRole:
            return item->minimum;
        case MaximumRole:
            return item->maximum;
        case StepRole:
            return item->step;
        case UpDownsRole:
            return item->upDowns && !printMode_;
        case FieldColorRole:
            return item->field;
        case UnderlayColorRole:
            return item->underlay;
        case TimeTextRole:
            return item->timeShown ? item->time : QString();
        case TimeColorRole:
            return item->timeColor;
        case ShownRole:
            return item->shown;
        case EnabledRole:
            return item->enabled;
        default:
            return {};
    }
}

bool MapGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    ValueItem* item = mutableValueItem(index);
    if (item == nullptr) return false;
    const int v = std::clamp(value.toInt(), item->minimum, item->maximum);
    if (v == item->value) return true;
    item->value = v;
    changed(index);
    return true;
}

Qt::ItemFlags MapGridModel::flags(const QModelIndex& index) const {
    const ValueItem* item = valueItem(index);
    if (item == nullptr || !item->shown) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled;
    if (!item->enabled) return Qt::NoItemFlags;
    f |= Qt::ItemIsEditable;
    if (kindOf(index) == Kind::Cell) f |= Qt::ItemIsSelectable;
    return f;
}

void MapGridModel::changed(const QModelIndex& index) {
    emit dataChanged(index, index);
}

void MapGridModel::changedRow(int row) {
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void MapGridModel::setCellValue(int k, int value) {
    setData(cellIndex(k), value, Qt::EditRole);
}

void MapGridModel::setAxisValue(int c, int value) {
    setData(axisIndex(c), value, Qt::EditRole);
}

void MapGridModel::setIapValue(int r, int value) {
    ValueItem& item = iap_[static_cast<std::size_t>(r)];
    const int v = std::clamp(value, item.minimum, item.maximum);
    if (v == item.value) return;
    item.value = v;
    changed(iapIndex(r));
}

namespace {

// Takes the values into the items (each limited to its range) and gives the first and last position
// that changed, -1 for none.
template <std::size_t N>
std::pair<int, int> TakeValues(std::array<MapGridModel::ValueItem, N>& items,
                               const std::array<int, N>& values) {
    int first = -1;
    int last = -1;
    for (std::size_t i = 0; i < N; ++i) {
        const int v = std::clamp(values[i], items[i].minimum, items[i].maximum);
        if (v == items[i].value) continue;
        items[i].value = v;
        if (first < 0) first = static_cast<int>(i);
        last = static_cast<int>(i);
    }
    return {first, last};
}

}  // namespace

void MapGridModel::setCellValues(const std::array<int, MapCells>& values) {
    const auto [first, last] = TakeValues(cells_, values);
    if (first >= 0)
        emit dataChanged(index(FirstCellRow + first / MapColumns, 1),
                         index(FirstCellRow + last / MapColumns, ColumnCount - 1));
}

void MapGridModel::setAxisValues(const std::array<int, MapColumns>& values) {
    const auto [first, last] = TakeValues(axis_, values);
    if (first >= 0) emit dataChanged(axisIndex(first), axisIndex(last));
}

void MapGridModel::setIapValues(const std::array<int, MapRows>& values) {
    const auto [first, last] = TakeValues(iap_, values);
    if (first >= 0) emit dataChanged(iapIndex(first), iapIndex(last));
}

void MapGridModel::setCellRange(int minimum, int maximum, int step) {
    bool any = false;
    for (int k = 0; k < MapCells; ++k) {
        ValueItem& item = cells_[static_cast<std::size_t>(k)];
        if (item.minimum == minimum && item.maximum == maximum && item.step == step) continue;
        const bool wider = item.minimum != minimum || item.maximum != maximum;
        item.minimum = minimum;
        item.maximum = maximum;
        item.step = step;
        // A spin keeps its value inside its range.
        item.value = std::clamp(item.value, minimum, maximum);
        any = any || wider;
    }
    if (any) {
        emit dataChanged(index(FirstCellRow, 1), index(ButtonRow - 1, ColumnCount - 1));
        emit geometryChanged();
    }
}

void MapGridModel::setAxisRange(int c, int minimum, int maximum, int step) {
    ValueItem& item = axis_[static_cast<std::size_t>(c)];
    if (item.minimum == minimum && item.maximum == maximum && item.step == step) return;
    item.minimum = minimum;
    item.maximum = maximum;
    item.step = step;
    item.value = std::clamp(item.value, minimum, maximum);
    changed(axisIndex(c));
    emit geometryChanged();
}

void MapGridModel::setIapRange(int minimum, int maximum) {
    for (int r = 0; r < MapRows; ++r) {
        ValueItem& item = iap_[static_cast<std::size_t>(r)];
        item.minimum = minimum;
        item.maximum = maximum;
        item.value = std::clamp(item.value, minimum, maximum);
    }
}

void MapGridModel::setShown(const QModelIndex& index, bool shown) {
    ValueItem* item = mutableValueItem(index);
    // The IAP field is a value item only while shown: reach it by its own array.
    if (index.isValid() && index.column() == 0 && index.row() >= FirstCellRow && index.row() < ButtonRow)
        item = &iap_[static_cast<std::size_t>(index.row() - FirstCellRow)];
    if (item == nullptr || item->shown == shown) return;
    item->shown = shown;
    changed(index);
    emit geometryChanged();
}

void MapGridModel::setEnabled(const QModelIndex& index, bool enabled) {
    ValueItem* item = mutableValueItem(index);
    if (item == nullptr || item->enabled == enabled) return;
    item->enabled = enabled;
    changed(index);
}

void MapGridModel::setUpDowns(const QModelIndex& index, bool upDowns) {
    ValueItem* item = mutableValueItem(index);
    if (item == nullptr || item->upDowns == upDowns) return;
    item->upDowns = upDowns;
    changed(index);
    emit geometryChanged();
}

void MapGridModel::setFieldColor(const QModelIndex& index, const QColor& color) {
    ValueItem* item = mutableValueItem(index);
    if (index.isValid() && index.column() == 0 && index.row() >= FirstCellRow && index.row() < ButtonRow)
        item = &iap_[static_cast<std::size_t>(index.row() - FirstCellRow)];
    if (item == nullptr || item->field == color) return;
    item->field = color;
    changed(index);
}

void MapGridModel::setUnderlayColor(int k, const QColor& color) {
    ValueItem& item = cells_[static_cast<std::size_t>(k)];
    if (item.underlay == color) return;
    item.underlay = color;
    changed(cellIndex(k));
}

void MapGridModel::setTime(int k, const QString& text, bool shown) {
    ValueItem& item = cells_[static_cast<std::size_t>(k)];
    if (item.time == text && item.timeShown == shown) return;
    item.time = text;
    item.timeShown = shown;
    changed(cellIndex(k));
}

void MapGridModel::setTimeColor(int k, const QColor& color) {
    ValueItem& item = cells_[static_cast<std::size_t>(k)];
    if (item.timeColor == color) return;
    item.timeColor = color;
    if (item.timeShown) changed(cellIndex(k));
}

void MapGridModel::setRowCaption(int r, const QString& text) {
    CaptionItem& c = rowCaptions_[static_cast<std::size_t>(r)];
    if (c.text == text) return;
    c.text = text;
    changed(index(FirstCellRow + r, 0));
}

void MapGridModel::setRowCaptionShown(int r, bool shown) {
    CaptionItem& c = rowCaptions_[static_cast<std::size_t>(r)];
    if (c.shown == shown) return;
    c.shown = shown;
    changed(index(FirstCellRow + r, 0));
    emit geometryChanged();
}

void MapGridModel::setRowCaptionColor(int r, const QColor& color) {
    CaptionItem& c = rowCaptions_[static_cast<std::size_t>(r)];
    if (c.background == color) return;
    c.background = color;
    changed(index(FirstCellRow + r, 0));
}

void MapGridModel::setRpmCaption(const QString& text, bool shown) {
    if (rpmCaption_.text == text && rpmCaption_.shown == shown) return;
    rpmCaption_.text = text;
    rpmCaption_.shown = shown;
    changed(index(AxisRow, 0));
    emit geometryChanged();
}

void MapGridModel::setAxisCaption(const QString& text, bool shown) {
    if (axisCaption_.text == text && axisCaption_.shown == shown) return;
    axisCaption_.text = text;
    axisCaption_.shown = shown;
    changedRow(CaptionRow);
    emit geometryChanged();
}

void MapGridModel::setBevelShown(bool shown) {
    if (bevel_ == shown) return;
    bevel_ = shown;
    changedRow(CaptionRow);
    emit geometryChanged();
}

void MapGridModel::setColumnButtonsShown(int c, bool shown) {
    bool& b = buttons_[static_cast<std::size_t>(c)];
    if (b == shown) return;
    b = shown;
    changed(index(ButtonRow, 1 + c));
    emit geometryChanged();
}

void MapGridModel::setPrintMode(bool on) {
    if (printMode_ == on) return;
    printMode_ = on;
    emit dataChanged(index(0, 0), index(RowCount - 1, ColumnCount - 1));
    emit geometryChanged();
}

void MapGridModel::setSpokenNames(const SpokenNames& names) {
    if (names.title == spoken_.title && names.cellFormat == spoken_.cellFormat &&
        names.axisFormat == spoken_.axisFormat && names.iapFormat == spoken_.iapFormat)
        return;
    spoken_ = names;
    emit dataChanged(index(0, 0), index(RowCount - 1, ColumnCount - 1), {Qt::AccessibleTextRole});
}

QString MapGridModel::spokenName(const QModelIndex& index) const {
    switch (kindOf(index)) {
        case Kind::Cell: {
            const int r = index.row() - FirstCellRow;
            const ValueItem& rowAxis = iap_[static_cast<std::size_t>(r)];
            const QString row = rowAxis.shown ? QStringLiteral("%1 kPa").arg(rowAxis.value)
                                              : rowCaptions_[static_cast<std::size_t>(r)].text.trimmed();
            return spoken_.cellFormat.arg(spoken_.title, row)
                .arg(axis_[static_cast<std::size_t>(index.column() - 1)].value);
        }
        case Kind::Axis:
            return spoken_.axisFormat.arg(spoken_.title).arg(index.column());
        case Kind::Iap:
            return spoken_.iapFormat.arg(spoken_.title).arg(index.row() - FirstCellRow + 1);
        default:
            return data(index, Qt::DisplayRole).toString();
    }
}

std::vector<int> MapGridModel::shownRows() const {
    std::vector<int> rows;
    for (int r = 0; r < MapRows; ++r) {
        for (int c = 0; c < MapColumns; ++c) {
            if (cells_[static_cast<std::size_t>(r * MapColumns + c)].shown) {
                rows.push_back(r);
                break;
            }
        }
    }
    return rows;
}

std::vector<int> MapGridModel::shownColumns() const {
    std::vector<int> columns;
    for (int c = 0; c < MapColumns; ++c) {
        for (int r = 0; r < MapRows; ++r) {
            if (cells_[static_cast<std::size_t>(r * MapColumns + c)].shown) {
                columns.push_back(c);
                break;
            }
        }
    }
    return columns;
}

}  // namespace torvane
