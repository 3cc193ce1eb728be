#include "mapgrid/map_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>

#include "editor/binding_table.h"
#include "mapgrid/map_grid_view.h"
#include "widgets/commit_check_box.h"
#include "widgets/radio_group.h"
#include "widgets/spin_button.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

QString Element(const char* base, int i) {
    return QString::fromStdString(ArrayElementName(base, i));
}

CommitCheckBox* MakeCheck(QWidget* parent, const char* name, const char* text) {
    auto* box = new CommitCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

// Where the extra fields and their captions sit on each page: (misc field or caption, row, column).
struct Placement {
    bool caption;
    int index;
    int row;
    int column;
};
struct PagePlacements {
    int page;
    std::initializer_list<Placement> items;
};
const PagePlacements kPlacements[] = {
    {PageAdvance,
     {{false, 4, 1, 1},
      {true, 0, 1, 2},
      {false, 0, 1, 3},
      {false, 1, 1, 4},
      {false, 2, 1, 5},
      {false, 3, 1, 6},
      {true, 1, 1, 7},
      {false, 5, 1, 8},
      {true, 2, 1, 9}}},
    {PageJet1A,
     {{true, 0, 1, 0},
      {true, 1, 0, 1},
      {true, 2, 0, 2},
      {true, 3, 0, 3},
      {true, 4, 0, 4},
      {false, 0, 1, 1},
      {false, 1, 1, 2},
      {false, 2, 1, 3},
      {false, 3, 1, 4}}},
    {PageIap, {{false, 0, 1, 0}, {false, 1, 1, 1}, {false, 2, 1, 2}, {false, 3, 1, 3}, {true, 1, 1, 4}}},
    {PageServoIn,
     {{true, 1, 0, 0},
      {false, 0, 1, 0},
      {true, 3, 0, 2},
      {false, 2, 1, 2},
      {true, 4, 0, 3},
      {false, 3, 1, 3}}},
    {PageServoEx, {{true, 1, 0, 0}, {false, 0, 1, 0}}},
};

}  // namespace

// The group box's frame, as the group box paints it, copied from its picture.
void MapPanel::paintEvent(QPaintEvent* event) {
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    QPainter painter(this);
    const quint64 look = static_cast<quint64>(palette().cacheKey()) ^
                         (static_cast<quint64>(option.state) << 40) ^ reinterpret_cast<quintptr>(style());
    frame_.paint(painter, event->region(), size(), look,
                 [&](QPainter& p) { style()->drawComplexControl(QStyle::CC_GroupBox, &option, &p, this); });
}

MapPanel::MapPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("GroupBoxMapGrid");
    setFlat(true);
    // Fifteen columns of rpm values up to "25,000" must fit the design window's width.
    QFont compact = font();
    compact.setPointSizeF(std::min(compact.pointSizeF(), 8.0));
    setFont(compact);
    // A window smaller than the grid needs scrolls the panel; a bigger one gives the grid the room.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("ScrollBoxMapGrid");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto* content = new QWidget(scroll);
    content->setObjectName("PanelMapGridScrolled");
    layout_ = new QGridLayout(content);
    layout_->setObjectName("GridMapPanel");
    layout_->setContentsMargins(4, 4, 4, 4);
    layout_->setHorizontalSpacing(2);
    layout_->setVerticalSpacing(2);

    // First row: the extra fields, the servo controls and the tools.
    auto* top = new QHBoxLayout();
    miscGrid_ = new QGridLayout();
    miscGrid_->setObjectName("GridMisc_Uni");
    miscGrid_->setHorizontalSpacing(6);
    miscGrid_->setVerticalSpacing(1);
    tps_ = MakeCheck(this, "CheckBoxTps_Uni", "TPS");
    miscGrid_->addWidget(tps_, 1, 0);
    for (int i = 0; i < MiscFieldCount; ++i)
        misc_[static_cast<std::size_t>(i)] = makeSpin(Element("UpDownMisc_Uni", i), 0, 1000, 1);
    for (int i = 0; i < 5; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(Element("LabelMisc_Uni", i));
        miscLabels_[static_cast<std::size_t>(i)] = label;
    }
    top->addLayout(miscGrid_);
    top->addStretch(1);
    servoEnable_ = MakeCheck(this, "CheckBoxServoEnable", "Servo enable");
    procent_ = MakeCheck(this, "CheckBoxProcenta", "Procent");
    stepMotor_ = MakeCheck(this, "CheckBoxStepMotor", "Step motor");
    servoMode_ = new RadioGroup(this);
    servoMode_->setObjectName("RadioGroupServoMode");
    servoMode_->setColumns(3);
    servoMode_->setItems({"R + T", "RPM", "TPS"});
    for (QWidget* w : std::initializer_list<QWidget*>{servoEnable_, procent_, stepMotor_, servoMode_})
        top->addWidget(w);
    tools_ = new SpinButton(this);
    tools_->setObjectName("CSpinButtonTools_Uni");
    all_ = MakeCheck(this, "CheckBoxAll_Uni", "All");
    ms_ = MakeCheck(this, "CheckBoxZobrMs_Uni", "Ms");
    top->addSpacing(12);
    top->addWidget(tools_);
    top->addWidget(all_);
    top->addWidget(ms_);
    layout_->addLayout(top, 0, 0);

    channels_ = new QLabel(this);
    channels_->setObjectName("LabelChannels_Uni");
    QFont big = channels_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    channels_->setFont(big);
    channels_->setAutoFillBackground(true);
    channels_->hide();
    layout_->addWidget(channels_, 1, 0, Qt::AlignLeft);

    // The rpm axis, the rows, the cells and the column step buttons: one model, one view.
    grid_ = new MapGridModel(this);
    view_ = new MapGridView(grid_, this);
    view_->setWindowClipboard(true);
    layout_->addWidget(view_, 2, 0);
    layout_->setRowStretch(2, 1);
    scroll->setWidget(content);
}

