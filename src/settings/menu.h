// The context menu, drawn by the shell; every item carries a broadcast
// command that comes back to the plugin.
#pragma once

#include "host/bbapi.h"

// Deletes the previous menu, builds the whole tree with current values
// and shows it. popup is true for the right-click.
void buildMenu(bool popup);
// DelMenu of the root, if any, and forget it.
void deleteMenu();
extern Menu* rootMenu;
