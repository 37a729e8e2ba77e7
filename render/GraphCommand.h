#pragma once
// The commands of the graph windows, one list for every window: a window offers the ones its
// picture knows, each through one action shared by its button, its menu item and its shortcut.
enum class GraphCommand {
    Settings,
    Previous,
    Next,
    XZoomIn,
    XZoomOut,
    XShiftRight,
    XShiftLeft,
    YZoomIn,
    YZoomOut,
    YShiftUp,
    YShiftDown,
    RatioZoomIn,
    RatioZoomOut,
    RatioShiftUp,
    RatioShiftDown,
    // The four curves, in this order (the spectrum picture's toggles count on it).
    PlotMeasured,
    PlotStandard,
    PlotDifference,
    ShowRatio,
    ShowParPhotonLux,
    ShowUv,
    ShowIntegration,
    Copy,
    Save,
    Print,
};
