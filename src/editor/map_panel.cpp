#include "editor/map_panel.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>

#include "editor/binding_table.h"
#include "editor/commit_check_box.h"
#include "editor/radio_group.h"
#include "editor/spin_button.h"
#include "editor/spin_field.h"

namespace torvane {
namespace {

constexpr const char* kThrottleRows[MapRows] = {"0%",  "2%",  "5%",  "10%", "20%",
                                                "30%", "40%", "60%", "80%", "100%"};
constexpr int kFirstCellRow = 5;  // grid row of map row 0

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

MapPanel::MapPanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName("GroupBoxMapGrid");
    setFlat(true);
    // Fifteen columns of rpm values up to "25,000" must fit the design window's width.
    QFont compact = font();
    compact.setPointSizeF(std::min(compact.pointSizeF(), 8.0));
    setFont(compact);
    grid_ = new QGridLayout(this);
    grid_->setObjectName("GridMapPanel");
    grid_->setContentsMargins(4, 4, 4, 4);
    grid_->setHorizontalSpacing(2);
    grid_->setVerticalSpacing(2);

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
    grid_->addLayout(top, 0, 0, 1, MapColumns + 1);

    channels_ = new QLabel(this);
    channels_->setObjectName("LabelChannels_Uni");
    QFont big = channels_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    channels_->setFont(big);
    channels_->setAutoFillBackground(true);
    channels_->hide();
    grid_->addWidget(channels_, 1, 0, 1, MapColumns + 1, Qt::AlignLeft);

    rpmCaption_ = new QLabel("RPM", this);
    rpmCaption_->setObjectName("LabelRpm_Uni");
    grid_->addWidget(rpmCaption_, 2, 0);
    for (int c = 0; c < MapColumns; ++c) {
        SpinField* s = makeSpin(Element("UpDownRpm_Uni", c), RpmAxisMin, RpmAxisMax, 100);
        rpm_[static_cast<std::size_t>(c)] = s;
        grid_->addWidget(s, 2, 1 + c);
    }
    bevel_ = new QFrame(this);
    bevel_->setObjectName("BevelGrid_Uni");
    bevel_->setFrameShape(QFrame::HLine);
    bevel_->setFrameShadow(QFrame::Sunken);
    grid_->addWidget(bevel_, 3, 0, 1, MapColumns + 1);

