// What a screen reader is told about the window: the names of the fields and check boxes of every
// page in every language, and where the page tabs are.
#include "app/window/accessible_names.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <map>
#include <set>

#include "app/window/page_tab_bar.h"
#include "app/window/tform_hlav.h"
#include "editor/binding_table.h"
#include "editor/page_catalogue.h"
#include "image/fields.h"
#include "mapgrid/map_page_model.h"
#include "widgets/radio_group.h"

namespace torvane {
namespace {

// --- composing names ---------------------------------------------------------------------------

std::string NameOf(std::string_view control, int page, int language) {
    int element = 0;
    const AccessibleNameRow* row = FindAccessibleNameRow(control, page, &element);
    if (row == nullptr) return "<no row>";
    return ComposeAccessibleName(*row, element, language,
                                 [](std::string_view name) { return "(" + std::string(name) + ")"; });
}

TEST(AccessibleNameComposition, JoinsTheCaptionsAndPutsTheInnermostUnitLast) {
    EXPECT_EQ(NameOf("UpDownSyticCas2", PageKorekce, 0), "Starting Corrections, Time 2 [s]");
    EXPECT_EQ(NameOf("UpDownSyticCas2", PageKorekce, 3), "Korekce po startu, Čas 2 [s]");
    EXPECT_EQ(NameOf("UpDownSyticKorekce1", PageKorekce, 1), "Startkorrekturen, Korrekturen bei -10°C 1 [%]");
    EXPECT_EQ(NameOf("UpDownGearNapeti[3]", PageGear, 2), "Tension par rapport, Rapport 3 [mV]");
    EXPECT_EQ(NameOf("UpDownKorVoda[4]", PageKorekce, 0),
              "Temperature Corrections of injection, Coolant, (LabelKorTeplota[4]) [%]");
    // A caption that is only a unit still gives it; a unit the captions lack comes from the row.
    EXPECT_EQ(NameOf("UpDownPolohaBPoz[0]", PagePoloha, 3), "Poloha vstřiku B, Poloha 1 [°]");
    EXPECT_EQ(NameOf("UpDownPilotLight1[5]", PageRace, 0), "Gear Shift Light 1, Gear 6 [rpm]");
    EXPECT_EQ(NameOf("Memo1", PageBike, 2), "Memo sheet");
}

TEST(AccessibleNameComposition, CaptionsAreSpokenWithoutMnemonicsColonsOrStrayBlanks) {
    AccessibleNameRow row{"Field", AnyPage, {}, "[l/h]"};
    row.parts[0] = {NamePart::Kind::Shown, "Frame"};
    row.parts[1] = {NamePart::Kind::Shown, "Row"};
    row.parts[2] = {NamePart::Kind::Number, {}, 7, true, true};
    const ShownText shown = [](std::string_view name) -> std::string {
        return name == "Frame" ? " Fuel && &air:  " : "&Flow :";
    };
    EXPECT_EQ(ComposeAccessibleName(row, 2, 0, shown), "Fuel & air, Flow 9 [l/h]");
    row.unit = {};
    row.parts[0] = {};
    EXPECT_EQ(ComposeAccessibleName(row, 0, 0, shown), "") << "parts after an empty one are not read";
}

TEST(AccessibleNameComposition, TheMapPanelsExtraFieldsAreNamedForThePageInView) {
    EXPECT_EQ(NameOf("UpDownMisc_Uni[1]", PageAdvance, 0), "Correction for cylinder 2");
    EXPECT_EQ(NameOf("UpDownMisc_Uni[1]", PageIap, 1), "Korrektur für Zylinder 2");
    EXPECT_EQ(NameOf("UpDownMisc_Uni[1]", PageJet1A, 0), "IAP -> TP, TPS max");
    EXPECT_EQ(NameOf("UpDownMisc_Uni[3]", PageServoIn, 0), "Step motor, Excitation [us]");
    EXPECT_EQ(FindAccessibleNameRow("UpDownMisc_Uni[1]", PageJetB, nullptr), nullptr);
    EXPECT_TRUE(HasPageNames("UpDownMisc_Uni[1]"));
    EXPECT_FALSE(HasPageNames("UpDownTps0"));
}

// Every bound field of every page, shown or not, has a name of its own there in every language.
TEST(AccessibleNameComposition, EveryBoundFieldHasANameOfItsOwnOnItsPage) {
    for (int language = 0; language < LanguageCount; ++language) {
        std::map<int, std::map<std::string, std::string>> namesByPage;  // page -> name -> control
        auto add = [&](int page, const std::string& control) {
            const std::string name = NameOf(control, page, language);
            EXPECT_NE(name, "<no row>") << control;
            EXPECT_FALSE(name.empty()) << control;
            const auto [it, added] = namesByPage[page].emplace(name, control);
            EXPECT_TRUE(added) << control << " and " << it->second << " are both \"" << name << "\"";
        };
        for (const Binding& row : BindingTable()) {
            // Check boxes are named by their own captions, radio buttons by their items.
            if (row.kind == BindKind::Radio || row.kind == BindKind::Check) continue;
            for (int i = 0; i < row.count; ++i) add(row.page, ControlName(row, i));
        }
        for (int page = 0; page < PageCount; ++page) {
            for (const MiscField& f : MiscFieldsOfPage(page))
                add(page, ArrayElementName("UpDownMisc_Uni", f.element));
        }
    }
}

// --- the window ----------------------------------------------------------------------------------

class QuietPrompts : public UserPrompts {
  public:
    void showMessage(const QString&) override {}
    PromptAnswer askYesNoCancel(const QString&) override { return PromptAnswer::No; }
};

// What a screen reader calls a field. A combo box on Linux reports its current item as its name and
// its caption through the label relation (a buddy label or its frame); elsewhere by its accessible
// name, which must then say the same.
QString AccessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    if (iface == nullptr) return {};
    if (iface->role() != QAccessible::ComboBox) return iface->text(QAccessible::Name);
    QStringList labels;
    // All relations, as the desktop's accessibility bridge asks for them.
    for (const auto& [other, relation] : iface->relations()) {
        if (relation & QAccessible::Label) labels << other->text(QAccessible::Name);
    }
    EXPECT_EQ(labels.join(", "), w->accessibleName()) << w->objectName().toStdString();
    return w->accessibleName();
}

bool IsField(QWidget* w) {
    return qobject_cast<QAbstractSpinBox*>(w) != nullptr || qobject_cast<QComboBox*>(w) != nullptr ||
           qobject_cast<QLineEdit*>(w) != nullptr || qobject_cast<QPlainTextEdit*>(w) != nullptr ||
           qobject_cast<QCheckBox*>(w) != nullptr;
}

class AccessibleWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        StartOptions o;
        o.portOverride = "/nonexistent/tty-for-tests";
        o.settingsDirectory = dir.path();
        window = std::make_unique<TFormHlav>(o, std::make_unique<QuietPrompts>());
        window->timer1()->stop();
        window->resize(TFormHlav::DesignClientWidth, TFormHlav::DesignClientHeight);
        window->show();
        QCoreApplication::processEvents();
        pages = window->findChild<QTabWidget*>("PageControl1");
        ASSERT_NE(pages, nullptr);
    }

    void showPage(int page) {
        pages->setCurrentIndex(page);
        QCoreApplication::processEvents();
    }

    // The fields and check boxes of the page in view that a tuner can reach, by objectName (the map
    // grid's cells are its own business).
    std::map<QString, QWidget*> visibleFields() const {
        std::map<QString, QWidget*> fields;
        for (QWidget* w : pages->currentWidget()->findChildren<QWidget*>()) {
            if (!w->isVisible() || !IsField(w)) continue;
            bool inGrid = false;
            for (QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
                inGrid = inGrid || qobject_cast<QAbstractItemView*>(p) != nullptr;
            if (!inGrid) fields.emplace(w->objectName(), w);
        }
        return fields;
    }

    // As the window switches pages itself (a search result, a replay): the map panel moves onto the
    // page after the switch.
    QString nameOn(int page, const char* control) {
        window->editor().switchToPage(page);
        QCoreApplication::processEvents();
        QWidget* w = window->findChild<QWidget*>(control);
        return w != nullptr ? AccessibleName(w) : QStringLiteral("<missing>");
    }

    // Every page once with its fields as the default configuration shows them, once with the optional
    // groups switched on; page -> objectName -> name.
    using PageNames = std::map<int, std::map<QString, QString>>;
    PageNames checkEveryPage() {
        PageNames names;
        for (int page = 0; page < PageCount; ++page) {
            if (!pages->isTabVisible(page)) continue;
            showPage(page);
            std::set<QString> seen;
            for (const auto& [object, w] : visibleFields()) {
                const QString name = AccessibleName(w);
                EXPECT_FALSE(name.trimmed().isEmpty()) << "page " << page << ": " << object.toStdString();
                if (auto* spin = qobject_cast<QAbstractSpinBox*>(w->parentWidget())) {
                    EXPECT_EQ(name, AccessibleName(spin)) << object.toStdString();  // its edit part
                    continue;
                }
                EXPECT_TRUE(seen.insert(name).second) << "page " << page << ": " << object.toStdString()
                                                      << " shares \"" << name.toStdString() << "\"";
                names[page][object] = name;
            }
        }
        return names;
    }

    void showOptionalGroups() {
        DeviceImage& image = window->image();
        for (const auto& [field, value] :
             std::initializer_list<std::pair<FieldId, int>>{{FieldId::BikeSecial, 1},
                                                            {FieldId::Synchro1, 5},
                                                            {FieldId::Synchro2, 3},
                                                            {FieldId::PocKanOut, 4},
                                                            {FieldId::PotencMode, 1},
                                                            {FieldId::IdleMode, 2},
                                                            {FieldId::IdleAdvOn, 1},
                                                            {FieldId::Gas, 1},
                                                            {FieldId::PocetGear, 6},
                                                            {FieldId::ServoInEnable, 1},
                                                            {FieldId::ServoExEnable, 1},
                                                            {FieldId::ServoInStep, 1}})
            SetFieldValue(image, Field(field), 0, value);
        window->ImageToPage();
        window->RefreshDisplay();
    }

    QTemporaryDir dir;
    std::unique_ptr<TFormHlav> window;
    QTabWidget* pages = nullptr;
};

