#include "image/reference_tables.h"

#include <algorithm>
#include <array>
#include <vector>

#include "image/data/table_rows.h"

namespace torvane {
namespace {

using tabledata::CsvRow;

constexpr int kTypeCount = 50;
constexpr int kRows = 10;
constexpr int kMaxTableId = 24;  // pressure tables use one more id (code 48)
constexpr int kCustomGroup = 14;

// Reference group of every catalogue code.
constexpr std::array<std::int8_t, kTypeCount> kGroupOfCode = {
    1,  1,  2,  3,  4,  5,  6,  7,  23, 23,  // 0-9
    7,  8,  9,  6,  6,  6,  7,  10, 10, 11,  // 10-19
    11, 23, 12, 12, 12, 23, 13, 13, 13, 14,  // 20-29
    15, 15, 23, 23, 23, 16, 16, 23, 17, 17,  // 30-39
    18, 17, 10, 19, 20, 21, 22, 19, 22, 1,   // 40-49
};

constexpr int ColumnsOfGroup(int group) {
    return (group == 2 || group == 10 || group == 14 || group == 22) ? 15 : 10;
}

// The pressure family shares one table between groups 2 and 14 and splits group 22 by code.
int IapTableId(int group, std::uint8_t bike) {
    if (group == kCustomGroup) return 2;
    if (bike == 48) return 24;
    return group;
}

bool InRange(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return v >= lo && v <= hi;
}

struct Family {
    std::array<std::vector<std::uint16_t>, kMaxTableId + 1> values;
    std::array<RefTable, kMaxTableId + 1> tables{};
};

struct Store {
    Family ext, inner, iap;
    // Neutral 1 ms tables of both widths, offered only if a table of the data files is unusable.
    std::vector<std::uint16_t> fallbackValues;
    RefTable fallback10{}, fallback15{};

    std::vector<std::vector<std::int16_t>> advanceValues;
    std::vector<AdvanceTable> advance;
    std::vector<std::array<std::uint8_t, 150>> injectionB;
    std::vector<std::vector<std::uint16_t>> servoValues;
    std::vector<int> servoStep;
    std::vector<ServoTable> servo;

    // Per code: index into advance, injectionB, servo (intake), servo (exhaust); -1 when missing.
    std::array<std::array<int, 4>, kTypeCount> ofType{};
};

// Collects the rows of each table id; a table whose rows are missing, out of order, of mixed width
// or out of range stays empty, and its lookups fall back to a neutral table.
void LoadFamily(std::span<const CsvRow> rows, Family& family) {
    std::array<int, kMaxTableId + 1> nextRow{};
    std::array<int, kMaxTableId + 1> width{};
    std::array<bool, kMaxTableId + 1> bad{};
    for (const CsvRow& row : rows) {
        if (row.count < 3 || row.count > 17) continue;
        if (!InRange(row.field[0], 1, kMaxTableId)) continue;
        const auto id = static_cast<std::size_t>(row.field[0]);
        const int cols = row.count - 2;
        if (row.field[1] != nextRow[id] || (width[id] != 0 && width[id] != cols) ||
            (cols != 10 && cols != 15))
            bad[id] = true;
        width[id] = cols;
        ++nextRow[id];
        for (int c = 0; c < cols; ++c) {
            const std::int32_t v = row.field[2 + c];
            if (!InRange(v, 0, 0xFFFF)) bad[id] = true;
            family.values[id].push_back(static_cast<std::uint16_t>(v));
        }
    }
    for (std::size_t id = 1; id <= kMaxTableId; ++id) {
        if (bad[id] || nextRow[id] != kRows) {
            family.values[id].clear();
            continue;
        }
        family.tables[id] = RefTable{width[id], family.values[id]};
    }
}

void LoadAdvance(std::span<const CsvRow> rows, Store& s) {
    for (const CsvRow& row : rows) {
        if (row.count != 17 || row.field[0] < 0 || row.field[0] > 255) continue;
        const auto id = static_cast<std::size_t>(row.field[0]);
        if (s.advanceValues.size() <= id) s.advanceValues.resize(id + 1);
        auto& v = s.advanceValues[id];
        if (static_cast<std::int32_t>(v.size()) != 15 * row.field[1]) continue;  // rows must come in order
        for (int c = 0; c < 15; ++c)
            v.push_back(static_cast<std::int16_t>(std::clamp<std::int32_t>(row.field[2 + c], 0, 60)));
    }
    for (const auto& v : s.advanceValues) {
        const bool full = v.size() == 150;
        s.advance.push_back(AdvanceTable{full, (full || v.size() == 15) ? std::span<const std::int16_t>(v)
                                                                        : std::span<const std::int16_t>()});
    }
}

void LoadInjectionB(std::span<const CsvRow> rows, Store& s) {
    for (const CsvRow& row : rows) {
        if (row.count != 17 || !InRange(row.field[0], 0, 255) || !InRange(row.field[1], 0, kRows - 1))
            continue;
        const auto id = static_cast<std::size_t>(row.field[0]);
        if (s.injectionB.size() <= id) {
            s.injectionB.resize(id + 1, std::array<std::uint8_t, 150>{});
        }
        for (int c = 0; c < 15; ++c)
            s.injectionB[id][static_cast<std::size_t>(15 * row.field[1] + c)] =
                static_cast<std::uint8_t>(std::clamp<std::int32_t>(row.field[2 + c], 0, 100));
    }
}

void LoadServo(std::span<const CsvRow> rows, Store& s) {
    using tabledata::kServoHysteresisLine;
    using tabledata::kServoRpmLine;
    using tabledata::kServoStepLine;
    std::vector<std::array<std::uint16_t, kServoCellEntry>> head;
    std::vector<std::vector<std::uint16_t>> cells;
    for (const CsvRow& row : rows) {
        if (row.count < 3 || !InRange(row.field[0], 0, 255)) continue;
        const auto id = static_cast<std::size_t>(row.field[0]);
        if (head.size() <= id) {
            head.resize(id + 1, {});
            cells.resize(id + 1);
            s.servoStep.resize(id + 1, 0);
        }
        const std::int32_t line = row.field[1];
        if (line == kServoHysteresisLine) {
            head[id][kServoHysteresisEntry] = static_cast<std::uint16_t>(std::clamp(row.field[2], 0, 1275));
        } else if (line == kServoStepLine) {
            s.servoStep[id] = row.field[2] == 1 ? 1 : 20;
        } else if (line == kServoRpmLine && row.count == 17) {
            for (std::size_t c = 0; c < 15; ++c)
                head[id][kServoRpmEntry + c] =
                    static_cast<std::uint16_t>(std::clamp(row.field[2 + c], 0, 25500));
        } else if (row.count == 17 && static_cast<std::int32_t>(cells[id].size()) == 15 * line) {
            for (int c = 0; c < 15; ++c)
                cells[id].push_back(static_cast<std::uint16_t>(std::clamp(row.field[2 + c], 0, 5000)));
        }
    }
    for (std::size_t id = 0; id < head.size(); ++id) {
        std::vector<std::uint16_t> entries(head[id].begin(), head[id].end());
        if (cells[id].size() == 15 || cells[id].size() == 150)
            entries.insert(entries.end(), cells[id].begin(), cells[id].end());
        else
            entries.clear();  // a table without a whole row or map is not offered
        s.servoValues.push_back(std::move(entries));
    }
    for (const auto& v : s.servoValues) s.servo.push_back(ServoTable{v});
}

// Fills the store in place: the spans handed out point into its vectors.
void Build(Store& s) {
    LoadFamily(tabledata::referenceExt, s.ext);
    LoadFamily(tabledata::referenceInt, s.inner);
    LoadFamily(tabledata::referenceIap, s.iap);
    s.fallbackValues.assign(kRows * 15, 100);
    s.fallback10 = RefTable{10, std::span<const std::uint16_t>(s.fallbackValues).first(kRows * 10)};
    s.fallback15 = RefTable{15, s.fallbackValues};
    LoadAdvance(tabledata::advance, s);
    LoadInjectionB(tabledata::injectionB, s);
    LoadServo(tabledata::servo, s);

    for (auto& t : s.ofType) t.fill(-1);
    const std::array<std::size_t, 4> sizes = {s.advance.size(), s.injectionB.size(), s.servo.size(),
                                              s.servo.size()};
    for (const CsvRow& row : tabledata::typeTables) {
        if (row.count != 5 || !InRange(row.field[0], 0, kTypeCount - 1)) continue;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::int32_t id = row.field[1 + k];
            if (id >= 0 && static_cast<std::size_t>(id) < sizes[k])
                s.ofType[static_cast<std::size_t>(row.field[0])][k] = id;
        }
    }
}

const Store& TheStore() {
    static const Store& store = *[] {
        auto* s = new Store;  // lives as long as the program; never destroyed, so no shutdown order issue
        Build(*s);
        return s;
    }();
    return store;
}

}  // namespace

