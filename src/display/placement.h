// Window behaviours: dragging, Alt-resizing, snapping, auto-hide, always
// on top, transparency and re-anchoring on a display change.
#pragma once

#include "host/wintypes.h"

extern bool hidden;  // auto-hidden, or about to be
// Between the start and the end of the user's drag: the only time the
// window snaps to the screen's edges.
extern bool dragging;
constexpr int kSnapDistance = 10;  // pixels

// Handles the window messages of the placement table (and the auto-hide
// timer). Returns true when it handled the message, with *result set.
bool handlePlacementMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result);
void applyTransparency();
// Topmost or not, without moving, sizing or activating.
void applyTopmost(bool topmost);
// Start-up: hidden state from the edge test, then start the poll (the
// first tick hides the window once the cursor is away).
void startAutoHide();
// The AutoHide command: toggles settings.autoHide and re-places the window.
void toggleAutoHide();
// After the settings were read again: a floating window at their place,
// size and z-order, shown until auto-hide tucks it away again; a docked
// one at their size, laid out by the slit.
void placeAsSettings();

// Rectangle of the monitor holding the window (the primary screen when
// the lookup is unavailable).
RECT monitorRect(HWND window);
// Whether the window, floating with auto-hide on, sits flush with an edge
// of its monitor. With `point` given and `hidden` set, writes the hidden
// position there.
bool edgeHidePosition(POINT* point);
BOOL setLayeredAttributes(HWND window, COLORREF key, unsigned char alpha, unsigned flags);

// The geometry of edgeHidePosition for a given monitor rectangle.
bool edgeHideAt(const RECT& monitor, POINT* point);
// Moves settings.x / y by the growth of the virtual screen when the window
// sits in the right or bottom half, so it keeps its distance from that edge.
void reanchorToDisplay(int oldWidth, int oldHeight, int newWidth, int newHeight);
// One monitor as the system reports it: its whole area and the part not
// taken by task bars.
struct MonitorArea {
    RECT monitor;
    RECT work;
};
// A floating window at `at` of the given size that shows on none of the
// monitors (the primary one first) moves into the work area of the
// nearest, keeping its size; true when it moved.
bool bringOntoMonitors(const MonitorArea* monitors, int count, int width, int height, POINT* at);
// Windows side: brings settings.x / y onto a monitor when the window
// floats; true when they changed.
bool keepOnScreen();

// Opacity for the layered window: low 8 bits of alpha, or opaque.
unsigned char layeredAlpha();
// Hit-test code: bottom-right sizing border with Alt (unless locked),
// caption everywhere else so any point drags.
int placementHitTest(bool altDown);
