#include "editor/fixed_pages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QTabWidget>

#include "editor/binding_table.h"
#include "editor/page_catalogue.h"
#include "image/catalogue.h"
#include "mapgrid/map_grid_view.h"
#include "text/message_table.h"
#include "ui_bike_page.h"
#include "ui_cidla_page.h"
#include "ui_gas_page.h"
#include "ui_gear_page.h"
#include "ui_idle_page.h"
#include "ui_korekce_page.h"
#include "ui_poloha_page.h"
#include "ui_race_page.h"
#include "ui_synchro_page.h"
#include "widgets/named_control.h"
#include "widgets/radio_group.h"
#include "widgets/spin_field.h"

namespace torvane {
namespace {

// A run-time array of spins: created into a grid of a form, along a row or down a column.
struct SpinArray {
    const char* upDown;
    int count;
    const char* grid;
    int row;
    int column;
    bool downwards;
};
constexpr SpinArray kSpinArrays[] = {
    {"UpDownKorVoda", 5, "GridKorVodaVzduch", 1, 1, false},
    {"UpDownKorVzduch", 5, "GridKorVodaVzduch", 2, 1, false},
    {"UpDownKorIgnVoda", 5, "GridIgnVoda", 1, 1, false},
    {"UpDownCidloVoda", 9, "GridCidloTVodaVzduch", 1, 1, false},
    {"UpDownCidloVzduch", 9, "GridCidloTVodaVzduch", 2, 1, false},
    {"UpDownIdleServoPoz", 9, "GridIdleServoPoz", 1, 0, false},
    {"UpDownIdleAdvPoz", 9, "GridIdleAdvPoz", 1, 0, false},
    {"UpDownPilotLight1", 6, "GridClutch", 1, 1, false},
    {"UpDownPilotLight2", 6, "GridClutch", 2, 1, false},
    {"UpDownClutchTime", 6, "GridClutch", 3, 1, false},
    {"UpDownClutchPause", 6, "GridClutch", 4, 1, false},
    {"UpDownGearNapeti", 7, "GridNapetiProGear", 0, 1, true},
    {"UpDownGearPomer", 6, "GridRpmSpeedProGear", 1, 1, true},
    {"UpDownGearKorAdv", 6, "GridGearKor", 1, 1, false},
    {"UpDownGearKorJet", 6, "GridGearKor", 2, 1, false},
};

// The position curves: fifteen positions over an rpm axis of their own, shown by a grid like the
// maps' (one editor for the item being edited, the live column painted green).
struct CurveGrid {
    const char* layout;
    const char* view;
    const char* axis;
    const char* cells;
    const char* axisCaption;
    const char* cellCaption;
};
constexpr CurveGrid kCurveGrids[] = {
    {"GridPolohaA", "GridViewPolohaA", "UpDownPolohaARpm", "UpDownPolohaAPoz", "LabelPolohaARpm",
     "LabelPolohaAPoz"},
    {"GridPolohaB", "GridViewPolohaB", "UpDownPolohaBRpm", "UpDownPolohaBPoz", "LabelPolohaBRpm",
     "LabelPolohaBPoz"},
};

// Temperature captions over the columns of the sensor, correction and idle curves.
constexpr const char* kNinePoints[] = {"-10 °C", "  5 °C", " 20 °C", " 35 °C", " 50 °C",
                                       " 65 °C", " 80 °C", " 95 °C", "110 °C"};
constexpr const char* kFivePoints[] = {"-10 °C", " 20 °C", " 50 °C", " 80 °C", "110 °C"};
struct LabelArray {
    const char* label;
    const char* const* texts;
    int count;
    const char* grid;
    int row;
    int column;
};
constexpr LabelArray kLabelArrays[] = {
    {"LabelTeplota", kNinePoints, 9, "GridCidloTVodaVzduch", 0, 1},
    {"LabelIdleServoTeplota", kNinePoints, 9, "GridIdleServoPoz", 0, 0},
    {"LabelIdleAdvTeplota", kNinePoints, 9, "GridIdleAdvPoz", 0, 0},
    {"LabelKorTeplota", kFivePoints, 5, "GridKorVodaVzduch", 0, 1},
    {"LabelKorIgnTeplota", kFivePoints, 5, "GridIgnVoda", 0, 1},
};

// Readouts of the monitor that sit on the editing pages; their text changes with every frame, so their
// size must not follow it.
constexpr const char* kReadoutLabels[] = {"LabelMonGearNapeti",
                                          "LabelMonPomerRpmSpeed",
                                          "LabelIdleKorAdv",
                                          "LabelMonPomerRpmSpeedAuto1",
                                          "LabelMonPomerRpmSpeedAuto2",
                                          "LabelMonPomerRpmSpeedAuto3",
                                          "LabelMonPomerRpmSpeedAuto4",
                                          "LabelMonPomerRpmSpeedAuto5",
                                          "LabelMonPomerRpmSpeedAuto6",
                                          "LabelTpsNapeti"};

template <class Ui>
void SetUp(QTabWidget* pages, int index) {
    Ui ui;
    ui.setupUi(pages->widget(index));
}

QStringList Items(const char* control) {
    const std::string text = CaptionText(control, CaptionKind::Items, 0);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).split('\n');
}

void SetUpForms(QTabWidget* pages) {
    SetUp<Ui::BikePage>(pages, PageBike);
    SetUp<Ui::SynchroPage>(pages, PageSynchro);
    SetUp<Ui::PolohaPage>(pages, PagePoloha);
    SetUp<Ui::KorekcePage>(pages, PageKorekce);
    SetUp<Ui::CidlaPage>(pages, PageCidla);
    SetUp<Ui::IdlePage>(pages, PageIdle);
    SetUp<Ui::GasPage>(pages, PageGas);
    SetUp<Ui::RacePage>(pages, PageRace);
    SetUp<Ui::GearPage>(pages, PageGear);
}

// The position curves have fifteen columns of rpm values, like the maps.
void AddCurveGrids(QTabWidget* pages) {
    for (const char* name : {"GroupBoxPolohaA", "GroupBoxPolohaB"}) {
        if (auto* box = NamedControl<QWidget>(pages, QLatin1String(name))) {
            QFont compact = box->font();
            compact.setPointSizeF(std::min(compact.pointSizeF(), 8.0));
            box->setFont(compact);
        }
    }
    for (const CurveGrid& c : kCurveGrids) {
        auto* layout = NamedControl<QGridLayout>(pages, QLatin1String(c.layout));
        if (layout == nullptr) continue;
        MapGridModel::ItemNames names;
        names.axis = QLatin1String(c.axis);
        names.cell = QLatin1String(c.cells);
        names.iap.clear();
        names.rpmCaption = QLatin1String(c.axisCaption);
        names.rowCaption = QLatin1String(c.cellCaption);
        QWidget* owner = layout->parentWidget();
        auto* view = new MapGridView(MapGridModel::curve(names, owner), owner);
        view->setObjectName(QLatin1String(c.view));
        view->grid().setRpmCaption(QStringLiteral("RPM"), true);
        view->grid().setRowCaption(0, QStringLiteral("[°]"));
        layout->addWidget(view, 1, 0, 2, 16);
    }
}

void AddSpinArrays(QTabWidget* pages) {
    for (const SpinArray& a : kSpinArrays) {
        auto* grid = NamedControl<QGridLayout>(pages, QLatin1String(a.grid));
        if (grid == nullptr) continue;
        QWidget* owner = grid->parentWidget();
        for (int i = 0; i < a.count; ++i) {
            auto* spin = new SpinField(owner);
            spin->setObjectName(QString::fromStdString(ArrayElementName(a.upDown, i)));
            spin->nameEditAfterUpDown();
            grid->addWidget(spin, a.row + (a.downwards ? i : 0), a.column + (a.downwards ? 0 : i));
        }
    }
}

void AddLabelArrays(QTabWidget* pages) {
    for (const LabelArray& a : kLabelArrays) {
        auto* grid = NamedControl<QGridLayout>(pages, QLatin1String(a.grid));
        if (grid == nullptr) continue;
        for (int i = 0; i < a.count; ++i) {
            auto* label = new QLabel(QString::fromUtf8(a.texts[i]), grid->parentWidget());
            label->setObjectName(QString::fromStdString(ArrayElementName(a.label, i)));
            label->setAlignment(Qt::AlignCenter);
            label->setAutoFillBackground(true);
            grid->addWidget(label, a.row, a.column + i);
        }
    }
}

void FixReadoutSizes(QTabWidget* pages) {
    for (const char* name : kReadoutLabels) {
        if (auto* label = NamedControl<QLabel>(pages, QLatin1String(name))) {
            label->setAutoFillBackground(true);
            label->setMinimumWidth(
                label->fontMetrics().horizontalAdvance(QStringLiteral("Idle correction = -10.0 °")));
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        }
    }
}

// Lists: the motorcycle types in list order with the separator line, the trigger choices, the radio
// groups' items in the language of the start (ApplyLanguage replaces them).
void FillLists(QTabWidget* pages) {
    if (auto* bike = NamedControl<QComboBox>(pages, "ComboBoxBike")) {
        for (int item = 0; item <= SeparatorItem; ++item) {
            const std::string_view text = ListTextOfItem(item);
            bike->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
        }
        bike->setMaxVisibleItems(TypeListDropDownCount);
    }
    for (QComboBox* combo : pages->findChildren<QComboBox*>()) {
        if (combo->count() == 0) combo->addItems(Items(combo->objectName().toLatin1().constData()));
    }
    for (RadioGroup* group : pages->findChildren<RadioGroup*>()) {
        if (group->itemCount() == 0) group->setItems(Items(group->objectName().toLatin1().constData()));
    }
}

}  // namespace

void BuildFixedPages(QTabWidget* pages) {
    SetUpForms(pages);
    AddCurveGrids(pages);
    AddSpinArrays(pages);
    AddLabelArrays(pages);
    FixReadoutSizes(pages);
    FillLists(pages);
}

}  // namespace torvane
