#pragma once
// The map grid to assistive tools: a table of its items, each cell spoken by the name the grid gives
// it ("Advance 20 %, 6000 rpm") with its value, placed where it is drawn.

namespace torvane {

// Installs (once) the factory that gives every MapGridView its table interface.
void InstallMapGridAccessibility();

}  // namespace torvane
