#pragma once
// What the map grid shows, as one table: the rpm axis over the columns, the axis caption and the bevel
// under it, the ten map rows with their captions (or the IAP row axis) in front, and the column step
// buttons below. Every item keeps what the page passes and the display rules give it (value and range,
// visibility, arrows, colours, the time label of the "Ms" view); the view paints it and edits one item
// at a time. The map cells are the model rows FirstCellRow...FirstCellRow+9, columns 1..15.

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <array>
#include <vector>

#include "mapgrid/map_page_model.h"

namespace torvane {

class MapGridModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    static constexpr int AxisRow = 0;       // "RPM" and the rpm axis
    static constexpr int CaptionRow = 1;    // "TPS" or "IAP [kPa]", and the bevel
    static constexpr int FirstCellRow = 2;  // map row 0
    static constexpr int ButtonRow = FirstCellRow + MapRows;
    static constexpr int RowCount = ButtonRow + 1;
    static constexpr int ColumnCount = MapColumns + 1;

    // The kinds of item, by where they stand.
    enum class Kind { None, Caption, Axis, Iap, Cell, ColumnButtons };

    // Roles beyond Qt's: the item's kind, its range, whether its arrows show, the time label.
    enum Role {
        KindRole = Qt::UserRole + 1,
        MinimumRole,
        MaximumRole,
        StepRole,
        UpDownsRole,
        FieldColorRole,     // the live or warning colour (invalid: none)
        UnderlayColorRole,  // the shade of its value (invalid: none)
        TimeTextRole,       // the "Ms" label over the cell (empty: none)
        TimeColorRole,
        ShownRole,
        EnabledRole,
    };

    // One value item: an rpm axis field, an IAP row field or a map cell.
    struct ValueItem {
        int value = 0;
        int minimum = 0;
        int maximum = 1000;
        int step = 1;
        bool shown = true;
        bool enabled = true;
        bool upDowns = true;
        bool groupSeparator = true;
        QColor field;
        QColor underlay;
        QString time;
        bool timeShown = false;
        QColor timeColor;
    };
    struct CaptionItem {
        QString text;
        bool shown = true;
        QColor background;  // invalid: the window's
    };

    // The names the page's elements give the items: the map panel's ("UpDownCell_Uni[k]",
    // "UpDownRpm_Uni[c]", "UpDownIap_Uni[r]", caption "LabelRpm_Uni"), or those of a curve.
    struct ItemNames {
        QString cell;
        QString axis;
        QString iap;
        QString rpmCaption;
        QString rowCaption;  // the caption of map row 0 when it has a name of its own
    };

