#include "settings/platform_paths.h"

#include <cstdlib>

#include "image/device_image.h"

namespace torvane {

std::string SettingsFileName() {
    return "Torvane_2008_v" + std::to_string(ProgramVersion) + "ini";
}

std::string ImageBackupFileName() {
    return "_" + SettingsFileName();
}

std::string DiagnosticsMarkerFileName() {
    return "test_brelun.txt";
}

std::string SettingsDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && *xdg != '\0') return std::string(xdg) + "/torvane";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.config/torvane";
}

std::string ComPortDevice(int index) {
    if (index < 0 || index >= ComPortCount) return {};
#ifdef _WIN32
    return "COM" + std::to_string(index + 1);
#else
    if (index < 4) return "/dev/ttyS" + std::to_string(index);
    if (index < 12) return "/dev/ttyUSB" + std::to_string(index - 4);
    return "/dev/ttyACM" + std::to_string(index - 12);
#endif
}

}  // namespace torvane
