#pragma once
// Decodes the unit's monitor frame (first byte 176) into LiveValues.

#include <cstdint>
#include <span>

#include "image/device_image.h"
#include "link/live_values.h"

namespace torvane {

// Returns false (and changes nothing) when the frame fails its checksum.
bool DecodeMonitorFrame(std::span<const std::uint8_t> frame, const DeviceImage& image, LiveValues& live);

}  // namespace torvane
