#pragma once
// The map grid: one view that paints the rpm axis, the row captions or IAP row axis, the 150 cells
// with their up/down arrows and "Ms" time labels, the live and chosen colours and the column step
// buttons, and one spin field that exists only for the item being edited. Each item behaves as the
// fields always did: a click on an arrow steps it, a click into it starts editing it, Enter moves on
// to the next item; each of these asks for a commit of the page.

#include <QAbstractItemView>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QPointer>
#include <QStaticText>
#include <QStyledItemDelegate>

#include "mapgrid/map_grid_model.h"
#include "widgets/spin_field.h"

namespace torvane {

class MapGridDelegate;

class MapGridView : public QAbstractItemView {
    Q_OBJECT

  public:
    explicit MapGridView(MapGridModel* model, QWidget* parent = nullptr);

    MapGridModel& grid() const { return *model_; }

    // The spin field of the item being edited, nullptr while none is.
    SpinField* editor() const { return editor_; }
    // Starts editing the item (a value item that is shown and enabled) and returns its spin field.
    SpinField* edit(const QModelIndex& index);
    // Ends editing without a commit (the page passes show the image's values afterwards).
    void closeItemEditor();
    // The item edited now (invalid when none).
    QModelIndex editedIndex() const { return edited_; }

    // Where an item and its arrows are drawn, in view coordinates (empty when not shown).
    QRect itemRect(const QModelIndex& index) const;
    QRect arrowRect(const QModelIndex& index, bool up) const;
    QRect columnButtonRect(int column, bool up) const;
    // Where an item's value (or its "Ms" time label) is written.
    QRect textRect(const QModelIndex& index) const;
    // The colour an item's field is painted in: the live or warning colour, else that of a chosen cell
    // (not in a print), else the shade of its value, else the field colour of the window.
    QColor paintedColor(const QModelIndex& index) const;
    QColor paintedColor(const QModelIndex& index,
                        const QColor& base) const;  // base: the window's field colour
    static QColor choiceColor() { return QColor(150, 175, 235); }
    // The item an element of the map panel names ("UpDownCell_Uni[16]", "UpDownRpm_Uni[3]",
    // "UpDownIap_Uni[2]"); invalid for any other name.
    QModelIndex itemNamed(const QString& name) const;
    // The element name of a value item (the inverse of itemNamed).
    QString nameOf(const QModelIndex& index) const;
    // Every item that can be edited now, in the order Enter goes through them.
    QModelIndexList editableItems() const;

    // The keys of the grid: Ctrl+arrows move to the neighbouring item, Home/End to the first/last item
    // of the row, Ctrl+Home/Ctrl+End to the first/last map cell; each move commits what was typed as a
    // click into another field does, and the new item's text is chosen so that typing replaces it. A
    // digit typed while no item is edited starts a new value in the current cell.
    // The chosen cells: the rectangle from anchor to extent (map cells 0..149); a single cell is no
    // rectangle. Shift+click, a drag, or Shift+arrows from the item being edited choose; Escape drops.
    void chooseCells(int anchor, int extent);
    void dropChoice();

    // Lays the rows and columns out again from what the items need (after ranges, arrows or visibility
    // changed); the grid then grows with the room it is given.
    void relayout();

