// The two questions the settings file and the menu put to Windows
// directly. settings_win.cpp answers them; the native build answers with
// values the tests set.
#pragma once

#include "host/wintypes.h"

struct VirtualScreenSize {
    int width;
    int height;
};

// Full path of the module `instance`, always terminated; empty on failure.
void pluginModulePath(HINSTANCE instance, char* buffer, int size);
// Full path of the shell's own program file (the process's main module);
// empty on failure or when it does not fit, never a path cut short.
void hostModulePath(char* buffer, int size);
// The virtual-screen size as it is now.
VirtualScreenSize virtualScreenSize();
// Creates `path` empty unless something is there already; false when it
// cannot. The shell's settings writer names a file it creates in lower
// case, so the first start's file is made under its own name first.
bool createSettingsFile(const char* path);

#ifndef _WIN32
void setStandInModulePath(const char* path);
void setStandInHostPath(const char* path);
void setStandInVirtualScreen(int width, int height);
// The path of the last createSettingsFile call; empty after a reset.
const char* standInCreatedFile();
void resetStandInCreatedFile();
#endif
