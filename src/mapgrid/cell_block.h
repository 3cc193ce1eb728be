#pragma once
// Blocks of map cells as text, the way spreadsheets put them on the clipboard: one line per row, the
// values of a row separated by tabs. What is pasted may also be separated by semicolons or blanks.

#include <string>
#include <string_view>
#include <vector>

namespace torvane {

// Tab-separated lines, each ended by a line break.
std::string FormatCellBlock(const std::vector<std::vector<std::string>>& rows);

struct CellBlock {
    std::vector<std::vector<int>> rows;  // rows of whole numbers (a row may be shorter than another)
    bool withHeaders = false;            // the first line and first column were axes and are left out
    // Where the block is not numbers: the line (1-based) and the text found there; 0 when it is.
    int badLine = 0;
    std::string badText;
    bool ok() const { return badLine == 0 && !rows.empty(); }
};

// Reads a block of numbers. A line's values are separated by tabs if the text holds one, else by
// semicolons if it holds one, else by blanks; line ends may be LF, CR LF or CR, and blank lines at the
// end are left out. Numbers may carry a sign and a decimal point or comma and are rounded to whole
// numbers. A block whose top-left value is no number is read as a map with its axes (the first line
// the rpm axis, the first column the rows' names), and only the values within are taken. Anything
// else that is not a number (an empty value too) refuses the whole block.
CellBlock ParseCellBlock(std::string_view text);

}  // namespace torvane
