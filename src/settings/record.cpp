#include "settings/settings.h"

Settings settings;
char settingsPath[kPathSize];

void copySettingText(char* destination, int size, const char* source) {
    if (destination == nullptr || size <= 0) {
        return;
    }
    // Reads no further than it writes, so an over-long source costs nothing.
    int length = 0;
    if (source != nullptr) {
        while (length < size - 1 && source[length] != '\0') {
            destination[length] = source[length];
            ++length;
        }
    }
    destination[length] = '\0';
}
