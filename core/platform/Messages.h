#pragma once
// Private window messages between the program's windows, numbered from WM_USER as the program
// always has. The measurement engine reports through its CRunListener instead.

namespace platform {

constexpr unsigned WM_USER = 0x400;

constexpr unsigned UM_GRAPH_CLOSED = WM_USER + 10;
constexpr unsigned UM_SHOW_PREVIOUS = WM_USER + 11;
constexpr unsigned UM_SHOW_NEXT = WM_USER + 12;
constexpr unsigned UM_STANDARD_CHANGED = WM_USER + 13;
constexpr unsigned UM_SELECTION_CHANGED = WM_USER + 14;
constexpr unsigned UM_DATASET_CHANGED = WM_USER + 15;
constexpr unsigned UM_MODAL_OPENED = WM_USER + 23;
constexpr unsigned UM_MODAL_CLOSED = WM_USER + 24;
constexpr unsigned UM_ENSURE_VISIBLE = WM_USER + 26;

}  // namespace platform
