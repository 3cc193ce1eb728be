#pragma once
// Operations on a rectangle of map cells, on the values the cells show (on injection maps the
// percentages): set, add, scale, interpolate between the corners, smooth. Plain data in, plain data
// out; the window applies the result to the cells and commits it as one edit.

#include <vector>

namespace torvane {

// Inclusive corners in either order; Normalized() puts row0 <= row1 and col0 <= col1.
struct CellRect {
    int row0 = 0;
    int col0 = 0;
    int row1 = 0;
    int col1 = 0;

    CellRect Normalized() const;
    bool contains(int row, int col) const;  // on a normalized rectangle
    int rows() const { return row1 - row0 + 1; }
    int columns() const { return col1 - col0 + 1; }
};

// The shown values of a map, row by row, with each cell's limits (the spin's range).
struct CellGrid {
    int rows = 0;
    int columns = 0;
    std::vector<int> values;   // rows * columns, index row * columns + column
    std::vector<int> minimum;  // same size
    std::vector<int> maximum;  // same size

    int& at(int row, int col) { return values[static_cast<std::size_t>(row * columns + col)]; }
    int at(int row, int col) const { return values[static_cast<std::size_t>(row * columns + col)]; }
};

enum class SelectionOp {
    Set,                 // every cell to the parameter
    Add,                 // the parameter added (negative subtracts)
    Scale,               // multiplied by parameter percent (110 = 10 % more)
    InterpolateRows,     // along each row, linear between the rectangle's first and last column
    InterpolateColumns,  // along each column, linear between the rectangle's first and last row
    InterpolateBoth,     // bilinear between the four corners
    Smooth,              // each cell the mean of itself and its neighbours in the map (3 x 3)
};

// Applies op to the cells of rect (clipped to the grid); results are rounded half away from zero
// and limited to each cell's range. Smoothing reads the values before the operation. Returns the
// number of cells whose value changed.
int ApplySelectionOp(CellGrid& grid, CellRect rect, SelectionOp op, double parameter = 0.0);

// Whether the operation needs a number from the tuner (Set, Add, Scale).
bool SelectionOpTakesParameter(SelectionOp op);

}  // namespace torvane