int ReferenceGroupOfBike(std::uint8_t bike) {
    return bike < kTypeCount ? kGroupOfCode[bike] : kCustomGroup;
}

const RefTable& ReferenceTableForBike(RefFamily family, std::uint8_t bike) {
    const Store& s = TheStore();
    const int group = ReferenceGroupOfBike(bike);
    const RefTable* table = nullptr;
    switch (family) {
        case RefFamily::Ext:
            table = &s.ext.tables[static_cast<std::size_t>(group)];
            break;
        case RefFamily::Int:
            table = &s.inner.tables[static_cast<std::size_t>(group)];
            break;
        case RefFamily::Iap:
            table = &s.iap.tables[static_cast<std::size_t>(IapTableId(group, bike))];
            break;
    }
    if (table == nullptr || table->columns != ColumnsOfGroup(group))
        return ColumnsOfGroup(group) == 15 ? s.fallback15 : s.fallback10;
    return *table;
}

const AdvanceTable* AdvanceTableForBike(std::uint8_t bike) {
    if (bike >= kTypeCount) return nullptr;
    const Store& s = TheStore();
    const int id = s.ofType[bike][0];
    if (id < 0 || s.advance[static_cast<std::size_t>(id)].degrees.empty()) return nullptr;
    return &s.advance[static_cast<std::size_t>(id)];
}

const std::array<std::uint8_t, 150>* InjectionBTableForBike(std::uint8_t bike) {
    if (bike >= kTypeCount) return nullptr;
    const Store& s = TheStore();
    const int id = s.ofType[bike][1];
    return id < 0 ? nullptr : &s.injectionB[static_cast<std::size_t>(id)];
}

const ServoTable* ServoTableForBike(std::uint8_t bike, bool intake) {
    if (bike >= kTypeCount) return nullptr;
    const Store& s = TheStore();
    const int id = s.ofType[bike][intake ? 2 : 3];
    if (id < 0 || s.servo[static_cast<std::size_t>(id)].entries.empty()) return nullptr;
    return &s.servo[static_cast<std::size_t>(id)];
}

int ServoCellStep(std::uint8_t bike, bool intake) {
    if (ServoTableForBike(bike, intake) == nullptr) return 0;
    return TheStore().servoStep[static_cast<std::size_t>(TheStore().ofType[bike][intake ? 2 : 3])];
}

}  // namespace torvane
