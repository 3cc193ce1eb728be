#pragma once
// Where the configurator keeps its files, and which device each port menu entry opens.

#include <cstdint>
#include <string>

namespace torvane {

inline constexpr int ComPortCount = 20;

// "Torvane_2008" + "_v" + ProgramVersion + "ini": no dot before "ini".
std::string SettingsFileName();
// The image backup file: "_" followed by the settings file name.
std::string ImageBackupFileName();
// The diagnostics marker file name.
std::string DiagnosticsMarkerFileName();

// $XDG_CONFIG_HOME/torvane, or ~/.config/torvane when XDG_CONFIG_HOME is unset or empty.
std::string SettingsDirectory();

// The device behind port menu entry index (0-based): Com 1-4 -> /dev/ttyS0-3, Com 5-12 -> /dev/ttyUSB0-7,
// Com 13-20 -> /dev/ttyACM0-7. On Windows "COMn". An index outside 0..19 gives an empty name.
std::string ComPortDevice(int index);

}  // namespace torvane
