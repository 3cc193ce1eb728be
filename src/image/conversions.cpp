#include "image/conversions.h"

#include <cstdio>

#include "image/device_image.h"
#include "image/fields.h"

namespace torvane {

namespace {

constexpr std::array<std::uint32_t, 10> ColumnRpm10 = {1000, 2000,  3000,  4000,  6000,
                                                       8000, 10000, 12000, 14000, 16000};
constexpr std::array<std::uint32_t, 15> ColumnRpm15 = {1000, 2000,  3000,  4000,  5000,  6000,  7000, 8000,
                                                       9000, 10000, 11000, 12000, 13000, 14000, 16000};
// Throttle points in tenths of a percent: the rows of the throttle tables and of the Jet maps.
constexpr std::array<std::uint32_t, 10> ThrottleRows = {0, 20, 50, 100, 200, 300, 400, 600, 800, 1000};
// Pressure points of the Iap tables; the Iap map is always evaluated at the 15-column points.
constexpr std::array<std::uint32_t, 10> PressureRows15 = {300, 500, 600, 700, 750, 800, 850, 900, 950, 1000};
constexpr std::array<std::uint32_t, 10> PressureRows10 = {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};

constexpr std::array<FieldId, InjectionMapCount> MapFields = {FieldId::Jet1A, FieldId::Jet2A, FieldId::Jet3A,
                                                              FieldId::Jet4A, FieldId::Iap};
constexpr std::array<FieldId, InjectionMapCount> AxisFields = {
    FieldId::RpmJet1A, FieldId::RpmJet2A, FieldId::RpmJet3A, FieldId::RpmJet4A, FieldId::RpmIap};

constexpr int Rows = 10;
constexpr int Columns = 15;

const RefTable* TableOfMap(const InjectionWork& work, InjectionMap map) {
    switch (map) {
        case InjectionMap::Jet1A:
        case InjectionMap::Jet4A:
            return work.ext;
        case InjectionMap::Jet2A:
        case InjectionMap::Jet3A:
            return work.intake;
        case InjectionMap::Iap:
            return work.iap;
    }
    return nullptr;
}

// Reference array of one map from its table and rpm axis; a missing or malformed table leaves the
// minimum reference everywhere rather than reading outside it.
void ComputeMapReference(const DeviceImage& image, const RefTable* table, InjectionMap map,
                         std::array<std::uint16_t, MapCells>& out) {
    out.fill(MinimumReference);
    if (table == nullptr) return;
    const int n = table->columns;
    if ((n != 10 && n != 15) || table->values.size() < static_cast<std::size_t>(Rows * n)) return;
    const std::uint32_t* colPts = n == 15 ? ColumnRpm15.data() : ColumnRpm10.data();
    const bool iap = map == InjectionMap::Iap;
    const auto& tblRows = iap ? (n == 15 ? PressureRows15 : PressureRows10) : ThrottleRows;
    const auto& mapRows = iap ? PressureRows15 : ThrottleRows;
    const FieldInfo& axis = Field(InjectionMapAxisField(map));
    const auto T = [&](int r, int c) -> std::uint32_t {
        return 10u * table->values[static_cast<std::size_t>(r * n + c)];
    };

    for (int c = 0; c < Columns; ++c) {
        const auto x = static_cast<std::uint32_t>(100 * FieldValue(image, axis, c));
        int k = 1;
        while (k < n - 1 && colPts[k] <= x) ++k;
        for (int r = 0; r < Rows; ++r) {
            const std::uint32_t y = mapRows[static_cast<std::size_t>(r)];
            int m = 1;
            while (m < Rows - 1 && tblRows[static_cast<std::size_t>(m)] <= y) ++m;
            const std::uint32_t x0 = colPts[k - 1], x1 = colPts[k];
            const std::uint16_t low = Interpolate(x, x0, x1, T(m - 1, k - 1), T(m - 1, k));
            const std::uint16_t high = Interpolate(x, x0, x1, T(m, k - 1), T(m, k));
            std::uint16_t ref = Interpolate(y, tblRows[static_cast<std::size_t>(m - 1)],
                                            tblRows[static_cast<std::size_t>(m)], low, high);
            if (ref < MinimumReference) ref = MinimumReference;
            out[static_cast<std::size_t>(Columns * r + c)] = ref;
        }
    }
}

}  // namespace

int ScaleToShown(int a, int c, int stored) {
    return a * stored + c;
}

std::uint8_t ScaleToStored(int a, int c, int shown) {
    if (a == 0) a = 1;
    return static_cast<std::uint8_t>(static_cast<unsigned>((shown - c) / a) & 0xFFu);
}

std::uint32_t PercentFromRaw(std::uint32_t raw, std::uint32_t ref) {
    if (ref == 0) return 0;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(raw) * 1000 / ref + 5) / 10);
}

