#include "app/window/window_actions.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

#include "settings/platform_paths.h"
#include "text/message_table.h"

namespace torvane {
namespace {

using A = WindowAction;
using M = WindowMenu;

struct MenuRow {
    M menu;
    M parent;  // the menu it sits in; itself for the menus of the bar
    const char* objectName;
    const char* caption;
};
// Menus in the order of the bar; submenus after their menu.
constexpr MenuRow kMenus[] = {
    {M::File, M::File, "MenuFile", "&File"},
    {M::Com, M::Com, "MenuCom", "&Com"},
    {M::Device, M::Device, "MenuDevice", "&Ignition"},
    {M::Tools, M::Tools, "MenuTools", "Tools"},
    {M::JetMode, M::Tools, "Menu_Jet123Mode", "Jet 1234"},
    {M::Service, M::Tools, "MenuServis", "Servis"},
    {M::Language, M::Language, "MenuLanguage", "&Language"},
    {M::Help, M::Help, "MenuHelp", "&Help"},
};

struct ActionRow {
    A action;
    M menu;
    const char* objectName;
    const char* caption;  // the language replaces it
    const char* key;      // shortcut ("" for none)
    bool separatorBefore = false;
    bool checkable = false;
};
// Entries in menu order. The captions of Print to PDF, Restore points and Differences come with the
// language.
constexpr ActionRow kActions[] = {
    {A::New, M::File, "MenuNew", "&New", "Ctrl+N"},
    {A::NewForPage, M::File, "MenuNewActPage", "New for actual page", ""},
    {A::Open, M::File, "MenuOpen", "&Open", "F3"},
    {A::OpenForPage, M::File, "MenuOpenActPage", "Open for actual page", ""},
    {A::Save, M::File, "MenuSave", "&Save", "F2"},
    {A::Print, M::File, "MenuPrint", "&Print", "Ctrl+P"},
    {A::RestorePoints, M::File, "MenuRestorePoints", "Restore points...", ""},
    {A::PrintPdf, M::File, "MenuPrintPdf", "", ""},
    {A::Exit, M::File, "MenuExit", "E&xit", "", true},
    {A::Read, M::Device, "MenuRead", "&Read", "F7"},
    {A::Verify, M::Device, "MenuVerify", "&Verify", "F8"},
    {A::Program, M::Device, "MenuProgram", "&Program", "F9"},
    {A::UnitDifferences, M::Device, "MenuUnitDifferences", "Differences from the unit...", ""},
    {A::Minus, M::Tools, "MenuToolsMinus", "Minus ", "F4"},
    {A::Plus, M::Tools, "MenuToolsPlus", "Plus", "F5"},
    {A::Undo, M::Tools, "MenuZpet", "Undo", "Ctrl+Z"},
    {A::Redo, M::Tools, "MenuZnovu", "Redo", "Ctrl+Alt+Z"},
    {A::JetSeparate, M::JetMode, "Menu_Jet123Normal", "Separate", "", false, true},
    {A::JetCoupled, M::JetMode, "Menu_Jet123Coupled", "Coupled", "", false, true},
    {A::JetSame, M::JetMode, "Menu_Jet123Stejny", "1=2=3=4", "", false, true},
    {A::SaveAllNew, M::Service, "MenuSaveAllNew", "Save All New", ""},
    {A::CompareAll, M::Service, "MenuCompareAll", "Compare All New", ""},
    {A::Contents, M::Help, "MenuContens", "&Contents...", "F1"},
    {A::About, M::Help, "MenuAbout", "&About...", ""},
};
static_assert(std::size(kActions) == static_cast<std::size_t>(A::Count), "every action has its row");

}  // namespace

WindowActions::WindowActions(QMainWindow& window) {
    QMenuBar* bar = window.menuBar();
    for (const MenuRow& row : kMenus) {
        QMenu* parent = menus_[static_cast<std::size_t>(row.parent)];
        QMenu* menu = row.parent == row.menu ? bar->addMenu(row.caption) : parent->addMenu(row.caption);
        menu->setObjectName(row.objectName);
        menus_[static_cast<std::size_t>(row.menu)] = menu;
        if (row.menu == M::Com) {
            // The port entries: one of them checked; their tips name the device.
            auto* ports = new QActionGroup(&window);
            ports->setExclusive(true);
            for (int i = 0; i < ComPorts; ++i) {
                QAction* a = menu->addAction(QString("Com %1").arg(i + 1));
                a->setObjectName(QString("MenuCom%1").arg(i + 1));
                a->setCheckable(true);
                a->setStatusTip(QString::fromStdString(ComPortDevice(i)));
                ports->addAction(a);
                comPorts_[static_cast<std::size_t>(i)] = a;
            }
        }
        if (row.menu == M::Language) {
            auto* languages = new QActionGroup(&window);
            const char* const names[] = {"MenuEnglish", "MenuGerman", "MenuFrench", "MenuCzech"};
            const char* const captions[] = {"&English", "&German", "&French", "&Czech"};
            for (int i = 0; i < Languages; ++i) {
                QAction* a = menu->addAction(captions[i]);
                a->setObjectName(names[i]);
                a->setCheckable(true);
                languages->addAction(a);
                languages_[static_cast<std::size_t>(i)] = a;
            }
        }
    }
    for (const ActionRow& row : kActions) {
        QMenu* menu = menus_[static_cast<std::size_t>(row.menu)];
        if (row.separatorBefore) menu->addSeparator();
        // The Jet and Service submenus sit after Tools' own entries.
        QAction* a = new QAction(row.caption, menu);
        if (row.menu == M::Tools)
            menu->insertAction(menus_[static_cast<std::size_t>(M::JetMode)]->menuAction(), a);
        else
            menu->addAction(a);
        a->setObjectName(row.objectName);
        if (*row.key != '\0') a->setShortcut(QKeySequence(QLatin1String(row.key)));
        a->setCheckable(row.checkable);
        actions_[static_cast<std::size_t>(row.action)] = a;
    }
    actions_[static_cast<std::size_t>(A::PrintPdf)]->setText(
        QString::fromStdString(WindowTextOf(WindowText::PrintToPdf, 0)));
}

}  // namespace torvane
