#pragma once
// Rows of the table CSV files as the build turns them into C++ (see csv_to_cpp.cmake).

#include <cstdint>
#include <span>

namespace torvane::tabledata {

// Word keys of the second column of servo.csv.
inline constexpr std::int32_t kServoHysteresisLine = -3;
inline constexpr std::int32_t kServoStepLine = -2;
inline constexpr std::int32_t kServoRpmLine = -1;

struct CsvRow {
    std::int32_t count;      // fields used
    std::int32_t field[17];  // table, row, up to 15 values (type_tables.csv: 5 fields)
};

extern const std::span<const CsvRow> referenceExt;
extern const std::span<const CsvRow> referenceInt;
extern const std::span<const CsvRow> referenceIap;
extern const std::span<const CsvRow> advance;
extern const std::span<const CsvRow> injectionB;
extern const std::span<const CsvRow> servo;
extern const std::span<const CsvRow> typeTables;

}  // namespace torvane::tabledata
