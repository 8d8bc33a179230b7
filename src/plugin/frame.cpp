#include "plugin/frame.h"

#include "format/format.h"
#include "metrics/network.h"
#include "metrics/registry.h"
#include "settings/settings.h"

PluginFrame frame;
unsigned registeredMessages[4] = {MSG_RECONFIGURE, MSG_STYLE_REFRESH, MSG_BROADCAST, 0};

void runAllUpdaters() {
    for (const MetricUpdater& updater : kMetricUpdaters) {
        if (updater.update != nullptr) {
            updater.update();
        }
    }
}

void runTimerUpdaters(unsigned timer) {
    for (const MetricUpdater& updater : kMetricUpdaters) {
        if (updater.update != nullptr && updater.timer == timer) {
            updater.update();
        }
    }
}

void fullRefresh() {
    refreshIdentity();
    freeSegments();
    compileFormat(settings.strFormat, identityTexts());
    applyEscapes();
    runAllUpdaters();
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
