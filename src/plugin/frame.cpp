#include "plugin/frame.h"

PluginFrame frame;
unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};

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
