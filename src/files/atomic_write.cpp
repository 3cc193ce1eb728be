#include "files/atomic_write.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace torvane {

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty()) return false;
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok) {
        std::filesystem::rename(tmp, path, ec);
        ok = !ec;
    }
    if (!ok) std::filesystem::remove(tmp, ec);
    return ok;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return std::nullopt;
    std::string out;
    char buf[65536];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, f);
        if (n > 0) {
            if (out.size() + n > maxBytes) {
                ok = false;
                break;
            }
            out.append(buf, n);
        }
        if (n < sizeof buf) {
            ok = ok && !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) return std::nullopt;
    return out;
}

}  // namespace torvane
