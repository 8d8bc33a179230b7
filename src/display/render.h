// Painting the display text over the shell's style, and the one path for
// size changes.
#pragma once

#include "host/bbapi.h"

struct RenderState {
    StyleItem style;   // copy of the shell style for settings.styleType
    int textInset;     // shell values 14 + 12
};
extern RenderState render;

// Copies the style block for settings.styleType and the inset values.
// A null pointer from the shell keeps the previous block / counts as 0.
void refreshStyle();
// WM_PAINT work; the caller assembled the display text first.
void paintWindow(HWND window);
// Resizes to (cx, cy), minimum 10x10; false when that is the current
// size already. Tells the slit when docked.
bool resizeWindow(int cx, int cy);
