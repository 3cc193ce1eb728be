#include "mapgrid/map_grid_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyleOptionSpinBox>
#include <cmath>

#include "mapgrid/map_grid_accessible.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

using Kind = MapGridModel::Kind;

constexpr int kCaptionMargin = 2;
constexpr int kButtonWidth = 16;  // a column step button: two small arrows over each other
constexpr int kButtonHeight = 20;
// The grid grows with its room, but cells never grow taller than this share of their natural height.
constexpr double kMostRowGrowth = 1.5;

Kind KindOf(const QModelIndex& index) {
    return static_cast<Kind>(index.data(MapGridModel::KindRole).toInt());
}

// Ctrl+C, Ctrl+Shift+C and Ctrl+V: the window's cell copy and paste.
bool IsClipboardKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_C &&
            (mods == Qt::ControlModifier || mods == (Qt::ControlModifier | Qt::ShiftModifier))) ||
           (key->key() == Qt::Key_V && mods == Qt::ControlModifier);
}

bool IsValueKind(Kind kind) {
    return kind == Kind::Axis || kind == Kind::Iap || kind == Kind::Cell;
}

QStyleOptionSpinBox SpinOption(const QWidget* widget, const QRect& rect, bool upDowns, bool enabled) {
    QStyleOptionSpinBox option;
    option.initFrom(widget);
    option.rect = rect;
    option.frame = true;
    option.buttonSymbols = upDowns ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons;
    option.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
    if (upDowns) option.subControls |= QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (!enabled) option.state &= ~QStyle::State_Enabled;
    return option;
}

}  // namespace

MapGridView::MapGridView(MapGridModel* model, QWidget* parent) : QAbstractItemView(parent), model_(model) {
    setObjectName("GridMap_Uni");
    InstallMapGridAccessibility();
    setModel(model);
    delegate_ = new MapGridDelegate(this);
    setItemDelegate(delegate_);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    setMouseTracking(false);

    measure_ = new SpinField(this);
    measure_->setObjectName("GridMeasure_Uni");
    measure_->hide();

    connect(model_, &MapGridModel::dataChanged, this, &MapGridView::onDataChanged);
    connect(model_, &MapGridModel::geometryChanged, this, &MapGridView::relayout);
    relayout();
}

// --- layout ---------------------------------------------------------------------------------------

QSize MapGridView::itemSize(const MapGridModel::ValueItem& item) const {
    const quint64 key = (static_cast<quint64>(static_cast<quint32>(item.minimum)) << 32) ^
                        (static_cast<quint64>(static_cast<quint32>(item.maximum)) << 2) ^
                        (item.upDowns && !model_->printMode() ? 1u : 0u) ^ (item.groupSeparator ? 2u : 0u);
    auto it = sizes_.find(key);
    if (it != sizes_.end()) return it.value();
    measure_->setGroupSeparatorShown(item.groupSeparator);
    measure_->setRange(item.minimum, item.maximum);
    measure_->setUpDownShown(item.upDowns && !model_->printMode());
    const QSize size = measure_->sizeHint();
    sizes_.insert(key, size);
    return size;
}

int MapGridView::neededWidth(const MapGridModel::ValueItem& item) const {
    const QSize size = itemSize(item);
    if (!item.timeShown || item.time.isEmpty()) return size.width();
    // The time label is written in the edit part of the field: the field grows by what it lacks there.
    const bool upDowns = item.upDowns && !model_->printMode();
    const QStyleOptionSpinBox option = SpinOption(this, QRect(QPoint(0, 0), size), upDowns, true);
    const int room =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this).width() - 3;
    const int text = QFontMetrics(font()).horizontalAdvance(item.time);
    return size.width() + std::max(0, text - room);
}

