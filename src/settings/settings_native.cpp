// Native stand-ins: a plugin path and a screen that tests choose.
#include <cstdio>

#include "settings/settings_os.h"

namespace {
char modulePath[260] = "C:\\Blackbox\\plugins\\Telvane\\Telvane.dll";
char hostPath[260] = "C:\\Blackbox\\blackbox.exe";
VirtualScreenSize screen = {1024, 768};
char createdFile[260];
}  // namespace

void pluginModulePath(HINSTANCE, char* buffer, int size) {
    if (size > 0) {
        std::snprintf(buffer, static_cast<size_t>(size), "%s", modulePath);
    }
}

void hostModulePath(char* buffer, int size) {
    if (size > 0) {
        std::snprintf(buffer, static_cast<size_t>(size), "%s", hostPath);
    }
}

VirtualScreenSize virtualScreenSize() { return screen; }

void setStandInModulePath(const char* path) {
    std::snprintf(modulePath, sizeof modulePath, "%s", path ? path : "");
}

void setStandInVirtualScreen(int width, int height) { screen = {width, height}; }

void setStandInHostPath(const char* path) {
    std::snprintf(hostPath, sizeof hostPath, "%s", path ? path : "");
}

bool createSettingsFile(const char* path) {
    std::snprintf(createdFile, sizeof createdFile, "%s", path ? path : "");
    return true;
}

const char* standInCreatedFile() { return createdFile; }

void resetStandInCreatedFile() { createdFile[0] = '\0'; }
