#include "app/datalog/datalog_plot_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace torvane {

namespace {

// The first row whose time is above t (or not at or below it: a time that is not a number counts as
// later than everything). Hand-written rather than std::upper_bound, which needs ordered data.
std::size_t FirstRowAfter(std::span<const double> times, double t) {
    std::size_t low = 0, high = times.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (times[mid] <= t)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// The first row whose time is at or above t.
std::size_t FirstRowAtOrAfter(std::span<const double> times, double t) {
    std::size_t low = 0, high = times.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (times[mid] < t)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

TimeWindow Clamp(TimeWindow view, TimeWindow whole) {
    const double span = std::min(view.span(), whole.span());
    double begin = std::clamp(view.begin, whole.begin, whole.end - span);
    return {begin, begin + span};
}

}  // namespace

std::size_t NearestRow(std::span<const double> times, double t) {
    if (times.empty() || std::isnan(t)) return 0;
    const std::size_t after = FirstRowAtOrAfter(times, t);
    if (after == 0) return 0;
    if (after >= times.size()) return times.size() - 1;
    return t - times[after - 1] <= times[after] - t ? after - 1 : after;
}

std::size_t LastRowAtOrBefore(std::span<const double> times, double t) {
    if (std::isnan(t)) return 0;
    const std::size_t after = FirstRowAfter(times, t);
    return after == 0 ? 0 : after - 1;
}

RowRange RowsForTimes(std::span<const double> times, double t0, double t1) {
    if (times.empty()) return {};
    std::size_t first = FirstRowAtOrAfter(times, t0);
    std::size_t last = FirstRowAfter(times, t1);
    if (first > 0) --first;
    if (last < times.size()) ++last;
    return {first, std::max(first, last)};
}

std::vector<PlotPoint> DecimateMinMax(std::span<const double> times, std::span<const double> values,
                                      RowRange range, double t0, double t1, std::size_t buckets) {
    std::vector<PlotPoint> points;
    const std::size_t last = std::min({range.last, times.size(), values.size()});
    const std::size_t first = std::min(range.first, last);
    if (first == last) return points;
    const auto add = [&](std::size_t row) {
        if (!std::isnan(values[row]) && !std::isnan(times[row])) points.push_back({times[row], values[row]});
    };
    const double width = t1 - t0;
    if (buckets == 0 || last - first <= 2 * buckets + 2 || !(width > 0)) {
        points.reserve(last - first);
        for (std::size_t row = first; row < last; ++row) add(row);
        return points;
    }
    points.reserve(2 * buckets + 2);
    const double scale = static_cast<double>(buckets) / width;
    const auto bucketOf = [&](double t) -> long {
        if (!(t >= t0)) return -1;  // before the window, or not a number
        if (t > t1) return static_cast<long>(buckets);
        return std::min(static_cast<long>((t - t0) * scale), static_cast<long>(buckets) - 1);
    };
    // Rows outside the window (the one row either side that RowsForTimes adds) are kept as they are.
    long bucket = std::numeric_limits<long>::min();
    std::size_t low = 0, high = 0;
    bool any = false;
    const auto flush = [&] {
        if (!any) return;
        if (low == high) {
            add(low);
        } else {
            add(std::min(low, high));
            add(std::max(low, high));
        }
        any = false;
    };
    for (std::size_t row = first; row < last; ++row) {
        const long b = bucketOf(times[row]);
        if (b != bucket || b < 0 || b >= static_cast<long>(buckets)) {
            flush();
            bucket = b;
        }
        const double v = values[row];
        if (std::isnan(v)) continue;
        if (!any) {
            low = high = row;
            any = true;
        } else if (v < values[low]) {
            low = row;
        } else if (v > values[high]) {
            high = row;
        }
    }
    flush();
    return points;
}

TimeWindow LogTimeWindow(std::span<const double> times) {
    if (times.empty()) return {0, 1};
    const double begin = times.front(), end = times.back();
    if (!std::isfinite(begin)) return {0, 1};
    if (!std::isfinite(end) || !(end > begin)) return {begin, begin + 1};
    return {begin, end};
}

TimeWindow ZoomWindow(TimeWindow view, TimeWindow whole, double factor, double centre, double minSpan) {
    if (!(factor > 0) || !std::isfinite(factor)) return Clamp(view, whole);
    if (!std::isfinite(centre)) centre = (view.begin + view.end) / 2;
    centre = std::clamp(centre, view.begin, view.end);
    const double span = std::clamp(view.span() / factor, std::min(minSpan, whole.span()), whole.span());
    // Keep centre at the same share of the window's width.
    const double share = view.span() > 0 ? (centre - view.begin) / view.span() : 0.5;
    const double begin = centre - share * span;
    return Clamp({begin, begin + span}, whole);
}

TimeWindow PanWindow(TimeWindow view, TimeWindow whole, double seconds) {
    if (!std::isfinite(seconds)) seconds = 0;
    return Clamp({view.begin + seconds, view.end + seconds}, whole);
}

TimeWindow FollowTime(TimeWindow view, TimeWindow whole, double t) {
    if (!std::isfinite(t) || (t >= view.begin && t <= view.end)) return view;
    const double span = view.span();
    if (t > view.end) return Clamp({t - 0.1 * span, t + 0.9 * span}, whole);
    return Clamp({t - 0.9 * span, t + 0.1 * span}, whole);
}

ReplayStep AdvanceReplayClock(std::span<const double> times, double clock, double wallSeconds, double speed) {
    ReplayStep step;
    if (times.empty()) {
        step.atEnd = true;
        return step;
    }
    if (!std::isfinite(clock)) clock = times.front();
    if (std::isfinite(wallSeconds) && wallSeconds > 0 && std::isfinite(speed) && speed > 0)
        clock += wallSeconds * speed;
    const double end = times.back();
    step.atEnd = !(clock < end);
    step.clock = step.atEnd && std::isfinite(end) ? end : clock;
    step.row = step.atEnd ? times.size() - 1 : LastRowAtOrBefore(times, step.clock);
    return step;
}

std::size_t StepRow(std::size_t row, long delta, std::size_t rows) {
    if (rows == 0) return 0;
    const std::size_t lastRow = rows - 1;
    row = std::min(row, lastRow);
    if (delta < 0) {
        const auto back = static_cast<std::size_t>(-(delta + 1)) + 1;
        return back >= row ? 0 : row - back;
    }
    const auto forward = static_cast<std::size_t>(delta);
    return forward >= lastRow - row ? lastRow : row + forward;
}

}  // namespace torvane