void MapGridView::relayout() {
    const QFontMetrics fm(font());
    naturalWidth_.fill(0);
    naturalHeight_.fill(0);
    const int spinHeight = itemSize(model_->cell(0)).height();

    // Column 0: the captions and the IAP row axis.
    if (model_->rpmCaption().shown)
        naturalWidth_[0] =
            std::max(naturalWidth_[0], fm.horizontalAdvance(model_->rpmCaption().text) + 2 * kCaptionMargin);
    if (model_->axisCaption().shown)
        naturalWidth_[0] =
            std::max(naturalWidth_[0], fm.horizontalAdvance(model_->axisCaption().text) + 2 * kCaptionMargin);
    for (int r = 0; r < MapRows; ++r) {
        const auto& caption = model_->rowCaption(r);
        const auto& iap = model_->iap(r);
        if (iap.shown)
            naturalWidth_[0] = std::max(naturalWidth_[0], itemSize(iap).width());
        else if (caption.shown)
            naturalWidth_[0] =
                std::max(naturalWidth_[0], fm.horizontalAdvance(caption.text) + 2 * kCaptionMargin + 2);
    }
    // Columns 1..15: the widest item each holds.
    for (int c = 0; c < MapColumns; ++c) {
        int w = 0;
        if (model_->axis(c).shown) w = std::max(w, itemSize(model_->axis(c)).width());
        for (int r = 0; r < MapRows; ++r) {
            const auto& cell = model_->cell(r * MapColumns + c);
            if (cell.shown) w = std::max(w, neededWidth(cell));
        }
        if (model_->columnButtonsShown(c) && !model_->printMode()) w = std::max(w, kButtonWidth);
        naturalWidth_[static_cast<std::size_t>(c + 1)] = w;
    }
    // Rows: those that show nothing take no room.
    const auto anyCell = [this](int r) {
        for (int c = 0; c < MapColumns; ++c)
            if (model_->cell(r * MapColumns + c).shown) return true;
        return false;
    };
    bool anyAxis = model_->rpmCaption().shown;
    for (int c = 0; c < MapColumns; ++c) anyAxis = anyAxis || model_->axis(c).shown;
    naturalHeight_[MapGridModel::AxisRow] = anyAxis ? spinHeight : 0;
    naturalHeight_[MapGridModel::CaptionRow] =
        model_->axisCaption().shown || model_->bevelShown() ? fm.height() + 2 : 0;
    for (int r = 0; r < MapRows; ++r) {
        const bool shown = anyCell(r) || model_->iap(r).shown;
        naturalHeight_[static_cast<std::size_t>(MapGridModel::FirstCellRow + r)] = shown ? spinHeight : 0;
    }
    bool anyButton = false;
    for (int c = 0; c < MapColumns; ++c) anyButton = anyButton || model_->columnButtonsShown(c);
    naturalHeight_[MapGridModel::ButtonRow] = anyButton && !model_->printMode() ? kButtonHeight + 2 : 0;

    int width = 0;
    int height = 0;
    for (int w : naturalWidth_) width += w + (w > 0 ? 2 : 0);
    for (int h : naturalHeight_) height += h + (h > 0 ? 2 : 0);
    natural_ = QSize(width, height);
    updateGeometry();
    resizeEvent(nullptr);
}

QSize MapGridView::sizeHint() const {
    return natural_;
}

QSize MapGridView::minimumSizeHint() const {
    return natural_;
}

void MapGridView::resizeEvent(QResizeEvent* event) {
    if (event != nullptr) QAbstractItemView::resizeEvent(event);
    // Extra room goes to the map columns and rows evenly; no item is ever narrower than it needs.
    int columns = 0;
    for (int c = 1; c < MapGridModel::ColumnCount; ++c)
        columns += naturalWidth_[static_cast<std::size_t>(c)] > 0;
    const int extraWidth = std::max(0, viewport()->width() - natural_.width());
    const int perColumn = columns > 0 ? extraWidth / columns : 0;
    for (int column = 0; column < MapGridModel::ColumnCount; ++column) {
        const int w = naturalWidth_[static_cast<std::size_t>(column)];
        columnWidth_[static_cast<std::size_t>(column)] = w == 0 ? 0 : w + 2 + (column > 0 ? perColumn : 0);
    }
    int rows = 0;
    for (int r = 0; r < MapRows; ++r)
        rows += naturalHeight_[static_cast<std::size_t>(MapGridModel::FirstCellRow + r)] > 0;
    const int extraHeight = std::max(0, viewport()->height() - natural_.height());
    for (int row = 0; row < MapGridModel::RowCount; ++row) {
        const int h = naturalHeight_[static_cast<std::size_t>(row)];
        if (h == 0) {
            rowHeight_[static_cast<std::size_t>(row)] = 0;
            continue;
        }
        int grow = 0;
        const bool mapRow = row >= MapGridModel::FirstCellRow && row < MapGridModel::ButtonRow;
        if ((mapRow || row == MapGridModel::AxisRow) && rows > 0)
            grow = std::min(extraHeight / (rows + 1), static_cast<int>(h * (kMostRowGrowth - 1.0)));
        rowHeight_[static_cast<std::size_t>(row)] = h + 2 + grow;
    }
    for (int column = 0, x = 0; column < MapGridModel::ColumnCount; ++column) {
        columnLeft_[static_cast<std::size_t>(column)] = x;
        x += columnWidth_[static_cast<std::size_t>(column)];
    }
    for (int row = 0, y = 0; row < MapGridModel::RowCount; ++row) {
        rowTop_[static_cast<std::size_t>(row)] = y;
        y += rowHeight_[static_cast<std::size_t>(row)];
    }
    viewport()->update();
    placeEditor();
}

void MapGridView::changeEvent(QEvent* event) {
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::LocaleChange) {
        sizes_.clear();
        if (measure_ != nullptr) measure_->setFont(font());
        relayout();
    }
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::PaletteChange)
        delegate_->forgetLooks();
}

// --- rows and columns ----------------------------------------------------------------------------
// Rows and columns that show nothing take no room; the others lie next to each other from the top
// left corner. The grid never scrolls itself: a window too small for it scrolls the whole panel.

bool MapGridView::isRowHidden(int row) const {
    return row < 0 || row >= MapGridModel::RowCount || rowHeight_[static_cast<std::size_t>(row)] == 0;
}

bool MapGridView::isColumnHidden(int column) const {
    return column < 0 || column >= MapGridModel::ColumnCount ||
           columnWidth_[static_cast<std::size_t>(column)] == 0;
}

