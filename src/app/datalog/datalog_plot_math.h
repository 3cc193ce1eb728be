#pragma once
// The arithmetic of the datalog viewer: finding rows by time, thinning a channel to what the plot's pixel
// columns can show, the time window under zoom and pan, and the replay clock. Plain C++ so that it is
// tested without a window. Times are the log's time column, rising as the writer logs them; a damaged
// log whose times jump back gives wrong rows, never a read outside the log.

#include <cstddef>
#include <span>
#include <vector>

namespace torvane {

// The row whose time is nearest t (the earlier one on a tie); 0 for an empty log.
std::size_t NearestRow(std::span<const double> times, double t);
// The last row whose time is at or before t; 0 when t lies before the first row or the log is empty.
std::size_t LastRowAtOrBefore(std::span<const double> times, double t);

struct RowRange {
    std::size_t first = 0;  // first row to draw
    std::size_t last = 0;   // one past the last row to draw
};
// The rows with a time in [t0, t1], widened by one row on either side so that the line runs on to the
// plot's edges instead of stopping at the last row inside.
RowRange RowsForTimes(std::span<const double> times, double t0, double t1);

struct PlotPoint {
    double time = 0;
    double value = 0;
};
// The rows [range.first, range.last) of one channel thinned for a plot of `buckets` pixel columns over
// [t0, t1]: each column keeps its lowest and its highest value, in the order they were logged, so a spike
// one row wide still shows. At most 2 * buckets points plus the two rows outside the window; ranges that
// already fit are returned whole. Values that are not numbers (cells a damaged log left empty) are left out.
std::vector<PlotPoint> DecimateMinMax(std::span<const double> times, std::span<const double> values,
                                      RowRange range, double t0, double t1, std::size_t buckets);

struct TimeWindow {
    double begin = 0;
    double end = 1;
    double span() const { return end - begin; }
};
// The time span of a log for the plot; a log of one row, none, or with broken times gets one second so
// that an axis can still be drawn.
TimeWindow LogTimeWindow(std::span<const double> times);
// Zooms view by factor (above 1 zooms in) around centre, which stays where it was on the screen. The window
// never gets narrower than minSpan, never wider than whole, and never leaves whole.
TimeWindow ZoomWindow(TimeWindow view, TimeWindow whole, double factor, double centre, double minSpan);
// Moves view by seconds (positive: later), stopping at the ends of whole.
TimeWindow PanWindow(TimeWindow view, TimeWindow whole, double seconds);
// The view moved so that t is in it: when t lies beyond an edge, the view turns one page, keeping a tenth
// of it on the side t came from, so a replay sees what led up to the cursor.
TimeWindow FollowTime(TimeWindow view, TimeWindow whole, double t);

// The replay clock after wallSeconds of real time at speed (2 = twice as fast as logged), and the row it
// shows: the last one logged at or before the clock. atEnd when the clock has reached the last row.
struct ReplayStep {
    double clock = 0;
    std::size_t row = 0;
    bool atEnd = false;
};
ReplayStep AdvanceReplayClock(std::span<const double> times, double clock, double wallSeconds, double speed);

// row moved by delta rows, held inside a log of rows rows.
std::size_t StepRow(std::size_t row, long delta, std::size_t rows);

}  // namespace torvane
