#include "mapgrid/map_page_model.h"

#include <algorithm>

#include "image/fields.h"

namespace torvane {
namespace {

constexpr MiscField kMiscFields[] = {
    {PageAdvance, 0, FieldId::AdvCorrCyl1, 1, -100, -15, 15, 1},
    {PageAdvance, 1, FieldId::AdvCorrCyl2, 1, -100, -15, 15, 1},
    {PageAdvance, 2, FieldId::AdvCorrCyl3, 1, -100, -15, 15, 1},
    {PageAdvance, 3, FieldId::AdvCorrCyl4, 1, -100, -15, 15, 1},
    {PageAdvance, 4, FieldId::BaseAdvance, 1, 0, 0, 100, 1},
    {PageAdvance, 5, FieldId::LobeWidth, 1, 0, 0, 100, 1},
    {PageJet1A, 0, FieldId::IapTpsMin, 1, 0, 0, 100, 1},
    {PageJet1A, 1, FieldId::IapTpsMax, 1, 0, 0, 100, 1},
    {PageJet1A, 2, FieldId::IapRpmMin, 100, 0, 0, 25000, 100},
    {PageJet1A, 3, FieldId::IapRpmMax, 100, 0, 0, 25000, 100},
    // A single byte each: the spins offer no more than can be stored.
    {PageIap, 0, FieldId::IapCorrCyl1, 1, 0, 0, 255, 1},
    {PageIap, 1, FieldId::IapCorrCyl2, 1, 0, 0, 255, 1},
    {PageIap, 2, FieldId::IapCorrCyl3, 1, 0, 0, 255, 1},
    {PageIap, 3, FieldId::IapCorrCyl4, 1, 0, 0, 255, 1},
    {PageServoIn, 0, FieldId::ServoInHyst, 5, 0, 0, 1000, 5},
    {PageServoIn, 2, FieldId::ServoInStepPeriod, 1, 0, 4, 100, 1},
    {PageServoIn, 3, FieldId::ServoInExcitation, 250, 0, 250, 25000, 250},
    {PageServoEx, 0, FieldId::ServoExHyst, 5, 0, 0, 1000, 5},
};

constexpr InjectionMap kFollowers[] = {InjectionMap::Jet2A, InjectionMap::Jet3A, InjectionMap::Jet4A};

int Byte(const DeviceImage& image, FieldId field, int element = 0) {
    return FieldValue(image, Field(field), element);
}
void SetByte(DeviceImage& image, FieldId field, int value, int element = 0) {
    SetFieldValue(image, Field(field), element, value);
}

// Makes Inj-2A...4A (axes or maps) copies of Inj-1A.
void CopyJet1A(DeviceImage& image, FieldId from, std::span<const FieldId> to) {
    const FieldInfo& source = Field(from);
    for (FieldId name : to) {
        const FieldInfo& target = Field(name);
        for (int k = 0; k < source.count; ++k) SetFieldValue(image, target, k, FieldValue(image, source, k));
    }
}
constexpr FieldId kFollowerAxes[] = {FieldId::RpmJet2A, FieldId::RpmJet3A, FieldId::RpmJet4A};
constexpr FieldId kFollowerMapsBackwards[] = {FieldId::Jet4A, FieldId::Jet3A, FieldId::Jet2A};

std::uint16_t ClampPercent(int p) {
    return static_cast<std::uint16_t>(std::clamp(p, 0, 1000));
}

}  // namespace

RpmAxisRange RpmAxisRangeOf(int page) {
    if (page == PageJet3A || page == PageJet4A) return {0, 25500};
    if (page == PageServoIn || page == PageServoEx) return {0, RpmAxisMax};
    return {RpmAxisMin, RpmAxisMax};
}

std::span<const MiscField> MiscFieldsOfPage(int page) {
    const auto* first = std::find_if(std::begin(kMiscFields), std::end(kMiscFields),
                                     [page](const MiscField& f) { return f.page == page; });
    const auto* last =
        std::find_if(first, std::end(kMiscFields), [page](const MiscField& f) { return f.page != page; });
    return {first, last};
}

ChannelMode ChannelModeOf(const DeviceImage& image) {
    const int mode = Byte(image, FieldId::Jet1423Mode);
    return {mode == 1, mode == 2};
}

int CellStepOf(const DeviceImage& image, int page) {
    const MapPageInfo* info = MapPageOf(page);
    if (info == nullptr || !info->servo) return 1;
    return ServoMapStep(image, info->intakeServo);
}

int CellMaxOf(const DeviceImage& image, int page) {
    const MapPageInfo* info = MapPageOf(page);
    if (info == nullptr) return 0;
    return info->servo && CellStepOf(image, page) != 1 ? 5000 : info->cellMax;
}

void RefreshInjectionPercent(const DeviceImage& image, InjectionWork& work) {
    SelectReferenceTables(image, work);
    ComputeInjectionReference(image, work);
    InjectionPercentFromImage(image, work);
}

void ApplyMapPageRules(DeviceImage& image) {
    if (ChannelModeOf(image).identical) {
        CopyJet1A(image, FieldId::RpmJet1A, kFollowerAxes);
        CopyJet1A(image, FieldId::Jet1A, kFollowerMapsBackwards);
    }
    if (Byte(image, FieldId::Bike) == 46) SetByte(image, FieldId::ServoInStep, 0);
}

MapPanelValues ImageToMapPanel(DeviceImage& image, InjectionWork& work, int page,
                               const AllStates& allStates) {
    MapPanelValues v;
    const MapPageInfo* info = MapPageOf(page);
    if (info == nullptr) return v;
    const ChannelMode mode = ChannelModeOf(image);

    if (mode.identical) CopyJet1A(image, FieldId::RpmJet1A, kFollowerAxes);
    const FieldInfo& axis = Field(info->axisField);
    for (int c = 0; c < MapColumns; ++c)
        v.rpm[static_cast<std::size_t>(c)] = 100 * FieldValue(image, axis, c);
    v.rpmRange = RpmAxisRangeOf(page);

    if (mode.identical) CopyJet1A(image, FieldId::Jet1A, kFollowerMapsBackwards);
    RefreshInjectionPercent(image, work);
    for (std::size_t j = 0; j < MapRows; ++j) v.iap[j] = image.IapAxis[j];

    v.cellStep = CellStepOf(image, page);
    v.cellMax = CellMaxOf(image, page);
    const FieldInfo& map = Field(info->mapField);
    for (int k = 0; k < MapCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        v.cells[i] =
            info->injection ? work.percentOf(*info->injection)[i] : v.cellStep * FieldValue(image, map, k);
    }

    v.tps = Byte(image, FieldId::AdvanceTps) != 0;
    for (const MiscField& f : MiscFieldsOfPage(page)) {
        v.misc[static_cast<std::size_t>(f.element)] = ScaleToShown(f.a, f.c, Byte(image, f.field));
    }
    if (info->servo) {
        const bool in = info->intakeServo;
        if (in && Byte(image, FieldId::Bike) == 46) SetByte(image, FieldId::ServoInStep, 0);
        v.servoEnable = Byte(image, in ? FieldId::ServoInEnable : FieldId::ServoExEnable) != 0;
        v.procent = Byte(image, in ? FieldId::ServoInProcent : FieldId::ServoExProcent) != 0;
        v.servoMode = Byte(image, in ? FieldId::ServoInMode : FieldId::ServoExMode);
        v.stepMotor = in && Byte(image, FieldId::ServoInStep) != 0;
    }
    v.all = allStates[static_cast<std::size_t>(page)] != 0;
    return v;
}

void MapPanelToImage(DeviceImage& image, InjectionWork& work, int page, const MapPanelValues& values,
                     AllStates& allStates) {
    const MapPageInfo* info = MapPageOf(page);
    if (info == nullptr) return;
    const ChannelMode mode = ChannelModeOf(image);
    const int step = CellStepOf(image, page);

    // Rpm axis; on Inj-1A the coupled axes follow its changes, the identical ones copy it.
    const FieldInfo& axis = Field(info->axisField);
    const RpmAxisRange range = RpmAxisRangeOf(page);
    for (int c = 0; c < MapColumns; ++c) {
        const int shown = values.rpm[static_cast<std::size_t>(c)];
        const int stored = FieldValue(image, axis, c);
        const int n = shown == std::clamp(100 * stored, range.min, range.max) ? stored : (shown / 100) & 0xFF;
        if (page == PageJet1A) {
            const int o = FieldValue(image, axis, c);
            if (mode.coupled && n != o) {
                for (FieldId name : kFollowerAxes) {
                    const FieldInfo& other = Field(name);
                    SetFieldValue(image, other, c,
                                  std::clamp(FieldValue(image, other, c) + n - o, 0, 1000) & 0xFF);
                }
            }
            SetFieldValue(image, axis, c, n);
            if (mode.identical) {
                for (FieldId name : kFollowerAxes) SetFieldValue(image, Field(name), c, n);
            }
        } else {
            SetFieldValue(image, axis, c, n);
        }
    }

    for (std::size_t j = 0; j < MapRows; ++j) {
        auto& stored = image.IapAxis[j];
        if (values.iap[j] != std::min<int>(stored, IapAxisMax))
            stored = static_cast<std::uint16_t>(values.iap[j]);
    }
    const auto previousReference = work.reference;
    SelectReferenceTables(image, work);
    ComputeInjectionReference(image, work);

    if (!info->injection) {
        const FieldInfo& map = Field(info->mapField);
        for (int k = 0; k < MapCells; ++k) {
            const int shown = values.cells[static_cast<std::size_t>(k)];
            const int stored = FieldValue(image, map, k);
            if (shown == std::clamp(step * stored, 0, values.cellMax)) continue;
            SetFieldValue(image, map, k, ScaleToStored(step, 0, shown));
        }
    } else {
        auto& own = work.percentOf(*info->injection);
        const int spinMax = info->cellMax;
        for (int k = 0; k < MapCells; ++k) {
            const auto i = static_cast<std::size_t>(k);
            const int o = own[i];
            const int p = values.cells[i];
            if (p == std::min(o, spinMax)) continue;  // untouched, perhaps shown limited
            if (page == PageJet1A && mode.coupled) {
                for (InjectionMap m : kFollowers) {
                    auto& other = work.percentOf(m)[i];
                    other = ClampPercent(other + p - o);
                }
            }
            own[i] = static_cast<std::uint16_t>(std::clamp(p, 0, 65535));
        }
        const auto previousOf = [&previousReference](InjectionMap m) -> const auto& {
            return previousReference[static_cast<std::size_t>(m)];
        };
        InjectionImageFromChangedPercent(image, work, *info->injection, previousOf(*info->injection));
        if (page == PageJet1A && mode.coupled) {
            // Each follower over its own reference: its percentages were taken over that reference, so
            // a cell left alone keeps its µs even where its axis differs from Inj-1A's.
            for (InjectionMap m : kFollowers) InjectionImageFromChangedPercent(image, work, m, previousOf(m));
        }
        if (page == PageJet1A && mode.identical) {
            CopyJet1A(image, FieldId::Jet1A, kFollowerMapsBackwards);
        }
    }

    for (const MiscField& f : MiscFieldsOfPage(page)) {
        const int stored = Byte(image, f.field);
        const int shown = values.misc[static_cast<std::size_t>(f.element)];
        if (shown == std::clamp(ScaleToShown(f.a, f.c, stored), f.min, f.max)) continue;
        SetByte(image, f.field, ScaleToStored(f.a, f.c, shown));
    }
    if (page == PageAdvance) SetByte(image, FieldId::AdvanceTps, values.tps ? 1 : 0);
    if (info->servo) {
        const bool in = info->intakeServo;
        SetByte(image, in ? FieldId::ServoInEnable : FieldId::ServoExEnable, values.servoEnable ? 1 : 0);
        SetByte(image, in ? FieldId::ServoInProcent : FieldId::ServoExProcent, values.procent ? 1 : 0);
        SetByte(image, in ? FieldId::ServoInMode : FieldId::ServoExMode, values.servoMode & 0xFF);
        if (in) SetByte(image, FieldId::ServoInStep, values.stepMotor ? 1 : 0);
    }
    allStates[static_cast<std::size_t>(page)] = values.all ? 1 : 0;
}

}  // namespace torvane