QRect MapGridView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != model_ || isRowHidden(index.row()) ||
        isColumnHidden(index.column()))
        return {};
    const auto r = static_cast<std::size_t>(index.row());
    const auto c = static_cast<std::size_t>(index.column());
    return QRect(columnLeft_[c], rowTop_[r], columnWidth_[c], rowHeight_[r]);
}

QModelIndex MapGridView::indexAt(const QPoint& point) const {
    int row = -1;
    int column = -1;
    for (int r = 0; r < MapGridModel::RowCount; ++r) {
        const auto k = static_cast<std::size_t>(r);
        if (rowHeight_[k] > 0 && point.y() >= rowTop_[k] && point.y() < rowTop_[k] + rowHeight_[k]) row = r;
    }
    for (int c = 0; c < MapGridModel::ColumnCount; ++c) {
        const auto k = static_cast<std::size_t>(c);
        if (columnWidth_[k] > 0 && point.x() >= columnLeft_[k] &&
            point.x() < columnLeft_[k] + columnWidth_[k])
            column = c;
    }
    return row >= 0 && column >= 0 ? model_->index(row, column) : QModelIndex();
}

bool MapGridView::isIndexHidden(const QModelIndex& index) const {
    return isRowHidden(index.row()) || isColumnHidden(index.column());
}

QModelIndex MapGridView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const QModelIndex from = currentIndex();
    if (!from.isValid()) return firstOrLastCell(false);
    QModelIndex to;
    switch (action) {
        case MoveUp:
            to = neighbour(from, -1, 0);
            break;
        case MoveDown:
            to = neighbour(from, 1, 0);
            break;
        case MoveLeft:
            to = neighbour(from, 0, -1);
            break;
        case MoveRight:
            to = neighbour(from, 0, 1);
            break;
        case MoveHome:
        case MoveEnd:
            to = rowEnd(from.row(), action == MoveEnd);
            break;
        default:
            break;
    }
    return to.isValid() ? to : from;
}

void MapGridView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const QRect r = rect.normalized();
    const QModelIndex topLeft = indexAt(r.topLeft());
    const QModelIndex bottomRight = indexAt(r.bottomRight());
    if (!topLeft.isValid() || !bottomRight.isValid()) return;
    selectionModel()->select(QItemSelection(topLeft, bottomRight), flags);
}

QRegion MapGridView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection)
        for (const QModelIndex& index : range.indexes()) region += visualRect(index);
    return region;
}

void MapGridView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.palette.setCurrentColorGroup(!isEnabled()       ? QPalette::Disabled
                                        : isActiveWindow() ? QPalette::Active
                                                           : QPalette::Inactive);
    const QRect area = event->rect();
    // The device is asked for its pixel ratio once, not for each of the 180 items.
    delegate_->paintRatio_ = painter.device()->devicePixelRatioF();
    for (int row = 0; row < MapGridModel::RowCount; ++row) {
        const auto r = static_cast<std::size_t>(row);
        if (rowHeight_[r] == 0 || rowTop_[r] > area.bottom() || rowTop_[r] + rowHeight_[r] <= area.top())
            continue;
        for (int column = 0; column < MapGridModel::ColumnCount; ++column) {
            const QModelIndex index = model_->index(row, column);
            option.rect = visualRect(index);
            if (option.rect.isEmpty() || !option.rect.intersects(area)) continue;
            delegate_->paint(&painter, option, index);
        }
    }
    delegate_->paintRatio_ = 0.0;
}

QRect MapGridView::itemRect(const QModelIndex& index) const {
    if (!index.isValid() || isRowHidden(index.row()) || isColumnHidden(index.column())) return {};
    const QRect cell = visualRect(index);
    const auto* item = model_->valueItem(index);
    if (item == nullptr) return cell.adjusted(1, 1, -1, -1);
    if (!item->shown) return {};
    // A field keeps the size it needs, at the right of its column and in the middle of its row.
    const QSize need = itemSize(*item);
    const int w = std::max(neededWidth(*item), cell.width() - 2);
    const int h = std::min(std::max(need.height(), cell.height() - 2), cell.height());
    return QRect(cell.left() + 1, cell.top() + (cell.height() - h) / 2, w, h);
}

QRect MapGridView::arrowRect(const QModelIndex& index, bool up) const {
    const auto* item = model_->valueItem(index);
    if (item == nullptr || !item->shown || !index.data(MapGridModel::UpDownsRole).toBool()) return {};
    const QRect rect = itemRect(index);
    const QStyleOptionSpinBox option = SpinOption(this, rect, true, item->enabled);
    // The style gives the parts of a spin box relative to its own corner.
    return style()
        ->subControlRect(QStyle::CC_SpinBox, &option, up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown,
                         this)
        .translated(rect.topLeft());
}