TEST_F(AccessibleWindow, EveryVisibleFieldOnEveryPageHasANameOfItsOwnInEveryLanguage) {
    for (bool optional : {false, true}) {
        if (optional) showOptionalGroups();
        std::array<PageNames, LanguageCount> byLanguage;
        for (int language = 0; language < LanguageCount; ++language) {
            window->setLanguage(language);
            byLanguage[static_cast<std::size_t>(language)] = checkEveryPage();
        }
        for (int page = 0; page < PageCount; ++page) {
            if (!pages->isTabVisible(page)) continue;
            const auto& english = byLanguage[0][page];
            // The maps that follow Inj-1A are only shown while they are coupled to it.
            if (english.empty() && IsFollowerInjectionPage(page)) continue;
            EXPECT_FALSE(english.empty()) << "page " << page;
            for (int language = 1; language < LanguageCount; ++language) {
                const auto& other = byLanguage[static_cast<std::size_t>(language)][page];
                EXPECT_NE(english, other) << "page " << page << " in language " << language;
            }
        }
    }
}

TEST_F(AccessibleWindow, NamesReadAsTheCaptionsAroundTheField) {
    window->setLanguage(0);
    EXPECT_EQ(nameOn(PageBike, "UpDownStartLimiter"), "Start limiter [rpm]");
    EXPECT_EQ(nameOn(PageBike, "CheckBoxAktClutch"), "Activation by Switch on, Clutch master");
    EXPECT_EQ(nameOn(PageBike, "ComboBoxBike"), "Motorbike Type");
    EXPECT_EQ(nameOn(PageSynchro, "ComboBoxSynchro2"), "Phase synchronisation");
    EXPECT_EQ(nameOn(PageKorekce, "UpDownKorVoda[0]"),
              "Temperature Corrections of injection, Coolant, -10 °C [%]");
    EXPECT_EQ(nameOn(PageKorekce, "EditKorVoda[0]"),
              "Temperature Corrections of injection, Coolant, -10 °C [%]");
    EXPECT_EQ(nameOn(PageCidla, "UpDownCidloVzduch[8]"), "Temperature sensors, Inlet Air, 110 °C [mV]");
    EXPECT_EQ(nameOn(PagePoloha, "CheckBoxAll_PolohaB"), "Position of Injection B, All");
    EXPECT_EQ(nameOn(PageGear, "UpDownGearKorAdv[0]"), "Corrections per gear, Advance, Gear 0-1 [°]");
    EXPECT_EQ(nameOn(PageAdvance, "UpDownMisc_Uni[4]"), "Base advance [°]");
    EXPECT_EQ(nameOn(PageIap, "UpDownMisc_Uni[0]"), "Correction for cylinder 1");
    EXPECT_EQ(nameOn(PageJetB, "UpDownMisc_Uni[0]"), "");

    window->setLanguage(1);
    EXPECT_EQ(nameOn(PageIap, "UpDownMisc_Uni[0]"), "Korrektur für Zylinder 1");
    EXPECT_EQ(nameOn(PageAdvance, "UpDownMisc_Uni[0]"), "Korrektur für Zylinder 1");
    EXPECT_EQ(nameOn(PageBike, "UpDownStartLimiter"), "Startbegrenzer [rpm]");
    EXPECT_EQ(nameOn(PageSynchro, "ComboBoxSynchro1"), "Geberrad");
    EXPECT_EQ(nameOn(PageKorekce, "UpDownKorVoda[0]"),
              "Temperaturkorrekturen der Einspritzung, Kühlwasser, -10 °C [%]");
    EXPECT_EQ(nameOn(PagePoloha, "CheckBoxAll_PolohaB"), "Einspritzlage B, Alle");
    EXPECT_EQ(nameOn(PageGear, "UpDownGearKorAdv[0]"), "Korrekturen je Gang, Zündwinkel, Gang 0-1 [°]");
    EXPECT_EQ(nameOn(PageRace, "UpDownPilotLight2[1]"), "Schaltblitz 2, Gang 2 [rpm]");
    EXPECT_EQ(nameOn(PageCidla, "UpDownApsTlak1"), "Drucksensor - AP, Druck 1 [kPa]");
}

