#include "app/window/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>
#include <algorithm>
#include <charconv>

#include "editor/editor.h"
#include "editor/page_catalogue.h"
#include "text/message_table.h"
#include "widgets/named_control.h"
#include "widgets/radio_group.h"

namespace torvane {
namespace {

using K = NamePart::Kind;

constexpr NamePart Cap(std::string_view control) {
    return {K::Caption, control};
}
// "LabelGear" + n: the caption of the row or column of element n of an array.
constexpr NamePart CapOf(std::string_view base, int first, bool spaced = false) {
    return {K::NumberedCaption, base, first, spaced};
}
constexpr NamePart Msg(Message message) {
    return {K::Message, {}, message};
}
// The number of a field among those that share a caption, after that caption; along a run-time array
// it counts from `first`.
constexpr NamePart Num(int first) {
    return {K::Number, {}, first, true, true};
}
// A number of its own, the same for every element: the first or second shift light.
constexpr NamePart Fixed(int number) {
    return {K::Number, {}, number, true, false};
}
// The caption a widget shows now (a caption the page shapes).
constexpr NamePart Shown(std::string_view control) {
    return {K::Shown, control};
}
// The column caption over element n of a run-time array, itself a run-time array of labels.
constexpr NamePart ShownColumn(std::string_view labels) {
    return {K::Shown, labels, 0, false, true};
}

constexpr AccessibleNameRow Named(std::string_view control, NamePart a, NamePart b = {}, NamePart c = {},
                                  NamePart d = {}, NamePart e = {}) {
    return {control, AnyPage, {a, b, c, d, e}, {}};
}
constexpr AccessibleNameRow WithUnit(AccessibleNameRow row, std::string_view unit) {
    row.unit = unit;
    return row;
}
// An extra field of the map panel on one map page ("UpDownMisc_Uni[k]").
constexpr AccessibleNameRow Misc(int page, std::string_view control, NamePart a, NamePart b = {}) {
    return {control, page, {a, b}, {}};
}

// The gear columns of the Race page and the corrections per gear: "Gear 0-1", "Gear 2", ...
constexpr NamePart RaceGear = Cap("LabelRaceGearCaption");
constexpr NamePart RaceGearColumn = CapOf("LabelRaceGear", 1, true);
constexpr NamePart KorGear = Cap("LabelGearKorCaption");
constexpr NamePart KorGearColumn = CapOf("LabelGearKor", 1, true);

constexpr AccessibleNameRow kRows[] = {
    // Bike.
    Named("ComboBoxBike", Cap("GroupBoxBike")),
    Named("UpDownStartLimiter", Cap("LabelStartLimiter")),
    Named("UpDownIgnLimiter", Cap("LabelIgnLimiter")),
    Named("UpDownJetLimiter", Cap("LabelJetLimiter")),
    Named("UpDownRetardLimiterRpm", Cap("LabelRetardLimiterRpm")),
    Named("UpDownRetardLimiterAdv", Cap("GroupBoxOmez"), Cap("LabelRetardLimiterAdv")),
    Named("UpDownRpmPulsu", Cap("GroupBoxRpmOut"), Cap("LabelRpmPulsu")),
    Named("UpDownRpmKorekce", Cap("GroupBoxRpmOut"), Cap("LabelRpmKorekce")),
    Named("UpDownChlazeni", Cap("GroupBoxChlazeni"), Cap("LabelChlazeni")),
    Named("UpDownIntakePortRpm", Cap("GroupBoxIntakePort"), Cap("LabelIntakePortRpm")),
    // The activation boxes choose how an input is switched on, which their own captions do not say.
    Named("CheckBoxAktFall", Cap("GroupBoxActivation"), Cap("CheckBoxAktFall")),
    Named("CheckBoxAktClutch", Cap("GroupBoxActivation"), Cap("CheckBoxAktClutch")),
    Named("CheckBoxAktStartLimiter", Cap("GroupBoxActivation"), Cap("CheckBoxAktStartLimiter")),
    Named("CheckBoxAktRpm", Cap("GroupBoxActivation"), Cap("CheckBoxAktRpm")),
    Named("Memo1", Cap("LabelMemo")),

    // Synchro.
    Named("ComboBoxSynchro1", Cap("LabelSynchro1")),
    Named("ComboBoxSynchro2", Cap("LabelSynchro2")),
    Named("UpDownPocPalcu", Cap("LabelPocPalcu")),
    Named("UpDownVynechPalcu", Cap("LabelVynechPalcu")),
    Named("UpDownPocKanOut", Cap("LabelPocKanOut")),
    Named("UpDownPredaniHodnot", Cap("LabelPredaniHodnot")),
    Named("UpDownSynchroMaxRpm", Cap("LabelSynchroMaxRpm")),
    Named("UpDownBuzeni", Cap("LabelBuzeni")),
    Named("UpDownTop1", Cap("GroupBoxTop"), Cap("LabelTop1")),
    Named("UpDownTop2", Cap("GroupBoxTop"), Cap("LabelTop2")),
    Named("UpDownTop3", Cap("GroupBoxTop"), Cap("LabelTop3")),
    Named("UpDownTop4", Cap("GroupBoxTop"), Cap("LabelTop4")),
    Named("UpDownKyvaniFaze11", Cap("GroupBoxKyvani1"), Cap("LabelKyvaniFaze1"), Fixed(1)),
    Named("UpDownKyvaniFaze12", Cap("GroupBoxKyvani1"), Cap("LabelKyvaniFaze1"), Fixed(2)),
    Named("UpDownKyvaniFaze13", Cap("GroupBoxKyvani1"), Cap("LabelKyvaniFaze1"), Fixed(3)),
    Named("UpDownKyvaniFaze21", Cap("GroupBoxKyvani2"), Cap("LabelKyvaniFaze2"), Fixed(1)),
    Named("UpDownKyvaniFaze22", Cap("GroupBoxKyvani2"), Cap("LabelKyvaniFaze2"), Fixed(2)),
    Named("UpDownKyvaniFaze23", Cap("GroupBoxKyvani2"), Cap("LabelKyvaniFaze2"), Fixed(3)),

    // The map panel's extra fields, with the captions the page gives them.
    Misc(PageAdvance, "UpDownMisc_Uni[4]", Msg(MsgBaseAdvance)),
    Misc(PageAdvance, "UpDownMisc_Uni[0]", Msg(MsgCylinderCorrection), Fixed(1)),
    Misc(PageAdvance, "UpDownMisc_Uni[1]", Msg(MsgCylinderCorrection), Fixed(2)),
    Misc(PageAdvance, "UpDownMisc_Uni[2]", Msg(MsgCylinderCorrection), Fixed(3)),
    Misc(PageAdvance, "UpDownMisc_Uni[3]", Msg(MsgCylinderCorrection), Fixed(4)),
    Misc(PageAdvance, "UpDownMisc_Uni[5]", Msg(MsgLobeWidth)),
    Misc(PageJet1A, "UpDownMisc_Uni[0]", Msg(MsgIapToTp), Msg(MsgTpsMin)),
    Misc(PageJet1A, "UpDownMisc_Uni[1]", Msg(MsgIapToTp), Msg(MsgTpsMax)),
    Misc(PageJet1A, "UpDownMisc_Uni[2]", Msg(MsgIapToTp), Msg(MsgRpmMin)),
    Misc(PageJet1A, "UpDownMisc_Uni[3]", Msg(MsgIapToTp), Msg(MsgRpmMax)),
    Misc(PageIap, "UpDownMisc_Uni[0]", Msg(MsgCylinderCorrection), Fixed(1)),
    Misc(PageIap, "UpDownMisc_Uni[1]", Msg(MsgCylinderCorrection), Fixed(2)),
    Misc(PageIap, "UpDownMisc_Uni[2]", Msg(MsgCylinderCorrection), Fixed(3)),
    Misc(PageIap, "UpDownMisc_Uni[3]", Msg(MsgCylinderCorrection), Fixed(4)),
    Misc(PageServoIn, "UpDownMisc_Uni[0]", Msg(MsgHysteresis)),
    Misc(PageServoIn, "UpDownMisc_Uni[2]", Cap("CheckBoxStepMotor"), Msg(MsgPeriod)),
    Misc(PageServoIn, "UpDownMisc_Uni[3]", Cap("CheckBoxStepMotor"), Msg(MsgExcitation)),
    Misc(PageServoEx, "UpDownMisc_Uni[0]", Msg(MsgHysteresis)),

    // Position: fifteen rpm points per injection and the position at each.
    Named("UpDownPolohaARpm", Cap("GroupBoxPolohaA"), Cap("LabelPolohaARpm"), Num(1)),
    Named("UpDownPolohaAPoz", Cap("GroupBoxPolohaA"), Msg(MsgPosition), Num(1), Cap("LabelPolohaAPoz")),
    Named("UpDownPolohaBRpm", Cap("GroupBoxPolohaB"), Cap("LabelPolohaBRpm"), Num(1)),
    Named("UpDownPolohaBPoz", Cap("GroupBoxPolohaB"), Msg(MsgPosition), Num(1), Cap("LabelPolohaBPoz")),
    Named("CheckBoxAll_PolohaA", Cap("GroupBoxPolohaA"), Cap("CheckBoxAll_PolohaA")),
    Named("CheckBoxAll_PolohaB", Cap("GroupBoxPolohaB"), Cap("CheckBoxAll_PolohaB")),

    // Corrections. The starting correction k applies from time point k on (point 0 is the start).
    Named("UpDownSyticCas1", Cap("GroupBoxSytic"), Cap("LabelSyticCas"), Fixed(1)),
    Named("UpDownSyticCas2", Cap("GroupBoxSytic"), Cap("LabelSyticCas"), Fixed(2)),
    Named("UpDownSyticCas3", Cap("GroupBoxSytic"), Cap("LabelSyticCas"), Fixed(3)),
    Named("UpDownSyticCas4", Cap("GroupBoxSytic"), Cap("LabelSyticCas"), Fixed(4)),
    Named("UpDownSyticKorekce0", Cap("GroupBoxSytic"), Cap("LabelSyticKorekce"), Fixed(0)),
    Named("UpDownSyticKorekce1", Cap("GroupBoxSytic"), Cap("LabelSyticKorekce"), Fixed(1)),
    Named("UpDownSyticKorekce2", Cap("GroupBoxSytic"), Cap("LabelSyticKorekce"), Fixed(2)),
    Named("UpDownSyticKorekce3", Cap("GroupBoxSytic"), Cap("LabelSyticKorekce"), Fixed(3)),
    Named("UpDownKorVoda", Cap("GroupBoxKorVodaVzduch"), Cap("LabelVoda2"), ShownColumn("LabelKorTeplota")),
    Named("UpDownKorVzduch", Cap("GroupBoxKorVodaVzduch"), Cap("LabelVzduch2"),
          ShownColumn("LabelKorTeplota")),
    Named("UpDownKorIgnVoda", Cap("GroupBoxIgnVoda"), Cap("LabelVoda3"), ShownColumn("LabelKorIgnTeplota")),
    Named("UpDownAkcelPrah", Cap("GroupBoxAkcel"), Cap("LabelAkcelPrah")),
    Named("UpDownAkcelJet", Cap("GroupBoxAkcel"), Cap("LabelAkcelJet")),
    Named("UpDownStartJet", Cap("GroupBoxStartJet"), Cap("LabelStartJet")),

    // Sensors.
    Named("UpDownApsTlak1", Cap("GroupApsSensor"), Cap("LabelApsTlak1")),
    Named("UpDownApsNapeti1", Cap("GroupApsSensor"), Cap("LabelApsNapeti1")),
    Named("UpDownApsTlak2", Cap("GroupApsSensor"), Cap("LabelApsTlak2")),
    Named("UpDownApsNapeti2", Cap("GroupApsSensor"), Cap("LabelApsNapeti2")),
    Named("UpDownIapsTlak1", Cap("GroupIapsSensor"), Cap("LabelIapsTlak1")),
    Named("UpDownIapsNapeti1", Cap("GroupIapsSensor"), Cap("LabelIapsNapeti1")),
    Named("UpDownIapsTlak2", Cap("GroupIapsSensor"), Cap("LabelIapsTlak2")),
    Named("UpDownIapsNapeti2", Cap("GroupIapsSensor"), Cap("LabelIapsNapeti2")),
    Named("UpDownTps0", Cap("LabelTps0")),
    Named("UpDownTps100", Cap("LabelTps100")),
    Named("UpDownCidloVoda", Cap("GroupBoxCidloTVodaVzduch"), Cap("LabelCidloVoda"),
          ShownColumn("LabelTeplota")),
    Named("UpDownCidloVzduch", Cap("GroupBoxCidloTVodaVzduch"), Cap("LabelCidloVzduch"),
          ShownColumn("LabelTeplota")),
    Named("UpDownPotencRozsah", Cap("RadioGroupPotencMode"), Cap("LabelPotencRozsah")),

    // Idle. What the servo curve holds depends on the idle mode: its frame says it.
    Named("UpDownIdleRpmMez", Cap("LabelIdleRpmMez")),
    Named("UpDownIdleTpsMez", Cap("LabelIdleTpsMez")),
    Named("UpDownIdleStepPuls", Cap("LabelIdleStepPuls")),
    Named("UpDownIdleStepPerioda", Cap("LabelIdleStepPerioda")),
    Named("UpDownIdleHyster", Cap("LabelIdleHyster")),
    Named("UpDownIdleServoPoz", Shown("GroupBoxIdleServoPoz"), ShownColumn("LabelIdleServoTeplota")),
    Named("UpDownIdleAdvPoz", Cap("GroupBoxIdleAdvPoz"), ShownColumn("LabelIdleAdvTeplota")),
    Named("UpDownIdleAdvNaRpm", Cap("LabelIdleAdvNaRpm")),
    Named("UpDownIdleAdvNaCas", Cap("LabelIdleAdvNaCas")),
    Named("UpDownIdleMaxAdv", Cap("LabelIdleMaxAdv")),

    // N2O.
    Named("UpDownGas1", Cap("LabelGas1")),
    Named("UpDownGas2", Cap("LabelGas2")),
    Named("UpDownGasD", Cap("GroupBoxGas"), Cap("LabelGasD")),
    Named("UpDownGasT", Cap("GroupBoxGas"), Cap("LabelGasT")),
    Named("UpDownGasJetKor1", Cap("LabelGasJetKor1")),
    Named("UpDownGasJetKor2", Cap("LabelGasJetKor2")),
    Named("UpDownRetard1", Cap("LabelRetard1")),
    Named("UpDownRetard2", Cap("LabelRetard2")),
    Named("UpDownRetardD", Cap("GroupBoxRetard"), Cap("LabelRetardD")),
    Named("UpDownRetardT", Cap("GroupBoxRetard"), Cap("LabelRetardT")),

    // Race: two shift lights, the clutch master's time and pause, per gear.
    Named("UpDownClutchMinRpm", Cap("LabelClutchMinRpm")),
    Named("UpDownClutchJet", Cap("LabelClutchJet")),
    Named("UpDownClutchAdv", Cap("LabelClutchAdv")),
    WithUnit(Named("UpDownPilotLight1", Msg(MsgShiftLight), Fixed(1), RaceGear, RaceGearColumn), "[rpm]"),
    WithUnit(Named("UpDownPilotLight2", Msg(MsgShiftLight), Fixed(2), RaceGear, RaceGearColumn), "[rpm]"),
    Named("UpDownClutchTime", Cap("LabelClutchTime"), RaceGear, RaceGearColumn),
    Named("UpDownClutchPause", Cap("LabelClutchPause"), RaceGear, RaceGearColumn),

    // Gear.
    Named("UpDownPocetGear", Cap("LabelPocetGear")),
    Named("UpDownPulsuProSpeed", Cap("RadioGroupSpeedMode"), Cap("LabelPulsuProSpeed")),
    Named("UpDownGearNapeti", Cap("GroupBoxNapetiProGear"), CapOf("LabelGear", 0)),
    Named("UpDownGearPomer", Cap("GroupBoxRpmSpeedProGear"), CapOf("LabelPomerRpmSpeed", 1)),
    Named("UpDownGearKorAdv", Cap("GroupBoxGearKor"), Cap("LabelGearKorAdv"), KorGear, KorGearColumn),
    Named("UpDownGearKorJet", Cap("GroupBoxGearKor"), Cap("LabelGearKorJet"), KorGear, KorGearColumn),
    Named("UpDownGearAutoTime", Cap("GroupBoxMonAutoGear"), Cap("LabelGearAutoTime")),
    Named("UpDownGearAutoRpm", Cap("GroupBoxMonAutoGear"), Cap("LabelGearAutoRpm")),
    Named("UpDownGearAutoTps", Cap("GroupBoxMonAutoGear"), Cap("LabelGearAutoTps")),
    Named("UpDownGearAutoBand", Cap("GroupBoxMonAutoGear"), Cap("LabelGearAutoBand")),
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A caption as spoken: without the mnemonic marks ("&&" stays one "&").
std::string WithoutMnemonics(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

struct SplitCaption {
    std::string stem;  // the words, without a trailing colon
    std::string unit;  // "[rpm]" when the caption ends with one
};

SplitCaption Split(std::string_view caption) {
    const std::string clean = WithoutMnemonics(caption);
    std::string_view text = Trimmed(clean);
    SplitCaption out;
    if (!text.empty() && text.back() == ']') {
        const std::size_t open = text.rfind('[');
        if (open != std::string_view::npos) {
            out.unit = std::string(text.substr(open));
            text = Trimmed(text.substr(0, open));
        }
    }
    while (!text.empty() && text.back() == ':') text = Trimmed(text.substr(0, text.size() - 1));
    out.stem = std::string(text);
    return out;
}

std::string PartText(const NamePart& part, int element, int languageIndex, const ShownText& shown) {
    switch (part.kind) {
        case K::None:
            return {};
        case K::Caption:
            return CaptionText(part.control, CaptionKind::Caption, languageIndex);
        case K::NumberedCaption:
            return CaptionText(std::string(part.control) + std::to_string(part.value + element),
                               CaptionKind::Caption, languageIndex);
        case K::Message:
            return MessageText(part.value, languageIndex);
        case K::Number:
            return std::to_string(part.value + (part.indexed ? element : 0));
        case K::Shown: {
            if (!shown) return {};
            if (!part.indexed) return shown(part.control);
            return shown(std::string(part.control) + "[" + std::to_string(part.value + element) + "]");
        }
    }
    return {};
}

// Splits "Name[3]" into "Name" and 3; false for a name without an element index.
bool SplitElement(std::string_view objectName, std::string_view* base, int* element) {
    if (objectName.size() < 4 || objectName.back() != ']') return false;
    const std::size_t open = objectName.rfind('[');
    if (open == std::string_view::npos || open == 0) return false;
    const char* first = objectName.data() + open + 1;
    const char* last = objectName.data() + objectName.size() - 1;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last) return false;
    *base = objectName.substr(0, open);
    *element = value;
    return true;
}

bool OnPage(const AccessibleNameRow& row, int page) {
    return row.page == AnyPage || row.page == page;
}

// --- applying them to the window --------------------------------------------------------------

constexpr const char* KeeperName = "AccessibleNameKeeper";
constexpr const char* LanguageProperty = "language";
constexpr const char* NamedProperty = "named";  // page, language and idle mode last named for

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ShownTextOf(const QWidget& window, std::string_view objectName) {
    const auto* widget = NamedControlIfAny<QWidget>(
        &window, QString::fromUtf8(objectName.data(), static_cast<qsizetype>(objectName.size())));
    if (const auto* label = qobject_cast<const QLabel*>(widget)) return label->text().toStdString();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget)) return box->title().toStdString();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text().toStdString();
    return {};
}

void SetName(QWidget* widget, const QString& name) {
    if (widget->accessibleName() != name) widget->setAccessibleName(name);
    // The edit part of a spin is a field of its own to assistive tools.
    if (qobject_cast<QAbstractSpinBox*>(widget) != nullptr) {
        if (auto* edit = widget->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (edit->accessibleName() != name) edit->setAccessibleName(name);
        }
    }
}

// Whether a row can name its field otherwise after a page switch or an idle mode click: the map
// panel's rows, and those with a caption the page shapes.
bool ChangesWithThePage(const AccessibleNameRow& row) {
    return row.page != AnyPage || std::any_of(row.parts.begin(), row.parts.end(), [](const NamePart& part) {
               return part.kind == K::Shown && !part.indexed;
           });
}

// Names the widgets under root (all of them, or only those whose names change with the page).
void NameWidgets(QWidget& window, QWidget& root, int languageIndex, bool changingOnly) {
    const auto* pages = NamedControl<QTabWidget>(&window, QStringLiteral("PageControl1"));
    const int page = pages != nullptr ? pages->currentIndex() : AnyPage;
    // A caption is looked for near its field first: a search through the whole window is slow.
    const ShownText shown = [&window, &root](std::string_view name) {
        std::string text = ShownTextOf(root, name);
        return text.empty() && &root != &window ? ShownTextOf(window, name) : text;
    };
    const QList<QWidget*> widgets = root.findChildren<QWidget*>();
    for (QWidget* widget : widgets) {
        const std::string name = widget->objectName().toStdString();
        if (name.empty()) continue;
        int element = 0;
        const AccessibleNameRow* row = FindAccessibleNameRow(name, page, &element);
        if (row != nullptr) {
            if (changingOnly && !ChangesWithThePage(*row)) continue;
            SetName(widget, FromUtf8(ComposeAccessibleName(*row, element, languageIndex, shown)));
        } else if (HasPageNames(name)) {
            SetName(widget, QString());  // a field of the map panel that this page does not use
        }
    }
}

}  // namespace