QRect MapGridView::textRect(const QModelIndex& index) const {
    const auto* item = model_->valueItem(index);
    if (item == nullptr || !item->shown) return {};
    const QRect rect = itemRect(index);
    if (rect.isEmpty()) return {};
    const QStyleOptionSpinBox option =
        SpinOption(this, rect, index.data(MapGridModel::UpDownsRole).toBool(), item->enabled);
    return style()
        ->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, this)
        .translated(rect.topLeft());
}

QRect MapGridView::columnButtonRect(int column, bool up) const {
    if (column < 0 || column >= MapColumns || !model_->columnButtonsShown(column)) return {};
    const QRect cell = visualRect(model_->index(MapGridModel::ButtonRow, 1 + column));
    if (cell.isEmpty()) return {};
    const QRect r(cell.center().x() - kButtonWidth / 2, cell.top() + 1, kButtonWidth, kButtonHeight);
    return up ? QRect(r.left(), r.top(), r.width(), r.height() / 2)
              : QRect(r.left(), r.top() + r.height() / 2, r.width(), r.height() / 2);
}

QColor MapGridView::paintedColor(const QModelIndex& index) const {
    return paintedColor(index, palette().color(QPalette::Base));
}

QColor MapGridView::paintedColor(const QModelIndex& index, const QColor& base) const {
    const MapGridModel::ValueItem* item = model_->valueItem(index);
    if (item == nullptr) return base;
    if (item->field.isValid()) return item->field;
    if (!model_->printMode() && selectionModel()->isSelected(index) && manyChosen()) return choiceColor();
    // The shade of its value (never on paper).
    if (item->underlay.isValid() && !model_->printMode()) return item->underlay;
    return base;
}

bool MapGridView::manyChosen() const {
    qsizetype count = 0;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        count += static_cast<qsizetype>(range.width()) * range.height();
        if (count > 1) return true;
    }
    return false;
}

QModelIndex MapGridView::itemNamed(const QString& name) const {
    const qsizetype open = name.indexOf(QLatin1Char('['));
    if (open < 0 || !name.endsWith(QLatin1Char(']'))) return {};
    bool ok = false;
    const int i = name.mid(open + 1, name.size() - open - 2).toInt(&ok);
    if (!ok) return {};
    return model_->indexNamed(QStringView(name).left(open), i);
}

QString MapGridView::nameOf(const QModelIndex& index) const {
    return model_->nameOf(index);
}

QModelIndexList MapGridView::editableItems() const {
    QModelIndexList items;
    for (int row = 0; row < MapGridModel::RowCount; ++row) {
        for (int column = 0; column < MapGridModel::ColumnCount; ++column) {
            const QModelIndex i = model_->index(row, column);
            if (editable(i)) items.append(i);
        }
    }
    return items;
}

// --- painting -------------------------------------------------------------------------------------

const MapGridDelegate::Look& MapGridDelegate::lookFor(QPainter* painter, const QSize& size,
                                                      const QColor& base, bool upDowns, bool enabled) const {
    const qreal ratio = ratioOf(painter);
    if (ratio != ratio_) {
        looks_.clear();
        items_.clear();
        ratio_ = ratio;
    }
    const quint64 key = (static_cast<quint64>(size.width() & 0xfff) << 52) |
                        (static_cast<quint64>(size.height() & 0xfff) << 40) |
                        (static_cast<quint64>(upDowns) << 33) | (static_cast<quint64>(enabled) << 32) |
                        base.rgba();
    auto it = looks_.constFind(key);
    if (it != looks_.constEnd()) return *it;
    if (looks_.size() > 512) {
        looks_.clear();
        items_.clear();
    }
    const QWidget* widget = view_;
    QStyle* style = widget->style();
    QStyleOptionSpinBox spin = SpinOption(widget, QRect(QPoint(0, 0), size), upDowns, enabled);
    spin.palette.setColor(QPalette::Base, base);
    Look look;
    look.pixmap = QPixmap(size * ratio);
    look.pixmap.setDevicePixelRatio(ratio);
    look.pixmap.fill(Qt::transparent);
    QPainter p(&look.pixmap);
    style->drawComplexControl(QStyle::CC_SpinBox, &spin, &p, widget);
    p.end();
    look.text = style->subControlRect(QStyle::CC_SpinBox, &spin, QStyle::SC_SpinBoxEditField, widget);
    look.textColor = spin.palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text);
    look.key = key;
    return *looks_.insert(key, look);
}

qreal MapGridDelegate::ratioOf(QPainter* painter) const {
    if (paintRatio_ > 0.0) return paintRatio_;
    return painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1.0;
}

const QPixmap& MapGridDelegate::columnButtons(QPainter* painter) const {
    const qreal ratio = ratioOf(painter);
    if (!buttons_.isNull() && buttons_.devicePixelRatio() == ratio) return buttons_;
    buttons_ = QPixmap(QSize(kButtonWidth, kButtonHeight) * ratio);
    buttons_.setDevicePixelRatio(ratio);
    buttons_.fill(Qt::transparent);
    QPainter p(&buttons_);
    const QWidget* widget = view_;
    QStyle* style = widget->style();
    for (int half = 0; half < 2; ++half) {
        QStyleOptionButton button;
        button.initFrom(widget);
        button.rect = QRect(0, half * (kButtonHeight / 2), kButtonWidth, kButtonHeight / 2);
        style->drawControl(QStyle::CE_PushButtonBevel, &button, &p, widget);
        QStyleOption arrow;
        arrow.initFrom(widget);
        arrow.rect = button.rect.adjusted(3, 1, -3, -1);
        style->drawPrimitive(half == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow,
                             &p, widget);
    }
    return buttons_;
}

