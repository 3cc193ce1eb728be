#pragma once
// The parameter file (*.ign): a sectioned text rendering of image blocks 1 to 10 and the memo.
// The writer emits a fixed line layout with CR LF line ends; the reader is a token reader that accepts
// sections in any order, repeated, missing or unknown, limits every value to the range its field can
// store, and refuses a file whose applied section is cut short or holds a word where a number belongs.

#include <string>
#include <string_view>

#include "image/defaults.h"
#include "image/device_image.h"

namespace torvane {

inline constexpr std::string_view ParameterFileKey = "KESTRAVO_KEY";

enum class FileResult {
    Ok,          // key line with version 70 found; the sections were applied
    Refused,     // no key line, or another version: the image is untouched
    Damaged,     // a section that applies ends early or holds no number: the image is untouched
    Unreadable,  // the file could not be opened or read (or written, for a save)
};

// Where the reader stopped in a damaged file.
struct FileDamage {
    int line = 0;         // 1-based; a line ends at LF (CR LF counts once)
    std::string section;  // key of the section being read, e.g. "ADVANCE"
};

struct LoadOptions {
    bool pageOnly = false;  // apply only the sections of `currentPage`
    int currentPage = 0;
    // Working state of the defaults that BIKE applies on a full open; a private one when null. Like
    // the image, they change only when the file is taken (Ok).
    InjectionWork* work = nullptr;
    DefaultsState* defaults = nullptr;
};

// The whole file text for `image`; the memo is taken from the image.
std::string FormatParameterFile(const DeviceImage& image);
// The same with the memo bytes (Windows-1250) given by the caller, e.g. the memo box of the Bike page.
std::string FormatParameterFile(const DeviceImage& image, std::string_view memo);

// Writes the file via a temporary file renamed into place. Unreadable when it cannot be written.
FileResult SaveParameterFile(const std::string& path, const DeviceImage& image);
FileResult SaveParameterFile(const std::string& path, const DeviceImage& image, std::string_view memo);

// Reads file text into `image`. On anything but Ok the image is left exactly as it was; on Damaged,
// `damage` (when given) tells the line and section where reading stopped: the line of the word that is
// no number, or for a file that ends inside a section the line its last text stands on. A full open
// applies the defaults of the type in BIKE before the sections that follow; the caller normalizes
// afterwards. Each value is limited to its field's stored range (0..255, 0..65535) rather than wrapped.
// MEMO ends the sections: the rest of the file is the memo's text, in every open mode.
FileResult ReadParameterText(std::string_view text, DeviceImage& image, const LoadOptions& options = {},
                             FileDamage* damage = nullptr);
FileResult LoadParameterFile(const std::string& path, DeviceImage& image, const LoadOptions& options = {},
                             FileDamage* damage = nullptr);

}  // namespace torvane
