#pragma once
// The parameter file (*.ign): a sectioned text rendering of image blocks 1 to 10 and the memo.
// The writer emits a fixed line layout with CR LF line ends; the reader is a tolerant token reader
// that accepts sections in any order, repeated, missing or unknown.

#include <string>
#include <string_view>

#include "image/defaults.h"
#include "image/device_image.h"

namespace torvane {

inline constexpr std::string_view ParameterFileKey = "KESTRAVO_KEY";

enum class FileResult {
    Ok,          // key line with version 70 found; the sections were applied
    Refused,     // no key line, or another version: the image is untouched
    Unreadable,  // the file could not be opened or read (or written, for a save)
};

struct LoadOptions {
    bool pageOnly = false;  // apply only the sections of `currentPage`
    int currentPage = 0;
    // Working state of the defaults that BIKE applies on a full open; a private one when null.
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

// Reads file text into `image`. On Refused the image is left exactly as it was. A full open applies
// the defaults of the type in BIKE before the sections that follow; the caller normalizes afterwards.
FileResult ReadParameterText(std::string_view text, DeviceImage& image, const LoadOptions& options = {});
FileResult LoadParameterFile(const std::string& path, DeviceImage& image, const LoadOptions& options = {});

}  // namespace torvane
