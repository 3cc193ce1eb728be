#pragma once
// Command line of the pseudo-terminal server program.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "sim/unit_model.h"

namespace torvane {

struct SimOptions {
    UnitIdentity identity;
    UnitFaults faults;
    std::uint64_t seed = 1;
    bool quiet = false;
    bool help = false;
    std::string imageFile;  // raw 3300-byte image whose blocks 1..10 the unit starts with
};

// Parses the arguments after the program name; empty with a reason in error on bad input.
std::optional<SimOptions> ParseSimOptions(std::span<const std::string> args, std::string& error);
std::string SimUsage();

}  // namespace torvane
