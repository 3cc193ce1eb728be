#include "mapgrid/selection_ops.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

namespace torvane {
namespace {

// Rounds half away from zero and limits to [lo, hi]. Clamping happens on the double so that a huge
// parameter (Set 1e12, Scale 1e9 %) cannot overflow the int. A cell whose limits are reversed is
// treated as having them the right way round.
int Limited(double value, int lo, int hi) {
    if (lo > hi) std::swap(lo, hi);
    const double r = std::round(value);
    if (r <= lo) return lo;
    if (r >= hi) return hi;
    return static_cast<int>(r);
}

// Position of i between first and last as 0..1; 0 on a single row or column, so that the
// interpolation along a degenerate direction keeps the first value, which is also the only one.
double Fraction(int i, int first, int last) {
    return last == first ? 0.0 : static_cast<double>(i - first) / static_cast<double>(last - first);
}

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

bool Consistent(const CellGrid& grid) {
    if (grid.rows <= 0 || grid.columns <= 0) return false;
    const std::size_t n = static_cast<std::size_t>(grid.rows) * static_cast<std::size_t>(grid.columns);
    return grid.values.size() == n && grid.minimum.size() == n && grid.maximum.size() == n;
}

// Mean of the cell and its neighbours that lie in the grid (4 at a corner, 6 on an edge, 9 inside).
double NeighbourMean(const CellGrid& before, int row, int col) {
    double sum = 0.0;
    int n = 0;
    for (int r = std::max(row - 1, 0); r <= std::min(row + 1, before.rows - 1); ++r) {
        for (int c = std::max(col - 1, 0); c <= std::min(col + 1, before.columns - 1); ++c) {
            sum += before.at(r, c);
            ++n;
        }
    }
    return sum / n;
}

}  // namespace

CellRect CellRect::Normalized() const {
    return {std::min(row0, row1), std::min(col0, col1), std::max(row0, row1), std::max(col0, col1)};
}

bool CellRect::contains(int row, int col) const {
    return row >= row0 && row <= row1 && col >= col0 && col <= col1;
}

int ApplySelectionOp(CellGrid& grid, CellRect rect, SelectionOp op, double parameter) {
    if (!Consistent(grid)) return 0;

    CellRect r = rect.Normalized();
    if (r.row1 < 0 || r.col1 < 0 || r.row0 >= grid.rows || r.col0 >= grid.columns) return 0;
    r = {std::max(r.row0, 0), std::max(r.col0, 0), std::min(r.row1, grid.rows - 1),
         std::min(r.col1, grid.columns - 1)};

    // Every operation reads the values as they were before it, so the order of the writes does not
    // matter (the corners of an interpolation, the neighbours of a smoothed cell).
    const CellGrid before = grid;
    const double topLeft = before.at(r.row0, r.col0);
    const double topRight = before.at(r.row0, r.col1);
    const double bottomLeft = before.at(r.row1, r.col0);
    const double bottomRight = before.at(r.row1, r.col1);

    int changed = 0;
    for (int row = r.row0; row <= r.row1; ++row) {
        const double fy = Fraction(row, r.row0, r.row1);
        for (int col = r.col0; col <= r.col1; ++col) {
            const double fx = Fraction(col, r.col0, r.col1);
            const double old = before.at(row, col);
            double value = old;
            switch (op) {
                case SelectionOp::Set:
                    value = parameter;
                    break;
                case SelectionOp::Add:
                    value = old + parameter;
                    break;
                case SelectionOp::Scale:
                    value = old * parameter / 100.0;
                    break;
                case SelectionOp::InterpolateRows:
                    value = Lerp(before.at(row, r.col0), before.at(row, r.col1), fx);
                    break;
                case SelectionOp::InterpolateColumns:
                    value = Lerp(before.at(r.row0, col), before.at(r.row1, col), fy);
                    break;
                case SelectionOp::InterpolateBoth:
                    value = Lerp(Lerp(topLeft, topRight, fx), Lerp(bottomLeft, bottomRight, fx), fy);
                    break;
                case SelectionOp::Smooth:
                    value = NeighbourMean(before, row, col);
                    break;
            }
            // A parameter that is not a number (or 0 % of infinity) gives no value: keep the cell.
            if (std::isnan(value)) continue;
            const std::size_t k = static_cast<std::size_t>(row * grid.columns + col);
            const int result = Limited(value, grid.minimum[k], grid.maximum[k]);
            if (result != grid.values[k]) {
                grid.values[k] = result;
                ++changed;
            }
        }
    }
    return changed;
}

bool SelectionOpTakesParameter(SelectionOp op) {
    return op == SelectionOp::Set || op == SelectionOp::Add || op == SelectionOp::Scale;
}

}  // namespace torvane