SpinField* MapPanel::makeSpin(const QString& name, int min, int max, int step) {
    auto* s = new SpinField(this);
    s->setObjectName(name);
    s->nameEditAfterUpDown();
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

void MapPanel::arrangeExtraFields(int page) {
    if (page == arrangedPage_) return;
    arrangedPage_ = page;
    // Where each field and caption goes on this page; those the page does not place stay hidden. Only
    // what moves is taken out of the row and put back, and only what changes is hidden or shown.
    std::array<Spot, MiscFieldCount + 5> wanted{};
    for (const PagePlacements& p : kPlacements) {
        if (p.page != page) continue;
        for (const Placement& item : p.items)
            wanted[static_cast<std::size_t>(item.caption ? MiscFieldCount + item.index : item.index)] = {
                item.row, item.column, item.caption && item.row == 0 ? Qt::AlignBottom : Qt::Alignment()};
    }
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        QWidget* w = k < MiscFieldCount ? static_cast<QWidget*>(misc_[k]) : miscLabels_[k - MiscFieldCount];
        Spot& at = spots_[k];
        if (at != wanted[k]) {
            if (at.row >= 0) miscGrid_->removeWidget(w);
            if (wanted[k].row >= 0) miscGrid_->addWidget(w, wanted[k].row, wanted[k].column, wanted[k].align);
            at = wanted[k];
        }
        // A field never shown nor hidden yet would appear with the panel: it is told once either way.
        const bool placed = at.row >= 0;
        if (w->isHidden() == placed || !w->testAttribute(Qt::WA_WState_ExplicitShowHide))
            w->setVisible(placed);
    }
}

void MapPanel::showValues(int page, const MapPanelValues& v) {
    arrangeExtraFields(page);
    for (const MiscField& f : MiscFieldsOfPage(page)) {
        SpinField* s = misc_[static_cast<std::size_t>(f.element)];
        s->setRange(f.min, f.max);
        s->setSingleStep(f.step);
    }
    for (int c = 0; c < MapColumns; ++c) grid_->setAxisRange(c, v.rpmRange.min, v.rpmRange.max, 100);
    grid_->setAxisValues(v.rpm);
    grid_->setIapValues(v.iap);
    grid_->setCellRange(0, v.cellMax, v.cellStep);
    grid_->setCellValues(v.cells);
    for (const MiscField& f : MiscFieldsOfPage(page)) {
        const auto element = static_cast<std::size_t>(f.element);
        misc_[element]->showValue(v.misc[element]);
    }
    auto setChecked = [](QCheckBox* box, bool on) {
        if (box->isChecked() != on) box->setChecked(on);
    };
    setChecked(tps_, v.tps);
    if (MapPageOf(page) != nullptr && MapPageOf(page)->servo) {
        setChecked(servoEnable_, v.servoEnable);
        setChecked(procent_, v.procent);
        setChecked(stepMotor_, v.stepMotor);
        servoMode_->setItemIndex(v.servoMode);
    }
    setChecked(all_, v.all);
}

MapPanelValues MapPanel::values() const {
    MapPanelValues v;
    for (int c = 0; c < MapColumns; ++c) v.rpm[static_cast<std::size_t>(c)] = grid_->axis(c).value;
    for (int r = 0; r < MapRows; ++r) v.iap[static_cast<std::size_t>(r)] = grid_->iap(r).value;
    for (int k = 0; k < MapCells; ++k) v.cells[static_cast<std::size_t>(k)] = grid_->cell(k).value;
    for (std::size_t i = 0; i < MiscFieldCount; ++i) v.misc[i] = misc_[i]->value();
    v.tps = tps_->isChecked();
    v.servoEnable = servoEnable_->isChecked();
    v.procent = procent_->isChecked();
    v.stepMotor = stepMotor_->isChecked();
    v.servoMode = servoMode_->itemIndex();
    v.all = all_->isChecked();
    v.cellMax = grid_->cell(0).maximum;
    v.cellStep = grid_->cell(0).step;
    return v;
}

}  // namespace torvane
