// libFuzzer target: the parameter file reader must take any bytes without crashing, without touching
// memory outside the image, and without changing the image when it refuses the file or finds it damaged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/default_image.h"
#include "files/parameter_file.h"

namespace {

const torvane::DeviceImage& StartImage() {
    static const torvane::DeviceImage image = torvane::NewImageForBike(32);
    return image;
}

// The file up to its memo: the sections, which must read back to the same text.
std::string_view SectionsOf(std::string_view file) {
    return file.substr(0, file.rfind("MEMO         \r\n"));
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
    FileDamage damage;
    const FileResult result = ReadParameterText(text, image, options, &damage);
    if (result != FileResult::Ok && !(image == StartImage())) __builtin_trap();
    const auto lines = 1 + std::count(text.begin(), text.end(), '\n');
    if (result == FileResult::Damaged && (damage.line < 1 || damage.line > lines || damage.section.empty()))
        __builtin_trap();
    if (result == FileResult::Ok && image.byteAt(3299) != 0) __builtin_trap();
    // Whatever was read writes out as a file that reads back to the same values.
    const std::string written = FormatParameterFile(image);
    DeviceImage again = StartImage();
    if (ReadParameterText(written, again) != FileResult::Ok) __builtin_trap();
    if (SectionsOf(FormatParameterFile(again)) != SectionsOf(written)) __builtin_trap();
    return 0;
}
