#pragma once
// GroupBoxMapGrid: the one panel that every map page shows, built once and moved onto the map page in
// view. It holds the six extra fields with their captions, the check boxes, the servo controls and the
// tools spin button, and the map grid: one view of the rpm axis, the IAP row axis or row captions, the
// 10 x 15 cells with their time labels and the column step buttons.

#include <QGroupBox>
#include <array>

#include "mapgrid/map_grid_model.h"
#include "mapgrid/map_page_model.h"
#include "widgets/frame_picture.h"

class QCheckBox;
class QGridLayout;
class QLabel;

namespace torvane {

class CommitCheckBox;
class MapGridView;
class RadioGroup;
class SpinButton;
class SpinField;

class MapPanel : public QGroupBox {
    Q_OBJECT

  public:
    explicit MapPanel(QWidget* parent = nullptr);

    // Shows what the image-to-page pass gives, each item by the rule that leaves an unchanged one alone.
    // The cells take the page's maximum and step, and the extra fields their ranges, first.
    void showValues(int page, const MapPanelValues& values);
    // What the panel holds now, for the page-to-image pass.
    MapPanelValues values() const;
    // Places the extra fields and their captions in the order of the page (the first row of the panel).
    void arrangeExtraFields(int page);
    static int cellIndex(int row, int column) { return MapColumns * row + column; }

    // The map grid: what it shows, and the view that paints and edits it.
    MapGridModel& grid() const { return *grid_; }
    MapGridView& gridView() const { return *view_; }

    SpinField* misc(int i) const { return misc_[static_cast<std::size_t>(i)]; }
    QLabel* miscLabel(int i) const { return miscLabels_[static_cast<std::size_t>(i)]; }
    SpinButton* toolsButton() const { return tools_; }
    QLabel* channelsCaption() const { return channels_; }
    CommitCheckBox* tpsBox() const { return tps_; }
    CommitCheckBox* allBox() const { return all_; }
    CommitCheckBox* msBox() const { return ms_; }
    CommitCheckBox* servoEnableBox() const { return servoEnable_; }
    CommitCheckBox* procentBox() const { return procent_; }
    CommitCheckBox* stepMotorBox() const { return stepMotor_; }
    RadioGroup* servoModeGroup() const { return servoMode_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    SpinField* makeSpin(const QString& name, int min, int max, int step);

    QGridLayout* layout_ = nullptr;
    QGridLayout* miscGrid_ = nullptr;
    MapGridModel* grid_ = nullptr;
    MapGridView* view_ = nullptr;
    std::array<SpinField*, MiscFieldCount> misc_{};
    std::array<QLabel*, 5> miscLabels_{};
    SpinButton* tools_ = nullptr;
    QLabel* channels_ = nullptr;
    CommitCheckBox* tps_ = nullptr;
    CommitCheckBox* all_ = nullptr;
    CommitCheckBox* ms_ = nullptr;
    CommitCheckBox* servoEnable_ = nullptr;
    CommitCheckBox* procent_ = nullptr;
    CommitCheckBox* stepMotor_ = nullptr;
    RadioGroup* servoMode_ = nullptr;
    int arrangedPage_ = -1;
    // Where each extra field (then each caption) sits in the first row now; row -1: not placed.
    struct Spot {
        int row = -1;
        int column = -1;
        Qt::Alignment align;
        bool operator==(const Spot&) const = default;
    };
    std::array<Spot, MiscFieldCount + 5> spots_{};
    FramePicture frame_;
};

}  // namespace torvane