// Numbers repeat all over a map: each text is laid out once and then only drawn.
void MapGridDelegate::drawText(QPainter* painter, const QRect& rect, Qt::Alignment align,
                               const QString& text) const {
    if (text.isEmpty()) return;
    takeFont(painter);
    if (texts_.size() > 4096) texts_.clear();
    auto it = texts_.find(text);
    if (it == texts_.end()) {
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), textFont_);
        it = texts_.insert(text, laid);
    }
    const QSizeF size = it->size();
    const int width = static_cast<int>(std::ceil(size.width()));
    const int x = (align & Qt::AlignRight) ? rect.right() + 1 - width : rect.left();
    const int y = rect.top() + (rect.height() - static_cast<int>(std::ceil(size.height()))) / 2;
    painter->drawStaticText(QPoint(x, y), *it);
}

// Texts laid out and pictures written in another font are no longer what the painter would draw.
void MapGridDelegate::takeFont(QPainter* painter) const {
    if (painter->font() == textFont_) return;
    texts_.clear();
    items_.clear();
    textFont_ = painter->font();
}

void MapGridDelegate::forgetLooks() {
    looks_.clear();
    texts_.clear();
    items_.clear();
    buttons_ = QPixmap();
}

void MapGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const Kind kind = KindOf(index);
    if (kind == Kind::Caption) {
        if (index.data(MapGridModel::ShownRole).toBool()) {
            const QVariant background = index.data(Qt::BackgroundRole);
            const QRect area = option.rect.adjusted(1, 1, -1, -1);
            if (background.isValid()) painter->fillRect(area, background.value<QColor>());
            const bool rowCaption = index.row() >= MapGridModel::FirstCellRow;
            painter->setPen(option.palette.color(QPalette::Active, QPalette::WindowText));
            drawText(painter, area.adjusted(kCaptionMargin, 0, -kCaptionMargin, 0),
                     rowCaption ? Qt::AlignRight : Qt::AlignLeft, index.data(Qt::DisplayRole).toString());
        }
    } else if (kind == Kind::None && index.row() == MapGridModel::CaptionRow) {
        if (view_->grid().bevelShown()) {
            const int y = option.rect.center().y();
            painter->setPen(option.palette.color(QPalette::Dark));
            painter->drawLine(option.rect.left(), y, option.rect.right(), y);
            painter->setPen(option.palette.color(QPalette::Light));
            painter->drawLine(option.rect.left(), y + 1, option.rect.right(), y + 1);
        }
    } else if (kind == Kind::ColumnButtons) {
        if (index.data(MapGridModel::ShownRole).toBool())
            painter->drawPixmap(option.rect.center().x() - kButtonWidth / 2, option.rect.top() + 1,
                                columnButtons(painter));
    } else if (IsValueKind(kind)) {
        // Read straight from the item: its roles would be asked a dozen times for each of 180 items.
        const MapGridModel& grid = view_->grid();
        const MapGridModel::ValueItem* item = grid.valueItem(index);
        if (item == nullptr || !item->shown) return;
        const QModelIndex edited = view_->editedIndex();
        if (edited.isValid() && edited == index) return;
        const QRect rect = view_->itemRect(index);
        // The style draws a spin box slowly; the few looks the items take (size, colour, arrows) are
        // drawn once and then copied.
        const Look& look =
            lookFor(painter, rect.size(), view_->paintedColor(index, option.palette.color(QPalette::Base)),
                    item->upDowns && !grid.printMode(), item->enabled);
        if (item->timeShown && !item->time.isEmpty()) {
            // The time label covers the edit part of its cell, the up/down stays beside it.
            painter->drawPixmap(rect.topLeft(), look.pixmap);
            const QRect text = look.text.translated(rect.topLeft());
            painter->fillRect(
                text, item->timeColor.isValid() ? item->timeColor : option.palette.color(QPalette::Button));
            painter->setPen(option.palette.color(QPalette::Active, QPalette::WindowText));
            drawText(painter, text.adjusted(1, 0, 0, 0), Qt::AlignLeft, item->time);
        } else {
            painter->drawPixmap(rect.topLeft(), itemPicture(painter, look, grid.textOf(*item)));
        }
    }
}

// A field with its value: the same few values fill most of a map, and a tuner goes back and forth
// between the same pages, so each look with each value is drawn once and then copied.
const QPixmap& MapGridDelegate::itemPicture(QPainter* painter, const Look& look, const QString& shown) const {
    takeFont(painter);
    const auto key = std::make_pair(look.key, shown);
    auto it = items_.constFind(key);
    if (it != items_.constEnd()) return *it;
    if (items_.size() > 600) items_.clear();
    QPixmap item(look.pixmap.size());
    item.setDevicePixelRatio(look.pixmap.devicePixelRatio());
    item.fill(Qt::transparent);
    QPainter p(&item);
    p.drawPixmap(0, 0, look.pixmap);
    p.setFont(textFont_);
    p.setPen(look.textColor);
    drawText(&p, look.text.adjusted(1, 0, -2, 0), Qt::AlignRight, shown);
    p.end();
    return *items_.insert(key, item);
}

