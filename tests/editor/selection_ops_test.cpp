// Operations on a selected rectangle of map cells: values after each operation on small grids, the
// rounding of halves away from zero, each cell's limits, clipping and the count of changed cells.
#include "mapgrid/selection_ops.h"

#include <gtest/gtest.h>

#include <cmath>

namespace torvane {
namespace {

CellGrid Grid(int rows, int columns, std::vector<int> values, int lo = -1000, int hi = 1000) {
    const std::size_t n = static_cast<std::size_t>(rows * columns);
    values.resize(n);
    return {rows, columns, std::move(values), std::vector<int>(n, lo), std::vector<int>(n, hi)};
}

TEST(SelectionOps, SetAddScaleRoundHalvesAwayFromZeroAndStopAtTheLimits) {
    CellGrid g = Grid(3, 4, {}, -20, 20);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 1, 1}, SelectionOp::Set, 7.5), 4);
    EXPECT_EQ(g.values, (std::vector<int>{8, 8, 0, 0, 8, 8, 0, 0, 0, 0, 0, 0}));
    ApplySelectionOp(g, {0, 0, 0, 0}, SelectionOp::Set, -7.5);
    EXPECT_EQ(g.at(0, 0), -8);
    ApplySelectionOp(g, {0, 0, 0, 1}, SelectionOp::Set, 1e12);  // no int overflow, just the top
    EXPECT_EQ(g.at(0, 1), 20);

    g = Grid(1, 4, {0, 1, 19, -19}, -20, 20);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::Add, -2.5), 4);
    EXPECT_EQ(g.values, (std::vector<int>{-3, -2, 17, -20}));  // -21.5 stops at the bottom

    g = Grid(1, 4, {3, -3, 10, 0}, -20, 20);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::Scale, 250), 3);
    EXPECT_EQ(g.values, (std::vector<int>{8, -8, 20, 0}));
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::Scale, 100), 0);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::Scale, 0), 3);
    EXPECT_EQ(g.values, (std::vector<int>{0, 0, 0, 0}));

    // A value the tuner could not have meant changes nothing.
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::Set, std::nan("")), 0);
    EXPECT_TRUE(SelectionOpTakesParameter(SelectionOp::Scale));
    EXPECT_FALSE(SelectionOpTakesParameter(SelectionOp::Smooth));
}

TEST(SelectionOps, InterpolationRunsBetweenTheRectanglesEnds) {
    CellGrid g = Grid(3, 4,
                      {0, 1, 1, 10,  //
                       9, 0, 5, -5,  //
                       7, 7, 7, -10});
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 2, 3}, SelectionOp::InterpolateRows), 6);
    EXPECT_EQ(g.values, (std::vector<int>{0, 3, 7, 10, 9, 4, 0, -5, 7, 1, -4, -10}));

    // Ends at columns 1 and 3: the middle -2.5 goes to -3, +2.5 to 3.
    g = Grid(2, 4, {50, 0, 50, -5, 50, 0, 50, 5});
    ApplySelectionOp(g, {0, 1, 1, 3}, SelectionOp::InterpolateRows);
    EXPECT_EQ(g.at(0, 2), -3);
    EXPECT_EQ(g.at(1, 2), 3);
    EXPECT_EQ(g.at(0, 0), 50);

    g = Grid(3, 2, {0, 10, 99, 99, -5, -20});
    EXPECT_EQ(ApplySelectionOp(g, {2, 1, 0, 0}, SelectionOp::InterpolateColumns), 2);  // reversed corners
    EXPECT_EQ(g.values, (std::vector<int>{0, 10, -3, -5, -5, -20}));

    // Bilinear: the middle is the mean of the four corners, 17.5.
    g = Grid(3, 3, {0, 99, 10, 99, 99, 99, 20, 99, 40});
    EXPECT_EQ(ApplySelectionOp(g, {2, 2, 0, 0}, SelectionOp::InterpolateBoth), 5);
    EXPECT_EQ(g.values, (std::vector<int>{0, 5, 10, 10, 18, 25, 20, 30, 40}));
}

TEST(SelectionOps, InterpolationAlongASingleRowOrColumnLeavesThatDirection) {
    const CellGrid row = Grid(1, 4, {0, 99, -99, 6});
    CellGrid g = row;
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::InterpolateColumns), 0);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::InterpolateBoth), 2);
    CellGrid byRows = row;
    ApplySelectionOp(byRows, {0, 0, 0, 3}, SelectionOp::InterpolateRows);
    EXPECT_EQ(g.values, byRows.values);
    EXPECT_EQ(g.values, (std::vector<int>{0, 2, 4, 6}));

    g = Grid(3, 1, {0, 99, 9});
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 2, 0}, SelectionOp::InterpolateRows), 0);
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 2, 0}, SelectionOp::InterpolateBoth), 1);
    EXPECT_EQ(g.at(1, 0), 5);  // 4.5
}

TEST(SelectionOps, SmoothingAveragesNeighboursInTheWholeMapFromTheOldValues) {
    CellGrid g = Grid(3, 3, {0, 0, 0, 0, -9, 0, 0, 0, 0});
    // A corner alone: its three neighbours outside the selection still count, -9 / 4.
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 0}, SelectionOp::Smooth), 1);
    EXPECT_EQ(g.at(0, 0), -2);
    g = Grid(3, 3, {0, 0, 0, 0, -9, 0, 0, 0, 0});
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 2, 2}, SelectionOp::Smooth), 9);
    // Corners -9/4, edges -9/6 = -1.5, the centre -9/9: each from the values before.
    EXPECT_EQ(g.values, (std::vector<int>{-2, -2, -2, -2, -1, -2, -2, -2, -2}));
}

TEST(SelectionOps, EachCellKeepsItsOwnLimits) {
    CellGrid g = Grid(1, 4, {0, 0, 0, 30}, 0, 100);
    g.maximum[1] = 4;
    g.minimum[2] = 25;
    EXPECT_EQ(ApplySelectionOp(g, {0, 0, 0, 3}, SelectionOp::InterpolateRows), 2);
    EXPECT_EQ(g.values, (std::vector<int>{0, 4, 25, 30}));
}

TEST(SelectionOps, RectanglesAreClippedToTheMap) {
    CellGrid g = Grid(3, 4, {});
    EXPECT_EQ(ApplySelectionOp(g, {1, -2, -5, 9}, SelectionOp::Set, 1), 8);
    EXPECT_EQ(g.values, (std::vector<int>{1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(ApplySelectionOp(g, {3, 0, 8, 3}, SelectionOp::Set, 5), 0);
    EXPECT_EQ(ApplySelectionOp(g, {0, -3, 2, -1}, SelectionOp::Set, 5), 0);

    // A grid whose arrays do not match its size is left alone.
    CellGrid broken = Grid(3, 4, {});
    broken.maximum.pop_back();
    EXPECT_EQ(ApplySelectionOp(broken, {0, 0, 2, 3}, SelectionOp::Set, 5), 0);
    EXPECT_EQ(broken.values, std::vector<int>(12, 0));
}

}  // namespace
}  // namespace torvane
