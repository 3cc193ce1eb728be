#pragma once
// An edit field with its up-down: the spin that every numeric value of the pages is edited in. It
// reports the three user actions that commit an edit (an up-down step, a click into the field, Enter)
// and shows values by the rule of the page passes: a spin already at the value is left alone, so
// whatever is typed in it stays.

#include <QColor>
#include <QSpinBox>
#include <array>
#include <cstddef>

class QLineEdit;

namespace torvane {

class SpinField : public QSpinBox {
    Q_OBJECT

  public:
    explicit SpinField(QWidget* parent = nullptr);

    // Sets the position unless it already equals value; the spin limits it to its range. Values from
    // 1000 on are shown with the thousands separator.
    void showValue(int value);
    // The edit part carries the up-down's name with "Edit" for "UpDown" (UpDownTps0 -> EditTps0).
    void nameEditAfterUpDown();
    QLineEdit* edit() const { return lineEdit(); }

    // Hides the up-down arrows, leaving the field (the read-only views of a map).
    void setUpDownShown(bool shown);
    bool upDownShown() const { return buttonSymbols() != QAbstractSpinBox::NoButtons; }
    // Field background: the live operating point, a warning. An invalid colour restores the window colour.
    void setFieldColor(const QColor& color);
    QColor fieldColor() const { return color_; }
    // A colour under the field colour (a selected cell, the shade of its value): shown only while the
    // field colour is the window colour, so the live and warning colours always win.
    void setUnderlayColor(const QColor& color);
    QColor underlayColor() const { return underlay_; }

    // As wide as the widest value of the range needs, so a row of fifteen fits the window.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  signals:
    void upDownClicked();  // an arrow, an arrow key or the wheel stepped the value
    void editClicked();    // a click into the field
    void enterPressed();   // Enter in the field

  public:
    // An arrow, an arrow key or the wheel: steps the value and reports it.
    void stepBy(int steps) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The field's text menu without Undo and Redo: those belong to the configuration.
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void applyBase();
    QColor color_;
    QColor underlay_;
    // Layouts ask for the hint of every cell on each relayout, and a map page switch gives the 150
    // cells another range and back: the hints of the last few ranges are kept until the font or
    // style changes.
    struct Hint {
        int minimum = 0;
        int maximum = 0;
        ButtonSymbols symbols = UpDownArrows;
        QSize size;
    };
    mutable std::array<Hint, 4> hints_{};
    mutable std::size_t nextHint_ = 0;
};

}  // namespace torvane
