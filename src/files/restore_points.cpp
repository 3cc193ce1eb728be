#include "files/restore_points.h"

#include <algorithm>
#include <cstdio>
#include <system_error>

#include "files/parameter_file.h"

namespace torvane {
namespace {

std::string_view KindWord(RestoreKind kind) {
    return kind == RestoreKind::Read ? "read" : "program";
}

bool AllDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// By time (the stamp has fixed widths), then by the order within one second.
bool Newer(const RestorePoint& a, const RestorePoint& b) {
    if (a.stamp != b.stamp) return a.stamp > b.stamp;
    return a.sequence > b.sequence;
}

}  // namespace

std::string RestorePointFileName(const std::tm& t, RestoreKind kind) {
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d_%02d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return std::string(stamp) + "-" + std::string(KindWord(kind)) + ".ign";
}

std::optional<RestorePoint> ParseRestorePointName(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    // 0123456789012345678
    // YYYY-MM-DD_HH-MM-SS-kind[-n].ign
    if (name.size() < 28 || name.substr(name.size() - 4) != ".ign") return std::nullopt;
    const std::string_view n(name);
    const auto at = [&](std::size_t pos, std::size_t len) { return n.substr(pos, len); };
    if (!AllDigits(at(0, 4)) || n[4] != '-' || !AllDigits(at(5, 2)) || n[7] != '-' || !AllDigits(at(8, 2)) ||
        n[10] != '_' || !AllDigits(at(11, 2)) || n[13] != '-' || !AllDigits(at(14, 2)) || n[16] != '-' ||
        !AllDigits(at(17, 2)) || n[19] != '-')
        return std::nullopt;
    std::string_view rest = n.substr(20, n.size() - 24);
    RestorePoint point;
    if (rest.starts_with("read")) {
        point.kind = RestoreKind::Read;
        rest.remove_prefix(4);
    } else if (rest.starts_with("program")) {
        point.kind = RestoreKind::Program;
        rest.remove_prefix(7);
    } else {
        return std::nullopt;
    }
    if (!rest.empty()) {
        if (rest[0] != '-' || !AllDigits(rest.substr(1)) || rest.size() > 4) return std::nullopt;
        point.sequence = std::stoi(std::string(rest.substr(1)));
    }
    point.path = path;
    point.stamp = std::string(at(0, 10)) + " " + std::string(at(11, 2)) + ":" + std::string(at(14, 2)) + ":" +
                  std::string(at(17, 2));
    return point;
}

std::vector<RestorePoint> ListRestorePoints(const std::filesystem::path& folder) {
    std::vector<RestorePoint> points;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        if (auto p = ParseRestorePointName(it->path())) points.push_back(*p);
    }
    std::sort(points.begin(), points.end(), Newer);
    return points;
}

std::optional<std::filesystem::path> StoreRestorePoint(const std::filesystem::path& folder,
                                                       const DeviceImage& image, RestoreKind kind,
                                                       std::time_t when) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    const std::string name = RestorePointFileName(local, kind);
    // Later points of the same second, whatever their kind, carry the next number, so the list
    // keeps their order.
    int sequence = 0;
    std::vector<RestorePoint> existing = ListRestorePoints(folder);
    const std::optional<RestorePoint> mine = ParseRestorePointName(name);
    for (const RestorePoint& p : existing) {
        if (mine && p.stamp == mine->stamp) sequence = std::max(sequence, p.sequence);
    }
    const std::filesystem::path path = folder / (sequence == 0 ? name
                                                               : name.substr(0, name.size() - 4) + "-" +
                                                                     std::to_string(sequence + 1) + ".ign");
    if (SaveParameterFile(path.string(), image) != FileResult::Ok) return std::nullopt;
    existing = ListRestorePoints(folder);
    for (std::size_t i = RestorePointsKept; i < existing.size(); ++i)
        std::filesystem::remove(existing[i].path, ec);
    return path;
}

}  // namespace torvane
