#pragma once
// GroupBoxMapGrid: the one panel that every map page shows, built once and moved onto the map page in
// view. It holds the rpm axis, the 10 x 15 cells with their time labels, the IAP row axis, the six
// extra fields with their captions, the check boxes, the servo controls and the tool spin buttons.

#include <QGroupBox>
#include <array>

#include "editor/map_page_model.h"

class QCheckBox;
class QFrame;
class QGridLayout;
class QLabel;

namespace torvane {

class CommitCheckBox;
class RadioGroup;
class SpinButton;
class SpinField;

class MapPanel : public QGroupBox {
    Q_OBJECT

  public:
    explicit MapPanel(QWidget* parent = nullptr);

    // Shows what the image-to-page pass gives, each spin by the rule that leaves an unchanged one alone.
    // The cell spins take the page's maximum and step, and the extra fields their ranges, first.
    void showValues(int page, const MapPanelValues& values);
    // What the panel holds now, for the page-to-image pass.
    MapPanelValues values() const;
    // Places the extra fields and their captions in the order of the page (the first row of the panel).
    void arrangeExtraFields(int page);
    // Row 9 (full throttle) at the height of row 0, for the views that show that row alone.
    void setRow9AtTop(bool top);
    // Fits the time labels over the edit part of their cells.
    void fitCellLabels();

    static int cellIndex(int row, int column) { return MapColumns * row + column; }

    SpinField* rpm(int c) const { return rpm_[static_cast<std::size_t>(c)]; }
    SpinField* cell(int k) const { return cells_[static_cast<std::size_t>(k)]; }
    QLabel* cellLabel(int k) const { return cellLabels_[static_cast<std::size_t>(k)]; }
    SpinField* iap(int r) const { return iap_[static_cast<std::size_t>(r)]; }
    QLabel* rowLabel(int r) const { return rowLabels_[static_cast<std::size_t>(r)]; }
    SpinField* misc(int i) const { return misc_[static_cast<std::size_t>(i)]; }
    QLabel* miscLabel(int i) const { return miscLabels_[static_cast<std::size_t>(i)]; }
    SpinButton* columnButton(int c) const { return columnButtons_[static_cast<std::size_t>(c)]; }
    SpinButton* toolsButton() const { return tools_; }
    QLabel* rpmCaption() const { return rpmCaption_; }
    QLabel* axisCaption() const { return axisCaption_; }
    QLabel* channelsCaption() const { return channels_; }
    QFrame* bevel() const { return bevel_; }
    CommitCheckBox* tpsBox() const { return tps_; }
    CommitCheckBox* allBox() const { return all_; }
    CommitCheckBox* msBox() const { return ms_; }
    CommitCheckBox* servoEnableBox() const { return servoEnable_; }
    CommitCheckBox* procentBox() const { return procent_; }
    CommitCheckBox* stepMotorBox() const { return stepMotor_; }
    RadioGroup* servoModeGroup() const { return servoMode_; }

    // Every spin of the panel (axis, cells, IAP axis, extra fields).
    std::vector<SpinField*> spins() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    SpinField* makeSpin(const QString& name, int min, int max, int step);

    QGridLayout* grid_ = nullptr;
    QGridLayout* miscGrid_ = nullptr;
    std::array<SpinField*, MapColumns> rpm_{};
    std::array<SpinField*, MapCells> cells_{};
    std::array<QLabel*, MapCells> cellLabels_{};
    std::array<SpinField*, MapRows> iap_{};
    std::array<QLabel*, MapRows> rowLabels_{};
    std::array<SpinField*, MiscFieldCount> misc_{};
    std::array<QLabel*, 5> miscLabels_{};
    std::array<SpinButton*, MapColumns> columnButtons_{};
    SpinButton* tools_ = nullptr;
    QLabel* rpmCaption_ = nullptr;
    QLabel* axisCaption_ = nullptr;
    QLabel* channels_ = nullptr;
    QFrame* bevel_ = nullptr;
    CommitCheckBox* tps_ = nullptr;
    CommitCheckBox* all_ = nullptr;
    CommitCheckBox* ms_ = nullptr;
    CommitCheckBox* servoEnable_ = nullptr;
    CommitCheckBox* procent_ = nullptr;
    CommitCheckBox* stepMotor_ = nullptr;
    RadioGroup* servoMode_ = nullptr;
    int arrangedPage_ = -1;
    bool row9AtTop_ = false;
};

}  // namespace torvane
