#include "image/catalogue.h"

#include <cstddef>

namespace torvane {
namespace {

// A set of type codes written as in the tables, e.g. "6, 7, 12-16", turned into a bit mask.
constexpr std::uint64_t CodeSet(std::string_view text) {
    std::uint64_t mask = 0;
    std::size_t i = 0;
    auto number = [&]() {
        int n = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') n = 10 * n + (text[i++] - '0');
        return n;
    };
    while (i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        const int first = number();
        int last = first;
        if (i < text.size() && text[i] == '-') {
            ++i;
            last = number();
        }
        for (int c = first; c <= last && c < 64; ++c) mask |= std::uint64_t{1} << c;
    }
    return mask;
}

constexpr std::uint64_t kAllCodes = (std::uint64_t{1} << MotorcycleTypeCount) - 1;

template <typename Value>
struct ByCodes {
    std::string_view codes;
    Value value;
};

// True when every type code lies in exactly one row and no row names anything else.
template <typename Value, std::size_t N>
constexpr bool CoversEveryCodeOnce(const std::array<ByCodes<Value>, N>& table) {
    std::uint64_t seen = 0;
    for (const auto& row : table) {
        const std::uint64_t mask = CodeSet(row.codes);
        if ((mask & seen) != 0 || (mask & ~kAllCodes) != 0) return false;
        seen |= mask;
    }
    return seen == kAllCodes;
}

template <typename Value, std::size_t N>
constexpr const Value& ValueOfCode(const std::array<ByCodes<Value>, N>& table, int code) {
    if (!IsMotorcycleCode(code)) code = StartupBikeCode;
    for (const auto& row : table)
        if (CodeSet(row.codes) >> code & 1) return row.value;
    return table[0].value;  // unreachable: every table covers every code (checked at compile time)
}

// clang-format off
// Item, code and list text; trigger profile; StartLimiter, IgnLimiter, AktFall, RpmPulsu, Tps0, Tps100,
// BaseAdvance, StartJet; advance table is a full map; BikeConstA[0]; BikeConstA[3..5]; BikeConstB[1..3].
constexpr std::array<CatalogueRow, MotorcycleTypeCount> kCatalogue = {{
    {1, "Aprilia RSV MILLE                98-", 1, 80, 110, 1, 2, 65, 153, 5, 10, false, 75, {0, 61, 104}, {4, 50, 0}},  // item 0
    {0, "Aprilia RSV MILLE                04-", 0, 80, 115, 1, 2, 62, 144, 5, 10, false, 75, {0, 61, 104}, {11, 50, 0}},  // item 1
    {2, "Aprilia SXV 450", 2, 80, 115, 0, 1, 64, 167, 10, 13, true, 85, {0, 55, 103}, {11, 25, 0}},  // item 2
    {3, "Ducati 996", 3, 70, 108, 1, 2, 34, 223, 0, 10, false, 65, {0, 55, 103}, {11, 50, 0}},  // item 3
    {4, "Ducati 999", 3, 70, 108, 1, 2, 34, 223, 0, 10, false, 65, {0, 55, 103}, {11, 50, 0}},  // item 4
    {5, "HD V-rod", 4, 70, 100, 1, 1, 48, 198, 0, 20, false, 70, {0, 55, 103}, {11, 25, 0}},  // item 5
    {8, "Honda CBR 125 PCE", 9, 100, 150, 1, 1, 110, 180, 10, 10, false, 60, {0, 56, 104}, {4, 25, 0}},  // item 6
    {12, "Honda CBR 600 F               01-02", 5, 100, 140, 1, 2, 50, 192, 11, 10, false, 65, {0, 59, 104}, {11, 25, 0}},  // item 7
    {13, "Honda CBR 600 RR            03-04", 5, 100, 150, 1, 2, 50, 192, 11, 10, false, 70, {0, 59, 104}, {11, 25, 0}},  // item 8
    {14, "Honda CBR 600 RR            05-06", 5, 100, 150, 1, 2, 50, 192, 11, 10, false, 70, {0, 59, 104}, {11, 25, 0}},  // item 9
    {15, "Honda CBR 600 RR            07", 5, 100, 155, 1, 2, 50, 192, 11, 10, false, 70, {0, 59, 104}, {11, 25, 0}},  // item 10
    {16, "Honda CBR 900 RR            00-03", 5, 90, 120, 1, 2, 50, 192, 10, 10, false, 65, {0, 59, 104}, {11, 25, 0}},  // item 11
    {6, "Honda CBR 1000 RR          04-07", 5, 90, 124, 1, 2, 50, 192, 11, 10, false, 70, {0, 59, 104}, {11, 25, 0}},  // item 12
    {7, "Honda CBR 1100 XX               ", 5, 80, 120, 1, 2, 50, 192, 10, 10, false, 65, {0, 59, 104}, {11, 25, 0}},  // item 13
    {9, "Honda CRF 250 PCE", 7, 100, 140, 1, 1, 110, 180, 5, 10, false, 60, {0, 56, 104}, {4, 25, 0}},  // item 14
    {10, "Honda VFR 800                   ", 8, 90, 120, 1, 2, 50, 192, 10, 10, false, 65, {0, 59, 104}, {11, 25, 0}},  // item 15
    {11, "Honda VTR 1000 SP-1       01-02", 6, 80, 110, 1, 2, 50, 192, 5, 10, false, 70, {0, 58, 104}, {11, 25, 0}},  // item 16
    {21, "Kawasaki  ZX 6R PCE         02", 10, 100, 140, 1, 1, 110, 180, 11, 10, false, 85, {0, 56, 104}, {11, 50, 0}},  // item 17
    {22, "Kawasaki  ZX6RR               03 ", 11, 100, 140, 1, 2, 103, 180, 13, 10, false, 65, {0, 48, 107}, {11, 50, 0}},  // item 18
    {23, "Kawasaki  ZX6RR               04-06", 11, 100, 140, 1, 2, 103, 180, 13, 10, false, 65, {0, 48, 107}, {11, 50, 0}},  // item 19
    {24, "Kawasaki  ZX6RR               07", 16, 100, 152, 1, 2, 103, 180, 13, 10, false, 65, {4, 48, 107}, {11, 50, 0}},  // item 20
    {17, "Kawasaki  ZX10 R               04-05 ", 12, 90, 127, 1, 2, 62, 147, 8, 12, true, 65, {0, 60, 105}, {11, 50, 0}},  // item 21
    {18, "Kawasaki  ZX10 R               06- ", 12, 90, 127, 1, 2, 62, 147, 8, 12, true, 65, {0, 60, 105}, {11, 50, 0}},  // item 22
    {19, "Kawasaki  ZX12 R               00-01", 14, 80, 110, 0, 2, 108, 169, 8, 10, false, 65, {0, 60, 105}, {11, 50, 0}},  // item 23
    {20, "Kawasaki  ZX12 R               02-", 19, 80, 110, 0, 2, 108, 169, 8, 10, false, 65, {0, 60, 105}, {11, 50, 0}},  // item 24
    {25, "MZ 125 PCE", 9, 100, 140, 1, 1, 110, 180, 10, 10, false, 60, {0, 56, 104}, {4, 25, 0}},  // item 25
    {26, "Peugeot", 13, 90, 120, 1, 1, 66, 156, 13, 13, false, 85, {0, 55, 103}, {11, 25, 0}},  // item 26
    {32, "Suzuki GSX-R600               01-03", 14, 100, 140, 1, 1, 110, 180, 10, 10, false, 85, {1, 56, 104}, {11, 25, 0}},  // item 27
    {33, "Suzuki GSX-R600               04-05", 16, 100, 140, 0, 1, 110, 180, 13, 10, false, 85, {1, 56, 104}, {11, 25, 0}},  // item 28
    {34, "Suzuki GSX-R600               06-07", 16, 100, 154, 0, 1, 110, 180, 13, 10, false, 85, {1, 56, 104}, {11, 25, 0}},  // item 29
    {35, "Suzuki GSX-R750               00-03", 14, 95, 136, 1, 1, 110, 180, 10, 12, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 30
    {36, "Suzuki GSX-R750               04-05", 16, 95, 136, 0, 1, 110, 180, 13, 12, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 31
    {37, "Suzuki GSX-R750               06-07", 16, 90, 140, 0, 1, 110, 195, 15, 13, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 32
    {27, "Suzuki GSX-R1000             01-02", 14, 90, 120, 1, 1, 110, 180, 12, 13, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 33
    {28, "Suzuki GSX-R1000             03-04", 16, 90, 120, 0, 1, 110, 180, 13, 13, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 34
    {29, "Suzuki GSX-R1000             05-06", 16, 90, 130, 0, 1, 110, 195, 15, 13, true, 85, {1, 55, 103}, {11, 25, 0}},  // item 35
    {30, "Suzuki GSX-1300               99-01", 14, 75, 109, 0, 1, 110, 180, 12, 13, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 36
    {31, "Suzuki GSX-1300               02-", 11, 75, 109, 0, 1, 110, 180, 13, 13, false, 85, {1, 55, 103}, {11, 25, 0}},  // item 37
    {39, "Suzuki SV 650 S               ", 17, 80, 110, 0, 1, 110, 180, 8, 10, false, 75, {0, 55, 103}, {11, 25, 0}},  // item 38
    {38, "Suzuki SV 1000 S               ", 18, 80, 105, 0, 1, 110, 180, 8, 10, false, 75, {0, 55, 103}, {11, 25, 0}},  // item 39
    {40, "Suzuki TL 1000 R               98-", 15, 80, 105, 1, 1, 110, 180, 0, 10, false, 75, {1, 55, 103}, {4, 25, 1}},  // item 40
    {41, "Suzuki TL 1000 S               ", 15, 80, 105, 1, 1, 110, 180, 0, 10, false, 75, {2, 55, 103}, {4, 25, 0}},  // item 41
    {42, "Triumph Daytona 675       06-07", 23, 90, 135, 0, 1, 58, 140, 5, 12, true, 65, {0, 60, 105}, {11, 50, 0}},  // item 42
    {43, "Yamaha FZS-600 Fazer          ", 21, 80, 130, 0, 2, 66, 139, 12, 10, false, 50, {3, 63, 105}, {4, 25, 0}},  // item 43
    {49, "Yamaha XT 660          ", 22, 60, 150, 0, 2, 66, 139, 10, 12, false, 50, {3, 63, 105}, {11, 25, 0}},  // item 44
    {44, "Yamaha YZF-R1                 02-03", 19, 80, 138, 0, 2, 66, 139, 7, 10, false, 35, {3, 59, 105}, {11, 25, 0}},  // item 45
    {45, "Yamaha YZF-R1                 04-06", 19, 80, 143, 0, 2, 66, 139, 7, 10, false, 35, {3, 59, 105}, {11, 25, 0}},  // item 46
    {46, "Yamaha YZF-R1                 07-", 16, 100, 140, 0, 2, 69, 158, 8, 13, true, 50, {3, 55, 103}, {11, 25, 0}},  // item 47
    {47, "Yamaha YZF-R6                 03-07", 20, 80, 150, 0, 2, 66, 139, 12, 10, false, 50, {3, 63, 105}, {4, 25, 0}},  // item 48
    {48, "Yamaha YZF-R6R               06-07", 16, 100, 158, 0, 2, 69, 158, 8, 13, true, 50, {3, 55, 103}, {11, 25, 0}},  // item 49
}};

// Synchro1, Synchro2, PocPalcu, VynechPalcu, PocKanOut, SynchroHrana, Top1..4, PredaniHodnot, Kyvani1,
// Kyvani2, KyvaniFaze11..13, KyvaniFaze21..23, KyvaniFazeOtacka1, 2; then the codes that use the profile.
struct ProfileRow {
    TriggerProfile profile;
    std::string_view codes;
};
constexpr std::array<ProfileRow, TriggerProfileCount> kProfiles = {{
    {{0, 1, 34, 2, 2, 0, {31, 59, 0, 0}, 32, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "0"},  // 0
    {{3, 0, 6, 0, 2, 2, {6, 11, 0, 0}, 1, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "1"},  // 1
    {{0, 3, 28, 2, 2, 3, {37, 3, 0, 0}, 14, 1, 1, {25, 3, 9}, {3, 9, 15}, {1, 0}}, "2"},  // 2
    {{8, 0, 23, 2, 2, 1, {23, 41, 0, 0}, 1, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "3, 4"},  // 3
    {{0, 3, 22, 2, 2, 1, {16, 34, 0, 0}, 1, 1, 1, {9, 13, 17}, {13, 17, 21}, {0, 1}}, "5"},  // 4
    {{4, 0, 12, 0, 4, 1, {15, 21, 9, 3}, 9, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "6, 7, 12-16"},  // 5
    {{4, 0, 12, 0, 2, 1, {6, 15, 0, 0}, 9, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "11"},  // 6
    {{6, 4, 2, 0, 1, 0, {4, 0, 0, 0}, 1, 0, 0, {2, 0, 0}, {0, 0, 0}, {1, 0}}, "9"},  // 7
    {{4, 0, 12, 0, 4, 1, {6, 15, 21, 12}, 2, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "10"},  // 8
    {{5, 4, 2, 0, 1, 0, {4, 0, 0, 0}, 1, 0, 0, {2, 0, 0}, {0, 0, 0}, {1, 0}}, "8, 25"},  // 9
    {{3, 0, 8, 0, 4, 1, {8, 12, 4, 16}, 1, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "21"},  // 10
    {{1, 0, 23, 1, 4, 1, {30, 42, 19, 7}, 18, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "22, 23, 31"},  // 11
    {{0, 0, 22, 2, 4, 0, {30, 42, 20, 8}, 19, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "17, 18"},  // 12
    {{0, 4, 23, 1, 1, 1, {8, 0, 0, 0}, 16, 0, 0, {8, 0, 0}, {0, 0, 0}, {0, 0}}, "26"},  // 13
    {{3, 0, 8, 0, 4, 1, {11, 15, 7, 3}, 4, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "19, 27, 30, 32, 35"},  // 14
    {{3, 0, 4, 0, 2, 0, {4, 7, 0, 0}, 1, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "40, 41"},  // 15
    {{0, 0, 22, 2, 4, 0, {29, 41, 19, 7}, 18, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "24, 28, 29, 33, 34, 36, 37, 46, 48"},  // 16
    {{0, 3, 22, 2, 2, 1, {13, 29, 0, 0}, 13, 1, 1, {3, 7, 13}, {7, 13, 19}, {0, 1}}, "39"},  // 17
    {{0, 1, 22, 2, 2, 1, {19, 35, 0, 0}, 20, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "38"},  // 18
    {{3, 0, 8, 0, 4, 0, {9, 13, 5, 1}, 2, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "20, 44, 45"},  // 19
    {{3, 0, 4, 0, 4, 0, {6, 8, 4, 2}, 4, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "47"},  // 20
    {{7, 5, 4, 0, 2, 1, {3, 7, 0, 0}, 6, 0, 0, {0, 0, 0}, {0, 0, 0}, {0, 0}}, "43"},  // 21
    {{2, 4, 11, 1, 1, 1, {7, 0, 0, 0}, 11, 0, 0, {7, 0, 0}, {0, 0, 0}, {0, 0}}, "49"},  // 22
    {{0, 2, 22, 2, 3, 1, {35, 21, 5, 0}, 19, 0, 1, {5, 13, 21}, {5, 13, 21}, {1, 0}}, "42"},  // 23
}};

// Rpm axis of every map and of both position curves, in rpm.
constexpr std::array<ByCodes<std::array<std::uint16_t, 15>>, 5> kRpmAxes = {{
    {"0, 1, 3, 4, 11, 19, 20, 30, 31, 38-41", {1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500, 7000, 7500, 8000, 9000, 10000, 11000, 12000}},
    {"2, 29, 46, 48", {1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000}},
    {"5", {1000, 2000, 3000, 4000, 5000, 5500, 6000, 6500, 7000, 7500, 8000, 8500, 9000, 9500, 10000}},
    {"6, 7, 10, 16-18, 26-28, 35, 36, 42, 44, 45, 49", {1000, 2000, 3000, 4000, 5000, 5500, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000}},
    {"8, 9, 12-15, 21-25, 32-34, 37, 43, 47", {1000, 2000, 3000, 4000, 6000, 7000, 8000, 9000, 10000, 11000, 12000, 13000, 14000, 15000, 16000}},
}};

// PolohaAMode, PolohaBMode, PolohaAPoz[0..14], PolohaBPoz[0..14] (degrees / 5).
constexpr std::array<ByCodes<PositionDefaults>, 19> kPositions = {{
    {"0, 1", {1, 1, {74, 74, 72, 71, 70, 69, 69, 68, 68, 68, 68, 68, 68, 68, 68}, {74, 74, 72, 71, 70, 69, 69, 68, 68, 68, 68, 68, 68, 68, 68}}},
    {"2", {2, 2, {74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74}, {74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74}}},
    {"3, 4", {0, 0, {54, 55, 58, 56, 58, 53, 47, 47, 46, 45, 44, 44, 44, 44, 44}, {54, 55, 58, 56, 58, 53, 47, 47, 46, 45, 44, 44, 44, 44, 44}}},
    {"5", {0, 0, {74, 74, 72, 71, 70, 69, 69, 68, 68, 68, 68, 68, 68, 68, 68}, {74, 74, 72, 71, 70, 69, 69, 68, 68, 68, 68, 68, 68, 68, 68}}},
    {"6, 13-15", {1, 1, {90, 89, 112, 109, 110, 106, 102, 88, 74, 79, 84, 89, 93, 94, 94}, {134, 134, 134, 134, 134, 129, 125, 130, 135, 130, 126, 126, 125, 125, 125}}},
    {"7, 10, 16", {0, 0, {114, 114, 112, 117, 122, 131, 140, 76, 12, 15, 18, 18, 18, 18, 18}, {114, 114, 112, 117, 122, 131, 140, 76, 12, 15, 18, 18, 18, 18, 18}}},
    {"8, 9, 21, 25, 32-34", {1, 1, {74, 64, 48, 48, 44, 43, 43, 45, 48, 49, 50, 49, 48, 48, 48}, {74, 64, 48, 48, 44, 43, 43, 45, 48, 49, 50, 49, 48, 48, 48}}},
    {"11, 12", {0, 0, {91, 90, 89, 136, 138, 141, 144, 137, 130, 128, 127, 131, 136, 136, 136}, {91, 90, 89, 136, 138, 141, 144, 137, 130, 128, 127, 131, 136, 136, 136}}},
    {"17, 18, 42, 49", {1, 1, {92, 93, 90, 91, 90, 89, 86, 80, 79, 85, 82, 78, 77, 77, 77}, {92, 93, 90, 91, 90, 89, 86, 80, 79, 85, 82, 78, 77, 77, 77}}},
    {"19, 20", {2, 2, {76, 80, 86, 86, 88, 66, 44, 29, 14, 14, 14, 14, 14, 14, 14}, {76, 80, 86, 86, 88, 66, 44, 29, 14, 14, 14, 14, 14, 14, 14}}},
    {"22-24", {2, 2, {94, 95, 94, 94, 93, 88, 82, 62, 43, 32, 21, 19, 17, 17, 17}, {88, 88, 88, 88, 88, 82, 76, 53, 30, 24, 19, 19, 19, 18, 17}}},
    {"26-28, 30", {1, 1, {46, 49, 62, 68, 72, 79, 86, 87, 87, 87, 87, 87, 87, 87, 87}, {46, 49, 62, 68, 72, 79, 86, 87, 87, 87, 87, 87, 87, 87, 87}}},
    {"29, 37", {2, 1, {57, 47, 45, 40, 38, 35, 33, 29, 25, 19, 11, 10, 10, 10, 10}, {50, 50, 50, 50, 49, 45, 39, 32, 26, 21, 13, 8, 8, 8, 8}}},
    {"31", {2, 2, {94, 95, 94, 94, 93, 88, 82, 62, 43, 32, 21, 19, 17, 17, 17}, {94, 95, 94, 94, 93, 88, 82, 62, 43, 32, 21, 19, 17, 17, 17}}},
    {"35, 36", {1, 1, {74, 73, 51, 46, 26, 18, 10, 78, 145, 139, 132, 133, 134, 135, 136}, {74, 73, 51, 46, 26, 18, 10, 78, 145, 139, 132, 133, 134, 135, 136}}},
    {"38-41", {0, 0, {110, 110, 110, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74}, {110, 110, 110, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74, 74}}},
    {"43, 47", {1, 1, {67, 65, 63, 60, 68, 65, 61, 56, 51, 46, 42, 39, 37, 30, 23}, {67, 65, 63, 60, 68, 65, 61, 56, 51, 46, 42, 39, 37, 30, 23}}},
    {"44, 45", {1, 1, {61, 53, 42, 31, 31, 26, 21, 20, 19, 18, 17, 17, 17, 17, 17}, {61, 53, 42, 31, 31, 26, 21, 20, 19, 18, 17, 17, 17, 17, 17}}},
    {"46, 48", {1, 1, {49, 49, 49, 50, 49, 51, 48, 39, 32, 25, 15, 22, 29, 34, 40}, {92, 92, 92, 92, 92, 92, 92, 92, 101, 104, 96, 105, 107, 111, 108}}},
}};

// ServoInEnable, ServoInProcent, ServoInMode, ServoInStep, ServoInHyst, ServoExEnable, ServoExProcent,
// ServoExHyst.
constexpr std::array<ByCodes<ServoScalars>, 10> kServoScalars = {{
    {"0-5, 7-15, 19-21, 25, 26, 30, 31, 38-41, 43, 47", {0, 0, 1, 0, 80, 0, 0, 80}},
    {"6, 16, 49", {0, 0, 1, 0, 80, 1, 0, 80}},
    {"17, 18", {1, 1, 0, 0, 60, 1, 1, 40}},
    {"22", {1, 1, 0, 1, 30, 1, 0, 40}},
    {"23, 24", {1, 1, 0, 1, 30, 1, 1, 40}},
    {"27, 28, 44, 45", {1, 0, 1, 0, 80, 1, 0, 80}},
    {"29, 37", {1, 1, 0, 1, 30, 1, 0, 80}},
    {"32-36", {1, 0, 1, 0, 80, 0, 0, 80}},
    {"42", {0, 0, 1, 1, 40, 1, 0, 40}},
    {"46, 48", {1, 0, 0, 0, 40, 1, 0, 60}},
}};

// InjCorrWater[0..4], InjCorrAir[0..4], AkcelPrah, AkcelJet.
constexpr std::array<ByCodes<CorrectionDefaults>, 17> kCorrections = {{
    {"0, 1, 5", {{150, 138, 111, 100, 92}, {121, 110, 100, 92, 84}, 30, 84}},
    {"2-4, 26-28, 30, 31", {{113, 109, 105, 100, 97}, {109, 105, 100, 100, 100}, 30, 84}},
    {"6, 12-14", {{136, 125, 111, 100, 99}, {119, 109, 100, 100, 100}, 30, 84}},
    {"7, 10, 16", {{160, 139, 126, 100, 100}, {121, 105, 100, 98, 98}, 30, 84}},
    {"8, 9, 21, 25, 32-34", {{112, 107, 103, 100, 97}, {106, 103, 100, 100, 100}, 30, 84}},
    {"11", {{139, 110, 104, 100, 99}, {121, 110, 100, 97, 97}, 30, 84}},
    {"15", {{136, 125, 111, 100, 99}, {119, 109, 100, 100, 100}, 20, 78}},
    {"17, 18", {{125, 114, 107, 100, 98}, {113, 107, 100, 97, 93}, 20, 34}},
    {"19, 20", {{125, 114, 107, 100, 98}, {113, 107, 100, 97, 93}, 30, 84}},
    {"22-24", {{134, 118, 110, 100, 100}, {111, 107, 100, 95, 95}, 20, 36}},
    {"29, 37, 48", {{113, 109, 105, 100, 97}, {109, 105, 100, 100, 100}, 20, 36}},
    {"35, 36", {{117, 111, 104, 100, 99}, {110, 105, 100, 100, 100}, 30, 84}},
    {"38-41", {{125, 107, 100, 100, 100}, {105, 102, 100, 100, 100}, 30, 84}},
    {"42", {{125, 114, 107, 100, 98}, {113, 107, 100, 97, 93}, 30, 30}},
    {"43, 47, 49", {{124, 120, 109, 100, 98}, {115, 109, 100, 98, 93}, 30, 84}},
    {"44, 45", {{115, 107, 104, 100, 96}, {105, 101, 100, 90, 85}, 30, 84}},
    {"46", {{113, 109, 105, 100, 97}, {109, 105, 100, 100, 100}, 20, 30}},
}};

// IdleMode, IdleRpmMez, IdleTpsMez, IdleSmerReg, IdleStepPuls, IdleStepPerioda, IdleHyster,
// IdleServoPoz[0..8], IdleAdvOn, IdleAdvNaRpm, IdleAdvNaCas, IdleMaxAdv, IdleAdvPoz[0..8].
constexpr std::array<ByCodes<IdleDefaults>, 6> kIdle = {{
    {"0-14, 16, 19-21, 25-28, 30-36, 38-41, 43-45, 47, 49", {0, 15, 40, 1, 6, 6, 20, {36, 36, 36, 31, 28, 24, 24, 24, 24}, 0, 13, 3, 22, {36, 36, 35, 32, 31, 31, 31, 31, 29}}},
    {"15", {2, 20, 3, 1, 100, 100, 10, {36, 36, 36, 31, 28, 24, 24, 24, 24}, 0, 13, 3, 22, {36, 36, 35, 32, 31, 31, 31, 31, 29}}},
    {"17, 18", {1, 15, 40, 0, 6, 7, 20, {60, 60, 60, 55, 50, 50, 40, 40, 40}, 0, 1, 10, 25, {36, 36, 36, 31, 28, 24, 24, 24, 24}}},
    {"22-24, 29, 37", {1, 15, 40, 0, 6, 7, 20, {95, 95, 90, 80, 70, 40, 40, 40, 40}, 0, 1, 10, 25, {36, 36, 36, 31, 28, 24, 24, 24, 24}}},
    {"42", {3, 50, 40, 1, 6, 20, 20, {95, 95, 94, 88, 80, 78, 78, 78, 78}, 0, 13, 3, 22, {36, 36, 35, 32, 31, 31, 31, 31, 29}}},
    {"46, 48", {1, 20, 5, 0, 6, 6, 10, {38, 38, 38, 38, 38, 38, 35, 35, 35}, 0, 13, 3, 22, {36, 36, 35, 32, 31, 31, 31, 31, 29}}},
}};

// GearSystem, PulsuProSpeed, GearVoltage[0..6] (mV).
constexpr std::array<ByCodes<GearDefaults>, 7> kGears = {{
    {"0-16, 19-23, 25, 26, 38-41, 43, 47, 49", {3, 1000, {5000, 1797, 2260, 2998, 3662, 4360, 4687}}},
    {"17, 18", {0, 125, {4623, 3851, 3592, 3128, 3015, 2360, 1969}}},
    {"24", {0, 286, {4428, 3450, 2952, 2468, 1979, 1485, 987}}},
    {"27-37", {0, 1000, {5000, 1797, 2260, 2998, 3662, 4360, 4687}}},
    {"42", {0, 1000, {4877, 879, 1564, 2204, 2922, 3572, 4252}}},
    {"44, 45", {3, 970, {5000, 1797, 2260, 2998, 3662, 4360, 4687}}},
    {"46, 48", {3, 869, {5000, 1797, 2260, 2998, 3662, 4360, 4687}}},
}};

// ApsTlak1, ApsNapeti1, ApsTlak2, ApsNapeti2, IapsTlak1, IapsNapeti1, IapsTlak2, IapsNapeti2.
constexpr std::array<ByCodes<PressureSensorWords>, 6> kPressureSensors = {{
    {"0", {55, 1556, 105, 4116, 55, 2305, 105, 3756}},
    {"1, 2, 8, 9, 19-21, 25-41, 43, 46, 48, 49", {55, 2305, 105, 3756, 55, 2305, 105, 3756}},
    {"3, 4", {55, 2247, 105, 4744, 55, 2247, 105, 4744}},
    {"5", {55, 2108, 105, 5124, 55, 2108, 105, 5124}},
    {"6, 7, 10-16", {55, 1643, 105, 3005, 55, 1643, 105, 3005}},
    {"17, 18, 22-24, 42, 44, 45, 47", {55, 2162, 105, 4160, 55, 2162, 105, 4160}},
}};

// The nine words of BikeTempCurve.
constexpr std::array<ByCodes<std::array<std::uint16_t, 9>>, 13> kNinePointCurves = {{
    {"0, 1, 5", {270, 207, 179, 151, 132, 115, 100, 90, 81}},
    {"2, 26-31, 35-37, 46, 48", {220, 165, 148, 135, 125, 113, 100, 94, 82}},
    {"3, 4", {194, 166, 149, 136, 126, 114, 100, 95, 91}},
    {"6, 12-15", {227, 188, 155, 130, 112, 100, 100, 93, 84}},
    {"7", {379, 269, 190, 150, 127, 114, 100, 92, 86}},
    {"8, 9, 21, 25, 32-34", {193, 168, 149, 131, 119, 109, 100, 94, 86}},
    {"10, 16", {379, 269, 190, 150, 127, 114, 100, 91, 86}},
    {"11", {249, 208, 164, 143, 122, 112, 100, 88, 80}},
    {"17-20, 42", {248, 195, 175, 150, 133, 118, 100, 95, 88}},
    {"22-24", {226, 186, 156, 140, 123, 113, 100, 92, 87}},
    {"38-41", {234, 184, 154, 137, 125, 115, 100, 91, 86}},
    {"43, 47, 49", {230, 185, 160, 140, 125, 110, 100, 90, 90}},
    {"44, 45", {225, 190, 160, 140, 125, 115, 100, 90, 80}},
}};
// clang-format on

// The common temperature sensor curve, mV at -10, 5, 20 ... 110 degC.
constexpr std::array<std::uint16_t, 9> kTemperatureMv = {4049, 3401, 2713, 2037, 1420, 981, 642, 443, 299};
// Sensors given by converter counts at -10, 20, 50, 80 and 110 degC; the points between are the means.
constexpr std::array<int, 5> kCountsCodes3And4 = {838, 648, 300, 164, 122};
constexpr std::array<int, 5> kWaterCountsCodes14And15 = {841, 521, 243, 112, 57};

constexpr std::array<std::uint16_t, 9> CurveFromCounts(const std::array<int, 5>& counts) {
    std::array<std::uint16_t, 9> mv{};
    for (std::size_t k = 0; k < 5; ++k) mv[2 * k] = SensorMvFromCount(counts[k]);
    for (std::size_t k = 1; k < 9; k += 2) mv[k] = static_cast<std::uint16_t>((mv[k - 1] + mv[k + 1]) / 2);
    return mv;
}

constexpr bool ProfilesAgreeWithCatalogue() {
    std::uint64_t seen = 0;
    for (std::size_t p = 0; p < kProfiles.size(); ++p) {
        const std::uint64_t mask = CodeSet(kProfiles[p].codes);
        if ((mask & seen) != 0) return false;
        seen |= mask;
        for (const CatalogueRow& row : kCatalogue)
            if ((mask >> row.code & 1) != (row.triggerProfile == p)) return false;
    }
    return seen == kAllCodes;
}

constexpr bool CatalogueHasEveryCodeOnce() {
    std::uint64_t seen = 0;
    for (const CatalogueRow& row : kCatalogue) {
        if (row.code >= MotorcycleTypeCount || (seen >> row.code & 1) ||
            row.triggerProfile >= TriggerProfileCount)
            return false;
        seen |= std::uint64_t{1} << row.code;
    }
    return seen == kAllCodes;
}

static_assert(CatalogueHasEveryCodeOnce());
static_assert(ProfilesAgreeWithCatalogue());
static_assert(CoversEveryCodeOnce(kRpmAxes));
static_assert(CoversEveryCodeOnce(kPositions));
static_assert(CoversEveryCodeOnce(kServoScalars));
static_assert(CoversEveryCodeOnce(kCorrections));
static_assert(CoversEveryCodeOnce(kIdle));
static_assert(CoversEveryCodeOnce(kGears));
static_assert(CoversEveryCodeOnce(kPressureSensors));
static_assert(CoversEveryCodeOnce(kNinePointCurves));

// Item of every code, built once from the catalogue.
constexpr std::array<std::int8_t, MotorcycleTypeCount> kItemOfCode = [] {
    std::array<std::int8_t, MotorcycleTypeCount> items{};
    for (std::size_t i = 0; i < kCatalogue.size(); ++i)
        items[kCatalogue[i].code] = static_cast<std::int8_t>(i);
    return items;
}();

constexpr std::array<TriggerProfile, TriggerProfileCount> kProfileValues = [] {
    std::array<TriggerProfile, TriggerProfileCount> values{};
    for (std::size_t p = 0; p < kProfiles.size(); ++p) values[p] = kProfiles[p].profile;
    return values;
}();

}  // namespace

bool IsMotorcycleCode(int code) {
    return code >= 0 && code < MotorcycleTypeCount;
}

std::span<const CatalogueRow> CatalogueRows() {
    return kCatalogue;
}

std::span<const TriggerProfile, TriggerProfileCount> TriggerProfiles() {
    return kProfileValues;
}

int CodeOfItem(int item) {
    if (item < 0 || item >= MotorcycleTypeCount) return -1;
    return kCatalogue[static_cast<std::size_t>(item)].code;
}

int ItemOfCode(int code) {
    if (!IsMotorcycleCode(code)) return SeparatorItem;
    return kItemOfCode[static_cast<std::size_t>(code)];
}

std::string_view ListTextOfItem(int item) {
    if (item == SeparatorItem) return SeparatorText;
    if (item < 0 || item > SeparatorItem) return {};
    return kCatalogue[static_cast<std::size_t>(item)].listText;
}

const CatalogueRow& CatalogueRowOfCode(int code) {
    return kCatalogue[static_cast<std::size_t>(ItemOfCode(IsMotorcycleCode(code) ? code : StartupBikeCode))];
}

const TriggerProfile& TriggerProfileOfCode(int code) {
    return kProfileValues[CatalogueRowOfCode(code).triggerProfile];
}

std::array<std::uint8_t, 15> RpmAxisOfCode(int code) {
    std::array<std::uint8_t, 15> stored{};
    const auto& rpm = ValueOfCode(kRpmAxes, code);
    for (std::size_t c = 0; c < stored.size(); ++c) stored[c] = static_cast<std::uint8_t>(rpm[c] / 100);
    return stored;
}

const PositionDefaults& PositionsOfCode(int code) {
    return ValueOfCode(kPositions, code);
}

const ServoScalars& ServoScalarsOfCode(int code) {
    return ValueOfCode(kServoScalars, code);
}

const CorrectionDefaults& CorrectionsOfCode(int code) {
    return ValueOfCode(kCorrections, code);
}

const IdleDefaults& IdleOfCode(int code) {
    return ValueOfCode(kIdle, code);
}

const GearDefaults& GearOfCode(int code) {
    return ValueOfCode(kGears, code);
}

const PressureSensorWords& PressureSensorsOfCode(int code) {
    return ValueOfCode(kPressureSensors, code);
}

TemperatureSensors TemperatureSensorsOfCode(int code) {
    if (!IsMotorcycleCode(code)) code = StartupBikeCode;
    TemperatureSensors sensors{kTemperatureMv, kTemperatureMv};
    if (code == 3 || code == 4) sensors.water = sensors.air = CurveFromCounts(kCountsCodes3And4);
    if (code == 14 || code == 15) sensors.water = CurveFromCounts(kWaterCountsCodes14And15);
    return sensors;
}

const std::array<std::uint16_t, 9>& NinePointCurveOfCode(int code) {
    return ValueOfCode(kNinePointCurves, code);
}

}  // namespace torvane