void MapGridView::onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    // A longer time label widens its column at once, so that no cell is narrower than what it shows.
    for (int row = std::max(topLeft.row(), int(MapGridModel::FirstCellRow));
         row <= std::min(bottomRight.row(), MapGridModel::ButtonRow - 1); ++row) {
        for (int column = std::max(topLeft.column(), 1); column <= bottomRight.column(); ++column) {
            const auto& cell = model_->cell(MapGridModel::cellOf(model_->index(row, column)));
            if (cell.shown && cell.timeShown &&
                neededWidth(cell) > naturalWidth_[static_cast<std::size_t>(column)]) {
                relayout();
                row = MapGridModel::ButtonRow;
                break;
            }
        }
    }
    // The item being edited shows what the page passes give it, and its live colour.
    if (!editor_ || !edited_.isValid()) return;
    if (edited_.row() < topLeft.row() || edited_.row() > bottomRight.row() ||
        edited_.column() < topLeft.column() || edited_.column() > bottomRight.column())
        return;
    const auto* item = model_->valueItem(edited_);
    if (item == nullptr || !item->shown || !item->enabled) {
        closeItemEditor();
        return;
    }
    if (editor_->minimum() != item->minimum || editor_->maximum() != item->maximum)
        editor_->setRange(item->minimum, item->maximum);
    if (editor_->singleStep() != item->step) editor_->setSingleStep(item->step);
    editor_->setUpDownShown(edited_.data(MapGridModel::UpDownsRole).toBool());
    editor_->showValue(item->value);
    editor_->setFieldColor(item->field);
    editor_->setUnderlayColor(item->underlay);
}

// --- editing --------------------------------------------------------------------------------------

bool MapGridView::editable(const QModelIndex& index) const {
    const auto* item = model_->valueItem(index);
    return item != nullptr && item->shown && item->enabled && !isRowHidden(index.row()) &&
           !isColumnHidden(index.column());
}

SpinField* MapGridView::edit(const QModelIndex& index) {
    if (!editable(index)) return nullptr;
    // Moving the field keeps the chosen cells.
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    if (edited_ != index) openEditor(index);
    if (editor_) editor_->setFocus();
    return editor_;
}

SpinField* MapGridView::openEditor(const QModelIndex& index) {
    if (editor_ && edited_ == index) return editor_;
    closeItemEditor();
    const auto* item = model_->valueItem(index);
    if (item == nullptr) return nullptr;
    auto* spin = new SpinField(viewport());
    spin->setObjectName("UpDownEdit_Uni");
    spin->setAccessibleName(index.data(Qt::AccessibleTextRole).toString());
    spin->setPalette(QApplication::palette(spin));  // its text's selection shows as in every field
    spin->setFont(font());
    spin->setGroupSeparatorShown(item->groupSeparator);
    spin->setRange(item->minimum, item->maximum);
    spin->setSingleStep(item->step);
    spin->setUpDownShown(index.data(MapGridModel::UpDownsRole).toBool());
    spin->setValue(item->value);
    spin->setFieldColor(item->field);
    spin->setUnderlayColor(item->underlay);
    edited_ = index;
    editor_ = spin;
    connect(spin, &QSpinBox::valueChanged, this, &MapGridView::editorValueChanged);
    connect(spin, &SpinField::upDownClicked, this, &MapGridView::upDownClicked);
    connect(spin, &SpinField::editClicked, this, &MapGridView::editClicked);
    connect(spin, &SpinField::enterPressed, this, &MapGridView::editorEnter);
    spin->installEventFilter(this);
    spin->edit()->installEventFilter(this);
    placeEditor();
    spin->show();
    viewport()->update(visualRect(index));
    return spin;
}

void MapGridView::closeItemEditor() {
    if (!editor_) {
        edited_ = QPersistentModelIndex();
        return;
    }
    SpinField* spin = editor_;
    const QModelIndex was = edited_;
    editor_ = nullptr;
    edited_ = QPersistentModelIndex();
    const bool hadFocus = spin->hasFocus() || spin->edit()->hasFocus();
    spin->hide();
    spin->deleteLater();
    if (hadFocus) setFocus();
    if (was.isValid()) viewport()->update(visualRect(was));
}

void MapGridView::placeEditor() {
    if (!editor_ || !edited_.isValid()) return;
    const QRect rect = itemRect(edited_);
    if (rect.isEmpty()) return;
    editor_->setGeometry(rect);
}

void MapGridView::editorValueChanged(int value) {
    // What is typed counts as the page's value at once, as in every other field.
    if (edited_.isValid()) model_->setData(edited_, value, Qt::EditRole);
}

