#include "mapgrid/map_grid_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QItemSelectionModel>

#include "mapgrid/map_grid_view.h"
#include "widgets/accessible_parts.h"

namespace torvane {
namespace {

// One item of the grid.
class MapGridCellAccessible : public AccessibleLeaf<MapGridView>, public QAccessibleTableCellInterface {
  public:
    MapGridCellAccessible(MapGridView* view, int row, int column)
        : AccessibleLeaf(view), row_(row), column_(column) {}

    QString text(QAccessible::Text t) const override {
        if (!isValid()) return {};
        switch (t) {
            case QAccessible::Name:
                return index().data(Qt::AccessibleTextRole).toString();
            case QAccessible::Value:
            case QAccessible::Description:
                return index().data(Qt::AccessibleDescriptionRole).toString();
            default:
                return {};
        }
    }
    QRect rect() const override {
        if (!isValid()) return {};
        const QRect r = owner_->visualRect(index());
        return r.isEmpty() ? QRect() : QRect(owner_->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const QModelIndex i = index();
        s.invisible = !owner_->isVisible() || owner_->visualRect(i).isEmpty() ||
                      !i.data(MapGridModel::ShownRole).toBool();
        s.disabled = !i.data(MapGridModel::EnabledRole).toBool();
        s.focusable = true;
        s.selectable = MapGridModel::cellOf(i) >= 0;
        s.selected = isSelected();
        s.focused = owner_->currentIndex() == i && owner_->hasFocus();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                    : nullptr;
    }

    bool isSelected() const override {
        return isValid() && owner_->selectionModel() != nullptr &&
               owner_->selectionModel()->isSelected(index());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    QModelIndex index() const { return owner_->grid().index(row_, column_); }

    int row_;
    int column_;
};

// The grid with its items as cells, row by row.
class MapGridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit MapGridAccessible(MapGridView* view) : QAccessibleWidget(view, QAccessible::Table) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        return cellAt(index / columnCount(), index % columnCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return cells_.keyOf(child); }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex i = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex i = view()->currentIndex();
        return view()->hasFocus() && i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
        return cells_.part(row * columnCount() + column,
                           [&] { return new MapGridCellAccessible(view(), row, column); });
    }
    int selectedCellCount() const override { return static_cast<int>(chosen().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const QModelIndex& i : chosen()) cells.append(cellAt(i.row(), i.column()));
        return cells;
    }
    int columnCount() const override { return MapGridModel::ColumnCount; }
    int rowCount() const override { return MapGridModel::RowCount; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    MapGridView* view() const { return static_cast<MapGridView*>(widget()); }
    QModelIndexList chosen() const {
        return view()->selectionModel() != nullptr ? view()->selectionModel()->selectedIndexes()
                                                   : QModelIndexList();
    }
    AccessibleParts cells_;
};

}  // namespace

void InstallMapGridAccessibility() {
    InstallAccessible<MapGridView, MapGridAccessible>();
}

}  // namespace torvane
