#pragma once
// The values the window keeps from one run to the next: the settings file's section "BASIC",
// the image backup file and the diagnostics marker. Plain data here; the window applies them.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "image/device_image.h"
#include "settings/ini_file.h"

namespace torvane {

inline constexpr std::string_view SettingsSection = "BASIC";

struct SettingsValues {
    int Left = 0;
    int Top = 0;
    int Height = 0;
    int Width = 0;
    std::uint8_t ComPortIndex = 1;
    std::uint8_t LanguageIndex = 0;
    std::string File;    // caption of LabelFile2
    std::string IniDir;  // last parameter file, start of the open and save dialogs
    int ActivePageIndex = 0;
    bool ZobrMs = false;      // CheckBoxZobrMs_Uni
    bool ExtMonitor = false;  // CheckBoxExtMonitor
    bool AllPolohaA = false;  // CheckBoxAll_PolohaA
    bool AllPolohaB = false;  // CheckBoxAll_PolohaB
};

// Reads every key in its order; an absent key keeps the value passed in. "ComPort" holds the
// port number from 1, so the index is the value minus one in 8 bits (absent or 0 gives 255).
void ReadSettingsValues(const IniFile& ini, SettingsValues& values);
void WriteSettingsValues(IniFile& ini, const SettingsValues& values);

// Text of the image backup file: bytes 300..3299 as "%5u " in lines of ten with an empty line after
// every hundred, then the 19 "All" states and the ten IapAxis words, each "%5u ".
// allStates: the map pages' "All" check boxes, one per page.
std::string ImageBackupText(const DeviceImage& image, std::span<const std::uint8_t> allStates);

struct BackupReadCounts {
    std::size_t imageBytes = 0;
    std::size_t allStates = 0;
    std::size_t iapWords = 0;
};
// Reads whitespace-separated unsigned numbers in the order they are written. Bytes keep the low
// 8 bits, IapAxis words the low 16 bits. Anything that is not a number ends the reading; what was
// read so far stays, the rest keeps its previous value.
BackupReadCounts ReadImageBackup(std::string_view text, DeviceImage& image,
                                 std::span<std::uint8_t> allStates);

// True when a whitespace-separated word of the marker text is exactly "PROBE_LEVEL".
// Words longer than 255 characters are skipped.
bool DiagnosticsMarkerEnables(std::string_view text);

}  // namespace torvane