QModelIndex MapGridView::nextEditable(const QModelIndex& from) const {
    for (int row = from.row(), column = from.column() + 1; row < MapGridModel::RowCount; ++row, column = 0) {
        for (; column < MapGridModel::ColumnCount; ++column) {
            const QModelIndex i = model_->index(row, column);
            if (editable(i)) return i;
        }
    }
    return {};
}

void MapGridView::editorEnter() {
    // Focus moves on from the item first, as Enter does in every field; then the page is committed.
    const QModelIndex next = nextEditable(edited_);
    if (next.isValid()) {
        edit(next);
    } else {
        closeItemEditor();
        if (QWidget* after = nextInFocusChain()) after->setFocus(Qt::TabFocusReason);
    }
    emit enterPressed();
}

void MapGridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    // While the mouse drags a choice over the cells, the field stays where the drag began.
    if (state() == QAbstractItemView::DragSelectingState) return;
    if (current.isValid() && editable(current) && current != edited_ && hasFocus())
        openEditor(current)->setFocus();
}

void MapGridView::chooseCells(int anchor, int extent) {
    anchor_ = anchor;
    extent_ = extent;
    const QModelIndex a = model_->cellIndex(anchor);
    const QModelIndex b = model_->cellIndex(extent);
    const QModelIndex topLeft = model_->index(std::min(a.row(), b.row()), std::min(a.column(), b.column()));
    const QModelIndex bottomRight =
        model_->index(std::max(a.row(), b.row()), std::max(a.column(), b.column()));
    selectionModel()->select(QItemSelection(topLeft, bottomRight), QItemSelectionModel::ClearAndSelect);
}

void MapGridView::dropChoice() {
    anchor_ = extent_ = -1;
    selectionModel()->clearSelection();
}

void MapGridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    // One chosen cell is no choice and two are: every cell may change its colour.
    viewport()->update();
    emit choiceChanged();
}

bool MapGridView::chooseByKey(QKeyEvent* key) {
    const int from = MapGridModel::cellOf(edited_.isValid() ? QModelIndex(edited_) : currentIndex());
    if (key->key() == Qt::Key_Escape && selectionModel()->selectedIndexes().size() > 1) {
        dropChoice();
        return true;
    }
    if (!(key->modifiers() & Qt::ShiftModifier) || from < 0) return false;
    int dr = 0, dc = 0;
    switch (key->key()) {
        case Qt::Key_Up:
            dr = -1;
            break;
        case Qt::Key_Down:
            dr = 1;
            break;
        case Qt::Key_Left:
            dc = -1;
            break;
        case Qt::Key_Right:
            dc = 1;
            break;
        default:
            return false;
    }
    if (anchor_ < 0 || extent_ < 0 || selectionModel()->selectedIndexes().size() < 2)
        anchor_ = extent_ = from;
    const int row = std::clamp(extent_ / MapColumns + dr, 0, MapRows - 1);
    const int column = std::clamp(extent_ % MapColumns + dc, 0, MapColumns - 1);
    const int next = row * MapColumns + column;
    if (model_->cell(next).shown) chooseCells(anchor_, next);
    return true;  // Shift+arrow chooses cells; it never steps or moves the text cursor
}

QModelIndex MapGridView::neighbour(const QModelIndex& from, int dr, int dc) const {
    // The next item in the direction that can be edited; hidden rows and columns are stepped over.
    for (int row = from.row() + dr, column = from.column() + dc;
         row >= 0 && row < MapGridModel::RowCount && column >= 0 && column < MapGridModel::ColumnCount;
         row += dr, column += dc) {
        const QModelIndex i = model_->index(row, column);
        if (editable(i)) return i;
    }
    return {};
}

QModelIndex MapGridView::rowEnd(int row, bool last) const {
    for (int k = 0; k < MapGridModel::ColumnCount; ++k) {
        const QModelIndex i = model_->index(row, last ? MapGridModel::ColumnCount - 1 - k : k);
        if (editable(i)) return i;
    }
    return {};
}

QModelIndex MapGridView::firstOrLastCell(bool last) const {
    for (int k = 0; k < MapCells; ++k) {
        const QModelIndex i = model_->cellIndex(last ? MapCells - 1 - k : k);
        if (editable(i)) return i;
    }
    return {};
}

void MapGridView::moveTo(const QModelIndex& index) {
    if (!index.isValid()) return;
    if (SpinField* spin = edit(index)) spin->edit()->selectAll();
    // The item left behind is committed as a click into another field commits it.
    emit editClicked();
}

bool MapGridView::moveByKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const QModelIndex from = edited_.isValid() ? QModelIndex(edited_) : currentIndex();
    if (mods == Qt::ControlModifier) {
        switch (key->key()) {
            case Qt::Key_Up:
                if (from.isValid()) moveTo(neighbour(from, -1, 0));
                return true;
            case Qt::Key_Down:
                if (from.isValid()) moveTo(neighbour(from, 1, 0));
                return true;
            case Qt::Key_Left:
                if (from.isValid()) moveTo(neighbour(from, 0, -1));
                return true;
            case Qt::Key_Right:
                if (from.isValid()) moveTo(neighbour(from, 0, 1));
                return true;
            case Qt::Key_Home:
                moveTo(firstOrLastCell(false));
                return true;
            case Qt::Key_End:
                moveTo(firstOrLastCell(true));
                return true;
            default:
                return false;
        }
    }
    if (mods == Qt::NoModifier && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End)) {
        if (from.isValid()) moveTo(rowEnd(from.row(), key->key() == Qt::Key_End));
        return true;
    }
    return false;
}

