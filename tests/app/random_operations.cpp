#include "random_operations.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <ostream>
#include <random>
#include <sstream>

#include "app/tools/tuning_tools.h"
#include "app/window/tform_hlav.h"
#include "app/window/window_link.h"
#include "display/map_selection.h"
#include "image/catalogue.h"
#include "image/fields.h"
#include "image/normalize.h"
#include "link/link_session.h"
#include "mapgrid/map_grid_view.h"
#include "mapgrid/map_panel.h"
#include "sim/unit_model.h"
#include "widgets/commit_check_box.h"
#include "widgets/radio_group.h"
#include "widgets/spin_button.h"
#include "widgets/spin_field.h"

namespace torvane::random_ops {
namespace {

using Rng = std::mt19937_64;

// Ticks a step may take until the link is idle: a read with its verification needs about 30, a few
// resends a hundred more.
constexpr int TickLimit = 2500;
// Idle ticks after a step before the checks: a programming queued by the step has started by then.
constexpr int SettleTicks = 2;
constexpr int ByteLimitInDetail = 6;

// --- what a step does ----------------------------------------------------------------------------

// The fields of a Step each operation uses: control (a control's objectName, or a file name), other,
// value, value2, rect, parameter.
enum class Op {
    Page,          // switch to page value
    Type,          // type value into control, then Enter (other empty) or a click into other
    Arrow,         // an up (value +1) or down (-1) step of control; value2 1 = arrow key
    CheckBox,      // a mouse click on control
    AllBox,        // a mouse click on the map panel's "All" box
    Radio,         // a click on item value of radio group control
    Combo,         // item value chosen in selector control
    JetMode,       // injection channel mode value (Separate, Coupled, 1=2=3=4)
    Tool,          // F4 (value -1) or F5 (+1); value2 1 = the key
    Column,        // a step of column spin button control in direction value
    Cells,         // cell operation value2 on rect with parameter
    Capture,       // a click on capture button control
    Undo,          // value2 0 = menu, 1 = tool button
    Redo,          // value2 as Undo
    UndoKey,       // Ctrl+Z in field control (or the window)
    RedoKey,       // Ctrl+Alt+Z in field control (or the window)
    New,           // File > New
    NewPage,       // File > New for actual page
    TypeChange,    // motorcycle type of list item value through ComboBoxBike
    Save,          // as file control
    Open,          // file control
    OpenPage,      // file control, for the page shown
    RestorePoint,  // File > Restore points
    Read,          // value2 0 = menu, 1 = key, 2 = button
    Verify,        // value2 as Read
    Program,       // value2 as Read
    ProgHned,      // a click on CheckBoxProgHned (on the Bike page)
    Language,      // language value
    Hold,          // the engine held at value rpm and value2 % throttle; value 0 = cycling
    Resize,        // the window resized to value x value2 pixels
    Paste,         // Ctrl+V of the block in other (tab-separated) at the cell rect.row0, rect.col0
};

// Operations that may change the motorcycle type the unit holds without a question answered Yes.
bool MayChangeUnitType(Op op) {
    switch (op) {
        case Op::Program:
        case Op::New:
        case Op::NewPage:
        case Op::TypeChange:
        case Op::Open:
        case Op::OpenPage:
        case Op::RestorePoint:
            return true;
        default:
            return false;
    }
}

const char* const kCellOperationNames[] = {
    "set", "add", "scale", "interpolate rows", "interpolate columns", "interpolate corners", "smooth"};
const char* const kLanguageNames[] = {"English", "German", "French", "Czech"};
const char* const kLanguageActions[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
const char* const kJetActions[] = {"Menu_Jet123Normal", "Menu_Jet123Coupled", "Menu_Jet123Stejny"};
const char* const kJetNames[] = {"Separate", "Coupled", "1=2=3=4"};

struct Step {
    Op op = Op::Page;
    QString control;
    QString other;
    int value = 0;
    int value2 = 0;
    CellRect rect;
    double parameter = 0;
    std::uint64_t answers = 0;  // seeds the answers to the questions the step raises
};

QString FirstLine(const QString& text) {
    return text.section(QLatin1Char('\n'), 0, 0).left(70);
}

const char* AnswerName(PromptAnswer a) {
    return a == PromptAnswer::Yes ? "Yes" : a == PromptAnswer::No ? "No" : "Cancel";
}

// Answers every question at random from the step's seed and keeps what was asked.
class RandomPrompts final : public UserPrompts {
  public:
    void begin(std::uint64_t seed) {
        rng_.seed(seed);
        log.clear();
        programYes = programNo = false;
        firstAnswer.reset();
    }

    void showMessage(const QString& text) override {
        log << QStringLiteral("message \"%1\"").arg(FirstLine(text));
    }
    PromptAnswer askYesNoCancel(const QString& text) override {
        const auto r = rng_() % 20;
        const PromptAnswer a = r < 9 ? PromptAnswer::Yes : r < 15 ? PromptAnswer::No : PromptAnswer::Cancel;
        if (!firstAnswer) firstAnswer = a;
        log << QStringLiteral("asked \"%1\": %2").arg(FirstLine(text), QLatin1String(AnswerName(a)));
        return a;
    }
    PromptAnswer askYesNo(const QString& text) override {
        const PromptAnswer a = rng_() % 2 == 0 ? PromptAnswer::Yes : PromptAnswer::No;
        (a == PromptAnswer::Yes ? programYes : programNo) = true;
        log << QStringLiteral("asked to program \"%1\": %2")
                   .arg(FirstLine(text), QLatin1String(AnswerName(a)));
        return a;
    }
    QString askSaveFileName(const FileQuestion&) override { return savePath; }
    QString askOpenFileName(const FileQuestion&) override { return openPath; }
    int chooseFromList(const QString&, const QStringList& rows) override {
        if (rows.isEmpty()) return -1;
        const auto r = rng_() % 8;
        const int row = r == 0  ? -1
                        : r < 4 ? 0
                                : static_cast<int>(rng_() % static_cast<std::uint64_t>(rows.size()));
        log << (row < 0 ? QStringLiteral("restore points: cancelled")
                        : QStringLiteral("restore point %1 of %2").arg(row).arg(rows.size()));
        return row;
    }
    std::optional<double> askNumber(const QString&, const QString&, double, double, double) override {
        return number;
    }
    void showDetails(const QString& title, const QString&) override {
        log << QStringLiteral("details \"%1\"").arg(FirstLine(title));
    }
    bool openDocument(const QString&) override { return false; }

    QStringList log;
    bool programYes = false;
    bool programNo = false;
    std::optional<PromptAnswer> firstAnswer;
    QString savePath, openPath;
    std::optional<double> number;

  private:
    Rng rng_;
};

std::string OpName(Op op) {
    static const char* const names[] = {"page",        "type",          "arrow",
                                        "check box",   "all box",       "radio",
                                        "selector",    "jet mode",      "tool",
                                        "column",      "cells",         "capture",
                                        "undo",        "redo",          "undo key",
                                        "redo key",    "new",           "new page",
                                        "type change", "save",          "open",
                                        "open page",   "restore point", "read",
                                        "verify",      "program",       "programming after change",
                                        "language",    "hold",          "resize",
                                        "paste"};
    return names[static_cast<int>(op)];
}

// --- images --------------------------------------------------------------------------------------

// Image bytes 300..3299 and the IAP row axis: what the history keeps.
bool SameConfiguration(const DeviceImage& a, const DeviceImage& b) {
    return std::equal(a.bytes().begin() + BlockSize, a.bytes().end(), b.bytes().begin() + BlockSize) &&
           a.IapAxis == b.IapAxis;
}

bool SameAsEntry(const DeviceImage& image, const UndoRing::Entry& e) {
    return std::equal(e.bytes.begin(), e.bytes.end(), image.bytes().begin() + BlockSize) &&
           e.iapAxis == image.IapAxis;
}

std::string FieldAt(std::size_t index) {
    for (const FieldInfo& f : FieldTable()) {
        if (f.index == IapAxisIndex) continue;
        const std::size_t size = static_cast<std::size_t>(f.width * f.count);
        if (index >= f.index && index < f.index + size) {
            std::string name(f.name);
            if (f.count > 1)
                name += "[" + std::to_string((index - f.index) / static_cast<std::size_t>(f.width)) + "]";
            return name;
        }
    }
    return "?";
}

// "byte 850 (Advance[0]) image 40 page 42, ..." (with nameA "image ", nameB "page ") for the bytes and
// IAP axis words where a and b differ, from byte 300 on, at most a few.
std::string Differences(const DeviceImage& a, const DeviceImage& b, const char* nameA = "",
                        const char* nameB = "") {
    std::ostringstream s;
    int shown = 0, total = 0;
    for (std::size_t i = BlockSize; i < ImageSize; ++i) {
        if (a.byteAt(i) == b.byteAt(i)) continue;
        if (++total > ByteLimitInDetail) continue;
        s << (shown++ ? ", " : "") << "byte " << i << " (" << FieldAt(i) << ") " << nameA << int(a.byteAt(i))
          << " " << nameB << int(b.byteAt(i));
    }
    for (std::size_t j = 0; j < a.IapAxis.size(); ++j) {
        if (a.IapAxis[j] == b.IapAxis[j]) continue;
        if (++total > ByteLimitInDetail) continue;
        s << (shown++ ? ", " : "") << "IapAxis[" << j << "] " << nameA << a.IapAxis[j] << " " << nameB
          << b.IapAxis[j];
    }
    if (total > shown) s << " and " << total - shown << " more";
    return s.str();
}

DeviceImage ImageOfEntry(const DeviceImage& like, const UndoRing::Entry& e) {
    DeviceImage image = like;
    std::copy(e.bytes.begin(), e.bytes.end(), image.bytes().begin() + BlockSize);
    image.IapAxis = e.iapAxis;
    return image;
}

// --- one sequence ----------------------------------------------------------------------------------

struct Broken {
    std::string check;
    std::string detail;
};

struct Outcome {
    std::vector<std::string> texts;  // the steps as run
    std::optional<Broken> broken;    // set when the last step run broke a check
    Op breakingOp = Op::Page;
    std::map<std::string, long long> done, notOffered;
    long long programQuestions = 0;
};

// Runs a sequence on a fresh window: given steps are replayed; with a generator, new steps are drawn
// from the sequence's random numbers as the window stands and appended.
class SequenceRun {
  public:
    SequenceRun() {
        StartOptions o;
        o.simulate = true;
        o.settingsDirectory = dir_.path();
        auto p = std::make_unique<RandomPrompts>();
        prompts_ = p.get();
        w_ = std::make_unique<TFormHlav>(o, std::move(p));
        w_->timer1()->stop();  // the run drives the ticks
        w_->show();
        // Laid out, focused and clicked as on screen, but not painted: the run checks states, not pixels.
        w_->setUpdatesEnabled(false);
        // Keys reach their shortcuts only in the active window.
        w_->activateWindow();
        if (!QTest::qWaitForWindowActive(w_.get()))
            qWarning("the window did not become active: keys may be lost");
        pages_ = w_->findChild<QTabWidget*>("PageControl1");
        // The first monitor frames: the live point the tools step.
        for (int i = 0; i < 2 * ResendTicks + 2; ++i) w_->Timer1Timer();
    }

    Outcome run(std::vector<Step>& steps, Rng* generator, int count) {
        Outcome out;
        const int total = generator != nullptr ? count : static_cast<int>(steps.size());
        if (generator != nullptr) steps.clear();
        for (int n = 0; n < total; ++n) {
            if (generator != nullptr) steps.push_back(draw(*generator));
            const Step& step = steps[static_cast<std::size_t>(n)];
            std::optional<Broken> broken = perform(step, out);
            if (broken) {
                out.broken = broken;
                out.breakingOp = step.op;
                steps.resize(static_cast<std::size_t>(n) + 1);
                break;
            }
        }
        return out;
    }

  private:
    // --- the window ------------------------------------------------------------------------------
    int page() const { return pages_->currentIndex(); }
    QWidget* pageWidget() const { return pages_->widget(page()); }
    MapPanel& panel() const { return *w_->editor().mapPanel(); }
    UnitModel& unit() const { return *w_->simulatedUnit(); }
    const UndoRing& ring() const { return w_->editor().undoRing(); }
    QCheckBox* progHnedBox() const { return w_->findChild<QCheckBox*>("CheckBoxProgHned"); }
    bool progHned() const { return progHnedBox()->isChecked(); }
    bool usable(const QWidget* widget) const {
        return widget != nullptr && widget->isVisibleTo(w_.get()) && widget->isEnabled();
    }
    template <class T>
    T* named(const QString& name) const {
        return name.isEmpty() ? nullptr : w_->findChild<T*>(name);
    }

    // A field that can be edited now: a spin of a fixed page, an extra field of the map panel, or an item
    // of the map grid (by the name of its element, "UpDownCell_Uni[16]").
    struct Editable {
        QString name;
        int value, minimum, maximum, step;
    };
    MapGridView& gridView() const { return panel().gridView(); }
    bool gridHere() const { return IsMapPage(page()) && usable(&gridView()); }
    // The grids of the page shown: the map panel's on a map page, the two curves on Position.
    std::vector<MapGridView*> gridsHere() const {
        std::vector<MapGridView*> grids;
        for (MapGridView* g : pageWidget()->findChildren<MapGridView*>())
            if (usable(g)) grids.push_back(g);
        return grids;
    }
    std::vector<Editable> editables() const {
        std::vector<Editable> list;
        const std::vector<MapGridView*> grids = gridsHere();
        const auto inGrid = [&](const QWidget* w) {
            return std::any_of(grids.begin(), grids.end(),
                               [w](MapGridView* g) { return g->isAncestorOf(w); });
        };
        for (SpinField* s : pageWidget()->findChildren<SpinField*>())
            if (usable(s) && !s->isReadOnly() && !inGrid(s))
                list.push_back({s->objectName(), s->value(), s->minimum(), s->maximum(), s->singleStep()});
        for (MapGridView* g : grids) {
            for (const QModelIndex& i : g->editableItems()) {
                const MapGridModel::ValueItem* item = g->grid().valueItem(i);
                list.push_back({g->nameOf(i), item->value, item->minimum, item->maximum, item->step});
            }
        }
        return list;
    }
    // The grid and item of an editable named as its element ("UpDownCell_Uni[16]").
    std::pair<MapGridView*, QModelIndex> gridItem(const QString& name) const {
        for (MapGridView* g : gridsHere()) {
            const QModelIndex i = g->itemNamed(name);
            if (i.isValid() && g->editableItems().contains(i)) return {g, i};
        }
        return {nullptr, QModelIndex()};
    }
    // The spin field of an editable: the field itself, or the grid's field opened on the item.
    SpinField* openField(const QString& name) const {
        if (const auto [g, i] = gridItem(name); g != nullptr) return g->edit(i);
        auto* spin = named<SpinField>(name);
        if (!usable(spin) || spin->isReadOnly() || !spin->isVisibleTo(pageWidget())) return nullptr;
        return spin;
    }
    bool fieldHere(const QString& name) const {
        if (gridItem(name).first != nullptr) return true;
        auto* spin = named<SpinField>(name);
        return usable(spin) && !spin->isReadOnly() && spin->isVisibleTo(pageWidget());
    }
    // A click into a field, as the mouse does it.
    void clickInto(const QString& name) const {
        if (const auto [g, i] = gridItem(name); g != nullptr) {
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->itemRect(i).center() - QPoint(6, 0));
            return;
        }
        if (auto* spin = named<SpinField>(name)) QTest::mouseClick(spin->edit(), Qt::LeftButton);
    }
    void clickArrowOf(const QString& name, bool up) const {
        if (const auto [g, i] = gridItem(name); g != nullptr) {
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->arrowRect(i, up).center());
            return;
        }
        if (auto* spin = named<SpinField>(name)) clickArrow(spin, up);
    }
    std::vector<CommitCheckBox*> checkBoxes() const {
        std::vector<CommitCheckBox*> boxes;
        for (CommitCheckBox* b : pageWidget()->findChildren<CommitCheckBox*>())
            if (usable(b) && b->objectName() != "CheckBoxProgHned") boxes.push_back(b);
        return boxes;
    }
    std::vector<RadioGroup*> radioGroups() const {
        std::vector<RadioGroup*> groups;
        for (RadioGroup* g : pageWidget()->findChildren<RadioGroup*>())
            if (usable(g) && g->itemCount() > 0) groups.push_back(g);
        return groups;
    }
    std::vector<QComboBox*> selectors() const {
        std::vector<QComboBox*> combos;
        for (QComboBox* c : pageWidget()->findChildren<QComboBox*>())
            if (usable(c) && c->objectName() != "ComboBoxBike" && c->count() > 0) combos.push_back(c);
        return combos;
    }
    // The column step buttons of the map grid shown now, by column.
    std::vector<int> columnButtons() const {
        std::vector<int> columns;
        if (!gridHere()) return columns;
        for (int column = 0; column < MapColumns; ++column)
            if (!gridView().columnButtonRect(column, true).isEmpty()) columns.push_back(column);
        return columns;
    }
    std::vector<QPushButton*> captureButtons() const {
        std::vector<QPushButton*> buttons;
        for (QPushButton* b : pageWidget()->findChildren<QPushButton*>())
            if (usable(b) &&
                (b->objectName().startsWith("ButtonGear") || b->objectName().startsWith("ButtonTps")))
                buttons.push_back(b);
        return buttons;
    }
    // The map page in view when its cells can be edited.
    bool editableMap() const {
        return gridHere() && panel().grid().cell(0).shown && panel().grid().cell(0).enabled;
    }

