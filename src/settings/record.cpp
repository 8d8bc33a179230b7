#include <cstdio>

#include "settings/settings.h"

Settings settings;
char settingsPath[kPathSize];

void copySettingText(char* destination, int size, const char* source) {
    if (size <= 0) {
        return;
    }
    std::snprintf(destination, static_cast<size_t>(size), "%s", source ? source : "");
}
