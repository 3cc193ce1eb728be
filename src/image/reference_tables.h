#pragma once
// Compiled-in data tables the unit's defaults are built from: the reference injection tables of the
// three load-sensing families, and the per-type advance, injection B and exhaust/intake servo tables.
// The numbers live in CSV files under src/image/data and are turned into C++ at build time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace torvane {

// Load sensing family of a reference table: throttle with external or internal sensor, or manifold pressure.
enum class RefFamily { Ext, Int, Iap };

// One reference injection table: 10 rows (load points) x `columns` (10 or 15 rpm points), row-major,
// injection times in units of 10 us.
struct RefTable {
    int columns;
    std::span<const std::uint16_t> values;
};

// Reference table of a family for a Bike code; codes >= 50 (custom) use group 14.
const RefTable& ReferenceTableForBike(RefFamily family, std::uint8_t bike);

// Reference group 1..23 of a Bike code; codes >= 50 belong to group 14.
int ReferenceGroupOfBike(std::uint8_t bike);

// Ignition advance of a type, in degrees: a full 10 x 15 map (150 values, row-major) or one row of 15.
struct AdvanceTable {
    bool fullMap;
    std::span<const std::int16_t> degrees;
};

// nullptr for bike >= 50.
const AdvanceTable* AdvanceTableForBike(std::uint8_t bike);

// Stored bytes of the injection B map (10 x 15, row-major); nullptr for bike >= 50.
const std::array<std::uint8_t, 150>* InjectionBTableForBike(std::uint8_t bike);

// Servo map of a type for the intake or exhaust servo, in shown units:
//   entries[0]      hysteresis in mV (5 x the stored hysteresis of the servo scalars),
//   entries[1..15]  rpm axis in rpm,
//   entries[16..]   150 cells (10 x 15 map, servo mode 0) or 15 cells (one row, servo mode 1);
//                   percent when the type's procent flag is 1, otherwise the shown position
//                   (stored byte x 20).
struct ServoTable {
    std::span<const std::uint16_t> entries;
};

// nullptr for bike >= 50.
const ServoTable* ServoTableForBike(std::uint8_t bike, bool intake);

// Where the parts of a servo table start.
inline constexpr std::size_t kServoHysteresisEntry = 0;
inline constexpr std::size_t kServoRpmEntry = 1;
inline constexpr std::size_t kServoCellEntry = 16;

// Shown unit of the cells of a servo table: 1 (percent) or 20 (stored byte x 20); 0 for bike >= 50.
// It always agrees with the type's procent flag of that servo.
int ServoCellStep(std::uint8_t bike, bool intake);

}  // namespace torvane