void MapGridView::keyPressEvent(QKeyEvent* event) {
    if (chooseByKey(event) || moveByKey(event)) return;
    // A digit (or a sign) typed while no item is edited starts a new value in the current cell.
    const QString typed = event->text();
    if (!editor_ && typed.size() == 1 && (typed[0].isDigit() || typed[0] == '-') &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QModelIndex at = editable(currentIndex()) ? currentIndex() : firstOrLastCell(false);
        if (SpinField* spin = edit(at)) {
            spin->edit()->selectAll();
            QKeyEvent again(QEvent::KeyPress, event->key(), event->modifiers(), typed);
            QApplication::sendEvent(spin, &again);
            return;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

bool MapGridView::event(QEvent* event) {
    // Copy and paste of cells are the window's: the grid never takes their keys for itself.
    if (windowClipboard_ && event->type() == QEvent::ShortcutOverride &&
        IsClipboardKey(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QAbstractItemView::event(event);
}

QItemSelectionModel::SelectionFlags MapGridView::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    // Only map cells are chosen; a press on an arrow chooses nothing.
    if (MapGridModel::cellOf(index) < 0) return QItemSelectionModel::NoUpdate;
    if (event != nullptr && event->type() == QEvent::MouseButtonPress && pressedOnArrow_)
        return QItemSelectionModel::NoUpdate;
    return QAbstractItemView::selectionCommand(index, event);
}

// --- mouse ----------------------------------------------------------------------------------------

void MapGridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    pressed_ = index;
    pressedOnArrow_ = false;
    if (event->button() != Qt::LeftButton) {
        QAbstractItemView::mousePressEvent(event);
        return;
    }
    const Kind kind = model_->kindOf(index);
    if (kind == Kind::ColumnButtons) {
        if (model_->columnButtonsShown(index.column() - 1)) {
            const QRect cell = visualRect(index);
            const int top = cell.top() + 1;
            const bool up = event->position().y() < top + kButtonHeight / 2;
            emit columnStepped(index.column() - 1, up ? +1 : -1);
        }
        return;
    }
    if (!editable(index)) {
        QAbstractItemView::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const bool up = arrowRect(index, true).contains(p);
    const bool down = arrowRect(index, false).contains(p);
    pressedOnArrow_ = up || down;
    const int cell = MapGridModel::cellOf(index);
    if (cell >= 0 && !pressedOnArrow_) {
        if (!(event->modifiers() & Qt::ShiftModifier) || anchor_ < 0) anchor_ = cell;
        extent_ = cell;
    }
    QAbstractItemView::mousePressEvent(event);
    SpinField* spin = edit(index);
    if (spin != nullptr && pressedOnArrow_) spin->stepBy(up ? 1 : -1);
}

void MapGridView::mouseMoveEvent(QMouseEvent* event) {
    QAbstractItemView::mouseMoveEvent(event);
    const int cell = MapGridModel::cellOf(indexAt(event->position().toPoint()));
    if ((event->buttons() & Qt::LeftButton) && cell >= 0 && !pressedOnArrow_) extent_ = cell;
}

void MapGridView::mouseReleaseEvent(QMouseEvent* event) {
    QAbstractItemView::mouseReleaseEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    // A click into a field (not on its arrows) commits the page, as a click into any field does.
    if (event->button() == Qt::LeftButton && !pressedOnArrow_ && index.isValid() && index == pressed_ &&
        editable(index))
        emit editClicked();
    pressed_ = QPersistentModelIndex();
    pressedOnArrow_ = false;
}

void MapGridView::contextMenuEvent(QContextMenuEvent* event) {
    const int cell = MapGridModel::cellOf(indexAt(event->pos()));
    if (cell >= 0) {
        emit cellContextMenu(cell, event->globalPos());
        event->accept();
        return;
    }
    QAbstractItemView::contextMenuEvent(event);
}

bool MapGridView::eventFilter(QObject* watched, QEvent* event) {
    if (editor_ && (watched == editor_ || watched == editor_->edit())) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (chooseByKey(key) || moveByKey(key)) return true;
        }
        // The field's text is not copied or pasted on its own: the window copies and pastes cells.
        if (windowClipboard_ && event->type() == QEvent::ShortcutOverride &&
            IsClipboardKey(static_cast<QKeyEvent*>(event))) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::ContextMenu && MapGridModel::cellOf(edited_) >= 0) {
            auto* menu = static_cast<QContextMenuEvent*>(event);
            emit cellContextMenu(MapGridModel::cellOf(edited_), menu->globalPos());
            return true;
        }
    }
    return QAbstractItemView::eventFilter(watched, event);
}

}  // namespace torvane
