// libFuzzer target: the datalog reader behind File > "Open datalog..." and replay. Any bytes must read
// without crashing; a log that reads has one column per header cell, all of one length, a time in
// every row and no infinite value; the replay values of any row, written as the recorder writes them,
// read back to the same row.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/datalog.h"

namespace {

using namespace torvane;

[[noreturn]] void Fail() {
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto log = ParseDatalog(text, error);
    if (!log) {
        if (error.empty()) Fail();
        return 0;
    }
    const std::size_t cells = log->names.size();
    if (cells == 0 || log->units.size() != cells || log->columns.size() != cells) Fail();
    const int time = log->column("time");
    if (time < 0) Fail();
    std::size_t lines = 1;
    for (char c : text) lines += c == '\n';
    if (log->rows() + log->skippedLines + 1 > lines) Fail();
    for (const auto& column : log->columns) {
        if (column.size() != log->rows()) Fail();
        for (double v : column)
            if (std::isinf(v)) Fail();
    }
    for (double t : log->columns[static_cast<std::size_t>(time)])
        if (std::isnan(t)) Fail();

    for (const std::size_t row : {std::size_t{0}, log->rows() / 2, log->rows() - 1, log->rows()}) {
        if (row >= log->rows()) {
            (void)LiveValuesFromDatalog(*log, row);  // past the end: the defaults
            continue;
        }
        const double seconds = log->value("time", row);
        const std::string written = FormatDatalogRow(seconds, LiveValuesFromDatalog(*log, row));
        std::string again;
        const auto reread = ParseDatalog(DatalogHeader() + "\n" + written + "\n", again);
        if (!reread || reread->rows() != 1 || reread->skippedLines != 0) Fail();
        if (FormatDatalogRow(reread->value("time", 0), LiveValuesFromDatalog(*reread, 0)) != written) Fail();
    }
    return 0;
}
