#pragma once
// NormalizeImage: brings a device image into the shape the unit accepts. Every out-of-shape value is
// repaired in place; nothing is refused and nothing is reported as an error.

#include "image/device_image.h"

namespace torvane {

// The two settings indices the pass also keeps in range.
struct NormalizeSettings {
    int languageIndex = 0;  // 0..3
    int portIndex = 0;      // 0..19
};

// What the pass tells the window besides the repaired image.
struct NormalizeResult {
    NormalizeSettings settings;  // the indices, an out-of-range one reset to 0
    // The two calibration points of a pressure sensor have the same voltage: the edit boxes
    // EditApsNapeti1/EditApsNapeti2 (resp. EditIapsNapeti1/EditIapsNapeti2) are shown red.
    bool editApsNapeti1Red = false;
    bool editApsNapeti2Red = false;
    bool editIapsNapeti1Red = false;
    bool editIapsNapeti2Red = false;
    // Bike is 8 or 25: advance cells are limited to BaseAdvance + LobeWidth.
    bool advanceLimitedByLobe = false;
};

NormalizeResult NormalizeImage(DeviceImage& image, NormalizeSettings settings = {});

}  // namespace torvane
