#pragma once
// The 19 pages of PageControl1 by index, and the map pages with the fields they show: which map, which
// rpm axis, how the cells are stored and shown.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "image/conversions.h"

namespace torvane {

inline constexpr int PageCount = 19;
// Per-page state of the map pages' "All" check box (mapAllFlags); not part of the image.
using AllStates = std::array<std::uint8_t, PageCount>;

enum PageIndex : int {
    PageBike = 0,
    PageSynchro = 1,
    PageAdvance = 2,
    PageJet1A = 3,
    PageJet2A = 4,
    PageJet3A = 5,
    PageJet4A = 6,
    PageJetB = 7,
    PageIap = 8,
    PagePoloha = 9,
    PageKorekce = 10,
    PageCidla = 11,
    PageServoIn = 12,
    PageServoEx = 13,
    PageIdle = 14,
    PageGas = 15,
    PageRace = 16,
    PageGear = 17,
    PageMonitor = 18,
};

struct PageInfo {
    std::string_view objectName;  // the tab sheet
    std::string_view caption;     // initial tab caption; the language replaces it
};
const PageInfo& PageInfoOf(int page);

bool IsMapPage(int page);
// Pages 4..6 show the maps that follow Inj-1A in the coupled and identical channel modes.
inline bool IsFollowerInjectionPage(int page) {
    return page >= PageJet2A && page <= PageJet4A;
}

// What SetMapOffsets gives for a map page.
struct MapPageInfo {
    int page;
    FieldId mapField;                       // Advance, Jet1A, ...
    FieldId axisField;                      // RpmAdv, RpmJet1A, ...
    int axisOffset;                         // byte offset of the axis from image index 300
    int mapOffset;                          // byte offset (byte maps) or word number (word maps)
    bool wordCells;                         // 16-bit cells shown as a percentage of their reference
    std::optional<InjectionMap> injection;  // the percentage view of a word map
    bool servo;                             // a servo map: step 1 in percent, else 20
    bool intakeServo;                       // page 12 (ServoIn...), else page 13 (ServoEx...)
    int cellMax;                            // maximum of the cell spins (the percent form for servo maps)
};
// nullptr for pages that are not map pages.
const MapPageInfo* MapPageOf(int page);

}  // namespace torvane
