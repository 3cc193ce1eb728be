#pragma once
// The latest decoded monitor values of the unit.

#include <cstdint>

namespace torvane {

struct LiveValues {
    std::uint16_t UnitSavingCountdown = 0;  // monitor word 74: the unit's storing work after programming
};

}  // namespace torvane
