#pragma once

#include "host/wintypes.h"

// Creates the tooltip control (when common controls initialise) and sets
// it active per settings.allowTooltip.
void createTooltip();
void destroyTooltip();
// Called by every paint with the text rectangle and display text.
void updateTooltip(const RECT& rect, const char* text);
void activateTooltip(bool on);
// Passes a non-client mouse move (screen point) on to the tooltip.
void relayTooltipMouse(HWND window, LPARAM screenPoint);

constexpr int kTipTextSize = 259;  // 258 characters and the terminator

// The one tool over the plugin window. Its rectangle follows the text
// rectangle, so a window that resizes does not collect stale tools.
struct TooltipTool {
    bool added;
    RECT rect;
    char text[kTipTextSize];
};

enum TooltipChange : unsigned {
    TipAdd = 1,    // register the tool
    TipMove = 2,   // new rectangle
    TipText = 4,   // new text
};

// Brings `tool` up to date with a paint's rectangle and text and returns
// which messages the control needs (0 when nothing changed).
unsigned trackTooltip(TooltipTool* tool, const RECT& rect, const char* text);
