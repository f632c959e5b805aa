#pragma once
// How the main window grows. At the inventory's size every control stands where the inventory
// puts it, and the window is never made smaller than that. The room a larger window adds goes to
// the album list and the log: the list takes two thirds of the added width and all of the added
// height, the log (and the protected-album box around it) moves right by the list's share and
// takes the rest of the width and the height; the progress row stays under the list. Every other
// control keeps its place and size relative to its container.
#include "form/control_inventory.h"

namespace fotolun {

struct ControlRect {
  int left, top, width, height;
  bool operator==(const ControlRect&) const = default;
};

// Where the control stands (relative to its container, as in the inventory) in a window of
// windowWidth × windowHeight; sizes below the inventory's count as the inventory's.
ControlRect placeControl(const ControlSpec& spec, int windowWidth, int windowHeight);

}  // namespace fotolun
