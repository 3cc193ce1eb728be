// libFuzzer target: the image backup file the window reads at start-up. Any bytes must read without
// crashing; only the bytes the file held numbers for may change (never block 0, the unit's header);
// and what was read must write out as a backup that reads back to the same image and page states.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "image/device_image.h"
#include "settings/startup_settings.h"

namespace {

using namespace torvane;

// The "All" check boxes of the backup file: one for each of the 19 pages.
using AllStates = std::array<std::uint8_t, 19>;

[[noreturn]] void Fail() {
    __builtin_trap();
}

const DeviceImage& StartImage() {
    static const DeviceImage image = [] {
        DeviceImage i;
        for (std::size_t k = 0; k < ImageSize; ++k) i.setByte(k, static_cast<std::uint8_t>(k * 7 + 3));
        for (std::size_t k = 0; k < i.IapAxis.size(); ++k)
            i.IapAxis[k] = static_cast<std::uint16_t>(1000 + k);
        return i;
    }();
    return image;
}

constexpr AllStates StartStates = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    DeviceImage image = StartImage();
    AllStates states = StartStates;
    const BackupReadCounts counts = ReadImageBackup(text, image, states);
    if (counts.imageBytes > ImageSize - BlockSize || counts.allStates > states.size() ||
        counts.iapWords > image.IapAxis.size())
        Fail();
    const std::size_t firstKept = BlockSize + counts.imageBytes;
    if (std::memcmp(image.bytes().data(), StartImage().bytes().data(), BlockSize) != 0) Fail();
    if (std::memcmp(image.bytes().data() + firstKept, StartImage().bytes().data() + firstKept,
                    ImageSize - firstKept) != 0)
        Fail();
    for (std::size_t k = counts.allStates; k < states.size(); ++k)
        if (states[k] != StartStates[k]) Fail();
    for (std::size_t k = counts.iapWords; k < image.IapAxis.size(); ++k)
        if (image.IapAxis[k] != StartImage().IapAxis[k]) Fail();

    DeviceImage reread;
    AllStates rereadStates{};
    const BackupReadCounts full = ReadImageBackup(ImageBackupText(image, states), reread, rereadStates);
    if (full.imageBytes != ImageSize - BlockSize || full.allStates != states.size() ||
        full.iapWords != image.IapAxis.size())
        Fail();
    if (std::memcmp(reread.bytes().data() + BlockSize, image.bytes().data() + BlockSize,
                    ImageSize - BlockSize) != 0 ||
        reread.IapAxis != image.IapAxis || rereadStates != states)
        Fail();
    return 0;
}
