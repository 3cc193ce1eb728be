#pragma once
// Decodes the unit's monitor frame (first byte 176) into LiveValues.

#include <cstdint>
#include <span>

#include "image/device_image.h"
#include "link/live_values.h"

namespace torvane {

// Returns false (and changes nothing) when the frame fails its checksum.
bool DecodeMonitorFrame(std::span<const std::uint8_t> frame, const DeviceImage& image, LiveValues& live);

// The states the decoder derives from the four flag bytes (live.monitor.flags) and the throttle share
// (live.ThrottleShare): limiters, base advance, sensor errors and which maps the injection comes from.
// Shared with the datalog replay, which rebuilds them from the logged bytes.
void DeriveMonitorStates(LiveValues& live);
// Coolant temperature for the live operating point: raw byte 23, a sensor error (0) reads as 180.
std::uint8_t CoolantTemperatureOf(std::uint8_t coolantRaw);
// Longest injection time of the sample as a share of the engine cycle at previousSpeed rpm (the
// engine speed of the frame before).
int MonitorDutyPercent(std::uint16_t previousSpeed, const MonitorSample& sample);

}  // namespace torvane
