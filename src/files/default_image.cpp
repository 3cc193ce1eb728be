#include "files/default_image.h"

#include "image/defaults.h"
#include "image/normalize.h"

namespace torvane {

DeviceImage NewImageForBike(int bike) {
    DeviceImage image;
    image.setByte(300, static_cast<std::uint8_t>(bike));
    InjectionWork work;
    DefaultsState state;
    ApplyDefaults(image, work, state, false, 0);
    NormalizeImage(image);
    return image;
}

}  // namespace torvane
