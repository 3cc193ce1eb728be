#pragma once
// Restore points: every Read and every Program that ends with a passed verification leaves the
// configuration as a parameter file in the restore folder, named by its local time and kind
// ("2026-12-10_14-03-59-read.ign"). The newest 200 are kept; a tuner finds the configuration the
// unit held at any of those moments and opens it again.

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "image/device_image.h"

namespace torvane {

inline constexpr int RestorePointsKept = 200;

enum class RestoreKind { Read, Program };

struct RestorePoint {
    std::filesystem::path path;
    std::string stamp;  // "2026-12-10 14:03:59"
    RestoreKind kind = RestoreKind::Read;
    int sequence = 1;  // 2, 3 ... for later points of the same second
};

// "YYYY-MM-DD_HH-MM-SS-read.ign" / "...-program.ign" for a local time.
std::string RestorePointFileName(const std::tm& local, RestoreKind kind);
// The file name's time and kind; nullopt for a file that is no restore point.
std::optional<RestorePoint> ParseRestorePointName(const std::filesystem::path& path);

// Writes the configuration into folder (made if missing) under the name of `when`, then keeps only
// the newest RestorePointsKept. Later points of the same second are numbered ("...-read-2.ign"). The path
// written, or nullopt when it could not be written.
std::optional<std::filesystem::path> StoreRestorePoint(const std::filesystem::path& folder,
                                                       const DeviceImage& image, RestoreKind kind,
                                                       std::time_t when);
// The restore points of folder, newest first.
std::vector<RestorePoint> ListRestorePoints(const std::filesystem::path& folder);

}  // namespace torvane