    explicit MapGridModel(QObject* parent = nullptr);
    // A curve over the rpm axis: the axis and map row 0 only, named as the page names its fields;
    // no row axis, no column buttons.
    static MapGridModel* curve(const ItemNames& names, QObject* parent);
    const ItemNames& names() const { return names_; }
    // The item an element name and index stand for (invalid for any other name).
    QModelIndex indexNamed(QStringView base, int i) const;
    // The element name of a value item ("UpDownCell_Uni[16]").
    QString nameOf(const QModelIndex& index) const;
    // Takes the caption text of a named label of the page; false when no caption of the grid has it.
    bool takeCaption(const QString& label, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    Kind kindOf(const QModelIndex& index) const;
    // The value item at index (an axis field, an IAP field or a cell), else nullptr.
    const ValueItem* valueItem(const QModelIndex& index) const;

    static QModelIndex noIndex() { return {}; }
    QModelIndex cellIndex(int k) const { return index(FirstCellRow + k / MapColumns, 1 + k % MapColumns); }
    QModelIndex axisIndex(int c) const { return index(AxisRow, 1 + c); }
    QModelIndex iapIndex(int r) const { return index(FirstCellRow + r, 0); }
    // The map cell of an index (0..149), -1 for any other item.
    static int cellOf(const QModelIndex& index);

    // --- what the page passes give -------------------------------------------------------------
    const ValueItem& cell(int k) const { return cells_[static_cast<std::size_t>(k)]; }
    const ValueItem& axis(int c) const { return axis_[static_cast<std::size_t>(c)]; }
    const ValueItem& iap(int r) const { return iap_[static_cast<std::size_t>(r)]; }
    const CaptionItem& rowCaption(int r) const { return rowCaptions_[static_cast<std::size_t>(r)]; }
    const CaptionItem& rpmCaption() const { return rpmCaption_; }
    const CaptionItem& axisCaption() const { return axisCaption_; }
    bool bevelShown() const { return bevel_; }
    bool columnButtonsShown(int c) const { return buttons_[static_cast<std::size_t>(c)]; }

    // Each setter changes the item only where it differs, and reports only what changed.
    void setCellValue(int k, int value);
    void setAxisValue(int c, int value);
    void setIapValue(int r, int value);
    // A whole page's values at once: one report covers the rows that changed (a page switch changes
    // most of them, and each report repaints and reshades).
    void setCellValues(const std::array<int, MapCells>& values);
    void setAxisValues(const std::array<int, MapColumns>& values);
    void setIapValues(const std::array<int, MapRows>& values);
    void setCellRange(int minimum, int maximum, int step);
    void setAxisRange(int c, int minimum, int maximum, int step);
    void setIapRange(int minimum, int maximum);

    // --- what the display rules give -------------------------------------------------------------
    void setShown(const QModelIndex& index, bool shown);
    void setEnabled(const QModelIndex& index, bool enabled);
    void setUpDowns(const QModelIndex& index, bool upDowns);
    void setFieldColor(const QModelIndex& index, const QColor& color);
    void setUnderlayColor(int k, const QColor& color);
    void setTime(int k, const QString& text, bool shown);
    void setTimeColor(int k, const QColor& color);
    void setRowCaption(int r, const QString& text);
    void setRowCaptionShown(int r, bool shown);
    void setRowCaptionColor(int r, const QColor& color);
    void setRpmCaption(const QString& text, bool shown);
    void setAxisCaption(const QString& text, bool shown);
    void setBevelShown(bool shown);
    void setColumnButtonsShown(int c, bool shown);
    // The print hides every arrow; the values stay.
    void setPrintMode(bool on);
    bool printMode() const { return printMode_; }
    // What an item shows: its value as a spin box writes it.
    QString textOf(const ValueItem& item) const;

    // --- what assistive tools say ------------------------------------------------------------
    // The names a screen reader speaks for the items, in the window's language: cellFormat takes the
    // title, the row and the rpm ("%1 %2, %3 rpm"), axisFormat the title and the column, iapFormat the
    // title and the row.
    struct SpokenNames {
        QString title;
        QString cellFormat = QStringLiteral("%1 %2, %3 rpm");
        QString axisFormat = QStringLiteral("%1, rpm axis, column %2");
        QString iapFormat = QStringLiteral("%1, IAP axis, row %2");
    };
    void setSpokenNames(const SpokenNames& names);
    QString spokenName(const QModelIndex& index) const;

    // The map rows and columns the page shows (the others are hidden by its mode), in order.
    std::vector<int> shownRows() const;
    std::vector<int> shownColumns() const;

  signals:
    // An item changed how much room it needs (its range, arrows or visibility).
    void geometryChanged();

  private:
    ValueItem* mutableValueItem(const QModelIndex& index);
    void changed(const QModelIndex& index);
    void changedRow(int row);

    std::array<ValueItem, MapCells> cells_{};
    std::array<ValueItem, MapColumns> axis_{};
    std::array<ValueItem, MapRows> iap_{};
    std::array<CaptionItem, MapRows> rowCaptions_{};
    CaptionItem rpmCaption_;
    CaptionItem axisCaption_;
    bool bevel_ = true;
    std::array<bool, MapColumns> buttons_{};
    bool printMode_ = false;
    SpokenNames spoken_;
    ItemNames names_;
};

}  // namespace torvane
