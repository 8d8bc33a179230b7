#include "settings/settings.h"

#include "format/text.h"
#include "host/bbapi.h"
#include "settings/settings_os.h"

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

int windowSizeWithin(int64_t value, int screen) {
    // Any program may send a size; a window beyond every screen shows
    // nothing more, yet each paint would buffer all of it.
    if (screen >= kMinimumWindowSize && value > screen) {
        return screen;
    }
    if (value < kMinimumWindowSize) {
        return kMinimumWindowSize;
    }
    return value > INT32_MAX ? INT32_MAX : static_cast<int>(value);
}

int fontHeightWithin(int64_t value) {
    const int screen = virtualScreenSize().height;
    if (value > screen) {
        value = screen;
    }
    return value < 1 ? 1 : static_cast<int>(value);
}

unsigned timerPeriodMs(int seconds) {
    // The longest period SetTimer accepts is 0x7FFFFFFF ms.
    constexpr int kMaxSeconds = 0x7FFFFFFF / 1000;
    if (seconds < 1) {
        seconds = 1;
    } else if (seconds > kMaxSeconds) {
        seconds = kMaxSeconds;
    }
    return static_cast<unsigned>(seconds) * 1000u;
}
