// libFuzzer target: the parameter file reader must take any bytes without crashing, without touching
// memory outside the image, and without changing the image when it refuses the file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/default_image.h"
#include "files/parameter_file.h"

namespace {

const torvane::DeviceImage& StartImage() {
    static const torvane::DeviceImage image = torvane::NewImageForBike(32);
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace torvane;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    // The first byte, when there is one, also picks the open mode and the page.
    LoadOptions options;
    if (size > 0) {
        options.pageOnly = (data[0] & 0x80) != 0;
        options.currentPage = data[0] % 19;
    }
    DeviceImage image = StartImage();
    const FileResult result = ReadParameterText(text, image, options);
    if (result == FileResult::Refused && !(image == StartImage())) __builtin_trap();
    if (result == FileResult::Ok && image.byteAt(3299) != 0) __builtin_trap();
    // Whatever was read must write out as a file that reads back.
    DeviceImage again = StartImage();
    if (ReadParameterText(FormatParameterFile(image), again) != FileResult::Ok) __builtin_trap();
    return 0;
}