    axisCaption_ = new QLabel("TPS", this);
    axisCaption_->setObjectName("LabelAxis_Uni");
    grid_->addWidget(axisCaption_, 4, 0);
    for (int r = 0; r < MapRows; ++r) {
        auto* label = new QLabel(QString::fromLatin1(kThrottleRows[r]), this);
        label->setObjectName(Element("LabelRow_Uni", r));
        label->setAutoFillBackground(true);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setMargin(2);
        rowLabels_[static_cast<std::size_t>(r)] = label;
        grid_->addWidget(label, kFirstCellRow + r, 0);
        SpinField* iap = makeSpin(Element("UpDownIap_Uni", r), 0, IapAxisMax, 1);
        iap->setGroupSeparatorShown(false);
        iap->hide();
        iap_[static_cast<std::size_t>(r)] = iap;
        grid_->addWidget(iap, kFirstCellRow + r, 0);
        for (int c = 0; c < MapColumns; ++c) {
            const int k = cellIndex(r, c);
            SpinField* s = makeSpin(Element("UpDownCell_Uni", k), 0, 1000, 1);
            cells_[static_cast<std::size_t>(k)] = s;
            grid_->addWidget(s, kFirstCellRow + r, 1 + c);
            auto* time = new QLabel(this);
            time->setObjectName(Element("LabelCell_Uni", k));
            time->setAutoFillBackground(true);
            time->setAttribute(Qt::WA_TransparentForMouseEvents);
            time->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            time->hide();
            cellLabels_[static_cast<std::size_t>(k)] = time;
            grid_->addWidget(time, kFirstCellRow + r, 1 + c, Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    for (int c = 0; c < MapColumns; ++c) {
        auto* b = new SpinButton(this);
        b->setObjectName(Element("CSpinButtonColumn_Uni", c));
        columnButtons_[static_cast<std::size_t>(c)] = b;
        grid_->addWidget(b, kFirstCellRow + MapRows, 1 + c, Qt::AlignHCenter);
    }
    grid_->setRowStretch(kFirstCellRow + MapRows + 1, 1);
    grid_->setColumnStretch(MapColumns + 1, 1);
}

void MapPanel::setRow9AtTop(bool top) {
    if (top == row9AtTop_) return;
    row9AtTop_ = top;
    const int row = kFirstCellRow + (top ? 0 : MapRows - 1);
    const auto move = [&](QWidget* w, int column, Qt::Alignment align = {}) {
        grid_->removeWidget(w);
        grid_->addWidget(w, row, column, align);
    };
    move(rowLabels_[MapRows - 1], 0);
    move(iap_[MapRows - 1], 0);
    for (int c = 0; c < MapColumns; ++c) {
        const int k = cellIndex(MapRows - 1, c);
        move(cells_[static_cast<std::size_t>(k)], 1 + c);
        move(cellLabels_[static_cast<std::size_t>(k)], 1 + c, Qt::AlignLeft | Qt::AlignVCenter);
    }
}

SpinField* MapPanel::makeSpin(const QString& name, int min, int max, int step) {
    auto* s = new SpinField(this);
    s->setObjectName(name);
    s->nameEditAfterUpDown();
    s->setRange(min, max);
    s->setSingleStep(step);
    return s;
}

std::vector<SpinField*> MapPanel::spins() const {
    std::vector<SpinField*> all(rpm_.begin(), rpm_.end());
    all.insert(all.end(), cells_.begin(), cells_.end());
    all.insert(all.end(), iap_.begin(), iap_.end());
    all.insert(all.end(), misc_.begin(), misc_.end());
    return all;
}

void MapPanel::arrangeExtraFields(int page) {
    if (page == arrangedPage_) return;
    arrangedPage_ = page;
    // Fields and captions the page does not place stay hidden.
    for (SpinField* s : misc_) {
        miscGrid_->removeWidget(s);
        s->hide();
    }
    for (QLabel* l : miscLabels_) {
        miscGrid_->removeWidget(l);
        l->hide();
    }
    for (const PagePlacements& p : kPlacements) {
        if (p.page != page) continue;
        for (const Placement& item : p.items) {
            QWidget* w = item.caption
                             ? static_cast<QWidget*>(miscLabels_[static_cast<std::size_t>(item.index)])
                             : misc_[static_cast<std::size_t>(item.index)];
            miscGrid_->addWidget(w, item.row, item.column,
                                 item.caption && item.row == 0 ? Qt::AlignBottom : Qt::Alignment());
            w->show();
        }
    }
}

void MapPanel::showValues(int page, const MapPanelValues& v) {
    arrangeExtraFields(page);
    for (const MiscField& f : MiscFieldsOfPage(page)) {
        SpinField* s = misc_[static_cast<std::size_t>(f.element)];
        s->setRange(f.min, f.max);
        s->setSingleStep(f.step);
    }
    for (SpinField* s : rpm_) {
        if (s->minimum() != v.rpmRange.min || s->maximum() != v.rpmRange.max)
            s->setRange(v.rpmRange.min, v.rpmRange.max);
    }
    for (int c = 0; c < MapColumns; ++c) rpm_[static_cast<std::size_t>(c)]->showValue(v.rpm[c]);
    for (int r = 0; r < MapRows; ++r) iap_[static_cast<std::size_t>(r)]->showValue(v.iap[r]);
    for (int k = 0; k < MapCells; ++k) {
        SpinField* s = cells_[static_cast<std::size_t>(k)];
        if (s->maximum() != v.cellMax) s->setMaximum(v.cellMax);
        if (s->singleStep() != v.cellStep) s->setSingleStep(v.cellStep);
        s->showValue(v.cells[k]);
    }
    for (const MiscField& f : MiscFieldsOfPage(page))
        misc_[static_cast<std::size_t>(f.element)]->showValue(v.misc[f.element]);
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
    for (int c = 0; c < MapColumns; ++c) v.rpm[c] = rpm_[static_cast<std::size_t>(c)]->value();
    for (int r = 0; r < MapRows; ++r) v.iap[r] = iap_[static_cast<std::size_t>(r)]->value();
    for (int k = 0; k < MapCells; ++k) v.cells[k] = cells_[static_cast<std::size_t>(k)]->value();
    for (int i = 0; i < MiscFieldCount; ++i) v.misc[i] = misc_[static_cast<std::size_t>(i)]->value();
    v.tps = tps_->isChecked();
    v.servoEnable = servoEnable_->isChecked();
    v.procent = procent_->isChecked();
    v.stepMotor = stepMotor_->isChecked();
    v.servoMode = servoMode_->itemIndex();
    v.all = all_->isChecked();
    v.cellMax = cells_[0]->maximum();
    v.cellStep = cells_[0]->singleStep();
    return v;
}

void MapPanel::fitCellLabels() {
    const SpinField* probe = cells_[0];
    const QRect edit = probe->edit()->geometry();
    if (edit.width() <= 0) return;
    const QSize size(edit.right() + 1, probe->height());
    for (QLabel* l : cellLabels_) {
        if (l->size() != size) l->setFixedSize(size);
    }
}

void MapPanel::showEvent(QShowEvent* event) {
    QGroupBox::showEvent(event);
    fitCellLabels();
}

}  // namespace torvane
