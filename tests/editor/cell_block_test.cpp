#include "mapgrid/cell_block.h"

#include <gtest/gtest.h>

namespace torvane {
namespace {

using Rows = std::vector<std::vector<int>>;

TEST(CellBlock, SpreadsheetTextsOfEveryKindReadAsTheSameBlock) {
    const Rows expected{{16, 30, 38}, {-5, 0, 12}};
    for (const char* text : {"16\t30\t38\n-5\t0\t12\n",            // tabs, as spreadsheets copy
                             "16\t30\t38\r\n-5\t0\t12\r\n",        // from a Windows program
                             "16\t30\t38\r-5\t0\t12",              // old line ends, no last break
                             "16;30;38\n-5;0;12\n\n\n",            // semicolons, blank lines at the end
                             "  16  30 38\n-5 0   12 \n",          // blanks, any number of them
                             "16.0\t29.6\t+38\n-4.5\t0,4\t12"}) {  // decimals round half away from 0
        const CellBlock block = ParseCellBlock(text);
        EXPECT_TRUE(block.ok()) << text;
        EXPECT_EQ(block.rows, expected) << text;
        EXPECT_FALSE(block.withHeaders);
    }
}

TEST(CellBlock, RowsOfDifferentLengthsAndOneValue) {
    EXPECT_EQ(ParseCellBlock("7").rows, (Rows{{7}}));
    EXPECT_EQ(ParseCellBlock("1\t2\t3\n4\n").rows, (Rows{{1, 2, 3}, {4}}));
}

TEST(CellBlock, AMapWithItsAxesGivesTheValuesWithin) {
    const CellBlock block = ParseCellBlock("TPS\t1000\t2000\n0%\t16\t30\n2%\t17\t31\n");
    ASSERT_TRUE(block.ok());
    EXPECT_TRUE(block.withHeaders);
    EXPECT_EQ(block.rows, (Rows{{16, 30}, {17, 31}}));
    // An empty corner, as a spreadsheet copies a table with row names.
    EXPECT_EQ(ParseCellBlock("\t1000\t2000\n0\t16\t30\n").rows, (Rows{{16, 30}}));
}

TEST(CellBlock, AnythingButNumbersRefusesTheWholeBlockAndSaysWhere) {
    struct Case {
        const char* text;
        int line;
        const char* found;
    };
    for (const Case& c :
         {Case{"1\t2\n3\tabc\n", 2, "abc"}, Case{"1\t\t3\n", 1, ""},  // an empty value is not a number
          Case{"1\t2\n\n3\t4\n", 2, ""},                              // nor a blank line inside the block
          Case{"1.2.3\n", 1, "1.2.3"}, Case{"12kPa\n", 1, "12kPa"},
          Case{"99999999999999\n", 1, "99999999999999"}, Case{"hello", 1, "hello"}, Case{"", 1, ""},
          Case{"\n\n", 1, ""}, Case{"TPS\t1000\n", 1, "TPS"}}) {  // axes with nothing within
        const CellBlock block = ParseCellBlock(c.text);
        EXPECT_FALSE(block.ok()) << c.text;
        EXPECT_TRUE(block.rows.empty()) << c.text;
        EXPECT_EQ(block.badLine, c.line) << c.text;
        EXPECT_EQ(block.badText, c.found) << c.text;
    }
}

TEST(CellBlock, WhatIsCopiedReadsBackAsTheSameBlock) {
    const std::string text = FormatCellBlock({{"16", "-3"}, {"0", "125"}});
    EXPECT_EQ(text, "16\t-3\n0\t125\n");
    EXPECT_EQ(ParseCellBlock(text).rows, (Rows{{16, -3}, {0, 125}}));
}

}  // namespace
}  // namespace torvane
