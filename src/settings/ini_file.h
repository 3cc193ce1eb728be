#pragma once
// A small INI-style settings file: "[SECTION]" headers and "Key=Value" lines.
// Reading is tolerant: unknown lines are kept out of the way, malformed ones ignored.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace torvane {

class IniFile {
  public:
    void parse(std::string_view text);
    std::string text() const;

    // The integer of the key; the default when the key is absent or its value is not a whole number.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeString(std::string_view section, std::string_view key, std::string_view value);

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    const std::string* find(std::string_view section, std::string_view key) const;
    std::vector<Section> sections_;
};

}  // namespace torvane
