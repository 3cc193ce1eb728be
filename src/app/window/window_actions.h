#pragma once
// The window's menus and their entries in one registry. Each entry is built once from a table (menu,
// objectName, caption, shortcut) and is handed out by its identifier, so code never looks an entry up
// by its name. The tools add their menus to it.

#include <array>
#include <cstddef>

class QAction;
class QMainWindow;
class QMenu;

namespace torvane {

enum class WindowMenu { File, Com, Device, Tools, JetMode, Service, Language, Help, Cells, View, Count };

enum class WindowAction {
    New,
    NewForPage,
    Open,
    OpenForPage,
    Save,
    Print,
    RestorePoints,
    PrintPdf,
    Exit,
    Read,
    Verify,
    Program,
    UnitDifferences,
    Minus,
    Plus,
    Undo,
    Redo,
    JetSeparate,
    JetCoupled,
    JetSame,
    SaveAllNew,
    CompareAll,
    Contents,
    About,
    Count
};

class WindowActions {
  public:
    static constexpr int ComPorts = 20;
    static constexpr int Languages = 4;

    // Builds the menu bar of the window: File, Com, Ignition, Tools, Language, Help.
    explicit WindowActions(QMainWindow& window);

    QAction* operator[](WindowAction which) const { return actions_[static_cast<std::size_t>(which)]; }
    QMenu* menu(WindowMenu which) const { return menus_[static_cast<std::size_t>(which)]; }
    // A menu another part of the window adds to the bar (the tools' Cells and View menus).
    void addMenu(WindowMenu which, QMenu* menu) { menus_[static_cast<std::size_t>(which)] = menu; }
    QAction* comPort(int index) const { return comPorts_[static_cast<std::size_t>(index)]; }
    QAction* language(int index) const { return languages_[static_cast<std::size_t>(index)]; }

  private:
    std::array<QAction*, static_cast<std::size_t>(WindowAction::Count)> actions_{};
    std::array<QMenu*, static_cast<std::size_t>(WindowMenu::Count)> menus_{};
    std::array<QAction*, ComPorts> comPorts_{};
    std::array<QAction*, Languages> languages_{};
};

}  // namespace torvane