// The idle curve's frame says what it holds in the chosen idle mode; its fields say it too.
TEST_F(AccessibleWindow, TheIdleCurveIsNamedForTheIdleModeChosen) {
    window->setLanguage(0);
    showPage(PageIdle);
    auto* mode = window->findChild<RadioGroup*>("RadioGroupIdleMode");
    ASSERT_NE(mode, nullptr);
    QTest::mouseClick(mode->button(2), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(nameOn(PageIdle, "UpDownIdleServoPoz[0]"), "desired RPM, -10 °C");
    QTest::mouseClick(mode->button(3), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(nameOn(PageIdle, "UpDownIdleServoPoz[2]"), "TPS min, 20 °C [in steps of servo]");
    // An undo that brings the earlier mode back, with the page in view, names the fields for it.
    window->editor().SpeedButtonZpetClick();
    QCoreApplication::processEvents();
    ASSERT_EQ(mode->itemIndex(), 2);
    EXPECT_EQ(AccessibleName(window->findChild<QWidget*>("UpDownIdleServoPoz[0]")), "desired RPM, -10 °C");
}

TEST_F(AccessibleWindow, EachPageTabIsWhereItIsDrawnAndAClickThereOpensItsPage) {
    auto* bar = qobject_cast<PageTabBar*>(pages->tabBar());
    ASSERT_NE(bar, nullptr);
    QAccessibleInterface* header = QAccessible::queryAccessibleInterface(bar);
    ASSERT_NE(header, nullptr);
    ASSERT_GE(header->childCount(), PageCount);
    std::set<int> rows;
    for (int page = 0; page < PageCount; ++page) {
        QAccessibleInterface* tab = header->child(page);
        ASSERT_NE(tab, nullptr);
        EXPECT_EQ(header->indexOfChild(tab), page);
        if (!bar->isTabVisible(page)) {
            EXPECT_TRUE(tab->state().invisible) << page;
            continue;
        }
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), bar->tabText(page));
        const QRect r = tab->rect();
        ASSERT_FALSE(r.isEmpty()) << page;
        EXPECT_EQ(r, QRect(bar->mapToGlobal(bar->pageTabRect(page).topLeft()), r.size()));
        rows.insert(r.top());
        EXPECT_EQ(header->childAt(r.center().x(), r.center().y()), tab) << page;

        const int other = page == PageBike ? PageSynchro : PageBike;
        showPage(other);
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->mapFromGlobal(r.center()));
        QCoreApplication::processEvents();
        EXPECT_EQ(pages->currentIndex(), page) << "a click at the centre of tab " << page;
        EXPECT_TRUE(tab->state().selected);

        showPage(other);
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(pages->currentIndex(), page) << "pressing tab " << page;
    }
    EXPECT_GE(rows.size(), 2u) << "the tabs of the design window wrap onto more than one row";
}

TEST_F(AccessibleWindow, TabPlacesFollowTheirTextsAndVisibility) {
    auto* bar = qobject_cast<PageTabBar*>(pages->tabBar());
    ASSERT_NE(bar, nullptr);
    const QString before = bar->tabText(PageBike);
    const int narrow = bar->pageTabRect(PageBike).width();
    bar->setTabText(PageBike, before + QString(40, QLatin1Char('W')));
    EXPECT_GT(bar->pageTabRect(PageBike).width(), narrow) << "a longer text takes more room";
    bar->setTabText(PageBike, before);
    EXPECT_EQ(bar->pageTabRect(PageBike).width(), narrow);

    const bool shown = bar->isTabVisible(PageSynchro);
    bar->setTabVisible(PageSynchro, false);
    EXPECT_TRUE(bar->pageTabRect(PageSynchro).isEmpty());
    bar->setTabVisible(PageSynchro, true);
    EXPECT_FALSE(bar->pageTabRect(PageSynchro).isEmpty());
    bar->setTabVisible(PageSynchro, shown);
}

}  // namespace
}  // namespace torvane
