#pragma once
// The image the command New gives for a motorcycle type, as Save would write it: the full defaults
// of the type, normalized.

#include "image/device_image.h"

namespace torvane {

DeviceImage NewImageForBike(int bike);

}  // namespace torvane
