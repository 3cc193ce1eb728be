#include "mapgrid/cell_block.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace torvane {
namespace {

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// A whole or decimal number, rounded half away from zero; nothing for any other text.
std::optional<int> NumberOf(std::string_view s) {
    s = Trim(s);
    std::string digits;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) digits += s[i++];
    bool any = false, point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            digits += c;
            any = true;
        } else if ((c == '.' || c == ',') && !point) {
            digits += '.';
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!any || digits.size() > 24) return std::nullopt;
    const double v = std::strtod(digits.c_str(), nullptr);
    if (!(std::fabs(v) < 2.0e9)) return std::nullopt;
    return static_cast<int>(std::lround(v));
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    while (!lines.empty() && Trim(lines.back()).empty()) lines.pop_back();
    return lines;
}

std::vector<std::string_view> SplitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    if (separator != ' ') {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= line.size(); ++i) {
            if (i == line.size() || line[i] == separator) {
                fields.push_back(line.substr(start, i - start));
                start = i + 1;
            }
        }
        return fields;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

}  // namespace

std::string FormatCellBlock(const std::vector<std::vector<std::string>>& rows) {
    std::string out;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += '\t';
            out += row[c];
        }
        out += '\n';
    }
    return out;
}

CellBlock ParseCellBlock(std::string_view text) {
    CellBlock block;
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.empty()) {
        block.badLine = 1;
        return block;
    }
    const char separator = text.find('\t') != std::string_view::npos  ? '\t'
                           : text.find(';') != std::string_view::npos ? ';'
                                                                      : ' ';
    std::vector<std::vector<std::string_view>> fields;
    for (std::string_view line : lines) fields.push_back(SplitFields(line, separator));
    // A map copied with its axes: its first line and first column are left out.
    block.withHeaders = fields.front().empty() || !NumberOf(fields.front().front());
    const std::size_t firstLine = block.withHeaders ? 1 : 0;
    const std::size_t firstField = block.withHeaders ? 1 : 0;
    for (std::size_t l = firstLine; l < fields.size(); ++l) {
        std::vector<int> row;
        for (std::size_t f = firstField; f < fields[l].size(); ++f) {
            const std::optional<int> v = NumberOf(fields[l][f]);
            if (!v) {
                block.badLine = static_cast<int>(l) + 1;
                block.badText = std::string(Trim(fields[l][f]));
                block.rows.clear();
                return block;
            }
            row.push_back(*v);
        }
        if (row.empty()) {
            block.badLine = static_cast<int>(l) + 1;
            block.rows.clear();
            return block;
        }
        block.rows.push_back(std::move(row));
    }
    if (block.rows.empty()) {
        block.badLine = 1;
        if (!fields.front().empty()) block.badText = std::string(Trim(fields.front().front()));
    }
    return block;
}

}  // namespace torvane
