#include "settings/ini_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace torvane {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void IniFile::parse(std::string_view text) {
    sections_.clear();
    Section* current = nullptr;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            if (close == std::string_view::npos) continue;
            sections_.push_back({std::string(trim(line.substr(1, close - 1))), {}});
            current = &sections_.back();
            continue;
        }
        const std::size_t eq = line.find('=');
        if (current == nullptr || eq == std::string_view::npos) continue;
        const std::string_view key = trim(line.substr(0, eq));
        if (key.empty()) continue;
        current->entries.emplace_back(std::string(key), std::string(trim(line.substr(eq + 1))));
    }
}

std::string IniFile::text() const {
    std::string out;
    for (const Section& s : sections_) {
        out += "[" + s.name + "]\n";
        for (const auto& [key, value] : s.entries) out += key + "=" + value + "\n";
        out += "\n";
    }
    return out;
}

const std::string* IniFile::find(std::string_view section, std::string_view key) const {
    for (const Section& s : sections_) {
        if (!sameName(s.name, section)) continue;
        for (const auto& [k, v] : s.entries) {
            if (sameName(k, key)) return &v;
        }
    }
    return nullptr;
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const std::string* value = find(section, key);
    if (value == nullptr) return defaultValue;
    std::string_view v = *value;
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    int result = 0;
    const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), result);
    if (ec != std::errc{} || ptr != v.data() + v.size() || v.empty()) return defaultValue;
    return result;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const std::string* value = find(section, key);
    return value != nullptr ? *value : std::string(defaultValue);
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return sameName(s.name, section); });
    if (it == sections_.end()) {
        sections_.push_back({std::string(section), {}});
        it = sections_.end() - 1;
    }
    // Line breaks would split the value into a second, bogus entry.
    std::string clean(value);
    std::replace(clean.begin(), clean.end(), '\n', ' ');
    std::replace(clean.begin(), clean.end(), '\r', ' ');
    for (auto& [k, v] : it->entries) {
        if (sameName(k, key)) {
            v = clean;
            return;
        }
    }
    it->entries.emplace_back(std::string(key), clean);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

}  // namespace torvane