std::uint16_t RawFromPercent(std::uint32_t pct, std::uint32_t ref) {
    const std::uint64_t raw = (static_cast<std::uint64_t>(pct) * ref + 50) / 100;
    return raw >= 65536 ? 65535 : static_cast<std::uint16_t>(raw);
}

std::uint16_t Interpolate(std::uint32_t x, std::uint32_t x0, std::uint32_t x1, std::uint32_t f0,
                          std::uint32_t f1) {
    std::uint32_t f;
    if (x <= x0)
        f = f0;
    else if (x >= x1)
        f = f1;
    else if (f0 == f1)
        f = f0;
    else if (f0 < f1)
        f = f0 + static_cast<std::uint32_t>(static_cast<std::uint64_t>(x - x0) * (f1 - f0) / (x1 - x0));
    else
        f = f1 + static_cast<std::uint32_t>(static_cast<std::uint64_t>(x1 - x) * (f0 - f1) / (x1 - x0));
    return static_cast<std::uint16_t>(f);
}

FieldId InjectionMapField(InjectionMap map) {
    return MapFields[static_cast<std::size_t>(map)];
}
FieldId InjectionMapAxisField(InjectionMap map) {
    return AxisFields[static_cast<std::size_t>(map)];
}

bool HasFifteenColumnReference(std::uint8_t bike) {
    return bike == 2 || bike == 17 || bike == 18 || bike == 29 || bike == 42 || bike == 46 || bike == 48 ||
           bike >= 50;
}

void SelectReferenceTables(const DeviceImage& image, InjectionWork& work) {
    const auto bike = static_cast<std::uint8_t>(FieldValue(image, Field(FieldId::Bike)));
    work.ext = &ReferenceTableForBike(RefFamily::Ext, bike);
    work.intake = &ReferenceTableForBike(RefFamily::Int, bike);
    work.iap = &ReferenceTableForBike(RefFamily::Iap, bike);
    work.fifteenColumns = HasFifteenColumnReference(bike);
}

void ComputeInjectionReference(const DeviceImage& image, InjectionWork& work) {
    if (work.ext == nullptr || work.intake == nullptr || work.iap == nullptr)
        SelectReferenceTables(image, work);
    for (int m = 0; m < InjectionMapCount; ++m) {
        const auto map = static_cast<InjectionMap>(m);
        ComputeMapReference(image, TableOfMap(work, map), map, work.referenceOf(map));
    }
}

namespace {
// The percentage a stored injection time shows over its reference, as the percent arrays hold it.
std::uint16_t CellPercent(int raw, std::uint16_t ref) {
    const std::uint32_t p = PercentFromRaw(static_cast<std::uint32_t>(raw), ref);
    return static_cast<std::uint16_t>(p > 65535 ? 65535 : p);
}
}  // namespace