std::span<const AccessibleNameRow> AccessibleNameTable() {
    return kRows;
}

const AccessibleNameRow* FindAccessibleNameRow(std::string_view objectName, int page, int* element) {
    for (const AccessibleNameRow& row : kRows) {
        if (row.control == objectName && OnPage(row, page)) {
            if (element != nullptr) *element = 0;
            return &row;
        }
    }
    std::string_view base;
    int index = 0;
    if (!SplitElement(objectName, &base, &index)) return nullptr;
    for (const AccessibleNameRow& row : kRows) {
        if (row.control == base && OnPage(row, page)) {
            if (element != nullptr) *element = index;
            return &row;
        }
    }
    return nullptr;
}

bool HasPageNames(std::string_view objectName) {
    return std::any_of(std::begin(kRows), std::end(kRows), [objectName](const AccessibleNameRow& row) {
        return row.page != AnyPage && row.control == objectName;
    });
}

std::string ComposeAccessibleName(const AccessibleNameRow& row, int element, int languageIndex,
                                  const ShownText& shown) {
    std::string name;
    std::string unit;
    for (const NamePart& part : row.parts) {
        if (part.kind == K::None) break;
        SplitCaption caption = Split(PartText(part, element, languageIndex, shown));
        // The innermost caption's unit is the field's: "Time [s]" inside "Starting Corrections [%]".
        if (!caption.unit.empty()) unit = std::move(caption.unit);
        if (caption.stem.empty()) continue;
        if (!name.empty()) name += part.spaced ? " " : ", ";
        name += caption.stem;
    }
    if (unit.empty()) unit = std::string(row.unit);
    if (!unit.empty()) name += (name.empty() ? "" : " ") + unit;
    return name;
}

