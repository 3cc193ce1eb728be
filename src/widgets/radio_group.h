#pragma once
// A framed group of radio buttons chosen by item index, its items given as a list of texts (so a
// language can replace them). Only a user's click is reported.

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

namespace torvane {

class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(int columns READ columns WRITE setColumns)

  public:
    explicit RadioGroup(QWidget* parent = nullptr);

    // Replaces the items, keeping the chosen index. The buttons are named "<objectName>[i]".
    void setItems(const QStringList& items);
    QStringList items() const;
    int itemCount() const { return static_cast<int>(buttons_.size()); }
    // -1 when no item is chosen.
    int itemIndex() const;
    // An index outside the items chooses none.
    void setItemIndex(int index);
    QRadioButton* button(int index) const;

    int columns() const { return columns_; }
    void setColumns(int columns);

  signals:
    void itemClicked(int index);

  private:
    void relayout();

    QButtonGroup* group_;
    QGridLayout* grid_;
    QList<QRadioButton*> buttons_;
    int columns_ = 1;
};

}  // namespace torvane
