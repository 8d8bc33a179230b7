#pragma once

#include "host/wintypes.h"

// Creates the tooltip control (when common controls initialise) and sets
// it active per settings.allowTooltip.
void createTooltip();
void destroyTooltip();
// Called by every paint with the text rectangle and display text.
void updateTooltip(const RECT& rect, const char* text);
void activateTooltip(bool on);
