#include "settings/settings.h"

#include "format/text.h"
#include "host/bbapi.h"

Settings settings;
char settingsPath[kPathSize];

void copySettingText(char* destination, int size, const char* source) {
    if (size > 0) {
        copyText(destination, static_cast<size_t>(size), source);
    }
}

int heldWithin(int value, SettingRange range) {
    return value < range.low ? range.low : value > range.high ? range.high : value;
}

bool isStyleIndex(int value) {
    return value >= STYLE_TOOLBAR && value <= STYLE_CLOCK;
}
