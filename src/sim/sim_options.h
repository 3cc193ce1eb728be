#pragma once
// Command line of the pseudo-terminal server program.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "sim/engine_model.h"
#include "sim/unit_model.h"

namespace torvane {

struct SimOptions {
    UnitIdentity identity;
    UnitFaults faults;
    std::uint64_t seed = 1;
    bool quiet = false;
    bool help = false;
    std::string imageFile;  // raw 3300-byte image whose blocks 1..10 the unit starts with
    EngineMotion motion = EngineMotion::Cycle;
    OperatingPoint holdPoint;  // with EngineMotion::Hold
};

// "RPM,TPS" (engine speed 0..25000 rpm, throttle 0..100 %), as --hold takes it.
std::optional<OperatingPoint> ParseOperatingPoint(std::string_view text);

// Parses the arguments after the program name; empty with a reason in error on bad input.
std::optional<SimOptions> ParseSimOptions(std::span<const std::string> args, std::string& error);
std::string SimUsage();

}  // namespace torvane