void ApplyAccessibleNames(QWidget& window, int languageIndex) {
    QObject* keeper =
        NamedControlIfAny<QObject>(&window, QLatin1String(KeeperName), Qt::FindDirectChildrenOnly);
    if (keeper == nullptr) {
        keeper = new QObject(&window);
        keeper->setObjectName(QLatin1String(KeeperName));
        QWidget* owner = &window;
        auto* pages = NamedControl<QTabWidget>(&window, QStringLiteral("PageControl1"));
        // The map panel moves onto a map page after the switch has been announced.
        const QPointer<QWidget> panel = NamedControl<QWidget>(&window, QStringLiteral("GroupBoxMapGrid"));
        const QPointer<RadioGroup> idleMode =
            NamedControl<RadioGroup>(&window, QStringLiteral("RadioGroupIdleMode"));
        const int pageCount = pages != nullptr ? pages->count() : 0;
        auto rename = [owner, keeper, pages, panel, idleMode, pageCount] {
            // A tab widget that is losing its pages (the window closing) has nothing left to name.
            if (pages == nullptr || pages->count() != pageCount || pages->currentWidget() == nullptr) return;
            const int language = keeper->property(LanguageProperty).toInt();
            // The page shown again as it was (every commit shows it anew) keeps its names.
            const QList<QVariant> named{pages->currentIndex(), language,
                                        idleMode.isNull() ? -1 : idleMode->itemIndex()};
            if (keeper->property(NamedProperty).toList() == named) return;
            keeper->setProperty(NamedProperty, named);
            QWidget* current = pages->currentWidget();
            NameWidgets(*owner, *current, language, true);
            if (!panel.isNull() && !current->isAncestorOf(panel)) NameWidgets(*owner, *panel, language, true);
        };
        // The map panel's extra fields change meaning with the page; the idle curve with the idle mode
        // (its frame's caption is set once the click has been handled).
        // The names follow what the page shows: after a switch, and after an undo or anything else
        // that shows the page from the image again (the idle mode may have changed with it).
        if (auto* editor = window.findChild<Editor*>())
            QObject::connect(editor, &Editor::pageShown, keeper, rename);
        else if (pages != nullptr)
            QObject::connect(pages, &QTabWidget::currentChanged, keeper, rename);
        if (!idleMode.isNull())
            QObject::connect(idleMode, &RadioGroup::itemClicked, keeper, rename, Qt::QueuedConnection);
    }
    keeper->setProperty(LanguageProperty, languageIndex);
    keeper->setProperty(NamedProperty, QVariant());
    NameWidgets(window, window, languageIndex, false);
}

}  // namespace torvane
