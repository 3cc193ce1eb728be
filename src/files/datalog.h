#pragma once
// Datalogs: the decoded monitor frames of a ride as CSV. One header row of column names with their
// units in brackets ("time [s]", "rpm [1/min]", "tps [%]" ...), then one row per decoded monitor frame,
// "." as the decimal point. The writer flushes every row, so a crash keeps what was logged.

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/live_values.h"

namespace torvane {

struct DatalogColumn {
    std::string_view name;  // as in the header, without the unit: "rpm"
    std::string_view unit;  // the text between the brackets: "1/min"; empty for counts and bit sets
};

// The columns the writer puts in every log, in their order; column 0 is the time.
const std::vector<DatalogColumn>& DatalogColumns();

// "time [s],rpm [1/min],..." without the line end.
std::string DatalogHeader();
// One row for a frame decoded `seconds` after the log began, without the line end.
std::string FormatDatalogRow(double seconds, const LiveValues& live);

// A log as read back: one vector per column, all of the same length (rows()).
struct Datalog {
    std::vector<std::string> names;  // column names without units
    std::vector<std::string> units;  // the units in brackets, empty where the header had none
    std::vector<std::vector<double>> columns;
    std::size_t skippedLines = 0;  // rows that were not numbers or had the wrong number of cells

    std::size_t rows() const { return columns.empty() ? 0 : columns.front().size(); }
    // Index of the named column, or -1.
    int column(std::string_view name) const;
    // The value of a column in a row; 0 when the column is missing.
    double value(std::string_view name, std::size_t row) const;
};

// Reads a log. Empty with a reason in error when the file cannot be read or has no time column.
// Lines that do not parse are skipped and counted; a log with no rows is still a log.
std::optional<Datalog> ReadDatalog(const std::string& path, std::string& error);
std::optional<Datalog> ParseDatalog(std::string_view text, std::string& error);

// The live values a logged frame gave, for replay: every value the live operating point and the
// monitor readouts read. Columns missing from the log leave their defaults.
LiveValues LiveValuesFromDatalog(const Datalog& log, std::size_t row);

// Writes a log as frames arrive. Not atomic by design: the rows written so far are the log.
class DatalogWriter {
  public:
    DatalogWriter() = default;
    DatalogWriter(const DatalogWriter&) = delete;
    DatalogWriter& operator=(const DatalogWriter&) = delete;
    ~DatalogWriter();

    // Creates (or truncates) the file and writes the header. False with a reason when it cannot.
    bool open(const std::string& path, std::string& error);
    // Appends a row and flushes it. False when the write failed (disk full, file gone).
    bool append(double seconds, const LiveValues& live);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    std::size_t rows() const { return rows_; }
    const std::string& path() const { return path_; }

  private:
    std::FILE* file_ = nullptr;
    std::size_t rows_ = 0;
    std::string path_;
};

}  // namespace torvane