    void trigger(const char* action) {
        if (auto* a = w_->findChild<QAction*>(QLatin1String(action))) a->trigger();
    }
    void key(QWidget* target, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(target != nullptr ? target : w_.get(), k, m);
    }
    void goTo(int p) {
        if (page() != p) pages_->setCurrentIndex(p);
    }
    static void clickArrow(SpinField* s, bool up) {
        QStyleOptionSpinBox option;
        option.initFrom(s);
        option.subControls = QStyle::SC_All;
        option.buttonSymbols = s->buttonSymbols();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        option.frame = s->hasFrame();
        const QRect r = s->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                   up ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown, s);
        QTest::mouseClick(s, Qt::LeftButton, {}, r.center());
    }
    static void clickBox(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    // --- drawing a step ----------------------------------------------------------------------------
    template <class T>
    static T* pick(Rng& rng, const std::vector<T*>& from) {
        return from[static_cast<std::size_t>(rng() % from.size())];
    }
    static int between(Rng& rng, int low, int high) {
        return low + static_cast<int>(rng() % static_cast<std::uint64_t>(high - low + 1));
    }

    Step draw(Rng& rng) {
        const bool map = editableMap();
        const std::vector<Editable> spins = editables();
        const bool spinsHere = !spins.empty();
        const bool boxesHere = !checkBoxes().empty();
        const bool selectorsHere = !radioGroups().empty() || !selectors().empty();
        const bool columnsHere = !columnButtons().empty();
        const bool capturesHere = !captureButtons().empty();
        const bool readYet = reads_ > 0;
        // Weights, so that every operation comes often and a sequence soon reads the unit and
        // programs after change.
        const std::pair<Op, int> weights[] = {
            {Op::Page, IsMapPage(page()) ? 12 : 18},
            {Op::Type, spinsHere ? 16 : 0},
            {Op::Arrow, spinsHere ? 9 : 0},
            // The selectors of the Synchro page open with its special setting.
            {Op::CheckBox, !boxesHere                                     ? 0
                           : page() == PageSynchro && selectors().empty() ? 10
                                                                          : 4},
            {Op::AllBox, map ? 4 : 0},
            {Op::Radio, selectorsHere ? 5 : 0},
            {Op::Combo, selectors().empty() ? 0 : 6},
            {Op::JetMode, 1},
            {Op::Tool, map || page() == PagePoloha ? 8 : 1},
            {Op::Column, columnsHere ? 6 : 0},
            {Op::Cells, map ? 9 : 0},
            {Op::Capture, capturesHere ? 2 : 0},
            {Op::Undo, 9},
            {Op::Redo, lastOp_ == Op::Undo || lastOp_ == Op::UndoKey ? 30 : 4},
            {Op::UndoKey, 2},
            {Op::RedoKey, lastOp_ == Op::Undo || lastOp_ == Op::UndoKey ? 6 : 1},
            {Op::New, 2},
            {Op::NewPage, 2},
            {Op::TypeChange, 3},
            {Op::Save, 2},
            {Op::Open, saved_.empty() ? 0 : 2},
            {Op::OpenPage, saved_.empty() ? 0 : 2},
            {Op::RestorePoint, readYet ? 2 : 0},
            {Op::Read, readYet ? 3 : 25},
            {Op::Verify, 1},
            {Op::Program, 3},
            {Op::ProgHned, progHned() ? 2 : 6},
            {Op::Language, 1},
            {Op::Hold, 2},
            {Op::Resize, 2},
            {Op::Paste, map ? 3 : 0},
        };
        int sum = 0;
        for (const auto& [op, weight] : weights) sum += weight;
        int r = between(rng, 0, sum - 1);
        Op op = Op::Page;
        for (const auto& [candidate, weight] : weights) {
            if (r < weight) {
                op = candidate;
                break;
            }
            r -= weight;
        }

        Step s;
        s.op = op;
        s.answers = rng();
        switch (op) {
            case Op::Page: {
                // A map page three times in five: most tuning happens there.
                std::vector<int> maps, others;
                for (int p = 0; p < PageCount; ++p)
                    if (p != page() && pages_->isTabVisible(p)) (IsMapPage(p) ? maps : others).push_back(p);
                const std::vector<int>& from =
                    (rng() % 5 < 3 && !maps.empty()) || others.empty() ? maps : others;
                s.value = from[static_cast<std::size_t>(rng() % from.size())];
                break;
            }
            case Op::Type: {
                const Editable& target = spins[static_cast<std::size_t>(rng() % spins.size())];
                s.control = target.name;
                const int stepSize = std::max(1, target.step);
                s.value = rng() % 6 == 0 ? between(rng, target.minimum, target.maximum)
                                         : std::clamp(target.value + stepSize * between(rng, -6, 6),
                                                      target.minimum, target.maximum);
                if (rng() % 3 == 0 && spins.size() > 1) {
                    std::size_t other = rng() % spins.size();
                    while (spins[other].name == target.name) other = rng() % spins.size();
                    s.other = spins[other].name;
                }
                break;
            }
            case Op::Arrow:
                s.control = spins[static_cast<std::size_t>(rng() % spins.size())].name;
                s.value = rng() % 2 == 0 ? 1 : -1;
                s.value2 = rng() % 4 == 0;
                break;
            case Op::CheckBox:
                s.control = pick(rng, checkBoxes())->objectName();
                break;
            case Op::Radio:
            case Op::Combo: {
                const std::vector<RadioGroup*> groups = radioGroups();
                const std::vector<QComboBox*> combos = selectors();
                if (!combos.empty() && (groups.empty() || op == Op::Combo)) {
                    QComboBox* c = pick(rng, combos);
                    s.op = Op::Combo;
                    s.control = c->objectName();
                    s.value = between(rng, 0, c->count() - 1);
                } else {
                    RadioGroup* g = pick(rng, groups);
                    s.op = Op::Radio;
                    s.control = g->objectName();
                    s.value = between(rng, 0, g->itemCount() - 1);
                }
                break;
            }
            case Op::JetMode:
                s.value = between(rng, 0, 2);
                break;
            case Op::Tool:
                s.value = rng() % 2 == 0 ? 1 : -1;
                s.value2 = rng() % 3 == 0;
                break;
            case Op::Column: {
                const std::vector<int> columns = columnButtons();
                s.value2 = columns[static_cast<std::size_t>(rng() % columns.size())];
            }
                s.control = QStringLiteral("CSpinButtonColumn_Uni[%1]").arg(s.value2);
                s.value = rng() % 2 == 0 ? 1 : -1;
                break;
            case Op::Cells: {
                s.value2 = between(rng, 0, 6);
                const int row = between(rng, 0, MapRows - 1), column = between(rng, 0, MapColumns - 1);
                s.rect = rng() % 4 == 0
                             ? CellRect{row, column, row, column}
                             : CellRect{row, column, std::clamp(row + between(rng, -3, 3), 0, MapRows - 1),
                                        std::clamp(column + between(rng, -4, 4), 0, MapColumns - 1)};
                const MapGridModel::ValueItem& first = panel().grid().cell(MapPanel::cellIndex(row, column));
                switch (static_cast<SelectionOp>(s.value2)) {
                    case SelectionOp::Set:
                        s.parameter =
                            std::clamp(first.value + between(rng, -10, 10), first.minimum, first.maximum);
                        break;
                    case SelectionOp::Add:
                        s.parameter = between(rng, -8, 8);
                        break;
                    case SelectionOp::Scale:
                        s.parameter = between(rng, 85, 115);
                        break;
                    default:
                        break;
                }
                break;
            }
            case Op::Capture:
                s.control = pick(rng, captureButtons())->objectName();
                break;
            case Op::Undo:
            case Op::Redo:
                s.value2 = rng() % 3 == 0;
                break;
            case Op::UndoKey:
            case Op::RedoKey:
                if (spinsHere) s.control = spins[static_cast<std::size_t>(rng() % spins.size())].name;
                break;
            case Op::TypeChange: {
                const int current = ItemOfCode(FieldValue(w_->image(), Field(FieldId::Bike)));
                do s.value = between(rng, 0, MotorcycleTypeCount - 1);
                while (s.value == current);
                break;
            }
            case Op::Save:
                s.control = QStringLiteral("saved-%1.ign").arg(saved_.size() + 1);
                saved_.push_back(s.control);
                break;
            case Op::Open:
            case Op::OpenPage:
                s.control = saved_[static_cast<std::size_t>(rng() % saved_.size())];
                break;
            case Op::Read:
                ++reads_;
                s.value2 = between(rng, 0, 2);
                break;
            case Op::Verify:
            case Op::Program:
                s.value2 = between(rng, 0, 2);
                break;
            case Op::Language:
                do s.value = between(rng, 0, 3);
                while (s.value == w_->languageIndex());
                break;
            case Op::Hold:
                if (rng() % 5 != 0) {
                    s.value = 500 * between(rng, 2, 26);
                    s.value2 = 5 * between(rng, 0, 20);
                }
                break;
            case Op::Resize:
                s.value = between(rng, 1000, 1920);
                s.value2 = between(rng, 640, 1080);
                break;
            case Op::Paste: {
                s.rect = CellRect{between(rng, 0, MapRows - 1), between(rng, 0, MapColumns - 1), 0, 0};
                const int rows = between(rng, 1, 4), columns = between(rng, 1, 5);
                for (int line = 0; line < rows; ++line) {
                    for (int c = 0; c < columns; ++c) {
                        if (c > 0) s.other += QLatin1Char('\t');
                        s.other += QString::number(between(rng, -20, 260));
                    }
                    s.other += QLatin1Char('\n');
                }
                // Now and then a block that is not numbers, which must change nothing.
                if (rng() % 8 == 0) s.other.replace(QLatin1Char('1'), QLatin1Char('x'));
                break;
            }
            default:
                break;
        }
        return s;
    }

    // --- doing a step --------------------------------------------------------------------------------
    // What the step did, as a line of the report; empty when the window did not offer it.
    QString act(const Step& s) {
        switch (s.op) {
            case Op::Page:
                if (!pages_->isTabVisible(s.value)) return {};
                goTo(s.value);
                return QStringLiteral("switch to page %1").arg(s.value);
            case Op::Type: {
                SpinField* spin = openField(s.control);
                if (spin == nullptr) return {};
                spin->setFocus();
                spin->selectAll();
                QTest::keyClicks(spin, QString::number(s.value));
                const QString typed = QStringLiteral("type %1 into %2").arg(s.value).arg(s.control);
                if (!s.other.isEmpty() && fieldHere(s.other)) {
                    clickInto(s.other);
                    return typed + QStringLiteral("; click into %1").arg(s.other);
                }
                QTest::keyClick(spin, Qt::Key_Return);
                return typed + QStringLiteral("; Enter");
            }
            case Op::Arrow: {
                if (!fieldHere(s.control)) return {};
                if (s.value2 != 0) {
                    SpinField* spin = openField(s.control);
                    spin->setFocus();
                    key(spin, s.value > 0 ? Qt::Key_Up : Qt::Key_Down);
                } else {
                    clickArrowOf(s.control, s.value > 0);
                }
                return QStringLiteral("%1 %2 of %3")
                    .arg(QLatin1String(s.value2 != 0 ? "key" : "arrow"),
                         QLatin1String(s.value > 0 ? "up" : "down"), s.control);
            }
            case Op::CheckBox: {
                auto* box = named<CommitCheckBox>(s.control);
                if (!usable(box) || !box->isVisibleTo(pageWidget())) return {};
                clickBox(box);
                return QStringLiteral("click %1 (now %2)")
                    .arg(s.control, QLatin1String(box->isChecked() ? "on" : "off"));
            }
            case Op::AllBox: {
                CommitCheckBox* box = panel().allBox();
                if (!IsMapPage(page()) || !usable(box)) return {};
                clickBox(box);
                return QStringLiteral("click %1 (now %2)")
                    .arg(box->objectName(), QLatin1String(box->isChecked() ? "on" : "off"));
            }
            case Op::Radio: {
                auto* group = named<RadioGroup>(s.control);
                if (!usable(group) || !group->isVisibleTo(pageWidget()) || s.value >= group->itemCount())
                    return {};
                QRadioButton* button = group->button(s.value);
                if (!usable(button)) return {};
                button->click();
                return QStringLiteral("click item %1 of %2").arg(s.value).arg(s.control);
            }
            case Op::Combo: {
                auto* combo = named<QComboBox>(s.control);
                if (!usable(combo) || !combo->isVisibleTo(pageWidget()) || s.value >= combo->count())
                    return {};
                combo->setCurrentIndex(s.value);
                emit combo->activated(s.value);
                return QStringLiteral("choose item %1 in %2").arg(s.value).arg(s.control);
            }
            case Op::JetMode:
                trigger(kJetActions[s.value]);
                return QStringLiteral("Tools > Jet 1234 > %1").arg(QLatin1String(kJetNames[s.value]));
            case Op::Tool:
                if (s.value2 != 0)
                    key(nullptr, s.value > 0 ? Qt::Key_F5 : Qt::Key_F4);
                else
                    trigger(s.value > 0 ? "MenuToolsPlus" : "MenuToolsMinus");
                return QStringLiteral("%1 (%2, %3)")
                    .arg(QLatin1String(s.value > 0 ? "F5" : "F4"),
                         QLatin1String(s.value > 0 ? "Plus" : "Minus"),
                         QLatin1String(s.value2 != 0 ? "key" : "menu"));
            case Op::Column: {
                const QRect button =
                    gridHere() ? gridView().columnButtonRect(s.value2, s.value > 0) : QRect();
                if (button.isEmpty()) return {};
                QTest::mouseClick(gridView().viewport(), Qt::LeftButton, {}, button.center());
                return QStringLiteral("%1 of %2").arg(QLatin1String(s.value > 0 ? "up" : "down"), s.control);
            }
            case Op::Cells: {
                if (!editableMap()) return {};
                MapSelection& selection = w_->tuningTools().selection();
                const CellRect r = s.rect.Normalized();
                const bool single = r.rows() == 1 && r.columns() == 1;
                if (single) {
                    selection.clear();
                    SpinField* cell =
                        gridView().edit(panel().grid().cellIndex(MapPanel::cellIndex(r.row0, r.col0)));
                    if (cell == nullptr) return {};
                } else {
                    selection.select(r);
                }
                prompts_->number = s.parameter;
                const auto op = static_cast<SelectionOp>(s.value2);
                w_->tuningTools().applyCellOperation(op);
                selection.clear();
                QString text = QStringLiteral("cells %1 on rows %2..%3, columns %4..%5")
                                   .arg(QLatin1String(kCellOperationNames[s.value2]))
                                   .arg(r.row0)
                                   .arg(r.row1)
                                   .arg(r.col0)
                                   .arg(r.col1);
                if (SelectionOpTakesParameter(op)) text += QStringLiteral(" by %1").arg(s.parameter);
                return text;
            }
            case Op::Resize:
                w_->resize(s.value, s.value2);
                return QStringLiteral("window resized to %1 x %2").arg(s.value).arg(s.value2);
            case Op::Paste: {
                if (!editableMap()) return {};
                w_->tuningTools().selection().clear();
                if (gridView().edit(
                        panel().grid().cellIndex(MapPanel::cellIndex(s.rect.row0, s.rect.col0))) == nullptr)
                    return {};
                QGuiApplication::clipboard()->setText(s.other);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
                return QStringLiteral("paste at row %1, column %2: %3")
                    .arg(s.rect.row0)
                    .arg(s.rect.col0)
                    .arg(QString(s.other)
                             .replace(QLatin1Char('\t'), QLatin1Char(' '))
                             .replace(QLatin1Char('\n'), QLatin1String(" | ")));
            }
            case Op::Capture: {
                auto* button = named<QPushButton>(s.control);
                if (!usable(button) || !button->isVisibleTo(pageWidget())) return {};
                button->click();
                return QStringLiteral("click %1").arg(s.control);
            }
            case Op::Undo:
            case Op::Redo: {
                const bool undo = s.op == Op::Undo;
                if (s.value2 != 0) {
                    auto* b = w_->findChild<QToolButton*>(undo ? "SpeedButtonZpet" : "SpeedButtonZnovu");
                    if (b != nullptr) b->click();
                } else {
                    trigger(undo ? "MenuZpet" : "MenuZnovu");
                }
                return QStringLiteral("%1 (%2)").arg(QLatin1String(undo ? "Undo" : "Redo"),
                                                     QLatin1String(s.value2 != 0 ? "tool button" : "menu"));
            }
            case Op::UndoKey:
            case Op::RedoKey: {
                const bool undo = s.op == Op::UndoKey;
                QWidget* target = w_.get();
                if (fieldHere(s.control)) {
                    SpinField* spin = openField(s.control);
                    spin->setFocus();
                    target = spin;
                }
                key(target, Qt::Key_Z, undo ? Qt::ControlModifier : Qt::ControlModifier | Qt::AltModifier);
                return QStringLiteral("%1 in %2")
                    .arg(QLatin1String(undo ? "Ctrl+Z" : "Ctrl+Alt+Z"),
                         target == w_.get() ? QStringLiteral("the window") : s.control);
            }
            case Op::New:
                trigger("MenuNew");
                return QStringLiteral("File > New");
            case Op::NewPage:
                trigger("MenuNewActPage");
                return QStringLiteral("File > New for actual page");
            case Op::TypeChange: {
                goTo(PageBike);
                auto* combo = w_->findChild<QComboBox*>("ComboBoxBike");
                if (!usable(combo)) return {};
                combo->setCurrentIndex(s.value);
                emit combo->activated(s.value);
                return QStringLiteral("page 0: choose type %1 (code %2) in ComboBoxBike")
                    .arg(s.value)
                    .arg(CodeOfItem(s.value));
            }
            case Op::Save:
                prompts_->savePath = dir_.filePath(s.control);
                trigger("MenuSave");
                return QStringLiteral("File > Save as %1").arg(s.control);
            case Op::Open:
            case Op::OpenPage:
                prompts_->openPath = dir_.filePath(s.control);
                trigger(s.op == Op::Open ? "MenuOpen" : "MenuOpenActPage");
                return QStringLiteral("File > %1 %2")
                    .arg(QLatin1String(s.op == Op::Open ? "Open" : "Open for actual page"), s.control);
            case Op::RestorePoint:
                trigger("MenuRestorePoints");
                return QStringLiteral("File > Restore points");
            case Op::Read:
            case Op::Verify:
            case Op::Program: {
                const char* actions[] = {"MenuRead", "MenuVerify", "MenuProgram"};
                const char* buttons[] = {"ButtonRead", "ButtonVerify", "ButtonProgram"};
                const Qt::Key keys[] = {Qt::Key_F7, Qt::Key_F8, Qt::Key_F9};
                const char* names[] = {"Read (F7", "Verify (F8", "Program (F9"};
                const int k = s.op == Op::Read ? 0 : s.op == Op::Verify ? 1 : 2;
                if (s.value2 == 1) {
                    key(nullptr, keys[k]);
                } else if (s.value2 == 2) {
                    if (auto* b = w_->findChild<QPushButton*>(QLatin1String(buttons[k]))) b->click();
                } else {
                    trigger(actions[k]);
                }
                return QStringLiteral("%1, %2)").arg(QLatin1String(names[k]),
                                                     QLatin1String(s.value2 == 1   ? "key"
                                                                   : s.value2 == 2 ? "button"
                                                                                   : "menu"));
            }
            case Op::ProgHned: {
                goTo(PageBike);
                QCheckBox* box = progHnedBox();
                if (!usable(box)) return {};
                clickBox(box);
                return QStringLiteral("page 0: click CheckBoxProgHned (programming after change %1)")
                    .arg(QLatin1String(box->isChecked() ? "on" : "off"));
            }
            case Op::Language:
                trigger(kLanguageActions[s.value]);
                return QStringLiteral("language %1").arg(QLatin1String(kLanguageNames[s.value]));
            case Op::Hold:
                if (s.value == 0) {
                    unit().engine().cycle();
                    return QStringLiteral("engine cycles");
                }
                unit().engine().hold({static_cast<double>(s.value), static_cast<double>(s.value2)});
                return QStringLiteral("engine held at %1 rpm, %2 %").arg(s.value).arg(s.value2);
        }
        return {};
    }

    // Ticks until no transfer runs and none starts; false when one never ends.
    bool settle(bool& transferred) {
        int idle = 0;
        for (int i = 0; i < TickLimit; ++i) {
            if (w_->link()->session().transferState() != TransferState::Idle) {
                transferred = true;
                idle = 0;
            } else if (++idle > SettleTicks) {
                return true;
            }
            w_->Timer1Timer();
        }
        return false;
    }

    std::optional<Broken> perform(const Step& s, Outcome& out) {
        // The state before the step, for the checks after it.
        const DeviceImage before = w_->image();
        const std::uint16_t current = ring().current(), newest = ring().newest(), oldest = ring().oldest();
        const std::uint8_t unitType = unit().storedImage().byteAt(300);

        prompts_->begin(s.answers);
        const int pageBefore = page();
        QString text = act(s);
        QApplication::processEvents();
        // F7, F8 and F9 start their transfer at once: one that did not start lost its key.
        const bool keyed = (s.op == Op::Read || s.op == Op::Verify || s.op == Op::Program) && s.value2 == 1;
        if (keyed && w_->link()->session().transferState() == TransferState::Idle) text.clear();
        ++(text.isEmpty() ? out.notOffered : out.done)[OpName(s.op)];
        if (text.isEmpty()) text = QStringLiteral("(not offered on this page: skipped)");
        text = QStringLiteral("[page %1] %2").arg(pageBefore).arg(text);
        if (!prompts_->log.isEmpty())
            text += QStringLiteral(" -- ") + prompts_->log.join(QStringLiteral("; "));
        out.texts.push_back(text.toStdString());
        out.programQuestions += prompts_->programYes || prompts_->programNo;
        lastOp_ = s.op;

        bool transferred = false;
        if (!settle(transferred))
            return Broken{"transfer-never-ends",
                          "the link is still busy after " + std::to_string(TickLimit) + " ticks"};

        // Verify compares: it fails by right when the unit holds something else.
        if (transferred && s.op != Op::Verify) {
            auto* status = w_->findChild<QLabel*>("LabelHlaseni");
            if (status != nullptr && status->property("failure").toBool())
                return Broken{"transfer-failed", "a transfer with the fault-free unit ended in \"" +
                                                     status->text().toStdString() + "\""};
        }

        // Every item of the grids shown is wide enough for its value and stays in its own column.
        for (const MapGridView* grid : gridsHere()) {
            const MapGridView& view = *grid;
            const QFontMetrics metrics(view.font());
            for (int row = 0; row < MapGridModel::RowCount; ++row) {
                for (int column = 0; column < MapGridModel::ColumnCount; ++column) {
                    const QModelIndex i = view.grid().index(row, column);
                    const MapGridModel::ValueItem* item = view.grid().valueItem(i);
                    if (item == nullptr || !item->shown || view.isRowHidden(row) ||
                        view.isColumnHidden(column))
                        continue;
                    const QString time = i.data(MapGridModel::TimeTextRole).toString();
                    const QString valueText = time.isEmpty() ? i.data(Qt::DisplayRole).toString() : time;
                    const int room = view.textRect(i).width() - 3;
                    const QRect cell = view.visualRect(i);
                    const QRect field = view.itemRect(i);
                    if (metrics.horizontalAdvance(valueText) > room || field.right() > cell.right())
                        return Broken{"cell-narrower-than-value",
                                      "grid item " + view.nameOf(i).toStdString() + " \"" +
                                          valueText.toStdString() + "\" needs " +
                                          std::to_string(metrics.horizontalAdvance(valueText)) + " px, has " +
                                          std::to_string(room) + " px (field " +
                                          std::to_string(field.width()) + " px in a column of " +
                                          std::to_string(cell.width()) + " px)"};
                }
            }
        }

        const DeviceImage& image = w_->image();
        // The page shown holds what the image holds.
        {
            Editor& editor = w_->editor();
            const DeviceImage kept = image;
            const InjectionWork work = editor.injection();
            const AllStates all = w_->mapAllFlags();
            editor.PageToImage();
            const DeviceImage taken = w_->image();
            w_->image() = kept;
            editor.injection() = work;
            w_->mapAllFlags() = all;
            if (taken != kept)
                return Broken{"page-equals-image", "the page-to-image pass on page " +
                                                       std::to_string(page()) + " changes " +
                                                       Differences(kept, taken, "image ", "page ")};
        }
        // The image is its own normalization.
        {
            DeviceImage normalized = image;
            NormalizeImage(normalized, {w_->languageIndex(), w_->comPortIndex()});
            if (normalized != image)
                return Broken{"image-normalized",
                              "normalizing the image changes " +
                                  Differences(image, normalized, "image ", "normalized ")};
        }

        const bool atEntry = SameAsEntry(image, ring().entry(ring().current()));

        // The unit holds the window's configuration while programming after change is on.
        const DeviceImage& stored = unit().storedImage();
        const bool inSync = std::equal(image.bytes().begin() + BlockSize, image.bytes().end(),
                                       stored.bytes().begin() + BlockSize);
        // Ticking the option sends what the unit lacks: from then on it holds what the window holds.
        const bool expected = syncExpected_ || (s.op == Op::ProgHned && progHned());
        if (progHned() && expected && !inSync && !prompts_->programNo) {
            DeviceImage unitImage = image;
            std::copy(stored.bytes().begin() + BlockSize, stored.bytes().end(),
                      unitImage.bytes().begin() + BlockSize);
            unitImage.IapAxis = image.IapAxis;
            return Broken{"unit-holds-image",
                          "with programming after change on the unit differs from the window: " +
                              Differences(image, unitImage, "window ", "unit ")};
        }
        syncExpected_ = progHned() && inSync;

        // The unit's motorcycle type changes only by the operations that may change it.
        const std::uint8_t unitTypeNow = stored.byteAt(300);
        if (unitTypeNow != unitType && !MayChangeUnitType(s.op) && !prompts_->programYes)
            return Broken{"unit-type-changed",
                          "the unit's motorcycle type went from " + std::to_string(unitType) + " to " +
                              std::to_string(unitTypeNow) + " without a programming question answered Yes"};

        // A Cancel at the type change's question changes nothing.
        if (s.op == Op::TypeChange && prompts_->firstAnswer == PromptAnswer::Cancel) {
            if (!SameConfiguration(before, image))
                return Broken{"type-change-cancel", "Cancel at the type change changed " +
                                                        Differences(before, image, "before ", "after ")};
            if (ring().current() != current || ring().newest() != newest)
                return Broken{"type-change-cancel", "Cancel at the type change took a history entry"};
            const int combo = w_->findChild<QComboBox*>("ComboBoxBike")->currentIndex();
            const int item = ItemOfCode(FieldValue(before, Field(FieldId::Bike)));
            if (combo != item)
                return Broken{"type-change-cancel", "Cancel at the type change left the selector at item " +
                                                        std::to_string(combo) + " instead of " +
                                                        std::to_string(item)};
        }

        // Ctrl+Z and Ctrl+Alt+Z reach the configuration's history from a field.
        const auto previous = [](std::uint16_t i) {
            return static_cast<std::uint16_t>(i == 0 ? UndoRing::Size - 1 : i - 1);
        };
        const auto next = [](std::uint16_t i) {
            return static_cast<std::uint16_t>(i + 1 == UndoRing::Size ? 0 : i + 1);
        };
        if (s.op == Op::UndoKey && current != oldest && ring().current() != previous(current))
            return Broken{"keyboard-undo", "Ctrl+Z did not step the configuration's history back"};
        if (s.op == Op::RedoKey && current != newest && ring().current() != next(current))
            return Broken{"keyboard-undo", "Ctrl+Alt+Z did not step the configuration's history forward"};

        // The history: every operation leaves the image as the current entry, one Undo of an edit
        // changes only what the edit changed, and Redo after Undo gives back the image.
        const bool isUndo =
            (s.op == Op::Undo || s.op == Op::UndoKey) && ring().current() == previous(current);
        const bool isRedo = (s.op == Op::Redo || s.op == Op::RedoKey) && ring().current() == next(current);
        if (!atEntry)
            return Broken{"undo-redo", "the image is not the history's current entry: " +
                                           Differences(ImageOfEntry(image, ring().entry(ring().current())),
                                                       image, "entry ", "image ")};
        if (isUndo && lastEdit_ && lastEdit_->entry == current &&
            SameConfiguration(before, lastEdit_->after)) {
            DeviceImage expectedImage = image;
            for (std::size_t i = BlockSize; i < ImageSize; ++i)
                if (lastEdit_->before.byteAt(i) == lastEdit_->after.byteAt(i))
                    expectedImage.setByte(i, lastEdit_->after.byteAt(i));
            for (std::size_t j = 0; j < expectedImage.IapAxis.size(); ++j)
                if (lastEdit_->before.IapAxis[j] == lastEdit_->after.IapAxis[j])
                    expectedImage.IapAxis[j] = lastEdit_->after.IapAxis[j];
            if (!SameConfiguration(expectedImage, image))
                return Broken{"undo-redo", "Undo of the last edit changed what the edit had not changed: " +
                                               Differences(expectedImage, image, "edit left ", "undo made ")};
        }
        if (isRedo && lastUndo_ && lastUndo_->entry == current &&
            SameConfiguration(before, lastUndo_->after) && !SameConfiguration(image, lastUndo_->before))
            return Broken{"undo-redo",
                          "Redo after Undo did not give back the image: " +
                              Differences(lastUndo_->before, image, "before undo ", "after redo ")};

        const bool oneEntry = ring().current() == next(current) && ring().newest() == ring().current();
        if (isUndo)
            lastUndo_ = Change{before, image, ring().current()};
        else if (!isRedo)
            lastUndo_.reset();
        if (oneEntry && !isRedo)
            lastEdit_ = Change{before, image, ring().current()};
        else if (ring().current() != current || ring().newest() != newest)
            lastEdit_.reset();
        return std::nullopt;
    }

    struct Change {
        DeviceImage before;
        DeviceImage after;
        std::uint16_t entry = 0;
    };

    QTemporaryDir dir_;
    std::unique_ptr<TFormHlav> w_;
    RandomPrompts* prompts_ = nullptr;
    QTabWidget* pages_ = nullptr;
    std::vector<QString> saved_;
    int reads_ = 0;
    Op lastOp_ = Op::Page;
    bool syncExpected_ = false;
    std::optional<Change> lastEdit_;
    std::optional<Change> lastUndo_;
};

std::optional<Broken> Replay(std::vector<Step>& steps, const std::string& check,
                             std::vector<std::string>* texts, Op* breakingOp) {
    SequenceRun run;
    Outcome out = run.run(steps, nullptr, 0);
    if (!out.broken || out.broken->check != check) return std::nullopt;
    if (texts != nullptr) *texts = out.texts;
    if (breakingOp != nullptr) *breakingOp = out.breakingOp;
    return out.broken;
}

// Drops runs of steps (halves, then quarters, ... single steps) as long as the same check still breaks.
std::vector<std::string> Shrink(std::vector<Step> steps, const std::string& check, int replays,
                                std::string& detail) {
    std::vector<std::string> shortest;
    const std::optional<Broken> first = Replay(steps, check, &shortest, nullptr);
    if (!first) return {};
    detail = first->detail;
    std::size_t chunk = std::max<std::size_t>(1, steps.size() / 2);
    while (replays > 0) {
        bool dropped = false;
        for (std::size_t start = 0; start < steps.size() && replays > 0;) {
            std::vector<Step> candidate;
            for (std::size_t i = 0; i < steps.size(); ++i)
                if (i < start || i >= start + chunk) candidate.push_back(steps[i]);
            --replays;
            std::vector<std::string> texts;
            const std::optional<Broken> broken =
                candidate.empty() ? std::nullopt : Replay(candidate, check, &texts, nullptr);
            if (broken) {
                steps = candidate;
                shortest = texts;
                detail = broken->detail;
                dropped = true;
            } else {
                start += chunk;
            }
        }
        if (chunk == 1 && !dropped) break;
        if (!dropped) chunk = std::max<std::size_t>(1, chunk / 2);
    }
    return shortest;
}

// Every window shown offscreen reports that the platform cannot pass size hints on; thousands of
// windows would bury what matters.
QtMessageHandler previousHandler = nullptr;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("propagateSizeHints"))) return;
    if (previousHandler != nullptr)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

