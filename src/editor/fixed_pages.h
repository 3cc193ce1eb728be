#pragma once
// The fixed pages: each is a Qt Designer form set up on its tab sheet; the run-time arrays of spins and
// temperature labels are then created into the grids the forms provide, and the lists of the combo
// boxes and radio groups are filled.

class QTabWidget;

namespace torvane {

// pages holds the 19 tab sheets (PageControl1).
void BuildFixedPages(QTabWidget* pages);

}  // namespace torvane
