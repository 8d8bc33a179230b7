// Painting the display text over the shell's style, and the one path for
// size changes.
#pragma once

#include <cstdint>

#include "host/bbapi.h"
#include "settings/settings.h"

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
// Resizes to (cx, cy), at least 10x10 and at most the virtual screen;
// false when (cx, cy) is the current size already. Tells the slit when
// docked.
bool resizeWindow(int cx, int cy);

// Splits text at CR into scratchText and copies the longest line (the
// earliest on a tie) to its start. Returns scratchText; *longest is that
// line's length, *lines the line count.
const char* measureLines(const char* text, int* longest, int* lines);

// Window size auto-resize mode `mode` wants for a longest line of extent
// (cx, cy) and `lines` lines, at least 10x10. False for modes that do not
// resize (anything but 1, 2, 3).
bool autoResizeTarget(int mode, int cx, int cy, int lines, int* width, int* height);

// DrawText flags: justification with tab expansion and no mnemonics,
// plus single-line and vertical centring unless the text has several
// lines.
unsigned textDrawFormat(int justification, bool multiLine);

// The font and colour of one paint: the shell's reference font, read
// afresh, or the user's own.
struct PaintFont {
    int height;
    COLORREF color;
    char face[kFontFaceSize];
};
void choosePaintFont(PaintFont* font);

// Platform side of resizeWindow: gives the window the size in settings
// and tells the slit when docked.
void issueWindowSize();