class QuietSizeHints {
  public:
    QuietSizeHints() { previousHandler = qInstallMessageHandler(QuietHandler); }
    ~QuietSizeHints() { qInstallMessageHandler(previousHandler); }
    QuietSizeHints(const QuietSizeHints&) = delete;
    QuietSizeHints& operator=(const QuietSizeHints&) = delete;
};

}  // namespace

std::vector<KnownFault> FaultsAwaitingFix() {
    return {};
}

std::uint64_t SequenceSeed(std::uint64_t runSeed, int sequence) {
    // splitmix64 of the run's seed and the sequence's number: neighbouring sequences share nothing.
    const auto sequenceNumber = static_cast<std::uint64_t>(sequence + 1);
    std::uint64_t z = runSeed + 0x9E3779B97F4A7C15ULL * sequenceNumber;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t SeedFromEnvironment(std::uint64_t fallback) {
    const QByteArray text = qgetenv("TORVANE_RANDOM_SEED");
    if (text.isEmpty()) return fallback;
    bool ok = false;
    const std::uint64_t seed = text.toULongLong(&ok, 0);
    return ok ? seed : fallback;
}

int NumberFromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

std::string Describe(const Violation& v) {
    std::ostringstream s;
    if (!v.knownFault.empty()) s << "[awaiting fix: " << v.knownFault << "] ";
    s << "Violation of " << v.check << " (seed " << v.runSeed << ", sequence " << v.sequence
      << ", after step " << v.steps.size() << " \"" << v.breakingOp << "\"): " << v.detail << "\n  steps:\n";
    for (std::size_t i = 0; i < v.steps.size(); ++i) s << "    " << i + 1 << ". " << v.steps[i] << "\n";
    s << "  again alone: random_operations_bench --seed " << v.runSeed << " --first " << v.sequence
      << " --sequences 1\n";
    if (!v.shortest.empty()) {
        s << "  shortest sequence found that shows it:\n";
        for (std::size_t i = 0; i < v.shortest.size(); ++i)
            s << "    " << i + 1 << ". " << v.shortest[i] << "\n";
        s << "  which ends in: " << v.shortestDetail << "\n";
    }
    return s.str();
}

SequenceResult RunSequence(std::uint64_t sequenceSeed, int steps) {
    const QuietSizeHints quiet;
    Rng rng(sequenceSeed);
    std::vector<Step> drawn;
    SequenceRun run;
    Outcome out = run.run(drawn, &rng, steps);
    SequenceResult result;
    result.steps = out.texts;
    if (out.broken) {
        result.check = out.broken->check;
        result.detail = out.broken->detail;
        result.breakingOp = OpName(out.breakingOp);
    }
    return result;
}

RunSummary RunSequences(const RunOptions& opts) {
    const QuietSizeHints quiet;
    const auto start = std::chrono::steady_clock::now();
    RunSummary summary;
    std::map<std::string, bool> shrunk;
    for (int i = opts.first; i < opts.first + opts.sequences; ++i) {
        const std::uint64_t seed = SequenceSeed(opts.seed, i);
        Rng rng(seed);
        std::vector<Step> steps;
        Outcome out;
        {
            SequenceRun run;
            out = run.run(steps, &rng, opts.steps);
        }
        ++summary.sequences;
        summary.steps += static_cast<long long>(out.texts.size());
        for (const auto& [op, n] : out.done) summary.done[op] += n;
        for (const auto& [op, n] : out.notOffered) summary.notOffered[op] += n;
        summary.programQuestions += out.programQuestions;
        if (opts.progress && opts.out != nullptr)
            *opts.out << "sequence " << i << ": " << out.texts.size() << " steps"
                      << (out.broken ? ", " + out.broken->check : std::string()) << std::endl;
        if (!out.broken) continue;
        Violation v;
        v.check = out.broken->check;
        v.detail = out.broken->detail;
        v.breakingOp = OpName(out.breakingOp);
        v.runSeed = opts.seed;
        v.sequence = i;
        v.sequenceSeed = seed;
        v.steps = out.texts;
        for (const KnownFault& k : opts.awaitingFix) {
            if (k.explains && k.explains(v)) {
                v.knownFault = k.name;
                break;
            }
        }
        const bool known = !v.knownFault.empty();
        const std::string key = known ? v.knownFault : v.check + "/" + v.breakingOp;
        if (opts.shrink && (!known || opts.shrinkKnown) && !shrunk[key]) {
            shrunk[key] = true;
            v.shortest = Shrink(steps, v.check, opts.shrinkReplays, v.shortestDetail);
        }
        if (opts.out != nullptr) *opts.out << Describe(v) << std::flush;
        (known ? summary.known : summary.violations).push_back(std::move(v));
    }
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return summary;
}

}  // namespace torvane::random_ops
