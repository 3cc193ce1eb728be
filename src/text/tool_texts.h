#pragma once
// The texts of the window's tools beyond the unit's pages (what the unit holds and the restore points,
// datalogs, the datalog viewer, cell operations, the map views) in the program's four languages. Texts are
// UTF-8; the language index is 0 English, 1 German, 2 French, 3 Czech. Placeholders (%1, %2, %3) and line
// breaks are the same in every language; the datalog's column names
// ("rpm", "tps", "time") are data and never pass through this table.

#include <cstdint>
#include <string>

namespace torvane {

enum class ToolText : std::uint16_t {
    // Menu entries of the main window.
    MenuOpenDatalog,
    MenuStartDatalog,
    MenuStopDatalog,
    MenuFastMonitor,
    MenuCells,
    MenuView,
    MenuShadeCells,
    MenuMapChart,
    MenuMapSurface,
    // The cell operations: menu captions and the questions for their number.
    CellsSet,
    CellsSetQuestion,
    CellsAdd,
    CellsAddQuestion,
    CellsScale,
    CellsScaleQuestion,
    CellsInterpolateRows,
    CellsInterpolateColumns,
    CellsInterpolateBoth,
    CellsSmooth,
    // Recording, reading and the messages of the tools.
    DatalogFilter,
    RecordingLabel,
    CannotRecord,
    RecordingStopped,
    CannotReadLog,
    SkippedLogLines,
    NoMapPage,
    NoCellsChosen,
    FollowerMap,
    NoLogOpen,
    CellHitsTitle,
    CellHitsFooter,
    NoSurface,
    // The datalog viewer.
    ViewerTitleNoLog,
    ViewerTitle,
    ViewerPlay,
    ViewerPause,
    ViewerStep,
    ViewerStepBack,
    ViewerSpeed,
    ViewerZoomIn,
    ViewerZoomOut,
    ViewerWholeLog,
    ViewerCellHits,
    ViewerTimeAxis,
    ViewerChannelHeader,
    ViewerValueHeader,
    ViewerUnitHeader,
    ViewerLogInfo,
    ViewerSkippedLines,
    ViewerUnnamedColumn,
    ViewerCannotRead,
    ViewerPlayTip,
    ViewerCellHitsTip,
    ViewerPlotTip,
    // The map rows chart and the 3D surface.
    ChartTitle,
    EngineSpeedAxis,
    ChartUnnamedRow,
    ChartLiveCell,
    SurfaceTitle,
    SurfaceRowAxis,
    SurfaceNoModule,
    SurfaceNoApplication,
    SurfaceNoScreen,
    SurfaceNoContext,
    SurfaceNoCurrent,
    SurfaceOldOpenGl,
    // What the unit holds, and the restore points.
    MenuRestorePoints,
    MenuUnitDifferences,
    NotInUnitOne,
    NotInUnitMany,
    VerifyDifferencesTitle,
    NotInUnitTitle,
    UnitNotKnown,
    UnitHoldsPcImage,
    NoRestorePoints,
    RestorePointsTitle,
    RestoreKindRead,
    RestoreKindProgram,
    RestoreUnreadable,
    RestoreOneFieldDiffers,
    RestoreFieldsDiffer,
    // Questions before a configuration goes to the unit that the unit may not be meant to get.
    ProgramBeforeReadQuestion,
    ProgramOtherTypeQuestion,
    // A parameter file refused because a section is cut short or holds a word where a number belongs.
    DamagedParameterFile,
    // Copy and paste of map cells, and what a screen reader says for the items of the map grid.
    CellsCopy,
    CellsCopyMap,
    CellsPaste,
    PasteNotNumbers,
    PasteInTimes,
    GridCellName,
    GridAxisName,
    GridIapName,
};

inline constexpr int ToolTextCount = static_cast<int>(ToolText::GridIapName) + 1;

// The text in the given language; a language index outside 0..3 reads as English.
std::string ToolTextOf(ToolText text, int languageIndex);

}  // namespace torvane