void InjectionPercentFromImage(const DeviceImage& image, InjectionWork& work, InjectionMap map) {
    const FieldInfo& field = Field(InjectionMapField(map));
    const auto& ref = work.referenceOf(map);
    auto& pct = work.percentOf(map);
    for (int k = 0; k < MapCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        pct[i] = CellPercent(FieldValue(image, field, k), ref[i]);
    }
}

void InjectionPercentFromImage(const DeviceImage& image, InjectionWork& work) {
    for (int m = 0; m < InjectionMapCount; ++m)
        InjectionPercentFromImage(image, work, static_cast<InjectionMap>(m));
}

void InjectionImageFromPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map) {
    const FieldInfo& field = Field(InjectionMapField(map));
    const auto& ref = work.referenceOf(map);
    const auto& pct = work.percentOf(map);
    for (int k = 0; k < MapCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        SetFieldValue(image, field, k, RawFromPercent(pct[i], ref[i]));
    }
}

void InjectionImageFromChangedPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map,
                                      const std::array<std::uint16_t, MapCells>& previousReference) {
    const FieldInfo& field = Field(InjectionMapField(map));
    const auto& ref = work.referenceOf(map);
    const auto& pct = work.percentOf(map);
    for (int k = 0; k < MapCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const int raw = FieldValue(image, field, k);
        if (ref[i] == previousReference[i] && CellPercent(raw, ref[i]) == pct[i]) continue;
        SetFieldValue(image, field, k, RawFromPercent(pct[i], ref[i]));
    }
}

void InjectionImageFromChangedPercent(DeviceImage& image, const InjectionWork& work, InjectionMap map) {
    InjectionImageFromChangedPercent(image, work, map, work.referenceOf(map));
}

std::string MillisecondsText(std::uint16_t raw) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%5.3f ", raw / 1000.0);
    return buf;
}

std::uint8_t ServoToPercent(std::uint8_t b) {
    return static_cast<std::uint8_t>((2 * b + 2) / 5);
}
std::uint8_t ServoFromPercent(std::uint8_t b) {
    return static_cast<std::uint8_t>((5 * b) / 2);
}

int ServoMapStep(const DeviceImage& image, bool intake) {
    return FieldValue(image, Field(intake ? FieldId::ServoInProcent : FieldId::ServoExProcent)) != 0 ? 1 : 20;
}

void ConvertServoMap(DeviceImage& image, bool intake, bool toPercent) {
    const FieldInfo& map = Field(intake ? FieldId::ServoInValue : FieldId::ServoExValue);
    for (int k = 0; k < map.count; ++k) {
        const auto b = static_cast<std::uint8_t>(FieldValue(image, map, k));
        SetFieldValue(image, map, k, toPercent ? ServoToPercent(b) : ServoFromPercent(b));
    }
}

IdleServoScale IdleServoScaleOf(const DeviceImage& image) {
    const int mode = FieldValue(image, Field(FieldId::IdleMode));
    if (mode == 1) {
        return FieldValue(image, Field(FieldId::ServoInProcent)) != 0 ? IdleServoScale{1, 100}
                                                                      : IdleServoScale{20, 5000};
    }
    if (mode == 3) return {5, 1200};
    return {50, 12000};
}

void ConvertIdleServoValues(DeviceImage& image, bool toPercent) {
    const FieldInfo& values = Field(FieldId::IdleServoPoz);
    for (int k = 0; k < values.count; ++k) {
        const auto b = static_cast<std::uint8_t>(FieldValue(image, values, k));
        SetFieldValue(image, values, k, toPercent ? ServoToPercent(b) : ServoFromPercent(b));
    }
}

void ConvertIdleServoForModeChange(DeviceImage& image, std::uint8_t previousMode, std::uint8_t newMode) {
    const bool percent = FieldValue(image, Field(FieldId::ServoInProcent)) != 0;
    if (!percent) return;
    if (previousMode == 1) ConvertIdleServoValues(image, false);
    if (newMode == 1) ConvertIdleServoValues(image, true);
}

}  // namespace torvane
