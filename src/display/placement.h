// Window behaviours: dragging, Alt-resizing, snapping, auto-hide, always
// on top, transparency and re-anchoring on a display change.
#pragma once

#include "host/wintypes.h"

extern bool hidden;  // auto-hidden, or about to be

// Handles the window messages of the placement table (and the auto-hide
// timer). Returns true when it handled the message, with *result set.
bool handlePlacementMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result);
void applyTransparency();
// Topmost or not, without moving, sizing or activating.
void applyTopmost(bool topmost);
// Start-up and the AutoHide command: hidden state from the edge test,
// position the window, start the poll.
void startAutoHide();
void toggleAutoHide();
