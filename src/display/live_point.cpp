#include "display/live_point.h"

#include "editor/page_catalogue.h"
#include "image/fields.h"

namespace torvane {
namespace {

constexpr int Rows = 10;
constexpr int Columns = 15;
constexpr std::array<unsigned, Rows> kThrottleAxis = {0, 2, 5, 10, 20, 30, 40, 60, 80, 100};

std::array<std::uint8_t, Columns> AxisOf(const DeviceImage& image, FieldId field) {
    std::array<std::uint8_t, Columns> axis{};
    const FieldInfo& f = Field(field);
    for (int c = 0; c < Columns; ++c)
        axis[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(FieldValue(image, f, c));
    return axis;
}

Paint Live(bool live) {
    return live ? Paint::Green : Paint::Window;
}
Paint LiveLabel(bool live) {
    return live ? Paint::Green : Paint::ButtonFace;
}

void TrackMap(const DeviceImage& image, const LiveValues& live, int page, bool ms, LiveIndexes& ix,
              std::vector<Highlight>& out) {
    const MapPageInfo* info = MapPageOf(page);
    const unsigned n = live.EngineSpeed;
    ix.column = static_cast<std::uint16_t>(RpmColumn(AxisOf(image, info->axisField), n));
    ix.tpsRow = static_cast<std::uint16_t>(ThrottleRow(live.ThrottleOpening, live.ThrottleSensorError));
    ix.iapRow =
        static_cast<std::uint16_t>(PressureRow(image.IapAxis, live.IntakePressure, live.IntakePressureError));

    const bool servo = page == PageServoIn || page == PageServoEx;
    for (int c = 0; c < Columns; ++c)
        out.push_back({"UpDownRpm_Uni", c, Live(c == ix.column && (n != 0 || servo))});
    for (int r = 0; r < Rows; ++r) out.push_back({"LabelRow_Uni", r, LiveLabel(r == ix.tpsRow)});
    for (int r = 0; r < Rows; ++r) out.push_back({"UpDownIap_Uni", r, Live(r == ix.iapRow)});

    // What the unit does with the row and column on pages that use only one of them.
    if (page == PageAdvance && FieldValueOf(image, FieldId::AdvanceTps) == 0) ix.tpsRow = 9;
    if (servo) {
        const int mode =
            FieldValueOf(image, page == PageServoIn ? FieldId::ServoInMode : FieldId::ServoExMode);
        if (mode == 1) ix.tpsRow = 9;
        if (mode == 2) ix.column = 0;
    }

    const bool aMaps = live.InjectionFromThrottleAboveZero;
    const bool iapMap = live.InjectionFromThrottleBelowFull;
    int liveRow = ix.tpsRow;
    Paint paint = Paint::Window;
    if (page == PageAdvance) {
        paint = n != 0 ? Paint::Green : Paint::Window;
    } else if (page >= PageJet1A && page <= PageJetB) {
        if (n != 0 && aMaps) paint = iapMap ? Paint::Yellow : Paint::Green;
    } else if (page == PageIap) {
        liveRow = ix.iapRow;
        if (n != 0 && iapMap) paint = aMaps ? Paint::Yellow : Paint::Green;
    } else if (servo) {
        paint = Paint::Green;
    }
    for (int r = 0; r < Rows; ++r) {
        for (int c = 0; c < Columns; ++c) {
            const Paint cell = r == liveRow && c == ix.column ? paint : Paint::Window;
            out.push_back({"UpDownCell_Uni", r * Columns + c, cell});
            if (ms)
                out.push_back(
                    {"LabelCell_Uni", r * Columns + c, cell == Paint::Window ? Paint::ButtonFace : cell});
        }
    }
}

void TrackPosition(const DeviceImage& image, const LiveValues& live, LiveIndexes& ix,
                   std::vector<Highlight>& out) {
    ix.positionA =
        static_cast<std::uint16_t>(RpmColumn(AxisOf(image, FieldId::PolohaARpm), live.EngineSpeed));
    ix.positionB =
        static_cast<std::uint16_t>(RpmColumn(AxisOf(image, FieldId::PolohaBRpm), live.EngineSpeed));
    for (int c = 0; c < Columns; ++c) {
        out.push_back({"UpDownPolohaARpm", c, Live(c == ix.positionA)});
        out.push_back({"UpDownPolohaAPoz", c, Live(c == ix.positionA)});
        out.push_back({"UpDownPolohaBRpm", c, Live(c == ix.positionB)});
        out.push_back({"UpDownPolohaBPoz", c, Live(c == ix.positionB)});
    }
}

void TrackCorrections(const DeviceImage& image, const LiveValues& live, std::vector<Highlight>& out) {
    const int w = CorrectionWaterIndex(live.CoolantTemperature);
    const int a = CorrectionAirIndex(live.AirTemperature);
    for (int i = 0; i < 5; ++i) {
        out.push_back({"UpDownKorVoda", i, Live(i == w)});
        out.push_back({"UpDownKorIgnVoda", i, Live(i == w)});
        out.push_back({"UpDownKorVzduch", i, Live(i == a)});
    }
    const int k =
        ChokeIndex(live.AfterStartTimer,
                   {FieldValueOf(image, FieldId::SyticCas1), FieldValueOf(image, FieldId::SyticCas2),
                    FieldValueOf(image, FieldId::SyticCas3), FieldValueOf(image, FieldId::SyticCas4)});
    static constexpr std::string_view kCas[] = {"UpDownSyticCas1", "UpDownSyticCas2", "UpDownSyticCas3",
                                                "UpDownSyticCas4"};
    static constexpr std::string_view kKorekce[] = {"UpDownSyticKorekce0", "UpDownSyticKorekce1",
                                                    "UpDownSyticKorekce2", "UpDownSyticKorekce3"};
    out.push_back({"LabelSyticCas0", -1, LiveLabel(k == 0)});
    for (int i = 0; i < 4; ++i) {
        out.push_back({kCas[i], -1, Live(k == i + 1)});
        out.push_back({kKorekce[i], -1, Live(k == i)});
    }
    out.push_back({"LabelSyticKorekce4", -1, LiveLabel(k == 4)});
}

void TrackIdle(const DeviceImage& image, const LiveValues& live, std::vector<Highlight>& out) {
    const int t = IdleTemperatureIndex(live.CoolantTemperature);
    for (int i = 0; i < 9; ++i) {
        out.push_back({"LabelIdleServoTeplota", i, LiveLabel(i == t)});
        out.push_back({"LabelIdleAdvTeplota", i, LiveLabel(i == t)});
        out.push_back({"UpDownIdleServoPoz", i, Live(i == t)});
        out.push_back({"UpDownIdleAdvPoz", i, Live(i == t)});
    }
    const unsigned n = live.EngineSpeed;
    const bool inRpmRange =
        n != 0 && n <= 100u * static_cast<unsigned>(FieldValueOf(image, FieldId::IdleRpmMez));
    const bool inTpsRange =
        live.ThrottleOpening < static_cast<unsigned>(FieldValueOf(image, FieldId::IdleTpsMez));
    out.push_back({"UpDownIdleRpmMez", -1, Live(inRpmRange)});
    out.push_back({"LabelIdleRpmMez", -1, LiveLabel(inRpmRange)});
    out.push_back({"UpDownIdleTpsMez", -1, Live(inTpsRange)});
    out.push_back({"LabelIdleTpsMez", -1, LiveLabel(inTpsRange)});
}

void TrackRace(const LiveValues& live, std::vector<Highlight>& out) {
    static constexpr std::string_view kLabels[] = {"LabelRaceGear1", "LabelRaceGear2", "LabelRaceGear3",
                                                   "LabelRaceGear4", "LabelRaceGear5", "LabelRaceGear6"};
    for (int k = 1; k <= 6; ++k) {
        const bool on = k == live.Gear;
        for (std::string_view f :
             {"UpDownPilotLight1", "UpDownPilotLight2", "UpDownClutchTime", "UpDownClutchPause"})
            out.push_back({f, k - 1, Live(on)});
        out.push_back({kLabels[k - 1], -1, LiveLabel(on)});
    }
}

void TrackGear(const DeviceImage& image, const LiveValues& live, std::vector<Highlight>& out) {
    static constexpr std::string_view kGear[] = {"LabelGear0", "LabelGear1", "LabelGear2", "LabelGear3",
                                                 "LabelGear4", "LabelGear5", "LabelGear6"};
    static constexpr std::string_view kRatio[] = {"",
                                                  "LabelPomerRpmSpeed1",
                                                  "LabelPomerRpmSpeed2",
                                                  "LabelPomerRpmSpeed3",
                                                  "LabelPomerRpmSpeed4",
                                                  "LabelPomerRpmSpeed5",
                                                  "LabelPomerRpmSpeed6"};
    static constexpr std::string_view kAutoRatio[] = {"",
                                                      "LabelMonPomerRpmSpeedAuto1",
                                                      "LabelMonPomerRpmSpeedAuto2",
                                                      "LabelMonPomerRpmSpeedAuto3",
                                                      "LabelMonPomerRpmSpeedAuto4",
                                                      "LabelMonPomerRpmSpeedAuto5",
                                                      "LabelMonPomerRpmSpeedAuto6"};
    static constexpr std::string_view kAutoGear[] = {"",
                                                     "LabelMonGearAuto1",
                                                     "LabelMonGearAuto2",
                                                     "LabelMonGearAuto3",
                                                     "LabelMonGearAuto4",
                                                     "LabelMonGearAuto5",
                                                     "LabelMonGearAuto6"};
    static constexpr std::string_view kKor[] = {"",
                                                "LabelGearKor1",
                                                "LabelGearKor2",
                                                "LabelGearKor3",
                                                "LabelGearKor4",
                                                "LabelGearKor5",
                                                "LabelGearKor6"};
    static constexpr std::string_view kButtons[] = {"ButtonGear0", "ButtonGear1", "ButtonGear2",
                                                    "ButtonGear3", "ButtonGear4", "ButtonGear5",
                                                    "ButtonGear6"};
    const int s = FieldValueOf(image, FieldId::GearSystem);
    const int g = live.Gear;
    for (int k = 0; k <= 6; ++k) {
        const bool on = k == g;
        if (s == 0) {
            out.push_back({"UpDownGearNapeti", k, Live(on)});
            out.push_back({kGear[k], -1, LiveLabel(on)});
        }
        if (k >= 1) {
            if (s == 1) {
                out.push_back({"UpDownGearPomer", k - 1, Live(on)});
                out.push_back({kRatio[k], -1, LiveLabel(on)});
            }
            if (s == 2) {
                out.push_back({kAutoRatio[k], -1, LiveLabel(on)});
                out.push_back({kAutoGear[k], -1, LiveLabel(on)});
            }
            out.push_back({"UpDownGearKorAdv", k - 1, Live(on)});
            out.push_back({"UpDownGearKorJet", k - 1, Live(on)});
            out.push_back({kKor[k], -1, LiveLabel(on)});
        }
        // The capture button of the engaged gear is drawn in bold.
        const bool bold = on && (k == 0 ? s == 0 : (s == 0 || s == 1));
        out.push_back({kButtons[k], -1, bold ? Paint::Bold : Paint::ButtonFace});
    }
}

}  // namespace

int RpmColumn(std::span<const std::uint8_t> axis, unsigned rpm) {
    int c = 0;
    const int last = static_cast<int>(axis.size()) - 1;
    while (c < last &&
           2u * rpm >= 100u * (axis[static_cast<std::size_t>(c)] + axis[static_cast<std::size_t>(c + 1)]))
        ++c;
    return c;
}

int ThrottleRow(unsigned throttle, bool sensorFlagged) {
    if (sensorFlagged) return NoRow;
    int r = 0;
    while (r < Rows - 1 && throttle / 5 >= kThrottleAxis[static_cast<std::size_t>(r)] +
                                               kThrottleAxis[static_cast<std::size_t>(r + 1)])
        ++r;
    return r;
}

int PressureRow(std::span<const std::uint16_t> iap, unsigned kpa, bool sensorFlagged) {
    if (sensorFlagged) return NoRow;
    int r = 0;
    const int last = static_cast<int>(iap.size()) - 1;
    while (r < last && iap[static_cast<std::size_t>(r)] + iap[static_cast<std::size_t>(r + 1)] <= 2u * kpa)
        ++r;
    return r;
}

namespace {
int FirstBelow(unsigned value, unsigned first, unsigned stride, int points) {
    for (int i = 0; i < points; ++i) {
        if (value < first + stride * static_cast<unsigned>(i)) return i;
    }
    return points;
}
}  // namespace

int CorrectionWaterIndex(std::uint8_t water) {
    return water == 0 ? 3 : FirstBelow(water, 105, 30, 5);
}

int CorrectionAirIndex(std::uint8_t air) {
    return air == 0 ? 2 : FirstBelow(air, 105, 30, 5);
}

int ChokeIndex(unsigned t, const std::array<int, 4>& points) {
    const auto at = [&](int k) { return static_cast<unsigned>(points[static_cast<std::size_t>(k - 1)]); };
    if (2 * t <= 10 * at(1)) return 0;
    int k = 1;
    while (k < 4 && 2 * t >= 10 * (at(k) + at(k + 1))) ++k;
    return k;
}

int IdleTemperatureIndex(std::uint8_t water) {
    return water == 0 ? 7 : FirstBelow(water, 97, 15, 9);
}

std::vector<Highlight> TrackOperatingPoint(const DeviceImage& image, const LiveValues& live, int page,
                                           bool ms, LiveIndexes& indexes) {
    std::vector<Highlight> out;
    if (IsMapPage(page)) {
        out.reserve(2 * Rows * Columns + Columns + 2 * Rows);
        TrackMap(image, live, page, ms, indexes, out);
    } else if (page == PagePoloha) {
        TrackPosition(image, live, indexes, out);
    } else if (page == PageKorekce) {
        TrackCorrections(image, live, out);
    } else if (page == PageIdle) {
        TrackIdle(image, live, out);
    } else if (page == PageRace) {
        TrackRace(live, out);
    } else if (page == PageGear) {
        TrackGear(image, live, out);
    }
    return out;
}

}  // namespace torvane
