#pragma once
// Conversions between stored values of the device image and the values the pages show: linear byte
// scalings, the percentage view of the 16-bit injection maps over per-type reference tables, and the
// two representations of servo positions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/fields.h"
#include "image/reference_tables.h"

namespace torvane {

class DeviceImage;

// shown = a * stored + c.
int ScaleToShown(int a, int c, int stored);
// stored = (shown - c) / a, integer division, cut to the low 8 bits (a shown value below c wraps).
// a = 0 is treated as 1.
std::uint8_t ScaleToStored(int a, int c, int shown);

// raw as a percentage of ref, rounded half up; 0 when ref is 0.
std::uint32_t PercentFromRaw(std::uint32_t raw, std::uint32_t ref);
// pct percent of ref, rounded half up; 65535 at most.
std::uint16_t RawFromPercent(std::uint32_t pct, std::uint32_t ref);
// Linear interpolation of f between (x0, f0) and (x1, f1), held at the ends; 16-bit result.
std::uint16_t Interpolate(std::uint32_t x, std::uint32_t x0, std::uint32_t x1, std::uint32_t f0,
                          std::uint32_t f1);

// The five 16-bit injection maps shown as percentages of a reference.
enum class InjectionMap { Jet1A, Jet2A, Jet3A, Jet4A, Iap };
inline constexpr int InjectionMapCount = 5;
inline constexpr int MapCells = 150;
inline constexpr std::uint16_t MinimumReference = 100;  // µs; smaller references would blow up percentages

FieldId InjectionMapField(InjectionMap map);      // Jet1A ... Iap
FieldId InjectionMapAxisField(InjectionMap map);  // RpmJet1A ... RpmIap

// Working state of the injection percentage view, kept beside the image and never stored or sent.
struct InjectionWork {
    // Chosen by SelectReferenceTables from Bike; the three families of one type share the column count.
    const RefTable* ext = nullptr;     // channels 1 and 4
    const RefTable* intake = nullptr;  // channels 2 and 3 (the Int family)
    const RefTable* iap = nullptr;     // the Iap map
    bool fifteenColumns = false;

    // Per map (indexed by InjectionMap): reference in µs and shown percentage of each cell.
    std::array<std::array<std::uint16_t, MapCells>, InjectionMapCount> reference{};
    std::array<std::array<std::uint16_t, MapCells>, InjectionMapCount> percent{};

    std::array<std::uint16_t, MapCells>& referenceOf(InjectionMap m) {
        return reference[static_cast<std::size_t>(m)];
    }
    const std::array<std::uint16_t, MapCells>& referenceOf(InjectionMap m) const {
        return reference[static_cast<std::size_t>(m)];
    }
    std::array<std::uint16_t, MapCells>& percentOf(InjectionMap m) {
        return percent[static_cast<std::size_t>(m)];
    }
    const std::array<std::uint16_t, MapCells>& percentOf(InjectionMap m) const {
        return percent[static_cast<std::size_t>(m)];
    }
};

// True for the Bike codes whose reference tables have 15 columns (2, 17, 18, 29, 42, 46, 48, 50 and up).
bool HasFifteenColumnReference(std::uint8_t bike);

// Picks the three reference tables from Bike and sets the 10/15-column choice.
void SelectReferenceTables(const DeviceImage& image, InjectionWork& work);
// Recomputes the five reference arrays from the selected tables and the maps' current rpm axes.
// Selects the tables first when none are selected yet.
void ComputeInjectionReference(const DeviceImage& image, InjectionWork& work);

// Image -> percentages of one map (or all) over the current references.
void InjectionPercentFromImage(const DeviceImage& image, InjectionWork& work, InjectionMap map);
void InjectionPercentFromImage(const DeviceImage& image, InjectionWork& work);
// Percentages -> stored µs of one map over the current references, every cell rewritten.
void InjectionImageFromPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map);
// The same for the cells an edit changed: a cell whose stored µs still give its percentage over an
// unchanged reference keeps its µs to the microsecond, so an edit never rounds the rest of a map (read
// from the unit off the 1 % grid) to whole percent. previousReference is the map's reference before the
// edit (it differs where an axis moved).
void InjectionImageFromChangedPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map,
                                      const std::array<std::uint16_t, MapCells>& previousReference);
void InjectionImageFromChangedPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map);

// The "Ms" view of a 16-bit injection cell: stored µs / 1000 as "%5.3f ".
std::string MillisecondsText(std::uint16_t raw);

// Servo map cells: percent, or units of 20 (shown 0..5000).
std::uint8_t ServoToPercent(std::uint8_t b);    // (2b + 2) / 5
std::uint8_t ServoFromPercent(std::uint8_t b);  // 5b / 2
// Shown step of the servo map cells: 1 when its percent flag is on, else 20.
int ServoMapStep(const DeviceImage& image, bool intake);
// Converts the 150 cells of a servo map in place when its percent flag is switched.
void ConvertServoMap(DeviceImage& image, bool intake, bool toPercent);

// Step and maximum of the shown idle servo values for the current IdleMode and ServoInProcent.
struct IdleServoScale {
    int step;
    int maximum;
};
IdleServoScale IdleServoScaleOf(const DeviceImage& image);
// Converts the nine IdleServoPoz bytes to or from percent.
void ConvertIdleServoValues(DeviceImage& image, bool toPercent);
// The idle-mode radio group changes from previousMode to newMode: percent values of the intake servo
// mode are converted out of and into percent. Does not write IdleMode itself.
void ConvertIdleServoForModeChange(DeviceImage& image, std::uint8_t previousMode, std::uint8_t newMode);

}  // namespace torvane