    // Ctrl+C, Ctrl+Shift+C and Ctrl+V go to the window's cell copy and paste (the map panel's grid);
    // elsewhere the field being edited copies and pastes its own text.
    void setWindowClipboard(bool on) { windowClipboard_ = on; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Where an item lies in the grid (an empty rectangle for one in a row or column that is hidden),
    // and the item at a point.
    QRect visualRect(const QModelIndex& index) const override;
    QModelIndex indexAt(const QPoint& point) const override;
    void scrollTo(const QModelIndex&, ScrollHint = EnsureVisible) override {}
    bool isRowHidden(int row) const;
    bool isColumnHidden(int column) const;

  signals:
    void choiceChanged();
    void upDownClicked();                           // an item's arrow (or an arrow key, the wheel) stepped it
    void editClicked();                             // a click into an item
    void enterPressed();                            // Enter in an item: editing has moved on to the next one
    void columnStepped(int column, int direction);  // a column step button
    void cellContextMenu(int cell, const QPoint& globalPos);

  protected:
    // The item view's own edit(index, trigger, event) stays visible beside edit(index) above.
    using QAbstractItemView::edit;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override { return 0; }
    bool isIndexHidden(const QModelIndex& index) const override;
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;

  private:
    friend class MapGridDelegate;
    bool manyChosen() const;  // more than one cell is chosen
    void onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight);
    SpinField* openEditor(const QModelIndex& index);
    void editorValueChanged(int value);
    void editorEnter();
    QModelIndex nextEditable(const QModelIndex& from) const;
    bool editable(const QModelIndex& index) const;
    QSize itemSize(const MapGridModel::ValueItem& item) const;
    int neededWidth(const MapGridModel::ValueItem& item) const;
    void placeEditor();
    bool chooseByKey(QKeyEvent* key);
    bool moveByKey(QKeyEvent* key);
    QModelIndex neighbour(const QModelIndex& from, int dr, int dc) const;
    QModelIndex rowEnd(int row, bool last) const;
    QModelIndex firstOrLastCell(bool last) const;
    void moveTo(const QModelIndex& index);
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

    MapGridModel* model_;
    MapGridDelegate* delegate_ = nullptr;
    SpinField* measure_ = nullptr;  // never shown: the size a spin of a given range needs
    mutable QHash<quint64, QSize> sizes_;
    QPointer<SpinField> editor_;
    QPersistentModelIndex edited_;
    QPersistentModelIndex pressed_;
    bool pressedOnArrow_ = false;
    int anchor_ = -1;  // the cell the choice started from
    int extent_ = -1;  // the cell the choice reaches to
    std::array<int, MapGridModel::ColumnCount> naturalWidth_{};
    std::array<int, MapGridModel::RowCount> naturalHeight_{};
    std::array<int, MapGridModel::ColumnCount> columnWidth_{};  // 0: the column is hidden
    std::array<int, MapGridModel::ColumnCount> columnLeft_{};
    std::array<int, MapGridModel::RowCount> rowHeight_{};  // 0: the row is hidden
    std::array<int, MapGridModel::RowCount> rowTop_{};
    QSize natural_;
    bool windowClipboard_ = false;
};

// Paints the items of the map grid the way the fields look.
class MapGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    explicit MapGridDelegate(MapGridView* view) : QStyledItemDelegate(view), view_(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const override {
        return nullptr;  // the view opens its one spin field itself
    }

    // The cached looks and laid-out texts are drawn again (the font, style or palette changed).
    void forgetLooks();

  private:
    struct Look {
        QPixmap pixmap;  // the spin box without its text
        QRect text;      // where its text goes, relative to its corner
        QColor textColor;
        quint64 key = 0;
    };
    const Look& lookFor(QPainter* painter, const QSize& size, const QColor& base, bool upDowns,
                        bool enabled) const;
    const QPixmap& columnButtons(QPainter* painter) const;
    qreal ratioOf(QPainter* painter) const;
    const QPixmap& itemPicture(QPainter* painter, const Look& look, const QString& shown) const;
    friend class MapGridView;  // sets the pixel ratio of the paint under way
    void drawText(QPainter* painter, const QRect& rect, Qt::Alignment align, const QString& text) const;
    void takeFont(QPainter* painter) const;

    MapGridView* view_;
    mutable QHash<quint64, Look> looks_;
    mutable qreal ratio_ = 0.0;
    mutable QHash<QString, QStaticText> texts_;
    mutable QFont textFont_;
    mutable QHash<std::pair<quint64, QString>, QPixmap> items_;  // a look with a value written in it
    mutable QPixmap buttons_;                                    // a column's two step buttons
    qreal paintRatio_ = 0.0;  // while the view paints: its device's pixel ratio
};

}  // namespace torvane
